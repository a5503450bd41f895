#pragma once
// The print run behind "Crea PDF" and "Stampa Laser": checks the choice, shows the notices or the
// refusal of the chosen list, runs it for every selected company on the printer or as PDF files,
// and reports where the PDF files went. It knows no widgets: the window and the batch run both
// drive it.
#include <optional>
#include <string>
#include <vector>

#include "app/Extraction.h"
#include "archive/ArchiveContext.h"
#include "lists/ListCatalogue.h"
#include "lists/ListEngine.h"
#include "lists/ListObserver.h"
#include "output/PdfListFiles.h"
#include "output/PrinterSink.h"

namespace kv::app {

// The title of the message that ends a PDF run (the window offers "Apri cartella" on it).
inline constexpr const char* kPdfDoneTitle = "Creazione modulo PDF Liste Fondo Tesoreria";

// Where a run's lists go: "Crea PDF" or "Stampa Laser".
enum class Destination { Pdf, Printer };

// What the window (or a test) hears of a run. Every call has a default that does nothing.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // Hourglass on / off.
    virtual void Busy(bool) {}
    // The window's choices go back to their defaults (PULISCICAMPI).
    virtual void ChoicesReset() {}
    // Before the company `code` (position `index` of `count`, from 1); false stops the run there, after
    // the companies already done (each of them is a whole job or file).
    virtual bool BeforeCompany(int /*index*/, int /*count*/, const std::string& /*code*/) { return true; }
    // In a run of several lists, before anything of the list at `index` of the run is shown or done:
    // what follows, up to the next call, belongs to that list.
    virtual void ListTurn(size_t /*index*/) {}
};

class RunDriver {
public:
    RunDriver(ArchiveContext& context, Extraction& extraction, output::PdfListFiles& pdfFiles, char decimalSeparator)
        : ctx_(context), extraction_(extraction), pdfFiles_(pdfFiles), decimalSeparator_(decimalSeparator) {}

    // The printer used by "Stampa Laser" (none: printed lists stop at the printer check).
    void SetPrinter(output::Printer* printer) { printer_ = printer; }
    // Who hears each list's lines, totals and anomalies (none: nobody).
    void SetListObserver(lists::ListObserver* observer) { listObserver_ = observer; }
    char decimalSeparator() const { return decimalSeparator_; }
    // Who hears of the run's progress (none: nobody).
    void SetObserver(RunObserver* observer) { observer_ = observer ? observer : &silent_; }

    struct Outcome {
        bool ran = false;  // the company loop ran (no refusal, a company selected)
        bool failed = false;  // a run-time error ended the run
        std::vector<std::string> companiesFailed;  // companies whose list a run-time error stopped
        bool stopped = false;  // the observer stopped the run before a company
        int companiesDone = 0;  // companies whose list finished
        std::vector<std::filesystem::path> files;  // the PDF files written
    };

    // The click on "Crea PDF" or "Stampa Laser" (CmdStampa_Click) with the companies of these codes
    // selected, listed in the order given.
    Outcome Run(Destination to, lists::ListKind list, const std::vector<std::string>& companies);

    // The lists for the list observer alone (the spreadsheet export without PDF files): nothing is
    // printed, written or shown; a list refused for an additional month is reported to the observer.
    Outcome Export(lists::ListKind list, const std::vector<std::string>& companies);

    // One list of a run of several, and who hears its lines, totals and anomalies (none: nobody).
    struct ListPass {
        lists::ListKind list = lists::ListKind::CF01;
        lists::ListObserver* observer = nullptr;
    };
    // Several lists for the same companies, to a destination (none: for their observers alone, as
    // Export): each company's lists are made one after another, so that its employees are read and
    // searched once for all of them. Each list's files, messages (after its ListTurn) and outcome are
    // those of a run of that list alone.
    std::vector<Outcome> Run(std::optional<Destination> to, const std::vector<ListPass>& lists,
                             const std::vector<std::string>& companies);

    // Run flag: a PDF run.
    bool MODOPDF = false;
    // Year and month (YYYYMM) of the extraction read at start-up: the PDF files' year and month
    // folders. Empty: taken from the extraction header of the run.
    std::string PERIODOESTRAZIONE;
    // The extraction header read at start-up, which every run keeps to its end: the pages' date, the
    // month type. A header found changed later is told to the list observer. Empty: each run reads its own.
    std::string TESTATAESTRAZIONE;

private:
    bool Notices(lists::ListKind list);
    bool AppliesToMonth(lists::ListKind list) const;
    // The list of pass for the company `code`; told: a change of the extraction header has been told.
    void RunCompany(const ListPass& pass, const std::string& code, Outcome& outcome, bool& told, bool exportOnly);
    void ReportRefusal(const ListPass& pass, const std::vector<std::string>& companies);
    void CloseDocument();
    void DiscardDocument();
    void ReportError(const RuntimeError& e);
    // A run-time error stopped one company's list: named, and the run goes on with the next company.
    void CompanyFailed(const ListPass& pass, const std::string& code, const RuntimeError& e, Outcome& outcome);
    // Reads the extraction header (archive 6) and keeps the one of the run.
    void ReadHeader();

    ArchiveContext& ctx_;
    Extraction& extraction_;
    output::PdfListFiles& pdfFiles_;
    char decimalSeparator_;
    output::Printer* printer_ = nullptr;
    lists::ListObserver* listObserver_ = nullptr;
    RunObserver silent_;
    RunObserver* observer_ = &silent_;
    std::string header_;  // the extraction header of the current run
    lists::CompanyShared shared_;  // what the current company's lists share
};

}  // namespace kv::app
