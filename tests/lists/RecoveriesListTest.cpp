// The recoveries list: the two stored recovery amounts, no calculation.
#include "ListFixture.h"

namespace kvtest::lists {
namespace {

using kv::lists::ListKind;

// Company 005, extraction 31/03/2024.
//  1 CATTANEO LUCIA  P602 1500.00, P603 800.00
//  2 SALA PIETRO     P602 2300.50 only: a zero under REC.ANTICIPI is printed, not blanked
//  3 ROSSI MARIO     nothing to recover: no line
//  4 NERI ELISA      P603 450.00 only
// Totals: P602 1500 + 2300.50 = 3800.50; P603 800 + 450 = 1250.00.
void WriteRecoveriesCompany(ListSuite& s) {
    s.Header("31032024");
    s.Company(5, "EPSILON COOP", "4444444444");
    s.Employee(5, 1, "CATTANEO", "LUCIA", {{"P602", "1500.00"}, {"P603", "800.00"}});
    s.Employee(5, 2, "SALA", "PIETRO", {{"P602", "2300.50"}});
    s.Employee(5, 3, "ROSSI", "MARIO", {{"P260", "2000.00"}});
    s.Employee(5, 4, "NERI", "ELISA", {{"P603", "450.00"}});
    s.Write();
}

TEST(RecoveriesList, PdfDocument) {
    ListSuite s;
    WriteRecoveriesCompany(s);
    EXPECT_EQ(s.Document(ListKind::Recoveries, 5, true), R"(== begin list TESRECU_ 9pt
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

TEST(RecoveriesList, PrinterDocument) {
    ListSuite s;
    WriteRecoveriesCompany(s);
    EXPECT_EQ(s.Document(ListKind::Recoveries, 5, false), R"(== begin list TESRECU_ 9pt
== page header
1.00|IMPORTI REC.PRESTAZIONI/ANTICIPI F.DO TESORERIA 31/03/2024        Pagina    1|
1.35|------------------------------------------------------------------------------------------------------|
1.70|AZIENDA : 005 EPSILON COOP                   4444444444|
2.05|------------------------------------------------------------------------------------------------------|
2.40|NOMINATIVO                 REC. PRESTAZIONE        REC.ANTICIPI|
2.75|                          TFR F.DO TESORERIA     TFR F.DO TESORERIA|
3.10|------------------------------------------------------------------------------------------------------|
3.46|0001 CATTANEO L                1500.00                800.00|
3.81|0002 SALA P                    2300.50                  0.00|
4.16|0004 NERI E                       0.00                450.00|
4.51|------------------------------------------------------------------------------------------------------|
4.86|TOTALE                         3800.50               1250.00|
5.21|------------------------------------------------------------------------------------------------------|
5.56|REC.PRESTAZIONE F.DO TESORERIA = P602RPRESTTFRFDOTESOR|
5.91|REC.ANTICIPI    F.DO TESORERIA = P603RANTTFRFDOTESOR|
)");
}

// Nobody has anything to recover: the header, no lines, and the "TOTALE" block of zeros.
TEST(RecoveriesList, NothingToRecoverGivesZeroTotals) {
    ListSuite s;
    s.Header("31032024");
    s.Company(5, "EPSILON COOP", "4444444444");
    s.Employee(5, 3, "ROSSI", "MARIO", {{"P260", "2000.00"}});
    s.Write();
    CaptureSink sink(true);
    s.Run(ListKind::Recoveries, 5, sink);
    ASSERT_EQ(sink.writes().size(), 12u);
    EXPECT_EQ(sink.writes()[8].text, "TOTALE                            0.00                  0.00");
    EXPECT_EQ(CaptureSink::Cm(sink.writes()[8].y), "3.31");
}

}  // namespace
}  // namespace kvtest::lists
