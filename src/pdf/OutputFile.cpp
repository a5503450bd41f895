#include "pdf/OutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace quill {

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

OutputFile::OutputFile() : buffer_(std::make_unique<char[]>(kBufferSize)) {}

OutputFile::~OutputFile() { Discard(); }

Error OutputFile::Open(const std::string& path) {
    Discard();
    if (path.empty()) return {52, "Bad file name or number"};
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return {75, "Path/File access error"};
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // A device or a pipe is written directly: it has no folder to put a file beside it.
        errno = 0;
        file_ = std::fopen(path.c_str(), "wb");
        if (file_ == nullptr) return FileErrorFromErrno(errno != 0 ? errno : EIO);
        target_ = path;
        temporary_.clear();
        used_ = position_ = flushed_ = 0;
        writeErrno_ = 0;
        return {};
    }
    if (std::filesystem::exists(status)) {
        // An existing file must be writable now (one that another program holds answers 70 here);
        // opened without truncation, it is not touched.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) return FileErrorFromErrno(errno);
        ::close(fd);
    }
    // The hidden name is unique to this process and document: ".<name>.<pid>-<n>.part".
    static std::atomic<unsigned> documents{0};
    const std::filesystem::path target(path);
    std::string hidden = "." + target.filename().string() + "." + std::to_string(::getpid()) + "-" +
        std::to_string(documents++) + ".part";
    const std::string temporary = (target.parent_path() / hidden).string();
    errno = 0;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int err = errno != 0 ? errno : EIO;
        // Nothing can be put in the place of an existing file there: it cannot be replaced.
        const bool blocked = err == ENOENT || err == EACCES || err == EPERM || err == EROFS;
        return FileErrorFromErrno(blocked && std::filesystem::exists(status) ? EACCES : err);
    }
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        const int err = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        return FileErrorFromErrno(err != 0 ? err : EIO);
    }
    target_ = path;
    temporary_ = temporary;
    used_ = 0;
    position_ = 0;
    flushed_ = 0;
    writeErrno_ = 0;
    return {};
}

void OutputFile::Flush() {
    if (used_ == 0) return;
    if (file_ != nullptr && writeErrno_ == 0) {
        errno = 0;
        if (std::fwrite(buffer_.get(), 1, used_, file_) != used_) writeErrno_ = errno != 0 ? errno : EIO;
    }
    flushed_ += used_;
    used_ = 0;
}

void OutputFile::WriteSlow(std::string_view bytes) {
    Flush();
    if (bytes.size() >= kBufferSize) {
        if (file_ != nullptr && writeErrno_ == 0) {
            errno = 0;
            if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
                writeErrno_ = errno != 0 ? errno : EIO;
        }
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
    if (file_ == nullptr || writeErrno_ != 0) return;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0 ||
        std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        writeErrno_ = errno != 0 ? errno : EIO;
    }
    std::fseek(file_, 0, SEEK_END);
}

Error OutputFile::Close() {
    if (file_ == nullptr) return {};
    Flush();
    if (std::fclose(file_) != 0 && writeErrno_ == 0) writeErrno_ = errno != 0 ? errno : EIO;
    file_ = nullptr;
    // No fsync: a killed process loses nothing the kernel already has, and a list run writes
    // hundreds of files.
    if (!temporary_.empty()) {
        if (writeErrno_ == 0 && std::rename(temporary_.c_str(), target_.c_str()) != 0)
            writeErrno_ = errno != 0 ? errno : EIO;
        if (writeErrno_ != 0) ::unlink(temporary_.c_str());
    }
    const int err = writeErrno_;
    writeErrno_ = 0;
    temporary_.clear();
    return FileErrorFromErrno(err);
}

void OutputFile::Discard() {
    if (file_ == nullptr) return;
    std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    writeErrno_ = 0;
}

}  // namespace quill
