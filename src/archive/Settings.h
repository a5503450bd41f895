#pragma once
// The installation settings kept for the whole run: where the suite's archives and programs are,
// which terminal the program runs on, and the installation's name. Folders are the suite's own
// Windows-style texts ("C:\KVS\ARCHIVI"); they are mapped to host paths only when a file is touched.
#include <string>

namespace kv {

struct Settings {
    std::string programName = "KVTESO";
    std::string programCode = "KVST_FTESOR";
    std::string archiveFolder;  // no trailing "\" expected
    std::string programsFolder;
    std::string taskLine;  // first line of the task file, as read
    std::string terminalNumber;  // first two characters of the task line, trimmed
    std::string installationName;

    // The task file of this program: "C:\KVSTASK\KVSTASK.INI" for programs whose name begins with
    // "KV", else "C:\RARADADE\SLCOMUNE.SLP".
    std::string TaskFile() const;
};

}  // namespace kv
