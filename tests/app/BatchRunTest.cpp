// The headless batch run: its command line, its exit status, and a full run of the kvteso binary
// that writes every PDF file and leaves every archive byte as it was.
#include <chrono>
#include <csignal>
#include <random>
#include <thread>

#include "AppTestSupport.h"
#include "app/BatchRun.h"
#include "app/Installation.h"
#include "platform/FileAccess.h"

namespace kv::app::test {
namespace {

TEST(BatchOptionsTest, GoodAndBadCommandLines) {
    std::ostringstream err;
    BatchOptions o;
    ASSERT_TRUE(ParseBatchOptions({"--batch", "--pdf", "--list", "CF01,TF02A", "--companies", "001,004", "--root", "/x",
                                   "--registry", "/r.ini"},
                                  o, err));
    EXPECT_EQ(o.lists, (std::vector<std::string>{"CF01", "TF02A"}));
    EXPECT_EQ(o.companies, (std::vector<std::string>{"001", "004"}));
    EXPECT_EQ(o.root + " " + o.registry, "/x /r.ini");
    ASSERT_TRUE(ParseBatchOptions({"--pdf", "--batch", "--list", "all", "--companies", "all"}, o = BatchOptions{}, err));
    EXPECT_TRUE(o.pdf && o.lists.empty() && o.companies.empty() && err.str().empty());
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"--batch"}, {"--pdf"}, {"--batch", "--pdf", "--list", "TF15"}, {"--batch", "--pdf", "--list"}, {"--batch", "--pdf", "--companies", "1"}, {"--batch", "--pdf", "--companies", "00A"}, {"--batch", "--pdf", "--frobnicate"}, {"--batch", "--pdf", "--root"}, {"--batch", "--pdf", "--registry"}}) {
        std::ostringstream e;
        EXPECT_FALSE(ParseBatchOptions(args, o = BatchOptions{}, e)) << args.size();
        EXPECT_EQ(e.str().substr(0, 8), "kvteso: ");
    }
    // The binary: --help, no argument, a bad command line, an installation it cannot find.
    EXPECT_EQ(RunCommand(kKvteso + " --help").output, BatchUsage());
    EXPECT_EQ(RunCommand(kKvteso + " --help").status, 0);
    const DemoInstallation elsewhere;  // a root without an installation under it
    for (const std::string& args : std::vector<std::string>{"", "--batch", "--batch --pdf --root " + Quoted(elsewhere.root() / "x") + " --registry /none.ini"}) {
        const CommandResult r = RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY " + kKvteso + " " + args + " </dev/null");
        EXPECT_EQ(r.status, 2) << args << "\n"
                               << r.output;
        EXPECT_NE(r.output.find(args.size() < 9 ? "\nUsage: kvteso --batch --pdf [--list CF01|CF02|TF02|TF02A|CF11|RECU|TF14|all]"
                                                : "ERRORE DI CONFIGURAZIONE! CONTROLLARE I PERCORSI DI KvsPaghe CON IL PROGRAMMA SENTIERO"),
                  std::string::npos)
            << r.output;
    }
}

class BatchRunTest : public SharedDemoTest {};

