// quillpdf-specimen: writes one PDF document that shows what the QuillPdf
// writer does: the standard fonts, TrueType fonts, pictures and an EPS
// drawing, every barcode symbology, an outline, links between pages and a
// web link. It is the writer's demonstration and the document its readers
// are checked against.
//
// Texts are Windows-1252 bytes, as the writer takes them; file names (UTF-8
// here) are converted before they are printed.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "quill/QuillPdf.h"

namespace {

using quill::QuillPdf;
namespace fs = std::filesystem;

constexpr char kUsage[] =
    "Usage: quillpdf-specimen OUT.pdf [--font FILE.ttf]... [--image FILE]...\n"
    "Writes OUT.pdf, a specimen of the QuillPdf writer: the 14 standard fonts, each\n"
    "TrueType font given (embedded), each picture given (JPEG, BMP, GIF, TGA, EPS, AI\n"
    "or WMF) and an EPS drawing of its own, every barcode symbology with its data,\n"
    "an outline of the pages, links between the pages and to a web address.\n"
    "A font or picture the writer refuses is shown with its error; the document\n"
    "is still written.\n"
    "Exit status: 0 written, 1 the writer failed (the error on standard error),\n"
    "2 bad command line.\n";

// Page geometry in points (the writer's default unit), A4 with 50 pt margins.
constexpr float kWidth = 496, kBottom = 742;
constexpr char kLinkColour[] = "#1F4FBF";
constexpr char kSample[] = "Caff\xE8 e t\xE8, na\xEFve \xC0 la carte, \xDF \xF1 \x80 12,50 \x93ok\x94";

struct Options {
    std::string out;
    std::vector<std::string> fonts, images;
};

// One TrueType font or picture of the command line, tried beforehand.
struct Item {
    std::string path;
    std::string refusal;  // the writer's error text; empty when accepted
};

struct Section {
    std::string title;
    int firstPage = 0;
};

// Windows-1252 positions 0x80-0x9F; 0 where the code page has no character.
constexpr char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// UTF-8 to Windows-1252; what the code page lacks (and broken UTF-8) becomes "?".
std::string ToCp1252(std::string_view utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
        if (length == 0 || i + length > utf8.size()) {
            out += '?', ++i;
            continue;
        }
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = true;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = valid && (next & 0xC0) == 0x80;
            cp = cp << 6 | (next & 0x3F);
        }
        i += valid ? length : 1;
        const auto high = std::find(std::begin(kCp1252High), std::end(kCp1252High), cp);
        if (valid && (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)))
            out += static_cast<char>(cp);
        else if (valid && cp != 0 && high != std::end(kCp1252High))
            out += static_cast<char>(0x80 + (high - kCp1252High));
        else
            out += '?';
    }
    return out;
}

std::string ErrorText(const QuillPdf& pdf) {
    return pdf.ErrSource() + ": " + pdf.ErrDescription() + " (error " + std::to_string(pdf.ErrNumber()) + ")";
}

// Tries a file in a throw-away document, so that a refused file leaves the
// specimen's own error state clean. Returns "" or the writer's error.
std::string Probe(const fs::path& folder, const std::function<void(QuillPdf&)>& use) {
    QuillPdf probe;
    probe.BeginDoc((folder / "probe.pdf").string());
    probe.BeginPage();
    use(probe);
    const std::string error = probe.ErrNumber() == 0 ? "" : ErrorText(probe);
    probe.Abort();
    return error;
}

// ---- pictures --------------------------------------------------------------

