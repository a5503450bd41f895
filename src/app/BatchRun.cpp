#include "app/BatchRun.h"

#include <algorithm>
#include <iterator>
#include <ostream>
#include <sstream>

#include "app/Installation.h"
#include "app/ListJob.h"
#include "app/Session.h"
#include "lists/ListCatalogue.h"
#include "lists/ListFormat.h"
#include "platform/Encoding.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"

namespace kv::app {

namespace {

std::vector<std::string> SplitComma(const std::string& s) {
    std::vector<std::string> out;
    std::stringstream in(s);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty()) out.push_back(item);
    return out;
}

// Where the installation is found: on Windows the drives and the registry themselves; elsewhere a
// folder standing for the drives and an INI file standing for the registry.
constexpr const char* kWhereOnWindows =
    "  --root DIR         folder standing for the drives, C:\\ being DIR\\C (default: the drives\n"
    "                     themselves)\n"
    "  --registry FILE    not used: the suite's folders are read from the registry of the\n"
    "                     current user\n";
constexpr const char* kWhereOnLinux =
    "  --root DIR         folder standing for the Windows drives: C:\\ is DIR/C (default:\n"
    "                     $KVTESO_ROOT, else ~/.kvteso)\n"
    "  --registry FILE    settings store holding the suite's folders (default: $KVTESO_REGISTRY,\n"
    "                     else registry.ini in the root folder when there is one, else the\n"
    "                     user's KvsPaghe/registry.ini)\n";

// The batch run's messages: straight to the terminal, except while the lists of a run are made, one
// company at a time for all of them: then each list's messages are held, and written with that list's
// files, so that the terminal reads list by list.
class ListMessages : public platform::MessageBoxes, public RunObserver {
public:
    explicit ListMessages(std::ostream& out) : out_(out), console_(out, platform::Answer::No) {}
    platform::Answer Show(const platform::Message& message) override {
        if (held_.empty()) return console_.Show(message);
        platform::ConsoleMessageBoxes(held_[turn_], platform::Answer::No).Show(message);
        return platform::Answer::No;
    }
    void ListTurn(size_t index) override { turn_ = index; }
    // Holds the messages of the next run of `lists` lists.
    void Hold(size_t lists) { held_.clear(), held_.resize(lists), turn_ = 0; }
    // What the list at index said; empty once taken.
    std::string Take(size_t index) {
        if (index >= held_.size()) return {};
        std::string text = held_[index].str();
        held_[index].str({});
        return text;
    }
    // Writes what has not been taken, in the lists' order, and stops holding.
    void Release() {
        for (std::ostringstream& held : held_) out_ << held.str();
        held_.clear();
    }

private:
    std::ostream& out_;
    platform::ConsoleMessageBoxes console_;
    std::vector<std::ostringstream> held_;
    size_t turn_ = 0;
};

}  // namespace

std::string BatchUsage() {
    return "Usage: kvteso --batch --pdf [--list CF01|CF02|TF02|TF02A|CF11|RECU|TF14|all]\n"
           "                            [--companies all|001,002,...] [--root DIR] [--registry FILE]\n"
           "       kvteso --batch [--pdf] --xlsx [--list ...] [--companies ...] [--root DIR] [--registry FILE]\n"
           "\n"
           "Writes the chosen Fondo Tesoreria lists of the current extraction as PDF files, one per\n"
           "company, exactly as \"Crea PDF\" in the window does, without a window; with --xlsx, one\n"
           "workbook per list with every company in it.\n"
           "\n"
           "  --batch            run without a window (required)\n"
           "  --pdf              write PDF files (the printer is not available in a batch run)\n"
           "  --xlsx             write each list's workbook of the month, FILE-XLSX\\<year>\\<month>\\\n"
           "                     <prefix><YYYYMM>.xlsx beside the PDF tree (\"_AGG\" added for an additional\n"
           "                     month, \"_PARZ_\" and the company codes for some of the extraction's\n"
           "                     companies, so that no run replaces another's): a summary sheet \"Riepilogo\",\n"
           "                     one sheet per company, the sheet \"Anomalie\"; the summary is printed\n"
           "                     on the terminal too (alone, without --pdf: no PDF file, no notice)\n"
           "  --list L[,L...]    the lists to produce (default: all), in the window's order:\n"
           "                     CF01, CF02 (CF02 arrears), TF02, TF02A (TF02 arrears), CF11, RECU\n"
           "                     (recoveries), TF14\n"
           "  --companies C,...  three-digit company codes of the extraction (default: all)\n" +
        std::string(platform::NativeDrives() ? kWhereOnWindows : kWhereOnLinux) +
        "  --help             this text\n"
        "\n"
        "Messages are printed on the terminal; questions take their safe answer. The installation\n"
        "settings, archives and task file are the suite's own, as for the window.\n"
        "Employees the lists left out or read from damaged data are named on standard error, one\n"
        "line each (\"Anomalia 001 CF01 0010000049: ...\").\n"
        "Exit status: 0 when every list of every chosen company was produced, 1 when a run stopped\n"
        "on an error or a workbook could not be written, 2 for a bad command line or when the program\n"
        "could not start (\"kvteso: another copy is running on this installation\" when another copy\n"
        "works on the same archive folder, through any root), 3 when a list was made from damaged\n"
        "data or left employees out.\n";
}

