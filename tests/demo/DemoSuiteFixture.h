#pragma once
// Writes a demo suite into a fresh temporary root and opens it again through the archive layer,
// the way KVTESO opens an installation: settings store, path files, task file, archive catalogue.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../../tools/demo/SuitePlan.h"
#include "../../tools/demo/SuiteWriter.h"
#include "archive/ArchiveContext.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/RegistryQt.h"

namespace kv::demo::test {

// A unique folder under the system's temporary folder, removed with the object.
class TempRoot {
public:
    TempRoot() {
        static int counter = 0;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "kvdemo_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
        if (info) name += std::string("_") + info->name();
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempRoot() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A written suite and an archive layer opened on it.
class WrittenSuite {
public:
    explicit WrittenSuite(DemoOptions options = {}) {
        options.root = root_.path();
        plan_ = MakePlan(options);
        SuiteWriter writer(plan_, writerMessages_);
        summary_ = writer.Write();
        registry_ = std::make_unique<platform::QtSettingsRegistry>(summary_.registryFile);
        context_ = std::make_unique<ArchiveContext>(messages_, platform::PathMap(root_.path()), *registry_);
        context_->LoadInstallation();
    }

    const SuitePlan& plan() const { return plan_; }
    const DemoSummary& summary() const { return summary_; }
    ArchiveContext& context() { return *context_; }
    ArchiveFiles& files() { return context_->files(); }
    FieldRepository& repo() { return context_->repository(); }
    platform::ScriptedMessageBoxes& messages() { return messages_; }
    const platform::ScriptedMessageBoxes& writerMessages() const { return writerMessages_; }
    const std::filesystem::path& root() const { return root_.path(); }

    // Reads record `record` of `archive` (opened on first use) and returns it.
    std::string Record(int archive, int record) {
        if (!files().IsOpen(archive)) files().FAIOPEN(archive);
        EXPECT_EQ(files().LEGGIREC(archive, record), 0) << "archive " << archive << " record " << record;
        return files().buffer(archive);
    }

    // The extraction entries as the program loads them: record by record until the file ends, each
    // record up to "9999999999" or a blank entry.
    std::vector<std::string> ExtractionEntries() {
        std::vector<std::string> entries;
        files().FAIOPEN(archive::ExtractionList);
        for (int r = 1; r <= 1000; ++r) {
            if (files().LEGGIREC(archive::ExtractionList, r) == 1) break;
            const std::string& record = files().buffer(archive::ExtractionList);
            for (int j = 0; j < 20; ++j) {
                const std::string entry = record.substr(static_cast<std::size_t>(j) * 10, 10);
                if (entry == "9999999999" || entry.find_first_not_of(' ') == std::string::npos) break;
                entries.push_back(entry);
            }
        }
        return entries;
    }

    // The planned employee with this surname (Windows-1252) in company 1..4.
    const PlannedEmployee& Named(const std::string& surnameUtf8) const {
        const std::string surname = platform::Utf8ToCp1252(surnameUtf8);
        for (const auto& e : plan_.employees)
            if (e.surname == surname && e.exercises != "generated") return e;
        throw std::runtime_error("no employee " + surnameUtf8);
    }

private:
    TempRoot root_;
    SuitePlan plan_;
    DemoSummary summary_;
    platform::ScriptedMessageBoxes writerMessages_;
    platform::ScriptedMessageBoxes messages_;
    std::unique_ptr<platform::QtSettingsRegistry> registry_;
    std::unique_ptr<ArchiveContext> context_;
};

}  // namespace kv::demo::test
