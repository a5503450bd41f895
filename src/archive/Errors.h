#pragma once
// Run-time errors of the archive layer and the program's end.
//
// A routine that fails raises a RuntimeError carrying the error number and description the suite's
// error report shows ("Errore 59 Bad record length"). The routine's handler records its name in the
// trace and hands the error to ErrorHandler::GESTERRORE. "The program ends" is a ProgramEnd thrown
// from wherever that is decided and caught once at the top level, which closes every file.
#include <stdexcept>
#include <string>

namespace kv {

namespace err {
inline constexpr int InvalidCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileNumber = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIo = 57;
inline constexpr int BadRecordLength = 59;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEnd = 62;
inline constexpr int BadRecordNumber = 63;
inline constexpr int TooManyFiles = 67;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int PrinterError = 482;
inline constexpr int PrinterInfo = 484;
}  // namespace err

// The standard description of an error number, as the legacy runtime words it.
std::string DescriptionOf(int number);

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, std::string description);
    explicit RuntimeError(int number) : RuntimeError(number, DescriptionOf(number)) {}
    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }

private:
    int number_;
    std::string description_;
};

// Thrown to end the program; the top level closes all files and exits with exitCode.
struct ProgramEnd {
    int exitCode = 0;
};

}  // namespace kv
