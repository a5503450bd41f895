#pragma once
// The Windows window as the window tests drive it, under Wine with a display: clicks and keys as the
// window's own messages (BM_CLICK, LB_SETSEL, WM_KEYDOWN, WM_CLOSE), state read back from the controls.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cmath>
#include <functional>

#include "app/AppTestSupport.h"
#include "platform/Encoding.h"
#include "window/ControlTable.h"
#include "window/win32/Win32FormWindow.h"
#include "window/win32/Win32MessageBoxes.h"

namespace kv::window::test {

inline void StartToolkit() {}

// Runs `action` when the thread's posted messages are next dispatched: at the first turn of the run's
// message pump, or inside a message box's loop once the box is on screen. A message to a window of
// the driver's own, so that it comes as soon as the queue is read, not at a timer's pace.
inline std::function<void()> nextEvent;
inline void AtNextEvent(std::function<void()> action) {
    static const HWND receiver = [] {
        WNDCLASSA c{};
        c.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == WM_APP)
                if (auto run = std::exchange(nextEvent, nullptr)) run();
            return DefWindowProcA(window, message, wParam, lParam);
        };
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = "KVTESO_TestEvents";
        RegisterClassA(&c);
        return CreateWindowExA(0, c.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, c.hInstance, nullptr);
    }();
    nextEvent = std::move(action);
    PostMessageA(receiver, WM_APP, 0, 0);
}

inline std::string TextOf(HWND control) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    std::string out;  // as UTF-8, with the line breaks of the program's messages
    for (char c : platform::Cp1252ToUtf8(text))
        if (c != '\r') out += c;
    return out;
}

