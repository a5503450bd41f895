// A list through the real PDF output (document set-up, sink, file), read back with qpdf and poppler's
// pdftotext -bbox: every word of every page at its column and at its height.
#include <algorithm>
#include <regex>
#include <sstream>

#include "ListFixture.h"
#include "output/PdfListFiles.h"
#include "output/PdfSink.h"

namespace kvtest::lists {
namespace {

std::string Word(size_t page, double yCm, long column, const std::string& text) {
    // Page, Y in hundredths of a centimetre, column, text.
    return std::to_string(page) + " " + std::to_string(std::lround(yCm * 100)) + " " + std::to_string(column) + " " + text;
}

// TF02 arrears (Courier New 8) over two pages: 53 employees fill page 1, the 54th is on page 2
// (Q688 10, Q236 100 each: PUNTO1 110, QU.F.TE 10, Q691 0.50; page 1: 53 x 110 = 5830.00, 530.00,
// 26.50). In the PDF the legend after "TOTALE PAGINA" shows its second line without brackets; on the
// printer, and after "TOTALE", with them. The PDF file shows every word the list wrote at its column
// (Courier: every character 0.6 of the font size wide, lines from 0.5 cm) and at its Y: the glyph
// boxes of all lines sit at the same distance from Y (the font's descent).
TEST(PdfSink, TwoPagesReadBackWordByWord) {
    ListSuite s;
    s.Company(7, "ETA TRASPORTI SRL", "5555555555");
    for (int i = 1; i <= 54; ++i)
        s.Employee(7, i, "LAVORATORE", "NINO", "P599=032024 Q179=15032024 Q688=10.00 Q236=100.00 Q691=0.50");
    s.Write();
    kv::output::PdfListFiles pdfFiles(s.files(), s.repo(), s.ctx().settings(), s.ctx().paths());
    pdfFiles.SetFixedCreationDate("D:20240331120000");
    {
        kv::output::PdfSink sink(pdfFiles, s.repo(), "202403");
        s.Run(ListKind::TF02Arrears, 7, sink);
    }
    pdfFiles.CHIUDIPDF();
    EXPECT_TRUE(s.messages().shown().empty());
    const std::string file = kvtest::Quoted(pdfFiles.hostFilePath());
    const auto check = kvtest::RunCommand("qpdf --check " + file);
    EXPECT_EQ(check.status, 0) << check.output;
    const auto bbox = kvtest::RunCommand("pdftotext -bbox " + file + " -");
    ASSERT_EQ(bbox.status, 0) << bbox.output;

    constexpr double kPointsPerCm = 72 / 2.54;
    const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="[0-9.]+" xMax="[0-9.]+" yMax="([0-9.]+)">(.*)</word>)re");
    std::vector<std::string> got, expected;
    size_t page = 0;
    double descent = -1;
    std::istringstream in(bbox.output);
    for (std::string row; std::getline(in, row);) {
        page += row.find("<page ") != std::string::npos;
        std::smatch m;
        if (!std::regex_search(row, m, word)) continue;
        double x = 0, yMax = 0;
        std::from_chars(&*m[1].first, &*m[1].second, x);
        std::from_chars(&*m[2].first, &*m[2].second, yMax);
        if (descent < 0) descent = yMax - 0.5 * kPointsPerCm;  // the title of page 1
        got.push_back(Word(page, (yMax - descent) / kPointsPerCm, std::lround((x - 0.5 * kPointsPerCm) / (0.6 * 8)), m[3]));
    }
    CaptureSink capture(true);
    s.Run(ListKind::TF02Arrears, 7, capture);
    page = 0;
    for (size_t i = 0; i < capture.writes.size(); ++i) {
        const auto& w = capture.writes[i];
        page += i == 0 || w.y < capture.writes[i - 1].y;
        for (size_t at = w.text.find_first_not_of(' '); at != std::string::npos; at = w.text.find_first_not_of(' ', at)) {
            const size_t end = std::min(w.text.find(' ', at), w.text.size());
            expected.push_back(Word(page, w.y, static_cast<long>(at), w.text.substr(at, end - at)));
            at = end;
        }
    }
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected);

    const auto& w = capture.writes;
    ASSERT_GE(w.size(), 83u);  // indexed below
    EXPECT_EQ(w[61].text, "TOTALE PAGINA                  5830.00     530.00                                      26.50       0.00       0.00");
    EXPECT_EQ(w[64].text, "2) PUNTO 2        = Q236-Q201");
    EXPECT_EQ(w[70].text,
              "IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF02 ARRETRATI 31/03/2024                            Pagina    2");
    EXPECT_EQ(w[82].text, "2) PUNTO 2        = (Q236-Q201)");
    EXPECT_EQ(CaptureSink::Cm(w[61].y), "21.86");
}

}  // namespace
}  // namespace kvtest::lists
