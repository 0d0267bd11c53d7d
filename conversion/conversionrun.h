#pragma once

#include "conversionwindow.h"
#include "paradoxtable.h"
#include "textfile.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelvane::conversion {

/// The text AutoCreateDataBase passes on: the program's folder plus the last "/"-separated
/// component of the source directory, as a Pascal expression.
std::string autoDatabaseExpression(std::string_view sourceDirectory);

/// Names of the entries of `sourceDirectory` that end in ".db" in any letter case, in
/// directory order. A missing directory gives an empty list.
std::vector<std::string> findTables(const std::string& sourceDirectory);

/// One conversion: lists the tables of the source directory and writes the unit that
/// recreates them, reporting progress to the window.
class ConversionRun {
public:
    ConversionRun(ConversionWindow& window, ParadoxTable& table) : window_(window), Table(table) {}

    /// The whole run ("GO!"). The first failure ends it and is raised again, with the
    /// destination file and the table closed, and the pointer back to the default.
    void SpeedButton4Click();
    /// The write run over the current table list.
    void ProcessList();

    const std::string& AutoDatabaseExpression() const { return autoDatabaseExpression_; }
    const std::vector<std::string>& TableList() const { return tableList_; }

private:
    void status(const std::string& text);
    void convertTable(class UnitWriter& writer, const std::string& tableName);
    void resetTable();

    ConversionWindow& window_;
    ParadoxTable& Table;
    TextFile file_;
    std::vector<std::string> tableList_;
    std::string autoDatabaseExpression_;
};

} // namespace kelvane::conversion