// The picture's own width and height (pixels, or points for drawings) read
// from its header, to fit it into its cell; 0, 0 when not understood.
std::pair<double, double> PictureSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string b(1 << 20, '\0');  // headers, and JPEG markers before the frame
    in.read(b.data(), static_cast<std::streamsize>(b.size()));
    b.resize(static_cast<size_t>(in.gcount()));
    auto byte = [&](size_t i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0u; };
    auto le16 = [&](size_t i) { return static_cast<double>(byte(i) | byte(i + 1) << 8); };
    auto be16 = [&](size_t i) { return static_cast<double>(byte(i) << 8 | byte(i + 1)); };
    auto le32 = [&](size_t i) {
        return static_cast<double>(
            static_cast<int32_t>(byte(i) | byte(i + 1) << 8 | byte(i + 2) << 16 | byte(i + 3) << 24));
    };
    std::string ext = fs::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (byte(0) == 0xFF && byte(1) == 0xD8) {
        for (size_t i = 2; i + 9 < b.size() && byte(i) == 0xFF;) {
            const unsigned marker = byte(i + 1);
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
                return {be16(i + 7), be16(i + 5)};
            i += 2 + static_cast<size_t>(be16(i + 2));
        }
    } else if (b.starts_with("BM")) {
        return {le32(18), std::fabs(le32(22))};
    } else if (b.starts_with("GIF8")) {
        return {le16(6), le16(8)};
    } else if (b.starts_with("\xD7\xCD\xC6\x9A")) {  // placeable metafile: bounds in units per inch
        const double unitsPerInch = le16(14) > 0 ? le16(14) : 1440;
        auto s16 = [&](size_t i) { return static_cast<double>(static_cast<int16_t>(le16(i))); };
        return {std::fabs(s16(10) - s16(6)) * 72 / unitsPerInch, std::fabs(s16(12) - s16(8)) * 72 / unitsPerInch};
    } else if (ext == ".TGA") {
        return {le16(12), le16(14)};
    } else if (const size_t box = b.find("%%BoundingBox:"); box != std::string::npos) {
        std::istringstream line(b.substr(box + 14, 80));
        double llx = 0, lly = 0, urx = 0, ury = 0;
        if (line >> llx >> lly >> urx >> ury) return {urx - llx, ury - lly};
    }
    return {0, 0};
}

// A small drawing in the path operators the writer translates: a framed box
// and a triangle, in two colours.
bool WriteEpsDrawing(const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    out << "%!PS-Adobe-3.0 EPSF-3.0\n"
           "%%Creator: quillpdf-specimen\n"
           "%%Title: A box and a triangle\n"
           "%%BoundingBox: 0 0 200 120\n"
           "%%EndProlog\n"
           "4 w\n"
           "0 0 0 1 K\n"
           "0.1 0 0 0 k\n"
           "10 10 m\n"
           "190 10 l\n"
           "190 110 l\n"
           "10 110 l\n"
           "b\n"
           "0 0.8 1 0 k\n"
           "40 25 m\n"
           "160 25 l\n"
           "100 95 l\n"
           "b\n"
           "showpage\n"
           "%%Trailer\n"
           "%%EOF\n";
    out.close();
    return !out.fail();
}

// ---- barcodes --------------------------------------------------------------

struct Symbol {
    quill::Barcode type;
    const char* name;
    const char* code;  // as passed to the writer
    bool addCheck;
    const char* note;
};

constexpr Symbol kSymbols[] = {
    {quill::Barcode::Ean13, "EAN-13", "978020137962", false, "12 digits; the writer adds the check digit."},
    {quill::Barcode::Ean8, "EAN-8", "9638507", false, "7 digits; the writer adds the check digit."},
    {quill::Barcode::Code39, "Code 39", "QUILLPDF-2.4.8", false, "Full ASCII: other characters go as pairs."},
    {quill::Barcode::Code39, "Code 39 with check character", "KVTESO 2026", true,
     "The modulo 43 check character follows."},
    {quill::Barcode::Interleaved2of5, "Interleaved 2 of 5", "12345678", true,
     "Check digit, then a 0 in front: an even count."},
    {quill::Barcode::Code128, "Code 128, subset B", "QuillPdf 2.4.8", false,
     "The check symbol is not part of the data."},
    {quill::Barcode::Code128, "Code 128, subsets B and C", "INV20261206", false,
     "Switches to subset C for the digits."},
    {quill::Barcode::Postnet, "POSTNET", "12345-6789", false, "ZIP+4; the check digit is always added."},
};
constexpr int kSymbolsPerPage = 4;

