#include "archive/InstallationSettings.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "archive/LegacyText.h"

namespace kv {

InstallationSettings::InstallationSettings(Settings& settings, ArchiveFiles& files,
                                           const platform::RegistryReader& registry,
                                           std::function<bool()> anotherCopyRunning)
    : settings_(settings), files_(files), registry_(registry), anotherCopyRunning_(std::move(anotherCopyRunning)) {}

std::string InstallationSettings::LEGGIVALOREREG(const RegistryKey& key, const std::string& name) const {
    try {
        std::optional<std::string> value = registry_.ReadString(key.hive, key.path, name);
        if (!value) return {};
        const size_t nul = value->find('\0');
        return nul == std::string::npos ? *value : value->substr(0, nul);
    } catch (...) {
        return {};  // errors are ignored: the value reads as missing
    }
}

std::string InstallationSettings::LEGGIREGISTRO(platform::Hive root, const std::string& key,
                                                const std::string& name) const {
    return LEGGIVALOREREG(RegistryKey{root, key}, name);
}

void InstallationSettings::EndWhenAnotherCopyRuns() {
    if (anotherCopyRunning_ && anotherCopyRunning_()) throw ProgramEnd{0};
}

bool InstallationSettings::FolderExists(const std::string& folder) const {
    if (folder.empty()) return false;
    std::error_code ec;
    return std::filesystem::is_directory(files_.HostPath(folder), ec);
}

std::string InstallationSettings::FirstLine(const std::string& path) const {
    const std::filesystem::path host = files_.HostPath(path);
    std::ifstream in(host, std::ios::binary);
    if (!in) {
        std::error_code ec;
        throw RuntimeError(std::filesystem::exists(host, ec) ? err::PathFileAccess : err::FileNotFound);
    }
    // A folder's path: printable Windows-1252 text no longer than Windows' paths; anything else is a
    // damaged file, named as such.
    constexpr size_t kLongestPath = 260;
    std::string line;
    char c;
    while (in.get(c) && c != '\r' && c != '\n') {
        if (static_cast<unsigned char>(c) < 0x20 || line.size() == kLongestPath)
            throw RuntimeError(
                err::PathFileAccess,
                DescriptionOf(err::PathFileAccess) + " - " + path +
                    (line.size() == kLongestPath ? " holds a line longer than a path" : " holds control characters"));
        line += c;
    }
    if (in.bad()) throw RuntimeError(err::DeviceIo);
    return line;
}

void InstallationSettings::ConfigurationError() {
    files_.errors().messages().Critical(kSuiteTitle, kConfigurationError);
    throw ProgramEnd{1};
}

void InstallationSettings::LoadTaskAndInstallation() {
    settings_.taskLine = FirstLine(settings_.TaskFile());
    settings_.terminalNumber = TrimBlanks(std::string_view(settings_.taskLine).substr(0, 2));

    files_.FAIOPEN(archive::Installation);
    files_.LEGGIREC(archive::Installation, 1);
    const std::string& record = files_.buffer(archive::Installation);
    settings_.installationName = UpperCp1252(TrimBlanks(std::string_view(record).substr(0, 30)));
    files_.CHIUDI(archive::Installation);
}

void InstallationSettings::CARICAINST() {
    ErrorHandler& errors = files_.errors();
    errors.trace().TRACCIA("CARICAINST");
    EndWhenAnotherCopyRuns();
    errors.Guard("CARICAINST", [&] {
        const std::string programs =
            LEGGIREGISTRO(platform::Hive::CurrentUser, platform::kSuiteRegistryKey, "PERCORSOPROGRAMMI");
        const std::string archives =
            LEGGIREGISTRO(platform::Hive::CurrentUser, platform::kSuiteRegistryKey, "PERCORSOARCHIVI");
        if (!FolderExists(programs) || !FolderExists(archives)) return;
        settings_.archiveFolder = archives;
        settings_.programsFolder = programs;
        LoadTaskAndInstallation();
    });
}

void InstallationSettings::CARICAINST_FILE() {
    ErrorHandler& errors = files_.errors();
    errors.trace().TRACCIA("CARICAINST");
    EndWhenAnotherCopyRuns();
    if (!files_.ESISTEFILE(kArchivePathFile) || !files_.ESISTEFILE(kProgramsPathFile)) ConfigurationError();
    errors.Guard("CARICAINST", [&] {
        const std::string archives = TrimBlanks(FirstLine(kArchivePathFile));
        if (archives.empty()) ConfigurationError();
        const std::string programs = TrimBlanks(FirstLine(kProgramsPathFile));
        if (programs.empty()) ConfigurationError();
        settings_.archiveFolder = archives;
        settings_.programsFolder = programs;
        LoadTaskAndInstallation();
    });
}

}  // namespace kv
