// The demo suite read back through the archive layer, as KVTESO reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "DemoSuiteFixture.h"
#include "archive/LegacyText.h"
#include "archive/Numbers.h"

namespace kv::demo::test {
namespace {

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// One suite for the tests that only read it.
WrittenSuite& DefaultSuite() {
    static WrittenSuite suite;
    return suite;
}

TEST(DemoInstallation, LoadsFromTheSettingsStoreWithTaskAndInstallationName) {
    WrittenSuite& s = DefaultSuite();
    const Settings& settings = s.context().settings();
    EXPECT_EQ(settings.archiveFolder, "C:\\KVPAGHE\\ARCHIVI");
    EXPECT_EQ(settings.programsFolder, "C:\\KVPAGHE\\PROGRAMMI");
    EXPECT_EQ(settings.terminalNumber, "01");
    EXPECT_EQ(settings.installationName, "STUDIO PAGHE DEMO VELMORA");
    EXPECT_TRUE(s.messages().shown().empty());
    EXPECT_TRUE(s.writerMessages().shown().empty());
}

TEST(DemoInstallation, PathFilesNameTheSameFoldersWhenTheRegistryIsEmpty) {
    WrittenSuite& s = DefaultSuite();
    platform::MemoryRegistry empty;
    platform::ScriptedMessageBoxes messages;
    ArchiveContext context(messages, platform::PathMap(s.root()), empty);
    context.LoadInstallation();
    EXPECT_EQ(context.settings().archiveFolder, "C:\\KVPAGHE\\ARCHIVI");
    EXPECT_EQ(context.settings().programsFolder, "C:\\KVPAGHE\\PROGRAMMI");
    EXPECT_EQ(context.settings().terminalNumber, "01");
    EXPECT_TRUE(messages.shown().empty());
    // Windows text files: CR LF line ends.
    EXPECT_EQ(ReadFile(s.root() / "C/RARADADE/SLPERARK.SLP"), "C:\\KVPAGHE\\ARCHIVI\r\n");
    EXPECT_EQ(ReadFile(s.root() / "C/KVSTASK/KVSTASK.INI").substr(0, 2), "01");
}

TEST(DemoCatalogue, EveryArchiveResolvesToItsFileAndRecordLength) {
    WrittenSuite& s = DefaultSuite();
    const std::map<int, std::pair<std::string, int>> expected{
        {1, {"SLDITTE.DAT", 6483}},     {2, {"SLDIPEND.DAT", 16176}}, {5, {"SLESTRAZ.DAT", 200}},
        {6, {"SLESTTES.DAT", 100}},     {7, {"SLDIPIDX.DAT", 2176}},  {19, {"SLFISCO.DAT", 1000}},
        {280, {"SLSTAMPE01.TXT", 256}}, {395, {"SLINSTAL.DAT", 100}}, {401, {"SLPARAM.DAT", 100}},
    };
    for (const auto& [number, file] : expected) {
        SCOPED_TRACE(number);
        EXPECT_EQ(s.files().DAMMIFILE(number), "C:\\KVPAGHE\\ARCHIVI\\" + file.first);
        EXPECT_EQ(s.files().currentRecordLength(), file.second);
        EXPECT_EQ(s.files().VERBASE(number), 1) << "file exists and is not empty";
    }
    // Numbers the suite does not use are blank records.
    for (int number : {3, 4, 8, 100, 400}) {
        int16_t add = 0;
        EXPECT_EQ(s.files().DAMMIFILE(number, add), "") << number;
        EXPECT_EQ(s.files().currentRecordLength(), 0) << number;
    }
    // Archive files hold whole records.
    for (int number : {1, 2, 5, 6, 7, 19, 395, 401}) {
        const double length = s.files().FAIOPEN(number);
        EXPECT_EQ(s.files().FileLength(number) % static_cast<int64_t>(length), 0) << number;
        s.files().CHIUDI(number);
    }
    EXPECT_EQ(std::filesystem::file_size(s.root() / "C/KVPAGHE/ARCHIVI/SLSEMA.DAT"), 2000u);
}

TEST(DemoExtraction, HeaderGivesThePeriodAndAnOrdinaryMonth) {
    WrittenSuite& s = DefaultSuite();
    const std::string header = s.Record(archive::ExtractionHeader, 1);
    EXPECT_EQ(header.substr(0, 9), "310320181");
    EXPECT_EQ(header.substr(4, 4) + header.substr(2, 2), "201803");
    s.files().CHIUDI(archive::ExtractionHeader);
}

TEST(DemoExtraction, EntriesCoverEveryEmployeeAndSortToAscendingCompanies) {
    WrittenSuite& s = DefaultSuite();
    std::vector<std::string> entries = s.ExtractionEntries();
    ASSERT_EQ(entries.size(), s.plan().employees.size());
    EXPECT_FALSE(std::is_sorted(entries.begin(), entries.end())) << "the archive order is not the key order";

    // One company's entries lie in several records.
    std::map<std::string, std::set<int>> recordsOfCompany;
    for (int r = 1;; ++r) {
        if (s.files().LEGGIREC(archive::ExtractionList, r) == 1) break;
        const std::string& record = s.files().buffer(archive::ExtractionList);
        for (int j = 0; j < 20; ++j) {
            const std::string e = record.substr(static_cast<std::size_t>(j) * 10, 10);
            if (e == "9999999999" || TrimBlanks(e).empty()) break;
            recordsOfCompany[e.substr(0, 3)].insert(r);
        }
    }
    EXPECT_GT(recordsOfCompany["001"].size(), 1u);
    // The third record holds nothing but the end mark, yet later records are still read.
    EXPECT_EQ(s.Record(archive::ExtractionList, 3).substr(0, 10), "9999999999");
    s.files().CHIUDI(archive::ExtractionList);

    std::sort(entries.begin(), entries.end());
    std::vector<std::string> companies;
    for (const auto& e : entries)
        if (companies.empty() || companies.back() != e.substr(0, 3)) companies.push_back(e.substr(0, 3));
    EXPECT_EQ(companies, (std::vector<std::string>{"001", "002", "003", "004"}));
    EXPECT_EQ(std::adjacent_find(entries.begin(), entries.end()), entries.end()) << "no entry twice";
}

TEST(DemoIndex, EveryExtractedEmployeeIsFoundExceptTheOneLeftOut) {
    WrittenSuite& s = DefaultSuite();
    const std::vector<std::string> entries = s.ExtractionEntries();
    s.files().FAIOPEN(archive::EmployeeIndex);
    s.files().FAIOPEN(archive::Employees);
    int missing = 0;
    for (const auto& entry : entries) {
        const int record = std::stoi(entry.substr(3, 7));
        ASSERT_EQ(s.files().LEGGIREC(archive::Employees, record), 0);
        s.repo().REC_DIP() = s.files().buffer(archive::Employees);
        const std::string key = s.repo().RepoR("DIPX$,00003,10,A,0,P001");
        EXPECT_EQ(key.substr(0, 3), entry.substr(0, 3)) << "the key starts with the company";
        s.files().APRISEMA();
        const double found = s.context().keys().ISAM(archive::EmployeeIndex, key, 2, 0);
        s.files().CHIUDISEMA();
        if (found == -1) {
            ++missing;
            EXPECT_EQ(key, s.summary().missingKey);
            EXPECT_EQ(entry.substr(0, 3), "004");
        } else {
            EXPECT_EQ(found, record) << key;
        }
    }
    EXPECT_EQ(missing, 1);
    EXPECT_TRUE(s.messages().shown().empty()) << "a search that finds nothing shows no message";
    s.files().CHIUDI(0);
}

// Reads the employee's record from the archive and makes it the current DIPX$ record.
void LoadEmployee(WrittenSuite& s, const PlannedEmployee& e) {
    s.repo().REC_DIP() = s.Record(archive::Employees, e.recordNumber);
}

TEST(DemoEmployees, EveryPlannedFieldReadsBackThroughTheRepository) {
    WrittenSuite& s = DefaultSuite();
    for (const auto& e : s.plan().employees) {
        LoadEmployee(s, e);
        for (const auto& f : e.fields) {
            const std::string descriptor(DescriptorOf(f.code));
            const auto d = FieldDescriptor::Parse(descriptor);
            SCOPED_TRACE(e.key + " " + f.code + " = [" + f.value + "]");
            if (f.raw) {
                // Stored as the bare characters: read them as text.
                std::string asText = descriptor;
                asText[15] = 'A';
                EXPECT_EQ(s.repo().RepoR(asText), f.value);
                EXPECT_EQ(s.repo().RepoN(descriptor), 0) << "blank or not a number reads as 0";
                continue;
            }
            if (d.IsNumeric()) {
                EXPECT_NEAR(s.repo().RepoN(descriptor), Val(f.value), 0.0051);
            } else if (d.type == 'D') {
                EXPECT_EQ(s.repo().RepoR(descriptor), RightChars(std::string(d.length, '0') + f.value, d.length));
            } else {
                std::string stored = f.value.substr(0, static_cast<std::size_t>(d.length));
                stored.resize(static_cast<std::size_t>(d.length), ' ');
                EXPECT_EQ(s.repo().RepoR(descriptor), stored);
            }
        }
    }
    s.files().CHIUDI(archive::Employees);
}

struct Expected {
    const char* surname;
    const char* code;
    double value;
};

TEST(DemoEmployees, WorkedExamplesHoldTheirValues) {
    WrittenSuite& s = DefaultSuite();
    const Expected cases[] = {
        {"ROSSI", "P260", 2000.00},     {"ROSSI", "P240", 2000.00},      {"ROSSI", "P598", 1},
        {"CARUSO", "Q236", 100.00},     {"CARUSO", "Q201", 15.00},       {"CARUSO", "Q688", 30.00},
        {"FERRI", "Q688", 0.40},        {"GATTI", "Q688", 150.40},       {"LEONE", "P511", 1},
        {"SANTORO", "Q201", 138.90},    {"BARBIERI", "P606", -150.00},   {"GRECO", "P620", 0.30},
        {"GRECO", "P083", 1},           {"ZANETTI", "P260", 12345678.90}, {"PARISI", "P359", 99},
        {"MORELLI", "P054", 2},         {"BELLINI", "P598", 0},          {"PELLEGRINI", "P188", 1},
        {"PELLEGRINI", "P598", 0},      {"VILLA", "P117", 1},            {"CATTANEO", "P602", 1500.00},
        {"CATTANEO", "P603", 800.00},   {"SALA", "P603", 0},             {"GRASSI", "P240", 0},
        {"GRASSI", "Q201", 0},          {"GRASSI", "P260", 1500.00},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.surname) + " " + c.code);
        LoadEmployee(s, s.Named(c.surname));
        EXPECT_NEAR(s.repo().RepoN(DescriptorOf(c.code)), c.value, 1e-9);
    }
    // The TF02 arrears example needs Q236 - Q201 = 1000.30.
    LoadEmployee(s, s.Named("GATTI"));
    EXPECT_NEAR(s.repo().RepoN(DescriptorOf("Q236")) - s.repo().RepoN(DescriptorOf("Q201")), 1000.30, 1e-9);
    // Negative amount: the sign takes the field's first column.
    LoadEmployee(s, s.Named("BARBIERI"));
    EXPECT_EQ(s.repo().RepoR(DescriptorOf("P606")), "-000150.00");
    s.files().CHIUDI(archive::Employees);
}

