// The print run driver behind "Crea PDF" and "Stampa Laser": its messages, refusals and notices,
// the company loop on the printer and as PDF files, the errors of a run and the reset afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "AppTestSupport.h"
#include "archive/Errors.h"

namespace kv::app::test {
namespace {

namespace fs = std::filesystem;
using lists::ListKind;
using platform::Icon;

constexpr const char* kCaption = "Stampe Fondo Tesoreria";
constexpr const char* kPdfTitle = "Creazione modulo PDF Liste Fondo Tesoreria";
constexpr const char* kPdfMessage =
    "I file PDF creati sono contenuti nella relativa cartella situata in :\r\r"
    "C:\\KVPAGHE\\FILE-PDF\\DITTA\\ANNO\\MESE\\FDOTES";
constexpr const char* kRecoveriesNotice =
    "Viene eseguita una lista dei recuperi in caso di anticipo o liquidazioni TFR \r"
    "vengono stampati solo i dipendenti che hanno un valore nel campo P602 o nel campo P603";

std::string ArrearsNotice(const std::string& code) {
    return "Viene eseguita una lista del codice " + code +
           "\rVengono stampati solo i dipendenti che hanno il mese e anno di adesione (campo P599)"
           "\ruguale al mese e anno data ultima erogazione campo(Q179)";
}

std::string Refusal(const std::string& code) {
    return "La lista del codice " + code + "\rPer tipo mensilita' aggiuntiva non puo' essere selezionata";
}

// A started session with the reset and the hourglass recorded.
struct Started {
    explicit Started(const DemoInstallation& suite) : open(suite.Open()) {
        EXPECT_TRUE((*open)->Start());
        EXPECT_TRUE(open->messages().shown().empty());
        (*open)->driver().SetResetChoices([this] { ++resets; });
        (*open)->driver().SetBusyIndicator([this](bool on) { busy.push_back(on); });
    }
    RunDriver::Outcome Click(int button, ListKind list, const std::vector<std::string>& codes) {
        const auto& lines = (*open)->companyLines();
        return (*open)->driver().CmdStampa_Click(button, list, lines, Select(lines, codes));
    }
    const std::vector<platform::Message>& shown() { return open->messages().shown(); }

