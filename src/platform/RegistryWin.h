#pragma once
// The Windows registry itself (built on Windows only).
#ifdef _WIN32
#include "platform/Registry.h"

namespace kv::platform {

class WindowsRegistry : public RegistryReader {
public:
    std::optional<std::string> ReadString(Hive hive, const std::string& key,
                                          const std::string& valueName) const override;
};

}  // namespace kv::platform
#endif
