#pragma once
// A small payroll suite for the list tests, written through the archive layer into a temporary root:
// the catalogue SLBASE.DAT, the companies (archive 1), the employees (archive 2), the extraction
// (archive 5) and its header (archive 6), the employee index (archive 7) and the FIS record
// (archive 19, read when a PDF document is set up). Each employee is given as field code -> value
// as the payroll office types it ("2000.00", dates DDMMYYYY), written with RepoW.
//
// CaptureSink records everything a list sends to its sink, and Document() renders it one event a
// line: "Y|text|" for a written text (Y in centimetres with two decimals, the text between bars so
// that trailing blanks show), "== ..." for the other sink operations.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/ArchiveContext.h"
#include "archive/IndexBuilder.h"
#include "lists/ListEngine.h"
#include "lists/ListLayout.h"
#include "lists/Lists.h"
#include "lists/ReportSink.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace kvtest::lists {

// The descriptors of the fields the fixture writes, as the suite's record layouts give them.
inline const std::map<std::string, std::string>& FieldTable() {
    static const std::map<std::string, std::string> table = {
        {"T001", "DITX$,00003,03,N,0,T001"}, {"T002", "DITX$,00006,30,A,0,T002"},
        {"T003", "DITX$,01451,10,A,0,T003"}, {"T364", "DITX$,02483,10,A,0,T364"},
        {"T404", "DITX$,00651,01,N,0,T404"}, {"F357", "FISX$,00983,10,A,0,F357"},
        {"P001", "DIPX$,00003,10,A,0,P001"}, {"P359", "DIPX$,00001,02,N,1,P359"},
        {"P054", "DIPX$,00223,01,N,0,P054"}, {"P598", "DIPX$,10060,01,N,0,P598"},
        {"P188", "DIPX$,00208,01,N,0,P188"}, {"P117", "DIPX$,00274,01,N,0,P117"},
        {"P511", "DIPX$,00716,01,N,0,P511"}, {"P177", "DIPX$,00009,04,N,1,P177"},
        {"P002", "DIPX$,09515,30,A,0,P002"}, {"P003", "DIPX$,09545,30,A,0,P003"},
        {"P916", "DIPX$,13826,01,A,0,P916"}, {"P013", "DIPX$,04209,08,D,0,P013"},
        {"P939", "DIPX$,14034,08,D,0,P939"}, {"P620", "DIPX$,10364,05,2,0,P620"},
        {"P083", "DIPX$,00278,01,N,0,P083"}, {"P260", "DIPX$,01941,10,2,1,P260"},
        {"P606", "DIPX$,10235,08,2,0,P606"}, {"P240", "DIPX$,01651,10,2,1,P240"},
        {"P268", "DIPX$,04959,10,2,1,P268"}, {"Q201", "DIPX$,00977,08,2,0,Q201"},
        {"P600", "DIPX$,10067,08,2,0,P600"}, {"P604", "DIPX$,10219,08,2,0,P604"},
        {"P599", "DIPX$,10061,06,D,0,P599"}, {"Q179", "DIPX$,04375,08,D,0,Q179"},
        {"Q688", "DIPX$,10091,08,2,0,Q688"}, {"Q689", "DIPX$,10099,08,2,0,Q689"},
        {"Q691", "DIPX$,10115,08,2,0,Q691"}, {"Q236", "DIPX$,02021,10,2,0,Q236"},
        {"Q037", "DIPX$,01001,09,2,0,Q037"}, {"Q001", "DIPX$,01010,09,2,0,Q001"},
        {"P602", "DIPX$,10203,08,2,0,P602"}, {"P603", "DIPX$,10211,08,2,0,P603"},
    };
    return table;
}

using Fields = std::map<std::string, std::string>;

class CaptureSink : public kv::lists::ReportSink {
public:
    struct Write {
        double y, x;
        std::string text;
    };

    explicit CaptureSink(bool pdf, bool ready = true) : pdf_(pdf), ready_(ready) {}

    bool BeginList(const kv::lists::ListLayout& layout) override {
        char size[32];
        const auto end = std::to_chars(size, size + sizeof size, layout.fontSize).ptr;
        events_.push_back("== begin list " + layout.pdfPrefix + " " + std::string(size, end) + "pt");
        return ready_;
    }
    void BeginPageHeader(const kv::lists::ListLayout&) override { events_.push_back("== page header"); }
    void NewPage() override { events_.push_back("== new page"); }
    void WriteText(double y, double x, const std::string& text) override {
        writes_.push_back({y, x, text});
        events_.push_back(Cm(y) + (x == 0.5 ? "" : "@x=" + Cm(x)) + "|" + text + "|");
    }
    bool IsPdf() const override { return pdf_; }

    std::string Document() const {
        std::string doc;
        for (const std::string& e : events_) doc += e + "\n";
        return doc;
    }
    const std::vector<Write>& writes() const { return writes_; }
    const std::vector<std::string>& events() const { return events_; }

