#include "firegeometry.h"
#include "firerandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

using namespace kelvane::fire;

namespace {

TEST(FireRandom, FirstFiveDrawsFromTheInitialState)
{
    FireRandom random;
    EXPECT_EQ(random.State(), 0x38549391u);
    const std::uint32_t expected[] = {27621821, 22490495, 14752802, 98864634, 76215365};
    for (const std::uint32_t draw : expected)
        EXPECT_EQ(random.Next(), draw);
}

TEST(FireRandom, JumpsAgreeWithDrawingOneByOne)
{
    for (const std::uint64_t distance : {0ull, 1ull, 2ull, 3ull, 24ull, 364ull, 1000003ull}) {
        FireRandom oneByOne(0xDEADBEEFu);
        for (std::uint64_t i = 0; i < distance; ++i)
            oneByOne.Next();
        FireRandom jumped(0xDEADBEEFu);
        jumped.Skip(distance);
        EXPECT_EQ(jumped.State(), oneByOne.State()) << distance;
        EXPECT_EQ(LcgJump::Steps(distance).Apply(0xDEADBEEFu), oneByOne.State()) << distance;
    }
}

TEST(FireGeometry, RowStrideRoundsUpToFourBytes)
{
    EXPECT_EQ(RowStride(121), 124);
    EXPECT_EQ(RowStride(100), 100);
    EXPECT_EQ(RowStride(1), 4);
    EXPECT_EQ(RowStride(4), 4);
    EXPECT_EQ(RowStride(1920), 1920);
    EXPECT_EQ(RowStride(INT_MAX), 2147483648ll);
}

struct BurnCase {
    std::int32_t height, maxBurn;
    std::int64_t expected;
};

class FireBurnHeight : public testing::TestWithParam<BurnCase> {};

TEST_P(FireBurnHeight, RoundsLikeExtendedPrecision)
{
    const BurnCase c = GetParam();
    EXPECT_EQ(BurnHeight(c.height, c.maxBurn), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, FireBurnHeight,
                         testing::Values(BurnCase{25, 75, 18}, BurnCase{100, 75, 75}, BurnCase{100, 99, 98},
                                         BurnCase{10, 10, 0}, BurnCase{20, 5, 0}, BurnCase{1, 100, 1},
                                         BurnCase{25, 100, 25}, BurnCase{1080, 100, 1080},
                                         BurnCase{INT_MAX, 100, INT_MAX}, BurnCase{0, 75, 0}));

// Where long double is the x87 format, the hardware is an independent witness.
TEST(FireBurnHeight, MatchesX87ExtendedArithmeticWhereAvailable)
{
    if (std::numeric_limits<long double>::digits != 64)
        GTEST_SKIP() << "long double is not the 80-bit extended format here";
    const volatile long double hundredth = 0.01L;
    int mismatches = 0;
    for (std::int32_t maxBurn = 1; maxBurn <= 100; ++maxBurn) {
        for (std::int32_t height = 1; height <= 1500; ++height) {
            const long double product = static_cast<long double>(maxBurn) * hundredth;
            const auto expected = static_cast<std::int64_t>(static_cast<long double>(height) * product);
            if (BurnHeight(height, maxBurn) != expected && ++mismatches < 10)
                ADD_FAILURE() << "height " << height << " maxBurn " << maxBurn;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

struct WidthCase {
    std::int32_t width;
    float ratio;
    std::int64_t expected;
};

class FireBurningWidth : public testing::TestWithParam<WidthCase> {};

TEST_P(FireBurningWidth, RoundsTheExactProductHalfToEven)
{
    const WidthCase c = GetParam();
    EXPECT_EQ(BurningWidth(c.width, c.ratio), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, FireBurningWidth,
                         testing::Values(WidthCase{121, 0.5f, 60}, WidthCase{123, 0.5f, 62},
                                         WidthCase{100, 0.5f, 50}, WidthCase{10, 0.95f, 9},
                                         WidthCase{1, 0.5f, 0}, WidthCase{3, 0.5f, 2}, WidthCase{10, 0.999f, 10},
                                         WidthCase{100, 1e-30f, 0}, WidthCase{INT_MAX, 0.5f, 1073741824},
                                         WidthCase{INT_MAX, 0.99999994f, 2147483519}));

TEST(FireBurningWidth, AgreesWithDoubleRoundingWhereDoubleIsExact)
{
    for (const float ratio : {0.5f, 0.95f, 0.1f, 0.3333333f, 0.75f, 0.0001f, 0.99999994f}) {
        for (std::int32_t width = 0; width <= 4000; ++width) {
            const double exact = static_cast<double>(width) * static_cast<double>(ratio);
            ASSERT_EQ(BurningWidth(width, ratio), static_cast<std::int64_t>(std::nearbyint(exact)))
                << width << " x " << ratio;
        }
    }
}

class FireDrawRemainder : public testing::TestWithParam<std::int32_t> {};

TEST_P(FireDrawRemainder, EqualsTheRemainderOfEveryKindOfDraw)
{
    const std::int32_t divisor = GetParam();
    const DrawRemainder remainder(divisor);
    auto check = [&](std::int64_t draw) {
        if (draw < 0 || draw >= (1 << 27))
            return;
        const auto expected = static_cast<std::uint32_t>(static_cast<std::int32_t>(draw) % divisor);
        ASSERT_EQ(remainder.Of(static_cast<std::uint32_t>(draw)), expected) << draw << " mod " << divisor;
    };
    // Around multiples of the divisor, where a quotient off by one shows.
    const std::int64_t magnitude = divisor < 0 ? -std::int64_t{divisor} : divisor;
    for (std::int64_t multiple = 0; multiple < (1 << 27); multiple += std::max<std::int64_t>(magnitude, (1 << 27) / 4096) / magnitude * magnitude) {
        check(multiple - 1);
        check(multiple);
        check(multiple + 1);
        if (magnitude >= (1 << 27))
            break;
    }
    check((1 << 27) - 1);
    FireRandom random(12345);
    for (int i = 0; i < 20000; ++i)
        check(random.Next());
}

INSTANTIATE_TEST_SUITE_P(Divisors, FireDrawRemainder,
                         testing::Values(1, 2, 3, 6, 7, 15, 50, 641, 65536, 99991, (1 << 27) - 1, 1 << 27,
                                         (1 << 27) + 1, INT_MAX, -1, -2, -6, -49, INT_MIN));

} // namespace
