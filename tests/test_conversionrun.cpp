#include "conversionrun.h"
#include "dirlist.h"
#include "gaugemodel.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <map>

using namespace kelvane::conversion;

namespace {

// Records what the run shows; the gauge keeps the rules of the real one.
class FakeWindow : public ConversionWindow {
public:
    std::string source;
    std::string unitPath;
    std::vector<std::string> statuses;
    std::vector<int> progressAtStatus;
    GaugeModel gauge;
    int refreshes = 0;
    bool busy = false;
    int edit1Reads = 0;

    std::string Edit1Text() const override
    {
        ++const_cast<FakeWindow*>(this)->edit1Reads;
        return source;
    }
    std::string Edit2Text() const override { return unitPath; }
    void SetLabel1Caption(const std::string& text) override
    {
        statuses.push_back(text);
        progressAtStatus.push_back(gauge.Progress());
    }
    void SetGaugeMinValue(int value) override { gauge.SetMinValue(value); }
    void SetGaugeMaxValue(int value) override { gauge.SetMaxValue(value); }
    void SetGaugeProgress(int value) override { gauge.SetProgress(value); }
    void Refresh() override { ++refreshes; }
    void SetBusyCursor(bool value) override { busy = value; }
};

// Structures by table name; a name mapped to an error message fails to open.
struct FakeReader {
    std::map<std::string, TableStructure> tables;
    std::map<std::string, std::string> failures;
    std::vector<std::string> opened;

    ParadoxTable::StructureReader reader()
    {
        return [this](const std::string& dir, const std::string& name, const CompanionIndex&) {
            opened.push_back(dir + "|" + name);
            if (auto failure = failures.find(name); failure != failures.end())
                throw TableError(failure->second);
            return tables.at(name);
        };
    }
};

void touch(const std::string& path)
{
    writeBytes(path, "");
}

const TableStructure sample{{{"ID", ftAutoInc, 0, false}}, {{"", "ID", ixPrimary | ixUnique}}};

std::string blockFor(const std::string& name)
{
    return "\r\n  with TTable.Create(Application) do\r\n  begin\r\n    Active := false;\r\n"
           "    DatabaseName := Directory;\r\n    TableName := '" +
           name +
           "';\r\n    TableType := ttParadox;\r\n\r\n    With FieldDefs do\r\n    Begin\r\n      Clear;\r\n"
           "      Add('ID', ftAutoInc, 0, False);\r\n    End;\r\n\r\n    With IndexDefs do\r\n    Begin\r\n"
           "      Clear;\r\n      Add('', 'ID', [ixPrimary,ixUnique]);\r\n    End;\r\n\r\n    CreateTable;\r\n\r\n"
           "  End;\r\n";
}

class ConversionRunTest : public testing::Test {
protected:
    TempDir dir;
    std::string source = dir.file("SHOP");
    FakeWindow window;
    FakeReader fake;
    ParadoxTable table{fake.reader()};
    ConversionRun run{window, table};

    void SetUp() override
    {
        mkdir(source.c_str(), 0755);
        window.source = source;
        window.unitPath = dir.file("CreateDb.pas");
    }

    void addTables(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            touch(source + "/" + name);
            fake.tables[name] = sample;
        }
    }

    std::string unit() const { return readBytes(window.unitPath); }
};

} // namespace

TEST_F(ConversionRunTest, ConvertsEveryTableInDirectoryOrder)
{
    addTables({"a.db", "B.DB", ".c.Db"});
    for (const char* other : {"d.dbf", "e.db.bak", "f.DBX", "db"})
        touch(source + "/" + other);

    run.SpeedButton4Click();

    std::vector<std::string> expectedOrder;
    for (const std::string& name : listDirectory(source))
        if (fake.tables.count(name))
            expectedOrder.push_back(name);
    ASSERT_EQ(expectedOrder.size(), 3u);

    std::vector<std::string> expectedOpened, expectedStatus = {"Writing header...", "Seeking Tables..."};
    std::string body;
    for (const std::string& name : expectedOrder) {
        expectedOpened.push_back(source + "|" + name);
        expectedStatus.push_back("Parsing Table: " + name);
        body += blockFor(name);
    }
    expectedStatus.push_back("Conversion Terminated!");
    EXPECT_EQ(fake.opened, expectedOpened);
    EXPECT_EQ(window.statuses, expectedStatus);
    EXPECT_EQ(window.refreshes, 6);
    EXPECT_EQ(window.edit1Reads, 1 + 3); // once for the run, again for every table
    const std::string text = unit();
    const std::string head = "procedure CreateDataBase(Directory:string);\r\nbegin\r\n";
    ASSERT_NE(text.find(head), std::string::npos);
    EXPECT_EQ(text.substr(text.find(head) + head.size()), body + "End;\r\n\r\nEnd.\r\n");
    EXPECT_NE(text.find("  CreateDatabase(ExtractFilePath(Application.ExeName) + 'SHOP');\r\n"), std::string::npos);

    EXPECT_EQ(window.gauge.MaxValue(), 3);
    EXPECT_EQ(window.gauge.Progress(), 3);
    EXPECT_FALSE(window.busy);
    EXPECT_FALSE(table.Active());
    EXPECT_EQ(table.DatabaseName(), "");
    EXPECT_EQ(table.TableName(), "");
    EXPECT_TRUE(run.TableList().empty());
}

