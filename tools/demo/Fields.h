#pragma once
// The record fields the demo suite fills: every field of the company, employee and FIS records that
// KVTESO reads, by field code. The generator writes each of them through the field repository, so a
// record laid out here reads back exactly as the program reads it.
#include <array>
#include <string_view>

#include "archive/FieldDescriptor.h"

namespace kv::demo {

struct NamedField {
    std::string_view code;
    std::string_view text;  // the 23-character descriptor
};

// Company record (archive 1, "DITX$").
inline constexpr std::array<NamedField, 5> kCompanyFields{{
    {"T001", "DITX$,00003,03,N,0,T001"},  // company code, three digits
    {"T002", "DITX$,00006,30,A,0,T002"},  // name
    {"T404", "DITX$,00651,01,N,0,T404"},  // 1 = TF14 also lists the employees with P188 = 1
    {"T003", "DITX$,01451,10,A,0,T003"},  // INPS registration number, shown beside the name
    {"T364", "DITX$,02483,10,A,0,T364"},  // PDF owner password of the company
}};

// Employee record (archive 2, "DIPX$").
inline constexpr std::array<NamedField, 32> kEmployeeFields{{
    {"P359", "DIPX$,00001,02,N,1,P359"},  // 99 = excluded from every list
    {"P001", "DIPX$,00003,10,A,0,P001"},  // key in the employee index
    {"P177", "DIPX$,00009,04,N,1,P177"},  // employee number (last four characters of the key)
    {"P188", "DIPX$,00208,01,N,0,P188"},
    {"P054", "DIPX$,00223,01,N,0,P054"},  // 2 = excluded from every list
    {"P117", "DIPX$,00274,01,N,0,P117"},
    {"P083", "DIPX$,00278,01,N,0,P083"},  // contribution exemption
    {"P511", "DIPX$,00716,01,N,0,P511"},  // 1 = industry executive (guarantee fund 0.40)
    {"Q201", "DIPX$,00977,08,2,0,Q201"},
    {"Q037", "DIPX$,01001,09,2,0,Q037"},
    {"Q001", "DIPX$,01010,09,2,0,Q001"},
    {"P240", "DIPX$,01651,10,2,1,P240"},
    {"P260", "DIPX$,01941,10,2,1,P260"},
    {"Q236", "DIPX$,02021,10,2,0,Q236"},
    {"P013", "DIPX$,04209,08,D,0,P013"},  // hiring date DDMMYYYY
    {"Q179", "DIPX$,04375,08,D,0,Q179"},  // date of last payment DDMMYYYY
    {"P268", "DIPX$,04959,10,2,1,P268"},
    {"P002", "DIPX$,09515,30,A,0,P002"},  // surname
    {"P003", "DIPX$,09545,30,A,0,P003"},  // first name
    {"P598", "DIPX$,10060,01,N,0,P598"},  // Treasury Fund indicator; 0 = not in the lists
    {"P599", "DIPX$,10061,06,D,0,P599"},  // adhesion month MMYYYY
    {"P600", "DIPX$,10067,08,2,0,P600"},
    {"Q688", "DIPX$,10091,08,2,0,Q688"},
    {"Q689", "DIPX$,10099,08,2,0,Q689"},
    {"Q691", "DIPX$,10115,08,2,0,Q691"},
    {"P602", "DIPX$,10203,08,2,0,P602"},
    {"P603", "DIPX$,10211,08,2,0,P603"},
    {"P604", "DIPX$,10219,08,2,0,P604"},
    {"P606", "DIPX$,10235,08,2,0,P606"},
    {"P620", "DIPX$,10364,05,2,0,P620"},  // own contribution rate, percent
    {"P916", "DIPX$,13826,01,A,0,P916"},  // relief code
    {"P939", "DIPX$,14034,08,D,0,P939"},  // relief start date DDMMYYYY
}};

// Installation-wide FIS record (archive 19, "FISX$").
inline constexpr NamedField kF357{"F357", "FISX$,00983,10,A,0,F357"};  // PDF open password

// The descriptor text of a company or employee field code; empty when the code is unknown.
constexpr std::string_view DescriptorOf(std::string_view code) {
    for (const auto& f : kCompanyFields)
        if (f.code == code) return f.text;
    for (const auto& f : kEmployeeFields)
        if (f.code == code) return f.text;
    if (code == kF357.code) return kF357.text;
    return {};
}

// Record lengths: the suite's company and employee records run to columns 6483 and 16176 (fields
// this program does not read fill the rest); the FIS record holds F357 at 983-992.
inline constexpr int kCompanyRecordLength = 6483;
inline constexpr int kEmployeeRecordLength = 16176;
inline constexpr int kFisRecordLength = 1000;

}  // namespace kv::demo
