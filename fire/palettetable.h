#pragma once

#include "palcolor.h"

#include <array>
#include <cstdint>

namespace kelvane::fire {

/// One colour of the table, laid out as a device-independent bitmap's colour table entry.
struct PaletteEntry {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;

    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

/// The fire's 256 colours: heat values 16 (coolest) to 239 (hottest) computed from the base
/// colour, every other entry black for the table's whole life.
class PaletteTable {
public:
    static constexpr int kSize = 256;
    static constexpr int kCoolest = 16;
    static constexpr int kHottest = 239;

    /// Recomputes entries 16 to 239 from `color`; the others are never touched.
    void Build(const TpalColor& color);

    /// Entry `index` (0 to 255).
    const PaletteEntry& operator[](int index) const { return entries_[static_cast<std::size_t>(index)]; }
    /// All 256 entries, in index order.
    const std::array<PaletteEntry, kSize>& Entries() const { return entries_; }

private:
    std::array<PaletteEntry, kSize> entries_{};
};

} // namespace kelvane::fire
