// Randomly damaged archives, a fixed set of seeds: amounts, dates and codes of employee records
// overwritten with digits, signs, exponents, blanks, code-page and control bytes; now and then a
// company name full of path characters, a broken extraction date or an extraction entry pointing
// nowhere. Every list is then made as PDF for every company. Whatever the damage, a run ends either
// in a normal list or in the program's own error report, every PDF file it names is complete and
// valid, no PDF lands outside the FILE-PDF tree, and the archives keep every byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "archive/Errors.h"
#include "lists/Fields.h"
#include "lists/Lists.h"

namespace kv::app::test {
namespace {

namespace fs = std::filesystem;
using lists::ListKind;
namespace fields = lists::fields;

constexpr ListKind kEveryList[] = {ListKind::CF01, ListKind::CF02Arrears, ListKind::TF02, ListKind::TF02Arrears,
                                   ListKind::CF11, ListKind::Recoveries,  ListKind::TF14};

// The employee fields the lists read, apart from the index key: amounts, dates and codes.
const FieldDescriptor kDamageableFields[] = {
    // amounts
    fields::P620, fields::P260, fields::P606, fields::P240, fields::P268, fields::Q201, fields::P600, fields::P604,
    fields::Q688, fields::Q689, fields::Q691, fields::Q236, fields::Q037, fields::Q001, fields::P602, fields::P603,
    // dates
    fields::P013, fields::P939, fields::P599, fields::Q179,
    // codes
    fields::P359, fields::P054, fields::P598, fields::P188, fields::P117, fields::P511, fields::P177, fields::P083,
    fields::P916};

// The company name written 60 characters long: it runs over into the filler after T002.
constexpr FieldDescriptor kLongCompanyName = FieldDescriptor::Parse("DITX$,00006,60,A,0,T002");
// The date of the extraction header, DDMMYYYY, and the header's record length.
constexpr FieldDescriptor kHeaderDate = FieldDescriptor::Parse("XXXXX,00001,08,A,0,XXXX");
constexpr int kHeaderLength = 100;

const std::string kTaskNotice = "CHIUDERE TUTTE LE APPLICAZIONI DELLA TASK\rLANCIARE RIPRISTINO TASK";

std::string Printable(const std::string& bytes) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// Damage drawn from one seed. The raw output of mt19937 is the same with every standard library,
// so a seed names the same damage everywhere.
class Damage {
public:
    Damage(const DemoInstallation& suite, uint32_t seed) : suite_(suite), rnd_(seed) {}

    void Apply() {
        const int employeeFields = 1 + static_cast<int>(Below(12));
        for (int i = 0; i < employeeFields; ++i) DamageEmployee();
        if (Below(3) == 0) DamageCompanyName();
        if (Below(4) == 0) DamageHeaderDate();
        if (Below(3) == 0) DamageEntry();
    }

    // What was done, one line per patch, for the failure messages.
    std::string Log() const { return log_.str(); }

private:
    size_t Below(size_t n) { return static_cast<size_t>(rnd_()) % n; }

    // One byte of the damage alphabet.
    char Byte() {
        switch (Below(8)) {
        case 0: return static_cast<char>('0' + Below(10));
        case 1: return "-.,E+"[Below(5)];
        case 2: return ' ';
        case 3: return static_cast<char>(0x80 + Below(0x80));
        case 4: return static_cast<char>(252);
        case 5: return static_cast<char>(Below(0x20));  // control bytes, NUL among them
        case 6: return '\0';
        default: return static_cast<char>('0' + Below(10));
        }
    }

    std::string Bytes(size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i) s += Byte();
        return s;
    }

    std::string Digits(size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i) s += static_cast<char>('0' + Below(10));
        return s;
    }

