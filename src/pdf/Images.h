// Reading of raster pictures for DrawImage: JPEG (kept compressed, only its
// frame header read), BMP, GIF and TGA (decoded to rows of palette indexes
// or RGB triples). Every offset and count read from a file is checked against
// the file's size before use, so a damaged or hostile file ends in an error,
// never in a read outside it or an allocation it merely asks for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "pdf/Error.h"

namespace quill {

enum class ImageColor { Gray, Rgb, Cmyk, Indexed };

struct DecodedImage {
    uint32_t width = 0, height = 0;
    ImageColor color = ImageColor::Rgb;
    int bits = 8;  // per component; per index for Indexed
    std::string palette;  // Indexed: R, G, B per entry, as many entries as the file has
    std::string data;  // rows top to bottom, byte-packed; or the JPEG stream from its SOI
    bool dct = false;  // data is a JPEG stream
    bool inverted = false;  // Adobe CMYK, stored inverted: /Decode [1 0 1 0 1 0 1 0]
    int transparentIndex = -1;  // GIF: the index the file itself marks transparent
};

Error ReadJpeg(std::string_view file, DecodedImage& out);
Error ReadBmp(std::string_view file, DecodedImage& out);
Error ReadGif(std::string_view file, DecodedImage& out);
Error ReadTga(std::string_view file, DecodedImage& out);

namespace image {

// Larger decoded pictures are refused before anything is allocated for them.
constexpr uint64_t kMaxDecodedBytes = 256ull << 20;

// Thrown inside the loaders only; each Read* function turns it into its result.
struct Refused {
    Error error;
};

[[noreturn]] inline void Refuse(const char* format, const std::string& why) {
    throw Refused{{321, std::string("invalid file format: ") + format + " file, " + why}};
}

// Refuses a picture whose decoded rows would need more than kMaxDecodedBytes;
// returns the bytes of one row. Width and height are at most 2^32 - 1.
inline uint64_t CheckedRowBytes(const char* format, uint64_t width, uint64_t height, uint64_t bitsPerPixel) {
    const uint64_t row = (width * bitsPerPixel + 7) / 8;
    if (width == 0 || height == 0) Refuse(format, "the picture has no pixels");
    if (row > kMaxDecodedBytes || row * height > kMaxDecodedBytes)
        throw Refused{{7, std::string("Out of memory: ") + format + " picture larger than 256 MiB once decoded"}};
    return row;
}

// Bounds-checked little- and big-endian reads of a whole file.
class Bytes {
public:
    Bytes(std::string_view file, const char* format) : file_(file), format_(format) {}
    uint64_t Size() const { return file_.size(); }
    bool Has(uint64_t at, uint64_t n) const { return at <= file_.size() && n <= file_.size() - at; }
    const unsigned char* At(uint64_t at, uint64_t n) const {
        if (!Has(at, n)) Refuse(format_, "it ends too early (truncated or damaged)");
        return reinterpret_cast<const unsigned char*>(file_.data()) + at;
    }
    uint32_t U8(uint64_t at) const { return *At(at, 1); }
    uint32_t U16(uint64_t at) const {
        const unsigned char* p = At(at, 2);
        return static_cast<uint32_t>(p[0] | p[1] << 8);
    }
    uint32_t U32(uint64_t at) const { return U16(at) | U16(at + 2) << 16; }
    uint32_t U16Big(uint64_t at) const {
        const unsigned char* p = At(at, 2);
        return static_cast<uint32_t>(p[0] << 8 | p[1]);
    }
    std::string_view View(uint64_t at, uint64_t n) const {
        return {reinterpret_cast<const char*>(At(at, n)), static_cast<size_t>(n)};
    }
    const char* Format() const { return format_; }

private:
    std::string_view file_;
    const char* format_;
};

}  // namespace image

}  // namespace quill
