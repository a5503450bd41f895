#include <windows.h>

#include <cctype>

#include "platform/SingleInstance.h"

namespace kv::platform {

namespace {

// A mutex of the user's session named after what it claims; nothing is written anywhere. Names
// are compared without regard to case, as Windows compares paths.
FileHandle Claim(const std::string& what, bool& another) {
    std::string name = "Local\\KVTESO:";
    for (char c : what) name += c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) return kNoFile;  // the check is skipped
    if (GetLastError() == ERROR_ALREADY_EXISTS) another = true;
    return reinterpret_cast<FileHandle>(mutex);
}

}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& lockFile, const std::filesystem::path& folder) {
    // The program's claim is the lock file's name as the installation gives it: the same for every copy
    // on the drives themselves, apart for copies on drives mapped under different folders.
    held_[0] = Claim(NarrowPath(lockFile), anotherRunning_);
    if (!folder.empty()) held_[1] = Claim(NarrowPath(std::filesystem::absolute(folder)), anotherRunning_);
}

SingleInstance::~SingleInstance() {
    for (FileHandle h : held_)
        if (h != kNoFile) CloseHandle(reinterpret_cast<HANDLE>(h));
}

}  // namespace kv::platform
