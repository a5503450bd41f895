// Lists through the real PDF output (document set-up, sink, file), read back with qpdf and poppler's
// pdftotext: the text of every line, its column positions and its height on the page.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <regex>
#include <sstream>

#include "ListFixture.h"
#include "output/PdfListFiles.h"
#include "output/PdfSink.h"

namespace kvtest::lists {
namespace {

using kv::lists::ListKind;

constexpr double kPointsPerCm = 72 / 2.54;  // 28.3465

struct CommandResult {
    int status;
    std::string out;
};

CommandResult RunCommand(const std::string& command) {
    CommandResult r{-1, {}};
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    r.status = ::pclose(p);
    return r;
}

std::string Quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

struct PageLine {
    double yMin = 0, yMax = 0;
    std::string text;  // rebuilt from the words' positions, one character per column
};

std::string Unescape(std::string s) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities)
        for (size_t at; (at = s.find(from)) != std::string::npos;) s.replace(at, std::strlen(from), to);
    return s;
}

// The lines of each page from `pdftotext -bbox`: words of the same height form a line, and each
// word is put back at its column (Courier: every character is 0.6 of the font size wide, lines
// start at 0.5 cm).
std::vector<std::vector<PageLine>> LinesFromBoundingBoxes(const std::string& html, double fontSize) {
    std::vector<std::vector<PageLine>> pages;
    const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="[0-9.]+" yMax="([0-9.]+)">(.*)</word>)re");
    std::istringstream in(html);
    std::string row;
    std::map<long, PageLine>* current = nullptr;
    std::vector<std::map<long, PageLine>> byHeight;
    while (std::getline(in, row)) {
        if (row.find("<page ") != std::string::npos) {
            byHeight.emplace_back();
            current = &byHeight.back();
        }
        std::smatch m;
        if (!current || !std::regex_search(row, m, word)) continue;
        const double xMin = CaptureSink::Number(m[1]), yMin = CaptureSink::Number(m[2]), yMax = CaptureSink::Number(m[3]);
        PageLine& line = (*current)[std::lround(yMin * 100)];
        line.yMin = yMin;
        line.yMax = yMax;
        const long column = std::lround((xMin - 0.5 * kPointsPerCm) / (0.6 * fontSize));
        EXPECT_GE(column, 0) << row;
        if (line.text.size() < static_cast<size_t>(column)) line.text.resize(static_cast<size_t>(column), ' ');
        else if (!line.text.empty()) line.text += ' ';
        line.text += Unescape(m[4]);
    }
    for (auto& page : byHeight) {
        pages.emplace_back();
        for (auto& [key, line] : page) pages.back().push_back(line);
    }
    return pages;
}

struct ExpectedLine {
    double y;  // cm from the top of the page
    std::string text;
};

// Every line stands at its Y: the glyph boxes of all lines sit at the same distance from Y x 28.3465
// points (the font's descent), and Y lies inside each box.
void ExpectLines(const std::vector<PageLine>& got, const std::vector<ExpectedLine>& expected) {
    ASSERT_EQ(got.size(), expected.size());
    const double offset = got[0].yMax - expected[0].y * kPointsPerCm;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(got[i].text, expected[i].text) << "line " << i;
        const double y = expected[i].y * kPointsPerCm;
        EXPECT_NEAR(got[i].yMax - y, offset, 0.01) << "line " << i << ": " << expected[i].text;
        EXPECT_LT(got[i].yMin, y) << "line " << i;
        EXPECT_GT(got[i].yMax, y) << "line " << i;
    }
}

std::string Collapsed(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == ' ' && (out.empty() || out.back() == ' ' || out.back() == '\n')) continue;
        if (c == '\n' && !out.empty() && out.back() == ' ') out.pop_back();
        out += c;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\n' || out.back() == '\f')) out.pop_back();
    return out;
}

