// Whole files handed to the writer by its caller (fonts, pictures, drawings), read at once. Larger
// files than the limit are nothing this writer embeds or translates; the limit also bounds what a
// wrong file name can make it allocate.
#pragma once

#include <cstdint>
#include <string>

#include "pdf/OutputFile.h"

namespace quill {

inline constexpr uintmax_t kMaxInputFileSize = 256u << 20;

// 53 when the file is missing, 75 when it is no regular file or cannot be read, tooLarge when it is
// larger than kMaxInputFileSize; no error on success.
Error ReadInputFile(const std::string& path, const Error& tooLarge, std::string& bytes);

}  // namespace quill
