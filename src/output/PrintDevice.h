#pragma once
// The host's side of the laser printer: the installed printers, the queue the printer check opens
// and keeps, and one document at a time, drawn in twips from the top-left corner of the printable
// area. Texts and names are the program's Windows-1252 bytes. The variants are the Qt printer with
// the CUPS spooler (PrintDeviceQt.cpp) and the Windows spooler with GDI (PrintDeviceWin.cpp); the
// build takes the host's. A false answer is a printer error, which the caller reports.
#include <memory>
#include <string>
#include <vector>

namespace kv::output {

class PrintDevice {
public:
    enum class Queue {
        Ready,  // it takes jobs
        NotFound,  // it cannot be opened
        Offline,  // paused, stopped, in error or refusing jobs
        Unsupported,  // not a printer the lists can use (a fax)
    };

    // The host's device.
    static std::unique_ptr<PrintDevice> Make();
    virtual ~PrintDevice() = default;

    // The device names of the installed printers, in the system's order.
    virtual std::vector<std::string> Printers() = 0;
    // Opens the queue by name and keeps it; the queue kept before is closed first, with a job left
    // half-sent on it.
    virtual Queue Open(const std::string& name) = 0;

    // Starts a document named title on the printer.
    virtual bool StartDocument(const std::string& printer, const std::string& title) = 0;
    // A document is started and not yet sent or dropped.
    virtual bool DocumentOpen() const = 0;
    // The font of the texts that follow, in this document and the next ones.
    virtual void SetFont(const std::string& name, double size, bool bold) = 0;
    // Draws text with its top-left corner at (x, y).
    virtual bool Text(int xTwips, int yTwips, const std::string& text) = 0;
    virtual bool NewPage() = 0;
    // Hands the document to the spooler as one job. When the spooler refuses it, the answer is false
    // with its reason (or an empty text), and a later call sends the same document again unless the
    // document itself was lost (then none is open any more).
    virtual bool EndDocument(std::string& reason) = 0;
    // Forgets the document: nothing of it is printed.
    virtual void Drop() = 0;
    // Drops the document and closes the kept queue.
    virtual void Close() = 0;
};

}  // namespace kv::output
