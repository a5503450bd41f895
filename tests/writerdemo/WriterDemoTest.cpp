// The PDF writer's specimen document, read back by qpdf, poppler and zbarimg: the fonts and texts,
// pictures and refused files, and every barcode decoded to exactly the data printed beside it (the
// outline and links are the writer's own tests').
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

namespace {

namespace fs = std::filesystem;

const std::string kTool = std::string(KV_BUILD_DIR) + "/tools/quillpdf-specimen";
const fs::path kImages = fs::path(KV_TEST_DATA).parent_path() / "pdf" / "images";
const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kSample = "Caff\u00E8 e t\u00E8, na\u00EFve \u00C0 la carte, \u00DF \u00F1 \u20AC 12,50 \u201Cok\u201D";

struct Result { int status = -1; std::string out; };
Result Shell(const std::string& command) {
    Result r;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
        const int status = pclose(pipe);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return r;
}
std::string Q(const fs::path& p) { return "'" + std::regex_replace(p.string(), std::regex("'"), "'\\''") + "'"; }

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
        dir_ = fs::temp_directory_path() / ("specimen-test-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        std::ifstream font(kDejaVu, std::ios::binary);
        std::string head(3000, '\0');
        font.read(head.data(), 3000);
        std::ofstream(dir_ / "cut.ttf", std::ios::binary) << head;  // refused: its tables lie past the end
        std::ofstream(dir_ / "letter.gif") << "Dear reader,\n";     // refused: no picture in it
        std::string args = " --font " + Q(kDejaVu) + " --font " + Q(dir_ / "cut.ttf");
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(kImages, ec)) {
            static const std::set<std::string> kinds{".jpg", ".bmp", ".gif", ".tga", ".eps", ".ai", ".wmf"};
            if (kinds.contains(entry.path().extension().string())) images_.insert(entry.path());
        }
        for (const fs::path& image : images_) args += " --image " + Q(image);
        run_ = Shell(kTool + " " + Q(dir_ / "specimen.pdf") + args + " --image " + Q(dir_ / "letter.gif") + " 2>&1");
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }
    static std::string Pdf() { return Q(dir_ / "specimen.pdf"); }

    static inline fs::path dir_;
    static inline std::set<fs::path> images_;
    static inline Result run_;
};

TEST_F(SpecimenTest, FontsTextsAndPictures) {
    ASSERT_EQ(run_.status, 0) << run_.out;
    EXPECT_EQ(run_.out, "");  // refused files are shown in the document, not reported
    const Result check = Shell("qpdf --check " + Pdf() + " 2>&1");
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;
    // The 14 standard fonts by their names, the TrueType font embedded.
    const std::vector<std::string> fonts = Matches(Shell("pdffonts " + Pdf()).out, R"(\n(\S+) +(Type 1|TrueType) +\S+ +(yes|no))");
    EXPECT_EQ(std::multiset<std::string>(fonts.begin(), fonts.end()), (std::multiset<std::string>{
        "Arial,Bold Type 1 no", "Arial Type 1 no", "TimesNewRoman Type 1 no", "Arial,Italic Type 1 no",
        "Arial,BoldItalic Type 1 no", "TimesNewRoman,Bold Type 1 no", "TimesNewRoman,Italic Type 1 no",
        "TimesNewRoman,BoldItalic Type 1 no", "CourierNew Type 1 no", "CourierNew,Bold Type 1 no",
        "CourierNew,Italic Type 1 no", "CourierNew,BoldItalic Type 1 no", "Symbol Type 1 no", "ZapfDingbats Type 1 no",
        "DejaVuSans TrueType yes"}));
    // The sample in the twelve text fonts and in DejaVu Sans; the refused files with their errors.
    const std::string text = Shell("pdftotext " + Pdf() + " -").out;
    EXPECT_EQ(Matches(text, kSample).size(), 13u);
    EXPECT_NE(text.find(kDejaVu + " selected as \"DEJAVUSANS\", embedded"), std::string::npos);
    EXPECT_NE(text.find("Refused: QuillPdf.AddFont: " + (dir_ / "cut.ttf").string() + " - "), std::string::npos);
    EXPECT_EQ(Matches(text, "Refused:").size(), 2u);
    EXPECT_NE(text.find("An EPS drawing written by this tool (a box and a triangle)"), std::string::npos);
    for (const fs::path& image : images_) EXPECT_NE(text.find(image.filename().string() + "\n"), std::string::npos) << image;
    // One image drawn per picture given (the EPS drawing is paths).
    EXPECT_EQ(Matches(Shell("pdfimages -list " + Pdf()).out, R"(\n +\d+ +\d+ +image )").size(), images_.size());
}

TEST_F(SpecimenTest, EveryBarcodePageDecodesToThePrintedData) {
    ASSERT_EQ(run_.status, 0) << run_.out;
    const int pages = std::stoi(Matches(Shell("pdfinfo " + Pdf()).out, R"(Pages: +(\d+))").at(0));
    int decoded = 0;
    for (int p = 1; p <= pages; ++p) {
        const std::string page = " -f " + std::to_string(p) + " -l " + std::to_string(p) + " ";
        std::vector<std::string> printed = Matches(Shell("pdftotext" + page + Pdf() + " -").out, R"((?:^|\n)Data: ([^\n]+))");
        if (printed.empty()) continue;
        SCOPED_TRACE("page " + std::to_string(p));
        const fs::path png = dir_ / ("page" + std::to_string(p));
        Shell("pdftoppm -r 300 -png -singlefile" + page + Pdf() + " " + Q(png));
        std::vector<std::string> read = Matches(Shell("zbarimg --nodbus --raw -q " + Q(png.string() + ".png")).out, "([^\n]+)\n");
        std::sort(printed.begin(), printed.end()), std::sort(read.begin(), read.end());
        EXPECT_EQ(read, printed);
        decoded += static_cast<int>(printed.size());
    }
    EXPECT_EQ(decoded, 7);  // all but POSTNET
}

}  // namespace
