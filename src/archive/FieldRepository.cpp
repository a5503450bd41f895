#include "archive/FieldRepository.h"

#include <algorithm>
#include <limits>

#include "archive/Errors.h"
#include "archive/LegacyText.h"
#include "archive/Numbers.h"

namespace kv {

namespace {

constexpr const char* kUnknownPrefix = "ERRORE REPOSITORY - STRCOSTANTE";
constexpr const char* kUnknownLetter = "ERRORE REPOSITORY - LETTERA SCONOSCIUTA";

// The longest converted numeric field: two-digit length, a sign and a decimal point.
constexpr std::size_t kNumericBuffer = 128;

// The "F24X$" block step of a position, 0 when the position is not in a repeated block.
int32_t F24Step(int32_t p) {
    if (p >= 42 && p <= 66) return 36;
    if (p >= 762 && p <= 813) return 63;
    if (p >= 1077 && p <= 4140 && (p - 1077) % 152 < 24) return 35;  // 21 ranges, one every 152
    if (p >= 4359 && p <= 4398) return 51;
    if (p >= 4824 && p <= 4867) return 55;
    if (p == 5000) return 4;
    if (p >= 5094 && p <= 5414 && (p - 5094) % 16 == 0) return 4;  // 21 positions, one every 16
    if (p == 5483) return 2;
    return 0;
}

// Converts a stored numeric field ("N" or 1-9) into its text: the first "-" anywhere becomes "0"
// and goes in front; for 1-9 a "." is put before the last d characters of the field's length.
// Writes into out (kNumericBuffer characters) and returns the length.
std::size_t ConvertNumeric(const FieldDescriptor& d, std::string_view raw, char* out) {
    std::size_t n = 0;
    const std::size_t minus = raw.find('-');
    if (minus != std::string_view::npos) out[n++] = '-';
    const int decimals = d.ReadDecimals();
    std::size_t integerChars = raw.size();
    if (decimals > 0) {
        const int32_t keep = d.length - decimals;
        if (keep < 0) throw RuntimeError(err::InvalidCall);
        integerChars = std::min(raw.size(), static_cast<std::size_t>(keep));
    }
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (decimals > 0 && i == integerChars) out[n++] = '.';
        out[n++] = i == minus ? '0' : raw[i];
    }
    if (decimals > 0 && integerChars == raw.size()) out[n++] = '.';
    return n;
}

// The stored form of a number: leading blanks, then digits with at most one "-" among them.
bool StoredAsNumber(std::string_view raw) {
    std::size_t i = raw.find_first_not_of(' ');
    if (i == std::string_view::npos) return false;
    bool digit = false, minus = false;
    for (; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '-' && !minus)
            minus = true;
        else
            return false;
    }
    return digit;
}

}  // namespace

FieldRepository::FieldRepository(ErrorHandler& errors) : FieldRepository(errors, errors.messages()) {}

FieldRepository::FieldRepository(ErrorHandler& errors, platform::MessageBoxes& messages)
    : errors_(errors), messages_(messages) {}

// ---- Current-record texts ----------------------------------------------------------------------

void FieldRepository::UnknownPrefix() {
    messages_.Show({kSuiteTitle, kUnknownPrefix, platform::Icon::Critical, platform::Buttons::Ok});
    throw ProgramEnd{1};
}

std::string& FieldRepository::Current(std::string_view prefix) { return Current(PrefixFromText(prefix)); }

std::string& FieldRepository::Current(ArchivePrefix prefix) {
    if (prefix == ArchivePrefix::Unknown) UnknownPrefix();
    return records_[Index(prefix)];
}

const std::string& FieldRepository::Current(ArchivePrefix prefix) const {
    static const std::string kNone;
    return prefix == ArchivePrefix::Unknown ? kNone : records_[Index(prefix)];
}

void FieldRepository::ClearRecords() {
    for (std::string& r : records_) r.clear();
}

std::string& FieldRepository::CurrentFor(const FieldDescriptor& d) { return Current(d.prefix); }

// ---- Repeated blocks ---------------------------------------------------------------------------

int16_t FieldRepository::RepoOffset(std::string_view descriptor, int16_t index) {
    return RepoOffset(FieldDescriptor::Parse(descriptor), index);
}

int16_t FieldRepository::RepoOffset(const FieldDescriptor& d, int16_t index) {
    if (index == 0) return 0;
    const int32_t p = d.position;
    int32_t step = 0;
    switch (d.prefix) {
    case ArchivePrefix::DIC:
        if (p > 100) step = 10;
        break;
    case ArchivePrefix::DI2:
        if (d.blockCode < 0) {
            messages_.Show({kSuiteTitle, kUnknownLetter, platform::Icon::Critical, platform::Buttons::Ok});
            return 0;
        }
        if (d.blockCode >= 100) step = 714;
        break;
    case ArchivePrefix::CON:
        if (p >= 101 && p <= 390) step = 290;
        break;
    case ArchivePrefix::M77:
        if ((p >= 256 && p <= 510) || (p >= 3316 && p <= 3570)) step = 255;
        break;
    case ArchivePrefix::F24: step = F24Step(p); break;
    default: break;
    }
    if (step == 0) return 0;
    const int32_t offset = (static_cast<int32_t>(index) - 1) * step;
    if (offset < std::numeric_limits<int16_t>::min() || offset > std::numeric_limits<int16_t>::max())
        throw RuntimeError(err::Overflow);
    return static_cast<int16_t>(offset);
}

