#pragma once
// The user's number conventions, and a way to keep the C library's printf on "." meanwhile.
namespace kv::platform {

// The decimal separator of the user's locale (',' for Italian), '.' when it cannot be read or is
// not one character.
char UserDecimalSeparator();

// For its lifetime the calling thread formats numbers with the C library in the "C" locale,
// whatever locale the program's toolkit set.
class CNumericScope {
public:
    CNumericScope();
    ~CNumericScope();
    CNumericScope(const CNumericScope&) = delete;
    CNumericScope& operator=(const CNumericScope&) = delete;

private:
    void* kept_[2] = {nullptr, nullptr};
};

}  // namespace kv::platform
