#pragma once

#include "paradoxheader.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kelvane::conversion {

/// Checks the validity-check file (.VAL) of `table` and returns the field numbers it marks
/// required. A 3.x file (format 0x01) marks nothing. Throws FormatProblem when the file is
/// damaged and MismatchProblem when it describes other fields than the table's.
std::vector<std::uint16_t> readRequiredFieldNumbers(std::span<const std::uint8_t> bytes,
                                                    const ParadoxHeader& table);

} // namespace kelvane::conversion