bool ParseBatchOptions(const std::vector<std::string>& args, BatchOptions& o, std::ostream& err) {
    bool batch = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                err << "kvteso: " << a << " needs a value\n";
                return false;
            }
            into = args[++i];
            return true;
        };
        std::string v;
        if (a == "--batch")
            batch = true;
        else if (a == "--pdf")
            o.pdf = true;
        else if (a == "--xlsx")
            o.xlsx = true;
        else if (a == "--list") {
            if (!value(v)) return false;
            if (v != "all") {
                for (const std::string& name : SplitComma(v)) {
                    if (!lists::FindList(name)) {
                        err << "kvteso: unknown list " << name << "\n";
                        return false;
                    }
                    o.lists.push_back(name);
                }
            }
        } else if (a == "--companies") {
            if (!value(v)) return false;
            if (v != "all") {
                for (const std::string& code : SplitComma(v)) {
                    if (code.size() != 3 || code.find_first_not_of("0123456789") != std::string::npos) {
                        err << "kvteso: a company code has three digits: " << code << "\n";
                        return false;
                    }
                    o.companies.push_back(code);
                }
            }
        } else if (a == "--root") {
            if (!value(o.root)) return false;
        } else if (a == "--registry") {
            if (!value(o.registry)) return false;
        } else {
            err << "kvteso: unknown option " << a << "\n";
            return false;
        }
    }
    if (!batch || (!o.pdf && !o.xlsx)) {
        err << "kvteso: a batch run needs --batch and --pdf, --xlsx or both\n";
        return false;
    }
    return true;
}