TEST_F(ConversionRunTest, MissingOrEmptyDirectoryGivesAnEmptyUnit)
{
    for (const std::string& s : {source, dir.file("nowhere")}) {
        window.source = s;
        window.statuses.clear();
        run.SpeedButton4Click();
        const std::string text = unit();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 27);
        EXPECT_NE(text.find("\r\nbegin\r\nEnd;\r\n\r\nEnd.\r\n"), std::string::npos);
        EXPECT_EQ(window.gauge.MaxValue(), 0);
        EXPECT_EQ(window.statuses.back(), "Conversion Terminated!");
    }
}

TEST_F(ConversionRunTest, SubdirectoryNamedDbEndsTheRunAtThatEntry)
{
    mkdir((source + "/old.db").c_str(), 0755);
    fake.failures["old.db"] = "Table \"old.db\": cannot open the file (Is a directory)";
    try {
        run.SpeedButton4Click();
        FAIL() << "a directory was read as a table";
    } catch (const TableError& error) {
        EXPECT_STREQ(error.what(), "Table \"old.db\": cannot open the file (Is a directory)");
    }
    EXPECT_EQ(window.statuses.back(), "Parsing Table: old.db");
}

struct ExpressionCase {
    const char* source;
    const char* expression;
};

class AutoExpressionTest : public testing::TestWithParam<ExpressionCase> {};

TEST_P(AutoExpressionTest, LastComponentOfTheSource)
{
    EXPECT_EQ(autoDatabaseExpression(GetParam().source), GetParam().expression);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoExpressionTest,
    testing::Values(ExpressionCase{"/data/SHOP", "ExtractFilePath(Application.ExeName) + 'SHOP'"},
                    ExpressionCase{"/data/SHOP/", "ExtractFilePath(Application.ExeName) + ''"},
                    ExpressionCase{"", "ExtractFilePath(Application.ExeName) + ''"},
                    ExpressionCase{"SHOP", "ExtractFilePath(Application.ExeName) + 'SHOP'"},
                    ExpressionCase{"C:\\DATA", "ExtractFilePath(Application.ExeName) + 'C:\\DATA'"},
                    ExpressionCase{"/data/Bob's", "ExtractFilePath(Application.ExeName) + 'Bob''s'"}));

TEST_F(ConversionRunTest, GaugeKeepsItsPositionBetweenRuns)
{
    addTables({"a.db", "b.db", "c.db"});
    run.SpeedButton4Click();
    EXPECT_EQ(window.gauge.Progress(), 3);

    // Fewer tables: the run starts with the gauge full.
    std::filesystem::remove(source + "/b.db");
    std::filesystem::remove(source + "/c.db");
    window.progressAtStatus.clear();
    run.SpeedButton4Click();
    EXPECT_EQ(window.progressAtStatus.front(), 1);
    EXPECT_EQ(window.gauge.MaxValue(), 1);

    // More tables: it starts at the previous count.
    addTables({"d.db", "e.db", "f.db", "g.db"});
    window.progressAtStatus.clear();
    run.SpeedButton4Click();
    EXPECT_EQ(window.progressAtStatus.front(), 1);
    EXPECT_EQ(window.gauge.Progress(), 5);
}

TEST_F(ConversionRunTest, FailedTableKeepsWhatWasWrittenAndLeavesNothingOpen)
{
    addTables({"only.db"});
    fake.failures["only.db"] = "Table \"only.db\": not a Paradox table (file type byte 0x74)";
    writeBytes(window.unitPath, std::string(100000, 'x'));
    try {
        run.SpeedButton4Click();
        FAIL() << "the damaged table was not reported";
    } catch (const TableError& error) {
        EXPECT_STREQ(error.what(), "Table \"only.db\": not a Paradox table (file type byte 0x74)");
    }
    EXPECT_EQ(window.statuses.back(), "Parsing Table: only.db");
    EXPECT_EQ(window.gauge.Progress(), 0);
    EXPECT_FALSE(window.busy);
    EXPECT_FALSE(table.Active());
    const std::string text = unit();
    EXPECT_TRUE(text.ends_with("procedure CreateDataBase(Directory:string);\r\nbegin\r\n" + blockFor("only.db").substr(0, blockFor("only.db").find("      Add("))));
    EXPECT_EQ(text.find(std::string(100, 'x')), std::string::npos); // the old file was replaced

    // The next run writes the same file and reads the table again.
    fake.failures.clear();
    run.SpeedButton4Click();
    EXPECT_TRUE(unit().ends_with("End.\r\n"));
    EXPECT_EQ(fake.opened.size(), 2u);
}

TEST_F(ConversionRunTest, DestinationThatCannotBeCreatedReadsNoTable)
{
    addTables({"a.db"});
    window.unitPath = dir.file("missing/CreateDb.pas");
    try {
        run.SpeedButton4Click();
        FAIL() << "the unit was written into a missing folder";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "Invalid filename");
    }
    EXPECT_EQ(window.statuses.back(), "Writing header...");
    EXPECT_TRUE(fake.opened.empty());
    EXPECT_FALSE(window.busy);
}
