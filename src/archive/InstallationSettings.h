#pragma once
// The installation loader: finds the suite's archive and programs folders (registry first, then the
// suite's path files), reads the task line and terminal number, and the installation's name.
#include <functional>
#include <string>

#include "archive/ArchiveFiles.h"
#include "archive/ErrorHandler.h"
#include "archive/Settings.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace kv {

inline constexpr const char* kArchivePathFile = "C:\\RARADADE\\SLPERARK.SLP";
inline constexpr const char* kProgramsPathFile = "C:\\RARADADE\\SLPERPRO.SLP";
inline constexpr const char* kConfigurationError =
    "ERRORE DI CONFIGURAZIONE! CONTROLLARE I PERCORSI DI KvsPaghe CON IL PROGRAMMA SENTIERO";

// An open registry key as LEGGIVALOREREG takes it.
struct RegistryKey {
    platform::Hive hive;
    std::string path;
};

class InstallationSettings {
public:
    // anotherCopyRunning answers whether another copy of the program is running (empty: never).
    InstallationSettings(Settings& settings, ArchiveFiles& files, const platform::RegistryReader& registry,
                         std::function<bool()> anotherCopyRunning = {});

    // Registry variant: takes both folders from the suite's registry key when both exist; otherwise
    // returns with the archive folder empty.
    void CARICAINST();
    // Path-file variant: takes the folders from SLPERARK.SLP and SLPERPRO.SLP; missing or empty
    // files give the configuration error, which ends the program.
    void CARICAINST_FILE();

    // The text value, or an empty text when the key or the value is missing or not text.
    std::string LEGGIREGISTRO(platform::Hive root, const std::string& key, const std::string& name) const;
    std::string LEGGIVALOREREG(const RegistryKey& key, const std::string& name) const;

private:
    void EndWhenAnotherCopyRuns();
    void LoadTaskAndInstallation();  // steps common to both variants
    bool FolderExists(const std::string& folder) const;
    // The first line of a text file (suite path), without its line end; empty for an empty file.
    std::string FirstLine(const std::string& path) const;
    [[noreturn]] void ConfigurationError();

    Settings& settings_;
    ArchiveFiles& files_;
    const platform::RegistryReader& registry_;
    std::function<bool()> anotherCopyRunning_;
};

}  // namespace kv
