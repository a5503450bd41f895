// A raster picture from outside (the first byte picks JPEG, BMP, GIF or TGA and the transparency), read
// by its reader. A picture the reader accepts must hold together (a JPEG stream from its start to its
// end marker, or rows of the size and palette it gives), and is then placed twice by DrawImage in a
// document that must keep its structure after EndDoc. Refused pictures, most inputs, and those decoded to
// more than 64 KiB cost no document.
#include "FuzzSupport.h"
#include "pdf/Images.h"
#include "quill/QuillPdf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const kFormats[] = {"jpg", "bmp", "gif", "tga"};
    static quill::Error (*const kReaders[])(std::string_view, quill::DecodedImage&) = {quill::ReadJpeg, quill::ReadBmp,
                                                                                       quill::ReadGif, quill::ReadTga};
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    quill::DecodedImage image;
    const quill::Error error = kReaders[data[0] % 4](bytes, image);
    kvfuzz::Require(error.number == 321 || error.number == 7 || error.number == 0, "reader error " + error.description);
    if (error) return 0;
    kvfuzz::Require(image.width > 0 && image.height > 0, "accepted picture without pixels");
    if (image.dct) {
        kvfuzz::Require(image.data.compare(0, 2, "\xFF\xD8") == 0 && image.data.size() >= 4 &&
                            image.data.compare(image.data.size() - 2, 2, "\xFF\xD9") == 0,
                        "JPEG stream not from its start to its end marker");
    } else {
        const uint64_t components = image.color == quill::ImageColor::Rgb ? 3 : 1;
        const uint64_t row = (uint64_t{image.width} * components * static_cast<uint64_t>(image.bits) + 7) / 8;
        kvfuzz::Require(image.data.size() == row * image.height, "decoded rows of another size");
        kvfuzz::Require(image.color != quill::ImageColor::Indexed || image.palette.size() <= (3u << image.bits),
                        "palette larger than its bits allow");
    }
    // The document's structure does not depend on the size of the picture's stream: large ones (a few
    // header bytes may ask for megabytes of black pixels) are not written out.
    if (image.data.size() > (64u << 10)) return 0;

    const auto picture = kvfuzz::Scratch() / (std::string("picture.") + kFormats[data[0] % 4]);
    const auto out = kvfuzz::Scratch() / "image.pdf";
    kvfuzz::WriteFile(picture, std::string(bytes));
    quill::QuillPdf pdf;
    pdf.SetFixedCreationDate("D:20180331120000Z");
    pdf.BeginDoc(out.string());
    pdf.BeginPage();
    pdf.DrawImage(picture.string(), 10, 10, 0, 0, data[0] & 4 ? 1 : 0, "#FFFFFF");
    pdf.DrawImage(picture.string(), 50, 60, 120, 0);
    kvfuzz::Require(pdf.ErrNumber() == 0, "accepted picture refused by DrawImage: " + pdf.ErrDescription());
    pdf.EndDoc();
    const std::string problem = kvfuzz::CheckPdf(kvfuzz::ReadFile(out));
    kvfuzz::Require(problem.empty(), "DrawImage document: " + problem);
    return 0;
}
