#include "analysis/classanalysis/decimal.h"

#include "analysis/texts/spaces.h"

#include <algorithm>
#include <charconv>

namespace analysis {

namespace {

std::int64_t powerOfTen(int exponent) {
    std::int64_t value = 1;
    for (int i = 0; i < exponent; ++i)
        value *= 10;
    return value;
}

// The ASCII form of a character of a plain number, or 0.
char plainCharacter(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'０' && u <= u'９') return char('0' + (u - u'０'));
    if (u == u'＋') return '+';
    if (u == u'－') return '-';
    if (u == u'．') return '.';
    if ((u >= u'0' && u <= u'9') || u == u'+' || u == u'-' || u == u'.') return char(u);
    return 0;
}

} // namespace

Decimal Decimal::fromScaled(std::int64_t units, int scale) {
    const std::int64_t divisor = powerOfTen(scale);
    Decimal decimal;
    decimal.m_whole = std::min(units / divisor, WholeCap);
    std::string fraction = std::to_string(units % divisor + divisor).substr(1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    decimal.m_fraction = fraction;
    return decimal;
}

Decimal operator+(const Decimal &a, const Decimal &b) {
    Decimal sum;
    sum.m_fraction.assign(std::max(a.m_fraction.size(), b.m_fraction.size()), '0');
    int carry = 0;
    for (std::size_t i = sum.m_fraction.size(); i-- > 0;) {
        const auto digit = [i](const std::string &f) { return i < f.size() ? f[i] - '0' : 0; };
        const int total = digit(a.m_fraction) + digit(b.m_fraction) + carry;
        sum.m_fraction[i] = char('0' + total % 10);
        carry = total / 10;
    }
    while (!sum.m_fraction.empty() && sum.m_fraction.back() == '0')
        sum.m_fraction.pop_back();
    sum.m_whole = std::min(a.m_whole + b.m_whole + carry, Decimal::WholeCap);
    return sum;
}

std::int64_t Decimal::units(int scale) const {
    std::int64_t value = m_whole;
    for (int i = 0; i < scale; ++i)
        value = value * 10 + (i < fractionDigits() ? m_fraction[std::size_t(i)] - '0' : 0);
    return value;
}

double Decimal::toDouble() const {
    // A whole number converts as its literal would: both round to nearest.
    if (m_fraction.empty()) return double(m_whole);
    const std::string literal = std::to_string(m_whole) + '.' + m_fraction + '0';
    double value = 0;
    std::from_chars(literal.data(), literal.data() + literal.size(), value);
    return value;
}

QString Decimal::text() const {
    QString out = QString::number(m_whole);
    if (!m_fraction.empty()) out += u'.' + QString::fromLatin1(m_fraction);
    return out;
}

std::optional<SignedDecimal> readPlainDecimal(QStringView text) {
    std::string plain;
    for (const QChar c : wideTrimmedView(text)) {
        const char ascii = plainCharacter(c);
        if (!ascii) return std::nullopt;
        plain.push_back(ascii);
    }
    const bool negative = !plain.empty() && plain.front() == '-';
    if (!plain.empty() && (plain.front() == '-' || plain.front() == '+')) plain.erase(0, 1);
    const std::size_t point = plain.find('.');
    std::string whole = plain.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : plain.substr(point + 1);
    if (whole.find_first_not_of("0123456789") != std::string::npos ||
        fraction.find_first_not_of("0123456789") != std::string::npos ||
        whole.size() + fraction.size() == 0)
        return std::nullopt;

    whole.erase(0, whole.find_first_not_of('0'));
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    SignedDecimal read;
    // Fifteen digits stay below the cap.
    read.magnitude.m_whole = whole.size() > 15 ? Decimal::WholeCap : std::stoll("0" + whole);
    read.magnitude.m_fraction = fraction;
    read.negative = negative && !read.magnitude.isZero();
    return read;
}

} // namespace analysis
