#pragma once
// Builds a valid three-level index file from keys in ascending order, for the demo suite, tools and
// tests: page 1 is the root (level 1), then the level-2 pages, then the leaves (level 3). Each entry
// of an upper page holds the first key of its child. Unused entries are the filler: KL bytes of code
// 252, the page's level digit and "000000". No keys gives the empty index (one root page of filler).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "archive/IndexPage.h"

namespace kv {

class IndexBuilder {
public:
    struct Entry {
        std::string key;  // exactly KL bytes
        int32_t record = 0;  // data record number, 1..999999
    };

    // keyLength KL >= 1; entriesPerPage 1..128 is how full the builder makes each page (the tree
    // holds at most entriesPerPage^3 keys). Throws std::invalid_argument on bad arguments.
    explicit IndexBuilder(int keyLength, int entriesPerPage = index::EntriesPerPage);

    int recordLength() const { return index::PageLength(keyLength_); }

    // The index file's bytes. Keys must be strictly ascending by byte value, KL bytes long, without
    // a byte 252 in front; records 1..999999. Throws std::invalid_argument otherwise.
    std::string Build(const std::vector<Entry>& entries) const;

    // One page of the given level holding these (key, number) entries, filled up with filler.
    std::string Page(int level, const std::vector<std::pair<std::string, int32_t>>& entries) const;

private:
    int keyLength_;
    int perPage_;
};

}  // namespace kv
