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

} // namespace

QString doubleText(double value) {
    return generalText(value, 15);
}

QString singleText(float value) {
    return generalText(static_cast<double>(value), 7);
}

} // namespace analysis
