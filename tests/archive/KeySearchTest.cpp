// The key search in three-level index files built by IndexBuilder: found and missing keys at every
// edge of the pages, the preliminary checks and their messages, and damaged pages.
#include "ArchiveFixture.h"
#include "archive/IndexBuilder.h"

using namespace kv;

namespace {

// Keys "0000000010", "0000000020", ...: every key has gaps on both sides.
std::string KeyOf(int i, int plus = 0) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%010d", i * 10 + plus);
    return buf;
}

std::vector<IndexBuilder::Entry> Entries(int count) {
    std::vector<IndexBuilder::Entry> e;
    for (int i = 1; i <= count; ++i) e.push_back({KeyOf(i), 1000 + i});
    return e;
}

class KeySearch_ : public kvtest::ArchiveFixture {
protected:
    KeySearch_() { StandardCatalogue(); }
    void Load(const std::string& bytes) { kvtest::WriteFile(archive("DIPIND.DAT"), bytes), files().FAIOPEN(7); }
    // The record number found, or the message shown ("-> result" added), or the first line of the
    // error report that ended the program.
    std::string Answer(const std::string& key, int operation = 2, int64_t record = 0) {
        messages.clear();
        try {
            const int64_t r = context->keys().ISAM(7, key, operation, record);
            return messages.shown().empty() ? std::to_string(r) : messages.shown()[0].text + " -> " + std::to_string(r);
        } catch (const ProgramEnd&) {
            return kvtest::Fields(messages.shown().at(0).text, '\r')[0];
        }
    }
    const IndexBuilder b{10};
};

TEST_F(KeySearch_, EveryKeyIsFoundAndEveryGapIsMissing) {
    for (int perPage : {128, 3, 2}) {
        const int count = perPage == 128 ? 1000 : perPage * perPage * perPage;
        Load(IndexBuilder(10, perPage).Build(Entries(count)));
        for (int i = 1; i <= count; ++i)
            ASSERT_EQ(Answer(KeyOf(i)) + Answer(KeyOf(i, 5)), std::to_string(1000 + i) + "-1") << "per page " << perPage;
    }
    Load(b.Build(Entries(5000)));
    EXPECT_EQ(Answer(KeyOf(4321)), "5321");
    const auto lines = context->trace().Lines();  // three pages read: root, middle, leaf 3 + 4320 / 128
    EXPECT_EQ(lines[6] + "|" + lines[7] + "|" + lines[8] + "|" + lines[9], "ISAM (7-2)|LEGGIREC (7-1)|LEGGIREC (7-2)|LEGGIREC (7-36)");
}

