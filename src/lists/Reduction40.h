#pragma once
// The 40% reduction of the 0.50% contribution for employees with a contribution relief: hired in
// 2016 with the relief (for the two years after hiring) or with one of the relief codes 4 to B.
#include <cstdint>
#include <string>
#include <string_view>

#include "archive/FieldRepository.h"

namespace kv::lists {

struct Reduction40 {
    int16_t RIDUZIONE40 = 0;  // 1: the reduction applies
    double ALIQUOTA050 = 0;  // the contribution rate in percent
    std::string PERIODOSGRAVIO = "000000";
};

// True when the relief code (P916) is one of the one-letter codes given ("456789AB": any relief).
bool IsReliefCode(std::string_view code, std::string_view codes = "456789AB");

// TESTA_DIP_RID40PERCENTO on the current employee record (REC_DIP) and the extraction header.
// rate is the ALIQUOTA050 the list has set; the result carries it, set again when the reduction
// applies. A blank relief code is set to "0" in the record text held in memory (never saved).
Reduction40 TESTA_DIP_RID40PERCENTO(FieldRepository& repo, const std::string& extractionHeader, double rate);

}  // namespace kv::lists
