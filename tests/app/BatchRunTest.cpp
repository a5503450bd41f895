// The headless batch run: its command line, its exit status, and a full run that writes every PDF
// file and leaves every archive byte as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "AppTestSupport.h"
#include "app/BatchRun.h"

namespace kv::app::test {
namespace {

namespace fs = std::filesystem;

const std::string kKvteso = std::string(KV_BUILD_DIR) + "/src/app/kvteso";

BatchOptions OptionsFor(const DemoInstallation& suite) {
    BatchOptions o;
    o.pdf = true;
    o.root = suite.root().string();
    o.registry = suite.registryFile().string();
    return o;
}

TEST(BatchOptionsTest, ParsesListsAndCompanies) {
    std::ostringstream err;
    BatchOptions o;
    ASSERT_TRUE(ParseBatchOptions({"--batch", "--pdf", "--list", "CF01,TF02A", "--companies", "001,004", "--root",
                                   "/tmp/x", "--registry", "/tmp/r.ini"},
                                  o, err))
        << err.str();
    EXPECT_TRUE(o.pdf);
    EXPECT_EQ(o.lists, (std::vector<std::string>{"CF01", "TF02A"}));
    EXPECT_EQ(o.companies, (std::vector<std::string>{"001", "004"}));
    EXPECT_EQ(o.root, "/tmp/x");
    EXPECT_EQ(o.registry, "/tmp/r.ini");

    BatchOptions all;
    ASSERT_TRUE(ParseBatchOptions({"--pdf", "--batch", "--list", "all", "--companies", "all"}, all, err));
    EXPECT_TRUE(all.lists.empty());
    EXPECT_TRUE(all.companies.empty());
}

TEST(BatchOptionsTest, RefusesBadCommandLines) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--batch"},
        {"--pdf"},
        {"--batch", "--pdf", "--list", "TF15"},
        {"--batch", "--pdf", "--list"},
        {"--batch", "--pdf", "--companies", "1"},
        {"--batch", "--pdf", "--companies", "00A"},
        {"--batch", "--pdf", "--frobnicate"},
        {"--batch", "--pdf", "--root"},
    };
    for (const auto& args : bad) {
        std::ostringstream err;
        BatchOptions o;
        EXPECT_FALSE(ParseBatchOptions(args, o, err)) << args.size();
        EXPECT_NE(err.str().find("kvteso: "), std::string::npos);
    }
}

TEST(BatchCommandTest, HelpAndBadOptions) {
    const CommandResult help = RunCommand(Quoted(kKvteso) + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output, BatchUsage());
    EXPECT_NE(help.output.find("--batch"), std::string::npos);
    EXPECT_NE(help.output.find("CF01|CF02|TF02|TF02A|CF11|RECU|TF14|all"), std::string::npos);
    EXPECT_NE(help.output.find("Exit status"), std::string::npos);

    for (const char* args : {"", "--batch", "--batch --pdf --list XX", "--batch --pdf --companies 12",
                             "--batch --pdf --bogus"}) {
        const CommandResult r = RunCommand(Quoted(kKvteso) + " " + args + " </dev/null");
        EXPECT_EQ(r.status, 2) << args << "\n" << r.output;
        EXPECT_NE(r.output.find("Usage: kvteso"), std::string::npos) << args;
    }
}

class BatchRunTest : public SharedDemoTest<> {};

TEST_F(BatchRunTest, FullRunWritesEveryFileAndLeavesTheArchivesUntouched) {
    const auto archivesBefore = HashTree(suite_->ArchiveFolder());
    ASSERT_TRUE(archivesBefore.count("SLSEMA.DAT"));
    ASSERT_TRUE(archivesBefore.count("SLBASE.DAT"));
    ASSERT_TRUE(archivesBefore.count("SLDIPEND.DAT"));
    const auto rootBefore = HashTree(suite_->root());

    // The kvteso binary itself, as the README's first command runs it.
    const CommandResult r = RunCommand("KVTESO_ROOT=" + Quoted(suite_->root()) + " " + Quoted(kKvteso) +
                                       " --batch --pdf --registry " + Quoted(suite_->registryFile()) + " </dev/null");
    ASSERT_EQ(r.status, 0) << r.output;

    EXPECT_EQ(HashTree(suite_->ArchiveFolder()), archivesBefore);
    // Outside the PDF tree and the single-copy lock, only the task file changed: 100 characters and CR LF.
    auto rootAfter = HashTree(suite_->root());
    auto rootBeforeCopy = rootBefore;
    const std::string task = fs::relative(suite_->TaskFile(), suite_->root()).string();
    EXPECT_NE(rootAfter.at(task), rootBefore.at(task));
    EXPECT_EQ(ReadFile(suite_->TaskFile()), "01" + std::string(98, ' ') + "\r\n");
    for (auto* m : std::initializer_list<decltype(&rootAfter)>{&rootBeforeCopy, &rootAfter}) {
        for (auto it = m->begin(); it != m->end();)
            it = (it->first == task || it->first.rfind("C/KVPAGHE/FILE-PDF/", 0) == 0 || it->first.rfind("run/", 0) == 0)
                     ? m->erase(it)
                     : std::next(it);
    }
    EXPECT_EQ(rootAfter, rootBeforeCopy);

    // Every list of every company with selected employees; 003 gets nothing.
    const auto pdfs = PdfFilesUnder(suite_->Host("C:\\KVPAGHE\\FILE-PDF"));
    EXPECT_FALSE(fs::exists(suite_->Host("C:\\KVPAGHE\\FILE-PDF\\003")));
    for (const char* company : {"001", "002", "004"}) {
        const auto files = PdfFilesUnder(suite_->PdfFolder(company));
        EXPECT_EQ(files.size(), 7u) << company;
    }
    EXPECT_NE(r.output.find(std::to_string(pdfs.size()) + " PDF file(s) written under "), std::string::npos) << r.output;
    for (const auto& pdf : pdfs) {
        const std::string company = pdf.parent_path().parent_path().parent_path().parent_path().filename().string();
        const CommandResult check = QpdfCheck(pdf, company == "001" ? "LEGGIPDF" : "");
        EXPECT_EQ(check.status, 0) << pdf << "\n" << check.output;
        EXPECT_EQ(check.output.find("WARNING"), std::string::npos) << pdf << "\n" << check.output;
        const std::string text = PdfText(pdf, company == "001" ? "LEGGIPDF" : "");
        EXPECT_NE(text.find("31/03/2018"), std::string::npos) << pdf;
        EXPECT_TRUE(std::regex_search(text, std::regex("Pagina +1\\b"))) << pdf;
        EXPECT_NE(text.find("AZIENDA : " + company), std::string::npos) << pdf;
        EXPECT_NE(text.find("TOTALE"), std::string::npos) << pdf;
    }
}

