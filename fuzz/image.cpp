// A raster picture from outside (the first byte picks JPEG, BMP, GIF or TGA and the transparency),
// placed twice by DrawImage, and the document still well formed after EndDoc.
#include "FuzzSupport.h"
#include "quill/QuillPdf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const kFormats[] = {"jpg", "bmp", "gif", "tga"};
    const auto picture = kvfuzz::Scratch() / (std::string("picture.") + kFormats[data[0] % 4]);
    const auto out = kvfuzz::Scratch() / "image.pdf";
    kvfuzz::WriteFile(picture, std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    quill::QuillPdf pdf;
    pdf.SetFixedCreationDate("D:20180331120000Z");
    pdf.BeginDoc(out.string());
    pdf.BeginPage();
    pdf.DrawImage(picture.string(), 10, 10, 0, 0, data[0] & 4 ? 1 : 0, "#FFFFFF");
    pdf.DrawImage(picture.string(), 50, 60, 120, 0);
    pdf.EndDoc();
    const std::string problem = kvfuzz::CheckPdf(kvfuzz::ReadFile(out));
    kvfuzz::Require(problem.empty(), "DrawImage document: " + problem);
    return 0;
}
