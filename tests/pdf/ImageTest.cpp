// Pictures: each test file drawn and rendered by poppler, sampled per
// quadrant; one object per file and transparency; hostile files refused.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>

#include "pdf/PdfTestSupport.h"

using namespace pdftest;

namespace {

const std::string kImages = KV_SOURCE_DIR "/tests/pdf/images/";
using Rgb = std::array<int, 3>;
constexpr Rgb R{255, 0, 0}, L{0, 255, 0}, B{0, 0, 255}, Y{255, 255, 0}, F{255, 0, 255}, K{0, 0, 0};

// A 3 x 2 run-length Targa: one packet of 128 red pixels, clipped at the picture's end.
const std::string kRunTga = std::string("\0\0\x0A\0\0\0\0\0\0\0\0\0\x03\0\x02\0\x18\x20\xFF\0\0\xFF", 22);
// 2x2, top-down: a raw packet (blue, lime), then a run packet of two yellows.
const std::string kRawTga = std::string("\0\0\x0A\0\0\0\0\0\0\0\0\0\x02\0\x02\0\x18\x20\x01\xFF\0\0\0\xFF\0\x81\0\xFF\xFF", 29);

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

// Each picture at (10, 10), 160 x 160 points over a fuchsia square, through the document's filters;
// the centre of each quadrant sampled.
TEST(ImageTest, RenderedColours) {
    struct Case {
        std::string file;
        int16_t transparency;
        std::string color, mask;
        int tolerance;
        std::array<Rgb, 4> quadrants;
    };
    const Rgb g1{54, 54, 54}, g2{182, 182, 182}, g3{18, 18, 18}, g4{237, 237, 237};
    const Rgb c1{236, 27, 36}, c2{0, 166, 80}, c3{46, 49, 145}, c4{255, 242, 0};  // poppler's CMYK to RGB
    const std::string jpg = ReadFile(kImages + "rgb.jpg"), gif = ReadFile(kImages + "plain.gif");
    // The CMYK picture with its Adobe segment under another marker: its inks are read as they stand
    // (not inverted), which poppler shows near black.
    std::string app13 = ReadFile(kImages + "cmyk.jpg");
    app13[3] = '\xED';
    // LZW data ending in a code past the table (clear, 0, 7): the first pixel red, the others black
    const std::string early = gif.substr(0, gif.find(',') + 11) + "\x02\xC4\x01" + std::string("\0;", 2);
    const Case cases[] = {
        {Saved("rgb.JPEG", jpg), 0, "", "", 24, {R, L, B, Y}},
        {"progressive.jpg", 0, "", "", 24, {R, L, B, Y}},
        {"cmyk.jpg", 0, "", "", 24, {c1, c2, c3, c4}},
        {Saved("app13.jpg", app13), 0, "", "", 24, {Rgb{10, 6, 12}, Rgb{19, 3, 0}, Rgb{3, 18, 14}, Rgb{31, 0, 0}}},
        {"gray.jpg", 0, "", "", 24, {g1, g2, g3, g4}},
        {Saved("rgb.Jpe", jpg), 0, "", "", 24, {R, L, B, Y}},
        {"bits1.bmp", 0, "", "", 0, {R, B, B, R}},
        {"bits4.bmp", 0, "", "", 0, {R, L, B, Y}},
        {"bits8.bmp", 0, "", "", 0, {R, L, B, Y}},
        {"bits16.bmp", 0, "", "", 0, {R, L, B, Y}},
        {"bits24.bmp", 0, "Blue", "", 0, {R, L, B, Y}},
        {"bits32.bmp", 0, "", "", 0, {R, L, B, Y}},
        {"topdown.bmp", 0, "", "", 0, {R, L, B, Y}},
        {"plain.gif", 0, "", "", 0, {R, L, B, Y}},
        {"interlaced.gif", 0, "", "", 0, {R, L, B, Y}},
        {Saved("early.gif", early), 0, "", "", 0, {K, K, K, K}},
        {"transparent.gif", 0, "", "[3 3]", 0, {R, F, B, Y}},
        {"plain.tga", 0, "", "", 0, {R, L, B, Y}},
        {"rle.tga", 0, "", "", 0, {R, L, B, Y}},
        {Saved("run.tga", kRunTga), 0, "", "", 0, {R, R, R, R}},
        {Saved("raw.tga", kRawTga), 0, "", "", 0, {B, L, Y, Y}},
        // colour-key masks per colour space; none for CMYK or a colour the palette lacks
        {"bits24.bmp", 1, "Blue", "[0 0 0 0 255 255]", 0, {R, L, F, Y}},
        {"plain.tga", -1, "#FF0000", "[255 255 0 0 0 0]", 0, {F, L, B, Y}},
        {"bits4.bmp", 1, "@255;255;0", "[2 2]", 0, {R, L, B, F}},
        {"plain.gif", 1, "Lime", "[1 1]", 0, {R, F, B, Y}},
        {"bits1.bmp", 1, "Red", "[0 0]", 0, {F, B, B, F}},
        {"bits1.bmp", 1, "Lime", "", 0, {R, B, B, R}},
        {"gray.jpg", 1, "%50", "[128 128]", 24, {g1, g2, g3, g4}},
        {"gray.jpg", 1, "Red", "", 24, {g1, g2, g3, g4}},
        {"cmyk.jpg", 1, "Red", "", 24, {c1, c2, c3, c4}},
    };
    int filters = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + c.color);
        const int32_t compression = std::array{0, 2 + 8, 4, 1 + 16}[filters++ % 4];
        const std::string path = c.file.find_first_of("/\\") == std::string::npos ? kImages + c.file : c.file;
        const Doc doc = WriteDoc(
            [&](quill::QuillPdf& p) {
                p.BeginPage();
                p.SetColorFill("Fuchsia");
                p.DrawRect(10, 10, 160, 160, quill::Paint::Fill | quill::Paint::NoOutline);
                p.DrawImage(path, 10, 10, 160, 160, c.transparency, c.color);
            },
            [&](quill::QuillPdf& p) { p.SetPaperSize(quill::Paper::Custom, 180, 180), p.SetCompression(static_cast<quill::Filter>(compression), 3); });
        EXPECT_EQ(Count(doc.bytes, "/Mask "), c.mask.empty() ? 0u : 1u);
        EXPECT_EQ(c.mask.empty() || doc.bytes.find("/Mask " + c.mask) != std::string::npos, true);
        if (const size_t at = doc.bytes.find("/Indexed /DeviceRGB "); at != std::string::npos) {
            int hival = 0, lookup = 0;
            std::istringstream(doc.bytes.substr(at + 20, 20)) >> hival >> lookup;
            EXPECT_EQ(QpdfStream(doc.path, lookup).size(), 3u * (hival + 1));  // the whole lookup table
        }
        const Image page = Render(doc.path);
        ASSERT_EQ(page.width, 180);
        for (int q = 0; q < 4; ++q) {
            const size_t at = (static_cast<size_t>(50 + 80 * (q / 2)) * 180 + 50 + 80 * (q % 2)) * 3;
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(static_cast<unsigned char>(page.rgb[at + k]), c.quadrants[q][k], c.tolerance)
                    << "quadrant " << q << " component " << k;
        }
    }
}

