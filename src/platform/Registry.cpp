#include "platform/Registry.h"

#include <cctype>

namespace kv::platform {

std::string MemoryRegistry::Id(Hive hive, const std::string& key, const std::string& valueName) {
    std::string id = std::to_string(static_cast<uint32_t>(hive)) + "|" + key + "|" + valueName;
    for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return id;
}

std::optional<std::string> MemoryRegistry::ReadString(Hive hive, const std::string& key,
                                                      const std::string& valueName) const {
    auto it = values_.find(Id(hive, key, valueName));
    if (it == values_.end() || !it->second.isText) return std::nullopt;
    return it->second.text;
}

void MemoryRegistry::SetString(Hive hive, const std::string& key, const std::string& valueName, std::string value) {
    values_[Id(hive, key, valueName)] = Entry{true, std::move(value)};
}

void MemoryRegistry::SetNonText(Hive hive, const std::string& key, const std::string& valueName) {
    values_[Id(hive, key, valueName)] = Entry{false, {}};
}

void MemoryRegistry::Remove(Hive hive, const std::string& key, const std::string& valueName) {
    values_.erase(Id(hive, key, valueName));
}

}  // namespace kv::platform
