// Page geometry, the page dictionary and the page content frame.
#include <gtest/gtest.h>

#include "pdf/PdfTestUtil.h"
#include "pdf/QuillPdf.h"

namespace quill {
namespace {

using pdftest::CheckXref;
using pdftest::PageContents;
using pdftest::QpdfClean;
using pdftest::ReadFile;
using pdftest::TempDir;

struct PaperCase {
    int index;
    const char* box;
};

TEST(QuillPdfPages, EveryPaperSizeGivesItsMediaBoxAndAValidFile) {
    const PaperCase cases[] = {
        {-8, "2384 3371"}, {-7, "3371 2384"}, {-6, "1685 2384"}, {-5, "2384 1685"}, {-4, "1192 1685"},
        {-3, "1685 1192"}, {-2, "842 1192"},  {-1, "1192 842"},  {0, "596 842"},    {1, "842 596"},
        {2, "421 596"},    {3, "596 421"},    {4, "298 421"},    {5, "421 298"},    {6, "210 298"},
        {7, "298 210"},    {8, "612 792"},    {9, "792 612"},    {10, "792 1224"},  {11, "1224 792"},
        {12, "612 1008"},  {13, "1008 612"},  {14, "396 612"},   {15, "612 396"},   {16, "522 756"},
        {17, "756 522"}};
    TempDir dir;
    const std::string path = dir.File("papers.pdf");
    QuillPdf pdf;
    pdf.BeginDoc(path);
    for (const PaperCase& c : cases) {
        pdf.SetPaperSize(c.index);
        pdf.BeginPage();
        pdf.DrawRect(10, 10, 100, 50);
    }
    pdf.EndDoc();
    const std::string bytes = ReadFile(path);
    size_t pos = 0;
    for (const PaperCase& c : cases) {
        const std::string box = std::string("[0 0 ") + c.box + "]\r";
        const std::string expected = "/MediaBox " + box + "/CropBox " + box + "/BleedBox " + box;
        pos = bytes.find(expected, pos);
        EXPECT_NE(pos, std::string::npos) << "paper index " << c.index;
        if (pos == std::string::npos) break;
        ++pos;
    }
    EXPECT_EQ(CheckXref(bytes), "");
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
}

TEST(QuillPdfPages, OutOfRangeSettersChangeNothing) {
    QuillPdf pdf;
    pdf.SetPaperSize(18);
    pdf.SetPaperSize(-9);
    pdf.SetPaperSize(255, -5, 10);
    EXPECT_FLOAT_EQ(pdf.GetPageWidth(), 596);
    EXPECT_FLOAT_EQ(pdf.GetPageHeight(), 842);
    pdf.SetScale(7);
    pdf.SetScale(255, 0);
    EXPECT_FLOAT_EQ(pdf.GetPageWidth(), 596);
    pdf.SetScale(1);
    EXPECT_FLOAT_EQ(pdf.GetPageWidth(), 596.0f / 72);
    pdf.SetScale(255, 2);
    pdf.SetPaperSize(255, 100, 200);
    EXPECT_FLOAT_EQ(pdf.GetPageWidth(), 100);
    pdf.SetScale(0);
    EXPECT_FLOAT_EQ(pdf.GetPageHeight(), 400);
    pdf.SetMargins(10, -1, 0, 0);  // a negative margin: ignored
    EXPECT_FLOAT_EQ(pdf.GetPageWidth(true), 200);
    pdf.SetMargins(10, 20, 30, 40);
    EXPECT_FLOAT_EQ(pdf.GetPageWidth(true), 170);
    EXPECT_FLOAT_EQ(pdf.GetPageHeight(true), 330);
}

TEST(QuillPdfPages, FlipAndClipLinesInCentimetres) {
    TempDir dir;
    const std::string path = dir.File("margins.pdf");
    QuillPdf pdf;
    pdf.SetScale(3);
    pdf.SetPaperSize(0);
    pdf.SetMargins(1, 1, 2, 2, 1);
    pdf.BeginDoc(path);
    pdf.BeginPage();
    pdf.DrawLine(1, 1, 2, 1);
    pdf.EndDoc();
    const auto contents = PageContents(ReadFile(path));
    ASSERT_EQ(contents.size(), 1u);
    EXPECT_EQ(contents[0],
              "1 0 0 -1 28.346 785.307 cm \r"
              "0 0 539.307 728.614 re W n\r"
              "0 0 0 rg\r"
              "0 0 0 RG\r"
              "28.346 28.346 m 56.693 28.346 l\r"
              "S\r");
    EXPECT_TRUE(QpdfClean(path));
}

TEST(QuillPdfPages, ListSetUpWithoutClipMargins) {
    TempDir dir;
    const std::string path = dir.File("lists.pdf");
    QuillPdf pdf;
    pdf.SetScale(3);
    pdf.SetPaperSize(1);
    pdf.SetMargins(0, 0, 0, 0, 1);
    pdf.BeginDoc(path);
    pdf.BeginPage();
    pdf.EndDoc();
    const std::string bytes = ReadFile(path);
    EXPECT_NE(bytes.find("/MediaBox [0 0 842 596]"), std::string::npos);
    const auto contents = PageContents(bytes);
    ASSERT_EQ(contents.size(), 1u);
    EXPECT_EQ(contents[0].rfind("1 0 0 -1 0 596 cm \r0 0 842 596 re W n\r", 0), 0u);
}

TEST(QuillPdfPages, ViewsRotateThePage) {
    TempDir dir;
    const std::string path = dir.File("views.pdf");
    QuillPdf pdf;
    pdf.SetPageView(1);
    pdf.BeginDoc(path);
    pdf.BeginPage();  // 270 by default
    pdf.BeginPage();
    pdf.SetPageView(2);  // this page only
    pdf.BeginPage();
    pdf.SetPageView(3);
    pdf.SetPageView(9);  // ignored: stays 90
    pdf.BeginPage();     // back to the default
    pdf.EndPage();
    pdf.SetPageView(0);  // new default
    pdf.BeginPage();
    pdf.EndDoc();
    const std::string bytes = ReadFile(path);
    std::vector<std::string> rotations;
    size_t pos = 0;
    while ((pos = bytes.find("/Type /Page /Parent", pos)) != std::string::npos) {
        const size_t end = bytes.find("endobj", pos);
        const std::string dict = bytes.substr(pos, end - pos);
        const size_t r = dict.find("/Rotate ");
        rotations.push_back(r == std::string::npos ? "none" : dict.substr(r + 8, dict.find('\r', r) - r - 8));
        pos = end;
    }
    EXPECT_EQ(rotations, (std::vector<std::string>{"270", "180", "90", "270", "none"}));
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
}

TEST(QuillPdfPages, TwoBeginPagesWithoutEndPageGiveTwoPages) {
    TempDir dir;
    const std::string path = dir.File("two.pdf");
    QuillPdf pdf;
    pdf.BeginDoc(path);
    pdf.BeginPage();
    pdf.SetFont("Arial", 12);
    pdf.DrawText(50, 50, "Uno");
    pdf.BeginPage();
    pdf.SetFont("Arial", 12);
    pdf.DrawText(50, 50, "Due");
    pdf.EndDoc();
    EXPECT_TRUE(QpdfClean(path));
    EXPECT_NE(ReadFile(path).find("/Type /Pages /Count 2\n"), std::string::npos);
    EXPECT_EQ(pdftest::PdfToText(path, "-f 2 -l 2").substr(0, 3), "Due");
    pdf.EndPage();  // no page open: nothing happens
}

TEST(QuillPdfPages, TransitionsAndLabels) {
    TempDir dir;
    const std::string path = dir.File("trans.pdf");
    QuillPdf pdf;
    pdf.SetPageTransition(13, 3, 1.5);
    pdf.SetLabel(3);  // roman numbers from the first page
    pdf.BeginDoc(path);
    pdf.BeginPage();
    pdf.BeginPage();
    pdf.SetPageTransition(0);  // this page has none
    pdf.SetLabel(1, "A-(", 5);
    pdf.SetPageTransition(18);  // ignored
    pdf.BeginPage();
    pdf.EndDoc();
    const std::string bytes = ReadFile(path);
    EXPECT_NE(bytes.find("\r/Dur 3 /Trans << /Type /Trans /D 1.5 /S /Dissolve >> >>"), std::string::npos);
    EXPECT_NE(bytes.find("/PageLabels << /Nums [ 0 <<  /S /r >> 1 <<  /S /D /P (A-\\() /St 5 >>  ] >>"),
              std::string::npos);
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
    const std::string info = pdftest::Run("pdfinfo -f 1 -l 3 " + pdftest::Quote(path)).output;
    EXPECT_EQ(pdftest::Run("qpdf --show-npages " + pdftest::Quote(path)).output, "3\n");
    int dissolve = 0;
    for (size_t p = 0; (p = bytes.find("/Dissolve", p)) != std::string::npos; ++p) ++dissolve;
    EXPECT_EQ(dissolve, 2);
}

TEST(QuillPdfPages, CurrentPoint) {
    QuillPdf pdf;
    pdf.SetScale(3);
    pdf.SetXY(2, 3);
    EXPECT_FLOAT_EQ(pdf.GetX(), 2);
    EXPECT_FLOAT_EQ(pdf.GetY(), 3);
    pdf.MoveTo(4, 5);  // no page: no content, but the point moves
    EXPECT_FLOAT_EQ(pdf.GetX(), 4);
    EXPECT_FLOAT_EQ(pdf.GetY(), 5);
}

}  // namespace
}  // namespace quill