// ---- Reading -----------------------------------------------------------------------------------

std::string_view FieldRepository::RawField(const FieldDescriptor& d, int16_t index, const std::string& record) {
    const int32_t start = d.position + RepoOffset(d, index);
    const std::string& source = record.empty() ? CurrentFor(d) : record;
    if (start < 1 || d.length < 0) throw RuntimeError(err::InvalidCall);
    const auto from = static_cast<std::size_t>(start - 1);
    if (from >= source.size()) return {};  // wholly past the end: nothing stored there
    return std::string_view(source).substr(from, static_cast<std::size_t>(d.length));
}

std::string FieldRepository::ReadText(const FieldDescriptor& d, int16_t index, const std::string& record) {
    const std::string_view raw = RawField(d, index, record);
    if (!d.IsNumeric()) return std::string(raw);
    char buf[kNumericBuffer];
    return std::string(buf, ConvertNumeric(d, raw, buf));
}

double FieldRepository::ReadNumber(const FieldDescriptor& d, int16_t index, const std::string& record) {
    const std::string_view raw = RawField(d, index, record);
    if (!d.IsNumeric()) return Val(raw);
    char buf[kNumericBuffer];
    const double value = Val(std::string_view(buf, ConvertNumeric(d, raw, buf)));
    if (watcher_ && !StoredAsNumber(raw)) watcher_(d, raw, value);
    return value;
}

std::string FieldRepository::RepoR(std::string_view descriptor, int16_t index, const std::string& record) {
    return RepoR(FieldDescriptor::Parse(descriptor), index, record);
}

std::string FieldRepository::RepoR(const FieldDescriptor& d, int16_t index, const std::string& record) {
    std::string result;
    errors_.Guard("RepoR", [&] { result = ReadText(d, index, record); });
    return result;
}

double FieldRepository::RepoN(std::string_view descriptor, int16_t index, const std::string& record) {
    return RepoN(FieldDescriptor::Parse(descriptor), index, record);
}

double FieldRepository::RepoN(const FieldDescriptor& d, int16_t index, const std::string& record) {
    double result = 0;
    errors_.Guard("RepoR", [&] {
        const std::string_view raw = RawField(d, index, record);
        try {
            result = ReadNumber(d, index, record);
        } catch (const RuntimeError&) {  // a number beyond any double: the report names the field and its text
            std::string stored = RTrimBlanks(raw);
            for (char& c : stored)
                if (static_cast<unsigned char>(c) < 0x20) c = '?';
            errors_.NoteField(std::string(d.CodeView()) + " \"" + stored + "\"");
            throw;
        }
    });
    errors_.NoteField({});
    return result;
}

// ---- Writing -----------------------------------------------------------------------------------

void FieldRepository::RepoW(std::string_view descriptor, std::string& value, int16_t index, std::string* record) {
    RepoW(FieldDescriptor::Parse(descriptor), value, index, record);
}

void FieldRepository::RepoW(const FieldDescriptor& d, std::string& value, int16_t index, std::string* record) {
    errors_.Guard("RepoW", [&] { Write(d, value, index, record); });
}

void FieldRepository::Write(const FieldDescriptor& d, std::string& value, int16_t index, std::string* record) {
    if (const std::size_t comma = value.find(','); comma != std::string::npos) value[comma] = '.';

    const int32_t offset = RepoOffset(d, index);
    if (d.length < 0) throw RuntimeError(err::InvalidCall);
    const auto length = static_cast<std::size_t>(d.length);
    const int decimals = d.WriteDecimals();

    std::string v;
    if (d.type == 'A') {
        v = (value + std::string(length, ' ')).substr(0, length);
    } else {
        const bool negative = !value.empty() && value[0] == '-';
        v = negative ? value.substr(1) : value;
        if (decimals > 0) {
            int16_t n = static_cast<int16_t>(decimals);
            v = ARROTONDA(Val(v), n);
        }
        NORMALIZZANUMERO(v);
        if (decimals > 0) {
            std::size_t p = v.find(',');
            if (p == std::string::npos) p = v.find('.');
            if (p != std::string::npos)
                v = v.substr(0, p) + (v.substr(p + 1) + std::string(decimals, '0')).substr(0, decimals);
            else
                v += std::string(decimals, '0');
        }
        v = std::string(length, '0') + v;
        v = v.substr(v.size() - length);
        if (negative) v = "-" + (v.empty() ? std::string() : v.substr(1));
    }

    std::string& target = (record != nullptr && !record->empty()) ? *record : CurrentFor(d);
    const int32_t start = d.position + offset;
    if (start < 1 || static_cast<std::size_t>(start) > target.size()) throw RuntimeError(err::InvalidCall);
    const auto from = static_cast<std::size_t>(start - 1);
    const std::size_t count = std::min({length, v.size(), target.size() - from});
    target.replace(from, count, v, 0, count);
}

}  // namespace kv
