// EPS and Illustrator files: no PostScript is interpreted. The path lines of
// the drawing part are copied after two transformations that put the
// bounding box on the target; a line is copied only when its operands are
// plain numbers in the count its operator takes, so nothing the page content
// cannot parse gets through.
#include "pdf/EpsTranslator.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

#include "pdf/PdfFormat.h"

namespace quill {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> Words(std::string_view s) {
    std::vector<std::string_view> words;
    for (size_t i = 0; i < s.size();) {
        if (IsBlank(s[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < s.size() && !IsBlank(s[end])) ++end;
        words.push_back(s.substr(i, end - i));
        i = end;
    }
    return words;
}

// A number as the page content writes it: sign, digits, at most one point.
bool IsNumber(std::string_view w) {
    if (!w.empty() && (w.front() == '+' || w.front() == '-')) w.remove_prefix(1);
    bool digit = false, point = false;
    for (char c : w) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

std::optional<double> NumberValue(std::string_view w) {
    if (!IsNumber(w)) return std::nullopt;
    if (w.front() == '+') w.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
    if (ec != std::errc() || end != w.data() + w.size()) return std::nullopt;
    return value;
}

bool AllNumbers(const std::vector<std::string_view>& words) {
    for (std::string_view w : words) {
        if (!IsNumber(w)) return false;
    }
    return true;
}

// "[a b ...] phase": a dash array and one number.
bool IsDashOperand(std::string_view s) {
    const size_t close = s.find(']');
    if (s.empty() || s.front() != '[' || close == std::string_view::npos) return false;
    const auto inner = Words(s.substr(1, close - 1)), after = Words(s.substr(close + 1));
    return AllNumbers(inner) && after.size() == 1 && IsNumber(after[0]);
}

// Operands taken by the one-character operators; -1: not copied.
int OperandCount(char op) {
    switch (op) {
    case 'm':
    case 'l':
    case 'L': return 2;
    case 'c':
    case 'C': return 6;
    case 'v':
    case 'y':
    case 'V':
    case 'Y':
    case 'k':
    case 'K': return 4;
    case 'g':
    case 'G':
    case 'w':
    case 'M':
    case 'J':
    case 'j': return 1;
    case 'n':
    case 'N':
    case 's':
    case 'S':
    case 'f':
    case 'F':
    case 'b':
    case 'B': return 0;
    default: return -1;
    }
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// Calls f with each line (lines end at LF, CR or CR LF) until it returns
// false; no table of lines is built, whatever the file holds.
template <typename F>
void ForEachLine(std::string_view text, F f) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        if (!f(text.substr(start, i - start))) return;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) f(text.substr(start));
}

struct Box {
    double llx = 0, lly = 0, urx = 0, ury = 0;
};

// The first "%%BoundingBox:" line with four numbers, wherever it is (a
// header that says "(atend)" leaves it to the trailer).
std::optional<Box> FindBox(std::string_view text) {
    std::optional<Box> box;
    ForEachLine(text, [&box](std::string_view line) {
        if (!StartsWith(line, "%%BoundingBox:")) return true;
        const auto words = Words(line.substr(14));
        if (words.size() != 4) return true;
        double v[4];
        for (size_t i = 0; i < 4; ++i) {
            const auto value = NumberValue(words[i]);
            if (!value) return true;
            v[i] = *value;
        }
        box = Box{v[0], v[1], v[2], v[3]};
        return false;
    });
    return box;
}

uint32_t Le32(std::string_view s, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
    return v;
}

// Translation of the drawing lines, one at a time.
class Translator {
public:
    explicit Translator(std::string& out) : out_(out) {}

    void Line(std::string_view t) {
        const size_t n = t.size();
        if (n == 1 || (n >= 2 && IsBlank(t[n - 2]))) {
            OneCharacter(t, t[n - 1], Trim(t.substr(0, n - 1)));
        } else if (n >= 3 && IsBlank(t[n - 3])) {
            const std::string_view op = t.substr(n - 2);
            const auto words = Words(t.substr(0, n - 3));
            if ((op == "Xa" || op == "XA") && words.size() >= 3 && AllNumbers(words)) {
                for (size_t i = words.size() - 3; i < words.size(); ++i) Write(words[i], " ");
                Write(op == "Xa" ? "rg" : "RG", "\r");
            }
        }
    }

private:
    void OneCharacter(std::string_view line, char op, std::string_view operands) {
        const auto words = Words(operands);
        const bool ok = op == 'd' ? IsDashOperand(operands)
                                  : OperandCount(op) == static_cast<int>(words.size()) && AllNumbers(words);
        if (!ok) return;
        switch (op) {
        case 's':
        case 'S':
            if (!painted_) Write(line, "\r");
            break;
        case 'Y':
        case 'N':
        case 'L':
        case 'C':
        case 'V':
            Write(line.substr(0, line.size() - 1), "");
            out_.push_back(static_cast<char>(op - 'A' + 'a'));
            out_.push_back('\r');
            pending_ = true;
            break;
        case 'f':
        case 'F':
        case 'b':
        case 'B':
            if (!painted_ && pending_) Write(op == 'b' ? "b*" : op == 'B' ? "B*" : "f*", "\r");
            painted_ = true;
            pending_ = false;
            break;
        default:
            Write(line, "\r");
            painted_ = false;
            pending_ = true;
        }
    }

    void Write(std::string_view text, const char* end) {
        out_.append(text);
        out_.append(end);
    }

    std::string& out_;
    bool pending_ = false;  // a path is built and not painted
    bool painted_ = false;  // the last painting operator filled
};

}  // namespace

VectorDrawing TranslateEps(std::string_view file, const VectorTarget& target) {
    VectorDrawing result;
    auto refuse = [&result](const char* why) {
        result.error = {321, std::string("Invalid file format: ") + why};
        return result;
    };
    // A DOS EPS binary file carries the PostScript as one section of itself.
    if (file.size() >= 4 && file.substr(0, 4) == "\xC5\xD0\xD3\xC6") {
        if (file.size() < 12) return refuse("damaged DOS EPS header");
        const uint64_t offset = Le32(file, 4), length = Le32(file, 8);
        if (offset > file.size() || length > file.size() - offset)
            return refuse("the PostScript section lies outside the file");
        file = file.substr(offset, length);
    }
    const std::optional<Box> box = FindBox(file);
    if (!box) return refuse("no bounding box");
    const double bw = box->urx - box->llx, bh = box->ury - box->lly, s = target.scale;
    if (!(bw > 0) || !(bh > 0)) return refuse("empty bounding box");
    double w = target.width, h = target.height;
    if (w == 0 && h == 0) {
        w = bw * 20 / (72 * s);
        h = bh * 20 / (72 * s);
    } else if (w == 0) {
        w = h * bw / bh;
    } else if (h == 0) {
        h = w * bh / bw;
    }
    const double sx = w * s / bw, sy = h * s / bh;
    const float x = target.x * target.scale, y = target.y * target.scale;
    if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(x) || !std::isfinite(y))
        return refuse("the drawing does not fit the page");

