#pragma once
// The window "Stampe Fondo Tesoreria" drawn with Windows' own controls: the controls of the control
// table (all children of the window, at their place in their frames), the progress dialog, the
// hourglass and the close box, around the form's code (FRMST_FTESOR).
#include <windows.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "window/FRMST_FTESOR.h"
#include "window/FormView.h"

namespace kv::window {

class Win32FormWindow : private FormView {
public:
    // messages: where every message of the program goes (null: the window's own MessageBoxA ones).
    explicit Win32FormWindow(app::Installation& installation, platform::MessageBoxes* messages = nullptr);
    ~Win32FormWindow() override;
    Win32FormWindow(const Win32FormWindow&) = delete;
    Win32FormWindow& operator=(const Win32FormWindow&) = delete;

    FRMST_FTESOR& form() { return *form_; }
    HWND handle() const { return window_; }
    // A control by its name in the control table ("List1", "Option1(3)"); null when there is none.
    HWND Control(const std::string& name) const;
    // The progress dialog while a run goes on, else null. Its stop button has the id IDCANCEL.
    HWND progressDialog() const { return progress_; }

    void Show();
    // The message loop, until the program ends; the exit code.
    int Run();
    // What the message loop does with a message before dispatching it (Ctrl+Shift+P, the dialog keys):
    // true when it was handled.
    bool PreTranslate(MSG& message);

    // How a folder is opened after "Apri cartella" (default: the shell's open verb); false, with the
    // cause (Windows-1252), when it cannot be.
    using FolderOpener = std::function<bool(const std::filesystem::path&, std::string*)>;
    void SetFolderOpener(FolderOpener opener) { openFolder_ = std::move(opener); }
    // Called with the exit code when the program ends inside an event (default: the loop quits).
    void SetOnEnd(std::function<void(int)> onEnd) { onEnd_ = std::move(onEnd); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void BuildControls();
    void Command(int id, int notification);
    void DrawCommand(const DRAWITEMSTRUCT& item);
    HFONT Font(const char* face, double points, bool bold);
    int Pixels(int twips) const;
    void StopAsked();

    void SizeAndCentre() override;
    void ShowSelectionFrame() override;
    void SetCompanyLines(const std::vector<std::string>& lines) override;
    void SelectCompanies(const std::vector<int>& rows) override;
    std::vector<int> SelectedCompanies() const override;
    void SetCheck1(bool checked, const std::string& caption) override;
    bool Check1() const override;
    bool Check2() const override;
    int CheckedOption() const override;
    void CheckOption(int index) override;
    void Busy(bool on) override;
    bool Progress(int index, int count, const std::string& text) override;
    void EndProgress() override;
    bool OpenFolder(const std::filesystem::path& folder, std::string* error) override;
    void Ended(int exitCode) override;

    std::unique_ptr<platform::MessageBoxes> ownMessages_;
    std::unique_ptr<FRMST_FTESOR> form_;
    FolderOpener openFolder_;
    std::function<void(int)> onEnd_;
    HWND window_ = nullptr;
    HWND progress_ = nullptr;
    HWND progressLabel_ = nullptr;
    HWND progressBar_ = nullptr;
    std::map<std::string, HWND> controls_;
    std::map<std::string, HFONT> fonts_;
    std::map<std::string, HICON> pictures_;
    int dpi_ = 96;
    bool busy_ = false;
    bool stopAsked_ = false;
};

}  // namespace kv::window
