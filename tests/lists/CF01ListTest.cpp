// The CF01 list: the month's TFR and its split between the Treasury Fund and the pension fund.
#include "ListFixture.h"

namespace kvtest::lists {
namespace {

using kv::lists::ListKind;

// Company 002, extraction 31/03/2018 (so a 2016 hiring is still inside its relief window).
// TFR MESE keeps full precision; only the printed cells and the totals' cells are rounded.
//  1 ROSSI MARIO      P260 = P240 = 2000, r 0.50: 2000/13.5 - 10 = 138.148148 -> 138.15, F.PENSIONE 0
//  2 GRECO LUIGI      relief "5", exempt P083 1, P620 0.30, P260 = P240 = 2700, P268 300:
//                     the reduction sets r back to 0.30; category "5" keeps 50% of the contribution on
//                     P240 + P268: 200 - 3000*0.30/100*50/100 = 200 - 4.50 = 195.50
//  3 BRUNO CHIARA     relief "6", same pay: all of it: 200 - 3000*0.50/100 = 185.00; IM.LE FAP P240 alone
//  4 FERRARI GIULIA   relief "1", hired 01/03/2016 (window up to 201803), P260 = P240 = 2000, Q201 100:
//                     148.148148 - 2000*0.50/100*40/100 = 144.148148 -> 144.15; F.TESORERIA 44.148148 -> 44.15
//  5 MORETTI GIORGIO  P606 1350 > 0, P260 1500, P240 1500, P268 1350, P600 80, P604 25, Q201 40:
//                     2850/13.5 - 2850*0.50/100 = 211.111111 - 14.25 = 196.861111 -> 196.86
//                     F.TESORERIA = CF01 = P604 + P600 = 105.00; F.PENSIONE = 196.861111 - 105 = 91.86
//  6 MARINI FEDERICO  Q201 200 above the TFR (138.15): floor rule, TFR MESE = 200, F.TESORERIA 0.00
// Totals: TFR 1059.657407 -> 1059.66; F.TESORERIA 667.796296 -> 667.80 (also under CF01);
//         F.PENSIONE 391.861111 -> 391.86; RETR. TFR 14250.00; IM.LE FAP 14250.00.
void WriteCF01Company(ListSuite& s) {
    s.Header("31032018");
    s.Company(2, "BETA SNC", "1111111111");
    s.Employee(2, 1, "ROSSI", "MARIO", {{"P260", "2000.00"}, {"P240", "2000.00"}});
    s.Employee(2, 2, "GRECO", "LUIGI",
               {{"P916", "5"}, {"P083", "1"}, {"P620", "0.30"}, {"P260", "2700.00"}, {"P240", "2700.00"},
                {"P268", "300.00"}});
    s.Employee(2, 3, "BRUNO", "CHIARA", {{"P916", "6"}, {"P260", "2700.00"}, {"P240", "2700.00"}, {"P268", "300.00"}});
    s.Employee(2, 4, "FERRARI", "GIULIA",
               {{"P916", "1"}, {"P013", "01032016"}, {"P260", "2000.00"}, {"P240", "2000.00"}, {"Q201", "100.00"}});
    s.Employee(2, 5, "MORETTI", "GIORGIO",
               {{"P260", "1500.00"}, {"P606", "1350.00"}, {"P240", "1500.00"}, {"P268", "1350.00"},
                {"P600", "80.00"}, {"P604", "25.00"}, {"Q201", "40.00"}});
    s.Employee(2, 6, "MARINI", "FEDERICO", {{"P260", "2000.00"}, {"P240", "2000.00"}, {"Q201", "200.00"}});
    s.Write();
}

TEST(CF01List, PdfDocument) {
    ListSuite s;
    WriteCF01Company(s);
    EXPECT_EQ(s.Document(ListKind::CF01, 2, true), R"(== begin list TESCF01_ 9pt
== page header
0.50|IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF01 31/03/2018        Pagina    1|
0.85|------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 002 BETA SNC                       1111111111|
1.55|------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                   TFR MESE F.TESORERIA F.PENSIONE       CF01  RETR. TFR  IM.LE FAP|
2.25|------------------------------------------------------------------------------------------------------|
2.60|0001 ROSSI M                    138.15     138.15       0.00     138.15    2000.00    2000.00|
2.95|0002 GRECO L                    195.50     195.50       0.00     195.50    2700.00    2700.00|
3.30|0003 BRUNO C                    185.00     185.00       0.00     185.00    2700.00    2700.00|
3.65|0004 FERRARI G                  144.15      44.15     100.00      44.15    2000.00    2000.00|
4.00|0005 MORETTI G                  196.86     105.00      91.86     105.00    2850.00    2850.00|
4.35|0006 MARINI F                   200.00       0.00     200.00       0.00    2000.00    2000.00|
4.70|------------------------------------------------------------------------------------------------------|
5.05|TOTALE                         1059.66     667.80     391.86     667.80   14250.00   14250.00|
5.40|------------------------------------------------------------------------------------------------------|
5.75|TFR MESE    = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - |
6.10|              ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)|
6.45|F.TESORERIA = TFR MESE  - Q201TFRFONDOMESE|
6.80|F.PENSIONE  = Q201TFRFONDOMESE|
7.15|CF01        = TFR MESE  - Q201TFRFONDOMESE|
7.85|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)");
    EXPECT_TRUE(s.messages().shown().empty());
}

// On the printer the page starts at 1.0 and the lines after the header at 3.2 (0.6 below the PDF's 2.6).
TEST(CF01List, PrinterDocument) {
    ListSuite s;
    WriteCF01Company(s);
    EXPECT_EQ(s.Document(ListKind::CF01, 2, false), R"(== begin list TESCF01_ 9pt
== page header
1.00|IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF01 31/03/2018        Pagina    1|
1.35|------------------------------------------------------------------------------------------------------|
1.70|AZIENDA : 002 BETA SNC                       1111111111|
2.05|------------------------------------------------------------------------------------------------------|
2.40|NOMINATIVO                   TFR MESE F.TESORERIA F.PENSIONE       CF01  RETR. TFR  IM.LE FAP|
2.75|------------------------------------------------------------------------------------------------------|
3.20|0001 ROSSI M                    138.15     138.15       0.00     138.15    2000.00    2000.00|
3.55|0002 GRECO L                    195.50     195.50       0.00     195.50    2700.00    2700.00|
3.90|0003 BRUNO C                    185.00     185.00       0.00     185.00    2700.00    2700.00|
4.25|0004 FERRARI G                  144.15      44.15     100.00      44.15    2000.00    2000.00|
4.60|0005 MORETTI G                  196.86     105.00      91.86     105.00    2850.00    2850.00|
4.95|0006 MARINI F                   200.00       0.00     200.00       0.00    2000.00    2000.00|
5.30|------------------------------------------------------------------------------------------------------|
5.65|TOTALE                         1059.66     667.80     391.86     667.80   14250.00   14250.00|
6.00|------------------------------------------------------------------------------------------------------|
6.35|TFR MESE    = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - |
6.70|              ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)|
7.05|F.TESORERIA = TFR MESE  - Q201TFRFONDOMESE|
7.40|F.PENSIONE  = Q201TFRFONDOMESE|
7.75|CF01        = TFR MESE  - Q201TFRFONDOMESE|
8.45|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)");
}

