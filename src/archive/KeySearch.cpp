#include "archive/KeySearch.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "archive/LegacyText.h"

namespace kv {

namespace {

// A damaged page: the search cannot go on safely.
[[noreturn]] void DamagedPage(int number) { throw RuntimeError(number); }

constexpr const char* kEmptyIndex = "ERRORE ISAM - FILE VUOTO ";

bool AllDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void KeySearch::Complain(const std::string& text) {
    files_.errors().messages().Show({kSuiteTitle, text, platform::Icon::Critical, platform::Buttons::Ok});
}

int64_t KeySearch::ISAM(int archive, const std::string& key, int operation, int64_t record) {
    ErrorHandler& errors = files_.errors();
    std::string& traceName = traceName_;  // built in place: a search is made for every employee
    traceName.assign("ISAM (")
        .append(std::to_string(archive))
        .append("-")
        .append(std::to_string(operation))
        .append(")");
    errors.trace().TRACCIA(traceName);
    int64_t result = -1;
    errors.Guard(traceName, [&] {
        result = -1;
        if (operation == 9) {
            Reinitialise(archive);
            result = 0;
            return;
        }
        // The checks that need no file first; an empty index file, told before them, is looked for only
        // when one fails, and else by the search's first read.
        std::string refused;
        if (key.empty())
            refused = "ERRORE ISAM - LUNK=0";
        else if (static_cast<int64_t>(key.size() + index::EntryTail) * index::EntriesPerPage !=
                 files_.slot(archive).recordLength)
            refused = "ERRORE ISAM - LUNK NO OK";
        else if (operation != 4 && key.find_first_not_of(' ') == std::string::npos)
            refused = "ERRORE ISAM - K=BLANK";
        else if (operation == 1 && record == 0)
            refused = "ERR.ISAM - N.REC.=0";
        else if (operation != 2)
            refused = "ERRORE CODICE ISAM " + std::to_string(operation);
        if (!refused.empty() || files_.LEGGIREC(archive, 1) == 1) {
            if (files_.FileLength(archive) == 0) return Complain(kEmptyIndex + std::to_string(archive));
            if (refused.empty()) DamagedPage(err::InputPastEnd);
            return Complain(refused);
        }
        result = Search(archive, key);
    });
    return result;
}

int KeySearch::ChooseEntry(const std::string& page, const std::string& key, int entrySize) {
    const size_t keyLength = key.size();
    // Entries in use: up to the first entry holding the high key; a full page has none.
    int n = index::EntriesPerPage;
    for (int i = 0; i < index::EntriesPerPage; ++i) {
        if (static_cast<unsigned char>(page[static_cast<size_t>(i) * entrySize]) == index::HighKeyByte) {
            n = i;
            break;
        }
    }
    if (n == 0) return 1;
    auto compare = [&](int entry) {  // <0: the search key is smaller than the entry's key
        return std::memcmp(key.data(), page.data() + static_cast<size_t>(entry - 1) * entrySize, keyLength);
    };
    int lo = 1;
    int hi = n + 1;
    for (;;) {
        const int mid = (lo + hi) / 2;
        if (mid <= lo + 1) break;
        const int c = compare(mid);
        if (c == 0) return mid;
        if (c > 0)
            lo = mid;
        else
            hi = mid;
    }
    for (int p = lo;; ++p) {
        if (p > n) return n;  // past the last entry in use: the filler is greater than any key
        const int c = compare(p);
        if (c == 0) return p;
        if (c < 0) return std::max(p - 1, 1);
    }
}

int64_t KeySearch::Search(int archive, const std::string& key) {
    const int keyLength = static_cast<int>(key.size());
    const int entrySize = keyLength + index::EntryTail;
    int64_t page = 1;  // in the buffer already
    for (int level = 1; level <= 3; ++level) {
        if (level > 1 && files_.LEGGIREC(archive, page) == 1) DamagedPage(err::InputPastEnd);
        const std::string& text = files_.buffer(archive);
        if (level == 1 && static_cast<unsigned char>(text[0]) == index::HighKeyByte) return -1;  // empty index
        const int chosen = ChooseEntry(text, key, entrySize);
        const std::string_view entry(text.data() + static_cast<size_t>(chosen - 1) * entrySize,
                                     static_cast<size_t>(entrySize));
        if (entry[static_cast<size_t>(keyLength)] != static_cast<char>('0' + level)) DamagedPage(err::BadRecordNumber);
        const std::string_view numberText = entry.substr(static_cast<size_t>(keyLength) + 1, 6);
        if (!AllDigits(numberText)) DamagedPage(err::BadRecordNumber);
        int64_t number = 0;
        std::from_chars(numberText.data(), numberText.data() + numberText.size(), number);
        if (level == 3) return std::memcmp(entry.data(), key.data(), key.size()) == 0 ? number : -1;
        if (number < 2 || number == page) DamagedPage(err::BadRecordNumber);  // no child, root or itself
        page = number;
    }
    return -1;
}

void KeySearch::Reinitialise(int archive) {
    const SubstitutionValues kept = files_.values;
    files_.AZZERAARCHIVIO(archive);
    files_.values = kept;
    const int64_t recordLength = files_.slot(archive).recordLength;
    const int keyLength =
        recordLength > 0 && recordLength <= 10000000 ? index::KeyLength(static_cast<int>(recordLength)) : 0;
    if (keyLength < 1 || index::PageLength(keyLength) != recordLength) throw RuntimeError(err::BadRecordLength);
    std::string entry(static_cast<size_t>(keyLength), static_cast<char>(index::HighKeyByte));
    entry += "1000000";
    std::string pageText;
    pageText.reserve(static_cast<size_t>(recordLength));
    for (int i = 0; i < index::EntriesPerPage; ++i) pageText += entry;
    files_.SCRIVIREC(archive, 1, pageText);
}

}  // namespace kv
