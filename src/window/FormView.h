#pragma once
// What the form's code asks of the window that shows it: the toolkit's side of "Stampe Fondo
// Tesoreria". Texts are Windows-1252, as the program keeps them.
#include <filesystem>
#include <string>
#include <vector>

namespace kv::window {

class FormView {
public:
    virtual ~FormView() = default;

    // The window at its size (kFormWidthTwips x kFormHeightTwips), centred on its screen.
    virtual void SizeAndCentre() = 0;
    // The selection frame shown without a title; List2 emptied and hidden.
    virtual void ShowSelectionFrame() = 0;
    virtual void SetCompanyLines(const std::vector<std::string>& lines) = 0;
    // Exactly these rows of List1 selected.
    virtual void SelectCompanies(const std::vector<int>& rows) = 0;
    // The rows of List1 the user selected, in order.
    virtual std::vector<int> SelectedCompanies() const = 0;
    // Check1's state and caption, without a click of its own.
    virtual void SetCheck1(bool checked, const std::string& caption) = 0;
    virtual bool Check1() const = 0;
    // Check2, "Crea anche il file Excel".
    virtual bool Check2() const = 0;
    virtual int CheckedOption() const = 0;
    virtual void CheckOption(int index) = 0;
    // The hourglass over the window.
    virtual void Busy(bool on) = 0;
    // The progress dialog (kProgressTitle) at company `index` of `count` (from 1), showing `text` (lines
    // split by CR); it opens with the first company. False once the user asked to stop (the company
    // under way has finished); from the request on, the dialog shows kStoppingText under its first line
    // and its stop button, disabled, reads kStopAskedCaption.
    virtual bool Progress(int index, int count, const std::string& text) = 0;
    // The run is over: the progress dialog, its bar full, goes.
    virtual void EndProgress() = 0;
    // Opens the folder in the desktop's file manager; false, with the cause in *error (Windows-1252), when it
    // could not.
    virtual bool OpenFolder(const std::filesystem::path& folder, std::string* error) = 0;
    // The program has ended inside an event with this exit code: the window hides and its loop ends.
    virtual void Ended(int exitCode) = 0;
};

}  // namespace kv::window
