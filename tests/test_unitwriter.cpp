#include "ioerror.h"
#include "unitwriter.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kelvane::conversion;

namespace {

const std::vector<std::string> openingLines(const std::string& unit, const std::string& expression)
{
    return {"",
            "// File created by Morvask with Kelvane 1.1",
            "// Enjoy!",
            "",
            "Unit " + unit + ";",
            "",
            "Interface",
            "",
            "uses",
            "  SysUtils, Windows, Messages, Classes, Graphics, Controls,",
            "  Forms, Dialogs, Buttons, Menus, ExtCtrls, DB, DBTables, DbiProcs;",
            "",
            "procedure CreateDataBase(Directory:string);",
            "procedure AutoCreateDataBase;",
            "",
            "Implementation",
            "",
            "procedure AutoCreateDataBase;",
            "begin",
            "  CreateDatabase(" + expression + ");",
            "end;",
            "",
            "procedure CreateDataBase(Directory:string);",
            "begin"};
}

// Writes one unit with a single table through the writer, as the run calls it.
std::string writeOneTable(const TableStructure& table, const std::string& tableName = "CUSTOMER.DB")
{
    TempDir dir;
    TextFile file;
    file.create(dir.file("CreateDb.pas"));
    UnitWriter writer(file);
    writer.writeOpening("/tmp/CreateDb.pas", "ExtractFilePath(Application.ExeName) + 'SHOP'");
    writer.writeBlockHead(tableName);
    for (const FieldDef& field : table.fields)
        writer.writeField(field);
    writer.writeFieldSectionEnd();
    writer.writeIndexSection(table.indexes);
    writer.writeBlockEnd();
    writer.writeClosing();
    file.close();
    return readBytes(dir.file("CreateDb.pas"));
}

std::vector<std::string> blockHead(const std::string& tableLiteral)
{
    return {"",
            "  with TTable.Create(Application) do",
            "  begin",
            "    Active := false;",
            "    DatabaseName := Directory;",
            "    TableName := " + tableLiteral + ";",
            "    TableType := ttParadox;",
            "",
            "    With FieldDefs do",
            "    Begin",
            "      Clear;"};
}

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<std::string> closing = {"End;", "", "End."};
const std::vector<std::string> blockEnd = {"    CreateTable;", "", "  End;"};

} // namespace

TEST(UnitWriter, WorkedExampleByteForByte)
{
    const TableStructure customer{{{"CustNo", ftInteger, 0, true}, {"Company", ftString, 30, false}},
                                  {{"", "CustNo", ixPrimary | ixUnique}}};
    const auto expected = concat({openingLines("CreateDb", "ExtractFilePath(Application.ExeName) + 'SHOP'"),
                                  blockHead("'CUSTOMER.DB'"),
                                  {"      Add('CustNo', ftInteger, 0, True);",
                                   "      Add('Company', ftString, 30, False);", "    End;", "",
                                   "    With IndexDefs do", "    Begin", "      Clear;",
                                   "      Add('', 'CustNo', [ixPrimary,ixUnique]);", "    End;", ""},
                                  blockEnd, closing});
    ASSERT_EQ(expected.size(), 51u);
    EXPECT_EQ(writeOneTable(customer), crlf(expected));
}

TEST(UnitWriter, IndexesWithoutPrimaryAreCommentedOut)
{
    const TableStructure orders{{{"OrderDate", ftDate, 0, false}},
                                {{"ByDate", "OrderDate;CustNo", ixDescending | ixCaseInsensitive}}};
    const auto expected = concat(
        {openingLines("CreateDb", "ExtractFilePath(Application.ExeName) + 'SHOP'"), blockHead("'CUSTOMER.DB'"),
         {"      Add('OrderDate', ftDate, 0, False);", "    End;", "", "{",
          "Attention! this part of code is commented because the primary index",
          "is not present on this table and this can raise errors during the creation", "",
          "    With IndexDefs do", "    Begin", "      Clear;",
          "      Add('ByDate', 'OrderDate;CustNo', [ixCaseInsensitive,ixDescending]);", "    End;", "}", ""},
         blockEnd, closing});
    EXPECT_EQ(writeOneTable(orders), crlf(expected));
}

TEST(UnitWriter, TableWithoutFieldsOrIndexes)
{
    const auto expected = concat({openingLines("CreateDb", "ExtractFilePath(Application.ExeName) + 'SHOP'"),
                                  blockHead("'EMPTY.DB'"), {"    End;", ""}, blockEnd, closing});
    EXPECT_EQ(writeOneTable({}, "EMPTY.DB"), crlf(expected));
}

