// TF02: the share of the guarantee-fund contribution that belongs to the TFR paid into the Treasury
// Fund (section D of the DM10/2). Computed like TF14 with the guarantee-fund percentage.
#include "archive/SuiteFields.h"
#include "lists/TreasuryShare.h"

namespace kv::lists {

namespace {

const ListLayout kLayout = TreasuryShareLayout(
    "NOMINATIVO                   TFR MM(1) QU.F.TE(2) %FDG  COEF.1  COEF.2    TF02(3)  RETR. TFR  IM.LE FAP");

class TF02 : public ListProcedure {
public:
    const ListLayout& Layout() const override { return kLayout; }

    bool Employee(ListRun& run, EmployeeLine& line) override {
        FieldRepository& repo = run.repo();
        if (repo.RepoN(fields::P188) == 1 || repo.RepoN(fields::P117) != 0) return false;
        TreasuryShareLine(ComputeTreasuryShare(run, [](ListRun& r) { return GuaranteeFundPercent(r.repo()); }), line);
        return true;
    }

    std::vector<std::string> Legend(const ListRun&, bool) const override {
        return TreasuryShareLegend("   %FDG          = 0.20 AD ESCLUSIONE DIRIG.INDUSTRIA 0.40",
                                   "   COEFFICIENTE2 = COEFFICIENTE1 * FDG / 100",
                                   "3) TF02          = P240IMPSOCIALE * COEFFICIENTE2");
    }
};

}  // namespace

std::unique_ptr<ListProcedure> MakeTF02() { return std::make_unique<TF02>(); }

}  // namespace kv::lists
