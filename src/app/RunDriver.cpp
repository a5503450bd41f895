#include "app/RunDriver.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "archive/ExtractionHeader.h"
#include "archive/LegacyText.h"
#include "lists/ListEngine.h"
#include "output/PdfSink.h"

namespace kv::app {

using lists::ListKind;

namespace {
// At most this much of a company's employee records is kept for its lists (about 4,000 employees of
// 16 KB); the records past it are read again by each list.
constexpr size_t kKeptRecordBytes = size_t{64} << 20;

// Writes nothing: the run of a list for its observer alone.
class SilentSink : public lists::ReportSink {
public:
    bool BeginList(const lists::ListInfo&, const lists::ListLayout&) override { return true; }
    void BeginPageHeader(const lists::ListLayout&) override {}
    void NewPage() override {}
    void WriteText(double, double, const std::string&) override {}
    lists::Medium medium() const override { return lists::Medium::Pdf; }
    lists::PageGeometry Geometry(const lists::ListLayout&) const override { return {0, 0}; }
};

// Shown on the printer when no printer is configured: every printed list stops at the check.
class NoPrinter : public output::Printer {
public:
    explicit NoPrinter(platform::MessageBoxes& messages) : messages_(messages) {}
    bool Check() override {
        messages_.Critical("Controllo stampante", "Nessuna stampante presente");
        return false;
    }
    void SetFont(const std::string&, double, bool) override {}
    void PrintAt(int, int, const std::string&) override {}
    void NewPage() override {}
    void EndDoc() override {}

private:
    platform::MessageBoxes& messages_;
};
}  // namespace

bool RunDriver::Notices(ListKind list) {
    platform::MessageBoxes& msg = ctx_.messages();
    const lists::ListInfo& info = lists::Info(list);
    if (info.adhesionCode.empty()) {
        if (!info.notice.empty()) msg.Inform(kWindowCaption, std::string(info.notice));
        return true;
    }
    const std::string code(info.adhesionCode);
    if (!AppliesToMonth(list)) {
        msg.Inform(kWindowCaption,
                   "La lista del codice " + code + "\rPer tipo mensilita' aggiuntiva non puo' essere selezionata");
        return false;
    }
    msg.Inform(kWindowCaption,
               "Viene eseguita una lista del codice " + code +
                   "\rVengono stampati solo i dipendenti che hanno il mese e anno di adesione (campo P599)"
                   "\ruguale al mese e anno data ultima erogazione campo(Q179)");
    return true;
}

void RunDriver::CloseDocument() { pdfFiles_.CHIUDIPDF(); }

void RunDriver::DiscardDocument() {
    // A document that a run-time error interrupted never takes the list file's name (an earlier
    // complete file of that name stays).
    if (!pdfFiles_.PDFAPERTO) return;
    pdfFiles_.PDFAPERTO = false;
    if (pdfFiles_.HasWriter()) pdfFiles_.writer().Abort();
}

void RunDriver::RunCompany(const ListPass& pass, const std::string& code, Outcome& outcome, bool& told,
                           bool exportOnly) {
    ArchiveFiles& files = ctx_.files();
    extraction_.AZIENDACORRENTE = code;
    files.LEGGIREC(archive::Companies, ArchiveFiles::RecordValue{Val(code)});
    ctx_.repository().REC_DIT() = files.buffer(archive::Companies);

    lists::ListEnvironment env{files,
                               ctx_.repository(),
                               ctx_.keys(),
                               extraction_.ELENCOESTRAZIONE(),
                               code,
                               pass.list,
                               decimalSeparator_,
                               pass.observer,
                               header_,
                               told,
                               &shared_};
    struct Told {  // a change of the header is told once a run
        bool& told;
        const lists::ListEnvironment& env;
        ~Told() { told = env.headerChangeTold; }
    } keep{told, env};
    const std::string period = PERIODOESTRAZIONE.empty() ? ExtractionHeader(header_).Period() : PERIODOESTRAZIONE;
    if (exportOnly) {
        SilentSink sink;
        lists::ListRun(env, sink).Run();
    } else if (MODOPDF) {
        output::PdfSink sink(pdfFiles_, ctx_.repository(), period);
        lists::ListRun(env, sink).Run();
        if (pdfFiles_.PDFAPERTO) {
            CloseDocument();
            outcome.files.push_back(pdfFiles_.hostFilePath());
        }
    } else {
        NoPrinter none(ctx_.messages());
        output::Printer& printer = printer_ ? *printer_ : static_cast<output::Printer&>(none);
        output::PrinterSink sink(printer);
        lists::ListRun(env, sink).Run();
        printer.EndDoc();
    }
    ++outcome.companiesDone;
}

void RunDriver::ReadHeader() {
    ctx_.files().FAIOPEN(archive::ExtractionHeader);
    ctx_.files().LEGGIREC(archive::ExtractionHeader, 1);
    header_ = TESTATAESTRAZIONE.empty() ? ctx_.files().buffer(archive::ExtractionHeader) : TESTATAESTRAZIONE;
}

void RunDriver::CompanyFailed(const ListPass& pass, const std::string& code, const RuntimeError& e, Outcome& outcome) {
    DiscardDocument();
    outcome.companiesFailed.push_back(code);
    const std::string error = "Errore N." + std::to_string(e.number()) + "\r" + e.description();
    ctx_.messages().Critical(
        kWindowCaption,
        error + "\r\rLa lista della ditta " + code + " non e' stata prodotta: si prosegue con le ditte seguenti");
    if (pass.observer)
        pass.observer->Found({code, std::string(lists::Info(pass.list).code), "", lists::AnomalyReason::ListNotProduced,
                              "Errore N." + std::to_string(e.number()) + " " + e.description()});
}

bool RunDriver::AppliesToMonth(ListKind list) const {
    const bool additionalMonth = ExtractionHeader(header_).IsAdditionalMonth();
    return !additionalMonth || lists::Info(list).adhesionCode.empty();
}

void RunDriver::ReportRefusal(const ListPass& pass, const std::vector<std::string>& companies) {
    if (!pass.observer) return;
    for (const std::string& code : companies)
        pass.observer->Found(
            {code, std::string(lists::Info(pass.list).code), "", lists::AnomalyReason::AdditionalMonthRefused, ""});
}

RunDriver::Outcome RunDriver::Export(ListKind list, const std::vector<std::string>& companies) {
    return Run(std::nullopt, {{list, listObserver_}}, companies).front();
}

void RunDriver::ReportError(const RuntimeError& e) {
    platform::MessageBoxes& msg = ctx_.messages();
    if (e.number() == err::PrinterInfo) {
        msg.Critical(
            "Attenzione !!!",
            "Errore N." + std::to_string(e.number()) + "\rNessuna stampante installata non e' possibile proseguire");
        ctx_.files().CHIUDI(0);
        ctx_.files().FINEPROGRAMMA();
    }
    msg.Critical(kWindowCaption,
                 "Errore N." + std::to_string(e.number()) + "\r" + e.description() + "\r\rNon e' possibile proseguire");
}

RunDriver::Outcome RunDriver::Run(Destination to, ListKind list, const std::vector<std::string>& companies) {
    return Run(to, {{list, listObserver_}}, companies).front();
}

std::vector<RunDriver::Outcome> RunDriver::Run(std::optional<Destination> to, const std::vector<ListPass>& lists,
                                               const std::vector<std::string>& companies) {
    std::vector<Outcome> outcomes(lists.size());
    const bool exportOnly = !to;
    if (!exportOnly) pdfFiles_.PDFCREATI = false;
    if (!exportOnly && companies.empty()) {
        for (size_t i = 0; i < lists.size(); ++i) {
            observer_->ListTurn(i);
            ctx_.messages().Inform(kWindowCaption, "Nessuna azienda selezionata");
        }
        return outcomes;
    }
    std::vector<size_t> going;  // the lists accepted for this month
    std::vector<char> created(lists.size(), 0), told(lists.size(), 0);  // PDFCREATI; header change told
    size_t decided = 0;  // the lists accepted or refused so far
    struct Forget {  // what the run kept of the suite's files goes with it
        RunDriver& driver;
        ~Forget() {
            driver.ctx_.files().ForgetRecords();
            driver.shared_.Clear();
            if (driver.ctx_.files().IsOpen(archive::Semaphore)) driver.ctx_.files().CHIUDI(archive::Semaphore);
        }
    } forget{*this};
    try {
        ReadHeader();
        MODOPDF = to == Destination::Pdf;
        for (; decided < lists.size(); ++decided) {
            observer_->ListTurn(decided);
            if (exportOnly ? AppliesToMonth(lists[decided].list) : Notices(lists[decided].list)) {
                going.push_back(decided);
                outcomes[decided].ran = true;
            } else {
                ReportRefusal(lists[decided], companies);
            }
        }
        if (going.empty()) {
            MODOPDF = false;
            return outcomes;
        }
        if (!exportOnly) observer_->Busy(true);
        // A period that names no folder stops the whole run: no company could have its file.
        if (MODOPDF)
            output::PdfListFiles::CheckPeriod(PERIODOESTRAZIONE.empty() ? ExtractionHeader(header_).Period()
                                                                        : PERIODOESTRAZIONE);
        const int count = static_cast<int>(companies.size());
        int index = 0;
        for (const std::string& code : companies) {
            if (!exportOnly && !observer_->BeforeCompany(++index, count, code)) {
                for (const size_t i : going) outcomes[i].stopped = true;
                break;
            }
            // The company's employees are read and searched once for all its lists; the next company
            // sees the suite's files as they are then.
            ctx_.files().KeepRecords(archive::Employees, kKeptRecordBytes);
            shared_.Clear();
            for (const size_t i : going) {
                observer_->ListTurn(i);
                pdfFiles_.PDFCREATI = created[i];
                bool headerTold = told[i];
                try {
                    RunCompany(lists[i], code, outcomes[i], headerTold, exportOnly);
                } catch (const RuntimeError& e) {
                    if (!exportOnly && e.number() == err::PrinterInfo) throw;  // no printer: the program ends
                    CompanyFailed(lists[i], code, e, outcomes[i]);
                }
                told[i] = headerTold, created[i] = pdfFiles_.PDFCREATI;
            }
        }
        if (!exportOnly) {
            for (const size_t i : going) {
                observer_->ListTurn(i);
                observer_->ChoicesReset();
                if (MODOPDF && created[i])
                    ctx_.messages().Show({kPdfDoneTitle,
                                          "I file PDF creati sono contenuti nella relativa cartella situata in :\r\r" +
                                              pdfFiles_.pdfRoot() + "\\FILE-PDF\\DITTA\\ANNO\\MESE\\FDOTES",
                                          platform::Icon::Information, platform::Buttons::Ok});
            }
            pdfFiles_.PDFCREATI = std::any_of(created.begin(), created.end(), [](char c) { return c != 0; });
            if (MODOPDF && pdfFiles_.PDFAPERTO) CloseDocument();
            MODOPDF = false;
        }
    } catch (const ProgramEnd&) {
        // The error handler ends the program in the middle of a list: its document goes too.
        DiscardDocument();
        throw;
    } catch (const RuntimeError& e) {
        DiscardDocument();
        MODOPDF = false;
        if (!exportOnly) observer_->Busy(false);
        // Told for each list that had begun, as each list's own run would have told it.
        for (size_t i = 0; i < lists.size(); ++i) {
            if (i < decided && std::find(going.begin(), going.end(), i) == going.end()) continue;  // refused
            observer_->ListTurn(i);
            outcomes[i].failed = true;
            ReportError(e);
        }
        return outcomes;
    }
    if (!exportOnly) observer_->Busy(false);
    return outcomes;
}

}  // namespace kv::app
