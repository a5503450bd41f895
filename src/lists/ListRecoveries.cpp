// Recoveries: the amounts recovered from the Treasury Fund for TFR settlements and advances.
#include "archive/SuiteFields.h"
#include "lists/Lists.h"

namespace kv::lists {

namespace {

class Recoveries : public ListProcedure {
public:
    Recoveries() {
        layout_.title = "IMPORTI REC.PRESTAZIONI/ANTICIPI F.DO TESORERIA ";
        layout_.blanksBeforePagina = 8;
        layout_.separatorLength = 102;
        layout_.columnHeader = {"NOMINATIVO                 REC. PRESTAZIONE        REC.ANTICIPI",
                                "                          TFR F.DO TESORERIA     TFR F.DO TESORERIA"};
        layout_.linesAfterHeader = 7;
        layout_.yAfterHeaderPrinter = 3.46;
        layout_.yAfterHeaderPdf = 2.96;
        layout_.fontSize = 9;
        layout_.columns = {{CellKind::Amount, 10, 0}, {CellKind::Blank, 10}, {CellKind::Amount, 10, 1}};
        layout_.totalsCount = 2;
        layout_.pdfPrefix = "TESRECU_";
    }
    const ListLayout& Layout() const override { return layout_; }

    bool Employee(ListRun& run, EmployeeLine& line) override {
        FieldRepository& repo = run.repo();
        const double p602 = repo.RepoN(fields::P602), p603 = repo.RepoN(fields::P603);
        if (p602 + p603 == 0) return false;
        line.text = run.NameCell() + run.Amount(p602) + std::string(11, ' ') + run.Amount(p603);
        line.totals = {p602, p603};
        return true;
    }

    std::vector<std::string> Legend(const ListRun&, bool) const override {
        return {"REC.PRESTAZIONE F.DO TESORERIA = P602RPRESTTFRFDOTESOR",
                "REC.ANTICIPI    F.DO TESORERIA = P603RANTTFRFDOTESOR"};
    }

private:
    ListLayout layout_;
};

}  // namespace

std::unique_ptr<ListProcedure> MakeRecoveries() { return std::make_unique<Recoveries>(); }

}  // namespace kv::lists