    std::unique_ptr<OpenSession> open;
    int resets = 0;
    std::vector<bool> busy;
};

class RunDriverTest : public SharedDemoTest<> {};

TEST_F(RunDriverTest, NoCompanySelectedShowsTheMessageAndRunsNothing) {
    Started s(*suite_);
    for (int button : {0, 1}) {
        s.open->messages().clear();
        FakePrinter printer;
        (*s.open)->driver().SetPrinter(&printer);
        const auto outcome = s.Click(button, ListKind::CF02Arrears, {});
        EXPECT_FALSE(outcome.ran);
        ASSERT_EQ(s.shown().size(), 1u);
        EXPECT_EQ(s.shown()[0].title, kCaption);
        EXPECT_EQ(s.shown()[0].text, "Nessuna azienda selezionata");
        EXPECT_EQ(s.shown()[0].icon, Icon::Information);
        EXPECT_EQ(printer.checks, 0);
        EXPECT_EQ(printer.endDocs, 0);
    }
    EXPECT_EQ(s.resets, 0);
    EXPECT_TRUE(s.busy.empty());
    EXPECT_FALSE(fs::exists(suite_->Host("C:\\KVPAGHE\\FILE-PDF")));
}

TEST_F(RunDriverTest, OrdinaryMonthNoticesPrecedeTheRun) {
    Started s(*suite_);
    const struct {
        ListKind list;
        std::string notice;  // empty: the list runs without a notice
    } cases[] = {
        {ListKind::CF01, ""},
        {ListKind::CF02Arrears, ArrearsNotice("CF02 ARRETRATI")},
        {ListKind::TF02, ""},
        {ListKind::TF02Arrears, ArrearsNotice("TF02 ARRETRATI")},
        {ListKind::CF11, ArrearsNotice("CF11 INTERESSI")},
        {ListKind::Recoveries, kRecoveriesNotice},
        {ListKind::TF14, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(lists::ShortName(c.list));
        s.open->messages().clear();
        const auto outcome = s.Click(0, c.list, {"002"});
        EXPECT_TRUE(outcome.ran);
        EXPECT_FALSE(outcome.failed);
        std::vector<platform::Message> expected;
        if (!c.notice.empty()) expected.push_back({kCaption, c.notice, Icon::Information});
        // Whether company 002 gets a file depends on the list's selection; the message follows it.
        if (!outcome.files.empty()) expected.push_back({kPdfTitle, kPdfMessage, Icon::Information});
        ASSERT_EQ(s.shown().size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(s.shown()[i].title, expected[i].title);
            EXPECT_EQ(s.shown()[i].text, expected[i].text);
            EXPECT_EQ(s.shown()[i].icon, expected[i].icon);
            EXPECT_EQ(s.shown()[i].buttons, platform::Buttons::Ok);
        }
    }
    EXPECT_EQ(s.resets, 7);
}

TEST_F(RunDriverTest, FinalPdfMessageOnlyWhenAFileWasPrepared) {
    Started s(*suite_);
    // Company 003 has no employee that any list takes: no file, no final message.
    auto outcome = s.Click(0, ListKind::CF01, {"003"});
    EXPECT_TRUE(outcome.ran);
    EXPECT_TRUE(outcome.files.empty());
    EXPECT_TRUE(s.shown().empty());
    EXPECT_EQ(s.resets, 1);
    EXPECT_TRUE(PdfFilesUnder(suite_->Host("C:\\KVPAGHE\\FILE-PDF")).empty());

    outcome = s.Click(0, ListKind::CF01, {"001", "003"});
    ASSERT_EQ(outcome.files.size(), 1u);
    ASSERT_EQ(s.shown().size(), 1u);
    EXPECT_EQ(s.shown()[0].title, kPdfTitle);
    EXPECT_EQ(s.shown()[0].text, kPdfMessage);
    EXPECT_EQ(s.shown()[0].icon, Icon::Information);
    EXPECT_EQ(s.resets, 2);
    EXPECT_FALSE((*s.open)->driver().MODOPDF);
    EXPECT_FALSE((*s.open)->pdfFiles().PDFAPERTO);
    // The hourglass went on and off once per run.
    EXPECT_EQ(s.busy, (std::vector<bool>{true, false, true, false}));
}

TEST_F(RunDriverTest, PrintedRunIsOneJobPerSelectedCompany) {
    Started s(*suite_);
    for (ListKind list : {ListKind::CF01, ListKind::Recoveries, ListKind::TF14, ListKind::CF11}) {
        SCOPED_TRACE(lists::ShortName(list));
        FakePrinter printer;
        (*s.open)->driver().SetPrinter(&printer);
        const int resetsBefore = s.resets;
        s.open->messages().clear();
        const auto outcome = s.Click(1, list, {"001", "002", "003", "004"});
        EXPECT_TRUE(outcome.ran);
        EXPECT_EQ(outcome.companiesDone, 4);
        EXPECT_TRUE(outcome.files.empty());
        EXPECT_EQ(printer.endDocs, 4);
        ASSERT_EQ(printer.jobs.size(), 4u);
        // 001 and 004 print (004 only its header and zeros); 003 selects nobody and prints nothing.
        EXPECT_FALSE(printer.jobs[0].empty());
        EXPECT_TRUE(printer.jobs[2].empty());
        EXPECT_FALSE(printer.jobs[3].empty());
        ASSERT_GE(printer.jobs[3].size(), 3u);
        EXPECT_EQ(printer.jobs[3][2].substr(0, 13), "AZIENDA : 004");
        // No PDF message after a printed run, and no PDF file.
        for (const auto& m : s.shown()) EXPECT_NE(m.title, kPdfTitle);
        EXPECT_EQ(s.resets, resetsBefore + 1);
    }
    EXPECT_TRUE(PdfFilesUnder(suite_->Host("C:\\KVPAGHE\\FILE-PDF")).empty());
}

// PELLEGRINI (P188 1, P598 0, company with T404 1) is listed by TF14 only; the widening must not
// outlive the TF14 run.
TEST_F(RunDriverTest, Tf14WideningHoldsForTheTf14RunOnly) {
    Started s(*suite_);
    auto printed = [&](ListKind list) {
        FakePrinter printer;
        (*s.open)->driver().SetPrinter(&printer);
        s.Click(1, list, {"001"});
        EXPECT_EQ(printer.jobs.size(), 1u);
        for (const auto& text : printer.jobs.at(0))
            if (text.rfind("0035 PELLEGRINI C", 0) == 0) return true;
        return false;
    };
    EXPECT_FALSE(printed(ListKind::CF01));
    EXPECT_TRUE(printed(ListKind::TF14));
    EXPECT_EQ((*s.open)->driver().LISTATF14, 1);
    EXPECT_FALSE(printed(ListKind::CF01));
    EXPECT_FALSE(printed(ListKind::Recoveries));
}

TEST_F(RunDriverTest, PrinterCheckFailingPrintsNothingAndTheRunGoesOn) {
    Started s(*suite_);
    FakePrinter printer;
    printer.checkAnswers = [](int call) { return call != 1; };  // unavailable for the first company only
    (*s.open)->driver().SetPrinter(&printer);
    const auto outcome = s.Click(1, ListKind::TF14, {"001", "002"});
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(printer.checks, 2);
    ASSERT_EQ(printer.jobs.size(), 2u);
    EXPECT_TRUE(printer.jobs[0].empty());
    ASSERT_FALSE(printer.jobs[1].empty());
    EXPECT_EQ(printer.jobs[1][2].substr(0, 13), "AZIENDA : 002");
    EXPECT_EQ(s.resets, 1);
}

TEST_F(RunDriverTest, NoPrinterConfiguredStopsEveryPrintedListAtTheCheck) {
    Started s(*suite_);
    const auto outcome = s.Click(1, ListKind::CF01, {"001", "002"});
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(outcome.companiesDone, 2);
    ASSERT_EQ(s.shown().size(), 2u);  // one printer check message per company
    for (const auto& m : s.shown()) {
        EXPECT_EQ(m.title, "Controllo stampante");
        EXPECT_EQ(m.icon, Icon::Critical);
    }
}

TEST_F(RunDriverTest, PrinterInformationErrorEndsTheProgram) {
    Started s(*suite_);
    FakePrinter printer;
    printer.onSetFont = [] { throw RuntimeError(err::PrinterInfo); };
    (*s.open)->driver().SetPrinter(&printer);
    EXPECT_THROW(s.Click(1, ListKind::CF01, {"001", "002"}), ProgramEnd);
    ASSERT_EQ(s.shown().size(), 1u);
    EXPECT_EQ(s.shown()[0].title, "Attenzione !!!");
    EXPECT_EQ(s.shown()[0].text, "Errore N.484\rNessuna stampante installata non e' possibile proseguire");
    EXPECT_EQ(s.shown()[0].icon, Icon::Critical);
    EXPECT_TRUE(printer.jobs.empty());
    // The program ended as with "&Uscita": the task line was handed back.
    EXPECT_EQ(ReadFile(suite_->TaskFile()), "01" + std::string(98, ' ') + "\r\n");
    EXPECT_FALSE((*s.open)->context().files().IsOpen(1));
}

TEST_F(RunDriverTest, RunTimeErrorInAListEndsTheRunAndTheWindowStays) {
    Started s(*suite_);
    // The folder of company 002 cannot be created: a file stands where it should be.
    const fs::path pdfRoot = suite_->Host("C:\\KVPAGHE\\FILE-PDF");
    fs::create_directories(pdfRoot);
    std::ofstream(pdfRoot / "002") << "not a folder";

    RunDriver::Outcome outcome;
    ASSERT_NO_THROW(outcome = s.Click(0, ListKind::TF14, {"001", "002", "004"}));
    EXPECT_TRUE(outcome.failed);
    EXPECT_EQ(outcome.companiesDone, 1);  // 001 finished; 004 never started
    ASSERT_EQ(outcome.files.size(), 1u);
    EXPECT_TRUE(fs::exists(outcome.files[0]));
    EXPECT_FALSE(fs::exists(pdfRoot / "004"));

    ASSERT_EQ(s.shown().size(), 1u);  // no final PDF message
    const auto& m = s.shown()[0];
    EXPECT_EQ(m.title, kCaption);
    EXPECT_EQ(m.icon, Icon::Critical);
    EXPECT_EQ(m.text.rfind("Errore N.75\r", 0), 0u) << m.text;
    const std::string tail = "\r\rNon e' possibile proseguire";
    ASSERT_GE(m.text.size(), tail.size());
    EXPECT_EQ(m.text.substr(m.text.size() - tail.size()), tail);
    EXPECT_FALSE((*s.open)->driver().MODOPDF);
    EXPECT_FALSE((*s.open)->pdfFiles().PDFAPERTO);
    EXPECT_EQ(s.busy.back(), false);

    // The window is still usable: the next run works.
    fs::remove(pdfRoot / "002");
    s.open->messages().clear();
    outcome = s.Click(0, ListKind::TF14, {"002"});
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(outcome.files.size(), 1u);
    ASSERT_EQ(s.shown().size(), 1u);
    EXPECT_EQ(s.shown()[0].title, kPdfTitle);
}

// The PDF folders are named after the extraction period read when the program started, while each
// page's header shows the extraction header as it stands when the page is written.
TEST(RunDriverPeriodTest, PdfFoldersFollowThePeriodReadAtStartUp) {
    DemoInstallation suite;
    Started s(suite);
    ASSERT_EQ((*s.open)->PERIODOESTRAZIONE(), "201803");
    // The suite moves its extraction header on to April while the window is open.
    suite.PatchField("SLESTTES.DAT", demo::kExtractionHeaderLength, 1,
                     FieldDescriptor::Parse("TESX$,00001,08,A,0,X001"), "30042018");
    const auto outcome = s.Click(0, ListKind::CF01, {"002"});
    ASSERT_EQ(outcome.files.size(), 1u);
    EXPECT_EQ(fs::path(outcome.files[0]).parent_path(), suite.PdfFolder("002"));
    EXPECT_FALSE(fs::exists(suite.Host("C:\\KVPAGHE\\FILE-PDF\\002\\2018\\04")));
    EXPECT_NE(PdfText(outcome.files[0]).find("30/04/2018"), std::string::npos);
}

TEST_F(RunDriverTest, ListOfOptionFollowsTheWindowsButtons) {
    EXPECT_EQ(ListOfOption(0), ListKind::CF01);
    EXPECT_EQ(ListOfOption(1), ListKind::CF02Arrears);
    EXPECT_EQ(ListOfOption(2), ListKind::TF02);
    EXPECT_EQ(ListOfOption(3), ListKind::TF02Arrears);
    EXPECT_EQ(ListOfOption(4), ListKind::CF11);
    EXPECT_EQ(ListOfOption(5), ListKind::Recoveries);
    EXPECT_EQ(ListOfOption(6), ListKind::TF14);
}

// An additional-month extraction refuses the arrears and interest lists before touching anything.
class AdditionalMonthTest : public SharedDemoTest<true> {};

TEST_F(AdditionalMonthTest, ArrearsAndInterestListsAreRefusedOncePerClick) {
    Started s(*suite_);
    const std::string lastCompany = (*s.open)->extraction().AZIENDACORRENTE;
    const struct {
        ListKind list;
        const char* code;
    } cases[] = {{ListKind::CF02Arrears, "CF02 ARRETRATI"},
                 {ListKind::TF02Arrears, "TF02 ARRETRATI"},
                 {ListKind::CF11, "CF11 INTERESSI"}};
    for (const auto& c : cases) {
        for (int button : {0, 1}) {
            SCOPED_TRACE(std::string(c.code) + " button " + std::to_string(button));
            s.open->messages().clear();
            FakePrinter printer;
            (*s.open)->driver().SetPrinter(&printer);
            const auto outcome = s.Click(button, c.list, {"001", "002", "003", "004"});
            EXPECT_FALSE(outcome.ran);
            EXPECT_EQ(outcome.companiesDone, 0);
            ASSERT_EQ(s.shown().size(), 1u);
            EXPECT_EQ(s.shown()[0].title, kCaption);
            EXPECT_EQ(s.shown()[0].text, Refusal(c.code));
            EXPECT_EQ(s.shown()[0].icon, Icon::Information);
            EXPECT_EQ(printer.checks, 0);
            EXPECT_EQ(printer.endDocs, 0);
            EXPECT_EQ((*s.open)->extraction().AZIENDACORRENTE, lastCompany);
            EXPECT_FALSE((*s.open)->driver().MODOPDF);
        }
    }
    EXPECT_EQ(s.resets, 0);
    EXPECT_TRUE(s.busy.empty());
    EXPECT_FALSE(fs::exists(suite_->Host("C:\\KVPAGHE\\FILE-PDF")));
}

TEST_F(AdditionalMonthTest, OtherListsStillRun) {
    Started s(*suite_);
    auto outcome = s.Click(0, ListKind::Recoveries, {"001"});
    EXPECT_TRUE(outcome.ran);
    ASSERT_EQ(s.shown().size(), 2u);
    EXPECT_EQ(s.shown()[0].text, kRecoveriesNotice);
    EXPECT_EQ(s.shown()[1].title, kPdfTitle);
    s.open->messages().clear();
    outcome = s.Click(0, ListKind::TF14, {"001"});
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.files.size(), 1u);
    ASSERT_EQ(s.shown().size(), 1u);
    EXPECT_EQ(s.shown()[0].title, kPdfTitle);
    EXPECT_EQ(s.resets, 2);
}

}  // namespace
}  // namespace kv::app::test
