#pragma once
// What a list tells the engine about itself: title, page header, cells of the totals lines, legend,
// font and PDF file prefix. Each list file defines one ListLayout and its per-employee part.
#include <string>
#include <vector>

namespace kv::lists {

enum class CellKind {
    Amount,       // one blank + value with two decimals, right-aligned
    Percent,      // one blank + value with two decimals ("0.#0"); never totalled
    Coefficient,  // one blank + value with five decimals ("0.####0"); never totalled
    Blank,        // one blank + width blanks (a cell that stays empty in every line)
    Literal,      // exactly width blanks, with no leading blank of its own
};

struct Column {
    CellKind kind;
    int width;
    int total = -1;  // index of the total shown under the column in the totals lines; -1 = blanks
};

struct ListLayout {
    std::string title;             // with its trailing blanks
    int blanksBeforePagina = 0;    // between the date and "Pagina "
    int separatorLength = 0;       // number of "-" of a separator line
    std::vector<std::string> columnHeader;
    int linesAfterHeader = 6;
    double yAfterHeaderPrinter = 0;
    double yAfterHeaderPdf = 0;
    double fontSize = 9;
    std::vector<Column> columns;   // the cells after the 27-character name cell
    int totalsCount = 0;
    std::string pdfPrefix;         // "TESTF14_"
};

}  // namespace kv::lists
