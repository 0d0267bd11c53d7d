#include "heatmodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using namespace kelvane::fire;

namespace {

HeatModel Built(std::int32_t width, std::int32_t height)
{
    HeatModel model;
    EXPECT_TRUE(model.Rebuild(width, height));
    return model;
}

// A generator state whose first draw (a row's direction) has the given parity.
std::uint32_t StateWithFirstDraw(bool odd)
{
    for (std::uint32_t state = 1;; ++state) {
        if (((FireRandom(state).Next() & 1u) != 0) == odd)
            return state;
    }
}

TEST(FireModel, WindowInstanceGeometry)
{
    HeatModel model = Built(121, 25);
    EXPECT_EQ(model.BurningWidth(), 60);
    EXPECT_EQ(model.BurnHeight(), 18);
    EXPECT_EQ(model.ZoneStart(), 30);
    EXPECT_EQ(model.ZoneEnd(), 91);
    EXPECT_EQ(model.RowStride(), 124);
    EXPECT_EQ(model.HeatCap(), 239);
    EXPECT_EQ(model.SimulationBuffer().size(), 124u * 25u);
    for (std::int32_t row = 0; row < 25; ++row)
        for (const std::uint8_t pixel : model.Row(row))
            ASSERT_EQ(pixel, 16);
    for (const std::uint8_t heat : model.HeatRow())
        ASSERT_EQ(heat, 16);
}

TEST(FireModel, SettersIgnoreValuesOutsideTheirRange)
{
    HeatModel model;
    for (const std::int32_t value : {0, 400, -1, INT_MIN})
        EXPECT_FALSE(model.SetFlammability(value));
    EXPECT_EQ(model.Flammability(), 385);
    for (const std::int32_t value : {0, 101, -75})
        EXPECT_FALSE(model.SetMaxBurn(value));
    EXPECT_EQ(model.MaxBurn(), 75);
    for (const float value : {0.0f, 1.0f, -0.5f, 1.5f, std::nanf(""), INFINITY})
        EXPECT_FALSE(model.SetEdgeRatio(value, 121));
    EXPECT_EQ(model.EdgeRatio(), 0.5f);
    EXPECT_TRUE(model.SetFlammability(399));
    EXPECT_TRUE(model.SetMaxBurn(100));
    EXPECT_TRUE(model.SetEdgeRatio(0.95f, 10));
    EXPECT_EQ(model.BurningWidth(), 9); // recomputed at once from the width given
}

TEST(FireModel, RebuildWithoutAPictureLeavesNoBuffersAndStepsFail)
{
    HeatModel model;
    EXPECT_EQ(model.Step(), StepFailure::NoBuffers);
    for (const auto& [width, height] : {std::pair{0, 25}, {121, 0}, {-3, 5}, {65536, 65536}}) {
        EXPECT_FALSE(model.Rebuild(width, height)) << width << " x " << height;
        EXPECT_FALSE(model.HasBuffers());
        EXPECT_EQ(model.Step(), StepFailure::NoBuffers);
    }
    EXPECT_EQ(model.RandomState(), FireRandom::kInitialState); // nothing drawn
}

TEST(FireModel, RebuildRestartsColdButTheGeneratorRunsOn)
{
    HeatModel model = Built(40, 20);
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(model.Step(), StepFailure::None);
    const std::uint32_t state = model.RandomState();
    ASSERT_TRUE(model.Rebuild(40, 20));
    EXPECT_EQ(model.RandomState(), state);
    EXPECT_TRUE(model.HasBuffersFor(40, 20));
    EXPECT_FALSE(model.HasBuffersFor(41, 20));
    for (std::int32_t row = 0; row < 20; ++row)
        for (const std::uint8_t pixel : model.Row(row))
            ASSERT_EQ(pixel, 16);
}

// The draws of the first step from cold, counted from the rules: every flame row 1 + 3W,
// the hot-spot test (and its position when it fires), then one per zone cell (all below the cap).
TEST(FireModel, FirstStepDrawsExactlyTheCountedNumbers)
{
    for (const std::int32_t distribution : {1, 1000000}) { // the second sends most writes off the buffer
        HeatModel model = Built(121, 25);
        model.SetDistribution(distribution);
        FireRandom expected(model.RandomState());
        expected.Skip(18 * (1 + 3 * 121));
        const bool hotSpot = expected.Next() % 15 == 0;
        if (hotSpot)
            expected.Next();
        expected.Skip(hotSpot ? 61 - 5 : 61); // the hot spot's five cells are at the cap
        ASSERT_EQ(model.Step(), StepFailure::None);
        EXPECT_EQ(model.RandomState(), expected.State()) << distribution;
    }
}

TEST(FireModel, WithoutDriftOrLossThePictureMovesUpOneRowPerStep)
{
    HeatModel model;
    model.SetDistribution(0);
    model.SetDecay(0);
    ASSERT_TRUE(model.SetMaxBurn(100));
    ASSERT_TRUE(model.SetEdgeRatio(0.95f, 10));
    ASSERT_TRUE(model.Rebuild(10, 4)); // burning width 9: zone start 0, zone end 10, all columns
    std::vector<std::vector<std::uint8_t>> bottoms;
    for (int step = 0; step < 6; ++step) {
        ASSERT_EQ(model.Step(), StepFailure::None);
        bottoms.emplace_back(model.Row(0).begin(), model.Row(0).end());
        // Row 1 reads the bottom row just written; every higher row what the row below had.
        for (std::int32_t row = 1; row < 4 && row <= step + 1; ++row) {
            const auto& expected = bottoms[static_cast<std::size_t>(step + 1 - row)];
            const auto actual = model.Row(row);
            EXPECT_TRUE(std::equal(actual.begin(), actual.end(), expected.begin())) << "step " << step << " row " << row;
        }
    }
    EXPECT_NE(bottoms.back(), bottoms.front()); // the spread did raise the heat
}

// The propagation rule for a single flame row (Height 2), spelled out for a few cells: the
// writes land at flat positions, in scan order, and skip positions off the buffer.
void ExpectSingleRowFollowsTheRule(std::int32_t width, std::int32_t distribution, std::int32_t decay,
                                   std::uint32_t state, StepKernel kernel)
{
    HeatModel model;
    ASSERT_TRUE(model.SetKernel(kernel));
    model.SetDistribution(distribution);
    model.SetDecay(decay);
    ASSERT_TRUE(model.SetMaxBurn(100));
    ASSERT_TRUE(model.Rebuild(width, 2));
    const std::int32_t stride = model.RowStride();
    // Distinct heat in the whole row; the cold edges of the bottom row then apply.
    auto heat = model.HeatRow();
    for (std::int32_t column = 0; column < width; ++column)
        heat[static_cast<std::size_t>(column)] = static_cast<std::uint8_t>(100 + 7 * column);
    auto pixels = model.SimulationBuffer();
    std::vector<std::uint8_t> expected(pixels.begin(), pixels.end());
    const std::int64_t zoneStart = (width - model.BurningWidth()) / 2;
    const std::int64_t zoneEnd = zoneStart + model.BurningWidth() + 1;
    for (std::int32_t column = 0; column < width; ++column) {
        const bool cold = column < zoneStart + distribution || column >= zoneEnd - distribution;
        expected[static_cast<std::size_t>(column)] = cold ? 16 : heat[static_cast<std::size_t>(column)];
    }
    FireRandom random(state);
    const bool leftToRight = (random.Next() & 1u) == 0;
    for (std::int32_t cell = 0; cell < width; ++cell) {
        const std::int32_t column = leftToRight ? cell : width - 1 - cell;
        const auto drift = static_cast<std::int32_t>(random.Next()) % (distribution + 1);
        const auto loss = static_cast<std::int32_t>(random.Next()) % (decay + 1);
        const std::int32_t value = std::max(expected[static_cast<std::size_t>(column)] - loss, 16);
        const std::int64_t target = stride + column + ((random.Next() & 1u) != 0 ? drift : -drift);
        if (target >= 0 && target < 2 * stride)
            expected[static_cast<std::size_t>(target)] = static_cast<std::uint8_t>(value);
    }
    model.SetRandomState(state);
    ASSERT_EQ(model.Step(), StepFailure::None);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), expected.begin()))
        << "width " << width << " distribution " << distribution << " state " << state;
}

