#pragma once
// The registry kept in an INI file through QSettings, for hosts without a Windows registry.
// A key path such as "SOFTWARE\VELMORA\KVSPAGHE" is the settings group "SOFTWARE/VELMORA/KVSPAGHE"
// (the same mapping QSettings uses for the native registry), under the current user's hive only.
// Values are stored as UTF-8 text and handed to the program as Windows-1252 bytes.
// A value that QSettings does not give back as a plain string (a list, binary data) reads as missing.
#include <filesystem>
#include <memory>

#include "platform/Registry.h"

class QSettings;

namespace kv::platform {

class QtSettingsRegistry : public RegistryReader {
public:
    // Uses the INI file at iniPath; an empty path means DefaultPath().
    explicit QtSettingsRegistry(std::filesystem::path iniPath = {});
    ~QtSettingsRegistry() override;
    QtSettingsRegistry(const QtSettingsRegistry&) = delete;
    QtSettingsRegistry& operator=(const QtSettingsRegistry&) = delete;

    std::optional<std::string> ReadString(Hive hive, const std::string& key,
                                          const std::string& valueName) const override;
    // For set-up tools and tests: stores a text value (Windows-1252 bytes) and writes the file.
    void WriteString(Hive hive, const std::string& key, const std::string& valueName, const std::string& value);

    // <config location>/KvsPaghe/registry.ini
    static std::filesystem::path DefaultPath();
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::unique_ptr<QSettings> settings_;
};

}  // namespace kv::platform
