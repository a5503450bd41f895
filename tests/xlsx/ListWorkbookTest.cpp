// The lists' workbooks read back with openpyxl (and opened by gnumeric's ssconvert): every company's
// sheet against its PDF list line by line, the TOTALE rows and the Riepilogo against the sheets, the
// sheet names Excel accepts, the workbook that only ever appears whole (the read-back check, the batch
// run on a full or read-only folder), the batch run with --xlsx, and the names that keep every month
// type and every run of some companies apart.
#ifndef _WIN32
#include <sys/mount.h>
#endif

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

#include "app/AppTestSupport.h"
#include "app/BatchRun.h"
#include "lists/ListEngine.h"
#include "lists/ListFormat.h"
#include "output/ListWorkbook.h"
#include "output/PackageCheck.h"
#include "platform/FileAccess.h"

namespace kv::app::test {
namespace {

using output::ListWorkbook;
using Rows = std::vector<std::vector<std::string>>;
struct Sheet {
    std::string name, meta;
    Rows rows;
};  // meta: frozen cell and column widths

std::vector<Sheet> ReadWorkbook(const fs::path& file, std::string* props = nullptr) {
    std::vector<Sheet> sheets;
    std::istringstream in(RunCommand("/usr/bin/python3 " + Quoted(fs::path(KV_SOURCE_DIR) / "tests/xlsx/read_workbook.py") + " " + Quoted(file)).output);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("PROPS ", 0) == 0) {
            if (props) *props = line.substr(6);
            continue;
        }
        if (line.rfind("SHEET ", 0) == 0) {
            sheets.push_back({line.substr(6, line.find('|') - 6), line.substr(line.find('|')), {}});
            continue;
        }
        if (sheets.empty()) {
            ADD_FAILURE() << line;
            continue;
        }
        sheets.back().rows.push_back({});
        std::istringstream row(line);
        for (std::string cell; std::getline(row, cell, '\t');) sheets.back().rows.back().push_back(cell);
    }
    return sheets;
}
double Value(const std::string& cell) {  // "#<value>@<format>[=formula]", whatever the locale
    double v = 0;
    return std::from_chars(cell.data() + 1, cell.data() + cell.size(), v), v;
}
std::string Cents(double value) { return lists::FormatFixed(value, 2, '.'); }
// A row's numbers as the list prints them ("#<value>@0.00000" has five decimals), and its texts joined.
std::pair<std::vector<std::string>, std::string> Split(const std::vector<std::string>& cells) {
    std::pair<std::vector<std::string>, std::string> out;
    for (size_t i = 1; i < cells.size(); ++i) {
        if (cells[i].empty()) continue;
        if (cells[i][0] != '#') out.second += (out.second.empty() ? "" : " ") + cells[i];
        else out.first.push_back(lists::FormatFixed(Value(cells[i]), cells[i].ends_with("0.00000") ? 5 : 2, '.'));
        if (cells[i][0] == '#') { EXPECT_EQ(Value(cells[i]), Value("#" + out.first.back())) << "not as printed: " << cells[i]; }
    }
    return out;
}
std::string Words(const std::string& text) {  // blanks collapsed, none at either end
    return std::regex_replace(std::regex_replace(text, std::regex(R"(\s+)"), " "), std::regex("^ | $"), "");
}

