#include "flamerows.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KELVANE_FIRE_AVX2 __attribute__((target("avx2")))
#endif

namespace kelvane::fire {

#if defined(KELVANE_FIRE_AVX2)

namespace {

// Multipliers and increments that take the state after a row's direction draw to the drift,
// loss and side states of the eight cells of a block; and the jump from one block to the next.
struct LaneJumps {
    alignas(32) std::uint32_t mul[3][8];
    alignas(32) std::uint32_t add[3][8];
    LcgJump block;
};

LaneJumps MakeLaneJumps()
{
    LaneJumps jumps{};
    for (int kind = 0; kind < 3; ++kind) {
        for (int lane = 0; lane < 8; ++lane) {
            const LcgJump jump = LcgJump::Steps(static_cast<std::uint64_t>(3 * lane + kind + 1));
            jumps.mul[kind][lane] = jump.mul;
            jumps.add[kind][lane] = jump.add;
        }
    }
    jumps.block = LcgJump::Steps(24);
    return jumps;
}

// The divisor of a DrawRemainder, broadcast for eight lanes.
struct VectorRemainder {
    __m256i divisor;
    __m256i magic;
    __m128i shift;
    bool powerOfTwo; // then the remainder is a mask
    __m256i mask;
};

KELVANE_FIRE_AVX2 VectorRemainder Broadcast(const DrawRemainder& remainder)
{
    const std::uint32_t divisor = remainder.Divisor();
    return {_mm256_set1_epi32(static_cast<int>(divisor)), _mm256_set1_epi32(static_cast<int>(remainder.Magic())),
            _mm_cvtsi32_si128(static_cast<int>(remainder.Shift())), (divisor & (divisor - 1)) == 0,
            _mm256_set1_epi32(static_cast<int>(divisor - 1))};
}

// draw mod divisor in each lane, by the same multiply-and-shift as DrawRemainder::Of.
KELVANE_FIRE_AVX2 __m256i RemainderOf(__m256i draws, const VectorRemainder& by)
{
    if (by.powerOfTwo)
        return _mm256_and_si256(draws, by.mask);
    const __m256i evenProducts = _mm256_mul_epu32(draws, by.magic);
    const __m256i oddProducts = _mm256_mul_epu32(_mm256_srli_epi64(draws, 32), by.magic);
    const __m256i evenQuotients = _mm256_srl_epi64(evenProducts, by.shift);
    const __m256i oddQuotients = _mm256_slli_epi64(_mm256_srl_epi64(oddProducts, by.shift), 32);
    const __m256i quotients = _mm256_blend_epi32(evenQuotients, oddQuotients, 0xAA);
    return _mm256_sub_epi32(draws, _mm256_mullo_epi32(quotients, by.divisor));
}

KELVANE_FIRE_AVX2 __m256i Advance(__m256i states, __m256i mul, __m256i add)
{
    return _mm256_add_epi32(_mm256_mullo_epi32(states, mul), add);
}

// Eight 32-bit lanes holding 0 to 255 stored as eight bytes.
KELVANE_FIRE_AVX2 void StoreBytes(std::uint8_t* out, __m256i lanes)
{
    const __m128i words = _mm_packus_epi32(_mm256_castsi256_si128(lanes), _mm256_extracti128_si256(lanes, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(words, words));
}

// The eight source bytes read by cells cell .. cell + 7 of the scan, as 32-bit lanes.
KELVANE_FIRE_AVX2 __m256i SourceLanes(const std::uint8_t* source, std::int32_t width, std::int32_t cell,
                                      bool leftToRight)
{
    if (leftToRight)
        return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + cell)));
    const __m256i ascending =
        _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + width - 8 - cell)));
    return _mm256_permutevar8x32_epi32(ascending, _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0));
}

struct RowPrepare {
    const LaneJumps& jumps;
    const DrawRemainder& driftOf;
    const DrawRemainder& lossOf;
};

// The draws of a row, eight cells at a time: three generator chains per lane, each lane
// a cell, the lanes jumped ahead by a block of eight cells after each use.
struct LaneDraws {
    __m256i states[3];
    __m256i blockMul, blockAdd;
    VectorRemainder driftBy, lossBy;

