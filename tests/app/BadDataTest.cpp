// Damaged archives: amounts that are blank or not numbers, a short employee archive, an extraction
// entry past the end of the employee archive, a key the index does not know, a short catalogue.
// Each is skipped, stopped or reported as the program defines; none crashes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "AppTestSupport.h"
#include "app/BatchRun.h"
#include "archive/Errors.h"
#include "lists/Fields.h"

namespace kv::app::test {
namespace {

namespace fs = std::filesystem;
using lists::ListKind;
namespace fields = lists::fields;

constexpr const char* kPassword = "LEGGIPDF";

// The TF14 list of one company as text (pdftotext), or empty when no file was made.
std::string Tf14Text(const DemoInstallation& suite, const std::string& company, RunDriver::Outcome* outcomeOut = nullptr) {
    std::error_code ec;
    fs::remove_all(suite.Host("C:\\KVPAGHE\\FILE-PDF"), ec);
    auto open = suite.Open();
    EXPECT_TRUE((*open)->Start());
    const auto& lines = (*open)->companyLines();
    const auto outcome = (*open)->driver().CmdStampa_Click(0, ListKind::TF14, lines, Select(lines, {company}));
    if (outcomeOut) *outcomeOut = outcome;
    EXPECT_FALSE(outcome.failed);
    if (outcome.files.empty()) return {};
    EXPECT_EQ(QpdfCheck(outcome.files[0], company == "001" ? kPassword : "").status, 0);
    return PdfText(outcome.files[0], company == "001" ? kPassword : "");
}

// The beginning of an employee's line as pdftotext shows it: number and surname.
std::string LineStart(const demo::PlannedEmployee& e) {
    std::string number = "0000" + std::to_string(e.number);
    return number.substr(number.size() - 4) + " " + platform::Cp1252ToUtf8(e.surname.substr(0, 20));
}

bool Lists(const std::string& text, const demo::PlannedEmployee& e) {
    return text.find("\n" + LineStart(e)) != std::string::npos || text.rfind(LineStart(e), 0) == 0;
}

std::vector<const demo::PlannedEmployee*> EmployeesOf(const DemoInstallation& suite, int company) {
    std::vector<const demo::PlannedEmployee*> out;
    for (const auto& e : suite.plan().employees)
        if (e.company == company) out.push_back(&e);
    return out;
}

// An amount too large for a number makes the error handler end the program in the middle of a list:
// the document being written is removed, not left half-written.
TEST(BadDataTest, ProgramEndInTheMiddleOfAListLeavesNoPdf) {
    DemoInstallation suite;
    suite.PatchEmployee(suite.Named("ROSSI"), fields::P260, "1E+400    ");
    auto open = suite.Open();
    ASSERT_TRUE((*open)->Start());
    const auto& lines = (*open)->companyLines();
    EXPECT_THROW((*open)->driver().CmdStampa_Click(0, ListKind::TF14, lines, Select(lines, {"001"})), ProgramEnd);
    ASSERT_FALSE(open->messages().shown().empty());
    EXPECT_EQ(open->messages().shown().back().text.rfind("CHIUDERE TUTTE LE APPLICAZIONI DELLA TASK", 0), 0u);
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(suite.root(), ec))
        EXPECT_NE(entry.path().extension(), ".pdf") << entry.path();
}

TEST(BadDataTest, BlankAndNonNumericAmountsReadAsZero) {
    DemoInstallation suite;
    const auto& rossi = suite.Named("ROSSI");
    suite.PatchEmployee(rossi, fields::P260, "ABCDEFGHIJ");
    suite.PatchEmployee(rossi, fields::P240, std::string(10, ' '));
    suite.PatchEmployee(rossi, fields::Q201, "N/D     ");
    suite.PatchEmployee(rossi, fields::P606, "xx.yy   ");
    suite.PatchEmployee(rossi, fields::P620, "     ");

    std::error_code ec;
    auto open = suite.Open();
    ASSERT_TRUE((*open)->Start());
    const auto& lines = (*open)->companyLines();
    const auto outcome = (*open)->driver().CmdStampa_Click(0, ListKind::TF14, lines, Select(lines, {"001"}));
    ASSERT_FALSE(outcome.failed);
    ASSERT_EQ(outcome.files.size(), 1u);
    EXPECT_EQ(QpdfCheck(outcome.files[0], kPassword).status, 0);
    // Every amount of the line is 0: PUNTO 1 falls to Q (0), COEF.1 is 0, so is TF14.
    const std::string line = "0001 ROSSI M" + std::string(15, ' ') +
                             "       0.00       0.00 0.28 0.00000 0.00000       0.00       0.00       0.00";
    ASSERT_EQ(line.size(), 103u);
    const std::string content = PdfUncompressed(outcome.files[0], kPassword);
    EXPECT_NE(content.find("(" + line + ") Tj"), std::string::npos);
    // The next employee is listed as usual.
    const std::string text = PdfText(outcome.files[0], kPassword);
    EXPECT_TRUE(Lists(text, suite.Named("BIANCHI"))) << text;

    // Every other list copes with the same record.
    for (ListKind list : {ListKind::CF01, ListKind::CF02Arrears, ListKind::TF02, ListKind::TF02Arrears, ListKind::CF11,
                          ListKind::Recoveries}) {
        const auto o = (*open)->driver().CmdStampa_Click(0, list, lines, Select(lines, {"001"}));
        EXPECT_FALSE(o.failed) << lists::ShortName(list);
        ASSERT_EQ(o.files.size(), 1u) << lists::ShortName(list);
        EXPECT_EQ(QpdfCheck(o.files[0], kPassword).status, 0) << lists::ShortName(list);
    }
}

TEST(BadDataTest, ShortEmployeeArchiveStopsTheSelectionAtTheCutRecord) {
    DemoInstallation suite;
    const std::string before = Tf14Text(suite, "001");
    ASSERT_FALSE(before.empty());

    // Cut the archive in the middle of the record of one of 001's employees listed in TF14.
    std::vector<const demo::PlannedEmployee*> listed;
    for (const auto* e : EmployeesOf(suite, 1))
        if (Lists(before, *e)) listed.push_back(e);
    ASSERT_GT(listed.size(), 10u);
    std::sort(listed.begin(), listed.end(), [](auto* a, auto* b) { return a->recordNumber < b->recordNumber; });
    const int cut = listed[listed.size() / 2]->recordNumber;
    suite.Truncate("SLDIPEND.DAT", static_cast<uint64_t>(cut - 1) * demo::kEmployeeRecordLength + 100);

    const std::string after = Tf14Text(suite, "001");
    ASSERT_FALSE(after.empty());
    for (const auto* e : listed) EXPECT_EQ(Lists(after, *e), e->recordNumber < cut) << LineStart(*e);
    EXPECT_NE(after.find("TOTALE"), std::string::npos);
}

TEST(BadDataTest, EntryPastTheEndOfTheEmployeeArchiveKeepsTheEmployeesFoundSoFar) {
    DemoInstallation suite;
    const std::string before = Tf14Text(suite, "001");
    // An entry of 001 for record 9999 in a second to last record of the extraction.
    std::string bytes = ReadFile(suite.ArchiveFile("SLESTRAZ.DAT"));
    std::vector<std::string> records;
    for (size_t at = 0; at < bytes.size(); at += demo::kExtractionRecordLength)
        records.push_back(bytes.substr(at, demo::kExtractionRecordLength));
    records.insert(records.end() - 1, "0010009999");
    suite.WriteExtraction(records);

    const std::string after = Tf14Text(suite, "001");
    EXPECT_EQ(after, before);
    // The other companies are not touched by it.
    EXPECT_FALSE(Tf14Text(suite, "002").empty());
}

TEST(BadDataTest, KeyUnknownToTheIndexSkipsTheEmployee) {
    DemoInstallation suite;
    const std::string before = Tf14Text(suite, "001");
    const auto& rossi = suite.Named("ROSSI");
    ASSERT_TRUE(Lists(before, rossi));
    suite.PatchEmployee(rossi, fields::P001, "0019999999");

    const std::string after = Tf14Text(suite, "001");
    EXPECT_FALSE(Lists(after, rossi)) << after;
    for (const auto* e : EmployeesOf(suite, 1))
        if (e != &rossi) {
            EXPECT_EQ(Lists(after, *e), Lists(before, *e)) << LineStart(*e);
        }
}

TEST(BadDataTest, ShortCatalogueIsReportedAndEndsTheProgram) {
    for (uint64_t size : {uint64_t{0}, uint64_t{79 * 5 + 20}, uint64_t{79 * 394 + 30}}) {
        SCOPED_TRACE(size);
        DemoInstallation suite;
        suite.Truncate("SLBASE.DAT", size);
        auto open = suite.Open();
        EXPECT_THROW((*open)->Start(), ProgramEnd);
        const auto& shown = open->messages().shown();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].title, "KvsPaghe KVTESO");
        EXPECT_EQ(shown[0].icon, platform::Icon::Critical);
        EXPECT_EQ(shown[0].text.rfind("Errore 62 ", 0), 0u) << shown[0].text;
        EXPECT_NE(shown[0].text.find("DAMMIFILE$ (395)\r"), std::string::npos) << shown[0].text;
        EXPECT_EQ(shown[1].text, "CHIUDERE TUTTE LE APPLICAZIONI DELLA TASK\rLANCIARE RIPRISTINO TASK");

