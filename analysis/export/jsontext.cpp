#include "analysis/export/jsontext.h"

#include "analysis/texts/wellformed.h"

#include <QStringEncoder>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace analysis {

namespace {

bool needsEscape(unsigned char c, unsigned char next) {
    return c == '"' || c == '\\' || c < 0x20 || isRawControl(c, next);
}

} // namespace

void appendJsonString(JsonText &out, const QString &text) {
    std::string &bytes = out.m_text;
    bytes.push_back('"');
    // Encoded in place (a lone surrogate as U+FFFD); most texts (numbers,
    // names) need no escape.
    const std::size_t start = bytes.size();
    bytes.resize(start + std::size_t(text.size()) * 3);
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    char *end = encoder.appendToBuffer(bytes.data() + start, text);
    bytes.resize(std::size_t(end - bytes.data()));
    std::size_t i = start;
    const auto nextOf = [&](std::size_t at) {
        return at + 1 < bytes.size() ? static_cast<unsigned char>(bytes[at + 1]) : 0xFF;
    };
    while (i < bytes.size() && !needsEscape(static_cast<unsigned char>(bytes[i]), nextOf(i)))
        ++i;
    if (i < bytes.size()) {
        const std::string tail = bytes.substr(i);
        bytes.resize(i);
        for (std::size_t k = 0; k < tail.size(); ++k) {
            const unsigned char c = static_cast<unsigned char>(tail[k]);
            const unsigned char next =
                k + 1 < tail.size() ? static_cast<unsigned char>(tail[k + 1]) : 0xFF;
            if (!needsEscape(c, next)) {
                bytes.push_back(char(c));
            } else if (c == '"' || c == '\\') {
                bytes.push_back('\\');
                bytes.push_back(char(c));
            } else {
                static const char Named[] = "\b\f\n\r\t";
                const char *named = c < 0x20 && c != 0 ? std::strchr(Named, c) : nullptr;
                const unsigned u = c == 0xC2 ? tail[++k] & 0xFF : c;
                char escape[8];
                if (named)
                    bytes.append({'\\', "bfnrt"[named - Named]});
                else
                    bytes.append(escape,
                                 std::size_t(std::snprintf(escape, sizeof escape, "\\u%04x", u)));
            }
        }
    }
    bytes.push_back('"');
}

void appendJsonString(QByteArray &out, const QString &text) {
    JsonText piece;
    appendJsonString(piece, text);
    out += piece.bytes();
}

void appendJsonNumber(JsonText &out, const std::optional<double> &value) {
    if (!value || !std::isfinite(*value)) {
        out += "null";
        return;
    }
    // The shortest text that reads back as the same double, written in place:
    // a district's list holds millions of numbers.
    char text[32];
    const double whole = std::trunc(*value);
    constexpr double Exact = 9007199254740992.0; // 2^53: every whole number below is exact
    const std::to_chars_result written =
        whole == *value && std::fabs(whole) < Exact
            ? std::to_chars(text, text + sizeof text, static_cast<long long>(whole))
            : std::to_chars(text, text + sizeof text, *value);
    out += QByteArrayView(text, written.ptr - text);
}

} // namespace analysis
