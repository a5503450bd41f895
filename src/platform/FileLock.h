#pragma once
// An exclusive lock on a file that every other process of the suite sees (flock on POSIX), taken
// without waiting. The lock belongs to the open file and ends when the file is closed.
#include <filesystem>
#include <string>

namespace kv::platform {

// Tries to lock the open file fd exclusively; false (errno set) when another holder has it.
bool TryLockExclusive(int fd);
// Releases a lock taken on fd (closing fd releases it too).
void Unlock(int fd);

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

    bool locked() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    int error() const { return error_; }
    void Release();

private:
    int fd_ = -1;
    int error_ = 0;
};

}  // namespace kv::platform
