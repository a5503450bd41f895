#include "output/ListWorkbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <set>
#include <system_error>

#include <zlib.h>

#include "archive/Errors.h"
#include "archive/ExtractionHeader.h"
#include "archive/LegacyText.h"
#include "lists/ListEngine.h"
#include "lists/ListFormat.h"
#include "output/Leftovers.h"
#include "output/PackageCheck.h"
#include "output/PdfListFiles.h"
#include "platform/Encoding.h"
#include "platform/FileAccess.h"
#include "platform/NumericLocale.h"

namespace kv::output {

using lists::CellKind;
using lists::HoldsValue;

namespace {

constexpr size_t kNameCell = 27;

// UTF-8 for the workbook; control characters (which XML refuses) become blanks.
std::string Utf8(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return platform::Cp1252ToUtf8(text);
}

std::filesystem::path HostPath(const platform::PathMap& paths, std::string suitePath) {
    for (char& c : suitePath)
        if (static_cast<unsigned char>(c) < 0x20) c = '_';
    return paths.FromSuite(suitePath);
}

// The words of the column header lines, each given to the shown column it overlaps most (the
// header's words are centred or right-aligned over their columns, not cut at their edges).
void Titles(const std::vector<std::string>& header, std::vector<ListWorkbook::Column>& columns,
            const std::vector<size_t>& starts, const std::vector<bool>& shown) {
    for (const std::string& line : header) {
        for (size_t a = line.find_first_not_of(' '); a != std::string::npos; a = line.find_first_not_of(' ', a)) {
            const size_t b = std::min(line.find(' ', a), line.size());
            int best = -1;
            long bestOverlap = 0;
            for (size_t i = 0; i < columns.size(); ++i) {
                if (!shown[i]) continue;
                const size_t start = starts[i], end = start + static_cast<size_t>(columns[i].width) + 1;
                const long overlap = static_cast<long>(std::min(b, end)) - static_cast<long>(std::max(a, start));
                if (overlap > bestOverlap) bestOverlap = overlap, best = static_cast<int>(i);
            }
            if (best >= 0) {
                std::string& title = columns[static_cast<size_t>(best)].title;
                title += (title.empty() ? "" : " ") + line.substr(a, b - a);
            }
            a = b;
        }
    }
}

// The moment SOURCE_DATE_EPOCH names (seconds since 1970), when it is set and valid.
std::optional<std::time_t> FixedClock() {
    const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
    if (fixed == nullptr || *fixed == '\0') return std::nullopt;
    long long seconds = 0;
    const char* end = fixed + std::strlen(fixed);
    const auto [at, ec] = std::from_chars(fixed, end, seconds);
    if (ec != std::errc() || at != end || seconds < 0) return std::nullopt;
    return static_cast<std::time_t>(seconds);
}

// The value as the list prints it with `decimals` decimals, without the binary remainder of a sum.
double Shown(double value, int decimals) {
    const std::string text = lists::FormatFixed(value, decimals, '.');
    double shown = 0;
    std::from_chars(text.data(), text.data() + text.size(), shown);
    return shown + 0.0;  // never "-0"
}

[[noreturn]] void Fail(int number, const std::string& what, const std::filesystem::path& path) {
    throw RuntimeError(number, DescriptionOf(number) + " - " + what + " (" + platform::NarrowPath(path) + ")");
}

}  // namespace

ListWorkbook::ListWorkbook(lists::ListKind list, WorkbookScope scope)
    : list_(lists::Info(list)),
      scope_(std::move(scope)),
      layout_(list_.make()->Layout()),
      started_(std::filesystem::file_time_type::clock::now()) {
    for (size_t i = 0; i < layout_.columns.size(); ++i)
        if (layout_.columns[i].kind != CellKind::Literal) layoutColumn_.push_back(static_cast<int>(i));
}

void ListWorkbook::BeginCompany(const lists::ListLayout&, const std::string& code, const std::string& name,
                                const std::string& inps) {
    companies_.push_back({code, name, inps, {}, {}, {}});
}

void ListWorkbook::Line(const lists::EmployeeLine& line) {
    if (companies_.empty()) return;
    Row row;
    row.number = line.text.substr(0, 4);
    row.name = TrimBlanks(Mid(line.text, 6, kNameCell - 5));
    if (!line.note.empty() || line.cells.size() < layoutColumn_.size()) {
        // No amounts: the line tells something instead (the dates of a CF11 line without arrears).
        row.note = TrimBlanks(line.note);
    } else {
        for (size_t i = 0; i < layoutColumn_.size(); ++i) {
            const lists::Column& c = layout_.columns[static_cast<size_t>(layoutColumn_[i])];
            const lists::LineCell& cell = line.cells[i];
            if (HoldsValue(c.kind))
                row.cells.push_back({true, Shown(cell.value, c.kind == CellKind::Coefficient ? 5 : 2), {}});
            else
                row.cells.push_back(
                    {false, 0, TrimBlanks(lists::LeftAligned(cell.text, static_cast<size_t>(c.width)))});
        }
    }
    companies_.back().rows.push_back(std::move(row));
}

void ListWorkbook::EndCompany(const std::array<double, lists::kObservedTotals>& totals,
                              const std::vector<std::string>& legend) {
    if (companies_.empty()) return;
    companies_.back().totals = totals;
    companies_.back().legend = legend;
}

void ListWorkbook::Found(const lists::Anomaly& anomaly) { anomalies_.push_back(anomaly); }

std::vector<ListWorkbook::Column> ListWorkbook::Columns() const {
    std::vector<Column> columns;
    std::vector<size_t> starts;
    std::vector<bool> shown;
    size_t at = kNameCell;
    for (const lists::Column& c : layout_.columns) {
        const size_t start = at;
        at += static_cast<size_t>(c.width) + (c.kind == CellKind::Literal ? 0 : 1);
        if (c.kind == CellKind::Literal) continue;
        const size_t i = columns.size();
        columns.push_back({"", c.kind, c.width, c.total, c.kind == CellKind::Coefficient ? 5 : 2});
        starts.push_back(start);
        // A column the list keeps blank is shown only when some line writes in it.
        bool used = HoldsValue(c.kind);
        for (const Company& company : companies_)
            for (const Row& row : company.rows)
                used = used || (i < row.cells.size() && !row.cells[i].number && !row.cells[i].text.empty());
        shown.push_back(used);
    }
    Titles(layout_.columnHeader, columns, starts, shown);
    for (size_t i = 0; i < columns.size(); ++i)
        if (!shown[i]) columns[i].width = -1;  // marks a column left out of the sheets
    return columns;
}

std::vector<int> ListWorkbook::TotalColumns(const std::vector<Column>& columns) const {
    // For each total, the first column that shows it.
    std::vector<int> out(static_cast<size_t>(layout_.totalsCount), -1);
    for (size_t i = 0; i < columns.size(); ++i) {
        const int t = columns[i].total;
        if (t >= 0 && t < layout_.totalsCount && out[static_cast<size_t>(t)] < 0)
            out[static_cast<size_t>(t)] = static_cast<int>(i);
    }
    return out;
}

std::array<double, lists::kObservedTotals> ListWorkbook::ShownTotals(const Company& company) {
    std::array<double, lists::kObservedTotals> shown{};
    for (size_t t = 0; t < shown.size(); ++t) shown[t] = Shown(company.totals[t], 2);
    return shown;
}

bool ListWorkbook::Partial() const {
    return std::set<std::string>(scope_.companies.begin(), scope_.companies.end()) !=
        std::set<std::string>(scope_.extractionCompanies.begin(), scope_.extractionCompanies.end());
}

std::string ListWorkbook::FileName(const std::string& period) const {
    std::string name = std::string(list_.filePrefix) + period;
    if (ExtractionHeader(scope_.extractionHeader).IsAdditionalMonth()) name += "_AGG";
    if (Partial()) {
        const std::set<std::string> codes(scope_.companies.begin(), scope_.companies.end());
        std::string joined;
        for (const std::string& code : codes)
            for (const char c : "_" + code) joined += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        if (codes.size() > 6) {
            char sum[9];
            std::snprintf(sum, sizeof sum, "%08lX",
                          crc32(0, reinterpret_cast<const Bytef*>(joined.data()), static_cast<uInt>(joined.size())));
            joined = "_" + std::to_string(codes.size()) + "DITTE_" + sum;
        }
        name += "_PARZ" + joined;
    }
    return name + ".xlsx";
}

std::string ListWorkbook::Title() const {
    const ExtractionHeader header(scope_.extractionHeader);
    std::string title = TrimBlanks(scope_.installation);
    auto add = [&](const std::string& part) { title += (title.empty() ? "" : " - ") + part; };
    const bool dated = !TrimBlanks(Mid(scope_.extractionHeader, 1, 8)).empty();
    add(TrimBlanks(list_.title) + (dated ? " " + header.Date() : ""));
    if (dated) add("periodo " + header.Month() + "/" + header.Year());
    add(header.IsAdditionalMonth() ? "mensilit\xE0 aggiuntiva" : "mensilit\xE0 ordinaria");
    if (Partial()) {
        std::string codes;
        for (const std::string& code : scope_.companies) codes += (codes.empty() ? "" : ", ") + code;
        add("parziale: ditte " + codes);
    }
    return title;
}

std::string ListWorkbook::SummaryText(char sep) const {
    const std::vector<Column> columns = Columns();
    const std::vector<int> totalColumns = TotalColumns(columns);
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> header{"Azienda", "Ragione sociale", "Dipendenti"};
    for (int c : totalColumns) header.push_back(c >= 0 ? columns[static_cast<size_t>(c)].title : "");
    table.push_back(header);
    auto addRow = [&](const std::string& code, const std::string& name, size_t employees,
                      const std::array<double, lists::kObservedTotals>& totals) {
        std::vector<std::string> row{code, name, std::to_string(employees)};
        for (size_t t = 0; t < totalColumns.size(); ++t) row.push_back(lists::FormatFixed(totals[t], 2, sep));
        table.push_back(row);
    };
    size_t employees = 0;
    std::array<double, lists::kObservedTotals> grand{};
    for (const Company& company : companies_) {
        const auto shown = ShownTotals(company);
        addRow(company.code, company.name, company.rows.size(), shown);
        employees += company.rows.size();
        for (size_t t = 0; t < grand.size(); ++t) grand[t] = Shown(grand[t] + shown[t], 2);
    }
    addRow("TOTALE", "", employees, grand);
    std::vector<size_t> widths(header.size(), 0);
    for (const auto& row : table)
        for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    std::string out;
    for (const auto& row : table) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) {
            if (i > 0) line += "  ";
            line += i < 2 ? lists::LeftAligned(row[i], widths[i]) : lists::RightAligned(row[i], widths[i]);
        }
        out += RTrimBlanks(line) + "\n";
    }
    return out;
}

