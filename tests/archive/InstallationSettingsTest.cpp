// The installation loader: registry folders, the path-file fallback, the configuration error, the
// task line and terminal number, the installation name and the single-copy rule.
#include "ArchiveFixture.h"

using namespace kv;
using kvtest::WriteFile;

namespace {

class Installation_ : public kvtest::ArchiveFixture {
protected:
    Installation_() {
        StandardCatalogue();
        std::filesystem::create_directories(tmp.path / "C/KVS/PROGRAMMI");
        WriteFile(tmp.path / "C/KVSTASK/KVSTASK.INI", " 3 UTENTE=ROSSI\r\nALTRO\r\n");
        // Upper case in Windows-1252 from the name's first 30 characters ("X" is the 31st).
        WriteFile(archive("INSTALL.DAT"), "  studio \xE8lite \x9a\x9c\x9e\xff\xf7 s.r.l.   X" + std::string(69, ' '));
    }
    void Registry(const std::string& archives, const std::string& programs) {
        // Value names compare without regard to case.
        registry.SetString(platform::Hive::CurrentUser, platform::kSuiteRegistryKey, "percorsoArchivi", archives);
        registry.SetString(platform::Hive::CurrentUser, platform::kSuiteRegistryKey, "PERCORSOPROGRAMMI", programs);
    }
    void PathFiles(const char* archives, const char* programs) {
        std::filesystem::remove_all(tmp.path / "C/RARADADE");
        if (archives) WriteFile(tmp.path / "C/RARADADE/SLPERARK.SLP", archives);
        if (programs) WriteFile(tmp.path / "C/RARADADE/SLPERPRO.SLP", programs);
    }
    // Loads afresh; the settings as "archives|programs|task line|terminal|installation".
    std::string Load(bool registryOnly = false) {
        Settings& s = context->settings() = Settings{};
        registryOnly ? context->installation().CARICAINST() : context->LoadInstallation();
        return s.archiveFolder + "|" + s.programsFolder + "|" + s.taskLine + "|" + s.terminalNumber + "|" + s.installationName;
    }
};

TEST_F(Installation_, RegistryFirstThenThePathFiles) {
    const std::string folders = "C:\\KVS\\ARCHIVI|C:\\KVS\\PROGRAMMI|", name = "|STUDIO \xC8LITE \x8a\x8c\x8e\x9f\xf7 S.R.L.";
    Registry("C:\\KVS\\ARCHIVI", "C:\\KVS\\PROGRAMMI");
    EXPECT_EQ(Load(), folders + " 3 UTENTE=ROSSI|3" + name);
    EXPECT_FALSE(context->files().IsOpen(kv::archive::Installation));
    Registry("C:\\KVS\\VECCHIO", "C:\\KVS\\PROGRAMMI");  // a registry folder that no longer exists: nothing loaded
    EXPECT_EQ(Load(true), "||||");
    Registry("C:\\KVS\\ARCHIVI", "C:\\KVS\\NONE");
    EXPECT_EQ(Load(true), "||||");
    PathFiles("  C:\\KVS\\ARCHIVI  \r\nignored\r\n", "C:\\KVS\\PROGRAMMI\n");
    WriteFile(tmp.path / "C/KVSTASK/KVSTASK.INI", "12ABC");  // the terminal: the task line's first two characters
    EXPECT_EQ(Load(), folders + "12ABC|12" + name);
    // A value that is not text reads as missing; a value reads up to its first NUL.
    Registry(std::string("C:\\A\0B", 6), "");
    registry.SetNonText(platform::Hive::CurrentUser, platform::kSuiteRegistryKey, "PERCORSOPROGRAMMI");
    const InstallationSettings& loader = context->installation();
    EXPECT_EQ(loader.LEGGIREGISTRO(platform::Hive::CurrentUser, platform::kSuiteRegistryKey, "PERCORSOPROGRAMMI") + "|" +
                  loader.LEGGIREGISTRO(platform::Hive::CurrentUser, platform::kSuiteRegistryKey, "PERCORSOARCHIVI") + "|" +
                  loader.LEGGIVALOREREG({platform::Hive::CurrentUser, "SOFTWARE\\NONE"}, "PERCORSOARCHIVI"),
              "|C:\\A|");
    WriteFile(tmp.path / "C/KVSTASK/KVSTASK.INI", "\r\n");
    EXPECT_EQ(Load(), folders + "|" + name);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(Installation_, ConfigurationErrorsMissingTaskFileAndSecondCopy) {
    const std::pair<const char*, const char*> paths[] = {{nullptr, "C:\\KVS\\PROGRAMMI"}, {"C:\\KVS\\ARCHIVI", nullptr}, {"", "C:\\X"}, {"   \r\nC:\\KVS\\ARCHIVI", "C:\\X"}, {"C:\\KVS\\ARCHIVI", "  "}};
    for (const auto& [archives, programs] : paths) {
        PathFiles(archives, programs);
        EXPECT_EQ(EndLines([&] { Load(); }).at(0),
                  "ERRORE DI CONFIGURAZIONE! CONTROLLARE I PERCORSI DI KvsPaghe CON IL PROGRAMMA SENTIERO");
        EXPECT_EQ(messages.shown().at(0).title + std::to_string(messages.shown().size()), "KvsPaghe1");
        EXPECT_TRUE(messages.shown()[0].icon == platform::Icon::Critical && !context->files().IsOpen(kv::archive::Installation));
    }
    Registry("C:\\KVS\\ARCHIVI", "C:\\KVS\\PROGRAMMI");
    std::filesystem::remove(tmp.path / "C/KVSTASK/KVSTASK.INI");
    const auto lines = EndLines([&] { Load(); });
    EXPECT_EQ(lines.at(0) + "|" + lines.at(lines.size() - 1), "Errore 53 File not found|CARICAINST");
    ArchiveContext second(messages, platform::PathMap(tmp.path), registry, [] { return true; });
    EXPECT_TRUE(EndLines([&] { second.LoadInstallation(); }, 0).empty());  // ends at once, without a message
}

}  // namespace
