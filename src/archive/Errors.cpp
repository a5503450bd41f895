#include "archive/Errors.h"

namespace kv {

std::string DescriptionOf(int number) {
    switch (number) {
    case err::InvalidCall: return "Invalid procedure call or argument";
    case err::Overflow: return "Overflow";
    case err::SubscriptOutOfRange: return "Subscript out of range";
    case err::TypeMismatch: return "Type mismatch";
    case err::BadFileNumber: return "Bad file name or number";
    case err::FileNotFound: return "File not found";
    case err::DeviceIo: return "Device I/O error";
    case err::BadRecordLength: return "Bad record length";
    case err::DiskFull: return "Disk full";
    case err::InputPastEnd: return "Input past end of file";
    case err::BadRecordNumber: return "Bad record number";
    case err::TooManyFiles: return "Too many files";
    case err::PermissionDenied: return "Permission denied";
    case err::PathFileAccess: return "Path/File access error";
    case err::PathNotFound: return "Path not found";
    case err::PrinterError: return "Printer error";
    case err::PrinterInfo:
        return "Problem getting printer information from the system. Make sure the printer is set up correctly.";
    default: return "Application-defined or object-defined error";
    }
}

RuntimeError::RuntimeError(int number, std::string description)
    : std::runtime_error("Errore " + std::to_string(number) + " " + description),
      number_(number),
      description_(std::move(description)) {}

}  // namespace kv
