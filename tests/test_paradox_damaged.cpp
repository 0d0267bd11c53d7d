// Damaged and foreign inputs: each case starts from a sound table built byte by byte,
// breaks one thing, and pins the message the user sees.

#include "test_paradoxbuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace kelvane::conversion {
namespace {

using testing::BuiltCheck;
using testing::Bytes;
using testing::get16;
using testing::put16;
using testing::put32;
using testing::TableBuilder;

// A 7.x keyed table of five fields. Offsets in its header: descriptors at 0x78 (field i at
// 0x76 + 2i), names from 0x19F to 0x1B9, field numbers 0x1B9..0x1C3, sort order to 0x1C9.
TableBuilder events() {
    TableBuilder t;
    t.keyCount = 1;
    t.fields = {
        {"ID", 0x16, 4}, {"Name", 0x01, 20}, {"When", 0x15, 8}, {"Amount", 0x05, 8}, {"Notes", 0x0C, 11}};
    return t;
}

Bytes maintainedX02() {
    return testing::secondaryIndexFile(events(), {2}, true).build();
}

Bytes nonMaintainedX02() {
    return testing::secondaryIndexFile(events(), {2}, false).build();
}

Bytes namedXG0() {
    return testing::secondaryIndexFile(events(), {2, 3}, true, "by name").build();
}

// Name is required; the footer lists every field of the table.
Bytes eventsVal() {
    return testing::validityFile(events(), {BuiltCheck{1, true, false, false, {}}});
}

std::size_t itemF(const Bytes& header) {
    return get16(header, 0x66) + 0x58u;
}

struct Folder {
    Bytes table = events().build();
    std::map<std::string, Bytes> companions;
};

TableStructure parse(const Folder& folder) {
    std::vector<ParadoxFileBytes> files;
    for (const auto& [name, bytes] : folder.companions)
        files.push_back({name, bytes});
    return parseParadoxTable({"EVENTS.DB", folder.table}, files);
}

struct DamageCase {
    const char* name;
    std::function<void(Folder&)> damage;
    std::string message;
};

std::ostream& operator<<(std::ostream& out, const DamageCase& c) {
    return out << c.name;
}

std::string caseName(const ::testing::TestParamInfo<DamageCase>& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (c == '-')
            c = '_';
    return name;
}

class Damaged : public ::testing::TestWithParam<DamageCase> {};

TEST_P(Damaged, IsRejectedWithAMessageNamingTheFileAndTheProblem) {
    Folder folder;
    GetParam().damage(folder);
    try {
        parse(folder);
        FAIL() << "read without an error";
    } catch (const TableError& error) {
        EXPECT_EQ(std::string(error.what()), GetParam().message);
    }
}

const std::string T = "Table \"EVENTS.DB\": ";

INSTANTIATE_TEST_SUITE_P(
    NotATable, Damaged,
    ::testing::Values(DamageCase{"empty-file", [](Folder& f) { f.table.clear(); },
                                 T + "too short to be a Paradox table (0 bytes)"},
                      DamageCase{"cut-inside-fixed-part", [](Folder& f) { f.table.resize(0x57); },
                                 T + "too short to be a Paradox table (87 bytes)"},
                      DamageCase{"sqlite-database",
                                 [](Folder& f) {
                                     const std::string magic("SQLite format 3", 16); // byte 4 is 't'
                                     f.table.assign(magic.begin(), magic.end());
                                     f.table.resize(4096);
                                 },
                                 T + "not a Paradox table (file type byte 0x74)"},
                      DamageCase{"ole-compound-file",
                                 [](Folder& f) {
                                     f.table = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1}; // Thumbs.db
                                     f.table.resize(512);
                                 },
                                 T + "not a Paradox table (file type byte 0xA1)"},
                      DamageCase{"primary-index-named-db", [](Folder& f) { f.table[0x04] = 1; },
                                 T + "Paradox index file, not a table (file type byte 0x01)"},
                      DamageCase{"file-type-9", [](Folder& f) { f.table[0x04] = 9; },
                                 T + "not a Paradox table (file type byte 0x09)"},
                      DamageCase{"version-0x0D", [](Folder& f) { f.table[0x39] = 0x0D; },
                                 T + "unknown Paradox version (0x0D)"},
                      DamageCase{"version-0x02", [](Folder& f) { f.table[0x39] = 0x02; },
                                 T + "unknown Paradox version (0x02)"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    FixedPart, Damaged,
    ::testing::Values(DamageCase{"block-size-zero", [](Folder& f) { f.table[0x05] = 0; },
                                 T + "invalid block size byte 0 (allowed 1 to 32)"},
                      DamageCase{"block-size-33", [](Folder& f) { f.table[0x05] = 33; },
                                 T + "invalid block size byte 33 (allowed 1 to 32)"},
                      DamageCase{"record-size-zero", [](Folder& f) { put16(f.table, 0x00, 0); },
                                 T + "record size 0 is invalid"},
                      DamageCase{"record-size-beyond-block", [](Folder& f) { put16(f.table, 0x00, 2043); },
                                 T + "record size 2043 does not fit a block of 2048 bytes"},
                      DamageCase{"field-count-zero", [](Folder& f) { put16(f.table, 0x21, 0); },
                                 T + "header counts disagree (field count 0, allowed 1 to 255)"},
                      DamageCase{"field-count-negative", [](Folder& f) { put16(f.table, 0x21, 0xFFFF); },
                                 T + "header counts disagree (field count -1, allowed 1 to 255)"},
                      DamageCase{"field-count-256", [](Folder& f) { put16(f.table, 0x21, 256); },
                                 T + "header counts disagree (field count 256, allowed 1 to 255)"},
                      DamageCase{"key-count-beyond-fields", [](Folder& f) { put16(f.table, 0x23, 6); },
                                 T + "header counts disagree (key field count 6, allowed 0 to 5)"},
                      DamageCase{"key-count-negative", [](Folder& f) { put16(f.table, 0x23, 0x8000); },
                                 T + "header counts disagree (key field count -32768, allowed 0 to 5)"},
                      DamageCase{"keyed-type-without-key", [](Folder& f) { put16(f.table, 0x23, 0); },
                                 T + "header counts disagree (keyed table with no key fields)"},
                      DamageCase{"unkeyed-type-with-key", [](Folder& f) { f.table[0x04] = 2; },
                                 T + "header counts disagree (unkeyed table with 1 key field)"},
                      DamageCase{"header-size-beyond-file", [](Folder& f) { f.table.resize(0x1C9); },
                                 T + "truncated (header size 2048, file holds 457 bytes)"},
                      DamageCase{"header-size-below-fixed-part",
                                 [](Folder& f) { put16(f.table, 0x02, 0x60); },
                                 T + "header size 96 is smaller than its fixed part (120 bytes)"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Fields, Damaged,
    ::testing::Values(DamageCase{"descriptors-past-header", [](Folder& f) { put16(f.table, 0x02, 0x80); },
                                 T + "field descriptors run past the header"},
                      DamageCase{"unknown-type-code", [](Folder& f) { f.table[0x7A] = 0x07; },
                                 T + "unknown field type 0x07 (field 2)"},
                      DamageCase{"type-code-0x19", [](Folder& f) { f.table[0x80] = 0x19; },
                                 T + "unknown field type 0x19 (field 5)"},
                      DamageCase{"timestamp-size-5", [](Folder& f) { f.table[0x7D] = 5; },
                                 T + "invalid size byte 5 for field 3 of type 0x15 (allowed 8)"},
                      DamageCase{"memo-without-leader", [](Folder& f) { f.table[0x81] = 10; },
                                 T + "invalid size byte 10 for field 5 of type 0x0C (allowed 11 to 250)"},
                      DamageCase{"alpha-size-zero", [](Folder& f) { f.table[0x7B] = 0; },
                                 T + "invalid size byte 0 for field 2 of type 0x01 (allowed 1 to 255)"},
                      DamageCase{"record-size-mismatch", [](Folder& f) { put16(f.table, 0x00, 52); },
                                 T + "record size 52 does not match the fields (51 bytes)"},
                      DamageCase{"table-name-slot-past-header",
                                 [](Folder& f) { put16(f.table, 0x02, 0x19E); },
                                 T + "table name slot runs past the header"},
                      DamageCase{"names-past-header", [](Folder& f) { put16(f.table, 0x02, 0x1B8); },
                                 T + "field names run past the header"},
                      DamageCase{"empty-name",
                                 [](Folder& f) {
                                     TableBuilder t = events();
                                     t.fields[1].name.clear();
                                     f.table = t.build();
                                 },
                                 T + "field 2 has an empty name"},
                      DamageCase{"duplicate-name-in-other-case",
                                 [](Folder& f) {
                                     TableBuilder t = events();
                                     t.fields[2].name = "NAME";
                                     f.table = t.build();
                                 },
                                 T + "duplicate field name \"NAME\" (fields 2 and 3)"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    DataHeader, Damaged,
    ::testing::Values(
        DamageCase{"names-end-elsewhere", [](Folder& f) { put16(f.table, 0x66, 0x162); },
                   T + "unrecognised header layout (field names end at 0x01B9, the header says 0x01BA)"},
        DamageCase{"names-offset-overflowing", [](Folder& f) { put16(f.table, 0x66, 0xFFFF); },
                   T + "unrecognised header layout (field names end at 0x01B9, the header says 0x10057)"},
        DamageCase{"version-words", [](Folder& f) { put16(f.table, 0x58, 0x010B); },
                   T + "version words 0x010B and 0x010C do not match version 0x0C"},
        DamageCase{"field-number-zero", [](Folder& f) { put16(f.table, 0x1BB, 0); },
                   T + "field 2 has the invalid number 0 (allowed 1 to 5)"},
        DamageCase{"field-number-repeated", [](Folder& f) { put16(f.table, 0x1BD, 2); },
                   T + "fields 2 and 3 have the same number 2"},
        DamageCase{"field-number-not-below-high-id", [](Folder& f) { put16(f.table, 0x64, 5); },
                   T + "field 5 has the invalid number 5 (allowed 1 to 4)"},
        DamageCase{"sort-order-end", [](Folder& f) { put16(f.table, 0x51, 0x1CA); },
                   T + "sort order name ends at 0x01C9, the header says 0x01CA"},
        DamageCase{"sort-order-offset-overflowing", [](Folder& f) { put16(f.table, 0x6E, 0xFFFF); },
                   T + "sort order name runs past the header"}),
    caseName);

const std::string PX = T + "primary index file \"EVENTS.PX\" does not match the table (";

INSTANTIATE_TEST_SUITE_P(
    PrimaryIndex, Damaged,
    ::testing::Values(DamageCase{"px-too-short", [](Folder& f) { f.companions["EVENTS.PX"] = Bytes(10, 0); },
                                 PX + "too short: 10 bytes)"},
                      DamageCase{"px-file-type",
                                 [](Folder& f) {
                                     Bytes px = testing::primaryIndexFile(events());
                                     px[0x04] = 2;
                                     f.companions["EVENTS.PX"] = px;
                                 },
                                 PX + "file type byte 0x02)"},
                      DamageCase{"px-key-count",
                                 [](Folder& f) {
                                     Bytes px = testing::primaryIndexFile(events());
                                     put16(px, 0x21, 2);
                                     f.companions["EVENTS.PX"] = px;
                                 },
                                 PX + "it has 2 key fields, the table 1)"},
                      DamageCase{"px-descriptor",
                                 [](Folder& f) {
                                     Bytes px = testing::primaryIndexFile(events());
                                     px[0x58] = 0x04; // Long integer where the table's key is Autoincrement
                                     f.companions["EVENTS.PX"] = px;
                                 },
                                 PX + "key field 1 has another type)"},
                      DamageCase{"px-header-size-beyond-file",
                                 [](Folder& f) {
                                     Bytes px = testing::primaryIndexFile(events());
                                     px.resize(0x100);
                                     f.companions["EVENTS.PX"] = px;
                                 },
                                 PX + "header size 2048 does not fit the file)"}),
    caseName);

const std::string X02 = T + "index file \"EVENTS.X02\" ";

INSTANTIATE_TEST_SUITE_P(
    SecondaryIndex, Damaged,
    ::testing::Values(
        DamageCase{"x-too-short", [](Folder& f) { f.companions["EVENTS.X02"] = Bytes(0x20, 0); },
                   X02 + "is damaged (too short: 32 bytes)"},
        DamageCase{"x-file-type",
                   [](Folder& f) {
                       Bytes x = maintainedX02();
                       x[0x04] = 2;
                       f.companions["EVENTS.X02"] = x;
                   },
                   X02 + "is damaged (file type byte 0x02 is not that of a secondary index)"},
        DamageCase{"x-counts-disagree",
                   [](Folder& f) {
                       Bytes x = maintainedX02();
                       put16(x, 0x23, 3); // the field count stays 3
                       f.companions["EVENTS.X02"] = x;
                   },
                   X02 + "is damaged (header counts disagree (field count 3, key field count 3))"},
        DamageCase{"x-field-out-of-range",
                   [](Folder& f) {
                       Bytes x = maintainedX02();
                       put16(x, itemF(x), 9);
                       x[0x15] = 9;
                       f.companions["EVENTS.X02"] = x;
                   },
                   X02 + "does not match the table (field 9 does not exist)"},
        DamageCase{"x-first-indexed-field-byte",
                   [](Folder& f) {
                       Bytes x = maintainedX02();
                       x[0x15] = 3;
                       f.companions["EVENTS.X02"] = x;
                   },
                   X02 + "is damaged (its first indexed field byte 3 disagrees with its field list (2))"},
        DamageCase{"x-descriptor-differs",
                   [](Folder& f) {
                       Bytes x = maintainedX02();
                       x[0x79] = 21; // Name is an A20 in the table
                       put16(x, 0x00, static_cast<std::uint16_t>(get16(x, 0x00) + 1));
                       f.companions["EVENTS.X02"] = x;
                   },
                   X02 + "does not match the table (field 2 has another type)"},
        DamageCase{"x-key-copy-differs",
                   [](Folder& f) {
                       Bytes x = maintainedX02();
                       x[0x7A] = 0x04; // Long integer where the table's key is Autoincrement
                       f.companions["EVENTS.X02"] = x;
                   },
                   X02 + "does not match the table (key field 1 has another type)"},
        DamageCase{"x-record-reference-fields",
                   [](Folder& f) {
                       Bytes x = nonMaintainedX02();
                       x[0x7A] = 0x16; // Tup No should be a Long integer
                       f.companions["EVENTS.X02"] = x;
                   },
                   X02 + "is damaged (its record reference fields are not those of its index kind)"},
        DamageCase{"x-position-repeated",
                   [](Folder& f) {
                       Bytes x = nonMaintainedX02();
                       x[0x04] = 5; // read as maintained, two indexed fields: [2, 2]
                       f.companions["EVENTS.X02"] = x;
                   },
                   X02 + "does not match the table (field 2 is indexed twice)"},
        DamageCase{"x-no-indexed-field",
                   [](Folder& f) {
                       TableBuilder x = testing::secondaryIndexFile(events(), {2}, true);
                       x.fields.erase(x.fields.begin()); // only the key copy and block number
                       x.keyCount = 1;
                       f.companions["EVENTS.X02"] = x.build();
                   },
                   X02 + "does not match the table (inconsistent counts: 0 indexed fields for a table of 5)"},
        DamageCase{
            "x-name-says-other-field", [](Folder& f) { f.companions["EVENTS.X03"] = maintainedX02(); },
            T + "index file \"EVENTS.X03\" does not match the table (it indexes field 2, its name says X03)"},
        DamageCase{"maintained-index-on-unkeyed-table",
                   [](Folder& f) {
                       f.table[0x04] = 2;
                       put16(f.table, 0x23, 0);
                       f.companions["EVENTS.X02"] = maintainedX02();
                   },
                   X02 + "does not match the table (a maintained index needs a keyed table)"},
        DamageCase{"xg-without-name",
                   [](Folder& f) {
                       Bytes x = namedXG0();
                       put16(x, 0x68, 0);
                       f.companions["EVENTS.XG0"] = x;
                   },
                   T + "index file \"EVENTS.XG0\" is damaged (a named index without a name)"},
        DamageCase{
            "xg-name-elsewhere",
            [](Folder& f) {
                Bytes x = namedXG0();
                put16(x, 0x68, static_cast<std::uint16_t>(get16(x, 0x68) + 1));
                f.companions["EVENTS.XG0"] = x;
            },
            T + "index file \"EVENTS.XG0\" is damaged (its index name does not follow the sort order name)"},
        DamageCase{
            "xg-of-version-3",
            [](Folder& f) {
                TableBuilder t = events();
                t.version = 0x04;
                f.table = t.build();
                f.companions["EVENTS.XG0"] = testing::secondaryIndexFile(t, {2}, false, "x").build();
            },
            T + "index file \"EVENTS.XG0\" is damaged (a named index needs a version 4 or later file)"}),
    caseName);

const std::string VAL = T + "validity file \"EVENTS.VAL\" ";

// The sound .VAL: one record at 0x35..0x50, the footer at 0x51, its field numbers at 0x57
// and its descriptors at 0x61.
DamageCase valCase(const char* name, std::function<void(Bytes&)> damage, const std::string& message) {
    return DamageCase{name,
                      [damage](Folder& f) {
                          Bytes val = eventsVal();
                          damage(val);
                          f.companions["EVENTS.VAL"] = val;
                      },
                      VAL + message};
}

INSTANTIATE_TEST_SUITE_P(
    Validity, Damaged,
    ::testing::Values(valCase(
                          "val-too-short", [](Bytes& v) { v.resize(0x20); },
                          "is damaged (too short: 32 bytes)"),
                      valCase(
                          "val-format", [](Bytes& v) { v[0x01] = 0x0D; }, "is damaged (unknown format 0x0D)"),
                      valCase(
                          "val-footer-beyond-file", [](Bytes& v) { put32(v, 0x09, 0x10000); },
                          "is damaged (footer offset 0x10000 lies outside the file)"),
                      valCase(
                          "val-footer-inside-header", [](Bytes& v) { put32(v, 0x09, 0x20); },
                          "is damaged (footer offset 0x0020 lies outside the file)"),
                      valCase(
                          "val-bytes-after-footer", [](Bytes& v) { v.push_back(0); },
                          "is damaged (footer of 5 fields does not end at the end of the file)"),
                      valCase(
                          "val-names-do-not-fill-footer", [](Bytes& v) { v.back() = 'x'; },
                          "is damaged (field names do not fill the footer)"),
                      valCase(
                          "val-integrity-offset", [](Bytes& v) { put32(v, 0x0D, 0x10); },
                          "is damaged (referential integrity offset 0x0010 lies outside the body)"),
                      valCase(
                          "val-record-count-too-high", [](Bytes& v) { v[0x02] = 2; },
                          "is damaged (validity record 2 runs past its section)"),
                      valCase(
                          "val-record-count-too-low", [](Bytes& v) { v[0x02] = 0; },
                          "is damaged (validity records end at 0x0035, their section at 0x0051)"),
                      valCase(
                          "val-entry-out-of-range", [](Bytes& v) { v[0x35] = 5; },
                          "is damaged (validity record 1 refers to field entry 6 of 5)"),
                      valCase(
                          "val-required-byte", [](Bytes& v) { v[0x37] = 2; },
                          "is damaged (validity record 1 has the required byte 0x02)"),
                      valCase(
                          "val-default-past-section", [](Bytes& v) { put32(v, 0x35 + 0x14, 1); },
                          "is damaged (validity record 1 runs past its section)"),
                      valCase(
                          "val-number-repeated", [](Bytes& v) { put16(v, 0x59, 1); },
                          "is damaged (field number 1 appears twice in its field list)"),
                      valCase(
                          "val-unknown-field-number", [](Bytes& v) { put16(v, 0x59, 9); },
                          "does not match the table (the table has no field number 9)"),
                      valCase(
                          "val-other-type", [](Bytes& v) { v[0x64] = 21; },
                          "does not match the table (field 2 has another type)")),
    caseName);

// The fixture the gallery starts from reads, with every companion kind present.
TEST(DamagedGallery, StartsFromASoundFolder) {
    Folder folder;
    folder.companions = {{"EVENTS.PX", testing::primaryIndexFile(events())},
                         {"EVENTS.X02", maintainedX02()},
                         {"EVENTS.XG0", namedXG0()},
                         {"EVENTS.VAL", eventsVal()}};
    const TableStructure read = parse(folder);
    EXPECT_EQ(read.fields, (std::vector<FieldDef>{{"ID", ftAutoInc, 0, false},
                                                  {"Name", ftString, 20, true},
                                                  {"When", ftDateTime, 0, false},
                                                  {"Amount", ftCurrency, 0, false},
                                                  {"Notes", ftMemo, 1, false}}));
    EXPECT_EQ(read.indexes,
              (std::vector<IndexDef>{
                  {"", "ID", ixPrimary | ixUnique}, {"by name", "Name;When", 0}, {"Name", "Name", 0}}));
}

} // namespace
} // namespace kelvane::conversion
