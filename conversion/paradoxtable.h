#pragma once

#include "paradoxcompanions.h"
#include "tablestructure.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelvane::conversion {

/// The table component: names a table by directory and file name, opens it to make its
/// field and index definitions readable, and closes it again.
class ParadoxTable {
public:
    /// Reads a table's structure given its directory, file name and the directory's files
    /// grouped by table.
    using StructureReader = std::function<TableStructure(
        const std::string& directory, const std::string& fileName, const CompanionIndex& companions)>;

    /// A component that reads real Paradox files.
    ParadoxTable();
    /// A component that reads structures through `reader` (tests, other formats).
    explicit ParadoxTable(StructureReader reader);
    ParadoxTable(const ParadoxTable&) = delete;
    ParadoxTable& operator=(const ParadoxTable&) = delete;

    const std::string& DatabaseName() const { return databaseName_; }
    /// Allowed only while closed.
    void SetDatabaseName(const std::string& name);
    const std::string& TableName() const { return tableName_; }
    /// Allowed only while closed.
    void SetTableName(const std::string& name);

    bool Active() const { return active_; }
    /// Opens (reads the structure) or closes the table; a failed open leaves it closed.
    void SetActive(bool active);

    int FieldCount() const;
    const FieldDef& Fields(int index) const;

    /// The open table's index definitions.
    class IndexDefList {
    public:
        /// Refreshes the list from the open table.
        void Update();
        int Count() const { return static_cast<int>(items_.size()); }
        const IndexDef& operator[](int index) const { return items_.at(static_cast<std::size_t>(index)); }
        const std::vector<IndexDef>& items() const { return items_; }

    private:
        friend class ParadoxTable;
        explicit IndexDefList(const ParadoxTable& table) : table_(table) {}
        const ParadoxTable& table_;
        std::vector<IndexDef> items_;
    };
    IndexDefList& IndexDefs() { return indexDefs_; }

private:
    void requireClosed() const;
    const CompanionIndex& companions();

    StructureReader reader_;
    std::string databaseName_;
    std::string tableName_;
    bool active_ = false;
    TableStructure structure_;
    IndexDefList indexDefs_{*this};
    // One listing serves every table of a directory; renaming the directory drops it.
    std::optional<CompanionIndex> companions_;
};

} // namespace kelvane::conversion
