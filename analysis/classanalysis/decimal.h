#pragma once

#include <QString>

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace analysis {

struct SignedDecimal;

// A number from 0 up held exactly as its decimal digits, so that 85.5 stays
// 85.5 and a score compares with a line without binary rounding.
class Decimal {
public:
    // Whole parts from this value up are all held as it: every range the
    // analysis checks ends far below.
    static constexpr std::int64_t WholeCap = 1'000'000'000'000'000;

    Decimal() = default;
    static Decimal whole(std::int64_t value) { return fromScaled(value, 0); }
    // units × 10^-scale, units from 0 up.
    static Decimal fromScaled(std::int64_t units, int scale);

    int fractionDigits() const { return int(m_fraction.size()); }
    bool isZero() const { return m_whole == 0 && m_fraction.empty(); }

    // value × 10^scale, the digits beyond the scale dropped.
    std::int64_t units(int scale) const;
    double toDouble() const;
    // Plain decimal text without trailing zeros: "85", "85.5", "0.25".
    QString text() const;

    // The exact sum, every fraction digit kept; whole parts stop at the cap.
    friend Decimal operator+(const Decimal &a, const Decimal &b);

    // The fraction digits carry no trailing zeros, so comparing them as text
    // compares the values.
    friend std::strong_ordering operator<=>(const Decimal &, const Decimal &) = default;
    friend bool operator==(const Decimal &, const Decimal &) = default;

private:
    friend std::optional<SignedDecimal> readPlainDecimal(QStringView text);
    std::int64_t m_whole = 0;
    std::string m_fraction;
};

struct SignedDecimal {
    bool negative = false; // a minus sign before a number other than zero
    Decimal magnitude;
};

// Reads a plain decimal number: after ordinary and ideographic spaces are
// trimmed, an optional sign, digits with an optional decimal point and at least
// one digit. Full-width digits, signs and point read as their ASCII forms.
// Anything else (an exponent, a unit, a thousands separator) is not one.
std::optional<SignedDecimal> readPlainDecimal(QStringView text);

} // namespace analysis
