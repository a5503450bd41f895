// The window driven as a user drives it, on the demo suite: start-up and its ends, the controls as
// built, the selection box, the list options and both run buttons, the progress dialog's stop, the
// project box keys and the two ways out. The same session runs on the Qt window (offscreen) and on
// the Windows window (under Wine), each through its own driver.
#include <functional>
#include <string>

#include "platform/Messages.h"

namespace kv::window::test {
// A message shown by the window's own message boxes, the button pressed, the answer, and what the box
// showed (each driver's kMessageBoxCases: its toolkit's buttons and icons).
struct MessageBoxCase {
    platform::Message message;
    const char* press;
    platform::Answer answer;
    std::string shown;
};
// A run's closing summary with every button.
inline const platform::Message kSummary{"Creazione modulo PDF Liste Fondo Tesoreria", "Riepilogo", platform::Icon::Information,
                                        platform::Buttons::OkOpenFolderList};
}  // namespace kv::window::test

#ifdef _WIN32
#include "window/Win32WindowDriver.h"
#else
#include "window/QtWindowDriver.h"
#endif

#include "app/AppTestSupport.h"
#include "app/Installation.h"

namespace kv::window::test {
namespace {

using namespace kv::app::test;
using platform::Answer;
using platform::Buttons;

const Message kNoPrinter{"Controllo stampante", "Nessuna stampante presente", Icon::Critical};
const Message kProjectBox{"Informazioni Progetto kvsPaghe",
                          "Programma kvsPaghe\r\rNome EXE : KVTESO.EXE\rNome VBP : KVST_FTESOR.VBP\r", Icon::Information};

// Scripted messages that count the questions and summaries shown over the progress dialog.
struct Answers : platform::ScriptedMessageBoxes {
    Answer Show(const Message& m) override {
        overProgress += m.buttons != Buttons::Ok && progressOpen();
        return ScriptedMessageBoxes::Show(m);
    }
    Messages Shown() {
        Messages s = shown();
        return clear(), s;
    }
    std::function<bool()> progressOpen;
    int overProgress = 0;
};

// The program's window on a demo installation, with scripted messages and a recording folder opener.
struct Window {
    explicit Window(const DemoInstallation& demo) : installation(demo.root().string(), demo.registryFile().string()) {
        messages.progressOpen = [this] { return w.ProgressOpen(); };
    }
    std::string ChoiceState() {  // the checked option and Check1 with its caption
        std::string s;
        for (int i = 0; i < 7; ++i) s += w.Checked("Option1(" + std::to_string(i) + ")") ? std::to_string(i) : "";
        return s + (w.Checked("Check1") ? " checked " : " unchecked ") + w.Caption("Check1");
    }
    app::Installation installation;
    Answers messages;
    WindowDriver w{installation, messages};
};

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartToolkit(); }
};

