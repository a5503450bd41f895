#pragma once
// The host's side of the test support on POSIX: other programs run through the shell, the files this
// process has open, and a second process that takes a lock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace kvtest {

// Files this process has open: a routine that forgets to close one leaves the count higher.
inline long OpenFileCount() { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()); }

// Runs command with the shell, its input from /dev/null; a group, so that a pipe or a redirection
// inside the command keeps its meaning.
inline CommandResult RunCommand(const std::string& command) {
    CommandResult r;
    FILE* pipe = ::popen(("{ " + command + "\n} 2>&1 </dev/null").c_str(), "r");
    if (pipe == nullptr) return r;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.output.append(buffer, n);
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}
// Quoted for the shell.
inline std::string Quoted(const fs::path& path) {
    std::string out = "'";
    for (char c : path.string()) c == '\'' ? out += "'\\''" : out += c;
    return out + "'";
}

// A device that takes no byte: every write fails with "disk full".
inline const std::string kFullDevice = "/dev/full";
// A file that this process cannot replace while the object lives.
struct BusyFile {
    explicit BusyFile(const std::string&) {}
    std::string path = "/proc/self/status";
};

// A path as an argument of a program built here.
inline std::string Argument(const fs::path& path) { return Quoted(path); }
// A program built here, as a command.
inline std::string Program(const std::string& buildPath) { return Quoted(std::string(KV_BUILD_DIR) + "/" + buildPath); }

// A second process that tries to lock an existing file exclusively, without waiting, and holds the
// lock it got for holdMillis (or until this object ends); taken() tells whether it got it.
class OtherProcess {
public:
    OtherProcess(const fs::path& file, int holdMillis) {
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
    ~OtherProcess() {
        if (pid_ > 0) ::kill(pid_, SIGKILL), ::waitpid(pid_, nullptr, 0);
    }
    bool taken() const { return taken_; }

private:
    pid_t pid_ = -1;
    bool taken_ = false;
};
inline bool OtherProcessCanLock(const fs::path& file) { return OtherProcess(file, 0).taken(); }

}  // namespace kvtest
