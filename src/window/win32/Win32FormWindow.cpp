#include "window/win32/Win32FormWindow.h"

// commctrl.h needs the types windows.h declares.
#include <commctrl.h>

#include <algorithm>

#include "app/Extraction.h"
#include "lists/ListCatalogue.h"
#include "platform/OpenDocument.h"
#include "window/ControlTable.h"
#include "window/win32/Win32MessageBoxes.h"
#include "window/win32/WindowPictures.h"

namespace kv::window {

namespace {

constexpr const char* kFormClass = "KVTESO_FRMST_FTESOR";
constexpr const char* kProgressClass = "KVTESO_RunProgress";
constexpr int kFirstControlId = 1000;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void RegisterClasses(WNDPROC form, WNDPROC progress) {
    static const bool registered = [&] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        WNDCLASSEXA c{};
        c.cbSize = sizeof c;
        c.hInstance = Instance();
        c.hCursor = LoadCursor(nullptr, IDC_ARROW);
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        c.lpfnWndProc = form;
        c.lpszClassName = kFormClass;
        RegisterClassExA(&c);
        c.lpfnWndProc = progress;
        c.lpszClassName = kProgressClass;
        return RegisterClassExA(&c) != 0;
    }();
    (void)registered;
}

std::string Text(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The program's line break (CR) as the controls want it (CR LF).
std::string WithLineBreaks(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\r' ? std::string("\r\n") : std::string(1, c);
    return out;
}

}  // namespace

Win32FormWindow::Win32FormWindow(app::Installation& installation, platform::MessageBoxes* messages)
    : openFolder_(platform::OpenDocument) {
    RegisterClasses(WindowProc, ProgressProc);
    const HDC screen = GetDC(nullptr);
    dpi_ = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    window_ = CreateWindowExA(0, kFormClass, app::kWindowCaption,
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT,
                              Pixels(kFormWidthTwips), Pixels(kFormHeightTwips), nullptr, nullptr, Instance(), this);
    if (!window_) throw std::runtime_error("the window cannot be created (no desktop)");
    if (!messages) {
        ownMessages_ = std::make_unique<Win32MessageBoxes>(window_);
        messages = ownMessages_.get();
    }
    for (size_t i = 0; i < kPictureCount; ++i)
        pictures_[std::string(kPictures[i].name)] = CreateIconFromResourceEx(
            const_cast<BYTE*>(kPictures[i].png), static_cast<DWORD>(kPictures[i].size), TRUE, 0x00030000, 32, 32, 0);
    // The program's own icon (its first icon resource), or the picture of "Crea PDF" where there is none.
    HICON icon = LoadIconA(Instance(), MAKEINTRESOURCEA(1));
    if (!icon) icon = pictures_["crea_pdf"];
    if (icon) SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    BuildControls();
    FormView& view = *this;
    form_ = std::make_unique<FRMST_FTESOR>(installation, *messages, view);
}

Win32FormWindow::~Win32FormWindow() {
    form_.reset();
    EndProgress();
    if (window_) DestroyWindow(window_);
    for (auto& [name, font] : fonts_) DeleteObject(font);
    for (auto& [name, icon] : pictures_)
        if (icon) DestroyIcon(icon);
}

int Win32FormWindow::Pixels(int twips) const { return MulDiv(twips, dpi_, 1440); }

HFONT Win32FormWindow::Font(const char* face, double points, bool bold) {
    const std::string key = std::string(face) + std::to_string(points) + (bold ? "b" : "");
    HFONT& font = fonts_[key];
    if (!font)
        font = CreateFontA(-static_cast<int>(points * dpi_ / 72.0 + 0.5), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                           FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           // Where Courier New is missing, another fixed-pitch face keeps the columns.
                           std::string_view(face) == "Courier New" ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_SWISS,
                           face);
    return font;
}

void Win32FormWindow::BuildControls() {
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(Font("MS Sans Serif", 8.25, false)), FALSE);
    std::map<std::string, POINT> origin;  // each frame's top-left corner in the window, twips
    int option = 0, id = kFirstControlId;
    for (const ::kv::window::Control& c : kControls) {
        const POINT parent = c.parent ? origin[c.parent] : POINT{0, 0};
        const POINT at{parent.x + c.left, parent.y + c.top};
        std::string caption = c.caption ? c.caption : "";
        const char* windowClass = "STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        switch (c.kind) {
        case Kind::Frame:
            windowClass = "BUTTON", style |= BS_GROUPBOX;
            origin[c.name] = at;
            break;
        case Kind::Label:
            if (caption.empty()) style &= ~WS_VISIBLE;  // nothing to show, and it would cover its slot
            break;
        case Kind::List:
            windowClass = "LISTBOX";
            style |= WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
            style |= std::string(c.name) == "List1" ? LBS_MULTIPLESEL : LBS_SORT;
            break;
        case Kind::CheckBox: windowClass = "BUTTON", style |= BS_AUTOCHECKBOX | WS_TABSTOP; break;
        case Kind::Option:
            // The list options' captions are the catalogue's, in its order.
            caption = lists::AllLists()[static_cast<size_t>(option)].option;
            windowClass = "BUTTON", style |= BS_AUTORADIOBUTTON | (option++ == 0 ? WS_GROUP | WS_TABSTOP : 0);
            break;
        case Kind::Command: windowClass = "BUTTON", style |= BS_OWNERDRAW | WS_TABSTOP; break;
        case Kind::Line: style |= SS_ETCHEDHORZ; break;
        }
        const HWND control = CreateWindowExA(0, windowClass, caption.c_str(), style, Pixels(at.x), Pixels(at.y),
                                             Pixels(c.width), Pixels(c.height), window_,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), Instance(), nullptr);
        const HFONT font = std::string(c.name) == "List1" ? Font("Courier New", 8.25, false)
            : c.points > 0                                ? Font("MS Sans Serif", c.points, true)
                                                          : Font("MS Sans Serif", 8.25, false);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        controls_[c.name] = control;
    }
    SendMessageA(Control("List2"), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("lista utilizza da programma"));
}