TEST(DemoEmployees, ReliefAndAdhesionFieldsFollowThePeriod) {
    WrittenSuite& s = DefaultSuite();
    auto text = [&](const char* surname, const char* code) {
        LoadEmployee(s, s.Named(surname));
        return s.repo().RepoR(DescriptorOf(code));
    };
    EXPECT_EQ(text("BIANCHI", "P916"), " ");
    EXPECT_EQ(text("FERRARI", "P916"), "1");
    EXPECT_EQ(text("FERRARI", "P013"), "01032016");
    EXPECT_EQ(text("ROMANO", "P939"), "01052016");
    EXPECT_EQ(text("COLOMBO", "P939"), "10012016");
    EXPECT_EQ(text("ROSSI", "P939"), "        ") << "no relief date: blank";
    EXPECT_EQ(text("MANCINI", "P916"), "A");
    EXPECT_EQ(text("CARUSO", "P599"), "032018");
    EXPECT_EQ(text("CARUSO", "Q179"), "31032018");
    EXPECT_EQ(text("GENTILE", "P599"), "092017");
    EXPECT_EQ(text("MARTINELLI", "P599"), "012018");
    EXPECT_EQ(text("MARTINELLI", "Q179"), "31012018");
    EXPECT_EQ(text("VITALE", "P013"), "05032018");
    EXPECT_EQ(text("RUSSO", "P599"), "      ");
    EXPECT_EQ(text("RUSSO", "Q179"), "        ");
    EXPECT_EQ(text("LONGO", "P599"), "112017");
    s.files().CHIUDI(archive::Employees);
}

