#include "archive/IndexBuilder.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "archive/IndexPage.h"

namespace kv {

namespace {
constexpr char kHighKeyByte = static_cast<char>(index::HighKeyByte);

std::string SixDigits(int32_t n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06d", static_cast<int>(n));
    return buf;
}

int PagesFor(size_t items, int perPage) {
    return static_cast<int>((items + static_cast<size_t>(perPage) - 1) / static_cast<size_t>(perPage));
}
}  // namespace

IndexBuilder::IndexBuilder(int keyLength, int entriesPerPage) : keyLength_(keyLength), perPage_(entriesPerPage) {
    if (keyLength < 1 || keyLength > 10000) throw std::invalid_argument("IndexBuilder: bad key length");
    if (entriesPerPage < 1 || entriesPerPage > index::EntriesPerPage)
        throw std::invalid_argument("IndexBuilder: entries per page must be 1..128");
}

std::string IndexBuilder::Page(int level, const std::vector<std::pair<std::string, int32_t>>& entries) const {
    if (entries.size() > static_cast<size_t>(index::EntriesPerPage))
        throw std::invalid_argument("IndexBuilder: page too full");
    const char digit = static_cast<char>('0' + level);
    std::string page;
    page.reserve(static_cast<size_t>(recordLength()));
    for (const auto& [key, number] : entries) {
        page += key;
        page += digit;
        page += SixDigits(number);
    }
    const std::string filler = std::string(static_cast<size_t>(keyLength_), kHighKeyByte) + digit + "000000";
    for (size_t i = entries.size(); i < static_cast<size_t>(index::EntriesPerPage); ++i) page += filler;
    return page;
}

std::string IndexBuilder::Build(const std::vector<Entry>& entries) const {
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        if (e.key.size() != static_cast<size_t>(keyLength_)) throw std::invalid_argument("IndexBuilder: key length");
        if (e.key[0] == kHighKeyByte) throw std::invalid_argument("IndexBuilder: key starts with the high key byte");
        if (e.record < 1 || e.record > 999999) throw std::invalid_argument("IndexBuilder: record number");
        if (i > 0 && std::memcmp(entries[i - 1].key.data(), e.key.data(), e.key.size()) >= 0)
            throw std::invalid_argument("IndexBuilder: keys not strictly ascending");
    }
    if (entries.empty()) return Page(1, {});

    const int leaves = PagesFor(entries.size(), perPage_);
    const int middles = PagesFor(static_cast<size_t>(leaves), perPage_);
    if (middles > perPage_) throw std::invalid_argument("IndexBuilder: too many keys for three levels");
    const int firstMiddle = 2;
    const int firstLeaf = firstMiddle + middles;

    std::string file;
    file.reserve(static_cast<size_t>(recordLength()) * static_cast<size_t>(1 + middles + leaves));

    std::vector<std::pair<std::string, int32_t>> rootEntries;
    for (int m = 0; m < middles; ++m)
        rootEntries.emplace_back(entries[static_cast<size_t>(m) * perPage_ * perPage_].key, firstMiddle + m);
    file += Page(1, rootEntries);

    for (int m = 0; m < middles; ++m) {
        std::vector<std::pair<std::string, int32_t>> middleEntries;
        for (int l = m * perPage_; l < std::min(leaves, (m + 1) * perPage_); ++l)
            middleEntries.emplace_back(entries[static_cast<size_t>(l) * perPage_].key, firstLeaf + l);
        file += Page(2, middleEntries);
    }
    for (int l = 0; l < leaves; ++l) {
        std::vector<std::pair<std::string, int32_t>> leafEntries;
        const size_t begin = static_cast<size_t>(l) * perPage_;
        const size_t end = std::min(entries.size(), begin + static_cast<size_t>(perPage_));
        for (size_t k = begin; k < end; ++k) leafEntries.emplace_back(entries[k].key, entries[k].record);
        file += Page(3, leafEntries);
    }
    return file;
}

}  // namespace kv
