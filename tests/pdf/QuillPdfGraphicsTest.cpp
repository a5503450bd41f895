// Graphics operators: the content lines written and what a renderer shows.
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

// Content of the single page drawn by body, after the frame and black colours.
std::string Drawn(const std::function<void(QuillPdf&)>& body, int scaleMode = 0) {
    TempDir dir;
    const std::string path = dir.File("g.pdf");
    QuillPdf pdf;
    pdf.SetScale(scaleMode);
    pdf.BeginDoc(path);
    pdf.BeginPage();
    body(pdf);
    pdf.EndDoc();
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
    const auto contents = PageContents(ReadFile(path));
    if (contents.size() != 1) return "<no content>";
    const std::string frame = "1 0 0 -1 0 842 cm \r0 0 0 rg\r0 0 0 RG\r";
    if (contents[0].rfind(frame, 0) != 0) return "<unexpected frame> " + contents[0];
    return contents[0].substr(frame.size());
}

TEST(QuillPdfGraphics, LineInCentimetres) {
    EXPECT_EQ(Drawn([](QuillPdf& p) { p.DrawLine(1, 1, 2, 1); }, 3), "28.346 28.346 m 56.693 28.346 l\rS\r");
}

TEST(QuillPdfGraphics, PaintOperators) {
    EXPECT_EQ(Drawn([](QuillPdf& p) {
                  p.DrawRect(10, 20, 30, 40, 0);
                  p.DrawRect(10, 20, 30, 40, 2);
                  p.DrawRect(10, 20, 30, 40, 4);
                  p.DrawRect(10, 20, 30, 40, 6);
                  p.DrawRect(10, 20, 30, 40, 5);
                  p.DrawRect(10, 20, 30, 40, 1);
                  p.DrawRect(10, 20, 30, 40, 128 + 5);
                  p.DrawLineTo(50, 60);
              }),
              "10 20 30 40 re\rS\r"
              "10 20 30 40 re\rh S\r"
              "10 20 30 40 re\rB*\r"
              "10 20 30 40 re\rb*\r"
              "10 20 30 40 re\rf*\r"
              "10 20 30 40 re\r"
              "10 20 30 40 re\rW f*\r"
              "50 60 l\rS\r");
}

TEST(QuillPdfGraphics, CurvesAndCurrentPoint) {
    QuillPdf* seen = nullptr;
    float x = 0, y = 0;
    EXPECT_EQ(Drawn([&](QuillPdf& p) {
                  p.MoveTo(1, 2);
                  p.DrawCurve(1, 3, 4, 5, 6, 7, 8);
                  p.DrawCurve(2, 9, 10, 11, 12);
                  p.DrawCurve(3, 13, 14, 15, 16, 0, 0, 4);
                  p.DrawCurve(4, 1, 1, 1, 1);  // unknown type: nothing
                  seen = &p;
                  x = p.GetX();
                  y = p.GetY();
              }),
              "1 2 m\r3 4 5 6 7 8 c\rS\r9 10 11 12 v\rS\r13 14 15 16 y\rB*\r");
    EXPECT_NE(seen, nullptr);
    EXPECT_FLOAT_EQ(x, 15);
    EXPECT_FLOAT_EQ(y, 16);
}

TEST(QuillPdfGraphics, EllipseIsFourBezierQuarters) {
    const std::string c = Drawn([](QuillPdf& p) { p.DrawCircle(100, 100, 50, 0); });
    EXPECT_EQ(c,
              "150 100 m\r"
              "150 72.386 127.614 50 100 50 c\r"
              "72.386 50 50 72.386 50 100 c\r"
              "50 127.614 72.386 150 100 150 c\r"
              "127.614 150 150 127.614 150 100 c\r"
              "S\r");
}

TEST(QuillPdfGraphics, RoundedRectangleAndPolygons) {
    const std::string rounded = Drawn([](QuillPdf& p) { p.DrawRect(0, 0, 100, 50, 0, 10, 2); });
    EXPECT_EQ(rounded,
              "0 0 m\r90 0 l\r95.5 0 100 4.5 100 10 c\r100 50 l\r0 50 l\r0 0 l\rS\r");
    const std::string square = Drawn([](QuillPdf& p) { p.DrawPolygon(100, 100, 10, 4, 0, 2); });
    EXPECT_EQ(square, "110 100 m\r100 90 l\r90 100 l\r100 110 l\rh S\r");
    EXPECT_EQ(Drawn([](QuillPdf& p) { p.DrawPolygon(1, 1, 1, 2); }), "");
    EXPECT_EQ(Drawn([](QuillPdf& p) { p.DrawPolyline({1, 2, 3, 4, 5, 6}, 2); }), "1 2 m\r3 4 l\r5 6 l\rh S\r");
    EXPECT_EQ(Drawn([](QuillPdf& p) { p.DrawArc(0, 0, 10, 10, 0, 90, 45, 0, true); }),
              "0 0 m\r10 0 l\r7.071 -7.071 l\r0 -10 l\r0 0 l\rS\r");
}

