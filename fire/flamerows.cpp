#include "flamerows.h"

#include <algorithm>

namespace kelvane::fire {

namespace {

std::int32_t WrappingPlusOne(std::int32_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) + 1u);
}

// One propagation from (row - 1, column) to row `row`. Draws are made up to a zero divisor.
StepFailure Propagate(FlameRowsJob& job, FireRandom& random, PropagationDivisors divisors,
                      std::int32_t row, std::int32_t column)
{
    const auto driftDraw = static_cast<std::int32_t>(random.Next());
    if (divisors.drift == 0)
        return StepFailure::DistributionDivisor;
    const std::int32_t drift = driftDraw % divisors.drift;
    const auto lossDraw = static_cast<std::int32_t>(random.Next());
    if (divisors.loss == 0)
        return StepFailure::DecayDivisor;
    const std::int32_t loss = lossDraw % divisors.loss;
    const std::int32_t value = job.pixels[std::int64_t{row - 1} * job.stride + column] - loss;
    const bool right = (random.Next() & 1u) != 0;
    const std::int64_t target = std::int64_t{row} * job.stride + column + (right ? drift : -drift);
    if (target >= 0 && target < job.size)
        job.pixels[target] = static_cast<std::uint8_t>(std::max(value, 16));
    return StepFailure::None;
}

std::uint8_t LiveValue(const std::uint8_t* source, std::int32_t column, std::uint8_t loss)
{
    return static_cast<std::uint8_t>(std::max(source[column] - loss, 16));
}

} // namespace

PropagationDivisors DivisorsOf(const FlameRowsJob& job)
{
    return {WrappingPlusOne(job.distribution), WrappingPlusOne(job.decay)};
}

StepFailure FlameRowsPlain(FlameRowsJob& job)
{
    FireRandom random(job.state);
    const PropagationDivisors divisors = DivisorsOf(job);
    StepFailure failure = StepFailure::None;
    for (std::int32_t row = job.top; row >= 1 && failure == StepFailure::None; --row) {
        if ((random.Next() & 1u) == 0) {
            // Left to right: a failed cell writes nothing and the row goes on.
            for (std::int32_t column = 0; column < job.width; ++column)
                (void)Propagate(job, random, divisors, row, column);
        } else {
            for (std::int32_t column = job.width - 1; column >= 0 && failure == StepFailure::None; --column)
                failure = Propagate(job, random, divisors, row, column);
        }
    }
    job.state = random.State();
    return failure;
}

StepFailure FlameRowsPortable(FlameRowsJob& job)
{
    const PropagationDivisors divisors = DivisorsOf(job);
    if (!divisors.Usable())
        return FlameRowsPlain(job);
    const DrawRemainder driftOf(divisors.drift);
    const DrawRemainder lossOf(divisors.loss);
    constexpr LcgJump one = LcgJump::Steps(1);
    constexpr LcgJump two = LcgJump::Steps(2);
    constexpr LcgJump three = LcgJump::Steps(3);
    const LcgJump wholeRow = LcgJump::Steps(3 * static_cast<std::uint64_t>(job.width));
    const std::int32_t width = job.width;

    for (std::int32_t row = job.top; row >= 1; --row) {
        const std::uint32_t afterDirection = one.Apply(job.state);
        const bool leftToRight = ((afterDirection >> 5) & 1u) == 0;
        const std::uint8_t* source = job.pixels + std::int64_t{row - 1} * job.stride;
        // Three independent chains (drift, loss, side), each three draws apart, so the
        // multiply-adds of one cell do not wait on each other.
        std::uint32_t driftState = one.Apply(afterDirection);
        std::uint32_t lossState = two.Apply(afterDirection);
        std::uint32_t sideState = three.Apply(afterDirection);
        std::int32_t lowest = 0;
        for (std::int32_t cell = 0; cell < width; ++cell) {
            const std::int32_t column = leftToRight ? cell : width - 1 - cell;
            const auto drift = static_cast<std::int32_t>(driftOf.Of(driftState >> 5));
            const std::uint32_t loss = lossOf.Of(lossState >> 5);
            const std::int32_t target = column + (((sideState >> 5) & 1u) != 0 ? drift : -drift);
            const std::uint8_t cappedLoss = static_cast<std::uint8_t>(std::min(loss, 255u));
            job.values[cell] = LiveValue(source, column, cappedLoss);
            job.losses[cell] = cappedLoss;
            job.targets[cell] = target;
            lowest = std::min(lowest, target);
            driftState = three.Apply(driftState);
            lossState = three.Apply(lossState);
            sideState = three.Apply(sideState);
        }
        WritePreparedRow(job, row, leftToRight, lowest);
        job.state = wholeRow.Apply(afterDirection);
    }
    return StepFailure::None;
}

void WritePreparedRow(FlameRowsJob& job, std::int32_t row, bool leftToRight, std::int32_t lowestTarget)
{
    const std::int64_t base = std::int64_t{row} * job.stride;
    const auto size = static_cast<std::uint64_t>(job.size);
    std::uint8_t* pixels = job.pixels;
    if (lowestTarget >= job.width - job.stride) {
        // Nothing lands in the source row's pixels: the prepared values stand.
        for (std::int32_t cell = 0; cell < job.width; ++cell) {
            const auto target = static_cast<std::uint64_t>(base + job.targets[cell]);
            if (target < size)
                pixels[target] = job.values[cell];
        }
        return;
    }
    const std::uint8_t* source = pixels + base - job.stride;
    for (std::int32_t cell = 0; cell < job.width; ++cell) {
        const std::int32_t column = leftToRight ? cell : job.width - 1 - cell;
        const auto target = static_cast<std::uint64_t>(base + job.targets[cell]);
        if (target < size)
            pixels[target] = LiveValue(source, column, job.losses[cell]);
    }
}

} // namespace kelvane::fire
