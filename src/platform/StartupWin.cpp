#include <windows.h>

#include <clocale>
#include <cstdlib>

#include "platform/Startup.h"

namespace kv::platform {

namespace {
UINT keptConsolePage = 0;
void RestoreConsole() { SetConsoleOutputCP(keptConsolePage); }
}  // namespace

void PrepareProcess() {
    std::setlocale(LC_CTYPE, ".ACP");
    // The terminal text is UTF-8; a console shows it in that code page while the program runs.
    if (GetConsoleWindow() != nullptr && (keptConsolePage = GetConsoleOutputCP()) != 0 && keptConsolePage != CP_UTF8) {
        SetConsoleOutputCP(CP_UTF8);
        std::atexit(RestoreConsole);
    }
}

const char* const kNoWindowReason = "no desktop to open the window on";

}  // namespace kv::platform
