// Windows bitmaps: 1-, 4- and 8-bit pictures keep their indexes and palette;
// 16-, 24- and 32-bit ones become RGB triples. Rows are read at their 4-byte
// stride, bottom-up or (negative height) top-down, and written top to bottom.
#include <algorithm>
#include <cstdlib>

#include "pdf/Images.h"

namespace quill {

using namespace image;

namespace {

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255.
struct Channel {
    uint32_t mask = 0, shift = 0, max = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (m == 0) return;
        while (((m >> shift) & 1) == 0) ++shift;
        max = m >> shift;
    }
    char Of(uint32_t pixel) const {
        if (max == 0) return 0;
        const uint64_t v = (pixel & mask) >> shift;
        return static_cast<char>((v * 255 + max / 2) / max);
    }
};

}  // namespace

Error ReadBmp(std::string_view file, DecodedImage& out) {
    try {
        const Bytes b(file, "BMP");
        if (b.U16(0) != 19778) Refuse("BMP", "no \"BM\" signature");
        const uint64_t dataOffset = b.U32(10), headerSize = b.U32(14);
        if (headerSize < 40) Refuse("BMP", "old core headers are not supported");
        const int32_t width = static_cast<int32_t>(b.U32(18)), rawHeight = static_cast<int32_t>(b.U32(22));
        const uint32_t bits = b.U16(28), compression = b.U32(30), colorsUsed = b.U32(46);
        if (width <= 0 || rawHeight == 0) Refuse("BMP", "the picture has no pixels");
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            Refuse("BMP", "unsupported bit depth");
        if (compression != 0 && !(compression == 3 && (bits == 16 || bits == 32)))
            Refuse("BMP", "compressed bitmaps are not supported");
        const bool topDown = rawHeight < 0;
        const uint64_t height = static_cast<uint64_t>(std::llabs(static_cast<int64_t>(rawHeight)));
        const bool indexed = bits <= 8;
        const uint64_t rowOut = CheckedRowBytes("BMP", static_cast<uint64_t>(width), height, indexed ? bits : 24);
        const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
        if (!b.Has(dataOffset, stride * height)) Refuse("BMP", "the pixel data reaches past the end of the file");

        out.width = static_cast<uint32_t>(width);
        out.height = static_cast<uint32_t>(height);
        out.bits = indexed ? static_cast<int>(bits) : 8;
        out.color = indexed ? ImageColor::Indexed : ImageColor::Rgb;
        if (indexed) {
            const uint64_t start = 14 + headerSize, count = colorsUsed != 0 ? colorsUsed : 1u << bits;
            if (!b.Has(start, count * 4)) Refuse("BMP", "the palette reaches past the end of the file");
            const uint64_t used = count < (1u << bits) ? count : (1u << bits);
            out.palette.clear();
            for (uint64_t i = 0; i < used; ++i) {
                const unsigned char* e = b.At(start + 4 * i, 4);  // B, G, R, reserved
                out.palette += {static_cast<char>(e[2]), static_cast<char>(e[1]), static_cast<char>(e[0])};
            }
        }
        Channel red(0), green(0), blue(0);
        if (bits == 16 || bits == 32) {
            const bool masks = compression == 3;
            red = Channel(masks ? b.U32(54) : bits == 16 ? 0x7C00 : 0xFF0000);
            green = Channel(masks ? b.U32(58) : bits == 16 ? 0x03E0 : 0x00FF00);
            blue = Channel(masks ? b.U32(62) : bits == 16 ? 0x001F : 0x0000FF);
        }

        out.data.assign(static_cast<size_t>(rowOut * height), '\0');
        char* o = out.data.data();
        for (uint64_t r = 0; r < height; ++r) {
            const unsigned char* row = b.At(dataOffset + stride * (topDown ? r : height - 1 - r), stride);
            if (indexed) {
                std::copy(row, row + rowOut, o);
                o += rowOut;
                continue;
            }
            for (uint64_t x = 0; x < static_cast<uint64_t>(width); ++x) {
                if (bits == 24) {
                    const unsigned char* p = row + 3 * x;
                    *o++ = static_cast<char>(p[2]), *o++ = static_cast<char>(p[1]), *o++ = static_cast<char>(p[0]);
                    continue;
                }
                const unsigned char* p = row + x * bits / 8;
                const uint32_t pixel = bits == 16
                    ? static_cast<uint32_t>(p[0] | p[1] << 8)
                    : static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
                *o++ = red.Of(pixel), *o++ = green.Of(pixel), *o++ = blue.Of(pixel);
            }
        }
        return {};
    } catch (const Refused& refused) {
        return refused.error;
    }
}

}  // namespace quill
