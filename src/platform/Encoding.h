#pragma once
// Text between the suite's Windows-1252 bytes and UTF-8, the encoding of the terminal and of Qt.
#include <string>

namespace kv::platform {

// Windows-1252 bytes to UTF-8; bytes the code page leaves undefined become '?'.
std::string Cp1252ToUtf8(const std::string& bytes);
// UTF-8 to Windows-1252; characters without a code-page byte become '?'.
std::string Utf8ToCp1252(const std::string& utf8);

}  // namespace kv::platform
