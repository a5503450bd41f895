// TF14: the share of the contribution exoneration that belongs to the TFR paid into the Treasury
// Fund (section D of the DM10/2).
#include "archive/Numbers.h"
#include "lists/Lists.h"
#include "lists/TreasuryShare.h"

namespace kv::lists {

namespace {

// The exoneration percentage of the extraction year.
double Exoneration(double year) {
    if (year == 2008) return 0.19;
    if (year == 2009) return 0.21;
    if (year == 2010) return 0.23;
    if (year == 2011) return 0.25;
    if (year == 2012) return 0.26;
    if (year == 2013) return 0.27;
    return 0.28;
}

const char* ExonerationLine(double year) {
    if (year == 2008) return "   %ESONERO      = 0.19 ";
    if (year == 2009) return "   %ESONERO      = 0.21 ";
    if (year == 2010) return "   %ESONERO      = 0.23 ";
    if (year == 2011) return "   %ESONERO      = 0.25 ";
    if (year == 2012) return "   %ESONERO      = 0.26 ";
    if (year == 2013) return "   %ESONERO      = 0.27 ";
    return "   %ESONERO      = 0.28 ";
}

class TF14 : public ListProcedure {
public:
    TF14()
        : layout_(TreasuryShareLayout(
              "IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF14 ",
              "NOMINATIVO                   TFR MM(1) QU.F.TE(2) %ESO  COEF.1  COEF.2    TF14(3)  RETR. TFR  IM.LE FAP",
              "TESTF14_")) {}
    const ListLayout& Layout() const override { return layout_; }

    bool Employee(ListRun& run, EmployeeLine& line) override {
        const TreasuryShare s =
            ComputeTreasuryShare(run, [](ListRun& r) { return Exoneration(Val(r.ExtractionYear())); });
        TreasuryShareLine(run, s, line);
        return true;
    }

    std::vector<std::string> Legend(const ListRun& run, bool) const override {
        return TreasuryShareLegend(ExonerationLine(Val(run.ExtractionYear())) + run.ExtractionYear(),
                                   "   COEFFICIENTE2 = COEFFICIENTE1 * ESO / 100",
                                   "3) TF14          = P240IMPSOCIALE * COEFFICIENTE2");
    }

private:
    ListLayout layout_;
};

}  // namespace

std::unique_ptr<ListProcedure> MakeTF14() { return std::make_unique<TF14>(); }

}  // namespace kv::lists
