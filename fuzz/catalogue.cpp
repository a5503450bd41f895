// The catalogue SLBASE.DAT from outside: DAMMIFILE for several numbers with every placeholder value
// set, and the host path of each name. A suite name never maps outside the installation's drives, nor
// to the current folder (HostPath refuses it with error 75), a record length that is no whole positive number (columns 33-37 may hold
// "-0001") never reads a record, and nothing in the suite changes.
#include <cmath>

#include "ArchiveSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    kvfuzz::WriteFile(kvfuzz::ArchivePath("SLBASE.DAT"), bytes);
    const auto before = kvfuzz::Snapshot(kvfuzz::SuiteRoot());
    kvfuzz::Suite suite;
    suite.context.settings().terminalNumber = "07";
    kv::ArchiveFiles& files = suite.context.files();
    const std::string root = kvfuzz::SuiteRoot().string();
    namespace a = kv::archive;
    for (const int number : {a::Companies, a::Employees, a::ExtractionList, a::EmployeeIndex, a::Semaphore,
                             a::PrinterSettings, a::Installation, a::Parameters, a::Last, 0, -3}) {
        kvfuzz::Run([&] {
            const kv::SubstitutionValues values{"012", "2018", "05", "RM", size % 2 ? "A" : "\\\\SERVER\\SHARE"};
            files.values = values;
            int16_t addFolder = number % 2 ? -1 : 0;
            const std::string name = files.DAMMIFILE(number, addFolder);
            // A host path ("/...") from the catalogue is refused (error 75) before it becomes a name.
            kvfuzz::Require(name.empty() || name[0] != '/', "a catalogue name is a host path: " + name);
            if (name.empty()) return;
            const std::string host = files.HostPath(name).string();
            // Every path opened lies on a drive of the installation: never the current folder's.
            kvfuzz::Require(host.empty() || host.compare(0, root.size(), root) == 0,
                            "a catalogue name left the installation: " + name + " -> " + host);
            const int64_t length = files.currentRecordLength();  // -1: no whole number
            if (length >= 1) return;
            files.values = values;
            files.FAIOPEN(number);
            files.LEGGIREC(number, 1);  // error 59 ends the program here
            kvfuzz::Require(false, "a record read with length " + std::to_string(length));
        });
    }
    kvfuzz::Require(kvfuzz::Snapshot(kvfuzz::SuiteRoot()) == before, "the suite changed");
    return 0;
}