// The catalogue's claims about the relief window, checked on the fields as stored: characters 3-8
// of P939 (or of P013 when P939 is 0), MMYYYY turned into YYYYMM; a 2016 start gives the relief up
// to the same month two years later.
TEST(DemoEmployees, ReliefWindowCasesFallWhereTheCatalogueSays) {
    WrittenSuite& s = DefaultSuite();
    auto inside = [&](const char* surname) {
        LoadEmployee(s, s.Named(surname));
        std::string start = s.repo().RepoR(DescriptorOf("P013")).substr(2, 6);
        if (s.repo().RepoN(DescriptorOf("P939")) != 0) start = s.repo().RepoR(DescriptorOf("P939")).substr(2, 6);
        const std::string window = start.substr(2, 4) + start.substr(0, 2);
        if (window.substr(0, 4) != "2016") return false;
        return std::string("201803") <= "2018" + window.substr(4, 2);
    };
    EXPECT_TRUE(inside("FERRARI"));
    EXPECT_FALSE(inside("ESPOSITO"));
    EXPECT_TRUE(inside("ROMANO"));
    EXPECT_FALSE(inside("COLOMBO"));
    EXPECT_FALSE(inside("RICCI"));
    EXPECT_TRUE(inside("LOMBARDI"));
    s.files().CHIUDI(archive::Employees);
}

