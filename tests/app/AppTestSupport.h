#pragma once
// What the application tests share: a demo installation in a fresh temporary root, damage done to
// its archives, a session opened on it the way the program starts, a recording printer, the external
// tools that judge the PDF files, and messages that compare and print as a whole.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "../../tools/demo/SuiteWriter.h"
#include "app/Session.h"
#include "archive/SuiteFields.h"
#include "platform/SettingsStore.h"
#include "support/TestSupport.h"

namespace kv::platform {
inline bool operator==(const Message& a, const Message& b) {
    return a.title == b.title && a.text == b.text && a.icon == b.icon && a.buttons == b.buttons;
}
inline void PrintTo(const Message& m, std::ostream* os) {  // CR shown as "|"
    *os << "{\"" << m.title << "\", \"" << std::regex_replace(m.text, std::regex("\r"), "|") << "\", icon " << int(m.icon)
        << ", buttons " << int(m.buttons) << "}";
}
}  // namespace kv::platform

namespace kv::app::test {

namespace fs = std::filesystem;
using lists::ListKind;
using platform::Icon;
using platform::Message;
using Messages = std::vector<Message>;
using namespace kvtest;

// The archives the program opens at start-up, in its order.
inline constexpr int kOpenedAtStart[] = {archive::Companies, archive::ExtractionList, archive::EmployeeIndex, archive::Employees, archive::Parameters, archive::ExtractionHeader};
inline const std::string kKvteso = Program("src/program/kvteso");
inline constexpr const char* kPassword = "LEGGIPDF";  // F357 of the demo installation
inline const std::string kHandedBack = "01" + std::string(98, ' ') + "\r\n";  // the task line after the end
inline const Message kEndNotice{"KvsPaghe", "CHIUDERE TUTTE LE APPLICAZIONI DELLA TASK\rLANCIARE RIPRISTINO TASK", Icon::Information};
inline const Message kPdfDone{"Creazione modulo PDF Liste Fondo Tesoreria",
                              "I file PDF creati sono contenuti nella relativa cartella situata in :\r\r"
                              "C:\\KVPAGHE\\FILE-PDF\\DITTA\\ANNO\\MESE\\FDOTES",
                              Icon::Information};

// Every file and folder under folder: relative path -> FNV-1a hash of its bytes.
inline std::map<std::string, uint64_t> HashTree(const fs::path& folder) {
    std::map<std::string, uint64_t> out;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        uint64_t& h = out[fs::relative(entry.path(), folder).generic_string()] = 1469598103934665603ull;
        for (unsigned char c : entry.is_regular_file() ? ReadFile(entry.path()) : "") h = (h ^ c) * 1099511628211ull;
    }
    return out;
}
inline std::vector<fs::path> PdfFilesUnder(const fs::path& folder) {  // sorted
    std::vector<fs::path> out;
    std::error_code ec;  // no folder: no files
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec))
        if (entry.path().extension() == ".pdf") out.push_back(entry.path());
    return std::sort(out.begin(), out.end()), out;
}

// A session of the program with scripted message boxes and the '.' separator; it counts the resets
// of the window's choices and records the hourglass.
class OpenSession : public RunObserver {
public:
    OpenSession(const fs::path& root, const fs::path& registryFile)
        : registry_(registryFile), session_(
                                       messages, platform::PathMap(root), registry_, [] { return false; }, '.') {
        session_.driver().SetObserver(this);
    }
    void Busy(bool on) override { busy.push_back(on); }
    void ChoicesReset() override { ++resets; }
    bool BeforeCompany(int index, int, const std::string&) override { return index <= stopAfter; }
    Session* operator->() { return &session_; }
    // A click on "Crea PDF" (0) or "Stampa Laser" (1) with the companies of these codes selected.
    RunDriver::Outcome Click(int button, ListKind list, const std::vector<std::string>& codes) {
        std::vector<std::string> selected;
        for (const auto& code : session_.companyCodes())
            if (std::count(codes.begin(), codes.end(), code)) selected.push_back(code);
        return session_.driver().Run(button == 0 ? Destination::Pdf : Destination::Printer, list, selected);
    }
    Messages Shown() {  // the messages shown since the last call
        Messages shown = messages.shown();
        return messages.clear(), shown;
    }
    platform::ScriptedMessageBoxes messages;
    int resets = 0;
    std::vector<bool> busy;
    int stopAfter = 1 << 30;  // companies to run before the observer stops the run

private:
    platform::SettingsStore registry_;
    Session session_;
};

