#pragma once
// The Qt window's message boxes: QMessageBox with the suite's icons and buttons, texts converted from
// Windows-1252 and CR shown as a line break. The message at the end of a PDF run also offers
// "Apri cartella": pressing it answers Yes (the window then opens the folder of the files).
#include "platform/Messages.h"

class QWidget;

namespace kv::window {

class QtMessageBoxes : public platform::MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    platform::Answer Show(const platform::Message& message) override;

private:
    QWidget* parent_;
};

}  // namespace kv::window
