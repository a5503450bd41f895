// TF02: the share of the guarantee-fund contribution that belongs to the TFR paid into the Treasury
// Fund (section D of the DM10/2). Computed like TF14 with the guarantee-fund percentage.
#include "archive/SuiteFields.h"
#include "lists/Lists.h"
#include "lists/TreasuryShare.h"

namespace kv::lists {

namespace {

class TF02 : public ListProcedure {
public:
    TF02()
        : layout_(TreasuryShareLayout(
              "IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF02 ",
              "NOMINATIVO                   TFR MM(1) QU.F.TE(2) %FDG  COEF.1  COEF.2    TF02(3)  RETR. TFR  IM.LE FAP",
              "TESTF02_")) {}
    const ListLayout& Layout() const override { return layout_; }

    bool Employee(ListRun& run, EmployeeLine& line) override {
        FieldRepository& repo = run.repo();
        if (repo.RepoN(fields::P188) == 1 || repo.RepoN(fields::P117) != 0) return false;
        const TreasuryShare s = ComputeTreasuryShare(run, [](ListRun& r) {
            return r.repo().RepoR(fields::P511) == "1" ? 0.40 : 0.20;
        });
        TreasuryShareLine(run, s, line);
        return true;
    }

    std::vector<std::string> Legend(const ListRun&, bool) const override {
        return TreasuryShareLegend("   %FDG          = 0.20 AD ESCLUSIONE DIRIG.INDUSTRIA 0.40",
                                   "   COEFFICIENTE2 = COEFFICIENTE1 * FDG / 100",
                                   "3) TF02          = P240IMPSOCIALE * COEFFICIENTE2");
    }

private:
    ListLayout layout_;
};

}  // namespace

std::unique_ptr<ListProcedure> MakeTF02() { return std::make_unique<TF02>(); }

}  // namespace kv::lists