// Additional-month extraction of December 2024: P260 and P240 play no part; with the reduction the
// contribution keeps 40% whatever the relief category (the 50%/100% rule holds in a normal month only).
//  1 ROSSI MARIO   P606 1350, P268 1350, P600 40, P604 25: 1350/13.5 - 1350*0.50/100 = 93.25;
//                  F.TESORERIA = CF01 = 65.00; F.PENSIONE = 93.25 - 65 = 28.25
//  2 BIANCHI LUCA  relief "4": 100 - 6.75*40/100 = 97.30 (not 100 - 6.75*50/100 = 96.63); F.PENSIONE 32.30
TEST(CF01List, AdditionalMonth) {
    ListSuite s;
    s.Header("31122024", '0');
    s.Company(2, "BETA SNC", "1111111111");
    const Fields pay = {{"P606", "1350.00"}, {"P268", "1350.00"}, {"P260", "9999.99"},
                        {"P240", "8888.88"}, {"P600", "40.00"},   {"P604", "25.00"}};
    s.Employee(2, 1, "ROSSI", "MARIO", pay);
    Fields reduced = pay;
    reduced["P916"] = "4";
    s.Employee(2, 2, "BIANCHI", "LUCA", reduced);
    s.Write();
    EXPECT_EQ(s.Document(ListKind::CF01, 2, true), R"(== begin list TESCF01_ 9pt
== page header
0.50|IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF01 31/12/2024        Pagina    1|
0.85|------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 002 BETA SNC                       1111111111|
1.55|------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                   TFR MESE F.TESORERIA F.PENSIONE       CF01  RETR. TFR  IM.LE FAP|
2.25|------------------------------------------------------------------------------------------------------|
2.60|0001 ROSSI M                     93.25      65.00      28.25      65.00    1350.00    1350.00|
2.95|0002 BIANCHI L                   97.30      65.00      32.30      65.00    1350.00    1350.00|
3.30|------------------------------------------------------------------------------------------------------|
3.65|TOTALE                          190.55     130.00      60.55     130.00    2700.00    2700.00|
4.00|------------------------------------------------------------------------------------------------------|
4.35|TFR MESE    = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - |
4.70|              ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)|
5.05|F.TESORERIA = TFR MESE  - Q201TFRFONDOMESE|
5.40|F.PENSIONE  = Q201TFRFONDOMESE|
5.75|CF01        = TFR MESE  - Q201TFRFONDOMESE|
6.45|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)");
}

