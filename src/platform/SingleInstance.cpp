#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <system_error>

namespace kv::platform {

namespace {
bool HeldByAnother(int error) { return error == EWOULDBLOCK || error == EAGAIN; }
}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& lockFile, const std::filesystem::path& folder) {
    std::error_code ec;
    if (lockFile.has_parent_path()) std::filesystem::create_directories(lockFile.parent_path(), ec);
    lock_ = FileLock::TryAcquire(lockFile, /*create=*/true);
    anotherRunning_ = !lock_.locked() && HeldByAnother(lock_.error());
    if (folder.empty()) return;
    folderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ >= 0 && !TryLockExclusive(folderFd_)) {
        anotherRunning_ = anotherRunning_ || HeldByAnother(errno);
        ::close(folderFd_);
        folderFd_ = -1;
    }
}

SingleInstance::~SingleInstance() {
    if (folderFd_ >= 0) ::close(folderFd_);
}

std::filesystem::path SingleInstance::LockFileFor(const PathMap& paths, const std::string& programName) {
    return paths.root() / "run" / (programName + ".lock");
}

}  // namespace kv::platform
