// CF02 arrears: for the employees who joined the Treasury Fund this month, the progressive TFR, the
// arrears declared under code CF02 and the pension-fund share.
#include <cmath>

#include "archive/SuiteFields.h"
#include "lists/Arrears.h"
#include "lists/ListEngine.h"
#include "lists/MonthTfr.h"

namespace kv::lists {

namespace {

const ListLayout kLayout{
    .blanksBeforePagina = 8,
    .separatorLength = 102,
    .columnHeader = {"NOMINATIVO                   TFR PROGR.       F.TESORERIA     F.PENSIONE  RETR. TFR  IM.LE FAP",
                     "                                                 CF02                                  PROGR."},
    .linesAfterHeader = 7,
    .yAfterHeaderPrinter = 3.45,
    .yAfterHeaderPdf = 2.95,
    .fontSize = 9,
    .columns = {{CellKind::Amount, 10, 0},
                {CellKind::Amount, 15, 1},
                {CellKind::Literal, 6},
                {CellKind::Amount, 10, 2},
                {CellKind::Amount, 10, 3},
                {CellKind::Amount, 10, 4}},
    .totalsCount = 5,
};

class CF02Arrears : public ListProcedure {
public:
    const ListLayout& Layout() const override { return kLayout; }

    bool Employee(ListRun& run, EmployeeLine& line) override {
        FieldRepository& repo = run.repo();
        if (repo.RepoN(fields::P598) != 1) return false;
        const Reduction40 red = run.TestReduction(BaseRate(repo));
        if (!JoinedThisMonth(repo)) return false;

        const double fp = PensionFundShare(repo, red);
        const double q688 = repo.RepoN(fields::Q688);
        double progressive = q688 + fp;
        if (std::floor(progressive) - std::floor(fp) <= 0) progressive = fp;

        const double p606 = repo.RepoN(fields::P606);
        const double retr = repo.RepoN(fields::Q037) - (repo.RepoN(fields::P260) + p606);
        const double imle = p606 > 0 ? repo.RepoN(fields::Q001) - (repo.RepoN(fields::P240) + repo.RepoN(fields::P268))
                                     : repo.RepoN(fields::Q001) - repo.RepoN(fields::P240);
        line.cells = {progressive, q688, fp, retr, imle};
        return true;
    }

    std::vector<std::string> Legend(const ListRun&, bool) const override {
        return {"TFR PROGRESSIVO   = ((Q037-(P260+P606)) /13.5) - ((Q001-P240) * 0.50%)",
                "F.TESORERIA CF02  = Q688 VALORE A DM10/2", "F.PENSIONE        = Q236-Q201", "",
                std::string(kReductionLegend)};
    }
};

}  // namespace

std::unique_ptr<ListProcedure> MakeCF02Arrears() { return std::make_unique<CF02Arrears>(); }

}  // namespace kv::lists
