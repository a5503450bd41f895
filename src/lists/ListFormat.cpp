#include "lists/ListFormat.h"

#include <charconv>
#include <clocale>
#include <cmath>

#include "archive/LegacyText.h"
#include "platform/NumericLocale.h"

namespace kv::lists {

std::string FormatFixed(double value, int decimals, char sep) {
    if (!std::isfinite(value)) value = 0;
    if (decimals < 0) decimals = 0;
    const bool negative = value < 0;

    // Fifteen significant digits: d.dddddddddddddde±XX.
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    std::string_view sci(buf, static_cast<size_t>(res.ptr - buf));
    const size_t ePos = sci.find('e');
    std::string digits;
    for (size_t i = 0; i < ePos; ++i)
        if (sci[i] != '.') digits += sci[i];
    int exponent = 0;
    const char* expBegin = sci.data() + ePos + 1;
    if (*expBegin == '+') ++expBegin;
    std::from_chars(expBegin, sci.data() + sci.size(), exponent);

    // Lay the digits out around the point: intDigits digits before it (at least one).
    int intDigits = exponent + 1;
    if (intDigits < 1) {
        digits.insert(0, static_cast<size_t>(1 - intDigits), '0');
        intDigits = 1;
    }
    const size_t keep = static_cast<size_t>(intDigits + decimals);
    if (digits.size() < keep) digits.append(keep - digits.size(), '0');
    const bool roundUp = digits.size() > keep && digits[keep] >= '5';  // half away from zero
    digits.resize(keep);
    if (roundUp) {
        size_t i = keep;
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i > 0)
            ++digits[i - 1];
        else {
            digits.insert(digits.begin(), '1');
            ++intDigits;
        }
    }
    std::string intPart = digits.substr(0, static_cast<size_t>(intDigits));
    const std::string frac = digits.substr(static_cast<size_t>(intDigits));
    const size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
    const bool zero = intPart == "0" && frac.find_first_not_of('0') == std::string::npos;
    std::string out = (negative && !zero) ? "-" : "";
    out += intPart;
    if (decimals > 0) {
        out += sep;
        out += frac;
    }
    return out;
}

std::string RightAligned(std::string_view text, size_t n) {
    if (text.size() >= n) return std::string(text.substr(text.size() - n));
    return std::string(n - text.size(), ' ') + std::string(text);
}

std::string LeftAligned(std::string_view text, size_t n) {
    if (text.size() >= n) return std::string(text.substr(0, n));
    return std::string(text) + std::string(n - text.size(), ' ');
}

std::string NumberCell(double value, int decimals, int width, char sep) {
    return " " + RightAligned(FormatFixed(value, decimals, sep), static_cast<size_t>(width));
}

std::string NameCell(double employeeNumber, std::string_view surname, std::string_view firstName) {
    std::string number = FormatFixed(employeeNumber, 0, '.');
    std::string cell = RightAligned("0000" + number, 4);
    std::string name = TrimBlanks(surname).substr(0, 20);
    std::string first = TrimBlanks(firstName).substr(0, 1);
    cell += ' ';
    cell += LeftAligned(name + " " + first, 22);
    return cell;
}

char DecimalSeparatorOfUserLocale() { return platform::UserDecimalSeparator(); }

}  // namespace kv::lists
