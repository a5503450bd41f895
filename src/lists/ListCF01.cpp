// CF01: the month's TFR and its split between the INPS Treasury Fund (code CF01 of the DM10/2) and
// the employee's pension fund.
#include <cmath>

#include "archive/SuiteFields.h"
#include "lists/Lists.h"
#include "lists/TreasuryShare.h"

namespace kv::lists {

namespace {

class CF01 : public ListProcedure {
public:
    CF01() {
        layout_.title = "IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF01 ";
        layout_.blanksBeforePagina = 8;
        layout_.separatorLength = 102;
        layout_.columnHeader = {
            "NOMINATIVO                   TFR MESE F.TESORERIA F.PENSIONE       CF01  RETR. TFR  IM.LE FAP"};
        layout_.linesAfterHeader = 6;
        layout_.yAfterHeaderPrinter = 3.2;
        layout_.yAfterHeaderPdf = 2.6;
        layout_.fontSize = 9;
        // The CF01 column always equals F.TESORERIA: its totals show that total again.
        layout_.columns = {{CellKind::Amount, 10, 0}, {CellKind::Amount, 10, 1}, {CellKind::Amount, 10, 2},
                           {CellKind::Amount, 10, 1}, {CellKind::Amount, 10, 3}, {CellKind::Amount, 10, 4}};
        layout_.totalsCount = 5;
        layout_.pdfPrefix = "TESCF01_";
    }
    const ListLayout& Layout() const override { return layout_; }

    bool Employee(ListRun& run, EmployeeLine& line) override {
        FieldRepository& repo = run.repo();
        const Reduction40 red = run.TestReduction(BaseRate(repo));
        const double r = red.ALIQUOTA050;
        const bool additional = run.IsAdditionalMonth();
        const double p260 = repo.RepoN(fields::P260), p606 = repo.RepoN(fields::P606);
        const double p240 = repo.RepoN(fields::P240), p268 = repo.RepoN(fields::P268);
        const std::string relief = repo.RepoR(fields::P916);

        double tfr;
        if (red.RIDUZIONE40 != 1) {
            if (additional) tfr = p606 / 13.5 - p268 * r / 100;
            else if (p606 > 0) tfr = (p260 + p606) / 13.5 - (p240 + p268) * r / 100;
            else tfr = (p260 + p606) / 13.5 - p240 * r / 100;
        } else if (additional) {
            tfr = p606 / 13.5 - p268 * r / 100 * 40 / 100;
        } else if (relief == "4" || relief == "5") {
            tfr = (p260 + p606) / 13.5 - (p240 + p268) * r / 100 * 50 / 100;
        } else if (relief == "6" || relief == "7" || relief == "8" || relief == "9" || relief == "A" ||
                   relief == "B") {
            tfr = (p260 + p606) / 13.5 - (p240 + p268) * r / 100 * 100 / 100;
        } else if (p606 > 0) {
            tfr = (p260 + p606) / 13.5 - (p240 + p268) * r / 100 * 40 / 100;
        } else {
            tfr = (p260 + p606) / 13.5 - p240 * r / 100 * 40 / 100;
        }

        const double fp = repo.RepoN(fields::Q201);
        if (std::floor(tfr) - std::floor(fp) <= 0) tfr = fp;

        double treasury, pension, cf01;
        if (repo.RepoN(fields::P606) <= 0) {
            treasury = tfr - fp;
            pension = fp;
            cf01 = tfr - fp;
        } else {
            const double fund = repo.RepoN(fields::P604) + repo.RepoN(fields::P600);
            treasury = fund;
            pension = tfr - fund;
            cf01 = fund;
        }
        double retr, imle;
        if (additional) {
            retr = p606;
            imle = p268;
        } else {
            retr = p260 + p606;
            imle = p606 > 0 ? p240 + p268 : p240;
        }
        line.text = run.NameCell() + run.Amount(tfr) + run.Amount(treasury) + run.Amount(pension) +
                    run.Amount(cf01) + run.Amount(retr) + run.Amount(imle);
        line.totals = {tfr, treasury, pension, retr, imle};
        return true;
    }

    std::vector<std::string> Legend(const ListRun&, bool) const override {
        return {"TFR MESE    = ((P260TFRMESE + P606RETRUTILETFRMMAGG) /13.5) - ",
                "              ((P240IMPSOCIALE + P2681314MAPARTEIMPSOC) * 0.50%)",
                "F.TESORERIA = TFR MESE  - Q201TFRFONDOMESE",
                "F.PENSIONE  = Q201TFRFONDOMESE",
                "CF01        = TFR MESE  - Q201TFRFONDOMESE",
                "",
                "** SE PRESENTI DIP.ASSUNTI NEL 2016 E CON SGRAVIO CONTRIBUTIVI IL CONTRIBUTO 0.50% VIENE RIDOTTO 40%"};
    }

private:
    ListLayout layout_;
};

}  // namespace

std::unique_ptr<ListProcedure> MakeCF01() { return std::make_unique<CF01>(); }

}  // namespace kv::lists
