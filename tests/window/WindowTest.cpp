// The window driven as a user drives it, on the demo suite, offscreen: start-up and its ends, the
// controls as built, the selection box, the list options and both run buttons, the progress dialog's
// stop, the project box keys and the two ways out.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/AppTestSupport.h"
#include "app/Installation.h"
#include "window/qt/QtFormWindow.h"
#include "window/qt/QtMessageBoxes.h"

namespace kv::window {
namespace {

using namespace kv::app::test;
using platform::Answer;
using platform::Buttons;

const Message kNoPrinter{"Controllo stampante", "Nessuna stampante presente", Icon::Critical};
const Message kProjectBox{"Informazioni Progetto kvsPaghe",
                          "Programma kvsPaghe\r\rNome EXE : KVTESO.EXE\rNome VBP : KVST_FTESOR.VBP\r", Icon::Information};

// Scripted messages where the user presses "Apri cartella" on the message at the end of a PDF run.
struct Answers : platform::ScriptedMessageBoxes {
    Answer Show(const Message& m) override {
        const Answer a = ScriptedMessageBoxes::Show(m);
        return m.title == app::kPdfDoneTitle ? Answer::Yes : a;
    }
    Messages Shown() {
        Messages s = shown();
        return clear(), s;
    }
};

// The program's window on a demo installation, with scripted messages and a recording folder opener.
struct Window {
    explicit Window(const DemoInstallation& demo) : installation(demo.root().string(), demo.registryFile().string()) {
        w.SetFolderOpener([this](const fs::path& folder) { opened.push_back(folder.string()); });
    }
    template <typename T = QAbstractButton>
    T* Find(const std::string& name) { return w.findChild<T*>(QString::fromStdString(name)); }
    void Click(const char* button) { Find(button)->click(); }
    std::vector<int> Selected() {
        std::vector<int> rows;
        for (int i = 0; i < Find<QListWidget>("List1")->count(); ++i)
            if (Find<QListWidget>("List1")->item(i)->isSelected()) rows.push_back(i);
        return rows;
    }
    std::string ChoiceState() {  // the checked option and Check1 with its caption
        std::string s;
        for (int i = 0; i < 7; ++i) s += Find("Option1(" + std::to_string(i) + ")")->isChecked() ? std::to_string(i) : "";
        return s + (Find("Check1")->isChecked() ? " checked " : " unchecked ") + Find("Check1")->text().toStdString();
    }
    app::Installation installation;
    Answers messages;
    QtFormWindow w{installation, &messages};
    std::vector<std::string> opened;
};

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_window", *argv[] = {name, nullptr};
        if (!qApp) new QApplication(argc, argv);
    }
};

// Every control: name, class, caption, geometry in pixels, font.
std::vector<std::string> ControlTable(QWidget& window) {
    std::vector<std::string> rows;
    for (QWidget* c : window.findChildren<QWidget*>()) {
        if (c->objectName().isEmpty() || c->objectName().startsWith("qt_")) continue;
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(c)) text = b->text();
        if (auto* l = qobject_cast<QLabel*>(c)) text = l->text();
        if (auto* g = qobject_cast<QGroupBox*>(c)) text = g->title();
        const QRect r = c->geometry();
        const QFont f = c->font();
        rows.push_back(QString("%1 %2 \"%3\" %4,%5 %6x%7 %8 %9%10%11")
                           .arg(c->objectName(), c->metaObject()->className(), text)
                           .arg(r.x())
                           .arg(r.y())
                           .arg(r.width())
                           .arg(r.height())
                           .arg(f.family())
                           .arg(f.pointSizeF())
                           .arg(f.bold() ? " bold" : "")
                           .arg(c->isHidden() ? " hidden" : "")
                           .toStdString());
    }
    return rows;
}

