// The printer of "Stampa Laser" on a private CUPS scheduler (tests/output/printers.sh): the setting
// file, the printer check's refusals, one job per company whose text is the PDF variant's, and the
// printer errors the user answers. On Linux the printer is Qt's; under Wine, the Windows spooler's.
#ifndef _WIN32
#include <QGuiApplication>
#endif

#include <charconv>

#include "app/AppTestSupport.h"
#include "output/LaserPrinter.h"

namespace kv::app::test {
namespace {

using output::LaserPrinter;
using platform::Answer;

const Message kRetry{"KvsPaghe", "ERR.STAMPANTE - SI VUOLE RITENTARE ?", Icon::Critical, platform::Buttons::YesNo};
const Message kEnd{"KvsPaghe", "CHIUDERE IL PROGRAMMA ? (se si risp.NO il progr.perde la riga e prosegue)",
                   Icon::Exclamation, platform::Buttons::YesNo};
Message Check(const std::string& text) { return {"Controllo stampante", text, Icon::Critical}; }

#ifdef _WIN32
// Wine's spooler reads the printers once, when the first program of a Wine session loads it: the
// scheduler is started before this program (printers.sh run) and CUPS_SERVER names its socket.
struct Scheduler {
    Scheduler() {
        if (const char* server = std::getenv("CUPS_SERVER")) folder = fs::path("Z:" + std::string(server)).parent_path();
    }
    fs::path folder;  // empty when it is missing
    std::string problem = "no CUPS_SERVER: run through tests/output/printers.sh run";
};
constexpr bool kQueueStates = false;  // Wine's spooler reports every queue as ready: never stopped, refusing or a fax
#else
// A scheduler of the test's own, and the Qt application that asks it for the printers.
struct Scheduler {
    Scheduler() {
        const auto r = RunCommand("bash " + Quoted(Script()) + " start " + Quoted(dir.path));
        if (r.status != 0) {
            problem = r.output;
            return;
        }
        folder = dir.path;
        ::setenv("CUPS_SERVER", (folder / "cups.sock").c_str(), 1);  // before Qt asks for the printers
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "test_output", *argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    ~Scheduler() { app.reset(), RunCommand("bash " + Quoted(Script()) + " stop " + Quoted(dir.path)); }
    static fs::path Script() { return fs::path(KV_SOURCE_DIR) / "tests/output/printers.sh"; }
    kvtest::TempDir dir{"kvcups_", "/tmp"};  // short: the scheduler's socket is in it
    fs::path folder;  // empty when it did not start, for this reason:
    std::string problem;
    std::unique_ptr<QGuiApplication> app;
};
constexpr bool kQueueStates = true;
#endif

class LaserPrinterTest : public ::testing::Test {
protected:
    // The scheduler's queues are printers.sh's; the demo's setting file names LaserPaghe as the laser printer.
    static void SetUpTestSuite() {
        scheduler_ = std::make_unique<Scheduler>();
        sandbox_ = scheduler_->folder;
        suite_ = std::make_unique<DemoInstallation>();
        std::ofstream(suite_->ArchiveFile("SLSTAMPE01.TXT"), std::ios::binary) << "Standard\r\nLaserPaghe\r\n";
    }
    void SetUp() override { ASSERT_FALSE(sandbox_.empty()) << scheduler_->problem; }
    static void TearDownTestSuite() { suite_.reset(), scheduler_.reset(); }
    static std::vector<fs::path> Jobs() {  // every job's document the scheduler received, oldest first
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(sandbox_ / "spool"))
            if (std::regex_match(e.path().filename().string(), std::regex("d[0-9]+-001"))) out.push_back(e.path());
        return std::sort(out.begin(), out.end()), out;
    }
    // The job's name, as the scheduler tells the job's owner.
    static std::string JobName(const fs::path& job) {
        const fs::path test = sandbox_ / "job-name.test";
        WriteFile(test, R"({ OPERATION Get-Job-Attributes GROUP operation-attributes-tag
                            ATTR charset attributes-charset utf-8 ATTR naturalLanguage attributes-natural-language en
                            ATTR uri job-uri $uri ATTR name requesting-user-name $user DISPLAY job-name })");
        std::string uri = "ipp://";
        for (char c : std::string(std::getenv("CUPS_SERVER"))) c == '/' ? uri += "%2F" : uri += c;
        uri += "/jobs/" + std::to_string(std::stoi(job.filename().string().substr(1)));  // dNNNNN-001
        const std::string out = RunCommand("ipptool -c " + Quoted(uri) + " " + Quoted(test)).output;  // "job-name\nNAME\n"
        const size_t from = out.find('\n') + 1;
        return out.substr(from, out.find('\n', from) - from);
    }
    // The job as a PDF file: the job itself, or ghostscript's rendering of a PostScript job (Wine's).
    static fs::path AsPdf(const fs::path& job) {
        if (ReadFile(job).rfind("%!", 0) != 0) return job;
        const fs::path pdf = sandbox_ / (job.filename().string() + ".pdf");
        RunCommand("ps2pdf " + Quoted(job) + " " + Quoted(pdf));
        return pdf;
    }
    static void Lp(const std::string& command) { RunCommand(command + " >/dev/null"); }
    // The non-blank lines of its text, right-trimmed. Wine's driver names the hyphen's glyph after the
    // soft hyphen, which is read back so.
    static std::vector<std::string> Lines(const fs::path& pdf) {
        std::vector<std::string> out;
        std::string text = PdfText(pdf, kPassword);
        for (size_t at; (at = text.find("\xC2\xAD")) != text.npos;) text.replace(at, 2, "-");
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            if (line.find_first_not_of(" \f") != line.npos) out.push_back(line.substr(0, line.find_last_not_of(' ') + 1));
        return out;
    }
    // The top of every text line of page 1, in points: its baseline as ghostscript reads it from a job of
    // any format (at 7200 dpi, in hundredths of a point), less the ascent of Courier New and of its metric
    // twin Liberation Mono, 0.8325 em.
    static std::vector<double> Tops(const fs::path& file) {
        std::vector<double> out;
        const std::string text = RunCommand("gs -q -sDEVICE=txtwrite -dTextFormat=1 -r7200 -dLastPage=1 -sPDFPassword=" + std::string(kPassword) + " -o - " + Quoted(file)).output;
        const std::regex span("<span bbox=\"[0-9]+ ([0-9]+) [^\"]*\" font=\"[^\"]*\" size=\"([0-9.]+)\"");
        double y = 0, size = 0;  // read whatever the locale
        for (std::sregex_iterator m(text.begin(), text.end(), span), end; m != end; ++m) {
            std::from_chars(&*(*m)[1].first, &*(*m)[1].second, y), std::from_chars(&*(*m)[2].first, &*(*m)[2].second, size);
            if (const double top = y / 100 - 0.8325 * size; out.empty() || top > out.back() + 1) out.push_back(top);
        }
        return out;
    }

