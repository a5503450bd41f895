// Documents with encoded streams and with protection, checked by qpdf and
// poppler (decoding, decryption, passwords).
#include <gtest/gtest.h>

#include "pdf/PdfTestUtil.h"
#include "pdf/QuillPdf.h"

namespace quill {
namespace {

using pdftest::QpdfClean;
using pdftest::Quote;
using pdftest::ReadFile;
using pdftest::TempDir;

// The list set-up, with a few pages of Courier text.
void WriteList(QuillPdf& pdf, const std::string& path, int pages = 3) {
    pdf.SetDocProperty("Lista TF14 (prova)", "Fondo Tesoreria", "Ufficio paghe");
    pdf.SetScale(3);
    pdf.SetPaperSize(1);
    pdf.SetMargins(0, 0, 0, 0, 1);
    pdf.SetPageView(0);
    pdf.SetViewerPreferences(0x300);
    pdf.BeginDoc(path);
    for (int p = 1; p <= pages; ++p) {
        pdf.BeginPage();
        pdf.SetFont("Courier New", 9, p == 1 ? 1 : 0);
        for (int line = 0; line < 40; ++line) {
            pdf.DrawText(1, 1 + line * 0.35f, "Dipendente " + std::to_string(line) + " (citt\xE0)", 1);
            pdf.DrawText(20, 1 + line * 0.35f, std::to_string(line * 1234) + ",56", 2);
            pdf.DrawText(25, 1 + line * 0.35f, "TF14", 4);
        }
    }
    pdf.EndDoc();
}

class FilterFlags : public ::testing::TestWithParam<int> {};

TEST_P(FilterFlags, DocumentsPassQpdfAndKeepTheirText) {
    TempDir dir;
    const std::string path = dir.File("f.pdf");
    QuillPdf pdf;
    pdf.SetCompression(GetParam(), 3);
    WriteList(pdf, path);
    EXPECT_EQ(pdf.ErrNumber(), 0);
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(pdftest::CheckXref(bytes), "");
    const std::string text = pdftest::PdfToText(path, "-f 3 -l 3");
    EXPECT_NE(text.find("Dipendente 39 (citt\xC3\xA0)"), std::string::npos) << text;
    EXPECT_NE(text.find("48126,56"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(QuillPdfStreams, FilterFlags, ::testing::Values(0, 1, 2, 4, 8, 16, 2 + 8, 2 + 16, 1 + 2 + 4 + 8));

TEST(QuillPdfStreams, FilterNamesInDecodingOrder) {
    TempDir dir;
    const std::string path = dir.File("order.pdf");
    QuillPdf pdf;
    pdf.SetCompression(2 + 16);
    WriteList(pdf, path, 1);
    const std::string bytes = ReadFile(path);
    EXPECT_NE(bytes.find("/Filter [/ASCIIHexDecode /FlateDecode ]\n/Length "), std::string::npos);
    pdf.Abort();
    pdf.SetCompression(4, 9);  // quality above 3 is taken as 3
    WriteList(pdf, path, 1);
    EXPECT_NE(ReadFile(path).find("/Filter [/LZWDecode ]\n/Length "), std::string::npos);
    EXPECT_TRUE(QpdfClean(path));
}

TEST(QuillPdfStreams, Protection40BitAsTheListsUseIt) {
    TempDir dir;
    const std::string path = dir.File("p40.pdf");
    QuillPdf pdf;
    pdf.SetCompression(4, 3);
    pdf.SetProtection(20, "padrone", "utente");
    WriteList(pdf, path);
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(bytes.rfind("%PDF-1.3\n", 0), 0u);
    EXPECT_NE(bytes.find("/P -44\r/V 1 /R 2 >>"), std::string::npos);
    EXPECT_NE(bytes.find("/ID [<5175696C6C506466204C696272617279322E342E38><"), std::string::npos);
    EXPECT_EQ(bytes.find("Lista TF14"), std::string::npos);  // the title is encrypted
    EXPECT_EQ(pdftest::CheckXref(bytes), "");

    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report, "utente")) << report;
    EXPECT_TRUE(QpdfClean(path, &report, "padrone")) << report;
    // Without the user password poppler refuses the document.
    const auto refused = pdftest::Run("pdftotext " + Quote(path) + " -");
    EXPECT_NE(refused.exitCode, 0);
    const std::string text = pdftest::PdfToText(path, "-upw utente");
    EXPECT_NE(text.find("Dipendente 39 (citt\xC3\xA0)"), std::string::npos) << text;
    const std::string info = pdftest::Run("pdfinfo -upw utente " + Quote(path)).output;
    EXPECT_NE(info.find("Lista TF14 (prova)"), std::string::npos) << info;

    const std::string plain = dir.File("plain.pdf");
    const auto decrypt = pdftest::Run("qpdf --password=utente --decrypt " + Quote(path) + " " + Quote(plain));
    EXPECT_EQ(decrypt.exitCode, 0) << decrypt.output;
    EXPECT_NE(ReadFile(plain).find("Lista TF14 \\(prova\\)"), std::string::npos);
}

TEST(QuillPdfStreams, Protection128BitRaisesVersion) {
    TempDir dir;
    const std::string path = dir.File("p128.pdf");
    QuillPdf pdf;
    pdf.SetProtection(20 + 0x1000, "", "segreto");  // blank owner: the user password serves both
    WriteList(pdf, path, 2);
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(bytes.rfind("%PDF-1.4\n", 0), 0u);
    EXPECT_NE(bytes.find("/V 2 /R 3 /Length 128 >>"), std::string::npos);
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report, "segreto")) << report;
    EXPECT_NE(pdftest::Run("pdftotext " + Quote(path) + " -").exitCode, 0);
    EXPECT_NE(pdftest::PdfToText(path, "-upw segreto").find("Dipendente 12"), std::string::npos);
    const std::string plain = dir.File("plain.pdf");
    EXPECT_EQ(pdftest::Run("qpdf --password=segreto --decrypt " + Quote(path) + " " + Quote(plain)).exitCode, 0);
    EXPECT_TRUE(QpdfClean(plain));
}

TEST(QuillPdfStreams, EmptyUserPasswordOpensWithoutPassword) {
    TempDir dir;
    const std::string path = dir.File("open.pdf");
    QuillPdf pdf;
    pdf.SetCompression(2);
    pdf.SetProtection(4, "padrone", "");
    WriteList(pdf, path, 1);
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
    EXPECT_NE(pdftest::PdfToText(path).find("Dipendente 0"), std::string::npos);
    const std::string shown = pdftest::Run("qpdf --show-encryption " + Quote(path)).output;
    EXPECT_NE(shown.find("R = 2"), std::string::npos) << shown;
    EXPECT_NE(shown.find("print low resolution: allowed"), std::string::npos) << shown;
    EXPECT_NE(shown.find("modify document assembly: not allowed"), std::string::npos) << shown;
}

TEST(QuillPdfStreams, SameProducerGivesSameId) {
    TempDir dir;
    auto idOf = [&](const std::string& name) {
        QuillPdf pdf;
        pdf.SetProtection(20, "a", "b");
        WriteList(pdf, dir.File(name), 1);
        const std::string bytes = ReadFile(dir.File(name));
        const size_t at = bytes.find("/ID [<");
        return bytes.substr(at, bytes.find(']', at) - at);
    };
    EXPECT_EQ(idOf("a.pdf"), idOf("b.pdf"));
}

}  // namespace
}  // namespace quill
