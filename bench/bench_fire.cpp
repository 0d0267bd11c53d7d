// The fire step at the window's size (121 x 25) and at full HD, MaxBurn 100, per kernel, against
// a plain step kept here as the baseline. Reported per propagated cell (flame rows x Width).
#include "heatmodel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace kelvane::fire;

namespace {

// The step written the obvious way: one draw after another, a division for every remainder.
// Default settings except MaxBurn; geometry as the model computes it.
class BaselineFire {
public:
    BaselineFire(int width, int height, int burnHeight, int burningWidth)
        : width_(width), height_(height), stride_((width * 8 + 31) / 32 * 4), burnHeight_(burnHeight),
          burningWidth_(burningWidth), heat_(static_cast<std::size_t>(width), 16),
          pixels_(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height), 0)
    {
        for (int row = 0; row < height; ++row)
            std::fill_n(pixels_.begin() + row * stride_, width, 16);
    }

    void Step()
    {
        const int left = (width_ - burningWidth_) / 2;
        const int right = left + burningWidth_ + 1;
        for (int i = 0; i < width_; ++i) {
            if (i < left + distribution_ || i >= right - distribution_)
                heat_[static_cast<std::size_t>(i)] = 16;
            pixels_[static_cast<std::size_t>(i)] = heat_[static_cast<std::size_t>(i)];
        }
        for (int row = std::min(burnHeight_, height_ - 1); row >= 1; --row) {
            if (Next() % 2 == 0) {
                for (int n = 0; n < width_; ++n)
                    Propagate(row, n);
            } else {
                for (int n = width_ - 1; n >= 0; --n)
                    Propagate(row, n);
            }
        }
        if (Next() % (400 - flammability_) == 0) {
            const int p = left + static_cast<int>(Next()) % (burningWidth_ - 5);
            for (int i = p; i < p + 5 && i < width_; ++i)
                heat_[static_cast<std::size_t>(i)] = 239;
        }
        const int cap = maxHeat_ + 16;
        for (int i = left; i < right && i < width_; ++i) {
            const int h = heat_[static_cast<std::size_t>(i)];
            if (h >= cap) {
                heat_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(cap);
            } else {
                const int v = h + spreadRate_ + static_cast<int>(Next()) % chaos_ + 1 - chaos_ / 2;
                heat_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v > cap ? cap : v < 16 ? 16 : v);
            }
        }
        for (int i = left + smoothness_; i <= std::min(right - 1, width_ - 1) - smoothness_; ++i) {
            int sum = 0;
            for (int j = i - smoothness_; j <= i + smoothness_; ++j)
                sum += heat_[static_cast<std::size_t>(j)];
            heat_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(sum / (2 * smoothness_ + 1));
        }
    }

    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }
    const std::vector<std::uint8_t>& Heat() const { return heat_; }
    std::uint32_t State() const { return state_; }

private:
    std::uint32_t Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 5;
    }

    void Propagate(int row, int n)
    {
        const int a = static_cast<int>(Next()) % (distribution_ + 1);
        const int b = static_cast<int>(Next()) % (decay_ + 1);
        const int v = pixels_[static_cast<std::size_t>((row - 1) * stride_ + n)] - b;
        const long target = static_cast<long>(row) * stride_ + n + (Next() % 2 == 1 ? a : -a);
        if (target >= 0 && target < static_cast<long>(pixels_.size()))
            pixels_[static_cast<std::size_t>(target)] = static_cast<std::uint8_t>(std::max(v, 16));
    }

    int width_, height_, stride_, burnHeight_, burningWidth_;
    int decay_ = 5, flammability_ = 385, maxHeat_ = 223, spreadRate_ = 20, smoothness_ = 1;
    int distribution_ = 1, chaos_ = 50;
    std::uint32_t state_ = 0x38549391u;
    std::vector<std::uint8_t> heat_;
    std::vector<std::uint8_t> pixels_;
};

constexpr int kWarmSteps = 20;

HeatModel MakeModel(int width, int height, StepKernel kernel)
{
    HeatModel model;
    model.SetKernel(kernel);
    model.SetMaxBurn(100);
    model.Rebuild(width, height);
    return model;
}

double CellsPerStep(const HeatModel& model)
{
    return static_cast<double>(std::min(model.BurnHeight(), model.Height() - 1)) * model.Width();
}

void ReportPerCell(benchmark::State& state, double cells)
{
    // An inverted rate: seconds per propagated cell, shown with its SI prefix (e.g. "1.2ns").
    state.counters["per_cell"] = benchmark::Counter(
        cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The model must give the baseline's frames: checked over the warm-up before any timing.
bool SameFramesAsBaseline(int width, int height, StepKernel kernel)
{
    HeatModel model = MakeModel(width, height, kernel);
    BaselineFire baseline(width, height, model.BurnHeight(), model.BurningWidth());
    for (int step = 0; step < kWarmSteps; ++step) {
        if (model.Step() != StepFailure::None)
            return false;
        baseline.Step();
        if (!std::ranges::equal(model.SimulationBuffer(), baseline.Pixels()) ||
            !std::ranges::equal(model.HeatRow(), baseline.Heat()) || model.RandomState() != baseline.State())
            return false;
    }
    return true;
}

void BM_Baseline(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const HeatModel geometry = MakeModel(width, height, StepKernel::Plain);
    BaselineFire fire(width, height, geometry.BurnHeight(), geometry.BurningWidth());
    for (int step = 0; step < kWarmSteps; ++step)
        fire.Step();
    for (auto _ : state) {
        fire.Step();
        benchmark::DoNotOptimize(fire.Pixels().data());
    }
    ReportPerCell(state, CellsPerStep(geometry));
}

void BM_Step(benchmark::State& state, StepKernel kernel)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    if (kernel == StepKernel::Avx2 && !HeatModel::Avx2Supported()) {
        state.SkipWithError("no AVX2 on this CPU");
        return;
    }
    if (!SameFramesAsBaseline(width, height, kernel)) {
        state.SkipWithError("frames differ from the baseline");
        return;
    }
    HeatModel model = MakeModel(width, height, kernel);
    for (int step = 0; step < kWarmSteps; ++step)
        (void)model.Step();
    for (auto _ : state) {
        if (model.Step() != StepFailure::None) {
            state.SkipWithError("step failed");
            break;
        }
        benchmark::DoNotOptimize(model.SimulationBuffer().data());
    }
    ReportPerCell(state, CellsPerStep(model));
}

void Sizes(benchmark::internal::Benchmark* bench)
{
    bench->Args({121, 25})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Baseline)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Step, plain, StepKernel::Plain)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Step, portable, StepKernel::Portable)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Step, avx2, StepKernel::Avx2)->Apply(Sizes);

} // namespace

BENCHMARK_MAIN();
