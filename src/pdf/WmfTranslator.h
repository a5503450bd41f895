// Windows metafiles translated into page content (see EpsTranslator.h for
// the target and the result).
#pragma once

#include "pdf/EpsTranslator.h"

namespace quill {

// Reads the placeable header, the window records, pens, brushes, the fill
// mode and the line, polygon, rectangle and ellipse records, and maps the
// metafile's window onto the target. A damaged record ends the reading with
// an error; what was drawn before it stays.
VectorDrawing TranslateWmf(std::string_view file, const VectorTarget& target);

}  // namespace quill
