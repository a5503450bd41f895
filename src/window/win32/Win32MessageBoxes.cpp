#include "window/win32/Win32MessageBoxes.h"

#include <windows.h>

#include "app/RunDriver.h"

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

// The box of the end of a PDF run is a Yes/No box whose buttons are renamed as it opens: "OK" (Yes,
// the default) and "Apri cartella" (No).
HHOOK renameHook = nullptr;
LRESULT CALLBACK RenameButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        SetDlgItemTextA(box, IDYES, "OK");
        SetDlgItemTextA(box, IDNO, "Apri cartella");
        UnhookWindowsHookEx(renameHook);
        renameHook = nullptr;
        return 0;
    }
    return CallNextHookEx(renameHook, code, wParam, lParam);
}

}  // namespace

platform::Answer Win32MessageBoxes::Show(const platform::Message& message) {
    const bool openFolder = message.buttons == platform::Buttons::Ok && message.title == app::kPdfDoneTitle;
    UINT style = IconOf(message.icon) | MB_SETFOREGROUND | (owner_ ? MB_APPLMODAL : MB_TASKMODAL);
    style |= message.buttons == platform::Buttons::YesNo || openFolder ? MB_YESNO | MB_DEFBUTTON1 : MB_OK;
    if (openFolder) renameHook = SetWindowsHookExA(WH_CBT, RenameButtons, nullptr, GetCurrentThreadId());
    // A message during a run shows the normal pointer, not the hourglass.
    const HCURSOR before = SetCursor(LoadCursor(nullptr, IDC_ARROW));
    const int pressed =
        MessageBoxA(owner_, WithLineBreaks(message.text).c_str(), WithLineBreaks(message.title).c_str(), style);
    SetCursor(before);
    if (renameHook) UnhookWindowsHookEx(renameHook), renameHook = nullptr;
    if (openFolder) return pressed == IDNO ? platform::Answer::Yes : platform::Answer::Ok;
    if (message.buttons == platform::Buttons::YesNo)
        return pressed == IDYES ? platform::Answer::Yes : platform::Answer::No;
    return platform::Answer::Ok;
}

}  // namespace kv::window
