#pragma once
// Support shared by the platform and archive tests: a scratch folder, whole-file reads and writes,
// table rows written as one text, the count of open files, and a second process that takes a lock.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kvtest {

struct TempDir {
    std::filesystem::path path = [] {
        std::string t = (std::filesystem::temp_directory_path() / "kvtestXXXXXX").string();
        return ::mkdtemp(t.data()) ? t : throw std::runtime_error("mkdtemp failed");
    }();
    ~TempDir() { std::error_code ec; std::filesystem::remove_all(path, ec); }
};

inline std::string ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// The fields of a table row written as one text ("a|b|c").
inline std::vector<std::string> Fields(std::string_view row, char separator = '|') {
    std::vector<std::string> fields;
    for (size_t start = 0, end = 0; end != row.npos; start = end + 1)
        fields.emplace_back(row.substr(start, (end = row.find(separator, start)) - start));
    return fields;
}

// Files this process has open: a routine that forgets to close one leaves the count higher.
inline long OpenFileCount() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator());
}

// A second process that tries to lock an existing file exclusively, without waiting, and holds the
// lock it got for holdMillis (or until this object ends); taken() tells whether it got it.
class OtherProcess {
public:
    OtherProcess(const std::filesystem::path& file, int holdMillis) {
        int channel[2];
        if (::pipe(channel) != 0) throw std::runtime_error("pipe");
        if ((pid_ = ::fork()) == 0) {
            const int fd = ::open(file.c_str(), O_RDWR);
            const char taken = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
            if (::write(channel[1], &taken, 1) == 1 && taken == 'y') ::usleep(static_cast<useconds_t>(holdMillis) * 1000);
            ::_exit(0);  // the lock ends with the process
        }
        char answer = 0;
        taken_ = ::close(channel[1]) == 0 && ::read(channel[0], &answer, 1) == 1 && answer == 'y';
        ::close(channel[0]);
    }
    ~OtherProcess() { ::kill(pid_, SIGKILL), ::waitpid(pid_, nullptr, 0); }
    bool taken() const { return taken_; }

private:
    pid_t pid_ = -1;
    bool taken_ = false;
};

inline bool OtherProcessCanLock(const std::filesystem::path& file) { return OtherProcess(file, 0).taken(); }

}  // namespace kvtest
