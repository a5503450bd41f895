// The batch run under faults of the file system and of other programs: reads that fail, come back
// short or find the file cut or gone; the suite's semaphore held by another program; an output folder
// that is full, read-only or holds a file another program keeps busy. Each run ends in its message or
// named anomaly, never leaves a partial list file, keeps an earlier complete file until a new one
// replaces it, and never writes in the archives.
#include <sys/file.h>
#include <sys/mount.h>

#include <set>
#include <thread>

#include "app/AppTestSupport.h"

namespace kv::app::test {
namespace {

const std::string kKvteso = Quoted(std::string(KV_BUILD_DIR) + "/src/app/kvteso");
const std::string kShim = std::string(KV_BUILD_DIR) + "/tests/libkvfaultshim.so";
const std::string kEarlier = "an earlier complete list";

struct Outcome {
    CommandResult result;
    std::map<std::string, std::string> texts;  // list file (company/name) -> its text
};

class FaultsTest : public ::testing::Test {
protected:
    // Puts an earlier file where 001's (or 002's) list of that prefix goes.
    fs::path Earlier(const std::string& company, const std::string& prefix) {
        const std::string name = company == "001" ? "_001_PER\xC3\x92 COSTRUZIONI S.R.L.pdf" : "_002_TRASPORTI A_R_ VELOCI E SICURI.pdf";
        const fs::path file = s->PdfFolder(company) / (prefix + name);
        fs::create_directories(file.parent_path()), std::ofstream(file) << kEarlier;
        return file;
    }
    Outcome Batch(const std::string& lists, const std::string& fault = "") {
        const auto archives = HashTree(s->root() / "C/KVPAGHE/ARCHIVI");
        Outcome run;
        run.result = RunCommand((fault.empty() ? "" : "KV_FAULT='" + fault + "' LD_PRELOAD=" + Quoted(kShim) +
                                 " ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 ") +
                                "KVTESO_ROOT=" + Quoted(s->root()) + " " + kKvteso + " --batch --pdf --list " + lists + " </dev/null");
        for (const auto& entry : fs::recursive_directory_iterator(s->PdfTree()))
            EXPECT_EQ(entry.path().extension() == ".part", false) << entry.path();
        for (const fs::path& pdf : PdfFilesUnder(s->PdfTree())) {
            const std::string key = fs::relative(pdf, s->PdfTree()).string().substr(0, 4) + pdf.filename().string().substr(0, 7);
            if (untouched.count(ReadFile(pdf))) {
                run.texts[key] = kEarlier;
                continue;
            }
            const std::string password = key.substr(0, 3) == "001" ? kPassword : "";
            EXPECT_TRUE(QpdfClean(pdf, password));
            run.texts[key] = PdfText(pdf, password);
        }
        if (fault.find("shrink") == std::string::npos && fault.find("vanish") == std::string::npos) {
            EXPECT_EQ(HashTree(s->root() / "C/KVPAGHE/ARCHIVI"), archives) << "the archives were written";
        }
        return run;
    }
    static void Said(const Outcome& run, int status, const std::vector<std::string>& texts) {
        EXPECT_EQ(run.result.status, status) << run.result.output;
        for (const std::string& text : texts) EXPECT_NE(run.result.output.find(text), std::string::npos) << text << "\n" << run.result.output;
    }
    static std::vector<std::string> Listed(const Outcome& run, const std::string& kind = "") {
        std::vector<std::string> files;
        for (const auto& [key, text] : run.texts)
            if (kind.empty() || (kind == "earlier") == (text == kEarlier)) files.push_back(key);
        return files;
    }
    std::unique_ptr<DemoInstallation> s = std::make_unique<DemoInstallation>();
    std::set<std::string> untouched{kEarlier};  // contents of files that are not the run's
};

using Names = std::vector<std::string>;
const Names kTf14 = {"001/TESTF14", "002/TESTF14", "004/TESTF14"};

// Reads that fail or come back short, and archives another program cuts or deletes while the run
// reads them.
TEST_F(FaultsTest, ArchiveReads) {
    Earlier("001", "TESTF14");
    const Outcome clean = Batch("TF14");
    ASSERT_EQ(Listed(clean, "earlier"), Names{}) << clean.result.output;
    fs::remove_all(s->PdfTree());
    // Every read of every archive returns a few bytes at most: the same lists.
    const Outcome shortReads = Batch("TF14", "ARCHIVI 1 short");
    EXPECT_EQ(shortReads.texts, clean.texts);
    EXPECT_EQ(shortReads.result.output, clean.result.output);
    fs::remove_all(s->PdfTree());
    // The employee archive's device fails in 001's list: the error names the record, nothing is
    // written, the earlier file stays.
    Earlier("001", "TESTF14");
    Said(Batch("TF14", "SLDIPEND.DAT 40 eio"), 1, {"Errore 57 Device I/O error\nLEGGIREC (2-75)", "Ultima lettura: C:\\KVPAGHE\\ARCHIVI\\SLDIPEND.DAT, record 101\n"
                                                   "Voce dell'estrazione: 0010000101\n\n[INFO] KvsPaghe: CHIUDERE TUTTE LE APPLICAZIONI DELLA TASK"});
    EXPECT_EQ(Listed(Batch("TF14", "SLDIPEND.DAT 1 eio")), Names{"001/TESTF14"});
    // Cut to half while 001's list reads it: every employee past the cut is named, the lists written.
    Outcome cut = Batch("TF14", "SLDIPEND.DAT 40 shrink");
    Said(cut, 3, {"Anomalia 001 TF14 record 101: Voce oltre la fine dell'archivio dipendenti\n",
                  "Anomalia 002 TF14 record 64: Voce oltre la fine dell'archivio dipendenti\n"});
    EXPECT_EQ(Listed(cut), kTf14);
}

// Archives that other programs delete between two lists: the open employee archive keeps serving;
// a missing extraction header or fiscal record is named (a list without its date, a document
// without its password).
TEST_F(FaultsTest, ArchivesDeletedDuringTheRun) {
    const Outcome employees = Batch("TF14,CF01", "SLDIPEND.DAT 40 vanish");
    Said(employees, 3, {});
    EXPECT_EQ(employees.result.output.find("Voce oltre"), std::string::npos);
    EXPECT_EQ(Listed(employees).size(), 6u);
    s = std::make_unique<DemoInstallation>();
    const Outcome header = Batch("TF14,CF01", "SLESTTES.DAT 3 vanish");
    Said(header, 3, {"Anomalia 002 TF14: Testata dell'estrazione assente: data in bianco\n",
                     "Anomalia 004 CF01: Testata dell'estrazione assente: data in bianco\n"});
    EXPECT_EQ(header.result.output.find("Anomalia 001 TF14: Testata"), std::string::npos);
    EXPECT_NE(header.texts.at("002/TESTF14").find(" / / "), std::string::npos);
    s = std::make_unique<DemoInstallation>();
    const Outcome fiscal = Batch("TF14,CF01", "SLFISCO.DAT 3 vanish");
    Said(fiscal, 3, {"Anomalia 001 CF01: Dati fiscali dell'installazione assenti: PDF senza password\n"});
    EXPECT_EQ(fiscal.result.output.find("TF14: Dati fiscali"), std::string::npos);
    EXPECT_EQ(RunCommand("qpdf --is-encrypted " + Quoted(PdfFilesUnder(s->PdfFolder("001")).front())).status, 2);
}

// Another program of the suite holds the semaphore: past the wait the run ends with error 70 in
// the key search; released within the wait, the run goes on as usual.
TEST_F(FaultsTest, SemaphoreHeldByAnotherProgram) {
    for (const int heldMs : {3500, 800}) {
        const int fd = ::open(s->ArchiveFile("SLSEMA.DAT").c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        std::thread holder([&] { std::this_thread::sleep_for(std::chrono::milliseconds(heldMs)), ::close(fd); });
        const Outcome run = Batch("TF14");
        holder.join();
        if (heldMs > 3000) Said(run, 1, {"Errore 70 Permission denied\n", "APRISEMA\nUltima lettura: "});
        EXPECT_EQ(Listed(run), heldMs > 3000 ? Names{} : kTf14);
    }
}

// A full output disk, a folder that cannot be written, a file another program holds: that list file
// is given up with its error, the earlier one stays, what was finished before stays.
TEST_F(FaultsTest, OutputFolderFullReadOnlyOrBusy) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root (CI runs as root)";
    struct Mounted {
        ~Mounted() { ::umount2(at.c_str(), MNT_DETACH); }
        fs::path at;
    };
    {
        fs::create_directories(s->PdfTree());
        const Mounted small{s->PdfTree()};
        ASSERT_EQ(::mount("tmpfs", small.at.c_str(), "tmpfs", 0, "size=40k"), 0) << std::strerror(errno);
        Earlier("002", "TESCF01");
        const Outcome full = Batch("TF14,CF01");
        Said(full, 1, {"Errore N.61\nDisk full (EndDoc C:\\KVPAGHE\\FILE-PDF\\002\\2018\\03\\FDOTES\\TESCF01_002_"});
        EXPECT_EQ(Listed(full), (Names{"001/TESCF01", "001/TESTF14", "002/TESCF01", "002/TESTF14", "004/TESTF14"}));
        EXPECT_EQ(Listed(full, "earlier"), Names{"002/TESCF01"});
    }
    fs::remove_all(s->PdfTree());
    const fs::path busy = Earlier("002", "TESTF14");
    Earlier("002", "TESCF01");
    {
        const Mounted readOnly{s->PdfFolder("002")};
        ASSERT_EQ(::mount(readOnly.at.c_str(), readOnly.at.c_str(), nullptr, MS_BIND, nullptr), 0);
        ASSERT_EQ(::mount(nullptr, readOnly.at.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr), 0);
        const Outcome run = Batch("TF14,CF01");
        Said(run, 1, {"Errore N.75\nPath/File access error (BeginDoc C:\\KVPAGHE\\FILE-PDF\\002\\2018\\03\\FDOTES\\TESTF14_002_",
                      "Errore N.75\nPath/File access error (BeginDoc C:\\KVPAGHE\\FILE-PDF\\002\\2018\\03\\FDOTES\\TESCF01_002_"});
        EXPECT_EQ(Listed(run), (Names{"001/TESCF01", "001/TESTF14", "002/TESCF01", "002/TESTF14"}));
        EXPECT_EQ(Listed(run, "earlier"), (Names{"002/TESCF01", "002/TESTF14"}));
    }
    // A running program's file cannot be opened for writing: the busy-file message, then that file
    // given up untouched while the next list writes 002's.
    untouched.insert(ReadFile("/bin/sleep"));
    fs::copy_file("/bin/sleep", busy, fs::copy_options::overwrite_existing);
    fs::permissions(busy, fs::perms::owner_all);
    const pid_t holder = ::fork();
    if (holder == 0) ::execl(busy.c_str(), "sleep", "30", static_cast<char*>(nullptr)), ::_exit(127);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const CommandResult run = Batch("TF14,CF01").result;
    ::kill(holder, SIGKILL), ::waitpid(holder, nullptr, 0);
    Said({run, {}}, 1, {"[INFO] Creazione PDF: Attenzione!\n\nIl file PDF risulta essere gi\xC3\xA0 aperto.",
                        "Errore N.70\nPermission denied (BeginDoc C:\\KVPAGHE\\FILE-PDF\\002\\2018\\03\\FDOTES\\TESTF14_002_"});
    EXPECT_EQ(ReadFile(busy), ReadFile("/bin/sleep"));
    EXPECT_EQ(PdfFilesUnder(s->PdfTree()).size(), 5u);
}

}  // namespace
}  // namespace kv::app::test
