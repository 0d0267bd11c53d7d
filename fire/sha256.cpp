#include "sha256.h"

#include <algorithm>
#include <bit>

namespace kelvane::fire {

namespace {

constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::array<std::uint32_t, 8> kInitial = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                   0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

std::uint32_t BigEndian32(const std::uint8_t* bytes)
{
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 |
           std::uint32_t{bytes[3]};
}

} // namespace

void Sha256::Update(std::span<const std::uint8_t> bytes)
{
    length_ += bytes.size();
    while (!bytes.empty()) {
        const std::size_t take = std::min(bytes.size(), block_.size() - blockUsed_);
        std::copy_n(bytes.begin(), take, block_.begin() + static_cast<std::ptrdiff_t>(blockUsed_));
        blockUsed_ += take;
        bytes = bytes.subspan(take);
        if (blockUsed_ == block_.size()) {
            Compress(block_.data());
            blockUsed_ = 0;
        }
    }
}

Sha256::Digest Sha256::Finish()
{
    const std::uint64_t bits = length_ * 8;
    const std::uint8_t marker = 0x80;
    Update({&marker, 1});
    const std::uint8_t zero = 0;
    while (blockUsed_ != 56)
        Update({&zero, 1});
    std::array<std::uint8_t, 8> tail{};
    for (int i = 0; i < 8; ++i)
        tail[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    Update(tail);

    Digest digest{};
    for (std::size_t i = 0; i < hash_.size(); ++i)
        for (std::size_t b = 0; b < 4; ++b)
            digest[4 * i + b] = static_cast<std::uint8_t>(hash_[i] >> (24 - 8 * b));
    hash_ = kInitial;
    blockUsed_ = 0;
    length_ = 0;
    return digest;
}

void Sha256::Compress(const std::uint8_t* block)
{
    std::array<std::uint32_t, 64> w{};
    for (std::size_t i = 0; i < 16; ++i)
        w[i] = BigEndian32(block + 4 * i);
    for (std::size_t i = 16; i < 64; ++i) {
        const std::uint32_t s0 = std::rotr(w[i - 15], 7) ^ std::rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = std::rotr(w[i - 2], 17) ^ std::rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = hash_;
    for (std::size_t i = 0; i < 64; ++i) {
        const std::uint32_t s1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
        const std::uint32_t choose = (e & f) ^ (~e & g);
        const std::uint32_t t1 = h + s1 + choose + kRound[i] + w[i];
        const std::uint32_t s0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
        const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const std::uint32_t t2 = s0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const std::array<std::uint32_t, 8> add = {a, b, c, d, e, f, g, h};
    for (std::size_t i = 0; i < 8; ++i)
        hash_[i] += add[i];
}

std::string Sha256::Hex(const Digest& digest)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(64);
    for (const std::uint8_t byte : digest) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 15]);
    }
    return text;
}

std::string Sha256::HexOf(std::span<const std::uint8_t> bytes)
{
    Sha256 sha;
    sha.Update(bytes);
    return Hex(sha.Finish());
}

} // namespace kelvane::fire
