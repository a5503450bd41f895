#include "pdf/InputFile.h"

#include <filesystem>
#include <fstream>

namespace quill {

Error ReadInputFile(const std::string& path, const Error& tooLarge, std::string& bytes) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) return {53, "File not found"};
    if (!std::filesystem::is_regular_file(status)) return {75, "Path/File access error"};
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return {75, "Path/File access error"};
    if (size > kMaxInputFileSize) return tooLarge;
    std::ifstream in(path, std::ios::binary);
    bytes.assign(static_cast<size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) return {75, "Path/File access error"};
    return {};
}

}  // namespace quill
