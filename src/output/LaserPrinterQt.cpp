#include "output/LaserPrinter.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include "archive/ArchiveContext.h"
#include "archive/LegacyText.h"
#include "output/Spooler.h"
#include "platform/Encoding.h"

namespace kv::output {

namespace {
constexpr const char* kCheckTitle = "Controllo stampante";

QString ToQt(const std::string& cp1252) { return QString::fromStdString(platform::Cp1252ToUtf8(cp1252)); }

// Installed under exactly this name, case included (the spooler itself ignores case).
bool Installed(const std::string& name) {
    const QString wanted = ToQt(name);
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
        if (info.printerName() == wanted) return true;
    return false;
}
}  // namespace

struct LaserPrinter::State {
    explicit State(ArchiveContext& context) : ctx(context) {}
    ArchiveContext& ctx;
    std::string standardName;
    std::string laserName;
    std::string current;
    std::string lastChecked;
    Spooler spooler;

    // The list's font, applied at the start of every job.
    std::string fontName = "Courier New";
    double fontSize = 10;
    bool bold = false;

    // The job being drawn: the document goes to a private PDF file that EndDoc hands to the spooler,
    // so that a refused job can be sent again and its title is ours.
    std::unique_ptr<QTemporaryFile> file;
    std::unique_ptr<QPrinter> printer;
    QPainter painter;
    QPointF origin;  // top-left corner of the printable area, device units
    double ascent = 0;
    double dpi = 1200;
    std::string title;

    void ApplyFont() {
        QFont font(ToQt(fontName));
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        font.setPointSizeF(fontSize);
        font.setBold(bold);
        painter.setFont(font);
        ascent = QFontMetricsF(font, printer.get()).ascent();
    }

    std::string JobTitle() {
        const std::string company = ctx.repository().REC_DIT();
        const std::string code = TrimBlanks(Mid(company, 3, 3)), name = TrimBlanks(Mid(company, 6, 30));
        std::string title = "KVTESO";
        if (!code.empty()) title += " " + code;
        if (!name.empty()) title += " " + name;
        return platform::Cp1252ToUtf8(title);
    }

    // Opens the job at its first text or page: error 482 when the document cannot be started or the
    // printer has gone since its check.
    void BeginJob() {
        if (painter.isActive()) return;
        const QPrinterInfo info = QPrinterInfo::printerInfo(ToQt(current));
        if (info.isNull()) throw RuntimeError(err::PrinterError);
        file = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/kvteso-XXXXXX.pdf");
        if (!file->open()) {
            file.reset();
            throw RuntimeError(err::PrinterError);
        }
        file->close();
        title = JobTitle();
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        const QPageLayout layout = printer->pageLayout();  // the printer's paper and hardware margins
        printer->setOutputFileName(file->fileName());
        printer->setPageLayout(layout);
        printer->setFullPage(true);
        printer->setDocName(QString::fromStdString(title));
        if (!painter.begin(printer.get())) {
            Drop();
            throw RuntimeError(err::PrinterError);
        }
        QPageLayout printable = layout;
        printable.setMargins(layout.minimumMargins());
        dpi = printer->resolution();
        const QMargins margins = printable.marginsPixels(static_cast<int>(dpi));
        origin = QPointF(margins.left(), margins.top());
        ApplyFont();
    }

    // Forgets the job: nothing of it reaches the spooler.
    void Drop() {
        if (painter.isActive()) painter.end();
        printer.reset();
        file.reset();
    }

    // The statement under the central handler: a printer error lets the user retry or skip it; when
    // the program ends instead, the job is dropped first.
    template <typename F>
    void Guarded(const char* routine, F&& body) {
        try {
            ctx.errors().Guard(routine, body);
        } catch (const ProgramEnd&) {
            Drop();
            spooler.Close();
            throw;
        }
    }
};

LaserPrinter::LaserPrinter(ArchiveContext& ctx) : state_(std::make_unique<State>(ctx)) {}
LaserPrinter::~LaserPrinter() { state_->Drop(); }

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
    if (Installed(s.standardName)) s.current = s.standardName;
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
        if (!Installed(name)) return refuse("La stampante " + name + " non \xE8 impostata");
        s.current = name;
        s.spooler.Close();  // ends a job left open on the kept queue
        switch (s.spooler.Open(platform::Cp1252ToUtf8(name))) {
        case Spooler::Status::Ready: return true;
        case Spooler::Status::NotFound: return refuse("Impossibile aprire la stampante " + name);
        case Spooler::Status::Offline: return refuse("La stampante " + name + " non \xE8 in linea");
        case Spooler::Status::Unsupported: return refuse("La stampante " + name + " non \xE8 laser");
        }
    } catch (const std::exception&) {}
    return false;
}

const std::string& LaserPrinter::standardPrinterName() const { return state_->standardName; }
const std::string& LaserPrinter::laserPrinterName() const { return state_->laserName; }
std::string LaserPrinter::currentPrinterName() const { return state_->current; }
bool LaserPrinter::Check() { return CONTROLLOSTAMPANTE(state_->laserName); }

void LaserPrinter::SetFont(const std::string& name, double size, bool bold) {
    State& s = *state_;
    s.fontName = name;
    s.fontSize = size;
    s.bold = bold;
    if (s.painter.isActive()) s.ApplyFont();
}

void LaserPrinter::PrintAt(int xTwips, int yTwips, const std::string& text) {
    State& s = *state_;
    s.Guarded("SCRIVICELLA", [&] {
        s.BeginJob();
        const QPointF at(xTwips * s.dpi / 1440.0, yTwips * s.dpi / 1440.0 + s.ascent);
        s.painter.drawText(s.origin + at, ToQt(text));
    });
}

void LaserPrinter::NewPage() {
    State& s = *state_;
    s.Guarded("NUOVAPAGINA", [&] {
        s.BeginJob();
        if (!s.printer->newPage()) throw RuntimeError(err::PrinterError);
    });
}

void LaserPrinter::EndDoc() {
    State& s = *state_;
    if (!s.file) return;  // nothing printed: no job
    s.Guarded("FINESTAMPA", [&] {
        if (!s.file) return;
        if (s.painter.isActive() && (!s.painter.end() || s.printer->printerState() == QPrinter::Error)) {
            s.Drop();
            throw RuntimeError(err::PrinterError);
        }
        std::string reason;
        if (!s.spooler.Submit(s.title, s.file->fileName().toStdString(), reason))
            throw RuntimeError(err::PrinterError, DescriptionOf(err::PrinterError) + ": " + reason);
    });
    s.Drop();
}

}  // namespace kv::output
