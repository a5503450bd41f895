// Graphics operators of QuillPdf: paths (lines, curves, rectangles,
// ellipses, polygons, arcs, polylines), line styles and dashes, colours,
// transparency and coordinate transforms. Every operation writes content
// lines ending in CR into the open page.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "pdf/PdfFormat.h"
#include "pdf/QuillPdfImpl.h"

namespace quill {

namespace {

constexpr double kDegreesToRadians = 0.0174532925199433;

struct NamedColor {
    const char* name;
    const char* value;
};

constexpr NamedColor kNamedColors[] = {
    {"BLACK", "#000000"},     {"GRAY", "#808080"},        {"SILVER", "#C0C0C0"},    {"WHITE", "#FFFFFF"},
    {"MAROON", "#800000"},    {"RED", "#FF0000"},         {"PURPLE", "#800080"},    {"FUCHSIA", "#FF00FF"},
    {"MAGENTA", "#FF00FF"},   {"GREEN", "#008000"},       {"LIME", "#00FF00"},      {"OLIVE", "#808000"},
    {"YELLOW", "#FFFF00"},    {"NAVY", "#000080"},        {"BLUE", "#0000FF"},      {"TEAL", "#008080"},
    {"AQUA", "#00FFFF"},      {"CYAN", "#00FFFF"},        {"ORANGE", "#FF7F00"},    {"AZURE", "#F0FFFF"},
    {"GOLD", "#FFD700"},      {"LIGHTBLUE", "#ADD8E6"},   {"LIGHTCYAN", "#E0FFFF"}, {"LIGHTGREEN", "#90EE90"},
    {"LIGHTPINK", "#FFB6C1"}, {"LIGHTYELLOW", "#FFFFE0"}, {"TOMATO", "#FF6347"},    {"VIOLET", "#EE82EE"},
    {"PINK", "#FFC0CB"},      {"IVORY", "#FFFFF0"},       {"DARKGRAY", "#A9A9A9"},  {"DARKCYAN", "#008B8B"},
    {"DARKBLUE", "#00008B"},  {"BROWN", "#A52A2A"},       {"BEIGE", "#F5F5DC"}};

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// A decimal number with "." (or ",") as separator, whatever the locale.
std::optional<double> ParseDecimal(std::string_view text) {
    std::string s(Trim(text));
    std::replace(s.begin(), s.end(), ',', '.');
    if (!s.empty() && s.front() == '+') s.erase(0, 1);
    double value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

uint8_t ClampComponent(double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); }

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// One colour that is not a pattern name: "#RRGGBB", "%grey", "@r;g;b",
// "@c;m;y;k" or a colour name.
std::optional<Rgb> ParseRgb(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    if (text.front() == '#') {
        if (text.size() < 7) return std::nullopt;
        int d[6];
        for (int i = 0; i < 6; ++i) {
            d[i] = HexDigit(text[static_cast<size_t>(i) + 1]);
            if (d[i] < 0) return std::nullopt;
        }
        return Rgb{static_cast<uint8_t>(d[0] * 16 + d[1]), static_cast<uint8_t>(d[2] * 16 + d[3]),
                   static_cast<uint8_t>(d[4] * 16 + d[5])};
    }
    if (text.front() == '%') {
        auto value = ParseDecimal(text.substr(1));
        if (!value) return std::nullopt;
        const double v = std::clamp(*value, 0.0, 100.0);
        const uint8_t g = static_cast<uint8_t>(255 - static_cast<int>(v * 255 / 100));
        return Rgb{g, g, g};
    }
    if (text.front() == '@') {
        std::vector<double> parts;
        std::string_view rest = text.substr(1);
        while (true) {
            const size_t semi = rest.find(';');
            auto value = ParseDecimal(rest.substr(0, semi));
            if (!value) return std::nullopt;
            parts.push_back(*value);
            if (semi == std::string_view::npos) break;
            rest.remove_prefix(semi + 1);
        }
        if (parts.size() == 3) return Rgb{ClampComponent(parts[0]), ClampComponent(parts[1]), ClampComponent(parts[2])};
        if (parts.size() == 4) {
            const double c = parts[0], m = parts[1], y = parts[2], k = parts[3];
            return Rgb{ClampComponent(std::fabs(100 - (c + k)) * 2.55), ClampComponent(std::fabs(100 - (m + k)) * 2.55),
                       ClampComponent(std::fabs(100 - (y + k)) * 2.55)};
        }
        return std::nullopt;
    }
    const std::string name = Upper(text);
    for (const NamedColor& named : kNamedColors) {
        if (name == named.name) return ParseRgb(named.value);
    }
    return std::nullopt;
}

void AppendComponents(std::string& out, Rgb c) {
    AppendNumber(out, c.r / 255.0);
    out.push_back(' ');
    AppendNumber(out, c.g / 255.0);
    out.push_back(' ');
    AppendNumber(out, c.b / 255.0);
}

std::string HexText(Rgb c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string s = "#";
    for (uint8_t v : {c.r, c.g, c.b}) {
        s.push_back(kHex[v >> 4]);
        s.push_back(kHex[v & 15]);
    }
    return s;
}

// Pattern names become PDF names: only regular characters are kept.
std::string PatternName(std::string_view text) {
    std::string out;
    for (char c : Upper(Trim(text))) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u > 32 && u < 127 && std::string_view("()<>[]{}/%#").find(c) == std::string_view::npos) out.push_back(c);
    }
    return out;
}

}  // namespace

