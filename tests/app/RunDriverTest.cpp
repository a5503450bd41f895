// Start-up, the current extraction and the company lines, the print run behind "Crea PDF" and
// "Stampa Laser" (notices, refusals, printed jobs, errors) and the way out.
#include "AppTestSupport.h"
#include "app/AnomalyReport.h"

namespace kv::app::test {
namespace {

Message Info(const std::string& text) { return {kWindowCaption, text, Icon::Information}; }
Message Arrears(const std::string& code) {
    return Info("Viene eseguita una lista del codice " + code +
                "\rVengono stampati solo i dipendenti che hanno il mese e anno di adesione (campo P599)"
                "\ruguale al mese e anno data ultima erogazione campo(Q179)");
}
const Message kRecoveries = Info(
    "Viene eseguita una lista dei recuperi in caso di anticipo o liquidazioni TFR \r"
    "vengono stampati solo i dipendenti che hanno un valore nel campo P602 o nel campo P603");
const std::string kLine001 = "001 PER\xD2 COSTRUZIONI S.R.L. 4901234567";
const std::string kLine002 = "002 TRASPORTI A/R: VELOCI E SICURI 5102345678";

class RunDriverTest : public SharedDemoTest {};

// The option buttons in their order: each list's notice, then its file for company 004 and the
// final message. Then a company that selects nobody: no file, no folder, no message.
TEST_F(RunDriverTest, EveryOptionRunsItsListAfterItsNotice) {
    auto s = suite_->Open();
    const std::pair<const char*, Messages> options[] = {
        {"TESCF01_", {}}, {"TESCF02_", {Arrears("CF02 ARRETRATI")}}, {"TESTF02_", {}}, {"TETF02A_", {Arrears("TF02 ARRETRATI")}}, {"TESCF11_", {Arrears("CF11 INTERESSI")}}, {"TESRECU_", {kRecoveries}}, {"TESTF14_", {}}};
    for (int option = 0; option < 7; ++option) {
        auto [prefix, expected] = options[option];
        const fs::path file = suite_->PdfFolder("004") / (prefix + std::string("004_OFFICINA MECCANICA VERDI SNC.pdf"));
        EXPECT_EQ(s->Click(0, lists::AllLists()[static_cast<size_t>(option)].kind, {"004"}).files, std::vector<fs::path>{file});
        EXPECT_EQ(s->Shown(), (expected.push_back(kPdfDone), expected)) << prefix;
    }
    const auto outcome = s->Click(0, ListKind::CF01, {"003"});
    EXPECT_TRUE(outcome.ran && outcome.companiesDone == 1 && outcome.files.empty() && !fs::exists(suite_->PdfTree() / "003"));
    EXPECT_EQ(s->Shown(), Messages{});
    for (int button : {0, 1}) {
        EXPECT_FALSE(s->Click(button, ListKind::CF02Arrears, {}).ran);
        EXPECT_EQ(s->Shown(), Messages{Info("Nessuna azienda selezionata")});
    }
    EXPECT_TRUE(s->resets == 8 && s->busy.size() == 16 && !s->busy.back());
    EXPECT_FALSE((*s)->driver().MODOPDF || (*s)->pdfFiles().PDFAPERTO);
}

// One job per selected company, the printer check refusing 002's; 004's employee is missing from
// the index, so its job is the header and a TOTALE of zeros. PELLEGRINI (P598 0, company 001 with
// T404 1) is listed by TF14 only: the widening ends with the TF14 run.
TEST_F(RunDriverTest, PrintedRunIsOneJobPerCompany) {
    auto s = suite_->Open();
    FakePrinter printer;
    (*s)->driver().SetPrinter(&(printer.refusedCheck = 2, printer));
    const auto outcome = s->Click(1, ListKind::TF14, {"001", "002", "003", "004"});
    EXPECT_TRUE(outcome.companiesDone == 4 && outcome.files.empty() && printer.checks == 4);
    ASSERT_TRUE(printer.jobs.size() == 4 && printer.jobs[1].empty() && s->Shown().empty());
    EXPECT_EQ(printer.jobs[2], std::vector<std::string>{"font Courier New 9"});
    // x = floor((cm - 0.3) * 567), y = floor((cm - 0.6) * 567): 0.5 cm -> 113, 1 cm -> 226, 1.35 cm -> 425.
    printer.jobs[3].resize(4);
    EXPECT_EQ(printer.jobs[3], (std::vector<std::string>{"font Courier New 9", "113 226 IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF14 31/03/2018                  Pagina    1", "113 425 -------------------------------------------------------------------------------------------------------", "113 623 AZIENDA : 004 OFFICINA MECCANICA VERDI SNC   7304567890"}));
    auto pellegrini = [&](size_t job) {
        return std::count_if(printer.jobs[job].begin(), printer.jobs[job].end(), [](auto& l) { return l.find(" 0035 PELLEGRINI C ") != l.npos; });
    };
    EXPECT_EQ(pellegrini(0), 1);
    s->Click(1, ListKind::CF01, {"001"});
    ASSERT_EQ(printer.jobs.size(), 5u);
    EXPECT_TRUE(pellegrini(4) == 0 && s->resets == 2 && !fs::exists(suite_->PdfTree()));

    (*s)->driver().SetPrinter(nullptr);  // none configured: every printed list stops at the check
    EXPECT_EQ(s->Click(1, ListKind::CF01, {"001", "002"}).companiesDone, 2);
    EXPECT_EQ(s->Shown(), Messages(2, {"Controllo stampante", "Nessuna stampante presente", Icon::Critical}));
    s->stopAfter = 1;  // "Interrompi dopo questa azienda" while the first company runs
    const auto stopped = s->Click(1, ListKind::CF01, {"001", "002"});
    EXPECT_TRUE(stopped.stopped && stopped.companiesDone == 1 && s->resets == 4 && s->Shown().size() == 1);

    (*s)->driver().SetPrinter(&(printer.failOnFont = true, printer));  // error 484 ends the program as "&Uscita" does
    EXPECT_THROW(s->Click(1, ListKind::CF01, {"001", "002"}), ProgramEnd);
    EXPECT_EQ(s->Shown(), (Messages{{"Attenzione !!!", "Errore N.484\rNessuna stampante installata non e' possibile proseguire", Icon::Critical}}));
    EXPECT_TRUE(printer.jobs.size() == 5 && !(*s)->context().files().IsOpen(archive::Companies));
    EXPECT_EQ(suite_->Task(), kHandedBack);
}

TEST_F(RunDriverTest, RunTimeErrorSkipsTheCompanyAndTheRunGoesOn) {
    auto s = suite_->Open();
    fs::create_directories(suite_->PdfTree());
    std::ofstream(suite_->PdfTree() / "002") << "a file where 002's folder goes";
    auto outcome = s->Click(0, ListKind::TF14, {"001", "002", "004"});  // 002 named and skipped; 004 done
    EXPECT_TRUE(!outcome.failed && outcome.companiesFailed == std::vector<std::string>{"002"} && outcome.companiesDone == 2);
    EXPECT_TRUE(outcome.files.size() == 2 && QpdfClean(outcome.files.at(0), kPassword) && QpdfClean(outcome.files.at(1)));
    EXPECT_EQ(s->Shown(), (Messages{{kWindowCaption,
                                     "Errore N.75\rPath/File access error - C:\\KVPAGHE\\FILE-PDF\\002\r\r"
                                     "La lista della ditta 002 non e' stata prodotta: si prosegue con le ditte seguenti",
                                     Icon::Critical},
                                    kPdfDone}));
    EXPECT_TRUE(!(*s)->driver().MODOPDF && s->busy == std::vector<bool>({true, false}));
    // A list file that cannot be opened gives up that file only: the next list is whole.
    fs::create_directories(suite_->PdfFolder("001") / Utf8Name("TESTF02_001_PER\xC3\x92 COSTRUZIONI S.R.L.pdf"));
    EXPECT_TRUE(s->Click(0, ListKind::TF02, {"001"}).companiesFailed.size() == 1 && s->Shown().size() == 2);
    outcome = s->Click(0, ListKind::TF14, {"001"});
    EXPECT_TRUE(!outcome.failed && outcome.files.size() == 1 && QpdfClean(outcome.files.at(0), kPassword));
}

// The extraction header read at start-up names the PDF folders and dates every page, even when the
// suite moves the header on while the window is open or in the middle of a run: the change is named once.
TEST(SessionTest, StartRunAndLeave) {
    demo::DemoOptions options;
    options.period = {2005, 12};
    const DemoInstallation suite(options);
    auto s = suite.Open();
    ArchiveFiles& files = (*s)->context().files();
    for (int number : kOpenedAtStart) EXPECT_TRUE(files.IsOpen(number)) << number;
    EXPECT_EQ((*s)->TESTATAESTRAZIONE().substr(0, 9) + " " + (*s)->PERIODOESTRAZIONE(), "311220051 200512");
    EXPECT_EQ((*s)->companyLines(), (std::vector<std::string>{kLine001, kLine002, "003 STUDIO ASSOCIATO BIANCHI 6203456789", "004 OFFICINA MECCANICA VERDI SNC 7304567890"}));
    struct Mover : RunObserver {  // the suite moves on after the first company: its header and index
        const DemoInstallation& suite;
        explicit Mover(const DemoInstallation& d) : suite(d) {}
        bool BeforeCompany(int index, int, const std::string&) override {
            if (index == 2) {
                const std::string idx = ReadFile(suite.root() / "C/KVPAGHE/ARCHIVI/SLDIPIDX.DAT");
                suite.Patch("SLESTTES.DAT", 0, "31012006"), suite.Patch("SLDIPIDX.DAT", static_cast<std::streamoff>(idx.find("00200000013")), "0020000000");
            }
            return true;
        }
    } mover(suite);
    AnomalyReport report;
    (*s)->driver().SetObserver(&mover);
    const fs::path file = suite.PdfTree() / "002/2005/12/FDOTES/TESCF01_002_TRASPORTI A_R_ VELOCI E SICURI.pdf";
    // Two lists, made company by company: what changed before 002 is seen by both of 002's lists.
    EXPECT_EQ((*s)->driver().Run(Destination::Pdf, {{ListKind::CF01, &report}, {ListKind::TF14, &report}}, {"001", "002"}).front().files.back(), file);
    const std::string text = PdfText(file);  // 002's two pages
    EXPECT_TRUE(std::regex_search(text, std::regex("31/12/2005 [^]*31/12/2005")) && text.find("31/01/2006") == std::string::npos);
    std::string told;
    for (const std::string& line : report.Lines())
        if (line.find("Testata") != line.npos || line.find("indice") != line.npos) told += line + "\n";
    EXPECT_EQ(told,
              "Anomalia 002 CF01: Testata dell'estrazione cambiata durante l'elaborazione: usata quella iniziale (ora 31/01/2006, in uso 31/12/2005)\n"
              "Anomalia 002 CF01 0020000001: Chiave assente dall'indice\n"
              "Anomalia 002 TF14: Testata dell'estrazione cambiata durante l'elaborazione: usata quella iniziale (ora 31/01/2006, in uso 31/12/2005)\n"
              "Anomalia 002 TF14 0020000001: Chiave assente dall'indice\n");
    (*s)->driver().SetObserver(s.get()), (*s)->driver().SetListObserver(nullptr);
    s->Shown();
    EXPECT_THROW((*s)->Leave(), ProgramEnd);
    for (int number : kOpenedAtStart) EXPECT_FALSE(files.IsOpen(number)) << number;
    EXPECT_TRUE(suite.Task() == kHandedBack && s->Shown().empty());
}

// Record 2 starts with the end mark and record 3 has a blank entry: the entries after either are
// not read, the next records are. One line per company, in code order, though the entries of 001
// and 002 lie in three records; a company past the end of the company archive ends the lines.
TEST(ExtractionTest, EndMarksBlankEntriesAndScatteredCompanies) {
    DemoInstallation suite;
    suite.WriteExtraction({
        "0010000005"
        "0020000003"
        "0010000001",
        "9999999999"
        "0040000002",
        "0020000001"
        "          "
        "0010000009",
        "0010000002"
        "0040000007"});
    suite.Truncate("SLDITTE.DAT", 2ull * demo::kCompanyRecordLength);
    auto s = suite.Open();
    Extraction& e = (*s)->extraction();
    using Entries = std::vector<std::string>;
    EXPECT_EQ(e.ELENCOESTRAZIONE(), (Entries{"0010000001", "0010000002", "0010000005", "0020000001", "0020000003", "0040000007"}));
    EXPECT_EQ((*s)->companyLines(), (Entries{kLine001, kLine002}));
    EXPECT_TRUE(e.VERIFICAESTRAZIONE() && e.ESTRAZIONEMANCANTE == 0 && s->Shown().empty());  // the check keeps the archive's order
    EXPECT_EQ(e.ELENCOESTRAZIONE(), (Entries{"0010000005", "0020000003", "0010000001", "0020000001", "0010000002", "0040000007"}));
    // The table holds 10000 entries (one more ends the program: BadDataTest); company 111 lies past the company archive.
    suite.WriteExtraction(std::vector<std::string>(500, std::string(200, '1')));
    EXPECT_TRUE((*suite.Open())->extraction().ELENCOESTRAZIONE().size() == 10000);
}

// An additional-month extraction refuses the arrears and interest lists before touching anything.
TEST(AdditionalMonthTest, ArrearsAndInterestListsAreRefusedOncePerClick) {
    demo::DemoOptions options;
    options.additionalMonth = true;
    const DemoInstallation suite(options);
    auto s = suite.Open();  // no printer: a printer check would show its message
    const std::pair<ListKind, std::string> refused[] = {
        {ListKind::CF02Arrears, "CF02 ARRETRATI"}, {ListKind::TF02Arrears, "TF02 ARRETRATI"}, {ListKind::CF11, "CF11 INTERESSI"}};
    for (const auto& [list, code] : refused)
        for (int button : {0, 1}) {
            EXPECT_FALSE(s->Click(button, list, {"001", "002", "003", "004"}).ran || (*s)->driver().MODOPDF);
            EXPECT_EQ(s->Shown(), Messages{Info("La lista del codice " + code + "\rPer tipo mensilita' aggiuntiva non puo' essere selezionata")});
        }
    EXPECT_EQ((*s)->extraction().AZIENDACORRENTE, "004");  // as the company lines left it
    EXPECT_TRUE(s->resets == 0 && s->busy.empty() && !fs::exists(suite.PdfTree()));
    EXPECT_TRUE(s->Click(0, ListKind::Recoveries, {"001"}).ran);
    EXPECT_EQ(s->Shown(), (Messages{kRecoveries, kPdfDone}));
}

}  // namespace
}  // namespace kv::app::test
