#include "lists/ListEngine.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <utility>

#include "archive/LegacyText.h"
#include "archive/SuiteFields.h"
#include "lists/ListFormat.h"

namespace kv::lists {

namespace {

// The legacy runtime's numeric test on a whole text: optional blanks and sign, digits with at most
// one decimal point, an optional exponent.
bool IsNumericText(const std::string& text) {
    std::string t = TrimBlanks(text);
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        char c = t[i];
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits = true;
        else if (c == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        bool expDigits = false;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
            ++i;
            expDigits = true;
        }
        if (!expDigits) return false;
    }
    return i == t.size();
}

// Data shown to people: control bytes become "?".
std::string Printable(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') c = '?';
    return out;
}

// How many bytes of record `record` the employee archive holds (0: none, it lies past the end).
double BytesOfRecord(ArchiveFiles& files, double record) {
    const double length = files.slot(archive::Employees).recordLength;
    return std::clamp(static_cast<double>(files.FileLength(archive::Employees)) - (record - 1) * length, 0.0, length);
}

std::string CutShort(double present, double length) {
    return NumberText(present) + " caratteri su " + NumberText(length);
}

// The entry `from` lies past the end of the employee archive: it and every later entry of the company
// are left out, since the selection stops there.
void ReportPastEnd(ListEnvironment& env, std::vector<std::string>::const_iterator from, double record) {
    const double present = BytesOfRecord(env.files, record);
    std::string detail =
        present > 0 ? "troncato a " + CutShort(present, env.files.slot(archive::Employees).recordLength) : "";
    for (auto it = from; it != env.extraction.end() && !it->empty(); ++it) {
        if (it->compare(0, 3, env.AZIENDACORRENTE) != 0) continue;
        try {
            record = Val(Mid(*it, 4, 7));
        } catch (const RuntimeError&) {
            continue;
        }
        env.observer->Found({env.AZIENDACORRENTE, std::string(Info(env.list).code), "record " + NumberText(record),
                             AnomalyReason::EntryPastEnd, std::exchange(detail, {})});
    }
}

// The employee record just read becomes the repository's REC_DIP. The archive's buffer is not read
// before the next record read fills it whole, so the two trade places rather than copy the record.
void TakeEmployeeRecord(ListEnvironment& env) {
    std::string& read = env.files.buffer(archive::Employees);
    std::string& into = env.repo.REC_DIP();
    if (into.size() == read.size())
        into.swap(read);
    else
        into = read;
}

// A key as the suite writes it: not blank, no control bytes and no 0xFF (what a record overwritten
// with blanks or 0xFF bytes holds where its key was).
bool LooksLikeKey(std::string_view key) {
    return !TrimBlanks(key).empty() && std::none_of(key.begin(), key.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F || u == 0xFF;
    });
}

// The title of a column of the layout: the words of the column header overlapping it most (they are
// centred or right-aligned over their columns, not cut at their edges).
std::string ColumnTitle(const ListLayout& layout, size_t column) {
    std::vector<std::pair<size_t, size_t>> spans;  // start and end of each column's characters
    for (size_t at = 27; const Column& c : layout.columns) {
        const size_t start = at;
        at += static_cast<size_t>(c.width) + (c.kind == CellKind::Literal ? 0 : 1);
        spans.emplace_back(start, at);
    }
    std::string title;
    for (const std::string& line : layout.columnHeader) {
        for (size_t a = line.find_first_not_of(' '); a != std::string::npos; a = line.find_first_not_of(' ', a)) {
            const size_t b = std::min(line.find(' ', a), line.size());
            size_t best = spans.size();
            long most = 0;
            for (size_t i = 0; i < spans.size(); ++i) {
                const long overlap =
                    static_cast<long>(std::min(b, spans[i].second)) - static_cast<long>(std::max(a, spans[i].first));
                if (overlap > most) most = overlap, best = i;
            }
            if (best == column) title += (title.empty() ? "" : " ") + line.substr(a, b - a);
            a = b;
        }
    }
    return title.empty() ? "colonna " + std::to_string(column + 1) : title;
}

