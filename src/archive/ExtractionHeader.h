#pragma once
// The extraction header (record 1 of archive 6): the extraction date DDMMYYYY in characters 1-8 and
// the month type in character 9, "0" for an additional month (13th, 14th), anything else for a
// normal month. A header shorter than that (or blank) gives blank or short parts, never an error.
#include <string>
#include <string_view>

#include "archive/LegacyText.h"

namespace kv {

class ExtractionHeader {
public:
    // Views the record, which must outlive the header.
    explicit ExtractionHeader(std::string_view record) : record_(record) {}

    std::string Day() const { return Mid(record_, 1, 2); }
    std::string Month() const { return Mid(record_, 3, 2); }
    std::string Year() const { return Mid(record_, 5, 4); }
    // "DD/MM/YYYY" as the lists print it.
    std::string Date() const { return Day() + "/" + Month() + "/" + Year(); }
    // The extraction period YYYYMM.
    std::string Period() const { return Year() + Month(); }
    bool IsAdditionalMonth() const { return record_.size() >= 9 && record_[8] == '0'; }

    // The header's text for an extraction of the date DDMMYYYY.
    static std::string Text(std::string_view date, bool additionalMonth) {
        return std::string(date) + (additionalMonth ? "0" : "1");
    }

private:
    std::string_view record_;
};

}  // namespace kv
