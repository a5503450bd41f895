// Pages of QuillPdf: page geometry (scale, paper, margins), views,
// transitions and labels, and the page life cycle with the page dictionary
// and content stream.
#include <algorithm>
#include <cmath>

#include "pdf/PdfFormat.h"
#include "pdf/QuillPdfImpl.h"

namespace quill {

namespace {

struct PaperSize {
    float width, height;
};

// Indexes -8 to 17: A0..A7 portrait and landscape, then Letter, Tabloid,
// Legal, Statement and Executive.
constexpr PaperSize kPaperSizes[] = {{2384, 3371}, {3371, 2384}, {1685, 2384}, {2384, 1685}, {1192, 1685}, {1685, 1192},
                                     {842, 1192},  {1192, 842},  {596, 842},   {842, 596},   {421, 596},   {596, 421},
                                     {298, 421},   {421, 298},   {210, 298},   {298, 210},   {612, 792},   {792, 612},
                                     {792, 1224},  {1224, 792},  {612, 1008},  {1008, 612},  {396, 612},   {612, 396},
                                     {522, 756},   {756, 522}};

constexpr const char* kTransitionStyles[] = {"",
                                             "/S /Split /Dm /H /M /I >> ",
                                             "/S /Split /Dm /V /M /I >> ",
                                             "/S /Split /Dm /H /M /O >> ",
                                             "/S /Split /Dm /V /M /O >> ",
                                             "/S /Wipe /Di 180 >> ",
                                             "/S /Wipe /Di 0 >> ",
                                             "/S /Wipe /Di 270 >> ",
                                             "/S /Wipe /Di 90 >> ",
                                             "/S /Box /M /I >> ",
                                             "/S /Box /M /O >> ",
                                             "/S /Blinds /Dm /H >> ",
                                             "/S /Blinds /Dm /V >> ",
                                             "/S /Dissolve >> ",
                                             "/S /Glitter /Di 0 >> ",
                                             "/S /Glitter /Di 270 >> ",
                                             "/S /Glitter /Di 315 >> ",
                                             "/S /R >> "};

bool Usable(float v) { return std::isfinite(v); }

}  // namespace

void QuillPdf::Impl::SetScale(int32_t scaleMode, float userFactor) {
    switch (scaleMode) {
    case 0: scale_ = 1; break;
    case 1: scale_ = 72; break;
    case 2: scale_ = 2.8346455f; break;
    case 3: scale_ = 28.346457f; break;
    case 255:
        if (Usable(userFactor) && userFactor > 0) scale_ = userFactor;
        break;
    default: break;
    }
}

void QuillPdf::Impl::SetPaperSize(int32_t index, float width, float height) {
    if (index == 255) {
        if (!Usable(width) || !Usable(height) || width <= 0 || height <= 0) return;
        const float w = width * scale_, h = height * scale_;
        if (!Usable(w) || !Usable(h) || w > 1e6f || h > 1e6f) return;
        paperWidth_ = w;
        paperHeight_ = h;
    } else if (index >= -8 && index <= 17) {
        paperWidth_ = kPaperSizes[index + 8].width;
        paperHeight_ = kPaperSizes[index + 8].height;
    }
}

void QuillPdf::Impl::SetMargins(float left, float right, float top, float bottom, int16_t clip) {
    for (float v : {left, right, top, bottom}) {
        if (!Usable(v) || v < 0) return;
    }
    marginLeft_ = left * scale_;
    marginRight_ = right * scale_;
    marginTop_ = top * scale_;
    marginBottom_ = bottom * scale_;
    clip_ = clip;
}

void QuillPdf::Impl::SetPageView(int32_t view) {
    if (view < 0 || view > 3) return;
    if (pageOpen_)
        currentView_ = view;
    else
        defaultView_ = view;
}

void QuillPdf::Impl::SetPageTransition(int32_t transition, float showTime, float transTime) {
    if (transition < 0 || transition > 17) return;
    if (!Usable(showTime) || !Usable(transTime) || showTime < 0 || transTime < 0) return;
    std::string text;
    if (transition != 0) {
        text = "<< /Type /Trans /D ";
        AppendNumber(text, transTime);
        text += ' ';
        text += kTransitionStyles[transition];
    }
    const float duration = transition != 0 ? showTime : 0;
    if (pageOpen_) {
        currentTransition_ = text;
        currentDuration_ = duration;
    } else {
        defaultTransition_ = text;
        defaultDuration_ = duration;
    }
}

void QuillPdf::Impl::SetLabel(int32_t style, const std::string& prefix, int16_t firstValue) {
    if (style < 1 || style > 5) return;
    if (firstValue != -1 && firstValue < 1) return;
    LabelRange range;
    range.pageIndex = pageOpen_ ? pageCount_ - 1 : pageCount_;
    range.style = style;
    range.prefix = prefix;
    range.firstValue = firstValue;
    // One range per starting page, kept in page order as the number tree needs.
    auto it = std::lower_bound(pageLabels_.begin(), pageLabels_.end(), range.pageIndex,
                               [](const LabelRange& r, int32_t index) { return r.pageIndex < index; });
    if (it != pageLabels_.end() && it->pageIndex == range.pageIndex)
        *it = std::move(range);
    else
        pageLabels_.insert(it, std::move(range));
}

float QuillPdf::Impl::GetPageWidth(bool insideMargins) const {
    const float w = insideMargins ? paperWidth_ - marginLeft_ - marginRight_ : paperWidth_;
    return w / scale_;
}

float QuillPdf::Impl::GetPageHeight(bool insideMargins) const {
    const float h = insideMargins ? paperHeight_ - marginTop_ - marginBottom_ : paperHeight_;
    return h / scale_;
}

void QuillPdf::Impl::SetXY(float x, float y) {
    if (!Usable(x) || !Usable(y)) return;
    graphics_.x = x * scale_;
    graphics_.y = y * scale_;
}

void QuillPdf::Impl::MoveTo(float x, float y) {
    if (!Usable(x) || !Usable(y)) return;
    if (std::string* out = ContentTarget()) {
        AppendScaled(*out, x);
        out->push_back(' ');
        AppendScaled(*out, y);
        out->append(" m\r");
    }
    SetXY(x, y);
}

float QuillPdf::Impl::GetX() const { return graphics_.x / scale_; }
float QuillPdf::Impl::GetY() const { return graphics_.y / scale_; }

std::string* QuillPdf::Impl::ContentTarget() { return pageOpen_ ? &content_ : nullptr; }

void QuillPdf::Impl::AppendContentLine(std::string_view text) {
    if (std::string* out = ContentTarget()) {
        out->append(text);
        out->push_back('\r');
    }
}

void QuillPdf::Impl::AppendScaled(std::string& out, float value) const {
    AppendNumber(out, static_cast<double>(value * scale_));
}

int32_t QuillPdf::Impl::BeginPage() {
    if (pageOpen_) EndPage();
    ++pageCount_;
    if (static_cast<size_t>(pageCount_) >= pageObjects_.size()) {
        const size_t n = static_cast<size_t>(pageCount_);
        const size_t bound =
            memoryUsage_ <= 1 ? n + 10 : n + 10 + static_cast<size_t>(std::lround(memoryUsage_ * n / 5.0));
        pageObjects_.resize(std::max(bound, pageObjects_.size() * 3 / 2), 0);
    }
    annotations_.clear();
    content_.clear();
    drawn_ = false;  // links need something drawn on this page
    pageOpen_ = true;
    pageWidth_ = paperWidth_;
    pageHeight_ = paperHeight_;
    pageLeft_ = marginLeft_;
    pageRight_ = marginRight_;
    pageTop_ = marginTop_;
    pageBottom_ = marginBottom_;
    pageClip_ = clip_;
    // The content opens with the flip, which maps the top-left origin inside the margins, Y downwards,
    // onto the page; the page's geometry is fixed from here on.
    content_ += "1 0 0 -1 ";
    AppendNumber(content_, pageLeft_);
    content_ += ' ';
    AppendNumber(content_, pageHeight_ - pageTop_);
    content_ += " cm \r";
    if (pageClip_ != 0) {
        content_ += "0 0 ";
        AppendNumber(content_, pageWidth_ - pageRight_ - pageLeft_);
        content_ += ' ';
        AppendNumber(content_, pageHeight_ - pageBottom_ - pageTop_);
        content_ += " re W n\r";
    }
    SetColorFill("Black");
    SetColorLine("Black");
    SetColorText("Black");
    currentView_ = defaultView_;
    text_.charSpacing = text_.wordSpacing = 0;
    text_.horizontalScaling = 100;
    text_.lineSpacing = 1;
    currentTransition_ = defaultTransition_;
    currentDuration_ = defaultDuration_;
    graphics_.x = graphics_.y = 0;
    return pageCount_;
}

void QuillPdf::Impl::EndPage() {
    if (!pageOpen_) return;
    pageOpen_ = false;

    uint32_t pageObject = 0;
    StartIndirectObject(pageObject);
    pageObjects_[static_cast<size_t>(pageCount_)] = pageObject;

    std::string dict = "<< /Type /Page /Parent 1 0 R /Contents ";
    AppendInteger(dict, pageObject + 1);
    dict += " 0 R\r";
    switch (currentView_) {
    case 1: dict += "/Rotate 270\r"; break;
    case 2: dict += "/Rotate 180\r"; break;
    case 3: dict += "/Rotate 90\r"; break;
    default: break;
    }
    std::string box = "[0 0 ";
    AppendNumber(box, pageWidth_);
    box += ' ';
    AppendNumber(box, pageHeight_);
    box += "]\r";
    dict += "/MediaBox " + box + "/CropBox " + box + "/BleedBox " + box;
    if (!annotations_.empty()) {
        dict += "/Annots ";
        AppendInteger(dict, pageObject + 2);
        dict += " 0 R";
    }
    dict += "/Resources 2 0 R";
    if (!currentTransition_.empty()) {
        dict += "\r/Dur ";
        AppendNumber(dict, currentDuration_);
        dict += " /Trans ";
        dict += currentTransition_;
    }
    dict += ">>";
    WriteLine(dict);
    EndIndirectObject();

    AppendInteger(kids_, pageObject);
    kids_ += " 0 R ";

    uint32_t contentObject = 0;
    StartIndirectObject(contentObject);
    WriteLine("<<");
    WriteStream(content_, contentObject);
    EndIndirectObject();

    if (!annotations_.empty()) {
        uint32_t annotsObject = 0;
        StartIndirectObject(annotsObject);
        WriteLine("[ " + annotations_ + " ]");
        EndIndirectObject();
    }
}

}  // namespace quill
