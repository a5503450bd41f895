#include "lists/MonthTfr.h"

#include "archive/Numbers.h"
#include "archive/SuiteFields.h"

namespace kv::lists {

double BaseRate(FieldRepository& repo) {
    double r = 0.50;
    if (repo.RepoN(fields::P620) != 0) r = repo.RepoN(fields::P620);
    if (repo.RepoN(fields::P083) != 0) r = 0;
    return r;
}

double MonthTfr(FieldRepository& repo, double rate, bool additional, std::optional<int> reducedTo, bool wholeTaxable) {
    const double p260 = repo.RepoN(fields::P260), p606 = repo.RepoN(fields::P606);
    const double p240 = repo.RepoN(fields::P240), p268 = repo.RepoN(fields::P268);
    double taxable;
    if (additional)
        taxable = p268;
    else if (p606 > 0 || wholeTaxable)
        taxable = p240 + p268;
    else
        taxable = p240;
    double contribution = taxable * rate / 100;
    if (reducedTo) contribution = contribution * *reducedTo / 100;
    return (additional ? p606 : p260 + p606) / 13.5 - contribution;
}

double Rounded(double v, int decimals) { return Val(ARROTONDA(v, decimals)); }

}  // namespace kv::lists
