// TrueType fonts: the metrics written for real fonts against FreeType's reading
// of the same files, what poppler and qpdf make of them, and refused files.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <gtest/gtest.h>
#include <iconv.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>

#include "pdf/PdfFormat.h"
#include "pdf/PdfTestSupport.h"

namespace quill {
namespace {

using namespace pdftest;

const std::string kDir = "/usr/share/fonts/truetype/", kSans = ReadFile(kDir + "dejavu/DejaVuSans.ttf"),
                  kSymbol = ReadFile(kDir + "libreoffice/opens___.ttf");

void Put(std::string& b, size_t at, int n, unsigned v) {
    for (int i = n - 1; i >= 0; --i, v >>= 8) b[at + i] = static_cast<char>(v);
}
// The font with a field changed: of a table's directory entry (0 tag, 8 offset, 12 length), or of the table.
std::string Patched(std::string b, const char* tag, size_t at, unsigned v, bool inTable = false, int n = 4) {
    size_t entry = 12;
    while (b.compare(entry, 4, tag) != 0) entry += 16;
    const auto* offset = reinterpret_cast<const unsigned char*>(&b[entry + 8]);
    Put(b, (inTable ? offset[0] << 24 | offset[1] << 16 | offset[2] << 8 | offset[3] : entry) + at, n, v);
    return b;
}
// Code point of a byte in the charset; the byte itself where the charset has none.
uint32_t Unicode(const char* charset, char c) {
    uint32_t out = static_cast<unsigned char>(c);
    char *in = &c, *to = reinterpret_cast<char*>(&out);
    size_t inLeft = 1, outLeft = 4;
    iconv_t cd = iconv_open("UTF-32LE", charset);
    if (iconv(cd, &in, &inLeft, &to, &outLeft) == static_cast<size_t>(-1)) out = static_cast<unsigned char>(c);
    return iconv_close(cd), out;
}

// The 256 widths and the descriptor's numbers from FreeType's reading of the file.
std::string FreeTypeMetrics(const std::string& bytes, bool macRoman) {
    FT_Library library;
    FT_Face face;
    FT_Init_FreeType(&library), FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes.data()), bytes.size(), 0, &face);
    auto s = [&](double v) { return static_cast<long>(std::nearbyint(v * 1000 / face->units_per_EM)); };
    const auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
    FT_CharMap map = nullptr;  // the first Windows map of format 4
    for (int i = face->num_charmaps - 1; i >= 0; --i)
        map = face->charmaps[i]->platform_id == 3 && FT_Get_CMap_Format(face->charmaps[i]) == 4 ? face->charmaps[i] : map;
    const bool symbolic = map->encoding_id == 0;
    FT_Set_Charmap(face, map);
    uint32_t symbolBase = 0;
    for (uint32_t u = 0xF000; symbolic && u <= 0xF0FF; ++u) symbolBase = FT_Get_Char_Index(face, u) ? 0xF000 : symbolBase;
    // Unrecursed, so that a composite glyph keeps its own advance rather than one of its parts'.
    auto advance = [&](FT_UInt g) { return FT_Load_Glyph(face, g, FT_LOAD_NO_SCALE | FT_LOAD_NO_RECURSE), s(face->glyph->metrics.horiAdvance); };
    FT_BBox box{0, 0, 0, 0}, glyphBox;
    std::string text;
    for (int c = 0; c < 256; ++c) {
        // glibc's Mac Roman has the Greek capital delta at C6 where Apple's table has the increment sign.
        const uint32_t u = macRoman && c == 0xC6 ? 0x2206 : Unicode(macRoman ? "MACINTOSH" : "CP1252", static_cast<char>(c));
        const FT_UInt g = FT_Get_Char_Index(face, symbolic ? symbolBase + c : u);
        text += ' ' + std::to_string(advance(g));  // composite glyphs have no outline
        if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE || face->glyph->outline.n_points == 0) continue;
        FT_Outline_Get_CBox(&face->glyph->outline, &glyphBox);
        box = {std::min(box.xMin, glyphBox.xMin), std::min(box.yMin, glyphBox.yMin), std::max(box.xMax, glyphBox.xMax),
               std::max(box.yMax, glyphBox.yMax)};
    }
    const double angle = std::nearbyint(((post->italicAngle >> 16) + (post->italicAngle & 0xFFFF) / 65535.0) * 100) / 100;
    const long ascent = s(os2->usWinAscent), maxWidth = s(face->max_advance_width);
    text += " |";  // then the descriptor's numbers
    for (long v : {(angle != 0 ? 64L : 0L) + (post->isFixedPitch ? 1 : 0) + (symbolic ? 4 : 32), s(box.xMin), s(box.yMin),
                   s(box.xMax), s(box.yMax), advance(0), os2->usWeightClass <= 500 ? 70L : 120L})
        text += ' ' + std::to_string(v);
    text += ' ' + FormatNumber(angle);
    for (long v : {ascent, ascent / 2, ascent, -s(os2->usWinDescent), maxWidth, s(os2->xAvgCharWidth)}) text += ' ' + std::to_string(v);
    return FT_Done_Face(face), FT_Done_FreeType(library), text;
}

