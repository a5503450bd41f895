// Page content: graphics and text operators written out in full, the page
// frame, text measuring, what poppler extracts and renders, number formatting
// and the built-in font widths.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <locale>

#include "pdf/PdfFormat.h"
#include "pdf/PdfTestSupport.h"
#include "pdf/StandardFontMetrics.h"

namespace quill {
namespace {

using namespace pdftest;

void Here(QuillPdf& p) { p.MoveTo(p.GetX(), p.GetY()); }  // shows the current point in the content

struct ContentCase {
    const char* name;
    Steps draw;
    std::string expected;
};

void Check(const std::vector<ContentCase>& cases) {
    for (const ContentCase& c : cases) EXPECT_EQ(Content(c.draw), c.expected) << c.name;
}

TEST(Content, Graphics) {
    const float nan = std::nanf("");
    Check({
        // Points per unit: centimetre 28.346457, inch 72, millimetre 2.8346455, user factor 1.5 (7 and 0 ignored).
        {"scales", [](QuillPdf& p) {
             p.SetScale(Unit::Centimetres), p.DrawLine(1, 1, 2, 1), Here(p);
             p.SetScale(Unit::Inches), p.DrawLineTo(1, 0.5f), Here(p);
             p.SetScale(Unit::Millimetres), p.MoveTo(10, 0), p.SetScale(Unit::UserFactor, 1.5f);
             p.SetScale(static_cast<Unit>(7)), p.SetScale(Unit::UserFactor, 0), p.MoveTo(2, 2);
         },
         "28.346 28.346 m 56.693 28.346 l\rS\r56.693 28.346 m\r72 36 l\rS\r72 36 m\r28.346 0 m\r3 3 m\r"},
        {"paint operators", [](QuillPdf& p) {
             for (int options : {0, 2, 4, 6, 5, 1, 128 + 5}) p.DrawRect(10, 20, 30, 40, static_cast<Paint>(options));
             p.DrawLineTo(50, 60);
         },
         "10 20 30 40 re\rS\r10 20 30 40 re\rh S\r10 20 30 40 re\rB*\r10 20 30 40 re\rb*\r10 20 30 40 re\rf*\r"
         "10 20 30 40 re\r10 20 30 40 re\rW f*\r50 60 l\rS\r"},
        {"curves", [](QuillPdf& p) {
             p.MoveTo(1, 2), p.DrawCurve(Curve::TwoControlPoints, 3, 4, 5, 6, 7, 8), Here(p), p.DrawCurve(Curve::StartTangent, 9, 10, 11, 12), Here(p);
             p.DrawCurve(Curve::EndTangent, 13, 14, 15, 16, 0, 0, Paint::Fill), p.DrawCurve(static_cast<Curve>(4), 1, 1, 1, 1), Here(p);
         },
         "1 2 m\r3 4 5 6 7 8 c\rS\r7 8 m\r9 10 11 12 v\rS\r11 12 m\r13 14 15 16 y\rB*\r15 16 m\r"},
        // k = (sqrt(2) - 1) × 4 / 3 = 0.55228: 27.614 = 50 k, 11.046 = 20 k.
        {"ellipse", [](QuillPdf& p) { p.DrawEllipse(100, 100, 50, 20), p.DrawCircle(0, 0, 1, Paint::NoOutline); },
         "150 100 m\r150 88.954 127.614 80 100 80 c\r72.386 80 50 88.954 50 100 c\r50 111.046 72.386 120 100 120 c\r"
         "127.614 120 150 111.046 150 100 c\rS\r1 0 m\r1 -0.552 0.552 -1 0 -1 c\r-0.552 -1 -1 -0.552 -1 0 c\r"
         "-1 0.552 -0.552 1 0 1 c\r0.552 1 1 0.552 1 0 c\r"},
        // Corner curves with control points 0.55 r from their ends; the radius is at most half the height.
        {"rounded rectangles", [](QuillPdf& p) {
             p.DrawRect(0, 0, 100, 50, Paint::Stroke, 10, Corner::TopRight), p.DrawRect(0, 0, 20, 10, Paint::Fill, 8);
             p.DrawRect(20, 0, -20, 10, Paint::NoOutline, 5, Corner::TopLeft);
             p.DrawRect(0, 0, 10, 10, Paint::Stroke, 5, Corner::None);
         },
         "0 0 m\r90 0 l\r95.5 0 100 4.5 100 10 c\r100 50 l\r0 50 l\r0 0 l\rS\r"
         "5 0 m\r15 0 l\r17.75 0 20 2.25 20 5 c\r20 5 l\r20 7.75 17.75 10 15 10 c\r5 10 l\r2.25 10 0 7.75 0 5 c\r"
         "0 5 l\r0 2.25 2.25 0 5 0 c\rB*\r15 0 m\r0 0 l\r0 10 l\r20 10 l\r20 5 l\r20 2.25 17.75 0 15 0 c\r0 0 10 10 re\rS\r"},
        {"polygons and polylines", [nan](QuillPdf& p) {
             p.DrawPolygon(100, 100, 10, 4, 0, Paint::Close), p.DrawPolygon(1, 1, 1, 2), p.DrawPolygon(0, 0, 10, 3, 90);
             p.DrawPolyline({1, nan, 3, 4}), p.DrawPolyline({1, 2, 3, 4, 5, 6}, Paint::Close), p.DrawPolyline({1, 2, 3});
             p.DrawPolyline({1, 2, 3, 4, 5});
         },
         "110 100 m\r100 90 l\r90 100 l\r100 110 l\rh S\r0 -10 m\r-8.66 5 l\r8.66 5 l\rS\r"
         "1 2 m\r3 4 l\r5 6 l\rh S\r1 2 m\r3 4 l\rS\r"},
        {"arcs", [](QuillPdf& p) {
             p.DrawArc(0, 0, 10, 10, 0, 90, 45, Paint::Stroke, true), p.DrawArc(0, 0, 10, 20, 10, 0), p.DrawArc(0, 0, 1, 1, 0, 90, 0);
         },
         "0 0 m\r10 0 l\r7.071 -7.071 l\r0 -10 l\r0 0 l\rS\r10 0 m\r9.962 -1.743 l\r9.848 -3.473 l\rS\r"},
        {"line styles and dashes", [](QuillPdf& p) {
             p.SetScale(Unit::Centimetres), p.SetLineWidth(0.1f), p.SetLineWidth(-1), p.SetDash("dash"), p.SetDash(" dashdot ");
             p.SetDash("0,2;0.1", 0.5f), p.SetDash("0;0"), p.SetDash("1;x"), p.SetDash("SOLID");
             p.SetLineStyle(LineStyle::RoundCap | LineStyle::RoundJoin, 4), p.SetLineStyle(static_cast<LineStyle>(0x70 | 7), 0.5f);
         },
         "2.835 w\r[2.835 ] 0 d\r[2.835 1.417 1.417 1.417 ] 0 d\r[5.669 2.835 ] 14.173 d\r[ ] 0 d\r[ ] 0 d\r"
         "1 J\r1 j\r4 M\r2 J\r2 j\r"},
        {"transforms", [](QuillPdf& p) {
             p.AxisTranslation(10, 20), Here(p), p.AxisScaling(2, 0.5f), p.AxisRotation(360), p.AxisRotation(90);
             p.AxisSkewing(45, 0), p.BeginSpace(), p.EndSpace(), p.BeginSpace(5, 6, 2, 2), Here(p), p.EndSpace();
             p.BeginSpace(0, 0, 1, 1, -90);
         },
         "1 0 0 1 10 20 cm\r10 20 m\r2 0 0 0.5 0 0 cm\r0 -1 1 0 0 0 cm\r1 1 0 1 0 0 cm\rq\rQ\rq\r2 0 0 2 5 6 cm\r"
         "5 6 m\rQ\rq\r0 1 -1 0 0 0 cm\r"},
        {"colours", [](QuillPdf& p) {
             p.SetColorFill("%50"), p.SetColorFill("@255;0;0"), p.SetColorFill("@10;100;90;5"), p.SetColorLine("#00ff80");
             p.SetColorLine("navy"), p.SetColorLine(" Light Blue "), p.SetColorFill("Hatch;Red"), p.SetColorFill("");
             p.SetColorFill("#12"), p.SetColorFill("@1,5;2;3"), p.SetColorText("Blue");
         },
         "0.502 0.502 0.502 rg\r1 0 0 rg\r0.851 0.051 0.051 rg\r0 1 0.502 RG\r0 0 0.502 RG\r/Pattern CS /LIGHTBLUE SCN\r"
         "/xxCSxx cs 1 0 0 /HATCH scn\r0.008 0.008 0.012 rg\r"},
        {"non-finite arguments", [nan](QuillPdf& p) {
             p.DrawLine(nan, 0, 1, 1), p.DrawRect(0, 0, INFINITY, 1), p.DrawCircle(0, 0, nan), p.SetLineWidth(INFINITY);
             p.AxisRotation(nan), p.DrawArc(0, 0, 1, 1, 0, 90, 0), p.DrawText(nan, 0, "x");
         },
         ""},
    });
}

TEST(Content, Text) {
    Check({
        // A blank text only moves the current point.
        {"escaped bold run in centimetres", [](QuillPdf& p) { p.SetScale(Unit::Centimetres), p.SetFont("Courier New", 9, FontStyle::Bold), p.DrawText(1, 2, "(a)\\b"), p.DrawText(2, 3, "  "), Here(p); },
         "0 0 0 rg\rBT\r/CourierNew,Bold 9 Tf 9 TL\r1 0 0 -1 28.346 56.693 Tm\r(\\(a\\)\\\\b) Tj\rET\r0 0 0 rg\r56.693 85.039 m\r"},
        // Courier 16: "abc" is 3 × 0.6 × 16 = 28.8 wide; lines 16/8 below, 0.8 × 16 and 0.3 × 16 above.
        {"lines and colour", [](QuillPdf& p) {
             p.SetColorText("Red"), p.SetFont("Courier", 16, FontStyle::Underline), p.DrawText(10, 100, "abc");
             p.SetColorText("#FF0000"), p.SetFont("Courier", 16, FontStyle::Bold | FontStyle::Overline | FontStyle::Strikeout), p.DrawText(10, 100, "abc");
         },
         "1 0 0 rg\rBT\r/CourierNew 16 Tf 16 TL\r1 0 0 -1 10 100 Tm\r(abc) Tj\rET\r0 0 0 rg\rq\r1 0 0 RG\r1 w 1 0 0 1 10 100 cm\r"
         "0 2 m 28.8 2 l S\r0 0 0 RG\rQ\r1 0 0 rg\rBT\r/CourierNew,Bold 16 Tf 16 TL\r1 0 0 -1 10 100 Tm\r(abc) Tj\rET\r0 0 0 rg\r"
         "q\r1 0 0 RG\r1 w 1 0 0 1 10 100 cm\r0 -12.8 m 28.8 -12.8 l S\r0 -4.8 m 28.8 -4.8 l S\r0 0 0 RG\rQ\r"},
        // Lowered: (10 + 5) × 0.3; raised: 5 × 0.3 − 11.33 / 2; each "x" is 5 × 0.6 wide.
        {"write text", [](QuillPdf& p) {
             p.SetFont("Courier", 10), p.SetXY(100, 100), p.WriteText("x", TextPosition::Lowered, 50), p.WriteText("y", TextPosition::Raised, 50);
             p.WriteText("z", TextPosition::Baseline, 50), p.WriteText("w", static_cast<TextPosition>(4)), p.WriteText("v"), Here(p), p.WriteTextLn("u"), Here(p);
         },
         "0 0 0 rg\rBT\r/CourierNew 5 Tf 5 TL\r1 0 0 -1 100 104.5 Tm\r(x) Tj\rET\r0 0 0 rg\r"
         "0 0 0 rg\rBT\r/CourierNew 5 Tf 5 TL\r1 0 0 -1 103 95.835 Tm\r(y) Tj\rET\r0 0 0 rg\r"
         "0 0 0 rg\rBT\r/CourierNew 5 Tf 5 TL\r1 0 0 -1 106 100 Tm\r(z) Tj\rET\r0 0 0 rg\r"
         "0 0 0 rg\rBT\r/CourierNew 10 Tf 10 TL\r1 0 0 -1 109 100 Tm\r(w) Tj\rET\r0 0 0 rg\r"
         "0 0 0 rg\rBT\r/CourierNew 10 Tf 10 TL\r1 0 0 -1 115 100 Tm\r(v) Tj\rET\r0 0 0 rg\r121 100 m\r"
         "0 0 0 rg\rBT\r/CourierNew 10 Tf 10 TL\r1 0 0 -1 121 100 Tm\r(u) Tj\rET\r0 0 0 rg\r0 111.33 m\r"},
        // Without a font: Arial. Courier after Courier bold is no shortcut to the bold record. "abcd" is 24
        // wide: right ends at 100 (76), centred 88, align 10 acts as 2 and 64 as left.
        {"default font and alignment", [](QuillPdf& p) {
             p.DrawText(10, 20, "Ciao"), p.SetFont("Courier", 10, FontStyle::Bold), p.SetFont("Courier", 10), p.DrawText(100, 50, "abcd", Align::Right);
             Here(p), p.DrawText(100, 50, "abcd", Align::Center);
             p.DrawText(100, 50, "abcd", static_cast<Align>(10)), p.DrawText(100, 50, "abcd", static_cast<Align>(64));
             p.DrawText(1, 1, "  "), Here(p);
         },
         "0 0 0 rg\rBT\r/Arial 10 Tf 10 TL\r1 0 0 -1 10 20 Tm\r(Ciao) Tj\rET\r0 0 0 rg\r"
         "0 0 0 rg\rBT\r/CourierNew 10 Tf 10 TL\r1 0 0 -1 76 50 Tm\r(abcd) Tj\rET\r0 0 0 rg\r124 50 m\r"
         "0 0 0 rg\rBT\r/CourierNew 10 Tf 10 TL\r1 0 0 -1 88 50 Tm\r(abcd) Tj\rET\r0 0 0 rg\r"
         "0 0 0 rg\rBT\r/CourierNew 10 Tf 10 TL\r1 0 0 -1 76 50 Tm\r(abcd) Tj\rET\r0 0 0 rg\r"
         "0 0 0 rg\rBT\r/CourierNew 10 Tf 10 TL\r1 0 0 -1 100 50 Tm\r(abcd) Tj\rET\r0 0 0 rg\r1 1 m\r"},
        // Spacing and scaling operators; a scaling of 0 and a text mode of 8 are ignored.
        {"spacing, scaling and text mode", [](QuillPdf& p) {
             p.SetFont("Courier", 10), p.SetWordSpacing(1), p.SetWordSpacing(0), p.SetTextHorizontalScaling(80);
             p.SetTextHorizontalScaling(100), p.SetCharSpacing(0.5f), p.SetWordSpacing(2), p.SetTextHorizontalScaling(50);
             p.SetTextHorizontalScaling(0), p.SetTextMode(TextMode::Invisible), p.SetTextMode(static_cast<TextMode>(8));
         },
         "1 Tw\r0 Tw\r80 Tz\r100 Tz\r0.5 Tc\r2 Tw\r50 Tz\r3 Tr\r"},
    });
}

TEST(Content, FrameAndClipInCentimetres) {
    // Left 1 cm = 28.346; 842 − 2 cm = 785.307; 596 − 2 cm = 539.307; 842 − 4 cm = 728.614.
    EXPECT_EQ(Content([](QuillPdf& p) { p.DrawLine(1, 1, 2, 1); },
                      [](QuillPdf& p) { p.SetScale(Unit::Centimetres), p.SetPaperSize(Paper::A4), p.SetMargins(1, 1, 2, 2, static_cast<Clip>(1)); }),
              "1 0 0 -1 28.346 785.307 cm \r0 0 539.307 728.614 re W n\r0 0 0 rg\r0 0 0 RG\r"
              "28.346 28.346 m 56.693 28.346 l\rS\r");
    EXPECT_EQ(Content([](QuillPdf&) {}, [](QuillPdf& p) { p.SetPaperSize(Paper::A4Landscape), p.SetMargins(0, 0, 0, 3, static_cast<Clip>(1)); }),
              "1 0 0 -1 0 596 cm \r0 0 842 593 re W n\r0 0 0 rg\r0 0 0 RG\r");  // as the lists: zero margins, clip on
}

TEST(Content, AlphaStates) {
    const Doc doc = WriteDoc([](QuillPdf& p) {
        p.SetAlpha(40);  // no page: still an object
        p.BeginPage();
        p.SetAlpha(150);
        p.SetAlpha(-3);
    });
    EXPECT_EQ(doc.bytes.substr(0, 9), "%PDF-1.4\n");
    EXPECT_NE(doc.bytes.find("\n4 0 obj\n<</Type /ExtGState /ca 0.4 /CA 0.4 /BM /Normal >>\nendobj\n"
                             "5 0 obj\n<</Type /ExtGState /ca 1 /CA 1 /BM /Normal >>\nendobj\n"
                             "6 0 obj\n<</Type /ExtGState /ca 0 /CA 0 /BM /Normal >>\n"),
              std::string::npos);
    EXPECT_NE(doc.bytes.find("/ExtGState << /GSTATE_1 4 0 R /GSTATE_2 5 0 R /GSTATE_3 6 0 R  >> >>"), std::string::npos);
    EXPECT_EQ(RawContent(doc.bytes), "1 0 0 -1 0 842 cm \r0 0 0 rg\r0 0 0 RG\r/GSTATE_2 gs\r/GSTATE_3 gs\r");
}

TEST(Content, Measuring) {
    QuillPdf pdf;
    EXPECT_TRUE(pdf.TextLength("abc") == 0 && pdf.TextHeight() == 0);  // no font yet
    pdf.SetFont("Courier New", 10);
    EXPECT_TRUE(pdf.TextLength("") == 0 && pdf.TextLength("abcd") == 24);
    EXPECT_FLOAT_EQ(pdf.TextHeight(), 11.33f);
    pdf.SetWordSpacing(2), pdf.SetCharSpacing(0.5f);
    EXPECT_FLOAT_EQ(pdf.TextLength("  "), 2 * (6 + 2 + 0.5f));
    pdf.SetTextHorizontalScaling(50);
    EXPECT_FLOAT_EQ(pdf.TextLength("ab"), (12 + 1) * 0.5f);
    for (const auto& [font, height] : {std::pair{"Times", 11.07f}, {"Symbol", 12.25f}, {"ZapfDingbats", 12.21f}})
        EXPECT_FLOAT_EQ((pdf.SetFont(font, 10), pdf.TextHeight()), height) << font;
    pdf.SetFont("Arial", 10), pdf.SetFontSize(20), pdf.SetFontSize(-1), pdf.SetScale(Unit::Centimetres);
    EXPECT_NEAR(pdf.TextHeight(), 24.42 / 28.346457, 1e-5);
    EXPECT_NEAR(pdf.TextLength("W"), (18.88 + 0.5) * 0.5 / 28.346457, 1e-5);  // Helvetica "W" is 944
}

TEST(Content, PopplerReadsAndRendersThePage) {
    const Doc doc = WriteDoc([](QuillPdf& p) {
        p.BeginPage();
        p.SetScale(Unit::Centimetres);
        p.SetFont("Courier New", 10);
        p.DrawText(10, 3, "Destra", Align::Right), p.DrawText(10, 5, "Centro", Align::Center), p.DrawText(10, 7, "Sinistra");
        p.DrawText(2, 9, "Totale (TF14) \\ caff\xE8 citt\xE0 \x80 100");
        p.SetFont("Times New Roman", 12, FontStyle::Bold);
        p.DrawText(2, 11, "Societ\xE0 \xC9lite");
        p.SetScale(Unit::Points);
        p.SetColorFill("Red"), p.DrawRect(100, 400, 100, 50, Paint::Fill | Paint::NoOutline);
        p.SetColorFill("#0000FF"), p.DrawCircle(400, 450, 40, Paint::Fill | Paint::NoOutline);
        p.SetLineWidth(6), p.SetColorLine("Lime"), p.DrawLine(100, 600, 500, 600);
        p.SetColorLine("Black"), p.MoveTo(100, 800), p.DrawCurve(Curve::TwoControlPoints, 200, 700, 300, 900, 400, 800);
    });
    EXPECT_EQ(RunCommand("pdftotext -enc UTF-8 " + Quoted(doc.path) + " -").output,
              "Destra\n\nCentro\n\nSinistra\n\nTotale (TF14) \\ caff\xC3\xA8 citt\xC3\xA0 \xE2\x82\xAC 100\n\n"
              "Societ\xC3\xA0 \xC3\x89lite\n\n\f");
    const auto words = PdfWords(doc.path);
    ASSERT_GE(words.size(), 3u);
    const double x = 10 * 72 / 2.54;  // Courier 10: each word is 36 or 48 points wide
    EXPECT_EQ(words[0].text, "Destra");
    EXPECT_TRUE(std::fabs(words[0].xMin + 36 - x) < 0.05 && std::fabs(words[0].xMax - x) < 0.05);
    EXPECT_TRUE(std::fabs(words[1].xMin + 18 - x) < 0.05 && std::fabs(words[2].xMin - x) < 0.05);
    const Image image = Render(doc.path);
    ASSERT_TRUE(image.width == 596 && image.height == 842);
    const struct { int x, y, rgb[3]; } pixels[] = {// Y from the top
                                                   {150, 425, {255, 0, 0}},
                                                   {90, 425, {255, 255, 255}},
                                                   {400, 450, {0, 0, 255}},
                                                   {400, 500, {255, 255, 255}},
                                                   {300, 600, {0, 255, 0}},
                                                   {300, 610, {255, 255, 255}},
                                                   {250, 800, {0, 0, 0}}};
    for (const auto& px : pixels) {
        for (int ch = 0; ch < 3; ++ch)
            EXPECT_NEAR(static_cast<uint8_t>(image.rgb[(px.y * 596 + px.x) * 3 + ch]), px.rgb[ch], 40) << px.x << "," << px.y;
    }
}

TEST(Format, NumbersAndStrings) {
    const std::pair<double, const char*> numbers[] = {
        {0.0005, "0.001"}, {-0.0005, "-0.001"}, {-0.0004, "0"}, {-0.0, "0"}, {2.5, "2.5"}, {10.05, "10.05"}, {0.1, "0.1"}, {-2.0 / 3, "-0.667"}, {842, "842"}, {9999.999, "9999.999"}, {12345.678, "12345.68"}, {-12345.678, "-12345.68"}, {1234567.8, "1234568"}, {1e9, "1000000000"}, {NAN, "0"}, {-INFINITY, "0"}, {1e300, "0"}};
    // A decimal comma in the global locale changes nothing (the whole suite also runs under it_IT).
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new Comma));
    for (const auto& [value, text] : numbers) EXPECT_EQ(FormatNumber(value), text) << value;
    std::locale::global(previous);
    EXPECT_EQ(EscapeString(std::string("(a)\\b\r\n\0\xE8", 9)), std::string("\\(a\\)\\\\b\\r\\n\0\xE8", 14));
}

