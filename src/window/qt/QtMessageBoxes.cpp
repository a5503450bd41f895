#include "window/qt/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/RunDriver.h"
#include "platform/Encoding.h"

namespace kv::window {

namespace {
QString FromLegacy(const std::string& bytes) {
    std::string text = platform::Cp1252ToUtf8(bytes);
    for (char& c : text)
        if (c == '\r') c = '\n';
    return QString::fromStdString(text);
}

QMessageBox::Icon IconOf(platform::Icon icon) {
    switch (icon) {
    case platform::Icon::Information: return QMessageBox::Information;
    case platform::Icon::Critical: return QMessageBox::Critical;
    case platform::Icon::Exclamation: return QMessageBox::Warning;
    case platform::Icon::Question: return QMessageBox::Question;
    case platform::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

platform::Answer QtMessageBoxes::Show(const platform::Message& message) {
    QMessageBox box(IconOf(message.icon), FromLegacy(message.title), FromLegacy(message.text), QMessageBox::NoButton,
                    parent_);
    QAbstractButton* openFolder = nullptr;
    if (message.buttons == platform::Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        if (message.title == app::kPdfDoneTitle)
            openFolder = box.addButton(QStringLiteral("Apri cartella"), QMessageBox::ActionRole);
    }
    // A message during a run shows the normal pointer, not the hourglass.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    if (busy) QApplication::restoreOverrideCursor();
    if (openFolder && box.clickedButton() == openFolder) return platform::Answer::Yes;
    if (message.buttons == platform::Buttons::YesNo)
        return result == QMessageBox::Yes ? platform::Answer::Yes : platform::Answer::No;
    return platform::Answer::Ok;
}

}  // namespace kv::window
