// The platform services: file locks seen by other processes, the single-copy check, suite paths on
// the host, the registry readers and the message boxes with their code-page conversion.
#include <sstream>

#include "platform/Encoding.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "platform/OpenDocument.h"
#include "platform/SettingsStore.h"
#include "platform/SingleInstance.h"
#include "support/TestSupport.h"

#ifndef _WIN32
#include <QSettings>
#include <QStringList>
#endif

using namespace kv::platform;
using kvtest::OtherProcessCanLock;

TEST(FileLock, ExclusiveAgainstOtherOpensAndOtherProcessesAndTheSingleCopyCheck) {
    kvtest::TempDir dir;
    const auto file = dir.path / "SLSEMA.DAT";
    EXPECT_EQ(FileLock::TryAcquire(file).error(), ENOENT);
    FileLock first = FileLock::TryAcquire(file, /*create=*/true);
    const FileLock second = FileLock::TryAcquire(file);
    EXPECT_TRUE(first.locked() && !second.locked() && second.error() == EWOULDBLOCK && !OtherProcessCanLock(file));
    FileLock moved = std::move(first);
    EXPECT_TRUE(moved.locked() && !first.locked() && !OtherProcessCanLock(file));
    moved.Release();
    EXPECT_TRUE(OtherProcessCanLock(file) && FileLock::TryAcquire(file).locked());
    const auto lockFile = SingleInstance::LockFileFor(PathMap(dir.path), "KVTESO");
    EXPECT_EQ(lockFile, dir.path / "run" / "KVTESO.lock");
    {
        const SingleInstance running(lockFile), another(lockFile);
        EXPECT_TRUE(!running.AnotherRunning() && another.AnotherRunning() && !OtherProcessCanLock(lockFile));
    }
    EXPECT_FALSE(SingleInstance(lockFile).AnotherRunning());
    EXPECT_FALSE(SingleInstance("/proc/kvteso-no-such-dir/KVTESO.lock").AnotherRunning());  // no lock: no stop
}

TEST(PathMap, SuitePathsLandUnderTheRootAndNothingLeavesIt) {
    // On Windows a path from "/" is one of the current drive, as "\\" is; elsewhere a host path, kept
    // only inside the root.
    const std::string hostPath = NativeDrives() ? "/r/C/tmp/SLBASE.DAT" : "", inside = NativeDrives() ? "/r/C/r/C/A.DAT" : "/r/C/A.DAT";
    for (const std::string& row : std::vector<std::string>{"C:\\RARADADE\\SLPERARK.SLP|/r/C/RARADADE/SLPERARK.SLP", "B:\\|/r/B", "D:|/r/D", "|",
                                                           "c:\\kvs\\D012A05.DAT|/r/C/kvs/D012A05.DAT", "C:\\A\\\\B|/r/C/A/B", "AR\\X.DAT|", "X!:\\SLDITTE.DAT|",
                                                           // ".." folds as a name; above the drive (or the start) it leaves the installation
                                                           "C:\\A\\..\\B\\.\\X.DAT|/r/C/B/X.DAT", "C:\\A\\..\\..\\tmp\\E4.DAT|", "..\\X|", "D:..\\X|",
                                                           "\\\\SERVER\\SALVA\\X.DAT|/r/UNC/SERVER/SALVA/X.DAT", "\\FILE-PDF\\001|/r/C/FILE-PDF/001",
                                                           "C:\\CAFF\xC8\\A.DAT|/r/C/CAFF\xC8/A.DAT", "/tmp/SLBASE.DAT|" + hostPath, "/r/C/A.DAT|" + inside}) {
        const auto c = kvtest::Fields(row);
        EXPECT_EQ(PathMap("/r").ToHost(c[0]).make_preferred(), NativePath(c[1]).make_preferred()) << row;
    }
#ifdef _WIN32
    // The drives themselves, whatever the environment says.
    EXPECT_EQ(PathMap::FromEnvironment().root(), "");
    EXPECT_EQ(NarrowPath(PathMap::FromEnvironment().ToHost("c:\\KVPAGHE\\..\\KVS\\A.DAT")), "C:\\KVS\\A.DAT");
#else
    ::setenv("KVTESO_ROOT", "/opt/kvteso-root", 1);  // no test program reads it otherwise
    EXPECT_EQ(PathMap::FromEnvironment().root(), "/opt/kvteso-root");
    ::unsetenv("KVTESO_ROOT");
    EXPECT_EQ(PathMap::FromEnvironment().root(), std::filesystem::path(std::getenv("HOME")) / ".kvteso");
#endif
}

