#pragma once
// The form "Stampe Fondo Tesoreria": the companies of the current extraction, the choice of list and
// the commands "Crea PDF", "Stampa Laser" and "&Uscita". This is the form's code, whatever toolkit
// draws it (FormView): it adds no list logic either, the start-up, the run and the way out being the
// Session's.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/ListJob.h"
#include "platform/Messages.h"
#include "window/FormView.h"

namespace kv::app {
class Installation;
class Session;
}  // namespace kv::app
namespace kv::output {
class LaserPrinter;
}  // namespace kv::output

namespace kv::window {

struct RunFolder;

inline constexpr const char* kProjectFileExtension = ".VBP";

class FRMST_FTESOR : private app::RunObserver {
public:
    // messages: where every message of the program goes; view: the window that shows the form. Both
    // must outlive the form.
    FRMST_FTESOR(app::Installation& installation, platform::MessageBoxes& messages, FormView& view);
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

    // Runs an event's handler; a program end inside it ends the form (FormView::Ended).
    void InEvent(const std::function<void()>& handler);
    // The close box: true when the window may close (the program has ended, or ends now as with
    // "&Uscita"); false in the middle of a run, whose files and jobs would be cut short.
    bool QueryUnload();

    // The exit code once the program has ended inside an event.
    std::optional<int> ended() const { return ended_; }
    bool running() const { return running_; }
    app::Session& session() { return *session_; }

private:
    class Relay;
    // "Apri cartella": the folder in the file manager, or a message saying why it cannot be.
    void OpenPdfFolder(const RunFolder& folder);

    void Busy(bool on) override;
    void ChoicesReset() override { PULISCICAMPI(); }
    bool BeforeCompany(int index, int count, const std::string& code) override;

    FormView& view_;
    std::unique_ptr<Relay> relay_;
    std::unique_ptr<app::Session> session_;
    std::unique_ptr<output::LaserPrinter> printer_;

    std::string programName_, programCode_;
    bool running_ = false;
    int started_ = 0;  // the position in the run of the company last started
    bool busy_ = false;
    std::optional<int> ended_;
};

}  // namespace kv::window
