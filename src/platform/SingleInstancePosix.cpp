#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/SingleInstance.h"

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
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    if (!TryLockExclusive(fd)) {
        anotherRunning_ = anotherRunning_ || HeldByAnother(errno);
        ::close(fd);
        return;
    }
    held_[0] = fd;
}

SingleInstance::~SingleInstance() {
    if (held_[0] != kNoFile) ::close(static_cast<int>(held_[0]));
}

}  // namespace kv::platform
