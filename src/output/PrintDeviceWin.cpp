// The printer through the Windows spooler and GDI: the queue opened with OpenPrinterA and judged by
// its GetPrinterA state, and the documents drawn on a printer device context. GDI's origin is the
// corner of the printable area, as the lists' twips want. Each document's drawing is also kept, so
// that a job the spooler refuses at its end can be drawn and sent again.
#include <windows.h>
// after windows.h
#include <winspool.h>

#include <cmath>
#include <variant>

#include "output/PrintDevice.h"

namespace kv::output {

namespace {

class PrintDeviceWin : public PrintDevice {
public:
    ~PrintDeviceWin() override { Close(); }

    std::vector<std::string> Printers() override {
        constexpr DWORD kWhere = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
        std::vector<std::string> names;
        DWORD size = 0, count = 0;
        EnumPrintersA(kWhere, nullptr, 4, nullptr, 0, &size, &count);
        std::vector<BYTE> buffer(size);
        if (size == 0 || !EnumPrintersA(kWhere, nullptr, 4, buffer.data(), size, &size, &count)) return names;
        const auto* info = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
        for (DWORD i = 0; i < count; ++i)
            if (info[i].pPrinterName != nullptr) names.emplace_back(info[i].pPrinterName);
        return names;
    }

    Queue Open(const std::string& name) override {
        CloseQueue();
        std::string writable = name;
        if (!OpenPrinterA(writable.data(), &queue_, nullptr)) {
            queue_ = nullptr;
            return Queue::NotFound;
        }
        DWORD size = 0;
        GetPrinterA(queue_, 2, nullptr, 0, &size);
        std::vector<BYTE> buffer(size);
        if (size == 0 || !GetPrinterA(queue_, 2, buffer.data(), size, &size)) return Queue::NotFound;
        const auto& info = *reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
        constexpr DWORD kNotPrinting = PRINTER_STATUS_PAUSED | PRINTER_STATUS_ERROR | PRINTER_STATUS_OFFLINE |
            PRINTER_STATUS_NOT_AVAILABLE | PRINTER_STATUS_PENDING_DELETION;
        if ((info.Status & kNotPrinting) != 0 || (info.Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) != 0)
            return Queue::Offline;
        const bool fax = (info.Attributes & PRINTER_ATTRIBUTE_FAX) != 0 ||
            (info.pPortName != nullptr && lstrcmpiA(info.pPortName, "SHRFAX:") == 0);
        if (fax) return Queue::Unsupported;
        // A driver that draws neither on a raster nor with a pen (a text-only printer) cannot place
        // the lists' columns.
        const HDC ic = CreateICA("WINSPOOL", name.c_str(), nullptr, nullptr);
        if (ic == nullptr) return Queue::NotFound;
        const int technology = GetDeviceCaps(ic, TECHNOLOGY);
        DeleteDC(ic);
        return technology == DT_RASPRINTER || technology == DT_PLOTTER ? Queue::Ready : Queue::Unsupported;
    }

    bool StartDocument(const std::string& name, const std::string& title) override {
        Drop();
        printer_ = name;
        title_ = title;
        drawn_.assign(1, font_);
        open_ = Begin();
        if (!open_) Drop();
        return open_;
    }

    bool DocumentOpen() const override { return open_; }

    void SetFont(const std::string& name, double size, bool bold) override {
        font_ = {name, size, bold};
        if (!open_) return;
        drawn_.emplace_back(font_);
        if (dc_ != nullptr) Play(font_);  // a font that cannot be made fails the next text
    }

    bool Text(int xTwips, int yTwips, const std::string& text) override { return Draw(TextAt{xTwips, yTwips, text}); }
    bool NewPage() override { return Draw(PageBreak{}); }

    bool EndDocument(std::string& reason) override {
        if (!open_) return false;
        if ((dc_ != nullptr || Begin()) && EndPage(dc_) > 0 && EndDoc(dc_) > 0) {
            DeleteDC(dc_);
            dc_ = nullptr;
            Drop();
            return true;
        }
        reason = SystemMessage(GetLastError());
        EndDc();  // the drawing stays, for another try
        return false;
    }

