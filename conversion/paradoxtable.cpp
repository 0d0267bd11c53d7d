#include "paradoxtable.h"

#include "dirlist.h"
#include "paradoxreader.h"

namespace kelvane::conversion {

ParadoxTable::ParadoxTable()
    : ParadoxTable([](const std::string& directory, const std::string& fileName, const CompanionIndex& companions) {
          return readParadoxTable(directory, fileName, companions);
      })
{
}

ParadoxTable::ParadoxTable(StructureReader reader) : reader_(std::move(reader)) {}

void ParadoxTable::requireClosed() const
{
    if (active_)
        throw ConversionError("Cannot perform this operation on an open dataset");
}

void ParadoxTable::SetDatabaseName(const std::string& name)
{
    requireClosed();
    if (name != databaseName_)
        companions_.reset();
    databaseName_ = name;
}

void ParadoxTable::SetTableName(const std::string& name)
{
    requireClosed();
    tableName_ = name;
}

const CompanionIndex& ParadoxTable::companions()
{
    if (!companions_)
        companions_.emplace(listDirectory(databaseName_));
    return *companions_;
}

void ParadoxTable::SetActive(bool active)
{
    if (active == active_)
        return;
    if (active) {
        structure_ = reader_(databaseName_, tableName_, companions());
    } else {
        structure_ = {};
        indexDefs_.items_.clear();
    }
    active_ = active;
}

int ParadoxTable::FieldCount() const
{
    return active_ ? static_cast<int>(structure_.fields.size()) : 0;
}

const FieldDef& ParadoxTable::Fields(int index) const
{
    return structure_.fields.at(static_cast<std::size_t>(index));
}

void ParadoxTable::IndexDefList::Update()
{
    items_ = table_.active_ ? table_.structure_.indexes : std::vector<IndexDef>{};
}

} // namespace kelvane::conversion
