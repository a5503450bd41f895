#include "output/PdfSink.h"

#include "archive/SuiteFields.h"
#include "lists/ListCatalogue.h"
#include "lists/ListLayout.h"

namespace kv::output {

bool PdfSink::BeginList(const lists::ListInfo& list, const lists::ListLayout&) {
    files_.CREACARTELLEPDF(repo_.RepoR(fields::T001), "FDOTES", period_);
    files_.APRIPDF(std::string(list.filePrefix));
    return true;
}

void PdfSink::BeginPageHeader(const lists::ListLayout& layout) {
    files_.writer().SetFont("Courier New", static_cast<float>(layout.fontSize), quill::FontStyle::Regular);
}

void PdfSink::NewPage() { files_.writer().BeginPage(); }

void PdfSink::WriteText(double y, double x, const std::string& text) {
    quill::QuillPdf& pdf = files_.writer();
    pdf.SetScale(quill::Unit::Centimetres, 1.0f);
    pdf.DrawText(static_cast<float>(x), static_cast<float>(y), text, quill::Align::Left);
}

}  // namespace kv::output
