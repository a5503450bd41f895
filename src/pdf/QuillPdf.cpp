// The QuillPdf facade: every operation hands over to the writer behind it,
// the options as their numbers.
#include "pdf/QuillPdfImpl.h"

namespace quill {

namespace {

template <class E>
constexpr int32_t Number(E option) {
    return static_cast<int32_t>(option);
}

}  // namespace

QuillPdf::QuillPdf() : impl_(std::make_unique<Impl>()) {}
QuillPdf::~QuillPdf() = default;

std::string QuillPdf::Version() const { return kLibraryVersion; }

void QuillPdf::Abort() { impl_->Abort(); }
std::string QuillPdf::BeginDoc(const std::string& fileName) { return impl_->BeginDoc(fileName); }
void QuillPdf::EndDoc() { impl_->EndDoc(); }
int32_t QuillPdf::FileSize() const { return impl_->FileSize(); }
int32_t QuillPdf::ErrNumber() const { return impl_->ErrNumber(); }
std::string QuillPdf::ErrSource() const { return impl_->ErrSource(); }
std::string QuillPdf::ErrDescription() const { return impl_->ErrDescription(); }
void QuillPdf::SetDocProperty(const std::string& title, const std::string& subject, const std::string& author,
                              const std::string& creator, const std::string& producer, const std::string& keywords) {
    impl_->SetDocProperty(title, subject, author, creator, producer, keywords);
}
void QuillPdf::SetMemoryUsage(int16_t factor) { impl_->SetMemoryUsage(factor); }
void QuillPdf::SetViewerPreferences(Viewer mode) { impl_->SetViewerPreferences(Number(mode)); }
void QuillPdf::SetCompression(Filter mode, int quality) { impl_->SetCompression(Number(mode), quality); }
void QuillPdf::SetProtection(Permit mode, const std::string& owner, const std::string& user) {
    impl_->SetProtection(Number(mode), owner, user);
}
void QuillPdf::SetFileBusyHandler(std::function<bool()> handler) { impl_->SetFileBusyHandler(std::move(handler)); }
void QuillPdf::SetFixedCreationDate(const std::string& pdfDate) { impl_->SetFixedCreationDate(pdfDate); }
void QuillPdf::SetScale(Unit scaleMode, float userFactor) { impl_->SetScale(Number(scaleMode), userFactor); }
void QuillPdf::SetPaperSize(Paper paper, float width, float height) {
    impl_->SetPaperSize(Number(paper), width, height);
}
void QuillPdf::SetMargins(float left, float right, float top, float bottom, Clip clip) {
    impl_->SetMargins(left, right, top, bottom, Number(clip));
}
void QuillPdf::SetPageView(PageView view) { impl_->SetPageView(Number(view)); }
void QuillPdf::SetPageTransition(Transition transition, float showTime, float transTime) {
    impl_->SetPageTransition(Number(transition), showTime, transTime);
}
void QuillPdf::SetLabel(LabelStyle style, const std::string& prefix, int16_t firstValue) {
    impl_->SetLabel(Number(style), prefix, firstValue);
}
int32_t QuillPdf::BeginPage() { return impl_->BeginPage(); }
void QuillPdf::EndPage() { impl_->EndPage(); }
int32_t QuillPdf::GetPage() const { return impl_->GetPage(); }
float QuillPdf::GetPageWidth(bool insideMargins) const { return impl_->GetPageWidth(insideMargins); }
float QuillPdf::GetPageHeight(bool insideMargins) const { return impl_->GetPageHeight(insideMargins); }
void QuillPdf::SetXY(float x, float y) { impl_->SetXY(x, y); }
void QuillPdf::MoveTo(float x, float y) { impl_->MoveTo(x, y); }
float QuillPdf::GetX() const { return impl_->GetX(); }
float QuillPdf::GetY() const { return impl_->GetY(); }
void QuillPdf::DrawLine(float x1, float y1, float x2, float y2, Paint options) {
    impl_->DrawLine(x1, y1, x2, y2, Number(options));
}
void QuillPdf::DrawLineTo(float x, float y, Paint options) { impl_->DrawLineTo(x, y, Number(options)); }
void QuillPdf::DrawCurve(Curve curve, float x1, float y1, float x2, float y2, float x3, float y3, Paint options) {
    impl_->DrawCurve(Number(curve), x1, y1, x2, y2, x3, y3, Number(options));
}
void QuillPdf::DrawRect(float x, float y, float width, float height, Paint options, float radius, Corner corners) {
    impl_->DrawRect(x, y, width, height, Number(options), radius, Number(corners));
}
void QuillPdf::DrawEllipse(float x, float y, float rx, float ry, Paint options) {
    impl_->DrawEllipse(x, y, rx, ry, Number(options));
}
void QuillPdf::DrawCircle(float x, float y, float ray, Paint options) { impl_->DrawCircle(x, y, ray, Number(options)); }
void QuillPdf::DrawPolygon(float cx, float cy, float radius, int32_t sides, float startAngle, Paint options) {
    impl_->DrawPolygon(cx, cy, radius, sides, startAngle, Number(options));
}
void QuillPdf::DrawArc(float cx, float cy, float rx, float ry, float startAngle, float endAngle, float step,
                       Paint options, bool pie) {
    impl_->DrawArc(cx, cy, rx, ry, startAngle, endAngle, step, Number(options), pie);
}
void QuillPdf::DrawPolyline(const std::vector<float>& points, Paint options) {
    impl_->DrawPolyline(points, Number(options));
}
void QuillPdf::SetLineWidth(float width) { impl_->SetLineWidth(width); }
void QuillPdf::SetLineStyle(LineStyle style, float miterLimit) { impl_->SetLineStyle(Number(style), miterLimit); }
void QuillPdf::SetDash(const std::string& style, float phase) { impl_->SetDash(style, phase); }
void QuillPdf::SetColorLine(const std::string& color) { impl_->SetColorLine(color); }
void QuillPdf::SetColorFill(const std::string& color) { impl_->SetColorFill(color); }
void QuillPdf::SetColorText(const std::string& color) { impl_->SetColorText(color); }
void QuillPdf::SetAlpha(int16_t percent) { impl_->SetAlpha(percent); }
void QuillPdf::AxisTranslation(float translateX, float translateY) { impl_->AxisTranslation(translateX, translateY); }
void QuillPdf::AxisScaling(float scaleX, float scaleY) { impl_->AxisScaling(scaleX, scaleY); }
void QuillPdf::AxisRotation(float degrees) { impl_->AxisRotation(degrees); }
void QuillPdf::AxisSkewing(float angleA, float angleB) { impl_->AxisSkewing(angleA, angleB); }
void QuillPdf::BeginSpace(float newX, float newY, float scaleX, float scaleY, float angle) {
    impl_->BeginSpace(newX, newY, scaleX, scaleY, angle);
}
void QuillPdf::EndSpace() { impl_->EndSpace(); }
void QuillPdf::SetFont(const std::string& name, float size, FontStyle style, Encoding encoding) {
    impl_->SetFont(name, size, Number(style), Number(encoding));
}
void QuillPdf::SetFontSize(float points) { impl_->SetFontSize(points); }
void QuillPdf::SetCharSpacing(float points) { impl_->SetCharSpacing(points); }
void QuillPdf::SetWordSpacing(float points) { impl_->SetWordSpacing(points); }
void QuillPdf::SetTextHorizontalScaling(float percent) { impl_->SetTextHorizontalScaling(percent); }
void QuillPdf::SetTextMode(TextMode mode) { impl_->SetTextMode(Number(mode)); }
void QuillPdf::SetTextLineSpacing(float factor) { impl_->SetTextLineSpacing(factor); }
float QuillPdf::TextLength(std::string_view text) const { return impl_->TextLength(text); }
float QuillPdf::TextHeight() const { return impl_->TextHeight(); }
void QuillPdf::DrawText(float x, float y, std::string_view text, Align align) {
    impl_->DrawText(x, y, text, Number(align));
}
void QuillPdf::WriteText(std::string_view text, TextPosition position, float percent) {
    impl_->WriteText(text, Number(position), percent);
}
void QuillPdf::WriteTextLn(std::string_view text) { impl_->WriteTextLn(text); }
std::string QuillPdf::AddFont(const std::string& fileName, const std::string& fontName, bool embed, Encoding encoding) {
    return impl_->AddFont(fileName, fontName, embed, Number(encoding));
}
float QuillPdf::DrawBarCode(Barcode BarCodeType, const std::string& Code, const float& X, const float& Y, bool ShowCode,
                            float ZoomFactor, float Height, bool AddCheck) {
    return impl_->DrawBarCode(Number(BarCodeType), Code, X, Y, ShowCode, ZoomFactor, Height, AddCheck);
}
int32_t QuillPdf::AddBookmark(const std::string& title, int16_t level, View view, float x, float y, float width,
                              float height, float zoom, const std::string& color, OutlineStyle style) {
    return impl_->AddBookmark(title, level, Number(view), x, y, width, height, zoom, color, Number(style));
}
void QuillPdf::LinkTo(const std::string& target, int16_t border, Highlight highlight, View view, float x, float y,
                      float width, float height, float zoom) {
    impl_->LinkTo(target, border, Number(highlight), Number(view), x, y, width, height, zoom);
}
void QuillPdf::DefineRef(const std::string& name, View view, float x, float y, float width, float height, float zoom) {
    impl_->DefineRef(name, Number(view), x, y, width, height, zoom);
}
void QuillPdf::DrawImage(const std::string& fileName, float x, float y, float width, float height, int16_t transparency,
                         const std::string& transparentColor) {
    impl_->DrawImage(fileName, x, y, width, height, transparency, transparentColor);
}

}  // namespace quill
