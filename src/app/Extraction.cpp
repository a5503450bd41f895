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
    anomalies_.clear();
    std::vector<std::string> lines;
    bool stopped = false;  // a company was missing: the later ones are left out too
    for (const std::string& entry : entries_) {
        const std::string code = entry.substr(0, 3);
        if (code == AZIENDACORRENTE) continue;
        if (code.size() != 3 || code.find_first_not_of("0123456789") != std::string::npos) {
            anomalies_.push_back(
                {code, "", "voce " + entry, lists::AnomalyReason::BadEntry, "codice ditta \"" + code + "\""});
            continue;
        }
        AZIENDACORRENTE = code;
        const double record = Val(code);
        if (!stopped) {
            files_.errors().NoteEntry(entry);
            stopped = files_.LEGGIREC(archive::Companies, ArchiveFiles::RecordValue{record}) == 1;
            files_.errors().NoteEntry({});
        }
        if (stopped) {
            const double length = static_cast<double>(files_.slot(archive::Companies).recordLength);
            const double present = static_cast<double>(files_.FileLength(archive::Companies)) - (record - 1) * length;
            anomalies_.push_back({code, "", "", lists::AnomalyReason::CompanyMissing,
                                  "record " + NumberText(record) +
                                      (present <= 0           ? " oltre la fine dell'archivio"
                                           : present < length ? " troncato a " + NumberText(present) +
                                               " caratteri su " + NumberText(length)
                                                              : " dopo una ditta mancante")});
            continue;
        }
        repo_.REC_DIT() = files_.buffer(archive::Companies);
        lines.push_back(code + " " + TrimBlanks(repo_.RepoR(fields::T002)) + " " +
                        TrimBlanks(repo_.RepoR(fields::T003)));
        codes_.push_back(code);
    }
    return lines;
}

}  // namespace kv::app
