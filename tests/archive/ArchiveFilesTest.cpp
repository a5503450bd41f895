// Archive slots: names with placeholders, records read and written at their place, the end-of-file
// answer, the run-time errors with their trace, sequential files, the program's end and the suite's
// semaphore (slot 16) against a second process.
#include <chrono>

#include "ArchiveFixture.h"

using namespace kv;
using kvtest::ReadFile;
using kvtest::WriteFile;
using F = ArchiveFiles&;

namespace {

class ArchiveFiles_ : public kvtest::ArchiveFixture {
protected:
    ArchiveFiles_() { StandardCatalogue(); }
    ArchiveFiles& f = files();
};

// Company, year, region, province, unit prefix.
SubstitutionValues Values(std::string c, std::string y, std::string r = "", std::string p = "", std::string u = "") {
    return {std::move(c), std::move(y), std::move(r), std::move(p), std::move(u)};
}

TEST_F(ArchiveFiles_, NamesFillTheirPlaceholdersAndClearTheValuesUsed) {
    const std::tuple<int, SubstitutionValues, int16_t, int16_t, const char*> cases[] = {
        {2, Values("12", "2005"), -1, -1, "C:\\KVS\\ARCHIVI\\D012A05.DAT"}, {5, {}, -1, -1, "C:\\KVS\\ARCHIVI\\T3.DAT"}, {2, Values("7", "2000"), -1, -1, "C:\\KVS\\ARCHIVI\\D007A00.DAT"},  // the year is checked as set
        {2, Values("1234", "99"), 0, 0, "D234A99.DAT"},
        {4, Values("", "", "5", "MI"), -1, -1, "C:\\KVS\\ARCHIVI\\R05PMI.DAT"},
        {3, Values("", "", "", "", "B"), -1, 0, "B:\\BACKUP\\X.DAT"},
        {0, {}, -1, -1, ""},
        {-3, {}, -1, -1, ""},
        {3, Values("", "", "", "", "\\\\SERVER\\SALVA"), -1, 0, "\\\\SERVER\\SALVA\\BACKUP\\X.DAT"}};
    context->settings().terminalNumber = "3";
    for (const auto& [number, values, addIn, addOut, path] : cases) {
        f.values = values;
        int16_t add = addIn;
        EXPECT_EQ(f.DAMMIFILE(number, add), path);
        const SubstitutionValues& v = f.values;  // the values used are cleared
        const std::string used = number == 2 ? v.DITTAOPEN + v.year : number == 4 ? v.region + v.province
                                                                                  : v.unitPrefix;
        EXPECT_TRUE(used.empty() && add == addOut) << path;
    }
    EXPECT_EQ(f.DAMMIFILE(1), "C:\\KVS\\ARCHIVI\\DITTE.DAT");
    EXPECT_EQ(f.currentRecordLength() * 10 + (context->settings().terminalNumber == "3"), 201);  // never cleared
    EXPECT_EQ(f.FAIOPEN(0) + f.FAIOPEN(-1) + f.VERBASE(0) + f.IsOpen(0) + messages.shown().size(), 0);
}

// Each action ends the program: a missing substitution value with its own message (no trace), a
// run-time error with the error report, whose last line is the routine traced last.
TEST_F(ArchiveFiles_, ErrorsEndTheProgramWithTheirMessage) {
    auto name = [](SubstitutionValues v, int n) { return [=](F f) { f.values = v, f.DAMMIFILE(n); }; };
    const char *k9 = "Errore 9 Subscript out of range", *k52 = "Errore 52 Bad file name or number", *k59 = "Errore 59 Bad record length",
               *k63 = "Errore 63 Bad record number", *company = "ERRORE OPEN FILE - MANCA DITTAOPEN 2",
               *year = "ERRORE OPEN - MANCA ANNO - 2", *province = "ERRORE OPEN - MANCA PROVINCIA - 4";
    const std::tuple<std::function<void(F)>, const char*, const char*> cases[] = {
        {[](F f) { f.values = Values("12", "2005"), f.FAIOPEN(2), f.values.year = "2005", f.FAIOPEN(2); }, company, nullptr},
        {name(Values("0", "2005"), 2), company, nullptr},
        {name(Values("ABC", "2005"), 2), company, nullptr},
        {name(Values("12", ""), 2), year, nullptr},
        {name(Values("12", "-1"), 2), year, nullptr},
        {name(Values("", "", "", "MI"), 4), "ERRORE OPEN - MANCA REGIONE - 4", nullptr},
        {name(Values("", "", "3", "M"), 4), province, nullptr},
        {name(Values("", "", "3", "MIL"), 4), province, nullptr},
        {[](F f) { f.LEGGIREC(601, 1); }, k9, "LEGGIREC (601-1)"},
        {[](F f) { f.FAIOPEN(1000); }, k9, "FAIOPEN"},
        {[](F f) { f.DAMMIFILE(100000); }, k9, "DAMMIFILE$ (100000)"},
        {[](F f) { f.FAIOPENIO(280, 0); }, "Errore 53 File not found", "FAIOPENIO"},
        // A slot never opened has an empty buffer and length 0: they agree, so the missing file is the error.
        {[](F f) { f.LEGGIREC(6, 1); }, k52, "LEGGIREC (6-1)"},
        {[](F f) { f.SCRIVIREC(7, 2, ""); }, k52, "SCRIVIREC (7-2)"},
        {[](F f) { f.SCRIVIREC(7, 2, "X"); }, k59, "SCRIVIREC (7-2)"},
        {[](F f) { f.FAIOPEN(6), f.LEGGIREC(6, 0); }, k63, "LEGGIREC (6-0)"},
        {[](F f) { f.slot(6).buffer = "X", f.slot(6).recordLength = 1, f.LEGGIREC(6, 1); }, k52, "LEGGIREC (6-1)"},
        {[](F f) { f.FAIOPEN(6), f.SCRIVIREC(6, 1, "TOO SHORT"); }, k59, "SCRIVIREC (6-1)"},
        {[](F f) { f.FAIOPEN(280), f.LEGGIREC(280, 1); }, k59, "LEGGIREC (280-1)"},  // record length 0
        {[](F f) { f.FAIOPEN(6), f.LEGGIREC(6, -1); }, k63, "LEGGIREC (6--1)"},
        {[](F f) { f.EndOfFile(5); }, k52, "EOF"},
        {[](F f) { f.FAIOPEN(6), f.LEGGIREC(6, kv::ArchiveFiles::RecordValue{1.5}); }, k63, "LEGGIREC (6-1.5)"},
        {[](F f) { f.FAIOPEN(6), f.SCRIVIREC(6, int64_t{1000000000000}, ""); }, k63, "SCRIVIREC (6-1000000000000)"},
        {[](F f) { f.FAIOPENIO(280, 1), f.LEGGIREC(280, 1); }, k52, "LEGGIREC (280-1)"},
        {[](F f) { f.FAIOPENIO(280, 1), f.LineInput(280); }, k52, "LINE INPUT"},
        {[](F f) { f.FAIOPENIO(280, 1), f.SCRIVIREC(280, 1, ""); }, k52, "SCRIVIREC (280-1)"},
        {[](F f) { f.FAIOPEN(6), f.PrintLine(6, "X"); }, k52, "PRINT"},
        {[this](F f) { WriteCatalogue({{6, {"..\\..\\..\\tmp\\E4.DAT", 30}}}), f.FAIOPEN(6); },
         "Errore 75 Path/File access error - C:\\KVS\\ARCHIVI\\..\\..\\..\\tmp\\E4.DAT is outside the installation", "FAIOPEN"},
        {[this](F f) { WriteCatalogue({{6, {"/tmp/E4.DAT", 30}}}), f.FAIOPEN(6); },
         "Errore 75 Path/File access error - /tmp/E4.DAT is outside the installation", "DAMMIFILE$ (6)"},
    };
    context->settings().terminalNumber = "07";
    for (const auto& [action, first, last] : cases) {
        auto lines = EndLines([&] { action(f); });
        if (lines.back().rfind("Ultima lettura: ", 0) == 0) lines.pop_back();  // the record read, after the trace
        EXPECT_EQ(lines.at(0) + "|" + lines.at(lines.size() - 1), std::string(first) + "|" + (last ? last : first));
        EXPECT_EQ(lines.size() * 10 + messages.shown().size(), last ? 112u : 11u) << first;  // report and its follow-up
        f.CHIUDI(0);
    }
}

TEST_F(ArchiveFiles_, ReportOfADamagedBufferAndOfABrokenCatalogue) {
    f.values = Values("12", "2005");
    f.FAIOPEN(2);
    f.buffer(2) = "SHORT";  // the caller broke the buffer
    EndLines([&] { f.LEGGIREC(2, 7); });
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].title + "|" + messages.shown()[0].text + "|" + messages.shown()[1].text,
              "KvsPaghe KVTESO|Errore 59 Bad record length\r\r\r\r\r\r\r\rFAIOPEN\rDAMMIFILE$ (2)\rLEGGIREC (2-7)\r"
              "Ultima lettura: C:\\KVS\\ARCHIVI\\D012A05.DAT, record 7\r|"
              "CHIUDERE TUTTE LE APPLICAZIONI DELLA TASK\rLANCIARE RIPRISTINO TASK");
    auto folder = [&](const char* name) {  // a folder where the file should be
        return [=, this] { std::filesystem::remove(archive(name)), std::filesystem::create_directory(archive(name)); };
    };
    const std::tuple<std::function<void()>, const char*> cases[] = {
        {[&] { WriteCatalogue({{1, {"DITTE.DAT", 20}}}, 394); }, "Errore 62 Input past end of file|FAIOPEN|DAMMIFILE$ (395)"},
        {[&] { std::filesystem::remove(archive("SLBASE.DAT")); }, "Errore 53 File not found|FAIOPEN|DAMMIFILE$ (395)"},
        {folder("SLBASE.DAT"), "Errore 75 Path/File access error|FAIOPEN|DAMMIFILE$ (395)"},
        {[&] { context->settings().archiveFolder = "C:\\NOWHERE"; }, "Errore 76 Path not found|FAIOPEN|DAMMIFILE$ (395)"},
        {folder("INSTALL.DAT"), "Errore 75 Path/File access error|DAMMIFILE$ (395)|FAIOPEN"}};
    f.errors().NoteRead({});
    for (const auto& [damage, report] : cases) {
        damage();
        const auto lines = EndLines([&] { f.FAIOPEN(395); });
        ASSERT_EQ(lines.size(), 11u) << report;
        EXPECT_EQ(lines[0] + "|" + lines[9] + "|" + lines[10] + (f.IsOpen(395) ? " open" : ""), report);
        std::filesystem::remove_all(archive("SLBASE.DAT"));
        StandardCatalogue();
        context->settings().archiveFolder = "C:\\KVS\\ARCHIVI";
    }
}

