// TF02 arrears: for the employees who joined the Treasury Fund this month, the progressive TFR, its
// Treasury Fund share, the guarantee-fund coefficients and the TF02 arrears of the DM10/2.
#include <cmath>

#include "archive/Numbers.h"
#include "archive/SuiteFields.h"
#include "lists/Arrears.h"
#include "lists/ListFormat.h"
#include "lists/MonthTfr.h"
#include "lists/TreasuryShare.h"

namespace kv::lists {

namespace {

const ListLayout kLayout{
    .blanksBeforePagina = 28,
    .separatorLength = 122,
    .columnHeader = {"NOMINATIVO                   TFR PR(1) QU.F.TE(2) %FDG  COEF.1  COEF.2               TF02(3)  "
                     "RETR. TFR IM.LE FAP",
                     std::string(106, ' ') + "PROGR. "},
    .linesAfterHeader = 7,
    .yAfterHeaderPrinter = 3.46,
    .yAfterHeaderPdf = 2.96,
    .fontSize = 8,
    .columns = {{CellKind::Amount, 10, 0},
                {CellKind::Amount, 10, 1},
                {CellKind::Percent, 4},
                {CellKind::Coefficient, 7},
                {CellKind::Coefficient, 7},
                {CellKind::Blank, 10},
                {CellKind::Amount, 10, 2},
                {CellKind::Amount, 10, 3},
                {CellKind::Amount, 10, 4}},
    .totalsCount = 5,
};

// Rounded to whole units, half away from zero (1000.50 gives 1001).
double WholeUnits(double v) { return Val(FormatFixed(v, 0, '.')); }

class TF02Arrears : public ListProcedure {
public:
    const ListLayout& Layout() const override { return kLayout; }

    bool Employee(ListRun& run, EmployeeLine& line) override {
        FieldRepository& repo = run.repo();
        if (repo.RepoN(fields::P188) == 1 || repo.RepoN(fields::P117) != 0 || repo.RepoN(fields::P598) != 1)
            return false;
        if (!JoinedThisMonth(repo)) return false;

        double punto2 = repo.RepoN(fields::Q236) - repo.RepoN(fields::Q201);
        double punto1 = repo.RepoN(fields::Q688) + punto2;
        const double fdg = GuaranteeFundPercent(repo);
        if (std::floor(punto1) - std::floor(punto2) <= 0) punto1 = punto2;
        double coef1;
        if (punto1 == 0)
            coef1 = 0;
        else if (std::floor(punto1) - std::floor(punto2) <= 0)
            coef1 = punto1 / punto1;
        else
            coef1 = Rounded((punto1 - punto2) / punto1, 5);
        const double coef2 = coef1 * fdg / 100;
        // Whole units from here on (halves away from zero).
        punto1 = WholeUnits(punto1);
        punto2 = WholeUnits(punto2);
        const double share = std::floor(punto1) - std::floor(punto2) <= 0 ? 0 : punto1 - punto2;

        const double p606 = repo.RepoN(fields::P606);
        const double q691 = repo.RepoN(fields::Q691);
        const double retr = repo.RepoN(fields::Q037) - (repo.RepoN(fields::P260) + p606);
        const double imle = p606 <= 0
            ? repo.RepoN(fields::Q001) - repo.RepoN(fields::P240)
            : repo.RepoN(fields::Q001) - (repo.RepoN(fields::P240) + repo.RepoN(fields::P268));
        line.cells = {punto1, share, fdg, coef1, coef2, {}, q691, retr, imle};
        return true;
    }

    std::vector<std::string> Legend(const ListRun& run, bool finalBlock) const override {
        // In the PDF the legend after a page's totals shows the second line without brackets.
        const char* punto2 = (run.medium() == Medium::Pdf && !finalBlock) ? "2) PUNTO 2        = Q236-Q201"
                                                                          : "2) PUNTO 2        = (Q236-Q201)";
        return {"1) PUNTO 1        = Q688 + VALORE 2",
                punto2,
                "   %FDG           = 0.20 AD ESCLUSIONE DIRIG.INDUSTRIA 0.40",
                "   COEFFICIENTE1  = PUNTO 2 / PUNTO 1",
                "   COEFFICIENTE2  = COEFFICIENTE1 * FDG / 100",
                "3) TF02 ARRETRATI = Q691 VALORE A DM10/2 SOMMATO A TF02 MESE",
                "",
                std::string(kReductionLegend)};
    }
};

}  // namespace

std::unique_ptr<ListProcedure> MakeTF02Arrears() { return std::make_unique<TF02Arrears>(); }

}  // namespace kv::lists
