#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace analysis::xls {

// Whether a number format shows its value as a date or a time: it holds a
// year, month, day, hour or second code outside quoted text, escapes and
// bracketed colour or locale tags. "0.0 \"分\"" is no date.
bool isDateFormat(QStringView format);

// Whether a built-in format number without a FORMAT record is a date or time
// format (Chinese locale numbering).
bool isBuiltInDateFormat(std::uint16_t formatIndex);

// A date serial as the grid shows it: "2024/3/15", "8:30:00", or both with a
// blank between. Serials outside the calendar come back as plain numbers.
QString dateText(double serial, bool dateSystem1904);

// The display text of a cell error code, such as "#N/A".
QString errorText(std::uint8_t code);

inline QString booleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace analysis::xls
