// Whole documents: structure, information dictionary, metadata, catalog,
// version, reset, page dictionaries, file names and file errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "pdf/PdfTestSupport.h"

namespace quill {
namespace {

using namespace pdftest;

std::string Shown(const std::string& bytes) {  // CR as \r, other control and high bytes as \xNN
    std::string out;
    for (unsigned char c : bytes)
        if (c == '\r') out += "\\r";
        else if (c == '\n' || (c >= 32 && c < 128)) out += static_cast<char>(c);
        else out += std::string("\\x") + "0123456789ABCDEF"[c >> 4] + "0123456789ABCDEF"[c & 15];
    return out;
}

std::string Collect(const std::string& bytes, const std::string& start, char end) {  // every text from start to end
    std::string out;
    for (size_t at = 0; (at = bytes.find(start, at)) != std::string::npos; ++at)
        out += bytes.substr(at + start.size(), bytes.find(end, at + start.size()) - at - start.size()) + ",";
    return out;
}

TEST(Document, SmallDocumentInFull) {
    const Doc doc = WriteDoc(nullptr, [](QuillPdf& p) {
        p.SetDocProperty("T", "S", "Autore", "Creatore", "Produttore", "K");
        p.SetDocProperty("(T) \\ \xE0\x01<&>'\"\x80", "", "", "", "", "chiave");  // subject emptied, others kept
    });
    EXPECT_EQ(Shown(doc.bytes.substr(0, doc.bytes.find("xref\n"))), R"(%PDF-1.3
% QuillPdf Library rel. 2.4.8
4 0 obj
<< /Type /Page /Parent 1 0 R /Contents 5 0 R\r/MediaBox [0 0 596 842]\r/CropBox [0 0 596 842]\r/BleedBox [0 0 596 842]\r/Resources 2 0 R>>
endobj
5 0 obj
<<
/Length 37 >>\rstream
1 0 0 -1 0 842 cm \r0 0 0 rg\r0 0 0 RG\r
endstream
endobj
6 0 obj
<< /Type /Metadata /Subtype /XML
/Length 1544 >>\rstream
<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d' bytes='1544'?>\r<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#' xmlns:iX='http://ns.adobe.com/iX/1.0/'>\r)"
                                                                    R"(<rdf:Description rdf:about='' xmlns:pdf='http://ns.adobe.com/pdf/1.3/'>\r<pdf:Producer>Produttore</pdf:Producer>\r<pdf:Author>Autore</pdf:Author>\r<pdf:Creator>Creatore</pdf:Creator>\r)"
                                                                    R"(<pdf:ModDate>2024-01-31T12:00:00+01:00</pdf:ModDate>\r<pdf:Title>(T) \ &#224;&lt;&amp;&gt;&apos;&quot;&#8364;</pdf:Title>\r<pdf:CreationDate>2024-01-31T12:00:00+01:00</pdf:CreationDate>\r)"
                                                                    R"(<pdf:Subject></pdf:Subject>\r<pdf:Keywords>chiave</pdf:Keywords>\r</rdf:Description>\r<rdf:Description rdf:about='' xmlns:xap='http://ns.adobe.com/xap/1.0/'>\r<xap:Author>Autore</xap:Author>\r)"
                                                                    R"(<xap:ModifyDate>2024-01-31T12:00:00+01:00</xap:ModifyDate>\r<xap:Title><rdf:Alt><rdf:li xml:lang='x-default'>(T) \ &#224;&lt;&amp;&gt;&apos;&quot;&#8364;</rdf:li></rdf:Alt></xap:Title>\r)"
                                                                    R"(<xap:CreateDate>2024-01-31T12:00:00+01:00</xap:CreateDate>\r<xap:Description><rdf:Alt><rdf:li xml:lang='x-default'></rdf:li></rdf:Alt></xap:Description>\r)"
                                                                    R"(<xap:MetadataDate>2024-01-31T12:00:00+01:00</xap:MetadataDate>\r</rdf:Description>\r<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'>\r)"
                                                                    R"(<dc:creator><rdf:Seq><rdf:li>Autore</rdf:li></rdf:Seq></dc:creator>\r<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>(T) \ &#224;&lt;&amp;&gt;&apos;&quot;&#8364;</rdf:li></rdf:Alt></dc:title>\r)"
                                                                    R"(<dc:description><rdf:Alt><rdf:li xml:lang='x-default'></rdf:li></rdf:Alt></dc:description>\r</rdf:Description>\r</rdf:RDF>\r<?xpacket end='r'?>
endstream
endobj
3 0 obj
<<\r/ProcSet [/PDF /Text ]\r>>
endobj
2 0 obj
<<\r/ProcSet [/PDF /Text ]\r>>
endobj
1 0 obj
<<
/Type /Pages /Count 1
/Kids [4 0 R ] 
>>
endobj
7 0 obj
<< /Type /Catalog
/Pages 1 0 R
/Metadata 6 0 R
/ViewerPreferences <<  >>
>>
endobj
8 0 obj
<<
/Title (\(T\) \\ \xE0\x01<&>'"\xA0)
/Author (Autore)
/Creator (Creatore)
/Producer (Produttore)
/CreationDate (D:20240131120000Z+01'00')
/Subject ()
/Keywords (chiave)
>>
endobj
)");
    EXPECT_EQ(doc.bytes.substr(doc.bytes.find("trailer\n")), "trailer\n<< /Size 9 /Info 8 0 R /Root 7 0 R\n>>\nstartxref\n2320\n%%EOF\n");
}

TEST(Document, ViewerPreferencesInTheCatalog) {
    const struct {
        int32_t flags;
        const char* entries;
        char version;
    } cases[] = {
        {0x300, "/ViewerPreferences << /CenterWindow true /FitWindow true  >>", '3'},
        {0x3F0,
         "/ViewerPreferences << /HideMenubar true /HideToolbar true /HideWindowUI true /DisplayDocTitle true "
         "/CenterWindow true /FitWindow true  >>",
         '4'},
        {0x2000 | 4, "/PageLayout /OneColumn\n/PageMode /UseThumbs\n/ViewerPreferences <<  >>", '3'},
        {static_cast<int32_t>(0xFFFF8000u) | 1, "/PageLayout /TwoColumnRight\n/PageMode /FullScreen\n/ViewerPreferences <<  >>", '3'},
        {0x4000 | 2, "/PageLayout /TwoColumnLeft\n/ViewerPreferences <<  >>", '3'},  // outlines only with bookmarks
        {0x8000 | 3, "/ViewerPreferences <<  >>", '3'},  // 0x8000 without the sign bits above it: no layout
        {8, "/PageMode /UseOC\n/ViewerPreferences <<  >>", '5'},
    };
    for (const auto& c : cases) {
        const Doc doc = WriteDoc(nullptr, [&](QuillPdf& p) { p.SetViewerPreferences(static_cast<Viewer>(c.flags)); });
        EXPECT_NE(doc.bytes.find(std::string("/Metadata 6 0 R\n") + c.entries + "\n>>\nendobj"), std::string::npos) << c.flags;
        EXPECT_EQ(doc.bytes.substr(0, 9), std::string("%PDF-1.") + c.version + "\n") << c.flags;
    }
}

TEST(Document, AbortClosesTheFileAndResetsEverything) {
    const Doc fresh = WriteDoc(nullptr);
    const std::string partial = TempPath("partial.pdf"), path = TempPath("after.pdf");
    QuillPdf pdf;
    pdf.SetFixedCreationDate(kDate);
    pdf.SetDocProperty("Primo", "S", "A", "C", "P", "K"), pdf.SetScale(Unit::Centimetres), pdf.SetPaperSize(Paper::A4Landscape);
    pdf.SetMargins(1, 1, 1, 1, static_cast<Clip>(1)), pdf.SetPageView(PageView::Rotate270), pdf.SetViewerPreferences(static_cast<Viewer>(0x3FF));
    pdf.SetCompression(static_cast<Filter>(31), 3);
    pdf.SetProtection(Permit::Print | Permit::Copy, "a", "b"), pdf.SetMemoryUsage(5), pdf.SetPageTransition(Transition::SplitHorizontalOut), pdf.SetLabel(LabelStyle::UpperRoman);
    pdf.BeginDoc(partial), pdf.BeginPage(), pdf.SetFont("Times", 12, FontStyle::Bold), pdf.SetAlpha(50), pdf.SetWordSpacing(2);
    pdf.SetCharSpacing(1), pdf.SetTextHorizontalScaling(50), pdf.SetTextLineSpacing(2), pdf.DrawText(1, 1, "testo");
    EXPECT_GT(pdf.FileSize(), 0);
    pdf.Abort();  // what was written goes, and the file never took its name
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(partial).parent_path()))
        EXPECT_EQ(entry.path().string().find("partial.pdf"), std::string::npos) << entry.path();
    EXPECT_TRUE(pdf.FileSize() == 0 && pdf.GetPage() == 0 && pdf.GetX() == 0 && pdf.TextLength("a b") == 0);
    pdf.SetFont("Courier");  // size 10 again, no spacing, no scaling: 3 × 6 points
    EXPECT_FLOAT_EQ(pdf.TextLength("a b"), 18);
    pdf.WriteTextLn("x");  // line spacing 1 again: one Courier line, 11.33 points
    EXPECT_FLOAT_EQ(pdf.GetY(), 11.33f);
    pdf.Abort(), pdf.BeginDoc(path), pdf.EndDoc();
    EXPECT_EQ(ReadFile(path), fresh.bytes);
    EXPECT_EQ(pdf.Version(), "2.4.8");
}