TEST_F(WindowTest, WholeSession) {
    const DemoInstallation demo;
    fs::remove(demo.ArchiveFile("SLSTAMPE01.TXT"));  // no printer setting: printed lists stop at the check
    Window win(demo);
    win.w.form().Form_Load();
    win.w.Show();
    EXPECT_EQ(win.w.ControlTable(), kControlRows);
    EXPECT_TRUE(win.w.SizedAndCentred());
    EXPECT_EQ(win.w.Rows("List2"), std::vector<std::string>{});
    EXPECT_EQ(win.w.Rows("List1"), (std::vector<std::string>{"001 PERÒ COSTRUZIONI S.R.L. 4901234567", "002 TRASPORTI A/R: VELOCI E SICURI 5102345678", "003 STUDIO ASSOCIATO BIANCHI 6203456789", "004 OFFICINA MECCANICA VERDI SNC 7304567890"}));
    EXPECT_EQ(win.ChoiceState(), "0 unchecked Seleziona tutte le aziende");

    // The selection box, both ways; the project box only for Ctrl+Shift+P, wherever the focus is.
    win.w.Click("Check1");
    EXPECT_EQ(win.w.Selected(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(win.ChoiceState(), "0 checked Deseleziona tutte le aziende");
    win.w.Click("Check1");
    EXPECT_EQ(win.w.Selected(), std::vector<int>{});
    EXPECT_EQ(win.ChoiceState(), "0 unchecked Seleziona tutte le aziende");
    for (int shift : {3, 2, 1}) win.w.KeyP(shift);
    EXPECT_EQ(win.messages.Shown(), Messages{kProjectBox});

    // Runs: nothing selected; the recoveries as PDF for 001 and 004 with their workbook (a selection
    // made by hand and Check2 stay), its summary opening the folder; CF11 refused nothing (ordinary
    // month) but notices; TF02 on the printer for all (Check1 resets).
    win.w.Click("CmdStampa(0)");
    win.w.Select(0), win.w.Select(3);
    win.w.Click("Option1(5)");
    win.w.Click("Check2");
    win.messages.QueueAnswer(Answer::OpenFolder);
    win.w.Click("CmdStampa(0)");
    EXPECT_EQ(PdfFilesUnder(demo.PdfTree()).size(), 2u);
    EXPECT_TRUE(fs::is_regular_file(demo.root() / "C/KVPAGHE/FILE-XLSX/2018/03/TESRECU_201803_PARZ_001_004.xlsx"));  // some companies: a workbook of their own
    EXPECT_TRUE(win.w.Checked("Check2"));
    EXPECT_EQ(win.w.Selected(), (std::vector<int>{0, 3}));
    EXPECT_EQ(win.w.opened, std::vector<std::string>{demo.PdfTree().string()});  // two companies: the top folder
    win.w.Click("Option1(4)");
    win.w.Click("CmdStampa(1)");
    win.w.Click("Check1");
    win.w.Click("Option1(2)");
    win.w.Click("CmdStampa(1)");
    const Message recoveries{"Stampe Fondo Tesoreria",
                             "Viene eseguita una lista dei recuperi in caso di anticipo o liquidazioni TFR \r"
                             "vengono stampati solo i dipendenti che hanno un valore nel campo P602 o nel campo P603",
                             Icon::Information};
    const Message cf11{"Stampe Fondo Tesoreria",
                       "Viene eseguita una lista del codice CF11 INTERESSI\rVengono stampati solo i dipendenti che hanno il mese e "
                       "anno di adesione (campo P599)\ruguale al mese e anno data ultima erogazione campo(Q179)",
                       Icon::Information};
    // 004's employee is missing from the index.
    const Message summary{kPdfDone.title, kPdfDone.text +
                              "\r\rI file di questa elaborazione sono in :\rC:\\KVPAGHE\\FILE-PDF\r\r"
                              "Il file Excel e' stato creato in :\rC:\\KVPAGHE\\FILE-XLSX\\2018\\03\\TESRECU_201803_PARZ_001_004.xlsx\r\r"
                              "\xC8 stato tralasciato o letto con dati danneggiati 1 dipendente.",
                          Icon::Information, Buttons::OkOpenFolderList};
    EXPECT_EQ(win.messages.Shown(), (Messages{{"Stampe Fondo Tesoreria", "Nessuna azienda selezionata", Icon::Information}, recoveries, summary, cf11, kNoPrinter, kNoPrinter, kNoPrinter, kNoPrinter, kNoPrinter, kNoPrinter}));
    EXPECT_EQ(win.ChoiceState(), "0 unchecked Seleziona tutte le aziende");
    EXPECT_TRUE(win.w.Selected().empty() && !win.w.BusyCursor());

    // A CF01 run of every company stopped from the progress dialog during the first: that one ends, the
    // other three stay selected, the summary says where it stopped; the folder cannot be opened.
    std::string progress, stopping;
    bool busy = false;
    AtNextEvent([&] {
        progress = win.w.ProgressState();
        busy = win.w.BusyCursor();
        win.w.Close();  // refused during a run
        win.w.ClickStop();
        stopping = win.w.ProgressState();
    });
    fs::remove_all(demo.PdfTree());
    win.w.Click("Check1");
    win.messages.QueueAnswer(Answer::ShowList), win.messages.QueueAnswer(Answer::OpenFolder);
    win.w.openFails = true;
    win.w.Click("CmdStampa(0)");
    EXPECT_EQ(progress, "Elaborazione in corso|Azienda 1 di 4\nPERÒ COSTRUZIONI S.R.L. 4901234567|Interrompi dopo questa azienda");
    EXPECT_EQ(stopping, "Elaborazione in corso|Azienda 1 di 4\nInterruzione al termine dell'azienda in corso...|Interruzione richiesta (disattivato)");
    EXPECT_TRUE(busy);
    EXPECT_EQ(PdfFilesUnder(demo.PdfTree()), std::vector<fs::path>{demo.PdfFolder("001") / Utf8Name("TESCF01_001_PERÒ COSTRUZIONI S.R.L.pdf")});
    EXPECT_EQ(win.w.opened.back(), demo.PdfFolder("001").string());
    EXPECT_EQ(win.w.Selected(), (std::vector<int>{1, 2, 3}));
    const Message stopped{kPdfDone.title, kPdfDone.text +
                              "\r\rI file di questa elaborazione sono in :\rC:\\KVPAGHE\\FILE-PDF\\001\\2018\\03\\FDOTES\r\r"
                              "Il file Excel non e' stato creato: l'elaborazione non e' terminata\r\r"
                              "Sono stati tralasciati o letti con dati danneggiati 2 dipendenti.\r\r"
                              "Elaborazione interrotta dopo l'azienda 001 PER\xD2 COSTRUZIONI S.R.L. 4901234567 (1 di 4).\r"
                              "Le 3 aziende non elaborate restano selezionate: premere \"Crea PDF\" per proseguire.",
                          Icon::Information, Buttons::OkOpenFolderList};
    const Message left{"Stampe Fondo Tesoreria",
                       "001 CF01 0010000048: Importo non rappresentabile: escluso dai totali e dal foglio (RETR. TFR 12345678.90, IM.LE FAP 12345678.90)\r"
                       "001 CF01 0010000049: Importo vuoto letto come zero (P240)\r"
                       "001 CF01 0010000049: Importo non numerico (Q201 \"N/D\" letto come 0)",
                       Icon::Information};
    const Message cannotOpen{"Stampe Fondo Tesoreria", "Impossibile aprire la cartella C:\\KVPAGHE\\FILE-PDF\\001\\2018\\03\\FDOTES:\rxdg-open manca", Icon::Critical};
    EXPECT_EQ(win.messages.Shown(), (Messages{stopped, left, stopped, cannotOpen}));
    EXPECT_FALSE(win.w.ProgressOpen());
    EXPECT_EQ(win.messages.overProgress, 0);

    // The close box leaves as "&Uscita" does: archives closed, task line handed back, the program ends.
    win.w.Close();
    EXPECT_TRUE(win.w.form().ended() == std::optional<int>(0) && win.w.Hidden());
    EXPECT_EQ(demo.Task(), kHandedBack);
    for (int number : kOpenedAtStart) EXPECT_FALSE(win.w.form().session().context().files().IsOpen(number));
    EXPECT_EQ(win.messages.Shown(), Messages{});
}

TEST_F(WindowTest, SecondCopyEndsSilentlyAndNoExtractionWarnsAndEnds) {
    const DemoInstallation demo;
    {
        Window first(demo);
        first.w.form().Form_Load();
        {
            Window second(demo);
            EXPECT_THROW(second.w.form().Form_Load(), ProgramEnd);
            EXPECT_EQ(second.messages.Shown(), Messages{});
        }
        first.w.Show(), first.w.Click("CmdUscita(0)");
        EXPECT_TRUE(first.w.form().ended() == std::optional<int>(0) && first.w.Hidden());
        EXPECT_EQ(demo.Task(), kHandedBack);
    }
    demo.WriteExtraction({});
    Window without(demo);
    EXPECT_THROW(without.w.form().Form_Load(), ProgramEnd);
    EXPECT_EQ(without.messages.Shown(),
              (Messages{{"Stampe Fondo Tesoreria", "Attenzione: Non esiste estrazione anno corrente", Icon::Critical}}));
    EXPECT_FALSE(without.w.form().session().context().files().IsOpen(archive::Companies));
}

// The window's own message boxes, answered by pressing a button: texts from Windows-1252 with CR as a
// line break, the buttons, and "Apri cartella" only on the message at the end of a PDF run.
TEST_F(WindowTest, MessageBoxesShowTheLegacyTexts) {
    for (const MessageBoxCase& c : kMessageBoxCases) {
        std::string shown;
        AtNextEvent([&] {
            OpenMessageBox box = OpenMessageBox::Find();
            shown = box.Shown();
            box.Press(c.press);
        });
        EXPECT_EQ(ToolkitMessageBoxes().Show(c.message), c.answer) << c.press;
        EXPECT_TRUE(c.shown.empty() || shown == c.shown) << shown;
    }
}

}  // namespace
}  // namespace kv::window::test