// The value of a cell for people: digits in full, or what it is when it is no number.
std::string ValueText(double value, int decimals) {
    if (std::isnan(value)) return "non definito";
    if (std::isinf(value)) return "infinito";
    return std::fabs(value) < 1e15 ? FormatFixed(value, decimals, '.') : NumberText(value);
}

}  // namespace

void SCRIVICELLA(ReportSink& sink, double y, double x, std::string& text, bool printZero) {
    bool write;
    if (IsNumericText(text))
        write = printZero || Val(TrimBlanks(text)) != 0;
    else
        write = !TrimBlanks(text).empty();
    if (write) sink.WriteText(y, x, text);
    text.clear();
}

namespace {

// Hears what a selection tells, for the company's other lists that select the same way.
class Recorder : public ListObserver {
public:
    explicit Recorder(ListObserver* to) : to_(to) {}
    void Found(const Anomaly& anomaly) override {
        told.push_back(anomaly);
        if (to_) to_->Found(anomaly);
    }
    std::vector<Anomaly> told;

private:
    ListObserver* to_;
};

std::vector<std::string> Select(ListEnvironment& env);

}  // namespace

std::vector<std::string> CREALISTADISTAMPA(ListEnvironment& env) {
    if (!env.shared) return Select(env);
    CompanyShared::Selection& kept = env.shared->selections[env.list == ListKind::TF14 ? 1 : 0];
    if (kept.made) {
        for (Anomaly anomaly : kept.told)
            if (env.observer) anomaly.list = Info(env.list).code, env.observer->Found(anomaly);
        return kept.keys;
    }
    Recorder recorder(env.observer);
    ListObserver* const observer = std::exchange(env.observer, &recorder);
    struct Restore {
        ListEnvironment& env;
        ListObserver* observer;
        ~Restore() { env.observer = observer; }
    } restore{env, observer};
    kept.keys = Select(env);
    kept.told = std::move(recorder.told);
    kept.made = true;
    return kept.keys;
}

namespace {

std::vector<std::string> Select(ListEnvironment& env) {
    FieldRepository& repo = env.repo;
    const std::string list(Info(env.list).code);
    auto report = [&](AnomalyReason reason, const std::string& employee, const std::string& detail) {
        if (env.observer)
            env.observer->Found({env.AZIENDACORRENTE, list, Printable(employee), reason, Printable(detail)});
    };
    std::vector<std::pair<std::string, std::string>> keys;  // the key and the entry it came from
    // A cut archive, or a record length that is not the archive's, misplaces or loses records. Only
    // told: an archive that cannot be measured here fails, if at all, where the lists read it.
    if (env.observer) try {
            const double length = env.files.slot(archive::Employees).recordLength;
            const double bytes = static_cast<double>(env.files.FileLength(archive::Employees));
            if (length > 0 && std::fmod(bytes, length) != 0)
                report(AnomalyReason::ArchiveLength, "",
                       NumberText(bytes) + " caratteri, record di " + NumberText(length));
        } catch (const RuntimeError&) {}
    for (auto it = env.extraction.begin(); it != env.extraction.end(); ++it) {
        const std::string& entry = *it;
        if (entry.empty()) break;
        if (entry.compare(0, 3, env.AZIENDACORRENTE) != 0 || env.AZIENDACORRENTE.size() != 3) continue;
        // A record number that is no record (no digits, 0, negative, a fraction, an overflow) names
        // its entry, which is skipped: the other entries are still listed.
        double record = 0;
        try {
            record = Val(Mid(entry, 4, 7));
        } catch (const RuntimeError&) {}
        if (!(record >= 1) || record != std::floor(record)) {
            report(AnomalyReason::BadEntry, "voce " + entry, "numero di record \"" + Mid(entry, 4, 7) + "\"");
            continue;
        }
        env.files.errors().NoteEntry(entry);  // a record that cannot be read names its entry
        const double pastEnd = env.files.LEGGIREC(archive::Employees, ArchiveFiles::RecordValue{record});
        env.files.errors().NoteEntry({});
        if (pastEnd == 1) {  // past the end of the archive
            if (env.observer) ReportPastEnd(env, it, record);
            break;
        }
        TakeEmployeeRecord(env);
        if (const std::string key = repo.RepoR(fields::P001); !LooksLikeKey(key)) {
            report(AnomalyReason::UnreadableRecord, "record " + NumberText(record),
                   TrimBlanks(key).empty() ? "chiave in bianco" : "chiave \"" + key + "\"");
            continue;
        }
        // A run-time error in the test skips it: the employee is not taken and the selection goes on.
        try {
            const double p598 = repo.RepoN(fields::P598);
            const bool take = repo.RepoN(fields::P359) != 99 && repo.RepoN(fields::P054) != 2 &&
                (p598 != 0 ||
                 (env.list == ListKind::TF14 && repo.RepoN(fields::P188) == 1 && repo.RepoN(fields::T404) == 1 &&
                  p598 == 0));
            if (take) keys.emplace_back(repo.RepoR(fields::P001), entry);
        } catch (const RuntimeError&) {}
    }
    // The keys stand in ascending order of their text, whatever the order they were found in; an
    // employee named by several entries is listed once.
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> out;
    for (size_t i = 0; i < keys.size();) {
        size_t j = i + 1;
        std::string entries = keys[i].second;
        for (; j < keys.size() && keys[j].first == keys[i].first; ++j) entries += ", " + keys[j].second;
        if (j > i + 1) report(AnomalyReason::RepeatedEmployee, keys[i].first, "voci " + entries);
        out.push_back(keys[i].first);
        i = j;
    }
    return out;
}

}  // namespace