TEST(Document, PageDictionariesViewsTransitionsAndLabels) {
    const Doc doc = WriteDoc(
        [](QuillPdf& p) {
            p.BeginPage(), p.BeginPage();  // default view and transition; two pages without EndPage
            p.SetPageView(PageView::Rotate180), p.SetPageView(static_cast<PageView>(9)), p.SetPageTransition(Transition::Off), p.SetPageTransition(static_cast<Transition>(18));  // this page; 9, 18 ignored
            p.SetLabel(LabelStyle::Decimal, "A-(", 5), p.SetPaperSize(Paper::A4Landscape), p.BeginPage(), p.EndPage(), p.EndPage();
            p.SetPageView(PageView::Rotate90), p.SetPageTransition(Transition::WipeRight, 2, 0.5f), p.SetScale(Unit::Millimetres), p.SetPaperSize(Paper::Custom, 100, 200);
            p.SetLabel(LabelStyle::UpperRoman), p.SetLabel(LabelStyle::LowerLetters), p.SetLabel(LabelStyle::None), p.SetLabel(LabelStyle::UpperLetters, "", 0);  // 5 replaces 2; the others are ignored
            p.BeginPage();
        },
        [](QuillPdf& p) { p.SetPageView(PageView::Rotate270), p.SetPageTransition(Transition::Dissolve, 3, 1.5f), p.SetLabel(LabelStyle::LowerRoman); });
    EXPECT_EQ(Shown(Collect(doc.bytes, "<< /Type /Page ", '\n')), R"(/Parent 1 0 R /Contents 5 0 R\r/Rotate 270\r/MediaBox [0 0 596 842]\r/CropBox [0 0 596 842]\r)"
                                                                  R"(/BleedBox [0 0 596 842]\r/Resources 2 0 R\r/Dur 3 /Trans << /Type /Trans /D 1.5 /S /Dissolve >> >>,)"
                                                                  R"(/Parent 1 0 R /Contents 7 0 R\r/Rotate 180\r/MediaBox [0 0 596 842]\r/CropBox [0 0 596 842]\r)"
                                                                  R"(/BleedBox [0 0 596 842]\r/Resources 2 0 R>>,)"
                                                                  R"(/Parent 1 0 R /Contents 9 0 R\r/Rotate 270\r/MediaBox [0 0 842 596]\r/CropBox [0 0 842 596]\r)"
                                                                  R"(/BleedBox [0 0 842 596]\r/Resources 2 0 R\r/Dur 3 /Trans << /Type /Trans /D 1.5 /S /Dissolve >> >>,)"
                                                                  R"(/Parent 1 0 R /Contents 11 0 R\r/Rotate 90\r/MediaBox [0 0 283.465 566.929]\r)"
                                                                  R"(/CropBox [0 0 283.465 566.929]\r/BleedBox [0 0 283.465 566.929]\r/Resources 2 0 R\r)"
                                                                  R"(/Dur 2 /Trans << /Type /Trans /D 0.5 /S /Wipe /Di 0 >> >>,)");
    EXPECT_NE(doc.bytes.find("/PageLabels << /Nums [ 0 <<  /S /r >> 1 <<  /S /D /P (A-\\() /St 5 >> 3 <<  /S /a >>  ] >>\n"),
              std::string::npos);
    EXPECT_NE(doc.bytes.find("/Type /Pages /Count 4\n/Kids [4 0 R 6 0 R 8 0 R 10 0 R ] \n"), std::string::npos);
}

