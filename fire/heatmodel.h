#pragma once

#include "firerandom.h"
#include "stepfailure.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kelvane::fire {

/// How the flame rows of a step are computed. All give the same frames.
enum class StepKernel {
    Plain,    ///< one propagation at a time, straight from the rules
    Portable, ///< draws jumped ahead and divisions replaced, plain C++
    Avx2,     ///< as Portable, eight cells at a time with AVX2
};

/// The fire's heat model: a heat row that burns in its middle and a bottom-up 8-bit picture
/// whose rows take their heat from the row below, drifting and cooling at random. It owns the
/// heat row and the simulation buffer; the fire control owns the display side.
class HeatModel {
public:
    static constexpr std::uint8_t kCold = 16;    ///< coolest computed palette index
    static constexpr std::uint8_t kHotSpot = 239; ///< heat a hot spot sets

    /// A model with the fire control's default settings, the initial random state, no buffers.
    HeatModel();

    // Tuning. Setters that have an accepted range return false and keep the old value outside it.
    std::int32_t Decay() const { return decay_; }
    void SetDecay(std::int32_t value) { decay_ = value; }
    std::int32_t Flammability() const { return flammability_; }
    /// Accepts 1 to 399.
    bool SetFlammability(std::int32_t value);
    std::int32_t MaxHeat() const { return maxHeat_; }
    void SetMaxHeat(std::int32_t value) { maxHeat_ = value; }
    std::int32_t SpreadRate() const { return spreadRate_; }
    void SetSpreadRate(std::int32_t value) { spreadRate_ = value; }
    std::int32_t Smoothness() const { return smoothness_; }
    void SetSmoothness(std::int32_t value) { smoothness_ = value; }
    std::int32_t Distribution() const { return distribution_; }
    void SetDistribution(std::int32_t value) { distribution_ = value; }
    std::int32_t Chaos() const { return chaos_; }
    void SetChaos(std::int32_t value) { chaos_ = value; }
    std::int32_t MaxBurn() const { return maxBurn_; }
    /// Accepts 1 to 100; the burn height follows at the next Rebuild (the caller's to run).
    bool SetMaxBurn(std::int32_t value);
    float EdgeRatio() const { return edgeRatio_; }
    /// Accepts values strictly between 0 and 1 and recomputes the burning width from `width`
    /// (the control's current width) without a rebuild.
    bool SetEdgeRatio(float value, std::int32_t width);

    /// Restarts the fire from cold at `width` x `height`: burn height and burning width
    /// recomputed, heat row and pixels set to 16. Returns false, leaving no buffers, when the
    /// size cannot have a buffer (not positive, or beyond 2^31 - 1 bytes).
    bool Rebuild(std::int32_t width, std::int32_t height);
    /// Drops the heat row and the buffer.
    void Release();
    /// Whether a rebuild made buffers.
    bool HasBuffers() const { return !heatRow_.empty(); }
    /// Whether there are buffers and they were made for `width` x `height`.
    bool HasBuffersFor(std::int32_t width, std::int32_t height) const;

    /// One frame. On failure the changes made before it stay, and the fire should stop.
    [[nodiscard]] StepFailure Step();

    /// Draws the next random number (0 to 2^27 - 1).
    std::uint32_t NextRandom() { return random_.Next(); }
    /// The generator state; rebuilds never reset it.
    std::uint32_t RandomState() const { return random_.State(); }
    /// Replaces the generator state.
    void SetRandomState(std::uint32_t state) { random_.SetState(state); }

    /// Selects how flame rows are computed; false (and no change) when the CPU lacks it.
    bool SetKernel(StepKernel kernel);
    StepKernel Kernel() const { return kernel_; }
    /// Whether this CPU runs the AVX2 kernel.
    static bool Avx2Supported();

    // Geometry of the last rebuild.
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    /// Bytes per buffer row: Width rounded up to a multiple of 4.
    std::int32_t RowStride() const { return stride_; }
    /// Rows above the bottom row that a step recomputes (at most Height - 1 are).
    std::int32_t BurnHeight() const { return burnHeight_; }
    /// The burning zone covers this many columns plus one.
    std::int32_t BurningWidth() const { return burningWidth_; }
    /// First column of the burning zone.
    std::int32_t ZoneStart() const;
    /// One past the last column of the burning zone (may exceed Width by one).
    std::int32_t ZoneEnd() const;
    /// Highest heat the spread raises a cell to: MaxHeat + 16, wrapping like 32-bit integers.
    std::int32_t HeatCap() const;

    /// The simulation buffer: Height rows of RowStride bytes, bottom row first.
    std::span<std::uint8_t> SimulationBuffer() { return pixels_; }
    std::span<const std::uint8_t> SimulationBuffer() const { return pixels_; }
    /// The first Width bytes of buffer row `row` (0 is the bottom row).
    std::span<const std::uint8_t> Row(std::int32_t row) const;
    /// The heat row, Width bytes.
    std::span<std::uint8_t> HeatRow() { return heatRow_; }
    std::span<const std::uint8_t> HeatRow() const { return heatRow_; }

private:
    void BottomRow(std::int64_t zoneStart, std::int64_t zoneEnd);
    StepFailure FlameRows();
    StepFailure HotSpot(std::int64_t zoneStart);
    StepFailure Spread(std::int64_t zoneStart, std::int64_t zoneEnd);
    void Smooth(std::int64_t zoneStart, std::int64_t zoneEnd);

    std::int32_t decay_ = 5;
    std::int32_t flammability_ = 385;
    std::int32_t maxHeat_ = 223;
    std::int32_t spreadRate_ = 20;
    std::int32_t smoothness_ = 1;
    std::int32_t distribution_ = 1;
    std::int32_t chaos_ = 50;
    std::int32_t maxBurn_ = 75;
    float edgeRatio_ = 0.5f;

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t stride_ = 0;
    std::int32_t burnHeight_ = 0;
    std::int32_t burningWidth_ = 0;

    FireRandom random_;
    StepKernel kernel_ = StepKernel::Portable;
    std::vector<std::uint8_t> heatRow_;
    std::vector<std::uint8_t> pixels_;
    // Per-row scratch of the fast kernels, sized at rebuild so that a step allocates nothing.
    std::vector<std::uint8_t> rowValues_;
    std::vector<std::uint8_t> rowLosses_;
    std::vector<std::int32_t> rowTargets_;
    std::vector<std::uint8_t> columnValues_;
    std::vector<std::uint8_t> columnLosses_;
    std::vector<std::int8_t> columnOffsets_;
};

} // namespace kelvane::fire
