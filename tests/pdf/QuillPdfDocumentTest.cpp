// Whole documents: structure, cross-reference table, information
// dictionary, catalog, versions and file errors.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "pdf/PdfTestUtil.h"
#include "pdf/QuillPdf.h"

namespace quill {
namespace {

using pdftest::CheckXref;
using pdftest::QpdfClean;
using pdftest::ReadFile;
using pdftest::TempDir;

constexpr char kFixedDate[] = "D:20240131120000Z+01'00'";

TEST(QuillPdfDocument, EmptyDocumentIsValidWithOnePage) {
    TempDir dir;
    const std::string path = dir.File("empty.pdf");
    QuillPdf pdf;
    EXPECT_EQ(pdf.BeginDoc(path), path);
    pdf.EndDoc();
    EXPECT_EQ(pdf.ErrNumber(), 0);
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(CheckXref(bytes), "");
    EXPECT_EQ(bytes.rfind("%PDF-1.3\n% QuillPdf Library rel. 2.4.8\n", 0), 0u);
    EXPECT_NE(bytes.find("/Type /Pages /Count 1\n"), std::string::npos);
    EXPECT_NE(bytes.find("/Type /Metadata /Subtype /XML"), std::string::npos);
    EXPECT_NE(bytes.find("/Type /Catalog"), std::string::npos);
    // Objects 1 to 3 reserved, then page 4, content 5, metadata 6, catalog 7, info 8.
    EXPECT_NE(bytes.find("<< /Size 9 /Info 8 0 R /Root 7 0 R\n"), std::string::npos);
    EXPECT_EQ(pdf.FileSize(), static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(bytes.substr(bytes.size() - 6), "%%EOF\n");
}

TEST(QuillPdfDocument, ManyPagesKeepExactOffsets) {
    TempDir dir;
    const std::string path = dir.File("many.pdf");
    QuillPdf pdf;
    pdf.SetMemoryUsage(3);
    pdf.BeginDoc(path);
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(pdf.BeginPage(), i + 1);
        pdf.SetFont("Courier New", 9);
        pdf.DrawText(10, 20, "Pagina " + std::to_string(i + 1));
    }
    EXPECT_EQ(pdf.GetPage(), 300);
    pdf.EndDoc();
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(CheckXref(bytes), "");
    EXPECT_NE(bytes.find("/Type /Pages /Count 300\n"), std::string::npos);
    const std::string text = pdftest::PdfToText(path, "-f 300 -l 300");
    EXPECT_NE(text.find("Pagina 300"), std::string::npos);
}

TEST(QuillPdfDocument, InformationDictionaryEscapesAndDefaults) {
    TempDir dir;
    const std::string path = dir.File("info.pdf");
    QuillPdf pdf;
    pdf.SetFixedCreationDate(kFixedDate);
    pdf.SetDocProperty("Lista (TF14) \\ 2024", "Fondo", "", "", "", "chiave");
    pdf.BeginDoc(path);
    pdf.EndDoc();
    const std::string bytes = ReadFile(path);
    EXPECT_NE(bytes.find("/Title (Lista \\(TF14\\) \\\\ 2024)\n"), std::string::npos);
    EXPECT_NE(bytes.find("/Author ()\n"), std::string::npos);
    EXPECT_NE(bytes.find("/Producer (QuillPdf Library)\n"), std::string::npos);
    EXPECT_NE(bytes.find("/CreationDate (D:20240131120000Z+01'00')\n"), std::string::npos);
    EXPECT_NE(bytes.find("/Subject (Fondo)\n"), std::string::npos);
    EXPECT_NE(bytes.find("/Keywords (chiave)\n"), std::string::npos);
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
    const auto info = pdftest::Run("pdfinfo " + pdftest::Quote(path)).output;
    EXPECT_NE(info.find("Lista (TF14) \\ 2024"), std::string::npos) << info;
}

TEST(QuillPdfDocument, DefaultTitleAndPropertiesReplacedOnlyWhenGiven) {
    TempDir dir;
    const std::string path = dir.File("props.pdf");
    QuillPdf pdf;
    pdf.BeginDoc(path);
    pdf.EndDoc();
    EXPECT_NE(ReadFile(path).find("/Title (\\(senza titolo\\))"), std::string::npos);

    QuillPdf second;
    second.SetDocProperty("T", "S", "Autore", "Creatore", "Produttore", "K");
    second.SetDocProperty("T2");  // empties subject and keywords, keeps the others
    second.BeginDoc(path);
    second.EndDoc();
    const std::string bytes = ReadFile(path);
    EXPECT_NE(bytes.find("/Title (T2)\n/Author (Autore)\n/Creator (Creatore)\n/Producer (Produttore)\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("/Subject ()\n/Keywords ()\n"), std::string::npos);
}

TEST(QuillPdfDocument, XmpPacketDeclaresItsLengthAndEscapesText) {
    TempDir dir;
    const std::string path = dir.File("xmp.pdf");
    QuillPdf pdf;
    pdf.SetFixedCreationDate(kFixedDate);
    pdf.SetDocProperty("Societ\xE0 <A&B>");
    pdf.BeginDoc(path);
    pdf.EndDoc();
    const std::string bytes = ReadFile(path);
    const size_t start = bytes.find("<?xpacket begin=");
    const size_t end = bytes.find("<?xpacket end='r'?>");
    ASSERT_NE(start, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    const size_t length = end + 19 - start;
    EXPECT_NE(bytes.find("bytes='" + std::to_string(length) + "'"), std::string::npos);
    EXPECT_NE(bytes.find("<pdf:Title>Societ&#224; &lt;A&amp;B&gt;</pdf:Title>"), std::string::npos);
    EXPECT_NE(bytes.find("<xap:CreateDate>2024-01-31T12:00:00+01:00</xap:CreateDate>"), std::string::npos);
    EXPECT_NE(bytes.find("<dc:title>"), std::string::npos);
    // Lines of the packet are separated by CR.
    EXPECT_EQ(bytes.substr(start, end - start).find('\n'), std::string::npos);
}

TEST(QuillPdfDocument, FixedDateGivesIdenticalDocuments) {
    TempDir dir;
    auto write = [&](const std::string& path) {
        QuillPdf pdf;
        pdf.SetFixedCreationDate(kFixedDate);
        pdf.SetScale(3);
        pdf.BeginDoc(path);
        pdf.BeginPage();
        pdf.SetFont("Arial", 12, 1);
        pdf.DrawText(2, 2, "Uguale");
        pdf.EndDoc();
        return ReadFile(path);
    };
    EXPECT_EQ(write(dir.File("a.pdf")), write(dir.File("b.pdf")));
}

TEST(QuillPdfDocument, ViewerPreferencesOfTheLists) {
    TempDir dir;
    const std::string path = dir.File("prefs.pdf");
    QuillPdf pdf;
    pdf.SetViewerPreferences(0x300);
    pdf.BeginDoc(path);
    pdf.EndDoc();
    const std::string bytes = ReadFile(path);
    EXPECT_NE(bytes.find("/ViewerPreferences << /CenterWindow true /FitWindow true  >>"), std::string::npos);
    EXPECT_EQ(bytes.rfind("%PDF-1.3\n", 0), 0u);
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
}

TEST(QuillPdfDocument, DisplayDocTitleRaisesVersionTo14) {
    TempDir dir;
    const std::string path = dir.File("v14.pdf");
    QuillPdf pdf;
    pdf.SetViewerPreferences(0x80 | 0x10 | 0x2000 | 4);
    pdf.BeginDoc(path);
    pdf.EndDoc();
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(bytes.rfind("%PDF-1.4\n", 0), 0u);
    EXPECT_NE(bytes.find("/PageLayout /OneColumn\n/PageMode /UseThumbs\n"
                         "/ViewerPreferences << /HideMenubar true /DisplayDocTitle true  >>"),
              std::string::npos);
    EXPECT_EQ(CheckXref(bytes), "");
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
}

TEST(QuillPdfDocument, VersionRewriteWorksForLargeFiles) {
    // The header has long left the write buffer when the version is raised.
    TempDir dir;
    const std::string path = dir.File("big14.pdf");
    QuillPdf pdf;
    pdf.BeginDoc(path);
    for (int p = 0; p < 40; ++p) {
        pdf.BeginPage();
        pdf.SetFont("Times", 8);
        for (int i = 0; i < 60; ++i) pdf.DrawText(10, 12 + i * 12, "Riga di prova con un testo piuttosto lungo");
    }
    pdf.SetAlpha(50);
    pdf.EndDoc();
    const std::string bytes = ReadFile(path);
    ASSERT_GT(bytes.size(), 200000u);
    EXPECT_EQ(bytes.rfind("%PDF-1.4\n", 0), 0u);
    EXPECT_EQ(CheckXref(bytes), "");
}

TEST(QuillPdfDocument, GeneratedNameInCurrentFolder) {
    TempDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    QuillPdf pdf;
    const std::string name = pdf.BeginDoc();
    pdf.EndDoc();
    std::filesystem::current_path(previous);
    ASSERT_GE(name.size(), 6u);
    EXPECT_EQ(name.substr(name.size() - 5), "~.pdf");
    EXPECT_EQ(name.find('/'), std::string::npos);
    for (char c : name.substr(0, name.size() - 5)) EXPECT_TRUE(std::isxdigit(c) && !std::islower(c)) << name;
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / name));
}

TEST(QuillPdfDocument, ExistingFileIsReplaced) {
    TempDir dir;
    const std::string path = dir.File("old.pdf");
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::string junk(100000, 'x');
        std::fwrite(junk.data(), 1, junk.size(), f);
        std::fclose(f);
    }
    QuillPdf pdf;
    pdf.BeginDoc(path);
    pdf.EndDoc();
    EXPECT_EQ(ReadFile(path).find('x' + std::string(10, 'x')), std::string::npos);
    EXPECT_TRUE(QpdfClean(path));
}

TEST(QuillPdfDocument, MissingFolderIsRecordedNotThrown) {
    TempDir dir;
    QuillPdf pdf;
    const std::string path = dir.File("no/such/folder/x.pdf");
    EXPECT_EQ(pdf.BeginDoc(path), path);
    EXPECT_EQ(pdf.ErrNumber(), 76);
    EXPECT_EQ(pdf.ErrSource(), "QuillPdf.BeginDoc");
    EXPECT_EQ(pdf.ErrDescription(), "Path not found");
    pdf.BeginPage();
    pdf.SetFont("Arial", 10);
    pdf.DrawText(1, 1, "nessun file");
    pdf.EndDoc();  // nothing to finish, nothing thrown
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(QuillPdfDocument, PermissionDeniedAsksTheHandlerToRetry) {
    if (geteuid() == 0) {
        // root ignores file permissions: use a path below a regular file instead,
        // which fails with a different error and never reaches the handler.
        TempDir dir;
        const std::string blocker = dir.File("file");
        std::fclose(std::fopen(blocker.c_str(), "wb"));
        QuillPdf pdf;
        int calls = 0;
        pdf.SetFileBusyHandler([&] { return ++calls < 3; });
        pdf.BeginDoc(blocker + "/x.pdf");
        EXPECT_EQ(calls, 0);
        EXPECT_NE(pdf.ErrNumber(), 0);
        return;
    }
    TempDir dir;
    const std::filesystem::path locked = dir.Path() / "locked";
    std::filesystem::create_directory(locked);
    chmod(locked.c_str(), 0500);
    QuillPdf pdf;
    int calls = 0;
    pdf.SetFileBusyHandler([&] {
        ++calls;
        if (calls == 2) chmod(locked.c_str(), 0700);  // the user closed the other program
        return true;
    });
    const std::string path = (locked / "x.pdf").string();
    pdf.BeginDoc(path);
    pdf.EndDoc();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(pdf.ErrNumber(), 0);
    EXPECT_TRUE(QpdfClean(path));

    chmod(locked.c_str(), 0500);
    QuillPdf giveUp;
    giveUp.SetFileBusyHandler([] { return false; });
    giveUp.BeginDoc((locked / "y.pdf").string());
    EXPECT_EQ(giveUp.ErrNumber(), 70);
    EXPECT_EQ(giveUp.ErrDescription(), "Permission denied");
    chmod(locked.c_str(), 0700);
}

TEST(QuillPdfDocument, AbortKeepsPartialFileAndResets) {
    TempDir dir;
    const std::string path = dir.File("partial.pdf");
    QuillPdf pdf;
    pdf.SetScale(3);
    pdf.SetDocProperty("Primo");
    pdf.BeginDoc(path);
    pdf.BeginPage();
    EXPECT_GT(pdf.FileSize(), 0);
    pdf.Abort();
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(pdf.GetPage(), 0);
    EXPECT_EQ(pdf.FileSize(), 0);
    EXPECT_FLOAT_EQ(pdf.GetPageWidth(), 596);  // scale back to points

    const std::string second = dir.File("second.pdf");
    pdf.BeginDoc(second);
    pdf.EndDoc();
    const std::string bytes = ReadFile(second);
    EXPECT_NE(bytes.find("(senza titolo)"), std::string::npos);
    EXPECT_EQ(CheckXref(bytes), "");
    EXPECT_EQ(pdf.FileSize(), static_cast<int32_t>(bytes.size()));
}

// The catalog of an empty document written with the given viewer preference flags.
std::string CatalogWith(int32_t flags, const std::string& path) {
    QuillPdf pdf;
    pdf.SetViewerPreferences(flags);
    pdf.BeginDoc(path);
    pdf.EndDoc();
    const std::string bytes = ReadFile(path);
    const size_t start = bytes.find("<< /Type /Catalog");
    return bytes.substr(start, bytes.find("endobj", start) - start);
}

TEST(QuillPdfDocument, EveryViewerPreferenceFlagInTableOrder) {
    TempDir dir;
    const std::string path = dir.File("vp.pdf");
    EXPECT_NE(CatalogWith(0x3F0, path).find("/ViewerPreferences << /HideMenubar true /HideToolbar true "
                                            "/HideWindowUI true /DisplayDocTitle true /CenterWindow true "
                                            "/FitWindow true  >>\n>>"),
              std::string::npos);
    EXPECT_NE(CatalogWith(0, path).find("/Metadata 6 0 R\n/ViewerPreferences <<  >>\n>>"), std::string::npos);
    EXPECT_EQ(ReadFile(path).rfind("%PDF-1.3\n", 0), 0u);

    // The layout stands before the mode, both before the preferences.
    const std::string twoRight = CatalogWith(static_cast<int32_t>(0xFFFF8000u) | 1 | 0x100, path);
    EXPECT_NE(twoRight.find("/PageLayout /TwoColumnRight\n/PageMode /FullScreen\n"
                            "/ViewerPreferences << /CenterWindow true  >>"),
              std::string::npos)
        << twoRight;
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report)) << report;
    // 0x8000 without the sign bits above it names no layout.
    EXPECT_EQ(CatalogWith(0x8000, path).find("/PageLayout"), std::string::npos);
    EXPECT_NE(CatalogWith(0x4000, path).find("/PageLayout /TwoColumnLeft\n"), std::string::npos);
    EXPECT_NE(CatalogWith(0x2000 | 0x300, path).find("/PageLayout /OneColumn\n"), std::string::npos);
    // Outlines are shown only when there are bookmarks; other low values name no mode.
    EXPECT_EQ(CatalogWith(2, path).find("/PageMode"), std::string::npos);
    EXPECT_EQ(CatalogWith(3, path).find("/PageMode"), std::string::npos);