    // Two decimals, or six when the value is not a whole number of hundredths (a drifting Y shows).
    // Never in the process locale's format.
    static std::string Cm(double v) {
        char buf[64];
        const bool exact = std::fabs(v * 100 - std::round(v * 100)) < 1e-6;
        const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, exact ? 2 : 6).ptr;
        return std::string(buf, end);
    }
    static double Number(const std::string& text) {
        double v = 0;
        std::from_chars(text.data(), text.data() + text.size(), v);
        return v;
    }

private:
    bool pdf_;
    bool ready_;
    std::vector<Write> writes_;
    std::vector<std::string> events_;
};

// A unique temporary folder, removed with the object.
class ScratchRoot {
public:
    ScratchRoot() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kvlistsXXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~ScratchRoot() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchRoot(const ScratchRoot&) = delete;
    ScratchRoot& operator=(const ScratchRoot&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

class ListSuite {
public:
    static constexpr const char* kFolder = "C:\\KVS\\ARCHIVI";
    static constexpr int kCompanyLength = 2500;
    static constexpr int kEmployeeLength = 14100;
    static constexpr int kExtractionLength = 200;
    static constexpr int kHeaderLength = 30;
    static constexpr int kIndexLength = (10 + 7) * 128;
    static constexpr int kFisLength = 1000;

    ListSuite() {
        std::filesystem::create_directories(root_.path() / "C" / "KVS" / "ARCHIVI");
        ctx_ = std::make_unique<kv::ArchiveContext>(messages_, kv::platform::PathMap(root_.path()), registry_);
        ctx_->settings().archiveFolder = kFolder;
        WriteCatalogue();
    }

    kv::ArchiveContext& ctx() { return *ctx_; }
    kv::ArchiveFiles& files() { return ctx_->files(); }
    kv::FieldRepository& repo() { return ctx_->repository(); }
    kv::platform::ScriptedMessageBoxes& messages() { return messages_; }
    const std::filesystem::path& root() const { return root_.path(); }

    // The extraction header: date DDMMYYYY and the month-type character ('0' = additional month).
    void Header(const std::string& date, char monthType = '1') { header_ = date + monthType; }

    void Company(int code, const std::string& name, const std::string& t003 = "1234567890", bool t404 = false,
                 const std::string& ownerPassword = "") {
        companies_.push_back({code, {{"T001", Digits(code, 3)}, {"T002", name}, {"T003", t003},
                                     {"T404", t404 ? "1" : "0"}, {"T364", ownerPassword}}});
    }

    // An employee of `company` with number `number` (key: company, "000", number). P598 is "1" unless
    // the fields say otherwise. Returns the key.
    std::string Employee(int company, int number, const std::string& surname, const std::string& firstName,
                         Fields fields, bool inIndex = true) {
        const std::string key = Digits(company, 3) + "000" + Digits(number, 4);
        fields["P001"] = key;
        fields["P177"] = std::to_string(number);
        fields["P002"] = surname;
        fields["P003"] = firstName;
        if (!fields.count("P598")) fields["P598"] = "1";
        const int record = static_cast<int>(employees_.size()) + 1;
        employees_.push_back({key, record, std::move(fields), inIndex});
        extraction.push_back(Digits(company, 3) + Digits(record, 7));
        return key;
    }

    // ELENCOESTRAZIONE: company code + employee record number, in the order the employees were added
    // (tests may reorder it or add entries before Write).
    std::vector<std::string> extraction;

    void Write() {
        kv::ArchiveFiles& f = files();
        f.AZZERAARCHIVIO(1);
        for (const auto& c : companies_) f.SCRIVIREC(1, c.code, Record(kCompanyLength, c.fields));
        f.CHIUDI(1);

        f.AZZERAARCHIVIO(2);
        for (const auto& e : employees_) f.SCRIVIREC(2, e.record, Record(kEmployeeLength, e.fields));
        f.CHIUDI(2);

        f.AZZERAARCHIVIO(5);
        for (size_t i = 0; i * 20 < extraction.size(); ++i) {
            std::string rec;
            for (size_t j = i * 20; j < extraction.size() && j < i * 20 + 20; ++j) rec += extraction[j];
            rec.resize(kExtractionLength, ' ');
            f.SCRIVIREC(5, static_cast<double>(i + 1), rec);
        }
        f.CHIUDI(5);

        f.AZZERAARCHIVIO(6);
        std::string header = header_;
        header.resize(kHeaderLength, ' ');
        f.SCRIVIREC(6, 1, header);
        f.CHIUDI(6);

        std::vector<kv::IndexBuilder::Entry> keys;
        for (const auto& e : employees_)
            if (e.inIndex) keys.push_back({e.key, e.record});
        std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.key < b.key; });
        const kv::IndexBuilder builder(10, 128);
        const std::string pages = builder.Build(keys);
        f.AZZERAARCHIVIO(7);
        for (size_t at = 0, page = 1; at < pages.size(); at += kIndexLength, ++page)
            f.SCRIVIREC(7, static_cast<double>(page), pages.substr(at, kIndexLength));
        f.CHIUDI(7);

        f.AZZERAARCHIVIO(19);
        f.SCRIVIREC(19, 1, Record(kFisLength, {{"F357", fisPassword}}));
        f.CHIUDI(19);

        for (double n : {1.0, 2.0, 5.0, 6.0, 7.0}) f.FAIOPEN(n);
        f.LEGGIREC(6, 1);
    }

