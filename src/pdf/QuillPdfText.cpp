// Text of QuillPdf: font selection and the font objects of the built-in
// families, text measuring, and the text run behind DrawText, WriteText and
// WriteTextLn.
#include <cmath>
#include <cstring>

#include "pdf/PdfFormat.h"
#include "pdf/PdfName.h"
#include "pdf/QuillPdfImpl.h"
#include "pdf/StandardFontMetrics.h"

namespace quill {

namespace {

struct FamilyInfo {
    StdFamily family;
    const char* key;
    bool hasStyles;
    int16_t textHeight;
    int32_t descent;
};

constexpr FamilyInfo kArial{StdFamily::Arial, "Arial", true, 1221, -221};
constexpr FamilyInfo kCourier{StdFamily::CourierNew, "CourierNew", true, 1133, -300};
constexpr FamilyInfo kTimes{StdFamily::TimesNewRoman, "TimesNewRoman", true, 1107, -216};
constexpr FamilyInfo kSymbol{StdFamily::Symbol, "Symbol", false, 1225, -220};
constexpr FamilyInfo kZapf{StdFamily::ZapfDingbats, "ZapfDingbats", false, 1221, -221};

// The family a font name selects: blanks removed, upper case. Names of no
// built-in family fall back to Arial.
const FamilyInfo& FamilyOf(std::string_view name) {
    std::string n;
    n.reserve(name.size());
    for (char c : name) {
        if (c == ' ') continue;
        n.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    if (n == "COURIER" || n == "COURIERNEW") return kCourier;
    if (n == "TIMES" || n == "TIMESNEWROMAN") return kTimes;
    if (n == "SYMBOL") return kSymbol;
    if (n == "ZAPFDINGBATS") return kZapf;
    return kArial;
}

bool SameUpper(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

void QuillPdf::Impl::FontRecord::SetWidths(const std::array<int16_t, 256>& codeWidths) {
    widths = codeWidths;
    fixedWidth = widths[0];
    for (const int16_t w : widths) {
        if (w != fixedWidth) fixedWidth = -1;
    }
}

void QuillPdf::Impl::SetFont(const std::string& name, float size, int32_t style, int32_t encoding) {
    if (std::isfinite(size) && size > 0)
        text_.size = size;
    else if (text_.size <= 0)
        text_.size = 10;
    text_.style = style;
    const int32_t enc = encoding == 1 ? 1 : 0;
    text_.encoding = enc;
    // Lists select the same font for every line: skip the lookup then.
    if (text_.font >= 0 && text_.requestStyle == (style & 3) && text_.requestEncoding == enc && name == text_.request)
        return;
    text_.fontName = name;
    text_.request = name;
    text_.requestStyle = style & 3;
    text_.requestEncoding = enc;

    // Fonts added from files are found by their key alone, whatever the style and encoding.
    if (const int added = FindTrueTypeFont(name); added >= 0) {
        text_.font = added;
        return;
    }
    const FamilyInfo& family = FamilyOf(name);
    const int variant = family.hasStyles ? (style & 3) : 0;
    static constexpr const char* kSuffixes[] = {"", "Bold", "Italic", "BoldItalic"};
    std::string key = family.key;
    std::string baseFont = family.key;
    if (variant != 0) {
        key += ',';
        key += kSuffixes[variant];
        baseFont = key;
    }
    if (enc == 1) key += "MAC";

    for (size_t i = 0; i < fonts_.size(); ++i) {
        if (fonts_[i].encoding == enc && !fonts_[i].embedded && SameUpper(fonts_[i].key, key)) {
            text_.font = static_cast<int>(i);
            return;
        }
    }
    FontRecord font;
    font.key = std::move(key);
    font.baseFont = std::move(baseFont);
    font.SetWidths(StandardWidths(family.family, variant));
    font.textHeight = family.textHeight;
    font.descent = family.descent;
    font.encoding = enc;
    fonts_.push_back(std::move(font));
    text_.font = static_cast<int>(fonts_.size() - 1);
    WriteFontObject(fonts_.back());
}

void QuillPdf::Impl::WriteFontObject(FontRecord& font) {
    // Before BeginDoc the object waits; BeginDoc writes it after the header.
    if (!file_.IsOpen()) return;
    if (font.trueType) {
        WriteTrueTypeObjects(font);
        return;
    }
    uint32_t number = 0;
    StartIndirectObject(number);
    font.objectNumber = number;
    fontResources_ += '/';
    fontResources_ += font.key;
    fontResources_ += ' ';
    AppendInteger(fontResources_, number);
    fontResources_ += " 0 R ";
    std::string line = "<< /Type /Font /Subtype /";
    line += font.embedded ? "TrueType" : "Type1";
    line += " /Name /" + font.key + " /BaseFont /" + font.baseFont + " /FirstChar 0 /LastChar 255";
    WriteLine(line);
    if (font.baseFont != "Symbol" && font.baseFont != "ZapfDingbats") {
        WriteLine(std::string("/Encoding << /Type /Encoding /BaseEncoding /") +
                  (font.encoding == 1 ? "MacRomanEncoding" : "WinAnsiEncoding") + ">>");
    }
    WriteLine(" >>");
    EndIndirectObject();
}

void QuillPdf::Impl::SetFontSize(float points) {
    if (std::isfinite(points) && points > 0) text_.size = points;
}

void QuillPdf::Impl::SetCharSpacing(float points) {
    if (!std::isfinite(points)) return;
    text_.charSpacing = points;
    if (std::string* out = ContentTarget()) {
        AppendNumber(*out, points);
        out->append(" Tc\r");
    }
}

void QuillPdf::Impl::SetWordSpacing(float points) {
    if (!std::isfinite(points)) return;
    text_.wordSpacing = points;
    if (std::string* out = ContentTarget()) {
        AppendNumber(*out, points);
        out->append(" Tw\r");
    }
}

void QuillPdf::Impl::SetTextHorizontalScaling(float percent) {
    if (!std::isfinite(percent) || percent <= 0) return;
    text_.horizontalScaling = percent;
    if (std::string* out = ContentTarget()) {
        AppendNumber(*out, percent);
        out->append(" Tz\r");
    }
}

void QuillPdf::Impl::SetTextMode(int32_t mode) {
    if (mode < 0 || mode > 7) return;
    if (std::string* out = ContentTarget()) {
        AppendInteger(*out, mode);
        out->append(" Tr\r");
    }
}

void QuillPdf::Impl::SetTextLineSpacing(float factor) {
    if (std::isfinite(factor) && factor >= 0) text_.lineSpacing = factor;
}

float QuillPdf::Impl::RawWidth(std::string_view text) const {
    const FontRecord& font = fonts_[static_cast<size_t>(text_.font)];
    int64_t sum = 0;
    int blanks = 0;
    if (font.fixedWidth >= 0) {
        sum = static_cast<int64_t>(font.fixedWidth) * static_cast<int64_t>(text.size());
    } else {
        for (unsigned char c : text) sum += font.widths[c];
    }
    // Blanks count only with a word spacing; without one they add 0 either way.
    if (text_.wordSpacing != 0) {
        for (unsigned char c : text) blanks += c == ' ';
    }
    // Lines of a list measure the same again and again: the last result is kept with its inputs.
    WidthMemo& memo = widthMemo_;
    if (memo.valid && memo.sum == sum && memo.blanks == blanks && memo.count == text.size() &&
        memo.size == text_.size && memo.wordSpacing == text_.wordSpacing && memo.charSpacing == text_.charSpacing &&
        memo.horizontalScaling == text_.horizontalScaling)
        return memo.width;
    const double length = static_cast<double>(sum) * text_.size / 1000.0 +
        blanks * static_cast<double>(text_.wordSpacing) + static_cast<double>(text.size()) * text_.charSpacing;
    memo = {true,
            sum,
            blanks,
            text.size(),
            text_.size,
            text_.wordSpacing,
            text_.charSpacing,
            text_.horizontalScaling,
            static_cast<float>(length * text_.horizontalScaling / 100.0)};
    return memo.width;
}

float QuillPdf::Impl::TextLength(std::string_view text) const {
    if (text_.font < 0) return 0;
    return RawWidth(text) / scale_;
}

float QuillPdf::Impl::TextHeight() const {
    if (text_.font < 0) return 0;
    return fonts_[static_cast<size_t>(text_.font)].textHeight * text_.size / 1000.0f / scale_;
}

const std::string& QuillPdf::Impl::TextRunHead(FontRecord& font) {
    TextRunHeadCache& cache = textRunHead_;
    if (cache.font == text_.font && cache.size == text_.size && cache.textFill == graphics_.textFillOp)
        return cache.text;
    if (font.contentName.empty()) {
        font.contentName.push_back('/');
        AppendPdfName(font.contentName, font.key);
    }
    cache.font = text_.font;
    cache.size = text_.size;
    cache.textFill = graphics_.textFillOp;
    std::string& head = cache.text;
    head = graphics_.textFillOp;
    head += "\rBT\r";
    head += font.contentName;
    head += ' ';
    AppendNumber(head, text_.size);
    head += " Tf ";
    AppendNumber(head, text_.size);
    head += " TL\r1 0 0 -1 ";
    return head;
}

void QuillPdf::Impl::DrawText(float x, float y, std::string_view text, int32_t align) {
    const int32_t a = align % 8;
    WriteTextRun(x, y, 0, text, 0, (a == 2 || a == 4) ? a : 1, false);
}

void QuillPdf::Impl::WriteText(std::string_view text, int32_t position, float percent) {
    const float x = graphics_.x / scale_;
    if (position < 1 || position > 3 || !std::isfinite(percent) || percent <= 0 || text_.font < 0) {
        WriteTextRun(x, graphics_.y / scale_, 0, text, 0, 1, false);
        return;
    }
    const float oldSize = text_.size, oldY = graphics_.y;
    const float newSize = oldSize * percent / 100.0f;
    const FontRecord& font = fonts_[static_cast<size_t>(text_.font)];
    const float descent = std::fabs(static_cast<float>(font.descent)) / 1000.0f;
    float baseline = graphics_.y;
    if (position == 2)
        baseline += (oldSize + newSize) * descent;
    else if (position == 1)
        baseline += newSize * descent - font.textHeight * oldSize / 1000.0f / 2;
    text_.size = newSize;
    WriteTextRun(x, baseline / scale_, 0, text, 0, 1, false);
    text_.size = oldSize;
    graphics_.y = oldY;
}

void QuillPdf::Impl::WriteTextLn(std::string_view text) {
    WriteTextRun(graphics_.x / scale_, graphics_.y / scale_, 0, text, 0, 1, true);
}

void QuillPdf::Impl::WriteTextRun(float x, float y, float boxWidth, std::string_view text, float extraWidth,
                                  int32_t align, bool newLine) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(boxWidth) || !std::isfinite(extraWidth)) return;
    if (text.find_first_not_of(' ') == std::string_view::npos) {
        graphics_.x = newLine ? 0 : x * scale_;
        graphics_.y = y * scale_;
        return;
    }
    if (text_.font < 0) SetFont("Arial");

    const float savedScaling = text_.horizontalScaling;
    const bool fitting = align == 128 || align == 256;
    if (fitting && text_.horizontalScaling != 100) SetTextHorizontalScaling(100);

    float w = TextLength(text) + extraWidth;
    float dx = 0;
    // Operators put around the string for justification and fitting.
    char prefix[48], suffix[48];
    size_t prefixLength = 0, suffixLength = 0;
    auto put = [](char* buffer, size_t& length, double value, const char* op) {
        std::string s;
        AppendNumber(s, value);
        s += op;
        std::memcpy(buffer + length, s.data(), s.size());
        length += s.size();
    };
    switch (align) {
    case 2: dx = boxWidth - w; break;
    case 4: dx = (boxWidth - w) / 2; break;
    case 64: {
        int blanks = 0;
        for (char c : text) blanks += c == ' ';
        if (blanks > 0) {
            const float t = (boxWidth - w) / blanks;
            put(prefix, prefixLength, static_cast<double>(t) * scale_, " Tw ");
            suffix[suffixLength++] = ' ';
            put(suffix, suffixLength, text_.wordSpacing, " Tw");
        }
        break;
    }
    case 128:
    case 256:
        if (w > 0 && (align == 256 || w > boxWidth)) {
            put(prefix, prefixLength, static_cast<double>(boxWidth) * 100 / w, " Tz ");
            suffix[suffixLength++] = ' ';
            put(suffix, suffixLength, text_.horizontalScaling, " Tz");
        }
        break;
    default: break;
    }
    dx += extraWidth;

    FontRecord& font = fonts_[static_cast<size_t>(text_.font)];
    if (std::string* out = ContentTarget()) {
        const double left = static_cast<double>(x + dx) * scale_;
        const double baseline = static_cast<double>(y) * scale_;
        // One growth of the content for the whole run, filled in place: room for every byte escaped.
        const std::string& head = TextRunHead(font);
        const std::string& fillOp = graphics_.fillOp;
        const size_t start = out->size();
        out->resize(start + head.size() + 2 * kMaxNumberLength + prefixLength + 2 * text.size() + suffixLength +
                    fillOp.size() + 16);
        char* p = out->data() + start;
        auto copy = [&p](const char* bytes, size_t n) {
            std::memcpy(p, bytes, n);
            p += n;
        };
        copy(head.data(), head.size());
        p = WriteNumber(p, left);
        *p++ = ' ';
        p = WriteNumber(p, baseline);
        copy(" Tm\r", 4);
        copy(prefix, prefixLength);
        *p++ = '(';
        p = WriteEscaped(p, text);
        copy(") Tj", 4);
        copy(suffix, suffixLength);
        copy("\rET\r", 4);
        copy(fillOp.data(), fillOp.size());
        *p++ = '\r';
        out->resize(static_cast<size_t>(p - out->data()));

        if (text_.style & (4 | 8 | 16)) {
            out->append("q\r");
            out->append(graphics_.textLineOp);
            out->push_back('\r');
            AppendNumber(*out, text_.size / 16.0);
            out->append(" w 1 0 0 1 ");
            AppendNumber(*out, left);
            out->push_back(' ');
            AppendNumber(*out, baseline);
            out->append(" cm\r");
            const double offsets[] = {text_.size / 8.0, -0.8 * text_.size, -0.3 * text_.size};
            const int bits[] = {4, 8, 16};
            for (int i = 0; i < 3; ++i) {
                if (!(text_.style & bits[i])) continue;
                out->append("0 ");
                AppendNumber(*out, offsets[i]);
                out->append(" m ");
                AppendNumber(*out, static_cast<double>(w) * scale_);
                out->push_back(' ');
                AppendNumber(*out, offsets[i]);
                out->append(" l S\r");
            }
            out->append(graphics_.lineOp);
            out->append("\rQ\r");
        }
    }

    if (fitting && savedScaling != 100) SetTextHorizontalScaling(savedScaling);
    NoteDrawnArea((x + dx) * scale_, y * scale_ - (font.textHeight + font.descent) * text_.size / 1000.0f,
                  (x + dx + w) * scale_, y * scale_ - font.descent * text_.size / 1000.0f);  // for LinkTo

    if (newLine) {
        graphics_.x = 0;
        graphics_.y = y * scale_ + font.textHeight * text_.size / 1000.0f * text_.lineSpacing;
    } else {
        graphics_.x = (x + w) * scale_;
        graphics_.y = y * scale_;
    }
}

}  // namespace quill