    // A field value of length n: random bytes, or something that looks like a number and is not
    // quite one, or an exponent beyond any double, or one repeated byte.
    std::string Value(size_t n) {
        std::string v;
        switch (Below(6)) {
        case 0:
        case 1: v = Bytes(n); break;
        case 2: {  // a number with a sign, decimals and perhaps a comma or a stray byte
            if (Below(2)) v += "-+"[Below(2)];
            v += Digits(1 + Below(n));
            // One draw per statement: the order of the draws must not depend on the compiler.
            if (Below(2)) {
                v += ".,"[Below(2)];
                v += Digits(Below(4));
            }
            if (Below(3) == 0) {
                const size_t at = Below(v.size() + 1);
                v.insert(at, 1, Byte());
            }
            break;
        }
        case 3: {  // an exponent: huge, tiny or beyond the range of a double
            static const char* const exponents[] = {"E+308", "E+400", "E-400", "E+99999", "E-5", "E+15", "E+9"};
            v = Digits(1 + Below(2));
            if (Below(2)) v += "." + Digits(1);
            v += exponents[Below(7)];
            if (Below(3) == 0) v.insert(0, 1, '-');
            break;
        }
        case 4: v.assign(n, "0-.E+ \x00\xFC\x1A"[Below(9)]); break;
        default: v = std::string(n, ' ') + Digits(n); break;  // only the tail survives: all digits
        }
        // Left- or right-aligned in the field, cut to its length.
        if (v.size() < n) v = Below(2) ? v + std::string(n - v.size(), ' ') : std::string(n - v.size(), ' ') + v;
        return v.substr(v.size() - n);
    }

    void DamageEmployee() {
        const auto& employees = suite_.plan().employees;
        const demo::PlannedEmployee& e = employees[Below(employees.size())];
        const FieldDescriptor& field = kDamageableFields[Below(std::size(kDamageableFields))];
        const std::string bytes = Value(static_cast<size_t>(field.length));
        log_ << "employee " << e.company << "/" << e.number << " (record " << e.recordNumber << ") "
             << field.CodeView() << " = \"" << Printable(bytes) << "\"\n";
        suite_.PatchEmployee(e, field, bytes);
    }

    void DamageCompanyName() {
        const int company = 1 + static_cast<int>(Below(demo::kCatalogueCompanies));
        static const char* const names[] = {
            "A/R: B\\C*D?E\"F<G>H|I",
            "..",
            "../../../../ESCAPE",
            "..\\..\\..\\..\\ESCAPE",
            "C:\\WINDOWS\\SYSTEM32",
            "S.R.L.",
            "NOME.",
            "....",
            "CON",
        };
        std::string name;
        const FieldDescriptor* field = &fields::T002;
        switch (Below(6)) {
        case 0: name = names[Below(std::size(names))]; break;
        case 1: name = std::string("ALFA") + '\0' + "BETA" + Bytes(4); break;
        case 2:  // 60 characters that run past the 30 of the field
            field = &kLongCompanyName;
            for (int i = 0; i < 60; ++i) name += "AB/:.\\"[Below(6)];
            break;
        case 3: name = std::string(30, Below(2) ? '.' : '\0'); break;
        case 4: name = Bytes(30); break;
        default:
            for (int i = 0; i < 30; ++i) name += "/:.\\*?<>|\" A"[Below(12)];
            if (Below(2)) name.back() = '.';
            break;
        }
        name.resize(static_cast<size_t>(field->length), ' ');
        log_ << "company " << company << " T002 = \"" << Printable(name) << "\"\n";
        suite_.PatchCompany(company, *field, name);
    }

    void DamageHeaderDate() {
        std::string date = suite_.plan().options.period.Date();
        switch (Below(4)) {
        case 0:  // a few characters of the date
            for (size_t i = 0, n = 1 + Below(3); i < n; ++i) {
                const size_t at = Below(8);
                date[at] = Byte();
            }
            break;
        case 1: date = Bytes(8); break;
        case 2: {  // month and year that name folders of their own
            static const char* const dates[] = {"31..2018", "31....\\.", "31\\.\\..\\", "31/..\\..",
                                                "3103../.", "31.\\..\\.", "        "};
            date = dates[Below(std::size(dates))];
            break;
        }
        default:
            for (char& c : date) c = "./\\ 0"[Below(5)];
            break;
        }
        log_ << "header date = \"" << Printable(date) << "\"\n";
        suite_.PatchField("SLESTTES.DAT", kHeaderLength, 1, kHeaderDate, date);
    }

