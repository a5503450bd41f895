#pragma once
// What every test folder shares: scratch folders, whole files, table rows, other programs run through
// the shell, a second process that takes a lock, and the independent readers of the PDF files (qpdf,
// poppler's pdftotext); the platform doubles come with it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/PlatformDoubles.h"

namespace kvtest {

namespace fs = std::filesystem;

// A fresh folder under the temporary folder (or under parent), removed with everything in it when
// the object goes.
struct TempDir {
    explicit TempDir(const std::string& prefix = "kvtest", const fs::path& parent = fs::temp_directory_path()) {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path.empty(); ++attempt)
            if (const fs::path p = parent / (prefix + std::to_string(random())); fs::create_directory(p)) path = p;
        if (path.empty()) throw std::runtime_error("no new folder under " + parent.string());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    fs::path path;
};

// A file name given in UTF-8 (a company name with "Ò"), the same on every host.
inline fs::path Utf8Name(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

inline std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
// Creates the folders on the way; replaces the file.
inline void WriteFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The fields of a table row written as one text ("a|b|c").
inline std::vector<std::string> Fields(std::string_view row, char separator = '|') {
    std::vector<std::string> fields;
    for (size_t start = 0, end = 0; end != row.npos; start = end + 1)
        fields.emplace_back(row.substr(start, (end = row.find(separator, start)) - start));
    return fields;
}
struct CommandResult {
    int status = -1;  // exit status, -1 when the command did not end normally
    std::string output;  // standard output and standard error together
};

}  // namespace kvtest

// Other programs, open files and locks of other processes, as the host offers them.
#ifdef _WIN32
#include "support/HostWindows.h"
#else
#include "support/HostPosix.h"
#endif

namespace kvtest {

// qpdf --check (with the password that opens the file) finds neither errors nor warnings.
inline ::testing::AssertionResult QpdfClean(const fs::path& pdf, const std::string& password = {}) {
    const CommandResult r = RunCommand("qpdf --check --password=" + Quoted(password) + " " + Quoted(pdf));
    if (r.status == 0 && r.output.find("WARNING") == std::string::npos &&
        r.output.find("No syntax or stream encoding errors found") != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << pdf << "\n"
                                         << r.output;
}
// The text of every page, as pdftotext -layout gives it in UTF-8.
inline std::string PdfText(const fs::path& pdf, const std::string& password = {}) {
    return RunCommand("pdftotext -layout -enc UTF-8" + (password.empty() ? "" : " -upw " + Quoted(password)) + " " + Quoted(pdf) + " -").output;
}

}  // namespace kvtest
