#include "window/FRMST_FTESOR.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "app/AnomalyReport.h"
#include "app/Installation.h"
#include "app/Session.h"
#include "archive/Errors.h"
#include "lists/ListCatalogue.h"
#include "lists/ListFormat.h"
#include "output/LaserPrinter.h"
#include "platform/Encoding.h"
#include "platform/OpenDocument.h"
#include "window/WindowMessageBoxes.h"

// The pictures live in the static library: register them before the first use.
static void InitWindowResources() { Q_INIT_RESOURCE(window); }

namespace kv::window {

namespace {

QString FromLegacy(const std::string& bytes) { return QString::fromStdString(platform::Cp1252ToUtf8(bytes)); }

QRect Twips(int left, int top, int width, int height) {
    auto px = [](int twips) { return qRound(twips / double(kTwipsPerPixel)); };
    return {px(left), px(top), px(width), px(height)};
}

QFont SansSerif(double points, bool bold) {
    // Where the face is missing, a face with Arial's metrics keeps the captions inside their controls.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

enum class Kind { Frame, Label, List, CheckBox, Option, Command, Line };

struct Control {
    const char* name;
    Kind kind;
    const char* caption;
    int left, top, width, height;  // twips, relative to the parent
    const char* parent;
    double points;  // MS Sans Serif, bold (0: the window's font)
};

// The controls in creation order; a parent comes before its children.
constexpr Control kControls[] = {
    {"FrameSelezione(0)", Kind::Frame, "", 60, 0, 6925, 7150, nullptr, 0},
    {"Label1(0)", Kind::Label, " Lista Aziende in estrazione", 60, 150, 6795, 285, "FrameSelezione(0)", 9.75},
    {"List1", Kind::List, "", 60, 450, 6795, 3600, "FrameSelezione(0)", 0},
    {"Label3", Kind::Label, "Selezionare con un click del mouse le aziende da stampare", 90, 5820, 6735, 285,
     "FrameSelezione(0)", 8.25},
    {"Frame1", Kind::Frame, "", 60, 4080, 6795, 1665, "FrameSelezione(0)", 0},
    {"Label2", Kind::Label, "Selezione Tipo stampa", 90, 180, 2715, 225, "Frame1", 9.75},
    {"Check1", Kind::CheckBox, "Seleziona tutte le aziende", 3360, 180, 3075, 270, "Frame1", 9.75},
    {"Line2", Kind::Line, "", 60, 435, 6675, 30, "Frame1", 0},
    {"Option1(0)", Kind::Option, nullptr, 60, 540, 3315, 255, "Frame1", 8.25},
    {"Option1(1)", Kind::Option, nullptr, 60, 810, 3315, 255, "Frame1", 8.25},
    {"Option1(2)", Kind::Option, nullptr, 3420, 540, 3285, 255, "Frame1", 8.25},
    {"Option1(3)", Kind::Option, nullptr, 3420, 810, 3285, 255, "Frame1", 8.25},
    {"Option1(4)", Kind::Option, nullptr, 60, 1080, 3315, 255, "Frame1", 8.25},
    {"Option1(5)", Kind::Option, nullptr, 3420, 1080, 3285, 255, "Frame1", 8.25},
    {"Option1(6)", Kind::Option, nullptr, 3420, 1350, 3285, 255, "Frame1", 8.25},
    {"Label4", Kind::Label, "", 60, 1350, 3315, 255, "Frame1", 0},
    // In the slot of the caption-less Label4, above it: the workbook of the list besides its PDF files.
    {"Check2", Kind::CheckBox, "Crea anche il file Excel", 60, 1350, 3315, 255, "Frame1", 8.25},
    {"CmdStampa(0)", Kind::Command, "Crea PDF", 4620, 6150, 2205, 915, "FrameSelezione(0)", 8.25},
    {"CmdStampa(1)", Kind::Command, "Stampa Laser", 2340, 6150, 2205, 915, "FrameSelezione(0)", 8.25},
    {"CmdUscita(0)", Kind::Command, "&Uscita", 90, 6150, 2205, 915, "FrameSelezione(0)", 8.25},
    {"List2", Kind::List, "", 3210, 3240, 3375, 225, "FrameSelezione(0)", 0},
};

const char* IconOf(const std::string& name) {
    if (name == "CmdStampa(0)") return ":/icons/crea_pdf.png";
    if (name == "CmdStampa(1)") return ":/icons/stampa_laser.png";
    return ":/icons/uscita.png";
}

}  // namespace

// The run's progress: which company of how many, and a way to stop after the one under way.
class RunProgress : public QDialog {
public:
    explicit RunProgress(QWidget* parent) : QDialog(parent) {
        setObjectName(QStringLiteral("RunProgress"));
        setWindowTitle(FromLegacy(app::kWindowCaption));
        setWindowModality(Qt::WindowModal);
        auto* layout = new QVBoxLayout(this);
        label_ = new QLabel(this);
        bar_ = new QProgressBar(this);
        stop_ = new QPushButton(QStringLiteral("Interrompi dopo questa azienda"), this);
        stop_->setObjectName(QStringLiteral("Interrompi"));
        layout->addWidget(label_);
        layout->addWidget(bar_);
        layout->addWidget(stop_, 0, Qt::AlignRight);
        connect(stop_, &QPushButton::clicked, this, [this] { reject(); });
        setMinimumWidth(360);
    }
    void Company(int index, int count, const std::string& line) {
        bar_->setRange(0, count);
        bar_->setValue(index - 1);
        if (!stopAsked_)
            label_->setText(
                QStringLiteral("Azienda %1 di %2\n%3").arg(index).arg(count).arg(FromLegacy(line.substr(3)).trimmed()));
    }
    bool stopAsked() const { return stopAsked_; }
    // The stop button, Esc and the close box all ask to stop; the company under way finishes.
    void reject() override {
        stopAsked_ = true;
        stop_->setEnabled(false);
        label_->setText(label_->text().section('\n', 0, 0) +
                        QStringLiteral("\nInterruzione al termine dell'azienda in corso..."));
    }

private:
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* stop_;
    bool stopAsked_ = false;
};

// The messages of the session go to the window's message boxes; the answer "Apri cartella" to the
// message at the end of a PDF run is kept for the window, the run sees a plain OK.
class FRMST_FTESOR::Relay : public platform::MessageBoxes {
public:
    explicit Relay(platform::MessageBoxes& to) : to_(to) {}
    platform::Answer Show(const platform::Message& message) override {
        platform::Answer answer = to_.Show(message);
        if (message.title == kPdfDoneTitle && message.buttons == platform::Buttons::Ok) {
            openFolder = answer == platform::Answer::Yes;
            answer = platform::Answer::Ok;
        }
        return answer;
    }
    bool openFolder = false;

private:
    platform::MessageBoxes& to_;
};

FRMST_FTESOR::FRMST_FTESOR(app::Installation& installation, platform::MessageBoxes* messages, QWidget* parent)
    : QWidget(parent), openUrl_([](const QUrl& url) {
          std::string error;
          if (!platform::OpenDocument(url.toLocalFile().toStdString(), &error))
              std::cerr << "kvteso: " << error << "\n";
      }) {
    if (!messages) {
        ownMessages_ = std::make_unique<WindowMessageBoxes>(this);
        messages = ownMessages_.get();
    }
    relay_ = std::make_unique<Relay>(*messages);
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
    InitWindowResources();
    setObjectName(QStringLiteral("FRMST_FTESOR"));
    setWindowTitle(FromLegacy(app::kWindowCaption));
    setWindowIcon(QIcon(QStringLiteral(":/icons/crea_pdf.png")));
    setFont(SansSerif(8.25, false));
    BuildControls();
    // Ctrl+Shift+P works whichever control has the focus: the window sees every key first.
    qApp->installEventFilter(this);
}

FRMST_FTESOR::~FRMST_FTESOR() {
    qApp->removeEventFilter(this);
    if (busy_) QApplication::restoreOverrideCursor();
    session_->driver().SetObserver(nullptr);
}

void FRMST_FTESOR::BuildControls() {
    option1_ = new QButtonGroup(this);
    option1_->setObjectName(QStringLiteral("Option1"));
    option1_->setExclusive(true);
    for (const Control& c : kControls) {
        QWidget* parent = c.parent ? findChild<QWidget*>(QString::fromLatin1(c.parent)) : this;
        // The list options' captions are the catalogue's, in its order.
        const QString caption =
            FromLegacy(c.kind == Kind::Option
                           ? std::string(lists::AllLists()[static_cast<size_t>(option1_->buttons().size())].option)
                           : std::string(c.caption));
        QWidget* w = nullptr;
        switch (c.kind) {
        case Kind::Frame: w = new QGroupBox(caption, parent); break;
        case Kind::Label: w = new QLabel(caption, parent); break;
        case Kind::CheckBox: w = new QCheckBox(caption, parent); break;
        case Kind::Option: {
            auto* option = new QRadioButton(caption, parent);
            option1_->addButton(option, option1_->buttons().size());
            w = option;
            break;
        }
        case Kind::Line: {
            auto* line = new QFrame(parent);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            w = line;
            break;
        }
        case Kind::List: {
            auto* list = new QListWidget(parent);
            w = list;
            break;
        }
        case Kind::Command: {
            auto* button = new QToolButton(parent);
            button->setText(caption);
            button->setIcon(QIcon(QString::fromLatin1(IconOf(c.name))));
            button->setIconSize(QSize(32, 32));
            button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            w = button;
            break;
        }
        }
        w->setObjectName(QString::fromLatin1(c.name));
        w->setGeometry(Twips(c.left, c.top, c.width, c.height));
        if (c.points > 0) w->setFont(SansSerif(c.points, true));
    }
    frameSelezione_[0] = findChild<QGroupBox*>(QStringLiteral("FrameSelezione(0)"));
    check1_ = findChild<QCheckBox*>(QStringLiteral("Check1"));
    check2_ = findChild<QCheckBox*>(QStringLiteral("Check2"));
    list1_ = findChild<QListWidget*>(QStringLiteral("List1"));
    list1_->setSelectionMode(QAbstractItemView::MultiSelection);
    QFont courier;
    courier.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("Cousine")});
    courier.setStyleHint(QFont::Monospace);
    courier.setFixedPitch(true);
    courier.setPointSizeF(8.25);
    list1_->setFont(courier);
    list2_ = findChild<QListWidget*>(QStringLiteral("List2"));
    list2_->setSortingEnabled(true);
    list2_->addItem(QStringLiteral("lista utilizza da programma"));

