#pragma once
// What the window tells when a run is over, in one message: where the PDF files and the workbook went,
// how many employees were left out (the list behind a button), where a stopped run stopped, and the
// folder that "Apri cartella" opens.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/AnomalyReport.h"
#include "app/ListJob.h"
#include "platform/Messages.h"

namespace kv::window {

// The folder of a run's PDF files: the deepest one common to them all, never above `top`, the top of
// the PDF tree (FILE-PDF): one company's period folder, or FILE-PDF itself when companies differ.
// Both as the host names it and as the suite writes it (Windows-1252, below `suiteTop`).
struct RunFolder {
    std::filesystem::path host;
    std::string suite;
};
RunFolder FolderOfFiles(const std::vector<std::filesystem::path>& files, const std::filesystem::path& top,
                        const std::string& suiteTop);

// A run stopped from the progress dialog: the last company done (its List1 line), at `done` of `count`.
struct RunStop {
    std::string lastDone;
    int done = 0, count = 0;
    std::string button;  // the caption of the button that resumes
};

// The message, or none when there is nothing to tell. pdfDone: the message that ends a PDF run, when
// files were made; its title and text open the summary, which then offers "Apri cartella" on `folder`
// (as the suite writes it). The list of the employees left out is offered when there are some.
std::optional<platform::Message> RunSummary(const std::optional<platform::Message>& pdfDone, const std::string& folder,
                                            const app::ListJobResult& job, const app::AnomalyReport& anomalies,
                                            const std::optional<RunStop>& stop);

}  // namespace kv::window
