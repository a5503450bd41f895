// The TF14 list: the month's TFR net of the contribution (PUNTO 1), its Treasury Fund share, the
// exoneration percentage of the extraction year and the recovered amount, on both sinks.
#include "ListFixture.h"

namespace kvtest::lists {
namespace {

using kv::lists::ListKind;

// Company 001 (T404 = 1, a registration number with trailing blanks), extraction 31/03/2024.
// Hand-computed values (r = contribution rate in percent, ESO 2024 = 0.28):
//  1 ROSSI MARIO    P260 = P240 = 2000, r 0.50:
//                   PUNTO1 = 2000/13.5 - 2000*0.50/100 = 148.148148 - 10 = 138.148148 -> 138.15
//                   Q 0 -> COEF1 = 138.15/138.15 = 1.00000, COEF2 = 0.0028, TF14 = 2000*0.0028 = 5.60
//  2 BIANCHI LUCA   relief code "4" (40% reduction), P260 = P240 = 2700, Q201 50:
//                   PUNTO1 = 200 - 2700*0.50/100*40/100 = 200 - 5.40 = 194.60; QU.F.TE = 144.60
//                   COEF1 = 144.60/194.60 = 0.7430627 -> 0.74306; COEF2 = 0.74306*0.28/100 = 0.002080568
//                   TF14 = 2700*0.002080568 = 5.6175336 -> 5.62
//  3 VERDI ANNA     P606 1350 > 0, P260 1500, P240 1500, P268 1350, own rate P620 0.30, P600 80, P604 25, Q201 40:
//                   PUNTO1 = 2850/13.5 - 2850*0.30/100 = 211.111111 - 8.55 = 202.561111 -> 202.56
//                   QU.F.TE = P604 + P600 = 105.00; COEF1 = 105/202.56 = 0.5183649 -> 0.51836
//                   COEF2 = 0.001451408; TF14 = (1500+1350)*0.001451408 = 4.1365128 -> 4.14
//  4 NERI LUCA      P188 1 and P598 0 (taken only because TF14 widens the selection and T404 = 1),
//                   exempt P083 1 without reduction: r = 0, PUNTO1 = 1350/13.5 = 100.00, TF14 = 1350*0.0028 = 3.78
//  5 GIALLI PIA     as ROSSI with Q201 138.90: Int(138.15) - Int(138.90) = 0 -> PUNTO1 = 138.90,
//                   QU.F.TE 0.00, COEF1 0, COEF2 0, TF14 0
//  6 MORI ELSA      P359 99: never listed
// Totals add the unrounded values: TF14 = 5.6 + 5.6175336 + 4.1365128 + 3.78 + 0 = 19.1340464 -> 19.13
// (the printed cells would add up to 19.14); PUNTO1 774.21; QU.F.TE 487.75; RETR. TFR = IM.LE FAP = 10900.00.
void WriteTF14Company(ListSuite& s) {
    s.Header("31032024");
    s.Company(1, "ALFA COSTRUZIONI SRL", "12345", true);
    // Added out of key order: the list prints by ascending key whatever the extraction's order.
    s.Employee(1, 5, "GIALLI", "PIA", {{"P260", "2000.00"}, {"P240", "2000.00"}, {"Q201", "138.90"}});
    s.Employee(1, 3, "VERDI", "ANNA",
               {{"P260", "1500.00"}, {"P606", "1350.00"}, {"P240", "1500.00"}, {"P268", "1350.00"},
                {"P620", "0.30"}, {"P600", "80.00"}, {"P604", "25.00"}, {"Q201", "40.00"}});
    s.Employee(1, 1, "ROSSI", "MARIO", {{"P260", "2000.00"}, {"P240", "2000.00"}});
    s.Employee(1, 6, "MORI", "ELSA", {{"P359", "99"}, {"P260", "2000.00"}, {"P240", "2000.00"}});
    s.Employee(1, 2, "BIANCHI", "LUCA",
               {{"P916", "4"}, {"P260", "2700.00"}, {"P240", "2700.00"}, {"Q201", "50.00"}});
    s.Employee(1, 4, "NERI", "LUCA",
               {{"P188", "1"}, {"P598", "0"}, {"P083", "1"}, {"P260", "1350.00"}, {"P240", "1350.00"}});
    s.Write();
}

TEST(TF14List, PdfDocument) {
    ListSuite s;
    WriteTF14Company(s);
    EXPECT_EQ(s.Document(ListKind::TF14, 1, true), R"(== begin list TESTF14_ 9pt
== page header
0.50|IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF14 31/03/2024                  Pagina    1|
0.85|-------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 001 ALFA COSTRUZIONI SRL           12345     |
1.55|-------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                   TFR MM(1) QU.F.TE(2) %ESO  COEF.1  COEF.2    TF14(3)  RETR. TFR  IM.LE FAP|
2.25|-------------------------------------------------------------------------------------------------------|
2.60|0001 ROSSI M                    138.15     138.15 0.28 1.00000 0.00280       5.60    2000.00    2000.00|
2.95|0002 BIANCHI L                  194.60     144.60 0.28 0.74306 0.00208       5.62    2700.00    2700.00|
3.30|0003 VERDI A                    202.56     105.00 0.28 0.51836 0.00145       4.14    2850.00    2850.00|
3.65|0004 NERI L                     100.00     100.00 0.28 1.00000 0.00280       3.78    1350.00    1350.00|
4.00|0005 GIALLI P                   138.90       0.00 0.28 0.00000 0.00000       0.00    2000.00    2000.00|
4.35|-------------------------------------------------------------------------------------------------------|
4.70|TOTALE                          774.21     487.75                           19.13   10900.00   10900.00|
5.05|-------------------------------------------------------------------------------------------------------|
5.40|1) PUNTO 1       = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - |
5.75|                   ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)|
6.10|2) PUNTO 2       = PUNTO 1 - Q201TFRFONDOMESE|
6.45|   %ESONERO      = 0.28 2024|
6.80|   COEFFICIENTE1 = PUNTO 2 / PUNTO 1|
7.15|   COEFFICIENTE2 = COEFFICIENTE1 * ESO / 100|
7.50|3) TF14          = P240IMPSOCIALE * COEFFICIENTE2|
8.20|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)");
    EXPECT_TRUE(s.messages().shown().empty());
}

