// Windows metafiles. Integers are little-endian; a record's size counts
// 16-bit words, its 6-byte header included. Every size and count is checked
// against the record, and every record against the file, before use.
// Logical points are mapped to page points here (no "cm"), so coordinates
// keep their precision whatever the scale; pen widths follow the mapping,
// dash lengths stay in points.
#include "pdf/WmfTranslator.h"

#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "pdf/PdfFormat.h"

namespace quill {

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;

enum Function : uint16_t {
    kEof = 0x0000,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetPolyFillMode = 0x0106,
    kSelectObject = 0x012D,
    kDeleteObject = 0x01F0,
    kCreatePen = 0x02FA,
    kCreateBrush = 0x02FC,
    kMoveTo = 0x0214,
    kLineTo = 0x0213,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kPolyPolygon = 0x0538,
    kRectangle = 0x041B,
    kEllipse = 0x0418,
};

// Records that create objects this translator does not use: they still
// take a slot of the object table, which later selections count on.
constexpr uint16_t kOtherObjects[] = {0x02FB, 0x00F7, 0x01F9, 0x0142, 0x06FF};

// Dash patterns of the pen styles, in points.
constexpr const char* kDashes[] = {"[ ] 0 d", "[3 1] 0 d", "[0.5 0.5] 0 d", "[2 1 0.5 1] 0 d", "[2 1 0.5 1 0.5 1] 0 d"};

constexpr int kPenNull = 5;
constexpr int kBrushSolid = 0, kBrushHatched = 2;
constexpr int kWinding = 2;

struct Object {
    enum Kind { kFree, kPen, kBrush, kOther } kind = kFree;
    int style = 0;
    int width = 0;  // pens: logical units
    uint32_t color = 0;
};

struct Damaged {
    std::string what;
};

uint32_t U16(std::string_view s, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}
int32_t S16(std::string_view s, size_t at) { return static_cast<int16_t>(U16(s, at)); }
uint32_t U32(std::string_view s, size_t at) { return U16(s, at) | U16(s, at + 2) << 16; }

// The parameters of one record: reads past their end are damage.
struct Params {
    std::string_view bytes;
    size_t offset;  // of the record in the file, for the message

    void Need(uint64_t count) const {
        if (count > bytes.size())
            throw Damaged{"record at byte " + std::to_string(offset) + " is shorter than its contents"};
    }
    int32_t Word(size_t i) const {
        Need(2 * i + 2);
        return S16(bytes, 2 * i);
    }
    uint32_t Color(size_t byte) const {
        Need(byte + 4);
        return U32(bytes, byte) & 0xFFFFFF;  // R, G, B, reserved
    }
};

class Translator {
public:
    Translator(const VectorTarget& target, std::string& out) : target_(target), out_(out) {}

    bool placeable = false;
    double boxWidth = 0, boxHeight = 0, pointsPerUnit = 1;  // the placeable header's box
    double ox = 0, oy = 0, ex = 0, ey = 0;  // the window
    bool mapped = false;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;