    void DamageEntry() {
        // A used entry of the extraction list, somewhere in the file.
        const std::string bytes = ReadFile(suite_.ArchiveFile("SLESTRAZ.DAT"));
        std::vector<size_t> used;
        for (size_t at = 0; at + 10 <= bytes.size(); at += 10) {
            const std::string entry = bytes.substr(at, 10);
            if (entry != demo::kEndOfEntries && entry.find_first_not_of(' ') != std::string::npos) used.push_back(at);
        }
        ASSERT_FALSE(used.empty());
        const size_t at = used[Below(used.size())];
        std::string number;
        switch (Below(5)) {
        case 0: number = "9999999"; break;
        case 1: number = "0000000"; break;
        case 2: number = std::string("1E+3") + Digits(3); break;
        case 3: number = Below(2) ? "-000001" : "00001.5"; break;
        default: number = Bytes(7); break;
        }
        const int record = static_cast<int>(at / demo::kExtractionRecordLength) + 1;
        const int offset = static_cast<int>(at % demo::kExtractionRecordLength);
        log_ << "extraction record " << record << " entry \"" << bytes.substr(at, 10) << "\" number = \""
             << Printable(number) << "\"\n";
        suite_.PatchField("SLESTRAZ.DAT", demo::kExtractionRecordLength, record,
                          FieldDescriptor::Parse("XXXXX," + std::string(5 - std::to_string(offset + 4).size(), '0') +
                                                 std::to_string(offset + 4) + ",07,A,0,XXXX"),
                          number);
    }

    const DemoInstallation& suite_;
    std::mt19937 rnd_;
    std::ostringstream log_;
};

// The last two messages are the central error handler's report and its closing notice.
void ExpectErrorHandlerReport(const std::vector<platform::Message>& shown) {
    ASSERT_GE(shown.size(), 2u);
    const platform::Message& report = shown[shown.size() - 2];
    const platform::Message& notice = shown.back();
    EXPECT_EQ(report.title, "KvsPaghe KVTESO");
    EXPECT_EQ(report.icon, platform::Icon::Critical);
    EXPECT_EQ(report.text.rfind("Errore ", 0), 0u) << Printable(report.text);
    EXPECT_EQ(notice.title, "KvsPaghe");
    EXPECT_EQ(notice.text, kTaskNotice);
}

