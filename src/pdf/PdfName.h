// PDF names made from caller or file text.
#pragma once

#include <string>
#include <string_view>

namespace quill {

// Appends the bytes as the characters of a PDF name (without the leading
// "/"): bytes outside 0x21-0x7E and the delimiters ( ) < > [ ] { } / % and
// "#" itself are written as "#" and two hexadecimal digits.
void AppendPdfName(std::string& out, std::string_view bytes);

}  // namespace quill
