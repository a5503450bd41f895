// Opening a document on Windows: the shell's "open" verb, as the Explorer's double click.
#include <windows.h>
// shellapi.h needs the types windows.h declares.
#include <shellapi.h>

#include "platform/FileAccess.h"
#include "platform/OpenDocument.h"

namespace kv::platform {

bool OpenDocument(const std::filesystem::path& document, std::string* error) {
    const std::string path = NarrowPath(document);
    // ShellExecute returns a value above 32 when the program was started, an error code otherwise.
    const auto rc =
        reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (rc > 32) return true;
    if (error) {
        switch (rc) {
        case SE_ERR_FNF:
        case SE_ERR_PNF: *error = path + ": file non trovato"; break;
        case SE_ERR_NOASSOC: *error = path + ": nessun programma associato"; break;
        case SE_ERR_ACCESSDENIED: *error = path + ": accesso negato"; break;
        default: *error = path + ": apertura non riuscita (codice " + std::to_string(rc) + ")"; break;
        }
    }
    return false;
}

}  // namespace kv::platform
