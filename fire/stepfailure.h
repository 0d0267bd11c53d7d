#pragma once

namespace kelvane::fire {

/// Why a step of the heat model ended early; None when it made the whole frame.
enum class StepFailure {
    None,
    NoBuffers,           ///< the model has no buffers (no successful rebuild)
    DistributionDivisor, ///< Distribution + 1 is 0 in a right-to-left row
    DecayDivisor,        ///< Decay + 1 is 0 in a right-to-left row
    HotSpotDivisor,      ///< a hot spot fired with a burning width of 5
    ChaosDivisor,        ///< Chaos is 0 and the spread reached a cell below the cap
};

/// A short lower-case word for `failure`, as fire-frames prints it ("none" for success).
inline const char* StepFailureName(StepFailure failure)
{
    switch (failure) {
    case StepFailure::None: return "none";
    case StepFailure::NoBuffers: return "nobuffers";
    case StepFailure::DistributionDivisor: return "distribution";
    case StepFailure::DecayDivisor: return "decay";
    case StepFailure::HotSpotDivisor: return "hotspot";
    case StepFailure::ChaosDivisor: return "chaos";
    }
    return "unknown";
}

} // namespace kelvane::fire
