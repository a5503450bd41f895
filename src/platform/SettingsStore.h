#pragma once
// The settings store that stands for the registry: on Windows the registry of the current user
// itself; elsewhere an INI file read through QSettings.
//
// In the INI file a key path such as "SOFTWARE\VELMORA\KVSPAGHE" is the settings group
// "SOFTWARE/VELMORA/KVSPAGHE" (the same mapping QSettings uses for the native registry), under the
// current user's hive only. Values are stored as UTF-8 text and handed to the program as
// Windows-1252 bytes. A value that is not a plain string (a list, binary data) reads as missing.
#include <filesystem>
#include <memory>

#include "platform/Registry.h"

namespace kv::platform {

class SettingsStore : public RegistryReader {
public:
    // Uses the INI file at iniPath (an empty path means DefaultPath()); on Windows the path is not used.
    explicit SettingsStore(std::filesystem::path iniPath = {});
    ~SettingsStore() override;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    std::optional<std::string> ReadString(Hive hive, const std::string& key,
                                          const std::string& valueName) const override;
    // For set-up tools and tests: stores a text value (Windows-1252 bytes).
    void WriteString(Hive hive, const std::string& key, const std::string& valueName, const std::string& value);

    // <config location>/KvsPaghe/registry.ini; on Windows the registry of the current user.
    static std::filesystem::path DefaultPath();
    const std::filesystem::path& path() const { return path_; }

private:
    struct Store;
    std::filesystem::path path_;
    std::unique_ptr<Store> store_;
};

}  // namespace kv::platform
