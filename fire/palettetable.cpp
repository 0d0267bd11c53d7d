#include "palettetable.h"

namespace kelvane::fire {

namespace {

std::uint8_t Clamped(std::int32_t value)
{
    return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// One notch cooler: down by 4, but never below 0, so no base value can wrap.
std::int32_t Cooler(std::int32_t value)
{
    return value <= 3 ? 0 : value - 4;
}

} // namespace

void PaletteTable::Build(const TpalColor& color)
{
    std::int32_t red = color.Red();
    std::int32_t green = color.Green();
    std::int32_t blue = color.Blue();
    for (int index = kHottest; index >= kCoolest; --index) {
        PaletteEntry& entry = entries_[static_cast<std::size_t>(index)];
        entry.red = Clamped(red);
        entry.green = Clamped(green);
        entry.blue = Clamped(blue);
        entry.reserved = 0;
        red = Cooler(red);
        green = Cooler(green);
        blue = Cooler(blue);
    }
}

} // namespace kelvane::fire
