#include "workbook/cellvalues/dateformat.h"

namespace analysis::cellvalues {

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

bool isBuiltInDateFormat(std::uint32_t formatIndex) {
    return (formatIndex >= 14 && formatIndex <= 22) || (formatIndex >= 27 && formatIndex <= 36) ||
           (formatIndex >= 45 && formatIndex <= 47) || (formatIndex >= 50 && formatIndex <= 58);
}

} // namespace analysis::cellvalues