// As the README's first command runs it: every list of every company with selected employees (003
// gets nothing), each file passing qpdf; outside the PDF tree and the single-copy lock only the
// task file changed.
TEST_F(BatchRunTest, FullRunWritesEveryFileAndLeavesTheArchivesUntouched) {
    const auto before = HashTree(suite_->root());
    // Linux finds the mapped drives through the environment; Windows is given the folder on its command line.
    const std::string root = platform::NativeDrives() ? " --root " + Argument(suite_->root()) : "";
    const std::string env = platform::NativeDrives() ? "" : "KVTESO_ROOT=" + Quoted(suite_->root()) + " ";
    const CommandResult r = RunCommand(env + kKvteso + " --batch --pdf" + root + " </dev/null");
    ASSERT_EQ(r.status, 3) << r.output;  // the demo's damaged cases, named on standard error
    EXPECT_EQ(suite_->Task(), kHandedBack);
    auto after = HashTree(suite_->root());
    std::erase_if(after, [](auto& f) { return f.first.rfind("C/KVPAGHE/FILE-PDF", 0) == 0 || f.first.rfind("run", 0) == 0; });
    after["C/KVSTASK/KVSTASK.INI"] = before.at("C/KVSTASK/KVSTASK.INI");
    EXPECT_EQ(after, before);

    const auto pdfs = PdfFilesUnder(suite_->PdfTree());
    EXPECT_EQ(pdfs.size(), 21u);
    EXPECT_NE(r.output.find("21 PDF file(s) written under " + suite_->PdfTree().string() + "\n"), std::string::npos) << r.output;
    for (const auto& pdf : pdfs) {
        const std::string company = fs::relative(pdf, suite_->PdfTree()).string().substr(0, 3);
        EXPECT_EQ(pdf.parent_path(), suite_->PdfFolder(company));
        EXPECT_TRUE(QpdfClean(pdf, company == "001" ? kPassword : ""));
        EXPECT_NE(PdfText(pdf, company == "001" ? kPassword : "").find("31/03/2018  "), std::string::npos) << pdf;
    }
}

TEST_F(BatchRunTest, ChosenListsCompaniesAndStatusOneOrTwo) {
    BatchOptions o{true, {"RECU", "TF14"}, {"004"}, suite_->root().string(), suite_->registryFile().string()};
    std::ostringstream out, err;
    EXPECT_EQ(RunBatch(o, out, err), 3);  // 004's employee missing from the index
    EXPECT_EQ(err.str(),
              "Anomalia 004 RECU 0040000001: Chiave assente dall'indice\n"
              "Anomalia 004 TF14 0040000001: Chiave assente dall'indice\n");
    const fs::path folder = suite_->PdfFolder("004");
    const std::string done = R"([INFO] Creazione modulo PDF Liste Fondo Tesoreria: I file PDF creati sono contenuti nella relativa cartella situata in :

C:\KVPAGHE\FILE-PDF\DITTA\ANNO\MESE\FDOTES
)";
    EXPECT_EQ(out.str(), R"([INFO] Stampe Fondo Tesoreria: Viene eseguita una lista dei recuperi in caso di anticipo o liquidazioni TFR 
vengono stampati solo i dipendenti che hanno un valore nel campo P602 o nel campo P603
)" + done + "  RECU: " +
                  (folder / "TESRECU_004_OFFICINA MECCANICA VERDI SNC.pdf").string() + "\n" + done + "  TF14: " + (folder / "TESTF14_004_OFFICINA MECCANICA VERDI SNC.pdf").string() + "\n2 PDF file(s) written under " + suite_->PdfTree().string() + "\n");
    EXPECT_EQ(PdfFilesUnder(suite_->PdfTree()).size(), 2u);
    // A company that is not in the extraction.
    o.companies = {"999"};
    EXPECT_EQ(RunBatch(o, out, err), 1);
    EXPECT_NE(out.str().find("kvteso: company 999 is not in the current extraction\n"), std::string::npos);
    // An installation without a current extraction: the warning, the task line handed back, status 2.
    DemoInstallation empty;
    empty.Truncate("SLESTRAZ.DAT", 0);
    out.str("");
    EXPECT_EQ(RunBatch({true, {}, {}, empty.root().string(), empty.registryFile().string()}, out, err), 2);
    EXPECT_EQ(out.str(), "[ERRORE] Stampe Fondo Tesoreria: Attenzione: Non esiste estrazione anno corrente\n");
    EXPECT_TRUE(empty.Task() == kHandedBack && PdfFilesUnder(empty.root()).empty());
}

