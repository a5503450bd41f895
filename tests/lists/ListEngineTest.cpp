// The skeleton every list shares: the employee selection, the page break, the header and totals
// blocks, the skipped employees, and the write operation.
#include <algorithm>

#include "ListFixture.h"

namespace kvtest::lists {
namespace {

using kv::lists::ListKind;

// Company 009 with n employees of the same pay: P260 1350, P240 0 ->
// TFR MESE = 1350/13.5 = 100.00 = F.TESORERIA = CF01, F.PENSIONE 0, RETR. TFR 1350.00, IM.LE FAP 0.
void WritePagingCompany(ListSuite& s, int n, int missingFromIndex = 0) {
    s.Header("31032024");
    s.Company(9, "PAGINE SRL", "7777777777");
    for (int i = 1; i <= n; ++i)
        s.Employee(9, i, "LAVORATORE", "NINO", {{"P260", "1350.00"}}, i != missingFromIndex);
    s.Write();
}

int Count(const std::vector<std::string>& events, const std::string& prefix) {
    return static_cast<int>(std::count_if(events.begin(), events.end(),
                                          [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
}

// 54 lines fill the first page (line counter 6 + 54 = 60); the 55th employee brings the page
// totals (54 x 100 = 5400.00, 54 x 1350 = 72900.00), the legend, a new page with "Pagina    2", and
// the final totals on page 2 (55 x 100 = 5500.00, 55 x 1350 = 74250.00).
TEST(ListPaging, FiftyFifthEmployeeStartsPageTwo) {
    ListSuite s;
    WritePagingCompany(s, 55);
    const std::string pdf = s.Document(ListKind::CF01, 9, true);
    EXPECT_EQ(pdf, R"(== begin list TESCF01_ 9pt
== page header
0.50|IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF01 31/03/2024        Pagina    1|
0.85|------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 009 PAGINE SRL                     7777777777|
1.55|------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                   TFR MESE F.TESORERIA F.PENSIONE       CF01  RETR. TFR  IM.LE FAP|
2.25|------------------------------------------------------------------------------------------------------|
2.60|0001 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
2.95|0002 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
3.30|0003 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
3.65|0004 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
4.00|0005 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
4.35|0006 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
4.70|0007 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
5.05|0008 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
5.40|0009 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
5.75|0010 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
6.10|0011 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
6.45|0012 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
6.80|0013 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
7.15|0014 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
7.50|0015 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
7.85|0016 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
8.20|0017 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
8.55|0018 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
8.90|0019 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
9.25|0020 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
9.60|0021 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
9.95|0022 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
10.30|0023 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
10.65|0024 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
11.00|0025 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
11.35|0026 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
11.70|0027 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
12.05|0028 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
12.40|0029 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
12.75|0030 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
13.10|0031 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
13.45|0032 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
13.80|0033 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
14.15|0034 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
14.50|0035 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
14.85|0036 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
15.20|0037 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
15.55|0038 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
15.90|0039 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
16.25|0040 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
16.60|0041 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
16.95|0042 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
17.30|0043 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
17.65|0044 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
18.00|0045 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
18.35|0046 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
18.70|0047 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
19.05|0048 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
19.40|0049 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
19.75|0050 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
20.10|0051 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
20.45|0052 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
20.80|0053 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
21.15|0054 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
21.50|------------------------------------------------------------------------------------------------------|
21.85|TOTALE PAGINA                  5400.00    5400.00       0.00    5400.00   72900.00       0.00|
22.20|------------------------------------------------------------------------------------------------------|
22.55|TFR MESE    = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - |
22.90|              ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)|
23.25|F.TESORERIA = TFR MESE  - Q201TFRFONDOMESE|
23.60|F.PENSIONE  = Q201TFRFONDOMESE|
23.95|CF01        = TFR MESE  - Q201TFRFONDOMESE|
24.65|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
== new page
== page header
0.50|IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF01 31/03/2024        Pagina    2|
0.85|------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 009 PAGINE SRL                     7777777777|
1.55|------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                   TFR MESE F.TESORERIA F.PENSIONE       CF01  RETR. TFR  IM.LE FAP|
2.25|------------------------------------------------------------------------------------------------------|
2.60|0055 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
2.95|------------------------------------------------------------------------------------------------------|
3.30|TOTALE                         5500.00    5500.00       0.00    5500.00   74250.00       0.00|
3.65|------------------------------------------------------------------------------------------------------|
4.00|TFR MESE    = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - |
4.35|              ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)|
4.70|F.TESORERIA = TFR MESE  - Q201TFRFONDOMESE|
5.05|F.PENSIONE  = Q201TFRFONDOMESE|
5.40|CF01        = TFR MESE  - Q201TFRFONDOMESE|
6.10|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)");
    // The printer: every page from 1.0, the lines from 3.2.
    EXPECT_EQ(s.Document(ListKind::CF01, 9, false), ShiftedDocument(pdf, 6, 0.5, 0.6));
}

TEST(ListPaging, FiftyFourEmployeesFillOnePage) {
    ListSuite s;
    WritePagingCompany(s, 54);
    CaptureSink sink(true);
    s.Run(ListKind::CF01, 9, sink);
    EXPECT_EQ(Count(sink.events(), "== new page"), 0);
    EXPECT_EQ(Count(sink.events(), "== page header"), 1);
    EXPECT_EQ(sink.writes()[6 + 54 + 1].text,
              "TOTALE                         5400.00    5400.00       0.00    5400.00   72900.00       0.00");
}

// The page limit is tested before the index search: an employee whose key is missing still makes
// the page break, and page 2 then holds only the final block.
TEST(ListPaging, SkippedEmployeeStillBreaksThePage) {
    ListSuite s;
    WritePagingCompany(s, 55, 55);
    CaptureSink sink(true);
    s.Run(ListKind::CF01, 9, sink);
    const auto& w = sink.writes();
    EXPECT_EQ(Count(sink.events(), "== new page"), 1);
    ASSERT_EQ(w.size(), 60u + 3 + 6 + 6 + 3 + 6);
    EXPECT_EQ(w[61].text.substr(0, 13), "TOTALE PAGINA");
    EXPECT_EQ(w[76].text,
              "TOTALE                         5400.00    5400.00       0.00    5400.00   72900.00       0.00");
    EXPECT_EQ(CaptureSink::Cm(w[75].y), "2.60");  // the separator right after the header
    EXPECT_EQ(w[69].text, "IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF01 31/03/2024        Pagina    2");
}

// Page numbers are right-aligned in four characters; page totals start again on every page.
// Recoveries: 7 header lines, so 53 employee lines a page; 11 x 53 = 583, the 584th opens page 12.
TEST(ListPaging, PageTwelve) {
    ListSuite s;
    s.Header("31032024");
    s.Company(5, "EPSILON COOP", "4444444444");
    for (int i = 1; i <= 584; ++i) s.Employee(5, i, "LAVORATORE", "NINO", {{"P602", "1.00"}});
    s.Write();
    CaptureSink sink(true);
    s.Run(ListKind::Recoveries, 5, sink);
    EXPECT_EQ(Count(sink.events(), "== page header"), 12);
    EXPECT_EQ(Count(sink.events(), "== new page"), 11);
    std::vector<std::string> titles, pageTotals;
    for (const auto& w : sink.writes()) {
        if (w.text.rfind("IMPORTI", 0) == 0) titles.push_back(w.text.substr(w.text.size() - 11));
        if (w.text.rfind("TOTALE PAGINA", 0) == 0) pageTotals.push_back(w.text);
    }
    ASSERT_EQ(titles.size(), 12u);
    EXPECT_EQ(titles[0], "Pagina    1");
    EXPECT_EQ(titles[8], "Pagina    9");
    EXPECT_EQ(titles[9], "Pagina   10");
    EXPECT_EQ(titles[11], "Pagina   12");
    ASSERT_EQ(pageTotals.size(), 11u);
    for (const auto& t : pageTotals) EXPECT_EQ(t, "TOTALE PAGINA                    53.00                  0.00");
    EXPECT_EQ(sink.writes()[sink.writes().size() - 4].text,
              "TOTALE                          584.00                  0.00");
}

// TF02 arrears, 54 employees (53 a page): in the PDF the legend after "TOTALE PAGINA" shows the
// second line without brackets; on the printer, and after "TOTALE" on both sinks, with them.
// Each employee: Q688 10, Q236 100 -> PUNTO1 110, QU.F.TE 10, TF02(3) = Q691 0.50.
// Page 1 totals: 53 x 110 = 5830.00, 530.00, 26.50; final: 5940.00, 540.00, 27.00.
TEST(ListPaging, TF02ArrearsLegendAfterPageTotals) {
    for (bool pdf : {true, false}) {
        ListSuite s;
        s.Header("31032024");
        s.Company(7, "ETA TRASPORTI SRL", "5555555555");
        for (int i = 1; i <= 54; ++i)
            s.Employee(7, i, "LAVORATORE", "NINO",
                       {{"P599", "032024"}, {"Q179", "15032024"}, {"Q688", "10.00"}, {"Q236", "100.00"}, {"Q691", "0.50"}});
        s.Write();
        CaptureSink sink(pdf);
        s.Run(ListKind::TF02Arrears, 7, sink);
        const auto& w = sink.writes();
        ASSERT_GT(w.size(), 70u);
        EXPECT_EQ(w[61].text, "TOTALE PAGINA                  5830.00     530.00                                      26.50       0.00       0.00");
        EXPECT_EQ(CaptureSink::Cm(w[61].y), pdf ? "21.86" : "22.36");
        EXPECT_EQ(w[63].text, "1) PUNTO 1        = Q688 + VALORE 2");
        EXPECT_EQ(w[64].text, pdf ? "2) PUNTO 2        = Q236-Q201" : "2) PUNTO 2        = (Q236-Q201)");
        const size_t last = w.size();
        EXPECT_EQ(w[last - 9].text, "TOTALE                         5940.00     540.00                                      27.00       0.00       0.00");
        EXPECT_EQ(w[last - 7].text, "1) PUNTO 1        = Q688 + VALORE 2");
        EXPECT_EQ(w[last - 6].text, "2) PUNTO 2        = (Q236-Q201)");
    }
}

// A company whose only employees are not in the index: the header and a "TOTALE" block of zeros.
TEST(ListSkipping, OnlySkippedEmployeesGiveZeroTotals) {
    ListSuite s;
    s.Header("31032024");
    s.Company(8, "OMEGA SRL", "8888888888");
    s.Employee(8, 1, "ROSSI", "MARIO", {{"P260", "2000.00"}}, false);
    s.Employee(8, 2, "BIANCHI", "LUCA", {{"P260", "2000.00"}}, false);
    s.Write();
    EXPECT_EQ(s.Document(ListKind::CF01, 8, true), R"(== begin list TESCF01_ 9pt
== page header
0.50|IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF01 31/03/2024        Pagina    1|
0.85|------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 008 OMEGA SRL                      8888888888|
1.55|------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                   TFR MESE F.TESORERIA F.PENSIONE       CF01  RETR. TFR  IM.LE FAP|
2.25|------------------------------------------------------------------------------------------------------|
2.60|------------------------------------------------------------------------------------------------------|
2.95|TOTALE                            0.00       0.00       0.00       0.00       0.00       0.00|
3.30|------------------------------------------------------------------------------------------------------|
3.65|TFR MESE    = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - |
4.00|              ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)|
4.35|F.TESORERIA = TFR MESE  - Q201TFRFONDOMESE|
4.70|F.PENSIONE  = Q201TFRFONDOMESE|
5.05|CF01        = TFR MESE  - Q201TFRFONDOMESE|
5.75|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)");
}

// No employee selected: nothing at all in the PDF (no document); the printer has only been checked.
TEST(ListSkipping, NoSelectedEmployeeProducesNothing) {
    ListSuite s;
    s.Header("31032024");
    s.Company(8, "OMEGA SRL", "8888888888");
    s.Employee(8, 1, "ROSSI", "MARIO", {{"P598", "0"}, {"P260", "2000.00"}});
    s.Company(9, "ALTRA SRL", "9999999999");
    s.Employee(9, 1, "BIANCHI", "LUCA", {{"P260", "2000.00"}});
    s.Write();
    for (ListKind kind : {ListKind::CF01, ListKind::CF02Arrears, ListKind::TF02, ListKind::TF02Arrears,
                          ListKind::CF11, ListKind::Recoveries, ListKind::TF14}) {
        EXPECT_EQ(s.Document(kind, 8, true), "") << kv::lists::ShortName(kind);
        CaptureSink printer(false);
        s.Run(kind, 8, printer);
        ASSERT_EQ(printer.events().size(), 1u);
        EXPECT_EQ(printer.events()[0].rfind("== begin list", 0), 0u);
    }
}

TEST(ListSkipping, PrinterNotReadyPrintsNothing) {
    ListSuite s;
    s.Header("31032024");
    s.Company(8, "OMEGA SRL", "8888888888");
    s.Employee(8, 1, "ROSSI", "MARIO", {{"P260", "2000.00"}});
    s.Write();
    CaptureSink printer(false, /*ready=*/false);
    s.Run(ListKind::CF01, 8, printer);
    EXPECT_EQ(printer.Document(), "== begin list TESCF01_ 9pt\n");
}

// ---- CREALISTADISTAMPA -------------------------------------------------------------------------

std::vector<std::string> Select(ListSuite& s, int company, int16_t listaTF14) {
    s.files().LEGGIREC(1, company);
    s.repo().REC_DIT() = s.files().buffer(1);
    kv::lists::ListEnvironment env{s.files(), s.repo(), s.ctx().keys(), s.extraction,
                                   ListSuite::Digits(company, 3), listaTF14, '.'};
    return kv::lists::CREALISTADISTAMPA(env);
}

TEST(EmployeeSelection, ExclusionsAndTheTF14Widening) {
    for (bool t404 : {true, false}) {
        ListSuite s;
        s.Header("31032024");
        s.Company(1, "ALFA", "1", t404);
        s.Company(2, "BETA", "2");
        s.Employee(1, 9, "NOVE", "N", {});                                  // taken
        s.Employee(1, 1, "UNO", "U", {{"P359", "99"}});                     // excluded
        s.Employee(1, 2, "DUE", "D", {{"P054", "2"}});                      // excluded
        s.Employee(1, 3, "TRE", "T", {{"P598", "0"}});                      // excluded
        s.Employee(1, 4, "QUATTRO", "Q", {{"P598", "0"}, {"P188", "1"}});   // TF14 with T404 = 1 only
        s.Employee(1, 5, "CINQUE", "C", {{"P598", "2"}, {"P188", "1"}});    // taken (P598 not 0)
        s.Employee(2, 6, "SEI", "S", {});                                   // another company
        s.Employee(1, 7, "SETTE", "S", {{"P359", "98"}, {"P054", "1"}});    // taken
        s.Employee(1, 8, "OTTO", "O", {{"P598", "0"}, {"P188", "1"}, {"P054", "2"}});  // excluded by P054
        s.Write();
        EXPECT_EQ(Select(s, 1, 0), (std::vector<std::string>{"0010000005", "0010000007", "0010000009"}));
        if (t404)
            EXPECT_EQ(Select(s, 1, 1),
                      (std::vector<std::string>{"0010000004", "0010000005", "0010000007", "0010000009"}));
        else
            EXPECT_EQ(Select(s, 1, 1), (std::vector<std::string>{"0010000005", "0010000007", "0010000009"}));
    }
}

// Record 99 does not exist in the employee archive: the selection stops there and keeps what it found;
// an empty entry ends the extraction as well.
TEST(EmployeeSelection, StopsPastTheEndOfTheEmployeeArchiveAndAtAnEmptyEntry) {
    ListSuite s;
    s.Header("31032024");
    s.Company(1, "ALFA", "1");
    s.Employee(1, 3, "TRE", "T", {});
    s.Employee(1, 1, "UNO", "U", {});
    s.Employee(1, 2, "DUE", "D", {});
    s.Write();
    EXPECT_EQ(Select(s, 1, 0), (std::vector<std::string>{"0010000001", "0010000002", "0010000003"}));
    const std::vector<std::string> all = s.extraction;
    s.extraction = {all[0], all[1], "0010000099", all[2]};
    EXPECT_EQ(Select(s, 1, 0), (std::vector<std::string>{"0010000001", "0010000003"}));
    s.extraction = {all[0], "", all[1], all[2]};
    EXPECT_EQ(Select(s, 1, 0), (std::vector<std::string>{"0010000003"}));
}

// A record number too large for a number (an overflow) skips its entry; the selection goes on.
TEST(EmployeeSelection, AnEntryWhoseRecordNumberOverflowsIsSkipped) {
    ListSuite s;
    s.Header("31032024");
    s.Company(1, "ALFA", "1");
    s.Employee(1, 1, "UNO", "U", {});
    s.Employee(1, 2, "DUE", "D", {});
    s.Write();
    const std::vector<std::string> all = s.extraction;
    s.extraction = {all[0], "0011E+9999", all[1]};
    EXPECT_EQ(Select(s, 1, 0), (std::vector<std::string>{"0010000001", "0010000002"}));
}

// ---- SCRIVICELLA -------------------------------------------------------------------------------

TEST(ScriviCella, WritesNeitherEmptyTextNorZeroAndEmptiesTheText) {
    CaptureSink sink(true);
    struct Case {
        std::string text;
        bool printZero;
        bool written;
    };
    const Case cases[] = {
        {"", false, false},       {"", true, false},         {"     ", false, false}, {"0", false, false},
        {"0.00", false, false},   {"  0.00 ", false, false}, {"0", true, true},       {"0.00", true, true},
        {"1.5", false, true},     {"-0.01", false, true},    {"TOTALE", false, true}, {" A ", false, true},
        {"0001 ROSSI M", false, true},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        const size_t before = sink.writes().size();
        kv::lists::SCRIVICELLA(sink, 1.5, 0.5, text, c.printZero);
        EXPECT_EQ(sink.writes().size() - before, c.written ? 1u : 0u) << "[" << c.text << "]";
        EXPECT_TRUE(text.empty());
        if (c.written) {
            EXPECT_EQ(sink.writes().back().text, c.text);
            EXPECT_EQ(sink.writes().back().y, 1.5);
            EXPECT_EQ(sink.writes().back().x, 0.5);
        }
    }
}

}  // namespace
}  // namespace kvtest::lists
