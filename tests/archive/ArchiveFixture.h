#pragma once
// A scratch suite for archive tests: a temporary root mapped as the drives, the archive folder
// "C:\KVS\ARCHIVI" with a catalogue (SLBASE.DAT), and a context with scripted message boxes.
#include <functional>
#include <map>

#include "../../tools/demo/SuiteLayout.h"
#include "archive/ArchiveContext.h"
#include "archive/LegacyText.h"
#include "support/TestSupport.h"

namespace kvtest {

class ArchiveFixture : public ::testing::Test {
protected:
    ArchiveFixture() { context->settings().archiveFolder = "C:\\KVS\\ARCHIVI"; }

    std::filesystem::path archive(const std::string& name) const { return tmp.path / "C/KVS/ARCHIVI" / name; }
    kv::ArchiveFiles& files() { return context->files(); }

    void WriteCatalogue(const std::map<int, std::pair<std::string, int>>& entries, int last = 400) {
        WriteFile(archive("SLBASE.DAT"), kv::demo::CatalogueBytes(entries, last));
    }
    void StandardCatalogue() {
        WriteCatalogue({{1, {"DITTE.DAT", 20}}, {2, {"D###A**.DAT", 10}}, {3, {"!:\\BACKUP\\X.DAT", 10}}, {4, {"R@@P%%.DAT", 10}}, {5, {"T$$.DAT", 10}}, {6, {"TESTATA.DAT", 30}}, {7, {"DIPIND.DAT", kv::index::PageLength(10)}}, {kv::archive::PrinterSettings, {"STAMP$$.TXT", 0}}, {kv::archive::Installation, {"INSTALL.DAT", 100}}});
    }

    // Runs body, which must end the program with exitCode, and returns the lines (split at CR) of
    // the first message shown; the messages are cleared first.
    std::vector<std::string> EndLines(const std::function<void()>& body, int exitCode = 1) {
        messages.clear();
        try {
            body();
            ADD_FAILURE() << "the program did not end";
        } catch (const kv::ProgramEnd& end) {
            EXPECT_EQ(end.exitCode, exitCode);
        }
        std::string text = messages.shown().empty() ? "" : messages.shown()[0].text;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        return text.empty() ? std::vector<std::string>{} : Fields(text, '\r');
    }

    TempDir tmp;
    kv::platform::ScriptedMessageBoxes messages;
    kv::platform::MemoryRegistry registry;
    std::unique_ptr<kv::ArchiveContext> context =
        std::make_unique<kv::ArchiveContext>(messages, kv::platform::PathMap(tmp.path), registry);
};

}  // namespace kvtest
