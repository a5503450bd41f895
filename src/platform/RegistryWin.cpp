#ifdef _WIN32
#include "platform/RegistryWin.h"

#include <windows.h>

#include <vector>

namespace kv::platform {

std::optional<std::string> WindowsRegistry::ReadString(Hive hive, const std::string& key,
                                                       const std::string& valueName) const {
    HKEY root = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<uint32_t>(hive)));
    HKEY handle = nullptr;
    if (RegOpenKeyA(root, key.c_str(), &handle) != ERROR_SUCCESS) return std::nullopt;
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

}  // namespace kv::platform
#endif