TEST(TF14List, PrinterDocumentDiffersOnlyInPositions) {
    ListSuite s;
    WriteTF14Company(s);
    EXPECT_EQ(s.Document(ListKind::TF14, 1, false), R"(== begin list TESTF14_ 9pt
== page header
1.00|IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF14 31/03/2024                  Pagina    1|
1.35|-------------------------------------------------------------------------------------------------------|
1.70|AZIENDA : 001 ALFA COSTRUZIONI SRL           12345     |
2.05|-------------------------------------------------------------------------------------------------------|
2.40|NOMINATIVO                   TFR MM(1) QU.F.TE(2) %ESO  COEF.1  COEF.2    TF14(3)  RETR. TFR  IM.LE FAP|
2.75|-------------------------------------------------------------------------------------------------------|
3.10|0001 ROSSI M                    138.15     138.15 0.28 1.00000 0.00280       5.60    2000.00    2000.00|
3.45|0002 BIANCHI L                  194.60     144.60 0.28 0.74306 0.00208       5.62    2700.00    2700.00|
3.80|0003 VERDI A                    202.56     105.00 0.28 0.51836 0.00145       4.14    2850.00    2850.00|
4.15|0004 NERI L                     100.00     100.00 0.28 1.00000 0.00280       3.78    1350.00    1350.00|
4.50|0005 GIALLI P                   138.90       0.00 0.28 0.00000 0.00000       0.00    2000.00    2000.00|
4.85|-------------------------------------------------------------------------------------------------------|
5.20|TOTALE                          774.21     487.75                           19.13   10900.00   10900.00|
5.55|-------------------------------------------------------------------------------------------------------|
5.90|1) PUNTO 1       = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - |
6.25|                   ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)|
6.60|2) PUNTO 2       = PUNTO 1 - Q201TFRFONDOMESE|
6.95|   %ESONERO      = 0.28 2024|
7.30|   COEFFICIENTE1 = PUNTO 2 / PUNTO 1|
7.65|   COEFFICIENTE2 = COEFFICIENTE1 * ESO / 100|
8.00|3) TF14          = P240IMPSOCIALE * COEFFICIENTE2|
8.70|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)");
}

