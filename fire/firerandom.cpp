#include "firerandom.h"

namespace kelvane::fire {

void FireRandom::Skip(std::uint64_t draws)
{
    state_ = LcgJump::Steps(draws).Apply(state_);
}

} // namespace kelvane::fire
