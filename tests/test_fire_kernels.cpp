// The fast flame-row kernels against the plain one, frame by frame, over settings that reach
// every corner of the propagation: drift off the buffer, into padding and into the source row,
// widths around the vector width, zero and extreme divisors.
#include "heatmodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

using namespace kelvane::fire;

namespace {

struct KernelCase {
    const char* name;
    std::int32_t width, height;
    std::int32_t distribution = 1, decay = 5, maxBurn = 75;
    int steps = 120;
    float edgeRatio = 0.5f;
};

void Configure(HeatModel& model, const KernelCase& c)
{
    model.SetDistribution(c.distribution);
    model.SetDecay(c.decay);
    ASSERT_TRUE(model.SetMaxBurn(c.maxBurn));
    ASSERT_TRUE(model.SetEdgeRatio(c.edgeRatio, c.width));
    ASSERT_TRUE(model.Rebuild(c.width, c.height));
}

class FireKernels : public testing::TestWithParam<KernelCase> {};

void ExpectSameFrames(const KernelCase& c, StepKernel fast)
{
    HeatModel plain;
    HeatModel other;
    ASSERT_TRUE(plain.SetKernel(StepKernel::Plain));
    ASSERT_TRUE(other.SetKernel(fast));
    Configure(plain, c);
    Configure(other, c);
    int failures = 0;
    for (int step = 0; step < c.steps; ++step) {
        const StepFailure expected = plain.Step();
        ASSERT_EQ(other.Step(), expected) << "step " << step;
        failures += expected != StepFailure::None ? 1 : 0;
        // Whole buffers, padding included: the kernels write the same bytes everywhere.
        ASSERT_TRUE(std::ranges::equal(plain.SimulationBuffer(), other.SimulationBuffer())) << "step " << step;
        ASSERT_TRUE(std::ranges::equal(plain.HeatRow(), other.HeatRow())) << "step " << step;
        ASSERT_EQ(plain.RandomState(), other.RandomState()) << "step " << step;
    }
    if (c.distribution == -1 || c.decay == -1) {
        EXPECT_GT(failures, 0); // the failing rows were met
    }
}

TEST_P(FireKernels, PortableGivesThePlainFrames)
{
    ExpectSameFrames(GetParam(), StepKernel::Portable);
}

TEST_P(FireKernels, Avx2GivesThePlainFrames)
{
    if (!HeatModel::Avx2Supported())
        GTEST_SKIP() << "no AVX2 on this CPU";
    ExpectSameFrames(GetParam(), StepKernel::Avx2);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, FireKernels,
    testing::Values(KernelCase{"Window", 121, 25}, KernelCase{"FullHeightNoPadding", 64, 30, 1, 5, 100},
                    KernelCase{"WideRowFewRows", 1920, 6, 1, 5, 100, 12},
                    KernelCase{"Width1", 1, 12, 1, 5, 100}, KernelCase{"Width7", 7, 12, 2, 5, 100},
                    KernelCase{"Width8", 8, 12, 2, 5, 100}, KernelCase{"Width9", 9, 12, 2, 5, 100},
                    KernelCase{"Width17", 17, 12, 4, 5, 100}, KernelCase{"DriftIntoSourceRow", 16, 20, 7, 3, 100},
                    KernelCase{"DriftAcrossRows", 24, 20, 100, 2, 100},
                    KernelCase{"DriftOffTheBuffer", 33, 9, 100000, 5, 100},
                    KernelCase{"DriftIntMax", 33, 9, INT_MAX, 5, 100},
                    KernelCase{"NegativeDrift", 40, 16, -3, 5, 100},
                    KernelCase{"NegativeDriftIntMin", 40, 16, INT_MIN, 5, 100},
                    KernelCase{"NoDriftNoDecay", 40, 16, 0, 0, 100},
                    KernelCase{"NegativeDecay", 40, 16, 1, -10, 100},
                    KernelCase{"DecayIntMax", 40, 16, 1, INT_MAX, 100},
                    KernelCase{"DecayIntMin", 40, 16, 2, INT_MIN, 100},
                    KernelCase{"DistributionZeroDivisor", 21, 10, -1, 5, 100, 20},
                    KernelCase{"DecayZeroDivisor", 21, 10, 1, -1, 100, 20},
                    // Wide enough for the small-drift column path; zones over the whole row keep
                    // the ends hot, where drift crosses into neighbouring rows.
                    KernelCase{"SmallDriftNoPadding", 96, 20, 1, 5, 100, 120, 0.99f},
                    KernelCase{"SmallDriftPadding", 97, 20, 1, 5, 100, 120, 0.99f},
                    KernelCase{"SmallDriftReach3", 99, 20, 3, 2, 100, 120, 0.99f},
                    KernelCase{"SmallDriftReach8", 96, 20, 8, 1, 100, 120, 0.99f},
                    KernelCase{"SmallDriftNegative", 100, 20, -3, 4, 100, 120, 0.99f},
                    KernelCase{"SmallDriftNone", 72, 20, 0, 3, 100, 120, 0.99f},
                    KernelCase{"JustTooWideDrift", 160, 12, 9, 3, 100, 60, 0.99f},
                    KernelCase{"HeightOne", 50, 1}, KernelCase{"HeightTwo", 50, 2, 1, 5, 100}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