// Every list of the demo suite, every company: the sheet holds the PDF's "AZIENDA" line and its lines,
// each number as printed before the cut to ten characters; the TOTALE row is the PDF's (less the
// employees whose amounts do not fit the list's cells, named in "Anomalie"), followed by the sum of the
// rows where that differs; the Riepilogo rows are the sheets' TOTALE rows and its last row their sum to
// the cent. Each sheet filters its rows and prints landscape, one page wide, its header row repeated.
TEST(ListWorkbookTest, SheetsHoldThePdfListsAndAddUp) {
    const DemoInstallation demo;
    auto session = demo.Open();
    const std::regex number(R"(-?\d+\.\d+)"), employee(R"(^\s*(\d{4}) (.*)$)");
    for (const lists::ListInfo& list : lists::AllLists()) {
        const ListKind kind = list.kind;
        SCOPED_TRACE(list.code);
        ListWorkbook book(kind, {(*session)->context().settings().installationName, (*session)->TESTATAESTRAZIONE(), {}, {}});
        (*session)->driver().SetListObserver(&book);
        fs::remove_all(demo.PdfTree());
        const auto outcome = session->Click(0, kind, {"001", "002", "003", "004"});
        (*session)->driver().SetListObserver(nullptr);
        const fs::path file = demo.root() / book.FileName("201803");
        book.Write(file);
        const std::vector<Sheet> sheets = ReadWorkbook(file);
        ASSERT_EQ(sheets.size(), outcome.files.size() + 2);
        EXPECT_EQ(sheets.front().name + sheets.back().name, "RiepilogoAnomalie");
        std::vector<double> sums(sheets[0].rows[1].size(), 0);
        std::set<std::string> outOfSheets;  // "001 0048": an employee whose amounts do not fit the list's cells
        for (const auto& a : sheets.back().rows)
            if (a.size() > 4 && a[4].rfind("Importo non rappresentabile", 0) == 0) outOfSheets.insert(a[0] + " " + a[3]);
        const std::string title = "IMPORTI .* 31/03/2018 - periodo 03/2018 - mensilit\xC3\xA0 ordinaria";
        for (const Sheet& sheet : sheets) EXPECT_TRUE(std::regex_match(sheet.rows.at(0).at(0), std::regex("STUDIO PAGHE DEMO VELMORA - " + title))) << sheet.rows[0][0];
        for (size_t s = 1; s + 1 < sheets.size(); ++s) {
            const Sheet& sheet = sheets[s];
            const std::string code = sheet.name.substr(0, 3);
            SCOPED_TRACE(sheet.name + sheet.meta);
            EXPECT_TRUE(std::regex_match(sheet.meta, std::regex(R"(\|A4\|.*\|A3:[A-Z]+\d+\|landscape 1x0\|\$3:\$3\|)" + code + " .* - INPS \\d{10}&R03/2018 mensilit\xC3\xA0 ordinaria")));
            std::istringstream pdf(PdfText(outcome.files[s - 1], code == "001" ? kPassword : ""));
            size_t row = 3;
            for (std::string line; std::getline(pdf, line);) {
                std::smatch m;
                line.erase(0, line.find_first_not_of(' '));
                if (line.rfind("AZIENDA : ", 0) == 0) { EXPECT_EQ(Words(sheet.rows.at(1).at(0)), Words(line)); }
                const bool total = line.rfind("TOTALE ", 0) == 0 && line.rfind("TOTALE PAGINA", 0) != 0;
                if (!total && (!std::regex_match(line, m, employee) || outOfSheets.count(code + " " + m[1].str()))) continue;
                const bool short_ = total && std::any_of(outOfSheets.begin(), outOfSheets.end(), [&](auto& e) { return e.starts_with(code); });
                ASSERT_LT(row, sheet.rows.size()) << line;
                const std::vector<std::string>& cells = sheet.rows[row++];
                const std::string rest = total ? line.substr(6) : m[2].str();
                std::vector<std::string> printed(std::sregex_token_iterator(rest.begin(), rest.end(), number), {});
                const auto [values, texts] = Split(cells);
                ASSERT_EQ(values.size(), printed.size()) << line;
                for (size_t i = 0; i < values.size(); ++i)  // a longer value keeps its last ten characters
                    EXPECT_TRUE(short_ || values[i] == printed[i] || (printed[i].size() == 10 && values[i].ends_with(printed[i])))
                        << values[i] << " printed " << printed[i];
                EXPECT_EQ(cells[0] + " " + Words(texts), total ? "TOTALE " : m[1].str() + " " + Words(std::regex_replace(rest, number, " ")));
                const bool apart = total && row < sheet.rows.size() && !sheet.rows[row].empty() && sheet.rows[row][0] == "SOMMA RIGHE";
                for (size_t c = 2; total && c < cells.size(); ++c) {
                    double sum = 0;
                    for (size_t r = 3; r + 1 < row; ++r) sum += sheet.rows[r].size() > c && !sheet.rows[r][c].empty() ? Value(sheet.rows[r][c]) : 0;
                    const std::string& shown = apart && c < sheet.rows[row].size() ? sheet.rows[row][c] : cells[c];
                    if (!cells[c].empty()) { EXPECT_EQ(Cents(sum), Cents(Value(shown))) << "column " << c; }
                }
            }
            EXPECT_EQ(sheet.rows[row - 1][0], "TOTALE");
            EXPECT_TRUE(std::regex_search(sheet.meta, std::regex("\\|A3:[A-Z]+" + std::to_string(row - 1) + "\\|"))) << "the filter stops above TOTALE";
            // The Riepilogo's row: code, employees, then the sheet's totals under the same titles.
            const std::vector<std::string>& summary = sheets[0].rows[s + 1];
            EXPECT_EQ(summary[0] + " " + summary[3], code + " #" + std::to_string(row - 4) + "@General");
            for (size_t c = 4; c < summary.size(); ++c) {
                const size_t at = std::find(sheet.rows[2].begin(), sheet.rows[2].end(), sheets[0].rows[1][c]) - sheet.rows[2].begin();
                EXPECT_TRUE(at < sheet.rows[row - 1].size() && Value(sheet.rows[row - 1][at]) == Value(summary[c])) << sheets[0].rows[1][c];
                sums[c] += Value(summary[c]);
            }
        }
        const std::vector<std::string>& last = sheets[0].rows.back();
        EXPECT_EQ(last[0], "TOTALE");
        for (size_t c = 4; c < last.size(); ++c) EXPECT_EQ(Cents(Value(last[c])), Cents(sums[c])) << "column " << c;
        const Rows& anomalies = sheets.back().rows;
        const std::string key = demo.plan.MissingKeyEmployee()->key;
        EXPECT_EQ(anomalies[1], (std::vector<std::string>{"Azienda", "Lista", "Dipendente", "Matricola", "Motivo", "Dettaglio"}));
        EXPECT_EQ(std::count(anomalies.begin(), anomalies.end(), std::vector<std::string>{key.substr(0, 3), std::string(list.code), key, key.substr(6), "Chiave assente dall'indice"}), 1);
    }
}

