// Built-in font widths: fixed known values, and spot checks against the published AFM
// files themselves (read here independently of the generator that produced the tables).
#include "pdf/StandardFontMetrics.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace quill {
namespace {

constexpr int kRegular = 0, kBold = 1, kItalic = 2, kBoldItalic = 3;

// ---- reading the AFM files -------------------------------------------------------------

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b.at(at + i));
    return v;
}

// One member of a zip archive (stored or deflated), found through the central directory.
std::optional<std::string> ZipMember(const std::string& zip, const std::string& name) {
    if (zip.size() < 22) return std::nullopt;
    size_t eocd = zip.size() - 22;
    while (Le(zip, eocd, 4) != 0x06054b50) {
        if (eocd == 0 || zip.size() - eocd > 22 + 65535) return std::nullopt;
        --eocd;
    }
    size_t at = Le(zip, eocd + 16, 4);
    const uint32_t entries = Le(zip, eocd + 10, 2);
    for (uint32_t i = 0; i < entries && Le(zip, at, 4) == 0x02014b50; ++i) {
        const uint32_t method = Le(zip, at + 10, 2), packed = Le(zip, at + 20, 4),
                       size = Le(zip, at + 24, 4), nameLen = Le(zip, at + 28, 2),
                       extraLen = Le(zip, at + 30, 2), commentLen = Le(zip, at + 32, 2),
                       local = Le(zip, at + 42, 4);
        if (zip.compare(at + 46, nameLen, name) == 0 && nameLen == name.size()) {
            const size_t data = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
            if (method == 0) return zip.substr(data, size);
            if (method != 8 || data + packed > zip.size()) return std::nullopt;
            std::string out(size, '\0');
            z_stream zs{};
            if (inflateInit2(&zs, -15) != Z_OK) return std::nullopt;
            zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
            zs.avail_in = packed;
            zs.next_out = reinterpret_cast<Bytef*>(out.data());
            zs.avail_out = size;
            const int rc = inflate(&zs, Z_FINISH);
            inflateEnd(&zs);
            if (rc != Z_STREAM_END) return std::nullopt;
            return out;
        }
        at += 46 + nameLen + extraLen + commentLen;
    }
    return std::nullopt;
}

struct Afm {
    std::map<std::string, int> byName;
    std::map<int, int> byCode;
};

Afm ParseAfm(const std::string& text) {
    Afm afm;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("C ", 0) != 0) continue;
        // "C 65 ; WX 667 ; N A ; B ..."
        std::istringstream f(line);
        std::string c, semi1, wx, semi2, n, name;
        int code = 0, width = 0;
        if (f >> c >> code >> semi1 >> wx >> width >> semi2 >> n >> name && wx == "WX" && n == "N") {
            afm.byName.emplace(name, width);
            if (code >= 0) afm.byCode.emplace(code, width);
        }
    }
    return afm;
}

// The published AFM of one standard font: from the pdfbox jar, else the URW equivalent.
std::optional<Afm> LoadAfm(const std::string& adobeName, const std::string& urwName) {
    if (auto jar = ReadFile("/usr/share/java/pdfbox2.jar")) {
        if (auto text = ZipMember(*jar, "org/apache/pdfbox/resources/afm/" + adobeName + ".afm"))
            return ParseAfm(*text);
    }
    if (auto text = ReadFile("/usr/share/fonts/type1/urw-base35/" + urwName + ".afm"))
        return ParseAfm(*text);
    return std::nullopt;
}

// ---- fixed values ----------------------------------------------------------------------

