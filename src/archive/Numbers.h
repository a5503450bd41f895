#pragma once
// Number-to-text and text-to-number conversions used for record fields and list totals. They never
// follow the process locale: the decimal separator is always ".".
#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// value rounded half away from zero to `decimals` decimals, as text with "." and exactly that many
// decimals: ARROTONDA(1.999, 2) == "2.00". A decimals of 0 is taken as 2 and the caller's variable
// is set to 2. The value is first written with at most 15 significant digits, then cut (not rounded
// again) after the decimals, so 2.675 with 2 decimals gives "2.68".
// Throws RuntimeError(err::InvalidCall) for negative decimals, err::Overflow for NaN or infinity.
std::string ARROTONDA(double value, int16_t& decimals);
// The same for a decimals the caller does not keep (0 still means 2).
std::string ARROTONDA(double value, int decimals);

// Rewrites in place a number text that carries an exponent ("E+" or "E-") as plain digits:
// "1E+16" -> "10000000000000000", "-1,5E-07" -> "-0.00000015". Text without an exponent, or that is
// not a number, is left unchanged.
void NORMALIZZANUMERO(std::string& text);

// The numeric value at the start of a text, the way the legacy runtime's Val reads it: blanks
// (space, tab, line feed) are skipped anywhere, then an optional sign, digits with at most one ".",
// and an optional exponent (E or D); reading stops at the first character that cannot continue the
// number, and text without a number gives 0. "1 234" gives 1234, "-00012345.67" gives -12345.67,
// "12,50" gives 12. Throws RuntimeError(err::Overflow) for a value beyond the range of a double.
double Val(std::string_view text);

// value with at most 15 significant digits, shortest form, "." separator, exponent form ("1E+16",
// "1.5E-07") outside 1E-4 <= |value| < 1E15; what ARROTONDA starts from.
std::string FormatDouble15(double value);

}  // namespace kv
