#include "pdf/OutputFile.h"

#include <atomic>
#include <cerrno>
#include <filesystem>

namespace quill {

namespace platform = kv::platform;

Error FileErrorFromErrno(int err) {
    switch (err) {
    case 0: return {};
    case ENOENT:
    case ENOTDIR: return {76, "Path not found"};
    case EACCES:
    case EPERM:
    case EBUSY:
    case ETXTBSY: return {70, "Permission denied"};
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return {61, "Disk full"};
    case EMFILE:
    case ENFILE: return {67, "Too many files"};
    case ENAMETOOLONG:
    case EINVAL: return {52, "Bad file name or number"};
    case EIO: return {57, "Device I/O error"};
    default: return {75, "Path/File access error"};
    }
}

Error FileErrorFromCode(const std::error_code& ec) {
    if (!ec) return {};
    return FileErrorFromErrno(ec.default_error_condition().value());
}

OutputFile::OutputFile() : buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

OutputFile::~OutputFile() { Discard(); }

Error OutputFile::Open(const std::string& path) {
    Discard();
    if (path.empty()) return {52, "Bad file name or number"};
    std::error_code ec;
    const std::filesystem::path target = platform::NativePath(path);
    if (std::filesystem::is_directory(target, ec)) return {75, "Path/File access error"};
    const std::filesystem::file_status status = std::filesystem::status(target, ec);
    used_ = position_ = flushed_ = 0;
    writeErrno_ = 0;
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // A device or a pipe is written directly: it has no folder to put a file beside it.
        errno = 0;
        file_ = platform::OpenFile(target, platform::OpenMode::WriteTruncate);
        if (file_ == platform::kNoFile) return FileErrorFromErrno(errno != 0 ? errno : EIO);
        positional_ = false;
        target_ = target;
        temporary_.clear();
        return {};
    }
    if (std::filesystem::exists(status)) {
        // An existing file must be writable now (one that another program holds answers 70 here);
        // opened without truncation, it is not touched.
        const platform::FileHandle existing = platform::OpenFile(target, platform::OpenMode::ReadWrite);
        if (existing == platform::kNoFile) return FileErrorFromErrno(errno);
        platform::CloseFile(existing);
    }
    // The hidden name is unique to this process and document: ".<name>.<pid>-<n>.part".
    static std::atomic<unsigned> documents{0};
    std::filesystem::path hidden(".");
    hidden += target.filename();
    hidden += "." + std::to_string(platform::ProcessId()) + "-" + std::to_string(documents++) + ".part";
    const std::filesystem::path temporary = target.parent_path() / hidden;
    errno = 0;
    file_ = platform::OpenFile(temporary, platform::OpenMode::CreateNew);
    if (file_ == platform::kNoFile) {
        const int err = errno != 0 ? errno : EIO;
        // Nothing can be put in the place of an existing file there: it cannot be replaced.
        const bool blocked = err == ENOENT || err == EACCES || err == EPERM || err == EROFS;
        return FileErrorFromErrno(blocked && std::filesystem::exists(status) ? EACCES : err);
    }
    positional_ = true;
    target_ = target;
    temporary_ = temporary;
    return {};
}

bool OutputFile::Send(const char* data, size_t size) {
    if (file_ == platform::kNoFile || writeErrno_ != 0) return false;
    errno = 0;
    const bool done = positional_
        ? platform::WriteAt(file_, data, static_cast<int64_t>(size), static_cast<int64_t>(flushed_))
        : platform::Write(file_, data, static_cast<int64_t>(size));
    if (!done) writeErrno_ = errno != 0 ? errno : EIO;
    return done;
}

void OutputFile::Flush() {
    if (used_ == 0) return;
    Send(buffer_.get(), used_);
    flushed_ += used_;
    used_ = 0;
}

void OutputFile::WriteSlow(std::string_view bytes) {
    Flush();
    if (bytes.size() >= kBufferSize) {
        Send(bytes.data(), bytes.size());
        flushed_ += bytes.size();
        position_ += bytes.size();
    } else {
        std::memcpy(buffer_.get(), bytes.data(), bytes.size());
        used_ = bytes.size();
        position_ += bytes.size();
    }
}

void OutputFile::Rewrite(uint64_t offset, std::string_view bytes) {
    if (offset + bytes.size() > position_) return;
    if (offset >= flushed_) {
        std::memcpy(buffer_.get() + (offset - flushed_), bytes.data(), bytes.size());
        return;
    }
    Flush();
    if (file_ == platform::kNoFile || writeErrno_ != 0 || !positional_) return;
    if (!platform::WriteAt(file_, bytes.data(), static_cast<int64_t>(bytes.size()), static_cast<int64_t>(offset)))
        writeErrno_ = errno != 0 ? errno : EIO;
}

Error OutputFile::Close() {
    if (file_ == platform::kNoFile) return {};
    Flush();
    if (!platform::CloseFile(file_) && writeErrno_ == 0) writeErrno_ = errno != 0 ? errno : EIO;
    file_ = platform::kNoFile;
    // No fsync: a killed process loses nothing the kernel already has, and a list run writes
    // hundreds of files.
    if (!temporary_.empty()) {
        if (writeErrno_ == 0 && !platform::MoveIntoPlace(temporary_, target_)) writeErrno_ = errno != 0 ? errno : EIO;
        if (writeErrno_ != 0) platform::RemoveFile(temporary_);
    }
    const int err = writeErrno_;
    writeErrno_ = 0;
    temporary_.clear();
    return FileErrorFromErrno(err);
}

void OutputFile::Discard() {
    if (file_ == platform::kNoFile) return;
    platform::CloseFile(file_);
    file_ = platform::kNoFile;
    if (!temporary_.empty()) platform::RemoveFile(temporary_);
    temporary_.clear();
    writeErrno_ = 0;
}

}  // namespace quill