TEST(Document, EveryPaperIndexAndTransition) {
    const Doc doc = WriteDoc([](QuillPdf& p) {
        for (int index = -9; index <= 18; ++index) {  // paper -9 and 18, transitions from 18 change nothing
            p.SetPaperSize(static_cast<Paper>(index)), p.SetPageTransition(static_cast<Transition>(index + 9), 2, 1);
            p.BeginPage();
        }
    });
    EXPECT_EQ(Collect(doc.bytes, "/Trans << /Type /Trans /D 1 /S /", '>'),
              "Split /Dm /H /M /I ,Split /Dm /V /M /I ,Split /Dm /H /M /O ,Split /Dm /V /M /O ,Wipe /Di 180 ,Wipe /Di 0 ,"
              "Wipe /Di 270 ,Wipe /Di 90 ,Box /M /I ,Box /M /O ,Blinds /Dm /H ,Blinds /Dm /V ,Dissolve ,Glitter /Di 0 ,"
              "Glitter /Di 270 ,Glitter /Di 315 ,R ,");  // each set while the page before is open
    EXPECT_EQ(Collect(doc.bytes, "/MediaBox [0 0 ", ']'),
              "596 842,2384 3371,3371 2384,1685 2384,2384 1685,1192 1685,1685 1192,842 1192,1192 842,596 842,"
              "842 596,421 596,596 421,298 421,421 298,210 298,298 210,612 792,792 612,792 1224,1224 792,"
              "612 1008,1008 612,396 612,612 396,522 756,756 522,756 522,");
}