std::string ListWorkbook::SheetName(std::string wanted, std::vector<std::string>& taken) {
    // What a sheet name cannot hold, and the bytes Windows-1252 leaves undefined (no character to
    // show), become "_".
    for (char& c : wanted)
        if (std::strchr("[]:*?/\\\x7F\x81\x8D\x8F\x90\x9D", c) != nullptr || static_cast<unsigned char>(c) < 0x20)
            c = '_';
    auto clean = [](std::string name) {
        name = TrimBlanks(name.substr(0, 31));
        while (!name.empty() && name.front() == '\'') name.erase(0, 1);
        while (!name.empty() && name.back() == '\'') name.pop_back();
        return name.empty() ? std::string("Foglio") : name;
    };
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    auto free = [&](const std::string& name) {
        if (lower(name) == "history") return false;  // reserved by Excel
        for (const std::string& t : taken)
            if (lower(t) == lower(name)) return false;
        return true;
    };
    std::string name = clean(wanted);
    for (int n = 2; !free(name); ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        name = clean(wanted.substr(0, 31 - suffix.size())) + suffix;
    }
    taken.push_back(name);
    return name;
}

namespace {

// A failure of the spreadsheet library while the workbook is filled (a program error, not the disk's:
// nothing is written before the workbook is closed).
[[noreturn]] void LibraryFailed(const std::string& what, const std::filesystem::path& path) {
    Fail(err::DeviceIo, "errore nella preparazione del file Excel: " + what, path);
}

// The failure of a file operation, with the cause its errno names.
[[noreturn]] void FileFailed(int error, const std::string& what, const std::filesystem::path& path) {
    int number = err::PathFileAccess;  // a read-only folder, a bad name
    if (platform::IsDiskFull(error)) number = err::DiskFull;
    if (error == EACCES || error == EPERM || error == EBUSY) number = err::PermissionDenied;  // a file held
    if (error == EIO || error == 0) number = err::DeviceIo;
    Fail(number, what, path);
}

// One sheet being filled: cells by row and column, the widths that fit their contents, and how it
// prints.
class Sheet {
public:
    Sheet(lxw_workbook* book, const std::string& name, const std::filesystem::path& path)
        : ws_(workbook_add_worksheet(book, Utf8(name).c_str())), path_(path) {
        if (ws_ == nullptr) LibraryFailed("nome del foglio non accettato: " + name, path_);
    }
    void Text(lxw_row_t row, lxw_col_t col, const std::string& text, lxw_format* format = nullptr, bool fit = true) {
        if (text.empty()) return;
        Check(worksheet_write_string(ws_, row, col, Utf8(text).c_str(), format));
        if (fit) Fit(col, text.size());
    }
    void Number(lxw_row_t row, lxw_col_t col, double value, int decimals, lxw_format* format) {
        Check(worksheet_write_number(ws_, row, col, value, format));
        FitNumber(col, value, decimals);
    }
    // A formula (UTF-8) with the value it gives stored, for readers that do not calculate.
    void Formula(lxw_row_t row, lxw_col_t col, const std::string& formula, double value, int decimals,
                 lxw_format* format) {
        Check(worksheet_write_formula_num(ws_, row, col, formula.c_str(), format, value));
        FitNumber(col, value, decimals);
    }
    // The title row above everything; the header row, frozen and repeated on every printed page.
    void Header(lxw_row_t row, const std::string& title, const std::vector<std::string>& titles, lxw_format* bold) {
        Text(0, 0, title, bold, false);
        for (size_t i = 0; i < titles.size(); ++i) Text(row, static_cast<lxw_col_t>(i), titles[i], bold);
        worksheet_freeze_panes(ws_, row + 1, 0);
        Check(worksheet_repeat_rows(ws_, row, row));
        header_ = row, columns_ = titles.size();
    }
    // The filter over the header and the rows under it up to `last`.
    void Filter(lxw_row_t last) {
        Check(worksheet_autofilter(ws_, header_, 0, std::max(last, header_), static_cast<lxw_col_t>(columns_ - 1)));
    }
    // Landscape, one page wide, the page header with `left` and `right` (Windows-1252); the widths.
    void Finish(const std::string& left, const std::string& right) {
        for (size_t i = 0; i < widths_.size(); ++i)
            Check(worksheet_set_column(ws_, static_cast<lxw_col_t>(i), static_cast<lxw_col_t>(i),
                                       static_cast<double>(std::min<size_t>(widths_[i] + 2, 60)), nullptr));
        worksheet_set_landscape(ws_);
        worksheet_set_paper(ws_, 9);  // A4
        worksheet_fit_to_pages(ws_, 1, 0);
        auto field = [](const std::string& text) {  // "&" starts a code of the page header
            std::string out;
            for (const char c : Utf8(text.substr(0, 80))) out += c == '&' ? std::string("&&") : std::string(1, c);
            return out;
        };
        Check(worksheet_set_header(ws_, ("&L" + field(left) + "&R" + field(right)).c_str()));
    }

private:
    void Check(lxw_error error) const {
        if (error != LXW_NO_ERROR) LibraryFailed(lxw_strerror(error), path_);
    }
    void Fit(lxw_col_t col, size_t chars) {
        if (widths_.size() <= col) widths_.resize(col + 1u, 0);
        widths_[col] = std::max(widths_[col], chars);
    }
    void FitNumber(lxw_col_t col, double value, int decimals) {
        const std::string text = lists::FormatFixed(value, decimals, '.');
        const size_t whole = text.find('.') == std::string::npos ? text.size() : text.find('.');
        Fit(col, text.size() + (whole > 1 ? (whole - 1) / 3 : 0));  // with the thousands separators
    }
    lxw_worksheet* ws_;
    const std::filesystem::path& path_;
    std::vector<size_t> widths_;
    lxw_row_t header_ = 0;
    size_t columns_ = 1;
};

// A1 reference to a cell, "A1:A9" to a column's rows, "'name'!A1" to a cell of another sheet.
std::string CellName(lxw_row_t row, lxw_col_t col) {
    char name[LXW_MAX_CELL_NAME_LENGTH];
    lxw_rowcol_to_cell(name, row, col);
    return name;
}
std::string Sum(lxw_row_t first, lxw_row_t last, lxw_col_t col) {
    return "=SUM(" + CellName(first, col) + ":" + CellName(last, col) + ")";
}
std::string On(const std::string& sheet, lxw_row_t row, lxw_col_t col) {
    std::string quoted;
    for (const char c : Utf8(sheet)) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return "='" + quoted + "'!" + CellName(row, col);
}

// The library names itself as the program that wrote the package; it gets this program's name.
std::string NamedByThisProgram(const std::string& package) {
    std::string app = PartText(package, "docProps/app.xml");
    const size_t a = app.find("<Application>"), b = app.find("</Application>");
    if (a == std::string::npos || b == std::string::npos || b < a) return package;
    app.replace(a + 13, b - a - 13, "KVTESO");
    return WithPart(package, "docProps/app.xml", app);
}

// Writes the whole file over what it held, or false with the cause in errno.
bool Rewrite(const std::filesystem::path& path, const std::string& bytes) {
    errno = 0;
    const platform::FileHandle file = platform::OpenFile(path, platform::OpenMode::WriteTruncate);
    if (file == platform::kNoFile) return false;
    const bool written = platform::Write(file, bytes.data(), static_cast<int64_t>(bytes.size()));
    const int cause = errno;
    const bool closed = platform::CloseFile(file);
    errno = written ? errno : cause;
    return written && closed;
}

// The whole file, or false with the cause in errno.
bool ReadBack(const std::filesystem::path& path, std::string& bytes) {
    errno = 0;
    const platform::FileHandle file = platform::OpenFile(path, platform::OpenMode::ReadOnly);
    if (file == platform::kNoFile) return false;
    const int64_t size = platform::FileSize(file);
    bytes.assign(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    const bool read = size >= 0 && platform::ReadAt(file, bytes.data(), size, 0) == size;
    platform::CloseFile(file);
    return read;
}

// The hidden folder the workbook is written in, removed with what it holds when the object ends.
struct HiddenFolder {
    ~HiddenFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

}  // namespace

void ListWorkbook::Write(const std::filesystem::path& path) const {
    // The library prints numbers with the C library's printf: under a locale with a decimal comma (set
    // by the window's toolkit) the workbook would hold "3800,5".
    const platform::CNumericScope numbers;
    const std::filesystem::path folder = path.parent_path();
    RemoveLeftovers(folder, ".xlsx", started_);
    // The workbook is written in a hidden folder of its own beside its place, ".<name>.<pid>-<n>.part",
    // with the library's temporary files: they take the space of the workbook's own disk, not of the
    // system's temporary folder, and whatever a killed run leaves is that one folder, which the next
    // run removes. Made here, so that a folder that takes nothing is named with its cause.
    static std::atomic<unsigned> workbooks{0};
    std::filesystem::path hidden(".");
    hidden += path.filename();
    hidden += "." + std::to_string(platform::ProcessId()) + "-" + std::to_string(workbooks++) + ".part";
    HiddenFolder temporary;
    std::error_code made;
    if (!std::filesystem::create_directory(folder / hidden, made) || made)
        FileFailed(made ? made.default_error_condition().value() : EEXIST,
                   "il file non puo' essere creato nella cartella", path);
    temporary.path = folder / hidden;
    const std::filesystem::path written = temporary.path / path.filename();

    std::string temporaryFolder = platform::NarrowPath(temporary.path);
    // Not the constant-memory mode: it keeps a temporary file open per sheet, and a run may list 999 companies.
    lxw_workbook_options options{};
    options.tmpdir = temporaryFolder.data();
    std::unique_ptr<lxw_workbook, void (*)(lxw_workbook*)> book(
        workbook_new_opt(platform::NarrowPath(written).c_str(), &options), lxw_workbook_free);
    if (!book) LibraryFailed("memoria insufficiente", path);
    Fill(book.get(), path);
    errno = 0;
    const lxw_error closed = workbook_close(book.release());
    const int cause = errno;
    if (closed == LXW_ERROR_CREATING_TMPFILE)
        FileFailed(cause, "i file temporanei non possono essere creati nella cartella", path);
    if (closed != LXW_NO_ERROR) FileFailed(cause, "scrittura del file non riuscita", path);
    // Read back: a part the library took from a temporary file cut short is found here, after the
    // properties got this program's name.
    std::string package;
    if (!ReadBack(written, package)) FileFailed(errno, "il file scritto non puo' essere riletto", path);
    const std::string named = NamedByThisProgram(package);
    if (named != package && !Rewrite(written, named)) FileFailed(errno, "scrittura del file non riuscita", path);
    if (named != package && !ReadBack(written, package))
        FileFailed(errno, "il file scritto non puo' essere riletto", path);
    if (const std::string damaged = package == named ? DamagedPart(package) : "directory"; !damaged.empty())
        Fail(err::DeviceIo,
             "il file riletto e' incompleto (" + damaged +
                 "): spazio su disco esaurito o errore di scrittura nella cartella",
             path);
    if (!platform::MoveIntoPlace(written, path))
        FileFailed(errno, "il file precedente non puo' essere sostituito", path);
}

void ListWorkbook::Fill(lxw_workbook* book, const std::filesystem::path& path) const {
    // The properties name this program and what the workbook is; SOURCE_DATE_EPOCH fixes its creation
    // date, as it does the PDF files': the same run gives the same bytes.
    std::string title = Utf8(TrimBlanks(list_.title)), company = Utf8(TrimBlanks(scope_.installation));
    std::string subject = Utf8(Title()), program = "KVTESO";
    lxw_doc_properties properties{};
    properties.title = title.data(), properties.subject = subject.data(), properties.company = company.data();
    properties.author = program.data();
    if (const std::optional<std::time_t> fixed = FixedClock()) properties.created = *fixed;
    if (workbook_set_properties(book, &properties) != LXW_NO_ERROR) LibraryFailed("proprieta' del documento", path);

    lxw_format* bold = workbook_add_format(book);
    lxw_format* formats[2][2];  // [bold][coefficient]
    for (int b = 0; b < 2; ++b)
        for (int c = 0; c < 2; ++c) formats[b][c] = workbook_add_format(book);
    if (bold == nullptr || formats[0][0] == nullptr || formats[0][1] == nullptr || formats[1][0] == nullptr ||
        formats[1][1] == nullptr)
        LibraryFailed("memoria insufficiente", path);
    format_set_bold(bold);
    for (int b = 0; b < 2; ++b)
        for (int c = 0; c < 2; ++c) {
            format_set_num_format(formats[b][c], c ? "0.00000" : "#,##0.00");
            if (b) format_set_bold(formats[b][c]);
        }

    const std::string heading = Title();
    const ExtractionHeader header(scope_.extractionHeader);
    const std::string period = header.Month() + "/" + header.Year() +
        (header.IsAdditionalMonth() ? " mensilit\xE0 aggiuntiva" : " mensilit\xE0 ordinaria");
    const std::vector<Column> columns = Columns();
    const std::vector<int> totalColumns = TotalColumns(columns);
    // The company sheets' layout: their names, the sheet column of each column, the rows.
    constexpr lxw_row_t kHeaderRow = 2;  // under the title and the "AZIENDA" line
    std::vector<std::string> taken{"Riepilogo", "Anomalie"}, names;
    for (const Company& c : companies_) names.push_back(SheetName(c.code + " " + c.name, taken));
    std::vector<std::string> head{"Matricola", "Nominativo"};
    std::vector<lxw_col_t> at(columns.size(), 0);
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].width >= 0) at[i] = static_cast<lxw_col_t>(head.size()), head.push_back(columns[i].title);
    auto totalRow = [&](const Company& c) { return static_cast<lxw_row_t>(kHeaderRow + 1 + c.rows.size()); };

