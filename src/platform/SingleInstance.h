#pragma once
// Tells whether another copy of the program is running: the first copy holds an exclusive lock on
// a lock file for as long as it lives; a later copy finds the lock taken.
#include <filesystem>
#include <string>

#include "platform/FileLock.h"
#include "platform/Paths.h"

namespace kv::platform {

class SingleInstance {
public:
    // Takes the lock on lockFile (its folder is created when missing).
    explicit SingleInstance(const std::filesystem::path& lockFile);
    // The lock file of a program: <root>/run/<program name>.lock.
    static std::filesystem::path LockFileFor(const PathMap& paths, const std::string& programName);

    // True when another copy holds the lock. A lock file that cannot be created at all does not
    // stop the program (the check is then skipped).
    bool AnotherRunning() const { return anotherRunning_; }

private:
    FileLock lock_;
    bool anotherRunning_ = false;
};

}  // namespace kv::platform
