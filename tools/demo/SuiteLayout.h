#pragma once
// Where the demo installation keeps things: the suite's fixed Windows paths, the archive catalogue
// (number, file-name pattern, record length) and the settings store.
#include <array>
#include <map>
#include <string>
#include <string_view>

#include "Fields.h"
#include "archive/IndexPage.h"
#include "archive/SuiteArchives.h"

namespace kv::demo {

inline constexpr std::string_view kArchiveFolder = "C:\\KVPAGHE\\ARCHIVI";
inline constexpr std::string_view kProgramsFolder = "C:\\KVPAGHE\\PROGRAMMI";
inline constexpr std::string_view kArchivePathFile = "C:\\RARADADE\\SLPERARK.SLP";
inline constexpr std::string_view kProgramsPathFile = "C:\\RARADADE\\SLPERPRO.SLP";
inline constexpr std::string_view kTaskFile = "C:\\KVSTASK\\KVSTASK.INI";
inline constexpr std::string_view kTerminalNumber = "01";
// The task line of the workstation: terminal number, then the suite's task entry.
inline constexpr std::string_view kTaskLine = "01 KVSPAGHE POSTAZIONE PAGHE 1";

// The registry's values, kept in an INI file (SettingsStore) named registry.ini under the root.
inline constexpr std::string_view kRegistryFileName = "registry.ini";

inline constexpr int kExtractionRecordLength = 200;  // 20 entries of 10 characters
inline constexpr int kExtractionHeaderLength = 100;
inline constexpr int kIndexKeyLength = 10;
inline constexpr int kIndexRecordLength = index::PageLength(kIndexKeyLength);  // 2176
inline constexpr int kIndexEntriesPerPage = 64;
inline constexpr int kInstallationRecordLength = 100;
inline constexpr int kParametersRecordLength = 100;
inline constexpr int kPrinterSettingsRecordLength = 256;

struct CatalogueEntry {
    int number;
    std::string_view pattern;  // columns 4-32
    int recordLength;  // columns 33-37
    std::string_view description;  // columns 38-79, for the people who read the file
};

// SLBASE.DAT: one 79-character record per archive number; numbers not listed are blank records.
inline constexpr std::array<CatalogueEntry, 10> kCatalogue{{
    {archive::Companies, "SLDITTE.DAT", kCompanyRecordLength, "ANAGRAFICA DITTE"},
    {archive::Employees, "SLDIPEND.DAT", kEmployeeRecordLength, "ANAGRAFICA DIPENDENTI"},
    {archive::ExtractionList, "SLESTRAZ.DAT", kExtractionRecordLength, "ESTRAZIONE DITTE/DIPENDENTI"},
    {archive::ExtractionHeader, "SLESTTES.DAT", kExtractionHeaderLength, "TESTATA ESTRAZIONE"},
    {archive::EmployeeIndex, "SLDIPIDX.DAT", kIndexRecordLength, "INDICE CHIAVI DIPENDENTI"},
    {archive::Semaphore, "SLSEMA.DAT", archive::SemaphoreRecordLength, "SEMAFORO"},
    {archive::InstallationFis, "SLFISCO.DAT", kFisRecordLength, "DATI FISCALI INSTALLAZIONE"},
    {archive::PrinterSettings, "SLSTAMPE$$.TXT", kPrinterSettingsRecordLength, "STAMPANTI POSTAZIONE"},
    {archive::Installation, "SLINSTAL.DAT", kInstallationRecordLength, "DATI INSTALLAZIONE"},
    {archive::Parameters, "SLPARAM.DAT", kParametersRecordLength, "PARAMETRI GENERALI"},
}};

// A catalogue of the given archives (number -> name pattern and record length) for small test
// suites: records 1..last of 79 characters, columns 4-32 the pattern, 33-37 the record length,
// ending in CR LF; numbers not listed are blank records.
inline std::string CatalogueBytes(const std::map<int, std::pair<std::string, int>>& entries, int last = 400) {
    std::string bytes;
    for (int n = 1; n <= last; ++n) {
        std::string r(archive::CatalogueRecordLength - 2, ' ');
        if (auto it = entries.find(n); it != entries.end()) {
            const auto& [name, length] = it->second;
            r.replace(3, name.size(), name).replace(32, 5, std::to_string(100000 + length).substr(1));
        }
        bytes += r + "\r\n";
    }
    return bytes;
}

// Installation-wide values.
inline constexpr std::string_view kInstallationName = "Studio Paghe Demo Velmora";  // upper-cased on reading
inline constexpr std::string_view kDocumentPassword = "LEGGIPDF";  // F357

}  // namespace kv::demo
