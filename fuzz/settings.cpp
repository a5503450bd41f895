// The installation's settings from outside: the settings store (registry INI file), the path files
// SLPERARK.SLP and SLPERPRO.SLP, the task file and the installation archive, split from the input
// at "|||\n", loaded as at start-up. Nothing in the suite changes, and the terminal number is at most
// two characters.
#include "ArchiveSupport.h"
#include "platform/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts;
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (size_t at = 0;;) {
        const size_t next = input.find("|||\n", at);
        parts.push_back(input.substr(at, next == std::string::npos ? std::string::npos : next - at));
        if (next == std::string::npos) break;
        at = next + 4;
    }
    parts.resize(5);
    // A folder named by a host path could lie outside the scratch folder: such inputs are not run.
    for (int i = 0; i < 3; ++i)
        if (parts[static_cast<size_t>(i)].find('/') != std::string::npos) return 0;
    const kvfuzz::fs::path ini = kvfuzz::Scratch() / "registry.ini";
    // The suite is checked unchanged after every input, so its fixed parts are written once.
    static const bool fixedParts = [] {
        kvfuzz::WriteFile(kvfuzz::ArchivePath("SLBASE.DAT"),
                          kvfuzz::CatalogueBytes({{kv::archive::Installation, {"SLINSTAL.DAT", 100}}}));
        return kvfuzz::fs::create_directories(kvfuzz::SuiteRoot() / "C/KVS/PROGRAMMI");
    }();
    (void)fixedParts;
    kvfuzz::WriteFile(ini, parts[0]);
    kvfuzz::WriteFile(kvfuzz::SuiteRoot() / "C/RARADADE/SLPERARK.SLP", parts[1]);
    kvfuzz::WriteFile(kvfuzz::SuiteRoot() / "C/RARADADE/SLPERPRO.SLP", parts[2]);
    kvfuzz::WriteFile(kvfuzz::SuiteRoot() / "C/KVSTASK/KVSTASK.INI", parts[3]);
    kvfuzz::WriteFile(kvfuzz::ArchivePath("SLINSTAL.DAT"), parts[4]);
    const auto before = kvfuzz::Snapshot(kvfuzz::SuiteRoot());
    {
        kv::platform::SettingsStore registry(ini);
        kvfuzz::Suite suite(&registry);
        suite.context.settings().archiveFolder.clear();
        kvfuzz::Run([&] { suite.context.LoadInstallation(); });
        kvfuzz::Require(suite.context.settings().terminalNumber.size() <= 2, "terminal number longer than 2");
    }
    kvfuzz::Require(kvfuzz::Snapshot(kvfuzz::SuiteRoot()) == before, "loading the installation changed the suite");
    return 0;
}
