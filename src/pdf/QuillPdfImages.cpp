// Pictures of QuillPdf: DrawImage places raster pictures as image objects,
// written once per file and transparency and named from every page that
// shows them, and hands EPS, AI and WMF drawings to the vector translators.
// A file is read and decoded completely before anything is written, so a
// refused file leaves no object, resource entry or content line behind.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "pdf/Images.h"
#include "pdf/InputFile.h"
#include "pdf/PdfFormat.h"
#include "pdf/QuillPdfImpl.h"

namespace quill {

namespace {

Error ReadImageFile(const std::string& fileName, std::string& bytes) {
    return ReadInputFile(fileName, {7, "Out of memory: picture file larger than 256 MiB"}, bytes);
}

// The colour-key mask: two equal numbers per component of the picture's
// colour space; "" when the colour cannot be expressed in it.
std::string MaskRanges(const DecodedImage& image, const std::string& hexColor) {
    std::string ranges;
    auto pair = [&ranges](int64_t v) {
        if (!ranges.empty()) ranges += ' ';
        AppendInteger(ranges, v);
        ranges += ' ';
        AppendInteger(ranges, v);
    };
    if (hexColor.empty()) {
        if (image.transparentIndex >= 0) pair(image.transparentIndex);
        return ranges;
    }
    const int rgb[3] = {std::stoi(hexColor.substr(1, 2), nullptr, 16), std::stoi(hexColor.substr(3, 2), nullptr, 16),
                        std::stoi(hexColor.substr(5, 2), nullptr, 16)};
    switch (image.color) {
    case ImageColor::Rgb:
        for (int c : rgb) pair(c);
        break;
    case ImageColor::Gray:
        if (rgb[0] == rgb[1] && rgb[1] == rgb[2]) pair(rgb[0]);
        break;
    case ImageColor::Indexed:
        for (size_t i = 0; i + 3 <= image.palette.size(); i += 3) {
            const auto* p = reinterpret_cast<const unsigned char*>(image.palette.data() + i);
            if (p[0] == rgb[0] && p[1] == rgb[1] && p[2] == rgb[2]) {
                pair(static_cast<int64_t>(i / 3));
                break;
            }
        }
        break;
    case ImageColor::Cmyk: break;
    }
    return ranges;
}

}  // namespace

uint32_t QuillPdf::Impl::WriteImageObject(DecodedImage& image, int32_t index, const std::string& mask) {
    uint32_t number = 0;
    StartIndirectObject(number);
    std::string text = "<< /Type /XObject /Subtype /Image /Name /_IMG_";
    AppendInteger(text, index);
    text += " /Width ";
    AppendInteger(text, image.width);
    text += " /Height ";
    AppendInteger(text, image.height);
    if (!mask.empty()) text += " /Mask [" + mask + "]";
    const int32_t hival = (1 << image.bits) - 1;
    if (image.color == ImageColor::Indexed) {
        text += " /BitsPerComponent ";
        AppendInteger(text, image.bits);
        text += " /ColorSpace [/Indexed /DeviceRGB ";
        AppendInteger(text, hival);
        text += ' ';
        AppendInteger(text, number + 1);
        text += " 0 R]";
    } else {
        static constexpr const char* kSpaces[] = {"DeviceGray", "DeviceRGB", "DeviceCMYK"};
        text += " /BitsPerComponent 8 /ColorSpace /";
        text += kSpaces[static_cast<int>(image.color)];
        if (image.inverted) text += " /Decode [1 0 1 0 1 0 1 0]";
    }
    WriteLine(text);
    WriteStream(image.data, number, image.dct ? "/DCTDecode " : "");
    EndIndirectObject();
    if (image.color == ImageColor::Indexed) {
        // The lookup must hold all hival + 1 entries: missing ones are black.
        image.palette.resize(3 * static_cast<size_t>(hival + 1), '\0');
        uint32_t palette = number + 1;
        StartIndirectObject(palette);
        WriteLine("<<");
        WriteStream(image.palette, palette);
        EndIndirectObject();
    }
    return number;
}

void QuillPdf::Impl::DrawImage(const std::string& fileName, float x, float y, float width, float height,
                               int16_t transparency, const std::string& transparentColor) {
    if (!pageOpen_ || !file_.IsOpen()) return;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(width) || !std::isfinite(height)) return;
    std::string extension = std::filesystem::path(fileName).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); });
    if (extension == ".EPS" || extension == ".AI" || extension == ".WMF")
        return DrawVectorFile(fileName, x, y, width, height, extension == ".WMF");
    Error (*reader)(std::string_view, DecodedImage&) = nullptr;
    if (extension == ".JPG" || extension == ".JPEG" || extension == ".JPE")
        reader = ReadJpeg;
    else if (extension == ".BMP")
        reader = ReadBmp;
    else if (extension == ".GIF")
        reader = ReadGif;
    else if (extension == ".TGA")
        reader = ReadTga;
    else
        return RecordError("DrawImage", {321, "invalid file format"}, fileName);

    // Without transparency the colour plays no part: it must not split the cache.
    std::string key = fileName;
    key += '\0';
    AppendInteger(key, transparency);
    if (transparency != 0) key += '\0' + transparentColor;
    auto entry = std::find_if(images_.begin(), images_.end(), [&key](const ImageEntry& e) { return e.key == key; });
    if (entry == images_.end()) {
        DecodedImage image;
        std::string bytes;
        Error error = ReadImageFile(fileName, bytes);
        if (error.number == 0) error = reader(bytes, image);
        if (error) return RecordError("DrawImage", error, fileName);
        bytes = std::string();

        // The colour is read as the text colour is, which writes no content line.
        std::string hexColor;
        if (transparency != 0 && !transparentColor.empty()) {
            const GraphicsState saved = graphics_;
            graphics_.textColor.clear();
            SetColorText(transparentColor);
            if (graphics_.textColor.size() == 7 && graphics_.textColor[0] == '#') hexColor = graphics_.textColor;
            graphics_ = saved;
        }
        const int32_t index = static_cast<int32_t>(images_.size()) + 1;
        const uint32_t number = WriteImageObject(image, index, MaskRanges(image, hexColor));
        xobjectResources_ += "/_IMG_";
        AppendInteger(xobjectResources_, index);
        xobjectResources_ += ' ';
        AppendInteger(xobjectResources_, number);
        xobjectResources_ += " 0 R ";
        images_.push_back({key, static_cast<int32_t>(image.width), static_cast<int32_t>(image.height), index});
        entry = images_.end() - 1;
    }

    const float pixelWidth = static_cast<float>(entry->width), pixelHeight = static_cast<float>(entry->height);
    if (width == 0 && height == 0) {
        width = pixelWidth / scale_;
        height = pixelHeight / scale_;
    } else if (width == 0) {
        width = height * pixelWidth / pixelHeight;
    } else if (height == 0) {
        height = width * pixelHeight / pixelWidth;
    }
    // The unit square, upright in the flipped page space, onto the target rectangle.
    std::string line = "q ";
    AppendScaled(line, width);
    line += " 0 0 ";
    AppendScaled(line, -height);
    line += ' ';
    AppendScaled(line, x);
    line += ' ';
    AppendScaled(line, y + height);
    line += " cm /_IMG_";
    AppendInteger(line, entry->index);
    line += " Do Q";
    AppendContentLine(line);
    SetXY(x, y);
    NoteDrawnArea(x * scale_, y * scale_, (x + width) * scale_, (y + height) * scale_);
}

}  // namespace quill
