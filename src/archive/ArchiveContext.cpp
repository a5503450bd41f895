#include "archive/ArchiveContext.h"

namespace kv {

ArchiveContext::ArchiveContext(platform::MessageBoxes& messages, platform::PathMap paths,
                               const platform::RegistryReader& registry, std::function<bool()> anotherCopyRunning)
    : messages_(messages),
      paths_(std::move(paths)),
      errors_(trace_, messages_, settings_.programName),
      files_(settings_, errors_, paths_),
      keys_(files_),
      installation_(settings_, files_, registry, std::move(anotherCopyRunning)),
      repository_(errors_, messages_) {}

void ArchiveContext::LoadInstallation() {
    installation_.CARICAINST();
    if (settings_.archiveFolder.empty()) installation_.CARICAINST_FILE();
}

}  // namespace kv
