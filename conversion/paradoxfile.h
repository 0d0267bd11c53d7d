#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvane::conversion {

/// A file that cannot be opened or read; the message is the reason in plain words.
class FileProblem : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// Reads the header area of a Paradox file at `path`: at least its first 0x58 bytes, then
/// on up to the header size those bytes give, never the blocks beyond (the whole file when
/// shorter). Throws FileProblem when the file cannot be opened or read.
std::vector<std::uint8_t> readHeaderArea(const std::string& path);

/// Reads the whole file at `path`, which must hold at most `limit` bytes.
/// Throws FileProblem when it cannot be opened or read, or is larger.
std::vector<std::uint8_t> readSmallFile(const std::string& path, std::size_t limit);

} // namespace kelvane::conversion
