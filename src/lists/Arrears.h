#pragma once
// What the arrears lists (CF02, CF11, TF02 arrears) share: the adhesion-month test and the
// pension-fund share of the progressive TFR.
#include "archive/FieldRepository.h"
#include "lists/Reduction40.h"

namespace kv::lists {

// True when the year and month of the last payment (Q179, DDMMYYYY) equal those of the adhesion
// (P599, MMYYYY), each compared as a number.
bool JoinedThisMonth(FieldRepository& repo);

// F.PENSIONE of the CF02 and CF11 lists, with its partial results rounded to cents.
double PensionFundShare(FieldRepository& repo, const Reduction40& reduction);

}  // namespace kv::lists
