#include "firegeometry.h"

#include <bit>
#include <cmath>

namespace kelvane::fire {

namespace {

// A value mant * 2^exp with a 64-bit significand, the precision of the x87 extended format.
struct Extended {
    std::uint64_t mant = 0;
    int exp = 0;
    bool negative = false;
};

// 0.01 rounded to 64 significant bits: floor(2^70 / 100) (the remainder, 24, rounds down).
constexpr Extended kOneHundredth{0xA3D70A3D70A3D70Aull, -70, false};

// x * n rounded to 64 significant bits, to nearest with ties to even.
Extended Multiply(Extended x, std::int32_t n)
{
    const std::uint64_t magnitude = n < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(n))
                                          : static_cast<std::uint64_t>(n);
    const std::uint64_t low = (x.mant & 0xFFFFFFFFu) * magnitude;
    const std::uint64_t high = (x.mant >> 32) * magnitude;
    std::uint64_t lo = low + (high << 32);
    std::uint64_t hi = (high >> 32) + (lo < low ? 1 : 0);

    Extended result{0, x.exp, x.negative != (n < 0)};
    if (hi == 0) {
        result.mant = lo;
        return result;
    }
    const int drop = std::bit_width(hi); // bits beyond the 64 kept, 1 to 32
    const std::uint64_t dropped = lo & ((std::uint64_t{1} << drop) - 1);
    const std::uint64_t half = std::uint64_t{1} << (drop - 1);
    result.mant = (hi << (64 - drop)) | (lo >> drop);
    result.exp += drop;
    if (dropped > half || (dropped == half && (result.mant & 1u))) {
        ++result.mant;
        if (result.mant == 0) { // carried out of the top bit
            result.mant = std::uint64_t{1} << 63;
            ++result.exp;
        }
    }
    return result;
}

std::int64_t Truncate(Extended x)
{
    constexpr auto kLargest = static_cast<std::uint64_t>(INT64_MAX);
    std::uint64_t magnitude = 0;
    if (x.exp <= -64)
        magnitude = 0;
    else if (x.exp < 0)
        magnitude = x.mant >> -x.exp;
    else // only reached for sizes far beyond any buffer; saturate rather than wrap
        magnitude = x.exp >= 63 || (x.mant >> (63 - x.exp)) != 0 ? kLargest : x.mant << x.exp;
    const auto value = static_cast<std::int64_t>(magnitude > kLargest ? kLargest : magnitude);
    return x.negative ? -value : value;
}

// p / 2^shift rounded to nearest, ties to even; p below 2^56.
std::uint64_t RoundShift(std::uint64_t p, int shift)
{
    if (shift <= 0) // ratios of 1 or more: exact while it fits, else saturated
        return shift > -8 ? p << -shift : static_cast<std::uint64_t>(INT64_MAX);
    if (shift >= 63)
        return 0;
    const std::uint64_t quotient = p >> shift;
    const std::uint64_t rest = p & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    return rest > half || (rest == half && (quotient & 1u)) ? quotient + 1 : quotient;
}

} // namespace

std::int64_t RowStride(std::int32_t width)
{
    return (std::int64_t{width} * 8 + 31) / 32 * 4;
}

std::int64_t BurnHeight(std::int32_t height, std::int32_t maxBurn)
{
    return Truncate(Multiply(Multiply(kOneHundredth, maxBurn), height));
}

std::int64_t BurningWidth(std::int32_t width, float edgeRatio)
{
    if (!std::isfinite(edgeRatio) || edgeRatio == 0.0f)
        return 0;
    int exponent = 0;
    const float fraction = std::frexp(std::fabs(edgeRatio), &exponent); // in [0.5, 1)
    const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 24)); // exact, 24 bits
    const std::uint64_t magnitude = width < 0 ? 0 - static_cast<std::uint64_t>(std::int64_t{width})
                                              : static_cast<std::uint64_t>(width);
    // width * ratio = width * significand * 2^(exponent - 24); the product has at most 56 bits.
    const auto rounded = static_cast<std::int64_t>(RoundShift(magnitude * significand, 24 - exponent));
    return (width < 0) != (edgeRatio < 0) ? -rounded : rounded;
}

DrawRemainder::DrawRemainder(std::int32_t divisor)
    : divisor_(divisor < 0 ? 0u - static_cast<std::uint32_t>(divisor) : static_cast<std::uint32_t>(divisor))
{
    // magic = ceil(2^shift / d) with 2^shift >= d * 2^27 makes the quotient exact for every
    // draw below 2^27, and the product stays below 2^56.
    const int bits = std::bit_width(divisor_ - 1); // ceil(log2 d)
    shift_ = static_cast<std::uint32_t>(27 + bits);
    magic_ = static_cast<std::uint32_t>(((std::uint64_t{1} << shift_) + divisor_ - 1) / divisor_);
}

} // namespace kelvane::fire