// The CF11 months of arrears of the catalogue's cases: S from the hiring year and month, A the
// adhesion month, MM ARR = A - S.
TEST(DemoEmployees, ArrearsMonthsCasesGiveTheirMonthCounts) {
    WrittenSuite& s = DefaultSuite();
    auto monthsOfArrears = [&](const char* surname) {
        LoadEmployee(s, s.Named(surname));
        const std::string p599 = s.repo().RepoR(DescriptorOf("P599"));
        const std::string p013 = s.repo().RepoR(DescriptorOf("P013"));
        const int a = static_cast<int>(Val(p599.substr(0, 2)));
        const int ay = static_cast<int>(Val(p599.substr(2, 4)));
        const int hy = static_cast<int>(Val(p013.substr(4, 4)));
        int start = 0;
        if (ay > hy) start = 1;
        if (hy == ay) start = static_cast<int>(Val(p013.substr(2, 2)));
        if (start == 0) start = 1;
        return std::make_pair(a - start, start);
    };
    EXPECT_EQ(monthsOfArrears("CARUSO"), std::make_pair(2, 1));
    EXPECT_EQ(monthsOfArrears("GENTILE"), std::make_pair(4, 5)) << "months MGLA";
    EXPECT_EQ(monthsOfArrears("MARTINELLI").first, 0);
    EXPECT_EQ(monthsOfArrears("VITALE").first, 0);
    EXPECT_LT(monthsOfArrears("LOMBARDO").first, 0);
    EXPECT_LT(monthsOfArrears("RUSSO").first, 0);
    s.files().CHIUDI(archive::Employees);
}

