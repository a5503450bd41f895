#pragma once
// The month's TFR net of the 0.50% contribution, as CF01 (TFR MESE) and the TF14 / TF02 lists
// (PUNTO 1) compute it, with the contribution rate it starts from and the legend line every list
// ends with about the 40% reduction.
#include <optional>
#include <string_view>

#include "archive/FieldRepository.h"

namespace kv::lists {

// The contribution rate before the reduction test: 0.50, the employee's own rate, 0 when exempt.
double BaseRate(FieldRepository& repo);

// The TFR of the month's pay (P260 + P606, or P606 alone in an additional month) over 13.5, less the
// contribution at `rate` percent on the month's taxable: P268 in an additional month, P240 + P268
// when there is TFR pay of the additional months (P606 > 0) or wholeTaxable, else P240. A reduced
// contribution is taken as rate / 100 * reducedTo / 100, in that order.
double MonthTfr(FieldRepository& repo, double rate, bool additional, std::optional<int> reducedTo = {},
                bool wholeTaxable = false);

// The value of ARROTONDA(v, decimals) read back as a number.
double Rounded(double v, int decimals);

inline constexpr std::string_view kReductionLegend =
    "** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%";

}  // namespace kv::lists
