#include "analysis/texts/terminaltext.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

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

// Whether any of eight bytes is below 0x20, DEL or 0xC2 (which leads a C1
// control): the bytes that need a closer look.
bool mayHoldControl(std::uint64_t bytes) {
    constexpr std::uint64_t Ones = 0x0101010101010101, Highs = 0x8080808080808080;
    const auto hasZero = [](std::uint64_t v) { return (v - Ones) & ~v & Highs; };
    return ((bytes - 0x20 * Ones) & ~bytes & Highs) || hasZero(bytes ^ (0x7F * Ones)) ||
           hasZero(bytes ^ (0xC2 * Ones));
}

} // namespace

QByteArray terminalUtf8(const QByteArray &utf8) {
    const char *end = utf8.constEnd();
    bool plain = utf8.isValidUtf8();
    for (const char *at = utf8.constBegin(); plain && at != end; ++at) {
        // Eight bytes at a time past those that can't be controls: a district's
        // JSON is hundreds of megabytes.
        std::uint64_t bytes;
        if (end - at >= 8 && (std::memcpy(&bytes, at, 8), !mayHoldControl(bytes))) {
            at += 7;
            continue;
        }
        plain = !isControlByte(at, end);
    }
    return plain ? utf8 : terminalText(QString::fromUtf8(utf8)).toUtf8();
}

QString terminalText(const QString &text) {
    if (std::none_of(text.begin(), text.end(),
                     [](QChar c) { return isControl(c.unicode()) || c.isSurrogate(); }))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    const auto escape = [&](int value, int digits) {
        out += (digits == 2 ? QStringLiteral("\\x") : QStringLiteral("\\u")) +
               QString::number(value, 16).toUpper().rightJustified(digits, u'0');
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += text[i];
            out += text[++i];
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            // A byte of a file name that is not UTF-8: shown as the byte, so
            // that the teacher can tell which file was meant.
            escape(u - 0xDC00, 2);
        } else if (QChar::isSurrogate(u)) {
            out += QChar(QChar::ReplacementCharacter);
        } else if (isControl(u)) {
            escape(u, u <= 0x7F ? 2 : 4);
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace analysis
