#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>

namespace analysis {

// A field or a score is read as a signed 16-bit integer: values outside this
// range are refused with a message.
constexpr int FieldMinimum = -32768;
constexpr int FieldMaximum = 32767;

// How a number typed in a field or held in a grid cell is read: the longest
// leading part of the text that forms a number, with spaces, tabs and line
// feeds skipped wherever they stand. Text without such a part reads as 0.
// "&H" and "&O" introduce a hexadecimal or an octal integer.
double readFieldNumber(QStringView text);

// Rounds to the nearest integer, a half going to the even neighbour, and
// accepts the result only inside the 16-bit range -32768..32767.
std::optional<std::int16_t> toInt16(double value);

// readFieldNumber followed by toInt16.
std::optional<std::int16_t> readFieldInteger(QStringView text);

} // namespace analysis