    const std::string useOc = CatalogWith(8, path);
    EXPECT_NE(useOc.find("/PageMode /UseOC\n"), std::string::npos);
    EXPECT_EQ(ReadFile(path).rfind("%PDF-1.5\n", 0), 0u);
    EXPECT_EQ(CheckXref(ReadFile(path)), "");
}

TEST(QuillPdfDocument, GeneratedNameIsDayTimeAndDigitInHexadecimal) {
    TempDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    // "dhhmmss" of a moment as a number.
    auto stamp = [](std::time_t t) {
        std::tm tm{};
        localtime_r(&t, &tm);
        return ((static_cast<uint64_t>(tm.tm_mday) * 100 + tm.tm_hour) * 100 + tm.tm_min) * 100 + tm.tm_sec;
    };
    const uint64_t before = stamp(std::time(nullptr));
    QuillPdf pdf;
    const std::string name = pdf.BeginDoc();
    const uint64_t after = stamp(std::time(nullptr));
    pdf.EndDoc();
    std::filesystem::current_path(previous);
    ASSERT_GT(name.size(), 5u);
    const std::string hex = name.substr(0, name.size() - 5);
    EXPECT_EQ(name.substr(hex.size()), "~.pdf");
    const uint64_t value = std::stoull(hex, nullptr, 16);
    std::string upper = hex;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(hex, upper);
    EXPECT_TRUE(value / 10 == before || value / 10 == after) << name << " " << before;
}

TEST(QuillPdfDocument, EncryptionDictionaryAndTrailerEntry) {
    TempDir dir;
    const std::string path = dir.File("enc.pdf");
    QuillPdf pdf;
    pdf.SetDocProperty("T", "", "", "", "Prod");
    pdf.SetProtection(4 + 16, "", "u");
    pdf.BeginDoc(path);
    pdf.EndDoc();
    const std::string bytes = ReadFile(path);
    // Page 4, content 5, then the encryption dictionary before the metadata.
    EXPECT_NE(bytes.find("\n6 0 obj\n<< /Filter /Standard \r/O ("), std::string::npos);
    EXPECT_NE(bytes.find(")\r/P -44\r/V 1 /R 2 >>\nendobj\n7 0 obj\n<< /Type /Metadata"), std::string::npos);
    // The identifier: the producer name in force and the version, in upper-case hexadecimal.
    EXPECT_NE(bytes.find(" 0 R\n/Encrypt 6 0 R /ID [<50726F64322E342E38><50726F64322E342E38>]\n>>\nstartxref\n"),
              std::string::npos);
    EXPECT_EQ(CheckXref(bytes), "");
    std::string report;
    EXPECT_TRUE(QpdfClean(path, &report, "u")) << report;
}

TEST(QuillPdfDocument, VersionText) {
    QuillPdf pdf;
    EXPECT_EQ(pdf.Version(), "2.4.8");
    EXPECT_EQ(pdf.ErrNumber(), 0);
    EXPECT_EQ(pdf.ErrSource(), "");
}

}  // namespace
}  // namespace quill
