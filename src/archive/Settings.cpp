#include "archive/Settings.h"

#include "archive/LegacyText.h"

namespace kv {

std::string Settings::TaskFile() const {
    if (UpperCp1252(programName).rfind("KV", 0) == 0) return "C:\\KVSTASK\\KVSTASK.INI";
    return "C:\\RARADADE\\SLCOMUNE.SLP";
}

}  // namespace kv
