#pragma once
// The Qt window as the window tests drive it: offscreen, clicks through the widgets themselves.
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

#include "app/AppTestSupport.h"
#include "window/qt/QtFormWindow.h"
#include "window/qt/QtMessageBoxes.h"

namespace kv::window::test {

inline void StartToolkit() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_window", *argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
}

// Runs `action` once the event loop next turns (inside a run, a message box or a dialog).
inline void AtNextEvent(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

class WindowDriver {
public:
    WindowDriver(app::Installation& installation, platform::MessageBoxes& messages) : w(installation, &messages) {
        w.SetFolderOpener([this](const std::filesystem::path& folder, std::string* error) {
            opened.push_back(folder.string());
            if (openFails) *error = "xdg-open manca";
            return !openFails;
        });
    }
    FRMST_FTESOR& form() { return w.form(); }
    void Show() { w.show(); }
    void Close() { w.close(); }
    bool Hidden() { return w.isHidden(); }
    void Click(const std::string& name) { Find(name)->click(); }
    bool Checked(const std::string& name) { return Find(name)->isChecked(); }
    std::string Caption(const std::string& name) { return Find(name)->text().toStdString(); }
    std::vector<std::string> Rows(const std::string& list) {
        std::vector<std::string> rows;
        for (int i = 0; i < Find<QListWidget>(list)->count(); ++i) rows.push_back(Find<QListWidget>(list)->item(i)->text().toStdString());
        return rows;
    }
    void Select(int row) { Find<QListWidget>("List1")->item(row)->setSelected(true); }
    std::vector<int> Selected() {
        std::vector<int> rows;
        for (int i = 0; i < Find<QListWidget>("List1")->count(); ++i)
            if (Find<QListWidget>("List1")->item(i)->isSelected()) rows.push_back(i);
        return rows;
    }
    // The key P with Shift (1), Ctrl (2) on List1.
    void KeyP(int shift) {
        QTest::keyClick(Find<QListWidget>("List1"), Qt::Key_P,
                        (shift & 1 ? Qt::ShiftModifier : Qt::NoModifier) | (shift & 2 ? Qt::ControlModifier : Qt::NoModifier));
    }
    bool BusyCursor() { return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor; }
    bool ProgressOpen() { return w.findChild<QDialog*>("RunProgress") != nullptr; }
    // title | text | stop button
    std::string ProgressState() {
        auto* p = w.findChild<QDialog*>("RunProgress");
        auto* stop = p->findChild<QAbstractButton*>("Interrompi");
        return QString("%1|%2|%3%4").arg(p->windowTitle(), p->findChild<QLabel*>()->text(), stop->text()).arg(stop->isEnabled() ? "" : " (disattivato)").toStdString();
    }
    void ClickStop() { w.findChild<QDialog*>("RunProgress")->findChild<QAbstractButton*>("Interrompi")->click(); }
    bool SizedAndCentred() {
        return w.size() == QSize(470, 481) && w.frameGeometry().center() == w.screen()->availableGeometry().center();
    }
    // Every control: name, class, caption, geometry in pixels, font.
    std::vector<std::string> ControlTable() {
        std::vector<std::string> rows;
        for (QWidget* c : w.findChildren<QWidget*>()) {
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
    std::vector<std::string> opened;
    bool openFails = false;

private:
    template <typename T = QAbstractButton>
    T* Find(const std::string& name) { return w.findChild<T*>(QString::fromStdString(name)); }
    QtFormWindow w;
};

// The controls as Qt builds them from the control table: class, caption, geometry relative to the
// parent, font.
inline const std::vector<std::string> kControlRows{"FrameSelezione(0) QGroupBox \"\" 4,0 462x477 MS Sans Serif 8.25", "Label1(0) QLabel \" Lista Aziende in estrazione\" 4,10 453x19 MS Sans Serif 9.75 bold", "List1 QListWidget \"\" 4,30 453x240 Courier New 8.25", "Label3 QLabel \"Selezionare con un click del mouse le aziende da stampare\" 6,388 449x19 MS Sans Serif 8.25 bold", "Frame1 QGroupBox \"\" 4,272 453x111 MS Sans Serif 8.25", "Label2 QLabel \"Selezione Tipo stampa\" 6,12 181x15 MS Sans Serif 9.75 bold", "Check1 QCheckBox \"Seleziona tutte le aziende\" 224,12 205x18 MS Sans Serif 9.75 bold", "Line2 QFrame \"\" 4,29 445x2 MS Sans Serif 8.25", "Option1(0) QRadioButton \"Codice CF01\" 4,36 221x17 MS Sans Serif 8.25 bold", "Option1(1) QRadioButton \"Codice CF02 arretrati quote\" 4,54 221x17 MS Sans Serif 8.25 bold", "Option1(2) QRadioButton \"Codice TF02\" 228,36 219x17 MS Sans Serif 8.25 bold", "Option1(3) QRadioButton \"Codice TF02 arretrati\" 228,54 219x17 MS Sans Serif 8.25 bold", "Option1(4) QRadioButton \"Codice CF11\" 4,72 221x17 MS Sans Serif 8.25 bold", "Option1(5) QRadioButton \"Recupero prestazioni/anticipi\" 228,72 219x17 MS Sans Serif 8.25 bold", "Option1(6) QRadioButton \"Codice TF14\" 228,90 219x17 MS Sans Serif 8.25 bold", "Label4 QLabel \"\" 4,90 221x17 MS Sans Serif 8.25", "Check2 QCheckBox \"Crea anche il file Excel\" 4,90 221x17 MS Sans Serif 8.25 bold", "CmdStampa(0) QToolButton \"Crea PDF\" 308,410 147x61 MS Sans Serif 8.25 bold", "CmdStampa(1) QToolButton \"Stampa Laser\" 156,410 147x61 MS Sans Serif 8.25 bold", "CmdUscita(0) QToolButton \"&Uscita\" 6,410 147x61 MS Sans Serif 8.25 bold", "List2 QListWidget \"\" 214,216 225x15 MS Sans Serif 8.25 hidden"};

// The window's own message box on screen: its title, text, icon and buttons, and a button pressed.
struct OpenMessageBox {
    static OpenMessageBox Find() {
        return {qobject_cast<QMessageBox*>(QApplication::activeModalWidget())};
    }
    // title | text | icon | the buttons' texts, sorted
    std::string Shown() {
        QStringList buttons;
        for (QAbstractButton* b : box->buttons()) buttons << b->text();
        buttons.sort();
        return QString("%1|%2|%3|%4").arg(box->windowTitle(), box->text()).arg(int(box->icon())).arg(buttons.join(' ')).toStdString();
    }
    void Press(const std::string& text) {
        if (text == "Esc") return QTest::keyClick(box, Qt::Key_Escape);
        for (QAbstractButton* b : box->buttons())
            if (b->text().toStdString() == text) return b->click();
    }
    QMessageBox* box;
};
using ToolkitMessageBoxes = QtMessageBoxes;

inline const MessageBoxCase kMessageBoxCases[] = {
    {{"Controllo stampante", "La stampante X non \xE8 impostata\rRiprovare", platform::Icon::Critical}, "OK", platform::Answer::Ok, "Controllo stampante|La stampante X non è impostata\nRiprovare|3|OK"},
    {{"KvsPaghe", "Riprovare?", platform::Icon::Question, platform::Buttons::YesNo}, "&No", platform::Answer::No, "KvsPaghe|Riprovare?|4|&No &Sì"},
    {{"KvsPaghe", "Riprovare?", platform::Icon::Exclamation, platform::Buttons::YesNo}, "&Sì", platform::Answer::Yes, "KvsPaghe|Riprovare?|2|&No &Sì"},
    {kSummary, "Vedere l'elenco", platform::Answer::ShowList, "Creazione modulo PDF Liste Fondo Tesoreria|Riepilogo|1|Apri cartella OK Vedere l'elenco"},
    {kSummary, "Apri cartella", platform::Answer::OpenFolder, ""},
    {kSummary, "Esc", platform::Answer::Ok, ""},
    {{"Stampe Fondo Tesoreria", "Riepilogo", platform::Icon::Information, platform::Buttons::OkList}, "Esc", platform::Answer::Ok, "Stampe Fondo Tesoreria|Riepilogo|1|OK Vedere l'elenco"},
};

}  // namespace kv::window::test
