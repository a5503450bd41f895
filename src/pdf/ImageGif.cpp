// GIF pictures: the first image of the file, its LZW data decoded to one
// palette index per byte, interlaced rows put back in order. Damaged code
// streams end the data early and leave the remaining pixels black; a file
// whose blocks reach past its end is refused.
#include <algorithm>
#include <array>
#include <vector>

#include "pdf/Images.h"

namespace quill {

using namespace image;

namespace {

// The variable-length LZW of GIF (codes LSB first, up to 12 bits, no early
// change). Stops at the end code, at the end of the data, when every pixel
// is filled, or at a code the table cannot hold yet.
void DecodeLzw(std::string_view data, uint32_t minCodeSize, std::string& pixels) {
    const uint32_t clear = 1u << minCodeSize, end = clear + 1;
    std::vector<uint16_t> prefix(4096), length(4096);
    std::vector<uint8_t> suffix(4096), first(4096);
    for (uint32_t i = 0; i < clear; ++i) suffix[i] = first[i] = static_cast<uint8_t>(i), length[i] = 1;
    uint32_t codeSize = minCodeSize + 1, next = clear + 2, bitBuffer = 0, bitCount = 0;
    int32_t previous = -1;
    size_t in = 0, outPos = 0;
    while (outPos < pixels.size()) {
        while (bitCount < codeSize && in < data.size()) {
            bitBuffer |= static_cast<uint32_t>(static_cast<uint8_t>(data[in++])) << bitCount;
            bitCount += 8;
        }
        if (bitCount < codeSize) return;
        const uint32_t code = bitBuffer & ((1u << codeSize) - 1);
        bitBuffer >>= codeSize;
        bitCount -= codeSize;
        if (code == clear) {
            codeSize = minCodeSize + 1, next = clear + 2, previous = -1;
            continue;
        }
        if (code == end) return;
        if (previous < 0) {
            if (code > clear) return;
        } else {
            if (code > next) return;
            if (next < 4096) {
                const uint32_t p = static_cast<uint32_t>(previous);
                prefix[next] = static_cast<uint16_t>(p);
                suffix[next] = code == next ? first[p] : first[code];
                first[next] = first[p];
                length[next] = static_cast<uint16_t>(length[p] + 1);
                if (++next == (1u << codeSize) && codeSize < 12) ++codeSize;
            }  // a full table stays as it is until the next clear code
        }
        // The string of the code, written from its last byte back to its first.
        const size_t n = length[code], kept = std::min(n, pixels.size() - outPos);
        uint32_t c = code;
        for (size_t j = n; j-- > 0; c = prefix[c]) {
            if (j < kept) pixels[outPos + j] = static_cast<char>(suffix[c]);
        }
        outPos += kept;
        previous = static_cast<int32_t>(code);
    }
}

}  // namespace

Error ReadGif(std::string_view file, DecodedImage& out) {
    try {
        const Bytes b(file, "GIF");
        const std::string_view signature = b.View(0, 6);
        if (signature != "GIF87a" && signature != "GIF89a") Refuse("GIF", "no \"GIF87a\" or \"GIF89a\" signature");
        const uint32_t screenFlags = b.U8(10);
        uint64_t pos = 13;
        if (screenFlags & 0x80) {
            const uint64_t size = 3ull << ((screenFlags & 7) + 1);
            out.palette.assign(b.View(pos, size));
            pos += size;
        }
        int transparent = -1;
        auto skipSubBlocks = [&] {
            for (uint32_t n; (n = b.U8(pos++)) != 0; pos += n) b.At(pos, n);
        };
        for (bool image = false; !image;) {
            switch (b.U8(pos++)) {
            case 0x21:  // extension; a graphic control one may name a transparent index
                if (b.U8(pos) == 0xF9 && b.U8(pos + 1) >= 4)
                    transparent = (b.U8(pos + 2) & 1) ? static_cast<int>(b.U8(pos + 5)) : -1;
                ++pos;
                skipSubBlocks();
                break;
            case 0x2C: image = true; break;
            case 0x3B: Refuse("GIF", "the file holds no image");
            default: Refuse("GIF", "unknown block");
            }
        }
        out.width = b.U16(pos + 4);
        out.height = b.U16(pos + 6);
        const uint32_t imageFlags = b.U8(pos + 8);
        pos += 9;
        if (imageFlags & 0x80) {
            const uint64_t size = 3ull << ((imageFlags & 7) + 1);
            out.palette.assign(b.View(pos, size));
            pos += size;
        }
        if (out.palette.empty()) Refuse("GIF", "no colour table");
        const uint64_t row = CheckedRowBytes("GIF", out.width, out.height, 8);
        const uint32_t minCodeSize = b.U8(pos++);
        std::string data;
        for (uint32_t n; (n = b.U8(pos++)) != 0; pos += n) data.append(b.View(pos, n));
        // A code has 3 bits or more and stands for 4096 pixels at most: a file that asks for far more
        // pixels than its data could ever give (a few bytes for megabytes of black) is refused before
        // they are allocated.
        if (row * out.height > (data.size() * 8 / 3 + 1) * 4096) Refuse("GIF", "the picture data is far too short");

        // Pixels the data leaves unset stay black: the darkest entry when it is black or the
        // table is full, else the first entry past the table, which the padded lookup makes black.
        const size_t entries = out.palette.size() / 3;
        size_t fill = 0;
        auto sum = [&out](size_t i) {
            const auto* e = reinterpret_cast<const unsigned char*>(out.palette.data() + 3 * i);
            return e[0] + e[1] + e[2];
        };
        for (size_t i = 1; i < entries; ++i) fill = sum(i) < sum(fill) ? i : fill;
        if (sum(fill) > 0 && entries < 256) fill = entries;
        std::string pixels(static_cast<size_t>(row * out.height), static_cast<char>(fill));
        if (minCodeSize >= 2 && minCodeSize <= 8) DecodeLzw(data, minCodeSize, pixels);
        if (imageFlags & 0x40) {
            // The passes hold every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
            out.data.assign(pixels.size(), '\0');
            uint64_t source = 0;
            for (const auto& [start, step] : {std::array<uint64_t, 2>{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
                for (uint64_t r = start; r < out.height; r += step, ++source)
                    out.data.replace(static_cast<size_t>(r * row), static_cast<size_t>(row), pixels,
                                     static_cast<size_t>(source * row), static_cast<size_t>(row));
            }
        } else {
            out.data = std::move(pixels);
        }
        out.color = ImageColor::Indexed;
        out.bits = 8;
        out.transparentIndex = transparent;
        return {};
    } catch (const Refused& refused) {
        return refused.error;
    }
}

}  // namespace quill
