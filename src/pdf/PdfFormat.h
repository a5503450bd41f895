// Formatting of numbers and strings as they appear in a PDF file. Nothing
// here follows the process locale: the decimal separator is always ".".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quill {

// Appends the number rounded to 3 decimals (halves away from zero), held as a
// single-precision value and written in its shortest plain decimal form:
// no exponent, no trailing zeros or point, "0" before the point, "-" for
// negatives. NaN and infinities are written as 0.
void AppendNumber(std::string& out, double value);
// The same number written at out, which has room for kMaxNumberLength
// characters; returns the end.
constexpr size_t kMaxNumberLength = 64;
char* WriteNumber(char* out, double value);
std::string FormatNumber(double value);

void AppendInteger(std::string& out, int64_t value);

// Appends the bytes escaped for a PDF literal string (without the
// parentheses): "\" "(" ")" get a backslash, CR and LF become \r and \n.
void AppendEscaped(std::string& out, std::string_view bytes);
// The same bytes written at out, which has room for twice their number; returns the end.
char* WriteEscaped(char* out, std::string_view bytes);
std::string EscapeString(std::string_view bytes);

// Every byte as two upper-case hexadecimal digits.
std::string ToUpperHex(std::string_view bytes);

// Unicode code point of a Windows-1252 byte (undefined positions map to
// themselves).
uint32_t Cp1252ToUnicode(uint8_t byte);

}  // namespace quill
