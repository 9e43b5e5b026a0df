#include "analysis/texts/terminaltext.h"

#include "analysis/texts/wellformed.h"

#include <algorithm>

namespace analysis {

namespace {

bool isControl(char16_t u) {
    return (u < 0x20 && u != u'\n' && u != u'\t') || (u >= 0x7F && u <= 0x9F);
}

// Whether a byte is, or leads, a control character that terminalText shows
// as an escape: DEL, a C0 control other than line break and tab, or a C1
// control (U+0080 to U+009F, C2 80 to C2 9F in UTF-8).
bool isControlByte(const char *at, const char *end) {
    const auto c = uchar(*at);
    if (c == 0xC2) return at + 1 != end && uchar(at[1]) <= 0x9F;
    return isControl(c) && c < 0x80;
}

} // namespace

QByteArray terminalUtf8(const QByteArray &utf8) {
    const char *end = utf8.constEnd();
    bool plain = utf8.isValidUtf8();
    for (const char *at = utf8.constBegin(); plain && at != end; ++at)
        plain = !isControlByte(at, end);
    return plain ? utf8 : terminalText(QString::fromUtf8(utf8)).toUtf8();
}

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
