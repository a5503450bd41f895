#pragma once
// Where the program finds the payroll suite on this host, the same for the window and the batch run:
// the root standing for the Windows drives, the settings store standing for the registry, and the
// lock that tells whether another copy runs on this root or on the same archive folder.
#include <filesystem>
#include <string>

#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "platform/SingleInstance.h"

namespace kv::app {

class Installation {
public:
    // root: the folder of the drives (empty: $KVTESO_ROOT, else ~/.kvteso). registry: the settings
    // store file (empty: $KVTESO_REGISTRY, else registry.ini in the root when there is one, else the
    // user's). Takes the single-copy lock for as long as the object lives.
    explicit Installation(const std::string& root = {}, const std::string& registry = {});
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    const platform::PathMap& paths() const { return paths_; }
    const platform::SettingsStore& registry() const { return registry_; }
    bool AnotherCopyRunning() const { return instance_.AnotherRunning(); }

    static std::filesystem::path RegistryFile(const platform::PathMap& paths, const std::string& registry);
    // The archive folder on this host as the program will find it (the settings store, else the
    // path file of the suite); empty when there is none yet.
    static std::filesystem::path ArchiveFolder(const platform::PathMap& paths,
                                               const platform::RegistryReader& registry);

private:
    platform::PathMap paths_;
    platform::SettingsStore registry_;
    platform::SingleInstance instance_;
};

}  // namespace kv::app
