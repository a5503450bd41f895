#include "platform/Paths.h"

#include <cctype>
#include <cstdlib>
#include <vector>

namespace kv::platform {

PathMap PathMap::FromEnvironment() {
    if (const char* r = std::getenv("KVTESO_ROOT"); r && *r) return PathMap(r);
    if (const char* h = std::getenv("HOME"); h && *h) return PathMap(std::filesystem::path(h) / ".kvteso");
    return PathMap(std::filesystem::path(".kvteso"));
}

namespace {

// Appends the names of rest to base, folding "." and ".."; false when a ".." climbs above base.
bool AppendFolded(std::filesystem::path& base, const std::string& rest) {
    std::vector<std::string> names;
    size_t at = 0;
    while (at <= rest.size()) {
        size_t end = rest.find('/', at);
        if (end == std::string::npos) end = rest.size();
        const std::string name = rest.substr(at, end - at);
        if (name == "..") {
            if (names.empty()) return false;
            names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        at = end + 1;
    }
    for (const std::string& name : names) base /= name;
    return true;
}

}  // namespace

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
        rest = p;
    }
    if (!AppendFolded(base, rest)) return {};
    return base.empty() ? std::filesystem::path(".") : base;
}

}  // namespace kv::platform
