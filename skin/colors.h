#pragma once

#include <QColor>

#include <cstdint>

// Colours as 32-bit values with red in the lowest byte, green in the second
// and blue in the third; the highest byte is 0 in every colour made here.
using Rgb = std::uint32_t;

constexpr Rgb RGB(int red, int green, int blue) {
    return Rgb(red & 0xFF) | (Rgb(green & 0xFF) << 8) | (Rgb(blue & 0xFF) << 16);
}

// One byte of a colour: 'r' the lowest, 'g' the second, 'b' the third.
std::uint8_t ColorChannel(Rgb color, char channel);

// Subtracts the amount from each channel, clamped to 0..255: positive amounts
// darken, negative ones lighten. The highest byte of the input plays no part.
Rgb ShiftColor(Rgb color, std::int16_t amount);

inline QColor toQColor(Rgb color) {
    return QColor(ColorChannel(color, 'r'), ColorChannel(color, 'g'), ColorChannel(color, 'b'));
}

// The skin's colours.
namespace skin {
constexpr Rgb Base = RGB(128, 128, 255);
constexpr Rgb ButtonColor = RGB(234, 183, 110);
constexpr Rgb TitleHighlight = RGB(238, 238, 238);
constexpr Rgb Title = RGB(0, 0, 0);
constexpr Rgb HelpSeparatorBase = RGB(255, 0, 255);
} // namespace skin
