// The TF02 list: computed like TF14 with the guarantee-fund percentage, without the employees with
// P188 = 1 or P117 other than 0.
#include "ListFixture.h"

namespace kvtest::lists {
namespace {

using kv::lists::ListKind;

// Company 006, extraction 31/03/2024.
//  1 ROSSI MARIO     P260 = P240 = 2000: PUNTO1 138.15, COEF1 1, FDG 0.20, COEF2 0.00200, TF02 = 2000*0.002 = 4.00
//  2 FARINA ROBERTO  the same with P511 "1": FDG 0.40, COEF2 0.00400, TF02 8.00 (double)
//  3 PELLEGRINI C.   P188 1: left out (TF14 would take her)
//  4 VILLA MONICA    P117 1: left out
//  5 GRECO LUIGI     exempt P083 1 with relief "7": the reduction sets r = 0.50 again and TF02 follows the
//                    TF14 table (40%, no 50/100% categories): 2700/13.5 - 2700*0.50/100*40/100 = 194.60;
//                    TF02 = 2700*0.002 = 5.40
// Totals: 470.90, 470.90, 17.40, 6700.00, 6700.00.
TEST(TF02List, PdfAndPrinterDocuments) {
    ListSuite s;
    s.Header("31032024");
    s.Company(6, "ZETA SERVIZI SPA", "9876543210", true);
    const Fields pay = {{"P260", "2000.00"}, {"P240", "2000.00"}};
    s.Employee(6, 1, "ROSSI", "MARIO", pay);
    Fields executive = pay;
    executive["P511"] = "1";
    s.Employee(6, 2, "FARINA", "ROBERTO", executive);
    Fields p188 = pay;
    p188["P188"] = "1";
    s.Employee(6, 3, "PELLEGRINI", "CHIARA", p188);
    Fields p117 = pay;
    p117["P117"] = "1";
    s.Employee(6, 4, "VILLA", "MONICA", p117);
    s.Employee(6, 5, "GRECO", "LUIGI", {{"P083", "1"}, {"P916", "7"}, {"P260", "2700.00"}, {"P240", "2700.00"}});
    s.Write();
    const std::string pdf = s.Document(ListKind::TF02, 6, true);
    EXPECT_EQ(pdf, R"(== begin list TESTF02_ 9pt
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
    EXPECT_EQ(s.Document(ListKind::TF02, 6, false), ShiftedDocument(pdf, 6, 0.5, 0.5));

    // The same company's TF14 list takes PELLEGRINI (P188 1, P598 1) and VILLA.
    CaptureSink tf14(true);
    s.Run(ListKind::TF14, 6, tf14);
    EXPECT_EQ(tf14.writes()[8].text.substr(0, 27), "0003 PELLEGRINI C          ");
    EXPECT_EQ(tf14.writes()[9].text.substr(0, 27), "0004 VILLA M               ");
}

}  // namespace
}  // namespace kvtest::lists
