// Vector drawings placed by DrawImage: EPS and AI files (EpsTranslator) and
// Windows metafiles (WmfTranslator) become path operators of the page. The
// file is read and translated whole before anything is appended.
#include <filesystem>
#include <fstream>

#include "pdf/EpsTranslator.h"
#include "pdf/InputFile.h"
#include "pdf/QuillPdfImpl.h"
#include "pdf/WmfTranslator.h"

namespace quill {

namespace {

VectorDrawing ReadDrawing(const std::string& fileName, std::string& bytes) {
    VectorDrawing read;
    read.error = ReadInputFile(fileName, {7, "Out of memory: drawing file larger than 256 MiB"}, bytes);
    return read;
}

// The file read and translated; the error of either step in the result.
VectorDrawing Translate(const std::string& file, const VectorTarget& target, bool metafile) {
    std::string bytes;
    const VectorDrawing read = ReadDrawing(file, bytes);
    if (read.error) return read;
    return metafile ? TranslateWmf(bytes, target) : TranslateEps(bytes, target);
}

}  // namespace

// A damaged metafile keeps what was drawn before the damage, so both the
// content and the error may come back.
void QuillPdf::Impl::DrawVectorFile(const std::string& file, float x, float y, float w, float h, bool metafile) {
    const VectorDrawing drawing = Translate(file, {x, y, w, h, scale_}, metafile);
    if (!drawing.content.empty() && ContentTarget()) {
        ContentTarget()->append(drawing.content);
        SetXY(x, y);
        NoteDrawnArea(drawing.x1, drawing.y1, drawing.x2, drawing.y2);
    }
    if (drawing.error) RecordError("DrawImage", drawing.error, file);
}

}  // namespace quill
