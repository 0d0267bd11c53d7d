#pragma once

// The flame rows of one step, shared by the heat model's kernels. Internal to the library.

#include "firegeometry.h"
#include "firerandom.h"
#include "stepfailure.h"

#include <cstdint>

namespace kelvane::fire {

/// Everything the flame rows of one step read and write.
struct FlameRowsJob {
    std::uint8_t* pixels = nullptr; ///< simulation buffer, bottom row first
    std::int64_t size = 0;          ///< Height * stride
    std::int32_t width = 0;
    std::int32_t stride = 0;
    std::int32_t top = 0;           ///< highest row recomputed; rows top down to 1
    std::int32_t distribution = 0;
    std::int32_t decay = 0;
    std::uint32_t state = 0;        ///< generator state, in and out
    // Scratch of Width entries, in scan order of one row.
    std::uint8_t* values = nullptr;  ///< the byte each cell writes
    std::uint8_t* losses = nullptr;  ///< each cell's loss, capped at 255
    std::int32_t* targets = nullptr; ///< each cell's destination, relative to its row's start
    // Scratch indexed by column, for small drifts: kColumnMargin entries before index 0 and
    // after index Width - 1, the offsets' margins holding kNoOffset so that they match no drift.
    std::uint8_t* columnValues = nullptr;
    std::uint8_t* columnLosses = nullptr;
    std::int8_t* columnOffsets = nullptr;
};

/// Entries kept on each side of the column scratch.
constexpr std::int32_t kColumnMargin = 64;
/// The offset of a column outside the row: no drift is ever this large.
constexpr std::int8_t kNoOffset = 127;

/// One propagation after another, exactly as the rules read. Handles the zero divisors.
StepFailure FlameRowsPlain(FlameRowsJob& job);
/// Each row's draws computed ahead in three interleaved chains, then written in scan order.
StepFailure FlameRowsPortable(FlameRowsJob& job);
/// As FlameRowsPortable, with the draws computed eight cells at a time.
StepFailure FlameRowsAvx2(FlameRowsJob& job);
/// Whether the CPU runs FlameRowsAvx2.
bool CpuHasAvx2();

/// Writes one prepared row (row `row`, scan direction `leftToRight`) in scan order. When a
/// target lands in the source row's pixels, later cells of the scan may read it, so the values
/// are then recomputed from the live source and the losses.
void WritePreparedRow(FlameRowsJob& job, std::int32_t row, bool leftToRight, std::int32_t lowestTarget);

/// The divisors of the propagation, or none when one of them is zero.
struct PropagationDivisors {
    std::int32_t drift; ///< Distribution + 1, wrapping like 32-bit integers
    std::int32_t loss;  ///< Decay + 1, likewise
    bool Usable() const { return drift != 0 && loss != 0; }
};
PropagationDivisors DivisorsOf(const FlameRowsJob& job);

} // namespace kelvane::fire
