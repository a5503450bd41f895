// The PDF files of "Crea PDF": file names, the folder tree, the document set-up, protection,
// overwriting, and a writer that starts afresh for every document.
#include <regex>

#include "AppTestSupport.h"

namespace kv::app::test {
namespace {

class PdfListFilesTest : public SharedDemoTest {};

// "PERÒ COSTRUZIONI S.R.L." loses its final dot; "TRASPORTI A/R: VELOCI E SICURI DI NICOLÒ" (40
// characters) keeps 30, "/" and ":" becoming "_"; 003 selects nobody. 001 has both passwords (its
// T364 and the installation's F357) and is protected; 002 has only F357 and is not.
TEST_F(PdfListFilesTest, NamesDocumentSetUpAndProtection) {
    const auto files = suite_->Open()->Click(0, ListKind::TF14, {"001", "002", "003", "004"}).files;
    const fs::path one = suite_->PdfFolder("001") / Utf8Name("TESTF14_001_PER\xC3\x92 COSTRUZIONI S.R.L.pdf");
    const fs::path two = suite_->PdfFolder("002") / "TESTF14_002_TRASPORTI A_R_ VELOCI E SICURI.pdf";
    EXPECT_EQ(std::vector<fs::path>(files.begin(), files.end()),
              (std::vector<fs::path>{one, two, suite_->PdfFolder("004") / "TESTF14_004_OFFICINA MECCANICA VERDI SNC.pdf"}));
    EXPECT_EQ(PdfFilesUnder(suite_->PdfTree()).size(), 3u);
    EXPECT_NE(RunCommand("qpdf --check " + Quoted(one)).status, 0);  // no password, or a wrong one: unreadable
    EXPECT_NE(RunCommand("qpdf --check --password=SBAGLIATA " + Quoted(one)).status, 0);
    EXPECT_TRUE(QpdfClean(one, kPassword));
    EXPECT_TRUE(QpdfClean(two));
    // What pdfinfo says of the document set-up and the protection (20: printing and copying allowed).
    EXPECT_EQ(RunCommand("pdfinfo -upw LEGGIPDF " + Quoted(one) + " | grep -E '^(Title|Author|Creator|Producer|Pages|Encrypted|Page size):'").output,
              R"(Title:           PDFTESTF14_
Author:          Velmora Vivirid
Creator:         STUDIO PAGHE DEMO VELMORA
Producer:        Velmora Vivirid
Pages:           1
Encrypted:       yes (print:yes copy:yes change:no addNotes:no algorithm:RC4)
Page size:       596 x 842 pts (A4)
)");
    const std::string raw = ReadFile(two);
    EXPECT_NE(raw.find("/ViewerPreferences << /CenterWindow true /FitWindow true  >>"), std::string::npos);
    EXPECT_NE(raw.find("/Filter [/LZWDecode ]"), std::string::npos);
    // The list's lines are in the file (their layout is the lists' concern).
    EXPECT_TRUE(std::regex_search(PdfText(one, kPassword), std::regex("TF14 31/03/2018 +Pagina +1\n-+\nAZIENDA : 001 PER\xC3\x92 "
                                                                      "COSTRUZIONI S\\.R\\.L\\. +4901234567\n[^]*\n0001 ROSSI M +138\\.15 ")));
}

// A company without a name gets prefix and code; a run replaces the earlier file.
TEST_F(PdfListFilesTest, CompanyWithoutANameAndOverwrite) {
    suite_->Patch("SLDITTE.DAT", 3 * demo::kCompanyRecordLength + 5, std::string(30, ' '));
    const fs::path file = suite_->PdfFolder("004") / "TESCF01_004.pdf";
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "an earlier file";
    EXPECT_EQ(suite_->Open()->Click(0, ListKind::CF01, {"004"}).files, std::vector<fs::path>{file});
    EXPECT_TRUE(QpdfClean(file) && PdfFilesUnder(suite_->PdfTree()).size() == 1);
    suite_->Patch("SLDITTE.DAT", 3 * demo::kCompanyRecordLength + 5, "OFFICINA MECCANICA VERDI SNC");
}

// 001's document cannot be finished (its file is the full device): the run reports the error and
// goes on; the next document, 002's, gets a fresh writer without 001's protection.
TEST_F(PdfListFilesTest, FailedDocumentLeavesNothingToTheNextOne) {
    if (kFullDevice.empty()) GTEST_SKIP() << "no full device on this host";
    auto s = suite_->Open();
    const fs::path full = suite_->PdfFolder("001") / Utf8Name("TESCF01_001_PER\xC3\x92 COSTRUZIONI S.R.L.pdf");
    fs::create_directories(full.parent_path());
    fs::create_symlink(kFullDevice, full);
    auto outcome = s->Click(0, ListKind::CF01, {"001", "002"});
    EXPECT_EQ(outcome.companiesFailed, std::vector<std::string>{"001"});
    const Messages shown = s->Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NE(shown[0].text.find("(EndDoc C:\\KVPAGHE\\FILE-PDF\\001\\2018\\03\\FDOTES\\TESCF01_001_"), std::string::npos)
        << shown[0].text;
    EXPECT_EQ(shown[1], kPdfDone);
    EXPECT_TRUE(fs::is_symlink(full));  // not the program's: left as it was
    ASSERT_EQ(outcome.files.size(), 1u);
    EXPECT_TRUE(QpdfClean(outcome.files[0]));
}

// The folder tree next to the archive folder, or on the drive when that folder has 3 characters
// once trimmed; parts that are no folder names never lead out of it.
TEST(PdfFoldersTest, TreeNextToTheArchiveFolder) {
    const DemoInstallation drives;  // for its root folder: the D: drive lies beside its C:
    platform::ScriptedMessageBoxes messages;
    platform::MemoryRegistry registry;
    ArchiveContext ctx(messages, platform::PathMap(drives.root()), registry);
    ctx.settings().archiveFolder = "  D:\\  ";
    fs::create_directories(drives.root() / "D");
    output::PdfListFiles files(ctx.files(), ctx.repository(), ctx.settings(), ctx.paths());
    for (const auto& [company, period] : std::vector<std::pair<std::string, std::string>>{
             {"012", "..\\...."}, {"012", "20/803"}, {"..", "201803"}, {"0:2", "201803"}, {"012", std::string("2018\0"
                                                                                                              "3",
                                                                                                              6)}})
        EXPECT_THROW(files.CREACARTELLEPDF(company, "FDOTES", period), RuntimeError) << company << " " << period;
    EXPECT_FALSE(fs::exists(drives.root() / "D/FILE-PDF"));
    for (int twice = 0; twice < 2; ++twice) files.CREACARTELLEPDF("012", "FDOTES", "200512");
    EXPECT_EQ(files.pdfRoot() + " " + files.outputFolder(), "D: D:\\FILE-PDF\\012\\2005\\12\\FDOTES");
    EXPECT_TRUE(fs::is_directory(drives.root() / "D/FILE-PDF/012/2005/12/FDOTES") && messages.shown().empty());
    // File names: a final dot dropped, reserved characters replaced.
    for (auto [name, cleaned] : std::vector<std::pair<std::string, std::string>>{
             {"a*b|c\\d:e<f>g?h/i\"j.", "a_b_c_d_e_f_g_h_i_j"}, {"NOME..", "NOME."}, {"", ""}, {".", ""}}) {
        output::PdfListFiles::PULISCINOMEFILE(name);
        EXPECT_EQ(name, cleaned);
    }
}

}  // namespace
}  // namespace kv::app::test