TEST(Document, PageGeometryGetters) {
    QuillPdf pdf;
    pdf.SetPaperSize(Paper::Custom, -5, 10), pdf.SetScale(static_cast<Unit>(7)), pdf.SetScale(Unit::UserFactor, 0);  // all ignored
    EXPECT_EQ(pdf.GetPageWidth(), 596);
    pdf.SetScale(Unit::Inches);
    EXPECT_FLOAT_EQ(pdf.GetPageHeight(), 842.0f / 72);
    pdf.SetScale(Unit::UserFactor, 2), pdf.SetPaperSize(Paper::Custom, 100, 200), pdf.SetMargins(10, -1, 0, 0);  // a negative margin: ignored
    EXPECT_EQ(pdf.GetPageWidth(true), 100);
    pdf.SetMargins(10, 20, 30, 40), pdf.SetScale(Unit::Points);  // 20, 40, 60, 80 points
    EXPECT_TRUE(pdf.GetPageWidth() == 200 && pdf.GetPageWidth(true) == 140 && pdf.GetPageHeight(true) == 260);
}

TEST(Document, LongDocumentKeepsOffsetsAndRewritesTheVersionLate) {
    const Doc doc = WriteDoc(
        [](QuillPdf& p) {
            for (int i = 1; i <= 300; ++i) {
                EXPECT_EQ(p.BeginPage(), i);
                p.DrawText(10, 20, "Pagina " + std::to_string(i));
            }
            p.SetAlpha(50);  // PDF 1.4, when the header has long left the write buffer
        },
        [](QuillPdf& p) { p.SetMemoryUsage(3); });
    EXPECT_TRUE(doc.bytes.size() > 70000 && doc.bytes.substr(0, 9) == "%PDF-1.4\n");
    EXPECT_NE(doc.bytes.find("/Type /Pages /Count 300\n"), std::string::npos);
    EXPECT_EQ(RunCommand("pdftotext -f 300 -l 300 " + Quoted(doc.path) + " -").output, "Pagina 300\n\n\f");
}

TEST(Document, GeneratedNameAndCreationDateFollowTheClock) {
    const auto previous = std::filesystem::current_path();
    const std::string folder = TempPath("cwd");
    std::filesystem::create_directory(folder), std::filesystem::current_path(folder);
    auto stamp = [] {  // "yyyymmddhhmmss"
        const std::time_t now = std::time(nullptr);
        char text[16];
        return std::string(text, std::strftime(text, sizeof text, "%Y%m%d%H%M%S", std::localtime(&now)));
    };
    const std::string before = stamp();
    QuillPdf pdf;  // takes the creation date
    const std::string name = pdf.BeginDoc(), after = stamp();
    const uint64_t value = std::stoull(name, nullptr, 16) / 10;  // "dhhmmss" without the random digit
    pdf.EndDoc(), std::filesystem::current_path(previous);
    EXPECT_EQ(name.substr(name.find_first_not_of("0123456789ABCDEF")), "~.pdf");
    EXPECT_TRUE(value == std::stoull(before.substr(6)) || value == std::stoull(after.substr(6))) << name;
    const std::string bytes = ReadFile(folder + "/" + name), date = bytes.substr(bytes.find("/CreationDate (") + 15, 25);
    EXPECT_TRUE(date == "D:" + before + "Z+01'00')" || date == "D:" + after + "Z+01'00')") << date;
    EXPECT_TRUE(QpdfClean(folder + "/" + name));
}

