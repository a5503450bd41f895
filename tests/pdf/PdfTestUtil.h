// Helpers for the PDF writer tests: running the external checkers (qpdf,
// poppler's pdftotext and pdftoppm), reading files, checking the
// cross-reference table byte by byte and pulling unencoded streams out.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pdftest {

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

CommandResult Run(const std::string& command);
std::string Quote(const std::string& text);

// A fresh folder under the system's temporary folder, removed on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::string& path);

// qpdf --check; ok when qpdf reports neither errors nor warnings.
CommandResult QpdfCheck(const std::string& path, const std::string& password = "");
bool QpdfClean(const std::string& path, std::string* report = nullptr, const std::string& password = "");

// pdftotext -layout-free text of the whole document (UTF-8).
std::string PdfToText(const std::string& path, const std::string& extraArguments = "");

struct Word {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::string text;
};
// Words with their boxes (points, top-left origin) from pdftotext -bbox.
std::vector<Word> PdfWords(const std::string& path, int page = 1);

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    struct Pixel {
        int r, g, b;
    };
    Pixel At(int x, int y) const;
};
// Page rendered by pdftoppm at the resolution given (72 dpi: one pixel per point).
Image Render(const std::string& path, int page = 1, int dpi = 72);

// Checks the cross-reference table: startxref points at "xref", every entry
// is 20 bytes, every in-use offset points at "N 0 obj", and /Size matches.
// Returns "" when all is right, otherwise what is wrong.
std::string CheckXref(const std::string& bytes);

// Data of every stream in a file written without filters or encryption, in
// file order, with the dictionary text that precedes each.
struct RawStream {
    std::string dictionary;
    std::string data;
};
std::vector<RawStream> Streams(const std::string& bytes);
// Content streams only (streams whose dictionary names no /Type).
std::vector<std::string> PageContents(const std::string& bytes);

}  // namespace pdftest
