#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace kelvane::fire {

/// SHA-256 (FIPS 180-4), enough to fingerprint frames; fed in pieces of any size.
class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    /// Adds `bytes` to the message.
    void Update(std::span<const std::uint8_t> bytes);
    /// Pads the message and returns its digest; the object then starts a new message.
    Digest Finish();

    /// The digest of `bytes` as 64 lower-case hexadecimal digits.
    static std::string HexOf(std::span<const std::uint8_t> bytes);
    /// `digest` as 64 lower-case hexadecimal digits.
    static std::string Hex(const Digest& digest);

private:
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> hash_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::array<std::uint8_t, 64> block_{};
    std::size_t blockUsed_ = 0;
    std::uint64_t length_ = 0; // bytes so far
};

} // namespace kelvane::fire
