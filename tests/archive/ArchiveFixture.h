#pragma once
// A scratch suite for archive tests: a temporary root mapped as the drives, the archive folder
// "C:\KVS\ARCHIVI" with a catalogue (SLBASE.DAT), and a context with scripted message boxes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "archive/ArchiveContext.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace kvtest {

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kvarchiveXXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// One 79-character catalogue record: columns 4-32 the name pattern, 33-37 the record length.
inline std::string CatalogueRecord(const std::string& pattern, int length) {
    std::string r = "   " + pattern;
    r.resize(32, ' ');
    char len[8];
    std::snprintf(len, sizeof len, "%05d", length);
    r += len;
    r.resize(77, ' ');
    return r + "\r\n";
}

class ArchiveFixture : public ::testing::Test {
protected:
    static constexpr const char* kFolder = "C:\\KVS\\ARCHIVI";

    ArchiveFixture() {
        std::filesystem::create_directories(archiveDir());
        context = std::make_unique<kv::ArchiveContext>(messages, kv::platform::PathMap(tmp.path()), registry);
        context->settings().archiveFolder = kFolder;
    }

    std::filesystem::path archiveDir() const { return tmp.path() / "C" / "KVS" / "ARCHIVI"; }
    std::filesystem::path archive(const std::string& name) const { return archiveDir() / name; }
    kv::ArchiveFiles& files() { return context->files(); }

    // Writes SLBASE.DAT with records 1..last; numbers not given are blank records.
    void WriteCatalogue(const std::map<int, std::pair<std::string, int>>& entries, int last = 0) {
        if (last == 0 && !entries.empty()) last = entries.rbegin()->first;
        std::string bytes;
        for (int n = 1; n <= last; ++n) {
            auto it = entries.find(n);
            bytes += it == entries.end() ? std::string(77, ' ') + "\r\n" : CatalogueRecord(it->second.first, it->second.second);
        }
        WriteBytes(archive("SLBASE.DAT"), bytes);
    }

    // The catalogue most tests use.
    void StandardCatalogue() {
        WriteCatalogue({{1, {"DITTE.DAT", 20}},
                        {2, {"D###A**.DAT", 10}},
                        {3, {"!:\\BACKUP\\X.DAT", 10}},
                        {4, {"R@@P%%.DAT", 10}},
                        {5, {"T$$.DAT", 10}},
                        {6, {"TESTATA.DAT", 30}},
                        {7, {"DIPIND.DAT", (10 + 7) * 128}},
                        {280, {"STAMP$$.TXT", 0}},
                        {395, {"INSTALL.DAT", 100}}},
                       400);
    }

    // The first message shown, or an empty one.
    kv::platform::Message FirstMessage() const {
        return messages.shown().empty() ? kv::platform::Message{} : messages.shown().front();
    }

    TempDir tmp;
    kv::platform::ScriptedMessageBoxes messages;
    kv::platform::MemoryRegistry registry;
    std::unique_ptr<kv::ArchiveContext> context;
};

}  // namespace kvtest
