#include <windows.h>

#include "platform/FileLock.h"
#include "platform/Win32Error.h"

namespace kv::platform {

// The whole file, as far as any offset can reach.
bool TryLockExclusive(FileHandle file) {
    OVERLAPPED from{};
    if (LockFileEx(reinterpret_cast<HANDLE>(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                   MAXDWORD, &from))
        return true;
    SetErrnoFromLastError();
    return false;
}

void Unlock(FileHandle file) {
    OVERLAPPED from{};
    UnlockFileEx(reinterpret_cast<HANDLE>(file), 0, MAXDWORD, MAXDWORD, &from);
}

bool OpenFileBlocksExclusiveOpen() { return true; }

}  // namespace kv::platform
