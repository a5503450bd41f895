#pragma once
// The printer of the printed lists: the workstation's printer settings (archive 280), the printer
// check with its messages, and the pages drawn on the printer the check made current, one job per
// company and list named after both. The host's printer and spooler are behind PrintDevice.
// A print job opens at a list's first text or new page, so a list that prints nothing sends no job;
// a printer error asks the user whether to retry, skip the statement or end the program.
#include <memory>
#include <string>
#include <string_view>

#include "output/PrinterSink.h"

namespace kv {
class ArchiveContext;
}

namespace kv::output {

class LaserPrinter : public Printer {
public:
    // ctx gives the archive 280, the message boxes and the error handler; it must outlive the printer.
    explicit LaserPrinter(ArchiveContext& ctx);
    ~LaserPrinter() override;

    // Start-up: reads the standard and laser printer names and makes the standard printer current
    // when one is installed under exactly that name.
    void LEGGISTAMPANTESTD();
    // True when the printer is installed under exactly this name, its queue opens and accepts jobs;
    // it is then current. Otherwise shows the reason (title "Controllo stampante") and answers false.
    bool CONTROLLOSTAMPANTE(const std::string& name);

    const std::string& standardPrinterName() const;
    const std::string& laserPrinterName() const;
    // The printer the next job goes to (empty: the system default).
    std::string currentPrinterName() const;

    bool Check() override;
    void SetList(std::string_view code) override;
    void SetFont(const std::string& name, double size, bool bold) override;
    void PrintAt(int xTwips, int yTwips, const std::string& text) override;
    void NewPage() override;
    void EndDoc() override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace kv::output
