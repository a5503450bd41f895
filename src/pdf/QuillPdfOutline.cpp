// Outline and links of QuillPdf: bookmarks (the outline tree under the entry
// that carries the document title), link annotations over the last thing
// drawn on a page, and the named destinations they jump to.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "pdf/PdfFormat.h"
#include "pdf/PdfName.h"
#include "pdf/QuillPdfImpl.h"

namespace quill {

namespace {

// Windows-1252 bytes 0x80..0x9F as PDFDocEncoding codes; blanks where
// Windows-1252 has no character.
constexpr unsigned char kPdfDoc80[32] = {0xA0, 0x20, 0x91, 0x86, 0x8C, 0x83, 0x81, 0x82, 0x1A, 0x8B, 0x97,
                                         0x88, 0x96, 0x20, 0x99, 0x20, 0x20, 0x8F, 0x90, 0x8D, 0x8E, 0x80,
                                         0x85, 0x84, 0x1F, 0x92, 0x9D, 0x89, 0x9C, 0x20, 0x9E, 0x98};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != prefix[i]) return false;
    }
    return true;
}

bool AllFinite(std::initializer_list<float> values) {
    return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

// A whole decimal number, or nothing.
bool ParseWhole(std::string_view text, int64_t& value) {
    if (text.empty() || text.size() > 12) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::string QuillPdf::Impl::PdfTextString(std::string_view text) {
    std::string bytes(text);
    for (char& c : bytes) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x80 && u <= 0x9F)
            c = static_cast<char>(kPdfDoc80[u - 0x80]);
        else if (u == 0xA0)
            c = ' ';
        else if (u == 0xAD)
            c = '-';
    }
    return PdfString(bytes);
}

void QuillPdf::Impl::NoteDrawnArea(float x1, float y1, float x2, float y2) {
    drawn_ = true;
    drawnX1_ = std::min(x1, x2);
    drawnX2_ = std::max(x1, x2);
    drawnY1_ = std::min(y1, y2);
    drawnY2_ = std::max(y1, y2);
}

std::string QuillPdf::Impl::ViewText(int32_t mode, float x, float y, float width, float height, float zoom) const {
    // Page space: the margin origin and the flipped Y of the page being drawn.
    const float left = pageOpen_ ? pageLeft_ : marginLeft_;
    const float top = (pageOpen_ ? pageHeight_ - pageTop_ : paperHeight_ - marginTop_);
    const double px = static_cast<double>(left) + static_cast<double>(x) * scale_;
    const double py = static_cast<double>(top) - static_cast<double>(y) * scale_;
    std::string view;
    switch (mode) {
    case 1:
        view = "/FitV ";
        AppendNumber(view, px);
        break;
    case 2:
        view = "/FitH ";
        AppendNumber(view, py);
        break;
    case 3:
        view = "/FitR ";
        AppendNumber(view, px);
        view.push_back(' ');
        AppendNumber(view, py - static_cast<double>(height) * scale_);
        view.push_back(' ');
        AppendNumber(view, px + static_cast<double>(width) * scale_);
        view.push_back(' ');
        AppendNumber(view, py);
        break;
    case 4:
        view = "/XYZ ";
        AppendNumber(view, px);
        view.push_back(' ');
        AppendNumber(view, py);
        view.push_back(' ');
        AppendNumber(view, zoom / 100.0);
        break;
    default: view = "/FitB"; break;
    }
    return view;
}

int32_t QuillPdf::Impl::AddBookmark(const std::string& title, int16_t level, int32_t viewMode, float x, float y,
                                    float width, float height, float zoom, const std::string& color, int32_t style) {
    if (!AllFinite({x, y, width, height, zoom})) return 0;
    int newLevel = 0;
    if (!bookmarks_.empty()) {
        const int previous = bookmarks_.back().level;
        if (level == -1)
            newLevel = previous + 1;
        else if (level <= 0)
            newLevel = previous;
        else
            newLevel = std::min<int>(level, previous + 1);
    }
    if (newLevel >= 255) return 0;
    Bookmark entry;
    entry.title = title;
    entry.level = newLevel;
    entry.page = std::max(pageCount_, 1);
    entry.view = ViewText(viewMode, x, y, width, height, zoom);
    if (!color.empty()) {
        // The colour is read by the text colour's parser, which writes nothing.
        const GraphicsState saved = graphics_;
        graphics_.textFillOp.clear();
        SetColorText(color);
        const std::string& fill = graphics_.textFillOp;
        if (fill.size() > 3 && fill.front() != '/' && fill.ends_with(" rg"))
            entry.color = fill.substr(0, fill.size() - 3);
        graphics_ = saved;
    }
    entry.style = style & 3;
    // Colour and style of outline entries came with PDF 1.4.
    if (!entry.color.empty() || entry.style != 0) RequireVersion(1);
    bookmarks_.push_back(std::move(entry));
    return static_cast<int32_t>(bookmarks_.size());
}