TEST(QuillPdfGraphics, LineStylesDashesAndTransforms) {
    EXPECT_EQ(Drawn([](QuillPdf& p) {
                  p.SetLineWidth(0.1f);
                  p.SetLineWidth(-1);  // ignored
                  p.SetDash("dash");
                  p.SetDash(" dashdot ");
                  p.SetDash("0,2;0.1");
                  p.SetDash("SOLID");
                  p.SetLineStyle(0x20 | 2, 4);
              }, 3),
              "2.835 w\r[2.835 ] 0 d\r[2.835 1.417 1.417 1.417 ] 0 d\r[5.669 2.835 ] 0 d\r[ ] 0 d\r1 J\r1 j\r4 M\r");
    EXPECT_EQ(Drawn([](QuillPdf& p) {
                  p.AxisTranslation(10, 20);
                  p.AxisScaling(2, 0.5f);
                  p.AxisRotation(360);
                  p.AxisRotation(90);
                  p.AxisSkewing(45, 0);
                  p.BeginSpace();
                  p.EndSpace();
                  p.BeginSpace(5, 6, 2, 2);
                  p.EndSpace();
              }),
              "1 0 0 1 10 20 cm\r2 0 0 0.5 0 0 cm\r0 -1 1 0 0 0 cm\r1 1 0 1 0 0 cm\rq\rQ\rq\r2 0 0 2 5 6 cm\rQ\r");
}

TEST(QuillPdfGraphics, ColourForms) {
    EXPECT_EQ(Drawn([](QuillPdf& p) {
                  p.SetColorFill("%50");
                  p.SetColorFill("@255;0;0");
                  p.SetColorFill("@0;100;100;0");
                  p.SetColorLine("#00ff80");
                  p.SetColorLine("navy");
                  p.SetColorLine(" Light Blue ");  // unknown name: a pattern
                  p.SetColorFill("Hatch;Red");
                  p.SetColorFill("");  // nothing
                  p.SetColorFill("#12");  // malformed: nothing
                  p.SetColorFill("@1,5;2;3");
              }),
              "0.502 0.502 0.502 rg\r1 0 0 rg\r1 0 0 rg\r0 1 0.502 RG\r0 0 0.502 RG\r"
              "/Pattern CS /LIGHTBLUE SCN\r/xxCSxx cs 1 0 0 /HATCH scn\r0.008 0.008 0.012 rg\r");
}

TEST(QuillPdfGraphics, AlphaStateRaisesVersion) {
    TempDir dir;
    const std::string path = dir.File("alpha.pdf");
    QuillPdf pdf;
    pdf.BeginDoc(path);
    pdf.BeginPage();
    pdf.SetAlpha(150);
    pdf.SetAlpha(-3);
    pdf.SetColorFill("Red");
    pdf.DrawRect(10, 10, 100, 100, 5);
    pdf.EndDoc();
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(bytes.rfind("%PDF-1.4\n", 0), 0u);
    EXPECT_NE(bytes.find("<</Type /ExtGState /ca 1 /CA 1 /BM /Normal >>"), std::string::npos);
    EXPECT_NE(bytes.find("<</Type /ExtGState /ca 0 /CA 0 /BM /Normal >>"), std::string::npos);
    EXPECT_NE(bytes.find("/ExtGState << /GSTATE_1 4 0 R /GSTATE_2 5 0 R  >>"), std::string::npos);
    const auto contents = PageContents(bytes);
    ASSERT_EQ(contents.size(), 1u);
    EXPECT_NE(contents[0].find("/GSTATE_1 gs\r/GSTATE_2 gs\r"), std::string::npos);
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
}

TEST(QuillPdfGraphics, NonFiniteArgumentsWriteNothing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::string c = Drawn([&](QuillPdf& p) {
        p.DrawLine(nan, 0, 1, 1);
        p.DrawRect(0, 0, inf, 1);
        p.DrawCircle(0, 0, nan);
        p.SetLineWidth(inf);
        p.AxisRotation(nan);
        p.DrawArc(0, 0, 1, 1, 0, 90, 0);
    });
    EXPECT_EQ(c, "");
}

TEST(QuillPdfGraphics, RenderedShapesAndColours) {
    TempDir dir;
    const std::string path = dir.File("render.pdf");
    QuillPdf pdf;
    pdf.SetPaperSize(0);
    pdf.BeginDoc(path);
    pdf.BeginPage();
    pdf.SetColorFill("Red");
    pdf.DrawRect(100, 100, 100, 50, 5);  // filled red, no outline
    pdf.SetColorFill("#0000FF");
    pdf.DrawCircle(400, 150, 40, 5);  // filled blue
    pdf.SetLineWidth(6);
    pdf.SetColorLine("Lime");
    pdf.DrawLine(100, 300, 500, 300);  // thick green line
    pdf.SetColorLine("Black");
    pdf.MoveTo(100, 500);
    pdf.DrawCurve(1, 200, 400, 300, 600, 400, 500);  // black curve
    pdf.EndDoc();
    EXPECT_TRUE(QpdfClean(path));
    const pdftest::Image image = pdftest::Render(path);
    ASSERT_EQ(image.width, 596);
    ASSERT_EQ(image.height, 842);
    auto expect = [&](int x, int y, int r, int g, int b) {
        const auto p = image.At(x, y);
        EXPECT_NEAR(p.r, r, 40) << x << "," << y;
        EXPECT_NEAR(p.g, g, 40) << x << "," << y;
        EXPECT_NEAR(p.b, b, 40) << x << "," << y;
    };
    expect(150, 125, 255, 0, 0);    // inside the rectangle (Y measured from the top)
    expect(90, 125, 255, 255, 255); // left of it
    expect(400, 150, 0, 0, 255);    // centre of the circle
    expect(400, 200, 255, 255, 255);
    expect(300, 300, 0, 255, 0);    // on the line
    expect(300, 310, 255, 255, 255);
    expect(250, 500, 0, 0, 0);      // the curve crosses its middle at (250, 500)
}

}  // namespace
}  // namespace quill
