// The PDF files of a "Crea PDF" run: which companies get a file, the file names, the folder tree,
// overwriting, protection, and files that external tools accept and read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <utility>
#include <vector>

#include "AppTestSupport.h"
#include "archive/Errors.h"
#include "lists/Fields.h"
#include "output/PdfListFiles.h"

namespace kv::app::test {
namespace {

namespace fs = std::filesystem;
using lists::ListKind;

constexpr const char* kPassword = "LEGGIPDF";  // F357 of the installation
constexpr const char* kUtf8CompanyOne = "PER\xC3\x92 COSTRUZIONI S.R.L";

class PdfListFilesTest : public SharedDemoTest<> {
protected:
    void SetUp() override {
        SharedDemoTest::SetUp();
        open_ = suite_->Open();
        ASSERT_TRUE((*open_)->Start());
    }
    RunDriver::Outcome Run(ListKind list, const std::vector<std::string>& codes) {
        const auto& lines = (*open_)->companyLines();
        return (*open_)->driver().CmdStampa_Click(0, list, lines, Select(lines, codes));
    }
    std::unique_ptr<OpenSession> open_;
};

TEST_F(PdfListFilesTest, OneCleanlyNamedFilePerCompanyWithSelectedEmployees) {
    const auto outcome = Run(ListKind::TF14, {"001", "002", "003", "004"});
    ASSERT_FALSE(outcome.failed);
    // 003 selects nobody: no file, and not even its folder.
    EXPECT_EQ(outcome.companiesDone, 4);
    ASSERT_EQ(outcome.files.size(), 3u);
    EXPECT_EQ(fs::path(outcome.files[0]), suite_->PdfFolder("001") / (std::string("TESTF14_001_") + kUtf8CompanyOne + ".pdf"));
    // "TRASPORTI A/R: VELOCI E SICURI DI NICOLÒ": the record keeps 30 characters; "/" and ":" become "_".
    EXPECT_EQ(fs::path(outcome.files[1]), suite_->PdfFolder("002") / "TESTF14_002_TRASPORTI A_R_ VELOCI E SICURI.pdf");
    EXPECT_EQ(fs::path(outcome.files[2]), suite_->PdfFolder("004") / "TESTF14_004_OFFICINA MECCANICA VERDI SNC.pdf");
    for (const auto& f : outcome.files) EXPECT_TRUE(fs::is_regular_file(f)) << f;
    EXPECT_FALSE(fs::exists(suite_->Host("C:\\KVPAGHE\\FILE-PDF\\003")));
    // Nothing else was written into the tree.
    EXPECT_EQ(PdfFilesUnder(suite_->Host("C:\\KVPAGHE\\FILE-PDF")).size(), 3u);
    EXPECT_EQ((*open_)->pdfFiles().pdfRoot(), "C:\\KVPAGHE");
}

TEST_F(PdfListFilesTest, EveryListHasItsPrefix) {
    const struct {
        ListKind list;
        const char* prefix;
    } cases[] = {{ListKind::TF14, "TESTF14_"}, {ListKind::CF01, "TESCF01_"},     {ListKind::CF02Arrears, "TESCF02_"},
                 {ListKind::CF11, "TESCF11_"}, {ListKind::Recoveries, "TESRECU_"}, {ListKind::TF02, "TESTF02_"},
                 {ListKind::TF02Arrears, "TETF02A_"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix);
        const auto outcome = Run(c.list, {"004"});
        ASSERT_EQ(outcome.files.size(), 1u);
        EXPECT_EQ(fs::path(outcome.files[0]).filename(),
                  std::string(c.prefix) + "004_OFFICINA MECCANICA VERDI SNC.pdf");
    }
    EXPECT_EQ(PdfFilesUnder(suite_->PdfFolder("004")).size(), 7u);
}

TEST_F(PdfListFilesTest, CompanyWithoutANameGetsPrefixAndCode) {
    suite_->PatchCompany(4, lists::fields::T002, std::string(30, ' '));
    open_ = suite_->Open();
    ASSERT_TRUE((*open_)->Start());
    const auto outcome = Run(ListKind::CF01, {"004"});
    suite_->PatchCompany(4, lists::fields::T002, "OFFICINA MECCANICA VERDI SNC  ");
    ASSERT_EQ(outcome.files.size(), 1u);
    EXPECT_EQ(fs::path(outcome.files[0]).filename(), "TESCF01_004.pdf");
    EXPECT_EQ(QpdfCheck(outcome.files[0]).status, 0);
}

TEST_F(PdfListFilesTest, ASecondRunOverwritesTheFile) {
    auto outcome = Run(ListKind::CF01, {"002"});
    ASSERT_EQ(outcome.files.size(), 1u);
    const fs::path file = outcome.files[0];
    std::ofstream(file, std::ios::trunc) << "damaged";
    outcome = Run(ListKind::CF01, {"002"});
    ASSERT_EQ(outcome.files.size(), 1u);
    EXPECT_EQ(fs::path(outcome.files[0]), file);
    EXPECT_EQ(QpdfCheck(file).status, 0);
    EXPECT_EQ(PdfFilesUnder(suite_->Host("C:\\KVPAGHE\\FILE-PDF")).size(), 1u);
}

TEST_F(PdfListFilesTest, BothPasswordsProtectTheFileOneAloneDoesNot) {
    const auto outcome = Run(ListKind::CF01, {"001", "002"});
    ASSERT_EQ(outcome.files.size(), 2u);
    const fs::path protectedFile = outcome.files[0];  // 001: T364 and F357 filled
    const fs::path openFile = outcome.files[1];       // 002: T364 blank

    EXPECT_EQ(RunCommand("qpdf --is-encrypted " + Quoted(protectedFile)).status, 0);
    const CommandResult without = QpdfCheck(protectedFile);
    EXPECT_NE(without.status, 0) << without.output;
    EXPECT_NE(without.output.find("password"), std::string::npos) << without.output;
    const CommandResult wrong = QpdfCheck(protectedFile, "SBAGLIATA");
    EXPECT_NE(wrong.status, 0) << wrong.output;
    const CommandResult with = QpdfCheck(protectedFile, kPassword);
    EXPECT_EQ(with.status, 0) << with.output;
    EXPECT_EQ(with.output.find("WARNING"), std::string::npos) << with.output;

    EXPECT_EQ(RunCommand("qpdf --is-encrypted " + Quoted(openFile)).status, 2);
    const CommandResult plain = QpdfCheck(openFile);
    EXPECT_EQ(plain.status, 0) << plain.output;
    EXPECT_EQ(plain.output.find("WARNING"), std::string::npos) << plain.output;
}

TEST_F(PdfListFilesTest, TheListsLinesAreInTheFile) {
    const auto outcome = Run(ListKind::TF14, {"001", "002", "004"});
    ASSERT_EQ(outcome.files.size(), 3u);

    const std::string one = PdfText(outcome.files[0], kPassword);
    EXPECT_NE(one.find("IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF14 31/03/2018"), std::string::npos) << one;
    EXPECT_NE(one.find("AZIENDA : 001 PER\xC3\x92 COSTRUZIONI S.R.L."), std::string::npos) << one;
    EXPECT_TRUE(std::regex_search(one, std::regex("0001 ROSSI M +138\\.15 +138\\.15 +0\\.28 +1\\.00000 +0\\.00280 +5\\.60 +2000\\.00 +2000\\.00")))
        << one;
    EXPECT_TRUE(std::regex_search(one, std::regex("\nTOTALE +[0-9]")));

    // 002 has 70 employees: page 1 ends with TOTALE PAGINA, page 2 with TOTALE.
    const std::string two = PdfText(outcome.files[1]);
    EXPECT_NE(two.find("AZIENDA : 002 TRASPORTI A/R: VELOCI E SICURI 5102345678"), std::string::npos) << two;
    EXPECT_TRUE(std::regex_search(two, std::regex("Pagina +1\\b")));
    EXPECT_TRUE(std::regex_search(two, std::regex("Pagina +2\\b")));
    EXPECT_NE(two.find("TOTALE PAGINA"), std::string::npos);
    EXPECT_EQ(RunCommand("pdfinfo " + Quoted(outcome.files[1]) + " | grep -q '^Pages: *2$'").status, 0);

    // 004: its only employee is missing from the index; the header and a TOTALE of zeros remain.
    const std::string four = PdfText(outcome.files[2]);
    EXPECT_NE(four.find("AZIENDA : 004 OFFICINA MECCANICA VERDI SNC"), std::string::npos) << four;
    EXPECT_TRUE(std::regex_search(four, std::regex("TOTALE +0\\.00 +0\\.00 +0\\.00 +0\\.00 +0\\.00"))) << four;
    EXPECT_EQ(four.find("VERDI O"), std::string::npos);
}

// CREACARTELLEPDF on its own, for archive folders the demo does not use.
class PdfFoldersTest : public ::testing::Test {
protected:
    void Check(const std::string& archiveFolder, const std::string& root, const std::string& output) {
        TempFolder drives;
        platform::ScriptedMessageBoxes messages;
        platform::MemoryRegistry registry;
        ArchiveContext ctx(messages, platform::PathMap(drives.path()), registry);
        ctx.settings().archiveFolder = archiveFolder;
        // The archive folder exists, and so does its drive.
        fs::create_directories(ctx.paths().ToHost(archiveFolder.substr(archiveFolder.find_first_not_of(' '))));
        output::PdfListFiles files(ctx.files(), ctx.repository(), ctx.settings(), ctx.paths());
        files.CREACARTELLEPDF("012", "FDOTES", "200512");
        EXPECT_EQ(files.pdfRoot(), root);
        EXPECT_EQ(files.outputFolder(), output);
        EXPECT_TRUE(fs::is_directory(ctx.paths().ToHost(output))) << ctx.paths().ToHost(output);
        // A second call finds every folder in place.
        EXPECT_NO_THROW(files.CREACARTELLEPDF("012", "FDOTES", "200512"));
        EXPECT_TRUE(messages.shown().empty());
    }
};

TEST_F(PdfFoldersTest, TreeNextToTheArchiveFolder) {
    Check("D:\\PAGHE\\ARCHIVI", "D:\\PAGHE", "D:\\PAGHE\\FILE-PDF\\012\\2005\\12\\FDOTES");
    Check("  D:\\PAGHE\\ARCHIVI  ", "D:\\PAGHE", "D:\\PAGHE\\FILE-PDF\\012\\2005\\12\\FDOTES");
}

TEST_F(PdfFoldersTest, ThreeCharacterArchiveFolderIsTheDrive) {
    Check("D:\\", "D:", "D:\\FILE-PDF\\012\\2005\\12\\FDOTES");
}

// A damaged extraction date or company code never leads the files out of the FILE-PDF tree.
TEST(PdfFoldersDamagedTest, PartsThatAreNoFolderNamesAreRefused) {
    TempFolder drives;
    platform::ScriptedMessageBoxes messages;
    platform::MemoryRegistry registry;
    ArchiveContext ctx(messages, platform::PathMap(drives.path()), registry);
    ctx.settings().archiveFolder = "D:\\PAGHE\\ARCHIVI";
    fs::create_directories(ctx.paths().ToHost("D:\\PAGHE\\ARCHIVI"));
    output::PdfListFiles files(ctx.files(), ctx.repository(), ctx.settings(), ctx.paths());
    for (const auto& [company, period] : std::vector<std::pair<std::string, std::string>>{
             {"012", "..\\...."}, {"012", "2018.."}, {"012", "20/803"}, {"..", "201803"}, {"0\\1", "201803"},
             {"012", std::string("2018\0" "3", 6)}, {"", "201803"}}) {
        try {
            files.CREACARTELLEPDF(company, "FDOTES", period);
            ADD_FAILURE() << company << " " << period;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), err::PathFileAccess);
        }
    }
    // Nothing was created, not even the FILE-PDF folder.
    EXPECT_FALSE(fs::exists(ctx.paths().ToHost("D:\\PAGHE\\FILE-PDF")));
    EXPECT_NO_THROW(files.CREACARTELLEPDF("012", "FDOTES", "201803"));
}

TEST(PdfFileNameTest, CleaningReplacesReservedCharactersAndAFinalDot) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"TESTF14_002_TRASPORTI A/R: VELOCI.pdf", "TESTF14_002_TRASPORTI A_R_ VELOCI.pdf"},
        {"a*b|c\\d:e<f>g?h/i\"j", "a_b_c_d_e_f_g_h_i_j"},
        {"S.R.L.", "S.R.L"},
        {"NOME..", "NOME."},
        {"", ""},
        {".", ""},
    };
    for (const auto& c : cases) {
        std::string name = c.in;
        output::PdfListFiles::PULISCINOMEFILE(name);
        EXPECT_EQ(name, c.out) << c.in;
    }
}

}  // namespace
}  // namespace kv::app::test