// Placement in points, the size rules, and one object per file and transparency.
TEST(ImageTest, PlacementAndCache) {
    const std::string jpg = kImages + "rgb.jpg", tga = Saved("run.tga", kRunTga);
    const Doc doc = WriteDoc([&](quill::QuillPdf& p) {
        p.SetScale(quill::Unit::Centimetres);
        for (int page = 0; page < 3; ++page) {
            p.BeginPage();
            p.DrawImage(jpg, 1, 2);
        }
        p.DrawImage(jpg, 1, 2, 0, 0, 1, "Red");
        p.DrawImage(tga, 0, 0, 0, 2);
        p.DrawImage(tga, 1, 0.5, 3, 0);
        EXPECT_NEAR(p.GetX() * 10 + p.GetY(), 10.5, 1e-5);
        p.LinkTo("page:1");
    });
    EXPECT_EQ(RawContent(doc.bytes, 3),
              "1 0 0 -1 0 842 cm \r0 0 0 rg\r0 0 0 RG\r"
              "q 16 0 0 -16 28.346 72.693 cm /_IMG_1 Do Q\r"
              "q 16 0 0 -16 28.346 72.693 cm /_IMG_2 Do Q\r"
              "q 85.039 0 0 -56.693 0 56.693 cm /_IMG_3 Do Q\r"
              "q 85.039 0 0 -56.693 28.346 70.866 cm /_IMG_3 Do Q\r");
    EXPECT_NE(doc.bytes.find("/Rect [28.346 771.134 113.386 827.827]"), std::string::npos);
    EXPECT_EQ(Count(RawContent(doc.bytes, 1) + RawContent(doc.bytes, 2), "/_IMG_1 Do"), 2u);
    EXPECT_EQ(Count(doc.bytes, "/Subtype /Image"), 3u);
    EXPECT_EQ(Count(doc.bytes, "/ProcSet [/PDF /Text /ImageB /ImageC /ImageI ]"), 2u);
}

