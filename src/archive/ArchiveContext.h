#pragma once
// The program-wide state of the archive layer, owned by the application (or by a test): the
// installation settings, the routine trace and the central error handler, the archive slots, the
// key search, the installation loader and the field repository's current-record texts.
#include <functional>

#include "archive/ArchiveFiles.h"
#include "archive/ErrorHandler.h"
#include "archive/FieldRepository.h"
#include "archive/InstallationSettings.h"
#include "archive/KeySearch.h"
#include "archive/Settings.h"
#include "archive/Trace.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace kv {

class ArchiveContext {
public:
    // messages and registry must outlive the context. anotherCopyRunning tells whether another copy
    // of the program runs (empty: never), for the installation loader's single-copy rule.
    ArchiveContext(platform::MessageBoxes& messages, platform::PathMap paths, const platform::RegistryReader& registry,
                   std::function<bool()> anotherCopyRunning = {});
    ArchiveContext(const ArchiveContext&) = delete;
    ArchiveContext& operator=(const ArchiveContext&) = delete;

    Settings& settings() { return settings_; }
    Trace& trace() { return trace_; }
    ErrorHandler& errors() { return errors_; }
    ArchiveFiles& files() { return files_; }
    KeySearch& keys() { return keys_; }
    InstallationSettings& installation() { return installation_; }
    FieldRepository& repository() { return repository_; }
    platform::MessageBoxes& messages() { return messages_; }
    const platform::PathMap& paths() const { return paths_; }

    // Start-up: the registry variant, then the path-file variant when the archive folder is still
    // empty. Ends the program (ProgramEnd) on a second copy or a configuration error.
    void LoadInstallation();

private:
    platform::MessageBoxes& messages_;
    platform::PathMap paths_;
    Settings settings_;
    Trace trace_;
    ErrorHandler errors_;
    ArchiveFiles files_;
    KeySearch keys_;
    InstallationSettings installation_;
    FieldRepository repository_;
};

}  // namespace kv