// Check digit with weights 3, 1, 3 ... from the rightmost digit (EAN, Interleaved 2 of 5).
char WeightedCheck(std::string_view digits) {
    int sum = 0, weight = 3;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, weight = 4 - weight) sum += (*it - '0') * weight;
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

// What a reader decodes from the symbol, check characters included.
std::string Transmitted(const Symbol& s) {
    std::string code = s.code;
    switch (s.type) {
    case quill::Barcode::Ean13:
    case quill::Barcode::Ean8: return code + WeightedCheck(code);
    case quill::Barcode::Code39:
        if (s.addCheck) {
            constexpr std::string_view kSet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
            size_t sum = 0;
            for (char c : code) sum += kSet.find(c);
            code += kSet[sum % 43];
        }
        return code;
    case quill::Barcode::Interleaved2of5:
        if (s.addCheck) code += WeightedCheck(code);
        return code.size() % 2 ? "0" + code : code;
    case quill::Barcode::Postnet: {
        std::string digits;
        int sum = 0;
        for (char c : code) {
            if (c >= '0' && c <= '9') digits += c, sum += c - '0';
        }
        return digits + ", check digit " + std::to_string((10 - sum % 10) % 10);
    }
    default: return code;
    }
}

// ---- the document ----------------------------------------------------------

class Specimen {
public:
    Specimen(QuillPdf& pdf, const Options& options, const fs::path& scratch) : pdf_(pdf) {
        for (const std::string& font : options.fonts)
            fonts_.push_back(
                {font, Probe(scratch, [&](QuillPdf& p) { p.AddFont(font, "", true, quill::Encoding::WinAnsi); })});
        for (const std::string& image : options.images)
            pictures_.push_back({image, Probe(scratch, [&](QuillPdf& p) { p.DrawImage(image, 0, 0, 100, 0); })});
        const std::string eps = (scratch / "box-and-triangle.eps").string();
        pictures_.push_back({eps,
                             WriteEpsDrawing(eps) ? Probe(scratch, [&](QuillPdf& p) { p.DrawImage(eps, 0, 0, 100); })
                                                  : "the drawing could not be written in " + scratch.string()});
        epsIndex_ = pictures_.size() - 1;

        const int fontPages = std::max<int>(1, static_cast<int>((fonts_.size() + kFontsPerPage - 1) / kFontsPerPage));
        const int picturePages = static_cast<int>((pictures_.size() + kCellsPerPage - 1) / kCellsPerPage);
        sections_ = {{"Contents", 1},
                     {"The 14 standard fonts", 2},
                     {"TrueType fonts", 3},
                     {"Pictures and drawings", 3 + fontPages},
                     {"Barcodes", 3 + fontPages + picturePages}};
    }

    void Write() {
        Contents();
        StandardFonts();
        TrueTypeFonts();
        Pictures();
        Barcodes();
    }

private:
    static constexpr size_t kFontsPerPage = 7, kCellsPerPage = 6;

    // Title, outline entry (none when empty), "back to contents" link and footer of a new page.
    void StartPage(const std::string& title, const std::string& bookmark) {
        pdf_.BeginPage();
        if (!bookmark.empty()) pdf_.AddBookmark(bookmark);
        pdf_.SetColorText("Black");
        pdf_.SetFont("Arial", 18, quill::FontStyle::Bold);
        pdf_.DrawText(0, 18, title);
        if (pdf_.GetPage() > 1) {
            pdf_.SetFont("Arial", 9, quill::FontStyle::Underline);
            pdf_.SetColorText(kLinkColour);
            pdf_.DrawText(kWidth, 16, "Back to contents", quill::Align::Right);
            pdf_.LinkTo("ref:contents");
        }
        pdf_.SetColorLine("%40");
        pdf_.SetLineWidth(0.5f);
        pdf_.DrawLine(0, 26, kWidth, 26);
        pdf_.SetFont("Arial", 8, quill::FontStyle::Regular);
        pdf_.SetColorText("%55");
        pdf_.DrawText(kWidth / 2, kBottom - 4, "QuillPdf specimen \x96 page " + std::to_string(pdf_.GetPage()),
                      quill::Align::Center);
        pdf_.SetColorText("Black");
    }