TEST(Format, BuiltInFontWidths) {
    const std::filesystem::path root = KV_SOURCE_DIR;
    const std::string out = TempPath("metrics.cpp");  // the generator run again gives the committed tables
    const kvtest::CommandResult gen = RunCommand("python3 " + Quoted(root / "tools/gen_font_metrics.py") + " --output " + Quoted(out));
    EXPECT_EQ(gen.status, 0) << gen.output;
    EXPECT_TRUE(ReadFile(out) == ReadFile((root / "src/pdf/StandardFontMetrics.cpp").string()));
    // Courier 600 everywhere; Times "W" regular, bold, italic, bold italic; Helvetica "W" and control codes.
    for (int code = 0; code < 256; ++code) EXPECT_EQ(StandardWidths(StdFamily::CourierNew, code & 3)[code], 600);
    const int timesW[] = {944, 1000, 833, 889}, arialControl[] = {272, 311, 259, 311};
    for (int style = 0; style < 4; ++style) {
        EXPECT_EQ(StandardWidths(StdFamily::TimesNewRoman, style | 4 | 16)['W'], timesW[style]);
        EXPECT_EQ(StandardWidths(StdFamily::Arial, style | 8)[0], arialControl[style]);
        EXPECT_EQ(&StandardWidths(StdFamily::Symbol, style), &StandardWidths(StdFamily::Symbol, 0));
        EXPECT_EQ(&StandardWidths(StdFamily::ZapfDingbats, style), &StandardWidths(StdFamily::ZapfDingbats, 0));
    }
    EXPECT_TRUE(StandardWidths(StdFamily::Arial, 0)['W'] == 944 && StandardWidths(StdFamily::Symbol, 0)['a'] == 631 &&
                StandardWidths(StdFamily::ZapfDingbats, 0)['!'] == 974);  // Symbol alpha, ZapfDingbats a1
}

}  // namespace
}  // namespace quill
