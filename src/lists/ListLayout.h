#pragma once
// What a list tells the engine about its pages: the column header, where its lines start on paper and
// in the PDF, its font and its columns. The employee line, the totals lines and the workbook's columns
// are all built from the one column table.
#include <string>
#include <vector>

namespace kv::lists {

enum class CellKind {
    Amount,  // one blank + value with two decimals, right-aligned
    Percent,  // one blank + value with two decimals ("0.#0"); never totalled
    Coefficient,  // one blank + value with five decimals ("0.####0"); never totalled
    Blank,  // one blank + a text left-aligned in the width (blanks in the totals lines)
    Literal,  // exactly width blanks, with no leading blank of its own and no cell of the line
};

// Cells that hold a number of the line.
constexpr bool HoldsValue(CellKind kind) {
    return kind == CellKind::Amount || kind == CellKind::Percent || kind == CellKind::Coefficient;
}

struct Column {
    CellKind kind;
    int width;
    // The total shown under the column in the totals lines (-1: blanks). The first column naming a
    // total adds its values to it; a later one naming the same total shows it again.
    int total = -1;
};

struct ListLayout {
    int blanksBeforePagina = 0;  // between the date and "Pagina "
    int separatorLength = 0;  // number of "-" of a separator line
    std::vector<std::string> columnHeader;
    int linesAfterHeader = 6;  // the line count a page starts with after its header block
    // The first employee line, in centimetres from the top of the page, on paper and in the PDF.
    double yAfterHeaderPrinter = 0;
    double yAfterHeaderPdf = 0;
    double fontSize = 9;
    std::vector<Column> columns;  // the cells after the 27-character name cell
    int totalsCount = 0;
};

}  // namespace kv::lists