TEST_F(WindowTest, WholeSession) {
    const DemoInstallation demo;
    fs::remove(demo.ArchiveFile("SLSTAMPE01.TXT"));  // no printer setting: printed lists stop at the check
    Window win(demo);
    win.w.form().Form_Load();
    win.w.show();
    EXPECT_EQ(ControlTable(win.w), (std::vector<std::string>{"FrameSelezione(0) QGroupBox \"\" 4,0 462x477 MS Sans Serif 8.25", "Label1(0) QLabel \" Lista Aziende in estrazione\" 4,10 453x19 MS Sans Serif 9.75 bold", "List1 QListWidget \"\" 4,30 453x240 Courier New 8.25", "Label3 QLabel \"Selezionare con un click del mouse le aziende da stampare\" 6,388 449x19 MS Sans Serif 8.25 bold", "Frame1 QGroupBox \"\" 4,272 453x111 MS Sans Serif 8.25", "Label2 QLabel \"Selezione Tipo stampa\" 6,12 181x15 MS Sans Serif 9.75 bold", "Check1 QCheckBox \"Seleziona tutte le aziende\" 224,12 205x18 MS Sans Serif 9.75 bold", "Line2 QFrame \"\" 4,29 445x2 MS Sans Serif 8.25", "Option1(0) QRadioButton \"Codice CF01\" 4,36 221x17 MS Sans Serif 8.25 bold", "Option1(1) QRadioButton \"Codice CF02 arretrati quote\" 4,54 221x17 MS Sans Serif 8.25 bold", "Option1(2) QRadioButton \"Codice TF02\" 228,36 219x17 MS Sans Serif 8.25 bold", "Option1(3) QRadioButton \"Codice TF02 arretrati\" 228,54 219x17 MS Sans Serif 8.25 bold", "Option1(4) QRadioButton \"Codice CF11\" 4,72 221x17 MS Sans Serif 8.25 bold", "Option1(5) QRadioButton \"Recupero prestazioni/anticipi\" 228,72 219x17 MS Sans Serif 8.25 bold", "Option1(6) QRadioButton \"Codice TF14\" 228,90 219x17 MS Sans Serif 8.25 bold", "Label4 QLabel \"\" 4,90 221x17 MS Sans Serif 8.25", "Check2 QCheckBox \"Crea anche il file Excel\" 4,90 221x17 MS Sans Serif 8.25 bold", "CmdStampa(0) QToolButton \"Crea PDF\" 308,410 147x61 MS Sans Serif 8.25 bold", "CmdStampa(1) QToolButton \"Stampa Laser\" 156,410 147x61 MS Sans Serif 8.25 bold", "CmdUscita(0) QToolButton \"&Uscita\" 6,410 147x61 MS Sans Serif 8.25 bold", "List2 QListWidget \"\" 214,216 225x15 MS Sans Serif 8.25 hidden"}));
    EXPECT_TRUE(win.w.size() == QSize(470, 481) && win.w.frameGeometry().center() == win.w.screen()->availableGeometry().center());
    auto* list1 = win.Find<QListWidget>("List1");
    EXPECT_EQ(win.Find<QListWidget>("List2")->count(), 0);
    std::vector<std::string> lines;
    for (int i = 0; i < list1->count(); ++i) lines.push_back(list1->item(i)->text().toStdString());
    EXPECT_EQ(lines, (std::vector<std::string>{"001 PERÒ COSTRUZIONI S.R.L. 4901234567", "002 TRASPORTI A/R: VELOCI E SICURI 5102345678", "003 STUDIO ASSOCIATO BIANCHI 6203456789", "004 OFFICINA MECCANICA VERDI SNC 7304567890"}));
    EXPECT_EQ(win.ChoiceState(), "0 unchecked Seleziona tutte le aziende");

    // The selection box, both ways; the project box only for Ctrl+Shift+P, wherever the focus is.
    win.Click("Check1");
    EXPECT_EQ(win.Selected(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(win.ChoiceState(), "0 checked Deseleziona tutte le aziende");
    win.Click("Check1");
    EXPECT_EQ(win.Selected(), std::vector<int>{});
    EXPECT_EQ(win.ChoiceState(), "0 unchecked Seleziona tutte le aziende");
    for (auto mods : {Qt::ControlModifier | Qt::ShiftModifier, Qt::KeyboardModifiers(Qt::ControlModifier),
                      Qt::KeyboardModifiers(Qt::ShiftModifier)})
        QTest::keyClick(list1, Qt::Key_P, mods);
    EXPECT_EQ(win.messages.Shown(), Messages{kProjectBox});

    // Runs: nothing selected; the recoveries as PDF for 001 and 004 with their workbook (a selection
    // made by hand and Check2 stay); CF11 refused nothing (ordinary month) but notices; TF02 on the
    // printer for all (Check1 resets).
    win.Click("CmdStampa(0)");
    list1->item(0)->setSelected(true), list1->item(3)->setSelected(true);
    win.Click("Option1(5)");
    win.Click("Check2");
    win.Click("CmdStampa(0)");
    EXPECT_EQ(PdfFilesUnder(demo.PdfTree()).size(), 2u);
    EXPECT_TRUE(fs::is_regular_file(demo.root() / "C/KVPAGHE/FILE-XLSX/2018/03/TESRECU_201803.xlsx"));
    EXPECT_TRUE(win.Find("Check2")->isChecked());
    EXPECT_EQ(win.Selected(), (std::vector<int>{0, 3}));
    EXPECT_EQ(win.opened, std::vector<std::string>{demo.PdfTree().string()});  // two folders: the top one
    win.Click("Option1(4)");
    win.Click("CmdStampa(1)");
    win.Click("Check1");
    win.Click("Option1(2)");
    win.Click("CmdStampa(1)");
    const Message recoveries{"Stampe Fondo Tesoreria",
                             "Viene eseguita una lista dei recuperi in caso di anticipo o liquidazioni TFR \r"
                             "vengono stampati solo i dipendenti che hanno un valore nel campo P602 o nel campo P603",
                             Icon::Information};
    const Message cf11{"Stampe Fondo Tesoreria",
                       "Viene eseguita una lista del codice CF11 INTERESSI\rVengono stampati solo i dipendenti che hanno il mese e "
                       "anno di adesione (campo P599)\ruguale al mese e anno data ultima erogazione campo(Q179)",
                       Icon::Information};
    const Message excel{"Creazione file Excel", "Il file Excel e' stato creato in :\r\rC:\\KVPAGHE\\FILE-XLSX\\2018\\03\\TESRECU_201803.xlsx", Icon::Information};
    // 004's employee is missing from the index: the question after the run (answered No).
    const Message damaged{"Stampe Fondo Tesoreria", "\xC8 stato tralasciato o letto con dati danneggiati 1 dipendente.\rVedere l'elenco?",
                          Icon::Information, Buttons::YesNo};
    EXPECT_EQ(win.messages.Shown(), (Messages{{"Stampe Fondo Tesoreria", "Nessuna azienda selezionata", Icon::Information}, recoveries, kPdfDone, excel, damaged, cf11, kNoPrinter, kNoPrinter, kNoPrinter, kNoPrinter, kNoPrinter, kNoPrinter}));
    EXPECT_EQ(win.ChoiceState(), "0 unchecked Seleziona tutte le aziende");
    EXPECT_TRUE(win.Selected().empty() && QApplication::overrideCursor() == nullptr);

    // A CF01 run of every company stopped from the progress dialog during the first: that one ends.
    std::string progress, cursor;
    QTimer::singleShot(0, [&] {
        auto* dialog = win.w.findChild<QDialog*>("RunProgress");
        progress = dialog->findChild<QLabel*>()->text().toStdString();
        cursor = std::to_string(QApplication::overrideCursor()->shape()) + (dialog->isVisible() ? "" : " hidden");
        win.w.close();  // refused during a run
        dialog->findChild<QAbstractButton*>("Interrompi")->click();
    });
    fs::remove_all(demo.PdfTree());
    win.Click("Check1");
    win.messages.QueueAnswer(Answer::Yes);  // the list of what was left out
    win.Click("CmdStampa(0)");
    EXPECT_EQ(progress + " " + cursor, "Azienda 1 di 4\nPERÒ COSTRUZIONI S.R.L. 4901234567 " + std::to_string(Qt::WaitCursor));
    EXPECT_EQ(PdfFilesUnder(demo.PdfTree()), std::vector<fs::path>{demo.PdfFolder("001") / "TESCF01_001_PERÒ COSTRUZIONI S.R.L.pdf"});
    EXPECT_EQ(win.opened.back(), demo.PdfFolder("001").string());
    EXPECT_EQ(win.messages.Shown(), (Messages{kPdfDone, {"Creazione file Excel", "Il file Excel non e' stato creato: l'elaborazione non e' terminata", Icon::Information}, damaged, {"Stampe Fondo Tesoreria",
                                                                                                                                                                                     "001 CF01 0010000049: Importo vuoto letto come zero (P240)\r"
                                                                                                                                                                                     "001 CF01 0010000049: Importo non numerico (Q201 \"N/D\" letto come 0)",
                                                                                                                                                                                     Icon::Information}}));
    EXPECT_EQ(win.w.findChild<QDialog*>("RunProgress"), nullptr);

    // The close box leaves as "&Uscita" does: archives closed, task line handed back, the program ends.
    win.w.close();
    EXPECT_TRUE(win.w.form().ended() == std::optional<int>(0) && win.w.isHidden());
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
        first.w.show(), first.Click("CmdUscita(0)");
        EXPECT_TRUE(first.w.form().ended() == std::optional<int>(0) && first.w.isHidden());
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
// line break, the icon, the buttons, and "Apri cartella" only on the message at the end of a PDF run.
TEST_F(WindowTest, MessageBoxesShowTheLegacyTexts) {
    struct Case {
        Message message;
        const char* press;  // the button's text
        Answer answer;
        std::string shown;  // title | text | icon | buttons
    } cases[] = {
        {{"Controllo stampante", "La stampante X non \xE8 impostata\rRiprovare", Icon::Critical}, "OK", Answer::Ok, "Controllo stampante|La stampante X non è impostata\nRiprovare|3|OK"},
        {{"KvsPaghe", "Riprovare?", Icon::Question, Buttons::YesNo}, "&No", Answer::No, "KvsPaghe|Riprovare?|4|&No &Yes"},
        {{"KvsPaghe", "Riprovare?", Icon::Exclamation, Buttons::YesNo}, "&Yes", Answer::Yes, "KvsPaghe|Riprovare?|2|&No &Yes"},
        {kPdfDone, "Apri cartella", Answer::Yes,
         "Creazione modulo PDF Liste Fondo Tesoreria|I file PDF creati sono contenuti "
         "nella relativa cartella situata in :\n\nC:\\KVPAGHE\\FILE-PDF\\DITTA\\ANNO\\MESE\\FDOTES|1|Apri cartella OK"},
        {kPdfDone, "OK", Answer::Ok, ""},
    };
    for (const Case& c : cases) {
        std::string shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QStringList buttons;
            QAbstractButton* press = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                buttons << b->text();
                if (b->text() == c.press) press = b;
            }
            buttons.sort();
            shown = QString("%1|%2|%3|%4").arg(box->windowTitle(), box->text()).arg(int(box->icon())).arg(buttons.join(' ')).toStdString();
            press->click();
        });
        EXPECT_EQ(QtMessageBoxes().Show(c.message), c.answer) << c.press;
        EXPECT_TRUE(c.shown.empty() || shown == c.shown) << shown;
    }
}

}  // namespace
}  // namespace kv::window