// ParseColor: the colour text as stored ("#RRGGBB" or a pattern name, with
// the pattern's own colour after ";") and the content line that selects it
// as stroke (stroke = true) or fill colour. Returns false for unusable text.
static bool ParseColor(const std::string& color, bool stroke, std::string& stored, std::string& line) {
    const std::string_view text = Trim(color);
    if (text.empty()) return false;
    const char first = text.front();
    if (first == '#' || first == '%' || first == '@') {
        auto rgb = ParseRgb(text);
        if (!rgb) return false;
        stored = HexText(*rgb);
        line.clear();
        AppendComponents(line, *rgb);
        line += stroke ? " RG" : " rg";
        return true;
    }
    const size_t semi = text.find(';');
    const std::string_view head = Trim(text.substr(0, semi));
    if (auto rgb = ParseRgb(head)) {
        stored = HexText(*rgb);
        line.clear();
        AppendComponents(line, *rgb);
        line += stroke ? " RG" : " rg";
        return true;
    }
    const std::string pattern = PatternName(head);
    if (pattern.empty()) return false;
    std::optional<Rgb> second;
    if (semi != std::string_view::npos) second = ParseRgb(text.substr(semi + 1));
    stored = pattern;
    if (second) {
        stored += ";" + HexText(*second);
        line = stroke ? "/xxCSxx CS " : "/xxCSxx cs ";
        AppendComponents(line, *second);
        line += " /" + pattern + (stroke ? " SCN" : " scn");
    } else {
        line = stroke ? "/Pattern CS /" : "/Pattern cs /";
        line += pattern + (stroke ? " SCN" : " scn");
    }
    return true;
}

void QuillPdf::Impl::SetColor(const std::string& color, int which) {
    std::string stored, line;
    if (which == 2) {
        if (!ParseColor(color, false, stored, line)) return;
        graphics_.textColor = stored;
        graphics_.textFillOp = line;
        ParseColor(color, true, stored, graphics_.textLineOp);
        return;
    }
    const bool stroke = which == 0;
    if (!ParseColor(color, stroke, stored, line)) return;
    AppendContentLine(line);
    if (stroke) {
        graphics_.lineColor = std::move(stored);
        graphics_.lineOp = std::move(line);
    } else {
        graphics_.fillColor = std::move(stored);
        graphics_.fillOp = std::move(line);
    }
}