// The line's cells land under their columns, a value over ten million whole, each as printed (0.004 is
// 0); the month letters stay text; a line with a note has no amounts; a TOTALE the rows as shown do not
// add up to is followed by their sum.
TEST(ListWorkbookTest, CellsUnderTheirColumns) {
    ListWorkbook book(ListKind::CF11);
    book.BeginCompany({}, "001", "DITTA", "0123456789");
    lists::EmployeeLine listed;
    listed.text = lists::NameCell(25, "ROSSI", "MARIO");
    listed.cells = {12345678.9, 2.5, 0.004, -1.0, std::string("GF"), 3.0};
    for (int i = 0; i < 3; ++i) book.Line(listed);
    lists::EmployeeLine note;
    note.text = lists::NameCell(26, "BIANCHI", "LUCA") + "  MMAAAA Adesione 01/2018";
    note.note = "  MMAAAA Adesione 01/2018";
    book.Line(note);
    book.EndCompany({12345681.4}, {"LEGENDA"});
    const DemoInstallation demo;
    book.Write(demo.root() / "x.xlsx");
    const std::vector<std::string> line{"0025", "ROSSI M", "#12345678.9@#,##0.00", "#2.5@#,##0.00", "#0@#,##0.00", "#-1@#,##0.00", "GF", "#3@#,##0.00"};
    EXPECT_EQ(ReadWorkbook(demo.root() / "x.xlsx")[1].rows,
              (Rows{{"IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF11 INTERESSI - mensilit\xC3\xA0 ordinaria"},
                    {"AZIENDA : 001 DITTA 0123456789"},
                    {"Matricola", "Nominativo", "TFR PROGR.", "F.DO TESORERIA CF02", "F.PENSIONE", "MEDIA TFR", "MESI ARR", "INTERESSI CF11", "Note"},
                    line,
                    line,
                    line,
                    {"0026", "BIANCHI L", "", "", "", "", "", "", "MMAAAA Adesione 01/2018"},
                    {"TOTALE", "", "#12345681.4@#,##0.00", "#0@#,##0.00", "#0@#,##0.00", "#0@#,##0.00", "", "#0@#,##0.00"},
                    {"SOMMA RIGHE", "", "#37037036.7@#,##0.00=SUM(C4:C7)", "#7.5@#,##0.00=SUM(D4:D7)", "#0@#,##0.00=SUM(E4:E7)", "#-3@#,##0.00=SUM(F4:F7)", "", "#9@#,##0.00=SUM(H4:H7)",
                     "somma degli importi come stampati (il TOTALE somma gli importi non arrotondati)"},
                    {},
                    {"LEGENDA"}}));
}