// The same values as written for the font of this resource name: its widths, then its descriptor's numbers.
std::string Written(const std::string& pdf, const std::string& name) {
    const size_t widths = pdf.find("/Widths [", pdf.find("/Name /" + name + " ")) + 9, flags = pdf.find("/Flags ", widths);
    const std::string text = pdf.substr(widths, pdf.find(']', widths) - widths) + " | " +
        pdf.substr(flags, std::min(pdf.find(" /FontFile2", flags), pdf.find(" >>", flags)) - flags);
    return std::regex_replace(std::regex_replace(text, std::regex(R"([\r\[\]]|/[A-Za-z]+ ?)"), ""), std::regex(" +"), " ");
}

TEST(TrueType, RealFontsAgreeWithFreeType) {
    // OpenSymbol's Unicode map made a symbol one, and one more map made for F020-F0FF on glyphs 3 onwards.
    const std::string symbol = Patched(kSymbol, "cmap", 4 + 8 * 2 + 2, 0, true, 2);
    const size_t end = (kSymbol.size() + 3) / 4 * 4;
    std::string symbolF0 = Patched(Patched(kSymbol, "cmap", 8, static_cast<unsigned>(end)), "cmap", 12, 44);
    symbolF0.resize(end + 44, '\0');
    for (unsigned i = 0; unsigned v : {0u, 1u, 3u, 0u, 0u, 12u, 4u, 32u, 0u, 4u, 4u, 1u, 0u, 0xF0FFu, 0xFFFFu, 0u, 0xF020u,
                                       0xFFFFu, (3u - 0xF020u) & 0xFFFF, 1u, 0u, 0u})
        Put(symbolF0, end + 2 * i++, 2, v);
    struct Case {
        std::string file, name;
        bool embed;
        int32_t encoding;
        std::string key, resource, text;
    };
    const Case cases[] = {
        {Saved("DejaVuSans.ttf", kSans), "", true, 0, "DEJAVUSANS", "DEJAVUSANS", "Caff\xE8 \x80 1.234,56 \x93ok\x94"},
        {kDir + "dejavu/DejaVuSans-Bold.ttf", " dejavu Bold ", true, 1, "DEJAVUBOLD", "DEJAVUBOLD", "Mac \x8E\x9F"},
        {kDir + "liberation/LiberationSerif-Italic.ttf", "Lib Serif\t(It)\xE8", true, 0, "LIBSERIF\t(IT)\xE8", "LIBSERIF#09#28IT#29#E8", "Corsivo"},
        {kDir + "libreoffice/opens___.ttf", "", false, 0, "OPENSYMBOL", "OPENSYMBOL", "OpenSymbol"},
        {Saved("My Symbol.ttf", symbol), "", true, 0, "MYSYMBOL", "MYSYMBOL", ""},
        {Saved("Sym F0.ttf", symbolF0), "", true, 0, "SYMF0", "SYMF0", ""},
        // Apple's version tag; long metrics for 4 glyphs only, the others take the last one's advance.
        {Saved("x.ttf", "true" + ReadFile(kDir + "dejavu/DejaVuSansMono.ttf").substr(4)), "Mono", true, 0, "MONO", "MONO", "Mono"},
    };
    const Doc doc = WriteDoc([&](QuillPdf& p) {
        p.SetCompression(Filter::Flate), p.SetFont(cases[0].key, 12, FontStyle::Bold | FontStyle::Italic, Encoding::MacRoman);  // no such font yet: Arial
        for (const Case& c : cases) EXPECT_EQ(p.AddFont(c.file, c.name, c.embed, static_cast<Encoding>(c.encoding)), c.key);
        p.BeginPage();
        for (float y = 50; const Case& c : cases) p.SetFont(c.name.empty() ? c.key : c.name, 12, FontStyle::Bold | FontStyle::Italic, Encoding::MacRoman), p.DrawText(50, y += 20, c.text);
        // as the Ascent and Descent of DejaVuSans below
        EXPECT_FLOAT_EQ(p.TextHeight(), (928 + 236) * 12 / 1000.0f); }, [&](QuillPdf& p) { EXPECT_EQ(p.AddFont(cases[1].file, cases[1].name, true, Encoding::MacRoman), cases[1].key); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const std::string file = ReadFile(c.file);
        EXPECT_EQ(Written(doc.bytes, c.resource), FreeTypeMetrics(file, c.encoding == 1));
        EXPECT_TRUE(!c.embed || doc.bytes.find("/Length1 " + std::to_string(file.size()) + "\n") != std::string::npos);
        const size_t font = doc.bytes.find("/Name /" + c.resource + " ");  // symbol fonts (no text here) keep their own encoding
        EXPECT_EQ(doc.bytes.find("/Encoding", font) < doc.bytes.find("/Widths", font), !c.text.empty());
    }
    EXPECT_EQ(QpdfStream(doc.path, 6), ReadFile(cases[1].file));  // the font added before BeginDoc: objects 4, 5, 6
    EXPECT_EQ(std::regex_replace(QpdfStream(doc.path, ContentObject(doc.bytes)), std::regex(R"(([\s\S]*?/(\S+) 12 Tf|[\s\S]+$))"), "$2 "),
              "DEJAVUSANS DEJAVUBOLD LIBSERIF#09#28IT#29#E8 OPENSYMBOL MONO  ");
    EXPECT_EQ(RunCommand("(pdffonts " + Quoted(doc.path) + " | tail -n +3 | awk '{print $1, $(NF-5), $(NF-4)}')").output +
                  RunCommand("pdftotext " + Quoted(doc.path) + " -").output,
              "DejaVuSansBold,Bold MacRoman yes\nArial,BoldItalic MacRoman no\nDejaVuSans WinAnsi yes\n"
              "LiberationSerifItalic,Italic WinAnsi yes\nOpenSymbol WinAnsi no\nMySymbol WinAnsi yes\nSymF0 WinAnsi yes\n"
              "DejaVuSansMono WinAnsi yes\nCaff\u00e8 \u20ac 1.234,56 \u201cok\u201d\nMac \u00e9\u00fc\nCorsivo\nOpenSymbol\n\nMono\n\n\f");
}

// A refused file records its error and leaves the document exactly as without it.
TEST(TrueType, RefusedFilesLeaveNoTrace) {
    const struct {
        const char* what;
        std::string bytes;
        int32_t error;
    } cases[] = {
        {"missing", "", 53},
        {"empty", "", 9},
        {"cut in the header", kSans.substr(0, 11), 9},
        {"cut in the directory", kSans.substr(0, 200), 9},
        {"cut in glyf", kSans.substr(0, kSans.size() / 2), 9},
        {"cut in post", kSans.substr(0, 700000), 9},
        {"OpenType", "OTTO" + kSans.substr(4), 5},
        {"no cmap", Patched(kSans, "cmap", 0, 0x636D6171 /* cmaq */), 5},
        {"table past the end", Patched(kSans, "glyf", 8, 0xFFFFFF00), 9},
        {"glyf too short", Patched(kSans, "glyf", 12, 100), 9},
        {"cmap too short", Patched(kSans, "cmap", 12, 100), 9},
        {"hmtx too short", Patched(kSans, "hmtx", 12, 4), 9},
        {"hmtx short of hhea's metrics", Patched(kSans, "hhea", 34, 0xFFFF, true, 2), 9},
        {"empty loca", Patched(kSans, "loca", 12, 0), 9},
        {"loca short of maxp's glyphs", Patched(kSans, "maxp", 4, 0xFFFF, true, 2), 9},
        {"loca backwards", Patched(kSans, "loca", 400, 0, true), 9},
        {"loca past glyf", Patched(kSans, "loca", 400, 0x7FFFFFFF, true), 9},
        {"unknown loca format", Patched(kSans, "head", 50, 2, true, 2), 9},
        {"head too short", Patched(kSans, "head", 12, 52), 9},
        {"no maxp", Patched(kSans, "maxp", 0, 0x6D617871 /* maxq */), 5},
        {"zero units per em", Patched(kSans, "head", 18, 0, true, 2), 5},
        {"no long metrics", Patched(kSans, "hhea", 34, 0, true, 2), 5},
        {"no Windows map of format 4", Patched(kSans, "cmap", 4 + 8 * 3, 4, true, 2), 5},  // (3,1) made (4,1)
        {"too large", kSans, 5},
    };
    auto write = [](const std::string& font) {  // the font's key and error, then the document
        const std::string path = TempPath("refused.pdf");
        QuillPdf p;
        p.SetFixedCreationDate(kDate), p.SetCompression(Filter::Flate), p.BeginDoc(path), p.BeginPage();
        std::string key = font.empty() ? "" : p.AddFont(font, "Font", true, Encoding::WinAnsi);
        key += font.empty() ? "" : p.ErrSource() + " " + std::to_string(p.ErrNumber()) + " " + p.ErrDescription();
        p.SetFont("Font", 10), p.DrawText(10, 10, "Text"), p.EndDoc();
        EXPECT_TRUE(QpdfClean(path));
        return key.substr(0, key.find(" - ")) + ReadFile(path);
    };
    const std::string reference = write("");
    for (const auto& c : cases) {
        const std::string font = c.error == 53 ? "/nonexistent/font.ttf" : Saved(std::string(c.what) + ".ttf", c.bytes);
        if (c.what == std::string("too large")) std::filesystem::resize_file(font, (256 << 20) + 1);  // sparse
        EXPECT_EQ(write(font), "QuillPdf.AddFont " + std::to_string(c.error) + " " + font + reference) << c.what;
    }
}

}  // namespace
}  // namespace quill
