#pragma once
// A field descriptor: the 23-character text that names one field of an archive record,
// "DIPX$,00977,08,2,0,Q201" = archive prefix, position (1-based), length, type, flag, field code.
//
// FieldDescriptor::Parse is constexpr, so the lists keep their descriptors as parsed constants and
// read a field without scanning the text again:
//     inline constexpr FieldDescriptor kQ201 = FieldDescriptor::Parse("DIPX$,00977,08,2,0,Q201");
// A malformed text never fails to parse: missing columns read as blanks, numbers as 0, and an
// unrecognised prefix as ArchivePrefix::Unknown (the repository reports that one when it needs it).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kv {

// The 24 archive prefixes that own a current-record text, in the repository's order.
enum class ArchivePrefix : uint8_t {
    DIT,
    DIP,
    FIS,
    SET,
    FOT,
    DIC,
    DI2,
    CON,
    CUD,
    PRO,
    STU,
    ART,
    FOP,
    F24,
    PAR,
    PER,
    COC,
    STO,
    SCR,
    SCRY,
    GLA,
    GLC,
    M77,
    SCRU,
    Unknown
};
inline constexpr std::size_t kArchivePrefixCount = 24;

// "DITX$", "DIPX$", ... for every known prefix; "" for Unknown.
constexpr std::string_view PrefixText(ArchivePrefix p) {
    constexpr std::array<std::string_view, kArchivePrefixCount> texts{
        "DITX$", "DIPX$", "FISX$", "SETX$", "FOTX$", "DICX$", "DI2X$", "CONX$", "CUDX$", "PROX$", "STUX$", "ARTX$",
        "FOPX$", "F24X$", "PARX$", "PERX$", "COCX$", "STOX$", "SCRX$", "SCRY$", "GLAX$", "GLCX$", "M77X$", "SCRU$"};
    const auto i = static_cast<std::size_t>(p);
    return i < texts.size() ? texts[i] : std::string_view{};
}

// The prefix named by exactly these five characters, or Unknown.
constexpr ArchivePrefix PrefixFromText(std::string_view text) {
    for (std::size_t i = 0; i < kArchivePrefixCount; ++i)
        if (PrefixText(static_cast<ArchivePrefix>(i)) == text) return static_cast<ArchivePrefix>(i);
    return ArchivePrefix::Unknown;
}

struct FieldDescriptor {
    std::array<char, 5> prefixText{' ', ' ', ' ', ' ', ' '};  // columns 1-5
    ArchivePrefix prefix = ArchivePrefix::Unknown;
    int32_t position = 0;  // columns 7-11
    int32_t length = 0;  // columns 13-14
    char type = ' ';  // column 16: 'A', 'N', '1'..'9', 'D', anything else is text
    char flag = ' ';  // column 18, carried but not interpreted
    std::array<char, 4> code{' ', ' ', ' ', ' '};  // columns 20-23, e.g. "Q201"
    // The three digits after the first "I" from column 4 on (the block code of "DI2X$" fields),
    // or -1 when the text has no "I" there.
    int32_t blockCode = -1;

    constexpr std::string_view PrefixView() const { return {prefixText.data(), prefixText.size()}; }
    constexpr std::string_view CodeView() const { return {code.data(), code.size()}; }

    // True for "N" and the digit types 1 to 9: read with the sign and implied decimal point.
    constexpr bool IsNumeric() const { return type == 'N' || (type >= '1' && type <= '9'); }
    // Implied decimals on reading: the digit 1 to 9, else 0.
    constexpr int ReadDecimals() const { return (type >= '1' && type <= '9') ? type - '0' : 0; }
    // Decimals on writing: the number value of the type column ("A", "N", "D", "0" give 0).
    constexpr int WriteDecimals() const { return (type >= '0' && type <= '9') ? type - '0' : 0; }

    static constexpr FieldDescriptor Parse(std::string_view text);
};

namespace detail {
// The integer value of a text as the legacy runtime reads it: blanks skipped, an optional sign,
// digits up to the first other character; no digits gives 0.
constexpr int32_t DescriptorInt(std::string_view s) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n')) ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    int32_t v = 0;
    for (;; ++i) {
        skipBlanks();
        if (i >= s.size() || s[i] < '0' || s[i] > '9') break;
        v = v * 10 + (s[i] - '0');
        if (v > 9999999) break;  // wider than any descriptor column
    }
    return negative ? -v : v;
}
// Columns from..from+count-1 (1-based), clipped to the text.
constexpr std::string_view Columns(std::string_view s, std::size_t from, std::size_t count) {
    if (from > s.size()) return {};
    return s.substr(from - 1, count);
}
}  // namespace detail

constexpr FieldDescriptor FieldDescriptor::Parse(std::string_view text) {
    FieldDescriptor d;
    const std::string_view prefix = detail::Columns(text, 1, 5);
    for (std::size_t i = 0; i < prefix.size(); ++i) d.prefixText[i] = prefix[i];
    d.prefix = prefix.size() == 5 ? PrefixFromText(prefix) : ArchivePrefix::Unknown;
    d.position = detail::DescriptorInt(detail::Columns(text, 7, 5));
    d.length = detail::DescriptorInt(detail::Columns(text, 13, 2));
    if (text.size() >= 16) d.type = text[15];
    if (text.size() >= 18) d.flag = text[17];
    const std::string_view code = detail::Columns(text, 20, 4);
    for (std::size_t i = 0; i < code.size(); ++i) d.code[i] = code[i];
    if (text.size() >= 4) {
        const std::size_t at = text.find('I', 3);
        if (at != std::string_view::npos) d.blockCode = detail::DescriptorInt(text.substr(at + 1, 3));
    }
    return d;
}

}  // namespace kv
