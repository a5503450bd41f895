#pragma once
// A scratch suite for the archive harnesses: the drives under the scratch folder, the archive folder
// "C:\KVS\ARCHIVI", a catalogue, and a context whose questions are answered No.
#include <map>
#include <memory>

#include "FuzzSupport.h"
#include "archive/ArchiveContext.h"

namespace kvfuzz {

inline const fs::path& SuiteRoot() {
    static const fs::path root = Scratch() / "suite";
    return root;
}
inline fs::path ArchivePath(const std::string& name) { return SuiteRoot() / "C/KVS/ARCHIVI" / name; }

// SLBASE.DAT records of 77 bytes and CR LF: columns 4-32 the name, 33-37 the record length.
inline std::string Catalogue(const std::map<int, std::pair<std::string, int>>& entries, int last = 400) {
    std::string bytes;
    for (int n = 1; n <= last; ++n) {
        std::string r(77, ' ');
        if (auto it = entries.find(n); it != entries.end()) {
            const auto& [name, length] = it->second;
            r.replace(3, name.size(), name).replace(32, 5, std::to_string(100000 + length).substr(1));
        }
        bytes += r + "\r\n";
    }
    return bytes;
}

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
    } catch (const kv::RuntimeError&) {
    }
}

}  // namespace kvfuzz
