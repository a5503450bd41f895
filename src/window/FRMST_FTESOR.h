#pragma once
// The window "Stampe Fondo Tesoreria": the companies of the current extraction, the choice of list
// and the commands "Crea PDF", "Stampa Laser" and "&Uscita". It adds no list logic: the start-up,
// the run and the way out are the Session's; the window only shows them.
//
// Every control carries its name as objectName. An element of a control array is named with its
// index in brackets, as it is written in the code: "FrameSelezione(0)", "Option1(3)", "CmdStampa(1)".
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/ListJob.h"
#include "platform/Messages.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QListWidget;
class QUrl;

namespace kv::app {
class Installation;
class Session;
}  // namespace kv::app
namespace kv::output {
class LaserPrinter;
class ListWorkbook;
}  // namespace kv::output

namespace kv::window {

class RunProgress;

// Positions of the controls are in twips: 15 twips to a device-independent pixel (96 dpi).
inline constexpr int kTwipsPerPixel = 15;
inline constexpr const char* kProjectFileExtension = ".VBP";

class FRMST_FTESOR : public QWidget, private app::RunObserver {
    Q_OBJECT

public:
    // messages: where every message of the program goes (null: the window's own QMessageBox ones).
    explicit FRMST_FTESOR(app::Installation& installation, platform::MessageBoxes* messages = nullptr,
                          QWidget* parent = nullptr);
    ~FRMST_FTESOR() override;

    // The start-up sequence, up to a window ready to be shown. Throws ProgramEnd when the program ends
    // there (another copy runs, a configuration error, no current extraction).
    void Form_Load();
    void IMPOSTAZIONI();
    void PULISCICAMPI();
    void LISTA_AZIENDE();
    void Check1_Click(bool checked);
    void CmdStampa_Click(int index);
    [[noreturn]] void CmdUscita_Click(int index);
    [[noreturn]] void Form_Unload();
    // keyCode as the legacy key codes (80 = P); shift: 1 Shift, 2 Ctrl, 4 Alt.
    void Form_KeyDown(int keyCode, int shift);

    // How a folder is opened after "Apri cartella" (default: the desktop's file manager).
    void SetUrlOpener(std::function<void(const QUrl&)> opener) { openUrl_ = std::move(opener); }
    // Called with the exit code when the program ends inside an event (RunWindow: the event loop quits).
    void SetOnEnd(std::function<void(int)> onEnd) { onEnd_ = std::move(onEnd); }
    // The exit code once the program has ended inside an event.
    std::optional<int> ended() const { return ended_; }
    app::Session& session() { return *session_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Relay;
    void BuildControls();
    void SizeAndCentre();
    // Runs an event's handler; a program end inside it ends the window and the event loop.
    void InEvent(const std::function<void()>& handler);
    void End(int exitCode);
    void OpenPdfFolder(const std::vector<std::filesystem::path>& files);
    // After "Crea PDF" with Check2: where the list's workbook of the month went, or why it did not.
    void ShowWorkbook(const app::ListJobResult& job);

    void Busy(bool on) override;
    void ChoicesReset() override { PULISCICAMPI(); }
    bool BeforeCompany(int index, int count, const std::string& code) override;

    std::unique_ptr<platform::MessageBoxes> ownMessages_;
    std::unique_ptr<Relay> relay_;
    std::unique_ptr<app::Session> session_;
    std::unique_ptr<output::LaserPrinter> printer_;
    std::function<void(const QUrl&)> openUrl_;
    std::function<void(int)> onEnd_;

    std::string programName_, programCode_;
    QGroupBox* frameSelezione_[1] = {};
    QListWidget* list1_ = nullptr;
    QListWidget* list2_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QCheckBox* check2_ = nullptr;  // "Crea anche il file Excel"
    QButtonGroup* option1_ = nullptr;
    RunProgress* progress_ = nullptr;
    bool running_ = false;
    bool busy_ = false;
    std::optional<int> ended_;
};

}  // namespace kv::window
