#include "app/RunDriver.h"

#include <filesystem>
#include <system_error>

#include "archive/ExtractionHeader.h"
#include "archive/LegacyText.h"
#include "lists/ListEngine.h"
#include "output/PdfSink.h"

namespace kv::app {

using lists::ListKind;

namespace {
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

void RunDriver::RunCompany(ListKind list, const std::string& code, Outcome& outcome, bool exportOnly) {
    ArchiveFiles& files = ctx_.files();
    extraction_.AZIENDACORRENTE = code;
    files.LEGGIREC(archive::Companies, ArchiveFiles::RecordValue{Val(code)});
    ctx_.repository().REC_DIT() = files.buffer(archive::Companies);

    lists::ListEnvironment env{files,
                               ctx_.repository(),
                               ctx_.keys(),
                               extraction_.ELENCOESTRAZIONE(),
                               code,
                               list,
                               decimalSeparator_,
                               listObserver_,
                               header_,
                               headerChangeTold_};
    struct Told {  // a change of the header is told once a run
        bool& told;
        const lists::ListEnvironment& env;
        ~Told() { told = env.headerChangeTold; }
    } told{headerChangeTold_, env};
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
    headerChangeTold_ = false;
}

void RunDriver::CompanyFailed(ListKind list, const std::string& code, const RuntimeError& e, Outcome& outcome) {
    DiscardDocument();
    outcome.companiesFailed.push_back(code);
    const std::string error = "Errore N." + std::to_string(e.number()) + "\r" + e.description();
    ctx_.messages().Critical(
        kWindowCaption,
        error + "\r\rLa lista della ditta " + code + " non e' stata prodotta: si prosegue con le ditte seguenti");
    if (listObserver_)
        listObserver_->Found({code, std::string(lists::Info(list).code), "", lists::AnomalyReason::ListNotProduced,
                              "Errore N." + std::to_string(e.number()) + " " + e.description()});
}

bool RunDriver::AppliesToMonth(ListKind list) const {
    const bool additionalMonth = ExtractionHeader(header_).IsAdditionalMonth();
    return !additionalMonth || lists::Info(list).adhesionCode.empty();
}

void RunDriver::ReportRefusal(ListKind list, const std::vector<std::string>& companies) {
    if (!listObserver_) return;
    for (const std::string& code : companies)
        listObserver_->Found(
            {code, std::string(lists::Info(list).code), "", lists::AnomalyReason::AdditionalMonthRefused, ""});
}

RunDriver::Outcome RunDriver::Export(ListKind list, const std::vector<std::string>& companies) {
    Outcome outcome;
    try {
        ReadHeader();
        if (!AppliesToMonth(list)) {
            ReportRefusal(list, companies);
            return outcome;
        }
        outcome.ran = true;
        for (const std::string& code : companies) {
            try {
                RunCompany(list, code, outcome, true);
            } catch (const RuntimeError& e) {
                CompanyFailed(list, code, e, outcome);
            }
        }
    } catch (const RuntimeError& e) {
        outcome.failed = true;
        ReportError(e);
    }
    return outcome;
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
    Outcome outcome;
    pdfFiles_.PDFCREATI = false;
    if (companies.empty()) {
        ctx_.messages().Inform(kWindowCaption, "Nessuna azienda selezionata");
        return outcome;
    }
    try {
        ReadHeader();
        MODOPDF = to == Destination::Pdf;
        if (!Notices(list)) {
            MODOPDF = false;
            ReportRefusal(list, companies);
            return outcome;
        }
        observer_->Busy(true);
        outcome.ran = true;
        // A period that names no folder stops the whole run: no company could have its file.
        if (MODOPDF)
            output::PdfListFiles::CheckPeriod(PERIODOESTRAZIONE.empty() ? ExtractionHeader(header_).Period()
                                                                        : PERIODOESTRAZIONE);
        const int count = static_cast<int>(companies.size());
        int index = 0;
        for (const std::string& code : companies) {
            if (!observer_->BeforeCompany(++index, count, code)) {
                outcome.stopped = true;
                break;
            }
            try {
                RunCompany(list, code, outcome);
            } catch (const RuntimeError& e) {
                if (e.number() == err::PrinterInfo) throw;  // no printer at all: the program ends, below
                CompanyFailed(list, code, e, outcome);
            }
        }
        observer_->ChoicesReset();
        if (MODOPDF) {
            if (pdfFiles_.PDFCREATI)
                ctx_.messages().Show({kPdfDoneTitle,
                                      "I file PDF creati sono contenuti nella relativa cartella situata in :\r\r" +
                                          pdfFiles_.pdfRoot() + "\\FILE-PDF\\DITTA\\ANNO\\MESE\\FDOTES",
                                      platform::Icon::Information, platform::Buttons::Ok});
            MODOPDF = false;
            if (pdfFiles_.PDFAPERTO) CloseDocument();
        }
    } catch (const ProgramEnd&) {
        // The error handler ends the program in the middle of a list: its document goes too.
        DiscardDocument();
        throw;
    } catch (const RuntimeError& e) {
        DiscardDocument();
        MODOPDF = false;
        outcome.failed = true;
        observer_->Busy(false);
        ReportError(e);
        return outcome;
    }
    observer_->Busy(false);
    return outcome;
}

}  // namespace kv::app
