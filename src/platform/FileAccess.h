#pragma once
// The host's files as the archive layer and the writers use them: opened shared with the other
// programs of the suite, read and written at positions, removed and replaced. A failure returns
// kNoFile, -1 or false and leaves the cause in errno; the Windows variant translates the system's
// error into the same errno values, so that callers map one set of causes to their own errors.
#include <cstdint>
#include <filesystem>
#include <string>

namespace kv::platform {

// An open file: a descriptor on POSIX, a HANDLE on Windows.
using FileHandle = intptr_t;
inline constexpr FileHandle kNoFile = -1;

enum class OpenMode {
    ReadWrite,  // an existing file, for reading and writing
    ReadWriteCreate,  // the same, created when missing (never truncated)
    ReadOnly,  // an existing file, for reading
    WriteTruncate,  // created or emptied, for writing
    CreateNew,  // created for writing; fails when the name exists
};

// Every mode shares the file with other programs for reading, writing and deletion.
FileHandle OpenFile(const std::filesystem::path& path, OpenMode mode);
bool CloseFile(FileHandle file);
// True when the open file is a regular file (not a folder, a device or a pipe).
bool IsRegularFile(FileHandle file);
// The size of the open file, or -1.
int64_t FileSize(FileHandle file);
// Reads up to size bytes at offset: the count read (less only at the end of the file), or -1.
int64_t ReadAt(FileHandle file, char* data, int64_t size, int64_t offset);
// Writes all of data at offset (WriteAt) or at the file's position (Write); false on failure.
bool WriteAt(FileHandle file, const char* data, int64_t size, int64_t offset);
bool Write(FileHandle file, const char* data, int64_t size);

// The size of the regular file at path; -1 when it is missing or not a regular file.
int64_t RegularFileSize(const std::filesystem::path& path);
bool RemoveFile(const std::filesystem::path& path);
// Puts from in the place of to (replacing it) in one step.
bool MoveIntoPlace(const std::filesystem::path& from, const std::filesystem::path& to);

// True for the errno values that mean the disk (or the user's quota) is full.
bool IsDiskFull(int error);
// This process's number, for names unique to it.
unsigned long ProcessId();

// A host path from the bytes of a host file name (the ANSI code page on Windows, the file system's
// own bytes on POSIX), and back.
std::filesystem::path NativePath(const std::string& bytes);
std::string NarrowPath(const std::filesystem::path& path);
// A host path as UTF-8 text, for the terminal and the messages.
inline std::string Utf8Path(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
// A name as the suite writes it (Windows-1252) in the bytes of this host's file names: UTF-8 on
// POSIX, unchanged for the ANSI API on Windows.
std::string HostNameBytes(const std::string& suiteBytes);
// True where the suite's drive letters are the host's own (Windows); elsewhere they are folders
// under a root.
bool NativeDrives();

}  // namespace kv::platform
