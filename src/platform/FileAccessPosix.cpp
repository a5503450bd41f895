#include "platform/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/Encoding.h"

namespace kv::platform {

FileHandle OpenFile(const std::filesystem::path& path, OpenMode mode) {
    int flags = O_CLOEXEC;
    switch (mode) {
    case OpenMode::ReadWrite: flags |= O_RDWR; break;
    case OpenMode::ReadWriteCreate: flags |= O_RDWR | O_CREAT; break;
    case OpenMode::ReadOnly: flags |= O_RDONLY; break;
    case OpenMode::WriteTruncate: flags |= O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY; break;
    case OpenMode::CreateNew: flags |= O_WRONLY | O_CREAT | O_EXCL; break;
    }
    for (;;) {
        const int fd = ::open(path.c_str(), flags, 0666);
        if (fd >= 0 || errno != EINTR) return fd;
    }
}

bool CloseFile(FileHandle file) { return ::close(static_cast<int>(file)) == 0; }

bool IsRegularFile(FileHandle file) {
    struct stat st {};
    return ::fstat(static_cast<int>(file), &st) == 0 && S_ISREG(st.st_mode);
}

int64_t FileSize(FileHandle file) {
    struct stat st {};
    if (::fstat(static_cast<int>(file), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

int64_t ReadAt(FileHandle file, char* data, int64_t size, int64_t offset) {
    int64_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(static_cast<int>(file), data + got, static_cast<size_t>(size - got),
                                  static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        got += n;
    }
    return got;
}

namespace {
template <typename WriteSome>
bool WriteAll(int64_t size, WriteSome write) {
    int64_t done = 0;
    while (done < size) {
        const ssize_t n = write(done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}
}  // namespace

bool WriteAt(FileHandle file, const char* data, int64_t size, int64_t offset) {
    return WriteAll(size, [&](int64_t done) {
        return ::pwrite(static_cast<int>(file), data + done, static_cast<size_t>(size - done),
                        static_cast<off_t>(offset + done));
    });
}

bool Write(FileHandle file, const char* data, int64_t size) {
    return WriteAll(size, [&](int64_t done) {
        return ::write(static_cast<int>(file), data + done, static_cast<size_t>(size - done));
    });
}

int64_t RegularFileSize(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = EISDIR;
        return -1;
    }
    return static_cast<int64_t>(st.st_size);
}

bool RemoveFile(const std::filesystem::path& path) { return ::unlink(path.c_str()) == 0; }

bool MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool IsDiskFull(int error) {
    return error == ENOSPC
#ifdef EDQUOT
        || error == EDQUOT
#endif
        ;
}

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }

std::filesystem::path NativePath(const std::string& bytes) { return std::filesystem::path(bytes); }
std::string NarrowPath(const std::filesystem::path& path) { return path.string(); }
std::string HostNameBytes(const std::string& suiteBytes) { return Cp1252ToUtf8(suiteBytes); }
bool NativeDrives() { return false; }

}  // namespace kv::platform
