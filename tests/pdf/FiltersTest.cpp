// Stream encoders, checked against small decoders written here from the PDF
// filter definitions, against zlib, and through qpdf and poppler.
#include "pdf/Filters.h"

#include "pdf/HandMadePdf.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using quill::LzwEncoder;

// ---------------------------------------------------------------------------
// Independent decoders

struct LzwCode {
    uint32_t code;
    unsigned width;
};

// LZWDecode with EarlyChange 1. Strict: a missing end-of-data code, a code not
// yet defined, a table growing past 4096 entries or non-zero padding is an error.
std::optional<std::string> LzwDecode(const std::string& in, std::vector<LzwCode>* trace = nullptr)
{
    const size_t totalBits = in.size() * 8;
    size_t pos = 0;
    auto read = [&](unsigned width) {
        uint32_t v = 0;
        for (unsigned k = 0; k < width; ++k, ++pos)
            v = (v << 1) | ((static_cast<uint8_t>(in[pos / 8]) >> (7 - pos % 8)) & 1u);
        return v;
    };
    std::vector<std::string> table;  // entries 258 and up
    std::string out;
    std::string previous;
    bool havePrevious = false;
    unsigned width = 9;
    for (;;) {
        if (pos + width > totalBits) return std::nullopt;  // no end-of-data code
        const uint32_t code = read(width);
        if (trace) trace->push_back({code, width});
        if (code == 256) {
            table.clear();
            width = 9;
            havePrevious = false;
            continue;
        }
        if (code == 257) break;
        std::string entry;
        if (code < 256) {
            entry.assign(1, static_cast<char>(code));
        } else if (code - 258 < table.size()) {
            entry = table[code - 258];
        } else if (code - 258 == table.size() && havePrevious) {
            entry = previous + previous[0];
        } else {
            return std::nullopt;
        }
        if (havePrevious) {
            if (258 + table.size() >= 4096) return std::nullopt;
            table.push_back(previous + entry[0]);
        }
        out += entry;
        previous = entry;
        havePrevious = true;
        const size_t nextCode = 258 + table.size();
        if (width < 12 && nextCode + 1 >= (size_t{1} << width)) ++width;
    }
    // Padding: fewer than 8 bits, all zero.
    if (totalBits - pos >= 8) return std::nullopt;
    while (pos < totalBits)
        if (read(1) != 0) return std::nullopt;
    return out;
}

// RunLengthDecode; the end-of-data byte 128 is required and must be last.
std::optional<std::string> RunLengthDecode(const std::string& in)
{
    std::string out;
    size_t i = 0;
    while (i < in.size()) {
        const uint8_t length = static_cast<uint8_t>(in[i++]);
        if (length == 128) return i == in.size() ? std::optional<std::string>(out) : std::nullopt;
        if (length < 128) {
            if (i + length + 1 > in.size()) return std::nullopt;
            out.append(in, i, length + 1u);
            i += length + 1u;
        } else {
            if (i >= in.size()) return std::nullopt;
            out.append(257u - length, in[i++]);
        }
    }
    return std::nullopt;
}

