// TF14: the share of the contribution exoneration that belongs to the TFR paid into the Treasury
// Fund (section D of the DM10/2).
#include "archive/Numbers.h"
#include "lists/TreasuryShare.h"

namespace kv::lists {

namespace {

// The exoneration percentage of the extraction year, as a number and as the legend writes it.
struct Exoneration {
    double year;
    double rate;
    const char* text;
};
constexpr Exoneration kExoneration[] = {{2008, 0.19, "0.19"}, {2009, 0.21, "0.21"}, {2010, 0.23, "0.23"},
                                        {2011, 0.25, "0.25"}, {2012, 0.26, "0.26"}, {2013, 0.27, "0.27"}};
constexpr Exoneration kOtherYears{0, 0.28, "0.28"};  // 2007 and 2014 on

const Exoneration& ExonerationOf(const std::string& year) {
    const double y = Val(year);
    for (const Exoneration& e : kExoneration)
        if (e.year == y) return e;
    return kOtherYears;
}

const ListLayout kLayout = TreasuryShareLayout(
    "NOMINATIVO                   TFR MM(1) QU.F.TE(2) %ESO  COEF.1  COEF.2    TF14(3)  RETR. TFR  IM.LE FAP");

class TF14 : public ListProcedure {
public:
    const ListLayout& Layout() const override { return kLayout; }

    bool Employee(ListRun& run, EmployeeLine& line) override {
        TreasuryShareLine(ComputeTreasuryShare(run, [](ListRun& r) { return ExonerationOf(r.ExtractionYear()).rate; }),
                          line);
        return true;
    }

    std::vector<std::string> Legend(const ListRun& run, bool) const override {
        const std::string year = run.ExtractionYear();
        return TreasuryShareLegend(std::string("   %ESONERO      = ") + ExonerationOf(year).text + " " + year,
                                   "   COEFFICIENTE2 = COEFFICIENTE1 * ESO / 100",
                                   "3) TF14          = P240IMPSOCIALE * COEFFICIENTE2");
    }
};

}  // namespace

std::unique_ptr<ListProcedure> MakeTF14() { return std::make_unique<TF14>(); }

}  // namespace kv::lists
