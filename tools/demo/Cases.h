#pragma once
// The demo suite's case catalogue: the companies and the named employees of the demo installation,
// each with the field values that make it exercise one rule of the Fondo Tesoreria lists.
//
// An employee is the standard employee (kStandardEmployee) with the fields of its case overriding.
// Values are texts as the payroll office types them ("1234.56", dates DDMMYYYY) and are written with
// RepoW; a field marked raw is stored as its bare characters (blank or not a number), which only a
// hand-edited or damaged record holds. Texts are UTF-8 here and become Windows-1252 bytes in the
// records. Tokens in values take the extraction period: {DATE} the extraction date DDMMYYYY (last day
// of the month), {MM} its month, {YYYY} its year, {MMYYYY} both.
//
// With the default extraction (March 2018, ordinary month) the standard employee computes as:
//   TFR MESE / PUNTO 1 = 2000 / 13.5 - 2000 * 0.50% = 138.15; Q201 = 0, so F.TESORERIA = CF01 = 138.15,
//   COEF.1 = 1.00000, TF14 = 2000 * 0.0028 = 5.60, TF02 = 2000 * 0.0020 = 4.00.
//
// Company 001 PERÒ COSTRUZIONI S.R.L. (T404 = 1, owner password T364 filled)
// | #  | employee                  | values that trigger it                                | exercises
// |----|---------------------------|-------------------------------------------------------|------------------------------
// |  1 | ROSSI MARIO               | standard employee                                     | every amount list: the plain formulas
// |  2 | BIANCHI LUCA              | P916 blank                                            | 40% test: blank becomes "0", no reduction
// |  3 | FERRARI GIULIA            | P916 "1", P013 01032016                               | 2016 hire inside the window (ends 201803)
// |  4 | ESPOSITO ANNA             | P916 "1", P013 20022016                               | 2016 hire outside the window (201802)
// |  5 | ROMANO PAOLO              | P916 "1", P013 2012, P939 01052016, P620 0.40         | window by P939 (201805), rate from P620
// |  6 | COLOMBO SARA              | P916 "1", P013 01062016, P939 10012016                | P939 wins over P013: outside (201801)
// |  7 | RICCI MARCO               | P916 "1", P013 01032015                               | code 1 but not hired in 2016: none
// |  8 | MARINO ELENA              | P916 "4"                                              | reduction by code; CF01 keeps 50%
// |  9 | GRECO LUIGI               | P916 "5", P083 1, P620 0.30                           | exempt with reduction: r = 0.30, 50%
// | 10 | BRUNO CHIARA              | P916 "6"                                              | reduction by code; CF01 keeps 100%
// | 11 | GALLO ANDREA              | P916 "7"                                              | as above
// | 12 | CONTI FRANCESCA           | P916 "8"                                              | as above
// | 13 | DE LUCA STEFANO           | P916 "9"                                              | as above
// | 14 | MANCINI SILVIA            | P916 "A"                                              | as above
// | 15 | COSTA DAVIDE              | P916 "B"                                              | as above
// | 16 | GIORDANO VALENTINA        | P620 0.30                                             | own rate, no reduction
// | 17 | RIZZO MATTEO              | P083 1, P620 0.30                                     | exempt without reduction: r = 0
// | 18 | LOMBARDI ROBERTA          | P083 1, P916 "1", P013 01032016                       | exempt with reduction: r = 0.50
// | 19 | MORETTI GIORGIO           | P606 1400 > 0, P268 1400, P600 80, P604 25, Q201 40   | P606 > 0: bases with P268, split P604+P600
// | 20 | BARBIERI ALESSIA          | P606 -150.00                                          | P606 <= 0 branch with a negative P606
// | 21 | FONTANA NICOLA            | P606 500, P600 90, P604 30                            | F.PENSIONE negative (-16.39)
// | 22 | SANTORO IRENE             | Q201 138.90 (TFR 138.15)                              | floor rule: equal whole units -> TFR = Q201
// | 23 | MARINI FEDERICO           | Q201 200.00                                           | floor rule: Q201 above the TFR
// | 24 | RINALDI CLAUDIA           | Q201 100.00                                           | plain split F.TESORERIA 38.15 / F.PENSIONE 100
// | 25 | CARUSO SIMONE             | adhesion this month, Q236 100, Q201 15, Q688 30       | CF02: F.PENSIONE 85, TFR PROGR. 115; CF11 "GF"
// | 26 | FERRI MARTINA             | adhesion this month, Q236 100, Q201 15, Q688 0.40     | CF02/CF11/TF02 arrears floor rules
// | 27 | GATTI EMANUELE            | adhesion this month, Q688 150.40, Q236-Q201 1000.30   | TF02 arrears: COEF1 0.13070, 1151 / 1000 / 151
// | 28 | LEONE ROSA                | adhesion, Q688 0, Q236-Q201 1000.50, P511 "1"         | TF02 arrears: COEF1 1, COEF2 0.004, 1001 units
// | 29 | LONGO ALBERTO             | P598 1, P599 112017                                   | adhesion month differs from Q179: skipped
// | 30 | GENTILE FABIO             | P599 092017, Q179 29092017, P013 15052017             | CF11 months "MGLA", MM ARR 4
// | 31 | MARTINELLI LAURA          | P599 01{YYYY}, Q179 in January, hired 2010            | CF11 MM ARR 0 by January adhesion
// | 32 | VITALE DANIELE            | P599 {MMYYYY}, P013 05{MM}{YYYY}                      | CF11 MM ARR 0 by hire in the adhesion month
// | 33 | LOMBARDO MARTA            | P599 022017, Q179 28022017, P013 03042017             | CF11 negative MM ARR (adhesion before hire)
// | 34 | SERRA GIACOMO             | adhesion, P606 1200, P604 30, P916 "5"                | CF02 F.PENSIONE with 40% of the P268 contribution
// | 35 | PELLEGRINI CHIARA         | P188 1, P598 0                                        | only in TF14 (T404 = 1); out of every other list
// | 36 | CARBONE SERGIO            | P188 1, P598 1, adhesion this month                   | in CF01/TF14/CF02/CF11; out of TF02 and arrears
// | 37 | VILLA MONICA              | P117 1, adhesion this month                           | out of TF02 and TF02 arrears
// | 38 | FARINA ROBERTO            | P511 "1"                                              | TF02 with %FDG 0.40
// | 39 | CATTANEO LUCIA            | P602 1500.00, P603 800.00                             | recoveries: both
// | 40 | SALA PIETRO               | P602 2300.50                                          | recoveries: settlement only (0.00 printed)
// | 41 | NERI ELISA                | P603 450.00                                           | recoveries: advance only
// | 42 | PARISI EDOARDO            | P359 99 (and P602 filled)                             | excluded from every list
// | 43 | MORELLI CRISTINA          | P054 2 (and P602 filled)                              | excluded from every list
// | 44 | BELLINI ORNELLA           | P598 0                                                | excluded (no TF14 widening: P188 0)
// | 45 | D'ANDREA NICOLÒ           | accented first name, apostrophe                       | cp1252 byte 0xD2 in the record
// | 46 | CANTÙ GIOSUÈ              | accented surname                                      | cp1252 bytes 0xD9, 0xC8
// | 47 | DELLA ROVERE SFORZA VISCONTI ALESSANDRO | surname of 28 characters                | name cell keeps the first 20
// | 48 | ZANETTI UMBERTO           | P260 = P240 = 12345678.90 (Q037, Q001 at their maximum) | amounts of ten million: cells keep 10 chars
// | 49 | GRASSI NADIA              | P240 blank, Q201 "N/D" (raw)                          | blank / non-numeric amounts read as 0
// | 50 | RUSSO ETTORE              | P598 1, P599 and Q179 blank (raw)                     | both months 0: selected, CF11 MM ARR -1
//
// Company 002 TRASPORTI A/R: VELOCI E SICURI DI NICOLÒ (name of 40 characters: the record keeps the
// first 30, with "/" and ":"): 70 generated employees, all in CF01 -> page breaks after 54 lines.
// Company 003 STUDIO ASSOCIATO BIANCHI (T404 = 0): no employee is selected by any list (P359 99,
// P054 2, and P188 1 with P598 0 in a company without the TF14 widening): nothing is produced.
// Company 004 OFFICINA MECCANICA VERDI SNC: one employee whose key is missing from the index: every
// list shows the header and a TOTALE of zeros.
// Companies 005 on (only with --companies > 4) hold generated employees.
#include <string_view>
#include <vector>

