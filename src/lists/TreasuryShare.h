#pragma once
// The computation the TF14 and TF02 lists share: the month's TFR net of the contribution (PUNTO 1),
// its Treasury Fund share (PUNTO 2), the two coefficients and the recovered amount, for a given
// percentage (the exoneration for TF14, the guarantee fund for TF02).
#include "lists/ListEngine.h"

namespace kv::lists {

struct TreasuryShare {
    double punto1 = 0;   // TFR MM(1)
    double share = 0;    // QU.F.TE(2)
    double percent = 0;  // %ESO / %FDG
    double coef1 = 0;
    double coef2 = 0;
    double amount = 0;   // TF14(3) / TF02(3)
    double retrTfr = 0;  // RETR. TFR
    double imleFap = 0;  // IM.LE FAP
};

// percentFor is called after the rate, the reduction test and PUNTO 1 are settled.
TreasuryShare ComputeTreasuryShare(ListRun& run, double (*percentFor)(ListRun&));

// The line and the five totals of a TF14 / TF02 line.
void TreasuryShareLine(ListRun& run, const TreasuryShare& s, EmployeeLine& line);

// The contribution rate before the reduction test: 0.50, the employee's own rate, 0 when exempt.
double BaseRate(FieldRepository& repo);

// The layout of the TF14 / TF02 lists: one header line, 103-character lines.
ListLayout TreasuryShareLayout(std::string title, std::string columnHeader, std::string pdfPrefix);

// The legend of the TF14 / TF02 lists around their own lines: the percentage, the second coefficient
// and the amount.
std::vector<std::string> TreasuryShareLegend(std::string percentLine, std::string coefficient2Line,
                                             std::string amountLine);

// The value of ARROTONDA(v, decimals) read back as a number.
double Rounded(double v, int decimals);

}  // namespace kv::lists
