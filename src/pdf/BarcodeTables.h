// Encodation tables of the barcodes that QuillPdf draws, and the symbol
// sequences built from them. Everything here is pure: no drawing, no state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill::barcode {

// EAN digit patterns, seven modules each, "1" dark: set A (odd parity, left
// half), set B (even parity, left half), set C (right half).
extern const char* const kEanA[10];
extern const char* const kEanB[10];
extern const char* const kEanC[10];
// EAN-13: the sets of digits 2 to 7 selected by the first digit.
extern const char* const kEanParity[10];

// Code 39: the 44 characters and their patterns ("b"/"B" narrow/wide bar,
// "w"/"W" narrow/wide space); "*" is start and stop.
extern const char kCode39Set[];
extern const char* const kCode39[44];

// Interleaved 2 of 5: "n" narrow, "w" wide, per digit.
extern const char* const kInterleaved[10];

// POSTNET: "1" full bar, "0" half bar, per digit.
extern const char* const kPostnet[10];

// Code 128 symbol value 0..106 as modules, "1" dark (stop: 13 modules).
std::string Code128Pattern(int value);

// True for a non-empty text of digits only. Check digits: EAN and
// Interleaved 2 of 5 weigh 3, 1, 3 ... from the right; POSTNET adds plainly.
bool AllDigits(std::string_view text);
char WeightedCheck(std::string_view digits);  // weights 3, 1, 3 ... from the right
char SumCheck(std::string_view digits);  // tenth complement of the plain sum

// Code 39 full ASCII: the code as characters of the 43-character set ("" for
// bytes above 127 or an empty code), and its modulo-43 check character.
std::string Code39Expand(std::string_view code);
char Code39Check(std::string_view expanded);

// Code 128 symbol values: start, data and code switches, check, stop. Empty
// when the code is empty or holds a byte outside 32..126.
std::vector<int> Code128Symbols(std::string_view code);

}  // namespace quill::barcode
