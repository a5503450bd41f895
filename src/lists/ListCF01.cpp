// CF01: the month's TFR and its split between the INPS Treasury Fund (code CF01 of the DM10/2) and
// the employee's pension fund.
#include <cmath>

#include "archive/SuiteFields.h"
#include "lists/ListEngine.h"
#include "lists/MonthTfr.h"

namespace kv::lists {

namespace {

const ListLayout kLayout{
    .blanksBeforePagina = 8,
    .separatorLength = 102,
    .columnHeader = {"NOMINATIVO                   TFR MESE F.TESORERIA F.PENSIONE       CF01  RETR. TFR  IM.LE FAP"},
    .linesAfterHeader = 6,
    .yAfterHeaderPrinter = 3.2,
    .yAfterHeaderPdf = 2.6,
    .fontSize = 9,
    // TFR MESE, F.TESORERIA, F.PENSIONE, CF01 (always F.TESORERIA: its totals show that total again),
    // RETR. TFR, IM.LE FAP.
    .columns = {{CellKind::Amount, 10, 0},
                {CellKind::Amount, 10, 1},
                {CellKind::Amount, 10, 2},
                {CellKind::Amount, 10, 1},
                {CellKind::Amount, 10, 3},
                {CellKind::Amount, 10, 4}},
    .totalsCount = 5,
};

class CF01 : public ListProcedure {
public:
    const ListLayout& Layout() const override { return kLayout; }

    bool Employee(ListRun& run, EmployeeLine& line) override {
        FieldRepository& repo = run.repo();
        const Reduction40 red = run.TestReduction(BaseRate(repo));
        const bool additional = run.IsAdditionalMonth();
        // The reduction is 40%; relief codes 4 and 5 halve the contribution and 6 to B take it off
        // whole, each on the whole taxable (outside an additional month).
        std::optional<int> reducedTo;
        bool wholeTaxable = false;
        if (red.RIDUZIONE40 == 1) {
            reducedTo = 40;
            const std::string relief = repo.RepoR(fields::P916);
            if (!additional && IsReliefCode(relief, "45"))
                reducedTo = 50, wholeTaxable = true;
            else if (!additional && IsReliefCode(relief, "6789AB"))
                reducedTo = 100, wholeTaxable = true;
        }
        double tfr = MonthTfr(repo, red.ALIQUOTA050, additional, reducedTo, wholeTaxable);

        const double fp = repo.RepoN(fields::Q201);
        if (std::floor(tfr) - std::floor(fp) <= 0) tfr = fp;

        double treasury, pension;
        const double p260 = repo.RepoN(fields::P260), p606 = repo.RepoN(fields::P606);
        const double p240 = repo.RepoN(fields::P240), p268 = repo.RepoN(fields::P268);
        if (p606 <= 0) {
            treasury = tfr - fp;
            pension = fp;
        } else {
            treasury = repo.RepoN(fields::P604) + repo.RepoN(fields::P600);
            pension = tfr - treasury;
        }
        const double retr = additional ? p606 : p260 + p606;
        const double imle = additional ? p268 : (p606 > 0 ? p240 + p268 : p240);
        line.cells = {tfr, treasury, pension, treasury, retr, imle};
        return true;
    }

    std::vector<std::string> Legend(const ListRun&, bool) const override {
        return {"TFR MESE    = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - ",
                "              ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)",
                "F.TESORERIA = TFR MESE  - Q201TFRFONDOMESE",
                "F.PENSIONE  = Q201TFRFONDOMESE",
                "CF01        = TFR MESE  - Q201TFRFONDOMESE",
                "",
                std::string(kReductionLegend)};
    }
};

}  // namespace

std::unique_ptr<ListProcedure> MakeCF01() { return std::make_unique<CF01>(); }

}  // namespace kv::lists
