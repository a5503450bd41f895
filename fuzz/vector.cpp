// A drawing from outside (the first byte picks WMF, EPS or AI) translated by DrawImage into page
// content, and the document still well formed after EndDoc.
#include "FuzzSupport.h"
#include "quill/QuillPdf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const kFormats[] = {"wmf", "eps", "ai"};
    const auto drawing = kvfuzz::Scratch() / (std::string("drawing.") + kFormats[data[0] % 3]);
    const auto out = kvfuzz::Scratch() / "vector.pdf";
    kvfuzz::WriteFile(drawing, std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    quill::QuillPdf pdf;
    pdf.SetFixedCreationDate("D:20180331120000Z");
    pdf.SetScale(data[0] & 8 ? quill::Unit::Millimetres : quill::Unit::Points);
    pdf.BeginDoc(out.string());
    pdf.BeginPage();
    pdf.DrawImage(drawing.string(), 10, 10, data[0] & 4 ? 200 : 0, 0);
    pdf.LinkTo("page:1");
    pdf.EndDoc();
    const std::string problem = kvfuzz::CheckPdf(kvfuzz::ReadFile(out));
    kvfuzz::Require(problem.empty(), "DrawImage document: " + problem);
    return 0;
}
