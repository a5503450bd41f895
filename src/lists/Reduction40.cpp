#include "lists/Reduction40.h"

#include "archive/ExtractionHeader.h"
#include "archive/LegacyText.h"
#include "archive/SuiteFields.h"

namespace kv::lists {

namespace {
// The last n characters of (n zeros followed by the trimmed text).
std::string ZeroFilled(const std::string& s, size_t n) { return RightChars(std::string(n, '0') + TrimBlanks(s), n); }
}  // namespace

bool IsReliefCode(std::string_view code, std::string_view codes) {
    return code.size() == 1 && codes.find(code[0]) != std::string_view::npos;
}

Reduction40 TESTA_DIP_RID40PERCENTO(FieldRepository& repo, const std::string& header, double rate) {
    Reduction40 r;
    r.ALIQUOTA050 = rate;
    const double ownRate = repo.RepoN(fields::P620);
    auto apply = [&] {
        r.ALIQUOTA050 = ownRate != 0 ? ownRate : 0.50;
        r.RIDUZIONE40 = 1;
    };

    if (TrimBlanks(repo.RepoR(fields::P916)).empty()) {
        std::string zero = "0";
        repo.RepoW(fields::P916, zero);
    }
    const std::string relief = repo.RepoR(fields::P916);
    if (relief == "0") return r;

    // The relief window: hiring date, or the relief date when there is one; MMYYYY -> YYYYMM.
    std::string date = Mid(repo.RepoR(fields::P013), 3, 6);
    if (Val(repo.RepoR(fields::P939)) != 0) date = Mid(repo.RepoR(fields::P939), 3, 6);
    r.PERIODOSGRAVIO = Mid(date, 3, 4) + Mid(date, 1, 2);
    const double year = Val(Mid(r.PERIODOSGRAVIO, 1, 4));
    if (year == 2016) {
        r.PERIODOSGRAVIO = ZeroFilled(FormatDouble15(year + 2), 4) + Mid(r.PERIODOSGRAVIO, 5, 2);
        const std::string extraction =
            ZeroFilled(ExtractionHeader(header).Year(), 4) + ZeroFilled(ExtractionHeader(header).Month(), 2);
        if (extraction <= r.PERIODOSGRAVIO) apply();
    }
    if (IsReliefCode(relief)) apply();
    return r;
}

}  // namespace kv::lists
