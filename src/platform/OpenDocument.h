#pragma once
// Opening a file or a folder with the program the desktop associates with it (a PDF viewer, the file
// manager), as a double click would.
#include <filesystem>
#include <string>

namespace kv::platform {

// Starts the opening and returns without waiting for it. False, with the cause in *error, when it could
// not be started (no file manager on this desktop, a file that is not there).
bool OpenDocument(const std::filesystem::path& document, std::string* error);

}  // namespace kv::platform