// Refused files: the error recorded, nothing drawn, no object written, and the next picture is /_IMG_1.
TEST(ImageTest, HostileFiles) {
    const std::string jpg = ReadFile(kImages + "rgb.jpg"), bmp = ReadFile(kImages + "bits8.bmp"),
                      gif = ReadFile(kImages + "plain.gif"), tga = ReadFile(kImages + "rle.tga");
    auto patched = [](std::string b, size_t at, const std::string& with) { return b.replace(at, with.size(), with); };
    const std::string prog = ReadFile(kImages + "progressive.jpg"), eoi = "\xFF\xD9";
    const size_t sof = jpg.find("\xFF\xC0"), dht = jpg.find("\xFF\xC4"), sos = jpg.find("\xFF\xDA"),
                 gifData = gif.find(',') + 10;
    struct Case {
        std::string name, bytes;
        int32_t error;
    };
    const Case cases[] = {
        {"a.jpg", jpg.substr(0, 2), 321},
        {"b.jpg", jpg.substr(0, 100), 321},
        {"c.jpg", jpg.substr(0, jpg.size() - 4), 321},
        {"d.jpg", patched(jpg, 4, "\xFF\xF0"), 321},
        {"e.jpg", patched(jpg, sof, "\xFF\xC9"), 321},
        {"f.JPEG", patched(jpg, sof + 5, std::string("\0\0", 2)), 321},
        {"g.jpg", "not a picture", 321},
        // damaged Huffman tables: codes that do not fit their lengths, a value out of range, a table not defined
        {"h.jpg", patched(jpg, dht + 5, "\x03"), 321},
        {"i.jpg", patched(jpg, dht + 21, "\x0C"), 321},
        {"j.jpg", patched(jpg, sos + 6, "\x33"), 321},
        // cut in the scan header, in its data, before its last byte; progressive pictures cut inside a scan
        {"k.jpg", jpg.substr(0, sos + 6) + eoi, 321},
        {"l.jpg", jpg.substr(0, sos + 20) + eoi, 321},
        {"m.jpg", jpg.substr(0, jpg.size() - 3) + eoi, 321},
        {"n.jpg", prog.substr(0, 245) + eoi, 321},
        {"o.jpg", prog.substr(0, prog.size() - 4) + eoi, 321},
        {"p.jpg", patched(jpg, sos + 14, std::string("\xFF\xD0", 2)), 321},  // a marker inside the data
        {"a.bmp", bmp.substr(0, 30), 321},
        {"b.bmp", bmp.substr(0, 200), 321},
        {"c.bmp", bmp.substr(0, 1300), 321},
        {"d.bmp", patched(bmp, 46, std::string("\0\0\0\x10", 4)), 321},
        {"e.bmp", "BN" + bmp.substr(2), 321},
        {"f.bmp", patched(bmp, 18, std::string("\x60\xEA\0\0\x60\xEA\0\0", 8)), 7},
        {"g.bmp", patched(bmp, 28, std::string("\x02\0", 2)), 321},
        {"h.bmp", patched(bmp, 14, std::string("\x0C\0", 2)), 321},
        {"a.gif", gif.substr(0, 20), 321},
        {"b.gif", gif.substr(0, 60), 321},
        {"c.gif", gif.substr(0, 85), 321},
        {"d.gif", patched(gif, gifData - 5, "\xFF\xFF\xFF\xFF"), 7},
        {"e.gif", gif.substr(0, gifData + 1) + std::string(5000, '\xFF'), 321},  // LZW data that never ends
        {"f.gif", patched(gif, 10, std::string("\0", 1)), 321},
        {"g.gif", patched(gif, gifData - 5, "\xFF\x0F\xFF\x0F"), 321},  // 4095 x 4095 pixels from a few bytes
        {"a.tga", tga.substr(0, 10), 321},
        {"b.tga", tga.substr(0, 100), 321},
        {"c.tga", ReadFile(kImages + "plain.tga").substr(0, 500), 321},
        {"d.tga", patched(tga, 12, "\xFF\xFF\xFF\xFF"), 7},
        {"e.tga", patched(tga, 16, "\x20"), 321},
        {"a.png", jpg, 321},
        {"", "", 53},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.name.empty() ? TempPath("missing.jpg") : Saved(c.name, c.bytes);
        const std::string pdfPath = TempPath("hostile.pdf");
        quill::QuillPdf pdf;
        pdf.BeginDoc(pdfPath);
        pdf.BeginPage();
        pdf.DrawImage(path, 10, 10, 100, 100);
        EXPECT_EQ(pdf.ErrNumber(), c.error);
        EXPECT_EQ(pdf.ErrSource(), "QuillPdf.DrawImage");
        pdf.DrawImage(kImages + "plain.gif", 10, 10);
        pdf.EndDoc();
        const std::string bytes = ReadFile(pdfPath);
        EXPECT_EQ(Count(bytes, "/Subtype /Image"), 1u);
        EXPECT_EQ(Count(RawContent(bytes), " Do Q"), 1u);
        EXPECT_NE(RawContent(bytes).find("/_IMG_1 Do Q"), std::string::npos);
        EXPECT_TRUE(QpdfClean(pdfPath));
    }
}
