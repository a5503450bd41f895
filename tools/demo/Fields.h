#pragma once
// The record fields the demo suite fills: every field of the company, employee and FIS records that
// KVTESO reads, by field code. The generator writes each of them through the field repository with
// the program's own descriptors, so a record laid out here reads back exactly as the program reads it.
#include <array>
#include <optional>
#include <string_view>

#include "archive/SuiteFields.h"

namespace kv::demo {

// Company record (archive 1, "DITX$"), in the order of their positions.
inline constexpr std::array<FieldDescriptor, 5> kCompanyFields{fields::T001, fields::T002, fields::T404, fields::T003,
                                                               fields::T364};

// Employee record (archive 2, "DIPX$"), in the order of their positions.
inline constexpr std::array<FieldDescriptor, 32> kEmployeeFields{
    fields::P359, fields::P001, fields::P177, fields::P188, fields::P054, fields::P117, fields::P083, fields::P511,
    fields::Q201, fields::Q037, fields::Q001, fields::P240, fields::P260, fields::Q236, fields::P013, fields::Q179,
    fields::P268, fields::P002, fields::P003, fields::P598, fields::P599, fields::P600, fields::Q688, fields::Q689,
    fields::Q691, fields::P602, fields::P603, fields::P604, fields::P606, fields::P620, fields::P916, fields::P939};

// The descriptor of a company, employee or FIS field code; nullopt when the code is unknown.
constexpr std::optional<FieldDescriptor> DescriptorOf(std::string_view code) {
    for (const auto& f : kCompanyFields)
        if (f.CodeView() == code) return f;
    for (const auto& f : kEmployeeFields)
        if (f.CodeView() == code) return f;
    if (fields::F357.CodeView() == code) return fields::F357;
    return std::nullopt;
}

// Record lengths: the suite's company and employee records run to columns 6483 and 16176 (fields
// this program does not read fill the rest); the FIS record holds F357 at 983-992.
inline constexpr int kCompanyRecordLength = 6483;
inline constexpr int kEmployeeRecordLength = 16176;
inline constexpr int kFisRecordLength = 1000;

}  // namespace kv::demo
