#include "platform/SingleInstance.h"

#include <cerrno>
#include <system_error>

namespace kv::platform {

SingleInstance::SingleInstance(const std::filesystem::path& lockFile) {
    std::error_code ec;
    if (lockFile.has_parent_path()) std::filesystem::create_directories(lockFile.parent_path(), ec);
    lock_ = FileLock::TryAcquire(lockFile, /*create=*/true);
    anotherRunning_ = !lock_.locked() && (lock_.error() == EWOULDBLOCK || lock_.error() == EAGAIN);
}

std::filesystem::path SingleInstance::LockFileFor(const PathMap& paths, const std::string& programName) {
    return paths.root() / "run" / (programName + ".lock");
}

}  // namespace kv::platform