void QuillPdf::Impl::DefineRef(const std::string& name, int32_t viewMode, float x, float y, float width, float height,
                               float zoom) {
    if (name.empty() || !AllFinite({x, y, width, height, zoom})) return;
    NamedDest dest;
    dest.name = "_REF_";
    AppendPdfName(dest.name, name);
    dest.page = std::max(pageCount_, 1);
    dest.view = ViewText(viewMode, x, y, width, height, zoom);
    for (NamedDest& old : dests_) {
        if (old.name == dest.name) {
            old = std::move(dest);
            return;
        }
    }
    dests_.push_back(std::move(dest));
}

void QuillPdf::Impl::LinkTo(const std::string& target, int16_t border, int32_t highlight, int32_t viewMode, float x,
                            float y, float width, float height, float zoom) {
    if (!pageOpen_ || !drawn_ || !file_.IsOpen() || !AllFinite({x, y, width, height, zoom})) return;
    const std::string_view text(target);
    enum class Kind { Uri, File, Script, Ref, Dest } kind;
    std::string rest;
    NamedDest dest;
    if (StartsWithNoCase(text, "http:") || StartsWithNoCase(text, "https:") || StartsWithNoCase(text, "ftp:") ||
        StartsWithNoCase(text, "mailto:")) {
        kind = Kind::Uri;
    } else if (StartsWithNoCase(text, "file:")) {
        kind = Kind::File;
        rest = target.substr(5);
    } else if (StartsWithNoCase(text, "script:")) {
        kind = Kind::Script;
        rest = target.substr(7);
    } else if (StartsWithNoCase(text, "ref:")) {
        kind = Kind::Ref;
        rest = "_REF_";
        AppendPdfName(rest, text.substr(4));
    } else if (StartsWithNoCase(text, "bookmark:@")) {
        int64_t id = 0;
        if (!ParseWhole(text.substr(10), id) || id < 1 || id > static_cast<int64_t>(bookmarks_.size())) return;
        kind = Kind::Dest;
        dest.page = bookmarks_[static_cast<size_t>(id - 1)].page;
        dest.view = bookmarks_[static_cast<size_t>(id - 1)].view;
    } else if (StartsWithNoCase(text, "page:")) {
        std::string page(text.substr(5));
        for (char& c : page) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        int64_t number = 0;
        if (page == "FIRST")
            number = 1;
        else if (page == "LAST")
            number = INT32_MAX;  // whatever the page count turns out to be
        else if (page == "NEXT")
            number = pageCount_ + 1;
        else if (page == "PREV")
            number = pageCount_ - 1;
        else if (!page.empty() && (page[0] == '+' || page[0] == '-')) {
            if (!ParseWhole(std::string_view(page).substr(1), number)) return;
            number = pageCount_ + (page[0] == '+' ? number : -number);
        } else if (!ParseWhole(!page.empty() && page[0] == '#' ? std::string_view(page).substr(1) : page, number)) {
            return;
        }
        kind = Kind::Dest;
        dest.page = static_cast<int32_t>(std::clamp<int64_t>(number, INT32_MIN, INT32_MAX));
        dest.view = ViewText(viewMode, x, y, width, height, zoom);
    } else {
        return;
    }

    std::string action;
    if (kind == Kind::Script) {
        action = " /A << /S /JavaScript /JS ";
        AppendInteger(action, WriteScriptObject(rest));
        action += " 0 R >> ";
    } else if (kind == Kind::Ref) {
        action = " /Dest /" + rest;
    } else if (kind == Kind::Dest) {
        // Through a named destination: the target page may not be written yet.
        dest.name = "_LINK_" + std::to_string(++linkCount_);
        action = " /Dest /" + dest.name;
        dests_.push_back(std::move(dest));
    }

    uint32_t number = 0;
    StartIndirectObject(number);
    if (kind == Kind::Uri) action = " /A << /S /URI /URI " + PdfString(target) + " >> ";
    if (kind == Kind::File) action = " /A << /Type /Action /S /GoToR /F " + PdfString(rest) + " /D [0 /Fit] >> ";
    std::string annot = "<< /Type /Annot\r/Subtype /Link /Rect [";
    const double top = static_cast<double>(pageHeight_) - pageTop_;
    AppendNumber(annot, static_cast<double>(pageLeft_) + drawnX1_);
    annot.push_back(' ');
    AppendNumber(annot, top - drawnY2_);
    annot.push_back(' ');
    AppendNumber(annot, static_cast<double>(pageLeft_) + drawnX2_);
    annot.push_back(' ');
    AppendNumber(annot, top - drawnY1_);
    annot += "] /Border [ 0 0 ";
    AppendInteger(annot, std::max<int16_t>(border, 0));
    annot += "] ";
    static constexpr const char* kHighlight[] = {" /H /N", " /H /I", " /H /O", " /H /P"};
    annot += kHighlight[highlight >= 0 && highlight <= 3 ? highlight : 0];
    annot += action;
    annot += ">>";
    WriteLine(annot);
    EndIndirectObject();
    AppendInteger(annotations_, number);
    annotations_ += " 0 R ";
}

