#pragma once
// Where the suite's fixed Windows paths live on this host.
//
// The program keeps every path as the suite writes it ("C:\RARADADE\SLPERARK.SLP",
// "<archive folder>\D012A05.DAT", "\\SERVER\SHARE\X.DAT") and converts only when it touches the
// file system. A drive letter X: maps to <root>/X, a share \\server\share to <root>/UNC/server/share,
// a path from the current drive ("\FOLDER") to <root>/C, and backslashes become "/". A path that
// already starts with "/" is a host path and is left as it is; a relative path stays relative.
// "." and ".." are folded as names: a ".." that would climb above the drive (or above the start of
// a relative path) leaves the installation, and such a path maps to nothing.
#include <filesystem>
#include <string>

namespace kv::platform {

class PathMap {
public:
    explicit PathMap(std::filesystem::path root) : root_(std::move(root)) {}
    // Root from the environment: KVTESO_ROOT, else $HOME/.kvteso, else ./.kvteso.
    static PathMap FromEnvironment();

    const std::filesystem::path& root() const { return root_; }
    // The host path, or an empty path when windowsPath is empty or would leave the installation.
    std::filesystem::path ToHost(const std::string& windowsPath) const;

private:
    std::filesystem::path root_;
};

}  // namespace kv::platform