ListRun::ListRun(ListEnvironment& env, ReportSink& sink)
    : env_(env), sink_(sink), info_(Info(env.list)), list_(info_.make()), layout_(list_->Layout()) {}

void ListRun::Run() {
    std::vector<std::string> keys;
    if (sink_.medium() == Medium::Pdf) {
        keys = CREALISTADISTAMPA(env_);
        if (keys.empty()) return;
        if (!sink_.BeginList(info_, layout_)) return;
        if (sink_.ProtectionDataMissing()) Report(AnomalyReason::FiscalDataMissing, "", "");
    } else {
        if (!sink_.BeginList(info_, layout_)) return;
        keys = CREALISTADISTAMPA(env_);
        if (keys.empty()) return;
    }

    pageTotals_.fill(0);
    grandTotals_.fill(0);
    heardTotals_.fill(0);
    page_ = 1;
    lines_ = 0;
    HeaderBlock();
    if (env_.observer)
        env_.observer->BeginCompany(layout_, env_.repo.RepoR(fields::T001), TrimBlanks(env_.repo.RepoR(fields::T002)),
                                    TrimBlanks(env_.repo.RepoR(fields::T003)));

    EmployeeLine line;
    for (const std::string& item : keys) {
        if (lines_ >= kPageLimit) {
            FooterBlock();
            sink_.NewPage();
            ++page_;
            HeaderBlock();
        }
        const std::string key = item.substr(0, 10);
        if (!FindEmployee(key)) {
            Report(AnomalyReason::KeyNotInIndex, key);
            continue;
        }
        line = EmployeeLine{};
        bool listed;
        {
            const AmountWatch watch = WatchAmounts(key);
            listed = list_->Employee(*this, line);
            if (listed) Compose(line);
        }
        if (!listed) continue;
        const bool heard = env_.observer && Representable(line, key);
        if (heard) env_.observer->Line(line);
        WriteLine(std::move(line.text));
        ++lines_;
        if (line.addsTotals) {
            for (size_t i = 0; i < static_cast<size_t>(layout_.totalsCount); ++i) {
                pageTotals_[i] += line.totals[i];
                grandTotals_[i] += line.totals[i];
                if (heard) heardTotals_[i] += line.totals[i];
            }
        }
    }
    FinalBlock();
    if (env_.observer) env_.observer->EndCompany(heardTotals_, list_->Legend(*this, true));
}