TEST(DemoEmployees, ValueTooWideForItsFieldIsRefused) {
    TempRoot root;
    DemoOptions options;
    options.root = root.path();
    SuitePlan plan = MakePlan(options);
    plan.employees.front().fields.push_back({"Q037", "37037036.70", false});  // 9 characters hold 9999999.99
    platform::ScriptedMessageBoxes messages;
    SuiteWriter writer(plan, messages);
    EXPECT_THROW(writer.Write(), std::logic_error);
}

TEST(DemoEmployees, AccentedNamesAreSingleCp1252Bytes) {
    WrittenSuite& s = DefaultSuite();
    LoadEmployee(s, s.Named("D'ANDREA"));
    EXPECT_EQ(TrimBlanks(s.repo().RepoR(DescriptorOf("P003"))), "NICOL\xD2");
    EXPECT_EQ(TrimBlanks(s.repo().RepoR(DescriptorOf("P002"))), "D'ANDREA");
    LoadEmployee(s, s.Named("CANTÙ"));
    EXPECT_EQ(TrimBlanks(s.repo().RepoR(DescriptorOf("P002"))), "CANT\xD9");
    EXPECT_EQ(TrimBlanks(s.repo().RepoR(DescriptorOf("P003"))), "GIOSU\xC8");
    // The record is still exactly one record long: no multi-byte character shifted a column.
    EXPECT_EQ(s.repo().REC_DIP().size(), 16176u);
    EXPECT_EQ(s.repo().RepoR(DescriptorOf("P001")).substr(0, 3), "001");
    LoadEmployee(s, s.Named("DELLA ROVERE SFORZA VISCONTI"));
    EXPECT_EQ(TrimBlanks(s.repo().RepoR(DescriptorOf("P002"))), "DELLA ROVERE SFORZA VISCONTI");
    s.files().CHIUDI(archive::Employees);
}

TEST(DemoCompanies, NamesPasswordsAndTf14Widening) {
    WrittenSuite& s = DefaultSuite();
    auto company = [&](int code) { s.repo().REC_DIT() = s.Record(archive::Companies, code); };
    company(1);
    EXPECT_EQ(s.repo().RepoR("DITX$,00003,03,N,0,T001"), "001");
    EXPECT_EQ(TrimBlanks(s.repo().RepoR("DITX$,00006,30,A,0,T002")), "PER\xD2 COSTRUZIONI S.R.L.");
    EXPECT_EQ(TrimBlanks(s.repo().RepoR("DITX$,01451,10,A,0,T003")), "4901234567");
    EXPECT_EQ(s.repo().RepoN("DITX$,00651,01,N,0,T404"), 1);
    EXPECT_FALSE(TrimBlanks(s.repo().RepoR("DITX$,02483,10,A,0,T364")).empty());
    company(2);
    EXPECT_EQ(s.repo().RepoR("DITX$,00006,30,A,0,T002"), "TRASPORTI A/R: VELOCI E SICURI")
        << "a longer name keeps its first 30 characters";
    EXPECT_EQ(TrimBlanks(s.repo().RepoR("DITX$,02483,10,A,0,T364")), "") << "unprotected company";
    EXPECT_EQ(s.repo().RepoN("DITX$,00651,01,N,0,T404"), 0);
    company(4);
    EXPECT_EQ(s.repo().RepoR("DITX$,00003,03,N,0,T001"), "004");
    // Past the last company the archive ends.
    s.files().FAIOPEN(archive::Companies);
    EXPECT_EQ(s.files().LEGGIREC(archive::Companies, 5), 1);
    s.files().CHIUDI(archive::Companies);

    s.repo().REC_FIS() = s.Record(archive::Fis, 1);
    EXPECT_EQ(TrimBlanks(s.repo().RepoR("FISX$,00983,10,A,0,F357")), "LEGGIPDF");
    s.files().CHIUDI(archive::Fis);
}