// The 2016 relief window seen through the list: hired in March 2016, the reduction holds in the
// extraction of March 2018 and not in April 2018.
//   March 2018: 148.148148 - 2000*0.50/100*40/100 = 144.148148 -> 144.15
//   April 2018: 148.148148 - 10 = 138.148148 -> 138.15
TEST(CF01List, ReliefWindowEndsWithMarch2018) {
    for (const auto& [date, tfr] : {std::pair<std::string, std::string>{"31032018", "144.15"}, {"30042018", "138.15"}}) {
        ListSuite s;
        s.Header(date);
        s.Company(2, "BETA SNC", "1111111111");
        s.Employee(2, 4, "FERRARI", "GIULIA", {{"P916", "1"}, {"P013", "01032016"}, {"P260", "2000.00"}, {"P240", "2000.00"}});
        s.Write();
        CaptureSink sink(true);
        s.Run(ListKind::CF01, 2, sink);
        EXPECT_EQ(sink.writes()[6].text.substr(27, 11), " " + std::string(10 - tfr.size(), ' ') + tfr) << date;
    }
}

// An amount of ten million or more is cut to the last ten characters of its cell.
// P260 12345678.90, P240 0: TFR MESE = 12345678.90/13.5 = 914494.733333 -> 914494.73;
// RETR. TFR "12345678.90" (11 characters) prints as "2345678.90".
TEST(CF01List, AmountOfTenMillionKeepsItsLastTenCharacters) {
    ListSuite s;
    s.Header("31032024");
    s.Company(2, "BETA SNC", "1111111111");
    s.Employee(2, 1, "ROSSI", "MARIO", {{"P260", "12345678.90"}});
    s.Write();
    CaptureSink sink(true);
    s.Run(ListKind::CF01, 2, sink);
    EXPECT_EQ(sink.writes()[6].text,
              "0001 ROSSI M                 914494.73  914494.73       0.00  914494.73 2345678.90       0.00");
    EXPECT_EQ(sink.writes()[8].text,
              "TOTALE                       914494.73  914494.73       0.00  914494.73 2345678.90       0.00");
}

// Exempt employee without the reduction: nothing is deducted. P083 1, P620 0.30, P260 = P240 = 2700:
// TFR MESE = 2700/13.5 = 200.00.
TEST(CF01List, ExemptWithoutReductionDeductsNothing) {
    ListSuite s;
    s.Header("31032024");
    s.Company(2, "BETA SNC", "1111111111");
    s.Employee(2, 1, "RIZZO", "MATTEO", {{"P083", "1"}, {"P620", "0.30"}, {"P260", "2700.00"}, {"P240", "2700.00"}});
    s.Write();
    CaptureSink sink(true);
    s.Run(ListKind::CF01, 2, sink);
    EXPECT_EQ(sink.writes()[6].text,
              "0001 RIZZO M                    200.00     200.00       0.00     200.00    2700.00    2700.00");
}

// Own rate P620 0.30, no reduction: 2700/13.5 - 2700*0.30/100 = 200 - 8.10 = 191.90.
// Negative P606 (-150) takes the P606 <= 0 branch: (2000 - 150)/13.5 - 2000*0.50/100
// = 137.037037 - 10 = 127.037037 -> 127.04, RETR. TFR 1850.00.
TEST(CF01List, OwnRateAndNegativeAdditionalPay) {
    ListSuite s;
    s.Header("31032024");
    s.Company(2, "BETA SNC", "1111111111");
    s.Employee(2, 1, "GIORDANO", "VALENTINA", {{"P620", "0.30"}, {"P260", "2700.00"}, {"P240", "2700.00"}});
    s.Employee(2, 2, "BARBIERI", "ALESSIA", {{"P606", "-150.00"}, {"P260", "2000.00"}, {"P240", "2000.00"}});
    s.Write();
    CaptureSink sink(true);
    s.Run(ListKind::CF01, 2, sink);
    EXPECT_EQ(sink.writes()[6].text,
              "0001 GIORDANO V                 191.90     191.90       0.00     191.90    2700.00    2700.00");
    EXPECT_EQ(sink.writes()[7].text,
              "0002 BARBIERI A                 127.04     127.04       0.00     127.04    1850.00    2000.00");
}

}  // namespace
}  // namespace kvtest::lists
