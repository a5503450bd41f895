// Reading of TrueType font files: the metrics that a PDF font dictionary and
// its descriptor need for the 256 single-byte codes, in thousandths of the
// font size. Every read is checked against the file's bytes, so a damaged or
// hostile file ends in an error, never in a read outside it; a font whose glyph
// tables do not hold together, which readers could not use, is refused too.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "pdf/Error.h"

namespace quill {

struct TrueTypeMetrics {
    std::string fullName;  // blanks dropped; empty when the file has no usable name record
    bool symbolic = false;  // the character map used is the Windows symbol one
    std::array<int32_t, 256> widths{};
    std::array<int32_t, 4> box{};  // xMin, yMin, xMax, yMax of the glyphs of the 256 codes
    int32_t ascent = 0, descent = 0, avgWidth = 0, maxWidth = 0, missingWidth = 0;
    uint32_t weightClass = 0;
    double italicAngle = 0;  // degrees, 2 decimals
    bool fixedPitch = false;
};

// Reads the metrics from the whole file. Codes are looked up in the font's
// Unicode map as Windows-1252 characters, or as Mac Roman ones when macRoman.
Error ReadTrueType(std::string_view file, bool macRoman, TrueTypeMetrics& out);

// A font added from a file, as the writer keeps it until its objects are out.
struct TrueTypeFace {
    TrueTypeMetrics metrics;
    bool embed = false;
    std::string file;  // the bytes to embed; released once written
};

}  // namespace quill