#ifndef _WIN32  // killing the program means killing it, not Wine's loader
// Killed at random moments, runs never leave a list file or workbook that is not whole: a file takes
// its name only once complete, and the earlier one stays until then. The next complete run removes
// the hidden files that killed runs left beside the list files and the workbooks.
TEST(KilledRunTest, EveryListFileLeftIsComplete) {
    demo::DemoOptions options;
    options.companies = 100, options.employees = 2000;
    const DemoInstallation suite(options);
    const fs::path workbooks = suite.root() / "C/KVPAGHE/FILE-XLSX/2018/03";
    std::mt19937 random(20261206);
    for (const std::string output : {"--pdf", "--xlsx"}) {
        const std::string command = "KVTESO_ROOT=" + Quoted(suite.root()) + " exec " + kKvteso + " --batch " + output + " --list CF01,TF14 </dev/null >/dev/null 2>&1";
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(RunCommand(command).status, 3);  // the named cases' damaged data
        const auto whole = std::chrono::steady_clock::now() - start;
        for (int kill = 0; kill < 20; ++kill) {
            const pid_t child = ::fork();
            if (child == 0) ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr)), ::_exit(127);
            std::this_thread::sleep_for(whole * std::uniform_real_distribution<>(0.02, 0.98)(random));
            ::kill(child, SIGKILL), ::waitpid(child, nullptr, 0);
        }
    }
    EXPECT_GT(PdfFilesUnder(suite.PdfTree()).size(), 100u);
    for (const auto& pdf : PdfFilesUnder(suite.PdfTree())) EXPECT_TRUE(QpdfClean(pdf, pdf.string().find("/001/") != std::string::npos ? kPassword : ""));
    const std::string readAll = "/usr/bin/python3 -c 'import sys, openpyxl; [openpyxl.load_workbook(f) for f in sys.argv[1:]]' " + Quoted(workbooks / "TESCF01_201803.xlsx") + " " + Quoted(workbooks / "TESTF14_201803.xlsx");
    EXPECT_EQ(RunCommand(readAll).status, 0);
    // Hidden files as a run killed an hour ago left them; the next run removes them and every other.
    for (const fs::path& left : {workbooks / ".TESTF14_201803.xlsx.99999-0.part", suite.PdfFolder("002") / ".TESTF14_002_X.pdf.99999-0.part"})
        std::ofstream(left) << "cut", fs::last_write_time(left, fs::file_time_type::clock::now() - std::chrono::hours(1));
    ASSERT_EQ(RunCommand("KVTESO_ROOT=" + Quoted(suite.root()) + " " + kKvteso + " --batch --pdf --xlsx --list CF01,TF14 </dev/null >/dev/null 2>&1").status, 3);
    for (const fs::path& folder : {workbooks, suite.PdfTree()})
        for (const auto& entry : fs::recursive_directory_iterator(folder)) EXPECT_NE(entry.path().extension(), ".part") << entry.path();
    EXPECT_EQ(RunCommand(readAll).status, 0);
}
#endif

// A second run on the same archives, through the same root or another root whose C: leads to them,
// says so and ends with status 2.
TEST_F(BatchRunTest, SecondCopyOnTheSameArchivesSaysSo) {
    const fs::path other = suite_->root().string() + "-other";
    std::vector<fs::path> roots{suite_->root()};
    if (!platform::NativeDrives())  // Windows names its claim on the archive folder by the folder's path
        fs::create_directories(other), fs::create_directory_symlink(suite_->root() / "C", other / "C"), roots.push_back(other);
    auto running = std::make_unique<Installation>(suite_->root().string(), suite_->registryFile().string());
    for (const fs::path& root : roots) {
        std::ostringstream out, err;
        EXPECT_EQ(RunBatch({true, {"TF14"}, {"001"}, root.string(), suite_->registryFile().string()}, out, err), 2) << root;
        EXPECT_EQ(err.str(), "kvteso: another copy is running on this installation\n");
    }
    running.reset(), fs::remove_all(other);
}

}  // namespace
}  // namespace kv::app::test