// The colours and the line width go back through their setters, so the page
// content sets them again as the caller left them.
void QuillPdf::Impl::RestoreState(const SavedState& saved) {
    scale_ = saved.scale;
    SetColorLine(saved.graphics.lineColor);
    SetColorFill(saved.graphics.fillColor);
    SetColorText(saved.graphics.textColor);
    text_ = saved.text;  // the font record is chosen again as it was, also when none was chosen
    SetLineWidth(saved.graphics.lineWidth / scale_);
    SetXY(saved.graphics.x / scale_, saved.graphics.y / scale_);
}

void QuillPdf::Impl::SetColorLine(const std::string& color) { SetColor(color, 0); }
void QuillPdf::Impl::SetColorFill(const std::string& color) { SetColor(color, 1); }
void QuillPdf::Impl::SetColorText(const std::string& color) { SetColor(color, 2); }

// PaintOperator: 0 stroke, 2 close and stroke, 1 leave unpainted, 4 fill and
// stroke (even-odd), 4+2 close, fill and stroke, 4+1 fill only; 128 clips.
void QuillPdf::Impl::AppendPaint(std::string& out, int32_t options) const {
    const bool noOutline = options & 1, close = options & 2, fill = options & 4, clip = options & 128;
    const char* op;
    if (fill)
        op = noOutline ? "f*" : (close ? "b*" : "B*");
    else
        op = noOutline ? "" : (close ? "h S" : "S");
    if (clip) out += "W ";
    out += op;
    if (clip || *op != '\0') out.push_back('\r');
}

namespace {

bool AllFinite(std::initializer_list<float> values) {
    for (float v : values) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}

}  // namespace

void QuillPdf::Impl::DrawLine(float x1, float y1, float x2, float y2, int32_t options) {
    if (!AllFinite({x1, y1, x2, y2})) return;
    if (std::string* out = ContentTarget()) {
        AppendScaled(*out, x1);
        out->push_back(' ');
        AppendScaled(*out, y1);
        out->append(" m ");
        AppendScaled(*out, x2);
        out->push_back(' ');
        AppendScaled(*out, y2);
        out->append(" l\r");
        AppendPaint(*out, options);
    }
    SetXY(x2, y2);
}

void QuillPdf::Impl::DrawLineTo(float x, float y, int32_t options) {
    if (!AllFinite({x, y})) return;
    if (std::string* out = ContentTarget()) {
        AppendScaled(*out, x);
        out->push_back(' ');
        AppendScaled(*out, y);
        out->append(" l\r");
        AppendPaint(*out, options);
    }
    SetXY(x, y);
}

void QuillPdf::Impl::DrawCurve(int16_t curveType, float x1, float y1, float x2, float y2, float x3, float y3,
                               int32_t options) {
    if (curveType < 1 || curveType > 3 || !AllFinite({x1, y1, x2, y2, x3, y3})) return;
    if (std::string* out = ContentTarget()) {
        const float values[] = {x1, y1, x2, y2, x3, y3};
        const int count = curveType == 1 ? 6 : 4;
        for (int i = 0; i < count; ++i) {
            if (i > 0) out->push_back(' ');
            AppendScaled(*out, values[i]);
        }
        out->append(curveType == 1 ? " c\r" : curveType == 2 ? " v\r" : " y\r");
        AppendPaint(*out, options);
    }
    if (curveType == 1)
        SetXY(x3, y3);
    else
        SetXY(x2, y2);
}

