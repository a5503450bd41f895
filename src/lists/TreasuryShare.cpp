#include "lists/TreasuryShare.h"

#include <cmath>

#include "archive/SuiteFields.h"
#include "lists/MonthTfr.h"

namespace kv::lists {

TreasuryShare ComputeTreasuryShare(ListRun& run, double (*percentFor)(ListRun&)) {
    FieldRepository& repo = run.repo();
    const Reduction40 red = run.TestReduction(BaseRate(repo));
    const bool additional = run.IsAdditionalMonth();
    const std::optional<int> reducedTo = red.RIDUZIONE40 == 1 ? std::optional<int>(40) : std::nullopt;
    double punto1 = Rounded(MonthTfr(repo, red.ALIQUOTA050, additional, reducedTo), 2);
    const double p260 = repo.RepoN(fields::P260), p606 = repo.RepoN(fields::P606);
    const double p240 = repo.RepoN(fields::P240), p268 = repo.RepoN(fields::P268);
    const double p600 = repo.RepoN(fields::P600), p604 = repo.RepoN(fields::P604);
    const double q = repo.RepoN(fields::Q201);

    TreasuryShare s;
    s.percent = percentFor(run);
    if (std::floor(punto1) - std::floor(q) <= 0) punto1 = q;
    if (punto1 <= 0)
        s.coef1 = 0;
    else if (p606 <= 0)
        s.coef1 = Rounded((punto1 - q) / punto1, 5);
    else
        s.coef1 = Rounded((p604 + p600) / punto1, 5);
    s.coef2 = s.coef1 * s.percent / 100;

    if (additional)
        s.amount = p268 * s.coef2;
    else if (p606 <= 0)
        s.amount = p240 * s.coef2;
    else
        s.amount = (p240 + p268) * s.coef2;

    s.punto1 = punto1;
    s.share = p606 <= 0 ? punto1 - q : p604 + p600;
    s.retrTfr = additional ? p606 : p260 + p606;
    s.imleFap = additional ? p268 : (p606 <= 0 ? p240 : p240 + p268);
    return s;
}

double GuaranteeFundPercent(FieldRepository& repo) { return repo.RepoR(fields::P511) == "1" ? 0.40 : 0.20; }

void TreasuryShareLine(const TreasuryShare& s, EmployeeLine& line) {
    line.cells = {s.punto1, s.share, s.percent, s.coef1, s.coef2, s.amount, s.retrTfr, s.imleFap};
}

ListLayout TreasuryShareLayout(std::string columnHeader) {
    return {
        .blanksBeforePagina = 18,
        .separatorLength = 103,
        .columnHeader = {std::move(columnHeader)},
        .linesAfterHeader = 6,
        .yAfterHeaderPrinter = 3.1,
        .yAfterHeaderPdf = 2.6,
        .fontSize = 9,
        .columns = {{CellKind::Amount, 10, 0},
                    {CellKind::Amount, 10, 1},
                    {CellKind::Percent, 4},
                    {CellKind::Coefficient, 7},
                    {CellKind::Coefficient, 7},
                    {CellKind::Amount, 10, 2},
                    {CellKind::Amount, 10, 3},
                    {CellKind::Amount, 10, 4}},
        .totalsCount = 5,
    };
}

std::vector<std::string> TreasuryShareLegend(std::string percentLine, std::string coefficient2Line,
                                             std::string amountLine) {
    return {"1) PUNTO 1       = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - ",
            "                   ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)",
            "2) PUNTO 2       = PUNTO 1 - Q201TFRFONDOMESE",
            std::move(percentLine),
            "   COEFFICIENTE1 = PUNTO 2 / PUNTO 1",
            std::move(coefficient2Line),
            std::move(amountLine),
            "",
            std::string(kReductionLegend)};
}

}  // namespace kv::lists
