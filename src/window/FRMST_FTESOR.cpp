#include "window/FRMST_FTESOR.h"

#include <algorithm>
#include <cctype>

#include "app/AnomalyReport.h"
#include "app/Installation.h"
#include "app/Session.h"
#include "archive/Errors.h"
#include "archive/LegacyText.h"
#include "lists/ListCatalogue.h"
#include "lists/ListFormat.h"
#include "output/LaserPrinter.h"
#include "window/ControlTable.h"
#include "window/RunSummary.h"

namespace kv::window {

// The messages of the session go to the window's message boxes; during a run the message that ends a
// PDF run is kept for the run's summary instead.
class FRMST_FTESOR::Relay : public platform::MessageBoxes {
public:
    explicit Relay(platform::MessageBoxes& to) : to_(to) {}
    platform::Answer Show(const platform::Message& message) override {
        if (!keepPdfDone || message.title != app::kPdfDoneTitle || message.buttons != platform::Buttons::Ok)
            return to_.Show(message);
        pdfDone = message;
        return platform::Answer::Ok;
    }
    bool keepPdfDone = false;
    std::optional<platform::Message> pdfDone;

private:
    platform::MessageBoxes& to_;
};

FRMST_FTESOR::FRMST_FTESOR(app::Installation& installation, platform::MessageBoxes& messages, FormView& view)
    : view_(view), relay_(std::make_unique<Relay>(messages)) {
    session_ = std::make_unique<app::Session>(
        *relay_, installation.paths(), installation.registry(),
        [&installation] { return installation.AnotherCopyRunning(); }, lists::DecimalSeparatorOfUserLocale());
    printer_ = std::make_unique<output::LaserPrinter>(session_->context());
    session_->driver().SetObserver(this);
    session_->driver().SetPrinter(printer_.get());
    // A PDF file held open by another program: the user closes it and presses OK, and it is tried again.
    session_->pdfFiles().SetFileBusyHandler([this] {
        relay_->Inform("Creazione PDF",
                       "Attenzione!\r\rIl file PDF risulta essere gi\xE0 aperto.\r\r"
                       "Per proseguire chiudere il file pdf aperto e successivamente premere sul pulsante "
                       "'OK' di questo messaggio\r\r");
        return true;
    });
}

FRMST_FTESOR::~FRMST_FTESOR() {
    if (busy_) view_.Busy(false);
    session_->driver().SetObserver(nullptr);
}

void FRMST_FTESOR::Form_Load() {
    programName_ = "KVTESO";
    programCode_ = "KVST_FTESOR";
    app::Session::StartSteps steps;
    steps.afterInstallation = [this] { view_.SizeAndCentre(); };
    steps.afterArchives = [this] { IMPOSTAZIONI(); };
    steps.afterCheck = [this] {
        printer_->LEGGISTAMPANTESTD();
        PULISCICAMPI();
    };
    if (!session_->Start(steps)) Form_Unload();
    LISTA_AZIENDE();
}

void FRMST_FTESOR::IMPOSTAZIONI() { view_.ShowSelectionFrame(); }

void FRMST_FTESOR::PULISCICAMPI() {
    // Check2 stays as the user set it: whether a workbook is wanted is a preference, not a choice of run.
    // Check1 going off is its click: a selection of every company goes with it.
    if (view_.Check1()) Check1_Click(false);
    view_.SetCheck1(false, kSelectAllCaption);
    view_.CheckOption(0);
}

void FRMST_FTESOR::LISTA_AZIENDE() { view_.SetCompanyLines(session_->companyLines()); }

void FRMST_FTESOR::Check1_Click(bool checked) {
    std::vector<int> rows;
    for (int i = 0; checked && i < static_cast<int>(session_->companyLines().size()); ++i) rows.push_back(i);
    view_.SelectCompanies(rows);
    view_.SetCheck1(checked, checked ? kDeselectAllCaption : kSelectAllCaption);
}

void FRMST_FTESOR::CmdStampa_Click(int index) {
    if (running_) return;
    app::ListJobRequest request;
    request.destination = index == 0 ? app::Destination::Pdf : app::Destination::Printer;
    const int option = view_.CheckedOption();
    request.list = lists::AllLists()[static_cast<size_t>(option)].kind;
    // "Crea PDF" with Check2: the workbook hears the same lines as the PDF files get.
    request.workbook = index == 0 && view_.Check2();
    const std::vector<std::string>& codes = session_->companyCodes();
    std::vector<int> rows;  // the rows of the companies listed, in their order
    for (int row : view_.SelectedCompanies())
        if (row >= 0 && static_cast<size_t>(row) < codes.size()) {
            rows.push_back(row);
            request.companies.push_back(codes[static_cast<size_t>(row)]);
        }
    running_ = true;
    started_ = 0;
    relay_->keepPdfDone = true;
    relay_->pdfDone.reset();
    struct RunEnd {
        FRMST_FTESOR* f;
        ~RunEnd() {
            f->running_ = false;
            f->relay_->keepPdfDone = false;
            f->view_.EndProgress();
        }
    } runEnd{this};
    const app::ListJobResult job = app::RunListJob(*session_, request);
    relay_->keepPdfDone = false;
    // A stopped run keeps its list and the companies still to do: one click goes on with them.
    std::optional<RunStop> stop;
    if (job.outcome.stopped && started_ > 0) {
        const int row = rows[static_cast<size_t>(started_ - 1)];
        stop =
            RunStop{TrimBlanks(session_->companyLines()[static_cast<size_t>(row)]), started_,
                    static_cast<int>(rows.size()), FindControl(index == 0 ? "CmdStampa(0)" : "CmdStampa(1)").caption};
        view_.CheckOption(option);
        view_.SelectCompanies(std::vector<int>(rows.begin() + started_, rows.end()));
    }
    // What the lists left out or read from damaged data, and the extraction's entries that named
    // nobody to list, told before the office files anything.
    app::AnomalyReport anomalies = job.anomalies;
    if (job.outcome.ran)
        for (const lists::Anomaly& a : session_->extraction().anomalies()) anomalies.Found(a);
    const std::string top = session_->pdfFiles().pdfRoot() + "\\FILE-PDF";
    const RunFolder folder = FolderOfFiles(job.outcome.files, session_->context().paths().ToHost(top), top);
    const std::optional<platform::Message> summary = RunSummary(relay_->pdfDone, folder.suite, job, anomalies, stop);
    if (!summary) return;
    platform::Answer answer;
    while ((answer = relay_->Show(*summary)) == platform::Answer::ShowList)
        relay_->Inform(app::kWindowCaption, anomalies.ListText());
    if (answer == platform::Answer::OpenFolder) OpenPdfFolder(folder);
}

void FRMST_FTESOR::OpenPdfFolder(const RunFolder& folder) {
    std::string error;
    if (!view_.OpenFolder(folder.host, &error))
        relay_->Critical(app::kWindowCaption, "Impossibile aprire la cartella " + folder.suite + ":\r" + error);
}

void FRMST_FTESOR::CmdUscita_Click(int) { session_->Leave(); }

void FRMST_FTESOR::Form_Unload() { CmdUscita_Click(0); }

void FRMST_FTESOR::Form_KeyDown(int keyCode, int shift) {
    if (keyCode != 80 || shift != 3) return;
    std::string name = programName_, code = programCode_;
    for (std::string* s : {&name, &code}) {
        *s = TrimBlanks(*s);
        std::transform(s->begin(), s->end(), s->begin(), [](unsigned char c) { return std::toupper(c); });
    }
    relay_->Inform(
        "Informazioni Progetto kvsPaghe",
        "Programma kvsPaghe\r\rNome EXE : " + name + ".EXE\rNome VBP : " + code + kProjectFileExtension + "\r");
}

void FRMST_FTESOR::InEvent(const std::function<void()>& handler) {
    if (ended_) return;
    try {
        handler();
    } catch (const ProgramEnd& end) {
        ended_ = end.exitCode;
        Busy(false);
        view_.Ended(end.exitCode);
    }
}

bool FRMST_FTESOR::QueryUnload() {
    if (ended_) return true;
    if (running_) return false;
    InEvent([this] { Form_Unload(); });
    return true;
}

void FRMST_FTESOR::Busy(bool on) {
    // The run is over when the hourglass goes: so is its progress, before any message that ends it.
    if (!on) view_.EndProgress();
    if (on == busy_) return;
    busy_ = on;
    view_.Busy(on);
}

bool FRMST_FTESOR::BeforeCompany(int index, int count, const std::string& code) {
    const std::vector<std::string>& codes = session_->companyCodes();
    const auto at = std::find(codes.begin(), codes.end(), code);
    const std::string name = at == codes.end()
        ? code
        : TrimBlanks(session_->companyLines()[static_cast<size_t>(at - codes.begin())].substr(3));
    if (!view_.Progress(index, count,
                        "Azienda " + std::to_string(index) + " di " + std::to_string(count) + "\r" + name))
        return false;
    started_ = index;
    return true;
}

}  // namespace kv::window
