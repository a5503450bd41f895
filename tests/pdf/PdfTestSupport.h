// Support of the PDF writer tests: scratch files, the cross-reference check, qpdf's and poppler's
// views of a file, and documents written by a setup function and checked on the way.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "quill/QuillPdf.h"
#include "support/TestSupport.h"

namespace pdftest {

using namespace kvtest;

// A fresh path in a folder of this process, removed when the process ends.
std::string TempPath(const std::string& name);
// The bytes saved as a file of exactly that name, in a fresh folder.
std::string Saved(const std::string& name, const std::string& bytes);

// "" when startxref points at "xref", every entry has 20 bytes, every in-use
// offset points at its "N 0 obj" line and /Size counts the entries.
std::string CheckXref(const std::string& bytes);
// Stream data of an object as qpdf decodes (and decrypts) it.
std::string QpdfStream(const std::string& path, int object);
// Raw data of the content stream of a page (1-based) of an unencrypted file.
std::string RawContent(const std::string& bytes, int page = 1);
int ContentObject(const std::string& bytes, int page = 1);

using Steps = std::function<void(quill::QuillPdf&)>;
struct Doc {
    std::string path, bytes;
};
constexpr char kDate[] = "D:20240131120000Z+01'00'";
// before(pdf), BeginDoc, body(pdf), EndDoc, with the fixed creation date kDate;
// the file must pass qpdf --check and the cross-reference check.
Doc WriteDoc(const Steps& body, const Steps& before = nullptr, const std::string& password = "");
// Content of page 1 after BeginPage and draw, without the default frame
// "1 0 0 -1 0 842 cm \r0 0 0 rg\r0 0 0 RG\r" (kept when it differs).
std::string Content(const Steps& draw, const Steps& before = nullptr);

struct Word {
    double xMin, xMax;
    std::string text;
};
std::vector<Word> PdfWords(const std::string& path);  // pdftotext -bbox, page 1
// Page 1 rendered at 72 dpi: one RGB pixel per point, rows from the top.
struct Image {
    int width = 0, height = 0;
    std::string rgb;
};
Image Render(const std::string& path);

}  // namespace pdftest