void QuillPdf::Impl::DrawRect(float x, float y, float width, float height, int32_t options, float radius,
                              int32_t cornerMask) {
    if (!AllFinite({x, y, width, height, radius})) return;
    NoteDrawnArea(x * scale_, y * scale_, (x + width) * scale_, (y + height) * scale_);  // for LinkTo
    std::string* out = ContentTarget();
    if (out == nullptr) return;
    const float r = std::min({radius, std::fabs(width) / 2, std::fabs(height) / 2});
    if (!(r > 0) || (cornerMask & 15) == 0) {
        AppendScaled(*out, x);
        out->push_back(' ');
        AppendScaled(*out, y);
        out->push_back(' ');
        AppendScaled(*out, width);
        out->push_back(' ');
        AppendScaled(*out, height);
        out->append(" re\r");
        AppendPaint(*out, options);
        return;
    }
    // Corners clockwise from the top-left (Y grows downwards); each rounded
    // corner is a Bezier curve with its control points 0.55 r from its ends.
    const float sx = width < 0 ? -1.f : 1.f, sy = height < 0 ? -1.f : 1.f;
    const float rTL = (cornerMask & 1) ? r : 0, rTR = (cornerMask & 2) ? r : 0;
    const float rBR = (cornerMask & 4) ? r : 0, rBL = (cornerMask & 8) ? r : 0;
    const float k = 0.55f;
    const float right = x + width, bottom = y + height;
    auto point = [&](float px, float py, const char* op) {
        AppendScaled(*out, px);
        out->push_back(' ');
        AppendScaled(*out, py);
        out->append(op);
    };
    auto curve = [&](float ax, float ay, float bx, float by, float ex, float ey) {
        point(ax, ay, " ");
        point(bx, by, " ");
        point(ex, ey, " c\r");
    };
    point(x + sx * rTL, y, " m\r");
    point(right - sx * rTR, y, " l\r");
    if (rTR > 0) curve(right - sx * rTR * (1 - k), y, right, y + sy * rTR * (1 - k), right, y + sy * rTR);
    point(right, bottom - sy * rBR, " l\r");
    if (rBR > 0)
        curve(right, bottom - sy * rBR * (1 - k), right - sx * rBR * (1 - k), bottom, right - sx * rBR, bottom);
    point(x + sx * rBL, bottom, " l\r");
    if (rBL > 0) curve(x + sx * rBL * (1 - k), bottom, x, bottom - sy * rBL * (1 - k), x, bottom - sy * rBL);
    point(x, y + sy * rTL, " l\r");
    if (rTL > 0) curve(x, y + sy * rTL * (1 - k), x + sx * rTL * (1 - k), y, x + sx * rTL, y);
    AppendPaint(*out, options);
}

void QuillPdf::Impl::DrawEllipse(float x, float y, float rx, float ry, int32_t options) {
    if (!AllFinite({x, y, rx, ry})) return;
    std::string* out = ContentTarget();
    if (out == nullptr) return;
    const float k = static_cast<float>((std::sqrt(2.0) - 1) * 4 / 3);
    const float kx = k * rx, ky = k * ry;
    auto point = [&](float px, float py, const char* op) {
        AppendScaled(*out, px);
        out->push_back(' ');
        AppendScaled(*out, py);
        out->append(op);
    };
    point(x + rx, y, " m\r");
    point(x + rx, y - ky, " ");
    point(x + kx, y - ry, " ");
    point(x, y - ry, " c\r");
    point(x - kx, y - ry, " ");
    point(x - rx, y - ky, " ");
    point(x - rx, y, " c\r");
    point(x - rx, y + ky, " ");
    point(x - kx, y + ry, " ");
    point(x, y + ry, " c\r");
    point(x + kx, y + ry, " ");
    point(x + rx, y + ky, " ");
    point(x + rx, y, " c\r");
    AppendPaint(*out, options);
}

void QuillPdf::Impl::DrawCircle(float x, float y, float ray, int32_t options) { DrawEllipse(x, y, ray, ray, options); }

void QuillPdf::Impl::DrawPolygon(float cx, float cy, float radius, int32_t sides, float startAngle, int32_t options) {
    if (sides < 3 || sides > 10000 || !AllFinite({cx, cy, radius, startAngle})) return;
    std::string* out = ContentTarget();
    if (out == nullptr) return;
    const double step = 360.0 / sides;
    for (int32_t i = 0; i < sides; ++i) {
        const double a = (startAngle + step * i) * kDegreesToRadians;
        AppendScaled(*out, static_cast<float>(cx + radius * std::cos(a)));
        out->push_back(' ');
        AppendScaled(*out, static_cast<float>(cy - radius * std::sin(a)));
        out->append(i == 0 ? " m\r" : " l\r");
    }
    AppendPaint(*out, options);
}

