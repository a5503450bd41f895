// Fonts, text measuring and text runs: content written, text extracted by
// poppler, and positions of right-aligned and centred text.
#include <gtest/gtest.h>

#include <functional>

#include "pdf/PdfTestUtil.h"
#include "pdf/QuillPdf.h"

namespace quill {
namespace {

using pdftest::PageContents;
using pdftest::QpdfClean;
using pdftest::ReadFile;
using pdftest::TempDir;

struct Written {
    std::string bytes;
    std::string content;  // page 1 content after the frame and black colours
    std::string path;
};

Written Write(TempDir& dir, const std::function<void(QuillPdf&)>& body, int scaleMode = 0) {
    Written w;
    w.path = dir.File("t.pdf");
    QuillPdf pdf;
    pdf.SetScale(scaleMode);
    pdf.BeginDoc(w.path);
    pdf.BeginPage();
    body(pdf);
    pdf.EndDoc();
    std::string report;
    EXPECT_TRUE(QpdfClean(w.path, &report)) << report;
    w.bytes = ReadFile(w.path);
    const auto contents = PageContents(w.bytes);
    const std::string frame = "1 0 0 -1 0 842 cm \r0 0 0 rg\r0 0 0 RG\r";
    if (!contents.empty() && contents[0].rfind(frame, 0) == 0) w.content = contents[0].substr(frame.size());
    return w;
}

size_t Count(const std::string& haystack, const std::string& needle) {
    size_t n = 0;
    for (size_t p = 0; (p = haystack.find(needle, p)) != std::string::npos; p += needle.size()) ++n;
    return n;
}

TEST(QuillPdfText, SetFontKeysAndOneObjectPerFont) {
    TempDir dir;
    const Written w = Write(dir, [](QuillPdf& p) {
        p.SetFont("Times New Roman", 10, 1);
        p.SetFont("Times New Roman", 10, 1);
        p.SetFont("times", 12, 1 | 4);  // same record: underline is not part of the key
        p.SetFont("Helvetica", 10);
        p.SetFont("Arial", 10);
        p.SetFont("Comic Sans", 10);  // unknown names use Arial
        p.SetFont("Courier New", 9, 3);
        p.SetFont("Symbol", 9, 3);  // no variants
        p.SetFont("ZapfDingbats", 9);
        p.SetFont("Arial", 9, 2, 1);
    });
    EXPECT_EQ(Count(w.bytes, "/Type /Font "), 6u);
    EXPECT_NE(w.bytes.find("<< /Type /Font /Subtype /Type1 /Name /TimesNewRoman,Bold /BaseFont /TimesNewRoman,Bold "
                           "/FirstChar 0 /LastChar 255\n/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding>>\n"
                           " >>\nendobj\n"),
              std::string::npos);
    EXPECT_NE(w.bytes.find("/Name /Arial /BaseFont /Arial "), std::string::npos);
    EXPECT_NE(w.bytes.find("/Name /CourierNew,BoldItalic /BaseFont /CourierNew,BoldItalic "), std::string::npos);
    EXPECT_NE(w.bytes.find("/Name /Symbol /BaseFont /Symbol /FirstChar 0 /LastChar 255\n >>"), std::string::npos);
    EXPECT_NE(w.bytes.find("/Name /ZapfDingbats /BaseFont /ZapfDingbats /FirstChar 0 /LastChar 255\n >>"),
              std::string::npos);
    EXPECT_NE(w.bytes.find("/Name /Arial,ItalicMAC /BaseFont /Arial,Italic /FirstChar 0 /LastChar 255\n"
                           "/Encoding << /Type /Encoding /BaseEncoding /MacRomanEncoding>>"),
              std::string::npos);
    EXPECT_NE(w.bytes.find("/Font <</TimesNewRoman,Bold 4 0 R /Arial 5 0 R /CourierNew,BoldItalic 6 0 R "),
              std::string::npos);
}

TEST(QuillPdfText, FontBeforeBeginDocIsWrittenAfterTheHeader) {
    TempDir dir;
    const std::string path = dir.File("early.pdf");
    QuillPdf pdf;
    pdf.SetFont("Courier", 11);
    pdf.BeginDoc(path);
    pdf.BeginPage();
    pdf.DrawText(10, 20, "Presto");
    pdf.EndDoc();
    EXPECT_TRUE(QpdfClean(path));
    EXPECT_EQ(pdftest::CheckXref(ReadFile(path)), "");
    EXPECT_EQ(pdftest::PdfToText(path), "Presto\n\n\f");
}

TEST(QuillPdfText, TextRunContent) {
    TempDir dir;
    const Written w = Write(dir, [](QuillPdf& p) {
        p.SetFont("Courier New", 9);
        p.DrawText(1, 2, "(a)\\b", 1);
    }, 3);
    EXPECT_EQ(w.content,
              "0 0 0 rg\rBT\r/CourierNew 9 Tf 9 TL\r1 0 0 -1 28.346 56.693 Tm\r(\\(a\\)\\\\b) Tj\rET\r0 0 0 rg\r");
}

TEST(QuillPdfText, UnderlineOverlineStrikeAndTextColour) {
    TempDir dir;
    const Written w = Write(dir, [](QuillPdf& p) {
        p.SetColorText("Red");
        p.SetFont("Courier", 16, 4 | 16);
        p.DrawText(10, 100, "abc");
    });
    // Courier: 3 × 600 / 1000 × 16 = 28.8 points.
    EXPECT_EQ(w.content,
              "1 0 0 rg\rBT\r/CourierNew 16 Tf 16 TL\r1 0 0 -1 10 100 Tm\r(abc) Tj\rET\r0 0 0 rg\r"
              "q\r1 0 0 RG\r1 w 1 0 0 1 10 100 cm\r0 2 m 28.8 2 l S\r0 -4.8 m 28.8 -4.8 l S\r0 0 0 RG\rQ\r");
}

TEST(QuillPdfText, MeasuringAndCurrentPoint) {
    QuillPdf pdf;
    EXPECT_EQ(pdf.TextLength("abc"), 0);  // no font yet
    EXPECT_EQ(pdf.TextHeight(), 0);
    pdf.SetFont("Courier New", 10);
    EXPECT_FLOAT_EQ(pdf.TextLength(""), 0);
    EXPECT_FLOAT_EQ(pdf.TextLength("abcd"), 24);
    EXPECT_FLOAT_EQ(pdf.TextHeight(), 11.33f);
    pdf.SetWordSpacing(2);
    pdf.SetCharSpacing(0.5f);
    EXPECT_FLOAT_EQ(pdf.TextLength("   "), 3 * 6 + 3 * 2 + 3 * 0.5f);
    pdf.SetTextHorizontalScaling(50);
    EXPECT_FLOAT_EQ(pdf.TextLength("ab"), (12 + 1) * 0.5f);
    pdf.SetTextHorizontalScaling(100);
    pdf.SetWordSpacing(0);
    pdf.SetCharSpacing(0);
    pdf.SetFont("Arial", 10);
    EXPECT_FLOAT_EQ(pdf.TextLength("W"), 9.44f);  // published Helvetica width of W: 944
    pdf.SetScale(3);
    EXPECT_NEAR(pdf.TextHeight(), 12.21 / 28.346457, 1e-5);

    pdf.SetScale(0);
    pdf.SetFont("Courier New", 10);
    pdf.DrawText(100, 50, "abcd", 2);  // right: ends at 100, point at 100 + width
    EXPECT_FLOAT_EQ(pdf.GetX(), 124);
    EXPECT_FLOAT_EQ(pdf.GetY(), 50);
    pdf.WriteTextLn("   ");  // blank: X back to 0, Y not advanced
    EXPECT_FLOAT_EQ(pdf.GetX(), 0);
    EXPECT_FLOAT_EQ(pdf.GetY(), 50);
    pdf.SetXY(5, 50);
    pdf.WriteTextLn("riga");
    EXPECT_FLOAT_EQ(pdf.GetX(), 0);
    EXPECT_FLOAT_EQ(pdf.GetY(), 50 + 11.33f);
    pdf.SetTextLineSpacing(2);
    pdf.WriteTextLn("riga");
    EXPECT_FLOAT_EQ(pdf.GetY(), 50 + 11.33f * 3);
    pdf.WriteText("ab");
    EXPECT_FLOAT_EQ(pdf.GetX(), 12);
}

TEST(QuillPdfText, RaisedAndLoweredTextRestoreSizeAndBaseline) {
    TempDir dir;
    const Written w = Write(dir, [](QuillPdf& p) {
        p.SetFont("Courier", 10);
        p.SetXY(100, 100);
        p.WriteText("x", 2, 50);  // lowered by (10 + 5) × 0.3
        p.WriteText("y", 1, 50);  // 5 × 0.3 − 11.33 / 2 below the line
        p.WriteText("z");
    });
    EXPECT_NE(w.content.find("/CourierNew 5 Tf 5 TL\r1 0 0 -1 100 104.5 Tm\r(x) Tj"), std::string::npos) << w.content;
    EXPECT_NE(w.content.find("/CourierNew 5 Tf 5 TL\r1 0 0 -1 103 95.835 Tm\r(y) Tj"), std::string::npos) << w.content;
    EXPECT_NE(w.content.find("/CourierNew 10 Tf 10 TL\r1 0 0 -1 106 100 Tm\r(z) Tj"), std::string::npos) << w.content;
}

TEST(QuillPdfText, PopplerReadsExactlyTheTextDrawn) {
    TempDir dir;
    const Written w = Write(dir, [](QuillPdf& p) {
        p.SetFont("Courier New", 10);
        p.DrawText(50, 100, "Totale (TF14) \\ caff\xE8 citt\xE0 \x80 100");
        p.SetFont("Times New Roman", 12, 1);
        p.DrawText(50, 150, "Societ\xE0 \xC9lite");
    });
    EXPECT_EQ(pdftest::PdfToText(w.path),
              "Totale (TF14) \\ caff\xC3\xA8 citt\xC3\xA0 \xE2\x82\xAC 100\n\n"
              "Societ\xC3\xA0 \xC3\x89lite\n\n\f");
}

TEST(QuillPdfText, RightAndCentredAlignmentSeenByPoppler) {
    TempDir dir;
    const Written w = Write(dir, [](QuillPdf& p) {
        p.SetScale(3);
        p.SetFont("Courier New", 10);
        p.DrawText(10, 3, "Destra", 2);
        p.DrawText(10, 5, "Centro", 4);
        p.DrawText(10, 7, "Sinistra", 1);
    });
    const auto words = pdftest::PdfWords(w.path);
    ASSERT_EQ(words.size(), 3u);
    const double x = 10 * 72 / 2.54;
    EXPECT_EQ(words[0].text, "Destra");
    EXPECT_NEAR(words[0].xMax, x, 0.05);
    EXPECT_NEAR(words[0].xMax - words[0].xMin, 36, 0.05);  // 6 × 600 / 1000 × 10
    EXPECT_EQ(words[1].text, "Centro");
    EXPECT_NEAR((words[1].xMin + words[1].xMax) / 2, x, 0.05);
    EXPECT_EQ(words[2].text, "Sinistra");
    EXPECT_NEAR(words[2].xMin, x, 0.05);
}

TEST(QuillPdfText, BlankAndEmptyTextDrawNothing) {
    TempDir dir;
    const Written w = Write(dir, [](QuillPdf& p) {
        p.SetFont("Arial", 10);
        p.DrawText(1, 1, "");
        p.DrawText(1, 1, "    ");
        p.WriteTextLn("");
    });
    EXPECT_EQ(w.content, "");
}

TEST(QuillPdfText, TextWithoutFontUsesArial) {
    TempDir dir;
    const Written w = Write(dir, [](QuillPdf& p) { p.DrawText(10, 20, "Ciao"); });
    EXPECT_NE(w.content.find("/Arial 10 Tf"), std::string::npos);
    EXPECT_EQ(pdftest::PdfToText(w.path), "Ciao\n\n\f");
}

}  // namespace
}  // namespace quill
