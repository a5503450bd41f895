// Buffered binary output file of the PDF writer. It counts every byte it is
// given, so object offsets for the cross-reference table come from here, and
// it can patch bytes already written (the version digit of the header).
//
// The bytes go to a hidden file beside the target; Close renames it over the
// target only when every write succeeded. A file with the target's name is
// therefore always complete, and an earlier one survives a run that fails or
// is killed before the new one is finished.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "pdf/Error.h"
#include "platform/FileAccess.h"

namespace quill {

class OutputFile {
public:
    OutputFile();
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Starts the file for binary output. An existing target stays as it is
    // until Close, but must be replaceable. Returns no error on success.
    Error Open(const std::string& path);
    bool IsOpen() const { return file_ != kv::platform::kNoFile; }

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

    // Flushes, closes and puts the file in the target's place. Returns the
    // first error met, if any; then the target is left untouched.
    Error Close();
    // Closes and removes what was written; the target is left untouched.
    void Discard();

private:
    static constexpr size_t kBufferSize = 1 << 18;  // large writes: the system takes them at a lower cost per byte
    void WriteSlow(std::string_view bytes);
    void Flush();
    // Hands bytes to the system after the ones flushed; false (the error kept) on failure.
    bool Send(const char* data, size_t size);

    kv::platform::FileHandle file_ = kv::platform::kNoFile;
    bool positional_ = true;  // a regular file, written at offsets; a device or a pipe in sequence
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::unique_ptr<char[]> buffer_;
    size_t used_ = 0;
    uint64_t position_ = 0;
    uint64_t flushed_ = 0;  // bytes handed to the operating system
    int writeErrno_ = 0;
};

// Maps an errno value (or a portable error code) to the writer's file error
// number and description.
Error FileErrorFromErrno(int err);
Error FileErrorFromCode(const std::error_code& ec);

}  // namespace quill