void QuillPdf::Impl::DrawArc(float cx, float cy, float rx, float ry, float startAngle, float endAngle, float step,
                             int32_t options, bool pie) {
    if (!AllFinite({cx, cy, rx, ry, startAngle, endAngle, step}) || !(step > 0)) return;
    std::string* out = ContentTarget();
    if (out == nullptr) return;
    if (endAngle < startAngle) std::swap(startAngle, endAngle);
    double span = endAngle - startAngle;
    if (span > 360) span = 360;
    // At most one point per tenth of a degree.
    const double angleStep = std::max<double>(step, span / 3600.0);
    auto point = [&](double degrees, const char* op) {
        const double a = degrees * kDegreesToRadians;
        AppendScaled(*out, static_cast<float>(cx + rx * std::cos(a)));
        out->push_back(' ');
        AppendScaled(*out, static_cast<float>(cy - ry * std::sin(a)));
        out->append(op);
    };
    if (pie) {
        AppendScaled(*out, cx);
        out->push_back(' ');
        AppendScaled(*out, cy);
        out->append(" m\r");
        point(startAngle, " l\r");
    } else {
        point(startAngle, " m\r");
    }
    const double end = startAngle + span;
    for (double a = startAngle + angleStep; a < end - 1e-9; a += angleStep) point(a, " l\r");
    if (span > 0) point(end, " l\r");
    if (pie) {
        AppendScaled(*out, cx);
        out->push_back(' ');
        AppendScaled(*out, cy);
        out->append(" l\r");
    }
    AppendPaint(*out, options);
}

void QuillPdf::Impl::DrawPolyline(const std::vector<float>& points, int32_t options) {
    if (points.size() < 4) return;
    for (float v : points) {
        if (!std::isfinite(v)) return;
    }
    std::string* out = ContentTarget();
    if (out == nullptr) return;
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        AppendScaled(*out, points[i]);
        out->push_back(' ');
        AppendScaled(*out, points[i + 1]);
        out->append(i == 0 ? " m\r" : " l\r");
    }
    AppendPaint(*out, options);
}

void QuillPdf::Impl::SetLineWidth(float width) {
    if (!std::isfinite(width) || width < 0) return;
    graphics_.lineWidth = width * scale_;
    if (std::string* out = ContentTarget()) {
        AppendNumber(*out, graphics_.lineWidth);
        out->append(" w\r");
    }
}

void QuillPdf::Impl::SetLineStyle(int32_t style, float miterLimit) {
    std::string* out = ContentTarget();
    if (out == nullptr) return;
    // Only caps and joins 0 to 2 exist in PDF.
    const int cap = std::min((style & 0x70) / 32, 2);
    const int join = std::min((style & 7) / 2, 2);
    AppendInteger(*out, cap);
    out->append(" J\r");
    AppendInteger(*out, join);
    out->append(" j\r");
    if (std::isfinite(miterLimit) && miterLimit >= 1) {
        AppendNumber(*out, miterLimit);
        out->append(" M\r");
    }
}

void QuillPdf::Impl::SetDash(const std::string& style, float phase) {
    if (!std::isfinite(phase)) return;
    const std::string name = Upper(Trim(style));
    std::vector<double> lengths;
    if (name.empty() || name == "SOLID") {
    } else if (name == "DASH") {
        lengths = {0.1};
    } else if (name == "DOT") {
        lengths = {0.05};
    } else if (name == "DASHDOT") {
        lengths = {0.1, 0.05, 0.05, 0.05};
    } else if (name == "DASHDOTDOT") {
        lengths = {0.1, 0.05, 0.05, 0.05, 0.05, 0.05};
    } else {
        std::string_view rest = name;
        while (!rest.empty()) {
            const size_t semi = rest.find(';');
            const std::string_view part = Trim(rest.substr(0, semi));
            if (!part.empty()) {
                auto value = ParseDecimal(part);
                if (!value || *value < 0) return;
                lengths.push_back(*value);
            }
            if (semi == std::string_view::npos) break;
            rest.remove_prefix(semi + 1);
        }
        // A pattern of zero lengths only would draw nothing at all.
        if (std::all_of(lengths.begin(), lengths.end(), [](double v) { return v == 0; })) lengths.clear();
    }
    std::string* out = ContentTarget();
    if (out == nullptr) return;
    out->push_back('[');
    for (size_t i = 0; i < lengths.size(); ++i) {
        if (i > 0) out->push_back(' ');
        AppendNumber(*out, lengths[i] * scale_);
    }
    out->append(" ] ");
    AppendNumber(*out, static_cast<double>(phase) * scale_);
    out->append(" d\r");
}