    void Heading(float y, const std::string& text) {
        pdf_.SetColorText("Black");
        pdf_.SetFont("Arial", 12, quill::FontStyle::Bold);
        pdf_.DrawText(0, y, text);
    }

    void Contents() {
        StartPage("QuillPdf specimen", "Contents");
        pdf_.DefineRef("contents");
        pdf_.SetFont("Times", 11);
        const char* intro[] = {
            "This document is written by the tool quillpdf-specimen with the QuillPdf writer,",
            "the PDF writer of KVTESO. Every page shows one part of what the writer does; the",
            "outline beside the pages and the entries below lead to each of them.",
        };
        float y = 56;
        for (const char* line : intro) pdf_.DrawText(0, y, line), y += 15;
        pdf_.DrawText(
            0, y,
            "Writer: " + std::string(quill::kLibraryName) + " " + pdf_.Version() + ". Streams compressed with Flate.");
        Heading(y += 40, "Contents");
        y += 8;
        for (const Section& s : sections_) {
            if (s.firstPage == 1) continue;
            y += 22;
            pdf_.SetFont("Arial", 12, quill::FontStyle::Underline);
            pdf_.SetColorText(kLinkColour);
            pdf_.DrawText(20, y, s.title);
            pdf_.LinkTo("page:" + std::to_string(s.firstPage), 0, quill::Highlight::Outline);
            pdf_.SetFont("Arial", 12, quill::FontStyle::Regular);
            pdf_.DrawText(kWidth, y, "page " + std::to_string(s.firstPage), quill::Align::Right);
            pdf_.LinkTo("page:" + std::to_string(s.firstPage));
        }
        Heading(y += 50, "On the web");
        pdf_.SetFont("Arial", 11, quill::FontStyle::Regular);
        pdf_.SetColorText("Black");
        pdf_.DrawText(0, y += 22, "A link to a web address:");
        pdf_.SetFont("Arial", 11, quill::FontStyle::Underline);
        pdf_.SetColorText(kLinkColour);
        pdf_.DrawText(130, y, "https://example.org/");
        pdf_.LinkTo("https://example.org/", 0, quill::Highlight::Invert);
        pdf_.SetColorText("Black");
    }

