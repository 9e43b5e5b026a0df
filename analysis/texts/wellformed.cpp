#include "analysis/texts/wellformed.h"

namespace analysis {

namespace {

// The value of the \uXXXX escape at `at` (the backslash), or -1.
int escapeValue(const QByteArray &json, qsizetype at) {
    if (at + 6 > json.size() || json[at + 1] != 'u') return -1;
    bool ok = false;
    const int value = json.mid(at + 2, 4).toInt(&ok, 16);
    return ok ? value : -1;
}

bool isHigh(int u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLow(int u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

} // namespace

QByteArray wellFormedJson(const QByteArray &json) {
    QByteArray out;
    out.reserve(json.size());
    for (qsizetype i = 0; i < json.size(); ++i) {
        const uchar c = uchar(json[i]);
        if (isRawControl(c, i + 1 < json.size() ? uchar(json[i + 1]) : 0)) {
            const int u = c == 0x7F ? 0x7F : uchar(json[++i]);
            out += "\\u" + QByteArray::number(u, 16).rightJustified(4, '0');
            continue;
        }
        if (c != '\\') {
            out += char(c);
            continue;
        }
        // An escape is copied whole, so that "\\" is never read as the start of one.
        const int value = escapeValue(json, i);
        if (value < 0) {
            out += json.mid(i, 2);
            ++i;
            continue;
        }
        const bool paired = isHigh(value) && isLow(escapeValue(json, i + 6));
        if (paired) {
            out += json.mid(i, 12);
            i += 11;
            continue;
        }
        out += isHigh(value) || isLow(value) ? QByteArray("\\ufffd") : json.mid(i, 6);
        i += 5;
    }
    return out;
}

} // namespace analysis
