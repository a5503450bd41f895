// The registry readers: the in-memory one and the INI file kept through QSettings.
#include <gtest/gtest.h>

#include <QSettings>
#include <QStringList>
#include <cstdlib>
#include <fstream>

#include "platform/Registry.h"
#include "platform/RegistryQt.h"

using namespace kv::platform;

namespace {

struct IniFile {
    std::filesystem::path folder;
    IniFile() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kvregXXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp");
        folder = tmpl;
    }
    ~IniFile() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::filesystem::path path() const { return folder / "KvsPaghe" / "registry.ini"; }
};

}  // namespace

TEST(MemoryRegistry, TextValuesOnlyAndNamesIgnoreCase) {
    MemoryRegistry r;
    r.SetString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOARCHIVI", "C:\\KVS\\ARCHIVI");
    EXPECT_EQ(r.ReadString(Hive::CurrentUser, "software\\velmora\\kvspaghe", "percorsoarchivi"), "C:\\KVS\\ARCHIVI");
    EXPECT_EQ(r.ReadString(Hive::LocalMachine, kSuiteRegistryKey, "PERCORSOARCHIVI"), std::nullopt);
    EXPECT_EQ(r.ReadString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOPROGRAMMI"), std::nullopt);
    r.SetNonText(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOARCHIVI");
    EXPECT_EQ(r.ReadString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOARCHIVI"), std::nullopt);
}

TEST(QtSettingsRegistry, WrittenValuesReadBackAsCodePageText) {
    IniFile ini;
    {
        QtSettingsRegistry r(ini.path());
        r.WriteString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOARCHIVI", "C:\\KVS\\ARCHIVI, CAFF\xC8");
        r.WriteString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOPROGRAMMI", "");
    }
    ASSERT_TRUE(std::filesystem::exists(ini.path()));
    QtSettingsRegistry r(ini.path());
    EXPECT_EQ(r.ReadString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOARCHIVI"), "C:\\KVS\\ARCHIVI, CAFF\xC8");
    EXPECT_EQ(r.ReadString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOPROGRAMMI"), "");
    EXPECT_EQ(r.ReadString(Hive::CurrentUser, kSuiteRegistryKey, "ALTRO"), std::nullopt);
    EXPECT_EQ(r.ReadString(Hive::CurrentUser, "SOFTWARE\\ALTRI", "PERCORSOARCHIVI"), std::nullopt);
    EXPECT_EQ(r.ReadString(Hive::LocalMachine, kSuiteRegistryKey, "PERCORSOARCHIVI"), std::nullopt);
}

TEST(QtSettingsRegistry, NonStringValuesReadAsMissing) {
    IniFile ini;
    {
        QSettings raw(QString::fromStdString(ini.path().string()), QSettings::IniFormat);
        raw.setValue("SOFTWARE/VELMORA/KVSPAGHE/PERCORSOARCHIVI", QByteArray("\x01\x02", 2));
        raw.setValue("SOFTWARE/VELMORA/KVSPAGHE/PERCORSOPROGRAMMI", QStringList{"A", "B"});
        raw.setValue("SOFTWARE/VELMORA/KVSPAGHE/TESTO", QString("C:\\X"));
    }
    QtSettingsRegistry r(ini.path());
    EXPECT_EQ(r.ReadString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOARCHIVI"), std::nullopt);
    EXPECT_EQ(r.ReadString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOPROGRAMMI"), std::nullopt);
    EXPECT_EQ(r.ReadString(Hive::CurrentUser, kSuiteRegistryKey, "TESTO"), "C:\\X");
}

TEST(QtSettingsRegistry, SeesChangesMadeByAnotherWriter) {
    IniFile ini;
    QtSettingsRegistry reader(ini.path());
    EXPECT_EQ(reader.ReadString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOARCHIVI"), std::nullopt);
    QtSettingsRegistry writer(ini.path());
    writer.WriteString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOARCHIVI", "D:\\DATI");
    EXPECT_EQ(reader.ReadString(Hive::CurrentUser, kSuiteRegistryKey, "PERCORSOARCHIVI"), "D:\\DATI");
}

TEST(QtSettingsRegistry, DefaultFileIsUnderTheConfigLocation) {
    const auto p = QtSettingsRegistry::DefaultPath();
    EXPECT_EQ(p.filename(), "registry.ini");
    EXPECT_EQ(p.parent_path().filename(), "KvsPaghe");
}
