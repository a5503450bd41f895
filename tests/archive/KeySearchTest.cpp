// The key search in three-level index files built by IndexBuilder: found and missing keys at every
// edge of the pages, the preliminary checks and their messages, and damaged pages.
#include <gtest/gtest.h>

#include <random>

#include "ArchiveFixture.h"
#include "archive/IndexBuilder.h"

using namespace kv;
using kvtest::ArchiveFixture;
using kvtest::ReadBytes;
using kvtest::WriteBytes;

namespace {

constexpr int kKeyLength = 10;
constexpr double kIndex = 7;

// Keys "0000000010", "0000000020", ...: every key has gaps on both sides.
std::string KeyOf(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%010d", i * 10);
    return buf;
}

std::vector<IndexBuilder::Entry> Entries(int count) {
    std::vector<IndexBuilder::Entry> e;
    for (int i = 1; i <= count; ++i) e.push_back({KeyOf(i), 1000 + i});
    return e;
}

class KeySearch_ : public ArchiveFixture {
protected:
    KeySearch_() { StandardCatalogue(); }

    void WriteIndex(const std::vector<IndexBuilder::Entry>& entries, int perPage = 128) {
        IndexBuilder(kKeyLength, perPage).Write(archive("DIPIND.DAT"), entries);
    }
    void Open() { ASSERT_EQ(files().FAIOPEN(kIndex), (kKeyLength + 7) * 128); }
    double Find(const std::string& key) { return context->keys().ISAM(kIndex, key, 2, 0); }