    connect(check1_, &QCheckBox::toggled, this, [this](bool on) { InEvent([&] { Check1_Click(on); }); });
    for (int i = 0; i < 2; ++i)
        connect(findChild<QToolButton*>(QStringLiteral("CmdStampa(%1)").arg(i)), &QToolButton::clicked, this,
                [this, i] { InEvent([&] { CmdStampa_Click(i); }); });
    connect(findChild<QToolButton*>(QStringLiteral("CmdUscita(0)")), &QToolButton::clicked, this,
            [this] { InEvent([&] { CmdUscita_Click(0); }); });
}

void FRMST_FTESOR::Form_Load() {
    programName_ = "KVTESO";
    programCode_ = "KVST_FTESOR";
    app::Session::StartSteps steps;
    steps.afterInstallation = [this] { SizeAndCentre(); };
    steps.afterArchives = [this] { IMPOSTAZIONI(); };
    steps.afterCheck = [this] {
        printer_->LEGGISTAMPANTESTD();
        PULISCICAMPI();
    };
    if (!session_->Start(steps)) Form_Unload();
    LISTA_AZIENDE();
}

void FRMST_FTESOR::SizeAndCentre() {
    setFixedSize(Twips(0, 0, 7045, 7210).size());
    // The native window first, so that the frame geometry counts the borders where the platform knows them.
    create();
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
}

