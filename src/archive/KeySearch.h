#pragma once
// The key search in the suite's index files (ISAM).
//
// An index file is a tree of three levels of pages; each page is one record of the index archive
// with up to 128 entries of KL + 7 characters: the key (KL characters), the level digit ("1" root,
// "2" middle, "3" leaf) and a six-digit number (child page, or data record in the leaves). Unused
// entries hold the high key (KL bytes of code 252). Record length R = (KL + 7) x 128.
//
// A search reads exactly three pages. A page that does not fit the tree (a child number that is not
// six digits, 000000, the root or the page itself, a page past the end of the file, a level digit
// out of place) is a damaged index: it is reported as a run-time error through the central handler,
// so that no employee is silently left out of a list.
#include <string>

#include "archive/ArchiveFiles.h"
#include "archive/ErrorHandler.h"

namespace kv {

class KeySearch {
public:
    static constexpr int kEntriesPerPage = 128;
    static constexpr unsigned char kHighKeyByte = 252;

    explicit KeySearch(ArchiveFiles& files) : files_(files) {}

    // operation 2: the data record number of `key` in the index open in slot `archive`, -1 when the
    // key is not there or a preliminary check fails (its message is shown). operation 9: the index
    // file is emptied and written as an empty index; returns 0. Any other operation shows
    // "ERRORE CODICE ISAM " + operation and returns -1.
    double ISAM(double archive, const std::string& key, double operation, double record);

    // The key length of an index whose record length is recordLength (R / 128 - 7).
    static int KeyLength(double recordLength) { return static_cast<int>(recordLength) / kEntriesPerPage - 7; }

private:
    double Search(double archive, const std::string& key);
    void Reinitialise(double archive);
    // Index (1-based) of the entry chosen in the page held in the slot buffer for the search key.
    static int ChooseEntry(const std::string& page, const std::string& key, int entrySize);
    void Complain(const std::string& text);

    ArchiveFiles& files_;
};

}  // namespace kv
