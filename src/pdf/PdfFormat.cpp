#include "pdf/PdfFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace quill {

namespace {

// Writes the decimal digits of v at out; returns the end.
char* WriteDigits(char* out, uint64_t v) {
    if (v < 10) {
        *out = static_cast<char>('0' + v);
        return out + 1;
    }
    return std::to_chars(out, out + 20, v).ptr;
}

// Writes value / 1000 for a non-negative integer count of thousandths.
char* WriteThousandths(char* out, uint64_t k) {
    out = WriteDigits(out, k / 1000);
    const unsigned frac = static_cast<unsigned>(k % 1000);
    if (frac == 0) return out;
    out[0] = '.';
    out[1] = static_cast<char>('0' + frac / 100);
    out[2] = static_cast<char>('0' + frac / 10 % 10);
    out[3] = static_cast<char>('0' + frac % 10);
    size_t len = 4;
    while (out[len - 1] == '0') --len;
    return out + len;
}

#ifndef __SSE2__
// Whether any of the 8 bytes at p is one that a literal string escapes: backslash, ( ) CR LF.
bool HasEscapedByte(const char* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    // The result has a high bit set exactly when some byte of x is zero.
    auto zeroBytes = [](uint64_t x) { return (x - kOnes) & ~x; };
    const uint64_t found = zeroBytes(v ^ (kOnes * '\\')) | zeroBytes(v ^ (kOnes * '(')) | zeroBytes(v ^ (kOnes * ')')) |
        zeroBytes(v ^ (kOnes * '\r')) | zeroBytes(v ^ (kOnes * '\n'));
    return (found & kHighs) != 0;
}
#endif

}  // namespace

char* WriteNumber(char* out, double value) {
    if (!std::isfinite(value)) {
        *out++ = '0';
        return out;
    }
    const bool negative = value < 0;
    const double rounded = std::fabs(value) * 1000.0 + 0.5;
    // Below 10000 a count of thousandths survives the trip through a
    // single-precision value unchanged at 7 significant digits.
    if (rounded < 1e7) {
        const auto thousandths = static_cast<uint64_t>(rounded);  // truncated, as the count is
        if (thousandths == 0) {
            *out++ = '0';
            return out;
        }
        if (negative) *out++ = '-';
        return WriteThousandths(out, thousandths);
    }
    const double scaled = std::trunc(rounded);
    if (negative) *out++ = '-';
    const float single = static_cast<float>(scaled * 0.001);
    if (!std::isfinite(single)) {
        *out++ = '0';
        return out;
    }
    // At most 7 significant digits, no exponent (from 10000 up: at most 2 decimals).
    const double magnitude = static_cast<double>(single);
    const int integerDigits = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    const int decimals = std::max(7 - integerDigits, 0);
    char buffer[kMaxNumberLength];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, decimals);
    if (ec != std::errc()) {
        *out++ = '0';
        return out;
    }
    char* last = end;
    if (decimals > 0) {
        while (last[-1] == '0') --last;
        if (last[-1] == '.') --last;
    }
    const size_t n = static_cast<size_t>(last - buffer);
    std::memcpy(out, buffer, n);
    return out + n;
}

void AppendNumber(std::string& out, double value) {
    char buffer[kMaxNumberLength];
    out.append(buffer, WriteNumber(buffer, value));
}

std::string FormatNumber(double value) {
    std::string out;
    AppendNumber(out, value);
    return out;
}

void AppendInteger(std::string& out, int64_t value) {
    char digits[24];
    char* p = digits;
    if (value < 0) *p++ = '-';
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    out.append(digits, WriteDigits(p, magnitude));
}

namespace {

// The letter after the backslash for the bytes that need one, 0 for the others.
constexpr std::array<char, 256> kEscapes = [] {
    std::array<char, 256> table{};
    table['\\'] = '\\';
    table['('] = '(';
    table[')'] = ')';
    table['\r'] = 'r';
    table['\n'] = 'n';
    return table;
}();

// The length of the leading run of bytes that need no escape. Text rarely holds any of the
// five, so the run is usually the whole text.
size_t PlainPrefix(const char* p, size_t n) {
    size_t i = 0;
#ifdef __SSE2__
    const __m128i backslash = _mm_set1_epi8('\\'), open = _mm_set1_epi8('('), close = _mm_set1_epi8(')'),
                  cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i hit =
            _mm_or_si128(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, backslash), _mm_cmpeq_epi8(v, open)),
                                      _mm_or_si128(_mm_cmpeq_epi8(v, close), _mm_cmpeq_epi8(v, cr))),
                         _mm_cmpeq_epi8(v, lf));
        if (_mm_movemask_epi8(hit) != 0) break;
    }
#else
    while (i + 8 <= n && !HasEscapedByte(p + i)) i += 8;
#endif
    while (i < n && kEscapes[static_cast<unsigned char>(p[i])] == 0) ++i;
    return i;
}

}  // namespace

char* WriteEscaped(char* out, std::string_view bytes) {
    const char* p = bytes.data();
    size_t n = bytes.size();
    for (;;) {
        const size_t plain = PlainPrefix(p, n);
        std::memcpy(out, p, plain);
        out += plain;
        if (plain == n) return out;
        *out++ = '\\';
        *out++ = kEscapes[static_cast<unsigned char>(p[plain])];
        p += plain + 1;
        n -= plain + 1;
    }
}

void AppendEscaped(std::string& out, std::string_view bytes) {
    const char* p = bytes.data();
    size_t n = bytes.size();
    for (;;) {
        const size_t plain = PlainPrefix(p, n);
        out.append(p, plain);
        if (plain == n) return;
        const char pair[2] = {'\\', kEscapes[static_cast<unsigned char>(p[plain])]};
        out.append(pair, 2);
        p += plain + 1;
        n -= plain + 1;
    }
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
