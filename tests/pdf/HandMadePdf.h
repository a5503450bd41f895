// A tiny one-page PDF assembled by hand, independent of the QuillPdf class, so
// that the filters and the protection values can be checked by qpdf alone.
#pragma once

#include "pdf/Protection.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/wait.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace handmade {

// A literal string body with every byte that a reader would alter escaped:
// the delimiters, the backslash and both end-of-line bytes.
inline std::string EscapeLiteral(const std::string& bytes)
{
    std::string out;
    for (char ch : bytes) {
        switch (ch) {
        case '(': out += "\\("; break;
        case ')': out += "\\)"; break;
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default: out += ch;
        }
    }
    return out;
}

inline std::string Hex(const std::string& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

struct Document {
    std::string content;                         // content stream, already encoded
    std::string filterNames;                     // e.g. "/ASCII85Decode /FlateDecode "
    std::string title = "Fondo (Tesoreria) \\ test";
    std::optional<quill::Protection> protection;
};

// Objects: 1 catalog, 2 page tree, 3 page, 4 content stream, 5 font, 6 info,
// 7 encryption dictionary (when protected).
inline std::string Build(const Document& doc)
{
    std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    auto object = [&](const std::string& body) {
        offsets.push_back(out.size());
        out += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    quill::Rc4 rc4;
    std::string stream = doc.content;
    std::string title = doc.title;
    if (doc.protection) {
        rc4.Rc4Crypt(doc.protection->ObjectKey(4), stream);
        rc4.Rc4Crypt(doc.protection->ObjectKey(6), title);
    }
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
           "/Resources << /Font << /F1 5 0 R >> >> >>");
    std::string dict = "<< /Length " + std::to_string(stream.size());
    if (!doc.filterNames.empty()) dict += " /Filter [" + doc.filterNames + "]";
    object(dict + " >>\nstream\n" + stream + "\nendstream");
    object("<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>");
    object("<< /Title (" + EscapeLiteral(title) + ") >>");
    if (doc.protection) {
        const auto& p = *doc.protection;
        object("<< /Filter /Standard\r/O (" + EscapeLiteral(p.O) + ")\r/U (" + EscapeLiteral(p.U) +
               ")\r/P " + std::to_string(p.P) + "\r" +
               (p.is128 ? "/V 2 /R 3 /Length 128 >>" : "/V 1 /R 2 >>"));
    }
    const size_t xref = out.size();
    out += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f\r\n";
    for (size_t off : offsets) {
        char line[21];
        std::snprintf(line, sizeof line, "%010zu 00000 n\r\n", off);
        out += line;
    }
    out += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R /Info 6 0 R";
    if (doc.protection) {
        const std::string id = Hex(doc.protection->fileId);
        out += "\n/Encrypt 7 0 R /ID [<" + id + "><" + id + ">]";
    }
    out += " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

// A scratch folder removed with everything in it when the object goes.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& tag)
        : path_(std::filesystem::temp_directory_path() /
                ("quill_" + tag + "_" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::string file = File(name);
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

private:
    std::filesystem::path path_;
};

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

inline CommandResult Run(const std::string& command)
{
    CommandResult result;
    FILE* pipe = ::popen((command + " 2>&1 </dev/null").c_str(), "r");
    if (!pipe) return result;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline std::string ReadFile(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace handmade
