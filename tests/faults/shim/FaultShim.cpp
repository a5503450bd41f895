// Preloaded into the program by the fault tests: reads of one file go wrong from a given read on.
// KV_FAULT="<file name part> <first failing read> <fault>", counting the reads of files whose path
// contains the part; the fault is
//   eio     the read fails with EIO (a network share gone, a bad sector)
//   short   the read returns 7 bytes at most (the program must ask again)
//   shrink  the file is cut to half its size just before that read (another program truncates it)
//   vanish  the file is deleted just before that read (another program removes it)
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using PreadFn = ssize_t (*)(int, void*, size_t, off_t);

ssize_t Pread(const char* name, int fd, void* buf, size_t count, off_t offset) {
    static const auto real = reinterpret_cast<PreadFn>(::dlsym(RTLD_NEXT, name));
    static char part[256], kind[32];
    static long from = 0;
    static const bool active = std::getenv("KV_FAULT") && std::sscanf(std::getenv("KV_FAULT"), "%255s %ld %31s", part, &from, kind) == 3;
    static std::atomic<long> reads{0};
    char link[64], path[4096] = {};
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    if (!active || ::readlink(link, path, sizeof path - 1) < 0 || !std::strstr(path, part) || ++reads < from)
        return real(fd, buf, count, offset);
    const std::string fault = kind;
    struct stat st {};
    if (fault == "eio") return errno = EIO, -1;
    if (fault == "short") return real(fd, buf, count < 7 ? count : 7, offset);
    if (reads == from && fault == "shrink" && ::fstat(fd, &st) == 0) ::truncate(path, st.st_size / 2);
    if (reads == from && fault == "vanish") ::unlink(path);
    return real(fd, buf, count, offset);
}

}  // namespace

extern "C" {
ssize_t pread(int fd, void* buf, size_t count, off_t offset) { return Pread("pread", fd, buf, count, offset); }
ssize_t pread64(int fd, void* buf, size_t count, off_t offset) { return Pread("pread64", fd, buf, count, offset); }
}