// Runs one list of one company into its PDF file and returns the file's host path.
std::filesystem::path WritePdf(ListSuite& s, ListKind kind, int company) {
    kv::output::PdfListFiles pdfFiles(s.files(), s.repo(), s.ctx().settings(), s.ctx().paths());
    pdfFiles.SetFixedCreationDate("D:20240331120000");
    {
        kv::output::PdfSink sink(pdfFiles, s.repo(), "202403");
        s.Run(kind, company, sink);
    }
    EXPECT_TRUE(pdfFiles.PDFAPERTO);
    EXPECT_TRUE(pdfFiles.PDFCREATI);
    pdfFiles.CHIUDIPDF();
    EXPECT_TRUE(s.messages().shown().empty());
    return pdfFiles.hostFilePath();
}

// Company 005, extraction 31/03/2024 (the recoveries document of the list tests):
//   CATTANEO LUCIA 1500.00 / 800.00; SALA PIETRO 2300.50 / 0.00; NERI ELISA 0.00 / 450.00;
//   totals 3800.50 / 1250.00.
TEST(PdfListEndToEnd, RecoveriesListReadsBackLineByLine) {
    ListSuite s;
    s.Header("31032024");
    s.Company(5, "EPSILON COOP", "4444444444");
    s.Employee(5, 1, "CATTANEO", "LUCIA", {{"P602", "1500.00"}, {"P603", "800.00"}});
    s.Employee(5, 2, "SALA", "PIETRO", {{"P602", "2300.50"}});
    s.Employee(5, 3, "ROSSI", "MARIO", {{"P260", "2000.00"}});
    s.Employee(5, 4, "NERI", "ELISA", {{"P603", "450.00"}});
    s.Write();
    const std::filesystem::path file = WritePdf(s, ListKind::Recoveries, 5);
    EXPECT_EQ(file, s.root() / "C" / "KVS" / "FILE-PDF" / "005" / "2024" / "03" / "FDOTES" /
                        "TESRECU_005_EPSILON COOP.pdf");
    ASSERT_TRUE(std::filesystem::exists(file));

    const CommandResult check = RunCommand("qpdf --check " + Quoted(file));
    EXPECT_EQ(check.status, 0) << check.out;

    // Trailing blanks do not show on paper; everything else does, column by column.
    const std::vector<ExpectedLine> expected = {
        {0.50, "IMPORTI REC.PRESTAZIONI/ANTICIPI F.DO TESORERIA 31/03/2024        Pagina    1"},
        {0.85, "------------------------------------------------------------------------------------------------------"},
        {1.20, "AZIENDA : 005 EPSILON COOP                   4444444444"},
        {1.55, "------------------------------------------------------------------------------------------------------"},
        {1.90, "NOMINATIVO                 REC. PRESTAZIONE        REC.ANTICIPI"},
        {2.25, "                          TFR F.DO TESORERIA     TFR F.DO TESORERIA"},
        {2.60, "------------------------------------------------------------------------------------------------------"},
        {2.96, "0001 CATTANEO L                1500.00                800.00"},
        {3.31, "0002 SALA P                    2300.50                  0.00"},
        {3.66, "0004 NERI E                       0.00                450.00"},
        {4.01, "------------------------------------------------------------------------------------------------------"},
        {4.36, "TOTALE                         3800.50               1250.00"},
        {4.71, "------------------------------------------------------------------------------------------------------"},
        {5.06, "REC.PRESTAZIONE F.DO TESORERIA = P602RPRESTTFRFDOTESOR"},
        {5.41, "REC.ANTICIPI    F.DO TESORERIA = P603RANTTFRFDOTESOR"},
    };
    const CommandResult bbox = RunCommand("pdftotext -bbox " + Quoted(file) + " -");
    ASSERT_EQ(bbox.status, 0) << bbox.out;
    const auto pages = LinesFromBoundingBoxes(bbox.out, 9);
    ASSERT_EQ(pages.size(), 1u);
    ExpectLines(pages[0], expected);

    // The reading order of the text is the order of the lines.
    const CommandResult raw = RunCommand("pdftotext -raw -enc Latin1 " + Quoted(file) + " -");
    ASSERT_EQ(raw.status, 0) << raw.out;
    std::string lines;
    for (const auto& e : expected) lines += e.text + "\n";
    EXPECT_EQ(Collapsed(raw.out), Collapsed(lines));
}

