#pragma once
// What a demo suite holds, decided before anything is written: the companies, every employee with
// its key, record number and field values, and the order of the extraction entries. The writer
// (SuiteWriter.h) only lays this plan out in the archives.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Cases.h"
#include "Fields.h"
#include "GeneratedEmployees.h"
#include "Period.h"
#include "platform/Encoding.h"

namespace kv::demo {

inline constexpr int kCatalogueCompanies = 4;
inline constexpr int kMaxExtractionEntries = 10000;  // the program's extraction table holds 10000
inline constexpr int kMaxEmployeesPerCompany = 9999;  // four-digit employee number

struct DemoOptions {
    std::filesystem::path root;  // the folder that stands for the drives: C:\ is root/C
    int companies = kCatalogueCompanies;
    int employees = 0;  // 0: the catalogue's own count
    ExtractionPeriod period{2018, 3};
    bool additionalMonth = false;
    uint32_t seed = 2018;
    std::filesystem::path registryFile;  // empty: root/registry.ini
};

struct PlannedField {
    std::string code;
    std::string value;  // Windows-1252, period tokens expanded
    bool raw = false;
};

struct PlannedEmployee {
    int company = 0;
    int number = 0;  // P177
    std::string key;  // P001, 10 characters
    std::string surname;  // Windows-1252
    std::string firstName;  // Windows-1252
    std::string exercises;
    std::vector<PlannedField> fields;  // every field written, in writing order
    bool keyMissingFromIndex = false;
    int recordNumber = 0;  // in archive 2

    // The planned text of a field, or nullopt when the plan does not write it.
    std::optional<std::string> Value(std::string_view code) const {
        std::optional<std::string> v;
        for (const auto& f : fields)
            if (f.code == code) v = f.value;  // the last write wins
        return v;
    }
};

struct PlannedCompany {
    int code = 0;
    std::string name;  // Windows-1252, as given (the record keeps 30 characters)
    std::string registration;  // T003
    bool tf14Widening = false;
    std::string ownerPassword;
    std::vector<int> employees;  // indexes into SuitePlan::employees
};

struct SuitePlan {
    DemoOptions options;
    std::vector<PlannedCompany> companies;
    std::vector<PlannedEmployee> employees;
    // Extraction list records: each a vector of up to 20 entries; "9999999999" may end one early.
    std::vector<std::vector<std::string>> extractionRecords;
    // The workstation's printer setting file (archive 280): standard printer, then laser printer,
    // Windows-1252. Empty: no file, so every printed list stops at the printer check.
    std::vector<std::string> printers;

