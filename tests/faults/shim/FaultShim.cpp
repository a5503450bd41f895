// Preloaded into the program by the fault tests: reads of one file go wrong from a given read on.
// KV_FAULT="<file name part> <first failing read> <fault>", the fault being
//   eio     the read fails with EIO (a network share gone, a bad sector)
//   short   the read returns 7 bytes at most (and the program must ask again)
//   shrink  the file is cut to half its size just before the read (another program truncates it)
//   vanish  the file is deleted just before the read (another program removes it)
// Counting starts at the first read of a file whose path contains the part.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Fault {
    std::string part, kind;
    long from = 0;
    std::atomic<long> reads{0};
};

Fault* Configured() {
    static Fault* fault = [] {
        const char* spec = std::getenv("KV_FAULT");
        if (spec == nullptr) return static_cast<Fault*>(nullptr);
        auto* f = new Fault;
        char part[256] = {}, kind[32] = {};
        if (std::sscanf(spec, "%255s %ld %31s", part, &f->from, kind) != 3) std::abort();
        f->part = part, f->kind = kind;
        return f;
    }();
    return fault;
}

std::string PathOf(int fd) {
    char link[64], path[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

using PreadFn = ssize_t (*)(int, void*, size_t, off_t);

ssize_t Pread(const char* name, int fd, void* buf, size_t count, off_t offset) {
    static const auto real = reinterpret_cast<PreadFn>(::dlsym(RTLD_NEXT, name));
    Fault* f = Configured();
    if (f == nullptr) return real(fd, buf, count, offset);
    const std::string path = PathOf(fd);
    if (path.find(f->part) == std::string::npos || ++f->reads < f->from) return real(fd, buf, count, offset);
    if (f->kind == "eio") return errno = EIO, -1;
    if (f->kind == "short") return real(fd, buf, count < 7 ? count : 7, offset);
    if (f->reads == f->from && f->kind == "shrink") {
        struct stat st {};
        if (::fstat(fd, &st) == 0) ::truncate(path.c_str(), st.st_size / 2);
    }
    if (f->reads == f->from && f->kind == "vanish") ::unlink(path.c_str());
    return real(fd, buf, count, offset);
}

}  // namespace

extern "C" {
ssize_t pread(int fd, void* buf, size_t count, off_t offset) { return Pread("pread", fd, buf, count, offset); }
ssize_t pread64(int fd, void* buf, size_t count, off_t offset) { return Pread("pread64", fd, buf, count, offset); }
}