TEST(ListWorkbookTest, SheetNamesAndWholeFilesOnly) {
    std::vector<std::string> taken{"Riepilogo", "Anomalie"};
    const std::pair<std::string, std::string> cases[] = {
        {"001 A/R: [X]*?\\", "001 A_R_ _X____"},
        {"002 NOME LUNGHISSIMO DI UNA DITTA S.P.A.", "002 NOME LUNGHISSIMO DI UNA DIT"},
        {"002 NOME LUNGHISSIMO DI UNA DITTA S.R.L.", "002 NOME LUNGHISSIMO DI UNA (2)"},
        {"'003 D'ARCO'", "003 D'ARCO"},
        {"riepilogo", "riepilogo (2)"},
        {"History", "History (2)"},
        {"''", "Foglio"},
        {"005 \x81\x8D\x8F\x90\x9D\x7F", "005 ______"}};
    for (const auto& [wanted, name] : cases) EXPECT_EQ(ListWorkbook::SheetName(wanted, taken), name);

    // Nothing heard: the sheets with their headers. A failed write leaves the earlier workbook and no
    // hidden file; a month that names no folder is refused.
    const DemoInstallation demo;
    const fs::path file = demo.root() / "x.xlsx";
    ListWorkbook(ListKind::CF01).Write(file);
    const std::vector<Sheet> sheets = ReadWorkbook(file);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].rows, (Rows{{"IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF01 - mensilit\xC3\xA0 ordinaria"}, {"Azienda", "Ragione sociale", "Posizione INPS", "Dipendenti", "TFR MESE", "F.TESORERIA", "F.PENSIONE", "RETR. TFR", "IM.LE FAP"}, {"TOTALE", "", "", "#0@General", "#0@#,##0.00", "#0@#,##0.00", "#0@#,##0.00", "#0@#,##0.00", "#0@#,##0.00"}}));
    fs::create_directory(demo.root() / "d.xlsx");
    EXPECT_THROW(ListWorkbook(ListKind::TF14).Write(demo.root() / "d.xlsx"), RuntimeError);
    EXPECT_THROW(ListWorkbook(ListKind::TF14).Write(demo.root() / "none" / "x.xlsx"), RuntimeError);
    std::string folder;
    Settings settings;
    settings.archiveFolder = "C:\\KVPAGHE\\ARCHIVI";
    EXPECT_EQ(output::PrepareWorkbookFolder(settings, platform::PathMap(demo.root()), "201812", folder), demo.root() / "C/KVPAGHE/FILE-XLSX/2018/12");
    EXPECT_EQ(folder, "C:\\KVPAGHE\\FILE-XLSX\\2018\\12");
    EXPECT_THROW(output::PrepareWorkbookFolder(settings, platform::PathMap(demo.root()), "2018..", folder), RuntimeError);
    for (const auto& e : fs::recursive_directory_iterator(demo.root())) EXPECT_NE(e.path().extension(), ".part");

    // The read-back check: a part cut before it was packed (its checksum right), a package cut.
    RunCommand(
        "/usr/bin/python3 -c \"import sys, zipfile\na, b = zipfile.ZipFile(sys.argv[1]), zipfile.ZipFile(sys.argv[2], 'w')\n"
        "for n in a.namelist(): b.writestr(n, a.read(n)[:200] if n.endswith('sheet1.xml') else a.read(n))\nb.close()\" " +
        Quoted(file) + " " + Quoted(demo.root() / "cut.xlsx"));
    const std::string whole = ReadFile(file);
    EXPECT_EQ(output::DamagedPart(whole) + "|" + output::DamagedPart(ReadFile(demo.root() / "cut.xlsx")) + "|" + output::DamagedPart(whole.substr(0, whole.size() - 1)), "|xl/worksheets/sheet1.xml|directory");
}

