#include "window/win32/Win32MessageBoxes.h"

#include <windows.h>

#include "window/ControlTable.h"

namespace kv::window {

namespace {

// A CR alone is the program's line break; the message box wants CR LF.
std::string WithLineBreaks(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
    }
    return out;
}

UINT IconOf(platform::Icon icon) {
    switch (icon) {
    case platform::Icon::Information: return MB_ICONINFORMATION;
    case platform::Icon::Critical: return MB_ICONERROR;
    case platform::Icon::Exclamation: return MB_ICONWARNING;
    case platform::Icon::Question: return MB_ICONQUESTION;
    case platform::Icon::None: break;
    }
    return 0;
}

// MessageBoxA names its buttons in the system's language: they are renamed as the box opens.
struct Rename {
    int id;
    const char* caption;
};
Rename renames[3];
HHOOK renameHook = nullptr;
LRESULT CALLBACK RenameButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        for (const Rename& r : renames)
            if (r.caption) SetDlgItemTextA(reinterpret_cast<HWND>(wParam), r.id, r.caption);
        UnhookWindowsHookEx(renameHook);
        renameHook = nullptr;
        return 0;
    }
    return CallNextHookEx(renameHook, code, wParam, lParam);
}

}  // namespace

platform::Answer Win32MessageBoxes::Show(const platform::Message& message) {
    using platform::Answer;
    using platform::Buttons;
    // The summary's OK is the box's Cancel, which Escape presses; its other buttons come before it.
    UINT buttons = MB_OK;
    Answer onOk = Answer::Ok, onYes = Answer::Yes, onNo = Answer::No;
    switch (message.buttons) {
    case Buttons::Ok: break;
    case Buttons::YesNo:
        buttons = MB_YESNO | MB_DEFBUTTON1;
        renames[0] = {IDYES, kYesCaption}, renames[1] = {IDNO, kNoCaption};
        break;
    case Buttons::OkOpenFolder:
    case Buttons::OkList:
        buttons = MB_OKCANCEL | MB_DEFBUTTON2;
        onOk = message.buttons == Buttons::OkList ? Answer::ShowList : Answer::OpenFolder;
        renames[0] = {IDOK, message.buttons == Buttons::OkList ? kShowListCaption : kOpenFolderCaption};
        renames[1] = {IDCANCEL, kOkCaption};
        break;
    case Buttons::OkOpenFolderList:
        buttons = MB_YESNOCANCEL | MB_DEFBUTTON3;
        onYes = Answer::OpenFolder, onNo = Answer::ShowList;
        renames[0] = {IDYES, kOpenFolderCaption}, renames[1] = {IDNO, kShowListCaption};
        renames[2] = {IDCANCEL, kOkCaption};
        break;
    }
    if (renames[0].caption) renameHook = SetWindowsHookExA(WH_CBT, RenameButtons, nullptr, GetCurrentThreadId());
    const UINT style = IconOf(message.icon) | MB_SETFOREGROUND | (owner_ ? MB_APPLMODAL : MB_TASKMODAL) | buttons;
    // A message during a run shows the normal pointer, not the hourglass.
    const HCURSOR before = SetCursor(LoadCursor(nullptr, IDC_ARROW));
    const int pressed =
        MessageBoxA(owner_, WithLineBreaks(message.text).c_str(), WithLineBreaks(message.title).c_str(), style);
    SetCursor(before);
    if (renameHook) UnhookWindowsHookEx(renameHook), renameHook = nullptr;
    for (Rename& r : renames) r = {};
    switch (pressed) {
    case IDOK: return onOk;
    case IDYES: return onYes;
    case IDNO: return onNo;
    default: return message.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
}

}  // namespace kv::window