// ASCII85Decode: white space ignored, "z" for four zero bytes at a group start,
// a final group of n characters gives n - 1 bytes, "~>" ends the data.
std::optional<std::string> Ascii85Decode(const std::string& in)
{
    std::string out;
    uint64_t group = 0;
    int count = 0;
    for (size_t i = 0; i < in.size(); ++i) {
        const char ch = in[i];
        if (ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t' || ch == '\f' || ch == '\0') continue;
        if (ch == '~') {
            if (i + 1 >= in.size() || in[i + 1] != '>' || i + 2 != in.size()) return std::nullopt;
            if (count == 1) return std::nullopt;
            if (count > 1) {
                for (int k = count; k < 5; ++k) group = group * 85 + 84;
                if (group > 0xFFFFFFFFu) return std::nullopt;
                for (int k = 0; k < count - 1; ++k) out += static_cast<char>((group >> (24 - 8 * k)) & 0xFF);
            }
            return out;
        }
        if (ch == 'z') {
            if (count != 0) return std::nullopt;
            out.append(4, '\0');
            continue;
        }
        if (ch < '!' || ch > 'u') return std::nullopt;
        group = group * 85 + static_cast<uint64_t>(ch - '!');
        if (++count == 5) {
            if (group > 0xFFFFFFFFu) return std::nullopt;
            for (int k = 0; k < 4; ++k) out += static_cast<char>((group >> (24 - 8 * k)) & 0xFF);
            group = 0;
            count = 0;
        }
    }
    return std::nullopt;  // no end marker
}

// ASCIIHexDecode: hexadecimal digits in either case, white space ignored,
// ">" ends the data (optional at the end of the stream), a lone last digit is padded with 0.
std::optional<std::string> AsciiHexDecode(const std::string& in)
{
    std::string out;
    int high = -1;
    for (char ch : in) {
        int v;
        if (ch >= '0' && ch <= '9') v = ch - '0';
        else if (ch >= 'A' && ch <= 'F') v = ch - 'A' + 10;
        else if (ch >= 'a' && ch <= 'f') v = ch - 'a' + 10;
        else if (ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t') continue;
        else if (ch == '>') break;
        else return std::nullopt;
        if (high < 0) {
            high = v;
        } else {
            out += static_cast<char>(high * 16 + v);
            high = -1;
        }
    }
    if (high >= 0) out += static_cast<char>(high * 16);
    return out;
}

std::string Inflate(const std::string& zstream, size_t expectedSize)
{
    std::string out(expectedSize + 1, '\0');
    uLongf outLen = static_cast<uLongf>(out.size());
    const int rc = uncompress(reinterpret_cast<Bytef*>(out.data()), &outLen,
                              reinterpret_cast<const Bytef*>(zstream.data()),
                              static_cast<uLong>(zstream.size()));
    if (rc != Z_OK) return "<inflate error " + std::to_string(rc) + ">";
    out.resize(outLen);
    return out;
}

// ---------------------------------------------------------------------------
// Test data

std::string RandomBytes(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (auto& ch : s) ch = static_cast<char>(rng() & 0xFF);
    return s;
}

// Text like the lists: Courier lines with employee numbers, names and amounts.
std::string ListText(size_t approxBytes)
{
    static const char* names[] = {"ROSSI MARIO", "BIANCHI ANNA", "ESPOSITO LUCA", "ROMANO GIULIA",
                                  "COLOMBO PAOLO", "RICCI SARA", "MARINO FRANCESCO", "GRECO ELENA"};
    std::mt19937 rng(7);
    std::string s;
    int y = 60;
    while (s.size() < approxBytes) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "BT\n/F1 9 Tf 9 TL\n1 0 0 -1 28.346 %d Tm\n(%06u %-20s %9u.%02u %9u.%02u) Tj\nET\n", y,
                      static_cast<unsigned>(rng() % 999999), names[rng() % 8],
                      static_cast<unsigned>(rng() % 99999), static_cast<unsigned>(rng() % 100),
                      static_cast<unsigned>(rng() % 9999), static_cast<unsigned>(rng() % 100));
        s += line;
        y = y >= 780 ? 60 : y + 10;
    }
    return s;
}

std::vector<std::pair<std::string, std::string>> Samples()
{
    std::string runs;
    for (int len : {1, 2, 3, 127, 128, 129, 130, 256, 257, 300}) runs.append(static_cast<size_t>(len), static_cast<char>('a' + len % 26));
    std::string alternating;
    for (int i = 0; i < 1000; ++i) alternating += (i % 2) ? 'x' : 'y';
    return {
        {"empty", ""},
        {"one byte", "A"},
        {"two equal bytes", "AA"},
        {"zeros", std::string(10000, '\0')},
        {"all byte values", [] { std::string s; for (int i = 0; i < 256; ++i) s += static_cast<char>(i); return s; }()},
        {"runs", runs},
        {"alternating", alternating},
        {"random small", RandomBytes(1000, 1)},
        {"random large", RandomBytes(200000, 2)},  // fills the LZW table many times
        {"list text", ListText(300000)},
        {"repetitive", std::string(100000, 'Q') + ListText(5000) + std::string(70000, 'Q')},
    };
}

// ---------------------------------------------------------------------------
// LZW

TEST(LzwEncoderTest, SingleByteAtQualityThree)
{
    LzwEncoder lzw;
    std::string data = "\x41";
    lzw.LzwEncode(data, 3);
    EXPECT_EQ(data, std::string("\x80\x10\x60\x20", 4));
}

TEST(LzwEncoderTest, EmptyInputIsClearAndEndOfData)
{
    LzwEncoder lzw;
    std::string data;
    lzw.LzwEncode(data, 3);
    EXPECT_EQ(data, std::string("\x80\x40\x40", 3));  // 256, 257 in 9 bits, padded
}