TEST(StandardFontMetrics, KnownWidths) {
    EXPECT_EQ(StandardWidths(StdFamily::Arial, kRegular)[' '], 278);
    EXPECT_EQ(StandardWidths(StdFamily::Arial, kRegular)['A'], 667);
    EXPECT_EQ(StandardWidths(StdFamily::Arial, kBold)['A'], 722);
    EXPECT_EQ(StandardWidths(StdFamily::Arial, kRegular)['i'], 222);
    EXPECT_EQ(StandardWidths(StdFamily::Arial, kRegular)[0xE9], 556);  // e acute
    EXPECT_EQ(StandardWidths(StdFamily::Arial, kRegular)[0x80], 556);  // euro
    EXPECT_EQ(StandardWidths(StdFamily::TimesNewRoman, kRegular)['e'], 444);
    EXPECT_EQ(StandardWidths(StdFamily::TimesNewRoman, kBold)['W'], 1000);
    EXPECT_EQ(StandardWidths(StdFamily::TimesNewRoman, kItalic)['W'], 833);
    EXPECT_EQ(StandardWidths(StdFamily::Symbol, kRegular)[0x61], 631);        // alpha
    EXPECT_EQ(StandardWidths(StdFamily::Symbol, kRegular)[0xA0], 750);        // euro
    EXPECT_EQ(StandardWidths(StdFamily::ZapfDingbats, kRegular)[0x21], 974);  // a1
    EXPECT_EQ(StandardWidths(StdFamily::ZapfDingbats, kRegular)[0x80], 390);  // a89
}

TEST(StandardFontMetrics, CourierIsMonospacedEverywhere) {
    for (int style = 0; style < 4; ++style)
        for (int code = 0; code < 256; ++code)
            ASSERT_EQ(StandardWidths(StdFamily::CourierNew, style)[code], 600) << style << " " << code;
}

TEST(StandardFontMetrics, ControlCodesAndUnusedPositions) {
    const int arialControl[4] = {272, 311, 259, 311};
    for (int style = 0; style < 4; ++style) {
        const auto& arial = StandardWidths(StdFamily::Arial, style);
        const auto& times = StandardWidths(StdFamily::TimesNewRoman, style);
        for (int code = 0; code < 32; ++code) {
            EXPECT_EQ(arial[code], arialControl[style]) << style << " " << code;
            EXPECT_EQ(times[code], times[' ']) << style << " " << code;  // as a blank
        }
        // No-break space and soft hyphen are the space and hyphen glyphs.
        EXPECT_EQ(arial[0xA0], arial[' ']);
        EXPECT_EQ(arial[0xAD], arial['-']);
        EXPECT_EQ(times[0xA0], times[' ']);
        EXPECT_EQ(times[0xAD], times['-']);
        // Unused Windows-1252 positions measure as the bullet viewers draw there.
        for (int code : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
            EXPECT_EQ(arial[code], arial[0x95]) << style << " " << code;
            EXPECT_EQ(times[code], times[0x95]) << style << " " << code;
        }
    }
    // Codes without a glyph in the symbol fonts do not advance.
    for (int code : {0, 31, 0x7F, 0x80, 0x9F}) EXPECT_EQ(StandardWidths(StdFamily::Symbol, 0)[code], 0) << code;
    for (int code : {0, 31, 0x7F, 0x8E, 0xA0, 0xF0, 0xFF})
        EXPECT_EQ(StandardWidths(StdFamily::ZapfDingbats, 0)[code], 0) << code;
}

TEST(StandardFontMetrics, StyleSelection) {
    // Only the bold and italic bits choose the table; line styles (4, 8, 16) do not.
    EXPECT_EQ(&StandardWidths(StdFamily::Arial, 1 | 4 | 16), &StandardWidths(StdFamily::Arial, kBold));
    EXPECT_EQ(&StandardWidths(StdFamily::TimesNewRoman, 2 | 8), &StandardWidths(StdFamily::TimesNewRoman, kItalic));
    EXPECT_NE(&StandardWidths(StdFamily::Arial, kBold), &StandardWidths(StdFamily::Arial, kBoldItalic));
    // Symbol and ZapfDingbats have no variants.
    EXPECT_EQ(&StandardWidths(StdFamily::Symbol, kBoldItalic), &StandardWidths(StdFamily::Symbol, kRegular));
    EXPECT_EQ(&StandardWidths(StdFamily::ZapfDingbats, kBold), &StandardWidths(StdFamily::ZapfDingbats, kRegular));
}

// ---- against the AFM files -------------------------------------------------------------

struct Variant {
    StdFamily family;
    int style;
    const char* adobe;
    const char* urw;
};

