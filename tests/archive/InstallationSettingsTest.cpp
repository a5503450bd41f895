// The installation loader: registry folders, the path-file fallback, the configuration error, the
// task line and terminal number, the installation name and the single-copy rule.
#include <gtest/gtest.h>

#include "ArchiveFixture.h"

using namespace kv;
using kvtest::ArchiveFixture;
using kvtest::WriteBytes;
using platform::Hive;

namespace {

class Installation_ : public ArchiveFixture {
protected:
    Installation_() {
        context->settings().archiveFolder.clear();
        StandardCatalogue();
        std::filesystem::create_directories(tmp.path() / "C" / "KVS" / "PROGRAMMI");
        WriteBytes(tmp.path() / "C" / "KVSTASK" / "KVSTASK.INI", " 3 UTENTE=ROSSI\r\nALTRO\r\n");
        std::string installation = "  studio \xE8" "lite s.r.l.";
        installation.resize(100, ' ');
        WriteBytes(archive("INSTALL.DAT"), installation);
    }

    void RegistryFolders(const std::string& archives, const std::string& programs) {
        registry.SetString(Hive::CurrentUser, platform::kSuiteRegistryKey, "PERCORSOARCHIVI", archives);
        registry.SetString(Hive::CurrentUser, platform::kSuiteRegistryKey, "PERCORSOPROGRAMMI", programs);
    }
    void PathFiles(const std::string& archives, const std::string& programs) {
        WriteBytes(tmp.path() / "C" / "RARADADE" / "SLPERARK.SLP", archives);
        WriteBytes(tmp.path() / "C" / "RARADADE" / "SLPERPRO.SLP", programs);
    }
    int EndCode() {
        try {
            context->LoadInstallation();
        } catch (const ProgramEnd& end) {
            return end.exitCode;
        }
        return -1;
    }
};

TEST_F(Installation_, RegistryFoldersTaskLineAndInstallationName) {
    RegistryFolders("C:\\KVS\\ARCHIVI", "C:\\KVS\\PROGRAMMI");
    context->LoadInstallation();
    const Settings& s = context->settings();
    EXPECT_EQ(s.archiveFolder, "C:\\KVS\\ARCHIVI");
    EXPECT_EQ(s.programsFolder, "C:\\KVS\\PROGRAMMI");
    EXPECT_EQ(s.taskLine, " 3 UTENTE=ROSSI");
    EXPECT_EQ(s.terminalNumber, "3");
    EXPECT_EQ(s.installationName, "STUDIO \xC8LITE S.R.L.");
    EXPECT_FALSE(context->files().IsOpen(395));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(Installation_, RegistryVariantAloneLeavesTheFolderEmptyWhenAFolderIsMissing) {
    RegistryFolders("C:\\KVS\\ARCHIVI", "C:\\KVS\\NONE");
    context->installation().CARICAINST();
    EXPECT_EQ(context->settings().archiveFolder, "");
    EXPECT_EQ(context->settings().terminalNumber, "");
}

TEST_F(Installation_, DeletedRegistryFolderFallsBackToThePathFiles) {
    RegistryFolders("C:\\KVS\\VECCHIO", "C:\\KVS\\PROGRAMMI");
    PathFiles("  C:\\KVS\\ARCHIVI  \r\nignored\r\n", "C:\\KVS\\PROGRAMMI\r\n");
    context->LoadInstallation();
    EXPECT_EQ(context->settings().archiveFolder, "C:\\KVS\\ARCHIVI");
    EXPECT_EQ(context->settings().programsFolder, "C:\\KVS\\PROGRAMMI");
    EXPECT_EQ(context->settings().terminalNumber, "3");
    EXPECT_EQ(context->settings().installationName, "STUDIO \xC8LITE S.R.L.");
}

TEST_F(Installation_, NonTextRegistryValueReadsAsEmpty) {
    RegistryFolders("C:\\KVS\\ARCHIVI", "C:\\KVS\\PROGRAMMI");
    registry.SetNonText(Hive::CurrentUser, platform::kSuiteRegistryKey, "PERCORSOARCHIVI");
    EXPECT_EQ(context->installation().LEGGIREGISTRO(Hive::CurrentUser, platform::kSuiteRegistryKey,
                                                    "PERCORSOARCHIVI"),
              "");
    EXPECT_EQ(context->installation().LEGGIREGISTRO(Hive::CurrentUser, "SOFTWARE\\NONE", "PERCORSOARCHIVI"), "");
    EXPECT_EQ(context->installation().LEGGIREGISTRO(Hive::CurrentUser, platform::kSuiteRegistryKey,
                                                    "PERCORSOPROGRAMMI"),
              "C:\\KVS\\PROGRAMMI");
    PathFiles("C:\\KVS\\ARCHIVI", "C:\\KVS\\PROGRAMMI");
    context->LoadInstallation();
    EXPECT_EQ(context->settings().archiveFolder, "C:\\KVS\\ARCHIVI");
}

TEST_F(Installation_, MissingOrEmptyPathFilesAreAConfigurationError) {
    struct Case {
        const char* archives;
        const char* programs;
    };
    const Case cases[] = {{nullptr, "C:\\KVS\\PROGRAMMI"}, {"C:\\KVS\\ARCHIVI", nullptr}, {"", "C:\\X"},
                          {"   \r\nC:\\KVS\\ARCHIVI", "C:\\X"}, {"C:\\KVS\\ARCHIVI", "  "}};
    for (const Case& c : cases) {
        std::filesystem::remove_all(tmp.path() / "C" / "RARADADE");
        if (c.archives) WriteBytes(tmp.path() / "C" / "RARADADE" / "SLPERARK.SLP", c.archives);
        if (c.programs) WriteBytes(tmp.path() / "C" / "RARADADE" / "SLPERPRO.SLP", c.programs);
        messages.clear();
        EXPECT_EQ(EndCode(), 1);
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text,
                  "ERRORE DI CONFIGURAZIONE! CONTROLLARE I PERCORSI DI KvsPaghe CON IL PROGRAMMA SENTIERO");
        EXPECT_EQ(messages.shown()[0].title, "KvsPaghe");
        EXPECT_EQ(messages.shown()[0].icon, platform::Icon::Critical);
        EXPECT_FALSE(context->files().IsOpen(395));
    }
}

TEST_F(Installation_, EmptyTaskLineGivesAnEmptyTerminal) {
    RegistryFolders("C:\\KVS\\ARCHIVI", "C:\\KVS\\PROGRAMMI");
    WriteBytes(tmp.path() / "C" / "KVSTASK" / "KVSTASK.INI", "\r\n");
    context->LoadInstallation();
    EXPECT_EQ(context->settings().taskLine, "");
    EXPECT_EQ(context->settings().terminalNumber, "");
    WriteBytes(tmp.path() / "C" / "KVSTASK" / "KVSTASK.INI", "12ABC");
    context->LoadInstallation();
    EXPECT_EQ(context->settings().terminalNumber, "12");
}

TEST_F(Installation_, MissingTaskFileIsReportedUnderCaricainst) {
    RegistryFolders("C:\\KVS\\ARCHIVI", "C:\\KVS\\PROGRAMMI");
    std::filesystem::remove(tmp.path() / "C" / "KVSTASK" / "KVSTASK.INI");
    EXPECT_EQ(EndCode(), 1);
    ASSERT_EQ(messages.shown().size(), 2u);
    const std::string& report = messages.shown()[0].text;
    EXPECT_EQ(report.substr(0, report.find('\r')), "Errore 53 File not found");
    EXPECT_NE(report.find("\rCARICAINST\r"), std::string::npos);
}

TEST(InstallationSingleCopy, SecondCopyEndsWithoutAMessage) {
    kvtest::TempDir tmp;
    platform::ScriptedMessageBoxes messages;
    platform::MemoryRegistry registry;
    ArchiveContext context(messages, platform::PathMap(tmp.path()), registry, [] { return true; });
    try {
        context.LoadInstallation();
        ADD_FAILURE() << "a second copy must end";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.exitCode, 0);
    }
    EXPECT_TRUE(messages.shown().empty());
}

}  // namespace
