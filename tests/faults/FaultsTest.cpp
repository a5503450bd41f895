// The batch run under faults of the file system and of other programs: reads that fail, come back
// short or find the file cut or gone; an output folder that is full, read-only or holds a file
// another program keeps busy. Each run ends in its message or named anomaly, never leaves a partial
// list file, keeps an earlier file until a complete new one replaces it, and never writes in the
// archives.
#include <sys/mount.h>

#include <cstring>
#include <set>
#include <thread>

#include "app/AppTestSupport.h"

namespace kv::app::test {
namespace {

const std::string kEarlier = "an earlier list";
const std::string kShim = Quoted(std::string(KV_BUILD_DIR) + "/tests/libkvfaultshim.so");

struct Outcome {
    CommandResult result;
    std::map<std::string, std::string> texts;  // "001/TESTF14" -> the list's text, "*" for a file not the run's
    std::string Files() const {  // "001/TESTF14 002/TESCF01* ..."
        std::string names;
        for (const auto& [key, text] : texts) names += (names.empty() ? "" : " ") + key + (text == "*" ? "*" : "");
        return names;
    }
};

class FaultsTest : public ::testing::Test {
protected:
    // Puts an earlier file where 001's, 002's or 004's list of that prefix goes.
    fs::path Earlier(const std::string& company, const std::string& prefix) {
        const std::map<std::string, std::string> names{{"001", "_001_PER\xC3\x92 COSTRUZIONI S.R.L.pdf"}, {"002", "_002_TRASPORTI A_R_ VELOCI E SICURI.pdf"}, {"004", "_004_OFFICINA MECCANICA VERDI SNC.pdf"}};
        const fs::path file = s->PdfFolder(company) / (prefix + names.at(company));
        fs::create_directories(file.parent_path()), std::ofstream(file) << kEarlier;
        return file;
    }
    // The run with the fault (see the preloaded library) and its status, output and list files, each
    // checked by qpdf; no hidden partial file is left.
    Outcome Batch(const std::string& lists, const std::string& fault = "", int status = 3, const std::vector<std::string>& said = {}) {
        const auto archives = HashTree(s->root() / "C/KVPAGHE/ARCHIVI");
        Outcome run{RunCommand((fault.empty() ? "" : "KV_FAULT='" + fault + "' LD_PRELOAD=" + kShim + " ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 ") +
                               "KVTESO_ROOT=" + Quoted(s->root()) + " " + kKvteso + " --batch --pdf --list " + lists + " </dev/null"),
                    {}};
        EXPECT_EQ(run.result.status, status) << run.result.output;
        for (const std::string& text : said) EXPECT_NE(run.result.output.find(text), std::string::npos) << text << "\n"
                                                                                                        << run.result.output;
        for (const auto& entry : fs::recursive_directory_iterator(s->PdfTree())) EXPECT_NE(entry.path().extension(), ".part");
        for (const fs::path& pdf : PdfFilesUnder(s->PdfTree())) {
            const std::string key = fs::relative(pdf, s->PdfTree()).string().substr(0, 4) + pdf.filename().string().substr(0, 7);
            const std::string password = key.substr(0, 3) == "001" ? kPassword : "";
            const bool earlier = untouched.count(ReadFile(pdf)) > 0;
            EXPECT_TRUE(earlier || QpdfClean(pdf, password));
            run.texts[key] = earlier ? "*" : PdfText(pdf, password);
        }
        const bool changedByFault = fault.find("shrink") != std::string::npos || fault.find("vanish") != std::string::npos;
        EXPECT_TRUE(changedByFault || HashTree(s->root() / "C/KVPAGHE/ARCHIVI") == archives) << "the archives were written";
        return run;
    }
    std::unique_ptr<DemoInstallation> s = std::make_unique<DemoInstallation>();
    std::set<std::string> untouched{kEarlier};  // contents of files that are not the run's
};

// Reads that fail or come back short, and the employee archive cut by another program while the run
// reads it.
TEST_F(FaultsTest, ArchiveReads) {
    const Outcome clean = Batch("TF14");
    fs::remove_all(s->PdfTree());
    // Every read of every archive returns a few bytes at most: the same lists.
    const Outcome shortReads = Batch("TF14", "ARCHIVI 1 short");
    EXPECT_TRUE(shortReads.texts == clean.texts && shortReads.result.output == clean.result.output);
    fs::remove_all(s->PdfTree());
    // The employee archive's device fails in 001's list: the report names the record, nothing is
    // written, the earlier file stays.
    Earlier("001", "TESTF14");
    Batch("TF14", "SLDIPEND.DAT 40 eio", 1, {"Errore 57 Device I/O error\nLEGGIREC (2-75)",
                                             "Ultima lettura: C:\\KVPAGHE\\ARCHIVI\\SLDIPEND.DAT, record 101\n"
                                             "Voce dell'estrazione: 0010000101\n\n[INFO] KvsPaghe: CHIUDERE TUTTE LE APPLICAZIONI DELLA TASK"});
    EXPECT_EQ(Batch("TF14", "SLDIPEND.DAT 1 eio", 1).Files(), "001/TESTF14*");
    // Cut to half while 001's list reads it: every employee past the cut is named, the lists written.
    EXPECT_EQ(Batch("TF14", "SLDIPEND.DAT 40 shrink", 3, {"Anomalia 001 TF14 record 101: Voce oltre la fine dell'archivio dipendenti\n", "Anomalia 002 TF14 record 64: Voce oltre la fine dell'archivio dipendenti\n"}).Files(),
              "001/TESTF14 002/TESTF14 004/TESTF14");
}

// Archives that other programs delete between two lists: a missing extraction header or fiscal
// record is named (the lists keep the date read at the start, a document goes without its password).
TEST_F(FaultsTest, ArchivesDeletedDuringTheRun) {
    const std::string gone = ": Testata dell'estrazione cambiata durante l'elaborazione: usata quella iniziale (ora assente, in uso 31/03/2018)\n";
    const Outcome header = Batch("TF14,CF01", "SLESTTES.DAT 3 vanish", 3, {"Anomalia 002 TF14" + gone, "Anomalia 001 CF01" + gone});
    EXPECT_EQ(header.result.output.find("Anomalia 001 TF14: Testata"), std::string::npos);
    EXPECT_NE(header.texts.at("002/TESTF14").find("31/03/2018"), std::string::npos);
    s = std::make_unique<DemoInstallation>();
    const Outcome fiscal = Batch("TF14,CF01", "SLFISCO.DAT 1 vanish", 3, {"Anomalia 001 CF01: Dati fiscali dell'installazione assenti: PDF senza password\n"});
    EXPECT_EQ(fiscal.result.output.find("001 TF14: Dati fiscali"), std::string::npos);
    EXPECT_EQ(RunCommand("qpdf --is-encrypted " + Quoted(PdfFilesUnder(s->PdfFolder("001")).front())).status, 2);
}

// A full output disk, a folder that cannot be written, a file another program holds: that company's
// list is named with its error and the run goes on, the earlier file stays, the other files are written.
TEST_F(FaultsTest, OutputFolderFullReadOnlyOrBusy) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root (CI runs as root)";
    struct Mounted {
        ~Mounted() { ::umount2(at.c_str(), MNT_DETACH); }
        fs::path at;
    };
    const std::string folder002 = "C:\\KVPAGHE\\FILE-PDF\\002\\2018\\03\\FDOTES\\";
    {
        const Mounted small{(fs::create_directories(s->PdfTree()), s->PdfTree())};
        ASSERT_EQ(::mount("tmpfs", small.at.c_str(), "tmpfs", 0, "size=40k"), 0) << std::strerror(errno);
        Earlier("004", "TESCF01");
        EXPECT_EQ(Batch("TF14,CF01", "", 3, {"Errore N.61\nDisk full (EndDoc C:\\KVPAGHE\\FILE-PDF\\004\\2018\\03\\FDOTES\\TESCF01_004_"}).Files(),
                  "001/TESCF01 001/TESTF14 002/TESCF01 002/TESTF14 004/TESCF01*");
    }
    fs::remove_all(s->PdfTree());
    const fs::path busy = Earlier("002", "TESTF14");
    Earlier("002", "TESCF01");
    {
        const Mounted readOnly{s->PdfFolder("002")};
        ASSERT_EQ(::mount(readOnly.at.c_str(), readOnly.at.c_str(), nullptr, MS_BIND, nullptr), 0);
        ASSERT_EQ(::mount(nullptr, readOnly.at.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr), 0);
        EXPECT_EQ(Batch("TF14,CF01", "", 3, {"Errore N.75\nPath/File access error (BeginDoc " + folder002 + "TESTF14_002_", "Anomalia 002 CF01: Lista non prodotta (Errore N.75 Path/File access error (BeginDoc " + folder002 + "TESCF01_002_"}).Files(),
                  "001/TESCF01 001/TESTF14 002/TESCF01* 002/TESTF14* 004/TESCF01 004/TESTF14");
    }
    // A running program's file cannot be opened for writing: the busy-file message, then that file
    // given up untouched while the next list writes 002's.
    untouched.insert(ReadFile("/bin/sleep"));
    fs::copy_file("/bin/sleep", busy, fs::copy_options::overwrite_existing);
    fs::permissions(busy, fs::perms::owner_all);
    const pid_t holder = ::fork();
    if (holder == 0) ::execl(busy.c_str(), "sleep", "30", static_cast<char*>(nullptr)), ::_exit(127);
    std::error_code ec;
    for (int i = 0; i < 500 && fs::read_symlink("/proc/" + std::to_string(holder) + "/exe", ec) != busy; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const Outcome run = Batch("TF14,CF01", "", 3, {"[INFO] Creazione PDF: Attenzione!\n\nIl file PDF risulta essere gi\xC3\xA0 aperto.", "Errore N.70\nPermission denied (BeginDoc " + folder002 + "TESTF14_002_"});
    ::kill(holder, SIGKILL), ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(run.Files(), "001/TESCF01 001/TESTF14 002/TESCF01 002/TESTF14* 004/TESCF01 004/TESTF14");
    // A read-only task folder: the task line cannot be handed back, and the message says which file.
    const std::string task = ReadFile(s->root() / "C/KVSTASK/KVSTASK.INI");
    const Mounted taskFolder{s->root() / "C/KVSTASK"};
    ASSERT_EQ(::mount(taskFolder.at.c_str(), taskFolder.at.c_str(), nullptr, MS_BIND, nullptr), 0);
    ASSERT_EQ(::mount(nullptr, taskFolder.at.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr), 0);
    Batch("TF14", "", 1, {"Errore 75 Path/File access error - C:\\KVSTASK\\KVSTASK.INI"});
    EXPECT_EQ(ReadFile(s->root() / "C/KVSTASK/KVSTASK.INI"), task);
}

}  // namespace
}  // namespace kv::app::test
