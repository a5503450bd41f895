#pragma once
// The lists on the printer. The printer itself (the window system's printer, the spooler and the
// printer check with its messages) is behind the Printer interface, implemented by the application.
#include <string>
#include <string_view>

#include "lists/ListLayout.h"
#include "lists/ReportSink.h"

namespace kv::output {

class Printer {
public:
    virtual ~Printer() = default;
    // The printer check of a printed list (CONTROLLOSTAMPANTE with the laser printer name): true when
    // the printer is usable and current; otherwise it has shown its message.
    virtual bool Check() = 0;
    // The list whose pages follow (its code, "TF14"): it names the print jobs.
    virtual void SetList(std::string_view) {}
    virtual void SetFont(const std::string& name, double size, bool bold) = 0;
    // Prints text with its top-left corner at (x, y) in twips.
    virtual void PrintAt(int xTwips, int yTwips, const std::string& text) = 0;
    virtual void NewPage() = 0;
    // Ends the print job (one per company).
    virtual void EndDoc() = 0;
};

class PrinterSink : public lists::ReportSink {
public:
    explicit PrinterSink(Printer& printer) : printer_(printer) {}

    bool BeginList(const lists::ListInfo& list, const lists::ListLayout& layout) override;
    void BeginPageHeader(const lists::ListLayout&) override {}
    void NewPage() override { printer_.NewPage(); }
    void WriteText(double y, double x, const std::string& text) override;
    lists::Medium medium() const override { return lists::Medium::Paper; }
    // Printed pages start 1 cm from the top.
    lists::PageGeometry Geometry(const lists::ListLayout& layout) const override {
        return {1.0, layout.yAfterHeaderPrinter};
    }

    // 567 twips make a centimetre; the printer's origin lies 0.3 cm right and 0.6 cm below the page's.
    static int XTwips(double xCm);
    static int YTwips(double yCm);

private:
    Printer& printer_;
};

}  // namespace kv::output
