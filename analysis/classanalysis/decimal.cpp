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
    // Below 2^53 the digits and the power of ten are both exact doubles, and
    // their quotient is rounded to nearest once, as the literal would be.
    constexpr std::int64_t Exact = std::int64_t(1) << 53;
    if (fractionDigits() <= 15 && m_whole < Exact / powerOfTen(fractionDigits())) {
        const std::int64_t digits = units(fractionDigits());
        if (digits < Exact) return double(digits) / double(powerOfTen(fractionDigits()));
    }
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

// Read in one pass without a copy: every score cell of an exam comes here,
// some more than once.
std::optional<SignedDecimal> readPlainDecimal(QStringView text) {
    const QStringView plain = wideTrimmedView(text);
    qsizetype at = 0;
    const auto next = [&]() { return at < plain.size() ? plainCharacter(plain[at]) : '\0'; };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    bool negative = false;
    if (const char sign = next(); sign == '-' || sign == '+') {
        negative = sign == '-';
        ++at;
    }
    bool anyDigit = false;
    std::int64_t whole = 0;
    int wholeDigits = 0; // after leading zeros
    for (char c = next(); isDigit(c); ++at, c = next()) {
        anyDigit = true;
        if (wholeDigits == 0 && c == '0') continue;
        // Fifteen digits stay below the cap.
        if (++wholeDigits <= 15) whole = whole * 10 + (c - '0');
    }
    SignedDecimal read;
    std::string &fraction = read.magnitude.m_fraction;
    if (next() == '.') {
        ++at;
        for (char c = next(); isDigit(c); ++at, c = next()) {
            anyDigit = true;
            fraction.push_back(c);
        }
    }
    if (at != plain.size() || !anyDigit) return std::nullopt;
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    read.magnitude.m_whole = wholeDigits > 15 ? Decimal::WholeCap : whole;
    read.negative = negative && !read.magnitude.isZero();
    return read;
}

} // namespace analysis
