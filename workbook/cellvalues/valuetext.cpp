#include "workbook/cellvalues/valuetext.h"

#include "workbook/numbertext.h"

#include <QDate>

#include <cmath>

namespace analysis::cellvalues {

CalendarDay calendarDay(QDate date) {
    return {date.year(), date.month(), date.day()};
}

namespace {

// The day a whole serial stands for, if any: serial 0 of the 1900 system is
// a time without a date.
std::optional<CalendarDay> serialDay(long long day, bool dateSystem1904) {
    // The 1904 system counts real days, backwards from 1904-01-01 too: it
    // has no 29 February 1900, and every serial in it is a date.
    if (dateSystem1904) return calendarDay(QDate(1904, 1, 1).addDays(day - 1462));
    if (day == 60) return CalendarDay{1900, 2, 29}; // the day the 1900 system counts but never was
    // Serials before the missing day are one day off the real calendar.
    if (day > 0) return calendarDay(QDate(1899, 12, day < 60 ? 31 : 30).addDays(day));
    return std::nullopt;
}

} // namespace

QString dateTimeText(const std::optional<CalendarDay> &day, long long secondsOfDay) {
    const QString date =
        day ? QStringLiteral("%1/%2/%3").arg(day->year).arg(day->month).arg(day->day) : QString();
    if (secondsOfDay == 0 && day) return date;
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(secondsOfDay / 3600)
                             .arg(secondsOfDay / 60 % 60, 2, 10, QChar(u'0'))
                             .arg(secondsOfDay % 60, 2, 10, QChar(u'0'));
    return day ? date + u' ' + time : time;
}

QString dateText(double serial, bool dateSystem1904) {
    const double days = dateSystem1904 ? serial + 1462 : serial;
    // 9999-12-31 is the last day the spreadsheet knows.
    if (!(days >= 0 && days < 2958466)) return doubleText(serial);
    long long day = static_cast<long long>(std::floor(days));
    long long seconds = std::llround((days - double(day)) * 86400.0);
    if (seconds >= 86400) {
        ++day;
        seconds -= 86400;
    }
    return dateTimeText(serialDay(day, dateSystem1904), seconds);
}

QString errorText(std::uint8_t code) {
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    case 0x2B:
        return QStringLiteral("#GETTING_DATA");
    default:
        return QStringLiteral("#N/A");
    }
}

} // namespace analysis::cellvalues
