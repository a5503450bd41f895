#include "app/Installation.h"

#include <cstdlib>
#include <fstream>

#include "archive/InstallationSettings.h"
#include "archive/LegacyText.h"

namespace kv::app {

std::filesystem::path Installation::RegistryFile(const platform::PathMap& paths, const std::string& registry) {
    std::filesystem::path file = registry;
    if (file.empty())
        if (const char* env = std::getenv("KVTESO_REGISTRY"); env && *env) file = env;
    // A settings store lying at the root of the mapped drives belongs to that installation.
    if (file.empty() && std::filesystem::exists(paths.root() / "registry.ini")) file = paths.root() / "registry.ini";
    return file;  // empty: the user's store
}

std::filesystem::path Installation::ArchiveFolder(const platform::PathMap& paths,
                                                  const platform::RegistryReader& registry) {
    std::error_code ec;
    std::string folder =
        registry.ReadString(platform::Hive::CurrentUser, platform::kSuiteRegistryKey, "PERCORSOARCHIVI").value_or("");
    if (folder.empty() || !std::filesystem::is_directory(paths.ToHost(folder), ec)) {
        std::ifstream in(paths.ToHost(kArchivePathFile), std::ios::binary);
        folder.clear();
        std::getline(in, folder);
        folder = TrimBlanks(folder.substr(0, folder.find('\r')));
    }
    const std::filesystem::path host = folder.empty() ? std::filesystem::path() : paths.ToHost(folder);
    return std::filesystem::is_directory(host, ec) ? host : std::filesystem::path();
}

Installation::Installation(const std::string& root, const std::string& registry)
    : paths_(root.empty() ? platform::PathMap::FromEnvironment() : platform::PathMap(root)),
      registry_(RegistryFile(paths_, registry)),
      instance_(platform::SingleInstance::LockFileFor(paths_, "KVTESO"), ArchiveFolder(paths_, registry_)) {}

}  // namespace kv::app
