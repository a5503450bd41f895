#include <windows.h>

#include <vector>

#include "platform/SettingsStore.h"

namespace kv::platform {

namespace {
HKEY Root(Hive hive) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<uint32_t>(hive))); }
}  // namespace

struct SettingsStore::Store {};

SettingsStore::SettingsStore(std::filesystem::path) : path_(DefaultPath()) {}

SettingsStore::~SettingsStore() = default;

std::filesystem::path SettingsStore::DefaultPath() {
    return std::filesystem::path("HKEY_CURRENT_USER") / kSuiteRegistryKey;
}

std::optional<std::string> SettingsStore::ReadString(Hive hive, const std::string& key,
                                                     const std::string& valueName) const {
    HKEY handle = nullptr;
    if (RegOpenKeyA(Root(hive), key.c_str(), &handle) != ERROR_SUCCESS) return std::nullopt;
    std::optional<std::string> result;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(handle, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        std::vector<char> buffer(size + 1, '\0');
        if (RegQueryValueExA(handle, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                             &size) == ERROR_SUCCESS)
            result = std::string(buffer.data());  // up to the first NUL
    }
    RegCloseKey(handle);
    return result;
}

void SettingsStore::WriteString(Hive hive, const std::string& key, const std::string& valueName,
                                const std::string& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyA(Root(hive), key.c_str(), &handle) != ERROR_SUCCESS) return;
    RegSetValueExA(handle, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
}

}  // namespace kv::platform