// A demo installation under a fresh temporary root, removed with the object, and damage done to it.
struct DemoInstallation {
    explicit DemoInstallation(demo::DemoOptions options = {}) {
        platform::ScriptedMessageBoxes writerMessages;
        demo::SuiteWriter(plan = demo::MakePlan((options.root = root(), options)), writerMessages).Write();
        EXPECT_EQ(writerMessages.shown(), Messages{});
    }
    const fs::path& root() const { return folder.path; }
    fs::path registryFile() const { return root() / "registry.ini"; }
    fs::path ArchiveFile(const std::string& name) const { return root() / "C/KVPAGHE/ARCHIVI" / name; }
    fs::path PdfTree() const { return (root() / "C/KVPAGHE/FILE-PDF").make_preferred(); }
    fs::path PdfFolder(const std::string& company) const {  // of the demo period
        return (PdfTree() / company / plan.options.period.YYYY() / plan.options.period.YYYYMM().substr(4) / "FDOTES")
            .make_preferred();
    }
    std::string Task() const { return ReadFile(root() / "C/KVSTASK/KVSTASK.INI"); }
    std::unique_ptr<OpenSession> Open(bool start = true) const {
        auto open = std::make_unique<OpenSession>(root(), registryFile());
        EXPECT_TRUE(!start || (*open)->Start()) << "the session did not start";
        return open;
    }
    void Patch(const std::string& file, std::streamoff offset, const std::string& bytes) const {
        std::fstream f(ArchiveFile(file), std::ios::in | std::ios::out | std::ios::binary);
        ASSERT_TRUE(f.seekp(offset).write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) << file;
    }
    void PatchEmployee(const demo::PlannedEmployee& e, const FieldDescriptor& f, const std::string& bytes) const {
        ASSERT_EQ(bytes.size(), static_cast<size_t>(f.length)) << f.CodeView();
        Patch("SLDIPEND.DAT", (e.recordNumber - 1) * demo::kEmployeeRecordLength + f.position - 1, bytes);
    }
    void SetSetting(const std::string& name, const std::string& value) const {  // in the suite's registry key
        platform::SettingsStore(registryFile()).WriteString(platform::Hive::CurrentUser, platform::kSuiteRegistryKey, name, value);
    }
    void WriteExtraction(const std::vector<std::string>& records) const {  // archive 5, each padded to whole records
        std::ofstream out(ArchiveFile("SLESTRAZ.DAT"), std::ios::binary);
        for (std::string r : records) out << r.append((200 - r.size() % 200) % 200, ' ');
    }
    void Truncate(const std::string& file, uint64_t size) const { fs::resize_file(ArchiveFile(file), size); }

    const TempDir folder{"kvapp"};
    demo::SuitePlan plan;
};

// Tests sharing one demo installation per test suite; every test starts without PDF files.
class SharedDemoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { suite_ = std::make_unique<DemoInstallation>(); }
    static void TearDownTestSuite() { suite_.reset(); }
    void SetUp() override { fs::remove_all(suite_->PdfTree()); }
    static inline std::unique_ptr<DemoInstallation> suite_;
};

// The printer of "Stampa Laser": one job of "x y text" lines per EndDoc.
struct FakePrinter : output::Printer {
    bool Check() override { return ++checks != refusedCheck; }
    void SetFont(const std::string& name, double size, bool bold) override {
        if (failOnFont) throw RuntimeError(err::PrinterInfo);
        current.push_back("font " + name + " " + std::to_string(int(size)) + (bold ? " bold" : ""));
    }
    void PrintAt(int x, int y, const std::string& text) override { current.push_back(std::to_string(x) + " " + std::to_string(y) + " " + text); }
    void NewPage() override { current.push_back("new page"); }
    void EndDoc() override { jobs.push_back(std::exchange(current, {})); }

    int refusedCheck = 0;  // the printer check that finds the printer unusable
    bool failOnFont = false;  // the system cannot give the printer's information (error 484)
    int checks = 0;
    std::vector<std::vector<std::string>> jobs;
    std::vector<std::string> current;
};

}  // namespace kv::app::test
