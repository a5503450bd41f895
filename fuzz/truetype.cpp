// A TrueType font file from outside, read by the font reader with both encodings. A font it accepts is
// then added by AddFont, used for text, and the document must keep its structure after EndDoc. Refused
// fonts, most inputs, cost no document; of the large accepted ones (the real font seed's mutations) one
// in eight, picked by its bytes, goes through one, not embedded: what the document holds of a font
// beyond its bytes (name, widths, descriptor) does not grow with it.
#include "FuzzSupport.h"
#include "pdf/TrueTypeFont.h"
#include "quill/QuillPdf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    quill::TrueTypeMetrics ansi, mac;
    const quill::Error error = quill::ReadTrueType(bytes, false, ansi);
    kvfuzz::Require(error.number == quill::ReadTrueType(bytes, true, mac).number,
                    "the encoding decides whether a font is refused");
    kvfuzz::Require(error.number == 0 || error.number == 5 || error.number == 9, "reader error " + error.description);
    if (error) return 0;
    kvfuzz::Require(ansi.fullName == mac.fullName, "the encoding changes the font's name");
    const bool large = size > (64u << 10);
    unsigned pick = static_cast<unsigned>(size);
    for (size_t i = 1; i < 16; ++i) pick += data[size * i / 16];
    if (large && pick % 8 != 0) return 0;

    const auto font = kvfuzz::Scratch() / "font.ttf", out = kvfuzz::Scratch() / "truetype.pdf";
    kvfuzz::WriteFile(font, std::string(bytes));
    quill::QuillPdf pdf;
    pdf.SetFixedCreationDate("D:20180331120000Z");
    pdf.BeginDoc(out.string());
    pdf.BeginPage();
    const std::string key = pdf.AddFont(font.string(), size % 3 ? "" : "Fuzzed", !large,
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
