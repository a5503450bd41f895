// Translation of vector picture files into page content: simple EPS and
// Illustrator files (this header) and Windows metafiles (WmfTranslator.h).
// Both work on the whole file in memory and write nothing themselves: the
// caller appends the content and records the error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "pdf/Error.h"

namespace quill {

// Where the picture goes: top-left corner and size in user units (a size of
// 0 is derived from the file), and the points per user unit.
struct VectorTarget {
    float x = 0, y = 0, width = 0, height = 0;
    float scale = 1;
};

struct VectorDrawing {
    Error error;
    std::string content;  // lines ending in CR; empty when nothing is drawn
    // The target rectangle in points from the margin origin, when drawn.
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// Copies the path lines of the drawing into content, placing its bounding
// box on the target (Illustrator colour operators rewritten).
VectorDrawing TranslateEps(std::string_view file, const VectorTarget& target);

}  // namespace quill
