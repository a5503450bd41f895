#include "platform/Paths.h"

#include <cctype>
#include <cstdlib>

namespace kv::platform {

PathMap PathMap::FromEnvironment() {
    if (const char* r = std::getenv("KVTESO_ROOT"); r && *r) return PathMap(r);
    if (const char* h = std::getenv("HOME"); h && *h) return PathMap(std::filesystem::path(h) / ".kvteso");
    return PathMap(std::filesystem::path(".kvteso"));
}

std::filesystem::path PathMap::ToHost(const std::string& windowsPath) const {
    std::string p = windowsPath;
    if (p.empty()) return {};
    if (p.front() == '/') return std::filesystem::path(p);  // already a host path
    for (char& c : p)
        if (c == '\\') c = '/';
    std::filesystem::path base;
    std::string rest;
    if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) {
        base = root_ / std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(p[0]))));
        rest = p.substr(2);
    } else if (p.size() >= 2 && p[0] == '/' && p[1] == '/') {
        base = root_ / "UNC";
        rest = p.substr(2);
    } else if (p[0] == '/') {
        base = root_ / "C";
        rest = p;
    } else {
        return std::filesystem::path(p);
    }
    size_t start = rest.find_first_not_of('/');
    if (start == std::string::npos) return base;
    return base / rest.substr(start);
}

}  // namespace kv::platform
