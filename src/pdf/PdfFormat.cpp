#include "pdf/PdfFormat.h"

#include <charconv>
#include <cmath>

namespace quill {

namespace {

// Writes value / 1000 for a non-negative integer count of thousandths.
void AppendThousandths(std::string& out, uint64_t k) {
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, k / 1000);
    (void)ec;
    out.append(digits, end);
    unsigned frac = static_cast<unsigned>(k % 1000);
    if (frac == 0) return;
    char f[4] = {'.', static_cast<char>('0' + frac / 100), static_cast<char>('0' + frac / 10 % 10),
                 static_cast<char>('0' + frac % 10)};
    size_t len = 4;
    while (f[len - 1] == '0') --len;
    out.append(f, len);
}

}  // namespace

void AppendNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out.push_back('0');
        return;
    }
    const bool negative = value < 0;
    const double scaled = std::trunc(std::fabs(value) * 1000.0 + 0.5);
    if (scaled == 0) {
        out.push_back('0');
        return;
    }
    if (negative) out.push_back('-');
    // Below 10000 a count of thousandths survives the trip through a
    // single-precision value unchanged at 7 significant digits.
    if (scaled < 1e7) {
        AppendThousandths(out, static_cast<uint64_t>(scaled));
        return;
    }
    const float single = static_cast<float>(scaled * 0.001);
    if (!std::isfinite(single)) {
        out.push_back('0');
        return;
    }
    // At most 7 significant digits, no exponent (from 10000 up: at most 2 decimals).
    const double magnitude = static_cast<double>(single);
    int integerDigits = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    int decimals = 7 - integerDigits;
    if (decimals < 0) decimals = 0;
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, decimals);
    if (ec != std::errc()) {
        out.push_back('0');
        return;
    }
    char* last = end;
    if (decimals > 0) {
        while (last[-1] == '0') --last;
        if (last[-1] == '.') --last;
    }
    out.append(buffer, last);
}

std::string FormatNumber(double value) {
    std::string out;
    AppendNumber(out, value);
    return out;
}

void AppendInteger(std::string& out, int64_t value) {
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    (void)ec;
    out.append(digits, end);
}

void AppendEscaped(std::string& out, std::string_view bytes) {
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const char* replacement = nullptr;
        switch (c) {
        case '\\': replacement = "\\\\"; break;
        case '(': replacement = "\\("; break;
        case ')': replacement = "\\)"; break;
        case '\r': replacement = "\\r"; break;
        case '\n': replacement = "\\n"; break;
        default: continue;
        }
        out.append(bytes.data() + start, i - start);
        out.append(replacement, 2);
        start = i + 1;
    }
    out.append(bytes.data() + start, bytes.size() - start);
}

std::string EscapeString(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 8);
    AppendEscaped(out, bytes);
    return out;
}

std::string ToUpperHex(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out.push_back(kHex[c >> 4]);
        out.push_back(kHex[c & 15]);
    }
    return out;
}

uint32_t Cp1252ToUnicode(uint8_t byte) {
    static constexpr uint16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
    return byte;
}

}  // namespace quill
