#include "output/LaserPrinter.h"

#include <algorithm>

#include "archive/ArchiveContext.h"
#include "archive/LegacyText.h"
#include "output/PrintDevice.h"

namespace kv::output {

namespace {
constexpr const char* kCheckTitle = "Controllo stampante";
}  // namespace

struct LaserPrinter::State {
    explicit State(ArchiveContext& context) : ctx(context), device(PrintDevice::Make()) {}
    ArchiveContext& ctx;
    std::unique_ptr<PrintDevice> device;
    std::string standardName;
    std::string laserName;
    std::string current;
    std::string lastChecked;
    std::string listCode;  // of the list being printed, for the job names

    // Installed under exactly this name, case included (the spooler itself ignores case).
    bool Installed(const std::string& name) {
        const std::vector<std::string> printers = device->Printers();
        return std::find(printers.begin(), printers.end(), name) != printers.end();
    }

    // "KVTESO TF14 001 PERÒ COSTRUZIONI S.R.L.": the program, the list, the company's code and name.
    std::string JobTitle() {
        const std::string company = ctx.repository().REC_DIT();
        std::string title = "KVTESO";
        for (const std::string& part : {listCode, TrimBlanks(Mid(company, 3, 3)), TrimBlanks(Mid(company, 6, 30))})
            if (!part.empty()) title += " " + part;
        return title;
    }

    // Opens the job at its first text or page: error 482 when the printer has gone since its check or
    // the document cannot be started.
    void BeginJob() {
        if (device->DocumentOpen()) return;
        if (!Installed(current) || !device->StartDocument(current, JobTitle())) throw RuntimeError(err::PrinterError);
    }

    // The statement under the central handler: a printer error lets the user retry or skip it; when
    // the program ends instead, the job is dropped first.
    template <typename F>
    void Guarded(const char* routine, F&& body) {
        try {
            ctx.errors().Guard(routine, body);
        } catch (const ProgramEnd&) {
            device->Close();
            throw;
        }
    }
};

LaserPrinter::LaserPrinter(ArchiveContext& ctx) : state_(std::make_unique<State>(ctx)) {}
LaserPrinter::~LaserPrinter() = default;

void LaserPrinter::LEGGISTAMPANTESTD() {
    State& s = *state_;
    ArchiveFiles& files = s.ctx.files();
    s.ctx.trace().TRACCIA("LEGGISTAMPANTESTD");
    s.standardName.clear();
    s.laserName.clear();
    if (files.VERBASE(archive::PrinterSettings) == 1) {
        files.FAIOPENIO(archive::PrinterSettings, 0);
        s.standardName = files.LineInput(archive::PrinterSettings);
        if (!files.EndOfFile(archive::PrinterSettings)) s.laserName = files.LineInput(archive::PrinterSettings);
        files.CHIUDI(archive::PrinterSettings);
    }
    if (s.Installed(s.standardName)) s.current = s.standardName;
}

bool LaserPrinter::CONTROLLOSTAMPANTE(const std::string& name) {
    State& s = *state_;
    s.ctx.trace().TRACCIA("CONTROLLOSTAMPANTE");
    s.lastChecked = name;
    auto refuse = [&](const std::string& text) {
        s.ctx.messages().Critical(kCheckTitle, text);
        return false;
    };
    try {
        if (name.empty()) return refuse("Nessuna stampante presente");
        if (!s.Installed(name)) return refuse("La stampante " + name + " non \xE8 impostata");
        s.current = name;
        switch (s.device->Open(name)) {
        case PrintDevice::Queue::Ready: return true;
        case PrintDevice::Queue::NotFound: return refuse("Impossibile aprire la stampante " + name);
        case PrintDevice::Queue::Offline: return refuse("La stampante " + name + " non \xE8 in linea");
        case PrintDevice::Queue::Unsupported: return refuse("La stampante " + name + " non \xE8 laser");
        }
    } catch (const std::exception&) {}
    return false;
}

const std::string& LaserPrinter::standardPrinterName() const { return state_->standardName; }
const std::string& LaserPrinter::laserPrinterName() const { return state_->laserName; }
std::string LaserPrinter::currentPrinterName() const { return state_->current; }
bool LaserPrinter::Check() { return CONTROLLOSTAMPANTE(state_->laserName); }
void LaserPrinter::SetList(std::string_view code) { state_->listCode = code; }

void LaserPrinter::SetFont(const std::string& name, double size, bool bold) {
    state_->device->SetFont(name, size, bold);
}

void LaserPrinter::PrintAt(int xTwips, int yTwips, const std::string& text) {
    State& s = *state_;
    s.Guarded("SCRIVICELLA", [&] {
        s.BeginJob();
        if (!s.device->Text(xTwips, yTwips, text)) throw RuntimeError(err::PrinterError);
    });
}

void LaserPrinter::NewPage() {
    State& s = *state_;
    s.Guarded("NUOVAPAGINA", [&] {
        s.BeginJob();
        if (!s.device->NewPage()) throw RuntimeError(err::PrinterError);
    });
}

void LaserPrinter::EndDoc() {
    State& s = *state_;
    if (!s.device->DocumentOpen()) return;  // nothing printed: no job
    s.Guarded("FINESTAMPA", [&] {
        if (!s.device->DocumentOpen()) return;  // lost: given up
        std::string reason;
        if (!s.device->EndDocument(reason))
            throw RuntimeError(err::PrinterError,
                               DescriptionOf(err::PrinterError) + (reason.empty() ? "" : ": " + reason));
    });
    s.device->Drop();
}

}  // namespace kv::output
