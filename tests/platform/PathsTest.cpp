// Suite paths mapped onto the host: drive letters, shares, current-drive paths, host paths.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Paths.h"

using kv::platform::PathMap;

TEST(PathMap, SuitePathsLandUnderTheRoot) {
    PathMap map("/srv/kv");
    EXPECT_EQ(map.ToHost("C:\\RARADADE\\SLPERARK.SLP"), "/srv/kv/C/RARADADE/SLPERARK.SLP");
    EXPECT_EQ(map.ToHost("C:\\KVSTASK\\KVSTASK.INI"), "/srv/kv/C/KVSTASK/KVSTASK.INI");
    EXPECT_EQ(map.ToHost("c:\\kvs\\archivi\\D012A05.DAT"), "/srv/kv/C/kvs/archivi/D012A05.DAT");
    EXPECT_EQ(map.ToHost("B:\\BACKUP\\X.DAT"), "/srv/kv/B/BACKUP/X.DAT");
    EXPECT_EQ(map.ToHost("B:\\"), "/srv/kv/B");
    EXPECT_EQ(map.ToHost("D:"), "/srv/kv/D");
    EXPECT_EQ(map.ToHost("\\\\SERVER\\SALVA\\X.DAT"), "/srv/kv/UNC/SERVER/SALVA/X.DAT");
    EXPECT_EQ(map.ToHost("\\FILE-PDF\\001"), "/srv/kv/C/FILE-PDF/001");
    EXPECT_EQ(map.ToHost("C:\\KVS\\\\ARCHIVI"), "/srv/kv/C/KVS//ARCHIVI");
}

TEST(PathMap, HostAndRelativePathsStay) {
    PathMap map("/srv/kv");
    EXPECT_EQ(map.ToHost("/tmp/archivi/SLBASE.DAT"), "/tmp/archivi/SLBASE.DAT");
    EXPECT_EQ(map.ToHost("ARCHIVI\\X.DAT"), "ARCHIVI/X.DAT");
    EXPECT_EQ(map.ToHost(""), "");
}

TEST(PathMap, NamesKeepTheirCodePageBytes) {
    PathMap map("/r");
    EXPECT_EQ(map.ToHost("C:\\CAFF\xC8\\A.DAT").string(), "/r/C/CAFF\xC8/A.DAT");
}

TEST(PathMap, RootFromTheEnvironment) {
    const char* old = std::getenv("KVTESO_ROOT");
    const std::string saved = old ? old : "";
    ::setenv("KVTESO_ROOT", "/opt/kvteso-root", 1);
    EXPECT_EQ(PathMap::FromEnvironment().root(), "/opt/kvteso-root");
    ::unsetenv("KVTESO_ROOT");
    if (const char* home = std::getenv("HOME"); home && *home) {
        EXPECT_EQ(PathMap::FromEnvironment().root(), std::filesystem::path(home) / ".kvteso");
    }
    if (old) ::setenv("KVTESO_ROOT", saved.c_str(), 1);
}