    static inline std::unique_ptr<Scheduler> scheduler_;
    static inline fs::path sandbox_;
    static inline std::unique_ptr<DemoInstallation> suite_;
};

// The setting file's lines make the standard printer current when it is installed under exactly that
// name; a refused check shows its reason, prints nothing and the run goes on with the next company.
TEST_F(LaserPrinterTest, SettingFileAndRefusedChecks) {
    const fs::path file = suite_->ArchiveFile("SLSTAMPE01.TXT");
    const std::string original = ReadFile(file);
    const struct {
        const char* bytes;  // nullptr: no file
        std::vector<std::string> names;  // standard, laser, current
        const char* check;
        bool queueState = false;  // the check reads the queue's state
    } cases[] = {
        {nullptr, {"", "", ""}, "Nessuna stampante presente"},
        {"LaserPaghe", {"LaserPaghe", "", "LaserPaghe"}, "Nessuna stampante presente"},
        {"laserpaghe\r\nFerma\r\n", {"laserpaghe", "Ferma", ""}, "La stampante Ferma non \xE8 in linea", true},
        {"Standard\r\nAssente", {"Standard", "Assente", ""}, "La stampante Assente non \xE8 impostata"},
        {"Margini\r\nlaserpaghe", {"Margini", "laserpaghe", "Margini"}, "La stampante laserpaghe non \xE8 impostata"},
        {"Standard\r\nRifiuta", {"Standard", "Rifiuta", ""}, "La stampante Rifiuta non \xE8 in linea", true},
        {"Standard\r\nFax", {"Standard", "Fax", ""}, "La stampante Fax non \xE8 laser", true},
    };
    const size_t before = Jobs().size();
    for (const auto& c : cases) {
        if (c.queueState && !kQueueStates) continue;
        SCOPED_TRACE(c.bytes ? c.bytes : "no file");
        fs::remove(file);
        if (c.bytes) std::ofstream(file, std::ios::binary) << c.bytes;
        auto s = suite_->Open();
        LaserPrinter printer((*s)->context());
        printer.LEGGISTAMPANTESTD();
        EXPECT_EQ((std::vector<std::string>{printer.standardPrinterName(), printer.laserPrinterName(), printer.currentPrinterName()}), c.names);
        EXPECT_FALSE((*s)->context().files().IsOpen(kv::archive::PrinterSettings));
        (*s)->driver().SetPrinter(&printer);
        EXPECT_EQ(s->Click(1, ListKind::CF01, {"001", "004"}).companiesDone, 2);
        EXPECT_EQ(s->Shown(), Messages(2, Check(c.check)));
    }
    EXPECT_EQ(Jobs().size(), before);
    std::ofstream(file, std::ios::binary) << original;
}

// "Stampa Laser" for three companies (three successive checks of the printer): two jobs, as 003 lists
// nobody, named after the list and the company, whose text is the PDF list's, line by line and within
// a millimetre of its heights.
TEST_F(LaserPrinterTest, OneJobPerCompanyWithThePdfText) {
    auto s = suite_->Open();
    LaserPrinter printer((*s)->context());
    printer.LEGGISTAMPANTESTD();
    (*s)->driver().SetPrinter(&printer);
    const size_t before = Jobs().size();
    EXPECT_EQ(s->Click(1, ListKind::TF14, {"001", "003", "004"}).companiesDone, 3);
    EXPECT_EQ(s->Shown(), Messages{});
    const auto jobs = Jobs();
    ASSERT_EQ(jobs.size(), before + 2);
    const auto files = s->Click(0, ListKind::TF14, {"001", "004"}).files;
    ASSERT_EQ(files.size(), 2u);
    const char* names[] = {"KVTESO TF14 001 PER\xC3\x92 COSTRUZIONI S.R.L.", "KVTESO TF14 004 OFFICINA MECCANICA VERDI SNC"};
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(files[i]);
        EXPECT_EQ(JobName(jobs[before + i]), names[i]);
        EXPECT_EQ(Lines(AsPdf(jobs[before + i])), Lines(files[i]));
        const auto printed = Tops(jobs[before + i]), pdf = Tops(files[i]);
        ASSERT_TRUE(printed.size() == pdf.size() && printed.size() > 10);
        EXPECT_NEAR(printed[0], 226 / 20.0, 0.05);  // the first line's top: floor((1 - 0.6) * 567) twips
        for (size_t k = 1; k < pdf.size(); ++k) EXPECT_NEAR(printed[k] - printed[0], pdf[k] - pdf[0], 72 / 25.4) << k;
    }
}

