#pragma once
// A small payroll suite for the list tests, laid out by the demo generator's writer under a temporary
// root: companies, employees (field code -> value as the payroll office types it, "2000.00", dates
// DDMMYYYY), the extraction header of the chosen month and the employee index.
//
// CaptureSink records what a list sends to its sink as a document, one event a line: "Y|text|" for a
// written text (Y in centimetres, the text between bars so that trailing blanks show), "== ..." for
// the other sink operations.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <sstream>

#include "../../tools/demo/SuiteWriter.h"
#include "archive/ArchiveContext.h"
#include "lists/ListCatalogue.h"
#include "lists/ListEngine.h"
#include "support/TestSupport.h"

namespace kvtest::lists {

using kv::lists::ListKind;

class CaptureSink : public kv::lists::ReportSink {
public:
    struct Write {
        double y;
        std::string text;
    };
    explicit CaptureSink(bool pdf, bool ready = true) : pdf_(pdf), ready_(ready) {}

    bool BeginList(const kv::lists::ListInfo& list, const kv::lists::ListLayout& layout) override {
        char size[16];
        document += "== begin list " + std::string(list.filePrefix) + " " +
            std::string(size, std::to_chars(size, size + sizeof size, layout.fontSize).ptr) + "pt\n";
        return ready_;
    }
    void BeginPageHeader(const kv::lists::ListLayout&) override { document += "== page header\n"; }
    void NewPage() override { document += "== new page\n"; }
    void WriteText(double y, double x, const std::string& text) override {
        writes.push_back({y, text});
        document += Cm(y) + (x == 0.5 ? "" : "@x=" + Cm(x)) + "|" + text + "|\n";
    }
    kv::lists::Medium medium() const override { return pdf_ ? kv::lists::Medium::Pdf : kv::lists::Medium::Paper; }
    kv::lists::PageGeometry Geometry(const kv::lists::ListLayout& layout) const override {
        return pdf_ ? kv::lists::PageGeometry{0.5, layout.yAfterHeaderPdf} : kv::lists::PageGeometry{1.0, layout.yAfterHeaderPrinter};
    }

    std::string document;
    std::vector<Write> writes;

    // Two decimals, or six when the value is not a whole number of hundredths (a drifting Y shows);
    // never in the process locale's format.
    static std::string Cm(double v) {
        char buf[64];
        const bool exact = std::fabs(v * 100 - std::round(v * 100)) < 1e-6;
        return std::string(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, exact ? 2 : 6).ptr);
    }

private:
    bool pdf_, ready_;
};

class ListSuite {
public:
    // The extraction of the last day of month/year; additional: month-type character "0".
    explicit ListSuite(int year = 2024, int month = 3, bool additional = false) {
        plan_.options = {root_.path, 4, 0, {year, month}, additional, 2018, {}};
        ctx_ = std::make_unique<kv::ArchiveContext>(messages_, kv::platform::PathMap(root_.path), registry_);
        ctx_->settings().archiveFolder = std::string(kv::demo::kArchiveFolder);
    }
    kv::ArchiveContext& ctx() { return *ctx_; }
    kv::ArchiveFiles& files() { return ctx_->files(); }
    kv::FieldRepository& repo() { return ctx_->repository(); }
    kv::platform::ScriptedMessageBoxes& messages() { return messages_; }

    void Company(int code, const std::string& name, const std::string& t003, bool t404 = false) {
        plan_.companies.push_back({code, name, t003, t404, "", {}});
    }

    // An employee (key: company, "000", number) with P598 "1" unless the fields say otherwise. The
    // fields: "P260=2000.00 P240=2000.00 ..." (a later value of a code wins).
    void Employee(int company, int number, const std::string& surname, const std::string& firstName,
                  const std::string& fields, bool inIndex = true) {
        kv::demo::PlannedEmployee e{company, number, kv::demo::EmployeeKey(company, number), surname, firstName, "", {}, !inIndex, static_cast<int>(plan_.employees.size()) + 1};
        auto values = Parse(fields);
        values.merge(std::map<std::string, std::string>{{"P001", e.key}, {"P177", std::to_string(number)}, {"P002", surname}, {"P003", firstName}, {"P598", "1"}});
        for (const auto& [code, value] : values) e.fields.push_back({code, value});
        extraction.push_back(kv::demo::ExtractionEntry(company, e.recordNumber));
        plan_.employees.push_back(std::move(e));
    }

    // ELENCOESTRAZIONE: company code + record number, in the order the employees were added.
    std::vector<std::string> extraction;

    void Write() {
        kv::platform::ScriptedMessageBoxes writerMessages;
        kv::demo::SuiteWriter(plan_, writerMessages).Write();
        ASSERT_TRUE(writerMessages.shown().empty());
        for (int n : {kv::archive::Companies, kv::archive::Employees, kv::archive::ExtractionHeader, kv::archive::EmployeeIndex})
            files().FAIOPEN(n);
    }

    kv::lists::ListEnvironment Environment(int company, ListKind list, char separator) {
        files().LEGGIREC(kv::archive::Companies, company);
        repo().REC_DIT() = files().buffer(kv::archive::Companies);
        return {files(), repo(), ctx_->keys(), extraction, kv::demo::ExtractionPeriod::Digits(company, 3), list,
                separator, nullptr};
    }

    // Makes the company current and runs one list on the sink.
    void Run(ListKind kind, int company, kv::lists::ReportSink& sink, char separator = '.') {
        kv::lists::ListEnvironment env = Environment(company, kind, separator);
        kv::lists::ListRun(env, sink).Run();
    }
    std::string Document(ListKind kind, int company, bool pdf) {
        CaptureSink sink(pdf);
        Run(kind, company, sink);
        return sink.document;
    }

    // An employee record of blanks with these fields, as the suite's layout places them.
    std::string Record(const std::string& fields) {
        std::string record(kv::demo::kEmployeeRecordLength, ' ');
        for (auto [code, value] : Parse(fields)) repo().RepoW(kv::demo::DescriptorOf(code).value(), value, 0, &record);
        return record;
    }

private:
    static std::map<std::string, std::string> Parse(const std::string& fields) {
        std::map<std::string, std::string> values;
        std::istringstream in(fields);
        for (std::string item; in >> item;) values[item.substr(0, 4)] = item.substr(5);
        return values;
    }

    kvtest::TempDir root_{"kvlists"};  // removed after the context that has its files open
    kv::demo::SuitePlan plan_;
    kv::platform::ScriptedMessageBoxes messages_;
    kv::platform::MemoryRegistry registry_;
    std::unique_ptr<kv::ArchiveContext> ctx_;
};

// A document with every Y moved: the lines of each header block (headerLines) by `header`, the others
// by `body` (the printer's page starts 0.5 cm lower than the PDF's; after the header each list has
// its own printer and PDF positions).
inline std::string ShiftedDocument(const std::string& doc, int headerLines, double header, double body) {
    std::string out;
    int sinceHeader = 1000;
    for (size_t start = 0, end; start < doc.size(); start = end + 1) {
        end = doc.find('\n', start);
        std::string line = doc.substr(start, end - start);
        if (line == "== page header") sinceHeader = 0;
        if (line.rfind("==", 0) != 0) {
            const size_t bar = line.find('|');
            double y = 0;
            std::from_chars(line.data(), line.data() + bar, y);
            line = CaptureSink::Cm(y + (sinceHeader++ < headerLines ? header : body)) + line.substr(bar);
        }
        out += line + "\n";
    }
    return out;
}

}  // namespace kvtest::lists
