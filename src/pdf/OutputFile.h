// Buffered binary output file of the PDF writer. It counts every byte it is
// given, so object offsets for the cross-reference table come from here, and
// it can patch bytes already written (the version digit of the header).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>
#include <string_view>

namespace quill {

// Error numbers and descriptions of failed file operations, in the numbering
// the callers of the writer read through ErrNumber.
struct FileError {
    int number = 0;
    std::string description;
};

class OutputFile {
public:
    OutputFile();
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates (or truncates) the file for binary output. Returns an empty
    // FileError on success.
    FileError Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }

    void Write(std::string_view bytes) {
        if (bytes.size() <= kBufferSize - used_) {
            std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
            used_ += bytes.size();
            position_ += bytes.size();
        } else {
            WriteSlow(bytes);
        }
    }
    void Put(char c) {
        if (used_ == kBufferSize) Flush();
        buffer_[used_++] = c;
        ++position_;
    }

    // Number of bytes written since Open: the offset of the next byte.
    uint64_t Position() const { return position_; }

    // Replaces bytes already written at the given offset (same length).
    void Rewrite(uint64_t offset, std::string_view bytes);

    // Flushes and closes. Returns the first write error met, if any.
    FileError Close();

private:
    static constexpr size_t kBufferSize = 1 << 16;
    void WriteSlow(std::string_view bytes);
    void Flush();

    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    size_t used_ = 0;
    uint64_t position_ = 0;
    uint64_t flushed_ = 0;  // bytes handed to the operating system
    int writeErrno_ = 0;
};

// Maps an errno value (or a portable error code) to the writer's file error
// number and description.
FileError FileErrorFromErrno(int err);
FileError FileErrorFromCode(const std::error_code& ec);

}  // namespace quill
