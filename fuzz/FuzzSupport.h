#pragma once
// Shared pieces of the fuzz harnesses: a scratch folder per process (removed at exit), file helpers,
// the structural check of a written PDF, and Require, which aborts so that libFuzzer (or the replay
// driver) reports the input.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kvfuzz {

namespace fs = std::filesystem;

inline void Require(bool ok, const std::string& what) {
    if (ok) return;
    std::fprintf(stderr, "kvfuzz: check failed: %s\n", what.c_str());
    std::abort();
}

// A private folder under the system's temporary folder; everything a harness writes goes there.
inline const fs::path& Scratch() {
    // Never destroyed: the exit handler, registered before a static path's destructor would be, runs
    // after it and still needs the path.
    static const fs::path& dir = *[] {
        std::string pattern = (fs::temp_directory_path() / "kvfuzz.XXXXXX").string();
        Require(mkdtemp(pattern.data()) != nullptr, "no scratch folder");
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(Scratch(), ec);
        });
        return new fs::path(pattern);
    }();
    return dir;
}

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every entry under root, a regular file with its bytes and a folder with a "/" after its name, to
// prove a run wrote nothing (so a harness may keep its suite from one input to the next).
inline std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        files[e.path().string() + (e.is_directory() ? "/" : "")] = e.is_regular_file() ? ReadFile(e.path()) : "";
    return files;
}

inline uint64_t Number(const std::string& s, size_t at) {
    uint64_t v = 0;
    bool any = false;
    for (; at < s.size() && s[at] >= '0' && s[at] <= '9'; ++at, any = true)
        v = v * 10 + static_cast<uint64_t>(s[at] - '0');
    return any ? v : UINT64_MAX;
}

// The document's structure, as a reader relies on it: startxref points at the table, every entry in
// use points at its "N 0 obj", the objects tile the file from the header to the table (so the object
// count matches /Size - 1 free entries aside), each ends with "endobj", each stream is followed by
// "endstream" exactly /Length bytes after it starts, and the trailer's /Size is the table's.
// Returns "" or the first problem.
inline std::string CheckPdf(const std::string& pdf) {
    if (pdf.compare(0, 5, "%PDF-") != 0) return "no header";
    const size_t sx = pdf.rfind("startxref\n");
    if (sx == std::string::npos) return "no startxref";
    const uint64_t table = Number(pdf, sx + 10);
    if (table >= pdf.size() || pdf.compare(table, 7, "xref\n0 ") != 0) return "startxref does not point at xref";
    const uint64_t size = Number(pdf, table + 7);
    if (size == UINT64_MAX || size == 0) return "no table size";
    size_t pos = pdf.find('\n', table + 5) + 1;
    if (pos + 20 * size > pdf.size() || pdf.compare(pos, 20, "0000000000 65535 f\r\n") != 0) return "bad entry 0";
    std::vector<std::pair<uint64_t, uint64_t>> objects;  // offset, number
    for (uint64_t n = 1; n < size; ++n) {
        const std::string entry = pdf.substr(pos + 20 * n, 20), num = std::to_string(n);
        if (entry == "0000000000 65535 f\r\n") continue;
        if (entry.substr(10) != " 00000 n\r\n") return "entry " + num;
        const uint64_t at = Number(entry, 0);
        if (at >= table || pdf.compare(at, num.size() + 7, num + " 0 obj\n") != 0)
            return "object " + num + " not at its offset";
        objects.emplace_back(at, n);
    }
    if (objects.empty()) return "no objects";
    const size_t trailer = pos + 20 * size;
    if (pdf.compare(trailer, 17, "trailer\n<< /Size ") != 0 || Number(pdf, trailer + 17) != size)
        return "trailer /Size";
    std::sort(objects.begin(), objects.end());
    if (pdf.find(" 0 obj\n") < objects[0].first) return "bytes before the first object in the table";
    for (size_t i = 0; i < objects.size(); ++i) {
        const uint64_t begin = objects[i].first, end = i + 1 < objects.size() ? objects[i + 1].first : table;
        const std::string num = std::to_string(objects[i].second);
        if (end - begin < 7 || pdf.compare(end - 7, 7, "endobj\n") != 0)
            return "object " + num + " does not end with endobj";
        const size_t stream = pdf.find(" >>\rstream\n", begin);
        if (stream == std::string::npos || stream >= end) continue;
        const size_t length = pdf.rfind("/Length ", stream);
        if (length == std::string::npos || length < begin) return "object " + num + " stream without /Length";
        const uint64_t data = stream + 11, n = Number(pdf, length + 8);
        if (n == UINT64_MAX || data + n + 18 != end || pdf.compare(data + n, 18, "\nendstream\nendobj\n") != 0)
            return "object " + num + " stream length";
    }
    return "";
}

}  // namespace kvfuzz
