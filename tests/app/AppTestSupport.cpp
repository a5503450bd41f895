#include "AppTestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "../../tools/demo/SuiteWriter.h"

namespace kv::app::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    static int counter = 0;
    std::string name = "kvapp_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) name += std::string("_") + info->name();
    path_ = fs::temp_directory_path() / name;
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

OpenSession::OpenSession(const fs::path& root, const fs::path& registryFile)
    : registry_(std::make_unique<platform::QtSettingsRegistry>(registryFile)),
      session_(std::make_unique<Session>(messages_, platform::PathMap(root), *registry_, [] { return false; }, '.')) {}

DemoInstallation::DemoInstallation(demo::DemoOptions options) {
    options.root = root_.path();
    plan_ = demo::MakePlan(options);
    platform::ScriptedMessageBoxes writerMessages;
    demo::SuiteWriter writer(plan_, writerMessages);
    writer.Write();
    if (!writerMessages.shown().empty()) throw std::runtime_error("the demo writer complained");
}

fs::path DemoInstallation::Host(const std::string& suitePath) const {
    return platform::PathMap(root()).ToHost(platform::Cp1252ToUtf8(suitePath));
}

fs::path DemoInstallation::ArchiveFile(const std::string& name) const {
    return Host(std::string(demo::kArchiveFolder) + "\\" + name);
}

fs::path DemoInstallation::PdfFolder(const std::string& company) const {
    const demo::ExtractionPeriod& p = plan_.options.period;
    return Host("C:\\KVPAGHE\\FILE-PDF\\" + company + "\\" + p.YYYY() + "\\" + p.YYYYMM().substr(4, 2) + "\\FDOTES");
}

const demo::PlannedEmployee& DemoInstallation::Named(const std::string& surnameUtf8) const {
    const std::string surname = platform::Utf8ToCp1252(surnameUtf8);
    for (const auto& e : plan_.employees)
        if (e.surname == surname && e.company <= demo::kCatalogueCompanies && e.exercises != "generated") return e;
    throw std::runtime_error("no employee " + surnameUtf8);
}

void DemoInstallation::PatchField(const std::string& file, int recordLength, int record, const FieldDescriptor& field,
                                  const std::string& bytes) const {
    ASSERT_EQ(bytes.size(), static_cast<size_t>(field.length)) << "patch of " << field.CodeView();
    std::fstream f(ArchiveFile(file), std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(f) << file;
    f.seekp(static_cast<std::streamoff>(record - 1) * recordLength + field.position - 1);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(f) << file;
}

void DemoInstallation::PatchEmployee(const demo::PlannedEmployee& e, const FieldDescriptor& field,
                                     const std::string& bytes) const {
    PatchField("SLDIPEND.DAT", demo::kEmployeeRecordLength, e.recordNumber, field, bytes);
}

void DemoInstallation::PatchCompany(int code, const FieldDescriptor& field, const std::string& bytes) const {
    PatchField("SLDITTE.DAT", demo::kCompanyRecordLength, code, field, bytes);
}

void DemoInstallation::WriteExtraction(const std::vector<std::string>& records) const {
    std::string bytes;
    for (std::string r : records) {
        r.resize(demo::kExtractionRecordLength, ' ');
        bytes += r;
    }
    std::ofstream out(ArchiveFile("SLESTRAZ.DAT"), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out);
}

void DemoInstallation::Truncate(const std::string& file, uint64_t size) const {
    fs::resize_file(ArchiveFile(file), size);
}

CommandResult RunCommand(const std::string& command) {
    CommandResult r;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buf{};
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) r.output.append(buf.data(), n);
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string Quoted(const fs::path& p) {
    std::string s = "'";
    for (char c : p.string()) {
        if (c == '\'') s += "'\\''";
        else s += c;
    }
    return s + "'";
}

CommandResult QpdfCheck(const fs::path& pdf, const std::string& password) {
    std::string cmd = "qpdf --check";
    if (!password.empty()) cmd += " --password=" + password;
    return RunCommand(cmd + " " + Quoted(pdf));
}

std::string PdfText(const fs::path& pdf, const std::string& password) {
    std::string cmd = "pdftotext -layout -enc UTF-8";
    if (!password.empty()) cmd += " -upw " + password;
    return RunCommand(cmd + " " + Quoted(pdf) + " -").output;
}

std::string PdfUncompressed(const fs::path& pdf, const std::string& password) {
    const fs::path out = pdf.parent_path() / (pdf.stem().string() + ".qdf");
    std::string cmd = "qpdf --qdf --object-streams=disable --decrypt";
    if (!password.empty()) cmd += " --password=" + password;
    RunCommand(cmd + " " + Quoted(pdf) + " " + Quoted(out));
    std::string bytes = ReadFile(out);
    std::error_code ec;
    fs::remove(out, ec);
    return bytes;
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::map<std::string, std::pair<uint64_t, uint64_t>> HashTree(const fs::path& folder) {
    std::map<std::string, std::pair<uint64_t, uint64_t>> out;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        const std::string bytes = ReadFile(entry.path());
        uint64_t h = 1469598103934665603ull;
        for (unsigned char c : bytes) {
            h ^= c;
            h *= 1099511628211ull;
        }
        out[fs::relative(entry.path(), folder).string()] = {h, bytes.size()};
    }
    return out;
}

std::vector<fs::path> PdfFilesUnder(const fs::path& folder) {
    std::vector<fs::path> out;
    if (!fs::exists(folder)) return out;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".pdf") out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<bool> Select(const std::vector<std::string>& lines, const std::vector<std::string>& codes) {
    std::vector<bool> selected(lines.size(), false);
    for (size_t i = 0; i < lines.size(); ++i)
        for (const std::string& c : codes)
            if (lines[i].compare(0, 3, c) == 0) selected[i] = true;
    return selected;
}

}  // namespace kv::app::test