namespace kv::demo {

struct FieldSetting {
    std::string_view code;
    std::string_view value;
    bool raw = false;  // stored as the bare characters, not converted by type
};

struct EmployeeCase {
    std::string_view surname;  // UTF-8
    std::string_view firstName;  // UTF-8
    std::string_view exercises;
    std::vector<FieldSetting> fields;  // overrides of kStandardEmployee
    bool keyMissingFromIndex = false;
};

struct CompanyCase {
    int code = 0;
    std::string_view name;  // UTF-8; may be longer than the 30-character field
    std::string_view registration;  // T003
    bool tf14Widening = false;  // T404 = 1
    std::string_view ownerPassword;  // T364; blank = the company's PDF files are not protected
    std::string_view exercises;
    std::vector<EmployeeCase> employees;
    int generatedEmployees = 0;  // generated employees that follow the named ones
};

// The standard employee: in the Treasury Fund, paid this month, no pension fund, no relief.
inline const std::vector<FieldSetting>& StandardEmployee() {
    static const std::vector<FieldSetting> fields{
        {"P359", "0"},       {"P188", "0"}, {"P054", "0"},        {"P117", "0"},       {"P083", "0"},
        {"P511", "0"},       {"Q201", "0"}, {"Q037", "6000.00"},  {"Q001", "6000.00"}, {"P240", "2000.00"},
        {"P260", "2000.00"}, {"Q236", "0"}, {"P013", "01092010"}, {"Q179", "{DATE}"},  {"P268", "0"},
        {"P598", "1"},       {"P600", "0"}, {"Q688", "0"},        {"Q689", "0"},       {"Q691", "0"},
        {"P602", "0"},       {"P603", "0"}, {"P604", "0"},        {"P606", "0"},       {"P620", "0"},
        {"P916", "0"},
    };
    return fields;
}

// Adhesion to the pension fund in the month of the last payment (the current extraction).
#define KV_DEMO_ADHESION_THIS_MONTH \
    {"P599", "{MMYYYY}"}, { "Q179", "{DATE}" }

inline std::vector<CompanyCase> CompanyCatalogue() {
    std::vector<CompanyCase> companies;

    CompanyCase a;
    a.code = 1;
    a.name = "PERÒ COSTRUZIONI S.R.L.";
    a.registration = "4901234567";
    a.tf14Widening = true;
    a.ownerPassword = "PERO2018";
    a.exercises = "every employee case; accented name ending in '.'; protected PDF files";
    a.employees = {
        {"ROSSI", "MARIO", "standard employee", {}},
        {"BIANCHI", "LUCA", "P916 blank: no reduction", {{"P916", " "}}},
        {"FERRARI", "GIULIA", "2016 hire inside the window", {{"P916", "1"}, {"P013", "01032016"}}},
        {"ESPOSITO", "ANNA", "2016 hire outside the window", {{"P916", "1"}, {"P013", "20022016"}}},
        {"ROMANO",
         "PAOLO",
         "window by P939, own rate",
         {{"P916", "1"}, {"P013", "01062012"}, {"P939", "01052016"}, {"P620", "0.40"}}},
        {"COLOMBO",
         "SARA",
         "P939 outside wins over P013 inside",
         {{"P916", "1"}, {"P013", "01062016"}, {"P939", "10012016"}}},
        {"RICCI", "MARCO", "code 1 without a 2016 hire", {{"P916", "1"}, {"P013", "01032015"}}},
        {"MARINO", "ELENA", "relief code 4", {{"P916", "4"}, {"P260", "2500.00"}, {"P240", "2500.00"}}},
        {"GRECO",
         "LUIGI",
         "relief code 5, exempt, own rate",
         {{"P916", "5"}, {"P083", "1"}, {"P620", "0.30"}, {"P260", "2700.00"}, {"P240", "2700.00"}}},
        {"BRUNO", "CHIARA", "relief code 6", {{"P916", "6"}, {"P260", "1900.00"}, {"P240", "1900.00"}}},
        {"GALLO", "ANDREA", "relief code 7", {{"P916", "7"}}},
        {"CONTI", "FRANCESCA", "relief code 8", {{"P916", "8"}}},
        {"DE LUCA", "STEFANO", "relief code 9", {{"P916", "9"}}},
        {"MANCINI", "SILVIA", "relief code A", {{"P916", "A"}}},
        {"COSTA", "DAVIDE", "relief code B", {{"P916", "B"}}},
        {"GIORDANO", "VALENTINA", "own rate", {{"P620", "0.30"}}},
        {"RIZZO", "MATTEO", "exempt without reduction", {{"P083", "1"}, {"P620", "0.30"}}},
        {"LOMBARDI", "ROBERTA", "exempt with 2016 reduction", {{"P083", "1"}, {"P916", "1"}, {"P013", "01032016"}}},
        {"MORETTI",
         "GIORGIO",
         "P606 > 0",
         {{"P260", "2100.00"},
          {"P240", "2100.00"},
          {"P606", "1400.00"},
          {"P268", "1400.00"},
          {"P600", "80.00"},
          {"P604", "25.00"},
          {"Q201", "40.00"},
          {"P599", "012014"}}},
        {"BARBIERI", "ALESSIA", "negative P606", {{"P260", "1800.00"}, {"P240", "1800.00"}, {"P606", "-150.00"}}},
        {"FONTANA",
         "NICOLA",
         "negative F.PENSIONE",
         {{"P260", "1000.00"},
          {"P240", "1000.00"},
          {"P606", "500.00"},
          {"P268", "500.00"},
          {"P600", "90.00"},
          {"P604", "30.00"}}},
        {"SANTORO", "IRENE", "floor rule, equal whole units", {{"Q201", "138.90"}, {"P599", "012015"}}},
        {"MARINI", "FEDERICO", "floor rule, Q201 above", {{"Q201", "200.00"}, {"P599", "062016"}}},
        {"RINALDI", "CLAUDIA", "pension fund split", {{"Q201", "100.00"}, {"P599", "032017"}}},
        {"CARUSO",
         "SIMONE",
         "CF02 worked example",
         {KV_DEMO_ADHESION_THIS_MONTH,
          {"P013", "01092012"},
          {"Q236", "100.00"},
          {"Q201", "15.00"},
          {"Q688", "30.00"},
          {"Q689", "0.21"},
          {"Q691", "0.06"}}},
        {"FERRI",
         "MARTINA",
         "arrears floor rules",
         {KV_DEMO_ADHESION_THIS_MONTH, {"Q236", "100.00"}, {"Q201", "15.00"}, {"Q688", "0.40"}, {"Q689", "0.01"}}},
        {"GATTI",
         "EMANUELE",
         "TF02 arrears worked example",
         {KV_DEMO_ADHESION_THIS_MONTH,
          {"Q236", "1200.30"},
          {"Q201", "200.00"},
          {"Q688", "150.40"},
          {"Q689", "1.03"},
          {"Q691", "0.30"},
          {"Q037", "24000.00"},
          {"Q001", "24000.00"},
          {"P260", "8000.00"},
          {"P240", "8000.00"}}},
        {"LEONE",
         "ROSA",
         "TF02 arrears without CF02, executive",
         {KV_DEMO_ADHESION_THIS_MONTH,
          {"Q236", "1100.50"},
          {"Q201", "100.00"},
          {"Q688", "0"},
          {"P511", "1"},
          {"Q691", "4.00"}}},
        {"LONGO", "ALBERTO", "adhesion in another month", {{"P599", "112017"}, {"Q201", "20.00"}}},
        {"GENTILE",
         "FABIO",
         "CF11 months MGLA",
         {{"P599", "092017"},
          {"Q179", "29092017"},
          {"P013", "15052017"},
          {"Q236", "500.00"},
          {"Q201", "100.00"},
          {"Q688", "60.00"},
          {"Q689", "0.55"}}},
        {"MARTINELLI",
         "LAURA",
         "CF11 January adhesion",
         {{"P599", "01{YYYY}"},
          {"Q179", "3101{YYYY}"},
          {"Q236", "200.00"},
          {"Q201", "50.00"},
          {"Q688", "20.00"},
          {"Q689", "0.10"}}},
        {"VITALE",
         "DANIELE",
         "CF11 hire in the adhesion month",
         {KV_DEMO_ADHESION_THIS_MONTH,
          {"P013", "05{MM}{YYYY}"},
          {"Q236", "80.00"},
          {"Q201", "20.00"},
          {"Q688", "10.00"}}},
        {"LOMBARDO",
         "MARTA",
         "CF11 adhesion before hire",
         {{"P599", "022017"},
          {"Q179", "28022017"},
          {"P013", "03042017"},
          {"Q236", "60.00"},
          {"Q201", "10.00"},
          {"Q688", "5.00"}}},
        {"SERRA",
         "GIACOMO",
         "CF02 with P606 > 0 and reduction",
         {KV_DEMO_ADHESION_THIS_MONTH,
          {"P916", "5"},
          {"P260", "2200.00"},
          {"P240", "2200.00"},
          {"P606", "1200.00"},
          {"P268", "1200.00"},
          {"P600", "40.00"},
          {"P604", "30.00"},
          {"Q236", "900.00"},
          {"Q201", "60.00"},
          {"Q688", "45.00"},
          {"Q689", "0.37"}}},
        {"PELLEGRINI", "CHIARA", "TF14 widening", {{"P188", "1"}, {"P598", "0"}}},
        {"CARBONE",
         "SERGIO",
         "P188 1 in the fund",
         {{"P188", "1"},
          KV_DEMO_ADHESION_THIS_MONTH,
          {"Q236", "300.00"},
          {"Q201", "40.00"},
          {"Q688", "25.00"},
          {"Q691", "0.05"}}},
        {"VILLA",
         "MONICA",
         "P117 1",
         {{"P117", "1"},
          KV_DEMO_ADHESION_THIS_MONTH,
          {"Q236", "400.00"},
          {"Q201", "35.00"},
          {"Q688", "28.00"},
          {"Q691", "0.06"}}},
        {"FARINA", "ROBERTO", "industry executive", {{"P511", "1"}, {"P260", "6500.00"}, {"P240", "6500.00"}}},
        {"CATTANEO", "LUCIA", "both recoveries", {{"P602", "1500.00"}, {"P603", "800.00"}}},
        {"SALA", "PIETRO", "settlement recovery", {{"P602", "2300.50"}}},
        {"NERI", "ELISA", "advance recovery", {{"P603", "450.00"}}},
        {"PARISI", "EDOARDO", "P359 99", {{"P359", "99"}, {"P602", "999.99"}}},
        {"MORELLI", "CRISTINA", "P054 2", {{"P054", "2"}, {"P602", "888.88"}}},
        {"BELLINI", "ORNELLA", "P598 0", {{"P598", "0"}, {"P603", "777.77"}}},
        {"D'ANDREA", "NICOLÒ", "accented first name", {{"P260", "1750.00"}, {"P240", "1750.00"}}},
        {"CANTÙ", "GIOSUÈ", "accented surname", {{"P260", "2250.00"}, {"P240", "2250.00"}}},
        {"DELLA ROVERE SFORZA VISCONTI", "ALESSANDRO", "long surname", {}},
        {"ZANETTI",
         "UMBERTO",
         "ten million",
         {{"P260", "12345678.90"}, {"P240", "12345678.90"}, {"Q037", "9999999.99"}, {"Q001", "9999999.99"}}},
        {"GRASSI",
         "NADIA",
         "blank and non-numeric amounts",
         {{"P260", "1500.00"}, {"P240", "          ", true}, {"Q201", "N/D     ", true}}},
        {"RUSSO", "ETTORE", "blank adhesion and payment dates", {{"P599", "      ", true}, {"Q179", "        ", true}}},
    };
    companies.push_back(std::move(a));

    CompanyCase b;
    b.code = 2;
    b.name = "TRASPORTI A/R: VELOCI E SICURI DI NICOLÒ";
    b.registration = "5102345678";
    b.exercises = "page breaks; name cut to 30 characters with '/' and ':'; unprotected PDF files";
    b.generatedEmployees = 70;
    companies.push_back(std::move(b));

    CompanyCase c;
    c.code = 3;
    c.name = "STUDIO ASSOCIATO BIANCHI";
    c.registration = "6203456789";
    c.exercises = "no employee selected by any list: nothing is produced";
    c.employees = {
        {"FABBRI", "LORENZO", "P359 99", {{"P359", "99"}}},
        {"CAPPELLI", "DORA", "P054 2", {{"P054", "2"}}},
        {"BENEDETTI", "IVO", "P188 1, P598 0 without the TF14 widening", {{"P188", "1"}, {"P598", "0"}}},
    };
    companies.push_back(std::move(c));

    CompanyCase d;
    d.code = 4;
    d.name = "OFFICINA MECCANICA VERDI SNC";
    d.registration = "7304567890";
    d.exercises = "only employee missing from the index: header and TOTALE of zeros";
    d.employees = {
        {"VERDI",
         "OTTAVIO",
         "key missing from the index",
         {KV_DEMO_ADHESION_THIS_MONTH, {"Q236", "100.00"}, {"Q201", "10.00"}, {"Q688", "5.00"}, {"P602", "100.00"}},
         true},
    };
    companies.push_back(std::move(d));

    return companies;
}

#undef KV_DEMO_ADHESION_THIS_MONTH

// The number of named employees of the catalogue plus the generated ones of its companies.
inline int CatalogueEmployeeCount() {
    int n = 0;
    for (const auto& c : CompanyCatalogue()) n += static_cast<int>(c.employees.size()) + c.generatedEmployees;
    return n;
}

}  // namespace kv::demo