    // Riepilogo: a row per company (its sheet's "TOTALE"), the totals over all of them.
    Sheet summary(book, "Riepilogo", path);
    std::vector<std::string> titles{"Azienda", "Ragione sociale", "Posizione INPS", "Dipendenti"};
    for (int c : totalColumns) titles.push_back(c >= 0 ? columns[static_cast<size_t>(c)].title : "");
    summary.Header(1, heading, titles, bold);
    lxw_row_t r = 2;
    std::array<double, lists::kObservedTotals> grand{};
    for (size_t k = 0; k < companies_.size(); ++k) {
        const Company& company = companies_[k];
        summary.Text(r, 0, company.code);
        summary.Text(r, 1, company.name);
        summary.Text(r, 2, company.inps);
        summary.Number(r, 3, static_cast<double>(company.rows.size()), 0, nullptr);
        const auto shown = ShownTotals(company);
        for (size_t t = 0; t < totalColumns.size(); ++t) {
            const lxw_col_t col = static_cast<lxw_col_t>(4 + t);
            const int c = totalColumns[t];
            if (c >= 0 && columns[static_cast<size_t>(c)].kind == CellKind::Amount)
                summary.Formula(r, col, On(names[k], totalRow(company), at[static_cast<size_t>(c)]), shown[t], 2,
                                formats[0][0]);
            else
                summary.Number(r, col, shown[t], 2, formats[0][0]);
            grand[t] = Shown(grand[t] + shown[t], 2);
        }
        ++r;
    }
    summary.Filter(r - 1);
    size_t employees = 0;
    for (const Company& company : companies_) employees += company.rows.size();
    summary.Text(r, 0, "TOTALE", bold);
    if (r == 2)
        summary.Number(r, 3, 0, 0, bold);
    else
        summary.Formula(r, 3, Sum(2, r - 1, 3), static_cast<double>(employees), 0, bold);
    for (size_t t = 0; t < totalColumns.size(); ++t) {
        const lxw_col_t col = static_cast<lxw_col_t>(4 + t);
        if (r == 2)
            summary.Number(r, col, 0, 2, formats[1][0]);
        else
            summary.Formula(r, col, Sum(2, r - 1, col), grand[t], 2, formats[1][0]);
    }
    summary.Finish(TrimBlanks(scope_.installation), period);

