#include "archive/Numbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

#include "archive/Errors.h"

namespace kv {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsValBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Writes the number at the start of s into out as "-123.45e7" (no blanks, "0" in front of a bare
// point). Returns the length written, 0 when s holds no number. out needs s.size() + 2 characters.
std::size_t ExtractNumber(std::string_view s, char* out) {
    std::size_t i = 0, n = 0;
    auto skip = [&] {
        while (i < s.size() && IsValBlank(s[i])) ++i;
    };
    skip();
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        if (s[i] == '-') out[n++] = '-';
        ++i;
    }
    bool digits = false, point = false;
    for (;; ++i) {
        skip();
        if (i >= s.size()) break;
        const char c = s[i];
        if (IsDigit(c)) {
            digits = true;
            out[n++] = c;
        } else if (c == '.' && !point) {
            point = true;
            if (!digits) out[n++] = '0';
            out[n++] = '.';
        } else {
            break;
        }
    }
    if (!digits) return 0;
    // Exponent: E or D, an optional sign and at least one digit; otherwise it is not part of the number.
    skip();
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        auto skipJ = [&] {
            while (j < s.size() && IsValBlank(s[j])) ++j;
        };
        skipJ();
        bool negative = false;
        if (j < s.size() && (s[j] == '-' || s[j] == '+')) negative = s[j++] == '-';
        skipJ();
        if (j < s.size() && IsDigit(s[j])) {
            out[n++] = 'e';
            if (negative) out[n++] = '-';
            for (; j < s.size(); ++j) {
                if (IsValBlank(s[j])) continue;
                if (!IsDigit(s[j])) break;
                out[n++] = s[j];
            }
        }
    }
    return n;
}

// The decimal order of magnitude of an extracted number ("0.00012e3" gives -1), for telling an
// overflow from a value too small to tell from zero.
long OrderOfMagnitude(std::string_view number) {
    long integerDigits = 0, leadingFractionZeros = 0, exponent = 0;
    bool significant = false, inFraction = false;
    std::size_t i = number[0] == '-' ? 1 : 0;
    for (; i < number.size() && number[i] != 'e'; ++i) {
        const char c = number[i];
        if (c == '.') {
            inFraction = true;
        } else if (!inFraction) {
            if (c != '0' || significant) significant = true, ++integerDigits;
        } else if (!significant) {
            if (c == '0')
                ++leadingFractionZeros;
            else
                significant = true;
        }
    }
    if (!significant) return LONG_MIN / 2;  // zero
    if (i < number.size()) {
        const bool negative = i + 1 < number.size() && number[i + 1] == '-';
        for (std::size_t j = i + (negative ? 2 : 1); j < number.size() && exponent < 100000000; ++j)
            exponent = exponent * 10 + (number[j] - '0');
        if (negative) exponent = -exponent;
    }
    const long order = integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1);
    return order + exponent;
}

double ParseExtracted(const char* first, std::size_t size) {
    double value = 0;
    const auto [ptr, ec] = std::from_chars(first, first + size, value, std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        if (OrderOfMagnitude(std::string_view(first, size)) < 0) return 0;  // too small to tell from zero
        throw RuntimeError(err::Overflow);
    }
    if (ec != std::errc{}) return 0;
    return value;
}

}  // namespace

double Val(std::string_view text) {
    constexpr std::size_t kStack = 128;
    if (text.size() + 2 <= kStack) {
        char buf[kStack];
        const std::size_t n = ExtractNumber(text, buf);
        return n == 0 ? 0.0 : ParseExtracted(buf, n);
    }
    std::string buf(text.size() + 2, '\0');
    const std::size_t n = ExtractNumber(text, buf.data());
    return n == 0 ? 0.0 : ParseExtracted(buf.data(), n);
}

std::string FormatDouble15(double value) {
    if (value == 0) return "0";  // also for -0
    if (!std::isfinite(value)) throw RuntimeError(err::Overflow);
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    if (ec != std::errc{}) throw RuntimeError(err::Overflow);
    std::string text(buf, end);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

void NORMALIZZANUMERO(std::string& text) {
    std::size_t e = std::string::npos;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == 'E' && (text[i + 1] == '+' || text[i + 1] == '-')) {
            e = i;
            break;
        }
    }
    if (e == std::string::npos) return;

    // Mantissa: optional sign, digits, optional separator ("," or "."), digits.
    std::size_t i = 0;
    bool negative = false;
    if (i < e && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::string digits;
    std::size_t intDigits = 0;
    while (i < e && IsDigit(text[i])) digits += text[i++], ++intDigits;
    if (i < e && (text[i] == ',' || text[i] == '.')) {
        ++i;
        while (i < e && IsDigit(text[i])) digits += text[i++];
    }
    if (i != e || digits.empty()) return;  // not a number with an exponent

    // Exponent: sign and digits to the end of the text.
    const bool negativeExponent = text[e + 1] == '-';
    std::size_t j = e + 2;
    if (j >= text.size()) return;
    long exponent = 0;
    for (; j < text.size(); ++j) {
        if (!IsDigit(text[j])) return;
        exponent = exponent * 10 + (text[j] - '0');
        if (exponent > 9999) return;  // beyond any double: leave the text alone
    }
    if (negativeExponent) exponent = -exponent;

    const long point = static_cast<long>(intDigits) + exponent;
    std::string intPart, fracPart;
    if (point <= 0) {
        intPart = "0";
        fracPart = std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (point >= static_cast<long>(digits.size())) {
        intPart = digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
    } else {
        intPart = digits.substr(0, static_cast<std::size_t>(point));
        fracPart = digits.substr(static_cast<std::size_t>(point));
    }
    const std::size_t firstSignificant = intPart.find_first_not_of('0');
    intPart = firstSignificant == std::string::npos ? "0" : intPart.substr(firstSignificant);
    const std::size_t lastSignificant = fracPart.find_last_not_of('0');
    fracPart = lastSignificant == std::string::npos ? "" : fracPart.substr(0, lastSignificant + 1);

    std::string result = negative ? "-" : "";
    result += intPart;
    if (!fracPart.empty()) result += "." + fracPart;
    text = std::move(result);
}

std::string ARROTONDA(double value, int16_t& decimals) {
    if (decimals == 0) decimals = 2;
    if (decimals < 0) throw RuntimeError(err::InvalidCall);
    const auto n = static_cast<std::size_t>(decimals);

    // Half a unit of the last decimal kept, read from its text so it is the same double as 0.005.
    const std::string halfText = "0." + std::string(n, '0') + "5";
    const double half = Val(halfText);
    const double y = value >= 0 ? value + half : value - half;

    std::string t = FormatDouble15(y);
    NORMALIZZANUMERO(t);

    std::size_t p = t.find(',');
    if (p == std::string::npos) p = t.find('.');
    if (p == std::string::npos) {
        t += "." + std::string(n, '0');
    } else {
        t[p] = '.';
        std::string decimalsText = t.substr(p + 1) + std::string(n, '0');
        t = t.substr(0, p + 1) + decimalsText.substr(0, n);
    }
    if (!t.empty() && t[0] == '.') t.insert(t.begin(), '0');
    return t;
}

std::string ARROTONDA(double value, int decimals) {
    if (decimals < INT16_MIN || decimals > INT16_MAX) throw RuntimeError(err::Overflow);
    auto n = static_cast<int16_t>(decimals);
    return ARROTONDA(value, n);
}

}  // namespace kv
