// Advance widths of the built-in (non-embedded) PDF fonts the writer offers.
#pragma once

#include <array>
#include <cstdint>

namespace quill {

enum class StdFamily { Arial, CourierNew, TimesNewRoman, Symbol, ZapfDingbats };

// Advance widths of the 256 single-byte codes in thousandths of the font size.
// style bit 1 bold, bit 2 italic (ignored for Symbol and ZapfDingbats).
// Arial, CourierNew and TimesNewRoman are indexed by Windows-1252 code;
// Symbol and ZapfDingbats by their own built-in encoding.
const std::array<int16_t, 256>& StandardWidths(StdFamily family, int style);

}  // namespace quill