    // The employee with the key left out of the index.
    const PlannedEmployee* MissingKeyEmployee() const {
        for (const auto& e : employees)
            if (e.keyMissingFromIndex) return &e;
        return nullptr;
    }
};

// The employee key: company code, "000", employee number.
inline std::string EmployeeKey(int company, int number) {
    return ExtractionPeriod::Digits(company, 3) + "000" + ExtractionPeriod::Digits(number, 4);
}

// The extraction entry of an employee: company code and record number.
inline std::string ExtractionEntry(int company, int recordNumber) {
    return ExtractionPeriod::Digits(company, 3) + ExtractionPeriod::Digits(recordNumber, 7);
}

inline constexpr std::string_view kEndOfEntries = "9999999999";

namespace detail {

inline PlannedEmployee PlanEmployee(const EmployeeCase& c, int company, int number, const ExtractionPeriod& period) {
    PlannedEmployee e;
    e.company = company;
    e.number = number;
    e.key = EmployeeKey(company, number);
    e.surname = platform::Utf8ToCp1252(std::string(c.surname));
    e.firstName = platform::Utf8ToCp1252(std::string(c.firstName));
    e.exercises = std::string(c.exercises);
    e.keyMissingFromIndex = c.keyMissingFromIndex;
    auto overrideOf = [&](std::string_view code) -> const FieldSetting* {
        const FieldSetting* found = nullptr;
        for (const auto& f : c.fields)
            if (f.code == code) found = &f;
        return found;
    };
    auto add = [&](const FieldSetting& f) {
        e.fields.push_back({std::string(f.code), platform::Utf8ToCp1252(period.Expand(f.value)), f.raw});
    };
    // Identity first, then the standard values with the case's overrides, then the case's other fields.
    e.fields.push_back({"P001", e.key, false});
    e.fields.push_back({"P177", std::to_string(number), false});
    e.fields.push_back({"P002", e.surname, false});
    e.fields.push_back({"P003", e.firstName, false});
    for (const auto& standard : StandardEmployee()) {
        const FieldSetting* o = overrideOf(standard.code);
        add(o ? *o : standard);
    }
    for (const auto& f : c.fields) {
        bool inStandard = false;
        for (const auto& standard : StandardEmployee()) inStandard = inStandard || standard.code == f.code;
        if (!inStandard && overrideOf(f.code) == &f) add(f);
    }
    return e;
}

// Fisher-Yates on the raw generator output, so the order is the same with every library.
template <typename T>
void Shuffle(std::vector<T>& items, DemoRandom& rnd) {
    for (std::size_t i = items.size(); i > 1; --i) {
        const std::size_t j = rnd.Next() % i;
        std::swap(items[i - 1], items[j]);
    }
}

}  // namespace detail

// Builds the plan; throws std::invalid_argument with a message for the user on bad options.
inline SuitePlan MakePlan(const DemoOptions& options) {
    SuitePlan plan;
    plan.options = options;
    const auto catalogue = CompanyCatalogue();
    const int catalogueEmployees = CatalogueEmployeeCount();
    const int employees = options.employees == 0 ? catalogueEmployees : options.employees;
    plan.options.employees = employees;

    if (options.companies < kCatalogueCompanies || options.companies > 999)
        throw std::invalid_argument("--companies must be between 4 and 999");
    if (employees < catalogueEmployees || employees > kMaxExtractionEntries)
        throw std::invalid_argument("--employees must be between " + std::to_string(catalogueEmployees) +
                                    " (the named cases) and " + std::to_string(kMaxExtractionEntries));
    const int extraCompanies = options.companies - kCatalogueCompanies;
    const int extraEmployees = employees - catalogueEmployees;
    if (extraEmployees < extraCompanies)
        throw std::invalid_argument("every company after the fourth needs an employee: use --employees " +
                                    std::to_string(catalogueEmployees + extraCompanies) + " or more");

    DemoRandom rnd(options.seed);
    const ExtractionPeriod& period = options.period;

    auto addEmployee = [&](PlannedCompany& company, PlannedEmployee e) {
        company.employees.push_back(static_cast<int>(plan.employees.size()));
        plan.employees.push_back(std::move(e));
    };
    auto addGenerated = [&](PlannedCompany& company, int count, bool exclusions) {
        for (int i = 0; i < count; ++i) {
            const int number = static_cast<int>(company.employees.size()) + 1;
            if (number > kMaxEmployeesPerCompany)
                throw std::invalid_argument("more than 9999 employees in one company: add companies");
            const GeneratedEmployee g = GenerateEmployee(rnd, period, exclusions);
            addEmployee(company, detail::PlanEmployee(g.AsCase(), company.code, number, period));
        }
    };

    for (const auto& c : catalogue) {
        PlannedCompany company;
        company.code = c.code;
        company.name = platform::Utf8ToCp1252(std::string(c.name));
        company.registration = std::string(c.registration);
        company.tf14Widening = c.tf14Widening;
        company.ownerPassword = std::string(c.ownerPassword);
        for (const auto& e : c.employees)
            addEmployee(company,
                        detail::PlanEmployee(e, c.code, static_cast<int>(company.employees.size()) + 1, period));
        // The page-break company takes the further employees when there is no further company.
        int generated = c.generatedEmployees;
        if (c.generatedEmployees > 0 && extraCompanies == 0) generated += extraEmployees;
        addGenerated(company, generated, false);
        plan.companies.push_back(std::move(company));
    }
    for (int i = 0; i < extraCompanies; ++i) {
        PlannedCompany company;
        company.code = kCatalogueCompanies + 1 + i;
        company.name = GeneratedCompanyName(rnd);
        company.registration = std::to_string(rnd.Between(1000, 9999)) + std::to_string(rnd.Between(100000, 999999));
        const int share = extraEmployees / extraCompanies + (i < extraEmployees % extraCompanies ? 1 : 0);
        addGenerated(company, share, true);
        plan.companies.push_back(std::move(company));
    }

    // Record numbers in archive 2: the suite adds employees as they are hired, so the archive order
    // has nothing to do with companies or keys.
    std::vector<int> order(plan.employees.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    detail::Shuffle(order, rnd);
    for (std::size_t r = 0; r < order.size(); ++r)
        plan.employees[static_cast<std::size_t>(order[r])].recordNumber = static_cast<int>(r) + 1;

    // Extraction entries in record-number order, so every company's entries are spread over the
    // records and out of key order. The second record ends early with the end mark and the third
    // holds nothing but the end mark; the reader must go on past both.
    std::vector<std::string> entries(plan.employees.size());
    for (const auto& e : plan.employees)
        entries[static_cast<std::size_t>(e.recordNumber - 1)] = ExtractionEntry(e.company, e.recordNumber);
    std::size_t next = 0;
    auto takeRecord = [&](std::size_t count, bool endMark) {
        std::vector<std::string> record;
        for (; count > 0 && next < entries.size(); --count) record.push_back(entries[next++]);
        if (endMark) record.emplace_back(kEndOfEntries);
        plan.extractionRecords.push_back(std::move(record));
    };
    takeRecord(20, false);
    if (entries.size() > 27) {
        takeRecord(7, true);
        takeRecord(0, true);
    }
    while (next < entries.size()) takeRecord(20, false);
    return plan;
}

}  // namespace kv::demo