TEST(LzwEncoderTest, QualityAboveThreeActsAsThreeAndBelowZeroAsZero)
{
    LzwEncoder lzw;
    const std::string input = RandomBytes(50000, 9);
    std::string q3 = input, q9 = input, q0 = input, qNeg = input;
    lzw.LzwEncode(q3, 3);
    lzw.LzwEncode(q9, 9);
    lzw.LzwEncode(q0, 0);
    lzw.LzwEncode(qNeg, -2);
    EXPECT_EQ(q9, q3);
    EXPECT_EQ(qNeg, q0);
    EXPECT_NE(q0, q3);
}

TEST(LzwEncoderTest, RoundTripsAtEveryQuality)
{
    LzwEncoder lzw;  // one encoder for every stream, as in a document
    for (int quality = 0; quality <= 3; ++quality) {
        for (const auto& [name, input] : Samples()) {
            std::string data = input;
            lzw.LzwEncode(data, quality);
            const auto decoded = LzwDecode(data);
            ASSERT_TRUE(decoded.has_value()) << name << " quality " << quality;
            EXPECT_EQ(*decoded, input) << name << " quality " << quality;
        }
    }
}

TEST(LzwEncoderTest, CodeWidthsAndClearCodesFollowTheQuality)
{
    LzwEncoder lzw;
    const std::string input = RandomBytes(100000, 3);
    for (int quality = 0; quality <= 3; ++quality) {
        std::string data = input;
        lzw.LzwEncode(data, quality);
        std::vector<LzwCode> trace;
        ASSERT_TRUE(LzwDecode(data, &trace).has_value());
        const uint32_t maxCode = (1u << (9 + quality)) - 1;
        const unsigned clearWidth = std::min(10u + static_cast<unsigned>(quality), 12u);
        ASSERT_GE(trace.size(), 2u);
        EXPECT_EQ(trace.front().code, 256u);
        EXPECT_EQ(trace.front().width, 9u);
        EXPECT_EQ(trace.back().code, 257u);
        int clears = 0;
        for (size_t i = 1; i < trace.size(); ++i) {
            const auto& c = trace[i];
            if (c.code == 256) {
                ++clears;
                EXPECT_EQ(c.width, clearWidth) << "quality " << quality << " code index " << i;
            } else if (c.code != 257) {
                EXPECT_LE(c.code, maxCode);
                if (quality == 0) {
                    EXPECT_EQ(c.width, 9u) << "code index " << i;
                }
            }
        }
        // Random data enters nearly one code per byte, so the table fills repeatedly.
        EXPECT_GE(clears, static_cast<int>(100000 / (maxCode - 257) / 2)) << "quality " << quality;
    }
}

TEST(LzwEncoderTest, QualityZeroClearsRightAfterCode511)
{
    // With distinct pairs every byte enters a code: after the leading clear, 254
    // codes enter 258..511 and then the clear follows in 10 bits.
    LzwEncoder lzw;
    std::string input = RandomBytes(5000, 11);
    std::string data = input;
    lzw.LzwEncode(data, 0);
    std::vector<LzwCode> trace;
    ASSERT_TRUE(LzwDecode(data, &trace).has_value());
    size_t lastClear = 0;
    for (size_t i = 1; i < trace.size(); ++i) {
        if (trace[i].code != 256) continue;
        // Codes since the previous clear: each entered one table code, 258..511.
        EXPECT_EQ(i - lastClear - 1, 511u - 258u + 1u) << "clear at code index " << i;
        lastClear = i;
    }
    EXPECT_GT(lastClear, 0u);
}

// Finds an input whose last byte enters the largest code, so the table is full
// exactly at the end of the data.
std::string InputFillingTableAtLastByte(int quality)
{
    const std::string input = RandomBytes(20000, 21);
    LzwEncoder lzw;
    std::string data = input;
    lzw.LzwEncode(data, quality);
    std::vector<LzwCode> trace;
    const auto decoded = LzwDecode(data, &trace);
    if (!decoded) return {};
    // Replay the codes to know how many bytes were decoded when the second clear came.
    size_t bytes = 0;
    std::vector<size_t> lengths;  // decoded length of each code since the clear
    size_t previousLength = 0;
    int clears = 0;
    for (const auto& c : trace) {
        if (c.code == 256) {
            if (++clears == 2) return input.substr(0, bytes + 1);
            lengths.clear();
            previousLength = 0;
            continue;
        }
        if (c.code == 257) break;
        size_t len;
        if (c.code < 256) len = 1;
        else if (c.code - 258 < lengths.size()) len = lengths[c.code - 258];
        else len = previousLength + 1;
        if (previousLength > 0) lengths.push_back(previousLength + 1);
        bytes += len;
        previousLength = len;
    }
    return {};
}