void QuillPdf::Impl::SetAlpha(int16_t percent) {
    const double a = percent < 0 ? 0.0 : percent > 100 ? 1.0 : percent / 100.0;
    if (!file_.IsOpen()) return;
    uint32_t number = 0;
    StartIndirectObject(number);
    std::string text = "<</Type /ExtGState /ca ";
    AppendNumber(text, a);
    text += " /CA ";
    AppendNumber(text, a);
    text += " /BM /Normal >>";
    WriteLine(text);
    EndIndirectObject();
    ++alphaCount_;
    const std::string name = "/GSTATE_" + std::to_string(alphaCount_);
    alphaResources_ += name + " " + std::to_string(number) + " 0 R ";
    AppendContentLine(name + " gs");
    RequireVersion(1);
}

void QuillPdf::Impl::AxisTranslation(float translateX, float translateY) {
    if (!AllFinite({translateX, translateY})) return;
    if (std::string* out = ContentTarget()) {
        out->append("1 0 0 1 ");
        AppendScaled(*out, translateX);
        out->push_back(' ');
        AppendScaled(*out, translateY);
        out->append(" cm\r");
    }
    SetXY(translateX, translateY);
}

void QuillPdf::Impl::AxisScaling(float scaleX, float scaleY) {
    if (!AllFinite({scaleX, scaleY})) return;
    if (std::string* out = ContentTarget()) {
        AppendNumber(*out, scaleX);
        out->append(" 0 0 ");
        AppendNumber(*out, scaleY);
        out->append(" 0 0 cm\r");
    }
}

void QuillPdf::Impl::AxisRotation(float degrees) {
    if (!std::isfinite(degrees) || std::fabs(degrees) > 1e9f) return;
    if (std::llround(degrees) % 360 == 0) return;
    std::string* out = ContentTarget();
    if (out == nullptr) return;
    const double a = degrees * kDegreesToRadians;
    AppendNumber(*out, std::cos(a));
    out->push_back(' ');
    AppendNumber(*out, -std::sin(a));
    out->push_back(' ');
    AppendNumber(*out, std::sin(a));
    out->push_back(' ');
    AppendNumber(*out, std::cos(a));
    out->append(" 0 0 cm\r");
}

void QuillPdf::Impl::AxisSkewing(float angleA, float angleB) {
    if (!AllFinite({angleA, angleB})) return;
    std::string* out = ContentTarget();
    if (out == nullptr) return;
    out->append("1 ");
    AppendNumber(*out, std::tan(angleA * kDegreesToRadians));
    out->push_back(' ');
    AppendNumber(*out, std::tan(angleB * kDegreesToRadians));
    out->append(" 1 0 0 cm\r");
}

void QuillPdf::Impl::BeginSpace(float newX, float newY, float scaleX, float scaleY, float angle) {
    if (!AllFinite({newX, newY, scaleX, scaleY, angle})) return;
    AppendContentLine("q");
    if (!(newX == 0 && newY == 0 && scaleX == 1 && scaleY == 1)) {
        if (std::string* out = ContentTarget()) {
            AppendNumber(*out, scaleX);
            out->append(" 0 0 ");
            AppendNumber(*out, scaleY);
            out->push_back(' ');
            AppendScaled(*out, newX);
            out->push_back(' ');
            AppendScaled(*out, newY);
            out->append(" cm\r");
        }
    }
    if (angle != 0) AxisRotation(angle);
    SetXY(newX, newY);
}

void QuillPdf::Impl::EndSpace() { AppendContentLine("Q"); }

}  // namespace quill