HWND Win32FormWindow::Control(const std::string& name) const {
    const auto at = controls_.find(name);
    return at == controls_.end() ? nullptr : at->second;
}

void Win32FormWindow::Show() {
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

int Win32FormWindow::Run() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        if (!PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    return form_->ended() ? *form_->ended() : static_cast<int>(message.wParam);
}

bool Win32FormWindow::PreTranslate(MSG& message) {
    // Ctrl+Shift+P works whichever control of the window has the focus.
    if (message.message == WM_KEYDOWN && message.wParam == 'P' &&
        (message.hwnd == window_ || GetAncestor(message.hwnd, GA_ROOT) == window_)) {
        const int shift = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
            (GetKeyState(VK_MENU) < 0 ? 4 : 0);
        if (shift == 3) {
            form_->InEvent([&] { form_->Form_KeyDown(80, shift); });
            return true;
        }
    }
    if (progress_ && IsDialogMessageA(progress_, &message)) return true;
    return window_ && IsDialogMessageA(window_, &message);
}

LRESULT CALLBACK Win32FormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32FormWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && self->window_ == window) return self->Handle(message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT Win32FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (form_) Command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DRAWITEM: DrawCommand(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_SETCURSOR:
        if (busy_) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        // The close box leaves as "&Uscita" does, but not in the middle of a run.
        if (form_) form_->QueryUnload();
        return 0;
    default: break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void Win32FormWindow::Command(int id, int notification) {
    if (notification != BN_CLICKED || id < kFirstControlId) return;
    const size_t index = static_cast<size_t>(id - kFirstControlId);
    if (index >= std::size(kControls)) return;
    const std::string name = kControls[index].name;
    FRMST_FTESOR& f = *form_;
    if (name == "Check1") {
        const bool on = SendMessageA(Control(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
        f.InEvent([&] { f.Check1_Click(on); });
    } else if (name == "CmdStampa(0)" || name == "CmdStampa(1)") {
        const int button = name == "CmdStampa(0)" ? 0 : 1;
        f.InEvent([&] { f.CmdStampa_Click(button); });
    } else if (name == "CmdUscita(0)") {
        f.InEvent([&] { f.CmdUscita_Click(0); });
    }
}

// A command button: its picture above its caption, pressed or not, with the focus frame.
void Win32FormWindow::DrawCommand(const DRAWITEMSTRUCT& item) {
    RECT r = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    const size_t index = static_cast<size_t>(item.CtlID) - kFirstControlId;
    const ::kv::window::Control& c = kControls[std::min(index, std::size(kControls) - 1)];
    const int shift = pressed ? 1 : 0, size = 32;
    if (c.picture)
        if (HICON icon = pictures_[c.picture])
            DrawIconEx(item.hDC, (r.left + r.right - size) / 2 + shift, r.top + 8 + shift, icon, size, size, 0, nullptr,
                       DI_NORMAL);
    RECT text{r.left + shift, r.top + 8 + size + 4 + shift, r.right + shift, r.bottom + shift};
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(item.itemState & ODS_DISABLED ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    const HGDIOBJ before =
        SelectObject(item.hDC, reinterpret_cast<HGDIOBJ>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0)));
    const std::string caption = Text(item.hwndItem);
    DrawTextA(item.hDC, caption.c_str(), -1, &text, DT_CENTER | DT_TOP | DT_SINGLELINE);
    SelectObject(item.hDC, before);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&r, -4, -4);
        DrawFocusRect(item.hDC, &r);
    }
}

void Win32FormWindow::SizeAndCentre() {
    RECT frame{0, 0, Pixels(kFormWidthTwips), Pixels(kFormHeightTwips)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_EXSTYLE)));
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormWindow::ShowSelectionFrame() {
    const HWND frame = Control("FrameSelezione(0)");
    SetWindowTextA(frame, "");
    SetWindowPos(frame, nullptr, Pixels(60), Pixels(0), Pixels(6925), Pixels(7150), SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(frame, SW_SHOW);
    SendMessageA(Control("List2"), LB_RESETCONTENT, 0, 0);
    ShowWindow(Control("List2"), SW_HIDE);
}

void Win32FormWindow::SetCompanyLines(const std::vector<std::string>& lines) {
    const HWND list = Control("List1");
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : lines) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void Win32FormWindow::SelectCompanies(const std::vector<int>& rows) {
    SendMessageA(Control("List1"), LB_SETSEL, FALSE, -1);
    for (int row : rows) SendMessageA(Control("List1"), LB_SETSEL, TRUE, row);
}

std::vector<int> Win32FormWindow::SelectedCompanies() const {
    const HWND list = Control("List1");
    std::vector<int> rows(static_cast<size_t>(std::max<LRESULT>(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 0)));
    if (!rows.empty())
        rows.resize(static_cast<size_t>(
            SendMessageA(list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()))));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void Win32FormWindow::SetCheck1(bool checked, const std::string& caption) {
    SendMessageA(Control("Check1"), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    SetWindowTextA(Control("Check1"), caption.c_str());
}

bool Win32FormWindow::Check1() const { return SendMessageA(Control("Check1"), BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Win32FormWindow::Check2() const { return SendMessageA(Control("Check2"), BM_GETCHECK, 0, 0) == BST_CHECKED; }

int Win32FormWindow::CheckedOption() const {
    for (int i = 0; i < 7; ++i)
        if (SendMessageA(Control("Option1(" + std::to_string(i) + ")"), BM_GETCHECK, 0, 0) == BST_CHECKED) return i;
    return 0;
}

void Win32FormWindow::CheckOption(int index) {
    for (int i = 0; i < 7; ++i)
        SendMessageA(Control("Option1(" + std::to_string(i) + ")"), BM_SETCHECK,
                     i == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32FormWindow::Busy(bool on) {
    busy_ = on;
    POINT p;
    GetCursorPos(&p);
    SetCursorPos(p.x, p.y);  // the pointer over the window takes its new shape at once
}

bool Win32FormWindow::Progress(int index, int count, const std::string& text) {
    if (progress_ && stopAsked_) return false;
    if (!progress_) {
        stopAsked_ = false;
        const int width = 380, height = 150;
        RECT owner{};
        GetWindowRect(window_, &owner);
        progress_ =
            CreateWindowExA(WS_EX_DLGMODALFRAME, kProgressClass, kProgressTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                            (owner.left + owner.right - width) / 2, (owner.top + owner.bottom - height) / 2, width,
                            height, window_, nullptr, Instance(), this);
        const HFONT font = Font("MS Sans Serif", 8.25, false);
        auto child = [&](const char* cls, const char* caption, DWORD style, int x, int y, int w, int h, int id) {
            const HWND c = CreateWindowExA(0, cls, caption, WS_CHILD | WS_VISIBLE | style, x, y, w, h, progress_,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
            SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            return c;
        };
        progressLabel_ = child("STATIC", "", 0, 12, 10, width - 30, 36, 0);
        progressBar_ = child(PROGRESS_CLASS, "", 0, 12, 52, width - 30, 18, 0);
        child("BUTTON", kStopCaption, BS_PUSHBUTTON | WS_TABSTOP, width - 18 - 200, 80, 200, 26, IDCANCEL);
        // Modal to the window: its controls wait for the run.
        EnableWindow(window_, FALSE);
        ShowWindow(progress_, SW_SHOW);
    }
    SendMessageA(progressBar_, PBM_SETRANGE32, 0, count);
    SendMessageA(progressBar_, PBM_SETPOS, static_cast<WPARAM>(index - 1), 0);
    SetWindowTextA(progressLabel_, WithLineBreaks(text).c_str());
    // The stop button is heard between companies.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return true;
}

LRESULT CALLBACK Win32FormWindow::ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    // The stop button, Esc and the close box all ask to stop; the company under way finishes.
    if (self && ((message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) || message == WM_CLOSE)) {
        self->StopAsked();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Win32FormWindow::StopAsked() {
    if (stopAsked_ || !progress_) return;
    stopAsked_ = true;
    const HWND stop = GetDlgItem(progress_, IDCANCEL);
    SetWindowTextA(stop, kStopAskedCaption);
    EnableWindow(stop, FALSE);
    const std::string text = Text(progressLabel_);
    SetWindowTextA(progressLabel_, (text.substr(0, text.find('\r')) + "\r\n" + kStoppingText).c_str());
}

void Win32FormWindow::EndProgress() {
    if (!progress_) return;
    // The last company done: the bar full, drawn before the dialog goes.
    SendMessageA(progressBar_, PBM_SETPOS, static_cast<WPARAM>(SendMessageA(progressBar_, PBM_GETRANGE, FALSE, 0)), 0);
    UpdateWindow(progressBar_);
    EnableWindow(window_, TRUE);
    DestroyWindow(progress_);
    progress_ = progressLabel_ = progressBar_ = nullptr;
    stopAsked_ = false;
}

bool Win32FormWindow::OpenFolder(const std::filesystem::path& folder, std::string* error) {
    return openFolder_(folder, error);
}

void Win32FormWindow::Ended(int exitCode) {
    ShowWindow(window_, SW_HIDE);
    if (onEnd_)
        onEnd_(exitCode);
    else
        PostQuitMessage(exitCode);
}

}  // namespace kv::window