int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err) {
    ListMessages messages(out);
    const Installation installation(options.root, options.registry);
    const platform::PathMap& paths = installation.paths();
    Session session(
        messages, paths, installation.registry(), [&] { return installation.AnotherCopyRunning(); },
        lists::DecimalSeparatorOfUserLocale());
    int status = 0;
    bool started = false;
    try {
        if (!session.Start()) session.Leave();
        started = true;
        auto asked = [&](const std::string& code) {
            return options.companies.empty() ||
                std::find(options.companies.begin(), options.companies.end(), code) != options.companies.end();
        };
        // The chosen companies in the extraction's order.
        const std::vector<std::string>& codes = session.companyCodes();
        std::vector<std::string> companies;
        std::copy_if(codes.begin(), codes.end(), std::back_inserter(companies), asked);
        // What the extraction left out (entries naming no company, companies missing from their
        // archive) is named once, for the companies chosen.
        AnomalyReport anomalies;
        for (const lists::Anomaly& a : session.extraction().anomalies())
            if (asked(a.company)) anomalies.Found(a);
        for (const std::string& code : options.companies) {
            const auto& left = anomalies.anomalies();
            if (std::find(codes.begin(), codes.end(), code) == codes.end() &&
                std::none_of(left.begin(), left.end(), [&](const lists::Anomaly& a) { return a.company == code; })) {
                out << "kvteso: company " << code << " is not in the current extraction\n";
                status = 1;
            }
        }
        if (codes.empty()) {  // an extraction whose companies cannot be read: nothing can be produced
            err << "kvteso: nessuna ditta dell'estrazione si trova nell'archivio ditte "
                << platform::Cp1252ToUtf8(session.context().files().DAMMIFILE(archive::Companies))
                << " (vuoto, mancante o danneggiato): nessuna lista prodotta\n";
            for (const std::string& line : anomalies.Lines()) err << line << "\n";
            status = 1;
            session.Leave();
        }
        session.pdfFiles().SetFileBusyHandler([&] {
            messages.Inform("Creazione PDF",
                            "Attenzione!\r\rIl file PDF risulta essere gi\xE0 aperto.\r\r"
                            "Per proseguire chiudere il file pdf aperto e successivamente premere sul pulsante "
                            "'OK' di questo messaggio\r\r");
            return false;  // nobody can close it during a batch run: give up on this file
        });
        std::vector<const lists::ListInfo*> chosen;
        for (const lists::ListInfo& list : lists::AllLists())
            if (options.lists.empty()) chosen.push_back(&list);
        for (const std::string& name : options.lists) chosen.push_back(lists::FindList(name));
        size_t files = 0, workbooks = 0;
        std::string summaries, workbookFolder;
        std::vector<ListJobRequest> requests;
        for (const lists::ListInfo* list : chosen) {
            ListJobRequest request;
            if (options.pdf) request.destination = Destination::Pdf;
            request.list = list->kind;
            request.companies = companies;
            request.workbook = options.xlsx;
            requests.push_back(request);
        }
        struct Holding {  // the held messages reach the terminal whatever ends the run
            ListMessages& messages;
            RunDriver& driver;
            ~Holding() { driver.SetObserver(nullptr), messages.Release(); }
        } holding{messages, session.driver()};
        messages.Hold(requests.size());
        session.driver().SetObserver(&messages);
        const std::vector<ListJobResult> jobs = RunListJobs(session, requests);
        for (size_t i = 0; i < jobs.size(); ++i) {
            const ListJobResult& job = jobs[i];
            const std::string code(chosen[i]->code);
            out << messages.Take(i);
            for (const lists::Anomaly& a : job.anomalies.anomalies()) anomalies.Found(a);
            if (job.outcome.failed) status = 1;
            files += job.outcome.files.size();
            for (const auto& f : job.outcome.files) out << "  " << code << ": " << platform::Utf8Path(f) << "\n";
            switch (job.workbook) {
            case WorkbookResult::RunIncomplete:
                // Companies are missing from it: an earlier complete workbook of the month stays.
                out << "kvteso: " << code << " workbook not written: the run stopped on an error\n";
                break;
            case WorkbookResult::Written:
                ++workbooks;
                workbookFolder = job.workbookPath.parent_path().string();
                out << "  " << code << ": " << job.workbookPath.string() << "\n";
                summaries += "\nRiepilogo " + code + " " + session.PERIODOESTRAZIONE().substr(4) + "/" +
                    session.PERIODOESTRAZIONE().substr(0, 4) + "\n" + job.workbookSummary;
                break;
            case WorkbookResult::Failed:
                out << "kvteso: " << code << " workbook not written: " << platform::Cp1252ToUtf8(job.workbookError)
                    << "\n";
                status = 1;
                break;
            default: break;
            }
        }
        if (options.pdf) {
            out << files << " PDF file(s) written";
            if (files > 0)
                out << " under " << platform::Utf8Path(paths.FromSuite(session.pdfFiles().pdfRoot() + "\\FILE-PDF"));
            out << "\n";
        }
        if (options.xlsx) {
            out << workbooks << " workbook(s) written";
            if (workbooks > 0) out << " in " << workbookFolder;
            out << "\n" << platform::Cp1252ToUtf8(summaries);
        }
        for (const std::string& line : anomalies.Lines()) err << line << "\n";
        if (status == 0 && anomalies.DamagedData()) status = 3;
        session.Leave();
    } catch (const ProgramEnd& end) {
        session.context().files().CHIUDI(0);
        // Ended before the first list (configuration, catalogue, no current extraction): the program
        // could not start.
        if (!started) {
            if (installation.AnotherCopyRunning()) err << "kvteso: another copy is running on this installation\n";
            return 2;
        }
        if (end.exitCode != 0) return end.exitCode == 1 ? 1 : end.exitCode;
    }
    return status;
}

}  // namespace kv::app
