#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kelvane::conversion {

/// What is wrong with one file, in plain words, before the caller names the table and file.
class FormatProblem : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// A companion file that is sound in itself but does not fit its table.
class MismatchProblem : public FormatProblem {
  public:
    using FormatProblem::FormatProblem;
};

/// `value` as "0x" and two upper-case hex digits (more when it needs them).
std::string hexValue(std::uint32_t value, int minDigits = 2);

/// `text` between double quotes, as messages quote file and field names.
inline std::string quoted(const std::string& text) {
    return '"' + text + '"';
}

} // namespace kelvane::conversion
