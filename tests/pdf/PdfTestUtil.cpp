#include "pdf/PdfTestUtil.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace pdftest {

CommandResult Run(const std::string& command) {
    CommandResult result;
    const std::string full = command + " 2>&1 </dev/null";
    FILE* pipe = popen(full.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += "'\\''";
        else out.push_back(c);
    }
    return out + "'";
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("quillpdf-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

CommandResult QpdfCheck(const std::string& path, const std::string& password) {
    std::string command = "qpdf --check ";
    if (!password.empty()) command += "--password=" + Quote(password) + " ";
    return Run(command + Quote(path));
}

bool QpdfClean(const std::string& path, std::string* report, const std::string& password) {
    const CommandResult r = QpdfCheck(path, password);
    if (report != nullptr) *report = r.output;
    return r.exitCode == 0 && r.output.find("WARNING") == std::string::npos &&
           r.output.find("ERROR") == std::string::npos &&
           r.output.find("No syntax or stream encoding errors found") != std::string::npos;
}

std::string PdfToText(const std::string& path, const std::string& extraArguments) {
    return Run("pdftotext -enc UTF-8 " + extraArguments + " " + Quote(path) + " -").output;
}

namespace {

double Attribute(const std::string& tag, const std::string& name) {
    const size_t at = tag.find(name + "=\"");
    if (at == std::string::npos) return -1;
    // pdftotext writes "." whatever the locale: read it the same way.
    const char* begin = tag.c_str() + at + name.size() + 2;
    double value = -1;
    std::from_chars(begin, tag.c_str() + tag.size(), value);
    return value;
}

}  // namespace

std::vector<Word> PdfWords(const std::string& path, int page) {
    const std::string page_s = std::to_string(page);
    const std::string html =
        Run("pdftotext -enc UTF-8 -bbox -f " + page_s + " -l " + page_s + " " + Quote(path) + " -").output;
    std::vector<Word> words;
    size_t pos = 0;
    while ((pos = html.find("<word ", pos)) != std::string::npos) {
        const size_t close = html.find('>', pos);
        const size_t end = html.find("</word>", close);
        if (close == std::string::npos || end == std::string::npos) break;
        const std::string tag = html.substr(pos, close - pos);
        Word w;
        w.xMin = Attribute(tag, "xMin");
        w.yMin = Attribute(tag, "yMin");
        w.xMax = Attribute(tag, "xMax");
        w.yMax = Attribute(tag, "yMax");
        w.text = html.substr(close + 1, end - close - 1);
        words.push_back(w);
        pos = end;
    }
    return words;
}

Image::Pixel Image::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return {-1, -1, -1};
    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

Image Render(const std::string& path, int page, int dpi) {
    TempDir dir;
    const std::string prefix = dir.File("page");
    const std::string p = std::to_string(page);
    Run("pdftoppm -r " + std::to_string(dpi) + " -f " + p + " -l " + p + " -singlefile " + Quote(path) + " " +
        Quote(prefix));
    const std::string data = ReadFile(prefix + ".ppm");
    Image image;
    // Binary PPM: "P6", width, height, maximum value, one whitespace byte, pixels.
    std::istringstream header(data);
    std::string magic;
    int maxValue = 0;
    header >> magic >> image.width >> image.height >> maxValue;
    if (magic != "P6" || maxValue != 255) return Image{};
    const size_t offset = static_cast<size_t>(header.tellg()) + 1;
    const size_t size = static_cast<size_t>(image.width) * image.height * 3;
    if (data.size() < offset + size) return Image{};
    image.rgb.assign(data.begin() + static_cast<long>(offset), data.begin() + static_cast<long>(offset + size));
    return image;
}

std::string CheckXref(const std::string& bytes) {
    const size_t sx = bytes.rfind("startxref\n");
    if (sx == std::string::npos) return "no startxref";
    const uint64_t xrefOffset = std::stoull(bytes.substr(sx + 10));
    if (bytes.compare(xrefOffset, 5, "xref\n") != 0) return "startxref does not point at xref";
    size_t pos = xrefOffset + 5;
    const size_t lineEnd = bytes.find('\n', pos);
    const std::string subsection = bytes.substr(pos, lineEnd - pos);
    if (subsection.rfind("0 ", 0) != 0) return "subsection does not start at 0: " + subsection;
    const unsigned count = static_cast<unsigned>(std::stoul(subsection.substr(2)));
    pos = lineEnd + 1;
    if (bytes.compare(pos, 20, "0000000000 65535 f\r\n") != 0) return "bad entry 0";
    for (unsigned n = 1; n < count; ++n) {
        const std::string entry = bytes.substr(pos + 20ull * n, 20);
        if (entry.size() != 20 || entry.substr(18) != "\r\n") return "entry " + std::to_string(n) + " not 20 bytes";
        if (entry.substr(10, 8) == " 65535 f") continue;
        if (entry.substr(10, 8) != " 00000 n") return "entry " + std::to_string(n) + " malformed: " + entry;
        const uint64_t offset = std::stoull(entry.substr(0, 10));
        const std::string expected = std::to_string(n) + " 0 obj";
        if (bytes.compare(offset, expected.size(), expected) != 0)
            return "object " + std::to_string(n) + " not at offset " + std::to_string(offset);
    }
    pos += 20ull * count;
    if (bytes.compare(pos, 8, "trailer\n") != 0) return "no trailer after the table";
    const std::string size = "/Size " + std::to_string(count) + " ";
    if (bytes.find(size, pos) == std::string::npos) return "trailer /Size is not " + std::to_string(count);
    return "";
}

std::vector<RawStream> Streams(const std::string& bytes) {
    std::vector<RawStream> out;
    size_t pos = 0;
    while ((pos = bytes.find(" >>\rstream\n", pos)) != std::string::npos) {
        const size_t lengthAt = bytes.rfind("/Length ", pos);
        const size_t dictAt = bytes.rfind("<<", lengthAt);
        const size_t length = std::stoul(bytes.substr(lengthAt + 8));
        RawStream s;
        s.dictionary = bytes.substr(dictAt, pos - dictAt);
        s.data = bytes.substr(pos + 11, length);
        out.push_back(std::move(s));
        pos += 11 + length;
    }
    return out;
}

std::vector<std::string> PageContents(const std::string& bytes) {
    std::vector<std::string> out;
    for (RawStream& s : Streams(bytes)) {
        if (s.dictionary.find("/Type") == std::string::npos) out.push_back(std::move(s.data));
    }
    return out;
}

}  // namespace pdftest
