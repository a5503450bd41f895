// Loading the current extraction (archive 5): the end marks of its records, the sorted table, the
// company lines, a missing extraction and a table that overflows.
#include <gtest/gtest.h>

#include <algorithm>

#include "AppTestSupport.h"
#include "archive/Errors.h"

namespace kv::app::test {
namespace {

using platform::Icon;

const std::string kLine001 = "001 PER\xD2 COSTRUZIONI S.R.L. 4901234567";
const std::string kLine002 = "002 TRASPORTI A/R: VELOCI E SICURI 5102345678";
const std::string kLine004 = "004 OFFICINA MECCANICA VERDI SNC 7304567890";

TEST(ExtractionTest, EndMarksBlankEntriesAndScatteredCompanies) {
    DemoInstallation suite;
    suite.WriteExtraction({
        "0010000005" "0020000003" "0010000001",
        // The end mark closes this record: the entry after it is not read, the next record is.
        "9999999999" "0040000002",
        // A blank entry ends the record too.
        "0020000001" "          " "0010000009",
        "0010000002" "0040000007",
    });
    auto open = suite.Open();
    ASSERT_TRUE((*open)->Start());
    EXPECT_TRUE(open->messages().shown().empty());
    EXPECT_EQ((*open)->extraction().ELENCOESTRAZIONE(),
              (std::vector<std::string>{"0010000001", "0010000002", "0010000005", "0020000001", "0020000003",
                                        "0040000007"}));
    // One line per company in ascending code order, though 001 and 002 stand in three records.
    EXPECT_EQ((*open)->companyLines(), (std::vector<std::string>{kLine001, kLine002, kLine004}));
    EXPECT_EQ((*open)->extraction().ESTRAZIONEMANCANTE, 0);

    // The check loads the same entries in the archive's order.
    Extraction& e = (*open)->extraction();
    EXPECT_TRUE(e.VERIFICAESTRAZIONE());
    EXPECT_EQ(e.ELENCOESTRAZIONE(), (std::vector<std::string>{"0010000005", "0020000003", "0010000001", "0020000001",
                                                               "0010000002", "0040000007"}));
}

TEST(ExtractionTest, RecordStartingWithTheEndMarkContributesNothing) {
    DemoInstallation suite;
    suite.WriteExtraction({"9999999999" "0010000001", "9999999999", "0040000003"});
    auto open = suite.Open();
    ASSERT_TRUE((*open)->Start());
    EXPECT_EQ((*open)->extraction().ELENCOESTRAZIONE(), (std::vector<std::string>{"0040000003"}));
    EXPECT_EQ((*open)->companyLines(), (std::vector<std::string>{kLine004}));
}

TEST(ExtractionTest, DemoExtractionListsEveryCompanyOnce) {
    DemoInstallation suite;
    auto open = suite.Open();
    ASSERT_TRUE((*open)->Start());
    EXPECT_EQ((*open)->extraction().ELENCOESTRAZIONE().size(), suite.plan().employees.size());
    EXPECT_TRUE(std::is_sorted((*open)->extraction().ELENCOESTRAZIONE().begin(),
                               (*open)->extraction().ELENCOESTRAZIONE().end()));
    EXPECT_EQ((*open)->companyLines(),
              (std::vector<std::string>{kLine001, kLine002, "003 STUDIO ASSOCIATO BIANCHI 6203456789", kLine004}));
    EXPECT_EQ((*open)->PERIODOESTRAZIONE(), "201803");
    EXPECT_EQ((*open)->TESTATAESTRAZIONE().substr(0, 9), "310320181");
}

TEST(ExtractionTest, CompanyPastTheEndOfTheCompanyArchiveStopsTheList) {
    DemoInstallation suite;
    suite.Truncate("SLDITTE.DAT", 2ull * demo::kCompanyRecordLength);
    auto open = suite.Open();
    ASSERT_TRUE((*open)->Start());
    EXPECT_EQ((*open)->companyLines(), (std::vector<std::string>{kLine001, kLine002}));
    EXPECT_TRUE(open->messages().shown().empty());
}

TEST(ExtractionTest, EmptyExtractionWarnsOnceAndTheProgramDoesNotStart) {
    DemoInstallation suite;
    suite.Truncate("SLESTRAZ.DAT", 0);
    auto open = suite.Open();
    EXPECT_FALSE((*open)->Start());
    EXPECT_EQ((*open)->extraction().ESTRAZIONEMANCANTE, 1);
    ASSERT_EQ(open->messages().shown().size(), 1u);
    const auto& m = open->messages().shown()[0];
    EXPECT_EQ(m.title, "Stampe Fondo Tesoreria");
    EXPECT_EQ(m.text, "Attenzione: Non esiste estrazione anno corrente");
    EXPECT_EQ(m.icon, Icon::Critical);
    EXPECT_TRUE((*open)->companyLines().empty());
    // Leaving hands the task line back and ends the program.
    EXPECT_THROW((*open)->Leave(), ProgramEnd);
    EXPECT_EQ(ReadFile(suite.TaskFile()), "01" + std::string(98, ' ') + "\r\n");
}

std::vector<std::string> RecordsOfEntries(int entries) {
    std::vector<std::string> records;
    for (int n = 0; n < entries; n += 20) {
        std::string r;
        for (int j = 0; j < 20 && n + j < entries; ++j) r += "001" + std::string(6, '0') + std::to_string(1 + (n + j) % 9);
        records.push_back(r);
    }
    return records;
}

TEST(ExtractionTest, TenThousandEntriesFitTheTable) {
    DemoInstallation suite;
    suite.WriteExtraction(RecordsOfEntries(10000));
    auto open = suite.Open();
    ASSERT_TRUE((*open)->Start());
    EXPECT_EQ((*open)->extraction().ELENCOESTRAZIONE().size(), 10000u);
    EXPECT_EQ((*open)->companyLines(), (std::vector<std::string>{kLine001}));
    EXPECT_TRUE(open->messages().shown().empty());
}

TEST(ExtractionTest, MoreThanTenThousandEntriesIsReportedAndEndsTheProgram) {
    DemoInstallation suite;
    suite.WriteExtraction(RecordsOfEntries(10001));
    auto open = suite.Open();
    EXPECT_THROW((*open)->Start(), ProgramEnd);
    const auto& shown = open->messages().shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, "KvsPaghe KVTESO");
    EXPECT_EQ(shown[0].icon, Icon::Critical);
    EXPECT_EQ(shown[0].text.rfind("Errore 9 ", 0), 0u) << shown[0].text;
    EXPECT_NE(shown[0].text.find("VERIFICAESTRAZIONE\r"), std::string::npos) << shown[0].text;
    EXPECT_EQ(shown[1].title, "KvsPaghe");
    EXPECT_EQ(shown[1].text, "CHIUDERE TUTTE LE APPLICAZIONI DELLA TASK\rLANCIARE RIPRISTINO TASK");
}

}  // namespace
}  // namespace kv::app::test
