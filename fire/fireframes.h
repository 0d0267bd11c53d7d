#pragma once

#include "heatmodel.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

namespace kelvane::fire {

/// What fire-frames was asked to do.
struct FireFramesOptions {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int64_t steps = -1;
    HeatModel model; ///< settings (control defaults unless given), generator state, kernel
    std::optional<std::string> dumpPath;
    bool help = false;
};

/// Reads the command-line arguments (without the program name) into `options`. Returns the
/// error text, or an empty string when they are usable. Values the fire control's setters
/// would ignore are refused.
std::string ParseFireFramesOptions(std::span<const std::string> args, FireFramesOptions& options);

/// The line printed after step `step`: "step=N sim=<sha256> heat=<sha256> state=0x%08x",
/// with " fail=<what>" appended when the step failed.
std::string FireFramesLine(std::int64_t step, const HeatModel& model, StepFailure failure);

/// The simulation buffer as a binary PGM image, top row first.
std::string FireFramesPgm(const HeatModel& model);

/// The whole tool: 0 when every step ran, 1 when a step failed, 2 on a usage or file error.
int RunFireFrames(std::span<const std::string> args, std::ostream& out, std::ostream& err);

/// The usage text.
const char* FireFramesUsage();

} // namespace kelvane::fire
