#pragma once

#include <cstdint>

namespace analysis {

// Character codes as a key press hands them to a field, signed 16-bit.
namespace keycode {
constexpr std::int16_t Cancelled = 0; // the field inserts nothing
constexpr std::int16_t Backspace = 8;
constexpr std::int16_t FullStop = 46;
constexpr std::int16_t Digit0 = 48;
constexpr std::int16_t Digit9 = 57;
} // namespace keycode

// The keystroke rule of the numeric fields: digits, backspace and the full
// stop pass; every other code is set to Cancelled, which drops the key.
inline void FilterNumericKey(std::int16_t &keyCode) {
    if ((keyCode < keycode::Digit0 || keyCode > keycode::Digit9) && keyCode != keycode::Backspace &&
        keyCode != keycode::FullStop)
        keyCode = keycode::Cancelled;
}

} // namespace analysis