TEST(LzwEncoderTest, TableFullOnTheLastByteStaysDecodable)
{
    for (int quality = 0; quality <= 3; ++quality) {
        const std::string input = InputFillingTableAtLastByte(quality);
        ASSERT_FALSE(input.empty()) << "quality " << quality;
        LzwEncoder lzw;
        std::string data = input;
        lzw.LzwEncode(data, quality);
        std::vector<LzwCode> trace;
        const auto decoded = LzwDecode(data, &trace);
        ASSERT_TRUE(decoded.has_value()) << "quality " << quality;
        EXPECT_EQ(*decoded, input);
        // The full table is cleared before the last code goes out.
        ASSERT_GE(trace.size(), 4u);
        EXPECT_EQ(trace[trace.size() - 3].code, 256u) << "quality " << quality;
        EXPECT_EQ(trace.back().width, 9u);
    }
}

// ---------------------------------------------------------------------------
// Flate

TEST(FlateTest, ZlibStreamWithFixedHeaderAndAdlerTrailerAtEveryLevel)
{
    for (int quality = 0; quality <= 3; ++quality) {
        for (const auto& [name, input] : Samples()) {
            std::string data = input;
            quill::zzToFlateDecode(data, quality);
            ASSERT_GE(data.size(), 6u);
            EXPECT_EQ(static_cast<uint8_t>(data[0]), 0x78) << name;
            EXPECT_EQ(static_cast<uint8_t>(data[1]), 0x5E) << name;
            const uLong adler =
                adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(input.data()),
                        static_cast<uInt>(input.size()));
            const std::string trailer = data.substr(data.size() - 4);
            const uLong stored = (uLong{static_cast<uint8_t>(trailer[0])} << 24) |
                                 (uLong{static_cast<uint8_t>(trailer[1])} << 16) |
                                 (uLong{static_cast<uint8_t>(trailer[2])} << 8) |
                                 uLong{static_cast<uint8_t>(trailer[3])};
            EXPECT_EQ(stored, adler) << name << " quality " << quality;
            EXPECT_EQ(Inflate(data, input.size()), input) << name << " quality " << quality;
        }
    }
}

TEST(FlateTest, DeflateDataIsZlibsAtLevelQualityPlusFour)
{
    const std::string input = ListText(200000);
    std::vector<std::string> outputs;
    for (int quality = 0; quality <= 3; ++quality) {
        std::string data = input;
        quill::zzToFlateDecode(data, quality);
        std::string reference(compressBound(static_cast<uLong>(input.size())), '\0');
        uLongf refLen = static_cast<uLongf>(reference.size());
        ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(reference.data()), &refLen,
                            reinterpret_cast<const Bytef*>(input.data()),
                            static_cast<uLong>(input.size()), quality + 4),
                  Z_OK);
        reference.resize(refLen);
        // Everything but the header's level hint is the same.
        EXPECT_EQ(data.substr(2), reference.substr(2)) << "level " << quality + 4;
        outputs.push_back(data);
    }
    EXPECT_NE(outputs[0], outputs[3]);
    std::string q9 = input;
    quill::zzToFlateDecode(q9, 9);
    EXPECT_EQ(q9, outputs[3]);
}

// ---------------------------------------------------------------------------
// Run-length, ASCII85, ASCIIHex

TEST(RunLengthTest, RoundTripsAndKeepsGroupsWithin128Bytes)
{
    for (const auto& [name, input] : Samples()) {
        std::string data = input;
        quill::RunLengthEncode(data);
        const auto decoded = RunLengthDecode(data);
        ASSERT_TRUE(decoded.has_value()) << name;
        EXPECT_EQ(*decoded, input) << name;
        EXPECT_LE(data.size(), input.size() + input.size() / 128 + 2) << name;
    }
}

