#include <sys/file.h>

#include <cerrno>

#include "platform/FileLock.h"

namespace kv::platform {

bool TryLockExclusive(FileHandle file) {
    for (;;) {
        if (::flock(static_cast<int>(file), LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EINTR) return false;
    }
}

void Unlock(FileHandle file) { ::flock(static_cast<int>(file), LOCK_UN); }

bool OpenFileBlocksExclusiveOpen() { return false; }

}  // namespace kv::platform
