#pragma once

#include <cstdint>

// Colour values as the forms use them: 0x00BBGGRR for a plain colour (255 is red, 0 black), or
// a system colour with the high bit set and the system colour index in the low byte.
namespace tamsel {

using Colour = std::uint32_t;

constexpr Colour kColourBlack = 0x000000;
constexpr Colour kColourRed = 0x0000FF;
constexpr Colour kColourSystemFlag = 0x80000000;
constexpr Colour kColourWindowBackground = kColourSystemFlag | 5;
constexpr Colour kColourWindowText = kColourSystemFlag | 8;
constexpr Colour kColourButtonFace = kColourSystemFlag | 15;
constexpr Colour kColourButtonShadow = kColourSystemFlag | 16;
constexpr Colour kColourButtonText = kColourSystemFlag | 18;

constexpr Colour RgbColour(int red, int green, int blue) {
    return static_cast<Colour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr bool IsSystemColour(Colour colour) {
    return (colour & kColourSystemFlag) != 0;
}
constexpr int SystemColourIndex(Colour colour) {
    return static_cast<int>(colour & 0xFF);
}
constexpr int RedOf(Colour colour) {
    return static_cast<int>(colour & 0xFF);
}
constexpr int GreenOf(Colour colour) {
    return static_cast<int>((colour >> 8) & 0xFF);
}
constexpr int BlueOf(Colour colour) {
    return static_cast<int>((colour >> 16) & 0xFF);
}

}  // namespace tamsel
