#include "lists/Arrears.h"

#include "archive/LegacyText.h"
#include "archive/Numbers.h"
#include "archive/SuiteFields.h"
#include "lists/MonthTfr.h"

namespace kv::lists {

bool JoinedThisMonth(FieldRepository& repo) {
    const std::string q179 = repo.RepoR(fields::Q179);
    const std::string p599 = repo.RepoR(fields::P599);
    return Val(Mid(q179, 5, 4) + Mid(q179, 3, 2)) == Val(Mid(p599, 3, 4) + Mid(p599, 1, 2));
}

double PensionFundShare(FieldRepository& repo, const Reduction40& reduction) {
    const double q201 = repo.RepoN(fields::Q201), q236 = repo.RepoN(fields::Q236);
    if (q201 + q236 == 0) return 0;
    const double p606 = repo.RepoN(fields::P606);
    if (p606 <= 0) return Rounded(q236 - q201, 2);
    const double r = reduction.ALIQUOTA050;
    const double p268 = repo.RepoN(fields::P268);
    const double c = reduction.RIDUZIONE40 == 1 ? Rounded(p268 * r / 100 * 40 / 100, 2) : Rounded(p268 * r / 100, 2);
    double fp = Rounded(p606 / 13.5, 2) - c;
    fp = fp - Rounded(repo.RepoN(fields::P604), 2);
    return Rounded(q236 - (q201 + fp), 2);
}

}  // namespace kv::lists