// TF02 arrears (Courier New 8) over two pages: 53 employees fill page 1 (Q688 10, Q236 100 each:
// PUNTO1 110, QU.F.TE 10, TF02 0.50), the 54th is on page 2. Page 1 ends with "TOTALE PAGINA"
// (53 x 110 = 5830.00, 530.00, 26.50) and the legend whose second line has no brackets in the PDF.
TEST(PdfListEndToEnd, TF02ArrearsOverTwoPages) {
    ListSuite s;
    s.Header("31032024");
    s.Company(7, "ETA TRASPORTI S.R.L.", "5555555555");
    for (int i = 1; i <= 54; ++i)
        s.Employee(7, i, "LAVORATORE", "NINO",
                   {{"P599", "032024"}, {"Q179", "15032024"}, {"Q688", "10.00"}, {"Q236", "100.00"}, {"Q691", "0.50"}});
    s.Write();
    const std::filesystem::path file = WritePdf(s, ListKind::TF02Arrears, 7);
    EXPECT_EQ(file.filename(), "TETF02A_007_ETA TRASPORTI S.R.L.pdf");

    const CommandResult check = RunCommand("qpdf --check " + Quoted(file));
    EXPECT_EQ(check.status, 0) << check.out;
    const CommandResult npages = RunCommand("qpdf --show-npages " + Quoted(file));
    EXPECT_EQ(npages.out, "2\n");

    const CommandResult bbox = RunCommand("pdftotext -bbox " + Quoted(file) + " -");
    ASSERT_EQ(bbox.status, 0) << bbox.out;
    const auto pages = LinesFromBoundingBoxes(bbox.out, 8);
    ASSERT_EQ(pages.size(), 2u);
    const std::string sep(122, '-');
    const std::string employee =
        "0001 LAVORATORE N               110.00      10.00 0.20 0.09091 0.00018                  0.50       0.00       0.00";
    ASSERT_EQ(pages[0].size(), 7u + 53 + 3 + 7);
    EXPECT_EQ(pages[0][0].text,
              "IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF02 ARRETRATI 31/03/2024                            Pagina    1");
    EXPECT_EQ(pages[0][2].text, "AZIENDA : 007 ETA TRASPORTI S.R.L.           5555555555");
    EXPECT_EQ(pages[0][5].text, "                                                                                                          PROGR.");
    EXPECT_EQ(pages[0][7].text, employee);
    EXPECT_EQ(pages[0][60].text, sep);
    EXPECT_EQ(pages[0][61].text,
              "TOTALE PAGINA                  5830.00     530.00                                      26.50       0.00       0.00");
    EXPECT_EQ(pages[0][64].text, "2) PUNTO 2        = Q236-Q201");
    EXPECT_EQ(pages[0][0].yMin, pages[1][0].yMin);
    EXPECT_EQ(pages[1][0].text,
              "IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF02 ARRETRATI 31/03/2024                            Pagina    2");
    ASSERT_EQ(pages[1].size(), 7u + 1 + 3 + 7);
    EXPECT_EQ(pages[1][7].text, "0054" + employee.substr(4));
    EXPECT_EQ(pages[1][9].text,
              "TOTALE                         5940.00     540.00                                      27.00       0.00       0.00");
    EXPECT_EQ(pages[1][12].text, "2) PUNTO 2        = (Q236-Q201)");
    // The first employee line of each page 2.96 cm from the top, the next 0.35 cm lower.
    for (const auto& page : pages) {
        const double offset = page[0].yMax - 0.5 * kPointsPerCm;
        EXPECT_NEAR(page[7].yMax - offset, 2.96 * kPointsPerCm, 0.01);
        EXPECT_NEAR(page[8].yMax - page[7].yMax, 0.35 * kPointsPerCm, 0.01);
    }
}

}  // namespace
}  // namespace kvtest::lists