    // Handles one record; false at the end-of-file record.
    bool Record(uint16_t function, const Params& p) {
        switch (function) {
        case kEof: return false;
        case kSetWindowOrg:
            if (!mapped) oy = p.Word(0), ox = p.Word(1);
            break;
        case kSetWindowExt:
            if (!mapped) ey = p.Word(0), ex = p.Word(1);
            break;
        case kSetPolyFillMode: {
            const int32_t mode = p.Word(0);
            if (mode == 1 || mode == kWinding) winding_ = mode == kWinding;
            break;
        }
        case kCreatePen: Create({Object::kPen, p.Word(0) & 0x0F, std::abs(p.Word(1)), p.Color(6)}); break;
        case kCreateBrush: Create({Object::kBrush, p.Word(0), 0, p.Color(2)}); break;
        case kSelectObject: {
            const size_t i = static_cast<uint16_t>(p.Word(0));
            if (i < objects_.size() && objects_[i].kind == Object::kPen) pen_ = objects_[i];
            if (i < objects_.size() && objects_[i].kind == Object::kBrush) brush_ = objects_[i];
            break;
        }
        case kDeleteObject: {
            const size_t i = static_cast<uint16_t>(p.Word(0));
            if (i < objects_.size() && objects_[i].kind != Object::kFree) {
                objects_[i].kind = Object::kFree;
                free_.insert(i);
            }
            break;
        }
        case kMoveTo: curY_ = p.Word(0), curX_ = p.Word(1); break;
        case kLineTo: {
            const double y = p.Word(0), x = p.Word(1);
            std::string path;
            Point(path, curX_, curY_, " m\r");
            Point(path, x, y, " l\r");
            Paint(path, false);
            curX_ = x, curY_ = y;
            break;
        }
        case kPolygon:
        case kPolyline: {
            const int32_t count = p.Word(0);
            if (count < 0) throw Damaged{"negative point count at byte " + std::to_string(p.offset)};
            p.Need(2 + 4ull * static_cast<uint32_t>(count));
            std::string path;
            if (!Points(path, p, 2, count)) break;
            if (function == kPolygon) path += "h\r";
            Paint(path, function == kPolygon);
            break;
        }
        case kPolyPolygon: {
            const size_t polygons = static_cast<uint16_t>(p.Word(0));
            uint64_t total = 0;
            for (size_t i = 0; i < polygons; ++i) total += static_cast<uint16_t>(p.Word(1 + i));
            p.Need(2 + 2ull * polygons + 4 * total);
            std::string path;
            size_t at = 2 + 2 * polygons;
            for (size_t i = 0; i < polygons; ++i) {
                const int32_t count = static_cast<uint16_t>(p.Word(1 + i));
                if (Points(path, p, at, count)) path += "h\r";
                at += 4ull * static_cast<uint32_t>(count);
            }
            if (!path.empty()) Paint(path, true);
            break;
        }
        case kRectangle:
        case kEllipse: {
            const double bottom = p.Word(0), right = p.Word(1), top = p.Word(2), left = p.Word(3);
            std::string path;
            if (function == kRectangle)
                Rectangle(path, left, top, right, bottom);
            else
                Ellipse(path, left, top, right, bottom);
            Paint(path, true);
            break;
        }
        default:
            for (uint16_t other : kOtherObjects) {
                if (function == other) Create({Object::kOther});
            }
        }
        return true;
    }

private:
    // A new object takes the lowest free slot; selections reach 65536 slots at most.
    void Create(const Object& object) {
        if (!free_.empty()) {
            objects_[*free_.begin()] = object;
            free_.erase(free_.begin());
        } else if (objects_.size() < 65536) {
            objects_.push_back(object);
        }
    }

    // The window is fixed at the first drawing record: "q", and the scales
    // from logical units to points.
    void Map() {
        if (mapped) return;
        if (ex == 0 || ey == 0) throw Damaged{"the window has no width or no height"};
        const double natW = placeable ? boxWidth : std::fabs(ex), natH = placeable ? boxHeight : std::fabs(ey);
        double w = target_.width, h = target_.height;
        if (w == 0 && h == 0) {
            w = natW * (placeable ? pointsPerUnit : 1) / target_.scale;
            h = natH * (placeable ? pointsPerUnit : 1) / target_.scale;
        } else if (w == 0) {
            w = h * natW / natH;
        } else if (h == 0) {
            h = w * natH / natW;
        }
        x1 = static_cast<double>(target_.x * target_.scale);
        y1 = static_cast<double>(target_.y * target_.scale);
        x2 = x1 + w * target_.scale;
        y2 = y1 + h * target_.scale;
        sx_ = (x2 - x1) / ex;
        sy_ = (y2 - y1) / ey;
        if (!std::isfinite(sx_) || !std::isfinite(sy_) || sx_ == 0 || sy_ == 0 || !std::isfinite(x1) ||
            !std::isfinite(y1))
            throw Damaged{"the drawing has no size"};
        out_ += "q\r";
        mapped = true;
    }

    void Point(std::string& path, double px, double py, const char* op) {
        Map();
        AppendNumber(path, x1 + (px - ox) * sx_);
        path += ' ';
        AppendNumber(path, y1 + (py - oy) * sy_);
        path += op;
    }

    // A figure of count points starting at byte at; false when it
    // has too few points to draw.
    bool Points(std::string& path, const Params& p, size_t at, int32_t count) {
        if (count < 2) return false;
        for (int32_t i = 0; i < count; ++i, at += 4)
            Point(path, S16(p.bytes, at), S16(p.bytes, at + 2), i == 0 ? " m\r" : " l\r");
        return true;
    }

    void Rectangle(std::string& path, double left, double top, double right, double bottom) {
        Point(path, left, top, " ");
        AppendNumber(path, (right - left) * sx_);
        path += ' ';
        AppendNumber(path, (bottom - top) * sy_);
        path += " re\r";
    }

