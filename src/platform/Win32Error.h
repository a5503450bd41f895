#pragma once
// For the Windows variants of the platform layer: the errno value that stands for a system error,
// so that every variant reports the same causes.
#include <windows.h>

#include <cerrno>

namespace kv::platform {

inline int ErrnoFromWin32(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS: return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return ENOENT;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_CURRENT_DIRECTORY: return EACCES;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_LOCK_VIOLATION:
    case ERROR_LOCK_FAILED: return EWOULDBLOCK;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER: return EINVAL;
    case ERROR_INVALID_HANDLE: return EBADF;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    default: return EIO;
    }
}

// Sets errno from the thread's last system error; for the failure paths.
inline void SetErrnoFromLastError() { errno = ErrnoFromWin32(GetLastError()); }

}  // namespace kv::platform
