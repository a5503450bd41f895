#pragma once
// Generated employees and companies: plausible payroll data for the page-break company and for the
// larger suites (--companies, --employees). Everything comes from one seeded generator, so a seed
// always gives the same suite.
#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "Cases.h"
#include "Period.h"

namespace kv::demo {

// A deterministic source of choices. Only the raw 32-bit output of the engine is used (the standard
// distributions may differ between libraries), so a seed gives the same suite everywhere.
class DemoRandom {
public:
    explicit DemoRandom(uint32_t seed) : engine_(seed) {}
    // A whole number from lo to hi, both included.
    int Between(int lo, int hi) { return lo + static_cast<int>(engine_() % static_cast<uint32_t>(hi - lo + 1)); }
    // True with the given chance in percent.
    bool Percent(int chance) { return Between(1, 100) <= chance; }
    template <typename T, std::size_t N>
    const T& Pick(const std::array<T, N>& items) {
        return items[static_cast<std::size_t>(Between(0, N - 1))];
    }
    uint32_t Next() { return engine_(); }

private:
    std::mt19937 engine_;
};

// An amount in cents as the office types it: "1234.56", "-150.00".
inline std::string Amount(int64_t cents) {
    const bool negative = cents < 0;
    const uint64_t c = negative ? static_cast<uint64_t>(-cents) : static_cast<uint64_t>(cents);
    std::string frac = std::to_string(c % 100);
    if (frac.size() < 2) frac = "0" + frac;
    return (negative ? "-" : "") + std::to_string(c / 100) + "." + frac;
}

// One generated employee: texts that stay alive with the object (EmployeeCase holds views).
struct GeneratedEmployee {
    std::string surname;
    std::string firstName;
    std::vector<std::pair<std::string, std::string>> fields;  // code, value (period tokens expanded)

