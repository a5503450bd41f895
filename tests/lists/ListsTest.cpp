// The golden page of every list, with the arithmetic of each line worked by hand (the printer's page
// is the PDF's with its positions shifted), and single lines for the other formula routes.
#include <regex>
#include <tuple>

#include "ListFixture.h"

namespace kvtest::lists {
namespace {

// The arrears lists take the employees who joined the Treasury Fund this month.
const std::string kJoined = "P599=032024 Q179=15032024 ";

// Writes the suite, compares the list's PDF document with the golden page and the printer's with
// it shifted: the header block's lines 0.5 cm lower, the others by `printerShift`.
void ExpectGolden(ListSuite& s, ListKind kind, int company, const std::string& golden, double printerShift = 0.5) {
    s.Write();
    EXPECT_EQ(s.Document(kind, company, true), golden);
    EXPECT_EQ(s.Document(kind, company, false),
              ShiftedDocument(golden, kv::lists::Info(kind).make()->Layout().linesAfterHeader, 0.5, printerShift));
    EXPECT_TRUE(s.messages().shown().empty());
}

// CF01, extraction 31/03/2018 (a 2016 hiring is still inside its relief window), over two pages.
// TFR MESE keeps full precision; only the printed cells and the totals' cells are rounded.
//  1 ROSSI    P260 = P240 = 2000, r 0.50: 2000/13.5 - 10 = 138.148148 -> 138.15, F.PENSIONE 0
//  2 GRECO    relief "5", exempt P083 1, P620 0.30, P260 = P240 = 2700, P268 300: the reduction sets r
//             back to 0.30; "5" keeps 50% on P240 + P268: 200 - 3000*0.30/100*50/100 = 195.50
//  3 BRUNO    relief "6", same pay: all of it, 200 - 3000*0.50/100 = 185.00; IM.LE FAP P240 alone
//  4 FERRARI  relief "1", hired 01/03/2016 (window to 201803), P260 = P240 = 2000, Q201 100:
//             148.148148 - 2000*0.50/100*40/100 = 144.148148 -> 144.15; F.TESORERIA 44.15
//  5 MORETTI  P606 1350, P260 = P240 = 1500, P268 1350, P600 80, P604 25, Q201 40:
//             2850/13.5 - 2850*0.50/100 = 196.861111; F.TESORERIA = CF01 = P604 + P600 = 105.00; F.PENS. 91.86
//  6 MARINI   Q201 200 above the TFR (138.15): TFR MESE = 200, F.TESORERIA 0.00
//  7-54, 56   P260 1350, P240 0: 1350/13.5 = 100.00 = F.TESORERIA = CF01, RETR. TFR 1350.00
//  55         missing from the index: it still breaks the page (6 + 54 lines = 60), and 56 is page 2's line
// Page 1 totals: 1059.657407 + 48 x 100 = 5859.66; 667.796296 + 4800 = 5467.80 (also under CF01);
// 391.86; 14250 + 48 x 1350 = 79050.00; 14250.00. Final: 5959.66; 5567.80; 391.86; 80400.00; 14250.00.
TEST(ListGolden, CF01OverTwoPages) {
    ListSuite s(2018, 3);
    s.Company(2, "BETA SNC", "1111111111");
    s.Employee(2, 1, "ROSSI", "MARIO", "P260=2000.00 P240=2000.00");
    s.Employee(2, 2, "GRECO", "LUIGI", "P260=2700.00 P240=2700.00 P268=300.00 P916=5 P083=1 P620=0.30");
    s.Employee(2, 3, "BRUNO", "CHIARA", "P260=2700.00 P240=2700.00 P268=300.00 P916=6");
    s.Employee(2, 4, "FERRARI", "GIULIA", "P260=2000.00 P240=2000.00 P916=1 P013=01032016 Q201=100.00");
    s.Employee(2, 5, "MORETTI", "GIORGIO",
               "P260=1500.00 P606=1350.00 P240=1500.00 P268=1350.00 P600=80.00 P604=25.00 Q201=40.00");
    s.Employee(2, 6, "MARINI", "FEDERICO", "P260=2000.00 P240=2000.00 Q201=200.00");
    for (int i = 7; i <= 56; ++i) s.Employee(2, i, "LAVORATORE", "NINO", "P260=1350.00", i != 55);
    const std::string head = R"(== page header
0.50|IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF01 31/03/2018        Pagina    1|
0.85|------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 002 BETA SNC                       1111111111|
1.55|------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                   TFR MESE F.TESORERIA F.PENSIONE       CF01  RETR. TFR  IM.LE FAP|
2.25|------------------------------------------------------------------------------------------------------|
)";
    std::string golden = "== begin list TESCF01_ 9pt\n" + head + R"(2.60|0001 ROSSI M                    138.15     138.15       0.00     138.15    2000.00    2000.00|
2.95|0002 GRECO L                    195.50     195.50       0.00     195.50    2700.00    2700.00|
3.30|0003 BRUNO C                    185.00     185.00       0.00     185.00    2700.00    2700.00|
3.65|0004 FERRARI G                  144.15      44.15     100.00      44.15    2000.00    2000.00|
4.00|0005 MORETTI G                  196.86     105.00      91.86     105.00    2850.00    2850.00|
4.35|0006 MARINI F                   200.00       0.00     200.00       0.00    2000.00    2000.00|
)";
    for (int i = 7; i <= 54; ++i)
        golden += CaptureSink::Cm(2.25 + 0.35 * i) + "|" + kv::demo::ExtractionPeriod::Digits(i, 4) +
            " LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|\n";
    golden += R"(21.50|------------------------------------------------------------------------------------------------------|
21.85|TOTALE PAGINA                  5859.66    5467.80     391.86    5467.80   79050.00   14250.00|
22.20|------------------------------------------------------------------------------------------------------|
22.55|TFR MESE    = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - |
22.90|              ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)|
23.25|F.TESORERIA = TFR MESE  - Q201TFRFONDOMESE|
23.60|F.PENSIONE  = Q201TFRFONDOMESE|
23.95|CF01        = TFR MESE  - Q201TFRFONDOMESE|
24.65|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
== new page
)" + std::regex_replace(head, std::regex("Pagina    1"), "Pagina    2") +
        R"(2.60|0056 LAVORATORE N               100.00     100.00       0.00     100.00    1350.00       0.00|
