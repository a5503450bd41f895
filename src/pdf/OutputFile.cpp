#include "pdf/OutputFile.h"

#include <cerrno>
#include <filesystem>

namespace quill {

FileError FileErrorFromErrno(int err) {
    switch (err) {
    case 0:
        return {};
    case ENOENT:
    case ENOTDIR:
        return {76, "Path not found"};
    case EACCES:
    case EPERM:
    case EBUSY:
    case ETXTBSY:
        return {70, "Permission denied"};
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return {61, "Disk full"};
    case EMFILE:
    case ENFILE:
        return {67, "Too many files"};
    case ENAMETOOLONG:
    case EINVAL:
        return {52, "Bad file name or number"};
    case EIO:
        return {57, "Device I/O error"};
    default:
        return {75, "Path/File access error"};
    }
}

FileError FileErrorFromCode(const std::error_code& ec) {
    if (!ec) return {};
    return FileErrorFromErrno(ec.default_error_condition().value());
}

OutputFile::OutputFile() : buffer_(std::make_unique<char[]>(kBufferSize)) {}

OutputFile::~OutputFile() {
    Close();
}

FileError OutputFile::Open(const std::string& path) {
    Close();
    if (path.empty()) return {52, "Bad file name or number"};
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return {75, "Path/File access error"};
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) return FileErrorFromErrno(errno != 0 ? errno : EIO);
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

FileError OutputFile::Close() {
    if (file_ == nullptr) return {};
    Flush();
    if (std::fclose(file_) != 0 && writeErrno_ == 0) writeErrno_ = errno != 0 ? errno : EIO;
    file_ = nullptr;
    int err = writeErrno_;
    writeErrno_ = 0;
    return FileErrorFromErrno(err);
}

}  // namespace quill
