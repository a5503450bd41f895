// The three lists of the employees who joined the Treasury Fund this month: CF02 arrears, CF11
// interest and TF02 arrears.
#include "ListFixture.h"

namespace kvtest::lists {
namespace {

using kv::lists::ListKind;

const Fields kJoinedMarch2024 = {{"P599", "032024"}, {"Q179", "15032024"}};

Fields Joined(Fields extra) {
    Fields f = kJoinedMarch2024;
    for (auto& [k, v] : extra) f[k] = v;
    return f;
}

// ---- CF02 arrears ------------------------------------------------------------------------------
// Company 003, extraction 31/03/2024.
//  1 CARUSO SIMONE  Q236 100, Q201 15, Q688 30, P606 0: F.PENSIONE = 100 - 15 = 85.00, TFR PROGR. = 30 + 85 = 115.00
//                   RETR. TFR PROGR. = Q037 5000 - P260 2000 = 3000.00; IM.LE FAP PROGR. = Q001 6000 - P240 2000 = 4000.00
//  2 FERRI MARTINA  Q688 0.40: TFR PROGR. would be 85.40, same whole units as F.PENSIONE -> 85.00;
//                   CF02 still prints 0.40; Q037 = P260, Q001 = P240 -> 0.00
//  3 LONGO ALBERTO  P598 2: never listed
//  4 SALA PIETRO    adhesion 03/2024 but last payment in April 2024: not listed
//  5 SERRA GIACOMO  relief "5" (reduction), P606 1350, P268 1350, P604 30, Q236 500, Q201 20, Q688 60:
//                   C = Round2(1350*0.50/100*40/100) = 2.70; FP = Round2(1350/13.5) - 2.70 = 97.30;
//                   FP = 97.30 - 30 = 67.30; FP = Round2(500 - (20 + 67.30)) = 412.70; TFR PROGR. = 472.70
//                   RETR. = 8000 - (1500 + 1350) = 5150.00; IM.LE = 9000 - (1500 + 1350) = 6150.00
//  6 ZANI ELIO      everything 0: a line of zeros
// Totals: 672.70, 90.40, 582.70, 8150.00, 10150.00.
TEST(CF02ArrearsList, PdfDocument) {
    ListSuite s;
    s.Header("31032024");
    s.Company(3, "GAMMA SRL", "2222222222");
    s.Employee(3, 1, "CARUSO", "SIMONE",
               Joined({{"Q236", "100.00"}, {"Q201", "15.00"}, {"Q688", "30.00"}, {"Q037", "5000.00"},
                       {"P260", "2000.00"}, {"Q001", "6000.00"}, {"P240", "2000.00"}}));
    s.Employee(3, 2, "FERRI", "MARTINA",
               Joined({{"Q236", "100.00"}, {"Q201", "15.00"}, {"Q688", "0.40"}, {"Q037", "2000.00"},
                       {"P260", "2000.00"}, {"Q001", "2000.00"}, {"P240", "2000.00"}}));
    s.Employee(3, 3, "LONGO", "ALBERTO", Joined({{"P598", "2"}, {"Q236", "100.00"}, {"Q688", "30.00"}}));
    s.Employee(3, 4, "SALA", "PIETRO", Joined({{"Q179", "15042024"}, {"Q236", "100.00"}, {"Q688", "30.00"}}));
    s.Employee(3, 5, "SERRA", "GIACOMO",
               Joined({{"P916", "5"}, {"P606", "1350.00"}, {"P268", "1350.00"}, {"P604", "30.00"},
                       {"Q236", "500.00"}, {"Q201", "20.00"}, {"Q688", "60.00"}, {"Q037", "8000.00"},
                       {"P260", "1500.00"}, {"Q001", "9000.00"}, {"P240", "1500.00"}}));
    s.Employee(3, 6, "ZANI", "ELIO", Joined({}));
    s.Write();
    const std::string pdf = s.Document(ListKind::CF02Arrears, 3, true);
    EXPECT_EQ(pdf, R"(== begin list TESCF02_ 9pt
== page header
0.50|IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF02 ARRETRATI  31/03/2024        Pagina    1|
0.85|------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 003 GAMMA SRL                      2222222222|
1.55|------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                   TFR PROGR.       F.TESORERIA     F.PENSIONE  RETR. TFR  IM.LE FAP|
2.25|                                                 CF02                                  PROGR.|
2.60|------------------------------------------------------------------------------------------------------|
2.95|0001 CARUSO S                   115.00           30.00            85.00    3000.00    4000.00|
3.30|0002 FERRI M                     85.00            0.40            85.00       0.00       0.00|
3.65|0005 SERRA G                    472.70           60.00           412.70    5150.00    6150.00|
4.00|0006 ZANI E                       0.00            0.00             0.00       0.00       0.00|
4.35|------------------------------------------------------------------------------------------------------|
4.70|TOTALE                          672.70           90.40           582.70    8150.00   10150.00|
5.05|------------------------------------------------------------------------------------------------------|
5.40|TFR PROGRESSIVO   = ((Q037-(P260+P606)) /13.5) - ((Q001-P240) * 0.50%)|
5.75|F.TESORERIA CF02  = Q688 VALORE A DM10/2|
6.10|F.PENSIONE        = Q236-Q201|
6.80|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)");
    // Printer: 0.5 lower everywhere (1.0 / 3.45 against 0.5 / 2.95).
    EXPECT_EQ(s.Document(ListKind::CF02Arrears, 3, false), ShiftedDocument(pdf, 7, 0.5, 0.5));
}

// Without the reduction the whole contribution on P268 is taken off:
// C = Round2(1350*0.50/100) = 6.75; FP = 100 - 6.75 - 30 = 63.25; FP = Round2(500 - 83.25) = 416.75;
// TFR PROGR. = 60 + 416.75 = 476.75.
TEST(CF02ArrearsList, AdditionalPayWithoutReduction) {
    ListSuite s;
    s.Header("31032024");
    s.Company(3, "GAMMA SRL", "2222222222");
    s.Employee(3, 5, "SERRA", "GIACOMO",
               Joined({{"P606", "1350.00"}, {"P268", "1350.00"}, {"P604", "30.00"}, {"Q236", "500.00"},
                       {"Q201", "20.00"}, {"Q688", "60.00"}}));
    s.Write();
    CaptureSink sink(true);
    s.Run(ListKind::CF02Arrears, 3, sink);
    EXPECT_EQ(sink.writes()[7].text.substr(0, 71),
              "0005 SERRA G                    476.75           60.00           416.75");
}

// ---- CF11 interest -----------------------------------------------------------------------------
// Company 004, extraction 31/03/2024, Courier New 8.
//  1 CARUSO SIMONE    adhesion 03/2024, hired 2019: S = 1, MM ARR = 3 - 1 = 2, months "GF";
//                     FP 85, TFR PROGR. 115, MEDIA = (115 - 85)/2 = 15.00, Q689 1.23
//  2 GENTILE FABIO    adhesion 09/2024 (last payment 30/09/2024), hired 15/05/2024: S = 5, MM ARR = 4, "MGLA";
//                     Q236 1000, Q688 200.40: FP 1000.00, TFR PROGR. 1200.40, MEDIA = 200.40/4 = 50.10, Q689 5.49
//  3 MARTINELLI LAURA adhesion 01/2024, hired 2010: S = 1, MM ARR 0 -> the information line, no totals
//  4 VITALE DANIELE   adhesion in the hiring month 03/2024: MM ARR 0 -> information line
//  5 LOMBARDO MARTA   adhesion 02/2024 before the hiring 04/2024: MM ARR = 2 - 4 = -2 -> information line,
//                     the run goes on
//  6 FERRI MARTINA    FP 85, TFR PROGR. 85.40: same whole units -> F.PENSIONE = TFR PROGR. = 85.40, MEDIA 0
//  7 LONGO ALBERTO    P598 2: not listed
// Totals: TFR 115 + 1200.40 + 85.40 = 1400.80; CF02 30 + 200.40 + 0.40 = 230.80; FP 85 + 1000 + 85.40 = 1170.40;
//         MEDIA 15 + 50.10 = 65.10; INTERESSI 1.23 + 5.49 + 0 = 6.72 (Q689 10.00 of MARTINELLI is not added).
TEST(CF11List, PdfDocument) {
    ListSuite s;
    s.Header("31032024");
    s.Company(4, "DELTA SAS", "3333333333");
    s.Employee(4, 1, "CARUSO", "SIMONE",
               Joined({{"P013", "01062019"}, {"Q236", "100.00"}, {"Q201", "15.00"}, {"Q688", "30.00"}, {"Q689", "1.23"}}));
    s.Employee(4, 2, "GENTILE", "FABIO",
               {{"P599", "092024"}, {"Q179", "30092024"}, {"P013", "15052024"}, {"Q236", "1000.00"},
                {"Q688", "200.40"}, {"Q689", "5.49"}});
    s.Employee(4, 3, "MARTINELLI", "LAURA",
               {{"P599", "012024"}, {"Q179", "31012024"}, {"P013", "01012010"}, {"Q236", "100.00"},
                {"Q688", "30.00"}, {"Q689", "10.00"}});
    s.Employee(4, 4, "VITALE", "DANIELE", Joined({{"P013", "05032024"}, {"Q236", "100.00"}, {"Q689", "2.00"}}));
    s.Employee(4, 5, "LOMBARDO", "MARTA",
               {{"P599", "022024"}, {"Q179", "28022024"}, {"P013", "03042024"}, {"Q236", "100.00"}, {"Q689", "3.00"}});
    s.Employee(4, 6, "FERRI", "MARTINA",
               Joined({{"P013", "01062019"}, {"Q236", "100.00"}, {"Q201", "15.00"}, {"Q688", "0.40"}}));
    s.Employee(4, 7, "LONGO", "ALBERTO", Joined({{"P598", "2"}, {"Q236", "100.00"}}));
    s.Write();
    const std::string pdf = s.Document(ListKind::CF11, 4, true);
    EXPECT_EQ(pdf, R"(== begin list TESCF11_ 8pt
== page header
0.50|IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF11 INTERESSI  31/03/2024                            Pagina    1|
0.85|------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 004 DELTA SAS                      3333333333|
1.55|------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                    TFR PROGR.     F.DO TESORERIA   F.PENSIONE MEDIA TFR MESI ARR       INTERESSI|
2.25|                                                  CF02                                              CF11|
2.60|------------------------------------------------------------------------------------------------------|
2.96|0001 CARUSO S                   115.00           30.00            85.00      15.00 GF                 1.23|
3.31|0002 GENTILE F                 1200.40          200.40          1000.00      50.10 MGLA               5.49|
3.66|0003 MARTINELLI L            MMAAAA Adesione 01/2024 MMAAAA Assunzione 01/2010|
4.01|0004 VITALE D                MMAAAA Adesione 03/2024 MMAAAA Assunzione 03/2024|
4.36|0005 LOMBARDO M              MMAAAA Adesione 02/2024 MMAAAA Assunzione 04/2024|
4.71|0006 FERRI M                     85.40            0.40            85.40       0.00 GF                 0.00|
5.06|------------------------------------------------------------------------------------------------------|
5.41|TOTALE                         1400.80          230.80          1170.40      65.10                    6.72|
5.76|------------------------------------------------------------------------------------------------------|
6.11|TFR PROGRESSIVO   = ((Q037-(P260+P606)) /13.5) - ((Q001-P240) * 0.50%)|
6.46|F.TESORERIA CF02  = Q688 VALORE A DM10/2|
6.81|F.PENSIONE        = Q236-Q201|
7.16|MEDIA TFR MM      = (TFR PROGRESSIVO  - F.PENSIONE) / MM ARR|
7.51|INTERESSI CF11    = Q689 VALORE A DM10/2|
7.86|TASSO INTERESSE   = 0.0274|
8.56|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)");
    EXPECT_TRUE(s.messages().shown().empty());
    EXPECT_EQ(s.Document(ListKind::CF11, 4, false), ShiftedDocument(pdf, 7, 0.5, 0.5));
}

// ---- TF02 arrears ------------------------------------------------------------------------------
// Company 007, extraction 31/03/2024, Courier New 8.
//  1 GATTI EMANUELE  Q688 150.40, Q236 - Q201 = 1100.30 - 100 = 1000.30: PUNTO1 = 1150.70;
//                    COEF1 = 150.40/1150.70 = 0.1307031 -> 0.13070 (before rounding to units);
//                    COEF2 = 0.13070*0.20/100 = 0.0002614 -> 0.00026; PUNTO1 -> 1151, PUNTO2 -> 1000,
//                    QU.F.TE = 151.00; TF02(3) = Q691 3.14 as stored; RETR. 6000 - 2000; IM.LE 7000 - 2000
//  2 LEONE ROSA      Q688 0, Q236 1000.50, P511 "1": PUNTO1 = PUNTO2 = 1000.50, COEF1 = 1, COEF2 = 0.004;
//                    both round half away from zero to 1001; QU.F.TE 0.00
//  3 LONGO ALBERTO   last payment in April: not listed
//  4 CARBONE SERGIO  P188 1: not listed;   5 VILLA MONICA  P117 1: not listed
//  6 ZANI ELIO       all zero: PUNTO1 0 -> COEF1 0 (no division)
// Totals: 1151 + 1001 = 2152.00; 151.00; 3.14; 4000.00; 5000.00.
TEST(TF02ArrearsList, PdfDocument) {
    ListSuite s;
    s.Header("31032024");
    s.Company(7, "ETA TRASPORTI SRL", "5555555555");
    s.Employee(7, 1, "GATTI", "EMANUELE",
               Joined({{"Q688", "150.40"}, {"Q236", "1100.30"}, {"Q201", "100.00"}, {"Q691", "3.14"},
                       {"Q037", "6000.00"}, {"P260", "2000.00"}, {"Q001", "7000.00"}, {"P240", "2000.00"}}));
    s.Employee(7, 2, "LEONE", "ROSA", Joined({{"Q236", "1000.50"}, {"P511", "1"}}));
    s.Employee(7, 3, "LONGO", "ALBERTO", Joined({{"Q179", "30042024"}, {"Q236", "100.00"}}));
    s.Employee(7, 4, "CARBONE", "SERGIO", Joined({{"P188", "1"}, {"Q236", "100.00"}}));
    s.Employee(7, 5, "VILLA", "MONICA", Joined({{"P117", "1"}, {"Q236", "100.00"}}));
    s.Employee(7, 6, "ZANI", "ELIO", Joined({}));
    s.Write();
    const std::string pdf = s.Document(ListKind::TF02Arrears, 7, true);
    EXPECT_EQ(pdf, R"(== begin list TETF02A_ 8pt
== page header
0.50|IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF02 ARRETRATI 31/03/2024                            Pagina    1|
0.85|--------------------------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 007 ETA TRASPORTI SRL              5555555555|
1.55|--------------------------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                   TFR PR(1) QU.F.TE(2) %FDG  COEF.1  COEF.2               TF02(3)  RETR. TFR IM.LE FAP|
2.25|                                                                                                          PROGR. |
2.60|--------------------------------------------------------------------------------------------------------------------------|
2.96|0001 GATTI E                   1151.00     151.00 0.20 0.13070 0.00026                  3.14    4000.00    5000.00|
3.31|0002 LEONE R                   1001.00       0.00 0.40 1.00000 0.00400                  0.00       0.00       0.00|
3.66|0006 ZANI E                       0.00       0.00 0.20 0.00000 0.00000                  0.00       0.00       0.00|
4.01|--------------------------------------------------------------------------------------------------------------------------|
4.36|TOTALE                         2152.00     151.00                                       3.14    4000.00    5000.00|
4.71|--------------------------------------------------------------------------------------------------------------------------|
5.06|1) PUNTO 1        = Q688 + VALORE 2|
5.41|2) PUNTO 2        = (Q236-Q201)|
5.76|   %FDG           = 0.20 AD ESCLUSIONE DIRIG.INDUSTRIA 0.40|
6.11|   COEFFICIENTE1  = PUNTO 2 / PUNTO 1|
6.46|   COEFFICIENTE2  = COEFFICIENTE1 * FDG / 100|
6.81|3) TF02 ARRETRATI = Q691 VALORE A DM10/2 SOMMATO A TF02 MESE|
7.51|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)");
    // Without a page break the legend is the same on both sinks.
    EXPECT_EQ(s.Document(ListKind::TF02Arrears, 7, false), ShiftedDocument(pdf, 7, 0.5, 0.5));
}

}  // namespace
}  // namespace kvtest::lists