2.95|------------------------------------------------------------------------------------------------------|
3.30|TOTALE                         5959.66    5567.80     391.86    5567.80   80400.00   14250.00|
3.65|------------------------------------------------------------------------------------------------------|
4.00|TFR MESE    = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - |
4.35|              ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)|
4.70|F.TESORERIA = TFR MESE  - Q201TFRFONDOMESE|
5.05|F.PENSIONE  = Q201TFRFONDOMESE|
5.40|CF01        = TFR MESE  - Q201TFRFONDOMESE|
6.10|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)";
    // The printer: every page from 1.0, the lines after the header from 3.2.
    ExpectGolden(s, ListKind::CF01, 2, golden, 0.6);
}

// TF14, company 001 (T404 = 1, a registration number with trailing blanks), 31/03/2024, ESO 0.28:
//  1 ROSSI    P260 = P240 = 2000, r 0.50: PUNTO1 = 148.148148 - 10 = 138.15; Q 0 -> COEF1 1.00000,
//             COEF2 0.0028, TF14 = 2000*0.0028 = 5.60
//  2 BIANCHI  relief "4", P260 = P240 = 2700, Q201 50: PUNTO1 = 200 - 2700*0.50/100*40/100 = 194.60;
//             QU.F.TE 144.60; COEF1 = 144.60/194.60 = 0.74306; COEF2 = 0.002080568; TF14 = 5.6175336 -> 5.62
//  3 VERDI    P606 1350, P260 = P240 = 1500, P268 1350, P620 0.30, P600 80, P604 25, Q201 40:
//             PUNTO1 = 211.111111 - 2850*0.30/100 = 202.56; QU.F.TE = P604 + P600 = 105.00;
//             COEF1 = 105/202.56 = 0.51836; COEF2 = 0.001451408; TF14 = 2850*COEF2 = 4.1365128 -> 4.14
//  4 NERI     P188 1 and P598 0 (taken because TF14 widens the selection and T404 = 1), exempt P083 1:
//             r = 0, PUNTO1 = 1350/13.5 = 100.00, TF14 = 1350*0.0028 = 3.78
//  5 GIALLI   as ROSSI with Q201 138.90: Int(138.15) - Int(138.90) = 0 -> PUNTO1 = 138.90, the rest 0
//  6 MORI     P359 99: never listed
// Totals add the unrounded values: TF14 = 5.6 + 5.6175336 + 4.1365128 + 3.78 = 19.1340464 -> 19.13
// (the printed cells would give 19.14); PUNTO1 774.21; QU.F.TE 487.75; 10900.00; 10900.00.
TEST(ListGolden, TF14) {
    ListSuite s;
    s.Company(1, "ALFA COSTRUZIONI SRL", "12345", true);
    // Added out of key order: the list prints by ascending key.
    s.Employee(1, 5, "GIALLI", "PIA", "P260=2000.00 P240=2000.00 Q201=138.90");
    s.Employee(1, 3, "VERDI", "ANNA",
               "P260=1500.00 P606=1350.00 P240=1500.00 P268=1350.00 P620=0.30 P600=80.00 P604=25.00 Q201=40.00");
    s.Employee(1, 1, "ROSSI", "MARIO", "P260=2000.00 P240=2000.00");
    s.Employee(1, 6, "MORI", "ELSA", "P359=99 P260=2000.00 P240=2000.00");
    s.Employee(1, 2, "BIANCHI", "LUCA", "P916=4 P260=2700.00 P240=2700.00 Q201=50.00");
    s.Employee(1, 4, "NERI", "LUCA", "P188=1 P598=0 P083=1 P260=1350.00 P240=1350.00");
    ExpectGolden(s, ListKind::TF14, 1, R"(== begin list TESTF14_ 9pt
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
}

// TF02, company 006, 31/03/2024, computed like TF14 with the guarantee-fund percentage:
//  1 ROSSI    P260 = P240 = 2000: PUNTO1 138.15, COEF1 1, FDG 0.20, COEF2 0.00200, TF02 = 2000*0.002 = 4.00
//  2 FARINA   the same with P511 "1": FDG 0.40, COEF2 0.00400, TF02 8.00
//  3 VILLA    P117 1: left out (P188 1 too, see the single lines)
//  5 GRECO    exempt P083 1 with relief "7": the reduction sets r = 0.50 again, 40% whatever the category:
//             2700/13.5 - 2700*0.50/100*40/100 = 194.60; TF02 = 2700*0.002 = 5.40
// Totals: 470.90, 470.90, 17.40, 6700.00, 6700.00.
TEST(ListGolden, TF02) {
    ListSuite s;
    s.Company(6, "ZETA SERVIZI SPA", "9876543210", true);
    s.Employee(6, 1, "ROSSI", "MARIO", "P260=2000.00 P240=2000.00");
    s.Employee(6, 2, "FARINA", "ROBERTO", "P260=2000.00 P240=2000.00 P511=1");
    s.Employee(6, 3, "VILLA", "MONICA", "P260=2000.00 P240=2000.00 P117=1");
    s.Employee(6, 5, "GRECO", "LUIGI", "P083=1 P916=7 P260=2700.00 P240=2700.00");
    ExpectGolden(s, ListKind::TF02, 6, R"(== begin list TESTF02_ 9pt
== page header
0.50|IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF02 31/03/2024                  Pagina    1|
0.85|-------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 006 ZETA SERVIZI SPA               9876543210|
1.55|-------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                   TFR MM(1) QU.F.TE(2) %FDG  COEF.1  COEF.2    TF02(3)  RETR. TFR  IM.LE FAP|
2.25|-------------------------------------------------------------------------------------------------------|
2.60|0001 ROSSI M                    138.15     138.15 0.20 1.00000 0.00200       4.00    2000.00    2000.00|
2.95|0002 FARINA R                   138.15     138.15 0.40 1.00000 0.00400       8.00    2000.00    2000.00|
3.30|0005 GRECO L                    194.60     194.60 0.20 1.00000 0.00200       5.40    2700.00    2700.00|
3.65|-------------------------------------------------------------------------------------------------------|
4.00|TOTALE                          470.90     470.90                           17.40    6700.00    6700.00|
4.35|-------------------------------------------------------------------------------------------------------|
4.70|1) PUNTO 1       = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - |
5.05|                   ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)|
5.40|2) PUNTO 2       = PUNTO 1 - Q201TFRFONDOMESE|
5.75|   %FDG          = 0.20 AD ESCLUSIONE DIRIG.INDUSTRIA 0.40|
6.10|   COEFFICIENTE1 = PUNTO 2 / PUNTO 1|
6.45|   COEFFICIENTE2 = COEFFICIENTE1 * FDG / 100|
6.80|3) TF02          = P240IMPSOCIALE * COEFFICIENTE2|
7.50|** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%|
)");
}

