#pragma once
// What every test folder shares: scratch folders, whole files, table rows, other programs run through
// the shell, a second process that takes a lock, and the independent readers of the PDF files (qpdf,
// poppler's pdftotext); the platform doubles come with it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/PlatformDoubles.h"

namespace kvtest {

namespace fs = std::filesystem;

// A fresh folder under the temporary folder (or under parent), removed with everything in it when
// the object goes.
struct TempDir {
    explicit TempDir(const std::string& prefix = "kvtest", const fs::path& parent = fs::temp_directory_path()) {
        std::string name = (parent / (prefix + "XXXXXX")).string();
        if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed: " + name);
        path = name;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    fs::path path;
};

inline std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
// Creates the folders on the way; replaces the file.
inline void WriteFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The fields of a table row written as one text ("a|b|c").
inline std::vector<std::string> Fields(std::string_view row, char separator = '|') {
    std::vector<std::string> fields;
    for (size_t start = 0, end = 0; end != row.npos; start = end + 1)
        fields.emplace_back(row.substr(start, (end = row.find(separator, start)) - start));
    return fields;
}
// Files this process has open: a routine that forgets to close one leaves the count higher.
inline long OpenFileCount() { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()); }

struct CommandResult {
    int status = -1;  // exit status, -1 when the command did not end normally
    std::string output;  // standard output and standard error together
};
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

// qpdf --check (with the password that opens the file) finds neither errors nor warnings.
inline ::testing::AssertionResult QpdfClean(const fs::path& pdf, const std::string& password = {}) {
    const CommandResult r = RunCommand("qpdf --check --password=" + Quoted(password) + " " + Quoted(pdf));
    if (r.status == 0 && r.output.find("WARNING") == std::string::npos &&
        r.output.find("No syntax or stream encoding errors found") != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << pdf << "\n"
                                         << r.output;
}
// The text of every page, as pdftotext -layout gives it in UTF-8.
inline std::string PdfText(const fs::path& pdf, const std::string& password = {}) {
    return RunCommand("pdftotext -layout -enc UTF-8" + (password.empty() ? "" : " -upw " + Quoted(password)) + " " + Quoted(pdf) + " -").output;
}

}  // namespace kvtest
