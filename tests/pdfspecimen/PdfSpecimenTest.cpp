// The PDF writer's specimen document, read back by qpdf, poppler and zbarimg: the fonts and texts,
// pictures and refused files, and every barcode decoded to exactly the data printed beside it (the
// outline and links are the writer's own tests').
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>

#include "support/TestSupport.h"

namespace {

using namespace kvtest;

const std::string kTool = Program("tools/quillpdf-specimen");
const fs::path kImages = fs::path(KV_SOURCE_DIR) / "tests/pdf/images";
const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kSample = "Caff\u00E8 e t\u00E8, na\u00EFve \u00C0 la carte, \u00DF \u00F1 \u20AC 12,50 \u201Cok\u201D";

// Each match as the groups that took part in it, joined by blanks.
std::vector<std::string> Matches(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it) {
        std::string joined;
        for (size_t g = 1; g < it->size(); ++g) {
            if ((*it)[g].matched) joined += (joined.empty() ? "" : " ") + (*it)[g].str();
        }
        found.push_back(joined);
    }
    return found;
}

class SpecimenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<TempDir>("specimen-test-");
        std::ifstream font(kDejaVu, std::ios::binary);
        std::string head(3000, '\0');
        font.read(head.data(), 3000);
        std::ofstream(Dir() / "cut.ttf", std::ios::binary) << head;  // refused: its tables lie past the end
        std::ofstream(Dir() / "letter.gif") << "Dear reader,\n";  // refused: no picture in it
        std::string args = " --font " + Quoted(kDejaVu) + " --font " + Argument(Dir() / "cut.ttf");
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(kImages, ec)) {
            static const std::set<std::string> kinds{".jpg", ".bmp", ".gif", ".tga", ".eps", ".ai", ".wmf"};
            if (kinds.contains(entry.path().extension().string())) images_.insert(entry.path());
        }
        for (const fs::path& image : images_) args += " --image " + Quoted(image);
        run_ = RunCommand(kTool + " " + Argument(Dir() / "specimen.pdf") + args + " --image " + Argument(Dir() / "letter.gif"));
    }
    static void TearDownTestSuite() { folder_.reset(); }
    static const fs::path& Dir() { return folder_->path; }
    static std::string Pdf() { return Quoted(Dir() / "specimen.pdf"); }

    static inline std::unique_ptr<TempDir> folder_;
    static inline std::set<fs::path> images_;
    static inline CommandResult run_;
};

TEST_F(SpecimenTest, FontsTextsAndPictures) {
    ASSERT_EQ(run_.status, 0) << run_.output;
    EXPECT_EQ(run_.output, "");  // refused files are shown in the document, not reported
    EXPECT_TRUE(QpdfClean(Dir() / "specimen.pdf"));
    // The 14 standard fonts by their names, the TrueType font embedded.
    const std::vector<std::string> fonts = Matches(RunCommand("pdffonts " + Pdf()).output, R"(\n(\S+) +(Type 1|TrueType) +\S+ +(yes|no))");
    EXPECT_EQ(std::multiset<std::string>(fonts.begin(), fonts.end()), (std::multiset<std::string>{"Arial,Bold Type 1 no", "Arial Type 1 no", "TimesNewRoman Type 1 no", "Arial,Italic Type 1 no", "Arial,BoldItalic Type 1 no", "TimesNewRoman,Bold Type 1 no", "TimesNewRoman,Italic Type 1 no", "TimesNewRoman,BoldItalic Type 1 no", "CourierNew Type 1 no", "CourierNew,Bold Type 1 no", "CourierNew,Italic Type 1 no", "CourierNew,BoldItalic Type 1 no", "Symbol Type 1 no", "ZapfDingbats Type 1 no", "DejaVuSans TrueType yes"}));
    // The sample in the twelve text fonts and in DejaVu Sans; the refused files with their errors.
    const std::string text = RunCommand("pdftotext " + Pdf() + " -").output;
    EXPECT_EQ(Matches(text, kSample).size(), 13u);
    EXPECT_NE(text.find(kDejaVu + " selected as \"DEJAVUSANS\", embedded"), std::string::npos);
    EXPECT_NE(text.find("Refused: QuillPdf.AddFont: " + (Dir() / "cut.ttf").string() + " - "), std::string::npos);
    EXPECT_EQ(Matches(text, "Refused:").size(), 2u);
    EXPECT_NE(text.find("An EPS drawing written by this tool (a box and a triangle)"), std::string::npos);
    for (const fs::path& image : images_) EXPECT_NE(text.find(image.filename().string() + "\n"), std::string::npos) << image;
    // One image drawn per picture given (the EPS drawing is paths).
    EXPECT_EQ(Matches(RunCommand("pdfimages -list " + Pdf()).output, R"(\n +\d+ +\d+ +image )").size(), images_.size());
}

TEST_F(SpecimenTest, EveryBarcodePageDecodesToThePrintedData) {
    ASSERT_EQ(run_.status, 0) << run_.output;
    const int pages = std::stoi(Matches(RunCommand("pdfinfo " + Pdf()).output, R"(Pages: +(\d+))").at(0));
    int decoded = 0;
    for (int p = 1; p <= pages; ++p) {
        const std::string page = " -f " + std::to_string(p) + " -l " + std::to_string(p) + " ";
        std::vector<std::string> printed = Matches(RunCommand("pdftotext" + page + Pdf() + " -").output, R"((?:^|\n)Data: ([^\n]+))");
        if (printed.empty()) continue;
        SCOPED_TRACE("page " + std::to_string(p));
        const fs::path png = Dir() / ("page" + std::to_string(p));
        RunCommand("pdftoppm -r 300 -png -singlefile" + page + Pdf() + " " + Quoted(png));
        std::vector<std::string> read = Matches(RunCommand("zbarimg --nodbus --raw -q " + Quoted(png.string() + ".png")).output, "([^\n]+)\n");
        std::sort(printed.begin(), printed.end()), std::sort(read.begin(), read.end());
        EXPECT_EQ(read, printed);
        decoded += static_cast<int>(printed.size());
    }
    EXPECT_EQ(decoded, 7);  // all but POSTNET
}

}  // namespace
