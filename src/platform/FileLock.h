#pragma once
// An exclusive lock on a file that every other process of the suite sees (flock on POSIX, LockFileEx
// over the whole file on Windows), taken without waiting. The lock belongs to the open file and ends
// when the file is closed.
#include <filesystem>
#include <string>

#include "platform/FileAccess.h"

namespace kv::platform {

// Tries to lock the open file exclusively; false (errno set, EWOULDBLOCK when another holder has it)
// when it cannot.
bool TryLockExclusive(FileHandle file);
// Releases a lock taken on file (closing file releases it too).
void Unlock(FileHandle file);
// Whether a file this program keeps open keeps other programs from opening it exclusively: false
// where locks are apart from opening (POSIX), true on Windows, where a program that opens a file
// with no sharing fails while any handle to it is open.
bool OpenFileBlocksExclusiveOpen();

// Owns an open file and its exclusive lock.
class FileLock {
public:
    FileLock() = default;
    // Opens path for reading and writing (creating it when create is true, never truncating) and
    // tries to lock it. Check locked(); error() is the errno of the failure.
    static FileLock TryAcquire(const std::filesystem::path& path, bool create = false);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    bool locked() const { return file_ != kNoFile; }
    FileHandle file() const { return file_; }
    int error() const { return error_; }
    void Release();

private:
    FileHandle file_ = kNoFile;
    int error_ = 0;
};

}  // namespace kv::platform
