// Barcodes of QuillPdf: EAN-13, Code 39 full ASCII, Interleaved 2 of 5,
// POSTNET, Code 128 and EAN-8, drawn as filled rectangles (stroked lines for
// Code 39) with their quiet zones and, on request, the human-readable text.
#include <algorithm>
#include <cmath>

#include "pdf/BarcodeTables.h"
#include "pdf/PdfFormat.h"
#include "pdf/QuillPdfImpl.h"

namespace quill {

namespace {

using namespace barcode;

// Lengths in points, measured from the symbol's top-left corner (X, Y).
struct Bar {
    float x, y, width, height;
};
struct Label {
    float x;
    std::string text;
    int32_t align;
};
struct Symbol {
    std::vector<Bar> bars;
    std::vector<Label> labels;
    float extent = 0;  // 0: the code cannot be drawn
    bool stroked = false;
};

// Dark runs of a module pattern ("1" dark) starting at x; one bar per module
// when each module is to stand alone.
void AddModules(Symbol& s, std::string_view modules, float x, float module, float height, bool perModule) {
    for (size_t i = 0; i < modules.size();) {
        if (modules[i] != '1') {
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (!perModule && end < modules.size() && modules[end] == '1') ++end;
        s.bars.push_back({x + static_cast<float>(i) * module, 0, static_cast<float>(end - i) * module, height});
        i = end;
    }
}

// EAN-13 (left digits 6) or EAN-8 (4): guards, the two halves and the digits
// under them, from x0 = 11 modules.
Symbol Ean(std::string_view code, bool ean13, float module, float barHeight, float textHeight) {
    Symbol s;
    const size_t data = ean13 ? 12 : 7;
    if (!AllDigits(code) || (code.size() != data && code.size() != data + 1)) return s;
    std::string digits(code.substr(0, data));
    digits.push_back(WeightedCheck(digits));
    const size_t half = ean13 ? 6 : 4, first = ean13 ? 1 : 0;  // EAN-13's first digit has no bars
    const float x0 = 11 * module, guard = barHeight + textHeight;
    const int centre = 3 + 7 * static_cast<int>(half), end = centre + 5 + 7 * static_cast<int>(half);
    for (int g : {0, 2, centre + 1, centre + 3, end, end + 2})
        s.bars.push_back({x0 + static_cast<float>(g) * module, 0, module, guard});
    const char* parity = ean13 ? kEanParity[digits[0] - '0'] : "AAAA";
    for (size_t j = 0; j < half; ++j) {
        const int d = digits[first + j] - '0';
        AddModules(s, parity[j] == 'A' ? kEanA[d] : kEanB[d], x0 + static_cast<float>(3 + 7 * j) * module, module,
                   barHeight, false);
        AddModules(s, kEanC[digits[first + half + j] - '0'],
                   x0 + static_cast<float>(centre + 5 + 7 * static_cast<int>(j)) * module, module, barHeight, false);
    }
    if (ean13) {
        s.labels.push_back({x0 - 8 * module, digits.substr(0, 1), 1});
        s.labels.push_back({x0 + 24 * module, digits.substr(1, 6), 4});
        s.labels.push_back({x0 + 71 * module, digits.substr(7), 4});
    } else {
        s.labels.push_back({x0 + 17 * module, digits.substr(0, 4), 4});
        s.labels.push_back({x0 + 50 * module, digits.substr(4), 4});
    }
    s.extent = (ean13 ? 113 : 85) * module;
    return s;
}

Symbol Code39(std::string_view code, bool addCheck, float module, float barHeight) {
    Symbol s;
    std::string expanded = Code39Expand(code);
    if (expanded.empty()) return s;
    if (addCheck) expanded.push_back(Code39Check(expanded));
    const std::string sequence = "*" + expanded + "*";
    const std::string_view set(kCode39Set);
    float x = 10 * module;
    for (size_t i = 0; i < sequence.size(); ++i) {
        if (i > 0) x += module;  // the gap between characters
        for (const char* e = kCode39[set.find(sequence[i])]; *e != '\0'; ++e) {
            const float width = (*e == 'B' || *e == 'W') ? 3 * module : module;
            if (*e == 'b' || *e == 'B') s.bars.push_back({x, 0, width, barHeight});
            x += width;
        }
    }
    s.extent = x + 9 * module;
    s.stroked = true;
    return s;
}

Symbol Interleaved(std::string_view code, bool addCheck, float module, float barHeight) {
    Symbol s;
    if (!AllDigits(code)) return s;
    std::string digits(code);
    if (addCheck) digits.push_back(WeightedCheck(digits));
    if (digits.size() % 2 != 0) digits = "0" + digits;
    std::string elements = "nnnn";
    for (size_t i = 0; i < digits.size(); i += 2) {
        for (int k = 0; k < 5; ++k) {
            elements.push_back(kInterleaved[digits[i] - '0'][k]);
            elements.push_back(kInterleaved[digits[i + 1] - '0'][k]);
        }
    }
    elements += "wnnn";
    float x = 5 * module;
    for (size_t i = 0; i < elements.size(); ++i) {
        const float width = elements[i] == 'w' ? 3 * module : module;
        if (i % 2 == 0) s.bars.push_back({x, 0, width, barHeight});
        x += width;
    }
    s.extent = x + 5 * module;
    return s;
}

Symbol Postnet(std::string_view code, float zoom) {
    Symbol s;
    if (code.size() < 5 || !AllDigits(code.substr(0, 5))) return s;
    std::string digits(code.substr(0, 5));
    if (code.size() == 10) {  // ZIP+4 with a separator in position 6
        if (!AllDigits(code.substr(6))) return s;
        digits += code.substr(6);
    }
    digits.push_back(SumCheck(digits));
    std::string bars = "1";
    for (char d : digits) bars += kPostnet[d - '0'];
    bars += "1";
    const float width = zoom * 1.44f, pitch = zoom * 3.6f, full = zoom * 9.0f, half = zoom * 3.6f;
    for (size_t i = 0; i < bars.size(); ++i) {
        const float x = 5 * width + static_cast<float>(i) * pitch;
        if (bars[i] == '1')
            s.bars.push_back({x, 0, width, full});
        else
            s.bars.push_back({x, full - half, width, half});
    }
    s.extent = 5 * width + static_cast<float>(bars.size() - 1) * pitch + width + 5 * width;
    return s;
}

Symbol Code128(std::string_view code, float module, float barHeight) {
    Symbol s;
    const std::vector<int> symbols = Code128Symbols(code);
    if (symbols.empty()) return s;
    std::string modules;
    for (int value : symbols) modules += Code128Pattern(value);
    AddModules(s, modules, 10 * module, module, barHeight, true);
    s.extent = static_cast<float>(10 + modules.size() + 9) * module;
    return s;
}

}  // namespace

float QuillPdf::Impl::DrawBarCode(int32_t BarCodeType, const std::string& Code, const float& X, const float& Y,
                                  bool ShowCode, float ZoomFactor, float Height, bool AddCheck) {
    if (BarCodeType < 0 || BarCodeType > 5 || !std::isfinite(X) || !std::isfinite(Y)) return 0;
    const float zoom = ZoomFactor >= 0.8f ? std::min(ZoomFactor, 2.0f) : 0.8f;
    const bool ean = BarCodeType == 0 || BarCodeType == 5;
    const float module = zoom * (ean ? 0.936f : 0.72f);
    const float textHeight = ShowCode ? zoom * 4.68f : 0;
    float barHeight = zoom * (BarCodeType == 0 ? 64.8f : BarCodeType == 5 ? 48.96f : 14.4f);
    if (Height != 0 && std::isfinite(Height)) barHeight = Height * scale_ - textHeight;
    if (!(barHeight > 0)) barHeight = module;

    Symbol symbol;
    float textY = barHeight + 1.6f * textHeight;
    switch (BarCodeType) {
    case 0: symbol = Ean(Code, true, module, barHeight, textHeight); break;
    case 1: symbol = Code39(Code, AddCheck, module, barHeight); break;
    case 2: symbol = Interleaved(Code, AddCheck, module, barHeight); break;
    case 3:
        symbol = Postnet(Code, zoom);
        textY = zoom * 14.4f + textHeight;
        break;
    case 4: symbol = Code128(Code, module, barHeight); break;
    default: symbol = Ean(Code, false, module, barHeight, textHeight); break;
    }
    if (symbol.extent <= 0) return 0;
    if (symbol.labels.empty()) symbol.labels.push_back({symbol.extent / 2, Code, 4});

    // Lengths are worked out in points and handed over in user units, so the
    // content written is in points again.
    auto user = [this](float points) { return points / scale_; };
    if (std::string* out = ContentTarget()) {
        if (symbol.stroked) out->append("q\r0 J [] 0 d\r");
        float lineWidth = -1;
        for (const Bar& bar : symbol.bars) {
            if (symbol.stroked) {
                // Stroked bars: the line width is the bar's width, the line runs down its middle.
                if (bar.width != lineWidth) {
                    lineWidth = bar.width;
                    AppendScaled(*out, user(bar.width));
                    out->append(" w\r");
                }
                const float x = X + user(bar.x + bar.width / 2);
                AppendScaled(*out, x);
                out->push_back(' ');
                AppendScaled(*out, Y);
                out->append(" m ");
                AppendScaled(*out, x);
                out->push_back(' ');
                AppendScaled(*out, Y + user(bar.height));
                out->append(" l S\r");
                continue;
            }
            AppendScaled(*out, X + user(bar.x));
            out->push_back(' ');
            AppendScaled(*out, Y + user(bar.y));
            out->push_back(' ');
            AppendScaled(*out, user(bar.width));
            out->push_back(' ');
            AppendScaled(*out, user(bar.height));
            out->append(" re f*\r");
        }
        if (symbol.stroked) out->append("Q\r");
    }

    float bottom = 0;
    for (const Bar& bar : symbol.bars) bottom = std::max(bottom, bar.y + bar.height);
    if (ShowCode) {
        // The text must not change the caller's font, colours, line width or
        // current point: all are put back afterwards.
        const SavedState saved = SaveState();

        const float fontSize = zoom * 10.08f;
        SetFont("CourierNew", fontSize, 0, 0);
        for (const Label& label : symbol.labels) DrawText(X + user(label.x), Y + user(textY), label.text, label.align);
        bottom = std::max(bottom, textY + 0.3f * fontSize);

        RestoreState(saved);
    }
    NoteDrawnArea(X * scale_, Y * scale_, X * scale_ + symbol.extent, Y * scale_ + bottom);
    return user(symbol.extent);
}

}  // namespace quill
