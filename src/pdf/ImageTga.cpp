// Targa pictures: 24-bit true colour, uncompressed (type 2) or run-length
// compressed (type 10); pixels stored blue, green, red become RGB triples.
#include <algorithm>

#include "pdf/Images.h"

namespace quill {

using namespace image;

Error ReadTga(std::string_view file, DecodedImage& out) {
    try {
        const Bytes b(file, "TGA");
        const uint32_t idLength = b.U8(0), mapType = b.U8(1), type = b.U8(2);
        const uint64_t mapLength = b.U16(5), mapEntryBits = b.U8(7);
        out.width = b.U16(12);
        out.height = b.U16(14);
        const uint32_t depth = b.U8(16), descriptor = b.U8(17);
        if ((type != 2 && type != 10) || depth != 24 || mapType > 1)
            Refuse("TGA", "only 24-bit true-colour pictures are supported");
        const uint64_t row = CheckedRowBytes("TGA", out.width, out.height, 24);
        const uint64_t total = static_cast<uint64_t>(out.width) * out.height;
        uint64_t pos = 18 + idLength + (mapType == 1 ? mapLength * ((mapEntryBits + 7) / 8) : 0);

        std::string stored(static_cast<size_t>(total * 3), '\0');  // B, G, R, rows as in the file
        if (type == 2) {
            stored.assign(b.View(pos, total * 3));
        } else {
            for (uint64_t filled = 0; filled < total;) {
                const uint32_t header = b.U8(pos++);
                // Packets may run over row ends; the last one is clipped at the picture's end.
                const uint64_t count = std::min<uint64_t>((header & 0x7F) + 1, total - filled);
                if (header & 0x80) {
                    const std::string_view pixel = b.View(pos, 3);
                    pos += 3;
                    for (uint64_t i = 0; i < count; ++i)
                        stored.replace(static_cast<size_t>((filled + i) * 3), 3, pixel);
                } else {
                    stored.replace(static_cast<size_t>(filled * 3), static_cast<size_t>(count * 3),
                                   b.View(pos, count * 3));
                    pos += ((header & 0x7F) + 1) * 3ull;
                }
                filled += count;
            }
        }
        const bool topDown = descriptor & 0x20;
        out.data.assign(stored.size(), '\0');
        for (uint64_t r = 0; r < out.height; ++r) {
            const uint64_t from = (topDown ? r : out.height - 1 - r) * row;
            for (uint64_t i = 0; i < row; i += 3) {
                out.data[static_cast<size_t>(r * row + i)] = stored[static_cast<size_t>(from + i + 2)];
                out.data[static_cast<size_t>(r * row + i + 1)] = stored[static_cast<size_t>(from + i + 1)];
                out.data[static_cast<size_t>(r * row + i + 2)] = stored[static_cast<size_t>(from + i)];
            }
        }
        out.color = ImageColor::Rgb;
        out.bits = 8;
        return {};
    } catch (const Refused& refused) {
        return refused.error;
    }
}

}  // namespace quill