    // Runs a search that must end the program through the error report; returns the report's first line.
    std::string FailingSearch(const std::string& key) {
        messages.clear();
        try {
            Find(key);
        } catch (const ProgramEnd&) {
            if (messages.shown().empty()) return "(no message)";
            const std::string& t = messages.shown().front().text;
            return t.substr(0, t.find('\r'));
        }
        return "(no end)";
    }
};

TEST_F(KeySearch_, EveryKeyIsFoundAndEveryGapIsMissing) {
    for (int perPage : {128, 3, 2}) {
        const int count = perPage == 128 ? 1000 : perPage * perPage * perPage;
        WriteIndex(Entries(count), perPage);
        Open();
        for (int i = 1; i <= count; ++i) {
            ASSERT_EQ(Find(KeyOf(i)), 1000 + i) << "per page " << perPage << " key " << i;
            char gap[16];
            std::snprintf(gap, sizeof gap, "%010d", i * 10 + 5);
            ASSERT_EQ(Find(gap), -1) << gap;
        }
        EXPECT_EQ(Find("0000000001"), -1);  // smaller than every key
        EXPECT_EQ(Find("9999999999"), -1);  // greater than every key
        EXPECT_EQ(Find("~~~~~~~~~~"), -1);
        files().CHIUDI(kIndex);
    }
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(KeySearch_, SearchReadsThreePages) {
    WriteIndex(Entries(5000));
    const std::string before = ReadBytes(archive("DIPIND.DAT"));
    Open();
    files().APRISEMA();
    EXPECT_EQ(Find(KeyOf(4321)), 5321);
    files().CHIUDISEMA();
    EXPECT_EQ(ReadBytes(archive("DIPIND.DAT")), before);  // searching never writes
    const auto lines = context->trace().Lines();
    EXPECT_EQ(lines[6], "ISAM (7-2)");
    EXPECT_EQ(lines[7], "LEGGIREC (7-1)");
    EXPECT_EQ(lines[8], "LEGGIREC (7-2)");
    EXPECT_EQ(lines[9], "LEGGIREC (7-" + std::to_string(3 + 4320 / 128) + ")");
}

TEST_F(KeySearch_, FullPagesWithoutFiller) {
    // 128 keys fill the leaf; 128 x 128 keys fill the middle page too.
    for (int count : {128, 128 * 128}) {
        WriteIndex(Entries(count));
        Open();
        const std::string bytes = ReadBytes(archive("DIPIND.DAT"));
        EXPECT_EQ(bytes.find('\xFC', 2 * 17 * 128), std::string::npos) << "leaves have no filler";
        EXPECT_EQ(Find(KeyOf(1)), 1001);
        EXPECT_EQ(Find(KeyOf(127)), 1127);
        EXPECT_EQ(Find(KeyOf(128)), 1128);
        EXPECT_EQ(Find(KeyOf(count)), 1000 + count);
        EXPECT_EQ(Find("9999999999"), -1);
        files().CHIUDI(kIndex);
    }
}

TEST_F(KeySearch_, KeysCompareAsCodePageBytes) {
    std::vector<IndexBuilder::Entry> e = {{"ROSSI     ", 1}, {"ZANARDI   ", 2}, {"\xC0LBERTI   ", 3}, {"\xDC" "BEL      ", 4}};
    WriteIndex(e);
    Open();
    EXPECT_EQ(Find("ROSSI     "), 1);
    EXPECT_EQ(Find("\xC0LBERTI   "), 3);
    EXPECT_EQ(Find("\xDC" "BEL      "), 4);
    EXPECT_EQ(Find("\xC1         "), -1);
}

TEST_F(KeySearch_, EmptyIndexAnswersMinusOneForEveryKey) {
    WriteIndex({});
    Open();
    EXPECT_EQ(ReadBytes(archive("DIPIND.DAT")).size(), 17u * 128);
    EXPECT_EQ(Find(KeyOf(1)), -1);
    EXPECT_EQ(Find("~~~~~~~~~~"), -1);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(KeySearch_, ReinitialiseWritesTheEmptyIndex) {
    WriteIndex(Entries(300));
    files().values.DITTAOPEN = "12";  // operation 9 leaves the values as they were
    EXPECT_EQ(context->keys().ISAM(kIndex, "", 9, 0), 0);
    EXPECT_EQ(files().values.DITTAOPEN, "12");
    EXPECT_EQ(ReadBytes(archive("DIPIND.DAT")), IndexBuilder(kKeyLength).Build({}));
    EXPECT_EQ(Find(KeyOf(1)), -1);
}

TEST_F(KeySearch_, PreliminaryChecksShowTheirMessages) {
    struct Case {
        std::string key;
        double operation;
        double record;
        const char* message;
    };
    WriteIndex(Entries(10));
    Open();
    const Case cases[] = {
        {"", 2, 0, "ERRORE ISAM - LUNK=0"},
        {"000000001", 2, 0, "ERRORE ISAM - LUNK NO OK"},
        {"00000000010", 2, 0, "ERRORE ISAM - LUNK NO OK"},
        {std::string(10, ' '), 2, 0, "ERRORE ISAM - K=BLANK"},
        {std::string(10, ' '), 4, 0, "ERRORE CODICE ISAM 4"},  // operation 4 takes blank keys
        {KeyOf(1), 5, 0, "ERRORE CODICE ISAM 5"},
        {KeyOf(1), 1, 0, "ERR.ISAM - N.REC.=0"},
        {KeyOf(1), 1, 12, "ERRORE CODICE ISAM 1"},
        {KeyOf(1), 3, 0, "ERRORE CODICE ISAM 3"},
    };
    const std::string before = ReadBytes(archive("DIPIND.DAT"));
    for (const Case& c : cases) {
        messages.clear();
        EXPECT_EQ(context->keys().ISAM(kIndex, c.key, c.operation, c.record), -1) << c.message;
        ASSERT_EQ(messages.shown().size(), 1u) << c.message;
        EXPECT_EQ(messages.shown()[0].text, c.message);
        EXPECT_EQ(messages.shown()[0].title, "KvsPaghe");
        EXPECT_EQ(messages.shown()[0].buttons, platform::Buttons::Ok);
    }
    EXPECT_EQ(ReadBytes(archive("DIPIND.DAT")), before);  // no page changed
}

TEST_F(KeySearch_, EmptyFileIsTheFirstCheck) {
    WriteBytes(archive("DIPIND.DAT"), "");
    Open();
    EXPECT_EQ(context->keys().ISAM(kIndex, "", 2, 0), -1);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "ERRORE ISAM - FILE VUOTO 7");
}

// Overwrites the six-digit number of entry `entry` (1-based) of page `page`.
void PatchNumber(const std::filesystem::path& file, int page, int entry, const std::string& six,
                 char level = 0) {
    std::string bytes = ReadBytes(file);
    const size_t at = static_cast<size_t>(page - 1) * 17 * 128 + static_cast<size_t>(entry - 1) * 17 + 10;
    if (level) bytes[at] = level;
    bytes.replace(at + 1, 6, six);
    WriteBytes(file, bytes);
}

TEST_F(KeySearch_, DamagedChildNumbersAreReportedNotFollowed) {
    struct Case {
        int page;
        std::string number;
        char level;
        const char* report;
    };
    // Entries(20): page 1 root, page 2 the level-2 page, page 3 the one leaf.
    const Case cases[] = {
        {1, "00A002", 0, "Errore 63 Bad record number"},
        {1, "000000", 0, "Errore 63 Bad record number"},
        {1, "000001", 0, "Errore 63 Bad record number"},   // back to the root
        {1, "000099", 0, "Errore 62 Input past end of file"},
        {2, "000002", 0, "Errore 63 Bad record number"},   // back to the same page
        {2, "000001", 0, "Errore 63 Bad record number"},   // the root as a leaf
        {2, "      ", 0, "Errore 63 Bad record number"},
        {1, "000002", '3', "Errore 63 Bad record number"}, // level digit out of place
        {3, "0X0001", 0, "Errore 63 Bad record number"},
    };
    for (const Case& c : cases) {
        WriteIndex(Entries(20));
        PatchNumber(archive("DIPIND.DAT"), c.page, 1, c.number, c.level);
        Open();
        EXPECT_EQ(FailingSearch(KeyOf(1)), c.report) << c.page << " " << c.number;
        files().CHIUDI(kIndex);
    }
}

TEST_F(KeySearch_, MiddlePageWithoutEntriesIsDamaged) {
    IndexBuilder b(kKeyLength);
    std::string file = b.Page(1, {{KeyOf(1), 2}}) + b.Page(2, {}) + b.Page(3, {{KeyOf(1), 5}});
    WriteBytes(archive("DIPIND.DAT"), file);
    Open();
    EXPECT_EQ(FailingSearch(KeyOf(1)), "Errore 63 Bad record number");
}

TEST_F(KeySearch_, PagesWithoutAnyFillerNeverReadPastThePage) {
    IndexBuilder b(kKeyLength);
    std::vector<std::pair<std::string, int32_t>> full;
    for (int i = 1; i <= 128; ++i) full.emplace_back(KeyOf(i), 3);
    std::string leaf;
    for (int i = 1; i <= 128; ++i) leaf += KeyOf(i) + "3" + std::to_string(100000 + i);
    std::string file = b.Page(1, {{KeyOf(1), 2}}) + b.Page(2, {{KeyOf(1), 3}}) + leaf;
    WriteBytes(archive("DIPIND.DAT"), file);
    Open();
    EXPECT_EQ(Find(KeyOf(128)), 100128);
    EXPECT_EQ(Find("9999999999"), -1);
    EXPECT_EQ(Find(KeyOf(1)), 100001);
}

TEST_F(KeySearch_, GarbagePagesNeverCrashOrHang) {
    std::mt19937 random(20240611);
    const char alphabet[] = "0123456789123\xFC AZ";
    for (int round = 0; round < 300; ++round) {
        std::string file(17 * 128 * (1 + random() % 4), ' ');
        for (char& c : file) c = alphabet[random() % (sizeof alphabet - 1)];
        if (round % 3 == 0) file.resize(file.size() - random() % 100);  // a torn last page
        WriteBytes(archive("DIPIND.DAT"), file);
        Open();
        messages.clear();
        char key[16];
        std::snprintf(key, sizeof key, "%010u", static_cast<unsigned>(random()));
        try {
            const double r = Find(key);
            EXPECT_TRUE(r == -1 || (r >= 0 && r <= 999999));
        } catch (const ProgramEnd&) {
            ASSERT_FALSE(messages.shown().empty());
            EXPECT_EQ(messages.shown()[0].text.rfind("Errore 6", 0), 0u) << messages.shown()[0].text;
        }
        files().CHIUDI(kIndex);
    }
}

TEST(IndexBuilder, RefusesUnsortedOrMisfitKeys) {
    IndexBuilder b(4);
    EXPECT_THROW(b.Build({{"BBBB", 1}, {"AAAA", 2}}), std::invalid_argument);
    EXPECT_THROW(b.Build({{"AAAA", 1}, {"AAAA", 2}}), std::invalid_argument);
    EXPECT_THROW(b.Build({{"AAA", 1}}), std::invalid_argument);
    EXPECT_THROW(b.Build({{"AAAA", 0}}), std::invalid_argument);
    EXPECT_THROW(b.Build({{"AAAA", 1000000}}), std::invalid_argument);
    EXPECT_THROW(IndexBuilder(4, 129), std::invalid_argument);
    std::vector<IndexBuilder::Entry> tooMany;
    IndexBuilder small(4, 2);
    for (int i = 0; i < 9; ++i) tooMany.push_back({std::string("K00") + char('0' + i), i + 1});
    EXPECT_THROW(small.Build(tooMany), std::invalid_argument);
}

TEST(IndexBuilder, PageLayout) {
    IndexBuilder b(4);
    const std::string file = b.Build({{"AAAA", 12}, {"BBBB", 7}});
    ASSERT_EQ(file.size(), 3u * 11 * 128);
    EXPECT_EQ(file.substr(0, 22), "AAAA1000002" + std::string(4, '\xFC') + "1000000");
    EXPECT_EQ(file.substr(11 * 128, 11), "AAAA2000003");
    EXPECT_EQ(file.substr(2 * 11 * 128, 22), "AAAA3000012BBBB3000007");
    EXPECT_EQ(file.substr(2 * 11 * 128 + 22, 11), std::string(4, '\xFC') + "3000000");
}

}  // namespace
