#include "workbook/cellvalues/isodates.h"

#include "workbook/cellvalues/valuetext.h"

#include <QDate>

#include <cmath>

namespace analysis::cellvalues {

namespace {

// Reads exactly `digits` digits (at least that many when `digits` is
// negative, its absolute value being the minimum) at *i.
std::optional<long long> digitsAt(QStringView text, qsizetype *i, int digits) {
    const qsizetype start = *i;
    const qsizetype least = digits < 0 ? -digits : digits;
    long long value = 0;
    while (*i < text.size() && text[*i].isDigit() && text[*i].unicode() < 128 &&
           (digits < 0 || *i - start < digits)) {
        if (value > 100000000000LL) return std::nullopt;
        value = value * 10 + (text[*i].unicode() - u'0');
        ++*i;
    }
    if (*i - start < least) return std::nullopt;
    return value;
}

bool skip(QStringView text, qsizetype *i, char16_t c) {
    if (*i < text.size() && text[*i] == c) {
        ++*i;
        return true;
    }
    return false;
}

// Seconds with an optional fraction: "30", "30.5".
std::optional<double> secondsAt(QStringView text, qsizetype *i) {
    const std::optional<long long> whole = digitsAt(text, i, -1);
    if (!whole) return std::nullopt;
    double value = double(*whole);
    if (skip(text, i, u'.') || skip(text, i, u',')) {
        double scale = 0.1;
        while (*i < text.size() && text[*i].isDigit() && text[*i].unicode() < 128) {
            value += scale * (text[*i].unicode() - u'0');
            scale /= 10;
            ++*i;
        }
    }
    return value;
}

// "08:30", "08:30:00", "08:30:00.25": seconds since midnight.
std::optional<double> clockAt(QStringView text, qsizetype *i) {
    const std::optional<long long> hours = digitsAt(text, i, 2);
    if (!hours || !skip(text, i, u':')) return std::nullopt;
    const std::optional<long long> minutes = digitsAt(text, i, 2);
    if (!minutes || *hours > 24 || *minutes > 59) return std::nullopt;
    double seconds = 0;
    if (skip(text, i, u':')) {
        const std::optional<double> s = secondsAt(text, i);
        if (!s || *s >= 61) return std::nullopt;
        seconds = *s;
    }
    return double(*hours * 3600 + *minutes * 60) + seconds;
}

// A zone designator, which the serial has no room for.
bool zoneAt(QStringView text, qsizetype *i) {
    if (skip(text, i, u'Z')) return true;
    if (skip(text, i, u'+') || skip(text, i, u'-')) {
        if (!digitsAt(text, i, 2)) return false;
        skip(text, i, u':');
        return digitsAt(text, i, 2).has_value();
    }
    return true;
}

} // namespace

std::optional<QString> isoDateText(QStringView text) {
    text = text.trimmed();
    qsizetype i = 0;
    std::optional<QDate> date;
    double seconds = 0;
    if (text.size() >= 3 && text[2] == u':') { // a time alone
        const std::optional<double> clock = clockAt(text, &i);
        if (!clock) return std::nullopt;
        seconds = *clock;
    } else {
        const bool negative = skip(text, &i, u'-');
        const std::optional<long long> year = digitsAt(text, &i, -4);
        if (!year || *year > 999999 || !skip(text, &i, u'-')) return std::nullopt;
        const std::optional<long long> month = digitsAt(text, &i, 2);
        if (!month || !skip(text, &i, u'-')) return std::nullopt;
        const std::optional<long long> day = digitsAt(text, &i, 2);
        if (!day) return std::nullopt;
        date = QDate(int(negative ? -*year : *year), int(*month), int(*day));
        if (!date->isValid()) return std::nullopt;
        if (skip(text, &i, u'T')) {
            const std::optional<double> clock = clockAt(text, &i);
            if (!clock) return std::nullopt;
            seconds = *clock;
        }
    }
    if (!zoneAt(text, &i) || i != text.size()) return std::nullopt;

    long long whole = std::llround(seconds);
    if (whole >= 86400 && date) {
        date = date->addDays(whole / 86400);
        whole %= 86400;
    }
    return dateTimeText(date ? std::optional(calendarDay(*date)) : std::nullopt, whole);
}

std::optional<double> isoDurationSerial(QStringView text) {
    text = text.trimmed();
    qsizetype i = 0;
    const bool negative = skip(text, &i, u'-');
    if (!skip(text, &i, u'P')) return std::nullopt;
    double seconds = 0;
    bool any = false;
    bool inTime = false;
    while (i < text.size()) {
        if (!inTime && skip(text, &i, u'T')) {
            inTime = true;
            continue;
        }
        const std::optional<double> number = secondsAt(text, &i);
        if (!number || i >= text.size()) return std::nullopt;
        const char16_t unit = text[i++].unicode();
        if (!inTime && unit == u'D')
            seconds += *number * 86400;
        else if (!inTime && unit == u'W')
            seconds += *number * 7 * 86400;
        else if (inTime && unit == u'H')
            seconds += *number * 3600;
        else if (inTime && unit == u'M')
            seconds += *number * 60;
        else if (inTime && unit == u'S')
            seconds += *number;
        else
            return std::nullopt; // years and months have no fixed length
        any = true;
    }
    if (!any || !std::isfinite(seconds)) return std::nullopt;
    return (negative ? -seconds : seconds) / 86400.0;
}

} // namespace analysis::cellvalues
