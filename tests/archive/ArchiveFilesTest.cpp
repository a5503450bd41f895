// Archive slots: path resolution with placeholders, opening, record input and output, the end-of-file
// answer, run-time errors with their trace, existence and deletion, sequential files and the
// program's end.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "ArchiveFixture.h"

using namespace kv;
using kvtest::ArchiveFixture;
using kvtest::ReadBytes;
using kvtest::WriteBytes;
using platform::Icon;

namespace {

class ArchiveFiles_ : public ArchiveFixture {
protected:
    ArchiveFiles_() { StandardCatalogue(); }

    // Runs body, which must end the program; returns the exit code.
    template <typename F>
    int ExpectEnd(F&& body) {
        try {
            body();
        } catch (const ProgramEnd& end) {
            return end.exitCode;
        }
        ADD_FAILURE() << "the program did not end";
        return -1;
    }

    // The error report's lines (split at CR).
    std::vector<std::string> ReportLines() const {
        std::vector<std::string> lines;
        if (messages.shown().empty()) return lines;
        std::string text = messages.shown().front().text;
        size_t start = 0;
        for (size_t p; (p = text.find('\r', start)) != std::string::npos; start = p + 1)
            lines.push_back(text.substr(start, p - start));
        return lines;
    }
};

TEST_F(ArchiveFiles_, CompanyAndYearPlaceholdersAreFilledAndCleared) {
    files().values.DITTAOPEN = "12";
    files().values.year = "2005";
    int16_t add = -1;
    EXPECT_EQ(files().DAMMIFILE(2, add), "C:\\KVS\\ARCHIVI\\D012A05.DAT");
    EXPECT_EQ(add, -1);
    EXPECT_EQ(files().values.DITTAOPEN, "");
    EXPECT_EQ(files().values.year, "");
    EXPECT_EQ(files().currentRecordLength(), 10);

    files().values.DITTAOPEN = "7";
    files().values.year = "2000";  // "00" is a valid year: the check looks at the year as set
    EXPECT_EQ(files().DAMMIFILE(2), "C:\\KVS\\ARCHIVI\\D007A00.DAT");

    files().values.DITTAOPEN = "1234";
    files().values.year = "99";
    int16_t noFolder = 0;
    EXPECT_EQ(files().DAMMIFILE(2, noFolder), "D234A99.DAT");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(ArchiveFiles_, RegionProvinceAndTerminalPlaceholders) {
    context->settings().terminalNumber = "3";
    files().values.region = "5";
    files().values.province = "MI";
    EXPECT_EQ(files().DAMMIFILE(4), "C:\\KVS\\ARCHIVI\\R05PMI.DAT");
    EXPECT_EQ(files().values.region, "");
    EXPECT_EQ(files().values.province, "");
    EXPECT_EQ(files().DAMMIFILE(5), "C:\\KVS\\ARCHIVI\\T3.DAT");
    EXPECT_EQ(context->settings().terminalNumber, "3");  // never cleared
}

TEST_F(ArchiveFiles_, UnitPrefixDriveOrShare) {
    files().values.unitPrefix = "B";
    int16_t add = -1;
    EXPECT_EQ(files().DAMMIFILE(3, add), "B:\\BACKUP\\X.DAT");
    EXPECT_EQ(add, 0);
    EXPECT_EQ(files().values.unitPrefix, "");

    files().values.unitPrefix = "\\\\SERVER\\SALVA";
    add = -1;
    EXPECT_EQ(files().DAMMIFILE(3, add), "\\\\SERVER\\SALVA\\BACKUP\\X.DAT");
    EXPECT_EQ(add, 0);
}

TEST_F(ArchiveFiles_, NumberZeroOrNegativeResolvesToNothing) {
    EXPECT_EQ(files().DAMMIFILE(0), "");
    EXPECT_EQ(files().DAMMIFILE(-3), "");
    EXPECT_EQ(files().FAIOPEN(0), 0);
    EXPECT_EQ(files().FAIOPEN(-1), 0);
    EXPECT_EQ(files().VERBASE(0), 0);
    EXPECT_FALSE(files().IsOpen(0));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(ArchiveFiles_, SecondOpenWithoutCompanyEndsTheProgramWithTheMessage) {
    files().values.DITTAOPEN = "12";
    files().values.year = "2005";
    EXPECT_EQ(files().FAIOPEN(2), 10);
    EXPECT_TRUE(std::filesystem::exists(archive("D012A05.DAT")));  // created empty by the open
    EXPECT_EQ(std::filesystem::file_size(archive("D012A05.DAT")), 0u);

    files().values.year = "2005";
    EXPECT_EQ(ExpectEnd([&] { files().FAIOPEN(2); }), 1);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(FirstMessage().text, "ERRORE OPEN FILE - MANCA DITTAOPEN 2");
    EXPECT_EQ(FirstMessage().title, "KvsPaghe");
    EXPECT_EQ(FirstMessage().icon, Icon::Critical);
}

TEST_F(ArchiveFiles_, EveryMissingValueHasItsMessage) {
    struct Case {
        double number;
        SubstitutionValues values;
        const char* message;
    };
    const Case cases[] = {
        {2, {"0", "2005", "", "", ""}, "ERRORE OPEN FILE - MANCA DITTAOPEN 2"},
        {2, {"ABC", "2005", "", "", ""}, "ERRORE OPEN FILE - MANCA DITTAOPEN 2"},
        {2, {"12", "", "", "", ""}, "ERRORE OPEN - MANCA ANNO - 2"},
        {2, {"12", "-1", "", "", ""}, "ERRORE OPEN - MANCA ANNO - 2"},
        {4, {"", "", "", "MI", ""}, "ERRORE OPEN - MANCA REGIONE - 4"},
        {4, {"", "", "3", "M", ""}, "ERRORE OPEN - MANCA PROVINCIA - 4"},
        {4, {"", "", "3", "MIL", ""}, "ERRORE OPEN - MANCA PROVINCIA - 4"},
    };
    for (const Case& c : cases) {
        messages.clear();
        files().values = c.values;
        EXPECT_EQ(ExpectEnd([&] { files().DAMMIFILE(c.number); }), 1) << c.message;
        ASSERT_EQ(messages.shown().size(), 1u) << c.message;
        EXPECT_EQ(FirstMessage().text, c.message);
    }
}

TEST_F(ArchiveFiles_, EndOfFileAnswerOnEmptyLastAndShortRecords) {
    EXPECT_EQ(files().FAIOPEN(6), 30);
    EXPECT_EQ(files().buffer(6), std::string(30, ' '));
    EXPECT_EQ(files().LEGGIREC(6, 1), 1);  // empty file
    files().CHIUDI(6);

    std::string content = std::string(30, 'A') + std::string(30, 'B') + "CCCCC";  // short third record
    WriteBytes(archive("TESTATA.DAT"), content);
    files().FAIOPEN(6);
    EXPECT_EQ(files().LEGGIREC(6, 2), 0);
    EXPECT_EQ(files().buffer(6), std::string(30, 'B'));
    EXPECT_EQ(files().slot(6).lastRecord, 2);
    EXPECT_EQ(files().LEGGIREC(6, 1), 0);
    EXPECT_EQ(files().buffer(6), std::string(30, 'A'));
    EXPECT_EQ(files().LEGGIREC(6, 3), 1);
    EXPECT_EQ(files().buffer(6), "CCCCC" + std::string(25, ' '));  // what could be read, then blanks
    EXPECT_EQ(files().LEGGIREC(6, 4), 1);
    EXPECT_EQ(files().buffer(6), std::string(30, ' '));
    EXPECT_EQ(files().buffer(6).size(), 30u);
    EXPECT_EQ(files().LEGGIREC(6, 1), 0);  // still usable afterwards
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(ArchiveFiles_, RecordsKeepCodePageBytes) {
    std::string record = "\xE0\xE8\xFC\x80 CAFF\xC8";
    record.resize(30, ' ');
    WriteBytes(archive("TESTATA.DAT"), record);
    files().FAIOPEN(6);
    EXPECT_EQ(files().LEGGIREC(6, 1), 0);
    EXPECT_EQ(files().buffer(6), record);
}

TEST_F(ArchiveFiles_, BadRecordLengthIsReportedWithTheReadTrace) {
    files().values.DITTAOPEN = "12";
    files().values.year = "2005";
    files().FAIOPEN(2);
    files().buffer(2) = "SHORT";  // the caller broke the buffer
    EXPECT_EQ(ExpectEnd([&] { files().LEGGIREC(2, 7); }), 1);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(FirstMessage().title, "KvsPaghe KVTESO");
    auto lines = ReportLines();
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "Errore 59 Bad record length");
    EXPECT_EQ(lines[10], "LEGGIREC (2-7)");
    EXPECT_EQ(lines[9], "DAMMIFILE$ (2)");
    EXPECT_EQ(lines[8], "FAIOPEN");
    EXPECT_EQ(messages.shown()[1].text, "CHIUDERE TUTTE LE APPLICAZIONI DELLA TASK\rLANCIARE RIPRISTINO TASK");
}

TEST_F(ArchiveFiles_, WriteWithTextOfWrongLengthIsError59) {
    files().FAIOPEN(6);
    EXPECT_EQ(ExpectEnd([&] { files().SCRIVIREC(6, 1, "TOO SHORT"); }), 1);
    auto lines = ReportLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Errore 59 Bad record length");
    EXPECT_EQ(lines.back(), "SCRIVIREC (6-1)");
}

TEST_F(ArchiveFiles_, ArchiveNumberOutOfRangeIsError9) {
    EXPECT_EQ(ExpectEnd([&] { files().LEGGIREC(601, 1); }), 1);
    auto lines = ReportLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Errore 9 Subscript out of range");
    EXPECT_EQ(lines.back(), "LEGGIREC (601-1)");

    messages.clear();
    EXPECT_EQ(ExpectEnd([&] { files().FAIOPEN(1000); }), 1);
    EXPECT_EQ(ReportLines()[0], "Errore 9 Subscript out of range");
}

TEST_F(ArchiveFiles_, RecordNumbersZeroNegativeOrFractionalAreError63) {
    WriteBytes(archive("TESTATA.DAT"), std::string(90, 'X'));
    files().FAIOPEN(6);
    for (double bad : {0.0, -1.0, 1.5, 1e12}) {
        messages.clear();
        EXPECT_EQ(ExpectEnd([&] { files().LEGGIREC(6, bad); }), 1) << bad;
        auto lines = ReportLines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "Errore 63 Bad record number");
    }
    EXPECT_EQ(ReportLines().back(), "LEGGIREC (6-1000000000000)");
}

TEST_F(ArchiveFiles_, ReadingAClosedSlotIsError52) {
    files().slot(6).buffer = "X";
    files().slot(6).recordLength = 1;
    EXPECT_EQ(ExpectEnd([&] { files().LEGGIREC(6, 1); }), 1);
    EXPECT_EQ(ReportLines()[0], "Errore 52 Bad file name or number");
}

// A slot that was never opened has an empty buffer and record length 0: they agree, so the record
// length check passes and it is the access to the unopened file that fails.
TEST_F(ArchiveFiles_, NeverOpenedSlotIsError52NotARecordLengthError) {
    EXPECT_EQ(ExpectEnd([&] { files().LEGGIREC(6, 1); }), 1);
    EXPECT_EQ(ReportLines()[0], "Errore 52 Bad file name or number");
    EXPECT_EQ(ReportLines().back(), "LEGGIREC (6-1)");

    messages.clear();
    EXPECT_EQ(ExpectEnd([&] { files().SCRIVIREC(7, 2, ""); }), 1);
    EXPECT_EQ(ReportLines()[0], "Errore 52 Bad file name or number");
    EXPECT_EQ(ReportLines().back(), "SCRIVIREC (7-2)");

    messages.clear();  // a text of a length other than 0 is still a record length error
    EXPECT_EQ(ExpectEnd([&] { files().SCRIVIREC(7, 2, "X"); }), 1);
    EXPECT_EQ(ReportLines()[0], "Errore 59 Bad record length");
}

TEST_F(ArchiveFiles_, TruncatedCatalogueIsReported) {
    WriteCatalogue({{1, {"DITTE.DAT", 20}}, {2, {"D###A**.DAT", 10}}});
    EXPECT_EQ(ExpectEnd([&] { files().FAIOPEN(395); }), 1);
    auto lines = ReportLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Errore 62 Input past end of file");
    EXPECT_EQ(lines[10], "DAMMIFILE$ (395)");
    EXPECT_EQ(lines[9], "FAIOPEN");
    EXPECT_FALSE(files().IsOpen(395));
}

TEST_F(ArchiveFiles_, MissingCatalogueIsFileNotFound) {
    std::filesystem::remove(archive("SLBASE.DAT"));
    EXPECT_EQ(ExpectEnd([&] { files().FAIOPEN(1); }), 1);
    EXPECT_EQ(ReportLines()[0], "Errore 53 File not found");
}

TEST_F(ArchiveFiles_, MissingArchiveFolderIsPathNotFound) {
    context->settings().archiveFolder = "C:\\NOWHERE";
    EXPECT_EQ(ExpectEnd([&] { files().FAIOPEN(1); }), 1);
    EXPECT_EQ(ReportLines()[0], "Errore 76 Path not found");
}

TEST_F(ArchiveFiles_, WriteThenReadBackAtTheRecordPosition) {
    files().FAIOPEN(6);
    std::string r2(30, '2');
    files().SCRIVIREC(6, 2, r2);
    files().buffer(6) = std::string(30, '3');
    files().SCRIVIREC(6, 3, "");
    std::string bytes = ReadBytes(archive("TESTATA.DAT"));
    ASSERT_EQ(bytes.size(), 90u);
    EXPECT_EQ(bytes.substr(30, 30), r2);
    EXPECT_EQ(bytes.substr(60), std::string(30, '3'));
    EXPECT_EQ(files().LEGGIREC(6, 2), 0);
    EXPECT_EQ(files().buffer(6), r2);
}

TEST_F(ArchiveFiles_, SlotsGetDistinctFileNumbersAndCloseAllClearsThem) {
    files().FAIOPEN(1);
    files().FAIOPEN(6);
    files().FAIOPEN(395);
    EXPECT_NE(files().slot(1).fileNumber, 0);
    EXPECT_NE(files().slot(1).fileNumber, files().slot(6).fileNumber);
    EXPECT_NE(files().slot(6).fileNumber, files().slot(395).fileNumber);
    const int16_t six = files().slot(6).fileNumber;
    files().FAIOPEN(6);  // reopening keeps one number for the slot
    EXPECT_NE(files().slot(6).fileNumber, files().slot(1).fileNumber);
    EXPECT_EQ(files().slot(6).fileNumber, six);
    files().CHIUDI(6);
    EXPECT_EQ(files().slot(6).fileNumber, 0);
    EXPECT_FALSE(files().IsOpen(6));
    files().CHIUDI(0);
    EXPECT_EQ(files().slot(1).fileNumber, 0);
    EXPECT_EQ(files().slot(395).fileNumber, 0);
    EXPECT_FALSE(files().IsOpen(1));
}

TEST_F(ArchiveFiles_, VerbaseEliminaAndReset) {
    EXPECT_EQ(files().VERBASE(6), 0);  // missing
    WriteBytes(archive("TESTATA.DAT"), "");
    EXPECT_EQ(files().VERBASE(6), 0);  // empty
    files().ELIMINA(6);
    EXPECT_TRUE(std::filesystem::exists(archive("TESTATA.DAT")));  // an empty file stays
    WriteBytes(archive("TESTATA.DAT"), std::string(60, 'Z'));
    EXPECT_EQ(files().VERBASE(6), 1);
    files().FAIOPEN(6);
    files().ELIMINA(6);
    EXPECT_FALSE(std::filesystem::exists(archive("TESTATA.DAT")));
    EXPECT_FALSE(files().IsOpen(6));

    // Names with placeholders: ELIMINA and AZZERAARCHIVIO restore the values between their two
    // resolutions.
    WriteBytes(archive("D012A05.DAT"), std::string(20, 'Q'));
    files().values.DITTAOPEN = "12";
    files().values.year = "2005";
    files().AZZERAARCHIVIO(2);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(files().IsOpen(2));
    EXPECT_EQ(std::filesystem::file_size(archive("D012A05.DAT")), 0u);
    EXPECT_EQ(files().LEGGIREC(2, 1), 1);
}

TEST_F(ArchiveFiles_, ExistenceTest) {
    EXPECT_FALSE(files().ESISTEFILE("C:\\KVS\\ARCHIVI\\NONE.DAT"));
    EXPECT_FALSE(files().ESISTEFILE("C:\\KVS\\ARCHIVI"));  // a folder is not a file
    EXPECT_FALSE(files().ESISTEFILE(""));
    EXPECT_TRUE(files().ESISTEFILE("C:\\KVS\\ARCHIVI\\SLBASE.DAT"));
}

TEST_F(ArchiveFiles_, SequentialInputAndOutput) {
    context->settings().terminalNumber = "07";
    WriteBytes(archive("STAMP07.TXT"), "HP LaserJet\r\nKyocera FS-1370\nlast");
    ASSERT_EQ(files().VERBASE(280), 1);
    files().FAIOPENIO(280, 0);
    EXPECT_FALSE(files().EndOfFile(280));
    EXPECT_EQ(files().LineInput(280), "HP LaserJet");
    EXPECT_EQ(files().LineInput(280), "Kyocera FS-1370");
    EXPECT_FALSE(files().EndOfFile(280));
    EXPECT_EQ(files().LineInput(280), "last");
    EXPECT_TRUE(files().EndOfFile(280));
    EXPECT_EQ(ExpectEnd([&] { files().LineInput(280); }), 1);
    EXPECT_EQ(ReportLines()[0], "Errore 62 Input past end of file");
    files().CHIUDI(280);

    messages.clear();
    files().FAIOPENIO(280, 1);  // replaces the file
    files().PrintLine(280, "PDF");
    files().CHIUDI(280);
    EXPECT_EQ(ReadBytes(archive("STAMP07.TXT")), "PDF\r\n");
}

TEST_F(ArchiveFiles_, ProgramEndWritesTheTaskLineAndClosesEverything) {
    context->settings().terminalNumber = "3";
    context->settings().taskLine = " 3 USER=ROSSI PROG=KVTESO";
    const auto taskFile = tmp.path() / "C" / "KVSTASK" / "KVSTASK.INI";
    WriteBytes(taskFile, " 3 USER=ROSSI PROG=KVTESO\r\nsecond line\r\n");
    files().FAIOPEN(1);
    EXPECT_EQ(ExpectEnd([&] { files().FINEPROGRAMMA(); }), 0);
    const std::string written = ReadBytes(taskFile);
    ASSERT_EQ(written.size(), 102u);
    EXPECT_EQ(written, "3" + std::string(99, ' ') + "\r\n");
    EXPECT_EQ(context->settings().taskLine, "3" + std::string(99, ' '));
    EXPECT_FALSE(files().IsOpen(1));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(ArchiveFiles_, ProgramEndWithoutTaskFileCreatesNothing) {
    EXPECT_EQ(ExpectEnd([&] { files().FINEPROGRAMMA(); }), 0);
    EXPECT_FALSE(std::filesystem::exists(tmp.path() / "C" / "KVSTASK"));
    context->settings().programName = "STPAGHE";  // other programs hand the line back elsewhere
    EXPECT_EQ(context->settings().TaskFile(), "C:\\RARADADE\\SLCOMUNE.SLP");
}

TEST_F(ArchiveFiles_, ReadingNeverChangesAnArchiveByte) {
    std::string content;
    for (int i = 0; i < 37; ++i) content += std::string(30, static_cast<char>('A' + i % 26));
    content += "\xFC\xFC tail";
    WriteBytes(archive("TESTATA.DAT"), content);
    struct stat before {};
    ASSERT_EQ(::stat(archive("TESTATA.DAT").c_str(), &before), 0);
    files().FAIOPEN(6);
    for (int r = 1; r <= 40; ++r) files().LEGGIREC(6, r);
    EXPECT_EQ(files().VERBASE(6), 1);
    files().CHIUDI(6);
    files().FAIOPEN(6);
    files().CHIUDI(0);
    struct stat after {};
    ASSERT_EQ(::stat(archive("TESTATA.DAT").c_str(), &after), 0);
    EXPECT_EQ(ReadBytes(archive("TESTATA.DAT")), content);
    EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
}

TEST_F(ArchiveFiles_, ReadOnlyArchiveIsStillReadable) {
    WriteBytes(archive("TESTATA.DAT"), std::string(30, 'R'));
    std::filesystem::permissions(archive("TESTATA.DAT"), std::filesystem::perms::owner_read,
                                 std::filesystem::perm_options::replace);
    files().FAIOPEN(6);
    EXPECT_EQ(files().LEGGIREC(6, 1), 0);
    EXPECT_EQ(files().buffer(6), std::string(30, 'R'));
}

}  // namespace