TEST_F(ArchiveFiles_, RecordsAtTheirPlaceSlotsAndDeletion) {
    EXPECT_EQ(f.FAIOPEN(6), 30);  // a missing file reads as empty and is not created
    EXPECT_EQ(f.LEGGIREC(6, 1) + std::filesystem::exists(archive("TESTATA.DAT")), 1);
    WriteFile(archive("TESTATA.DAT"), "");
    EXPECT_EQ(f.VERBASE(6) * 10 + f.buffer(6).size(), 30);  // an empty file does not count
    f.ELIMINA(6);
    EXPECT_TRUE(std::filesystem::exists(archive("TESTATA.DAT")));  // and stays
    const std::string first = "\xE0\xE8\xFC\x80 CAFF\xC8" + std::string(20, 'A');  // code-page bytes kept
    const std::string content = first + std::string(30, 'B') + "CCCCC";  // a short third record
    WriteFile(archive("TESTATA.DAT"), content);
    const long openFiles = kvtest::OpenFileCount();
    f.FAIOPEN(6);
    const std::pair<int64_t, std::string> reads[] = {
        {2, std::string(30, 'B')}, {1, first}, {3, "CCCCC" + std::string(25, ' ')}, {4, std::string(30, ' ')}, {1, first}};
    for (const auto& [record, text] : reads) {
        EXPECT_EQ(f.LEGGIREC(6, record), record >= 3 ? 1 : 0) << record;
        EXPECT_EQ(f.buffer(6) + "|" + std::to_string(f.slot(6).lastRecord), text + "|" + std::to_string(record));
    }
    EXPECT_TRUE(f.VERBASE(6) == 1 && f.ESISTEFILE("C:\\KVS\\ARCHIVI\\TESTATA.DAT"));
    f.CHIUDI(0);
    EXPECT_EQ(kvtest::OpenFileCount(), openFiles);
    EXPECT_EQ(ReadFile(archive("TESTATA.DAT")), content);  // reading never changes a byte
    f.FAIOPEN(6), f.SCRIVIREC(6, 2, std::string(30, '2'));
    f.buffer(6) = std::string(30, '3');
    f.SCRIVIREC(6, 4, "");
    EXPECT_EQ(ReadFile(archive("TESTATA.DAT")), first + std::string(30, '2') + "CCCCC" + std::string(25, '\0') + std::string(30, '3'));
    EXPECT_EQ(f.LEGGIREC(6, 2) + f.buffer(6).find_first_not_of('2'), std::string::npos);

    f.FAIOPEN(1), f.FAIOPEN(395), f.FAIOPEN(6);  // reopening keeps one number for the slot
    const int16_t one = f.slot(1).fileNumber, six = f.slot(6).fileNumber, last = f.slot(395).fileNumber;
    EXPECT_TRUE(one > 0 && six > 0 && last > 0 && one != six && six != last && one != last);
    f.CHIUDI(6);
    EXPECT_TRUE(f.slot(6).fileNumber == 0 && !f.IsOpen(6) && f.IsOpen(1));
    f.ELIMINA(6), f.CHIUDI(0);
    EXPECT_EQ(std::filesystem::exists(archive("TESTATA.DAT")) + f.VERBASE(6), 0);
    EXPECT_TRUE(f.slot(1).fileNumber == 0 && f.slot(395).fileNumber == 0 && !f.IsOpen(1) && !f.IsOpen(395));
    // ELIMINA and AZZERAARCHIVIO give the values back between their two resolutions of the name.
    WriteFile(archive("D012A05.DAT"), std::string(20, 'Q'));
    f.values = Values("12", "2005");
    f.AZZERAARCHIVIO(2);
    EXPECT_EQ(f.IsOpen(2) + f.LEGGIREC(2, 1) + std::filesystem::exists(archive("D012A05.DAT")), 2);  // emptied: gone until written
    for (const char* missing : {"C:\\KVS\\ARCHIVI\\NONE.DAT", "C:\\KVS\\ARCHIVI", ""})  // a folder is no file
        EXPECT_FALSE(f.ESISTEFILE(missing)) << missing;
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(ArchiveFiles_, SequentialFilesAndTheProgramsEnd) {
    context->settings().terminalNumber = "07";
    WriteFile(archive("STAMP07.TXT"), "HP LaserJet\r\nKyocera FS-1370\n\rlast");
    f.FAIOPENIO(280, 0);
    for (const char* line : {"HP LaserJet", "Kyocera FS-1370", "", "last"}) {
        EXPECT_FALSE(f.EndOfFile(280));
        EXPECT_EQ(f.LineInput(280), line);
    }
    EXPECT_TRUE(f.EndOfFile(280));
    EXPECT_EQ(EndLines([&] { f.LineInput(280); }).at(0), "Errore 62 Input past end of file");
    f.FAIOPENIO(280, 1);  // replaces the file
    f.PrintLine(280, "PDF"), f.PrintLine(280, "2"), f.CHIUDI(280);
    EXPECT_EQ(ReadFile(archive("STAMP07.TXT")), "PDF\r\n2\r\n");
    // The task line goes back as the terminal number in 100 characters and CR LF.
    const auto taskFile = tmp.path / "C/KVSTASK/KVSTASK.INI";
    WriteFile(taskFile, " 7 USER=ROSSI PROG=KVTESO\r\nsecond line\r\n");
    f.FAIOPEN(1);
    EXPECT_TRUE(EndLines([&] { f.FINEPROGRAMMA(); }, 0).empty() && !f.IsOpen(1));
    EXPECT_EQ(ReadFile(taskFile) + "|" + context->settings().taskLine, "07" + std::string(98, ' ') + "\r\n|07" + std::string(98, ' '));
    std::filesystem::remove_all(tmp.path / "C/KVSTASK");
    EndLines([&] { f.FINEPROGRAMMA(); }, 0);
    EXPECT_FALSE(std::filesystem::exists(tmp.path / "C/KVSTASK"));  // no task file: nothing created
}

TEST_F(ArchiveFiles_, SemaphoreAgainstASecondProcess) {
    WriteFile(archive("SLSEMA.DAT"), std::string(2000, 'S'));
    {
        const kvtest::OtherProcess holder(archive("SLSEMA.DAT"), 60000);
        const auto start = std::chrono::steady_clock::now();
        const auto lines = EndLines([&] { f.APRISEMA(); });  // retried for 3 s, every 50 ms
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2900));
        EXPECT_EQ(lines.at(0) + "|" + lines.at(lines.size() - 1) + (f.IsOpen(16) ? " open" : ""), "Errore 70 Permission denied - another program holds C:\\KVS\\ARCHIVI\\SLSEMA.DAT (the suite's semaphore)|APRISEMA");
    }
    {
        const kvtest::OtherProcess holder(archive("SLSEMA.DAT"), 600);
        f.APRISEMA();  // taken once the holder lets go within the wait
    }
    EXPECT_TRUE(f.buffer(16) == std::string(2000, 'S') && !kvtest::OtherProcessCanLock(archive("SLSEMA.DAT")));
    f.APRISEMA(), f.CHIUDISEMA();  // taking it again while held does not wait on ourselves
    EXPECT_TRUE(kvtest::OtherProcessCanLock(archive("SLSEMA.DAT")));
    EXPECT_EQ(ReadFile(archive("SLSEMA.DAT")), std::string(2000, 'S'));
    WriteFile(archive("SLSEMA.DAT"), "");  // a short semaphore file reads as blanks
    f.APRISEMA();
    EXPECT_EQ(f.buffer(16), std::string(2000, ' '));
    f.CHIUDI(0);
    EXPECT_TRUE(kvtest::OtherProcessCanLock(archive("SLSEMA.DAT")));
    EXPECT_EQ(messages.shown().size(), 2u);  // the report of the first attempt only
}

}  // namespace
