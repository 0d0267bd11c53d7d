#include "conversionrun.h"

#include "dirlist.h"
#include "unitwriter.h"

namespace kelvane::conversion {

std::string autoDatabaseExpression(std::string_view sourceDirectory)
{
    const std::size_t slash = sourceDirectory.find_last_of('/');
    const std::string_view last = slash == std::string_view::npos ? sourceDirectory : sourceDirectory.substr(slash + 1);
    return "ExtractFilePath(Application.ExeName) + " + pascalLiteral(last);
}

namespace {
bool endsWithDb(const std::string& name)
{
    if (name.size() < 3)
        return false;
    const char* tail = name.c_str() + name.size() - 3;
    return tail[0] == '.' && (tail[1] == 'd' || tail[1] == 'D') && (tail[2] == 'b' || tail[2] == 'B');
}
} // namespace

std::vector<std::string> findTables(const std::string& sourceDirectory)
{
    std::vector<std::string> tables;
    for (std::string& name : listDirectory(sourceDirectory))
        if (endsWithDb(name))
            tables.push_back(std::move(name));
    return tables;
}

void ConversionRun::SpeedButton4Click()
{
    window_.SetBusyCursor(true);
    const std::string source = window_.Edit1Text();
    autoDatabaseExpression_ = autoDatabaseExpression(source);
    tableList_ = findTables(source);
    try {
        ProcessList();
    } catch (...) {
        // Leave nothing open, so the next run can write the same file and read the tables.
        file_.closeQuietly();
        resetTable();
        tableList_.clear();
        window_.SetBusyCursor(false);
        throw;
    }
    tableList_.clear();
    window_.SetBusyCursor(false);
}

void ConversionRun::ProcessList()
{
    window_.SetGaugeMaxValue(static_cast<int>(tableList_.size()));
    window_.SetGaugeMinValue(0);
    status("Writing header...");
    const std::string unitPath = window_.Edit2Text();
    file_.create(unitPath);
    UnitWriter writer(file_);
    writer.writeOpening(unitPath, autoDatabaseExpression_);
    status("Seeking Tables...");
    for (std::size_t i = 0; i < tableList_.size(); ++i) {
        status("Parsing Table: " + tableList_[i]);
        convertTable(writer, tableList_[i]);
        window_.SetGaugeProgress(static_cast<int>(i + 1));
    }
    writer.writeClosing();
    file_.close();
    window_.SetLabel1Caption("Conversion Terminated!");
    resetTable();
    window_.Refresh();
}

void ConversionRun::convertTable(UnitWriter& writer, const std::string& tableName)
{
    writer.writeBlockHead(tableName);
    Table.SetDatabaseName(window_.Edit1Text());
    Table.SetTableName(tableName);
    Table.SetActive(true);
    for (int i = 0; i < Table.FieldCount(); ++i)
        writer.writeField(Table.Fields(i));
    writer.writeFieldSectionEnd();
    Table.IndexDefs().Update();
    writer.writeIndexSection(Table.IndexDefs().items());
    writer.writeBlockEnd();
    Table.SetActive(false);
}

void ConversionRun::status(const std::string& text)
{
    window_.SetLabel1Caption(text);
    window_.Refresh();
}

void ConversionRun::resetTable()
{
    Table.SetActive(false);
    Table.SetDatabaseName("");
    Table.SetTableName("");
}

} // namespace kelvane::conversion