TEST(DemoCompanies, PageBreakCompanyHasMoreThanSixtyListedEmployees) {
    WrittenSuite& s = DefaultSuite();
    int listed = 0;
    for (const auto& e : s.plan().employees) {
        if (e.company != 2) continue;
        LoadEmployee(s, e);
        if (s.repo().RepoN(DescriptorOf("P359")) != 99 && s.repo().RepoN(DescriptorOf("P054")) != 2 &&
            s.repo().RepoN(DescriptorOf("P598")) != 0)
            ++listed;
    }
    EXPECT_GT(listed, 60);
    // Company 3: nobody is taken by the employee selection, even with the TF14 widening rules.
    for (const auto& e : s.plan().employees) {
        if (e.company != 3) continue;
        LoadEmployee(s, e);
        const bool taken = s.repo().RepoN(DescriptorOf("P359")) != 99 && s.repo().RepoN(DescriptorOf("P054")) != 2 &&
                           s.repo().RepoN(DescriptorOf("P598")) != 0;
        EXPECT_FALSE(taken) << e.key;
    }
    s.files().CHIUDI(archive::Employees);
}

TEST(DemoOptionsTest, AdditionalMonthAndAnotherPeriod) {
    DemoOptions options;
    options.period = *ExtractionPeriod::Parse("201602");
    options.additionalMonth = true;
    WrittenSuite s(options);
    EXPECT_EQ(s.Record(archive::ExtractionHeader, 1).substr(0, 9), "290220160") << "leap February";
    LoadEmployee(s, s.Named("CARUSO"));
    EXPECT_EQ(s.repo().RepoR(DescriptorOf("P599")), "022016");
    EXPECT_EQ(s.repo().RepoR(DescriptorOf("Q179")), "29022016");
    s.files().CHIUDI(0);
}

TEST(DemoOptionsTest, BadOptionsAreRefusedBeforeAnythingIsWritten) {
    DemoOptions options;
    options.root = "/nonexistent";
    options.companies = 3;
    EXPECT_THROW(MakePlan(options), std::invalid_argument);
    options.companies = 4;
    options.employees = CatalogueEmployeeCount() - 1;
    EXPECT_THROW(MakePlan(options), std::invalid_argument);
    options.employees = 10001;
    EXPECT_THROW(MakePlan(options), std::invalid_argument);
    options.companies = 20;
    options.employees = CatalogueEmployeeCount() + 10;  // 16 further companies need 16 employees
    EXPECT_THROW(MakePlan(options), std::invalid_argument);
    EXPECT_FALSE(ExtractionPeriod::Parse("201813"));
    EXPECT_FALSE(ExtractionPeriod::Parse("2018-3"));
    EXPECT_EQ(ExtractionPeriod::Parse("201812")->Date(), "31122018");
}

TEST(DemoOptionsTest, SameSeedSameSuiteOtherSeedOtherEmployees) {
    DemoOptions options;
    options.companies = 6;
    options.employees = 300;
    WrittenSuite a(options), b(options);
    const auto employees = [](const WrittenSuite& s) { return ReadFile(s.root() / "C/KVPAGHE/ARCHIVI/SLDIPEND.DAT"); };
    EXPECT_EQ(employees(a), employees(b));
    EXPECT_EQ(ReadFile(a.root() / "C/KVPAGHE/ARCHIVI/SLDIPIDX.DAT"), ReadFile(b.root() / "C/KVPAGHE/ARCHIVI/SLDIPIDX.DAT"));
    options.seed = 7;
    WrittenSuite c(options);
    EXPECT_NE(employees(a), employees(c));
}

}  // namespace
}  // namespace kv::demo::test
