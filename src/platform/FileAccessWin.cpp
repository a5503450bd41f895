#include <windows.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/FileAccess.h"
#include "platform/Win32Error.h"

namespace kv::platform {

namespace {

HANDLE Native(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// One transfer of at most 1 GB, so that a count always fits a DWORD.
constexpr int64_t kChunk = int64_t{1} << 30;

OVERLAPPED At(int64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
    return at;
}

}  // namespace

FileHandle OpenFile(const std::filesystem::path& path, OpenMode mode) {
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
    case OpenMode::ReadWrite: break;
    case OpenMode::ReadWriteCreate: disposition = OPEN_ALWAYS; break;
    case OpenMode::ReadOnly: access = GENERIC_READ; break;
    case OpenMode::WriteTruncate:
        access = GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
        break;
    case OpenMode::CreateNew:
        access = GENERIC_WRITE;
        disposition = CREATE_NEW;
        break;
    }
    const HANDLE h = CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return kNoFile;
    }
    return reinterpret_cast<FileHandle>(h);
}

bool CloseFile(FileHandle file) {
    if (CloseHandle(Native(file))) return true;
    SetErrnoFromLastError();
    return false;
}

bool IsRegularFile(FileHandle file) { return GetFileType(Native(file)) == FILE_TYPE_DISK; }

int64_t FileSize(FileHandle file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(Native(file), &size)) {
        SetErrnoFromLastError();
        return -1;
    }
    return static_cast<int64_t>(size.QuadPart);
}

int64_t ReadAt(FileHandle file, char* data, int64_t size, int64_t offset) {
    int64_t got = 0;
    while (got < size) {
        OVERLAPPED at = At(offset + got);
        DWORD n = 0;
        if (!ReadFile(Native(file), data + got, static_cast<DWORD>(std::min(size - got, kChunk)), &n, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            SetErrnoFromLastError();
            return -1;
        }
        if (n == 0) break;
        got += n;
    }
    return got;
}

namespace {
bool WriteAll(FileHandle file, const char* data, int64_t size, const int64_t* offset) {
    int64_t done = 0;
    while (done < size) {
        OVERLAPPED at = offset != nullptr ? At(*offset + done) : OVERLAPPED{};
        DWORD n = 0;
        if (!WriteFile(Native(file), data + done, static_cast<DWORD>(std::min(size - done, kChunk)), &n,
                       offset != nullptr ? &at : nullptr)) {
            SetErrnoFromLastError();
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}
}  // namespace

bool WriteAt(FileHandle file, const char* data, int64_t size, int64_t offset) {
    return WriteAll(file, data, size, &offset);
}

bool Write(FileHandle file, const char* data, int64_t size) { return WriteAll(file, data, size, nullptr); }

int64_t RegularFileSize(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) {
        SetErrnoFromLastError();
        return -1;
    }
    if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        errno = EISDIR;
        return -1;
    }
    return static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
}

bool RemoveFile(const std::filesystem::path& path) {
    if (DeleteFileW(path.c_str())) return true;
    SetErrnoFromLastError();
    return false;
}

bool MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    SetErrnoFromLastError();
    return false;
}

bool IsDiskFull(int error) { return error == ENOSPC; }

unsigned long ProcessId() { return GetCurrentProcessId(); }

// The suite writes its names in the ANSI code page; the wide API sees them converted as the ANSI
// API would convert them.
std::filesystem::path NativePath(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return std::filesystem::path(wide).make_preferred();
}

std::string NarrowPath(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::string HostNameBytes(const std::string& suiteBytes) { return suiteBytes; }
bool NativeDrives() { return true; }

}  // namespace kv::platform