// Recoveries, company 005, 31/03/2024: the two stored amounts, no calculation.
//  1 CATTANEO 1500.00 / 800.00;  2 SALA 2300.50 only (a zero is printed, not blanked);
//  3 ROSSI nothing to recover: no line;  4 NERI 450.00 only.  Totals 3800.50 / 1250.00.
TEST(ListGolden, Recoveries) {
    ListSuite s;
    s.Company(5, "EPSILON COOP", "4444444444");
    s.Employee(5, 1, "CATTANEO", "LUCIA", "P602=1500.00 P603=800.00");
    s.Employee(5, 2, "SALA", "PIETRO", "P602=2300.50");
    s.Employee(5, 3, "ROSSI", "MARIO", "P260=2000.00");
    s.Employee(5, 4, "NERI", "ELISA", "P603=450.00");
    ExpectGolden(s, ListKind::Recoveries, 5, R"(== begin list TESRECU_ 9pt
== page header
0.50|IMPORTI REC.PRESTAZIONI/ANTICIPI F.DO TESORERIA 31/03/2024        Pagina    1|
0.85|------------------------------------------------------------------------------------------------------|
1.20|AZIENDA : 005 EPSILON COOP                   4444444444|
1.55|------------------------------------------------------------------------------------------------------|
1.90|NOMINATIVO                 REC. PRESTAZIONE        REC.ANTICIPI|
2.25|                          TFR F.DO TESORERIA     TFR F.DO TESORERIA|
2.60|------------------------------------------------------------------------------------------------------|
2.96|0001 CATTANEO L                1500.00                800.00|
3.31|0002 SALA P                    2300.50                  0.00|
3.66|0004 NERI E                       0.00                450.00|
4.01|------------------------------------------------------------------------------------------------------|
4.36|TOTALE                         3800.50               1250.00|
4.71|------------------------------------------------------------------------------------------------------|
5.06|REC.PRESTAZIONE F.DO TESORERIA = P602RPRESTTFRFDOTESOR|
5.41|REC.ANTICIPI    F.DO TESORERIA = P603RANTTFRFDOTESOR|
)");
}

