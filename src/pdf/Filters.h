// Stream encoders of the QuillPdf writer: run-length, Flate (zlib), LZW,
// ASCII85 and ASCIIHex, plus the routine that applies them in stream order.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quill {

// Filter flags as used by SetCompression.
enum FilterFlag : uint32_t {
    kFilterRunLength = 1,
    kFilterFlate = 2,
    kFilterLzw = 4,
    kFilterAscii85 = 8,
    kFilterAsciiHex = 16,
};

// RunLengthDecode format, closed by the end-of-data byte 128.
void RunLengthEncode(std::string& data);

// zlib stream (header 0x78 0x5E, deflate at level quality + 4, Adler-32 trailer).
// Quality is clamped to 0..3.
void zzToFlateDecode(std::string& data, int quality);

// LZWDecode format with early change. Keeps its work buffers (hash table,
// output buffer) between streams so that repeated calls allocate nothing.
class LzwEncoder {
public:
    LzwEncoder();
    // Quality is clamped to 0..3; the largest code is 2^(9 + quality) - 1.
    void LzwEncode(std::string& data, int quality);

private:
    // The table is an open-addressed hash with linear probing, four times as many slots as the
    // quality's codes (2^(11 + quality)), so that probes are short and a reset clears little.
    static constexpr unsigned kMaxTableBits = 14;
    // Each slot holds (prefix << 8 | byte) << 12 | code, or kFreeSlot. The pair
    // (4095, 255) never occurs: code 4095 is never a prefix, the table is
    // cleared as soon as it is entered.
    static constexpr uint32_t kFreeSlot = 0xFFFFFFFFu;
    std::vector<uint32_t> slots_;
    std::string out_;  // output buffer, swapped with the caller's data and reused
};

// ASCII85 with "z" for four zero bytes, a final partial group and "~>".
void Ascii85Encode(std::string& data);

// Every byte as two upper-case hexadecimal digits, no separators.
void AsciiHexEncode(std::string& data);

// Applies the filters named by flags in stream order: without a caller filter
// run-length (1), Flate (2), LZW (4); then always ASCII85 (8) and ASCIIHex (16).
// Returns the filter names in decoding order, each followed by a blank
// (flags 2 + 8 -> "/ASCII85Decode /FlateDecode "), or "" when none was applied.
std::string ApplyFilters(std::string& data, uint32_t flags, int quality, bool callerHasFilter, LzwEncoder& lzw);

}  // namespace quill