    KELVANE_FIRE_AVX2 LaneDraws(const RowPrepare& with, std::uint32_t afterDirection)
    {
        const __m256i start = _mm256_set1_epi32(static_cast<int>(afterDirection));
        for (int kind = 0; kind < 3; ++kind)
            states[kind] = Advance(start, _mm256_load_si256(reinterpret_cast<const __m256i*>(with.jumps.mul[kind])),
                                   _mm256_load_si256(reinterpret_cast<const __m256i*>(with.jumps.add[kind])));
        blockMul = _mm256_set1_epi32(static_cast<int>(with.jumps.block.mul));
        blockAdd = _mm256_set1_epi32(static_cast<int>(with.jumps.block.add));
        driftBy = Broadcast(with.driftOf);
        lossBy = Broadcast(with.lossOf);
    }

    /// The next eight cells' losses and signed drift offsets, in scan order.
    KELVANE_FIRE_AVX2 void Next(__m256i& loss, __m256i& offset)
    {
        const __m256i one = _mm256_set1_epi32(1);
        const __m256i drift = RemainderOf(_mm256_srli_epi32(states[0], 5), driftBy);
        loss = RemainderOf(_mm256_srli_epi32(states[1], 5), lossBy);
        // Even side draw: drift to the left, i.e. negate (x ^ -1) - -1.
        const __m256i leftMask = _mm256_sub_epi32(_mm256_and_si256(_mm256_srli_epi32(states[2], 5), one), one);
        offset = _mm256_sub_epi32(_mm256_xor_si256(drift, leftMask), leftMask);
        for (auto& state : states)
            state = Advance(state, blockMul, blockAdd);
    }

    /// Lane 0's chains: the draws of the next cell, for the cells left after the last block.
    KELVANE_FIRE_AVX2 void Chains(std::uint32_t chain[3]) const
    {
        for (int kind = 0; kind < 3; ++kind)
            chain[kind] = static_cast<std::uint32_t>(_mm256_cvtsi256_si32(states[kind]));
    }
};

// Fills values, losses and targets for one row; returns the lowest target.
KELVANE_FIRE_AVX2 std::int32_t PrepareRow(FlameRowsJob& job, const RowPrepare& with, const std::uint8_t* source,
                                          std::uint32_t afterDirection, bool leftToRight)
{
    const std::int32_t width = job.width;
    LaneDraws draws(with, afterDirection);
    const __m256i cold = _mm256_set1_epi32(16);
    const __m256i byteMax = _mm256_set1_epi32(255);
    const __m256i laneStep = leftToRight ? _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)
                                         : _mm256_setr_epi32(0, -1, -2, -3, -4, -5, -6, -7);
    __m256i lowest = _mm256_setzero_si256();

    std::int32_t cell = 0;
    for (; cell + 8 <= width; cell += 8) {
        __m256i loss, offset;
        draws.Next(loss, offset);
        const __m256i columns =
            _mm256_add_epi32(_mm256_set1_epi32(leftToRight ? cell : width - 1 - cell), laneStep);
        const __m256i targets = _mm256_add_epi32(columns, offset);
        const __m256i values =
            _mm256_max_epi32(_mm256_sub_epi32(SourceLanes(source, width, cell, leftToRight), loss), cold);
        StoreBytes(job.values + cell, values);
        StoreBytes(job.losses + cell, _mm256_min_epu32(loss, byteMax));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(job.targets + cell), targets);
        lowest = _mm256_min_epi32(lowest, targets);
    }

    alignas(32) std::int32_t lanes[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), lowest);
    std::int32_t lowestTarget = *std::min_element(lanes, lanes + 8);

    // The last Width mod 8 cells, one at a time from the chains' lane 0.
    std::uint32_t chain[3];
    draws.Chains(chain);
    constexpr LcgJump three = LcgJump::Steps(3);
    for (; cell < width; ++cell) {
        const std::int32_t column = leftToRight ? cell : width - 1 - cell;
        const auto drift = static_cast<std::int32_t>(with.driftOf.Of(chain[0] >> 5));
        const auto loss = static_cast<std::uint8_t>(std::min(with.lossOf.Of(chain[1] >> 5), 255u));
        const std::int32_t target = column + (((chain[2] >> 5) & 1u) != 0 ? drift : -drift);
        job.values[cell] = static_cast<std::uint8_t>(std::max(source[column] - loss, 16));
        job.losses[cell] = loss;
        job.targets[cell] = target;
        lowestTarget = std::min(lowestTarget, target);
        for (auto& state : chain)
            state = three.Apply(state);
    }
    return lowestTarget;
}

