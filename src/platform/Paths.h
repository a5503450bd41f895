#pragma once
// Where the suite's fixed Windows paths live on this host.
//
// The program keeps every path as the suite writes it ("C:\RARADADE\SLPERARK.SLP",
// "<archive folder>\D012A05.DAT", "\\SERVER\SHARE\X.DAT") and converts only when it touches the
// file system. Under a root (always on POSIX; on Windows only when one is given), a drive letter X:
// maps to <root>/X, a share \\server\share to <root>/UNC/server/share, a path from the current drive
// ("\FOLDER") to <root>/C. Without a root (Windows) the drives and shares are the host's own. A path
// that already starts with "/" is a host path, kept when it lies under the root. "." and ".." are
// folded as names. A path that leaves the installation maps to nothing: one without a drive (it
// would be the current folder's, "X!:\A.DAT" included), a ".." that climbs above its drive, a host
// path outside the root.
#include <filesystem>
#include <string>

namespace kv::platform {

class PathMap {
public:
    explicit PathMap(std::filesystem::path root) : root_(std::move(root)) {}
    // On Windows the host's own drives. Elsewhere the root from the environment: KVTESO_ROOT, else
    // $HOME/.kvteso, else ./.kvteso.
    static PathMap FromEnvironment();

    const std::filesystem::path& root() const { return root_; }
    // The host path, or an empty path when windowsPath is empty or would leave the installation.
    // windowsPath is in the bytes of the host's file names (platform::NativePath).
    std::filesystem::path ToHost(const std::string& windowsPath) const;
    // The same for a path in the suite's Windows-1252 bytes (a company name in a file name).
    std::filesystem::path FromSuite(const std::string& suitePath) const;

private:
    std::filesystem::path root_;
};

}  // namespace kv::platform