void FRMST_FTESOR::IMPOSTAZIONI() {
    for (QGroupBox* frame : frameSelezione_) {
        frame->hide();
        frame->setTitle({});
        frame->setGeometry(Twips(60, 0, 6925, 7150));
    }
    frameSelezione_[0]->show();
    list2_->clear();
    list2_->hide();
}

void FRMST_FTESOR::PULISCICAMPI() {
    // Check2 stays as the user set it: whether a workbook is wanted is a preference, not a choice of run.
    check1_->setChecked(false);
    option1_->button(0)->setChecked(true);
}

void FRMST_FTESOR::LISTA_AZIENDE() {
    list1_->clear();
    for (const std::string& line : session_->companyLines()) list1_->addItem(FromLegacy(line));
}

void FRMST_FTESOR::Check1_Click(bool checked) {
    if (checked) {
        list1_->selectAll();
        check1_->setText(QStringLiteral("Deseleziona tutte le aziende"));
    } else {
        list1_->clearSelection();
        check1_->setText(QStringLiteral("Seleziona tutte le aziende"));
    }
}

void FRMST_FTESOR::CmdStampa_Click(int index) {
    if (running_) return;
    app::ListJobRequest request;
    request.destination = index == 0 ? app::Destination::Pdf : app::Destination::Printer;
    request.list = lists::AllLists()[static_cast<size_t>(option1_->checkedId())].kind;
    // "Crea PDF" with Check2: the workbook hears the same lines as the PDF files get.
    request.workbook = index == 0 && check2_->isChecked();
    const std::vector<std::string>& codes = session_->companyCodes();
    for (int i = 0; i < list1_->count() && static_cast<size_t>(i) < codes.size(); ++i)
        if (list1_->item(i)->isSelected()) request.companies.push_back(codes[static_cast<size_t>(i)]);
    running_ = true;
    relay_->openFolder = false;
    struct RunEnd {
        FRMST_FTESOR* w;
        ~RunEnd() {
            w->running_ = false;
            delete w->progress_;
            w->progress_ = nullptr;
        }
    } runEnd{this};
    const app::ListJobResult job = app::RunListJob(*session_, request);
    ShowWorkbook(job);
    if (relay_->openFolder) OpenPdfFolder(job.outcome.files);
    // What the lists left out or read from damaged data, offered before the office files anything.
    if (job.anomalies.DamagedData() &&
        relay_->AskYesNo(app::kWindowCaption, job.anomalies.Question(), platform::Icon::Information))
        relay_->Inform(app::kWindowCaption, job.anomalies.ListText());
}