// The run driver's own report of a run-time error.
void ExpectDriverReport(const std::vector<platform::Message>& shown) {
    ASSERT_FALSE(shown.empty());
    const platform::Message& m = shown.back();
    EXPECT_EQ(m.title, kWindowCaption);
    EXPECT_EQ(m.icon, platform::Icon::Critical);
    EXPECT_EQ(m.text.rfind("Errore N.", 0), 0u) << Printable(m.text);
    const std::string end = "\r\rNon e' possibile proseguire";
    EXPECT_TRUE(m.text.size() > end.size() && m.text.compare(m.text.size() - end.size(), end.size(), end) == 0)
        << Printable(m.text);
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool Under(const fs::path& file, const fs::path& folder) {
    const std::string f = file.lexically_normal().string();
    const std::string d = folder.lexically_normal().string() + "/";
    return f.rfind(d, 0) == 0;
}

// What one round produced.
struct RoundResult {
    std::vector<std::string> files;  // every file the outcomes named
    std::vector<std::string> events;  // per list: "TF14: 3 file(s)", "CF11: run-time error", ...
    bool ended = false;               // the program ended through the error handler
};

RoundResult RunEveryList(const DemoInstallation& suite) {
    RoundResult result;
    auto open = suite.Open();
    auto& messages = open->messages();
    // A fixed date makes the files of undamaged companies the same bytes in every round.
    (*open)->pdfFiles().SetFixedCreationDate("D:20180331120000");
    try {
        if (!(*open)->Start()) {
            result.events.push_back("no current extraction");  // the warning was shown
            return result;
        }
        const auto& lines = (*open)->companyLines();
        const std::vector<bool> all(lines.size(), true);
        for (ListKind list : kEveryList) {
            const size_t before = messages.shown().size();
            const RunDriver::Outcome outcome = (*open)->driver().CmdStampa_Click(0, list, lines, all);
            result.files.insert(result.files.end(), outcome.files.begin(), outcome.files.end());
            const std::string name = lists::ShortName(list);
            if (outcome.failed) {
                result.events.push_back(name + ": run-time error");
                ExpectDriverReport(messages.shown());
            } else {
                result.events.push_back(name + ": " + std::to_string(outcome.files.size()) + " file(s)");
                // A list that ran through showed no error on the way.
                for (size_t i = before; i < messages.shown().size(); ++i)
                    EXPECT_NE(messages.shown()[i].icon, platform::Icon::Critical)
                        << name << ": " << Printable(messages.shown()[i].text);
            }
        }
    } catch (const ProgramEnd&) {
        result.ended = true;
        result.events.push_back("program ended");
        ExpectErrorHandlerReport(messages.shown());
        (*open)->context().files().CHIUDI(0);  // as the top level does
    } catch (const std::exception& e) {
        ADD_FAILURE() << "escaped: " << e.what();
    } catch (...) {
        ADD_FAILURE() << "escaped: an unknown exception";
    }
    return result;
}

// The password that opens the PDF files of a company, from the file name's company code.
std::string PasswordFor(const DemoInstallation& suite, const fs::path& pdf) {
    const std::string name = pdf.filename().string();
    if (name.size() < 11) return {};
    const int code = std::atoi(name.substr(8, 3).c_str());
    for (const auto& c : suite.plan().companies)
        if (c.code == code && !c.ownerPassword.empty()) return std::string(demo::kDocumentPassword);
    return {};
}

// One round: the demo suite, the damage of one seed, every list as PDF for every company.
// valid: the bytes of the files qpdf already passed.
void DamageAndRun(uint32_t seed, std::set<std::string>& valid) {
    DemoInstallation suite;
    Damage damage(suite, seed);
    damage.Apply();
    SCOPED_TRACE("seed " + std::to_string(seed) + ", damage:\n" + damage.Log());
    const auto archivesBefore = HashTree(suite.ArchiveFolder());

    const RoundResult result = RunEveryList(suite);
    std::string events;
    for (const auto& e : result.events) events += e + "; ";
    SCOPED_TRACE("outcome: " + events);

    EXPECT_EQ(HashTree(suite.ArchiveFolder()), archivesBefore);

    // Every PDF file in the whole installation lies inside the FILE-PDF tree and is complete and
    // valid: the files the runs named, and those of a run the program ended before it could name
    // them. Nothing half-written is left behind.
    const fs::path pdfTree = suite.Host("C:\\KVPAGHE\\FILE-PDF");
    std::vector<std::string> onDisk;
    for (const fs::path& pdf : PdfFilesUnder(suite.root())) {
        onDisk.push_back(pdf.lexically_normal().string());
        EXPECT_TRUE(Under(pdf, pdfTree)) << pdf;
        const std::string bytes = ReadFile(pdf);
        EXPECT_TRUE(EndsWith(bytes, "%%EOF\n"))
            << pdf << " ends " << Printable(bytes.substr(bytes.size() - std::min<size_t>(bytes.size(), 20)));
        // Rounds repeat the files of undamaged companies byte for byte: each text is judged once.
        if (!valid.count(bytes)) {
            const CommandResult check = QpdfCheck(pdf, PasswordFor(suite, pdf));
            EXPECT_EQ(check.status, 0) << pdf << "\n" << check.output;
            if (check.status == 0) valid.insert(bytes);
        }
    }
    for (const std::string& file : result.files)
        EXPECT_NE(std::find(onDisk.begin(), onDisk.end(), fs::path(file).lexically_normal().string()), onDisk.end())
            << "named but not written: " << file;
    // Unless the program ended, every file written is one a run named.
    if (!result.ended) {
        EXPECT_EQ(onDisk.size(), result.files.size());
    }
}

// Twenty fixed seeds, the same damage on every machine and every run. Among them are rounds that
// end in normal lists, in the run driver's report of a run-time error, and in the error handler's
// report that ends the program.
TEST(DamagedRecordsTest, EveryListEndsInAListOrTheErrorReport) {
    std::set<std::string> valid;
    for (uint32_t seed = 31; seed <= 50; ++seed) DamageAndRun(seed, valid);
}

}  // namespace
}  // namespace kv::app::test
