#pragma once
// What the application tests share: a demo installation written into a fresh temporary root,
// sessions opened on it the way the program starts, damage done to its archives after writing, a
// fake printer, and the external tools (qpdf, pdftotext) that judge the PDF files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../../tools/demo/SuiteLayout.h"
#include "../../tools/demo/SuitePlan.h"
#include "app/Session.h"
#include "archive/FieldDescriptor.h"
#include "output/PrinterSink.h"
#include "platform/Messages.h"
#include "platform/RegistryQt.h"

namespace kv::app::test {

// A unique folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A session of the program on a suite, with scripted message boxes and the '.' separator, so that
// nothing depends on the process locale.
class OpenSession {
public:
    OpenSession(const std::filesystem::path& root, const std::filesystem::path& registryFile);
    Session& operator*() { return *session_; }
    Session* operator->() { return session_.get(); }
    platform::ScriptedMessageBoxes& messages() { return messages_; }

private:
    platform::ScriptedMessageBoxes messages_;
    std::unique_ptr<platform::QtSettingsRegistry> registry_;
    std::unique_ptr<Session> session_;
};

// A demo installation under a temporary root.
class DemoInstallation {
public:
    explicit DemoInstallation(demo::DemoOptions options = {});

    const std::filesystem::path& root() const { return root_.path(); }
    const demo::SuitePlan& plan() const { return plan_; }
    std::filesystem::path registryFile() const { return root() / "registry.ini"; }
    // Host path of a suite path ("C:\KVPAGHE\FILE-PDF").
    std::filesystem::path Host(const std::string& suitePath) const;
    // Host path of a file of the archive folder.
    std::filesystem::path ArchiveFile(const std::string& name) const;
    std::filesystem::path ArchiveFolder() const { return Host(std::string(demo::kArchiveFolder)); }
    std::filesystem::path TaskFile() const { return Host(std::string(demo::kTaskFile)); }
    // The PDF output folder of a company for the demo period.
    std::filesystem::path PdfFolder(const std::string& company) const;

    std::unique_ptr<OpenSession> Open() const { return std::make_unique<OpenSession>(root(), registryFile()); }

    // The planned employee with this surname (UTF-8) among the named cases.
    const demo::PlannedEmployee& Named(const std::string& surnameUtf8) const;

    // ---- Damage done after writing ---------------------------------------------------------
    // Overwrites the bytes of a field (no conversion) in record `record` of an archive file.
    void PatchField(const std::string& file, int recordLength, int record, const FieldDescriptor& field,
                    const std::string& bytes) const;
    void PatchEmployee(const demo::PlannedEmployee& e, const FieldDescriptor& field, const std::string& bytes) const;
    void PatchCompany(int code, const FieldDescriptor& field, const std::string& bytes) const;
    // Replaces the whole extraction list (archive 5) with these records, each padded to 200.
    void WriteExtraction(const std::vector<std::string>& records) const;
    void Truncate(const std::string& file, uint64_t size) const;

private:
    TempFolder root_;
    demo::SuitePlan plan_;
};

// The printer of "Stampa Laser": records what is printed, one job per EndDoc.
class FakePrinter : public output::Printer {
public:
    std::function<bool(int call)> checkAnswers = [](int) { return true; };
    std::function<void()> onSetFont;  // may throw, as the system does when it has no printer
    int checks = 0;
    int endDocs = 0;
    int newPages = 0;
    std::vector<std::vector<std::string>> jobs;  // texts of each ended job
    std::vector<std::string> current;

    bool Check() override { return checkAnswers(++checks); }
    void SetFont(const std::string&, double, bool) override {
        if (onSetFont) onSetFont();
    }
    void PrintAt(int, int, const std::string& text) override { current.push_back(text); }
    void NewPage() override { ++newPages; }
    void EndDoc() override {
        ++endDocs;
        jobs.push_back(std::move(current));
        current.clear();
    }
};

// ---- External tools ------------------------------------------------------------------------
struct CommandResult {
    int status = -1;  // exit status, -1 when the command did not end normally
    std::string output;  // stdout and stderr
};
CommandResult RunCommand(const std::string& command);
std::string Quoted(const std::filesystem::path& p);
// qpdf --check, with the password when given; true when qpdf found neither errors nor warnings.
CommandResult QpdfCheck(const std::filesystem::path& pdf, const std::string& password = {});
// pdftotext -layout; the text in UTF-8.
std::string PdfText(const std::filesystem::path& pdf, const std::string& password = {});
// The uncompressed, decrypted content of the document (qpdf --qdf), for byte-exact searches.
std::string PdfUncompressed(const std::filesystem::path& pdf, const std::string& password = {});

// ---- Files ---------------------------------------------------------------------------------
std::string ReadFile(const std::filesystem::path& p);
// Every regular file under folder (relative path -> FNV-1a hash of its bytes and its size).
std::map<std::string, std::pair<uint64_t, uint64_t>> HashTree(const std::filesystem::path& folder);
// The PDF files under folder, sorted.
std::vector<std::filesystem::path> PdfFilesUnder(const std::filesystem::path& folder);

// Tests sharing one demo installation, written once per test suite (an additional-month extraction
// when asked); every test starts without PDF files.
template <bool AdditionalMonth = false>
class SharedDemoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demo::DemoOptions options;
        options.additionalMonth = AdditionalMonth;
        suite_ = std::make_unique<DemoInstallation>(options);
    }
    static void TearDownTestSuite() { suite_.reset(); }
    void SetUp() override {
        std::error_code ec;
        std::filesystem::remove_all(suite_->Host("C:\\KVPAGHE\\FILE-PDF"), ec);
    }
    static inline std::unique_ptr<DemoInstallation> suite_;
};

// Index of the company line of `code` in the session's company lines.
std::vector<bool> Select(const std::vector<std::string>& lines, const std::vector<std::string>& codes);

}  // namespace kv::app::test
