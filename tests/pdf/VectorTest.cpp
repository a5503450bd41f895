// EPS, AI and WMF drawings placed by DrawImage: the page content written in
// full, the link area, what poppler renders, and damaged files that record
// an error and keep only what is valid (every document passes qpdf).
#include <gtest/gtest.h>

#include <array>
#include <fstream>

#include "pdf/PdfTestSupport.h"

namespace quill {
namespace {

using namespace pdftest;

struct Drawn {
    std::string path, content, rect;
    int32_t err = 0;
};

// Writes bytes (none: no file) as the file name, draws it on page 1 and puts
// a link on it; content is the page's after the frame, rect the link's.
Drawn Draw(const std::string& name, const std::string& bytes, int scaleMode, std::array<float, 4> at) {
    const std::string file = bytes.empty() ? TempPath(name) : Saved(name, bytes);
    Drawn d;
    d.path = TempPath("doc.pdf");
    QuillPdf p;
    p.SetFixedCreationDate(kDate), p.SetScale(static_cast<Unit>(scaleMode)), p.BeginDoc(d.path), p.BeginPage();
    p.DrawImage(file, at[0], at[1], at[2], at[3]);
    d.err = p.ErrNumber();
    EXPECT_EQ(p.ErrSource(), d.err ? "QuillPdf.DrawImage" : "");
    p.LinkTo("http://x"), p.EndDoc();
    const std::string pdf = ReadFile(d.path), frame = "1 0 0 -1 0 842 cm \r0 0 0 rg\r0 0 0 RG\r";
    EXPECT_TRUE(QpdfClean(d.path));
    EXPECT_EQ(CheckXref(pdf), "");
    d.content = RawContent(pdf).substr(RawContent(pdf).rfind(frame, 0) == 0 ? frame.size() : 0);
    const size_t rect = pdf.find("/Rect [");
    if (rect != std::string::npos) d.rect = pdf.substr(rect + 7, pdf.find(']', rect) - rect - 7);
    return d;
}

struct Case {
    const char* name;
    std::string bytes;
    int scaleMode;
    std::array<float, 4> at;
    int32_t err;
    std::string content, rect;
};

void Check(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Drawn d = Draw(c.name, c.bytes, c.scaleMode, c.at);
        EXPECT_EQ(d.err, c.err);
        EXPECT_EQ(d.content, c.content);
        EXPECT_EQ(d.rect, c.rect);
    }
}

std::string Le(uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += static_cast<char>(i < 4 ? v >> 8 * i & 0xFF : 0);  // zeros past the value
    return s;
}

// A metafile record by record: the placeable header when box[4] (units per
// inch) is set, the standard header, then words of 16 bits.
struct Wmf {
    std::string bytes;
    explicit Wmf(std::array<int, 5> box = {}) {
        if (box[4] != 0) {
            bytes = Le(0x9AC6CDD7, 4) + Le(0, 2);
            for (int v : box) bytes += Le(static_cast<uint32_t>(v), 2);
            bytes += Le(0, 6);
        }
        bytes += Le(1, 2) + Le(9, 2) + Le(0x300, 2) + Le(0, 12);
    }
    Wmf& R(uint16_t function, std::vector<int> words) {
        bytes += Le(static_cast<uint32_t>(3 + words.size()), 4) + Le(function, 2);
        for (int w : words) bytes += Le(static_cast<uint32_t>(w), 2);
        return *this;
    }
    std::string End() { return R(0, {}).bytes; }
};

TEST(Vector, EpsAndAiFiles) {
    // 200 × 100 box, 10 cm wide: 5 cm high, 1.417 points per box unit at X 1 cm, Y 2 cm. Copied: operands
    // that are plain numbers, as many as the operator takes.
    const std::string example =
        "%!PS-Adobe-3.0 EPSF-3.0\n7 7 m\n%%EndProlog\n/m {moveto} def\n(label) show\n10 20 m\n30 40 L\n1 0 0 Xa\n"
        "1 0 Xa\n0.25 0.5 1 0 0 1 XA\n1 XR\nf\nF\ns\n0 0 m\r\n-1.5 .5 l \t\nS\n1 2 3 4 5 6 c\nb\n1 2 3 4 5 c\n1e5 2 m\n"
        "2#10 3 m\n1.2.3 4 m\n[3 2] 0 d\n[3 x] 0 d\n[3] 0 1 d\n5 10 mm\n1 2 3 rg\n  %x\nN\nB\n1 2 3 4 v\n1 2 3 4 y\n"
        "0 0 0 1 k\n1 0 0 1 K\n0.5 g\n0.5 G\n2 w\n1 J\n1 j\n4 M\n1 2 3 4 5 6 C\n1 2 3 4 V\n1 2 3 4 Y\n1 2 3 4 5 6 v\n"
        "showpage\n1 1 m\n%%Trailer\n%%BoundingBox: 0 0 200 100\r\n";
    const std::string ps =
        "%!PS-Adobe-3.0 EPSF-3.0\r\n9 9 m\r\n%%EndSetup\r\n0 0 m\r\n100 50 l\r\nS\r\n%%PageTrailer\r\n"
        "5 5 m\r\n%%BoundingBox: 0 0 100 50\r\n";
    const std::string dos = "\xC5\xD0\xD3\xC6" + Le(30, 4) + Le(static_cast<uint32_t>(ps.size()), 4) + std::string(18, '\0');
    Check({
        {"example.ai", example, 3, {1, 2, 10, 0}, 0,
         "q\r1.417 0 0 1.417 28.346 56.693 cm\r1 0 0 -1 0 100 cm\r10 20 m\r30 40 l\r1 0 0 rg\r0 0 1 RG\rf*\r0 0 m\r"
         "-1.5 .5 l\rS\r1 2 3 4 5 6 c\rb*\r[3 2] 0 d\rn\rB*\r1 2 3 4 v\r1 2 3 4 y\r0 0 0 1 k\r1 0 0 1 K\r0.5 g\r0.5 G\r"
         "2 w\r1 J\r1 j\r4 M\r1 2 3 4 5 6 c\r1 2 3 4 v\r1 2 3 4 y\rQ\r",
         "28.346 643.575 311.811 785.307"},
        // Natural size: 20/72 points per box unit; the box comes from the trailer.
        {"atend.eps", "%!PS\r%%BoundingBox: (atend)\r1 2 m\r3 4 l\rS\rshowpage\r%%Trailer\r%%BoundingBox: 10 20 110 70\r", 0, {10, 20, 0, 0}, 0, "q\r0.278 0 0 0.278 10 20 cm\r1 0 0 -1 -10 70 cm\r1 2 m\r3 4 l\rS\rQ\r", "10 808.111 37.778 822"},
        {"dos.EPS", dos + ps + "TIFF 1 1 m\n", 0, {0, 0, 0, 50}, 0, "q\r1 0 0 1 0 0 cm\r1 0 0 -1 0 50 cm\r0 0 m\r100 50 l\rS\rQ\r", "0 792 100 842"},
        {"nobox.eps", "%!PS\n%%BoundingBox: 0 0 100\n%%BoundingBox: (atend)\n0 0 m\nS\n", 0, {0, 0, 10, 10}, 321, "", ""},
        {"flat.eps", "%%BoundingBox: 5 0 5 10\n0 0 m\nS\n", 0, {0, 0, 10, 10}, 321, "", ""},
        {"outside.eps", "\xC5\xD0\xD3\xC6" + Le(30, 4) + Le(0xFFFFFFF0, 4) + std::string(18, '\0') + ps, 0, {}, 321, "", ""},
        {"missing.eps", "", 0, {}, 53, "", ""},
    });
}

TEST(Vector, WmfFiles) {
    // Window 1000 × 500 at 100, 50 (y first) on 200 × 50 points at 100, 100: 0.2 and 0.1 points per unit.
    const std::string square = Wmf({0, 0, 2000, 2000, 1000})
                                   .R(0x020C, {500, 1000})
                                   .R(0x020B, {50, 100})
                                   .R(0x02FA, {0, 10, 0, 0x00FF, 0})
                                   .R(0x02FC, {0, 0, 0xFF, 0})
                                   .R(0x012D, {0})
                                   .R(0x012D, {1})
                                   .R(0x0324, {4, 100, 50, 600, 50, 600, 550, 100, 550})
                                   .End();
    // No placeable header: one unit per point. Slots: font 0 (deleted, then the hatched brush), green
    // dashed pen 1, null brush 2, null pen 3.
    const std::string mixed = Wmf()
                                  .R(0x020C, {100, 200})
                                  .R(0x02FB, {12, 0, 0, 0, 400})
                                  .R(0x02FA, {1, 0, 0, 0x8000, 0})
                                  .R(0x02FC, {1, 0, 0, 0})
                                  .R(0x01F0, {0})
                                  .R(0x02FC, {2, 0xFF, 0, 3})
                                  .R(0x012D, {1})
                                  .R(0x012D, {2})
                                  .R(0x0325, {3, 0, 0, 10, 0, 10, 10})
                                  .R(0x0214, {5, 0})
                                  .R(0x0213, {15, 5})
                                  .R(0x041B, {60, 50, 40, 30})
                                  .R(0x012D, {0})
                                  .R(0x0106, {2})
                                  .R(0x0418, {100, 200, 0, 0})
                                  .R(0x02FA, {5, 1, 0, 0, 0})
                                  .R(0x012D, {3})
                                  .R(0x0538, {2, 3, 3, 0, 0, 10, 0, 0, 10, 20, 20, 30, 20, 20, 30})
                                  .R(0x0214, {0, 0})
                                  .R(0x0213, {5, 5})
                                  .R(0x020C, {1, 1})
                                  .R(0x0106, {1})
                                  .R(0x0324, {3, 0, 0, 4, 0, 0, 4})
                                  .End();
    // Box 200 × 100 at 144 units per inch: 100 × 50 points; black thinnest pen, white brush.
    const Wmf box({0, 0, 200, 100, 144});
    const Wmf triangle = Wmf(box).R(0x0324, {3, 0, 0, 100, 0, 0, 100});
    auto drawn = [](const std::string& s) {
        return "q\r0 w\r[ ] 0 d\r0 0 0 RG\r1 1 1 rg\r0 0 m\r" + s + " 0 l\r0 " + s + " l\rh\rB*\rQ\r";
    };
    Check({
        {"square.wmf", square, 0, {100, 100, 200, 50}, 0, "q\r1.5 w\r[ ] 0 d\r1 0 0 RG\r0 0 1 rg\r100 100 m\r200 100 l\r200 150 l\r100 150 l\rh\rB*\rQ\r", "100 692 300 742"},
        {"mixed.WMF", mixed, 0, {10, 20, 0, 0}, 0,
         "q\r0 w\r[3 1] 0 d\r0 0.502 0 RG\r10 20 m\r20 20 l\r20 30 l\rS\r10 25 m\r15 35 l\rS\r40 60 20 20 re\rS\r1 0 0 rg\r210 70 m\r"
         "210 42.386 165.228 20 110 20 c\r54.772 20 10 42.386 10 70 c\r10 97.614 54.772 120 110 120 c\r"
         "165.228 120 210 97.614 210 70 c\rh\rB\r10 20 m\r20 20 l\r10 30 l\rh\r30 40 m\r40 40 l\r30 50 l\rh\rf\r"
         "10 20 m\r14 20 l\r10 24 l\rh\rf*\rQ\r",
         "10 722 210 822"},
        {"natural.wmf", triangle.bytes, 0, {}, 0, drawn("50"), "0 792 100 842"},
        {"truncated.wmf", triangle.bytes + Le(12, 4) + Le(0x0324, 2) + Le(3, 2), 0, {0, 0, 0, 25}, 321, drawn("25"), "0 817 50 842"},
        {"huge count.wmf", Wmf(triangle).R(0x0324, {30000, 0, 0}).End(), 0, {}, 321, drawn("50"), "0 792 100 842"},
        {"polypolygon.wmf", Wmf(box).R(0x0538, {2, 65535, 65535, 0, 0}).End(), 0, {}, 321, "", ""},
        {"size 0.wmf", Wmf(box).bytes + Le(0, 4) + Le(0x0324, 2) + Le(3, 2), 0, {}, 321, "", ""},
        {"zero extent.wmf", Wmf({0, 0, 0, 100, 144}).R(0x0324, {3, 0, 0, 1, 1, 2, 2}).End(), 0, {}, 321, "", ""},
        {"no window.wmf", Wmf().End(), 0, {}, 321, "", ""},
        {"not a metafile.wmf", "GIF89a and more bytes", 0, {}, 321, "", ""},
        {"missing.wmf", "", 0, {}, 53, "", ""},
    });
    // Poppler: the blue square inside its 2-point red outline, white around it.
    const Drawn d = Draw("render.wmf", square, 0, {100, 100, 200, 100});
    const Image image = Render(d.path);
    ASSERT_TRUE(image.width == 596 && image.height == 842);
    const struct { int x, y, rgb[3]; } pixels[] = {
        {150, 150, {0, 0, 255}}, {100, 150, {255, 0, 0}}, {150, 199, {255, 0, 0}}, {95, 150, {255, 255, 255}}, {250, 150, {255, 255, 255}}, {150, 205, {255, 255, 255}}};
    for (const auto& px : pixels) {
        for (int ch = 0; ch < 3; ++ch)
            EXPECT_NEAR(static_cast<uint8_t>(image.rgb[(px.y * 596 + px.x) * 3 + ch]), px.rgb[ch], 60) << px.x << "," << px.y;
    }
}

}  // namespace
}  // namespace quill