    std::string fisPassword;  // F357, the password that opens the PDF files

    // Makes the company current (REC_DIT) and runs one list on the sink.
    void Run(kv::lists::ListKind kind, int company, kv::lists::ReportSink& sink, char decimalSeparator = '.') {
        files().LEGGIREC(1, company);
        repo().REC_DIT() = files().buffer(1);
        kv::lists::ListEnvironment env{files(), repo(), ctx_->keys(), extraction, Digits(company, 3),
                                       static_cast<int16_t>(kind == kv::lists::ListKind::TF14 ? 1 : 0),
                                       decimalSeparator};
        auto procedure = kv::lists::MakeList(kind);
        kv::lists::ListRun(env, sink, *procedure).Run();
    }

    // The document of one list on a capturing sink.
    std::string Document(kv::lists::ListKind kind, int company, bool pdf, char decimalSeparator = '.') {
        CaptureSink sink(pdf);
        Run(kind, company, sink, decimalSeparator);
        return sink.Document();
    }

    static std::string Digits(int v, int n) {
        std::string s = std::to_string(v);
        return s.size() >= static_cast<size_t>(n) ? s : std::string(static_cast<size_t>(n) - s.size(), '0') + s;
    }

    // A record of `length` blanks with the fields written through the repository.
    std::string Record(int length, const Fields& fields) {
        std::string record(static_cast<size_t>(length), ' ');
        for (const auto& [code, value] : fields) {
            auto it = FieldTable().find(code);
            if (it == FieldTable().end()) throw std::logic_error("no descriptor for " + code);
            if (value.empty()) continue;
            std::string v = value;
            repo().RepoW(it->second, v, 0, &record);
        }
        return record;
    }

private:
    struct CompanyRecord {
        int code;
        Fields fields;
    };
    struct EmployeeRecord {
        std::string key;
        int record;
        Fields fields;
        bool inIndex;
    };

    void WriteCatalogue() {
        auto entry = [](const std::string& pattern, int length) {
            std::string r = "   " + pattern;
            r.resize(32, ' ');
            r += Digits(length, 5);
            r.resize(79, ' ');
            return r;
        };
        std::map<int, std::string> entries = {
            {1, entry("DITTE.DAT", kCompanyLength)},      {2, entry("DIPEND.DAT", kEmployeeLength)},
            {5, entry("ESTRAZ.DAT", kExtractionLength)},  {6, entry("TESTATA.DAT", kHeaderLength)},
            {7, entry("DIPIDX.DAT", kIndexLength)},       {19, entry("FISCO.DAT", kFisLength)},
        };
        std::string bytes;
        for (int n = 1; n <= 20; ++n) bytes += entries.count(n) ? entries[n] : std::string(79, ' ');
        const auto path = root_.path() / "C" / "KVS" / "ARCHIVI" / "SLBASE.DAT";
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) throw std::runtime_error("cannot write SLBASE.DAT");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

    ScratchRoot root_;
    kv::platform::ScriptedMessageBoxes messages_;
    kv::platform::MemoryRegistry registry_;
    std::unique_ptr<kv::ArchiveContext> ctx_;
    std::string header_ = "310320241";
    std::vector<CompanyRecord> companies_;
    std::vector<EmployeeRecord> employees_;
};

// A document with every Y moved: the header block's lines by `header`, the others by `body`
// (the printer's page starts 0.5 cm lower than the PDF's; after the header each list has its own
// printer and PDF positions).
inline std::string ShiftedDocument(const std::string& doc, int headerLines, double header, double body) {
    std::string out;
    size_t start = 0;
    int sinceHeader = 1000;
    while (start < doc.size()) {
        size_t end = doc.find('\n', start);
        std::string line = doc.substr(start, end - start);
        start = end + 1;
        if (line == "== page header") sinceHeader = 0;
        if (line.rfind("==", 0) != 0) {
            const size_t bar = line.find('|');
            const double y = CaptureSink::Number(line.substr(0, bar));
            const double shift = sinceHeader < headerLines ? header : body;
            ++sinceHeader;
            line = CaptureSink::Cm(y + shift) + line.substr(bar);
        }
        out += line + "\n";
    }
    return out;
}

}  // namespace kvtest::lists
