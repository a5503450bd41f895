// Reading of TrueType font files (see TrueTypeFont.h). All integers are
// big-endian; offsets are kept in 64 bits so that no sum of 32-bit values
// read from the file can wrap around.
#include "pdf/TrueTypeFont.h"

#include <algorithm>
#include <cmath>

#include "pdf/PdfFormat.h"

namespace quill {

namespace {

// Unicode of the Mac Roman codes 0x80-0xFF (the lower half is ASCII).
constexpr uint16_t kMacRoman[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

// Thrown inside this file only; ReadTrueType turns it into its result.
struct Refused {
    int32_t number;
    std::string description;
};

Refused Damaged(const char* tag) { return {9, std::string("damaged font file: read outside '") + tag + "'"}; }

// A byte range of the file, already checked to lie inside it.
struct Table {
    uint64_t start = 0, size = 0;
    const char* tag = "";
};

class Reader {
public:
    explicit Reader(std::string_view file) : file_(file) {}

    Table Whole() const { return {0, file_.size(), "file"}; }
    uint32_t U16(const Table& t, uint64_t at) const {
        const unsigned char* p = At(t, at, 2);
        return static_cast<uint32_t>(p[0] << 8 | p[1]);
    }
    int32_t S16(const Table& t, uint64_t at) const { return static_cast<int16_t>(U16(t, at)); }
    uint32_t U32(const Table& t, uint64_t at) const { return U16(t, at) << 16 | U16(t, at + 2); }
    const unsigned char* At(const Table& t, uint64_t at, uint64_t n) const {
        if (at > t.size || n > t.size - at) throw Damaged(t.tag);
        return reinterpret_cast<const unsigned char*>(file_.data()) + t.start + at;
    }

    // The table of the directory with this tag, refused when missing or
    // reaching past the end of the file.
    Table Find(const char* tag) const {
        const Table whole = Whole();
        const uint32_t count = U16(whole, 4);
        for (uint32_t i = 0; i < count; ++i) {
            const uint64_t entry = 12 + 16ull * i;
            if (std::string_view(reinterpret_cast<const char*>(At(whole, entry, 4)), 4) != tag) continue;
            const Table t{U32(whole, entry + 8), U32(whole, entry + 12), tag};
            if (t.start > file_.size() || t.size > file_.size() - t.start)
                throw Refused{9, std::string("damaged font file: table '") + tag + "' lies outside the file"};
            return t;
        }
        throw Refused{5, std::string("not a usable TrueType font: no '") + tag + "' table"};
    }

private:
    std::string_view file_;
};

// Code-to-glyph lookups in a format 4 subtable of 'cmap'.
class CharMap {
public:
    CharMap(const Reader& r, const Table& cmap, uint64_t subtable) : r_(r), cmap_(cmap) {
        const uint32_t segX2 = r.U16(cmap, subtable + 6);
        // A zero or odd segment array size leaves every code on glyph 0.
        segments_ = segX2 % 2 == 0 ? segX2 / 2 : 0;
        ends_ = subtable + 14;
        starts_ = ends_ + 2 + segX2;
        deltas_ = starts_ + segX2;
        ranges_ = deltas_ + segX2;
    }

    // The segment arrays lie inside 'cmap', so that no code reads outside it.
    bool Inside() const { return ranges_ + 2ull * segments_ <= cmap_.size; }

    bool Covers(uint32_t first, uint32_t last) const {
        for (uint32_t i = 0; i < segments_; ++i) {
            if (r_.U16(cmap_, ends_ + 2 * i) >= first && r_.U16(cmap_, starts_ + 2 * i) <= last) return true;
        }
        return false;
    }

    uint32_t Glyph(uint32_t code) const {
        for (uint32_t i = 0; i < segments_; ++i) {
            if (r_.U16(cmap_, ends_ + 2 * i) < code) continue;
            const uint32_t start = r_.U16(cmap_, starts_ + 2 * i);
            if (start > code) return 0;
            const uint32_t delta = r_.U16(cmap_, deltas_ + 2 * i);
            const uint32_t rangeOffset = r_.U16(cmap_, ranges_ + 2 * i);
            if (rangeOffset == 0) return (code + delta) & 0xFFFF;
            const uint64_t at = ranges_ + 2 * i + rangeOffset + 2ull * (code - start);
            if (at + 2 > cmap_.size) return 0;  // points outside the subtable
            const uint32_t glyph = r_.U16(cmap_, at);
            return glyph == 0 ? 0 : (glyph + delta) & 0xFFFF;
        }
        return 0;
    }

private:
    const Reader& r_;
    Table cmap_;
    uint32_t segments_ = 0;
    uint64_t ends_ = 0, starts_ = 0, deltas_ = 0, ranges_ = 0;
};

int32_t Scaled(double value, uint32_t unitsPerEm) {
    return static_cast<int32_t>(std::nearbyint(value * 1000.0 / unitsPerEm));
}

// The full font name (id 4) of the Windows records of the map's kind,
// preferring an English one.
std::string FullName(const Reader& r, const Table& name, bool symbolic) {
    static constexpr uint32_t kEnglish[] = {1033, 2057, 3081, 4105, 5129, 6153};
    const uint32_t count = r.U16(name, 2), storage = r.U16(name, 4);
    std::string result;
    bool found = false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t record = 6 + 12ull * i;
        if (r.U16(name, record) != 3 || r.U16(name, record + 2) != (symbolic ? 0u : 1u) || r.U16(name, record + 6) != 4)
            continue;
        const uint32_t language = r.U16(name, record + 4);
        const bool english = std::find(std::begin(kEnglish), std::end(kEnglish), language) != std::end(kEnglish);
        if (found && !english) continue;
        const uint32_t length = r.U16(name, record + 8);
        const unsigned char* text = r.At(name, uint64_t{storage} + r.U16(name, record + 10), length);
        result.clear();
        for (uint32_t k = 1; k < length; k += 2) {
            if (text[k] != ' ') result.push_back(static_cast<char>(text[k]));
        }
        found = true;
        if (english) break;
    }
    return result;
}

void Read(const Reader& r, bool macRoman, TrueTypeMetrics& out) {
    const uint32_t version = r.U32(r.Whole(), 0);
    if (version != 0x00010000 && version != 0x74727565)  // 'true'
        throw Refused{5, "not a TrueType font file"};
    const Table os2 = r.Find("OS/2"), head = r.Find("head"), hhea = r.Find("hhea"), hmtx = r.Find("hmtx"),
                glyf = r.Find("glyf"), loca = r.Find("loca"), post = r.Find("post"), name = r.Find("name"),
                cmap = r.Find("cmap"), maxp = r.Find("maxp");
    if (head.size < 54 || hhea.size < 36 || maxp.size < 6)
        throw Refused{9, "damaged font file: 'head', 'hhea' or 'maxp' too short"};
    const uint32_t unitsPerEm = r.U16(head, 18);
    if (unitsPerEm < 16 || unitsPerEm > 16384)
        throw Refused{5, "not a usable TrueType font: units per em out of range"};
    const uint32_t locaFormat = r.U16(head, 50);
    const uint32_t longMetrics = r.U16(hhea, 34);
    if (longMetrics == 0) throw Refused{5, "not a usable TrueType font: no horizontal metrics"};
    const uint32_t glyphs = r.U16(maxp, 4);
    if (glyphs == 0) throw Refused{5, "not a usable TrueType font: no glyphs"};
    // The glyph tables as a reader uses them: a location per glyph and one to close the last, in the
    // format 'head' gives, none going backwards or past 'glyf'; the metrics 'hhea' announces.
    if (locaFormat > 1) throw Refused{9, "damaged font file: unknown 'loca' format"};
    const bool longLoca = locaFormat == 1;
    if (loca.size < (glyphs + 1ull) * (longLoca ? 4 : 2))
        throw Refused{9, "damaged font file: 'loca' too short for the glyphs of 'maxp'"};
    auto location = [&](uint32_t glyph) -> uint64_t {
        return longLoca ? r.U32(loca, 4ull * glyph) : 2ull * r.U16(loca, 2ull * glyph);
    };
    for (uint64_t glyph = 0, previous = 0; glyph <= glyphs; ++glyph) {
        const uint64_t at = location(static_cast<uint32_t>(glyph));
        if (at < previous || at > glyf.size) throw Refused{9, "damaged font file: 'loca' points outside 'glyf'"};
        previous = at;
    }
    if (hmtx.size < 4ull * longMetrics + 2ull * (glyphs - std::min(glyphs, longMetrics)))
        throw Refused{9, "damaged font file: 'hmtx' too short for 'hhea'"};

    out.avgWidth = Scaled(r.S16(os2, 2), unitsPerEm);
    out.weightClass = r.U16(os2, 4);
    out.ascent = Scaled(r.U16(os2, 74), unitsPerEm);
    out.descent = -Scaled(r.U16(os2, 76), unitsPerEm);
    out.maxWidth = Scaled(r.U16(hhea, 10), unitsPerEm);
    out.italicAngle = std::nearbyint((r.S16(post, 4) + r.U16(post, 6) / 65535.0) * 100) / 100;
    out.fixedPitch = r.U32(post, 12) != 0;

    // The first Windows subtable of format 4.
    uint64_t subtable = 0;
    const uint32_t maps = r.U16(cmap, 2);
    for (uint32_t i = 0; i < maps && subtable == 0; ++i) {
        const uint64_t record = 4 + 8ull * i;
        if (r.U16(cmap, record) != 3) continue;
        const uint32_t offset = r.U32(cmap, record + 4);
        if (r.U16(cmap, offset) != 4) continue;
        subtable = offset;
        out.symbolic = r.U16(cmap, record + 2) == 0;
    }
    if (subtable == 0) throw Refused{5, "not a usable TrueType font: no Windows character map of format 4"};
    const CharMap map(r, cmap, subtable);
    if (!map.Inside()) throw Refused{9, "damaged font file: the character map reaches outside 'cmap'"};
    // Symbol fonts keep their characters at F020-F0FF, or at the codes themselves.
    const uint32_t symbolBase = out.symbolic && map.Covers(0xF000, 0xF0FF) ? 0xF000 : 0;

    auto advance = [&](uint32_t glyph) {
        return Scaled(r.U16(hmtx, 4ull * std::min(glyph, longMetrics - 1)), unitsPerEm);
    };
    out.missingWidth = advance(0);
    std::array<int32_t, 4> box{};
    for (uint32_t c = 0; c < 256; ++c) {
        const uint32_t code = out.symbolic ? symbolBase + c
            : macRoman                     ? (c < 128 ? c : kMacRoman[c - 128])
                                           : Cp1252ToUnicode(static_cast<uint8_t>(c));
        uint32_t glyph = map.Glyph(code);
        if (glyph >= glyphs) glyph = 0;
        out.widths[c] = advance(glyph);
        const uint64_t at = location(glyph);
        if (location(glyph + 1) <= at) continue;  // no outline
        if (r.S16(glyf, at) < 0) continue;  // composite glyph
        box[0] = std::min(box[0], r.S16(glyf, at + 2));
        box[1] = std::min(box[1], r.S16(glyf, at + 4));
        box[2] = std::max(box[2], r.S16(glyf, at + 6));
        box[3] = std::max(box[3], r.S16(glyf, at + 8));
    }
    for (int i = 0; i < 4; ++i) out.box[i] = Scaled(box[i], unitsPerEm);
    out.fullName = FullName(r, name, out.symbolic);
}

}  // namespace

Error ReadTrueType(std::string_view file, bool macRoman, TrueTypeMetrics& out) {
    out = TrueTypeMetrics{};
    try {
        Read(Reader(file), macRoman, out);
    } catch (const Refused& refused) {
        return {refused.number, refused.description};
    }
    return {};
}

}  // namespace quill
