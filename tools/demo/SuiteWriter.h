#pragma once
// Lays a SuitePlan out as a complete installation of the payroll suite under a root folder: the
// archive catalogue and semaphore, the archives the program reads (written through the archive
// layer and the field repository, so they are exactly what the program expects), the path files,
// the task file and the settings store.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "SuiteLayout.h"
#include "SuitePlan.h"
#include "archive/ArchiveFiles.h"
#include "archive/ErrorHandler.h"
#include "archive/ExtractionHeader.h"
#include "archive/FieldRepository.h"
#include "archive/IndexBuilder.h"
#include "archive/Numbers.h"
#include "archive/Settings.h"
#include "archive/Trace.h"
#include "platform/Encoding.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"

namespace kv::demo {

struct DemoSummary {
    std::filesystem::path root;
    std::string archiveFolder;  // as the suite names it
    std::filesystem::path archiveHostFolder;
    std::filesystem::path registryFile;
    std::string period;  // YYYYMM
    std::string extractionDate;  // DDMMYYYY
    bool additionalMonth = false;
    int companies = 0;  // companies with entries in the extraction
    int employees = 0;  // extraction entries
    int extractionRecords = 0;
    std::string missingKey;  // the key left out of the index
    std::vector<std::pair<int, std::string>> companyNames;  // code, name as stored (Windows-1252)
};

class SuiteWriter {
public:
    // Messages of the archive layer (errors) go to `messages`.
    SuiteWriter(const SuitePlan& plan, platform::MessageBoxes& messages)
        : plan_(plan),
          paths_(plan.options.root),
          errors_(trace_, messages, "KVDEMO"),
          files_(settings_, errors_, paths_),
          repository_(errors_, messages) {
        settings_.archiveFolder = std::string(kArchiveFolder);
        settings_.programsFolder = std::string(kProgramsFolder);
        settings_.terminalNumber = std::string(kTerminalNumber);
        settings_.taskLine = std::string(kTaskLine);
        settings_.installationName = platform::Utf8ToCp1252(std::string(kInstallationName));
    }

    // Writes everything; the archive layer's errors end in ProgramEnd after their message, file
    // system errors outside it throw std::runtime_error.
    DemoSummary Write() {
        CreateFolders();
        WriteCatalogue();
        WriteSemaphore();
        WriteCompanies();
        WriteEmployees();
        WriteExtraction();
        WriteIndex();
        WriteFis();
        WritePrinterSettings();
        WriteInstallation();
        WriteParameters();
        files_.CHIUDI(0);
        WritePathAndTaskFiles();
        WriteSettingsStore();
        return Summary();
    }

    std::filesystem::path RegistryFile() const {
        if (platform::NativeDrives()) return platform::SettingsStore::DefaultPath();  // the registry itself
        return plan_.options.registryFile.empty() ? plan_.options.root / std::string(kRegistryFileName)
                                                  : plan_.options.registryFile;
    }

private:
    std::filesystem::path Host(std::string_view suitePath) const { return paths_.ToHost(std::string(suitePath)); }
    std::string InArchiveFolder(std::string_view name) const {
        return std::string(kArchiveFolder) + "\\" + std::string(name);
    }

