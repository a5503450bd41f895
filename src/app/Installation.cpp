#include "app/Installation.h"

#include <cstdlib>

namespace kv::app {

std::filesystem::path Installation::RegistryFile(const platform::PathMap& paths, const std::string& registry) {
    std::filesystem::path file = registry;
    if (file.empty())
        if (const char* env = std::getenv("KVTESO_REGISTRY"); env && *env) file = env;
    // A settings store lying at the root of the mapped drives belongs to that installation.
    if (file.empty() && std::filesystem::exists(paths.root() / "registry.ini")) file = paths.root() / "registry.ini";
    return file;  // empty: the user's store
}

Installation::Installation(const std::string& root, const std::string& registry)
    : paths_(root.empty() ? platform::PathMap::FromEnvironment() : platform::PathMap(root)),
      registry_(RegistryFile(paths_, registry)),
      instance_(platform::SingleInstance::LockFileFor(paths_, "KVTESO")) {}

}  // namespace kv::app
