#pragma once

#include <cstdint>

namespace kelvane::fire {

/// The affine map of the generator over a number of draws: state -> mul * state + add.
struct LcgJump {
    std::uint32_t mul = 1;
    std::uint32_t add = 0;

    /// The map that advances the state by `draws` draws.
    static constexpr LcgJump Steps(std::uint64_t draws);

    /// The state `draws` draws after `state`.
    constexpr std::uint32_t Apply(std::uint32_t state) const { return mul * state + add; }

    /// This map followed by `next`.
    constexpr LcgJump Then(LcgJump next) const { return {next.mul * mul, next.mul * add + next.add}; }
};

/// The fire's own generator: a 32-bit multiply-add whose draws are its top 27 bits. Its
/// sequence is fixed, so the same state and settings give the same frames everywhere.
class FireRandom {
public:
    static constexpr std::uint32_t kInitialState = 0x38549391u;
    static constexpr std::uint32_t kMultiplier = 1664525u;
    static constexpr std::uint32_t kIncrement = 1013904223u;

    /// A generator at the state a new fire control starts with.
    constexpr FireRandom() = default;
    /// A generator at `state`.
    constexpr explicit FireRandom(std::uint32_t state) : state_(state) {}

    /// Advances the state and returns its top 27 bits (0 to 134217727).
    constexpr std::uint32_t Next()
    {
        state_ = state_ * kMultiplier + kIncrement;
        return state_ >> 5;
    }

    /// The current state.
    constexpr std::uint32_t State() const { return state_; }
    /// Replaces the state.
    constexpr void SetState(std::uint32_t state) { state_ = state; }
    /// Advances the state by `draws` draws without looking at them.
    void Skip(std::uint64_t draws);

private:
    std::uint32_t state_ = kInitialState;
};

constexpr LcgJump LcgJump::Steps(std::uint64_t draws)
{
    // Square-and-multiply over the affine map, so any distance costs log2(draws) steps.
    LcgJump result;
    LcgJump power{FireRandom::kMultiplier, FireRandom::kIncrement};
    while (draws != 0) {
        if (draws & 1u)
            result = result.Then(power);
        power = power.Then(power);
        draws >>= 1;
    }
    return result;
}

} // namespace kelvane::fire
