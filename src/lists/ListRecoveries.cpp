// Recoveries: the amounts recovered from the Treasury Fund for TFR settlements and advances.
#include "archive/SuiteFields.h"
#include "lists/ListEngine.h"

namespace kv::lists {

namespace {

const ListLayout kLayout{
    .blanksBeforePagina = 8,
    .separatorLength = 102,
    .columnHeader = {"NOMINATIVO                 REC. PRESTAZIONE        REC.ANTICIPI",
                     "                          TFR F.DO TESORERIA     TFR F.DO TESORERIA"},
    .linesAfterHeader = 7,
    .yAfterHeaderPrinter = 3.46,
    .yAfterHeaderPdf = 2.96,
    .fontSize = 9,
    .columns = {{CellKind::Amount, 10, 0}, {CellKind::Blank, 10}, {CellKind::Amount, 10, 1}},
    .totalsCount = 2,
};

class Recoveries : public ListProcedure {
public:
    const ListLayout& Layout() const override { return kLayout; }

    bool Employee(ListRun& run, EmployeeLine& line) override {
        FieldRepository& repo = run.repo();
        const double p602 = repo.RepoN(fields::P602), p603 = repo.RepoN(fields::P603);
        if (p602 + p603 == 0) return false;
        line.cells = {p602, {}, p603};
        return true;
    }

    std::vector<std::string> Legend(const ListRun&, bool) const override {
        return {"REC.PRESTAZIONE F.DO TESORERIA = P602RPRESTTFRFDOTESOR",
                "REC.ANTICIPI    F.DO TESORERIA = P603RANTTFRFDOTESOR"};
    }
};

}  // namespace

std::unique_ptr<ListProcedure> MakeRecoveries() { return std::make_unique<Recoveries>(); }

}  // namespace kv::lists
