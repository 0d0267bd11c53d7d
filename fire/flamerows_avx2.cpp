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
};

KELVANE_FIRE_AVX2 VectorRemainder Broadcast(const DrawRemainder& remainder)
{
    return {_mm256_set1_epi32(static_cast<int>(remainder.Divisor())),
            _mm256_set1_epi32(static_cast<int>(remainder.Magic())),
            _mm_cvtsi32_si128(static_cast<int>(remainder.Shift()))};
}

// draw mod divisor in each lane, by the same multiply-and-shift as DrawRemainder::Of.
KELVANE_FIRE_AVX2 __m256i RemainderOf(__m256i draws, const VectorRemainder& by)
{
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

// Fills values, losses and targets for one row; returns the lowest target.
KELVANE_FIRE_AVX2 std::int32_t PrepareRow(FlameRowsJob& job, const RowPrepare& with, const std::uint8_t* source,
                                          std::uint32_t afterDirection, bool leftToRight)
{
    const std::int32_t width = job.width;
    const __m256i start = _mm256_set1_epi32(static_cast<int>(afterDirection));
    __m256i states[3];
    for (int kind = 0; kind < 3; ++kind)
        states[kind] = Advance(start, _mm256_load_si256(reinterpret_cast<const __m256i*>(with.jumps.mul[kind])),
                               _mm256_load_si256(reinterpret_cast<const __m256i*>(with.jumps.add[kind])));
    const __m256i blockMul = _mm256_set1_epi32(static_cast<int>(with.jumps.block.mul));
    const __m256i blockAdd = _mm256_set1_epi32(static_cast<int>(with.jumps.block.add));
    const VectorRemainder driftBy = Broadcast(with.driftOf);
    const VectorRemainder lossBy = Broadcast(with.lossOf);
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i cold = _mm256_set1_epi32(16);
    const __m256i byteMax = _mm256_set1_epi32(255);
    const __m256i laneStep = leftToRight ? _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)
                                         : _mm256_setr_epi32(0, -1, -2, -3, -4, -5, -6, -7);
    __m256i lowest = _mm256_setzero_si256();

    std::int32_t cell = 0;
    for (; cell + 8 <= width; cell += 8) {
        const __m256i drift = RemainderOf(_mm256_srli_epi32(states[0], 5), driftBy);
        const __m256i loss = RemainderOf(_mm256_srli_epi32(states[1], 5), lossBy);
        // Even side draw: drift to the left, i.e. negate (x ^ -1) - -1.
        const __m256i leftMask = _mm256_sub_epi32(_mm256_and_si256(_mm256_srli_epi32(states[2], 5), one), one);
        const __m256i offset = _mm256_sub_epi32(_mm256_xor_si256(drift, leftMask), leftMask);
        const __m256i columns =
            _mm256_add_epi32(_mm256_set1_epi32(leftToRight ? cell : width - 1 - cell), laneStep);
        const __m256i targets = _mm256_add_epi32(columns, offset);
        const __m256i values =
            _mm256_max_epi32(_mm256_sub_epi32(SourceLanes(source, width, cell, leftToRight), loss), cold);
        StoreBytes(job.values + cell, values);
        StoreBytes(job.losses + cell, _mm256_min_epu32(loss, byteMax));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(job.targets + cell), targets);
        lowest = _mm256_min_epi32(lowest, targets);
        for (auto& state : states)
            state = Advance(state, blockMul, blockAdd);
    }

    alignas(32) std::int32_t lanes[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), lowest);
    std::int32_t lowestTarget = *std::min_element(lanes, lanes + 8);

    // The last Width mod 8 cells, one at a time from the chains' lane 0.
    std::uint32_t chain[3];
    for (int kind = 0; kind < 3; ++kind)
        chain[kind] = static_cast<std::uint32_t>(_mm256_cvtsi256_si32(states[kind]));
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

    for (std::int32_t row = job.top; row >= 1; --row) {
        const std::uint32_t afterDirection = one.Apply(job.state);
        const bool leftToRight = ((afterDirection >> 5) & 1u) == 0;
        const std::uint8_t* source = job.pixels + std::int64_t{row - 1} * job.stride;
        const std::int32_t lowest = PrepareRow(job, with, source, afterDirection, leftToRight);
        WritePreparedRow(job, row, leftToRight, lowest);
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
