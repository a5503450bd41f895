#include "lists/TreasuryShare.h"

#include <cmath>

#include "archive/Numbers.h"
#include "archive/SuiteFields.h"

namespace kv::lists {

double Rounded(double v, int decimals) { return Val(ARROTONDA(v, decimals)); }

double BaseRate(FieldRepository& repo) {
    double r = 0.50;
    if (repo.RepoN(fields::P620) != 0) r = repo.RepoN(fields::P620);
    if (repo.RepoN(fields::P083) != 0) r = 0;
    return r;
}

TreasuryShare ComputeTreasuryShare(ListRun& run, double (*percentFor)(ListRun&)) {
    FieldRepository& repo = run.repo();
    const Reduction40 red = run.TestReduction(BaseRate(repo));
    const double r = red.ALIQUOTA050;
    const bool additional = run.IsAdditionalMonth();
    const double p260 = repo.RepoN(fields::P260), p606 = repo.RepoN(fields::P606);
    const double p240 = repo.RepoN(fields::P240), p268 = repo.RepoN(fields::P268);
    const double p600 = repo.RepoN(fields::P600), p604 = repo.RepoN(fields::P604);

    TreasuryShare s;
    double punto1;
    if (red.RIDUZIONE40 != 1) {
        if (additional) punto1 = p606 / 13.5 - p268 * r / 100;
        else if (p606 <= 0) punto1 = (p260 + p606) / 13.5 - p240 * r / 100;
        else punto1 = (p260 + p606) / 13.5 - (p240 + p268) * r / 100;
    } else {
        if (additional) punto1 = p606 / 13.5 - p268 * r / 100 * 40 / 100;
        else if (p606 <= 0) punto1 = (p260 + p606) / 13.5 - p240 * r / 100 * 40 / 100;
        else punto1 = (p260 + p606) / 13.5 - (p240 + p268) * r / 100 * 40 / 100;
    }
    punto1 = Rounded(punto1, 2);
    const double q = repo.RepoN(fields::Q201);
    s.percent = percentFor(run);

    if (std::floor(punto1) - std::floor(q) <= 0) punto1 = q;
    if (punto1 <= 0) s.coef1 = 0;
    else if (p606 <= 0) s.coef1 = Rounded((punto1 - q) / punto1, 5);
    else s.coef1 = Rounded((p604 + p600) / punto1, 5);
    s.coef2 = s.coef1 * s.percent / 100;

    if (additional) s.amount = p268 * s.coef2;
    else if (p606 <= 0) s.amount = p240 * s.coef2;
    else s.amount = (p240 + p268) * s.coef2;

    s.punto1 = punto1;
    s.share = p606 <= 0 ? punto1 - q : p604 + p600;
    s.retrTfr = additional ? p606 : p260 + p606;
    s.imleFap = additional ? p268 : (p606 <= 0 ? p240 : p240 + p268);
    return s;
}

void TreasuryShareLine(ListRun& run, const TreasuryShare& s, EmployeeLine& line) {
    line.text = run.NameCell() + run.Amount(s.punto1) + run.Amount(s.share) + run.Percent(s.percent) +
                run.Coefficient(s.coef1) + run.Coefficient(s.coef2) + run.Amount(s.amount) +
                run.Amount(s.retrTfr) + run.Amount(s.imleFap);
    line.totals = {s.punto1, s.share, s.amount, s.retrTfr, s.imleFap};
}

ListLayout TreasuryShareLayout(std::string title, std::string columnHeader, std::string pdfPrefix) {
    ListLayout layout;
    layout.title = std::move(title);
    layout.blanksBeforePagina = 18;
    layout.separatorLength = 103;
    layout.columnHeader = {std::move(columnHeader)};
    layout.linesAfterHeader = 6;
    layout.yAfterHeaderPrinter = 3.1;
    layout.yAfterHeaderPdf = 2.6;
    layout.fontSize = 9;
    layout.columns = {{CellKind::Amount, 10, 0},  {CellKind::Amount, 10, 1},  {CellKind::Percent, 4},
                      {CellKind::Coefficient, 7}, {CellKind::Coefficient, 7}, {CellKind::Amount, 10, 2},
                      {CellKind::Amount, 10, 3},  {CellKind::Amount, 10, 4}};
    layout.totalsCount = 5;
    layout.pdfPrefix = std::move(pdfPrefix);
    return layout;
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
            "** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%"};
}

}  // namespace kv::lists
