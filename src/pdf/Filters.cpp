#include "pdf/Filters.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace quill {

namespace {

// Writes codes most significant bit first. Bits are gathered in a 64-bit
// accumulator and stored four bytes at a time.
class MsbBitWriter {
public:
    explicit MsbBitWriter(uint8_t* out) : out_(out) {}

    void Put(uint32_t code, unsigned width) {
        acc_ = (acc_ << width) | code;
        bits_ += width;
        if (bits_ >= 32) {
            bits_ -= 32;
            const auto word = static_cast<uint32_t>(acc_ >> bits_);
            out_[0] = static_cast<uint8_t>(word >> 24);
            out_[1] = static_cast<uint8_t>(word >> 16);
            out_[2] = static_cast<uint8_t>(word >> 8);
            out_[3] = static_cast<uint8_t>(word);
            out_ += 4;
        }
    }

    // Writes the remaining bits, the last byte padded with zero bits; returns
    // the position after the last byte written.
    uint8_t* Finish() {
        while (bits_ >= 8) {
            bits_ -= 8;
            *out_++ = static_cast<uint8_t>(acc_ >> bits_);
        }
        if (bits_ > 0) {
            *out_++ = static_cast<uint8_t>(acc_ << (8 - bits_));
            bits_ = 0;
        }
        return out_;
    }

private:
    uint8_t* out_;
    uint64_t acc_ = 0;
    unsigned bits_ = 0;
};

int ClampQuality(int quality) { return std::clamp(quality, 0, 3); }

uint8_t* Bytes(std::string& s) { return reinterpret_cast<uint8_t*>(s.data()); }

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

// ---------------------------------------------------------------------------
// Run-length

void RunLengthEncode(std::string& data) {
    const size_t n = data.size();
    const uint8_t* in = Bytes(data);
    // Worst case: one length byte per 128 literals, plus the end-of-data byte.
    std::string out(n + n / 128 + 2, '\0');
    uint8_t* op = Bytes(out);

    size_t i = 0;
    size_t literalStart = 0;
    auto flushLiterals = [&](size_t end) {
        while (literalStart < end) {
            const size_t count = std::min<size_t>(end - literalStart, 128);
            *op++ = static_cast<uint8_t>(count - 1);
            std::memcpy(op, in + literalStart, count);
            op += count;
            literalStart += count;
        }
    };
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 128 && in[i + run] == in[i]) ++run;
        if (run >= 3) {
            flushLiterals(i);
            *op++ = static_cast<uint8_t>(257 - run);
            *op++ = in[i];
            i += run;
            literalStart = i;
        } else {
            i += run;
        }
    }
    flushLiterals(n);
    *op++ = 128;
    out.resize(static_cast<size_t>(op - Bytes(out)));
    data.swap(out);
}

// ---------------------------------------------------------------------------
// Flate

