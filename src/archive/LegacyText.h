#pragma once
// Small text helpers with the legacy runtime's meaning: Trim removes blanks (spaces) only, and upper
// case follows the Windows-1252 code page, on the record's own bytes.
#include <cmath>
#include <string>
#include <string_view>

#include "archive/Numbers.h"

namespace kv {

inline std::string RTrimBlanks(std::string_view s) {
    size_t end = s.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(s.substr(0, end + 1));
}

inline std::string TrimBlanks(std::string_view s) {
    size_t start = s.find_first_not_of(' ');
    if (start == std::string_view::npos) return {};
    return RTrimBlanks(s.substr(start));
}

// Upper case in Windows-1252: a-z, the accented letters 0xE0-0xFE (not 0xF7), and the letters
// with a caron or ligature (0x9A, 0x9C, 0x9E, 0xFF).
inline std::string UpperCp1252(std::string_view s) {
    std::string out(s);
    for (char& ch : out) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 32);
        else if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
            c = static_cast<unsigned char>(c - 32);
        else if (c == 0x9A || c == 0x9C || c == 0x9E)
            c = static_cast<unsigned char>(c - 16);
        else if (c == 0xFF)
            c = 0x9F;
        ch = static_cast<char>(c);
    }
    return out;
}

// The count characters of s from the 1-based position from1 (fewer at the end of s, none past it).
inline std::string Mid(std::string_view s, size_t from1, size_t count) {
    if (from1 == 0 || from1 > s.size()) return {};
    return std::string(s.substr(from1 - 1, count));
}

// The last n characters of s (all of s when it is shorter).
inline std::string RightChars(std::string_view s, size_t n) {
    return std::string(s.size() > n ? s.substr(s.size() - n) : s);
}

// A number as the suite writes it into traces and messages: "7", "2.5" ("." whatever the locale).
inline std::string NumberText(double v) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "Inf" : "-Inf";
    return FormatDouble15(v);
}

}  // namespace kv
