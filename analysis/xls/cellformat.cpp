#include "analysis/xls/cellformat.h"

#include "analysis/numbertext.h"

#include <QDate>

#include <cmath>

namespace analysis::xls {

bool isDateFormat(QStringView format) {
    for (qsizetype i = 0; i < format.size(); ++i) {
        const char16_t c = format[i].toLower().unicode();
        switch (c) {
        case u'"': { // quoted literal text
            const qsizetype close = format.indexOf(u'"', i + 1);
            if (close < 0) return false;
            i = close;
            break;
        }
        case u'\\': // escaped character
        case u'_':  // padding as wide as the next character
        case u'*':  // fill with the next character
            ++i;
            break;
        case u'[': { // colour, condition, locale; [h], [mm], [ss] are elapsed time
            const qsizetype close = format.indexOf(u']', i + 1);
            if (close < 0) return false;
            const QStringView tag = format.sliced(i + 1, close - i - 1);
            if (!tag.isEmpty() && (tag[0].toLower() == u'h' || tag[0].toLower() == u'm' ||
                                   tag[0].toLower() == u's')) {
                bool elapsed = true;
                for (QChar t : tag)
                    elapsed = elapsed && t.toLower() == tag[0].toLower();
                if (elapsed) return true;
            }
            i = close;
            break;
        }
        case u'g': // "General" is the plain number format
            if (format.sliced(i).startsWith(u"general", Qt::CaseInsensitive)) i += 6;
            break;
        case u'y':
        case u'd':
        case u'h':
        case u's':
        case u'm':
            return true;
        case u'e': // a year code, unless it starts a scientific exponent
            if (i + 1 >= format.size() || (format[i + 1] != u'+' && format[i + 1] != u'-'))
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}

bool isBuiltInDateFormat(std::uint16_t formatIndex) {
    return (formatIndex >= 14 && formatIndex <= 22) || (formatIndex >= 27 && formatIndex <= 36) ||
           (formatIndex >= 45 && formatIndex <= 47) || (formatIndex >= 50 && formatIndex <= 58);
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
    QString date;
    if (dateSystem1904) {
        // The 1904 system counts real days, backwards from 1904-01-01 too: it
        // has no 29 February 1900, and every serial in it is a date.
        const QDate d = QDate(1904, 1, 1).addDays(day - 1462);
        date = QStringLiteral("%1/%2/%3").arg(d.year()).arg(d.month()).arg(d.day());
    } else if (day == 60) {
        date = QStringLiteral("1900/2/29"); // the day the 1900 date system counts but never was
    } else if (day > 0) {
        // Serials before the missing day are one day off the real calendar.
        const QDate d = QDate(1899, 12, day < 60 ? 31 : 30).addDays(day);
        date = QStringLiteral("%1/%2/%3").arg(d.year()).arg(d.month()).arg(d.day());
    }
    if (seconds == 0 && !date.isEmpty()) return date;
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(seconds / 3600)
                             .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
                             .arg(seconds % 60, 2, 10, QChar(u'0'));
    return date.isEmpty() ? time : date + u' ' + time;
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

} // namespace analysis::xls
