// The printer drawn with Qt and spooled by CUPS: each document goes to a private PDF file that
// EndDocument hands to the spooler, so that a refused job can be sent again and its title is ours.
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include "output/PrintDevice.h"
#include "output/Spooler.h"
#include "platform/Encoding.h"

namespace kv::output {

namespace {

QString ToQt(const std::string& cp1252) { return QString::fromStdString(platform::Cp1252ToUtf8(cp1252)); }

class PrintDeviceQt : public PrintDevice {
public:
    ~PrintDeviceQt() override { Drop(); }

    std::vector<std::string> Printers() override {
        std::vector<std::string> names;
        for (const QString& name : QPrinterInfo::availablePrinterNames())
            names.push_back(platform::Utf8ToCp1252(name.toStdString()));
        return names;
    }

    Queue Open(const std::string& name) override {
        switch (spooler_.Open(platform::Cp1252ToUtf8(name))) {
        case Spooler::Status::Ready: return Queue::Ready;
        case Spooler::Status::NotFound: return Queue::NotFound;
        case Spooler::Status::Offline: return Queue::Offline;
        case Spooler::Status::Unsupported: return Queue::Unsupported;
        }
        return Queue::NotFound;
    }

    bool StartDocument(const std::string& name, const std::string& title) override {
        const QPrinterInfo info = QPrinterInfo::printerInfo(ToQt(name));
        if (info.isNull()) return false;
        file_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/kvteso-XXXXXX.pdf");
        if (!file_->open()) return Drop(), false;
        file_->close();
        title_ = platform::Cp1252ToUtf8(title);
        printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        const QPageLayout layout = printer_->pageLayout();  // the printer's paper and hardware margins
        printer_->setOutputFileName(file_->fileName());
        printer_->setPageLayout(layout);
        printer_->setFullPage(true);
        printer_->setDocName(QString::fromStdString(title_));
        if (!painter_.begin(printer_.get())) return Drop(), false;
        QPageLayout printable = layout;
        printable.setMargins(layout.minimumMargins());
        dpi_ = printer_->resolution();
        const QMargins margins = printable.marginsPixels(static_cast<int>(dpi_));
        origin_ = QPointF(margins.left(), margins.top());
        ApplyFont();
        return true;
    }

    bool DocumentOpen() const override { return file_ != nullptr; }

    void SetFont(const std::string& name, double size, bool bold) override {
        fontName_ = name;
        fontSize_ = size;
        bold_ = bold;
        if (painter_.isActive()) ApplyFont();
    }

    // Qt draws at the baseline: the text goes one ascent below its top.
    bool Text(int xTwips, int yTwips, const std::string& text) override {
        if (!painter_.isActive()) return false;
        const QPointF at(xTwips * dpi_ / 1440.0, yTwips * dpi_ / 1440.0 + ascent_);
        painter_.drawText(origin_ + at, ToQt(text));
        return true;
    }

    bool NewPage() override { return painter_.isActive() && printer_->newPage(); }

    bool EndDocument(std::string& reason) override {
        if (painter_.isActive() && (!painter_.end() || printer_->printerState() == QPrinter::Error)) {
            Drop();  // the drawing is lost
            return false;
        }
        return file_ && spooler_.Submit(title_, file_->fileName().toStdString(), reason);
    }

    void Drop() override {
        if (painter_.isActive()) painter_.end();
        printer_.reset();
        file_.reset();
    }

    void Close() override {
        Drop();
        spooler_.Close();
    }

private:
    // The list's font, applied at the start of every job.
    void ApplyFont() {
        QFont font(ToQt(fontName_));
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        font.setPointSizeF(fontSize_);
        font.setBold(bold_);
        painter_.setFont(font);
        ascent_ = QFontMetricsF(font, printer_.get()).ascent();
    }

    Spooler spooler_;
    std::string fontName_ = "Courier New";
    double fontSize_ = 10;
    bool bold_ = false;

    std::unique_ptr<QTemporaryFile> file_;
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    QPointF origin_;  // top-left corner of the printable area, device units
    double ascent_ = 0;
    double dpi_ = 1200;
    std::string title_;  // UTF-8
};

}  // namespace

std::unique_ptr<PrintDevice> PrintDevice::Make() { return std::make_unique<PrintDeviceQt>(); }

}  // namespace kv::output