    static void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + path.string());
    }

    static std::string Padded(std::string_view text, std::size_t width) {
        std::string s(text.substr(0, std::min(text.size(), width)));
        s.resize(width, ' ');
        return s;
    }

    void CreateFolders() {
        std::filesystem::create_directories(Host(kArchiveFolder));
        std::filesystem::create_directories(Host(kProgramsFolder));
    }

    // SLBASE.DAT: record n describes archive n.
    void WriteCatalogue() {
        int last = 0;
        for (const auto& e : kCatalogue) last = std::max(last, e.number);
        std::string bytes(static_cast<std::size_t>(last) * archive::CatalogueRecordLength, ' ');
        for (const auto& e : kCatalogue) {
            const std::string record = ExtractionPeriod::Digits(e.number, 3) + Padded(e.pattern, 29) +
                ExtractionPeriod::Digits(e.recordLength, 5) + Padded(e.description, 42);
            bytes.replace(static_cast<std::size_t>(e.number - 1) * archive::CatalogueRecordLength, record.size(),
                          record);
        }
        WriteWholeFile(Host(InArchiveFolder("SLBASE.DAT")), bytes);
    }

    void WriteSemaphore() {
        WriteWholeFile(Host(InArchiveFolder("SLSEMA.DAT")), std::string(archive::SemaphoreRecordLength, ' '));
    }

    // An archive emptied and opened in its slot, ready for SCRIVIREC.
    void OpenEmpty(int number) { files_.AZZERAARCHIVIO(number); }

    void Put(std::string& record, const std::string& code, std::string value, bool raw = false) {
        const std::optional<FieldDescriptor> field = DescriptorOf(code);
        if (!field) throw std::logic_error("no descriptor for field " + code);
        if (raw) {
            FieldDescriptor text = *field;
            text.type = 'A';
            repository_.RepoW(text, value, 0, &record);
        } else {
            const double wanted = field->IsNumeric() ? Val(value) : 0;
            repository_.RepoW(*field, value, 0, &record);
            // The repository keeps the last digits of a value wider than its field: a catalogue
            // value that does not fit would silently become another amount.
            if (field->IsNumeric()) {
                const double stored = repository_.RepoN(*field, 0, record);
                const double unit = field->ReadDecimals() > 0 ? std::pow(10.0, -field->ReadDecimals()) : 1.0;
                if (std::fabs(stored - wanted) > unit / 2 + 1e-9)
                    throw std::logic_error("value " + value + " does not fit field " + code);
            }
        }
    }

    void WriteCompanies() {
        OpenEmpty(archive::Companies);
        for (const auto& c : plan_.companies) {
            std::string record(kCompanyRecordLength, ' ');
            Put(record, "T001", std::to_string(c.code));
            Put(record, "T002", c.name);
            Put(record, "T404", c.tf14Widening ? "1" : "0");
            Put(record, "T003", c.registration);
            Put(record, "T364", c.ownerPassword);
            files_.SCRIVIREC(archive::Companies, c.code, record);
        }
        files_.CHIUDI(archive::Companies);
    }

    void WriteEmployees() {
        OpenEmpty(archive::Employees);
        std::vector<const PlannedEmployee*> byRecord;
        byRecord.reserve(plan_.employees.size());
        for (const auto& e : plan_.employees) byRecord.push_back(&e);
        std::sort(byRecord.begin(), byRecord.end(),
                  [](const auto* a, const auto* b) { return a->recordNumber < b->recordNumber; });
        std::string record;
        for (const PlannedEmployee* e : byRecord) {
            record.assign(kEmployeeRecordLength, ' ');
            for (const auto& f : e->fields) Put(record, f.code, f.value, f.raw);
            files_.SCRIVIREC(archive::Employees, e->recordNumber, record);
        }
        files_.CHIUDI(archive::Employees);
    }

    void WriteExtraction() {
        OpenEmpty(archive::ExtractionList);
        int number = 0;
        for (const auto& entries : plan_.extractionRecords) {
            std::string record;
            for (const auto& entry : entries) record += entry;
            files_.SCRIVIREC(archive::ExtractionList, ++number, Padded(record, kExtractionRecordLength));
        }
        files_.CHIUDI(archive::ExtractionList);

        OpenEmpty(archive::ExtractionHeader);
        const std::string header = ExtractionHeader::Text(plan_.options.period.Date(), plan_.options.additionalMonth);
        files_.SCRIVIREC(archive::ExtractionHeader, 1, Padded(header, kExtractionHeaderLength));
        files_.CHIUDI(archive::ExtractionHeader);
    }

    // The employee index: every key but the one left out on purpose, built in one pass and written
    // page by page. Pages are half full, as the suite's own page splits leave them, so even the
    // small demo has several leaf pages.
    void WriteIndex() {
        std::vector<IndexBuilder::Entry> keys;
        keys.reserve(plan_.employees.size());
        for (const auto& e : plan_.employees)
            if (!e.keyMissingFromIndex) keys.push_back({e.key, e.recordNumber});
        std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.key < b.key; });
        const IndexBuilder builder(kIndexKeyLength, kIndexEntriesPerPage);
        const std::string pages = builder.Build(keys);
        OpenEmpty(archive::EmployeeIndex);
        const std::size_t length = static_cast<std::size_t>(builder.recordLength());
        for (std::size_t at = 0, page = 1; at < pages.size(); at += length, ++page)
            files_.SCRIVIREC(archive::EmployeeIndex, static_cast<int64_t>(page), pages.substr(at, length));
        files_.CHIUDI(archive::EmployeeIndex);
    }

    void WriteFis() {
        OpenEmpty(archive::InstallationFis);
        std::string record(kFisRecordLength, ' ');
        std::string password(kDocumentPassword);
        repository_.RepoW(fields::F357, password, 0, &record);
        files_.SCRIVIREC(archive::InstallationFis, 1, record);
        files_.CHIUDI(archive::InstallationFis);
    }

    void WritePrinterSettings() {
        if (plan_.printers.empty()) return;
        files_.FAIOPENIO(archive::PrinterSettings, 1);
        for (const auto& name : plan_.printers) files_.PrintLine(archive::PrinterSettings, name);
        files_.CHIUDI(archive::PrinterSettings);
    }

    void WriteInstallation() {
        OpenEmpty(archive::Installation);
        files_.SCRIVIREC(archive::Installation, 1, Padded(settings_.installationName, kInstallationRecordLength));
        files_.CHIUDI(archive::Installation);
    }

    void WriteParameters() {
        OpenEmpty(archive::Parameters);
        files_.SCRIVIREC(archive::Parameters, 1,
                         Padded("PARAMETRI KVSPAGHE " + plan_.options.period.YYYY(), kParametersRecordLength));
        files_.CHIUDI(archive::Parameters);
    }

    void WritePathAndTaskFiles() {
        WriteWholeFile(Host(kArchivePathFile), std::string(kArchiveFolder) + "\r\n");
        WriteWholeFile(Host(kProgramsPathFile), std::string(kProgramsFolder) + "\r\n");
        WriteWholeFile(Host(kTaskFile), std::string(kTaskLine) + "\r\n");
    }

    void WriteSettingsStore() {
        const std::filesystem::path ini = RegistryFile();
        if (!platform::NativeDrives()) std::filesystem::create_directories(ini.parent_path());
        platform::SettingsStore registry(ini);
        registry.WriteString(platform::Hive::CurrentUser, platform::kSuiteRegistryKey, "PERCORSOARCHIVI",
                             std::string(kArchiveFolder));
        registry.WriteString(platform::Hive::CurrentUser, platform::kSuiteRegistryKey, "PERCORSOPROGRAMMI",
                             std::string(kProgramsFolder));
    }

    DemoSummary Summary() const {
        DemoSummary s;
        s.root = plan_.options.root;
        s.archiveFolder = std::string(kArchiveFolder);
        s.archiveHostFolder = Host(kArchiveFolder);
        s.registryFile = RegistryFile();
        s.period = plan_.options.period.YYYYMM();
        s.extractionDate = plan_.options.period.Date();
        s.additionalMonth = plan_.options.additionalMonth;
        for (const auto& c : plan_.companies) {
            if (c.employees.empty()) continue;
            ++s.companies;
            s.companyNames.emplace_back(c.code, c.name.substr(0, 30));
        }
        s.employees = static_cast<int>(plan_.employees.size());
        s.extractionRecords = static_cast<int>(plan_.extractionRecords.size());
        if (const auto* m = plan_.MissingKeyEmployee()) s.missingKey = m->key;
        return s;
    }

    const SuitePlan& plan_;
    platform::PathMap paths_;
    Trace trace_;
    Settings settings_;
    ErrorHandler errors_;
    ArchiveFiles files_;
    FieldRepository repository_;
};

}  // namespace kv::demo
