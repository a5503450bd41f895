#include "platform/Paths.h"

#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/FileAccess.h"

namespace kv::platform {

PathMap PathMap::FromEnvironment() {
    if (NativeDrives()) return PathMap({});
    if (const char* r = std::getenv("KVTESO_ROOT"); r && *r) return PathMap(r);
    if (const char* h = std::getenv("HOME"); h && *h) return PathMap(std::filesystem::path(h) / ".kvteso");
    return PathMap(std::filesystem::path(".kvteso"));
}

namespace {

// Appends the names of rest to base, folding "." and ".."; false when a ".." climbs above base.
bool AppendFolded(std::string& base, const std::string& rest) {
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
    for (const std::string& name : names) base += (base.empty() || base.back() == '/' ? "" : "/") + name;
    return true;
}

}  // namespace

std::filesystem::path PathMap::ToHost(const std::string& windowsPath) const {
    std::string p = windowsPath;
    if (p.empty()) return {};
    if (p.front() == '/' && !NativeDrives()) {  // already a host path: one inside the mapped drives
        const std::filesystem::path host = std::filesystem::path(p).lexically_normal();
        const std::filesystem::path inside = host.lexically_relative(root_.lexically_normal());
        return !root_.empty() && !inside.empty() && *inside.begin() != ".." ? host : std::filesystem::path();
    }
    for (char& c : p)
        if (c == '\\') c = '/';
    // base: the root's drive folder, or the drive itself when there is no root.
    std::string base;
    std::string rest;
    if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) {
        const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(p[0])));
        base = root_.empty() ? std::string{drive, ':', '/'} : std::string(1, drive);
        rest = p.substr(2);
    } else if (p.size() >= 2 && p[0] == '/' && p[1] == '/') {
        base = root_.empty() ? "//" : "UNC";
        rest = p.substr(2);
    } else if (p[0] == '/') {
        base = root_.empty() ? "/" : "C";
        rest = p;
    } else {
        rest = p;
    }
    // A path without a drive would be the current folder's: not a place of the installation.
    if (base.empty() || !AppendFolded(base, rest)) return {};
    return root_.empty() ? NativePath(base) : root_ / NativePath(base);
}

std::filesystem::path PathMap::FromSuite(const std::string& suitePath) const {
    return ToHost(HostNameBytes(suitePath));
}

}  // namespace kv::platform