TEST_F(KeySearch_, EdgesChecksAndDamagedPages) {
    std::string leaf;  // a full leaf: 128 entries in use, no code-252 filler
    for (int i = 1; i <= 128; ++i) leaf += KeyOf(i) + "3" + std::to_string(100000 + i);
    const std::string noFiller = b.Page(1, {{KeyOf(1), 2}}) + b.Page(2, {{KeyOf(1), 3}}) + leaf;
    const std::string twenty = b.Build(Entries(20)), full = b.Build(Entries(128)), fuller = b.Build(Entries(128 * 128));
    const std::string cp = b.Build({{"A\xFC        ", 5}, {"ROSSI     ", 1}, {"\xC0LBERTI   ", 3}, {"\xDC"
                                                                                                    "BEL      ",
                                                                                                    4}});
    // Entries(20): page 1 the root, page 2 the middle page, page 3 the one leaf. The child number of
    // a first entry replaced (and its level digit, when given).
    auto damaged = [&](int page, const std::string& six, char level = '0') {
        std::string file = twenty;
        if (level != '0') file[(page - 1) * b.recordLength() + 10] = level;
        return file.replace((page - 1) * b.recordLength() + 11, 6, six);
    };
    const char *k63 = "Errore 63 Bad record number", *vuoto = "ERRORE ISAM - FILE VUOTO 7 -> -1", *lunk = "ERRORE ISAM - LUNK NO OK -> -1";
    const std::string blank(10, ' ');
    const std::tuple<std::string, std::string, int, int64_t, std::string> cases[] = {
        {twenty, KeyOf(1), 2, 0, "1001"}, {twenty, KeyOf(20), 2, 0, "1020"}, {twenty, KeyOf(7, 5), 2, 0, "-1"}, {twenty, "0000000001", 2, 0, "-1"}, {twenty, "9999999999", 2, 0, "-1"},  // below and above every key
        {twenty, "~~~~~~~~~~", 2, 0, "-1"},
        {b.Build({}), KeyOf(1), 2, 0, "-1"},  // the empty index
        {full, KeyOf(127), 2, 0, "1127"},
        {full, KeyOf(128), 2, 0, "1128"},
        {full, "9999999999", 2, 0, "-1"},
        {fuller, KeyOf(1), 2, 0, "1001"},
        {fuller, KeyOf(128 * 128), 2, 0, "17384"},
        {fuller, KeyOf(128 * 128, 5), 2, 0, "-1"},
        {noFiller, KeyOf(1), 2, 0, "100001"},
        {noFiller, KeyOf(128), 2, 0, "100128"},
        {noFiller, "9999999999", 2, 0, "-1"},
        {cp, "A\xFC        ", 2, 0, "5"},
        {cp, "\xC0LBERTI   ", 2, 0, "3"},  // keys compare as unsigned code-page bytes
        {cp,
         "\xDC"
         "BEL      ",
         2, 0, "4"},
        {cp, "\xC1         ", 2, 0, "-1"},
        {"", KeyOf(1), 2, 0, vuoto},
        {"", "", 2, 0, vuoto},
        {twenty, "", 2, 0, "ERRORE ISAM - LUNK=0 -> -1"},
        {twenty, "000000001", 2, 0, lunk},
        {twenty, "00000000010", 2, 0, lunk},
        {twenty, blank, 2, 0, "ERRORE ISAM - K=BLANK -> -1"},
        {twenty, blank, 4, 0, "ERRORE CODICE ISAM 4 -> -1"},
        {twenty, KeyOf(1), 5, 0, "ERRORE CODICE ISAM 5 -> -1"},
        {twenty, KeyOf(1), 1, 0, "ERR.ISAM - N.REC.=0 -> -1"},
        {twenty, KeyOf(1), 1, 12, "ERRORE CODICE ISAM 1 -> -1"},
        {twenty, KeyOf(1), 3, 0, "ERRORE CODICE ISAM 3 -> -1"},
        // Children that are no number, none, the root, past the end, the page itself; a level digit out of place.
        {damaged(1, "00A002"), KeyOf(1), 2, 0, k63},
        {damaged(1, "000000"), KeyOf(1), 2, 0, k63},
        {damaged(1, "000001"), KeyOf(1), 2, 0, k63},
        {damaged(1, "000099"), KeyOf(1), 2, 0, "Errore 62 Input past end of file"},
        {damaged(2, "000002"), KeyOf(1), 2, 0, k63},
        {damaged(2, "000001"), KeyOf(1), 2, 0, k63},
        {damaged(2, "      "), KeyOf(1), 2, 0, k63},
        {damaged(1, "000002", '3'), KeyOf(1), 2, 0, k63},
        {damaged(3, "0X0001"), KeyOf(1), 2, 0, k63},
        {b.Page(1, {{KeyOf(1), 2}}) + b.Page(2, {}) + b.Page(3, {{KeyOf(1), 5}}), KeyOf(1), 2, 0, k63},  // empty middle page
    };
    for (const auto& [file, key, operation, record, expected] : cases) {
        Load(file);
        EXPECT_EQ(Answer(key, operation, record), expected) << key << " " << operation;
        EXPECT_TRUE(kvtest::ReadFile(archive("DIPIND.DAT")) == file) << "searching never writes";
    }
    // Operation 9 writes the empty index and leaves the substitution values as they were.
    files().values.DITTAOPEN = "12";
    EXPECT_EQ(Answer("", 9) + "|" + files().values.DITTAOPEN, "0|12");
    EXPECT_TRUE(kvtest::ReadFile(archive("DIPIND.DAT")) == b.Build({}));
}

TEST(IndexBuilder, PageLayoutAndRefusedInput) {
    EXPECT_EQ(IndexBuilder(4).Build({{"AAAA", 12}}).size(), 3u * IndexBuilder(4).recordLength());
    const std::vector<IndexBuilder::Entry> refused[] = {{{"BBBB", 1}, {"AAAA", 2}}, {{"AAAA", 1}, {"AAAA", 2}}, {{"AAA", 1}}, {{"AAAA", 0}}, {{"AAAA", 1000000}}, {{"\xFC"
                                                                                                                                                                    "AAA",
                                                                                                                                                                    1}}};
    for (const auto& entries : refused) EXPECT_THROW(IndexBuilder(4).Build(entries), std::invalid_argument);
    EXPECT_THROW(IndexBuilder(4, 1).Build({{"AAAA", 1}, {"BBBB", 2}}), std::invalid_argument);  // more than 1^3 keys
    EXPECT_THROW(IndexBuilder(4, 129), std::invalid_argument);
}

}  // namespace
