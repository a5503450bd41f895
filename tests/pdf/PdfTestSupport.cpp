#include "pdf/PdfTestSupport.h"

#include <gtest/gtest.h>

#include <charconv>
#include <regex>
#include <sstream>

namespace pdftest {

std::string TempPath(const std::string& name) {
    static const kvtest::TempDir folder("quillpdf-test-");
    static int counter = 0;
    return (folder.path / (std::to_string(++counter) + "-" + name)).string();
}

std::string CheckXref(const std::string& bytes) {
    const size_t sx = bytes.rfind("startxref\n");
    if (sx == std::string::npos) return "no startxref";
    size_t pos = std::stoull(bytes.substr(sx + 10));
    if (bytes.compare(pos, 7, "xref\n0 ") != 0) return "startxref does not point at xref";
    const unsigned count = static_cast<unsigned>(std::stoul(bytes.substr(pos + 7)));
    pos = bytes.find('\n', pos + 5) + 1;
    if (bytes.compare(pos, 20, "0000000000 65535 f\r\n") != 0) return "bad entry 0";
    for (unsigned n = 1; n < count; ++n) {
        const std::string entry = bytes.substr(pos + 20ull * n, 20), num = std::to_string(n);
        if (entry == "0000000000 65535 f\r\n") continue;
        if (entry.size() != 20 || entry.substr(10) != " 00000 n\r\n") return "entry " + num + ": " + entry;
        if (bytes.compare(std::stoull(entry.substr(0, 10)), num.size() + 7, num + " 0 obj\n") != 0)
            return "object " + num + " is not at its offset";
    }
    if (bytes.compare(pos + 20ull * count, 8 + 9, "trailer\n<< /Size ") != 0 ||
        std::stoul(bytes.substr(pos + 20ull * count + 17)) != count)
        return "no trailer with /Size " + std::to_string(count) + " after the table";
    return "";
}

std::string Saved(const std::string& name, const std::string& bytes) {
    const fs::path file = fs::path(TempPath("saved")) / name;
    return WriteFile(file, bytes), file.string();
}

std::string QpdfStream(const std::string& path, int object) {
    return RunCommand("qpdf --show-object=" + std::to_string(object) +
                      " --filtered-stream-data " + Quoted(path))
        .output;
}

int ContentObject(const std::string& bytes, int page) {
    size_t at = 0;
    for (int i = 0; i < page && at != std::string::npos; ++i) at = bytes.find("/Contents ", at + 1);
    return at == std::string::npos ? 0 : std::stoi(bytes.substr(at + 10));
}

std::string RawContent(const std::string& bytes, int page) {
    const size_t length = bytes.find("/Length ", bytes.find("\n" + std::to_string(ContentObject(bytes, page)) + " 0 obj\n"));
    if (length == std::string::npos) return "<none>";
    return bytes.substr(bytes.find(">>\rstream\n", length) + 10, std::stoul(bytes.substr(length + 8)));
}

Doc WriteDoc(const Steps& body, const Steps& before, const std::string& password) {
    Doc doc{TempPath("doc.pdf"), ""};
    quill::QuillPdf pdf;
    pdf.SetFixedCreationDate(kDate);
    if (before) before(pdf);
    pdf.BeginDoc(doc.path);
    if (body) body(pdf);
    pdf.EndDoc();
    doc.bytes = ReadFile(doc.path);
    EXPECT_EQ(pdf.ErrSource(), "");
    EXPECT_EQ(pdf.FileSize(), static_cast<int32_t>(doc.bytes.size()));
    EXPECT_TRUE(QpdfClean(doc.path, password));
    EXPECT_EQ(CheckXref(doc.bytes), "");
    return doc;
}

std::string Content(const Steps& draw, const Steps& before) {
    const Doc doc = WriteDoc([&](quill::QuillPdf& p) { p.BeginPage(), draw(p); }, before);
    const std::string content = RawContent(doc.bytes), frame = "1 0 0 -1 0 842 cm \r0 0 0 rg\r0 0 0 RG\r";
    return content.rfind(frame, 0) == 0 ? content.substr(frame.size()) : content;
}

std::vector<Word> PdfWords(const std::string& path) {
    const std::string html = RunCommand("pdftotext -bbox -f 1 -l 1 " + Quoted(path) + " -").output;
    static const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="[0-9.]+" xMax="([0-9.]+)" yMax="[0-9.]+">([^<]*)<)re");
    auto number = [](const std::ssub_match& m) {  // "." whatever the locale
        double v = 0;
        return std::from_chars(&*m.first, &*m.first + m.length(), v), v;
    };
    std::vector<Word> words;
    for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it)
        words.push_back({number((*it)[1]), number((*it)[2]), (*it)[3]});
    return words;
}

Image Render(const std::string& path) {
    const std::string prefix = TempPath("page");
    RunCommand("pdftoppm -r 72 -f 1 -l 1 -singlefile " + Quoted(path) + " " + Quoted(prefix));
    const std::string data = ReadFile(prefix + ".ppm");
    std::istringstream header(data);  // "P6", width, height, 255, one blank, then the pixels
    std::string magic;
    int maxValue = 0;
    Image image;
    header >> magic >> image.width >> image.height >> maxValue;
    const size_t size = static_cast<size_t>(image.width) * image.height * 3, offset = header.tellg();
    if (magic != "P6" || maxValue != 255 || data.size() < offset + 1 + size) return Image{};
    image.rgb = data.substr(offset + 1, size);
    return image;
}

}  // namespace pdftest