TEST(Document, FileErrorsAreRecordedNotThrown) {
    struct Case {
        std::string path;
        const char* error;
    };
    std::vector<Case> cases = {
        {TempPath("no/such/x.pdf"), "76 QuillPdf.BeginDoc Path not found"},
        {std::filesystem::temp_directory_path().string(), "75 QuillPdf.BeginDoc Path/File access error"}};  // a folder
    if (!kvtest::kFullDevice.empty()) cases.push_back({kvtest::kFullDevice, "61 QuillPdf.EndDoc Disk full"});
    for (const auto& c : cases) {
        QuillPdf pdf;
        pdf.BeginDoc(c.path), pdf.BeginPage(), pdf.DrawText(1, 1, "nessun file"), pdf.EndDoc();
        EXPECT_EQ(std::to_string(pdf.ErrNumber()) + " " + pdf.ErrSource() + " " + pdf.ErrDescription(), c.error);
    }
    const std::string old = TempPath("old.pdf");  // an existing file is replaced
    std::ofstream(old) << std::string(100000, 'x');
    QuillPdf pdf;
    pdf.BeginDoc(old), pdf.EndDoc();
    EXPECT_TRUE(ReadFile(old).substr(0, 9) == "%PDF-1.3\n" && ReadFile(old).size() == static_cast<size_t>(pdf.FileSize()));
    int calls = 0;  // a file that cannot be replaced: the handler is asked until it gives up
    const kvtest::BusyFile busy(TempPath("busy.pdf"));
    pdf.SetFileBusyHandler([&] { return ++calls < 3; }), pdf.BeginDoc(busy.path);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(std::to_string(pdf.ErrNumber()) + " " + pdf.ErrDescription(), "70 Permission denied");
}

TEST(Document, OneFontObjectPerKey) {
    const Doc doc = WriteDoc(
        [](QuillPdf& p) {
            p.SetFont("Times New Roman", 10, FontStyle::Bold), p.SetFont("times", 12, FontStyle::Bold | FontStyle::Underline);  // line bits are no part of the key
            p.SetFont("Helvetica", 10), p.SetFont("Courier New", 9, FontStyle::Bold | FontStyle::Italic), p.SetFont("Arial", 10);  // Arial is Helvetica
            p.SetFont("Comic Sans"), p.SetFont("Symbol", 9, FontStyle::Bold | FontStyle::Italic), p.SetFont("ZapfDingbats"), p.SetFont("Arial", 9, FontStyle::Italic, Encoding::MacRoman);
        },
        [](QuillPdf& p) { p.SetFont("Courier", 11); });  // written right after the header
    std::string fonts;  // one line per font object, its LF shown as "|"
    for (size_t at = 0; (at = doc.bytes.find("<< /Type /Font ", at)) != std::string::npos; ++at) {
        std::string object = doc.bytes.substr(at, doc.bytes.find("\nendobj", at) - at);
        std::replace(object.begin(), object.end(), '\n', '|');
        fonts += object + "\n";
    }
    EXPECT_EQ(fonts, R"(<< /Type /Font /Subtype /Type1 /Name /CourierNew /BaseFont /CourierNew /FirstChar 0 /LastChar 255|/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding>>| >>
<< /Type /Font /Subtype /Type1 /Name /TimesNewRoman,Bold /BaseFont /TimesNewRoman,Bold /FirstChar 0 /LastChar 255|/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding>>| >>
<< /Type /Font /Subtype /Type1 /Name /Arial /BaseFont /Arial /FirstChar 0 /LastChar 255|/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding>>| >>
<< /Type /Font /Subtype /Type1 /Name /CourierNew,BoldItalic /BaseFont /CourierNew,BoldItalic /FirstChar 0 /LastChar 255|/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding>>| >>
<< /Type /Font /Subtype /Type1 /Name /Symbol /BaseFont /Symbol /FirstChar 0 /LastChar 255| >>
<< /Type /Font /Subtype /Type1 /Name /ZapfDingbats /BaseFont /ZapfDingbats /FirstChar 0 /LastChar 255| >>
<< /Type /Font /Subtype /Type1 /Name /Arial,ItalicMAC /BaseFont /Arial,Italic /FirstChar 0 /LastChar 255|/Encoding << /Type /Encoding /BaseEncoding /MacRomanEncoding>>| >>
)");
    EXPECT_NE(doc.bytes.find("<<\r/Font <</CourierNew 4 0 R /TimesNewRoman,Bold 5 0 R /Arial 6 0 R /CourierNew,BoldItalic 7 0 R "
                             "/Symbol 8 0 R /ZapfDingbats 9 0 R /Arial,ItalicMAC 10 0 R >>\r"),
              std::string::npos);
}

}  // namespace
}  // namespace quill
