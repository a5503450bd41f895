#pragma once
// Tells whether another copy of the program is running: the first copy holds a claim for as long as
// it lives, for the program and for the archive folder it works on, and a later copy finds it taken.
// On POSIX the claims are exclusive locks on a lock file and on the folder; on Windows, named mutexes
// of the user's session.
#include <filesystem>
#include <string>

#include "platform/FileLock.h"
#include "platform/Paths.h"

namespace kv::platform {

class SingleInstance {
public:
    // Takes the lock on lockFile (its folder is created when missing) and, when folder is given, on
    // that folder itself: a lock on the directory, so that copies reaching the same archives through
    // another root, a link or another user see each other; nothing is written in it.
    explicit SingleInstance(const std::filesystem::path& lockFile, const std::filesystem::path& folder = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    // The lock file of a program: <root>/run/<program name>.lock.
    static std::filesystem::path LockFileFor(const PathMap& paths, const std::string& programName) {
        return paths.root() / "run" / (programName + ".lock");
    }

    // True when another copy holds either lock. A lock that cannot be taken at all (no lock file,
    // a folder whose file system has no locks) does not stop the program (that check is skipped).
    bool AnotherRunning() const { return anotherRunning_; }

private:
    FileLock lock_;
    FileHandle held_[2] = {kNoFile, kNoFile};  // the folder (POSIX); the mutexes (Windows)
    bool anotherRunning_ = false;
};

}  // namespace kv::platform
