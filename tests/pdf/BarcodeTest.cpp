// Barcodes: every symbology drawn, rendered and read back by zbarimg; the
// POSTNET bars against the published table; extents; refused codes; the
// writer's state around the human-readable text.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "pdf/PdfTestSupport.h"

namespace quill {
namespace {

using namespace pdftest;

// The page rendered at 300 dpi and read by zbarimg. zbar reads Code 39 in
// the 43 characters only: full ASCII codes come back as their pairs.
std::string Decode(const Doc& doc) {
    const std::string png = TempPath("code");
    RunCommand("pdftoppm -r 300 -png -singlefile " + Quoted(doc.path) + " " + Quoted(png));
    std::string out = RunCommand("zbarimg --nodbus --raw -q " + Quoted(png + ".png")).output;
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

std::string Printable() {
    std::string s;
    for (char c = 32; c < 127; ++c) s += c;
    return s;
}
std::string Pairs() {
    std::string s;
    for (int i = 0; i < 100; ++i) s += std::to_string(100 + i).substr(1);
    return s;
}

TEST(Barcode, ZbarReadsWhatWasDrawn) {
    struct Case {
        int type;
        std::string code;
        bool check;
        std::string decoded;
    };
    const Case cases[] = {
        {0, "978020137962", false, "9780201379624"},
        {0, "4006381333935", false, "4006381333931"},  // a wrong check digit is replaced
        {5, "9638507", false, "96385074"},
        {1, "CODE-39. XY", false, "CODE-39. XY"},
        {1, "Quill $/+%*!~\x7f@`{\x01:;[", false, "Q+U+I+L+L /D/O/K/E/J/A%S%T%V%W%P$A/Z%F%K"},
        {1, "KVTESO12", true, "KVTESO12K"},
        {2, "12345678", true, "0123456784"},  // check digit 4, then a leading zero
        {2, "12345", false, "012345"},
        {4, "AB12345678", false, "AB12345678"},
        {4, "12345x9876543210", false, "12345x9876543210"},
        {4, Printable(), false, Printable()},
        {4, Pairs(), false, Pairs()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const Doc doc = WriteDoc([&](QuillPdf& p) {
            p.SetPaperSize(Paper::Custom, 1400, 200), p.BeginPage();
            EXPECT_GT(p.DrawBarCode(static_cast<Barcode>(c.type), c.code, 40, 40, true, 1, 0, c.check), 0);
        });
        EXPECT_EQ(Decode(doc), c.decoded);
    }
}

std::string Drawn(int type, const std::string& code, float x = 0) {
    return Content([&](QuillPdf& p) { EXPECT_EQ(p.DrawBarCode(static_cast<Barcode>(type), code, x, 0, true), 0) << code; });
}

TEST(Barcode, RefusedCodesDrawNothing) {
    const std::pair<int, std::string> cases[] = {
        {6, "123"}, {-1, "123"}, {0, "97802013796"}, {0, "97802013796X"}, {0, "97802013796212"}, {5, "123456"}, {5, "123456789"}, {2, ""}, {2, "12a"}, {3, "1234"}, {3, "1234a"}, {3, "12345-678x"}, {1, ""}, {1, "caff\xE8"}, {4, ""}, {4, "A\xC6"}, {4, "tab\t"}};
    for (const auto& [type, code] : cases) EXPECT_EQ(Drawn(type, code), "") << type << code;
    EXPECT_EQ(Drawn(0, "978020137962", std::nanf("")), "");
}

TEST(Barcode, PostnetBarsAndExtents) {
    // Full (9 pt) and half (3.6 pt, on the same bottom line) bars: frame, digits, check digit, frame.
    const std::pair<std::string, std::string> postnet[] = {
        {"12344", "1 00011 00101 00110 01001 01001 01100 1"},
        {"12345-6780", "1 00011 00101 00110 01001 01010 01100 10001 10010 11000 01001 1"}};
    for (const auto& [code, bars] : postnet) {
        std::string seen;
        const std::string content = Content([&](QuillPdf& p) { p.DrawBarCode(Barcode::Postnet, code, 0, 0, false, 1); });
        static const std::regex bar(R"((\S+) (\S+) 1.44 (\S+) re f\*)");
        for (std::sregex_iterator it(content.begin(), content.end(), bar), end; it != end; ++it)
            seen += (*it)[2] == "0" && (*it)[3] == "9" ? "1" : (*it)[2] == "5.4" && (*it)[3] == "3.6" ? "0"
                                                                                                      : "?";
        EXPECT_EQ(seen, std::regex_replace(bars, std::regex(" "), "")) << code;
    }
    // Default bar heights (zoom 0.8): EAN-13 64.8, EAN-8 48.96; below the text's height: one module.
    const std::string ean13 = Content([](QuillPdf& p) { p.DrawBarCode(Barcode::Ean13, "978020137962", 0, 0); });
    const std::string ean8 = Content([](QuillPdf& p) { p.DrawBarCode(Barcode::Ean8, "9638507", 0, 0); });
    EXPECT_NE(ean13.find(" 51.84 re f*"), std::string::npos);
    EXPECT_NE(ean8.find(" 39.168 re f*"), std::string::npos);
    const std::string low = Content([](QuillPdf& p) { p.DrawBarCode(Barcode::Code128, "1", 0, 0, true, 1, 4); });
    EXPECT_TRUE(low.starts_with("7.2 0 0.72 0.72 re"));
    // Widths with both quiet zones, in points, drawn in centimetres.
    struct Case {
        int type;
        const char* code;
        float zoom;
        bool check;
        double points;
    };
    const Case cases[] = {
        {0, "978020137962", 1, false, 113 * 0.936}, {5, "9638507", 1, false, 85 * 0.936}, {4, "1234", 5, false, 76 * 1.44},  // start C, 12, 34, check, stop; zoom at most 2
        {4, "A12", 0, false, 87 * 0.576},  // subset B throughout; zoom at least 0.8
        {4, "AB12345678", 1, false, 131 * 0.72},  // B, B, switch to C, four pairs
        {4, "AB1234", 1, false, 109 * 0.72},  // four digits at the end are worth subset C
        {1, "A", 1, false, 66 * 0.72},
        {1, "A", 1, true, 82 * 0.72},  // 10 + 15 + 1 + 15 + 1 + 15 + 9
        {2, "123", 1, true, 56 * 0.72},
        {2, "12345", 1, false, 74 * 0.72},
        {3, "12345", 1, false, 127.44},
        {3, "12345-6789", 1, false, 199.44}};
    for (const Case& c : cases) {
        WriteDoc([&](QuillPdf& p) {
            p.SetScale(Unit::Centimetres), p.BeginPage();
            EXPECT_NEAR(p.DrawBarCode(static_cast<Barcode>(c.type), c.code, 1, 1, false, c.zoom, 0, c.check) * 28.346457, c.points, 1e-3)
                << c.code;
        });
    }
}

TEST(Barcode, TextLeavesTheWriterAsItWas) {
    const Doc doc = WriteDoc([](QuillPdf& p) {
        p.BeginPage(), p.DrawBarCode(Barcode::Code39, "A", 0, 0, true);
        EXPECT_EQ(p.TextLength("abc"), 0);  // no font before, none after
        p.SetScale(Unit::Centimetres), p.SetFont("Times", 12, FontStyle::Bold), p.SetColorLine("Blue"), p.SetLineWidth(0.1f);
        p.SetXY(3, 4);
        const float length = p.TextLength("abc");
        p.DrawBarCode(Barcode::Ean13, "978020137962", 1, 1, true, 1, 2);  // 2 cm high with the text
        EXPECT_EQ(p.TextLength("abc"), length);
        EXPECT_NEAR(p.GetX(), 3, 1e-5);
        EXPECT_NEAR(p.GetY(), 4, 1e-5);
    });
    const std::string content = RawContent(doc.bytes);
    // Guard bars as high as the whole; data bars 56.693 - 4.68 high: first left digit 7 in set A
    // (0111011), then the first right digit 3 in set C (1000010).
    EXPECT_NE(content.find("\r38.642 28.346 0.936 56.693 re f*\r40.514 28.346 0.936 56.693 re f*\r"),
              std::string::npos);
    EXPECT_NE(content.find("\r42.386 28.346 2.808 52.013 re f*\r46.13 28.346 1.872 52.013 re f*\r"
                           "85.442 28.346 0.936 52.013 re f*\r"),
              std::string::npos);
    EXPECT_TRUE(content.ends_with("0 0 1 RG\r0 0 0 rg\r2.835 w\r")) << content.substr(content.size() - 40);
    EXPECT_TRUE(content.starts_with(
        "1 0 0 -1 0 842 cm \r0 0 0 rg\r0 0 0 RG\rq\r0 J [] 0 d\r"
        "0.576 w\r6.048 0 m 6.048 11.52 l S\r"));
    std::string words;
    for (const Word& w : PdfWords(doc.path)) words += w.text + "@" + std::to_string(std::lround(w.xMin)) + " ";
    EXPECT_EQ(words, "A@17 9@31 780201@43 379624@87 ");
}

}  // namespace
}  // namespace quill
