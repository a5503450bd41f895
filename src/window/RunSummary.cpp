#include "window/RunSummary.h"

#include "app/Extraction.h"

namespace kv::window {

namespace fs = std::filesystem;

RunFolder FolderOfFiles(const std::vector<fs::path>& files, const fs::path& top, const std::string& suiteTop) {
    fs::path common;
    for (const fs::path& file : files) {
        const fs::path folder = file.parent_path();
        if (&file == &files.front()) {
            common = folder;
            continue;
        }
        fs::path shared;
        for (auto a = common.begin(), b = folder.begin(); a != common.end() && b != folder.end() && *a == *b; ++a, ++b)
            shared /= *a;
        common = shared;
    }
    const fs::path below = common.lexically_relative(top);
    if (below.empty() || *below.begin() == "..") return {top, suiteTop};
    RunFolder out{common, suiteTop};
    for (const fs::path& part : below)
        if (part != ".") out.suite += "\\" + part.string();
    return out;
}

std::optional<platform::Message> RunSummary(const std::optional<platform::Message>& pdfDone, const std::string& folder,
                                            const app::ListJobResult& job, const app::AnomalyReport& anomalies,
                                            const std::optional<RunStop>& stop) {
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : "\r\r") + part; };
    if (pdfDone) add(pdfDone->text + "\r\rI file di questa elaborazione sono in :\r" + folder);
    switch (job.workbook) {
    case app::WorkbookResult::RunIncomplete:
        add("Il file Excel non e' stato creato: l'elaborazione non e' terminata");
        break;
    case app::WorkbookResult::Written: add("Il file Excel e' stato creato in :\r" + job.workbookSuitePath); break;
    case app::WorkbookResult::Failed: add("Il file Excel non e' stato creato:\r" + job.workbookError); break;
    default: break;
    }
    const bool list = anomalies.DamagedData();
    if (list) add(anomalies.Summary());
    if (const std::optional<RunStop>& s = stop) {
        const int left = s->count - s->done;
        add("Elaborazione interrotta dopo l'azienda " + s->lastDone + " (" + std::to_string(s->done) + " di " +
            std::to_string(s->count) + ").\r" +
            (left == 1 ? std::string("L'azienda non elaborata resta selezionata")
                       : "Le " + std::to_string(left) + " aziende non elaborate restano selezionate") +
            ": premere \"" + s->button + "\" per proseguire.");
    }
    if (text.empty()) return std::nullopt;
    using platform::Buttons;
    const Buttons buttons = pdfDone ? (list ? Buttons::OkOpenFolderList : Buttons::OkOpenFolder)
        : list                      ? Buttons::OkList
                                    : Buttons::Ok;
    return platform::Message{pdfDone ? pdfDone->title : app::kWindowCaption, text, platform::Icon::Information,
                             buttons};
}

}  // namespace kv::window