#ifndef _WIN32
// The batch run where workbooks cannot be written whole: the system's temporary folder small (not
// used: all written), the workbooks' folder full or read-only (each workbook not written is named
// with its cause, status 1, the earlier one stays), a company name with bytes that Windows-1252 leaves
// undefined ("_" in its sheet's name). Every workbook in the folder opens; no hidden file stays.
TEST(BatchXlsxTest, WorkbooksWholeOrNamedAndNotWritten) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root (CI runs as root)";
    const std::string earlier = "an earlier workbook";
    const struct {
        const char* mount;  // on the temporary folder ("tmp"), the workbooks' folder, or none
        int status;
        const char* notWritten;  // how each workbook not written is named
    } cases[] = {{"tmp", 3, ""},
                 {"size=40k", 1, R"(Disk full - scrittura del file non riuscita|Device I/O error - il file riletto e' incompleto \(xl/.*\): spazio su disco esaurito o errore di scrittura nella cartella)"},
                 {"ro", 1, "Path/File access error - il file non puo' essere creato nella cartella"},
                 {"", 3, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mount);
        const DemoInstallation demo;
        const fs::path folder = demo.root() / "C/KVPAGHE/FILE-XLSX/2018/03", tmp = demo.root() / "tmp";
        fs::create_directories(folder), fs::create_directory(tmp);
        const std::string mount = c.mount;
        const fs::path& at = mount == "tmp" ? tmp : folder;
        const bool mounted = mount.empty() || (mount == "ro" ? ::mount(at.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) : ::mount("tmpfs", at.c_str(), "tmpfs", 0, mount == "tmp" ? "size=12k" : c.mount)) == 0;
        for (const char* list : {"TESCF01", "TESTF14"}) std::ofstream(folder / (list + std::string("_201803.xlsx"))) << earlier;
        ASSERT_TRUE(mounted && (mount != "ro" || ::mount(nullptr, at.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0));
        if (mount.empty()) demo.Patch("SLDITTE.DAT", 5, "\x81\x8D\x8F\x90\x9D");  // over "PERÒ "
        const CommandResult r = RunCommand("TMPDIR=" + Quoted(tmp) + " KVTESO_ROOT=" + Quoted(demo.root()) + " " + kKvteso + " --batch --xlsx </dev/null 2>/dev/null");
        std::set<std::string> kept, lost;  // the earlier workbooks left; those of the lists not written
        std::string opened;  // the others, for openpyxl
        for (const auto& e : fs::directory_iterator(folder)) {
            EXPECT_EQ(e.path().extension(), ".xlsx") << e.path();
            ReadFile(e.path()) == earlier ? (void)kept.insert(e.path().filename().string()) : (void)(opened += " " + Quoted(e.path()));
        }
        EXPECT_EQ(RunCommand("/usr/bin/python3 -c 'import sys, openpyxl; [openpyxl.load_workbook(f) for f in sys.argv[1:]]'" + opened).status, 0);
        if (!mount.empty()) ::umount2(at.c_str(), MNT_DETACH);
        EXPECT_EQ(r.status, c.status) << r.output;
        const std::regex named("kvteso: (CF01|TF14|CF02|TF02|TF02A|CF11|RECU) workbook not written: (" + std::string(c.notWritten) + ") \\(" + folder.string() + "/T[A-Z0-9]+_201803\\.xlsx\\)\n");
        size_t written = 7;
        for (std::sregex_iterator m(r.output.begin(), r.output.end(), named), end; m != end; ++m, --written)
            if ((*m)[1] == "CF01" || (*m)[1] == "TF14") lost.insert("TES" + (*m)[1].str() + "_201803.xlsx");
        EXPECT_NE(r.output.find("\n" + std::to_string(written) + " workbook(s) written"), std::string::npos) << r.output;
        EXPECT_EQ(kept, lost) << r.output;
        if (mount.empty()) {
            EXPECT_EQ(ReadWorkbook(folder / "TESTF14_201803.xlsx")[1].name, "001 _____COSTRUZIONI S.R.L.");
        }
    }
}
#endif