#ifdef _WIN32
// The registry itself: values written by Windows' own reg tool; text values only.
TEST(Registry, TheRegistryGivesTextValuesOnly) {
    const std::string key = std::string(kSuiteRegistryKey) + "\\TEST" + std::to_string(::GetCurrentProcessId());
    const std::string reg = "wine reg add " + kvtest::Quoted("HKCU\\" + key) + " /f /v ";
    for (const std::string value : {"PERCORSOARCHIVI /t REG_SZ /d 'C:\\KVS\\ARCHIVI, CAFF\xC3\x88'", "VUOTO /t REG_SZ /d ''",
                                    "NUMERO /t REG_DWORD /d 7", "BINARIO /t REG_BINARY /d 0102"})
        ASSERT_EQ(kvtest::RunCommand(reg + value).status, 0) << value;
    const SettingsStore reader;
    EXPECT_EQ(reader.ReadString(Hive::CurrentUser, key, "PERCORSOARCHIVI"), "C:\\KVS\\ARCHIVI, CAFF\xC8");
    EXPECT_EQ(reader.ReadString(Hive::CurrentUser, key, "VUOTO"), "");
    for (const char* name : {"NUMERO", "BINARIO", "ASSENTE"})
        EXPECT_EQ(reader.ReadString(Hive::CurrentUser, key, name), std::nullopt) << name;
    EXPECT_EQ(reader.ReadString(Hive::LocalMachine, key, "PERCORSOARCHIVI"), std::nullopt);
    kvtest::RunCommand("wine reg delete " + kvtest::Quoted("HKCU\\" + key) + " /f");
}
#else
TEST(Registry, IniFileGivesTextValuesOnly) {
    kvtest::TempDir dir;
    const SettingsStore reader(dir.path / "registry.ini");
    EXPECT_EQ(reader.ReadString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOARCHIVI"), std::nullopt);
    {
        SettingsStore writer(dir.path / "registry.ini");  // another writer: the reader sees its changes
        writer.WriteString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOARCHIVI", "C:\\KVS\\ARCHIVI, CAFF\xC8");
        writer.WriteString(Hive::CurrentUser, kSuiteRegistryKey, "VUOTO", "");
        writer.WriteString(Hive::LocalMachine, kSuiteRegistryKey, "ALTRO", "X");
        QSettings raw(QString::fromStdString((dir.path / "registry.ini").string()), QSettings::IniFormat);
        raw.setValue("SOFTWARE/VELMORA/KVSPAGHE/BINARIO", QByteArray("\x01\x02", 2));
        raw.setValue("SOFTWARE/VELMORA/KVSPAGHE/LISTA", QStringList{"A", "B"});
    }
    EXPECT_EQ(reader.ReadString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOARCHIVI"), "C:\\KVS\\ARCHIVI, CAFF\xC8");
    EXPECT_EQ(reader.ReadString(Hive::CurrentUser, "SOFTWARE\\VELMORA\\KVSPAGHE\\", "VUOTO"), "");
    for (const char* name : {"ALTRO", "BINARIO", "LISTA", ""})
        EXPECT_EQ(reader.ReadString(Hive::CurrentUser, kSuiteRegistryKey, name), std::nullopt) << name;
    EXPECT_EQ(reader.ReadString(Hive::LocalMachine, kSuiteRegistryKey, "PERCORSOARCHIVI"), std::nullopt);
}

#endif

TEST(Messages, CodePageConversionConsoleAndScriptedAnswers) {
    // A, e grave (2 bytes), euro (80: U+20AC, 3 bytes), 81 (undefined), y diaeresis, 9F (U+0178).
    EXPECT_EQ(Cp1252ToUtf8("A\xE8\x80\x81\xFF\x9F"), "A\xC3\xA8\xE2\x82\xAC?\xC3\xBF\xC5\xB8");
    EXPECT_EQ(Utf8ToCp1252("A\xC2\xA0\xC3\xA8\xE2\x82\xAC\xC5\xB8\xE2\x80\x99\xC4\x80\xF0\x9F\x98\x80"), "A\xA0\xE8\x80\x9F\x92??");
    std::ostringstream out;
    ConsoleMessageBoxes console(out), yes(out, Answer::Yes);
    console.Critical("KvsPaghe\x1B", "Errore 53\rCAFF\xC8\x1B[2J\x07\n\t\x7F");  // control bytes from data: "?"
    console.Inform("T", "i");
    console.Plain("T", "p");
    EXPECT_FALSE(console.AskYesNo("T", "Q?", Icon::Exclamation));
    EXPECT_EQ(console.Show({"T", "d", Icon::Question, Buttons::Ok}), Answer::Ok);
    EXPECT_TRUE(yes.AskYesNo("T", "Q?", Icon::Question));
    EXPECT_EQ(out.str(),
              "[ERRORE] KvsPaghe?: Errore 53\nCAFF\xC3\x88?[2J????\n[INFO] T: i\n[MESSAGGIO] T: p\n"
              "[ATTENZIONE] T: Q? -> No\n[DOMANDA] T: d\n[DOMANDA] T: Q? -> Si\n");
    ScriptedMessageBoxes scripted;  // answers from its queue, No when it is empty; an Ok box takes none
    scripted.QueueAnswer(Answer::Yes);
    scripted.Plain("T", "ok");
    EXPECT_TRUE(scripted.AskYesNo("T", "1", Icon::Question) && !scripted.AskYesNo("T", "2", Icon::Question));
    EXPECT_EQ(scripted.texts(), (std::vector<std::string>{"ok", "1", "2"}));
}

// A document that is not there is not handed to the desktop, and the cause is named.
TEST(OpenDocument, MissingDocumentIsNamed) {
    const kvtest::TempDir dir;
    std::string error;
    EXPECT_FALSE(OpenDocument(dir.path / "ASSENTE.pdf", &error));
    EXPECT_NE(error.find("ASSENTE.pdf"), std::string::npos) << error;
}
