#include "palcolor.h"

namespace kelvane::fire {

void TpalColor::SetRed(std::int32_t value)
{
    red_ = value;
    Changed();
}

void TpalColor::SetGreen(std::int32_t value)
{
    green_ = value;
    Changed();
}

void TpalColor::SetBlue(std::int32_t value)
{
    blue_ = value;
    Changed();
}

void TpalColor::Assign(const TpalColor& other)
{
    // Read all three first: `other` may be this very colour, and the owner may look at it.
    const std::int32_t red = other.red_;
    const std::int32_t green = other.green_;
    const std::int32_t blue = other.blue_;
    SetRed(red);
    SetGreen(green);
    SetBlue(blue);
}

void TpalColor::Changed()
{
    if (fire_ != nullptr)
        fire_->PaletteChanged();
}

} // namespace kelvane::fire
