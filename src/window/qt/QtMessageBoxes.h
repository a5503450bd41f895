#pragma once
// The Qt window's message boxes: QMessageBox with the suite's icons and Italian buttons, texts
// converted from Windows-1252 and CR shown as a line break.
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
