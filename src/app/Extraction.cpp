#include "app/Extraction.h"

#include <algorithm>

#include "archive/LegacyText.h"
#include "archive/SuiteFields.h"
#include "lists/ListEngine.h"

namespace kv::app {

bool Extraction::Load(const char* routine) {
    files_.errors().trace().TRACCIA(routine);
    entries_.clear();
    bool anyRecord = false;
    files_.errors().Guard(routine, [&] {
        for (int record = 1; record <= 1000; ++record) {
            if (files_.LEGGIREC(archive::ExtractionList, record) == 1) break;
            anyRecord = true;
            const std::string& buffer = files_.buffer(archive::ExtractionList);
            for (size_t j = 0; j < 20; ++j) {
                const std::string entry = buffer.size() > j * 10 ? buffer.substr(j * 10, 10) : std::string();
                if (entry == "9999999999" || TrimBlanks(entry).empty()) break;
                if (entries_.size() >= kMaxExtractionEntries) throw RuntimeError(err::SubscriptOutOfRange);
                entries_.push_back(entry);
            }
        }
    });
    if (!anyRecord) messages_.Critical(kWindowCaption, "Attenzione: Non esiste estrazione anno corrente");
    return anyRecord;
}

bool Extraction::VERIFICAESTRAZIONE() {
    ESTRAZIONEMANCANTE = 0;
    if (!Load("VERIFICAESTRAZIONE")) ESTRAZIONEMANCANTE = 1;
    return ESTRAZIONEMANCANTE != 1;
}

void Extraction::CARICAESTRAZIONE() {
    Load("CARICAESTRAZIONE");
    // Equal entries are identical texts, so any sort with the same byte order gives the same table.
    std::sort(entries_.begin(), entries_.end());
}

std::vector<std::string> Extraction::LISTA_AZIENDE() {
    AZIENDACORRENTE.clear();
    codes_.clear();
    std::vector<std::string> lines;
    for (const std::string& entry : entries_) {
        const std::string code = entry.substr(0, 3);
        if (code == AZIENDACORRENTE) continue;
        AZIENDACORRENTE = code;
        files_.errors().NoteEntry(entry);  // a company code that is no number names its entry
        const double pastEnd = files_.LEGGIREC(archive::Companies, ArchiveFiles::RecordValue{Val(code)});
        files_.errors().NoteEntry({});
        if (pastEnd == 1) break;
        repo_.REC_DIT() = files_.buffer(archive::Companies);
        lines.push_back(code + " " + TrimBlanks(repo_.RepoR(fields::T002)) + " " +
                        TrimBlanks(repo_.RepoR(fields::T003)));
        codes_.push_back(code);
    }
    return lines;
}

}  // namespace kv::app