    void StandardFonts() {
        StartPage(sections_[1].title, sections_[1].title);
        using enum quill::FontStyle;
        struct Face {
            const char* label;
            const char* name;
            quill::FontStyle style;
        };
        const Face faces[] = {{"Arial", "Arial", Regular},
                              {"Arial Bold", "Arial", Bold},
                              {"Arial Italic", "Arial", Italic},
                              {"Arial Bold Italic", "Arial", Bold | Italic},
                              {"Times New Roman", "Times New Roman", Regular},
                              {"Times New Roman Bold", "Times New Roman", Bold},
                              {"Times New Roman Italic", "Times New Roman", Italic},
                              {"Times New Roman Bold Italic", "Times New Roman", Bold | Italic},
                              {"Courier New", "Courier New", Regular},
                              {"Courier New Bold", "Courier New", Bold},
                              {"Courier New Italic", "Courier New", Italic},
                              {"Courier New Bold Italic", "Courier New", Bold | Italic},
                              {"Symbol", "Symbol", Regular},
                              {"ZapfDingbats", "ZapfDingbats", Regular}};
        float y = 50;
        for (const Face& f : faces) {
            pdf_.SetFont("Arial", 8, quill::FontStyle::Regular);
            pdf_.SetColorText("%60");
            pdf_.DrawText(0, y, f.label);
            pdf_.SetFont(f.name, 11, f.style);
            pdf_.SetColorText("Black");
            const bool latin = std::string_view(f.name) != "Symbol" && std::string_view(f.name) != "ZapfDingbats";
            pdf_.DrawText(130, y, latin ? kSample : "abgdezhq ABGDEZHQ \xA5\xAE\xB6\xC5 0123456789");
            y += 19;
        }

        Heading(y += 18, "Sizes");
        float x = 0;
        y += 34;
        pdf_.SetColorText("Black");
        for (int size : {6, 8, 10, 12, 16, 20, 28, 36}) {
            pdf_.SetFont("Times New Roman", static_cast<float>(size), quill::FontStyle::Regular);
            const std::string text = std::to_string(size) + " pt";
            pdf_.DrawText(x, y, text);
            x += pdf_.TextLength(text) + 14;
        }

        Heading(y += 30, "Colours and lines");
        const std::pair<const char*, const char*> colours[] = {{"#C00000", "red #C00000"},
                                                               {"@0;128;0", "green @0;128;0"},
                                                               {"Blue", "Blue"},
                                                               {"%50", "grey %50"},
                                                               {"@0;100;0;0", "magenta @0;100;0;0 (CMYK)"}};
        x = 0;
        y += 22;
        pdf_.SetFont("Arial", 11, quill::FontStyle::Bold);
        for (const auto& [colour, label] : colours) {
            pdf_.SetColorText(colour);
            pdf_.DrawText(x, y, label);
            x += pdf_.TextLength(label) + 16;
        }
        pdf_.SetColorText("Black");
        pdf_.SetFont("Arial", 11, quill::FontStyle::Regular);
        x = 0;
        y += 22;
        for (const auto& [style, label] : {std::pair{Underline, "underlined"},
                                           {Overline, "overlined"},
                                           {Strikeout, "struck through"},
                                           {Bold | Underline, "bold and underlined"}}) {
            pdf_.SetFont("Arial", 11, style);
            pdf_.DrawText(x, y, label);
            x += pdf_.TextLength(label) + 22;
        }

        Heading(y += 34, "Alignment");
        pdf_.SetColorLine("#C00000");
        pdf_.SetLineWidth(0.5f);
        pdf_.DrawLine(kWidth / 2, y + 8, kWidth / 2, y + 64);
        pdf_.SetFont("Times New Roman", 12, quill::FontStyle::Regular);
        pdf_.DrawText(kWidth / 2, y += 22, "Left aligned: starts at the red line", quill::Align::Left);
        pdf_.DrawText(kWidth / 2, y += 18, "Right aligned: ends at the red line", quill::Align::Right);
        pdf_.DrawText(kWidth / 2, y += 18, "Centred on the red line", quill::Align::Center);
    }

