// JPEG pictures: the file is embedded as it is (/DCTDecode), so only its
// marker segments are walked, to learn the size and colour space and to make
// sure that viewers will be able to decode what is embedded.
#include <cstring>

#include "pdf/Images.h"

namespace quill {

using namespace image;

namespace {

bool IsRefusedFrame(uint32_t m) {
    // lossless, hierarchical and arithmetic-coded frames, which common readers do not decode
    return m == 0xC3 || (m >= 0xC5 && m <= 0xC7) || (m >= 0xC9 && m <= 0xCB) || (m >= 0xCD && m <= 0xCF);
}

}  // namespace

Error ReadJpeg(std::string_view file, DecodedImage& out) {
    try {
        const Bytes b(file, "JPEG");
        const size_t soi = file.find("\xFF\xD8");
        if (soi == std::string_view::npos) Refuse("JPEG", "no start-of-image marker");
        uint64_t pos = soi + 2;
        bool frame = false, adobe = false;
        uint32_t components = 0;
        for (;;) {
            if (b.U8(pos) != 0xFF) Refuse("JPEG", "no marker where one is expected");
            while (b.U8(pos) == 0xFF) ++pos;  // fill bytes
            const uint32_t marker = b.U8(pos++);
            if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;  // no length
            if (marker == 0x00 || marker == 0xD8 || marker == 0xD9) Refuse("JPEG", "the picture data is missing");
            const uint64_t length = b.U16Big(pos);
            if (length < 2 || !b.Has(pos, length)) Refuse("JPEG", "a segment reaches past the end of the file");
            const uint64_t body = pos + 2;
            if ((marker == 0xC0 || marker == 0xC1 || marker == 0xC2) && !frame) {
                if (length < 8) Refuse("JPEG", "the frame header is too short");
                if (b.U8(body) != 8) Refuse("JPEG", "only 8-bit samples can be embedded");
                out.height = b.U16Big(body + 1);
                out.width = b.U16Big(body + 3);
                components = b.U8(body + 5);
                if (out.width == 0 || out.height == 0) Refuse("JPEG", "the picture has no pixels");
                if (components != 1 && components != 3 && components != 4)
                    Refuse("JPEG", "only grey, RGB and CMYK pictures can be embedded");
                frame = true;
            } else if (IsRefusedFrame(marker)) {
                Refuse("JPEG", "lossless, hierarchical and arithmetic-coded pictures are not supported");
            } else if (marker == 0xEE && length >= 7 && b.View(body, 5) == "Adobe") {
                adobe = true;
            } else if (marker == 0xDA) {
                if (!frame) Refuse("JPEG", "picture data before the frame header");
                pos += length;
                break;
            }
            pos += length;
        }
        // Entropy-coded data never holds FF D9, so a file cut short lacks its end marker.
        const size_t eoi = file.rfind("\xFF\xD9");
        if (eoi == std::string_view::npos || eoi < pos) Refuse("JPEG", "it ends too early (no end-of-image marker)");
        CheckedRowBytes("JPEG", out.width, out.height, 8ull * components);
        out.color = components == 1 ? ImageColor::Gray : components == 3 ? ImageColor::Rgb : ImageColor::Cmyk;
        out.bits = 8;
        out.inverted = components == 4 && adobe;
        out.dct = true;
        out.data.assign(file.substr(soi));
        return {};
    } catch (const Refused& refused) {
        return refused.error;
    }
}

}  // namespace quill
