// The reader against real tables made by Paradox and the database engine.

#include "dirlist.h"
#include "paradoxfile.h"
#include "paradoxheader.h"
#include "paradoxreader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kelvane::conversion {

void PrintTo(const FieldDef& f, std::ostream* out) {
    *out << "(\"" << f.name << "\", " << int{f.dataType} << ", " << f.size
         << (f.required ? ", required)" : ")");
}

void PrintTo(const IndexDef& i, std::ostream* out) {
    *out << "(\"" << i.name << "\", \"" << i.fields << "\", " << int{i.options} << ")";
}

namespace {

namespace fs = std::filesystem;

const std::string kCorpus = KELVANE_CORPUS_DIR;

FieldDef F(const char* name, std::uint8_t type, std::uint16_t size = 0, bool required = false) {
    return FieldDef{name, type, size, required};
}

IndexDef I(const char* name, const char* fields, std::uint8_t options) {
    return IndexDef{name, fields, options};
}

constexpr std::uint8_t kPrimary = ixPrimary | ixUnique;

TableStructure readCorpusTable(const std::string& relativePath) {
    const fs::path path = fs::path(kCorpus) / relativePath;
    const std::string directory = path.parent_path().string();
    return readParadoxTable(directory, path.filename().string(), listDirectory(directory));
}

ParadoxHeader corpusHeader(const std::string& relativePath) {
    return parseParadoxHeader(readHeaderArea(kCorpus + "/" + relativePath), HeaderRole::Table);
}

struct CorpusCase {
    const char* path;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;
};

std::ostream& operator<<(std::ostream& out, const CorpusCase& c) {
    return out << c.path;
}

class CorpusTable : public ::testing::TestWithParam<CorpusCase> {};

TEST_P(CorpusTable, ReportsTheExpectedDefinitions) {
    const CorpusCase& expected = GetParam();
    const TableStructure read = readCorpusTable(expected.path);
    EXPECT_EQ(read.fields, expected.fields);
    EXPECT_EQ(read.indexes, expected.indexes);
}

// The worked example: every type of 7.x, a two-field key, non-maintained .X02/.X0C beside a
// .PX and a .VAL that holds only a picture.
const std::vector<FieldDef> kTypSammlungFields{
    F("Alpha", ftString, 30),     F("Numerisch", ftFloat),
    F("W\xE4hrung", ftCurrency),  F("Integer kurz", ftSmallint),
    F("Integer lang", ftInteger), F("BCD", ftBCD, 6),
    F("Datum", ftDate),           F("Zeit", ftTime),
    F("Datum/Zeit", ftDateTime),  F("Memo", ftMemo, 1),
    F("Logisch", ftBoolean),      F("Z\xE4hler", ftAutoInc),
    F("Bin\xE4r", ftBlob),        F("Bytes", ftBytes, 255),
};

INSTANTIATE_TEST_SUITE_P(
    WorkedExample, CorpusTable,
    ::testing::Values(
        CorpusCase{"pxlib/TypSammlung.DB",
                   kTypSammlungFields,
                   {I("", "Alpha;Numerisch", kPrimary), I("Numerisch", "Numerisch", 0),
                    I("Z\xE4hler", "Z\xE4hler", 0)}},
        // The same bytes with no companions: keyed without .PX still reports the primary index.
        CorpusCase{"Rparadox/TypSammlung.DB", kTypSammlungFields, {I("", "Alpha;Numerisch", kPrimary)}}));

INSTANTIATE_TEST_SUITE_P(
    Versions, CorpusTable,
    ::testing::Values(
        // 3.0: exact header size (234 bytes), 1 KiB blocks, a field named "1".
        CorpusCase{"paradoxdriver/areas/AREACODE.DB",
                   {F("1", ftString, 3), F("AC", ftString, 3), F("Country", ftString, 20),
                    F("State", ftString, 21), F("St", ftString, 4), F("Desc", ftString, 55)},
                   {}},
        // 3.0 keyed with no .PX.
        CorpusCase{"paradoxdriver/areas/STATES.DB",
                   {F("Abv", ftString, 2), F("State", ftString, 14), F("Zip From", ftString, 3),
                    F("Zip To", ftString, 3)},
                   {I("", "Abv", kPrimary)}},
        CorpusCase{"paradoxdriver/fields/date35.db", {F("DATE", ftDate)}, {}},
        CorpusCase{"paradoxdriver/fields/date4.db", {F("DATE", ftDate)}, {}},
        CorpusCase{"paradoxdriver/fields/date5.db", {F("DATE", ftDate), F("TIME", ftTime)}, {}},
        // 5.x, code page 936.
        CorpusCase{"paradoxdriver/db/GENERAL.DB",
                   {F("ID", ftInteger), F("NAME", ftString, 25), F("MONEYS", ftCurrency)},
                   {I("", "ID", kPrimary)}},
        // 7.x with a two-field Alpha key and an A255.
        CorpusCase{"paradoxdriver/db/SERVER.DB",
                   {F("REQTYPE", ftString, 1), F("URI", ftString, 80), F("LIBRARY", ftString, 255),
                    F("HANDLER", ftString, 80)},
                   {I("", "REQTYPE;URI", kPrimary)}}));

INSTANTIATE_TEST_SUITE_P(
    FieldTypes, CorpusTable,
    ::testing::Values(CorpusCase{"paradoxdriver/fields/bcd.db",
                                 {F("A", ftBCD, 2), F("B", ftBCD, 0), F("C", ftBCD, 32)},
                                 {}},
                      CorpusCase{"paradoxdriver/fields/bytes.db", {F("BYTES", ftBytes, 255)}, {}},
                      CorpusCase{"paradoxdriver/fields/fmemo.db",
                                 {F("Id", ftAutoInc), F("FMEMO", ftFmtMemo, 0)},
                                 {I("", "Id", kPrimary)}},
                      CorpusCase{"paradoxdriver/fields/graphic.db",
                                 {F("Id", ftAutoInc), F("Graphic", ftGraphic, 0), F("Type", ftString, 3)},
                                 {I("", "Id", kPrimary)}},
                      CorpusCase{"paradoxdriver/fields/graphic240.db",
                                 {F("Id", ftAutoInc), F("Graph", ftGraphic, 240)},
                                 {I("", "Id", kPrimary)}},
                      CorpusCase{"paradoxdriver/fields/memo.db",
                                 {F("Id", ftAutoInc), F("MEMO", ftMemo, 240)},
                                 {I("", "Id", kPrimary)}},
                      CorpusCase{"paradoxdriver/fields/ole.db",
                                 {F("Id", ftAutoInc), F("OLE", ftParadoxOle, 0)},
                                 {I("", "Id", kPrimary)}},
                      CorpusCase{"paradoxdriver/fields/long.db",
                                 {F("Id", ftAutoInc), F("LONG", ftInteger)},
                                 {I("", "Id", kPrimary)}},
                      CorpusCase{"paradoxdriver/fields/time.db", {F("Time", ftTime)}, {}},
                      CorpusCase{"paradoxdriver/fields/timestamp.db", {F("Timestamp", ftDateTime)}, {}},
                      // Every 5.x type; an .XG0 on a Time field, case-insensitive. (The file's field named
                      // BINARY is a Bytes field and the one named BYTES a Binary field.)
                      CorpusCase{"Paradox-Reader/testtab.DB",
                                 {F("ID", ftAutoInc), F("ALPHA", ftString, 5), F("NUMBER", ftFloat),
                                  F("MONEY", ftCurrency), F("SHORT", ftSmallint), F("LONG", ftInteger),
                                  F("BCD", ftBCD, 2), F("DATE", ftDate), F("TIME", ftTime),
                                  F("TIMESTAMP", ftDateTime), F("LOGICAL", ftBoolean),
                                  F("BINARY", ftBytes, 5), F("BYTES", ftBlob, 0), F("MEMO", ftMemo, 1)},
                                 {I("", "ID", kPrimary), I("TIMEINDEX", "TIME", ixCaseInsensitive)}}));

INSTANTIATE_TEST_SUITE_P(
    Encrypted, CorpusTable,
    ::testing::Values(
        CorpusCase{"paradoxdriver/encrypt/encrypted.db", {F("Id", ftAutoInc), F("Text", ftString, 30)}, {}},
        CorpusCase{"paradoxdriver/encrypt/encrypted35.db", {F("A", ftFloat), F("B", ftString, 30)}, {}},
        CorpusCase{"paradoxdriver/encrypt/encryptedmemo.db", {F("TEXT", ftMemo, 240)}, {}}));

INSTANTIATE_TEST_SUITE_P(
    Required, CorpusTable,
    ::testing::Values(CorpusCase{"paradoxdriver/fields/logical.db", {F("BOOL", ftBoolean, 0, true)}, {}},
                      CorpusCase{"paradoxdriver/joins/paradox-ascii.db", {F("A", ftString, 20, true)}, {}},
                      // Pictures only.
                      CorpusCase{"paradoxdriver/areas/ZIPCODES.DB",
                                 {F("Zip", ftString, 5), F("State", ftString, 2), F("City", ftString, 25)},
                                 {I("", "Zip", kPrimary)}},
                      CorpusCase{"paradoxdriver/db/AREACODE.DB",
                                 {F("Area Code", ftString, 3), F("Country", ftString, 30),
                                  F("Full State", ftString, 21), F("State", ftString, 2)},
                                 {I("", "Area Code", kPrimary)}},
                      // Referential integrity only.
                      CorpusCase{"paradoxdriver/joins/primary.db",
                                 {F("ID", ftAutoInc), F("Name", ftString, 50)},
                                 {I("", "ID", kPrimary)}},
                      CorpusCase{"paradoxdriver/joins/fk1.db",
                                 {F("ID", ftAutoInc), F("FK", ftInteger)},
                                 {I("", "ID", kPrimary), I("FK", "FK", 0)}}));

INSTANTIATE_TEST_SUITE_P(
    Indexes, CorpusTable,
    ::testing::Values(
        CorpusCase{"paradoxdriver/db/AREACODES.DB",
                   {F("AC", ftString, 5), F("State", ftString, 3), F("Cities", ftString, 157)},
                   {I("", "AC", kPrimary), I("ste", "State", ixCaseInsensitive)}},
        CorpusCase{"paradoxdriver/db/CUSTOMER.DB",
                   {F("CustNo", ftAutoInc), F("FirstName", ftString, 51), F("LastName", ftString, 50),
                    F("EMail", ftString, 100), F("Street", ftString, 30), F("City", ftString, 15),
                    F("State/Prov", ftString, 20), F("Zip/Postal Code", ftString, 10),
                    F("Comments", ftMemo, 100), F("DateEntered", ftDate)},
                   {I("", "CustNo", kPrimary), I("City", "City", 0)}},
        CorpusCase{"paradoxdriver/joins/C.DB",
                   {F("C", ftInteger, 0, true), F("A", ftInteger, 0, true), F("B", ftInteger)},
                   {I("", "C", kPrimary), I("A", "A", 0), I("B", "B", 0)}},
        // Composite, case-sensitive .XG0 whose item F repeats a key field; the .VAL still
        // names field 3 "B", renamed "B1" in the table.
        CorpusCase{"paradoxdriver/joins/fk4.db",
                   {F("ID", ftInteger), F("FK1", ftInteger), F("B1", ftString, 3), F("FK", ftInteger)},
                   {I("", "ID", kPrimary), I("reference", "FK1;FK", 0)}},
        CorpusCase{
            "paradoxdriver/joins/multiple.db",
            {F("ID", ftAutoInc), F("FK", ftInteger, 0, true), F("A", ftString, 20), F("FK2", ftInteger)},
            {I("", "ID", kPrimary), I("FK", "FK", 0), I("FK2", "FK2", 0)}},
        CorpusCase{"paradoxdriver/joins/two.db",
                   {F("ID1", ftInteger), F("ID2", ftInteger), F("Name", ftString, 3)},
                   {I("", "ID1;ID2", kPrimary)}},
        // Unkeyed 7.x, non-maintained, descending and case-insensitive.
        CorpusCase{"paradoxdriver/joins/indexed.db",
                   {F("Indexed", ftInteger)},
                   {I("Descending", "Indexed", ixDescending | ixCaseInsensitive)}},
        // Unkeyed 4.x, non-maintained .x01 whose item F lists more than the indexed field.
        CorpusCase{"paradoxdriver/joins/case.db", {F("C", ftString, 10)}, {I("C", "C", 0)}}));

TEST(CorpusTables, NonSequentialFieldNumbersAndALargeHeader) {
    const ParadoxHeader header = corpusHeader("paradoxReader/MEMBRE.DB");
    EXPECT_EQ(header.headerSize, 0x1000);
    EXPECT_EQ(header.blockSizeKiB, 16);
    ASSERT_EQ(header.fieldNumbers.size(), 92u);
    EXPECT_EQ(std::vector<std::uint16_t>(header.fieldNumbers.begin(), header.fieldNumbers.begin() + 6),
              (std::vector<std::uint16_t>{1, 23, 22, 3, 4, 58}));

    // Reported in physical order, never re-sorted by field number.
    const TableStructure read = readCorpusTable("paradoxReader/MEMBRE.DB");
    ASSERT_EQ(read.fields.size(), 92u);
    EXPECT_EQ(read.fields[0], F("Code_membre", ftAutoInc));
    EXPECT_EQ(read.fields[1], F("Code", ftString, 20));
    EXPECT_EQ(read.fields[5], F("Sexe", ftSmallint));
    EXPECT_EQ(read.fields[52], F("Memo", ftMemo, 1));
    EXPECT_EQ(read.fields[53], F("Photo", ftGraphic, 0));
    EXPECT_EQ(read.fields[90], F("N\xF8 Licence", ftString, 32));
    EXPECT_EQ(read.fields[91], F("Classement", ftString, 32));
    EXPECT_EQ(read.indexes, (std::vector<IndexDef>{I("", "Code_membre", kPrimary)}));
}

TEST(CorpusTables, NamesArePassedOnAsRawBytes) {
    // Cyrillic names in code page 866, in a 3.5 table that stores no code page and in its
    // 4.x twin that does.
    for (const char* path : {"Rparadox/of.db", "Rparadox/of_cp866.db"}) {
        const TableStructure read = readCorpusTable(path);
        ASSERT_EQ(read.fields.size(), 19u) << path;
        EXPECT_EQ(read.fields[0],
                  F("\x88\xAD\xA2\xA5\xAD\xE2\xA0\xE0\xAD\xEB\xA9 \xAD\xAE\xAC\xA5\xE0", ftString, 10))
            << path;
    }
    EXPECT_EQ(corpusHeader("Rparadox/of.db").codePage, 866);
    EXPECT_EQ(corpusHeader("Rparadox/of_cp866.db").codePage, 866);
    EXPECT_EQ(corpusHeader("paradoxdriver/db/ROMAN8.db").codePage, 0);
}

TEST(CorpusTables, EncryptionIsDetectedFromThePlainHeader) {
    for (const char* path : {"paradoxdriver/encrypt/encrypted.db", "paradoxdriver/encrypt/encrypted35.db",
                             "paradoxdriver/encrypt/encryptedmemo.db"})
        EXPECT_TRUE(corpusHeader(path).encrypted) << path;
    for (const char* path : {"paradoxdriver/fields/date35.db", "paradoxdriver/fields/date4.db",
                             "paradoxdriver/fields/date5.db", "pxlib/TypSammlung.DB"})
        EXPECT_FALSE(corpusHeader(path).encrypted) << path;
}

bool isTableFile(const fs::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".db";
}

TEST(CorpusTables, EveryTableReadsAndBothLookupsAgree) {
    int tables = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kCorpus)) {
        if (!entry.is_regular_file() || !isTableFile(entry.path()))
            continue;
        const std::string directory = entry.path().parent_path().string();
        const std::string name = entry.path().filename().string();
        const std::vector<std::string> entries = listDirectory(directory);
        TableStructure read;
        ASSERT_NO_THROW(read = readParadoxTable(directory, name, entries)) << entry.path();
        EXPECT_FALSE(read.fields.empty()) << entry.path();
        EXPECT_EQ(readParadoxTable(directory, name, CompanionIndex(entries)), read) << entry.path();
        ++tables;
    }
    EXPECT_EQ(tables, 67); // the corpus README's 52 + 7 + 5 + 2 + 1 tables
}

} // namespace
} // namespace kelvane::conversion
