#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kelvane::conversion {

/// Bounds-checked little-endian reader over bytes read from an untrusted file.
/// Every read checks the bytes present with overflow-safe arithmetic; the first read that
/// does not fit fails the cursor, which then stays failed and yields zeros and empty strings.
class ByteCursor {
  public:
    /// A cursor over `bytes`, positioned at `offset` (failed at once when it lies beyond them).
    explicit ByteCursor(std::span<const std::uint8_t> bytes, std::size_t offset = 0);

    /// True while every read so far fitted.
    bool ok() const { return ok_; }
    /// Offset of the next read.
    std::size_t pos() const { return pos_; }
    /// Number of bytes the cursor reads from.
    std::size_t size() const { return bytes_.size(); }

    /// Moves to `offset`; fails when it lies beyond the bytes.
    ByteCursor& seek(std::size_t offset);
    /// Moves `count` bytes on; fails when they are not all present.
    ByteCursor& skip(std::size_t count);

    std::uint8_t u8();
    std::uint16_t u16();
    std::int16_t s16();
    std::uint32_t u32();

    /// A NUL-terminated string; the cursor moves past the NUL. Fails when no NUL follows.
    std::string cString();
    /// A fixed-width slot of `width` bytes, trimmed at its first NUL.
    std::string fixedString(std::size_t width);

  private:
    bool take(std::size_t count);

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

/// True when `count` bytes starting at `offset` lie inside `size` bytes, without overflow.
constexpr bool fitsIn(std::size_t size, std::size_t offset, std::size_t count) {
    return offset <= size && count <= size - offset;
}

} // namespace kelvane::conversion
