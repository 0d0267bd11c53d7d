#pragma once

#include <cstdint>

namespace kelvane::fire {

/// What a palette colour tells its fire when a channel is set: the fire control implements it
/// and decides (for instance while it is still being constructed) whether to rebuild.
class PaletteOwner {
public:
    virtual ~PaletteOwner() = default;
    /// A channel of the owned colour was set (also to the value it already had).
    virtual void PaletteChanged() = 0;
};

/// The fire's base colour. Channels take any integer; values above 255 keep a channel
/// saturated over more of the hot end of the palette.
class TpalColor {
public:
    /// A free-standing colour: 0, 0, 0 and no owner.
    TpalColor() = default;
    /// A colour that tells `fire` about every channel set.
    explicit TpalColor(PaletteOwner* fire) : fire_(fire) {}

    TpalColor(const TpalColor&) = delete;
    TpalColor& operator=(const TpalColor&) = delete;

    std::int32_t Red() const { return red_; }
    std::int32_t Green() const { return green_; }
    std::int32_t Blue() const { return blue_; }

    /// Stores the red base value, then tells the owner.
    void SetRed(std::int32_t value);
    /// Stores the green base value, then tells the owner.
    void SetGreen(std::int32_t value);
    /// Stores the blue base value, then tells the owner.
    void SetBlue(std::int32_t value);

    /// Copies red, then green, then blue of `other` through the setters (so the owner hears
    /// three times); the owner link stays.
    void Assign(const TpalColor& other);

    /// The fire control that owns this colour, or null.
    PaletteOwner* fire() const { return fire_; }

private:
    void Changed();

    std::int32_t red_ = 0;
    std::int32_t green_ = 0;
    std::int32_t blue_ = 0;
    PaletteOwner* fire_ = nullptr;
};

} // namespace kelvane::fire