uint32_t QuillPdf::Impl::WriteOutline() {
    // Node 0 is the entry with the document title; bookmark k is node k + 1.
    const size_t count = bookmarks_.size() + 1;
    std::vector<size_t> parent(count, 0), first(count, 0), last(count, 0), prev(count, 0), next(count, 0),
        descendants(count, 0);
    std::vector<size_t> open = {0};  // the path from node 0 to the previous entry
    for (size_t k = 1; k < count; ++k) {
        open.resize(static_cast<size_t>(bookmarks_[k - 1].level) + 1);
        const size_t p = open.back();
        parent[k] = p;
        if (first[p] == 0)
            first[p] = k;
        else {
            prev[k] = last[p];
            next[last[p]] = k;
        }
        last[p] = k;
        for (size_t a : open) ++descendants[a];
        open.push_back(k);
    }
    const uint32_t root = highestObject_ + 1, base = root + 1;  // node i is object base + i
    auto ref = [&](std::string& out, const char* key, size_t node) {
        out += key;
        AppendInteger(out, base + node);
        out += " 0 R";
    };
    auto pageObject = [&](int32_t page) {
        return pageObjects_[static_cast<size_t>(std::clamp(page, 1, std::max(pageCount_, 1)))];
    };

    uint32_t number = root;
    StartIndirectObject(number);
    std::string text = "<< /Count ";
    AppendInteger(text, static_cast<int64_t>(count));
    ref(text, " /First ", 0);
    ref(text, " /Last ", 0);
    WriteLine(text + " >>");
    EndIndirectObject();

    for (size_t i = 0; i < count; ++i) {
        number = base + static_cast<uint32_t>(i);
        StartIndirectObject(number);
        const Bookmark* entry = i == 0 ? nullptr : &bookmarks_[i - 1];
        text = "<< /Title " + PdfTextString(entry ? entry->title : outlineRootTitle_);
        if (i == 0) {
            text += "\r/Parent ";
            AppendInteger(text, root);
            text += " 0 R";
        } else {
            ref(text, "\r/Parent ", parent[i]);
        }
        if (first[i] != 0) ref(text, "\r/First ", first[i]);
        if (last[i] != 0) ref(text, "\r/Last ", last[i]);
        if (prev[i] != 0) ref(text, "\r/Prev ", prev[i]);
        if (next[i] != 0) ref(text, "\r/Next ", next[i]);
        text += "\r/Count ";
        AppendInteger(text, static_cast<int64_t>(descendants[i]));
        text += "\r/Dest [";
        AppendInteger(text, pageObject(entry ? entry->page : 1));
        text += " 0 R ";
        text += entry ? entry->view : "/FitB";
        text += "]";
        if (entry && !entry->color.empty()) text += "\r/C [" + entry->color + "]";
        if (entry && entry->style != 0) {
            text += "\r/F ";
            AppendInteger(text, entry->style);
        }
        WriteLine(text + " >>");
        EndIndirectObject();
    }
    return root;
}

uint32_t QuillPdf::Impl::WriteNamedDests() {
    uint32_t number = 0;
    StartIndirectObject(number);
    WriteLine("<<");
    for (const NamedDest& dest : dests_) {
        // "page:" targets outside the document land on its first or last page.
        const int32_t page = std::clamp(dest.page, 1, std::max(pageCount_, 1));
        std::string line = "/" + dest.name + " [";
        AppendInteger(line, pageObjects_[static_cast<size_t>(page)]);
        line += " 0 R " + dest.view + "] ";
        WriteLine(line);
    }
    WriteLine(">>");
    EndIndirectObject();
    return number;
}

}  // namespace quill