TEST(UnitWriter, IndexWithoutOptionsAndExpressionIndex)
{
    const TableStructure table{{}, {{"", "A", ixPrimary}, {"Plain", "A;B", 0}, {"Expr", "", ixExpression}}};
    const std::string text = writeOneTable(table);
    EXPECT_NE(text.find("\r\n      Add('Plain', 'A;B', []);\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n      Add('Expr', '', [ixExpression]);\r\n"), std::string::npos);
}

TEST(UnitWriter, NamesStayValidPascalLiterals)
{
    const TableStructure table{{{"O'Brien", ftString, 10, false}, {"a\nb", ftInteger, 0, true}},
                               {{"", "O'Brien", ixPrimary | ixUnique}, {"x}y", "a\nb", 0}}};
    const std::string text = writeOneTable(table, "it's.db");
    EXPECT_NE(text.find("    TableName := 'it''s.db';\r\n"), std::string::npos);
    EXPECT_NE(text.find("      Add('O''Brien', ftString, 10, False);\r\n"), std::string::npos);
    EXPECT_NE(text.find("      Add('a'#10'b', ftInteger, 0, True);\r\n"), std::string::npos);
    EXPECT_NE(text.find("      Add('', 'O''Brien', [ixPrimary,ixUnique]);\r\n"), std::string::npos);
    // Outside a comment a brace is an ordinary character of the literal.
    EXPECT_NE(text.find("      Add('x}y', 'a'#10'b', []);\r\n"), std::string::npos);
}

TEST(UnitWriter, BracesCannotEndTheCommentedIndexSection)
{
    const TableStructure table{{}, {{"End}Here", "A{B", 0}}};
    const std::string text = writeOneTable(table);
    EXPECT_NE(text.find("      Add('End'#125'Here', 'A'#123'B', []);\r\n"), std::string::npos);
    const std::size_t open = text.find("\r\n{\r\n");
    const std::size_t close = text.find("\r\n}\r\n");
    ASSERT_NE(open, std::string::npos);
    ASSERT_NE(close, std::string::npos);
    EXPECT_EQ(text.substr(open + 5, close - open - 5).find_first_of("{}"), std::string::npos);
}

struct UnitNameCase {
    const char* path;
    const char* unit;
};

class UnitNameTest : public testing::TestWithParam<UnitNameCase> {};

TEST_P(UnitNameTest, FileNameWithoutLastExtension)
{
    EXPECT_EQ(unitName(GetParam().path), GetParam().unit);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnitNameTest,
                         testing::Values(UnitNameCase{"/tmp/CreateDb.pas", "CreateDb"},
                                         UnitNameCase{"/tmp/my.tables.pas", "my.tables"},
                                         UnitNameCase{"/tmp/NOEXT", "NOEXT"}, UnitNameCase{"/tmp/.pas", ""},
                                         UnitNameCase{"Units.pas", "Units"},
                                         UnitNameCase{"/data.v2/Units", "Units"},
                                         UnitNameCase{"/tmp/", ""}));

struct LiteralCase {
    const char* text;
    bool inComment;
    const char* literal;
};

class PascalLiteralTest : public testing::TestWithParam<LiteralCase> {};

TEST_P(PascalLiteralTest, Quotes)
{
    EXPECT_EQ(pascalLiteral(GetParam().text, GetParam().inComment), GetParam().literal);
}

INSTANTIATE_TEST_SUITE_P(Cases, PascalLiteralTest,
                         testing::Values(LiteralCase{"", false, "''"}, LiteralCase{"Company", false, "'Company'"},
                                         LiteralCase{"'", false, "''''"},
                                         LiteralCase{"\x01", false, "#1"},
                                         LiteralCase{"\tx\x1f", false, "#9'x'#31"},
                                         LiteralCase{"W\xe4hrung", false, "'W\xe4hrung'"},
                                         LiteralCase{"{x}", false, "'{x}'"},
                                         LiteralCase{"{x}", true, "#123'x'#125"}));

TEST(TextFile, ReportsTheStandardFileErrors)
{
    TempDir dir;
    writeBytes(dir.file("plain"), "x");
    const struct {
        std::string path;
        const char* message;
    } cases[] = {
        {"", "I/O error 105"},
        {dir.file("missing/CreateDb.pas"), "Invalid filename"},
        {dir.file("plain/CreateDb.pas"), "Invalid filename"},
        {dir.path(), "File access denied"},
    };
    for (const auto& c : cases) {
        TextFile file;
        try {
            file.create(c.path);
            FAIL() << "created " << c.path;
        } catch (const IoError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.path;
        }
    }
}

TEST(TextFile, FullDiskIsReported)
{
    TextFile file;
    file.create("/dev/full");
    try {
        file.writeLine("x");
        file.close();
        FAIL() << "writing to a full device succeeded";
    } catch (const IoError& error) {
        EXPECT_STREQ(error.what(), "Disk full");
        EXPECT_EQ(error.code(), 101);
    }
    EXPECT_FALSE(file.isOpen());
}
