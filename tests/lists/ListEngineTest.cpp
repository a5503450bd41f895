// The skeleton every list shares: page numbers and page totals, the skipped employees, the employee
// selection and the write operation (the two-page golden is the CF01 golden).
#include "ListFixture.h"

namespace kvtest::lists {
namespace {

int Count(const std::string& doc, const std::string& text) {
    int n = 0;
    for (size_t at = doc.find(text); at != std::string::npos; at = doc.find(text, at + 1)) ++n;
    return n;
}

// Recoveries (7 header lines, 53 lines a page), 584 employees recovering 1.00: page totals start
// again on every page; page numbers are right-aligned in four characters; 11 x 53 = 583, the 584th
// opens page 12.
TEST(ListPaging, PageTwelve) {
    ListSuite s;
    s.Company(5, "EPSILON COOP", "4444444444");
    for (int i = 1; i <= 584; ++i) s.Employee(5, i, "LAVORATORE", "NINO", "P602=1.00");
    s.Write();
    const std::string doc = s.Document(ListKind::Recoveries, 5, true);
    EXPECT_EQ(Count(doc, "== new page"), 11);
    for (const char* page : {"Pagina    1|", "Pagina    9|", "Pagina   10|", "Pagina   12|"})
        EXPECT_EQ(Count(doc, page), 1) << page;
    EXPECT_EQ(Count(doc, "|TOTALE PAGINA                    53.00                  0.00|"), 11);
    EXPECT_EQ(Count(doc, "|TOTALE                          584.00                  0.00|"), 1);
}

// No employee selected: nothing at all in the PDF (no document); the printer has only been checked.
// A printer that is not ready prints nothing. Employees all missing from the index: the header and a
// "TOTALE" block of zeros.
TEST(ListSkipping, NothingSelectedNoPrinterOrOnlySkippedEmployees) {
    ListSuite s;
    s.Company(8, "OMEGA SRL", "8888888888");
    s.Employee(8, 1, "ROSSI", "MARIO", "P598=0 P260=2000.00");
    s.Company(9, "ALTRA SRL", "9999999999");
    s.Employee(9, 1, "BIANCHI", "LUCA", "P260=2000.00", false);
    s.Employee(9, 2, "VERDI", "LUCA", "P260=2000.00", false);
    s.Write();
    EXPECT_EQ(s.Document(ListKind::CF01, 8, true), "");
    EXPECT_EQ(s.Document(ListKind::CF01, 8, false), "== begin list TESCF01_ 9pt\n");
    CaptureSink notReady(false, /*ready=*/false);
    s.Run(ListKind::CF01, 9, notReady);
    EXPECT_EQ(notReady.document, "== begin list TESCF01_ 9pt\n");
    // The totals block right after the header: its separator at 2.60, "TOTALE" at 2.95.
    EXPECT_NE(s.Document(ListKind::CF01, 9, true).find("\n2.95|TOTALE                            0.00       0.00       0.00       0.00       0.00       0.00|\n"),
              std::string::npos);
}

std::vector<std::string> Select(ListSuite& s, int company, int16_t listaTF14) {
    kv::lists::ListEnvironment env = s.Environment(company, listaTF14 == 1 ? ListKind::TF14 : ListKind::CF01, '.');
    return kv::lists::CREALISTADISTAMPA(env);
}

// P359 99, P054 2 and P598 0 leave an employee out, but TF14 takes P188 = 1 with P598 0 when the
// company's T404 is 1. Keys in ascending order. Past the end of the employee archive (record 99) the
// selection stops; an empty entry ends the extraction; a record number that overflows skips its entry.
TEST(EmployeeSelection, ExclusionsWideningAndTheEndOfTheExtraction) {
    for (bool t404 : {true, false}) {
        ListSuite s;
        s.Company(1, "ALFA", "1", t404);
        s.Company(2, "BETA", "2");
        s.Employee(1, 9, "NOVE", "N", "");  // taken
        s.Employee(1, 1, "UNO", "U", "P359=99");  // excluded
        s.Employee(1, 2, "DUE", "D", "P054=2");  // excluded
        s.Employee(1, 3, "TRE", "T", "P598=0");  // excluded
        s.Employee(1, 4, "QUATTRO", "Q", "P598=0 P188=1");  // TF14 with T404 = 1 only
        s.Employee(1, 5, "CINQUE", "C", "P598=2 P188=1");  // taken (P598 not 0)
        s.Employee(2, 6, "SEI", "S", "");  // another company
        s.Employee(1, 7, "SETTE", "S", "P359=98 P054=1");  // taken
        s.Employee(1, 8, "OTTO", "O", "P598=0 P188=1 P054=2");  // excluded by P054
        s.Write();
        const std::vector<std::string> taken = {"0010000005", "0010000007", "0010000009"};
        EXPECT_EQ(Select(s, 1, 0), taken);
        std::vector<std::string> tf14 = taken;
        if (t404) tf14.insert(tf14.begin(), "0010000004");
        EXPECT_EQ(Select(s, 1, 1), tf14);
        const std::vector<std::string> all = s.extraction;
        s.extraction = {all[0], all[5], "0010000099", all[7]};
        EXPECT_EQ(Select(s, 1, 0), (std::vector<std::string>{"0010000005", "0010000009"}));
        s.extraction = {all[0], "", all[5]};
        EXPECT_EQ(Select(s, 1, 0), (std::vector<std::string>{"0010000009"}));
        s.extraction = {all[5], "0011E+9999", all[0]};
        EXPECT_EQ(Select(s, 1, 0), (std::vector<std::string>{"0010000005", "0010000009"}));
    }
}

// A number is written unless it is zero; any other text unless it is blank. The text is emptied.
TEST(ScriviCella, WritesNeitherBlankTextNorZero) {
    struct Case {
        std::string text;
        bool printZero, written;
    } const cases[] = {
        {"", false, false},
        {"", true, false},
        {"     ", false, false},
        {"0", false, false},
        {"0.00", false, false},
        {"  0.00 ", false, false},
        {"-0.00", false, false},
        {"+0", false, false},
        {"0E+5", false, false},
        {"0", true, true},
        {"0.00", true, true},
        {"1.5", false, true},
        {"-0.01", false, true},
        {"TOTALE", false, true},
        {" A ", false, true},
        {"0001 ROSSI M", false, true},
        {"0.0.0", false, true},
        {"0.0.", false, true},
        {"0E", false, true},
        {"0E+", false, true},
        {"-", false, true},
        {"0 0", false, true},
        {".", false, true},
        {"00-", false, true},
    };
    for (const Case& c : cases) {
        CaptureSink sink(true);
        std::string text = c.text;
        kv::lists::SCRIVICELLA(sink, 1.5, 0.75, text, c.printZero);
        EXPECT_EQ(sink.document, c.written ? "1.50@x=0.75|" + c.text + "|\n" : "") << "[" << c.text << "]";
        EXPECT_TRUE(text.empty());
    }
}

}  // namespace
}  // namespace kvtest::lists