    std::string& out = result.content;
    out = "q\r";
    AppendNumber(out, sx);
    out += " 0 0 ";
    AppendNumber(out, sy);
    out += ' ';
    AppendNumber(out, x);
    out += ' ';
    AppendNumber(out, y);
    out += " cm\r1 0 0 -1 ";
    AppendNumber(out, -box->llx);
    out += ' ';
    AppendNumber(out, bh + box->lly);
    out += " cm\r";

    Translator translator(out);
    bool started = false;
    ForEachLine(file, [&](std::string_view line) {
        if (StartsWith(line, "%")) {
            if (StartsWith(line, "%%BoundingBox:") || StartsWith(line, "%%EndSetup") || StartsWith(line, "%%EndProlog"))
                started = true;
            return !StartsWith(line, "%%PageTrailer");
        }
        const std::string_view t = Trim(line);
        if (StartsWith(t, "showpage")) return false;  // the rest is trailer
        if (started && !t.empty() && t.front() != '%' && t.front() != '/' && t.front() != '(') translator.Line(t);
        return true;
    });
    out += "Q\r";
    result.x1 = x;
    result.y1 = y;
    result.x2 = static_cast<float>(x + w * s);
    result.y2 = static_cast<float>(y + h * s);
    return result;
}

}  // namespace quill