class FireModelRule : public testing::TestWithParam<StepKernel> {};

TEST_P(FireModelRule, SingleFlameRowFollowsThePropagationRule)
{
    if (GetParam() == StepKernel::Avx2 && !HeatModel::Avx2Supported())
        GTEST_SKIP() << "no AVX2 on this CPU";
    // Width 5 has padding (stride 8), 4 and 16 have none; drift 1 to 9 reaches the row below,
    // the padding, the row above and off the buffer. Both scan directions are taken.
    for (const std::int32_t width : {4, 5, 16, 21}) {
        for (const std::int32_t distribution : {1, 3, 9, 40}) {
            for (const bool odd : {false, true}) {
                ExpectSingleRowFollowsTheRule(width, distribution, 5, StateWithFirstDraw(odd), GetParam());
                ExpectSingleRowFollowsTheRule(width, distribution, 0, StateWithFirstDraw(odd) + 977, GetParam());
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, FireModelRule,
                         testing::Values(StepKernel::Plain, StepKernel::Portable, StepKernel::Avx2),
                         [](const auto& info) {
                             return std::string(info.param == StepKernel::Plain      ? "Plain"
                                                : info.param == StepKernel::Portable ? "Portable"
                                                                                      : "Avx2");
                         });

// A zero divisor in the propagation: ignored cell by cell in a left-to-right row (the draws
// before it stay drawn), ends the step in a right-to-left row.
struct DivisorCase {
    const char* name;
    std::int32_t distribution, decay;
    bool oddRow;
    StepFailure failure;
    std::uint64_t drawsInRow;
};

class FireModelDivisor : public testing::TestWithParam<std::tuple<DivisorCase, StepKernel>> {};

TEST_P(FireModelDivisor, FailsOrSkipsAsTheScanDirectionSays)
{
    const auto& [c, kernel] = GetParam();
    if (kernel == StepKernel::Avx2 && !HeatModel::Avx2Supported())
        GTEST_SKIP() << "no AVX2 on this CPU";
    const std::int32_t width = 13;
    HeatModel model;
    ASSERT_TRUE(model.SetKernel(kernel));
    model.SetDistribution(c.distribution);
    model.SetDecay(c.decay);
    ASSERT_TRUE(model.SetMaxBurn(100));
    ASSERT_TRUE(model.Rebuild(width, 2));
    const std::uint32_t state = StateWithFirstDraw(c.oddRow);
    model.SetRandomState(state);
    model.HeatRow()[6] = 200;
    const StepFailure failure = model.Step();
    EXPECT_EQ(failure, c.failure);
    FireRandom expected(state);
    expected.Skip(c.drawsInRow);
    if (failure == StepFailure::None) {
        // The step went on: hot-spot test, maybe its position, then the zone's spread.
        if (expected.Next() % 15 == 0)
            expected.Next();
        expected.Skip(static_cast<std::uint64_t>(model.BurningWidth() + 1));
    }
    EXPECT_EQ(model.RandomState(), expected.State());
    EXPECT_EQ(model.Row(0)[6], 200); // the bottom row was written before the failure
    for (const std::uint8_t pixel : model.Row(1))
        EXPECT_EQ(pixel, 16); // no cell of the row wrote anything
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FireModelDivisor,
    testing::Combine(testing::Values(DivisorCase{"DistributionEvenRow", -1, 5, false, StepFailure::None, 1 + 13},
                                     DivisorCase{"DistributionOddRow", -1, 5, true, StepFailure::DistributionDivisor, 2},
                                     DivisorCase{"DecayEvenRow", 1, -1, false, StepFailure::None, 1 + 2 * 13},
                                     DivisorCase{"DecayOddRow", 1, -1, true, StepFailure::DecayDivisor, 3}),
                     testing::Values(StepKernel::Plain, StepKernel::Portable, StepKernel::Avx2)),
    [](const auto& info) {
        const StepKernel kernel = std::get<1>(info.param);
        return std::string(std::get<0>(info.param).name) +
               (kernel == StepKernel::Plain ? "Plain" : kernel == StepKernel::Portable ? "Portable" : "Avx2");
    });

TEST(FireModel, ChaosZeroFailsAtTheFirstZoneCellBelowTheCap)
{
    HeatModel model = Built(121, 25);
    model.SetChaos(0);
    FireRandom expected(model.RandomState());
    expected.Skip(18 * (1 + 3 * 121));
    if (expected.Next() % 15 == 0)
        expected.Next();
    expected.Next(); // drawn for the first zone cell, then the division fails
    EXPECT_EQ(model.Step(), StepFailure::ChaosDivisor);
    EXPECT_EQ(model.RandomState(), expected.State());

    // Cells at the cap draw nothing and need no division.
    HeatModel capped = Built(121, 25);
    capped.SetChaos(0);
    capped.SetMaxHeat(-16); // cap 0: every cell is at or above it
    EXPECT_EQ(capped.Step(), StepFailure::None);
    for (const std::uint8_t heat : capped.HeatRow().subspan(30, 61))
        EXPECT_EQ(heat, 0);
}

TEST(FireModel, BurningWidthFiveFailsWhenAHotSpotFires)
{
    HeatModel model;
    ASSERT_TRUE(model.SetFlammability(399)); // every step's hot-spot test fires
    ASSERT_TRUE(model.Rebuild(10, 8));
    ASSERT_EQ(model.BurningWidth(), 5);
    EXPECT_EQ(model.Step(), StepFailure::HotSpotDivisor);
}

TEST(FireModel, HotSpotsOfNarrowZonesReachPastTheZoneAndSkipCellsPastTheRow)
{
    // Width 9, burning width 2: zone start 3, zone columns 3 to 5; burning width - 5 = -3, so a
    // hot spot starts at 3 to 5 and its cells run to 7 to 9, column 9 being past the row.
    HeatModel model;
    ASSERT_TRUE(model.SetFlammability(399)); // every step's hot-spot test fires
    model.SetSpreadRate(-1000);              // the spread pulls the zone back to 16
    model.SetSmoothness(0);
    ASSERT_TRUE(model.SetEdgeRatio(0.25f, 9));
    ASSERT_TRUE(model.Rebuild(9, 1));        // one row: no flame rows, no draws before the hot spot
    ASSERT_EQ(model.BurningWidth(), 2);
    std::vector<int> starts;
    bool middleHot = false; // column 4 stays at the cap once a hot spot covers it: nothing cools it
    for (int step = 0; step < 40; ++step) {
        FireRandom random(model.RandomState());
        random.Next();
        const int start = 3 + static_cast<int>(random.Next() % 3);
        starts.push_back(start);
        middleHot = middleHot || start <= 4;
        ASSERT_EQ(model.Step(), StepFailure::None);
        for (int column = 0; column < 9; ++column) {
            // Cells at the cap keep it through the spread; the others it pulls to 16.
            const bool hot = (column >= start && column <= start + 4) || (column == 4 && middleHot);
            EXPECT_EQ(model.HeatRow()[static_cast<std::size_t>(column)], hot ? 239 : 16)
                << "step " << step << " column " << column;
        }
    }
    EXPECT_NE(std::ranges::count(starts, 5), 0); // the case that runs past the row was seen
}

TEST(FireModel, HeatAboveTheComputedPaletteAppearsOnlyWithAHighMaxHeat)
{
    for (const std::int32_t maxHeat : {223, 230}) {
        HeatModel model = Built(121, 25);
        model.SetMaxHeat(maxHeat);
        int highest = 0;
        for (int step = 0; step < 60; ++step) {
            ASSERT_EQ(model.Step(), StepFailure::None);
            for (const std::uint8_t pixel : model.SimulationBuffer())
                highest = std::max<int>(highest, pixel);
        }
        if (maxHeat == 223) {
            EXPECT_LE(highest, 239);
        } else {
            EXPECT_GT(highest, 239);
        }
        EXPECT_LE(highest, maxHeat + 16);
    }
}

TEST(FireModel, SmoothingIsOffWhenTheReachExceedsHalfTheZone)
{
    for (const std::int32_t smoothness : {31, INT_MAX}) {
        HeatModel smooth = Built(121, 25);
        HeatModel plain = Built(121, 25);
        smooth.SetSmoothness(smoothness);
        plain.SetSmoothness(0);
        for (int step = 0; step < 20; ++step) {
            ASSERT_EQ(smooth.Step(), StepFailure::None);
            ASSERT_EQ(plain.Step(), StepFailure::None);
        }
        EXPECT_TRUE(std::ranges::equal(smooth.HeatRow(), plain.HeatRow())) << smoothness;
    }
}

TEST(FireModel, SmoothingAveragesInPlaceOverTheZoneInterior)
{
    // Width 8, EdgeRatio 0.95: burning width 8, zone 0 to 8, smoothed cells 1 to 6 with reach 1.
    HeatModel model;
    model.SetSpreadRate(-1);
    model.SetChaos(1); // random part 0, so the spread adds -1 + 0 + 1: cells stay as they are
    ASSERT_TRUE(model.SetEdgeRatio(0.95f, 8));
    ASSERT_TRUE(model.Rebuild(8, 1));
    const std::uint8_t start[8] = {16, 100, 40, 220, 16, 70, 130, 90};
    std::copy(std::begin(start), std::end(start), model.HeatRow().begin());
    std::uint32_t state = 1;
    while (FireRandom(state).Next() % 15 == 0) // no hot spot in this step
        ++state;
    model.SetRandomState(state);
    std::int32_t cells[8];
    std::copy(std::begin(start), std::end(start), cells);
    for (int i = 1; i <= 6; ++i)
        cells[i] = (cells[i - 1] + cells[i] + cells[i + 1]) / 3; // left neighbour already new
    ASSERT_EQ(model.Step(), StepFailure::None);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(model.HeatRow()[static_cast<std::size_t>(i)], cells[i]) << i;
}

TEST(FireModel, EdgeRatioSetForAWiderControlStaysInsideTheHeatRow)
{
    // The control may set the ratio while its width differs from the buffers' (resized without
    // a parent): the zone then reaches outside the row, which must neither crash nor write there.
    HeatModel model = Built(20, 10);
    ASSERT_TRUE(model.SetEdgeRatio(0.9f, 1000));
    ASSERT_EQ(model.BurningWidth(), 900);
    ASSERT_LT(model.ZoneStart(), 0);
    model.SetSmoothness(3);
    for (int step = 0; step < 40; ++step) {
        const StepFailure failure = model.Step();
        ASSERT_EQ(failure, StepFailure::None);
        for (const std::uint8_t heat : model.HeatRow())
            ASSERT_TRUE(heat >= 16 && heat <= 239);
    }
}

// Properties over many steps with several settings: heat stays between 16 and the cap, the
// cold edges hold 16, rows above the burn height keep 16 except where drift lands.
struct PropertyCase {
    const char* name;
    std::int32_t width, height;
    std::int32_t decay = 5, maxHeat = 223, spreadRate = 20, smoothness = 1, distribution = 1, chaos = 50;
    std::int32_t maxBurn = 75;
    float edgeRatio = 0.5f;
};

class FireModelProperties : public testing::TestWithParam<PropertyCase> {};

TEST_P(FireModelProperties, HeatBoundsColdEdgesAndQuietRowsHold)
{
    const PropertyCase c = GetParam();
    HeatModel model;
    model.SetDecay(c.decay);
    model.SetMaxHeat(c.maxHeat);
    model.SetSpreadRate(c.spreadRate);
    model.SetSmoothness(c.smoothness);
    model.SetDistribution(c.distribution);
    model.SetChaos(c.chaos);
    ASSERT_TRUE(model.SetMaxBurn(c.maxBurn));
    ASSERT_TRUE(model.SetEdgeRatio(c.edgeRatio, c.width));
    ASSERT_TRUE(model.Rebuild(c.width, c.height));
    const std::int32_t cap = model.HeatCap();
    const std::int32_t zoneStart = model.ZoneStart();
    const std::int32_t zoneEnd = model.ZoneEnd();
    const std::int32_t flameTop = std::min(model.BurnHeight(), c.height - 1);
    // A drift of at most `reach` past the row's end lands in the padding, or in the row above.
    const std::int32_t reach = c.distribution;
    const std::int32_t padding = model.RowStride() - c.width;
    const std::int32_t firstQuietRow = flameTop + (reach > padding ? 2 : 1);
    int hotCells = 0;
    for (int step = 0; step < 300; ++step) {
        ASSERT_EQ(model.Step(), StepFailure::None) << step;
        for (std::int32_t row = 0; row < c.height; ++row) {
            const auto pixels = model.Row(row);
            for (std::int32_t column = 0; column < c.width; ++column) {
                const int pixel = pixels[static_cast<std::size_t>(column)];
                ASSERT_TRUE(pixel >= 16 && pixel <= cap) << "step " << step << " row " << row << " col " << column;
                if (row >= firstQuietRow || (row == flameTop + 1 && column >= reach)) {
                    ASSERT_EQ(pixel, 16) << "quiet row " << row << " col " << column;
                }
                hotCells += pixel > 16 ? 1 : 0;
            }
        }
        const auto bottom = model.Row(0);
        for (std::int32_t column = 0; column < c.width; ++column) {
            if (column < zoneStart + c.distribution || column >= zoneEnd - c.distribution) {
                ASSERT_EQ(bottom[static_cast<std::size_t>(column)], 16) << "cold edge " << column;
            }
        }
    }
    EXPECT_GT(hotCells, 0); // the fire did burn
}

INSTANTIATE_TEST_SUITE_P(
    Settings, FireModelProperties,
    testing::Values(PropertyCase{"Window", 121, 25}, PropertyCase{"NoPadding", 120, 25},
                    PropertyCase{"FullHeight", 64, 30, 5, 223, 20, 1, 1, 50, 100},
                    PropertyCase{"NoDecayNoDrift", 50, 20, 0, 223, 20, 1, 0},
                    PropertyCase{"WideDrift", 37, 20, 9, 223, 20, 2, 3},
                    PropertyCase{"LowCapRoughSpread", 80, 16, 3, 100, 35, 4, 1, -50},
                    PropertyCase{"WholeRowZone", 10, 12, 5, 223, 20, 1, 0, 50, 90, 0.95f},
                    PropertyCase{"SingleRow", 33, 1}, PropertyCase{"NoFlameRows", 40, 10, 5, 223, 20, 1, 1, 50, 10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FireModel, PaddingIsNeverRead)
{
    HeatModel clean = Built(121, 25);
    HeatModel dirty = Built(121, 25);
    for (HeatModel* model : {&clean, &dirty}) {
        model->SetDistribution(3);
        ASSERT_TRUE(model->SetMaxBurn(100));
        ASSERT_TRUE(model->Rebuild(121, 25));
    }
    for (int step = 0; step < 200; ++step) {
        // Poison the padding before every step: a step that read it would diverge.
        auto pixels = dirty.SimulationBuffer();
        for (std::size_t row = 0; row < 25; ++row)
            std::fill_n(pixels.begin() + static_cast<std::ptrdiff_t>(row * 124 + 121), 3, step % 2 ? 255 : 0);
        ASSERT_EQ(clean.Step(), StepFailure::None);
        ASSERT_EQ(dirty.Step(), StepFailure::None);
        for (std::int32_t row = 0; row < 25; ++row)
            ASSERT_TRUE(std::ranges::equal(clean.Row(row), dirty.Row(row))) << "step " << step << " row " << row;
    }
}

} // namespace