TEST_F(BatchRunTest, ChosenListsAndCompaniesInProcess) {
    std::error_code ec;
    fs::remove_all(suite_->Host("C:\\KVPAGHE\\FILE-PDF"), ec);
    BatchOptions o = OptionsFor(*suite_);
    o.lists = {"RECU", "TF14"};
    o.companies = {"004"};
    std::ostringstream out;
    EXPECT_EQ(RunBatch(o, out), 0) << out.str();
    const auto files = PdfFilesUnder(suite_->Host("C:\\KVPAGHE\\FILE-PDF"));
    ASSERT_EQ(files.size(), 2u) << out.str();
    EXPECT_EQ(files[0].filename(), "TESRECU_004_OFFICINA MECCANICA VERDI SNC.pdf");
    EXPECT_EQ(files[1].filename(), "TESTF14_004_OFFICINA MECCANICA VERDI SNC.pdf");
    // The recoveries notice went to the terminal.
    EXPECT_NE(out.str().find("P602 o nel campo P603"), std::string::npos) << out.str();
}

TEST_F(BatchRunTest, UnknownCompanyGivesStatusOne) {
    BatchOptions o = OptionsFor(*suite_);
    o.lists = {"CF01"};
    o.companies = {"999"};
    std::ostringstream out;
    EXPECT_EQ(RunBatch(o, out), 1);
    EXPECT_NE(out.str().find("999"), std::string::npos) << out.str();

    const CommandResult r = RunCommand(Quoted(kKvteso) + " --batch --pdf --list CF01 --companies 001,999 --root " +
                                       Quoted(suite_->root()) + " --registry " + Quoted(suite_->registryFile()));
    EXPECT_EQ(r.status, 1) << r.output;
}

TEST(BatchStartTest, MissingConfigurationGivesStatusTwo) {
    TempFolder root;
    const CommandResult r = RunCommand(Quoted(kKvteso) + " --batch --pdf --root " + Quoted(root.path()) +
                                       " --registry " + Quoted(root.path() / "none.ini"));
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_NE(r.output.find("ERRORE DI CONFIGURAZIONE! CONTROLLARE I PERCORSI DI KvsPaghe CON IL PROGRAMMA SENTIERO"),
              std::string::npos)
        << r.output;
}

TEST_F(BatchRunTest, InstallationWithoutExtractionEndsWithTheWarning) {
    DemoInstallation empty;
    empty.Truncate("SLESTRAZ.DAT", 0);
    std::ostringstream out;
    const int status = RunBatch(OptionsFor(empty), out);
    EXPECT_NE(out.str().find("Attenzione: Non esiste estrazione anno corrente"), std::string::npos) << out.str();
    EXPECT_TRUE(PdfFilesUnder(empty.root()).empty());
    // The program ended through the way out: the task line was handed back.
    EXPECT_EQ(ReadFile(empty.TaskFile()), "01" + std::string(98, ' ') + "\r\n");
    // Nothing was produced: the run must not look like a success to whoever scheduled it.
    EXPECT_EQ(status, 2);
    const CommandResult r = RunCommand(Quoted(kKvteso) + " --batch --pdf --root " + Quoted(empty.root()) +
                                       " --registry " + Quoted(empty.registryFile()));
    EXPECT_EQ(r.status, 2) << r.output;
}

}  // namespace
}  // namespace kv::app::test