    void TrueTypeFonts() {
        const Section& section = sections_[2];
        StartPage(section.title, section.title);
        float y = 56;
        if (fonts_.empty()) {
            pdf_.SetFont("Arial", 11, quill::FontStyle::Regular);
            pdf_.DrawText(0, y,
                          "No TrueType font was given. Try --font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
            return;
        }
        for (size_t i = 0; i < fonts_.size(); ++i) {
            if (i > 0 && i % kFontsPerPage == 0)
                StartPage(section.title + " (continued)", section.title + " (continued)"), y = 56;
            const Item& font = fonts_[i];
            pdf_.SetFont("Arial", 9, quill::FontStyle::Regular);
            pdf_.SetColorText("%60");
            pdf_.DrawText(0, y, ToCp1252(font.path));
            if (!font.refusal.empty()) {
                pdf_.SetColorText("#C00000");
                pdf_.SetFont("Arial", 11, quill::FontStyle::Regular);
                pdf_.DrawText(0, y + 18, "Refused: " + ToCp1252(font.refusal));
            } else {
                const std::string key = pdf_.AddFont(font.path, "", true, quill::Encoding::WinAnsi);
                pdf_.SetColorText("Black");
                pdf_.DrawText(pdf_.TextLength(ToCp1252(font.path)) + 8, y, "selected as \"" + key + "\", embedded");
                pdf_.SetFont(key, 14, quill::FontStyle::Regular);
                pdf_.DrawText(0, y + 20, kSample);
                pdf_.SetFont(key, 24, quill::FontStyle::Regular);
                pdf_.DrawText(0, y + 50, "Aa Bb Gg Qq 0123 \x80\xA3 \xC6\xD8\xE5");
            }
            y += 96;
        }
    }

    void Pictures() {
        const Section& section = sections_[3];
        constexpr float kCellWidth = 236, kCellHeight = 218, kBoxWidth = 220, kBoxHeight = 170;
        for (size_t i = 0; i < pictures_.size(); ++i) {
            if (i % kCellsPerPage == 0) {
                const std::string title = i == 0 ? section.title : section.title + " (continued)";
                StartPage(title, title);
            }
            const Item& picture = pictures_[i];
            const float x = static_cast<float>(i % 2) * (kWidth - kCellWidth);
            const float y = 44 + static_cast<float>(i % kCellsPerPage / 2) * kCellHeight;
            pdf_.SetColorLine("%25");
            pdf_.SetLineWidth(0.5f);
            pdf_.DrawRect(x, y, kCellWidth, kCellHeight - 12);
            const std::string caption = i == epsIndex_ ? "An EPS drawing written by this tool (a box and a triangle)"
                                                       : ToCp1252(fs::path(picture.path).filename().string());
            pdf_.SetColorText("Black");
            pdf_.SetFont("Arial", 9, quill::FontStyle::Regular);
            pdf_.DrawText(x + kCellWidth / 2, y + kCellHeight - 20, caption, quill::Align::Center);
            if (!picture.refusal.empty()) {
                pdf_.SetColorText("#C00000");
                pdf_.SetFont("Arial", 9, quill::FontStyle::Regular);
                pdf_.DrawText(x + 8, y + 20, "Refused:");
                WrapText(x + 8, y + 34, kBoxWidth - 8, ToCp1252(picture.refusal));
                continue;
            }
            const auto [w, h] = PictureSize(picture.path);
            float width = kBoxWidth, height = 0;
            if (w > 0 && h > 0) {
                const double scale = std::min(kBoxWidth / w, kBoxHeight / h);
                width = static_cast<float>(w * scale), height = static_cast<float>(h * scale);
            }
            pdf_.DrawImage(picture.path, x + (kCellWidth - width) / 2, y + 10 + (kBoxHeight - height) / 2, width,
                           height);
        }
    }

    // A long text (an error naming a path) in lines that fit the width, broken at blanks where it can.
    void WrapText(float x, float y, float width, std::string text) {
        for (; !text.empty(); y += 11) {
            size_t n = text.size();
            while (n > 1 && pdf_.TextLength(text.substr(0, n)) > width) --n;
            if (const size_t blank = text.rfind(' ', n); n < text.size() && blank != std::string::npos && blank > 0)
                n = blank + 1;
            pdf_.DrawText(x, y, text.substr(0, n));
            text.erase(0, n);
        }
    }

    void Barcodes() {
        const Section& section = sections_[4];
        for (size_t i = 0; i < std::size(kSymbols); ++i) {
            const Symbol& s = kSymbols[i];
            if (i % kSymbolsPerPage == 0) {
                // The symbols' own outline entries, children of the first page's, stand for the other pages.
                StartPage(i == 0 ? section.title : section.title + " (continued)", i == 0 ? section.title : "");
                pdf_.SetFont("Arial", 9, quill::FontStyle::Regular);
                pdf_.DrawText(0, 42,
                              "Beside each symbol: the data a reader decodes from it, check characters included.");
            }
            const float y = 74 + static_cast<float>(i % kSymbolsPerPage) * 168;
            pdf_.AddBookmark(s.name, i == 0 ? -1 : 0, quill::View::FitHorizontal, 0, y - 20);
            pdf_.SetColorText("Black");
            pdf_.SetFont("Arial", 12, quill::FontStyle::Bold);
            pdf_.DrawText(0, y, s.name);
            pdf_.SetFont("Arial", 9, quill::FontStyle::Regular);
            pdf_.DrawText(0, y + 16, std::string("Code given: ") + s.code + (s.addCheck ? ", with a check" : ""));
            pdf_.DrawText(0, y + 30, s.note);
            pdf_.SetFont("Courier New", 10, quill::FontStyle::Bold);
            pdf_.DrawText(0, y + 50, (s.type == quill::Barcode::Postnet ? "Digits: " : "Data: ") + Transmitted(s));
            const bool ownHeight = s.type == quill::Barcode::Ean13 || s.type == quill::Barcode::Postnet ||
                s.type == quill::Barcode::Ean8;  // EAN's tall bars; POSTNET's fixed ones
            pdf_.DrawBarCode(s.type, s.code, 250, y - 10, true, 1, ownHeight ? 0 : 56, s.addCheck);
        }
    }

    QuillPdf& pdf_;
    std::vector<Item> fonts_, pictures_;
    size_t epsIndex_ = 0;
    std::vector<Section> sections_;
};

// 0 with the options read, 2 after a message for a bad command line, -1 after --help.
int ParseCommandLine(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") return -1;
        if (arg == "--font" || arg == "--image") {
            if (i + 1 == argc) {
                std::cerr << "quillpdf-specimen: " << arg << " needs a file name\n";
                return 2;
            }
            (arg == "--font" ? options.fonts : options.images).push_back(argv[++i]);
        } else if (arg.starts_with("-") && arg != "-") {
            std::cerr << "quillpdf-specimen: unknown option " << arg << "\n";
            return 2;
        } else if (!options.out.empty()) {
            std::cerr << "quillpdf-specimen: one output file only (" << options.out << ", " << arg << ")\n";
            return 2;
        } else {
            options.out = arg;
        }
    }
    if (options.out.empty()) {
        std::cerr << "quillpdf-specimen: no output file given\n";
        return 2;
    }
    return 0;
}