        std::ostringstream out;
        BatchOptions o;
        o.pdf = true;
        o.root = suite.root().string();
        o.registry = suite.registryFile().string();
        EXPECT_EQ(RunBatch(o, out), 2) << out.str();  // the program could not start
        EXPECT_NE(out.str().find("Errore 62"), std::string::npos) << out.str();
    }
}

TEST(BadDataTest, CatalogueWithoutTheExtractionHeaderIsReported) {
    DemoInstallation suite;
    // Archive 6's catalogue record blanked: no file name, record length 0.
    suite.PatchField("SLBASE.DAT", 79, 6, FieldDescriptor::Parse("XXXXX,00001,79,A,0,XXXX"), std::string(79, ' '));
    auto open = suite.Open();
    EXPECT_THROW((*open)->Start(), ProgramEnd);
    const auto& shown = open->messages().shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, "KvsPaghe KVTESO");
    EXPECT_EQ(shown[0].text.rfind("Errore 75 ", 0), 0u) << shown[0].text;
    const std::string lastTrace = "DAMMIFILE$ (6)\rFAIOPEN\r";
    EXPECT_EQ(shown[0].text.substr(shown[0].text.size() - lastTrace.size()), lastTrace);
    EXPECT_TRUE(PdfFilesUnder(suite.root()).empty());
}

}  // namespace
}  // namespace kv::app::test
