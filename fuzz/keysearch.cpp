// The key search over an index file from outside: ISAM operation 2 for keys taken from the input and
// for the high and low keys. The result is -1 or a record number of six digits at most, and neither
// the index nor any other archive changes.
#include "ArchiveSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr int kKeyLength = 10;
    if (size < kKeyLength) return 0;
    // Checked unchanged after every input, so written once.
    static const bool catalogue =
        (kvfuzz::WriteFile(
             kvfuzz::ArchivePath("SLBASE.DAT"),
             kvfuzz::CatalogueBytes({{kv::archive::EmployeeIndex, {"DIPIND.DAT", kv::index::PageLength(kKeyLength)}},
                                     {8, {"SMALL.DAT", 17}}},
                                    8)),
         true);
    (void)catalogue;
    kvfuzz::WriteFile(kvfuzz::ArchivePath("DIPIND.DAT"),
                      std::string(reinterpret_cast<const char*>(data) + kKeyLength, size - kKeyLength));
    kvfuzz::WriteFile(kvfuzz::ArchivePath("SMALL.DAT"), std::string(reinterpret_cast<const char*>(data), size));
    const auto before = kvfuzz::Snapshot(kvfuzz::SuiteRoot());
    const std::string keys[] = {std::string(reinterpret_cast<const char*>(data), kKeyLength),
                                std::string(kKeyLength, '\xFC'), std::string(kKeyLength, ' '), "001"};
    for (const int archive : {kv::archive::EmployeeIndex, 8}) {
        kvfuzz::Suite suite;
        kvfuzz::Run([&] {
            suite.context.files().FAIOPEN(archive);
            for (const std::string& key : keys) {
                const int64_t found = suite.context.keys().ISAM(archive, key, 2, 0);
                // A damaged entry may point at record 0: the read that follows reports error 63.
                kvfuzz::Require(found == -1 || (found >= 0 && found <= 9999999), "ISAM gave " + std::to_string(found));
            }
        });
    }
    kvfuzz::Require(kvfuzz::Snapshot(kvfuzz::SuiteRoot()) == before, "the key search changed the archives");
    return 0;
}
