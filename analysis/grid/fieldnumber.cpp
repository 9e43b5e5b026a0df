#include "analysis/grid/fieldnumber.h"

#include <charconv>
#include <cmath>
#include <string>

namespace analysis {

namespace {

bool isSkipped(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Walks a text while passing over the characters the rule ignores.
class Cursor {
public:
    explicit Cursor(QStringView text) : m_text(text) {}

    QChar peek() {
        while (m_pos < m_text.size() && isSkipped(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : QChar();
    }
    void advance() { ++m_pos; }
    bool take(char16_t c) {
        if (peek() != c) return false;
        advance();
        return true;
    }
    bool takeEither(char16_t a, char16_t b) { return take(a) || take(b); }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

double readRadixInteger(Cursor &cursor, int radix) {
    double value = 0;
    for (;;) {
        const QChar c = cursor.peek();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c.unicode() - u'0';
        else if (radix == 16 && c >= u'a' && c <= u'f')
            digit = c.unicode() - u'a' + 10;
        else if (radix == 16 && c >= u'A' && c <= u'F')
            digit = c.unicode() - u'A' + 10;
        if (digit < 0 || digit >= radix) return value;
        value = value * radix + digit;
        cursor.advance();
    }
}

void appendDigits(Cursor &cursor, std::string &out) {
    while (cursor.peek() >= u'0' && cursor.peek() <= u'9') {
        out.push_back(char(cursor.peek().unicode()));
        cursor.advance();
    }
}

} // namespace

double readFieldNumber(QStringView text) {
    Cursor cursor(text);
    if (cursor.take(u'&')) {
        if (cursor.takeEither(u'H', u'h')) return readRadixInteger(cursor, 16);
        if (cursor.takeEither(u'O', u'o')) return readRadixInteger(cursor, 8);
        return 0;
    }

    // Collect the number's characters without the skipped blanks, then let
    // the standard library convert them: correctly rounded and independent
    // of the process locale.
    bool negative = false;
    if (cursor.peek() == u'+' || cursor.peek() == u'-') {
        negative = cursor.peek() == u'-';
        cursor.advance();
    }
    std::string literal;
    appendDigits(cursor, literal);
    if (cursor.take(u'.')) {
        literal.push_back('.');
        appendDigits(cursor, literal);
    }
    if (literal.empty() || literal == ".") return 0;
    long long exponentValue = 0;
    if (cursor.takeEither(u'E', u'e')) {
        std::string exponent = "e";
        if (cursor.peek() == u'+' || cursor.peek() == u'-') {
            exponent.push_back(char(cursor.peek().unicode()));
            cursor.advance();
        }
        const std::size_t signLength = exponent.size();
        appendDigits(cursor, exponent);
        if (exponent.size() > signLength) {
            literal += exponent;
            // Only the order of magnitude matters when the value is out of range.
            const std::string digits = exponent.substr(signLength).substr(0, 9);
            exponentValue = std::stoll(digits) * (exponent[1] == '-' ? -1 : 1);
        }
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(literal.data(), literal.data() + literal.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Overflow or underflow: tell them apart by the decimal magnitude.
        std::size_t mantissaEnd = literal.find_first_of("eE");
        if (mantissaEnd == std::string::npos) mantissaEnd = literal.size();
        std::size_t point = literal.find('.');
        if (point == std::string::npos) point = mantissaEnd;
        const std::size_t firstNonZero = literal.find_first_not_of("0.");
        long long magnitude = exponentValue;
        if (firstNonZero < mantissaEnd) magnitude += (long long)point - (long long)firstNonZero;
        value = magnitude > 0 ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

std::optional<std::int16_t> toInt16(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = std::nearbyint(value); // default mode: halves to even
    if (rounded < FieldMinimum || rounded > FieldMaximum) return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int16_t> readFieldInteger(QStringView text) {
    return toInt16(readFieldNumber(text));
}

} // namespace analysis