// Drifts up to this size take the column path: each target column picks its last writer from
// the few cells that can reach it, 32 columns at a time.
constexpr std::uint32_t kSmallDrift = 8;

KELVANE_FIRE_AVX2 void StoreSignedBytes(std::int8_t* out, __m256i lanes)
{
    const __m128i words = _mm_packs_epi32(_mm256_castsi256_si128(lanes), _mm256_extracti128_si256(lanes, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packs_epi16(words, words));
}

// As PrepareRow, but stores each cell's value, loss and drift offset at its column.
KELVANE_FIRE_AVX2 void PrepareColumns(FlameRowsJob& job, const RowPrepare& with, const std::uint8_t* source,
                                      std::uint32_t afterDirection, bool leftToRight)
{
    const std::int32_t width = job.width;
    LaneDraws draws(with, afterDirection);
    const __m256i cold = _mm256_set1_epi32(16);
    const __m256i byteMax = _mm256_set1_epi32(255);
    const __m256i reversed = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);

    std::int32_t cell = 0;
    for (; cell + 8 <= width; cell += 8) {
        __m256i loss, offset;
        draws.Next(loss, offset);
        std::int32_t column = cell;
        if (!leftToRight) { // scan lanes run down the columns: turn them round
            column = width - 8 - cell;
            offset = _mm256_permutevar8x32_epi32(offset, reversed);
            loss = _mm256_permutevar8x32_epi32(loss, reversed);
        }
        const __m256i pixels = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + column)));
        StoreBytes(job.columnValues + column, _mm256_max_epi32(_mm256_sub_epi32(pixels, loss), cold));
        StoreBytes(job.columnLosses + column, _mm256_min_epu32(loss, byteMax));
        StoreSignedBytes(job.columnOffsets + column, offset);
    }

    std::uint32_t chain[3];
    draws.Chains(chain);
    constexpr LcgJump three = LcgJump::Steps(3);
    for (; cell < width; ++cell) {
        const std::int32_t column = leftToRight ? cell : width - 1 - cell;
        const auto drift = static_cast<std::int32_t>(with.driftOf.Of(chain[0] >> 5));
        const auto loss = static_cast<std::uint8_t>(std::min(with.lossOf.Of(chain[1] >> 5), 255u));
        job.columnValues[column] = static_cast<std::uint8_t>(std::max(source[column] - loss, 16));
        job.columnLosses[column] = loss;
        job.columnOffsets[column] = static_cast<std::int8_t>(((chain[2] >> 5) & 1u) != 0 ? drift : -drift);
        for (auto& state : chain)
            state = three.Apply(state);
    }
}

// Writes of cells first..last (scan order given by the step) whose targets leave the row.
void WriteLeavingCells(FlameRowsJob& job, std::int64_t base, std::int32_t first, std::int32_t last, std::int32_t step)
{
    const auto size = static_cast<std::uint64_t>(job.size);
    for (std::int32_t column = first; column != last + step; column += step) {
        const std::int32_t target = column + job.columnOffsets[column];
        if (target >= 0 && target < job.width)
            continue;
        const auto position = static_cast<std::uint64_t>(base + target);
        if (position < size)
            job.pixels[position] = job.columnValues[column];
    }
}

