#pragma once
// The key search in the suite's index files (ISAM).
//
// An index file is a tree of three levels of pages (IndexPage.h), each page one record of the index
// archive.
//
// A search reads exactly three pages. A page that does not fit the tree (a child number that is not
// six digits, 000000, the root or the page itself, a page past the end of the file, a level digit
// out of place) is a damaged index: it is reported as a run-time error through the central handler,
// so that no employee is silently left out of a list.
#include <cstdint>
#include <string>

#include "archive/ArchiveFiles.h"
#include "archive/ErrorHandler.h"
#include "archive/IndexPage.h"

namespace kv {

class KeySearch {
public:
    explicit KeySearch(ArchiveFiles& files) : files_(files) {}

    // operation 2: the data record number of `key` in the index open in slot `archive`, -1 when the
    // key is not there or a preliminary check fails (its message is shown). operation 9: the index
    // file is emptied and written as an empty index; returns 0. Any other operation shows
    // "ERRORE CODICE ISAM " + operation and returns -1.
    int64_t ISAM(int archive, const std::string& key, int operation, int64_t record);

private:
    int64_t Search(int archive, const std::string& key);
    void Reinitialise(int archive);
    // Index (1-based) of the entry chosen in the page held in the slot buffer for the search key.
    static int ChooseEntry(const std::string& page, const std::string& key, int entrySize);
    void Complain(const std::string& text);

    ArchiveFiles& files_;
    std::string traceName_;  // the trace name of the search under way
};

}  // namespace kv
