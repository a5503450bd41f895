#pragma once
// The extraction period of a demo suite and the tokens of the case catalogue that depend on it.
#include <optional>
#include <string>
#include <string_view>

namespace kv::demo {

struct ExtractionPeriod {
    int year = 2018;
    int month = 3;

    // "YYYYMM" with a month 1-12 and a year 1900-2099; nullopt for anything else.
    static std::optional<ExtractionPeriod> Parse(std::string_view text) {
        if (text.size() != 6) return std::nullopt;
        for (char c : text)
            if (c < '0' || c > '9') return std::nullopt;
        ExtractionPeriod p;
        p.year = std::stoi(std::string(text.substr(0, 4)));
        p.month = std::stoi(std::string(text.substr(4, 2)));
        if (p.month < 1 || p.month > 12 || p.year < 1900 || p.year > 2099) return std::nullopt;
        return p;
    }

    int LastDay() const {
        static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return month == 2 && leap ? 29 : days[month - 1];
    }

    std::string YYYY() const { return Digits(year, 4); }
    std::string MM() const { return Digits(month, 2); }
    std::string YYYYMM() const { return YYYY() + MM(); }
    std::string MMYYYY() const { return MM() + YYYY(); }
    // The extraction date: the last day of the month, DDMMYYYY.
    std::string Date() const { return Digits(LastDay(), 2) + MMYYYY(); }

    // value with {DATE}, {MMYYYY}, {MM} and {YYYY} replaced.
    std::string Expand(std::string_view value) const {
        std::string out;
        for (std::size_t i = 0; i < value.size();) {
            if (value[i] == '{') {
                const std::size_t close = value.find('}', i);
                if (close != std::string_view::npos) {
                    const std::string_view token = value.substr(i + 1, close - i - 1);
                    std::string replacement;
                    bool known = true;
                    if (token == "DATE")
                        replacement = Date();
                    else if (token == "MMYYYY")
                        replacement = MMYYYY();
                    else if (token == "MM")
                        replacement = MM();
                    else if (token == "YYYY")
                        replacement = YYYY();
                    else
                        known = false;
                    if (known) {
                        out += replacement;
                        i = close + 1;
                        continue;
                    }
                }
            }
            out += value[i++];
        }
        return out;
    }

    static std::string Digits(int value, int width) {
        std::string s = std::to_string(value);
        return s.size() >= static_cast<std::size_t>(width) ? s : std::string(width - s.size(), '0') + s;
    }
};

}  // namespace kv::demo