TEST(StandardFontMetrics, MatchesPublishedAfmAtWindowsPositions) {
    const Variant variants[] = {
        {StdFamily::Arial, kRegular, "Helvetica", "NimbusSans-Regular"},
        {StdFamily::Arial, kBold, "Helvetica-Bold", "NimbusSans-Bold"},
        {StdFamily::Arial, kItalic, "Helvetica-Oblique", "NimbusSans-Italic"},
        {StdFamily::Arial, kBoldItalic, "Helvetica-BoldOblique", "NimbusSans-BoldItalic"},
        {StdFamily::TimesNewRoman, kRegular, "Times-Roman", "NimbusRoman-Regular"},
        {StdFamily::TimesNewRoman, kBold, "Times-Bold", "NimbusRoman-Bold"},
        {StdFamily::TimesNewRoman, kItalic, "Times-Italic", "NimbusRoman-Italic"},
        {StdFamily::TimesNewRoman, kBoldItalic, "Times-BoldItalic", "NimbusRoman-BoldItalic"},
    };
    // Windows-1252 code -> glyph name, a sample of plain, accented and typographic characters.
    const std::pair<int, const char*> samples[] = {
        {0x20, "space"},         {0x41, "A"},           {0x57, "W"},            {0x65, "e"},
        {0x27, "quotesingle"},   {0x60, "grave"},       {0x80, "Euro"},         {0x85, "ellipsis"},
        {0x8A, "Scaron"},        {0x91, "quoteleft"},   {0x92, "quoteright"},   {0x93, "quotedblleft"},
        {0x94, "quotedblright"}, {0x95, "bullet"},      {0x96, "endash"},       {0x97, "emdash"},
        {0x99, "trademark"},     {0xA0, "space"},       {0xAD, "hyphen"},       {0xB0, "degree"},
        {0xC0, "Agrave"},        {0xC8, "Egrave"},      {0xE0, "agrave"},       {0xE8, "egrave"},
        {0xE9, "eacute"},        {0xEC, "igrave"},      {0xF2, "ograve"},       {0xF9, "ugrave"},
        {0xDF, "germandbls"},    {0xFF, "ydieresis"},
    };
    for (const Variant& v : variants) {
        const auto afm = LoadAfm(v.adobe, v.urw);
        ASSERT_TRUE(afm) << "no AFM for " << v.adobe << ": install libpdfbox2-java or fonts-urw-base35 (scripts/setup.sh)";
        const auto& widths = StandardWidths(v.family, v.style);
        for (const auto& [code, glyph] : samples) {
            ASSERT_TRUE(afm->byName.count(glyph)) << v.adobe << " " << glyph;
            EXPECT_EQ(widths[code], afm->byName.at(glyph)) << v.adobe << " code " << code << " " << glyph;
        }
        // Every printable ASCII code is the glyph the font's own encoding places there
        // (the two encodings differ only at the quote and grave positions).
        for (int code = 0x21; code < 0x7F; ++code) {
            if (code == 0x27 || code == 0x60) continue;
            EXPECT_EQ(widths[code], afm->byCode.at(code)) << v.adobe << " code " << code;
        }
    }
}

TEST(StandardFontMetrics, SymbolFontsFollowTheirBuiltInEncoding) {
    const Variant variants[] = {
        {StdFamily::Symbol, kRegular, "Symbol", "StandardSymbolsPS"},
        {StdFamily::ZapfDingbats, kRegular, "ZapfDingbats", "D050000L"},
    };
    for (const Variant& v : variants) {
        const auto afm = LoadAfm(v.adobe, v.urw);
        ASSERT_TRUE(afm) << "no AFM for " << v.adobe << ": install libpdfbox2-java or fonts-urw-base35 (scripts/setup.sh)";
        const auto& widths = StandardWidths(v.family, v.style);
        for (int code = 0x20; code < 0x7F; ++code)
            EXPECT_EQ(widths[code], afm->byCode.at(code)) << v.adobe << " code " << code;
        for (int code : {0xA1, 0xC5, 0xE5, 0xFE}) {
            if (afm->byCode.count(code)) {
                EXPECT_EQ(widths[code], afm->byCode.at(code)) << v.adobe << " code " << code;
            }
        }
    }
}

}  // namespace
}  // namespace quill