bool ListRun::Representable(const EmployeeLine& line, const std::string& key) {
    if (!line.note.empty()) return true;
    std::string detail;
    size_t next = 0;
    for (size_t c = 0; c < layout_.columns.size(); ++c) {
        const Column& column = layout_.columns[c];
        if (column.kind == CellKind::Literal) continue;
        const double value = next < line.cells.size() ? line.cells[next].value : 0;
        ++next;
        if (!HoldsValue(column.kind)) continue;
        const int decimals = column.kind == CellKind::Coefficient ? 5 : 2;
        if (std::isfinite(value) &&
            FormatFixed(value, decimals, env_.decimalSeparator).size() <= static_cast<size_t>(column.width))
            continue;
        detail += (detail.empty() ? "" : ", ") + ColumnTitle(layout_, c) + " " + ValueText(value, decimals);
    }
    if (!detail.empty()) Report(AnomalyReason::UnrepresentableAmount, key, detail);
    return detail.empty();
}

void ListRun::Report(AnomalyReason reason, const std::string& employee, const std::string& detail) {
    if (env_.observer)
        env_.observer->Found(
            {env_.AZIENDACORRENTE, std::string(info_.code), Printable(employee), reason, Printable(detail)});
}

bool ListRun::FindEmployee(const std::string& key) {
    int64_t record = -1;
    if (env_.shared && env_.shared->foundKeys.contains(key)) {
        record = env_.shared->foundKeys.at(key);
    } else {
        env_.files.APRISEMA();
        record = env_.keys.ISAM(archive::EmployeeIndex, key, 2, 0);
        env_.files.CHIUDISEMA();
        if (env_.shared) env_.shared->foundKeys.emplace(key, record);
    }
    if (record == -1) return false;
    recordShort_ = env_.files.LEGGIREC(archive::Employees, record) == 1;
    TakeEmployeeRecord(env_);
    if (!env_.observer) return true;
    const std::string at = "record " + NumberText(record);
    if (recordShort_) {
        const double present = BytesOfRecord(env_.files, record);
        if (present > 0)
            Report(AnomalyReason::ShortRecord, key,
                   at + ", " + CutShort(present, env_.files.slot(archive::Employees).recordLength));
        else
            Report(AnomalyReason::IndexPastEnd, key, at);
    } else if (const std::string own = env_.repo.RepoR(fields::P001); own != key) {
        Report(AnomalyReason::KeyMismatch, key, at + " con chiave " + own);
    }
    return true;
}

ListRun::AmountWatch ListRun::WatchAmounts(const std::string& key) {
    watched_.clear();
    env_.files.errors().NoteEmployee(Printable(key));
    if (env_.observer) {
        env_.repo.SetNumberWatcher([this, key](const FieldDescriptor& d, std::string_view stored, double value) {
            if (d.ReadDecimals() == 0) return;  // codes and flags: only amounts count
            const bool blank = stored.find_first_not_of(' ') == std::string_view::npos;
            if (blank && recordShort_) return;  // the missing part of a cut record: already told
            std::string code(d.CodeView());
            if (std::find(watched_.begin(), watched_.end(), code) != watched_.end()) return;
            watched_.push_back(code);
            if (blank)
                Report(AnomalyReason::BlankAmount, key, code);
            else
                Report(AnomalyReason::NonNumericAmount, key,
                       code + " \"" + TrimBlanks(stored) + "\" letto come " + NumberText(value));
        });
    }
    return AmountWatch{env_.repo, env_.files.errors()};
}

void ListRun::WriteLine(std::string text) {
    SCRIVICELLA(sink_, y_, kLineX, text, false);
    y_ += kLineHeight;
}