    // One sheet per company: the "AZIENDA" line, its lines, its "TOTALE", its legend.
    for (size_t k = 0; k < companies_.size(); ++k) {
        const Company& company = companies_[k];
        Sheet sheet(book, names[k], path);
        std::vector<std::string> companyHead = head;
        const lxw_col_t noteColumn = static_cast<lxw_col_t>(head.size());
        if (std::any_of(company.rows.begin(), company.rows.end(), [](const Row& row) { return !row.note.empty(); }))
            companyHead.push_back("Note");
        sheet.Header(kHeaderRow, heading, companyHead, bold);
        const std::string line = "AZIENDA : " + company.code + " " + company.name + " " + company.inps;
        sheet.Text(1, 0, line, bold, false);
        r = kHeaderRow + 1;
        for (const Row& row : company.rows) {
            sheet.Text(r, 0, row.number);
            sheet.Text(r, 1, row.name);
            for (size_t i = 0; i < row.cells.size() && i < columns.size(); ++i) {
                if (columns[i].width < 0) continue;
                const Cell& cell = row.cells[i];
                if (cell.number)
                    sheet.Number(r, at[i], cell.value, columns[i].decimals, formats[0][columns[i].decimals == 5]);
                else
                    sheet.Text(r, at[i], cell.text);
            }
            sheet.Text(r, noteColumn, row.note);
            ++r;
        }
        sheet.Filter(r - 1);
        // The list's "TOTALE" as printed. It adds the amounts before rounding: where the rows as shown add
        // up to another figure, their sum follows on a row of its own, named for what it is.
        const auto shown = ShownTotals(company);
        std::vector<double> sums(columns.size(), 0);
        bool differs = false;
        sheet.Text(r, 0, "TOTALE", bold);
        for (size_t i = 0; i < columns.size(); ++i) {
            const int t = columns[i].total;
            if (columns[i].width < 0 || t < 0 || columns[i].kind != CellKind::Amount) continue;
            sheet.Number(r, at[i], shown[static_cast<size_t>(t)], 2, formats[1][0]);
            for (const Row& row : company.rows)
                if (i < row.cells.size() && row.cells[i].number) sums[i] += row.cells[i].value;
            sums[i] = Shown(sums[i], 2);
            differs = differs || sums[i] != shown[static_cast<size_t>(t)];
        }
        if (differs) {
            ++r;
            sheet.Text(r, 0, "SOMMA RIGHE");
            sheet.Text(r, noteColumn, "somma degli importi come stampati (il TOTALE somma gli importi non arrotondati)",
                       nullptr, false);
            for (size_t i = 0; i < columns.size(); ++i)
                if (columns[i].width >= 0 && columns[i].total >= 0 && columns[i].kind == CellKind::Amount)
                    sheet.Formula(r, at[i], Sum(kHeaderRow + 1, r - 2, at[i]), sums[i], 2, formats[0][0]);
        }
        r += 2;
        for (const std::string& legend : company.legend) sheet.Text(r++, 0, legend, nullptr, false);
        sheet.Finish(company.code + " " + company.name + " - INPS " + company.inps, period);
    }

