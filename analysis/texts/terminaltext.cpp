#include "analysis/texts/terminaltext.h"

#include "analysis/texts/wellformed.h"

#include <algorithm>

namespace analysis {

namespace {

bool isControl(char16_t u) {
    return (u < 0x20 && u != u'\n' && u != u'\t') || (u >= 0x7F && u <= 0x9F);
}

} // namespace

QString terminalText(const QString &text) {
    const QString whole = wellFormed(text);
    if (std::none_of(whole.begin(), whole.end(), [](QChar c) { return isControl(c.unicode()); }))
        return whole;
    QString out;
    out.reserve(whole.size() + 8);
    for (const QChar c : whole) {
        const char16_t u = c.unicode();
        if (!isControl(u))
            out += c;
        else
            out += (u <= 0x7F ? QStringLiteral("\\x") : QStringLiteral("\\u")) +
                   QString::number(u, 16).toUpper().rightJustified(u <= 0x7F ? 2 : 4, u'0');
    }
    return out;
}

} // namespace analysis
