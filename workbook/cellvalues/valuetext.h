#pragma once

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>

namespace analysis::cellvalues {

// A day of the calendar as the grid writes it. Not a QDate: the 1900 date
// system counts a 29 February 1900 that never was.
struct CalendarDay {
    int year = 0;
    int month = 0;
    int day = 0;
};
CalendarDay calendarDay(QDate date);

// A date and a time of day as the grid shows them: "2024/3/15 8:30:00"; a
// date at midnight is "2024/3/15" and a time without a date "8:30:00".
QString dateTimeText(const std::optional<CalendarDay> &day, long long secondsOfDay);

// A date serial as the grid shows it (see dateTimeText). Serials outside the
// calendar come back as plain numbers.
QString dateText(double serial, bool dateSystem1904);

// The display text of a cell error code, such as "#N/A".
QString errorText(std::uint8_t code);

inline QString booleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace analysis::cellvalues
