#pragma once
// The Windows window's message boxes: MessageBoxA with the suite's icons and Italian buttons, texts in
// Windows-1252 as the program keeps them, a CR as a line break.
#include <windows.h>

#include "platform/Messages.h"

namespace kv::window {

class Win32MessageBoxes : public platform::MessageBoxes {
public:
    explicit Win32MessageBoxes(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }
    platform::Answer Show(const platform::Message& message) override;

private:
    HWND owner_;
};

}  // namespace kv::window
