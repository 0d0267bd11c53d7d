// Rules of the reader that the corpus does not show: index order and flags, companions in
// any letter case, the table-name slot fallback and the .VAL rules.

#include "test_paradoxbuilder.h"

#include <gtest/gtest.h>

namespace kelvane::conversion {
namespace {

using testing::BuiltCheck;
using testing::Bytes;
using testing::secondaryIndexFile;
using testing::TableBuilder;

TableBuilder orders() {
    TableBuilder t;
    t.keyCount = 1;
    t.tableName = "ORDERS.DB";
    t.fields = {{"No", 0x04, 4}, {"Customer", 0x01, 30}, {"Date", 0x02, 4}, {"Total", 0x05, 8}};
    return t;
}

TableStructure parse(const TableBuilder& table, const std::vector<ParadoxFileBytes>& files) {
    return parseParadoxTable({"ORDERS.DB", table.build()}, files);
}

TEST(IndexOrder, PrimaryThenNamedByExtensionThenSingleFieldByPosition) {
    const TableBuilder t = orders();
    const std::vector<ParadoxFileBytes> files{
        {"ORDERS.X04", secondaryIndexFile(t, {4}, true).build()},
        {"ORDERS.XG1", secondaryIndexFile(t, {3}, true, "second").build()},
        {"ORDERS.X02", secondaryIndexFile(t, {2}, false).build()},
        {"ORDERS.XG0", secondaryIndexFile(t, {2, 3}, true, "first").build()},
        {"ORDERS.YG0", Bytes(16, 0)}, // trees are never read
        {"ORDERS.Y02", Bytes(16, 0)},
        {"ORDERS.XLS", Bytes(16, 0)}, // not an index file name
    };
    const std::vector<IndexDef> expected{{"", "No", ixPrimary | ixUnique},
                                         {"first", "Customer;Date", 0},
                                         {"second", "Date", 0},
                                         {"Customer", "Customer", 0},
                                         {"Total", "Total", 0}};
    EXPECT_EQ(parse(t, files).indexes, expected);
}

TEST(IndexOrder, CompanionsMatchInAnyLetterCaseAndTheSmallestNameWins) {
    const TableBuilder t = orders();
    const std::vector<ParadoxFileBytes> files{
        {"orders.x02", Bytes(8, 0)}, // damaged, but "ORDERS.X02" sorts first byte-wise
        {"ORDERS.X02", secondaryIndexFile(t, {2}, true).build()},
        {"Orders.Xg0", secondaryIndexFile(t, {3}, true, "when").build()},
        {"ORDERS2.X03", Bytes(8, 0)}, // another table's
    };
    const std::vector<IndexDef> expected{
        {"", "No", ixPrimary | ixUnique}, {"when", "Date", 0}, {"Customer", "Customer", 0}};
    EXPECT_EQ(parse(t, files).indexes, expected);
}

struct FlagCase {
    const char* name;
    std::uint8_t flags;
    std::vector<std::uint16_t> positions;
    std::uint8_t options;
};

class IndexFlags : public ::testing::TestWithParam<FlagCase> {};

TEST_P(IndexFlags, BecomeIndexOptions) {
    const TableBuilder t = orders();
    TableBuilder x = secondaryIndexFile(t, GetParam().positions, true, "ix");
    x.indexFlags = GetParam().flags;
    const TableStructure read = parse(t, {{"ORDERS.XG0", x.build()}});
    ASSERT_EQ(read.indexes.size(), 2u);
    EXPECT_EQ(read.indexes[1].options, GetParam().options);
}

INSTANTIATE_TEST_SUITE_P(
    All, IndexFlags,
    ::testing::Values(FlagCase{"none", 0x00, {2}, 0},
                      FlagCase{"caseInsensitive", 0x01, {2}, ixCaseInsensitive},
                      FlagCase{"descending", 0x11, {2}, ixDescending | ixCaseInsensitive},
                      FlagCase{"unique", 0x20, {2}, ixUnique}, FlagCase{"unknownBitsIgnored", 0x42, {2}, 0},
                      // One field descending, the other not: the whole index is descending.
                      FlagCase{"mixedDirections", 0x00, {2, 0x8003}, ixDescending}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrimaryIndex, PxBesideAnUnkeyedTableIsIgnored) {
    TableBuilder t = orders();
    t.keyCount = 0;
    const TableStructure read = parse(t, {{"ORDERS.PX", Bytes(4, 0)}});
    EXPECT_TRUE(read.indexes.empty());
}

TEST(HeaderLayout, A7xHeaderWithThe79ByteSlotStillReads) {
    TableBuilder t = orders();
    t.slotSize = 79;
    EXPECT_EQ(parse(t, {}).fields.size(), 4u);
    t.version = 0x0B;
    t.slotSize = 261;
    EXPECT_EQ(parse(t, {}).fields.size(), 4u);
}

TEST(HeaderLayout, ThreeZeroHeaderEndsRightAfterTheNames) {
    TableBuilder t = orders();
    t.version = 0x03;
    t.headerSize = 0; // exact
    t.blockSizeKiB = 1;
    const TableStructure read = parse(t, {});
    EXPECT_EQ(read.fields.size(), 4u);
    EXPECT_EQ(read.indexes, (std::vector<IndexDef>{{"", "No", ixPrimary | ixUnique}}));
}

TEST(Required, MatchedByFieldNumberNotPosition) {
    TableBuilder t = orders();
    t.fields[1].number = 7; // restructured: Customer is field number 7
    t.fields[3].number = 2;
    const TableStructure read =
        parse(t, {{"ORDERS.VAL", testing::validityFile(t, {BuiltCheck{1, true, false, true, {}},
                                                           BuiltCheck{3, false, true, false, "#"}})}});
    std::vector<bool> required;
    for (const FieldDef& f : read.fields)
        required.push_back(f.required);
    EXPECT_EQ(required, (std::vector<bool>{false, true, false, false}));
}

TEST(Required, ThreeXValidityFileIsIgnored) {
    TableBuilder t = orders();
    Bytes val = testing::validityFile(t, {BuiltCheck{1, true, false, false, {}}});
    val[0x01] = 0x01;
    val.resize(0x40); // its layout is unknown: not even its size is checked
    for (const FieldDef& f : parse(t, {{"ORDERS.VAL", val}}).fields)
        EXPECT_FALSE(f.required) << f.name;
}

TEST(Required, StaleChangeCountIsNotAnError) {
    TableBuilder t = orders();
    for (std::uint8_t format : {0x09, 0x0B, 0x0C}) {
        Bytes val = testing::validityFile(t, {BuiltCheck{2, true, false, false, {}}}, format);
        val[0x00] = 0x55;
        EXPECT_TRUE(parse(t, {{"ORDERS.VAL", val}}).fields[2].required) << int{format};
    }
}

} // namespace
} // namespace kelvane::conversion
