#pragma once
// The skeleton every Fondo Tesoreria list shares: the company's employee list, the loop over the
// employees with their index search, the header block of each page, the page break with the page
// totals, the final totals and the legend. Each list supplies a ListProcedure: its layout, its
// per-employee part and its legend.
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "archive/ArchiveFiles.h"
#include "archive/ExtractionHeader.h"
#include "archive/FieldRepository.h"
#include "archive/KeySearch.h"
#include "lists/ListCatalogue.h"
#include "lists/ListLayout.h"
#include "lists/ListObserver.h"
#include "lists/Reduction40.h"
#include "lists/ReportSink.h"

namespace kv::lists {

inline constexpr int kPageLimit = 60;
inline constexpr double kLineHeight = 0.35;
inline constexpr double kLineX = 0.5;
inline constexpr int kMaxTotals = kObservedTotals;

// What the lists of one company share when they are made one after another: the index's answers for
// its keys, and the employees each way of selecting took with what it told (the list's code left
// out). Cleared for the next company, which sees the suite's files as they are then.
struct CompanyShared {
    struct Selection {
        bool made = false;
        std::vector<std::string> keys;
        std::vector<Anomaly> told;
    };
    std::unordered_map<std::string, int64_t> foundKeys;
    std::array<Selection, 2> selections;  // the lists' own selection; TF14's
    void Clear() { *this = CompanyShared{}; }
};

// What the lists work on: the archive layer, the extraction table and the run's settings.
struct ListEnvironment {
    ArchiveFiles& files;
    FieldRepository& repo;
    KeySearch& keys;
    // ELENCOESTRAZIONE, sorted: company code (3) + employee record number (7) per entry.
    const std::vector<std::string>& extraction;
    std::string AZIENDACORRENTE;  // the company being listed
    ListKind list = ListKind::CF01;
    char decimalSeparator = '.';  // of the user's regional settings
    ListObserver* observer = nullptr;  // hears the lines, totals and anomalies (none: nobody)
    // The extraction header the run read at its start, which every page shows (a header that changes
    // later is told, not shown). Empty: each page shows the header of the moment.
    std::string header{};
    bool headerChangeTold = false;  // the change has been told in this run
    // What the lists made one after another for this company share (none: each list reads and
    // searches for itself).
    CompanyShared* shared = nullptr;
};

// A value for each cell of an employee line: a number for the columns that hold one, a text for a
// Blank column (no value: blanks).
struct LineCell {
    LineCell() = default;
    LineCell(double v) : value(v) {}  // NOLINT: lists write their cells as plain numbers
    LineCell(std::string t) : text(std::move(t)) {}  // NOLINT
    double value = 0;
    std::string text;
};

// One employee line: the list gives a cell for each column but the Literal ones, or a note printed
// after the name cell instead (a line that adds nothing to the totals). The engine writes the text
// and the totals the line adds.
struct EmployeeLine {
    std::vector<LineCell> cells;
    std::string note;
    std::string text;
    std::array<double, kMaxTotals> totals{};
    bool addsTotals = true;
};

class ListRun;

class ListProcedure {
public:
    virtual ~ListProcedure() = default;
    virtual const ListLayout& Layout() const = 0;
    // The list's own part for the current employee record (REC_DIP): false when the employee is
    // left out, else the line to print.
    virtual bool Employee(ListRun& run, EmployeeLine& line) = 0;
    // The legend printed after a "TOTALE PAGINA" block (finalBlock false) or after "TOTALE".
    virtual std::vector<std::string> Legend(const ListRun& run, bool finalBlock) const = 0;
};

// The working values of one company's list and the helpers the lists build their lines with.
class ListRun {
public:
    // The list of env.list, made by its procedure from the catalogue.
    ListRun(ListEnvironment& env, ReportSink& sink);

    // Produces the whole list of the current company on the sink.
    void Run();

    // ---- For the list procedures -----------------------------------------------------------
    FieldRepository& repo() { return env_.repo; }
    const std::string& header() const { return header_; }
    // An additional-month extraction: the month-type character (position 9 of the header) is "0".
    bool IsAdditionalMonth() const { return ExtractionHeader(header_).IsAdditionalMonth(); }
    // The extraction year, characters 5-8 of the header.
    std::string ExtractionYear() const;
    Medium medium() const { return sink_.medium(); }

    // The 40% reduction test on the current employee; r is the rate the list has set.
    Reduction40 TestReduction(double r);

    // Working values (exposed for tests and for the lists' own checks).
    double Y() const { return y_; }
    int page() const { return page_; }
    int lines() const { return lines_; }

private:
    void HeaderBlock();
    void FooterBlock();
    void FinalBlock();
    void TotalsLine(const char* label, const std::array<double, kMaxTotals>& totals);
    void Legend(bool finalBlock);
    void WriteLine(std::string text);
    // The employee line's text and totals from its cells, as the layout's columns format them.
    void Compose(EmployeeLine& line);
    // The 27-character name cell of the current employee.
    std::string NameCell();
    bool FindEmployee(const std::string& key);
    // Lets the observer hear the amounts the list reads blank or not as numbers while it computes
    // the line of the employee `key`, and names the employee in an error report; until the returned
    // guard goes.
    struct AmountWatch {
        FieldRepository& repo;
        ErrorHandler& errors;
        ~AmountWatch() { repo.SetNumberWatcher(nullptr), errors.NoteEmployee({}); }
    };
    AmountWatch WatchAmounts(const std::string& key);

    void Report(AnomalyReason reason, const std::string& employee, const std::string& detail = {});
    // False, with the employee named, when a value of the line is infinite, not a number or wider
    // than its cell: the line is printed as ever but not heard by the observer.
    bool Representable(const EmployeeLine& line, const std::string& key);

    ListEnvironment& env_;
    ReportSink& sink_;
    const ListInfo& info_;
    std::unique_ptr<ListProcedure> list_;
    const ListLayout& layout_;
    std::string header_;
    double y_ = 0;
    int lines_ = 0;
    int page_ = 1;
    std::array<double, kMaxTotals> pageTotals_{};
    std::array<double, kMaxTotals> grandTotals_{};
    std::array<double, kMaxTotals> heardTotals_{};  // of the lines the observer heard
    bool recordShort_ = false;  // the employee's record was read past the end of the archive
    std::vector<std::string> watched_;  // the fields already reported for the employee's line
};

// CREALISTADISTAMPA: the keys (P001) of the current company's employees that the list takes,
// in ascending order.
// An extraction entry past the end of the employee archive ends the selection; the observer hears of
// it and of every later entry of the company, none of which is listed.
std::vector<std::string> CREALISTADISTAMPA(ListEnvironment& env);

// SCRIVICELLA: writes the text at (y, x) on the sink unless it is empty (or a zero, when printZero is
// false), and empties the caller's text.
void SCRIVICELLA(ReportSink& sink, double y, double x, std::string& text, bool printZero = false);

}  // namespace kv::lists
