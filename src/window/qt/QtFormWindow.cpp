#include "window/qt/QtFormWindow.h"

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
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/Extraction.h"
#include "archive/Errors.h"
#include "lists/ListCatalogue.h"
#include "platform/Encoding.h"
#include "platform/OpenDocument.h"
#include "window/ControlTable.h"
#include "window/qt/QtMessageBoxes.h"

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

}  // namespace

// The run's progress: which company of how many, and a way to stop after the one under way.
class RunProgress : public QDialog {
public:
    explicit RunProgress(QWidget* parent) : QDialog(parent) {
        setObjectName(QStringLiteral("RunProgress"));
        setWindowTitle(FromLegacy(kProgressTitle));
        setWindowModality(Qt::WindowModal);
        auto* layout = new QVBoxLayout(this);
        label_ = new QLabel(this);
        bar_ = new QProgressBar(this);
        stop_ = new QPushButton(FromLegacy(kStopCaption), this);
        stop_->setObjectName(QStringLiteral("Interrompi"));
        layout->addWidget(label_);
        layout->addWidget(bar_);
        layout->addWidget(stop_, 0, Qt::AlignRight);
        connect(stop_, &QPushButton::clicked, this, [this] { reject(); });
        setMinimumWidth(360);
    }
    void Company(int index, int count, const std::string& text) {
        bar_->setRange(0, count);
        bar_->setValue(index - 1);
        if (!stopAsked_) label_->setText(FromLegacy(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    }
    bool stopAsked() const { return stopAsked_; }
    // The last company done: the bar full, drawn before the dialog goes.
    void Finish() {
        bar_->setValue(bar_->maximum());
        bar_->repaint();
    }
    // The stop button, Esc and the close box all ask to stop; the company under way finishes.
    void reject() override {
        stopAsked_ = true;
        stop_->setEnabled(false);
        stop_->setText(FromLegacy(kStopAskedCaption));
        label_->setText(label_->text().section('\n', 0, 0) + QLatin1Char('\n') + FromLegacy(kStoppingText));
    }

private:
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* stop_;
    bool stopAsked_ = false;
};

QtFormWindow::QtFormWindow(app::Installation& installation, platform::MessageBoxes* messages, QWidget* parent)
    : QWidget(parent), openFolder_([](const std::filesystem::path& folder, std::string* error) {
          const bool opened = platform::OpenDocument(folder, error);
          if (!opened) *error = platform::Utf8ToCp1252(*error);
          return opened;
      }) {
    if (!messages) {
        ownMessages_ = std::make_unique<QtMessageBoxes>(this);
        messages = ownMessages_.get();
    }
    FormView& view = *this;
    form_ = std::make_unique<FRMST_FTESOR>(installation, *messages, view);
    InitWindowResources();
    setObjectName(QStringLiteral("FRMST_FTESOR"));
    setWindowTitle(FromLegacy(app::kWindowCaption));
    setWindowIcon(QIcon(QStringLiteral(":/icons/crea_pdf.png")));
    setFont(SansSerif(8.25, false));
    BuildControls();
    // Ctrl+Shift+P works whichever control has the focus: the window sees every key first.
    qApp->installEventFilter(this);
}

QtFormWindow::~QtFormWindow() {
    qApp->removeEventFilter(this);
    form_.reset();
    if (busy_) QApplication::restoreOverrideCursor();
}

void QtFormWindow::BuildControls() {
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
        case Kind::List: w = new QListWidget(parent); break;
        case Kind::Command: {
            auto* button = new QToolButton(parent);
            button->setText(caption);
            button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QString::fromLatin1(c.picture))));
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

    FRMST_FTESOR& f = *form_;
    connect(check1_, &QCheckBox::toggled, this, [&f](bool on) { f.InEvent([&] { f.Check1_Click(on); }); });
    for (int i = 0; i < 2; ++i)
        connect(findChild<QToolButton*>(QStringLiteral("CmdStampa(%1)").arg(i)), &QToolButton::clicked, this,
                [&f, i] { f.InEvent([&] { f.CmdStampa_Click(i); }); });
    connect(findChild<QToolButton*>(QStringLiteral("CmdUscita(0)")), &QToolButton::clicked, this,
            [&f] { f.InEvent([&] { f.CmdUscita_Click(0); }); });
}

void QtFormWindow::SizeAndCentre() {
    setFixedSize(Twips(0, 0, kFormWidthTwips, kFormHeightTwips).size());
    // The native window first, so that the frame geometry counts the borders where the platform knows them.
    create();
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
}

void QtFormWindow::ShowSelectionFrame() {
    for (QGroupBox* frame : frameSelezione_) {
        frame->hide();
        frame->setTitle({});
        frame->setGeometry(Twips(60, 0, 6925, 7150));
    }
    frameSelezione_[0]->show();
    list2_->clear();
    list2_->hide();
}

void QtFormWindow::SetCompanyLines(const std::vector<std::string>& lines) {
    list1_->clear();
    for (const std::string& line : lines) list1_->addItem(FromLegacy(line));
}

void QtFormWindow::SelectCompanies(const std::vector<int>& rows) {
    list1_->clearSelection();
    for (int row : rows) list1_->item(row)->setSelected(true);
}

std::vector<int> QtFormWindow::SelectedCompanies() const {
    std::vector<int> rows;
    for (int i = 0; i < list1_->count(); ++i)
        if (list1_->item(i)->isSelected()) rows.push_back(i);
    return rows;
}

void QtFormWindow::SetCheck1(bool checked, const std::string& caption) {
    const QSignalBlocker quiet(check1_);  // the form calls its click itself
    check1_->setChecked(checked);
    check1_->setText(FromLegacy(caption));
}

bool QtFormWindow::Check1() const { return check1_->isChecked(); }
bool QtFormWindow::Check2() const { return check2_->isChecked(); }
int QtFormWindow::CheckedOption() const { return option1_->checkedId(); }
void QtFormWindow::CheckOption(int index) { option1_->button(index)->setChecked(true); }

void QtFormWindow::Busy(bool on) {
    if (on == busy_) return;
    busy_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool QtFormWindow::Progress(int index, int count, const std::string& text) {
    if (progress_ && progress_->stopAsked()) return false;
    if (!progress_) {
        progress_ = new RunProgress(this);
        progress_->show();
    }
    progress_->Company(index, count, text);
    // The stop button is heard between companies.
    QCoreApplication::processEvents();
    return true;
}

void QtFormWindow::EndProgress() {
    if (progress_) progress_->Finish();
    delete progress_;
    progress_ = nullptr;
}

bool QtFormWindow::OpenFolder(const std::filesystem::path& folder, std::string* error) {
    return openFolder_(folder, error);
}

void QtFormWindow::Ended(int exitCode) {
    hide();
    if (onEnd_) onEnd_(exitCode);
}

void QtFormWindow::closeEvent(QCloseEvent* event) {
    if (form_->QueryUnload())
        event->accept();
    else
        event->ignore();
}

bool QtFormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers m = key->modifiers();
        const int shift =
            (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
        if (key->key() == Qt::Key_P && shift == 3) {
            form_->InEvent([&] { form_->Form_KeyDown(80, shift); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kv::window
