#include "analysis/classanalysis/displaynumber.h"

#include <charconv>
#include <cmath>
#include <string>

namespace analysis {

QString displayNumber(double value) {
    if (!std::isfinite(value)) return QStringLiteral("无");
    // The shortest fixed form that reads back as the same double.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed);
    std::string digits(buffer, result.ptr);
    const std::size_t point = digits.find('.');
    std::string fraction = point == std::string::npos ? std::string() : digits.substr(point + 1);
    digits = digits.substr(0, point) + (fraction + "00").substr(0, 2);
    // Half up: a third decimal of 5 or more carries into the second.
    if (fraction.size() > 2 && fraction[2] >= '5') {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[i - 1];
    }
    const bool negative = std::signbit(value) && digits.find_first_not_of('0') != std::string::npos;
    digits.insert(digits.size() - 2, ".");
    return QString::fromLatin1((negative ? "-" : "") + digits);
}

double displayedValue(double value) {
    return displayNumber(value).toDouble();
}

} // namespace analysis
