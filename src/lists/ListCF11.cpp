// CF11: for the employees who joined the Treasury Fund this month, the months of arrears since the
// start of the year (or the hiring month), the average TFR per month of arrears and the interest
// declared under code CF11.
#include <cmath>

#include "archive/LegacyText.h"
#include "archive/Numbers.h"
#include "archive/SuiteFields.h"
#include "lists/Arrears.h"
#include "lists/ListEngine.h"
#include "lists/MonthTfr.h"

namespace kv::lists {

namespace {

constexpr std::string_view kMonthLetters = "GFMAMGLASOND";

const ListLayout kLayout{
    .blanksBeforePagina = 28,
    .separatorLength = 102,
    .columnHeader =
        {"NOMINATIVO                    TFR PROGR.     F.DO TESORERIA   F.PENSIONE MEDIA TFR MESI ARR       "
         "INTERESSI",
         "                                                  CF02                                              "
         "CF11"},
    .linesAfterHeader = 7,
    .yAfterHeaderPrinter = 3.46,
    .yAfterHeaderPdf = 2.96,
    .fontSize = 8,
    // TFR PROGR., F.DO TESORERIA CF02, F.PENSIONE, MEDIA TFR, the letters of the months of arrears,
    // INTERESSI CF11.
    .columns = {{CellKind::Amount, 10, 0},
                {CellKind::Amount, 15, 1},
                {CellKind::Literal, 6},
                {CellKind::Amount, 10, 2},
                {CellKind::Amount, 10, 3},
                {CellKind::Blank, 12},
                {CellKind::Amount, 10, 4}},
    .totalsCount = 5,
};

class CF11 : public ListProcedure {
public:
    const ListLayout& Layout() const override { return kLayout; }

    bool Employee(ListRun& run, EmployeeLine& line) override {
        FieldRepository& repo = run.repo();
        const Reduction40 red = run.TestReduction(BaseRate(repo));
        if (repo.RepoN(fields::P598) != 1 || !JoinedThisMonth(repo)) return false;

        // Months of arrears: from January, or from the hiring month when hired in the adhesion year.
        const std::string p599 = repo.RepoR(fields::P599);
        const std::string p013 = repo.RepoR(fields::P013);
        const double adhesionMonth = Val(Mid(p599, 1, 2));
        const double adhesionYear = Val(Mid(p599, 3, 4));
        const double hiringYear = Val(Mid(p013, 5, 4));
        double start = 0;
        if (adhesionYear > hiringYear) start = 1;
        if (hiringYear == adhesionYear) start = Val(Mid(p013, 3, 2));
        if (start == 0) start = 1;
        const double monthsOfArrears = adhesionMonth - start;

        double fp = PensionFundShare(repo, red);
        const double q688 = repo.RepoN(fields::Q688);
        double progressive = q688 + fp;
        if (std::floor(progressive) - std::floor(fp) <= 0) fp = progressive;

        // No months of arrears (or an adhesion before the start month): the two dates instead of
        // amounts, and nothing for the totals.
        if (monthsOfArrears <= 0) {
            line.note = "  MMAAAA Adesione " + Mid(p599, 1, 2) + "/" + Mid(p599, 3, 4) + " MMAAAA Assunzione " +
                Mid(p013, 3, 2) + "/" + Mid(p013, 5, 4);
            return true;
        }
        std::string letters;
        if (start >= 1 && start <= static_cast<double>(kMonthLetters.size()))
            letters =
                std::string(kMonthLetters.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(monthsOfArrears)));
        double average = 0;
        if (std::floor(progressive) - std::floor(fp) > 0) average = (progressive - fp) / monthsOfArrears;
        progressive = Rounded(progressive, 2);
        fp = Rounded(fp, 2);
        average = Rounded(average, 2);
        const double q689 = repo.RepoN(fields::Q689);

        line.cells = {progressive, q688, fp, average, letters, q689};
        return true;
    }

    std::vector<std::string> Legend(const ListRun&, bool) const override {
        return {"TFR PROGRESSIVO   = ((Q037-(P260+P606)) /13.5) - ((Q001-P240) * 0.50%)",
                "F.TESORERIA CF02  = Q688 VALORE A DM10/2",
                "F.PENSIONE        = Q236-Q201",
                "MEDIA TFR MM      = (TFR PROGRESSIVO  - F.PENSIONE) / MM ARR",
                "INTERESSI CF11    = Q689 VALORE A DM10/2",
                "TASSO INTERESSE   = 0.0274",
                "",
                std::string(kReductionLegend)};
    }
};

}  // namespace

std::unique_ptr<ListProcedure> MakeCF11() { return std::make_unique<CF11>(); }

}  // namespace kv::lists
