#include "window/qt/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/Encoding.h"
#include "window/ControlTable.h"

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
    using platform::Answer;
    using platform::Buttons;
    QMessageBox box(IconOf(message.icon), FromLegacy(message.title), FromLegacy(message.text), QMessageBox::NoButton,
                    parent_);
    // The buttons speak Italian whatever the system's language: named here, not by the toolkit.
    if (message.buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.button(QMessageBox::Yes)->setText(FromLegacy(kYesCaption));
        box.button(QMessageBox::No)->setText(FromLegacy(kNoCaption));
    } else {
        // OK, the default, is the answer to Escape; the summary's other buttons come before it.
        const bool folder = message.buttons == Buttons::OkOpenFolder || message.buttons == Buttons::OkOpenFolderList;
        const bool list = message.buttons == Buttons::OkList || message.buttons == Buttons::OkOpenFolderList;
        if (folder) box.addButton(FromLegacy(kOpenFolderCaption), QMessageBox::ActionRole)->setObjectName("folder");
        if (list) box.addButton(FromLegacy(kShowListCaption), QMessageBox::ActionRole)->setObjectName("list");
        QPushButton* ok = box.addButton(FromLegacy(kOkCaption), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
    }
    // A message during a run shows the normal pointer, not the hourglass.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    if (busy) QApplication::restoreOverrideCursor();
    if (message.buttons == Buttons::YesNo) return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
    const QString pressed = box.clickedButton() ? box.clickedButton()->objectName() : QString();
    return pressed == "folder" ? Answer::OpenFolder : pressed == "list" ? Answer::ShowList : Answer::Ok;
}

}  // namespace kv::window