void ListRun::HeaderBlock() {
    sink_.BeginPageHeader(layout_);
    const PageGeometry geometry = sink_.Geometry(layout_);
    y_ = geometry.top;
    env_.files.FAIOPEN(archive::ExtractionHeader);
    const bool headerMissing = env_.files.LEGGIREC(archive::ExtractionHeader, 1) == 1;
    const std::string& now = env_.files.buffer(archive::ExtractionHeader);
    header_ = env_.header.empty() ? now : env_.header;
    if (page_ == 1 && (env_.header.empty() ? headerMissing : TrimBlanks(header_).empty()))
        Report(AnomalyReason::HeaderMissing, "", "");
    else if (!env_.header.empty() && !env_.headerChangeTold && Mid(now, 1, 9) != Mid(header_, 1, 9)) {
        // The suite moved on to another extraction while the run goes: its pages keep one date.
        auto told = [](const std::string& h) {
            return TrimBlanks(Mid(h, 1, 9)).empty() ? std::string("assente")
                                                    : ExtractionHeader(h).Date() +
                    (ExtractionHeader(h).IsAdditionalMonth() ? " mensilita' aggiuntiva" : "");
        };
        Report(AnomalyReason::HeaderChanged, "", "ora " + told(now) + ", in uso " + told(header_));
        env_.headerChangeTold = true;
    }

    const std::string separator(static_cast<size_t>(layout_.separatorLength), '-');
    FieldRepository& repo = env_.repo;
    WriteLine(std::string(info_.title) + ExtractionHeader(header_).Date() +
              std::string(static_cast<size_t>(layout_.blanksBeforePagina), ' ') + "Pagina " +
              RightChars("    " + std::to_string(page_), 4));
    WriteLine(separator);
    WriteLine("AZIENDA : " + repo.RepoR(fields::T001) + " " + repo.RepoR(fields::T002) + " " +
              repo.RepoR(fields::T003));
    WriteLine(separator);
    for (const std::string& h : layout_.columnHeader) WriteLine(h);
    WriteLine(separator);
    lines_ = layout_.linesAfterHeader;
    y_ = geometry.afterHeader;
}

void ListRun::TotalsLine(const char* label, const std::array<double, kMaxTotals>& totals) {
    std::string text = LeftAligned(label, 27);
    for (const Column& c : layout_.columns) {
        switch (c.kind) {
        case CellKind::Literal: text += std::string(static_cast<size_t>(c.width), ' '); break;
        case CellKind::Amount:
            if (c.total >= 0) {
                text += NumberCell(totals[static_cast<size_t>(c.total)], 2, c.width, env_.decimalSeparator);
                break;
            }
            [[fallthrough]];
        default: text += std::string(static_cast<size_t>(c.width) + 1, ' '); break;
        }
    }
    WriteLine(std::move(text));
}

void ListRun::Legend(bool finalBlock) {
    for (std::string line : list_->Legend(*this, finalBlock)) WriteLine(std::move(line));
}

void ListRun::FooterBlock() {
    const std::string separator(static_cast<size_t>(layout_.separatorLength), '-');
    WriteLine(separator);
    TotalsLine("TOTALE PAGINA", pageTotals_);
    WriteLine(separator);
    Legend(false);
    pageTotals_.fill(0);
}

void ListRun::FinalBlock() {
    const std::string separator(static_cast<size_t>(layout_.separatorLength), '-');
    WriteLine(separator);
    TotalsLine("TOTALE", grandTotals_);
    WriteLine(separator);
    Legend(true);
}

std::string ListRun::ExtractionYear() const { return ExtractionHeader(header_).Year(); }

void ListRun::Compose(EmployeeLine& line) {
    line.text = NameCell();
    if (!line.note.empty()) {
        line.text += line.note;
        line.addsTotals = false;
        return;
    }
    std::array<bool, kMaxTotals> added{};
    size_t next = 0;
    for (const Column& c : layout_.columns) {
        const size_t width = static_cast<size_t>(c.width);
        if (c.kind == CellKind::Literal) {
            line.text.append(width, ' ');
            continue;
        }
        const LineCell cell = next < line.cells.size() ? line.cells[next] : LineCell{};
        ++next;
        switch (c.kind) {
        case CellKind::Coefficient: line.text += NumberCell(cell.value, 5, c.width, env_.decimalSeparator); break;
        case CellKind::Amount:
        case CellKind::Percent: line.text += NumberCell(cell.value, 2, c.width, env_.decimalSeparator); break;
        default: line.text += " " + LeftAligned(cell.text, width); break;
        }
        if (c.total >= 0 && !added[static_cast<size_t>(c.total)]) {
            added[static_cast<size_t>(c.total)] = true;
            line.totals[static_cast<size_t>(c.total)] = cell.value;
        }
    }
}

std::string ListRun::NameCell() {
    FieldRepository& repo = env_.repo;
    return lists::NameCell(repo.RepoN(fields::P177), repo.RepoR(fields::P002), repo.RepoR(fields::P003));
}

Reduction40 ListRun::TestReduction(double r) { return TESTA_DIP_RID40PERCENTO(env_.repo, header_, r); }

}  // namespace kv::lists
