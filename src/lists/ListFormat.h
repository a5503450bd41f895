#pragma once
// The cells of a list line: formatted amounts, percentages and coefficients, the name cell and the
// totals label. Lines are Windows-1252 bytes, counted in characters (Courier New).
//
// Formatted numbers use the decimal separator of the user's regional settings, which the caller
// passes in explicitly (see DecimalSeparatorOfUserLocale); every other digit is locale-free.
#include <string>
#include <string_view>

namespace kv::lists {

// The value with `decimals` decimals (no grouping, at least one integer digit, "-" in front of a
// negative value), rounded half away from zero on the value's 15 significant digits, as the legacy
// runtime's number formatting did. "######0.#0" is FormatFixed(v, 2, sep), "0.#0" likewise,
// "0.####0" is FormatFixed(v, 5, sep). Not-a-number and infinities print as zero.
std::string FormatFixed(double value, int decimals, char decimalSeparator);

// One blank, then the formatted value right-aligned in `width` characters; a value longer than the
// cell keeps only its last `width` characters.
std::string NumberCell(double value, int decimals, int width, char decimalSeparator);

// The last n characters of (n blanks followed by text).
std::string RightAligned(std::string_view text, size_t n);
// The first n characters of (text followed by n blanks).
std::string LeftAligned(std::string_view text, size_t n);

// The 27-character name cell: the employee number in four digits, a blank, then 22 characters made of
// the surname (trimmed, at most 20 characters), a blank and the first letter of the first name.
std::string NameCell(double employeeNumber, std::string_view surname, std::string_view firstName);

// The decimal separator of the user's regional settings (LC_NUMERIC of the environment), read without
// changing the process locale. "." when it cannot be determined.
char DecimalSeparatorOfUserLocale();

}  // namespace kv::lists
