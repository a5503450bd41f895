// Stream encoders: worked values, a strict LZW decoder written here from the
// filter's definition, zlib itself, and qpdf decoding every filter, alone and
// combined, in documents of the writer.
#include <gtest/gtest.h>
#include <zlib.h>

#include <numeric>
#include <optional>
#include <random>
#include <unordered_set>

#include "pdf/Filters.h"
#include "pdf/PdfTestSupport.h"

namespace quill {
namespace {

using namespace pdftest;

struct LzwCode {
    uint32_t code;
    unsigned width;
    size_t at;
};  // at: bytes decoded before the code

// LZWDecode with early change. Strict: a missing end-of-data code, an undefined
// code, more than 4096 codes, non-zero padding, or a new entry the table
// already holds (the encoder did not extend the longest match) is an error.
std::optional<std::string> LzwDecode(const std::string& in, std::vector<LzwCode>* trace = nullptr) {
    size_t pos = 0;
    auto read = [&](unsigned width) {
        uint32_t v = 0;
        for (unsigned k = 0; k < width; ++k, ++pos) v = v << 1 | (static_cast<uint8_t>(in[pos / 8]) >> (7 - pos % 8) & 1u);
        return v;
    };
    std::vector<std::string> table;  // codes from 258
    std::unordered_set<uint32_t> pairs;
    std::string out, previous;
    uint32_t previousCode = 0;
    unsigned width = 9;
    for (;;) {
        if (pos + width > in.size() * 8) return std::nullopt;
        const uint32_t code = read(width);
        if (trace) trace->push_back({code, width, out.size()});
        if (code == 256) {
            table.clear(), pairs.clear(), previous.clear(), width = 9;
            continue;
        }
        if (code == 257) break;
        std::string entry;
        if (code < 256) entry.assign(1, static_cast<char>(code));
        else if (code - 258 < table.size()) entry = table[code - 258];
        else if (code - 258 == table.size() && !previous.empty()) entry = previous + previous[0];
        else return std::nullopt;
        if (!previous.empty()) {
            if (table.size() >= 4096 - 258 || !pairs.insert(previousCode << 8 | static_cast<uint8_t>(entry[0])).second)
                return std::nullopt;
            table.push_back(previous + entry[0]);
        }
        out += entry, previous = entry, previousCode = code;
        if (width < 12 && 258 + table.size() + 1 >= (1u << width)) ++width;
    }
    if (in.size() * 8 - pos >= 8) return std::nullopt;
    while (pos < in.size() * 8)
        if (read(1) != 0) return std::nullopt;
    return out;
}

std::string Random(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(rng());
    return s;
}

std::string ListText(size_t n) {  // lines like the lists': numbers, names and amounts
    std::mt19937 rng(7);
    std::string s;
    while (s.size() < n)
        s += "BT\r1 0 0 -1 28.346 " + std::to_string(rng() % 800) + " Tm\r(" + std::to_string(rng() % 999999) +
            (rng() % 3 ? " ROSSI MARIO " : " BIANCHI ANNA ") + std::to_string(rng() % 99999) + ",56) Tj\rET\r";
    return s;
}

std::string Sequence(int n) {  // 0, 1, 2 ...: every pair new, one code entered per byte
    std::string s(static_cast<size_t>(n), '\0');
    return std::iota(s.begin(), s.end(), '\0'), s;
}

TEST(Lzw, WorkedValues) {
    LzwEncoder lzw;
    std::string one = "\x41", empty;
    lzw.LzwEncode(one, 3), lzw.LzwEncode(empty, 3);
    // 256, 65, 257 in 9 bits: 100000000 001000001 100000001 and five zero bits.
    EXPECT_EQ(one, std::string("\x80\x10\x60\x20", 4));
    EXPECT_EQ(empty, std::string("\x80\x40\x40", 3));  // 256, 257
}

TEST(Lzw, EveryQualityDecodesStrictlyAndClearsWhenTheTableIsFull) {
    // "ABCDEF" is eight 9-bit codes, no padding; Sequence(254) enters code 511 with its last
    // prefix: the end-of-data code takes 10 bits; Sequence(255) at quality 0 fills the table.
    const std::string samples[] = {"", "A", "AA", "ABCDEF", std::string(10000, '\0'), Sequence(254), Sequence(255),
                                   Random(200000, 2), ListText(300000),
                                   std::string(70000, 'Q') + ListText(5000) + std::string(7000, 'Q')};
    LzwEncoder lzw;  // one encoder for every stream, as in a document
    for (int quality = 0; quality <= 3; ++quality) {
        const uint32_t maxCode = (1u << (9 + quality)) - 1;
        for (const std::string& input : samples) {
            SCOPED_TRACE("quality " + std::to_string(quality) + ", " + std::to_string(input.size()) + " bytes");
            std::string data = input, clamped = input;
            lzw.LzwEncode(data, quality), lzw.LzwEncode(clamped, quality == 0 ? -2 : quality == 3 ? 9
                                                                                                  : quality);
            EXPECT_EQ(clamped, data);
            std::vector<LzwCode> trace;
            ASSERT_EQ(LzwDecode(data, &trace), input);
            EXPECT_TRUE(trace.front().code == 256 && trace.front().width == 9);
            size_t lastClear = 0;
            for (size_t i = 1; i < trace.size(); ++i) {
                if (trace[i].code == 256) {
                    EXPECT_EQ(trace[i].width, std::min(10u + quality, 12u));
                    EXPECT_EQ(i - lastClear - 1, maxCode - 257);  // one code entered per code written
                    lastClear = i;
                } else {
                    EXPECT_LE(trace[i].code, std::max(maxCode, 257u));
                    if (quality == 0 && trace[i].code != 257) {
                        EXPECT_EQ(trace[i].width, 9u);
                    }
                }
            }
        }
        // Cut random data right after the byte that enters the largest code:
        // the clear, the last byte and the end of data close the stream.
        const std::string random = Random(20000, 21);
        std::string data = random;
        lzw.LzwEncode(data, quality);
        std::vector<LzwCode> trace;
        ASSERT_TRUE(LzwDecode(data, &trace));
        size_t second = 1;
        while (trace[second].code != 256) ++second;
        const std::string cut = random.substr(0, trace[second].at + 1);
        data = cut, trace.clear();
        lzw.LzwEncode(data, quality);
        ASSERT_EQ(LzwDecode(data, &trace), cut);
        EXPECT_TRUE(trace[trace.size() - 3].code == 256 && trace.back().width == 9);
    }
}

TEST(Flate, ZlibAtLevelQualityPlusFourWithFixedHeader) {
    for (const std::string& input : {ListText(200000), Random(5000, 3), std::string()}) {
        for (int quality = 0; quality <= 4; ++quality) {
            std::string data = input;
            zzToFlateDecode(data, quality);
            std::string reference(compressBound(input.size()), '\0');
            uLongf length = reference.size();
            compress2(reinterpret_cast<Bytef*>(reference.data()), &length,
                      reinterpret_cast<const Bytef*>(input.data()), input.size(), std::min(quality, 3) + 4);
            reference.resize(length);
            EXPECT_EQ(data, "\x78\x5E" + reference.substr(2)) << "quality " << quality;
        }
    }
}

TEST(Filters, WorkedEncodings) {
    auto rl = [](std::string s) { return RunLengthEncode(s), s; };
    auto a85 = [](std::string s) { return Ascii85Encode(s), s; };
    EXPECT_EQ(rl(""), "\x80");
    EXPECT_EQ(rl(std::string(131, 'B')),
              "\x81"
              "B\xFE"
              "B\x80");  // 257 - 128, then 257 - 3
    EXPECT_EQ(rl("xyCCCCCab" + std::string(129, 'D')),
              "\x01xy\xFC"
              "C\x01"
              "ab\x81"
              "D" +
                  std::string("\x00"
                              "D\x80",
                              3));
    const std::string literals = Sequence(256) + "x";  // 128 + 128 + 1 literals
    EXPECT_EQ(rl(literals), "\x7F" + literals.substr(0, 128) + "\x7F" + literals.substr(128, 128) + '\0' + "x\x80");
    EXPECT_EQ(a85(""), "~>");
    EXPECT_EQ(a85("Man is"), "9jqo^Bla~>");  // two bytes left: three characters
    EXPECT_EQ(a85(std::string(9, '\0')), "zz!!~>");  // a partial zero group is not "z"
    EXPECT_EQ(a85("\xFF\xFF\xFF\xFF."), "s8W-!/c~>");
    // A filter of the caller's own leaves out run-length, Flate and LZW only.
    LzwEncoder lzw;
    std::string data = "Man is d", expected = data;
    EXPECT_EQ(ApplyFilters(data, 31, 3, true, lzw), "/ASCIIHexDecode /ASCII85Decode ");
    Ascii85Encode(expected), AsciiHexEncode(expected);
    EXPECT_EQ(data, expected);
}

TEST(Filters, QpdfDecodesEveryCombinationInDocuments) {
    // Page texts hold every byte value, runs around 128 and zero groups; their
    // lengths differ by one byte so ASCII85 ends with every partial group; the
    // last page fills the LZW table many times.
    std::string mixed = Sequence(256) + std::string(4, '\0') + "abc";
    for (int n : {2, 3, 127, 128, 129, 130, 257, 300}) mixed += std::string(n, static_cast<char>('a' + n % 26));
    const Steps pages = [&](QuillPdf& p) {
        for (int i = 0; i < 4; ++i) {
            p.BeginPage();
            p.DrawText(10, 10, mixed + std::string(i, 'z'));
        }
        p.BeginPage();
        p.DrawText(10, 10, Random(100000, 5) + ListText(100000));
    };
    const Doc plain = WriteDoc(pages);
    const struct {
        int flags, quality;
        const char* names;
    } cases[] = {
        {1, 0, "/RunLengthDecode "}, {2, 0, "/FlateDecode "}, {4, 0, "/LZWDecode "}, {4, 1, "/LZWDecode "}, {4, 2, "/LZWDecode "}, {4, 3, "/LZWDecode "}, {8, 0, "/ASCII85Decode "}, {16, 0, "/ASCIIHexDecode "}, {2 + 8, 1, "/ASCII85Decode /FlateDecode "}, {2 + 16, 2, "/ASCIIHexDecode /FlateDecode "}, {1 + 4, 0, "/LZWDecode /RunLengthDecode "}, {31, 3, "/ASCIIHexDecode /ASCII85Decode /LZWDecode /FlateDecode /RunLengthDecode "}, {32, 3, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE("flags " + std::to_string(c.flags) + " quality " + std::to_string(c.quality));
        const Doc doc = WriteDoc(pages, [&](QuillPdf& p) { p.SetCompression(static_cast<Filter>(c.flags), c.quality); });
        EXPECT_NE(doc.bytes.find(*c.names ? std::string("<<\n/Filter [") + c.names + "]\n/Length " : "<<\n/Length "),
                  std::string::npos);
        for (int page = 1; page <= 5; ++page)
            EXPECT_TRUE(QpdfStream(doc.path, ContentObject(doc.bytes, page)) == RawContent(plain.bytes, page)) << page;
    }
}

}  // namespace
}  // namespace quill