void FRMST_FTESOR::ShowWorkbook(const app::ListJobResult& job) {
    switch (job.workbook) {
    case app::WorkbookResult::RunIncomplete:
        relay_->Inform("Creazione file Excel", "Il file Excel non e' stato creato: l'elaborazione non e' terminata");
        break;
    case app::WorkbookResult::Written:
        relay_->Inform("Creazione file Excel", "Il file Excel e' stato creato in :\r\r" + job.workbookSuitePath);
        break;
    case app::WorkbookResult::Failed:
        relay_->Critical("Creazione file Excel", "Il file Excel non e' stato creato:\r" + job.workbookError);
        break;
    default: break;
    }
}

void FRMST_FTESOR::OpenPdfFolder(const std::vector<std::filesystem::path>& files) {
    // The files' own folder when they share one, else the top of the PDF tree.
    std::filesystem::path folder;
    for (const std::filesystem::path& file : files) {
        const std::filesystem::path parent = file.parent_path();
        if (folder.empty()) folder = parent;
        if (folder != parent) {
            folder.clear();
            break;
        }
    }
    if (folder.empty()) folder = session_->context().paths().ToHost(session_->pdfFiles().pdfRoot() + "\\FILE-PDF");
    openUrl_(QUrl::fromLocalFile(QString::fromStdString(folder.string())));
}

void FRMST_FTESOR::CmdUscita_Click(int) { session_->Leave(); }

void FRMST_FTESOR::Form_Unload() { CmdUscita_Click(0); }

void FRMST_FTESOR::Form_KeyDown(int keyCode, int shift) {
    if (keyCode != 80 || shift != 3) return;
    std::string name = programName_, code = programCode_;
    for (std::string* s : {&name, &code}) {
        *s = QString::fromStdString(*s).trimmed().toUpper().toStdString();
    }
    relay_->Inform(
        "Informazioni Progetto kvsPaghe",
        "Programma kvsPaghe\r\rNome EXE : " + name + ".EXE\rNome VBP : " + code + kProjectFileExtension + "\r");
}

void FRMST_FTESOR::closeEvent(QCloseEvent* event) {
    if (ended_) return event->accept();
    // Not in the middle of a run: its files and jobs would be cut short.
    if (running_) return event->ignore();
    InEvent([this] { Form_Unload(); });
    event->accept();
}

bool FRMST_FTESOR::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers m = key->modifiers();
        const int shift =
            (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
        if (key->key() == Qt::Key_P && shift == 3) {
            InEvent([&] { Form_KeyDown(80, shift); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FRMST_FTESOR::InEvent(const std::function<void()>& handler) {
    if (ended_) return;
    try {
        handler();
    } catch (const ProgramEnd& end) {
        End(end.exitCode);
    }
}

void FRMST_FTESOR::End(int exitCode) {
    ended_ = exitCode;
    Busy(false);
    hide();
    if (onEnd_) onEnd_(exitCode);
}

void FRMST_FTESOR::Busy(bool on) {
    if (on == busy_) return;
    busy_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool FRMST_FTESOR::BeforeCompany(int index, int count, const std::string& code) {
    if (progress_ && progress_->stopAsked()) return false;
    if (!progress_) {
        progress_ = new RunProgress(this);
        progress_->show();
    }
    const std::vector<std::string>& codes = session_->companyCodes();
    const auto at = std::find(codes.begin(), codes.end(), code);
    progress_->Company(index, count,
                       at == codes.end() ? code : session_->companyLines()[static_cast<size_t>(at - codes.begin())]);
    // The stop button is heard between companies.
    QCoreApplication::processEvents();
    return true;
}

}  // namespace kv::window
