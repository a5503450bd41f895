#pragma once
// The registry as the installation loader sees it: text values under a key of a hive.
// The host's store is SettingsStore: the registry itself on Windows, an INI file elsewhere.
#include <cstdint>
#include <optional>
#include <string>

namespace kv::platform {

// The suite's key under the current user's hive.
inline constexpr const char* kSuiteRegistryKey = "SOFTWARE\\VELMORA\\KVSPAGHE";

// The predefined hives, with the handle values the Windows API gives them.
enum class Hive : uint32_t { ClassesRoot = 0x80000000u, CurrentUser = 0x80000001u, LocalMachine = 0x80000002u };

class RegistryReader {
public:
    virtual ~RegistryReader() = default;
    // The text value valueName of key (a "\"-separated key path under hive). nullopt when the key or
    // the value is missing, or when the value is not a text value.
    virtual std::optional<std::string> ReadString(Hive hive, const std::string& key,
                                                  const std::string& valueName) const = 0;
};

}  // namespace kv::platform
