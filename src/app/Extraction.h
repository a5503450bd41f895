#pragma once
// The current extraction: the companies and employees the month's payroll covers (archive 5), its
// check at start-up, the sorted table the lists select from, and the company lines of the window.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveFiles.h"
#include "archive/FieldRepository.h"
#include "lists/ListObserver.h"
#include "platform/Messages.h"

namespace kv::app {

inline constexpr const char* kWindowCaption = "Stampe Fondo Tesoreria";
inline constexpr size_t kMaxExtractionEntries = 10000;

class Extraction {
public:
    Extraction(ArchiveFiles& files, FieldRepository& repo, platform::MessageBoxes& messages)
        : files_(files), repo_(repo), messages_(messages) {}

    // Loads the entries unsorted; ESTRAZIONEMANCANTE is 1 (and the warning shown) when archive 5 has
    // no record. Returns true when the extraction exists.
    bool VERIFICAESTRAZIONE();
    // Loads the entries and sorts them in ascending byte order.
    void CARICAESTRAZIONE();
    // The company lines of the window: code, name and T003, one per company in ascending code order.
    // An entry whose company code is no three digits is skipped; the filling stops at the first
    // company past the end of the companies archive (or cut inside its record). Both are named in
    // anomalies().
    std::vector<std::string> LISTA_AZIENDE();
    // What the last LISTA_AZIENDE left out: entries that name no company, companies not listed.
    const std::vector<lists::Anomaly>& anomalies() const { return anomalies_; }
    // The codes of the companies of the last LISTA_AZIENDE, line for line.
    const std::vector<std::string>& companyCodes() const { return codes_; }

    // ELENCOESTRAZIONE: the used entries (company code 3 + employee record number 7).
    const std::vector<std::string>& ELENCOESTRAZIONE() const { return entries_; }
    int16_t ESTRAZIONEMANCANTE = 0;
    std::string AZIENDACORRENTE;

private:
    // Reads archive 5; false when it has no record at all.
    bool Load(const char* routine);

    ArchiveFiles& files_;
    FieldRepository& repo_;
    platform::MessageBoxes& messages_;
    std::vector<std::string> entries_;
    std::vector<std::string> codes_;
    std::vector<lists::Anomaly> anomalies_;
};

}  // namespace kv::app
