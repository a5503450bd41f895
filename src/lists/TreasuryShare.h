#pragma once
// The computation the TF14 and TF02 lists share: the month's TFR net of the contribution (PUNTO 1),
// its Treasury Fund share (PUNTO 2), the two coefficients and the recovered amount, for a given
// percentage (the exoneration for TF14, the guarantee fund for TF02); their layout and legend.
#include "lists/ListEngine.h"

namespace kv::lists {

struct TreasuryShare {
    double punto1 = 0;  // TFR MM(1)
    double share = 0;  // QU.F.TE(2)
    double percent = 0;  // %ESO / %FDG
    double coef1 = 0;
    double coef2 = 0;
    double amount = 0;  // TF14(3) / TF02(3)
    double retrTfr = 0;  // RETR. TFR
    double imleFap = 0;  // IM.LE FAP
};

// percentFor is called after the rate, the reduction test and PUNTO 1 are settled.
TreasuryShare ComputeTreasuryShare(ListRun& run, double (*percentFor)(ListRun&));

// The guarantee-fund percentage of TF02 and TF02 arrears: 0.40 for industry executives (P511 "1"),
// else 0.20.
double GuaranteeFundPercent(FieldRepository& repo);

// The cells of a TF14 / TF02 line.
void TreasuryShareLine(const TreasuryShare& s, EmployeeLine& line);

// The layout of the TF14 / TF02 lists: one header line, 103-character lines.
ListLayout TreasuryShareLayout(std::string columnHeader);

// The legend of the TF14 / TF02 lists around their own lines: the percentage, the second coefficient
// and the amount.
std::vector<std::string> TreasuryShareLegend(std::string percentLine, std::string coefficient2Line,
                                             std::string amountLine);

}  // namespace kv::lists
