#pragma once
// What a killed run leaves beside its outputs. Every output file is written under a hidden name,
// ".<name>.<process>-<n>.part" (a file, or a folder holding the file being written and its
// temporaries), and takes its own name only when complete; a run killed first leaves the hidden one
// behind. The next run that writes in the same folder removes them.
#include <filesystem>
#include <string_view>

namespace kv::output {

// Removes from folder the hidden files and folders of outputs whose name ends with extension (".xlsx",
// ".pdf") that were last written before `before` (the start of the run that calls it: one another run
// is still writing is younger). What cannot be removed stays; nothing else in the folder is touched.
void RemoveLeftovers(const std::filesystem::path& folder, std::string_view extension,
                     std::filesystem::file_time_type before);

// True for a hidden name of that form.
bool IsLeftoverName(std::string_view name, std::string_view extension);

}  // namespace kv::output
