// A TrueType font file from outside, read by AddFont (embedded and not), used for text, and the
// document still well formed after EndDoc.
#include "FuzzSupport.h"
#include "quill/QuillPdf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto font = kvfuzz::Scratch() / "font.ttf", out = kvfuzz::Scratch() / "truetype.pdf";
    kvfuzz::WriteFile(font, std::string(reinterpret_cast<const char*>(data), size));
    for (const bool embed : {false, true}) {
        quill::QuillPdf pdf;
        pdf.SetFixedCreationDate("D:20180331120000Z");
        pdf.BeginDoc(out.string());
        pdf.BeginPage();
        const std::string key = pdf.AddFont(font.string(), embed ? "" : "Fuzzed", embed,
                                            size % 2 ? quill::Encoding::MacRoman : quill::Encoding::WinAnsi);
        if (!key.empty()) {
            pdf.SetFont(key, 11);
            pdf.DrawText(10, 20, "Tesoreria \xE8 \x80 99,50 \x01\xFF", quill::Align::Left);
            pdf.WriteTextLn(std::string(reinterpret_cast<const char*>(data), std::min<size_t>(size, 40)));
            (void)pdf.TextLength("Wg\xE0");
        }
        pdf.EndDoc();
        const std::string problem = kvfuzz::CheckPdf(kvfuzz::ReadFile(out));
        kvfuzz::Require(problem.empty(), "AddFont document: " + problem);
    }
    return 0;
}