// Every column of the row takes the value of the last cell in scan order that targets it, or
// keeps its byte. Candidates are visited in scan order, so a later match overrides.
KELVANE_FIRE_AVX2 void ResolveRow(const FlameRowsJob& job, std::uint8_t* row, std::int32_t reach, bool leftToRight)
{
    const std::int32_t width = job.width;
    for (std::int32_t block = 0;; block += 32) {
        // The last block overlaps the one before: resolving a column twice gives the same byte.
        const std::int32_t column = std::min(block, width - 32);
        __m256i result = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + column));
        for (std::int32_t i = 0; i <= 2 * reach; ++i) {
            const std::int32_t offset = leftToRight ? reach - i : i - reach;
            const std::int32_t from = column - offset;
            const __m256i offsets = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(job.columnOffsets + from));
            const __m256i hits = _mm256_cmpeq_epi8(offsets, _mm256_set1_epi8(static_cast<char>(offset)));
            const __m256i values = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(job.columnValues + from));
            result = _mm256_blendv_epi8(result, values, hits);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + column), result);
        if (block + 32 >= width)
            return;
    }
}

// One row when every drift is at most `reach` (<= kSmallDrift) and the row is wide enough that
// cells leaving at one end never meet those of the other.
KELVANE_FIRE_AVX2 void SmallDriftRow(FlameRowsJob& job, const RowPrepare& with, std::int32_t row,
                                     std::uint32_t afterDirection, bool leftToRight, std::int32_t reach)
{
    const std::int64_t base = std::int64_t{row} * job.stride;
    std::uint8_t* source = job.pixels + base - job.stride;
    const std::int32_t width = job.width;
    PrepareColumns(job, with, source, afterDirection, leftToRight);
    if (leftToRight) {
        // The first cells may drift into the end of the source row, which the last cells read.
        WriteLeavingCells(job, base, 0, reach - 1, 1);
        for (std::int32_t column = width - reach; column < width; ++column)
            job.columnValues[column] =
                static_cast<std::uint8_t>(std::max(source[column] - job.columnLosses[column], 16));
        ResolveRow(job, job.pixels + base, reach, true);
        WriteLeavingCells(job, base, width - reach, width - 1, 1);
    } else {
        // Right to left the cells leaving to the left come last, after every read.
        WriteLeavingCells(job, base, width - 1, width - reach, -1);
        ResolveRow(job, job.pixels + base, reach, false);
        WriteLeavingCells(job, base, reach - 1, 0, -1);
    }
}

} // namespace

KELVANE_FIRE_AVX2 StepFailure FlameRowsAvx2(FlameRowsJob& job)
{
    const PropagationDivisors divisors = DivisorsOf(job);
    if (!divisors.Usable())
        return FlameRowsPlain(job);
    static const LaneJumps jumps = MakeLaneJumps();
    const DrawRemainder driftOf(divisors.drift);
    const DrawRemainder lossOf(divisors.loss);
    const RowPrepare with{jumps, driftOf, lossOf};
    constexpr LcgJump one = LcgJump::Steps(1);
    const LcgJump wholeRow = LcgJump::Steps(3 * static_cast<std::uint64_t>(job.width));

    const std::uint32_t reach = driftOf.Divisor() - 1;
    const bool smallDrift = reach <= kSmallDrift && std::int64_t{job.width} >= 4 * std::int64_t{reach} + 64;

    for (std::int32_t row = job.top; row >= 1; --row) {
        const std::uint32_t afterDirection = one.Apply(job.state);
        const bool leftToRight = ((afterDirection >> 5) & 1u) == 0;
        if (smallDrift) {
            SmallDriftRow(job, with, row, afterDirection, leftToRight, static_cast<std::int32_t>(reach));
        } else {
            const std::uint8_t* source = job.pixels + std::int64_t{row - 1} * job.stride;
            const std::int32_t lowest = PrepareRow(job, with, source, afterDirection, leftToRight);
            WritePreparedRow(job, row, leftToRight, lowest);
        }
        job.state = wholeRow.Apply(afterDirection);
    }
    return StepFailure::None;
}

bool CpuHasAvx2()
{
    return __builtin_cpu_supports("avx2");
}

#else // no x86: the portable kernel stands in

StepFailure FlameRowsAvx2(FlameRowsJob& job)
{
    return FlameRowsPortable(job);
}

bool CpuHasAvx2()
{
    return false;
}

#endif

} // namespace kelvane::fire