    // Anomalie: always there, with its header when nothing was found; the employee also by the number
    // the lists print (the key's last four characters).
    Sheet anomalies(book, "Anomalie", path);
    anomalies.Header(1, heading, {"Azienda", "Lista", "Dipendente", "Matricola", "Motivo", "Dettaglio"}, bold);
    r = 2;
    for (const lists::Anomaly& a : anomalies_) {
        const bool key = a.employee.size() == 10 && a.employee.find_first_not_of("0123456789") == std::string::npos;
        anomalies.Text(r, 0, a.company);
        anomalies.Text(r, 1, a.list);
        anomalies.Text(r, 2, a.employee);
        anomalies.Text(r, 3, key ? RightChars(a.employee, 4) : "");
        anomalies.Text(r, 4, lists::AnomalyText(a.reason));
        anomalies.Text(r, 5, a.detail);
        ++r;
    }
    anomalies.Filter(r - 1);
    anomalies.Finish("Anomalie", period);
}

std::filesystem::path PrepareWorkbookFolder(const Settings& settings, const platform::PathMap& paths,
                                            const std::string& period, std::string& suiteFolder) {
    // Beside the PDF tree, under the same root.
    const std::string root = PdfListFiles::RootOf(settings.archiveFolder);
    const std::string year = period.substr(0, 4), month = RightChars(period, 2);
    PdfListFiles::CheckPeriod(period);  // it becomes the folders
    std::string folder = root + "\\FILE-XLSX";
    std::filesystem::path host;
    for (const std::string& part : {std::string(), year, month}) {
        if (!part.empty()) folder += "\\" + part;
        host = HostPath(paths, folder);
        std::error_code ec;
        if (!host.empty() && std::filesystem::is_directory(host, ec)) continue;
        if (!host.empty()) std::filesystem::create_directory(host, ec);
        if (host.empty() || !std::filesystem::is_directory(host, ec))
            throw RuntimeError(err::PathFileAccess, DescriptionOf(err::PathFileAccess) + " - " + folder);
    }
    suiteFolder = folder;
    return host;
}

}  // namespace kv::output