// A new folder of its own in the temporary folder (quillpdf-specimen.<random>), or an empty path.
fs::path ScratchFolder() {
    std::error_code ec;
    const fs::path temporary = fs::temp_directory_path(ec);
    if (ec) return {};
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = temporary / ("quillpdf-specimen." + std::to_string(random()));
        if (fs::create_directory(folder, ec)) return folder;
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int parsed = ParseCommandLine(argc, argv, options); parsed != 0) {
        (parsed < 0 ? std::cout : std::cerr) << kUsage;
        return parsed < 0 ? 0 : 2;
    }
    const fs::path scratch = ScratchFolder();
    if (scratch.empty()) {
        std::cerr << "quillpdf-specimen: no scratch folder in the temporary folder\n";
        return 1;
    }

    QuillPdf pdf;
    pdf.SetDocProperty("QuillPdf specimen", "What the QuillPdf writer does", "KVTESO", "quillpdf-specimen");
    pdf.SetCompression(quill::Filter::Flate);
    pdf.SetViewerPreferences(quill::Viewer::UseOutlines);  // the outline shown beside the pages
    pdf.SetMargins(50, 50, 50, 50);
    pdf.BeginDoc(options.out);
    if (pdf.ErrNumber() == 0) {
        Specimen(pdf, options, scratch).Write();
        pdf.EndDoc();
    }
    std::error_code ec;
    fs::remove_all(scratch, ec);
    if (pdf.ErrNumber() != 0) {
        std::cerr << "quillpdf-specimen: " << options.out << ": " << ErrorText(pdf) << "\n";
        return 1;
    }
    return 0;
}