    // Four Bezier quarter arcs, as DrawEllipse draws them.
    void Ellipse(std::string& path, double left, double top, double right, double bottom) {
        const double cx = (left + right) / 2, cy = (top + bottom) / 2, rx = (right - left) / 2, ry = (bottom - top) / 2;
        const double k = (std::sqrt(2.0) - 1) * 4 / 3, kx = k * rx, ky = k * ry;
        Point(path, cx + rx, cy, " m\r");
        const double curves[4][6] = {{cx + rx, cy - ky, cx + kx, cy - ry, cx, cy - ry},
                                     {cx - kx, cy - ry, cx - rx, cy - ky, cx - rx, cy},
                                     {cx - rx, cy + ky, cx - kx, cy + ry, cx, cy + ry},
                                     {cx + kx, cy + ry, cx + rx, cy + ky, cx + rx, cy}};
        for (const auto& c : curves) {
            Point(path, c[0], c[1], " ");
            Point(path, c[2], c[3], " ");
            Point(path, c[4], c[5], " c\r");
        }
        path += "h\r";
    }

    // Writes the state the painting needs, the path and its operator; a
    // figure with neither outline nor fill writes nothing.
    void Paint(const std::string& path, bool closed) {
        const bool stroke = pen_.style != kPenNull;
        const bool fill = closed && (brush_.style == kBrushSolid || brush_.style == kBrushHatched);
        if (!stroke && !fill) return;
        if (stroke) {
            std::string width;
            AppendNumber(width, pen_.width * (std::fabs(sx_) + std::fabs(sy_)) / 2);
            Set(width_, width + " w");
            Set(dash_, kDashes[pen_.style < 5 ? pen_.style : 0]);
            Set(strokeColor_, ColorLine(pen_.color, " RG"));
        }
        if (fill) Set(fillColor_, ColorLine(brush_.color, " rg"));
        out_ += path;
        out_ += fill ? (stroke ? "B" : "f") : "S";
        if (fill && !winding_) out_ += '*';
        out_ += '\r';
    }

    void Set(std::string& written, const std::string& line) {
        if (written == line) return;
        written = line;
        out_ += line + '\r';
    }

    static std::string ColorLine(uint32_t color, const char* op) {
        std::string line;
        for (int shift : {0, 8, 16}) {
            if (shift > 0) line += ' ';
            AppendNumber(line, (color >> shift & 0xFF) / 255.0);
        }
        return line + op;
    }

    const VectorTarget& target_;
    std::string& out_;
    double sx_ = 0, sy_ = 0;  // points per logical unit
    double curX_ = 0, curY_ = 0;
    bool winding_ = false;
    std::vector<Object> objects_;
    std::set<size_t> free_;  // slots of deleted objects
    Object pen_{Object::kPen, 0, 0, 0};  // black, thinnest
    Object brush_{Object::kBrush, kBrushSolid, 0, 0xFFFFFF};  // white
    std::string width_, dash_, strokeColor_, fillColor_;  // last written
};

}  // namespace

VectorDrawing TranslateWmf(std::string_view file, const VectorTarget& target) {
    VectorDrawing result;
    Translator t(target, result.content);
    size_t header = 0;
    if (file.size() >= 22 && U32(file, 0) == kPlaceableKey) {
        t.placeable = true;
        t.ox = S16(file, 6), t.oy = S16(file, 8);
        t.ex = S16(file, 10) - t.ox, t.ey = S16(file, 12) - t.oy;
        t.boxWidth = std::fabs(t.ex), t.boxHeight = std::fabs(t.ey);
        t.pointsPerUnit = 72.0 / U16(file, 14);
        header = 22;
    }
    if (file.size() < header + 18 || (U16(file, header) != 1 && U16(file, header) != 2) || U16(file, header + 2) != 9) {
        result.error = {321, "Invalid file format: not a Windows metafile"};
        return result;
    }
    try {
        for (size_t at = header + 18; file.size() - at >= 6;) {
            const uint64_t bytes = 2ull * U32(file, at);
            if (bytes < 6 || bytes > file.size() - at)
                throw Damaged{"record at byte " + std::to_string(at) + " has a size of " + std::to_string(bytes) +
                              " bytes"};
            if (!t.Record(static_cast<uint16_t>(U16(file, at + 4)), Params{file.substr(at + 6, bytes - 6), at})) break;
            at += bytes;
        }
        if (!t.mapped && (t.ex == 0 || t.ey == 0)) throw Damaged{"the window has no width or no height"};
    } catch (const Damaged& damage) {
        result.error = {321, "Invalid file format: damaged metafile, " + damage.what};
    }
    if (t.mapped) {
        result.content += "Q\r";
        result.x1 = static_cast<float>(t.x1), result.y1 = static_cast<float>(t.y1);
        result.x2 = static_cast<float>(t.x2), result.y2 = static_cast<float>(t.y2);
    }
    return result;
}

}  // namespace quill
