#pragma once
// A scratch suite for the archive harnesses: the drives under the scratch folder, the archive folder
// "C:\KVS\ARCHIVI", a catalogue, and a context whose questions are answered No.
#include <map>
#include <memory>

#include "../tests/support/PlatformDoubles.h"
#include "../tools/demo/SuiteLayout.h"
#include "FuzzSupport.h"
#include "archive/ArchiveContext.h"

namespace kvfuzz {

inline const fs::path& SuiteRoot() {
    static const fs::path root = Scratch() / "suite";
    return root;
}
inline fs::path ArchivePath(const std::string& name) { return SuiteRoot() / "C/KVS/ARCHIVI" / name; }

using kv::demo::CatalogueBytes;

struct Suite {
    explicit Suite(const kv::platform::RegistryReader* reg = nullptr)
        : context(messages, kv::platform::PathMap(SuiteRoot()), reg ? *reg : registry) {
        context.settings().archiveFolder = "C:\\KVS\\ARCHIVI";
    }
    kv::platform::ScriptedMessageBoxes messages;
    kv::platform::MemoryRegistry registry;
    kv::ArchiveContext context;
};

// Runs body; the program's end and a run-time error not handed to the handler are normal outcomes.
// The suite's files close when it goes (a CHIUDI(0) here too would walk all 601 slots once more).
template <typename F>
void Run(F&& body) {
    try {
        body();
    } catch (const kv::ProgramEnd&) {
    } catch (const kv::RuntimeError&) {}
}

}  // namespace kvfuzz