// A job the queue refuses at its end, and a printer gone since its check (found at the job's start, or
// under Wine at its end): the user retries, skips the statement and goes on, or ends the program; no
// job is left half-made. Then a job on a printer with hardware margins.
TEST_F(LaserPrinterTest, PrinterErrorsAskTheUser) {
    auto s = suite_->Open();
    LaserPrinter printer((*s)->context());
    const size_t before = Jobs().size();
    ASSERT_TRUE(printer.CONTROLLOSTAMPANTE("LaserPaghe"));
    printer.SetFont("Courier New", 9, false);
    printer.PrintAt(0, 0, "RIGA");
    Lp("cupsreject LaserPaghe");
    s->messages.QueueAnswer(Answer::Yes);  // retry: refused again, then skip
    printer.EndDoc();
    Lp("cupsaccept LaserPaghe"), printer.EndDoc();  // the job was given up
    EXPECT_EQ(s->Shown(), (Messages{kRetry, kRetry, kEnd}));
    EXPECT_EQ(Jobs().size(), before);

    ASSERT_TRUE(printer.CONTROLLOSTAMPANTE("Rimossa"));
    Lp("lpadmin -x Rimossa");
    printer.PrintAt(0, 0, "PERSA"), printer.EndDoc();  // skipped
    for (Answer a : {Answer::No, Answer::Yes}) s->messages.QueueAnswer(a);
    EXPECT_THROW((printer.NewPage(), printer.EndDoc()), ProgramEnd);
    EXPECT_EQ(s->Shown(), (Messages{kRetry, kEnd, kRetry, kEnd}));
    ASSERT_TRUE(printer.CONTROLLOSTAMPANTE("Margini"));
    printer.EndDoc();
    printer.PrintAt(1440, 720, "ULTIMA");  // an inch right and half an inch down from the printable area
    printer.EndDoc();
    ASSERT_EQ(Jobs().size(), before + 1);
    const auto tops = Tops(Jobs().back());
    EXPECT_TRUE(tops.size() == 1 && std::abs(tops[0] - 72) < 0.05) << ::testing::PrintToString(tops);
    EXPECT_NE(RunCommand("pdftotext -bbox " + Quoted(AsPdf(Jobs().back())) + " -").output.find("xMin=\"90.00"), std::string::npos);
}

}  // namespace
}  // namespace kv::app::test
