#include "palcolor.h"
#include "palettetable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>

using kelvane::fire::PaletteEntry;
using kelvane::fire::PaletteOwner;
using kelvane::fire::PaletteTable;
using kelvane::fire::TpalColor;

namespace {

struct CountingOwner : PaletteOwner {
    void PaletteChanged() override { ++changes; }
    int changes = 0;
};

PaletteTable TableOf(std::int32_t red, std::int32_t green, std::int32_t blue)
{
    TpalColor color;
    color.SetRed(red);
    color.SetGreen(green);
    color.SetBlue(blue);
    PaletteTable table;
    table.Build(color);
    return table;
}

struct Row {
    int index;
    int red, green, blue;
};

TEST(FirePalette, DefaultColourGivesTheKnownRows)
{
    const PaletteTable table = TableOf(767, 511, 255);
    const Row rows[] = {{239, 255, 255, 255}, {238, 255, 255, 251}, {223, 255, 255, 191}, {200, 255, 255, 99},
                        {176, 255, 255, 3},   {175, 255, 255, 0},   {150, 255, 155, 0},   {128, 255, 67, 0},
                        {112, 255, 3, 0},     {111, 255, 0, 0},     {110, 251, 0, 0},     {100, 211, 0, 0},
                        {64, 67, 0, 0},       {48, 3, 0, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.index);
        EXPECT_EQ(table[row.index], (PaletteEntry{static_cast<std::uint8_t>(row.blue),
                                                  static_cast<std::uint8_t>(row.green),
                                                  static_cast<std::uint8_t>(row.red), 0}));
    }
    for (int index = 16; index <= 47; ++index)
        EXPECT_EQ(table[index], PaletteEntry{}) << index;
}

TEST(FirePalette, EntriesOutsideTheHeatRangeStayBlackWhateverTheColour)
{
    PaletteTable table;
    TpalColor color;
    for (std::int32_t value : {767, 1000000, INT_MAX}) {
        color.SetRed(value);
        color.SetGreen(value);
        color.SetBlue(value);
        table.Build(color);
        for (int index = 0; index < 256; ++index) {
            if (index < 16 || index > 239)
                EXPECT_EQ(table[index], PaletteEntry{}) << index;
            else
                EXPECT_EQ(table[index].reserved, 0) << index;
        }
    }
}

// Each channel follows min(255, max(0, C - 4 * (239 - i))), computed here without overflow.
class FirePaletteChannel : public testing::TestWithParam<std::int32_t> {};

TEST_P(FirePaletteChannel, FollowsTheClosedFormInEveryChannel)
{
    const std::int32_t base = GetParam();
    const PaletteTable table = TableOf(base, base / 2, -base);
    auto expected = [](std::int64_t channel, int index) {
        return static_cast<int>(std::clamp<std::int64_t>(channel - 4 * (239 - index), 0, 255));
    };
    for (int index = 16; index <= 239; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(table[index].red, expected(base, index));
        EXPECT_EQ(table[index].green, expected(base / 2, index));
        EXPECT_EQ(table[index].blue, expected(-std::int64_t{base}, index));
    }
}

INSTANTIATE_TEST_SUITE_P(Bases, FirePaletteChannel,
                         testing::Values(0, 1, 3, 4, 255, 256, 767, 1000, -1, -767, INT_MAX, INT_MIN + 1));

TEST(FirePalette, NamedChannelValues)
{
    const PaletteTable table = TableOf(255, 1000, 0);
    EXPECT_EQ(table[239].red, 255);
    EXPECT_EQ(table[238].red, 251);
    EXPECT_EQ(table[237].red, 247);
    EXPECT_EQ(table[176].red, 3);
    EXPECT_EQ(table[175].red, 0);
    EXPECT_EQ(table[53].green, 255);
    EXPECT_EQ(table[52].green, 252);
    EXPECT_EQ(table[16].green, 108);
    for (int index = 16; index <= 239; ++index)
        EXPECT_EQ(table[index].blue, 0);
}

TEST(FirePalColor, FreeStandingColourIsBlackWithoutOwnerAndStoresAnyValue)
{
    TpalColor color;
    EXPECT_EQ(color.Red(), 0);
    EXPECT_EQ(color.Green(), 0);
    EXPECT_EQ(color.Blue(), 0);
    EXPECT_EQ(color.fire(), nullptr);
    color.SetRed(INT_MIN);
    color.SetGreen(-5);
    color.SetBlue(INT_MAX);
    EXPECT_EQ(color.Red(), INT_MIN);
    EXPECT_EQ(color.Green(), -5);
    EXPECT_EQ(color.Blue(), INT_MAX);
}

TEST(FirePalColor, EverySetTellsTheOwnerEvenWithoutChange)
{
    CountingOwner owner;
    TpalColor color(&owner);
    color.SetRed(767);
    color.SetRed(767);
    color.SetGreen(511);
    color.SetBlue(255);
    EXPECT_EQ(owner.changes, 4);
    EXPECT_EQ(color.fire(), &owner);
}

TEST(FirePalColor, AssignCopiesThreeChannelsThroughTheSettersAndKeepsTheOwner)
{
    CountingOwner owner;
    CountingOwner otherOwner;
    TpalColor mine(&owner);
    TpalColor theirs(&otherOwner);
    theirs.SetRed(1);
    theirs.SetGreen(2);
    theirs.SetBlue(3);
    mine.Assign(theirs);
    EXPECT_EQ(mine.Red(), 1);
    EXPECT_EQ(mine.Green(), 2);
    EXPECT_EQ(mine.Blue(), 3);
    EXPECT_EQ(mine.fire(), &owner);
    EXPECT_EQ(owner.changes, 3);
    EXPECT_EQ(otherOwner.changes, 3); // only its own three sets above

    mine.Assign(mine); // assigning to itself keeps the values
    EXPECT_EQ(mine.Red(), 1);
    EXPECT_EQ(mine.Blue(), 3);
}

} // namespace
