#pragma once
// The page of the suite's index files: one record of the index archive holding 128 entries of
// KL + 7 characters, the key (KL characters), the level digit ("1" root, "2" middle, "3" leaf) and a
// six-digit number (child page, or data record in the leaves). Unused entries hold the high key, KL
// bytes of code 252. The key search reads these pages; the index builder writes them.
namespace kv::index {

inline constexpr int EntriesPerPage = 128;
inline constexpr int EntryTail = 7;  // level digit and six-digit number after the key
inline constexpr unsigned char HighKeyByte = 252;

// The record length of an index whose keys are keyLength characters: (KL + 7) x 128.
constexpr int PageLength(int keyLength) { return (keyLength + EntryTail) * EntriesPerPage; }
// The key length of an index whose record length is recordLength (R / 128 - 7).
constexpr int KeyLength(int recordLength) { return recordLength / EntriesPerPage - EntryTail; }

}  // namespace kv::index
