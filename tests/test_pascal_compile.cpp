// Compiles generated units with Free Pascal against stand-in library units whose TTable
// prints what CreateTable was given, and checks that running them recreates exactly the
// structures that were read.

#include "conversionrun.h"
#include "quietwindow.h"
#include "dirlist.h"
#include "paradoxreader.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <sstream>

using namespace kelvane::conversion;

namespace {

std::string hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "x";
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

// What the stand-in TTable prints for one table; the index section only counts when it is
// not commented out, that is when some index is primary.
std::string expectedOutput(const std::string& directory, const std::string& name, const TableStructure& table,
                           bool indexesAlways = false)
{
    std::ostringstream out;
    out << "TABLE " << hex(directory) << ' ' << hex(name) << '\n';
    for (const FieldDef& field : table.fields)
        out << "FIELD " << hex(field.name) << ' ' << int(field.dataType) << ' ' << field.size << ' '
            << int(field.required) << '\n';
    bool primary = false;
    for (const IndexDef& index : table.indexes)
        primary = primary || (index.options & ixPrimary);
    if (primary || indexesAlways)
        for (const IndexDef& index : table.indexes)
            out << "INDEX " << hex(index.name) << ' ' << hex(index.fields) << ' ' << int(index.options) << '\n';
    out << "END\n";
    return out.str();
}

std::string run(const std::string& command)
{
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return "cannot run " + command;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    const int status = pclose(pipe);
    if (status != 0)
        output += "\n[exit status " + std::to_string(status) + "]";
    return output;
}

bool haveFreePascal()
{
    return std::system("command -v fpc >/dev/null 2>&1") == 0;
}

// Builds a program that calls the unit's two procedures and returns what it printed.
std::string compileAndRun(const TempDir& work, const std::string& unit, const std::string& target)
{
    writeBytes(work.file("runner.pas"), "program runner;\n{$mode delphi}\nuses " + unit +
                                            ";\nbegin\n  CreateDataBase('" + target +
                                            "');\n  AutoCreateDataBase;\nend.\n");
    mkdir(work.file("out").c_str(), 0755);
    const std::string compile = "fpc -B -Mdelphi -v0 -Fu" + std::string(KELVANE_PASCAL_STUBS_DIR) + " -Fu" +
                                work.path() + " -FU" + work.file("out") + " -o" + work.file("runner") + " " +
                                work.file("runner.pas");
    const std::string log = run(compile);
    if (log.find("[exit status") != std::string::npos)
        return "COMPILE FAILED\n" + log;
    return run(work.file("runner"));
}

struct Converted {
    std::vector<std::string> tables;
    std::map<std::string, TableStructure> structures;
};


std::string lastComponent(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

} // namespace

class CorpusUnitCompiles : public testing::TestWithParam<const char*> {};

TEST_P(CorpusUnitCompiles, RecreatesWhatTheReaderReported)
{
    if (!haveFreePascal())
        GTEST_SKIP() << "fpc is not installed";
    const std::string source = std::string(KELVANE_CORPUS_DIR) + "/" + GetParam();
    TempDir work;
    QuietWindow window(source, work.file("CreateDb.pas"));
    ParadoxTable table;
    ConversionRun conversion(window, table);
    conversion.SpeedButton4Click();

    const std::vector<std::string> entries = listDirectory(source);
    const std::vector<std::string> tables = findTables(source);
    ASSERT_FALSE(tables.empty());
    std::string expected;
    for (const std::string& name : tables)
        expected += expectedOutput("/target", name, readParadoxTable(source, name, entries));
    const std::string autoDir = work.path() + "/" + lastComponent(source);
    for (const std::string& name : tables)
        expected += expectedOutput(autoDir, name, readParadoxTable(source, name, entries));

    EXPECT_EQ(compileAndRun(work, "CreateDb", "/target"), expected);
}

INSTANTIATE_TEST_SUITE_P(Folders, CorpusUnitCompiles,
                         testing::Values("paradoxdriver/areas", "paradoxdriver/db", "paradoxdriver/encrypt",
                                         "paradoxdriver/fields", "paradoxdriver/geog", "paradoxdriver/joins",
                                         "paradoxReader", "Rparadox", "Paradox-Reader", "pxlib"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

// Names no engine would make but a hand-edited or foreign table might: quotes, control
// bytes and braces must leave a unit that compiles and passes every byte through.
TEST(GeneratedUnitCompiles, AwkwardNamesSurviveTheTrip)
{
    if (!haveFreePascal())
        GTEST_SKIP() << "fpc is not installed";
    TempDir work;
    const std::string source = work.file("Bob's");
    mkdir(source.c_str(), 0755);
    const std::map<std::string, TableStructure> structures = {
        {"it's.db",
         {{{"O'Brien", ftString, 20, true}, {"tab\there", ftInteger, 0, false}, {"}", ftMemo, 5, false}},
          {{"", "O'Brien", ixPrimary | ixUnique}, {"x}y{", "tab\there", ixCaseInsensitive}}}},
        {"brace}.db",
         {{{"a{b}c", ftDate, 0, false}, {"\x7f\xe4", ftBytes, 255, false}},
          {{"end}", "a{b}c;\x7f\xe4", ixDescending}, {"'}'", "a{b}c", 0}}}},
    };
    for (const auto& [name, structure] : structures)
        writeBytes(source + "/" + name, "");

    QuietWindow window(source, work.file("Awkward.pas"));
    ParadoxTable table([&](const std::string&, const std::string& name, const CompanionIndex&) {
        return structures.at(name);
    });
    ConversionRun conversion(window, table);
    conversion.SpeedButton4Click();

    const std::vector<std::string> order = findTables(source);
    auto expectedFor = [&](bool indexesAlways) {
        std::string expected;
        for (const std::string& dir : {std::string("/target"), work.path() + "/Bob's"})
            for (const std::string& name : order)
                expected += expectedOutput(dir, name, structures.at(name), indexesAlways);
        return expected;
    };
    EXPECT_EQ(compileAndRun(work, "Awkward", "/target"), expectedFor(false));

    // Taking the comment away around a table's indexes gives working code too.
    std::string unit = readBytes(work.file("Awkward.pas"));
    for (const std::string& line :
         {std::string("{\r\n"), std::string("Attention! this part of code is commented because the primary index\r\n"),
          std::string("is not present on this table and this can raise errors during the creation\r\n"),
          std::string("}\r\n")}) {
        const std::size_t at = unit.find("\n" + line);
        ASSERT_NE(at, std::string::npos) << line;
        unit.erase(at + 1, line.size());
    }
    writeBytes(work.file("Awkward.pas"), unit);
    EXPECT_EQ(compileAndRun(work, "Awkward", "/target"), expectedFor(true));
}