class WindowDriver {
public:
    WindowDriver(app::Installation& installation, platform::MessageBoxes& messages) : w(installation, &messages) {
        w.SetFolderOpener([this](const std::filesystem::path& folder, std::string* error) {
            opened.push_back(folder.string());
            if (openFails) *error = "xdg-open manca";
            return !openFails;
        });
        w.SetOnEnd([](int) {});
    }
    FRMST_FTESOR& form() { return w.form(); }
    void Show() { w.Show(); }
    void Close() { SendMessageA(w.handle(), WM_CLOSE, 0, 0); }
    bool Hidden() { return !IsWindowVisible(w.handle()); }
    void Click(const std::string& name) { SendMessageA(w.Control(name), BM_CLICK, 0, 0); }
    bool Checked(const std::string& name) { return SendMessageA(w.Control(name), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::string Caption(const std::string& name) { return TextOf(w.Control(name)); }
    std::vector<std::string> Rows(const std::string& list) {
        std::vector<std::string> rows;
        const HWND box = w.Control(list);
        for (LRESULT i = 0, n = SendMessageA(box, LB_GETCOUNT, 0, 0); i < n; ++i) {
            std::string row(static_cast<size_t>(SendMessageA(box, LB_GETTEXTLEN, i, 0)) + 1, '\0');
            row.resize(static_cast<size_t>(SendMessageA(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()))));
            rows.push_back(platform::Cp1252ToUtf8(row));
        }
        return rows;
    }
    void Select(int row) { SendMessageA(w.Control("List1"), LB_SETSEL, TRUE, row); }
    std::vector<int> Selected() {
        std::vector<int> rows;
        for (LRESULT i = 0, n = SendMessageA(w.Control("List1"), LB_GETCOUNT, 0, 0); i < n; ++i)
            if (SendMessageA(w.Control("List1"), LB_GETSEL, i, 0) > 0) rows.push_back(static_cast<int>(i));
        return rows;
    }
    // The key P with Shift (1), Ctrl (2) on List1, through the message loop's own handling.
    void KeyP(int shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift & 1 ? 0x80 : 0, keys[VK_CONTROL] = shift & 2 ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG message{w.Control("List1"), WM_KEYDOWN, 'P', 0, 0, {}};
        if (!w.PreTranslate(message)) DispatchMessageA(&message);
        keys[VK_SHIFT] = keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    bool BusyCursor() {
        SendMessageA(w.handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(w.handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor() == LoadCursor(nullptr, IDC_WAIT);
    }
    bool ProgressOpen() { return w.progressDialog() != nullptr; }
    // title | text | stop button
    std::string ProgressState() {
        const HWND stop = GetDlgItem(w.progressDialog(), IDCANCEL);
        return TextOf(w.progressDialog()) + "|" + ProgressText() + "|" + TextOf(stop) + (IsWindowEnabled(stop) ? "" : " (disattivato)");
    }
    std::string ProgressText() {
        std::string text;
        EnumChildWindows(
            w.progressDialog(),
            [](HWND child, LPARAM out) {
                char name[32] = {};
                GetClassNameA(child, name, sizeof name);
                if (std::string(name) == "Static") *reinterpret_cast<std::string*>(out) = TextOf(child);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&text));
        return text;
    }
    void ClickStop() { SendMessageA(GetDlgItem(w.progressDialog(), IDCANCEL), BM_CLICK, 0, 0); }
    bool SizedAndCentred() {
        RECT client{}, frame{}, area{};
        GetClientRect(w.handle(), &client), GetWindowRect(w.handle(), &frame);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        return client.right == 470 && client.bottom == 481 && std::abs(frame.left + frame.right - area.left - area.right) <= 1 &&
            std::abs(frame.top + frame.bottom - area.top - area.bottom) <= 1;
    }
    // Every control: name, class, caption, geometry in the window's client area in pixels, font.
    std::vector<std::string> ControlTable() {
        std::vector<std::string> rows;
        for (const ::kv::window::Control& c : kControls) {
            const HWND control = w.Control(c.name);
            char className[32] = {};
            GetClassNameA(control, className, sizeof className);
            RECT r{};
            GetWindowRect(control, &r);
            MapWindowPoints(nullptr, w.handle(), reinterpret_cast<POINT*>(&r), 2);
            LOGFONTA font{};
            char points[16] = "-";
            if (GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font))
                std::snprintf(points, sizeof points, " %g", std::round(-font.lfHeight * 72.0 / 96 * 4) / 4);
            rows.push_back(std::string(c.name) + " " + className + " \"" + TextOf(control) + "\" " + std::to_string(r.left) + "," +
                           std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) +
                           " " + font.lfFaceName + points + (font.lfWeight >= FW_BOLD ? " bold" : "") +
                           (IsWindowVisible(control) ? "" : " hidden"));
        }
        return rows;
    }
    std::vector<std::string> opened;
    bool openFails = false;

private:
    Win32FormWindow w;
};

// The controls as the Windows window builds them from the control table: all children of the window,
// at their place inside their frames.
inline const std::vector<std::string> kControlRows{"FrameSelezione(0) Button \"\" 4,0 462x477 MS Sans Serif 8.25", "Label1(0) Static \" Lista Aziende in estrazione\" 8,10 453x19 MS Sans Serif 9.75 bold", "List1 ListBox \"\" 8,30 453x240 Courier New 8.25", "Label3 Static \"Selezionare con un click del mouse le aziende da stampare\" 10,388 449x19 MS Sans Serif 8.25 bold", "Frame1 Button \"\" 8,272 453x111 MS Sans Serif 8.25", "Label2 Static \"Selezione Tipo stampa\" 14,284 181x15 MS Sans Serif 9.75 bold", "Check1 Button \"Seleziona tutte le aziende\" 232,284 205x18 MS Sans Serif 9.75 bold", "Line2 Static \"\" 12,301 447x2 -", "Option1(0) Button \"Codice CF01\" 12,308 221x17 MS Sans Serif 8.25 bold", "Option1(1) Button \"Codice CF02 arretrati quote\" 12,326 221x17 MS Sans Serif 8.25 bold", "Option1(2) Button \"Codice TF02\" 236,308 219x17 MS Sans Serif 8.25 bold", "Option1(3) Button \"Codice TF02 arretrati\" 236,326 219x17 MS Sans Serif 8.25 bold", "Option1(4) Button \"Codice CF11\" 12,344 221x17 MS Sans Serif 8.25 bold", "Option1(5) Button \"Recupero prestazioni/anticipi\" 236,344 219x17 MS Sans Serif 8.25 bold", "Option1(6) Button \"Codice TF14\" 236,362 219x17 MS Sans Serif 8.25 bold", "Label4 Static \"\" 12,362 221x17 MS Sans Serif 8.25 hidden", "Check2 Button \"Crea anche il file Excel\" 12,362 221x17 MS Sans Serif 8.25 bold", "CmdStampa(0) Button \"Crea PDF\" 312,410 147x61 MS Sans Serif 8.25 bold", "CmdStampa(1) Button \"Stampa Laser\" 160,410 147x61 MS Sans Serif 8.25 bold", "CmdUscita(0) Button \"&Uscita\" 10,410 147x61 MS Sans Serif 8.25 bold", "List2 ListBox \"\" 218,216 225x15 MS Sans Serif 8.25 hidden"};

// The window's own message box on screen: its title, text and buttons, and a button pressed.
struct OpenMessageBox {
    static OpenMessageBox Find() {
        HWND found = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM out) {
                char name[16] = {};
                GetClassNameA(window, name, sizeof name);
                if (std::string(name) == "#32770" && IsWindowVisible(window)) *reinterpret_cast<HWND*>(out) = window;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return {found};
    }
    // title | text | the buttons' texts, sorted
    std::string Shown() {
        std::vector<std::string> buttons;
        for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
            if (HWND b = GetDlgItem(box, id); b && IsWindowVisible(b)) buttons.push_back(TextOf(b));
        std::sort(buttons.begin(), buttons.end());
        std::string out = TextOf(box) + "|" + TextOf(GetDlgItem(box, 0xFFFF)) + "|";
        for (const std::string& b : buttons) out += (&b == &buttons.front() ? "" : " ") + b;
        return out;
    }
    void Press(const std::string& text) {
        if (text == "Esc") return (void)PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
        for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
            if (HWND b = GetDlgItem(box, id); b && TextOf(b) == text) {
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(b));
                return;
            }
    }
    HWND box;
};
using ToolkitMessageBoxes = Win32MessageBoxes;

inline const MessageBoxCase kMessageBoxCases[] = {
    {{"Controllo stampante", "La stampante X non \xE8 impostata\rRiprovare", platform::Icon::Critical}, "OK", platform::Answer::Ok, "Controllo stampante|La stampante X non è impostata\nRiprovare|OK"},
    {{"KvsPaghe", "Riprovare?", platform::Icon::Question, platform::Buttons::YesNo}, "&Sì", platform::Answer::Yes, "KvsPaghe|Riprovare?|&No &Sì"},
    {kSummary, "Vedere l'elenco", platform::Answer::ShowList, "Creazione modulo PDF Liste Fondo Tesoreria|Riepilogo|Apri cartella OK Vedere l'elenco"},
    {kSummary, "Apri cartella", platform::Answer::OpenFolder, ""},
    {kSummary, "Esc", platform::Answer::Ok, ""},
    {{"Stampe Fondo Tesoreria", "Riepilogo", platform::Icon::Information, platform::Buttons::OkList}, "Esc", platform::Answer::Ok, "Stampe Fondo Tesoreria|Riepilogo|OK Vedere l'elenco"},
};

}  // namespace kv::window::test
