#include "typenames.h"

#include <gtest/gtest.h>

using namespace kelvane::conversion;

TEST(Type2Str, NamesEveryCodeInDeclarationOrder)
{
    const char* expected[] = {"ftUnknown", "ftString",  "ftSmallint", "ftInteger",     "ftWord",
                              "ftBoolean", "ftFloat",   "ftCurrency", "ftBCD",         "ftDate",
                              "ftTime",    "ftDateTime", "ftBytes",   "ftVarBytes",    "ftAutoInc",
                              "ftBlob",    "ftMemo",    "ftGraphic",  "ftFmtMemo",     "ftParadoxOle",
                              "ftDBaseOle", "ftTypedBinary", "ftCursor"};
    for (int code = 0; code <= 22; ++code)
        EXPECT_EQ(Type2Str(static_cast<std::uint8_t>(code)), expected[code]) << "code " << code;
}

TEST(Type2Str, CodeWithoutNameStillGivesAnIdentifier)
{
    EXPECT_EQ(Type2Str(23), "ftUnknown");
    EXPECT_EQ(Type2Str(255), "ftUnknown");
}

struct OptCase {
    std::uint8_t options;
    const char* text;
};

class Opt2StrTest : public testing::TestWithParam<OptCase> {};

TEST_P(Opt2StrTest, ListsFlagsInLibraryOrder)
{
    EXPECT_EQ(Opt2Str(GetParam().options), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, Opt2StrTest,
                         testing::Values(OptCase{0x00, ""}, OptCase{0x01, "ixPrimary"},
                                         OptCase{0x03, "ixPrimary,ixUnique"},
                                         OptCase{0x0C, "ixCaseInsensitive,ixDescending"},
                                         OptCase{0x09, "ixCaseInsensitive,ixPrimary"},
                                         OptCase{0x1F, "ixCaseInsensitive,ixPrimary,ixUnique,ixDescending,ixExpression"},
                                         OptCase{0x10, "ixExpression"}, OptCase{0x30, "ixExpression"},
                                         OptCase{0xE0, ""}));
