#pragma once
// The window "Stampe Fondo Tesoreria" drawn with Qt Widgets: the controls of the control table, the
// progress dialog, the hourglass and the close box, around the form's code (FRMST_FTESOR). Every
// control carries its name from the table as objectName.
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "window/FRMST_FTESOR.h"
#include "window/FormView.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QListWidget;

namespace kv::window {

class RunProgress;

class QtFormWindow : public QWidget, private FormView {
    Q_OBJECT

public:
    // messages: where every message of the program goes (null: the window's own QMessageBox ones).
    explicit QtFormWindow(app::Installation& installation, platform::MessageBoxes* messages = nullptr,
                          QWidget* parent = nullptr);
    ~QtFormWindow() override;

    FRMST_FTESOR& form() { return *form_; }
    // How a folder is opened after "Apri cartella" (default: the desktop's file manager); false, with the
    // cause (Windows-1252), when it cannot be.
    using FolderOpener = std::function<bool(const std::filesystem::path&, std::string*)>;
    void SetFolderOpener(FolderOpener opener) { openFolder_ = std::move(opener); }
    // Called with the exit code when the program ends inside an event (RunWindow: the event loop quits).
    void SetOnEnd(std::function<void(int)> onEnd) { onEnd_ = std::move(onEnd); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();

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
    bool Progress(int index, int count, const std::string& line) override;
    void EndProgress() override;
    bool OpenFolder(const std::filesystem::path& folder, std::string* error) override;
    void Ended(int exitCode) override;

    std::unique_ptr<platform::MessageBoxes> ownMessages_;
    std::unique_ptr<FRMST_FTESOR> form_;
    FolderOpener openFolder_;
    std::function<void(int)> onEnd_;

    QGroupBox* frameSelezione_[1] = {};
    QListWidget* list1_ = nullptr;
    QListWidget* list2_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QCheckBox* check2_ = nullptr;
    QButtonGroup* option1_ = nullptr;
    RunProgress* progress_ = nullptr;
    bool busy_ = false;
};

}  // namespace kv::window
