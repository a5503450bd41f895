#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

namespace kv::platform {

bool TryLockExclusive(int fd) {
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EINTR) return false;
    }
}

void Unlock(int fd) { ::flock(fd, LOCK_UN); }

FileLock FileLock::TryAcquire(const std::filesystem::path& path, bool create) {
    FileLock lock;
    int flags = O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0);
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0 && (errno == EACCES || errno == EROFS)) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        lock.error_ = errno;
        return lock;
    }
    if (!TryLockExclusive(fd)) {
        lock.error_ = errno;
        ::close(fd);
        return lock;
    }
    lock.fd_ = fd;
    return lock;
}

FileLock::FileLock(FileLock&& other) noexcept : fd_(other.fd_), error_(other.error_) { other.fd_ = -1; }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = other.fd_;
        error_ = other.error_;
        other.fd_ = -1;
    }
    return *this;
}

FileLock::~FileLock() { Release(); }

void FileLock::Release() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing the file ends the lock
        fd_ = -1;
    }
}

}  // namespace kv::platform
