#include "paradoxbytes.h"

#include <algorithm>

namespace kelvane::conversion {

ByteCursor::ByteCursor(std::span<const std::uint8_t> bytes, std::size_t offset) : bytes_(bytes) {
    seek(offset);
}

ByteCursor& ByteCursor::seek(std::size_t offset) {
    if (!ok_ || offset > bytes_.size())
        ok_ = false;
    else
        pos_ = offset;
    return *this;
}

ByteCursor& ByteCursor::skip(std::size_t count) {
    take(count);
    return *this;
}

bool ByteCursor::take(std::size_t count) {
    if (!ok_ || !fitsIn(bytes_.size(), pos_, count)) {
        ok_ = false;
        return false;
    }
    pos_ += count;
    return true;
}

std::uint8_t ByteCursor::u8() {
    return take(1) ? bytes_[pos_ - 1] : 0;
}

std::uint16_t ByteCursor::u16() {
    if (!take(2))
        return 0;
    return static_cast<std::uint16_t>(bytes_[pos_ - 2] | (bytes_[pos_ - 1] << 8));
}

std::int16_t ByteCursor::s16() {
    return static_cast<std::int16_t>(u16());
}

std::uint32_t ByteCursor::u32() {
    if (!take(4))
        return 0;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(bytes_[pos_ - 4 + i]) << (8 * i);
    return value;
}

std::string ByteCursor::cString() {
    if (!ok_)
        return {};
    const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(pos_);
    const auto nul = std::find(begin, bytes_.end(), std::uint8_t{0});
    if (nul == bytes_.end()) {
        ok_ = false;
        return {};
    }
    std::string text(begin, nul);
    pos_ += text.size() + 1;
    return text;
}

std::string ByteCursor::fixedString(std::size_t width) {
    const std::size_t start = pos_;
    if (!take(width))
        return {};
    const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(start);
    const auto end = begin + static_cast<std::ptrdiff_t>(width);
    return std::string(begin, std::find(begin, end, std::uint8_t{0}));
}

} // namespace kelvane::conversion
