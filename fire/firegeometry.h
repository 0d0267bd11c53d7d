#pragma once

#include <cstdint>

namespace kelvane::fire {

/// Bytes per buffer row: Width rounded up to a multiple of 4 (8-bit device-independent rows).
std::int64_t RowStride(std::int32_t width);

/// Rows above the bottom row that a step recomputes: Trunc(height * (maxBurn * 0.01)),
/// rounded as 80-bit extended arithmetic rounds it, whatever the compiler's long double is.
std::int64_t BurnHeight(std::int32_t height, std::int32_t maxBurn);

/// Width of the burning zone less one: Round(width * edgeRatio), the product taken exactly and
/// rounded half to even.
std::int64_t BurningWidth(std::int32_t width, float edgeRatio);

/// Remainder of a draw (below 2^27) by a fixed non-zero divisor, with a multiply and a shift in
/// place of a division. The remainder has the sign of the draw, so only |divisor| matters.
class DrawRemainder {
public:
    /// Prepares for `divisor`, which must not be 0.
    explicit DrawRemainder(std::int32_t divisor);

    /// `draw` mod the divisor, for draw < 2^27.
    std::uint32_t Of(std::uint32_t draw) const
    {
        const auto quotient = static_cast<std::uint32_t>((std::uint64_t{draw} * magic_) >> shift_);
        return draw - quotient * divisor_;
    }

    std::uint32_t Divisor() const { return divisor_; }
    std::uint32_t Magic() const { return magic_; }
    std::uint32_t Shift() const { return shift_; }

private:
    std::uint32_t divisor_;
    std::uint32_t magic_;
    std::uint32_t shift_;
};

} // namespace kelvane::fire
