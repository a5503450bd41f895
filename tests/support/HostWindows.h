#pragma once
// The host's side of the test support under Wine: other programs are the Linux host's, run through
// its shell on the files the Windows program wrote (Wine starts a Unix program it is given, but
// neither passes it our handles nor waits for it: its output and exit status come back in files).
// Another process's lock is a second handle's lock, which Windows keeps apart just the same.
// Only the kernel's part of the Windows headers: their macros (DrawText, min...) would rename the
// tests' own calls.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#define NOGDI
#define NOUSER
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace kvtest {

// The host's name of a Windows path (Wine's Z: is the host's "/"); the path itself when Wine has none.
inline std::string UnixPath(const fs::path& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    static const auto unixName =
        reinterpret_cast<UnixName>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    const std::wstring wide = fs::absolute(path).wstring();
    char* name = unixName != nullptr ? unixName(wide.c_str()) : nullptr;
    if (name == nullptr) return path.string();
    std::string out = name;
    HeapFree(GetProcessHeap(), 0, name);
    return out;
}

inline std::string ShellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) c == '\'' ? out += "'\\''" : out += c;
    return out + "'";
}
// Quoted for the host's shell: a path by its host name, a text as it is (a text naming a Windows
// drive path is taken for that path).
inline std::string Quoted(const fs::path& path) { return ShellQuoted(UnixPath(path)); }
inline std::string Quoted(const std::string& text) {
    const bool drivePath = text.size() >= 3 && text[1] == ':' && (text[2] == '\\' || text[2] == '/');
    return ShellQuoted(drivePath ? UnixPath(text) : text);
}
inline std::string Quoted(const char* text) { return Quoted(std::string(text)); }

// Windows has no device that takes no byte.
inline const std::string kFullDevice;
// A file that this process cannot replace while the object lives: held open without sharing.
struct BusyFile {
    explicit BusyFile(std::string file) : path(std::move(file)) {
        std::ofstream(path) << "busy";
        handle = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~BusyFile() { CloseHandle(handle); }
    BusyFile(const BusyFile&) = delete;
    BusyFile& operator=(const BusyFile&) = delete;
    std::string path;
    HANDLE handle;
};

// A path as an argument of a program built here: the Windows path.
inline std::string Argument(const fs::path& path) { return ShellQuoted(fs::absolute(path).string()); }
// A program built here, as a command for the host's shell: the Windows program under Wine.
inline std::string Program(const std::string& buildPath) {
    return "wine " + ShellQuoted(std::string(KV_BUILD_DIR) + "/" + buildPath + ".exe");
}

// Runs command with the host's shell, its input from /dev/null.
inline CommandResult RunCommand(const std::string& command) {
    CommandResult r;
    const fs::path box = fs::temp_directory_path() / ("kvcmd" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()) + "-" + std::to_string(std::random_device()()));
    std::error_code ec;
    if (!fs::create_directories(box, ec)) return r;
    const std::string dir = UnixPath(box);
    std::ofstream(box / "command.sh", std::ios::binary)
        << "{ " << command << "\n} >" << ShellQuoted(dir + "/output") << " 2>&1 </dev/null\n"
        << "echo $? >" << ShellQuoted(dir + "/status.part") << " && mv " << ShellQuoted(dir + "/status.part") << " "
        << ShellQuoted(dir + "/status") << "\n";
    std::string line = "/bin/sh " + dir + "/command.sh";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA("Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        if (process.hProcess != nullptr) CloseHandle(process.hProcess);
        if (process.hThread != nullptr) CloseHandle(process.hThread);
        // The status file appears when the command has ended.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
        auto pause = std::chrono::milliseconds(1);
        while (!fs::exists(box / "status") && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(20));
        }
        std::ifstream status(box / "status");
        if (!(status >> r.status)) r.status = -1;
        std::ifstream output(box / "output", std::ios::binary);
        r.output.assign(std::istreambuf_iterator<char>(output), std::istreambuf_iterator<char>());
        // The Windows programs end their lines with CR LF.
        for (size_t at; (at = r.output.find("\r\n")) != std::string::npos;) r.output.erase(at, 1);
    }
    fs::remove_all(box, ec);
    return r;
}

// Handles this process has open: a routine that forgets to close a file leaves the count higher.
inline long OpenFileCount() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return static_cast<long>(count);
}

// Another holder that tries to lock an existing file exclusively, without waiting, and holds the lock
// it got for holdMillis (or until this object ends); taken() tells whether it got it.
class OtherProcess {
public:
    OtherProcess(const fs::path& file, int holdMillis) {
        file_ = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        OVERLAPPED from{};
        taken_ = file_ != INVALID_HANDLE_VALUE &&
            LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &from);
        if (!taken_) {
            Close();
            return;
        }
        holder_ = std::thread([this, holdMillis] {
            std::unique_lock<std::mutex> lock(mutex_);
            done_.wait_for(lock, std::chrono::milliseconds(holdMillis), [this] { return ending_; });
            Close();
        });
    }
    ~OtherProcess() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            ending_ = true;
        }
        done_.notify_all();
        if (holder_.joinable()) holder_.join();
        Close();
    }
    bool taken() const { return taken_; }

private:
    void Close() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }
    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool taken_ = false;
    std::mutex mutex_;
    std::condition_variable done_;
    bool ending_ = false;
    std::thread holder_;
};
inline bool OtherProcessCanLock(const fs::path& file) { return OtherProcess(file, 0).taken(); }

}  // namespace kvtest
