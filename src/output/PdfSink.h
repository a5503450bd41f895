#pragma once
// The lists written as PDF files: one document per company, set up by PdfListFiles.
#include <string>

#include "lists/ListLayout.h"
#include "lists/ReportSink.h"
#include "output/PdfListFiles.h"

namespace kv::output {

class PdfSink : public lists::ReportSink {
public:
    // period: the extraction period YYYYMM, naming the year and month folders.
    PdfSink(PdfListFiles& files, FieldRepository& repo, std::string period)
        : files_(files), repo_(repo), period_(std::move(period)) {}

    bool BeginList(const lists::ListInfo& list, const lists::ListLayout& layout) override;
    void BeginPageHeader(const lists::ListLayout& layout) override;
    void NewPage() override;
    void WriteText(double y, double x, const std::string& text) override;
    lists::Medium medium() const override { return lists::Medium::Pdf; }
    // Pages start 0.5 cm from the top.
    lists::PageGeometry Geometry(const lists::ListLayout& layout) const override {
        return {0.5, layout.yAfterHeaderPdf};
    }
    bool ProtectionDataMissing() const override { return files_.fiscalRecordMissing(); }

private:
    PdfListFiles& files_;
    FieldRepository& repo_;
    std::string period_;
};

}  // namespace kv::output
