// The one error record of the writer and of its readers: a run-time error
// number (0 when nothing failed) and its description, plus the operation that
// recorded it ("QuillPdf." + operation) once the writer has.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace quill {

struct Error {
    Error() = default;
    Error(int32_t code, std::string text) : number(code), description(std::move(text)) {}

    int32_t number = 0;
    std::string description;
    std::string source;

    explicit operator bool() const { return number != 0; }
};

}  // namespace quill
