// Damaged archives. Damage with a specific outcome (amounts read as 0, employees skipped, the error
// handler's report), then seeded random damage: amounts, dates and codes overwritten with digits,
// signs, exponents, blanks, code-page and control bytes, company names full of path characters, a
// broken extraction date, an extraction entry pointing nowhere. Whatever the damage, every list
// ends in a list or in the program's own error report, every PDF file is complete and valid inside
// the FILE-PDF tree, and the archives keep every byte.
#include <functional>
#include <random>
#include <regex>
#include <set>
#include <span>

#include "AppTestSupport.h"
#include "app/BatchRun.h"
#include "platform/Encoding.h"
#include "platform/FileAccess.h"

namespace kv::app::test {
namespace {

// Each ends the program at start-up with the error handler's report: "Errore N description" and
// the trace of the routines; the batch run gives status 2.
TEST(BadDataTest, StartUpDamageIsReportedAndEndsTheProgram) {
    // The last two change the settings store: on Windows that is the registry every test shares, so
    // they run on Linux only.
    const std::tuple<std::function<void(DemoInstallation&)>, std::string, std::string> cases[] = {
        {[](auto& s) { s.Truncate("SLBASE.DAT", 0); }, "Errore 62 ", "DAMMIFILE$ (395)\r"},
        {[](auto& s) { s.WriteExtraction({std::string(200 * 500, '1'), "1111111111"}); },
         "Errore 9 ", "VERIFICAESTRAZIONE\r"},  // 10001 entries: the table holds 10000
        // Paths that would leave the installation for the current folder, and a path file that holds no path.
        {[](auto& s) { s.Patch("SLBASE.DAT", 3, "X!:\\SLDITTE.DAT            "); }, "Errore 75 ",
         ":\\SLDITTE.DAT is outside the installation"},
        {[](auto& s) { s.SetSetting("PERCORSOARCHIVI", "KVPAGHE\\ARCHIVI"); }, "Errore 75 ", "KVPAGHE\\ARCHIVI is outside the installation"},
        {[](auto& s) {
             s.SetSetting("PERCORSOARCHIVI", ""), std::ofstream(s.root() / "C/RARADADE/SLPERARK.SLP") << std::string(1 << 20, 'C');
         },
         "Errore 75 ", "SLPERARK.SLP holds a line longer than a path"}};
    const size_t run = std::size(cases) - (platform::NativeDrives() ? 2 : 0);
    for (const auto& [damage, error, trace] : std::span(cases, run)) {
        DemoInstallation suite;
        damage(suite);
        auto s = suite.Open(false);
        EXPECT_THROW((*s)->Start(), ProgramEnd);
        const Messages shown = s->Shown();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_TRUE(shown[0].title == "KvsPaghe KVTESO" && shown[0].icon == Icon::Critical && shown[0].text.rfind(error, 0) == 0 &&
                    shown[0].text.find(trace) != std::string::npos)
            << shown[0].text;
        EXPECT_EQ(shown[1], kEndNotice);
        std::ostringstream out;
        EXPECT_EQ(RunBatch({true, {}, {}, suite.root().string(), suite.registryFile().string()}, out, out), 2) << out.str();
        EXPECT_EQ(out.str().find("another copy"), std::string::npos);
        EXPECT_EQ(PdfFilesUnder(suite.root()), std::vector<fs::path>{});
    }
}

// The TF14 list of company 001 after the damage, against the list of the undamaged suite.
TEST(BadDataTest, DamagedEmployeesInTheTf14ListOfCompanyOne) {
    auto tf14 = [](const DemoInstallation& suite) {
        const auto outcome = suite.Open()->Click(0, ListKind::TF14, {"001"});
        EXPECT_TRUE(!outcome.failed && outcome.files.size() == 1 && QpdfClean(outcome.files.at(0), kPassword));
        return PdfText(outcome.files.at(0), kPassword);
    };
    auto lists = [](const std::string& text, const auto& e) {  // "\n0025 CARUSO S" starts the employee's line
        return text.find("\n" + e.key.substr(6) + " " + platform::Cp1252ToUtf8(e.surname.substr(0, 20))) != std::string::npos;
    };
    const DemoInstallation pristine;
    const std::string before = tf14(pristine);
    const auto& rossi = pristine.plan.employees[0];  // 0001 ROSSI M of company 001
    std::vector<const demo::PlannedEmployee*> listed;
    for (const auto& e : pristine.plan.employees)
        if (e.company == 1 && lists(before, e)) listed.push_back(&e);
    ASSERT_GT(listed.size(), 10u);
    DemoInstallation amounts, entry, cut;
    // Every amount blank or not a number reads as 0: PUNTO 1 falls to 0, so do COEF.1 and TF14.
    amounts.PatchEmployee(rossi, fields::P260, "ABCDEFGHIJ"), amounts.PatchEmployee(rossi, fields::P240, "          ");
    amounts.PatchEmployee(rossi, fields::Q201, "N/D     "), amounts.PatchEmployee(rossi, fields::P606, "xx.yy   ");
    amounts.PatchEmployee(rossi, fields::P620, "     ");
    EXPECT_TRUE(std::regex_search(tf14(amounts), std::regex("\n0001 ROSSI M +0\\.00 +0\\.00 +0\\.28 +0\\.00000 +0\\.00000 +0\\.00 +0\\.00 +0\\.00\n")));
    // An entry past the end of the employee archive, before the last extraction record: nothing changes.
    const std::string bytes = ReadFile(entry.ArchiveFile("SLESTRAZ.DAT"));
    entry.WriteExtraction({bytes.substr(0, bytes.size() - 200), "0010009999", bytes.substr(bytes.size() - 200)});
    EXPECT_EQ(tf14(entry), before);
    // A short employee archive, cut in the middle of a listed employee's record: the selection stops there.
    const int at = listed[listed.size() / 2]->recordNumber;
    cut.Truncate("SLDIPEND.DAT", (at - 1ull) * demo::kEmployeeRecordLength + 100);
    const std::string after = tf14(cut);
    for (const auto* e : listed) EXPECT_EQ(lists(after, *e), e->recordNumber < at) << e->key;
}

// An amount beyond any number makes the error handler end the program in the middle of a list, naming
// the employee and the field: the document being written goes too; the batch run ends with status 1.
// The suite reads any "-" of a number as its sign, so "1E-400" is -1E+400.
TEST(BadDataTest, ProgramEndInTheMiddleOfAListLeavesNoPdf) {
    for (const std::string amount : {"1E+400    ", "1E-400    "}) {
        DemoInstallation suite;
        suite.PatchEmployee(suite.plan.employees[0], fields::P260, amount);
        auto s = suite.Open();
        EXPECT_THROW(s->Click(0, ListKind::TF14, {"001"}), ProgramEnd);
        EXPECT_NE(s->Shown().at(0).text.find("\rDipendente: 0010000001\rCampo: P260 \"" + amount.substr(0, 6) + "\"\r"), std::string::npos);
        std::ostringstream out;
        EXPECT_EQ(RunBatch({true, {"TF14"}, {"001"}, suite.root().string(), suite.registryFile().string()}, out, out), 1);
        EXPECT_TRUE(PdfFilesUnder(suite.root()).empty() && out.str().find("LANCIARE RIPRISTINO TASK\n") != std::string::npos);
    }
}

// Damage that leaves a list short or unreadable, run through the batch program: each is named (an
// anomaly line, status 3) and the run goes on, or, when no company can be listed, a clear error with
// status 1. Every file written is complete: the PDF files pass qpdf, the workbooks open.
TEST(BadDataTest, DamageIsNamedAndTheRunGoesOn) {
    const size_t record = demo::kEmployeeRecordLength;
    const std::tuple<std::string, std::function<void(DemoInstallation&)>, int, std::vector<std::string>> cases[] = {
        {"CF01", [&](auto& s) { s.Patch("SLDIPEND.DAT", 2 * record, std::string(record, '\xFF')), s.Patch("SLDIPEND.DAT", 3 * record, std::string(record, ' ')); }, 3, {"Anomalia 001 CF01 record 3: Record dipendente illeggibile: tralasciato (chiave \"\xC3\xBF\xC3\xBF\xC3\xBF\xC3\xBF\xC3\xBF\xC3\xBF\xC3\xBF\xC3\xBF\xC3\xBF\xC3\xBF\")", "Anomalia 001 CF01 record 4: Record dipendente illeggibile: tralasciato (chiave in bianco)"}},
        {"TF14", [](auto& s) { s.Truncate("SLDITTE.DAT", 3 * demo::kCompanyRecordLength + 100); }, 3, {"Anomalia 004: Ditta assente dall'archivio ditte: non elencata (record 4 troncato a 100 caratteri su 6483)"}},
        {"TF14", [](auto& s) { s.Truncate("SLDITTE.DAT", 0); }, 1, {"kvteso: nessuna ditta dell'estrazione si trova nell'archivio ditte C:\\KVPAGHE\\ARCHIVI\\SLDITTE.DAT (vuoto, mancante o danneggiato): nessuna lista prodotta", "Anomalia 001: Ditta assente dall'archivio ditte: non elencata (record 1 oltre la fine dell'archivio)"}},
        {"TF14", [](auto& s) { fs::remove(s.ArchiveFile("SLDITTE.DAT")); }, 1, {"Anomalia 004: Ditta assente dall'archivio ditte: non elencata (record 4 oltre la fine dell'archivio)"}},
        {"CF01", [](auto& s) { s.Patch("SLESTRAZ.DAT", 190, "0010000002"), s.Patch("SLESTRAZ.DAT", 20, "001ABCDEFG"), s.Patch("SLESTRAZ.DAT", 30, "A\x1B 0000001"); }, 3, {"Anomalia 001 CF01 0010000030: Dipendente presente in piu' voci dell'estrazione: elencato una volta (voci 0010000002, 0010000002)", "Anomalia 001 CF01 voce 001ABCDEFG: Voce dell'estrazione non valida: tralasciata (numero di record \"ABCDEFG\")", "Anomalia A?  voce A? 0000001: Voce dell'estrazione non valida: tralasciata (codice ditta \"A? \")"}},
        {"CF01", [](auto& s) { fs::create_directories(s.PdfTree()), std::ofstream(s.PdfTree() / "002") << "a file where 002's folder goes"; }, 3, {"Anomalia 002 CF01: Lista non prodotta (Errore N.75 Path/File access error - C:\\KVPAGHE\\FILE-PDF\\002)"}},
        {"TF14", [](auto& s) { s.Patch("SLDITTE.DAT", 2, ".. "); }, 3, {"Anomalia 001 TF14: Lista non prodotta (Errore N.75 Path/File access error - the company code \".. \" is not three digits)"}},
        {"TF02", [](auto& s) { s.PatchEmployee(s.plan.employees[0], fields::P260, "1D+308    "), s.PatchEmployee(s.plan.employees[1], fields::P260, "1D+308    "); }, 3, {"Anomalia 001 TF02 0010000001: Importo non rappresentabile: escluso dai totali e dal foglio (TFR MM(1) 7.40740740740741E+306, QU.F.TE(2) 7.40740740740741E+306, RETR. TFR 1E+308)"}},
    };
    for (const auto& [list, damage, status, named] : cases) {
        DemoInstallation suite;
        damage(suite);
        std::ostringstream out, err;
        EXPECT_EQ(RunBatch({true, {list}, {}, suite.root().string(), suite.registryFile().string(), true}, out, err), status) << named[0];
        for (const std::string& line : named) EXPECT_NE(err.str().find(line + "\n"), std::string::npos) << line << "\n"
                                                                                                        << err.str();
        EXPECT_TRUE(std::regex_search(out.str(), std::regex(status == 1 ? "^[^\\d]*$" : "[1-9] PDF file\\(s\\) written")) && !std::regex_search(out.str(), std::regex("\\d{16}"))) << out.str();
        for (const fs::path& pdf : PdfFilesUnder(suite.root()))
            EXPECT_TRUE(QpdfClean(pdf, RunCommand("qpdf --is-encrypted " + Quoted(pdf)).status ? "" : kPassword)) << pdf;
        const std::string workbooks = suite.root().string() + "/C/KVPAGHE/FILE-XLSX";
        EXPECT_EQ(RunCommand("cd " + Quoted(suite.root()) + " && /usr/bin/python3 -c 'import glob, openpyxl\nfor f in glob.glob(\"C/KVPAGHE/FILE-XLSX/*/*/*.xlsx\"): openpyxl.load_workbook(f)'").status, 0);
        EXPECT_EQ(fs::exists(workbooks), status == 3);
    }
}

// A header that would make folders of its damage stops the run with its error report before any
// folder is made; the batch workbook of the month is not written either.
TEST(BadDataTest, FolderNamesFromTheHeader) {
    const std::tuple<int, std::string, std::string> cases[] = {// offset -1: the file cut to 3 bytes
                                                               {-1, "", "    0 "},
                                                               {2, "13", "201813"},
                                                               {4, "9999", "999903"},
                                                               {2, "0\x1B", "20180?"}};
    for (const auto& [at, bytes, period] : cases) {
        DemoInstallation suite;
        at < 0 ? suite.Truncate("SLESTTES.DAT", 3) : suite.Patch("SLESTTES.DAT", at, bytes);
        auto s = suite.Open();
        const std::string what = "the extraction period \"" + period + "\" is not a month YYYYMM";
        EXPECT_TRUE(s->Click(0, ListKind::TF14, {"001"}).failed && !fs::exists(suite.PdfTree())) << what;
        EXPECT_EQ(s->Shown().back(), (Message{kWindowCaption, "Errore N.75\rPath/File access error - " + what + "\r\rNon e' possibile proseguire", Icon::Critical}));
        std::ostringstream out;
        EXPECT_EQ(RunBatch({false, {"TF14"}, {"001"}, suite.root().string(), suite.registryFile().string(), true}, out, out), 1);
        EXPECT_NE(out.str().find("kvteso: TF14 workbook not written: Path/File access error - " + what + "\n"), std::string::npos) << out.str();
        EXPECT_FALSE(fs::exists(suite.root() / "C/KVPAGHE/FILE-XLSX"));
    }
}

// Damage drawn from one seed: mt19937's raw output is the same with every library, so a seed names
// the same damage everywhere. Values: exponents beyond any double, one repeated byte, a signed
// decimal, or bytes of an alphabet of digits, signs, blanks, code-page, control and path bytes.
struct RandomDamage {
    RandomDamage(DemoInstallation& suite, uint32_t seed) : rnd(seed) {
        for (size_t i = 0, n = 1 + Below(12); i < n; ++i) {  // fields the lists read: amounts, dates, codes, the key
            const auto& e = suite.plan.employees[Below(suite.plan.employees.size())];
            const auto f = demo::kEmployeeFields[Below(demo::kEmployeeFields.size())];
            Patch(suite, "SLDIPEND.DAT", (e.recordNumber - 1) * demo::kEmployeeRecordLength + f.position - 1, f.length);
        }
        if (Below(3) == 0) Patch(suite, "SLDITTE.DAT", Below(4) * demo::kCompanyRecordLength + 5, 30 + 30 * Below(2));  // a name
        if (Below(4) == 0) Patch(suite, "SLESTTES.DAT", 0, 8);  // the extraction date
        if (Below(3) == 0) Patch(suite, "SLESTRAZ.DAT", Below(3) * 10 + 3, 7);  // an employee record number
    }
    size_t Below(size_t n) { return static_cast<size_t>(rnd()) % n; }
    void Patch(DemoInstallation& suite, const std::string& file, size_t offset, size_t n) {
        static const std::string alphabet("0123456789-.,E+ \xFC\xD2\x80\x1A\t\0/\\:*?\"<>|", 31);
        static const char* const exponents[] = {"1E+308", "9E+400", "-5E-400", "1E+99999", "2.5E-5", "..", "../../X"};
        std::string v;
        switch (Below(4)) {
        case 0: v = exponents[Below(std::size(exponents))]; break;
        case 1: v.assign(n, alphabet[Below(alphabet.size())]); break;
        case 2: v = std::to_string(static_cast<int>(Below(20001)) - 10000) + ".5"; break;
        default:
            while (v.size() < n) v += alphabet[Below(alphabet.size())];
        }
        v.resize(std::max(v.size(), n), ' ');
        v = Below(2) ? v.substr(0, n) : v.substr(v.size() - n);  // left- or right-aligned
        log += file + " @" + std::to_string(offset) + " = \"" + v + "\"\n";
        suite.Patch(file, static_cast<std::streamoff>(offset), v);
    }
    std::mt19937 rnd;
    std::string log;
};

// Among the twenty seeds are rounds that end in normal lists, in the run driver's report of a
// run-time error, and in the error handler's report that ends the program.
TEST(DamagedRecordsTest, EveryListEndsInAListOrTheErrorReport) {
    std::set<std::string> valid;  // the files qpdf passed: undamaged companies repeat byte for byte
    for (uint32_t seed = 31; seed <= 50; ++seed) {
        DemoInstallation suite;
        const RandomDamage damage(suite, seed);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", damage:\n" + damage.log);
        const auto archives = HashTree(suite.ArchiveFile(""));
        auto s = suite.Open(false);
        (*s)->pdfFiles().SetFixedCreationDate("D:20180331120000");
        std::vector<fs::path> named;
        bool ended = false;
        try {
            for (int option = 0; option < 7 && (option > 0 || (*s)->Start()); ++option) {
                const auto outcome = s->Click(0, lists::AllLists()[static_cast<size_t>(option)].kind, {"001", "002", "003", "004"});
                named.insert(named.end(), outcome.files.begin(), outcome.files.end());
                for (const Message& m : s->Shown())  // a run-time error gets the driver's own report
                    EXPECT_TRUE(m.icon != Icon::Critical || (outcome.failed && m.title == kWindowCaption && m.text.rfind("Errore N.", 0) == 0));
            }
        } catch (const ProgramEnd&) {
            const Messages shown = s->Shown();
            EXPECT_TRUE(shown.size() >= 2 && shown[shown.size() - 2].text.rfind("Errore ", 0) == 0 && shown.back() == kEndNotice);
            (*s)->context().files().CHIUDI(0), ended = true;
        }
        EXPECT_EQ(HashTree(suite.ArchiveFile("")), archives);
        const auto pdfs = PdfFilesUnder(suite.root());
        for (const fs::path& pdf : pdfs) {
            const fs::path inside = pdf.lexically_relative(suite.PdfTree());
            EXPECT_TRUE(!inside.empty() && *inside.begin() != "..") << pdf;
            const std::string bytes = ReadFile(pdf);
            EXPECT_EQ(bytes.substr(bytes.size() - std::min<size_t>(bytes.size(), 6)), "%%EOF\n") << pdf;
            if (valid.insert(bytes).second) {
                EXPECT_TRUE(QpdfClean(pdf, RunCommand("qpdf --is-encrypted " + Quoted(pdf)).status ? "" : kPassword));
            }
        }
        for (auto& file : named) file = file.lexically_normal();
        std::sort(named.begin(), named.end());
        EXPECT_TRUE(ended || named == pdfs);  // unless the program ended, every file written is one a run named
    }
}

}  // namespace
}  // namespace kv::app::test
