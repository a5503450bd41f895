// A TrueType font file from outside, read by the font reader with both encodings. A font it accepts
// is then added by AddFont (embedded), used for text, and the document must keep its structure after
// EndDoc. Refused fonts, most inputs, cost no document.
#include "FuzzSupport.h"
#include "pdf/TrueTypeFont.h"
#include "quill/QuillPdf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    quill::TrueTypeMetrics ansi, mac;
    const quill::Error error = quill::ReadTrueType(bytes, false, ansi);
    kvfuzz::Require(error.number == quill::ReadTrueType(bytes, true, mac).number,
                    "the encoding decides whether a font is refused");
    kvfuzz::Require(error.number == 0 || error.number == 5 || error.number == 9, "reader error " + error.description);
    if (error) return 0;

    const auto font = kvfuzz::Scratch() / "font.ttf", out = kvfuzz::Scratch() / "truetype.pdf";
    kvfuzz::WriteFile(font, bytes);
    quill::QuillPdf pdf;
    pdf.SetFixedCreationDate("D:20180331120000Z");
    pdf.BeginDoc(out.string());
    pdf.BeginPage();
    const std::string key = pdf.AddFont(font.string(), size % 3 ? "" : "Fuzzed", true,
                                        size % 2 ? quill::Encoding::MacRoman : quill::Encoding::WinAnsi);
    kvfuzz::Require(!key.empty() && pdf.ErrNumber() == 0, "accepted font refused by AddFont: " + pdf.ErrDescription());
    pdf.SetFont(key, 11);
    pdf.DrawText(10, 20, "Tesoreria \xE8 \x80 99,50 \x01\xFF", quill::Align::Left);
    pdf.WriteTextLn(std::string(reinterpret_cast<const char*>(data), std::min<size_t>(size, 40)));
    (void)pdf.TextLength("Wg\xE0");
    pdf.EndDoc();
    const std::string problem = kvfuzz::CheckPdf(kvfuzz::ReadFile(out));
    kvfuzz::Require(problem.empty(), "AddFont document: " + problem);
    return 0;
}