void zzToFlateDecode(std::string& data, int quality) {
    struct Row {
        int good, lazy, nice, chain;
    };
    static constexpr Row kRows[4] = {{4, 4, 16, 16}, {8, 16, 32, 32}, {8, 16, 128, 128}, {8, 32, 128, 256}};
    const int q = ClampQuality(quality);

    z_stream zs{};
    if (deflateInit2(&zs, q + 4, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    // Pin the configuration of the level, whichever zlib build is linked.
    deflateTune(&zs, kRows[q].good, kRows[q].lazy, kRows[q].nice, kRows[q].chain);

    std::string out(deflateBound(&zs, static_cast<uLong>(data.size())), '\0');
    // zlib counts in 32 bits: feed and drain in slices so that any size works.
    constexpr size_t kSlice = size_t{1} << 30;
    size_t inPos = 0;
    size_t outPos = 0;
    int rc = Z_OK;
    while (rc == Z_OK) {
        const size_t inChunk = std::min(data.size() - inPos, kSlice);
        if (out.size() - outPos < 64) out.resize(out.size() + out.size() / 8 + 1024);
        const size_t outChunk = std::min(out.size() - outPos, kSlice);
        zs.next_in = reinterpret_cast<Bytef*>(data.data() + inPos);
        zs.avail_in = static_cast<uInt>(inChunk);
        zs.next_out = reinterpret_cast<Bytef*>(out.data() + outPos);
        zs.avail_out = static_cast<uInt>(outChunk);
        rc = deflate(&zs, inPos + inChunk == data.size() ? Z_FINISH : Z_NO_FLUSH);
        inPos += inChunk - zs.avail_in;
        outPos += outChunk - zs.avail_out;
        if (rc == Z_BUF_ERROR && zs.avail_out == 0) rc = Z_OK;  // output slice full: go on with more room
    }
    deflateEnd(&zs);
    if (rc != Z_STREAM_END) throw std::runtime_error("deflate failed");
    const size_t produced = outPos;

    out.resize(produced);
    // The header names the compression level only as a hint for recompression;
    // the documents always carry 0x78 0x5E, which passes the header check (0x785E % 31 == 0).
    out[0] = static_cast<char>(0x78);
    out[1] = static_cast<char>(0x5E);
    data.swap(out);
}

// ---------------------------------------------------------------------------
// LZW

LzwEncoder::LzwEncoder() : slots_(size_t{1} << kMaxTableBits, kFreeSlot) {}

void LzwEncoder::LzwEncode(std::string& data, int quality) {
    constexpr uint32_t kClear = 256;
    constexpr uint32_t kEndOfData = 257;
    constexpr uint32_t kFirstCode = 258;

    const int q = ClampQuality(quality);
    const uint32_t maxCode = (1u << (9 + q)) - 1;
    const size_t n = data.size();

    // At most one code of 12 bits per input byte, a clear code every 253 codes,
    // the leading clear, the last prefix and the end-of-data code.
    out_.resize(n + n / 2 + n / 128 + 16);
    MsbBitWriter writer(Bytes(out_));
    unsigned width = 9;
    const unsigned tableBits = 11 + static_cast<unsigned>(q);
    const uint32_t slotMask = (1u << tableBits) - 1;
    uint32_t* const slots = slots_.data();
    auto clearTable = [slots, slotMask] { std::fill(slots, slots + slotMask + 1, kFreeSlot); };

    clearTable();
    writer.Put(kClear, width);
    if (n > 0) {
        const uint8_t* in = Bytes(data);
        uint32_t next = kFirstCode;
        uint32_t prefix = in[0];

        for (size_t i = 1; i < n; ++i) {
            const uint32_t c = in[i];
            const uint32_t key = (prefix << 8) | c;
            uint32_t slot = (key * 0x9E3779B1u) >> (32 - tableBits);  // Fibonacci hashing
            uint32_t v = slots[slot];
            while (v != kFreeSlot && (v >> 12) != key) {
                slot = (slot + 1) & slotMask;
                v = slots[slot];
            }
            if (v != kFreeSlot) {
                prefix = v & 0xFFF;
                continue;
            }
            writer.Put(prefix, width);
            const uint32_t code = next++;
            slots[slot] = (key << 12) | code;
            if (code == 511 || code == 1023 || code == 2047) ++width;
            prefix = c;
            if (code == maxCode) {
                // Table full: the clear code goes out with the current width.
                writer.Put(kClear, width);
                clearTable();
                next = kFirstCode;
                width = 9;
            }
        }
        // The last prefix is written and counted as an entry, as the decoder
        // adds one after reading it; that may widen the end-of-data code.
        writer.Put(prefix, width);
        const uint32_t code = next++;
        if (code == 511 || code == 1023 || code == 2047) ++width;
    }
    writer.Put(kEndOfData, width);
    uint8_t* end = writer.Finish();
    out_.resize(static_cast<size_t>(end - Bytes(out_)));
    data.swap(out_);
}

// ---------------------------------------------------------------------------
// ASCII85 and ASCIIHex

void Ascii85Encode(std::string& data) {
    const size_t n = data.size();
    const uint8_t* in = Bytes(data);
    std::string out(n / 4 * 5 + 5 + 2, '\0');
    char* op = out.data();

    auto putGroup = [&](uint32_t v, int chars) {
        char digits[5];
        for (int k = 4; k >= 0; --k) {
            digits[k] = static_cast<char>('!' + v % 85);
            v /= 85;
        }
        std::memcpy(op, digits, static_cast<size_t>(chars));
        op += chars;
    };

    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const uint32_t v =
            (uint32_t{in[i]} << 24) | (uint32_t{in[i + 1]} << 16) | (uint32_t{in[i + 2]} << 8) | uint32_t{in[i + 3]};
        if (v == 0)
            *op++ = 'z';
        else
            putGroup(v, 5);
    }
    if (i < n) {
        // Partial group: padded with zero bytes, written with one character more than its bytes.
        const size_t rest = n - i;
        uint32_t v = 0;
        for (size_t k = 0; k < 4; ++k) v = (v << 8) | (k < rest ? in[i + k] : 0u);
        putGroup(v, static_cast<int>(rest + 1));
    }
    *op++ = '~';
    *op++ = '>';
    out.resize(static_cast<size_t>(op - out.data()));
    data.swap(out);
}

void AsciiHexEncode(std::string& data) {
    // Expanded in place from the back, so the buffer is only grown once.
    const size_t n = data.size();
    data.resize(2 * n);
    uint8_t* p = Bytes(data);
    for (size_t i = n; i-- > 0;) {
        const uint8_t b = p[i];
        p[2 * i] = static_cast<uint8_t>(kHexDigits[b >> 4]);
        p[2 * i + 1] = static_cast<uint8_t>(kHexDigits[b & 15]);
    }
}

// ---------------------------------------------------------------------------

std::string ApplyFilters(std::string& data, uint32_t flags, int quality, bool callerHasFilter, LzwEncoder& lzw) {
    std::string names;
    auto prepend = [&names](const char* name) { names.insert(0, name); };
    if (!callerHasFilter) {
        if (flags & kFilterRunLength) {
            RunLengthEncode(data);
            prepend("/RunLengthDecode ");
        }
        if (flags & kFilterFlate) {
            zzToFlateDecode(data, quality);
            prepend("/FlateDecode ");
        }
        if (flags & kFilterLzw) {
            lzw.LzwEncode(data, quality);
            prepend("/LZWDecode ");
        }
    }
    if (flags & kFilterAscii85) {
        Ascii85Encode(data);
        prepend("/ASCII85Decode ");
    }
    if (flags & kFilterAsciiHex) {
        AsciiHexEncode(data);
        prepend("/ASCIIHexDecode ");
    }
    return names;
}

}  // namespace quill
