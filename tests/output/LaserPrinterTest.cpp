// The printer of "Stampa Laser" on a private CUPS scheduler (tools/cups-sandbox.sh): the setting
// file, the printer check's refusals, one job per company whose text is the PDF variant's, and the
// printer errors the user answers.
#include <QGuiApplication>

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

// A raw queue's paper has no margins; this model's printable area starts 18 pt right and 36 pt down.
const std::string kPpd =
    "*PPD-Adobe: \"4.3\"\n*ModelName: \"KV\"\n*NickName: \"KV\"\n*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n"
    "*PageSize A4: \"\"\n*CloseUI: *PageSize\n*ImageableArea A4: \"18 36 577 806\"\n*PaperDimension A4: \"595 842\"\n";

class LaserPrinterTest : public ::testing::Test {
protected:
    // The scheduler's queues: LaserPaghe, Ferma (stopped), Rifiuta (refusing jobs), Margini (with
    // hardware margins) and Fax; the demo's setting file names LaserPaghe as the laser printer.
    static void SetUpTestSuite() {
        folder_ = std::make_unique<kvtest::TempDir>("kvcups_", "/tmp");  // short: the scheduler's socket is in it
        sandbox_ = folder_->path.string();
        const auto r = RunCommand("bash " + Quoted(Script()) + " start " + sandbox_ + " LaserPaghe Ferma Rifiuta </dev/null");
        ASSERT_EQ(r.status, 0) << r.output;
        ::setenv("CUPS_SERVER", (sandbox_ + "/cups.sock").c_str(), 1);  // before Qt asks for the printers
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        std::ofstream(sandbox_ + "/laser.ppd") << kPpd;
        std::ofstream(sandbox_ + "/fax.ppd") << kPpd << "*cupsFax: True\n";
        for (const char* q : {"Margini -P ", "Fax -P "}) Lp("lpadmin -p " + (q + sandbox_) + (q[0] == 'F' ? "/fax.ppd" : "/laser.ppd") + " -v file:///dev/null -E");
        Lp("cupsdisable Ferma"), Lp("cupsreject Rifiuta");
        static int argc = 1;
        static char name[] = "test_output", *argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
        suite_ = std::make_unique<DemoInstallation>();
        std::ofstream(suite_->ArchiveFile("SLSTAMPE01.TXT"), std::ios::binary) << "Standard\r\nLaserPaghe\r\n";
    }
    static void TearDownTestSuite() {
        suite_.reset(), app_.reset(), RunCommand("bash " + Quoted(Script()) + " stop " + sandbox_), folder_.reset();
    }
    static fs::path Script() { return fs::path(KV_SOURCE_DIR) / "tools/cups-sandbox.sh"; }
    static std::vector<fs::path> Jobs() {  // every job's document the scheduler received, oldest first
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(sandbox_ + "/spool"))
            if (std::regex_match(e.path().filename().string(), std::regex("d[0-9]+-001"))) out.push_back(e.path());
        return std::sort(out.begin(), out.end()), out;
    }
    static void Lp(const std::string& command) { RunCommand(command + " >/dev/null"); }
    static std::vector<std::string> Lines(const fs::path& pdf) {  // the non-blank lines of its text, right-trimmed
        std::vector<std::string> out;
        std::istringstream in(PdfText(pdf, kPassword));
        for (std::string line; std::getline(in, line);)
            if (line.find_first_not_of(" \f") != line.npos) out.push_back(line.substr(0, line.find_last_not_of(' ') + 1));
        return out;
    }
    static std::vector<double> Tops(const fs::path& pdf) {  // the top of every text line of page 1, in points
        std::vector<double> out;
        const std::string bbox = RunCommand("pdftotext -bbox -l 1 -upw " + std::string(kPassword) + " " + Quoted(pdf) + " -").output;
        const std::regex yMin("yMin=\"([0-9.]+)\"");
        double y = 0;  // read whatever the locale
        for (std::sregex_iterator m(bbox.begin(), bbox.end(), yMin), end; m != end; ++m)
            if (std::from_chars(&*(*m)[1].first, &*(*m)[1].second, y), out.empty() || y > out.back() + 1) out.push_back(y);
        return out;
    }

    static inline std::unique_ptr<kvtest::TempDir> folder_;
    static inline std::string sandbox_;
    static inline std::unique_ptr<QGuiApplication> app_;
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
    } cases[] = {
        {nullptr, {"", "", ""}, "Nessuna stampante presente"},
        {"LaserPaghe", {"LaserPaghe", "", "LaserPaghe"}, "Nessuna stampante presente"},
        {"laserpaghe\r\nFerma\r\n", {"laserpaghe", "Ferma", ""}, "La stampante Ferma non \xE8 in linea"},
        {"Standard\r\nAssente", {"Standard", "Assente", ""}, "La stampante Assente non \xE8 impostata"},
        {"Margini\r\nlaserpaghe", {"Margini", "laserpaghe", "Margini"}, "La stampante laserpaghe non \xE8 impostata"},
        {"Standard\r\nRifiuta", {"Standard", "Rifiuta", ""}, "La stampante Rifiuta non \xE8 in linea"},
        {"Standard\r\nFax", {"Standard", "Fax", ""}, "La stampante Fax non \xE8 laser"},
    };
    const size_t before = Jobs().size();
    for (const auto& c : cases) {
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
// nobody, whose text is the PDF list's, line by line and within a millimetre of its heights.
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
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(files[i]);
        EXPECT_EQ(Lines(jobs[before + i]), Lines(files[i]));
        const auto printed = Tops(jobs[before + i]), pdf = Tops(files[i]);
        ASSERT_TRUE(printed.size() == pdf.size() && printed.size() > 10);
        EXPECT_NEAR(printed[0], 226 / 20.0, 0.05);  // the first line's top: floor((1 - 0.6) * 567) twips
        for (size_t k = 1; k < pdf.size(); ++k) EXPECT_NEAR(printed[k] - printed[0], pdf[k] - pdf[0], 72 / 25.4) << k;
    }
}

// A job the queue refuses at its end, and a printer gone before its job starts: the user retries,
// skips the statement and goes on, or ends the program; no job is left half-made. Then a job on a
// printer with hardware margins.
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

    Lp("lpadmin -p Rimossa -v file:///dev/null -E");
    ASSERT_TRUE(printer.CONTROLLOSTAMPANTE("Rimossa"));
    Lp("lpadmin -x Rimossa");
    printer.PrintAt(0, 0, "PERSA");  // skipped
    for (Answer a : {Answer::No, Answer::Yes}) s->messages.QueueAnswer(a);
    EXPECT_THROW(printer.NewPage(), ProgramEnd);
    EXPECT_EQ(s->Shown(), (Messages{kRetry, kEnd, kRetry, kEnd}));
    ASSERT_TRUE(printer.CONTROLLOSTAMPANTE("Margini"));
    printer.EndDoc();
    printer.PrintAt(1440, 720, "ULTIMA");  // an inch right and half an inch down from the printable area
    printer.EndDoc();
    ASSERT_EQ(Jobs().size(), before + 1);
    const auto tops = Tops(Jobs().back());
    EXPECT_TRUE(tops.size() == 1 && std::abs(tops[0] - 72) < 0.05) << ::testing::PrintToString(tops);
    EXPECT_NE(RunCommand("pdftotext -bbox " + Quoted(Jobs().back()) + " -").output.find("xMin=\"90.00"), std::string::npos);
}

}  // namespace
}  // namespace kv::app::test
