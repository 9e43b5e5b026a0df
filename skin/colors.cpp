#include "skin/colors.h"

#include <algorithm>

std::uint8_t ColorChannel(Rgb color, char channel) {
    switch (channel) {
    case 'r':
        return std::uint8_t(color & 0xFF);
    case 'g':
        return std::uint8_t((color >> 8) & 0xFF);
    case 'b':
        return std::uint8_t((color >> 16) & 0xFF);
    default:
        return 0;
    }
}

Rgb ShiftColor(Rgb color, std::int16_t amount) {
    const auto shifted = [amount](std::uint8_t channel) {
        return std::clamp(int(channel) - int(amount), 0, 255);
    };
    return RGB(shifted(ColorChannel(color, 'r')), shifted(ColorChannel(color, 'g')),
               shifted(ColorChannel(color, 'b')));
}