    void Drop() override {
        EndDc();
        drawn_.clear();
        open_ = false;
    }

    void Close() override {
        Drop();
        CloseQueue();
    }

private:
    struct Font {
        std::string name = "Courier New";
        double size = 10;
        bool bold = false;
    };
    struct TextAt {
        int x, y;
        std::string text;
    };
    struct PageBreak {};
    using Step = std::variant<Font, TextAt, PageBreak>;

    // A device context on the printer with the document and its first page started, and the
    // document's drawing so far on it.
    bool Begin() {
        dc_ = CreateDCA("WINSPOOL", printer_.c_str(), nullptr, nullptr);
        if (dc_ == nullptr) return false;
        DOCINFOA doc{};
        doc.cbSize = sizeof doc;
        doc.lpszDocName = title_.c_str();
        if (StartDocA(dc_, &doc) <= 0) {
            DeleteDC(dc_);
            dc_ = nullptr;
            return false;
        }
        bool drawn = StartPage(dc_) > 0;
        for (auto step = drawn_.begin(); drawn && step != drawn_.end(); ++step) drawn = Play(*step);
        if (!drawn) EndDc();
        return drawn;
    }

    // Draws a step of the document and keeps it.
    bool Draw(const Step& step) {
        if (dc_ == nullptr || !Play(step)) return false;
        drawn_.push_back(step);
        return true;
    }

    bool Play(const Step& step) {
        if (const auto* font = std::get_if<Font>(&step)) return MakeFont(*font);
        if (const auto* text = std::get_if<TextAt>(&step)) {
            const int x = MulDiv(text->x, GetDeviceCaps(dc_, LOGPIXELSX), 1440);
            const int y = MulDiv(text->y, GetDeviceCaps(dc_, LOGPIXELSY), 1440);
            return font_handle_ != nullptr &&
                TextOutA(dc_, x, y, text->text.data(), static_cast<int>(text->text.size())) != 0;
        }
        return EndPage(dc_) > 0 && StartPage(dc_) > 0 && SelectFont();
    }

    // The font at its size in the printer's pixels, selected for the texts that follow.
    bool MakeFont(const Font& font) {
        ForgetFont();
        const int height = -static_cast<int>(std::lround(font.size * GetDeviceCaps(dc_, LOGPIXELSY) / 72.0));
        font_handle_ = CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                                   font.name.c_str());
        return SelectFont();
    }

    // On every page: the font, text placed by its top-left corner, on a transparent background.
    bool SelectFont() {
        if (font_handle_ == nullptr) return false;
        SetBkMode(dc_, TRANSPARENT);
        SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
        return SelectObject(dc_, font_handle_) != nullptr;
    }

    void ForgetFont() {
        if (font_handle_ == nullptr) return;
        if (dc_ != nullptr) SelectObject(dc_, GetStockObject(DEVICE_DEFAULT_FONT));
        DeleteObject(font_handle_);
        font_handle_ = nullptr;
    }

    void CloseQueue() {
        if (queue_ != nullptr) ClosePrinter(queue_);
        queue_ = nullptr;
    }

    // Withdraws the document from the spooler and lets the device context go.
    void EndDc() {
        if (dc_ == nullptr) return;
        ForgetFont();
        AbortDoc(dc_);
        DeleteDC(dc_);
        dc_ = nullptr;
    }

    static std::string SystemMessage(DWORD error) {
        if (error == ERROR_SUCCESS) return {};
        char text[512] = {};
        const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                       text, sizeof text, nullptr);
        std::string out(text, n);
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == '.')) out.pop_back();
        return out;
    }

    HANDLE queue_ = nullptr;  // the queue the check keeps
    Font font_;  // of the texts that follow
    std::string printer_, title_;
    bool open_ = false;  // a document is started
    HDC dc_ = nullptr;  // its device context; none after a refused end, until it is drawn again
    HFONT font_handle_ = nullptr;
    std::vector<Step> drawn_;  // the document's drawing, from its font on
};

}  // namespace

std::unique_ptr<PrintDevice> PrintDevice::Make() { return std::make_unique<PrintDeviceWin>(); }

}  // namespace kv::output