// CF02 arrears, company 003, 31/03/2024:
//  1 CARUSO  Q236 100, Q201 15, Q688 30, P606 0: F.PENSIONE = 100 - 15 = 85.00, TFR PROGR. = 30 + 85 = 115.00;
//            RETR. = Q037 5000 - P260 2000 = 3000.00; IM.LE = Q001 6000 - P240 2000 = 4000.00
//  2 FERRI   Q688 0.40: TFR PROGR. 85.40 has F.PENSIONE's whole units -> 85.00; CF02 still 0.40
//  3 LONGO   P598 2: never listed;   4 SALA  adhesion 03/2024, last payment April: not listed
//  5 SERRA   relief "5", P606 1350, P268 1350, P604 30, Q236 500, Q201 20, Q688 60:
//            C = Round2(1350*0.50/100*40/100) = 2.70; FP = 1350/13.5 - 2.70 - 30 = 67.30;
//            FP = Round2(500 - (20 + 67.30)) = 412.70; TFR PROGR. = 472.70;
//            RETR. = 8000 - (1500 + 1350) = 5150.00; IM.LE = 9000 - (1500 + 1350) = 6150.00
//  6 ZANI    everything 0: a line of zeros
// Totals: 672.70, 90.40, 582.70, 8150.00, 10150.00.
TEST(ListGolden, CF02Arrears) {
    ListSuite s;
    s.Company(3, "GAMMA SRL", "2222222222");
    s.Employee(3, 1, "CARUSO", "SIMONE",
               kJoined + "Q236=100.00 Q201=15.00 Q688=30.00 Q037=5000.00 P260=2000.00 Q001=6000.00 P240=2000.00");
    s.Employee(3, 2, "FERRI", "MARTINA",
               kJoined + "Q236=100.00 Q201=15.00 Q688=0.40 Q037=2000.00 P260=2000.00 Q001=2000.00 P240=2000.00");
    s.Employee(3, 3, "LONGO", "ALBERTO", kJoined + "P598=2 Q236=100.00 Q688=30.00");
    s.Employee(3, 4, "SALA", "PIETRO", kJoined + "Q179=15042024 Q236=100.00 Q688=30.00");
    s.Employee(3, 5, "SERRA", "GIACOMO", kJoined +
                   "P916=5 P606=1350.00 P268=1350.00 P604=30.00 Q236=500.00 "
                   "Q201=20.00 Q688=60.00 Q037=8000.00 P260=1500.00 Q001=9000.00 P240=1500.00");
    s.Employee(3, 6, "ZANI", "ELIO", kJoined);
    ExpectGolden(s, ListKind::CF02Arrears, 3, R"(== begin list TESCF02_ 9pt
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
}

// CF11 interest, company 004, 31/03/2024, Courier New 8:
//  1 CARUSO      adhesion 03/2024, hired 2019: S = 1, MM ARR = 3 - 1 = 2, "GF"; FP 85, TFR PROGR. 115,
//                MEDIA = (115 - 85)/2 = 15.00, Q689 1.23
//  2 GENTILE     adhesion 09/2024 (last payment 30/09/2024), hired 15/05/2024: S = 5, MM ARR 4, "MGLA";
//                Q236 1000, Q688 200.40: FP 1000.00, TFR PROGR. 1200.40, MEDIA = 200.40/4 = 50.10, Q689 5.49
//  3 MARTINELLI  adhesion 01/2024, hired 2010: MM ARR 0 -> the information line, no totals
//  4 VITALE      adhesion in the hiring month 03/2024: MM ARR 0 -> information line
//  5 LOMBARDO    adhesion 02/2024 before the hiring 04/2024: MM ARR = -2 -> information line
//  6 FERRI       FP 85, TFR PROGR. 85.40, same whole units -> F.PENSIONE = TFR PROGR. = 85.40, MEDIA 0
//  7 LONGO       P598 2: not listed
// Totals: 1400.80; 230.80; 1170.40; MEDIA 65.10; INTERESSI 6.72 (Q689 10.00 of MARTINELLI not added).
TEST(ListGolden, CF11) {
    ListSuite s;
    s.Company(4, "DELTA SAS", "3333333333");
    s.Employee(4, 1, "CARUSO", "SIMONE", kJoined + "P013=01062019 Q236=100.00 Q201=15.00 Q688=30.00 Q689=1.23");
    s.Employee(4, 2, "GENTILE", "FABIO", "P599=092024 Q179=30092024 P013=15052024 Q236=1000.00 Q688=200.40 Q689=5.49");
    s.Employee(4, 3, "MARTINELLI", "LAURA", "P599=012024 Q179=31012024 P013=01012010 Q236=100.00 Q688=30.00 Q689=10.00");
    s.Employee(4, 4, "VITALE", "DANIELE", kJoined + "P013=05032024 Q236=100.00 Q689=2.00");
    s.Employee(4, 5, "LOMBARDO", "MARTA", "P599=022024 Q179=28022024 P013=03042024 Q236=100.00 Q689=3.00");
    s.Employee(4, 6, "FERRI", "MARTINA", kJoined + "P013=01062019 Q236=100.00 Q201=15.00 Q688=0.40");
    s.Employee(4, 7, "LONGO", "ALBERTO", kJoined + "P598=2 Q236=100.00");
    ExpectGolden(s, ListKind::CF11, 4, R"(== begin list TESCF11_ 8pt
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
}

// TF02 arrears, company 007, 31/03/2024, Courier New 8:
//  1 GATTI   Q688 150.40, Q236 - Q201 = 1100.30 - 100 = 1000.30: PUNTO1 = 1150.70; COEF1 = 150.40/1150.70
//            = 0.13070 (before the rounding to units); COEF2 = 0.13070*0.20/100 -> 0.00026; PUNTO1 -> 1151,
//            PUNTO2 -> 1000, QU.F.TE 151.00; TF02(3) = Q691 3.14; RETR. 6000 - 2000; IM.LE 7000 - 2000
//            (P606 0: P268 is left out of IM.LE)
//  2 LEONE   Q688 0, Q236 1000.50, P511 "1": PUNTO1 = PUNTO2 = 1000.50, COEF1 1, COEF2 0.004; both round
//            half away from zero to 1001; QU.F.TE 0.00
//  3 LONGO   last payment in April: not listed;  4 CARBONE  P188 1: not listed;  5 VILLA  P117 1: not listed
//  6 ZANI    all zero: PUNTO1 0 -> COEF1 0 (no division)
// Totals: 1151 + 1001 = 2152.00; 151.00; 3.14; 4000.00; 5000.00.
TEST(ListGolden, TF02Arrears) {
    ListSuite s;
    s.Company(7, "ETA TRASPORTI SRL", "5555555555");
    s.Employee(7, 1, "GATTI", "EMANUELE", kJoined +
                   "Q688=150.40 Q236=1100.30 Q201=100.00 Q691=3.14 Q037=6000.00 "
                   "P260=2000.00 Q001=7000.00 P240=2000.00 P268=500.00");
    s.Employee(7, 2, "LEONE", "ROSA", kJoined + "Q236=1000.50 P511=1");
    s.Employee(7, 3, "LONGO", "ALBERTO", kJoined + "Q179=30042024 Q236=100.00");
    s.Employee(7, 4, "CARBONE", "SERGIO", kJoined + "P188=1 Q236=100.00");
    s.Employee(7, 5, "VILLA", "MONICA", kJoined + "P117=1 Q236=100.00");
    s.Employee(7, 6, "ZANI", "ELIO", kJoined);
    ExpectGolden(s, ListKind::TF02Arrears, 7, R"(== begin list TETF02A_ 8pt
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
}

// One employee, one line: the formula routes of every list, each with its worked values. The
// employee is 0001 ROSSI MARIO of company 001 (T404 = 1); the line is the first written after the
// header block.
// period: YYYYMM of the extraction, "+" after it for an additional month; line: after the 27-character
// name cell, empty when the employee is left out; alsoWritten: another text the list writes.
struct LineCase {
    ListKind kind;
    std::string period, fields, line, alsoWritten = {};
    char separator = '.';
};

using enum ListKind;
const std::string k2000 = "P260=2000.00 P240=2000.00 ";
const std::string k2700 = "P260=2700.00 P240=2700.00 P268=300.00 ";
const std::string kAdd = "P606=1350.00 P268=1350.00 P260=9999.99 P240=8888.88 P600=80.00 P604=25.00 ";

std::vector<LineCase> Cases() {
    std::vector<LineCase> cases = {
        // CF01. Additional month: P260 and P240 play no part; with the reduction 40% whatever the category.
        // 1350/13.5 - 1350*0.50/100 = 93.25; F.TESORERIA = CF01 = P604 + P600 = 105.00; F.PENSIONE -11.75
        {CF01, "202412+", kAdd, "      93.25     105.00     -11.75     105.00    1350.00    1350.00"},
        // relief "4": 100 - 6.75*40/100 = 97.30 (not 6.75*50/100)
        {CF01, "202412+", kAdd + "P916=4", "      97.30     105.00      -7.70     105.00    1350.00    1350.00"},
        // Hired 03/2016 with relief "1": reduced in 03/2018, 148.148148 - 4 = 144.15; not in 04/2018: 138.15
        {CF01, "201803", k2000 + "P916=1 P013=01032016", "     144.15     144.15       0.00     144.15    2000.00    2000.00"},
        {CF01, "201804", k2000 + "P916=1 P013=01032016", "     138.15     138.15       0.00     138.15    2000.00    2000.00"},
        // Reduced with P606 > 0: 2850/13.5 - 2850*0.50/100*40/100 = 211.111111 - 5.70 = 205.41; F.PENS. 100.41
        {CF01, "201803", kAdd + "P916=1 P013=01032016 P260=1500.00 P240=1500.00",
         "     205.41     105.00     100.41     105.00    2850.00    2850.00"},
        // P260 = P240 = 2700, P268 300, P606 0 in a normal month, relief "4": 200 - 3000*0.50/100*50/100
        // = 192.50; relief "B": 200 - 3000*0.50/100 = 185.00
        {CF01, "202403", k2700 + "P916=4", "     192.50     192.50       0.00     192.50    2700.00    2700.00"},
        {CF01, "202403", k2700 + "P916=B", "     185.00     185.00       0.00     185.00    2700.00    2700.00"},
        // P268 without P606: only P240 counts, 2000/13.5 - 10 = 138.15, IM.LE FAP 2000.00
        {CF01, "202403", k2000 + "P268=300.00", "     138.15     138.15       0.00     138.15    2000.00    2000.00"},
        // Exempt without the reduction: nothing deducted, 2700/13.5 = 200.00; own rate 0.30: 200 - 8.10 = 191.90
        {CF01, "202403", k2700 + "P268=0 P083=1 P620=0.30", "     200.00     200.00       0.00     200.00    2700.00    2700.00"},
        {CF01, "202403", k2700 + "P268=0 P620=0.30", "     191.90     191.90       0.00     191.90    2700.00    2700.00"},
        // Negative P606 takes the P606 <= 0 route: 1850/13.5 - 10 = 127.04, RETR. TFR 1850.00
        {CF01, "202403", k2000 + "P606=-150.00", "     127.04     127.04       0.00     127.04    1850.00    2000.00"},
        // Ten million and more keep the last ten characters of the cell: 12345678.90/13.5 = 914494.73
        {CF01, "202403", "P260=12345678.90", "  914494.73  914494.73       0.00  914494.73 2345678.90       0.00",
         "TOTALE                       914494.73  914494.73       0.00  914494.73 2345678.90       0.00|"},
        // Q201 138.90 with the TFR's whole units (138.15): TFR MESE = 138.90, F.TESORERIA 0
        {CF01, "202403", k2000 + "Q201=138.90", "     138.90       0.00     138.90       0.00    2000.00    2000.00"},
        // TF14, additional month of 12/2012 (ESO 0.26): PUNTO1 = 100 - 6.75 = 93.25; QU.F.TE 105.00;
        // COEF1 = 105/93.25 = 1.12601; COEF2 = 0.002927626; TF14 = P268 * COEF2 = 3.9522951 -> 3.95
        {TF14, "201212+", kAdd, "      93.25     105.00 0.26 1.12601 0.00293       3.95    1350.00    1350.00"},
        // relief "4": PUNTO1 = 100 - 2.70 = 97.30; COEF1 = 105/97.30 = 1.07914; TF14 = 1350*0.002805764 = 3.79
        {TF14, "201212+", kAdd + "P916=4", "      97.30     105.00 0.26 1.07914 0.00281       3.79    1350.00    1350.00"},
        // Reduced with P606 > 0: PUNTO1 = 211.111111 - 5.70 = 205.41; COEF1 = 105/205.41 = 0.51117;
        // COEF2 = 0.001431276; TF14 = 2850 * COEF2 = 4.0791366 -> 4.08
        {TF14, "202403", kAdd + "P916=4 P260=1500.00 P240=1500.00",
         "     205.41     105.00 0.28 0.51117 0.00143       4.08    2850.00    2850.00"},
        // Nothing at all: PUNTO1 0, no division.
        {TF14, "202403", "", "       0.00       0.00 0.28 0.00000 0.00000       0.00       0.00       0.00"},
        // The user's decimal separator in every number; the date keeps its "/".
        {TF14, "202403", k2000, "     138,15     138,15 0,28 1,00000 0,00280       5,60    2000,00    2000,00",
         "IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF14 31/03/2024                  Pagina    1", ','},
        // TF02 leaves out P188 = 1 and P117 other than 0.
        {TF02, "202403", k2000 + "P188=1", ""},
        {TF02, "202403", k2000 + "P117=2", ""},
        // CF02 arrears, P606 1350 without the reduction: C = Round2(1350*0.50/100) = 6.75;
        // FP = 100 - 6.75 - P604 30 = 63.25; FP = Round2(500 - (20 + 63.25)) = 416.75; TFR PROGR. = 60 + 416.75;
        // RETR. = Q037 0 - (P260 0 + 1350); IM.LE = Q001 0 - (P240 0 + P268 1350)
        {CF02Arrears, "202403", kJoined + "P606=1350.00 P268=1350.00 P604=30.00 Q236=500.00 Q201=20.00 Q688=60.00",
         "     476.75           60.00           416.75   -1350.00   -1350.00"},
        // Joined in another year's March, or P598 other than 1: left out of the arrears lists.
        {CF02Arrears, "202403", kJoined + "P599=032023 Q236=100.00", ""},
        {CF11, "202403", kJoined + "P598=2", ""},
        {TF02Arrears, "202403", kJoined + "P598=2", ""},
    };
    // TF14, the exoneration of the extraction year: PUNTO1 138.15, COEF1 1, TF14 = 2000 * ESO / 100.
    for (auto [year, eso, tf14] : {std::tuple{"2007", "28", "5.60"}, {"2008", "19", "3.80"}, {"2009", "21", "4.20"}, {"2010", "23", "4.60"}, {"2011", "25", "5.00"}, {"2012", "26", "5.20"}, {"2013", "27", "5.40"}, {"2015", "28", "5.60"}})
        cases.push_back({TF14, std::string(year) + "01", k2000,
                         std::string("     138.15     138.15 0.") + eso + " 1.00000 0.00" + eso + "0       " + tf14 +
                             "    2000.00    2000.00",
                         std::string("   %ESONERO      = 0.") + eso + " " + year});
    return cases;
}

void PrintTo(const LineCase& c, std::ostream* os) { *os << kv::lists::Info(c.kind).code << " " << c.period << " " << c.fields; }

class ListLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ListLine, FirstLineAfterTheHeader) {
    const LineCase& c = GetParam();
    ListSuite s(std::stoi(c.period.substr(0, 4)), std::stoi(c.period.substr(4, 2)), c.period.size() > 6);
    s.Company(1, "ALFA SRL", "1", true);
    s.Employee(1, 1, "ROSSI", "MARIO", c.fields);
    s.Write();
    CaptureSink sink(true);
    s.Run(c.kind, 1, sink, c.separator);
    const size_t first = static_cast<size_t>(kv::lists::Info(c.kind).make()->Layout().linesAfterHeader);
    ASSERT_GT(sink.writes.size(), first + 1) << sink.document;
    // Left out: the separator of the totals block follows the header's.
    EXPECT_EQ(sink.writes[first].text, c.line.empty() ? sink.writes[first - 1].text : "0001 ROSSI M               " + c.line);
    EXPECT_NE(sink.document.find("|" + c.alsoWritten), std::string::npos) << c.alsoWritten;
}

INSTANTIATE_TEST_SUITE_P(Cases, ListLine, ::testing::ValuesIn(Cases()));

}  // namespace
}  // namespace kvtest::lists