// Runs that never lose a month: a run of all lists (every workbook opened by ssconvert without a word,
// named by KVTESO), then one company alone (a workbook of its own, the month's left as it was), then an
// additional month of the same period (its own workbook beside the ordinary one's).
TEST(BatchXlsxTest, RerunsKeepEveryMonthAndCompany) {
    const DemoInstallation demo;
    const fs::path folder = demo.root() / "C/KVPAGHE/FILE-XLSX/2018/03";
    const struct {
        const char* options;
        bool additional;
        std::set<std::string> added;
        const char* title;  // how the added workbooks' titles end
    } runs[] = {{"", false, {"TESCF01_201803", "TESCF02_201803", "TESCF11_201803", "TESRECU_201803", "TESTF02_201803", "TESTF14_201803", "TETF02A_201803"}, "ordinaria"},
                {"--list CF01 --companies 001", false, {"TESCF01_201803_PARZ_001"}, "ordinaria - parziale: ditte 001"},
                {"--list TF14,CF01 --companies all", true, {"TESTF14_201803_AGG", "TESCF01_201803_AGG"}, "aggiuntiva"}};
    std::map<fs::path, std::string> before;
    for (const auto& run : runs) {
        SCOPED_TRACE(run.options);
        if (run.additional) demo.Patch("SLESTTES.DAT", 8, "0");
        RunCommand(kKvteso + " --root " + Argument(demo.root()) + " --batch --xlsx " + run.options + " </dev/null 2>/dev/null");
        std::set<std::string> added;
        for (const auto& e : fs::directory_iterator(folder)) {
            if (before.count(e.path())) {
                EXPECT_EQ(ReadFile(e.path()), before[e.path()]) << e.path();
                continue;
            }
            added.insert(e.path().stem().string());
            before[e.path()] = ReadFile(e.path());
            EXPECT_EQ(RunCommand("ssconvert " + Quoted(e.path()) + " " + Quoted(demo.root() / "x.csv") + " 2>&1").output, "");
            std::string props;
            EXPECT_TRUE(ReadWorkbook(e.path(), &props)[0].rows.at(0).at(0).ends_with(run.title)) << e.path();
            EXPECT_EQ(props, "KVTESO|KVTESO");
        }
        EXPECT_EQ(added, run.added);
    }
}

// --xlsx alone and with --pdf, under the Italian locale: the workbook lines and the summary with
// decimal commas; the PDF files are the same as without it.
TEST(BatchXlsxTest, SummaryOnTheTerminalAndPdfUnchanged) {
    const DemoInstallation demo;
    // Windows takes the separator from the user's regional settings, which Wine keeps in the registry
    // that every parallel test shares: there the run keeps the default locale and its ".".
    const bool italian = !platform::NativeDrives();
    const std::string run = (italian ? "LC_ALL=it_IT.UTF-8 " : "") + kKvteso + " --root " + Argument(demo.root()) + " --batch ";
    const fs::path monthFolder = (demo.root() / "C/KVPAGHE/FILE-XLSX/2018/03").make_preferred();
    const std::string month = monthFolder.string();
    CommandResult r = RunCommand("{ " + run + "--xlsx --list RECU </dev/null 2>/dev/null; }");
    EXPECT_EQ(r.status, 3);  // 004's employee missing from the index
    const auto separator = [&](std::string text) { return italian ? text : (std::replace(text.begin(), text.end(), ',', '.'), text); };
    EXPECT_EQ(r.output, "  RECU: " + (monthFolder / "TESRECU_201803.xlsx").string() + "\n1 workbook(s) written in " + month + separator(R"(

Riepilogo RECU 03/2018
Azienda  Ragione sociale                 Dipendenti  REC. PRESTAZIONE TFR F.DO TESORERIA  REC.ANTICIPI TFR F.DO TESORERIA
001      PERÒ COSTRUZIONI S.R.L.                  3                              3800,50                          1250,00
002      TRASPORTI A/R: VELOCI E SICURI           4                              4246,13                         10356,15
004      OFFICINA MECCANICA VERDI SNC             0                                 0,00                             0,00
TOTALE                                            7                              8046,63                         11606,15
)"));
    EXPECT_TRUE(PdfFilesUnder(demo.PdfTree()).empty());
    std::vector<std::string> texts[2];
    for (int xlsx : {0, 1}) {
        r = RunCommand("{ " + run + (xlsx ? "--pdf --xlsx --list TF14" : "--pdf --list TF14") + " </dev/null 2>/dev/null; }");
        EXPECT_EQ(r.status, 3) << r.output;
        for (const auto& pdf : PdfFilesUnder(demo.PdfTree())) texts[xlsx].push_back(PdfText(pdf, fs::relative(pdf, demo.PdfTree()).string().substr(0, 3) == "001" ? kPassword : ""));
        fs::remove_all(demo.PdfTree());
    }
    EXPECT_TRUE(texts[0] == texts[1] && texts[0].size() == 3u && r.status == 3);
    EXPECT_NE(r.output.find("  TF14: " + (monthFolder / "TESTF14_201803.xlsx").string() + "\n3 PDF file(s) written under " + demo.PdfTree().string() +
                            "\n1 workbook(s) written in " + month + "\n"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(ReadWorkbook(monthFolder / "TESTF14_201803.xlsx").size(), 5u);
}

}  // namespace
}  // namespace kv::app::test
