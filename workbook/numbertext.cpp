#include "workbook/numbertext.h"

#include <charconv>
#include <cmath>

namespace analysis {

namespace {

// The general format (printf's %G, here without the process locale) chooses the scientific form for
// exponents below -4 or from the precision up, drops trailing zeros and writes at least two
// exponent digits: exactly the general form wanted. Only negative zero needs care.
QString generalText(double value, int significantDigits) {
    if (value == 0) return QStringLiteral("0");
    if (std::isnan(value)) return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    char buffer[64];
    // Within the fixed range, the shortest form that reads back is the general
    // form whenever it has no more digits than the precision: most cells
    // ("87", "92.5") take this way, the general form's rounding costs ten
    // times as much.
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e-4 && magnitude < 1e15) {
        const auto shortest =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
        int digits = 0;
        bool leading = true;
        for (const char *at = buffer; at != shortest.ptr; ++at) {
            if (*at < '0' || *at > '9' || (leading && *at == '0')) continue;
            leading = false;
            ++digits;
        }
        if (digits <= significantDigits) return QString::fromLatin1(buffer, shortest.ptr - buffer);
    }
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, significantDigits);
    return QString::fromLatin1(buffer, result.ptr - buffer).toUpper();
}

// A plain number as most cells hold it ("87", "92.5", "1E-3"), read without
// Qt's general parser, which cost a twentieth of reading an exam; anything
// else is left to it.
std::optional<double> plainNumber(QStringView text) {
    char ascii[32];
    if (text.startsWith(u'+') && text.size() > 1 && text[1] != u'-' && text[1] != u'+')
        text = text.sliced(1); // Qt takes a leading plus, std::from_chars does not
    if (text.isEmpty() || text.size() > qsizetype(sizeof ascii)) return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!((c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'+' || c == u'e' ||
              c == u'E'))
            return std::nullopt;
        ascii[i] = char(c);
    }
    double value = 0;
    const std::from_chars_result read = std::from_chars(ascii, ascii + text.size(), value);
    if (read.ec != std::errc() || read.ptr != ascii + text.size()) return std::nullopt;
    return value;
}

} // namespace

QString doubleText(double value) {
    return generalText(value, 15);
}

QString singleText(float value) {
    return generalText(static_cast<double>(value), 7);
}

std::optional<double> readNumberText(QStringView text) {
    text = text.trimmed();
    if (const std::optional<double> plain = plainNumber(text)) return plain;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace analysis