// Additional-month extraction of December 2012 (month-type character "0", ESO 0.26):
//  1 ROSSI MARIO   P606 1350, P268 1350 (P260 9999.99 and P240 8888.88 play no part), P600 80, P604 25:
//                  PUNTO1 = 1350/13.5 - 1350*0.50/100 = 100 - 6.75 = 93.25
//                  P606 > 0: QU.F.TE = 105.00, COEF1 = 105/93.25 = 1.1260054 -> 1.12601
//                  COEF2 = 1.12601*0.26/100 = 0.002927626; TF14 = P268*COEF2 = 3.9522951 -> 3.95
//  2 BIANCHI LUCA  the same with relief code "4": PUNTO1 = 100 - 6.75*40/100 = 97.30
//                  COEF1 = 105/97.30 = 1.0791367 -> 1.07914; COEF2 = 0.002805764; TF14 = 3.7877814 -> 3.79
// Totals: 190.55, 210.00, TF14 3.9522951 + 3.7877814 = 7.7400765 -> 7.74, 2700.00, 2700.00.
TEST(TF14List, AdditionalMonthUsesOnlyTheAdditionalMonthsPay) {
    ListSuite s;
    s.Header("31122012", '0');
    s.Company(1, "ALFA COSTRUZIONI SRL", "12345", true);
    const Fields pay = {{"P606", "1350.00"}, {"P268", "1350.00"}, {"P260", "9999.99"},
                        {"P240", "8888.88"}, {"P600", "80.00"},   {"P604", "25.00"}};
    s.Employee(1, 1, "ROSSI", "MARIO", pay);
    Fields reduced = pay;
    reduced["P916"] = "4";
    s.Employee(1, 2, "BIANCHI", "LUCA", reduced);
    s.Write();
    EXPECT_EQ(s.Document(ListKind::TF14, 1, true), R"(== begin list TESTF14_ 9pt
== page header
0.50|IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF14 31/12/2012                  Pagina    1|
0.85|-------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 001 ALFA COSTRUZIONI SRL           12345     |
1.55|-------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                   TFR MM(1) QU.F.TE(2) %ESO  COEF.1  COEF.2    TF14(3)  RETR. TFR  IM.LE FAP|
2.25|-------------------------------------------------------------------------------------------------------|
2.60|0001 ROSSI M                     93.25     105.00 0.26 1.12601 0.00293       3.95    1350.00    1350.00|
2.95|0002 BIANCHI L                   97.30     105.00 0.26 1.07914 0.00281       3.79    1350.00    1350.00|
3.30|-------------------------------------------------------------------------------------------------------|
3.65|TOTALE                          190.55     210.00                            7.74    2700.00    2700.00|
4.00|-------------------------------------------------------------------------------------------------------|
4.35|1) PUNTO 1       = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - |
4.70|                   ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)|
5.05|2) PUNTO 2       = PUNTO 1 - Q201TFRFONDOMESE|
5.40|   %ESONERO      = 0.26 2012|
5.75|   COEFFICIENTE1 = PUNTO 2 / PUNTO 1|
6.10|   COEFFICIENTE2 = COEFFICIENTE1 * ESO / 100|
6.45|3) TF14          = P240IMPSOCIALE * COEFFICIENTE2|
7.15|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)");
}

// The exoneration percentage of the extraction year, in the %ESO cell, in COEF.2 and in the legend.
struct YearCase {
    const char* date;
    const char* eso;      // the %ESO cell and the legend
    const char* coef2;    // COEF1 1.00000 * ESO / 100
    const char* tf14;     // 2000 * COEF2
};
// Names the case by its extraction date in test listings.
void PrintTo(const YearCase& c, std::ostream* os) { *os << c.date; }

class TF14Year : public ::testing::TestWithParam<YearCase> {};

TEST_P(TF14Year, ExonerationByYear) {
    const YearCase c = GetParam();
    ListSuite s;
    s.Header(c.date);
    s.Company(1, "ALFA COSTRUZIONI SRL", "12345", true);
    s.Employee(1, 1, "ROSSI", "MARIO", {{"P260", "2000.00"}, {"P240", "2000.00"}});
    s.Write();
    CaptureSink sink(true);
    s.Run(ListKind::TF14, 1, sink);
    const std::string year = std::string(c.date).substr(4);
    const std::string line = sink.writes()[6].text;
    EXPECT_EQ(line.substr(49, 5), std::string(" ") + c.eso) << line;
    EXPECT_EQ(line.substr(62, 8), std::string(" ") + c.coef2) << line;
    EXPECT_EQ(line.substr(70, 11), std::string(c.tf14)) << line;
    // Legend line 4 follows the separator, the totals and the separator after the one line.
    EXPECT_EQ(sink.writes()[13].text, std::string("   %ESONERO      = ") + c.eso + " " + year);
}

INSTANTIATE_TEST_SUITE_P(
    Years, TF14Year,
    ::testing::Values(YearCase{"31012007", "0.28", "0.00280", "       5.60"},
                      YearCase{"31012008", "0.19", "0.00190", "       3.80"},
                      YearCase{"31012009", "0.21", "0.00210", "       4.20"},
                      YearCase{"31012010", "0.23", "0.00230", "       4.60"},
                      YearCase{"31012011", "0.25", "0.00250", "       5.00"},
                      YearCase{"31012012", "0.26", "0.00260", "       5.20"},
                      YearCase{"31012013", "0.27", "0.00270", "       5.40"},
                      YearCase{"31012015", "0.28", "0.00280", "       5.60"}));

// The amounts follow the decimal separator of the user's regional settings; nothing else changes.
TEST(TF14List, DecimalCommaSeparator) {
    ListSuite s;
    WriteTF14Company(s);
    CaptureSink sink(true);
    s.Run(ListKind::TF14, 1, sink, ',');
    EXPECT_EQ(sink.writes()[6].text,
              "0001 ROSSI M                    138,15     138,15 0,28 1,00000 0,00280       5,60    2000,00    2000,00");
    EXPECT_EQ(sink.writes()[12].text,
              "TOTALE                          774,21     487,75                           19,13   10900,00   10900,00");
    EXPECT_EQ(sink.writes()[0].text,
              "IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF14 31/03/2024                  Pagina    1");
}

}  // namespace
}  // namespace kvtest::lists