TEST(RunLengthTest, KnownEncodings)
{
    auto encode = [](std::string s) {
        quill::RunLengthEncode(s);
        return s;
    };
    EXPECT_EQ(encode(""), "\x80");
    EXPECT_EQ(encode("A"), std::string("\x00" "A\x80", 3));
    EXPECT_EQ(encode(std::string(128, 'B')), "\x81" "B\x80");                // 257 - 128
    EXPECT_EQ(encode(std::string(129, 'B')), std::string("\x81" "B\x00" "B\x80", 5));
    EXPECT_EQ(encode(std::string(131, 'B')), "\x81" "B\xFE" "B\x80");        // 128 + 3
    EXPECT_EQ(encode("xyz" + std::string(5, 'C')), std::string("\x02xyz\xFC" "C\x80", 7));
    const std::string literals = RandomBytes(300, 5);  // no runs of three in this sample
    const std::string encoded = encode(literals);
    ASSERT_EQ(encoded.size(), 300u + 3u + 1u);
    EXPECT_EQ(static_cast<uint8_t>(encoded[0]), 127);
    EXPECT_EQ(static_cast<uint8_t>(encoded[129]), 127);
    EXPECT_EQ(static_cast<uint8_t>(encoded[258]), 300 - 256 - 1);
}

TEST(Ascii85Test, KnownEncodings)
{
    auto encode = [](std::string s) {
        quill::Ascii85Encode(s);
        return s;
    };
    EXPECT_EQ(encode(""), "~>");
    EXPECT_EQ(encode("Man "), "9jqo^~>");
    EXPECT_EQ(encode("Man is d"), "9jqo^BlbD-~>");
    EXPECT_EQ(encode("Man is"), "9jqo^Bla~>");  // partial group of two bytes: three characters
    EXPECT_EQ(encode(std::string(4, '\0')), "z~>");
    EXPECT_EQ(encode(std::string(9, '\0')), "zz!!~>");  // a partial zero group is not "z"
    EXPECT_EQ(encode("\xFF\xFF\xFF\xFF"), "s8W-!~>");
    EXPECT_EQ(encode("."), "/c~>");
}

TEST(Ascii85Test, RoundTrips)
{
    for (const auto& [name, input] : Samples()) {
        for (size_t cut = 0; cut < 4; ++cut) {  // every partial final group
            const std::string part = input.substr(0, input.size() >= cut ? input.size() - cut : 0);
            std::string data = part;
            quill::Ascii85Encode(data);
            const auto decoded = Ascii85Decode(data);
            ASSERT_TRUE(decoded.has_value()) << name << " cut " << cut;
            EXPECT_EQ(*decoded, part) << name << " cut " << cut;
        }
    }
}

TEST(AsciiHexTest, UpperCaseDigitsWithoutSeparators)
{
    std::string data("\x00\x0A\xAB\xFF\x7F", 5);
    quill::AsciiHexEncode(data);
    EXPECT_EQ(data, "000AABFF7F");
    std::string empty;
    quill::AsciiHexEncode(empty);
    EXPECT_EQ(empty, "");
    for (const auto& [name, input] : Samples()) {
        std::string encoded = input;
        quill::AsciiHexEncode(encoded);
        EXPECT_EQ(encoded.find_first_not_of("0123456789ABCDEF"), std::string::npos) << name;
        EXPECT_EQ(AsciiHexDecode(encoded), input) << name;
    }
}

// ---------------------------------------------------------------------------
// Filter chain

// Decodes by the filter names, first name first.
std::optional<std::string> DecodeChain(std::string data, const std::string& names)
{
    size_t pos = 0;
    while (pos < names.size()) {
        const size_t end = names.find(' ', pos);
        const std::string name = names.substr(pos, end - pos);
        pos = end + 1;
        std::optional<std::string> next;
        if (name == "/RunLengthDecode") next = RunLengthDecode(data);
        else if (name == "/FlateDecode") next = Inflate(data, 50 * data.size() + 1024);
        else if (name == "/LZWDecode") next = LzwDecode(data);
        else if (name == "/ASCII85Decode") next = Ascii85Decode(data);
        else if (name == "/ASCIIHexDecode") next = AsciiHexDecode(data);
        if (!next) return std::nullopt;
        data = std::move(*next);
    }
    return data;
}