    EmployeeCase AsCase() const {
        EmployeeCase e;
        e.surname = surname;
        e.firstName = firstName;
        e.exercises = "generated";
        for (const auto& [code, value] : fields) e.fields.push_back({code, value});
        return e;
    }
};

inline constexpr std::array<std::string_view, 48> kSurnames{
    "ROSSI",      "RUSSO",  "FERRARI",  "ESPOSITO", "BIANCHI",  "ROMANO",    "COLOMBO",  "RICCI",
    "MARINO",     "GRECO",  "BRUNO",    "GALLO",    "CONTI",    "DE LUCA",   "MANCINI",  "COSTA",
    "GIORDANO",   "RIZZO",  "LOMBARDI", "MORETTI",  "BARBIERI", "FONTANA",   "SANTORO",  "MARINI",
    "RINALDI",    "CARUSO", "FERRARA",  "GALLI",    "MARTINI",  "LEONE",     "LONGO",    "GENTILE",
    "MARTINELLI", "VITALE", "LOMBARDO", "SERRA",    "COPPOLA",  "DE SANTIS", "D'ANGELO", "MARCHETTI",
    "PARISI",     "VILLA",  "CONTE",    "FERRO",    "FABBRI",   "BIANCO",    "MARCHI",   "NICOLÒ"};
inline constexpr std::array<std::string_view, 40> kFirstNames{
    "MARCO",      "GIULIA",  "LUCA",    "FRANCESCA", "ANDREA",   "CHIARA",    "MATTEO",   "SARA",
    "ALESSANDRO", "MARTINA", "LORENZO", "ELENA",     "DAVIDE",   "VALENTINA", "SIMONE",   "ALESSIA",
    "FEDERICO",   "SILVIA",  "GIORGIO", "LAURA",     "PAOLO",    "ANNA",      "STEFANO",  "ROBERTA",
    "NICOLÒ",     "NOEMI",   "MATTIA",  "GAIA",      "RICCARDO", "AURORA",    "TOMMASO",  "BEATRICE",
    "FABIO",      "IRENE",   "CLAUDIO", "ELISA",     "PIETRO",   "MONICA",    "EMANUELE", "CRISTINA"};
inline constexpr std::array<std::string_view, 24> kCompanyWords{
    "EDILIZIA",     "TRASPORTI",   "LOGISTICA",   "METALMECCANICA", "ALIMENTARI",     "TESSILE",
    "SERVIZI",      "COSTRUZIONI", "IMPIANTI",    "COMMERCIALE",    "AUTOFFICINA",    "FORNITURE",
    "INFORMATICA",  "CERAMICHE",   "ARREDAMENTI", "TIPOGRAFIA",     "CALZATURIFICIO", "CASEIFICIO",
    "FALEGNAMERIA", "VETRERIA",    "IDRAULICA",   "ELETTRONICA",    "PANIFICIO",      "AGRICOLA"};
inline constexpr std::array<std::string_view, 16> kCompanyPlaces{
    "LOMBARDA", "VENETA",  "EMILIANA",  "TOSCANA",   "ROMANA", "PUGLIESE", "SICULA",   "SARDA",
    "DEL NORD", "DEL SUD", "ADRIATICA", "TIRRENICA", "ALPINA", "LIGURE",   "FRIULANA", "MARCHIGIANA"};
inline constexpr std::array<std::string_view, 6> kCompanyForms{"S.R.L.", "S.P.A.",   "SNC",
                                                               "SAS",    "S.R.L.S.", "SOC. COOP."};
inline constexpr std::array<std::string_view, 8> kReliefCodes{"4", "5", "6", "7", "8", "9", "A", "B"};

// A company name made of an activity, a place and a legal form.
inline std::string GeneratedCompanyName(DemoRandom& rnd) {
    return std::string(rnd.Pick(kCompanyWords)) + " " + std::string(rnd.Pick(kCompanyPlaces)) + " " +
        std::string(rnd.Pick(kCompanyForms));
}

// One employee with plausible values for the period. With exclusions false the employee is always
// listed by CF01 (the page-break company relies on that).
inline GeneratedEmployee GenerateEmployee(DemoRandom& rnd, const ExtractionPeriod& period, bool exclusions) {
    GeneratedEmployee e;
    e.surname = std::string(rnd.Pick(kSurnames));
    e.firstName = std::string(rnd.Pick(kFirstNames));
    auto set = [&](std::string code, std::string value) { e.fields.emplace_back(std::move(code), std::move(value)); };

    const int64_t pay = rnd.Between(110000, 480000);  // cents
    const int64_t taxable = rnd.Percent(80) ? pay : pay + rnd.Between(-20000, 20000);
    set("P260", Amount(pay));
    set("P240", Amount(taxable));
    set("Q037", Amount(pay * period.month));
    set("Q001", Amount(taxable * period.month));

    const int lastYear = std::max(1990, period.year - 1);
    const int hireYear = period.year >= 2016 && rnd.Percent(8) ? 2016 : rnd.Between(1990, lastYear);
    const int hireMonth = rnd.Between(1, 12);
    set("P013",
        ExtractionPeriod::Digits(rnd.Between(1, 28), 2) + ExtractionPeriod::Digits(hireMonth, 2) +
            ExtractionPeriod::Digits(hireYear, 4));

    const int relief = rnd.Between(1, 100);
    if (relief <= 5)
        set("P916", " ");
    else if (relief <= 12)
        set("P916", "1");
    else if (relief <= 22)
        set("P916", std::string(rnd.Pick(kReliefCodes)));

    if (rnd.Percent(10)) set("P620", "0.30");
    if (rnd.Percent(3)) set("P083", "1");
    if (rnd.Percent(8)) {
        const int64_t extra = rnd.Between(50000, pay);
        set("P606", Amount(extra));
        set("P268", Amount(extra));
        set("P600", Amount(rnd.Between(1000, 6000)));
        set("P604", Amount(rnd.Between(500, 3000)));
    }
    // A pension fund takes part or all of the month's TFR.
    const int64_t tfr = pay * 100 / 1350;
    if (rnd.Percent(30)) {
        set("Q201", Amount(tfr * rnd.Between(40, 105) / 100));
        if (rnd.Percent(20)) {
            // Adhesion in the month of this payment: arrears and interest to declare.
            const int64_t fund = rnd.Between(20000, 300000);
            const int64_t monthly = rnd.Between(1000, 20000);
            set("P599", period.MMYYYY());
            set("Q236", Amount(fund));
            set("Q201", Amount(monthly));
            set("Q688", Amount(rnd.Between(0, 20000)));
            set("Q689", Amount(rnd.Between(0, 300)));
            set("Q691", Amount(rnd.Between(0, 100)));
        } else {
            set("P599",
                ExtractionPeriod::Digits(rnd.Between(1, 12), 2) +
                    ExtractionPeriod::Digits(rnd.Between(std::min(2007, lastYear), lastYear), 4));
        }
    }
    if (rnd.Percent(3)) set("P188", "1");
    if (rnd.Percent(2)) set("P117", "1");
    if (rnd.Percent(5)) set("P511", "1");
    if (rnd.Percent(4)) set("P602", Amount(rnd.Between(10000, 900000)));
    if (rnd.Percent(4)) set("P603", Amount(rnd.Between(10000, 500000)));
    if (exclusions) {
        const int out = rnd.Between(1, 100);
        if (out <= 2)
            set("P359", "99");
        else if (out <= 4)
            set("P054", "2");
        else if (out <= 7)
            set("P598", "0");
    }
    return e;
}

}  // namespace kv::demo
