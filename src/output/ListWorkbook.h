#pragma once
// The spreadsheet of one list and one month: it listens to the list runs of every company (as a
// ListObserver) and writes one .xlsx workbook: the sheet "Riepilogo" (one row per company and the
// totals over all of them), one sheet per company with its employee lines as typed cells, its
// "TOTALE" row and legend, and the sheet "Anomalie" with what the lists left out or read from damaged
// data. Every cell holds its value as the list prints it (amounts to the cent, coefficients to five
// decimals, before the cut to the cell's width), the "TOTALE" of a company too; the "Riepilogo" takes
// the companies' "TOTALE" and adds them up (formulas, with their values stored).
//
// Texts arrive in Windows-1252 bytes, as the lists print them; the workbook gets them in UTF-8.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/Settings.h"
#include "lists/ListCatalogue.h"
#include "lists/ListObserver.h"
#include "platform/Paths.h"

struct lxw_workbook;

namespace kv::output {

// What a workbook is of: the installation, the extraction (its header gives the date and the month
// type) and the companies run, against every company of the extraction (fewer: a partial run).
struct WorkbookScope {
    std::string installation;  // the installation's name
    std::string extractionHeader;  // the extraction header's record
    std::vector<std::string> companies;  // the companies run (three-digit codes)
    std::vector<std::string> extractionCompanies;  // every company of the extraction
};

class ListWorkbook : public lists::ListObserver {
public:
    explicit ListWorkbook(lists::ListKind list, WorkbookScope scope = {});

    void BeginCompany(const lists::ListLayout& layout, const std::string& code, const std::string& name,
                      const std::string& inps) override;
    void Line(const lists::EmployeeLine& line) override;
    void EndCompany(const std::array<double, lists::kObservedTotals>& totals,
                    const std::vector<std::string>& legend) override;
    void Found(const lists::Anomaly& anomaly) override;

    // Nothing heard: no company listed and nothing found (no workbook is worth writing).
    bool Empty() const { return companies_.empty() && anomalies_.empty(); }
    // "TESTF14_201803.xlsx" for the month YYYYMM; an additional month adds "_AGG", a run of some of the
    // extraction's companies "_PARZ_" and their codes ("_PARZ_001_003"; more than six: their number and a
    // checksum of their codes), so that no run ever replaces the workbook of another month type or of
    // other companies.
    std::string FileName(const std::string& period) const;
    // A run of some of the extraction's companies only.
    bool Partial() const;
    // The "Riepilogo" as text lines for a terminal: aligned columns, amounts with the given decimal
    // separator (Windows-1252, one "\n" after each line).
    std::string SummaryText(char decimalSeparator) const;
    // Writes the workbook in a hidden folder beside path, reads it back, and puts it in path's place
    // only when every part is whole: an earlier workbook stays when writing fails. A failure is a
    // run-time error naming its cause. What killed runs left in path's folder before this workbook was
    // begun is removed first.
    void Write(const std::filesystem::path& path) const;

    // The name of a sheet made acceptable to Excel (no []:*?/\, control or undefined byte, at most 31
    // characters, no apostrophe at either end, not empty) and unique, ignoring case, among `taken`, to
    // which it is added.
    static std::string SheetName(std::string wanted, std::vector<std::string>& taken);

    // A column of the sheets: a column of the list (the name cell split in two before them).
    struct Column {
        std::string title;
        lists::CellKind kind = lists::CellKind::Amount;
        int width = 10;
        int total = -1;  // the total the list shows under it
        int decimals = 2;
    };

private:
    struct Cell {
        bool number = false;
        double value = 0;
        std::string text;
    };
    struct Row {
        std::string number, name;  // the employee number (4 digits) and name of the name cell
        std::vector<Cell> cells;  // one per column of the layout that is no spacer
        std::string note;  // a line that gives information instead of amounts
    };
    struct Company {
        std::string code, name, inps;
        std::vector<Row> rows;
        std::array<double, lists::kObservedTotals> totals{};  // under "TOTALE", full precision
        std::vector<std::string> legend;
    };

    std::vector<Column> Columns() const;
    std::vector<int> TotalColumns(const std::vector<Column>& columns) const;
    // A company's totals as its list prints them (to the cent).
    static std::array<double, lists::kObservedTotals> ShownTotals(const Company& company);
    // The title row of every sheet: installation, list, extraction date, period and month type.
    std::string Title() const;
    void Fill(lxw_workbook* book, const std::filesystem::path& path) const;

    const lists::ListInfo& list_;
    WorkbookScope scope_;
    lists::ListLayout layout_;
    std::vector<int> layoutColumn_;  // the layout's index of each sheet column (spacers left out)
    std::vector<Company> companies_;
    std::vector<lists::Anomaly> anomalies_;
    std::filesystem::file_time_type started_;  // when this workbook was begun
};

// The folder of the month's workbooks beside the PDF tree, <PDF root>\FILE-XLSX\<year>\<month>
// (the PDF root is the parent of the archive folder), created when missing. Returns its host path;
// suiteFolder gets the suite's own path. A folder that cannot be made is a run-time error (75).
std::filesystem::path PrepareWorkbookFolder(const Settings& settings, const platform::PathMap& paths,
                                            const std::string& period, std::string& suiteFolder);

}  // namespace kv::output