TEST(ApplyFiltersTest, NamesInDecodingOrder)
{
    struct Case {
        uint32_t flags;
        bool callerHasFilter;
        const char* names;
    };
    const Case cases[] = {
        {0, false, ""},
        {1, false, "/RunLengthDecode "},
        {2, false, "/FlateDecode "},
        {4, false, "/LZWDecode "},
        {8, false, "/ASCII85Decode "},
        {16, false, "/ASCIIHexDecode "},
        {2 + 8, false, "/ASCII85Decode /FlateDecode "},
        {2 + 16, false, "/ASCIIHexDecode /FlateDecode "},
        {1 + 2 + 4 + 8, false, "/ASCII85Decode /LZWDecode /FlateDecode /RunLengthDecode "},
        {31, false, "/ASCIIHexDecode /ASCII85Decode /LZWDecode /FlateDecode /RunLengthDecode "},
        {1 + 2 + 4, true, ""},
        {1 + 2 + 4 + 8, true, "/ASCII85Decode "},
        {2 + 16, true, "/ASCIIHexDecode "},
        {0x20 | 4, false, "/LZWDecode "},  // unknown bits are ignored
    };
    LzwEncoder lzw;
    const std::string input = ListText(20000);
    for (const auto& c : cases) {
        std::string data = input;
        const std::string names = quill::ApplyFilters(data, c.flags, 3, c.callerHasFilter, lzw);
        EXPECT_EQ(names, c.names) << "flags " << c.flags;
        EXPECT_EQ(DecodeChain(data, names), input) << "flags " << c.flags;
    }
}

TEST(ApplyFiltersTest, HexBodyForFlateAndHex)
{
    LzwEncoder lzw;
    std::string data = ListText(1000);
    quill::ApplyFilters(data, 2 + 16, 0, false, lzw);
    EXPECT_EQ(data.substr(0, 4), "785E");
    EXPECT_EQ(data.find_first_not_of("0123456789ABCDEF"), std::string::npos);
}

// ---------------------------------------------------------------------------
// qpdf and poppler decode the streams of a hand-made document

TEST(FiltersExternalTest, QpdfAndPopplerDecodeEveryFilterCombination)
{
    const handmade::ScratchDir dir("filters");
    const std::string content = ListText(40000);
    struct Case {
        uint32_t flags;
        int quality;
    };
    const Case cases[] = {{1, 0},  {2, 0},  {2, 3},  {4, 0},      {4, 1},     {4, 2},
                          {4, 3},  {8, 0},  {16, 0}, {2 + 8, 1},  {2 + 16, 2}, {1 + 2 + 4 + 8, 3},
                          {31, 3}, {1 + 4, 0}};
    LzwEncoder lzw;
    for (const auto& c : cases) {
        SCOPED_TRACE("flags " + std::to_string(c.flags) + " quality " + std::to_string(c.quality));
        handmade::Document doc;
        doc.content = content;
        doc.filterNames = quill::ApplyFilters(doc.content, c.flags, c.quality, false, lzw);
        const std::string pdf = dir.Write("f" + std::to_string(c.flags) + "q" + std::to_string(c.quality) + ".pdf",
                                          handmade::Build(doc));
        const auto check = handmade::Run("qpdf --check " + pdf);
        EXPECT_EQ(check.exitCode, 0) << check.output;
        EXPECT_NE(check.output.find("No syntax or stream encoding errors found"), std::string::npos)
            << check.output;
        const auto shown = handmade::Run("qpdf --show-object=4 --filtered-stream-data " + pdf);
        EXPECT_EQ(shown.exitCode, 0);
        EXPECT_TRUE(shown.output == content) << "qpdf decoded " << shown.output.size() << " bytes of "
                                             << content.size();
        const auto text = handmade::Run("pdftotext -q " + pdf + " -");
        EXPECT_EQ(text.exitCode, 0);
        EXPECT_NE(text.output.find("ROSSI MARIO"), std::string::npos);
    }
}

TEST(FiltersExternalTest, QpdfDecodesLzwWithTableFullOnTheLastByte)
{
    const handmade::ScratchDir dir("lzwfull");
    LzwEncoder lzw;
    for (int quality = 0; quality <= 3; ++quality) {
        const std::string input = InputFillingTableAtLastByte(quality);
        ASSERT_FALSE(input.empty());
        handmade::Document doc;
        doc.content = input;
        lzw.LzwEncode(doc.content, quality);
        doc.filterNames = "/LZWDecode ";
        const std::string pdf = dir.Write("q" + std::to_string(quality) + ".pdf", handmade::Build(doc));
        const auto shown = handmade::Run("qpdf --show-object=4 --filtered-stream-data " + pdf);
        EXPECT_EQ(shown.exitCode, 0) << "quality " << quality;
        EXPECT_TRUE(shown.output == input) << "quality " << quality << ": " << shown.output.substr(0, 200);
    }
}

}  // namespace
