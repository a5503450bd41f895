#include "platform/FileLock.h"

#include <cerrno>

namespace kv::platform {

FileLock FileLock::TryAcquire(const std::filesystem::path& path, bool create) {
    FileLock lock;
    FileHandle file = OpenFile(path, create ? OpenMode::ReadWriteCreate : OpenMode::ReadWrite);
    if (file == kNoFile && (errno == EACCES || errno == EROFS)) file = OpenFile(path, OpenMode::ReadOnly);
    if (file == kNoFile) {
        lock.error_ = errno;
        return lock;
    }
    if (!TryLockExclusive(file)) {
        lock.error_ = errno;
        CloseFile(file);
        return lock;
    }
    lock.file_ = file;
    return lock;
}

FileLock::FileLock(FileLock&& other) noexcept : file_(other.file_), error_(other.error_) { other.file_ = kNoFile; }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        file_ = other.file_;
        error_ = other.error_;
        other.file_ = kNoFile;
    }
    return *this;
}

FileLock::~FileLock() { Release(); }

void FileLock::Release() {
    if (file_ != kNoFile) {
        CloseFile(file_);  // closing the file ends the lock
        file_ = kNoFile;
    }
}

}  // namespace kv::platform
