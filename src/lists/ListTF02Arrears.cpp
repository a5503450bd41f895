// TF02 arrears: for the employees who joined the Treasury Fund this month, the progressive TFR, its
// Treasury Fund share, the guarantee-fund coefficients and the TF02 arrears of the DM10/2.
#include <cmath>

#include "lists/Arrears.h"
#include "archive/Numbers.h"
#include "archive/SuiteFields.h"
#include "lists/ListFormat.h"
#include "lists/Lists.h"
#include "lists/TreasuryShare.h"

namespace kv::lists {

namespace {

class TF02Arrears : public ListProcedure {
public:
    TF02Arrears() {
        layout_.title = "IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF02 ARRETRATI ";
        layout_.blanksBeforePagina = 28;
        layout_.separatorLength = 122;
        layout_.columnHeader = {
            "NOMINATIVO                   TFR PR(1) QU.F.TE(2) %FDG  COEF.1  COEF.2               TF02(3)  RETR. TFR IM.LE FAP",
            std::string(106, ' ') + "PROGR. "};
        layout_.linesAfterHeader = 7;
        layout_.yAfterHeaderPrinter = 3.46;
        layout_.yAfterHeaderPdf = 2.96;
        layout_.fontSize = 8;
        layout_.columns = {{CellKind::Amount, 10, 0},  {CellKind::Amount, 10, 1},  {CellKind::Percent, 4},
                           {CellKind::Coefficient, 7}, {CellKind::Coefficient, 7}, {CellKind::Blank, 10},
                           {CellKind::Amount, 10, 2},  {CellKind::Amount, 10, 3},  {CellKind::Amount, 10, 4}};
        layout_.totalsCount = 5;
        layout_.pdfPrefix = "TETF02A_";
    }
    const ListLayout& Layout() const override { return layout_; }

    bool Employee(ListRun& run, EmployeeLine& line) override {
        FieldRepository& repo = run.repo();
        if (repo.RepoN(fields::P188) == 1 || repo.RepoN(fields::P117) != 0 || repo.RepoN(fields::P598) != 1)
            return false;
        if (!JoinedThisMonth(repo)) return false;

        double punto2 = repo.RepoN(fields::Q236) - repo.RepoN(fields::Q201);
        double punto1 = repo.RepoN(fields::Q688) + punto2;
        const double fdg = repo.RepoR(fields::P511) == "1" ? 0.40 : 0.20;
        if (std::floor(punto1) - std::floor(punto2) <= 0) punto1 = punto2;
        double coef1;
        if (punto1 == 0) coef1 = 0;
        else if (std::floor(punto1) - std::floor(punto2) <= 0) coef1 = punto1 / punto1;
        else coef1 = Rounded((punto1 - punto2) / punto1, 5);
        const double coef2 = coef1 * fdg / 100;
        // Whole units from here on (halves away from zero).
        punto1 = WholeUnits(punto1);
        punto2 = WholeUnits(punto2);
        const double share = std::floor(punto1) - std::floor(punto2) <= 0 ? 0 : punto1 - punto2;

        const double p606 = repo.RepoN(fields::P606);
        const double q691 = repo.RepoN(fields::Q691);
        const double retr = repo.RepoN(fields::Q037) - (repo.RepoN(fields::P260) + p606);
        const double imle = p606 <= 0 ? repo.RepoN(fields::Q001) - repo.RepoN(fields::P240)
                                      : repo.RepoN(fields::Q001) - (repo.RepoN(fields::P240) + repo.RepoN(fields::P268));
        line.text = run.NameCell() + run.Amount(punto1) + run.Amount(share) + run.Percent(fdg) +
                    run.Coefficient(coef1) + run.Coefficient(coef2) + std::string(11, ' ') + run.Amount(q691) +
                    run.Amount(retr) + run.Amount(imle);
        line.totals = {punto1, share, q691, retr, imle};
        return true;
    }

    std::vector<std::string> Legend(const ListRun& run, bool finalBlock) const override {
        // In the PDF the legend after a page's totals shows the second line without brackets.
        const char* punto2 = (run.IsPdf() && !finalBlock) ? "2) PUNTO 2        = Q236-Q201"
                                                          : "2) PUNTO 2        = (Q236-Q201)";
        return {"1) PUNTO 1        = Q688 + VALORE 2",
                punto2,
                "   %FDG           = 0.20 AD ESCLUSIONE DIRIG.INDUSTRIA 0.40",
                "   COEFFICIENTE1  = PUNTO 2 / PUNTO 1",
                "   COEFFICIENTE2  = COEFFICIENTE1 * FDG / 100",
                "3) TF02 ARRETRATI = Q691 VALORE A DM10/2 SOMMATO A TF02 MESE",
                "",
                "** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%"};
    }

private:
    // Rounded to whole units, half away from zero (1000.50 gives 1001).
    static double WholeUnits(double v) { return Val(FormatFixed(v, 0, '.')); }
    ListLayout layout_;
};

}  // namespace

std::unique_ptr<ListProcedure> MakeTF02Arrears() { return std::make_unique<TF02Arrears>(); }

}  // namespace kv::lists
