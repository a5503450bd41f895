// The field repository over arbitrary record bytes: RepoR and RepoN for a few descriptors (or, when
// the first byte is 200 or more, a descriptor taken from the input) and repeated-block indexes.
// Reading never changes the record, and a text field comes back no longer than the field.
#include <cmath>
#include "ArchiveSupport.h"

#include "archive/FieldRepository.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const char* const kDescriptors[] = {
        "DIPX$,00977,08,2,0,Q201", "DITX$,00004,40,A,0,T002", "DIPX$,00010,06,N,0,D003", "CONX$,00101,03,A,0,G101",
        "DI2X$,00020,05,9,0,I005", "DIPX$,16170,09,5,0,Q999", "FISX$,00001,08,D,0,F001", "SCRY$,00050,12,3,0,S777"};
    const uint8_t choice = data[0];
    const int16_t index = static_cast<int16_t>(static_cast<int8_t>(data[1]));
    std::string descriptor, record;
    if (choice >= 200 && size >= 25) {
        descriptor.assign(reinterpret_cast<const char*>(data + 2), 23);
        record.assign(reinterpret_cast<const char*>(data + 25), size - 25);
    } else {
        descriptor = kDescriptors[choice % std::size(kDescriptors)];
        record.assign(reinterpret_cast<const char*>(data + 2), size - 2);
    }
    const kv::FieldDescriptor parsed = kv::FieldDescriptor::Parse(descriptor);
    kvfuzz::Suite suite;
    kv::FieldRepository& repo = suite.context.repository();
    const std::string before = record;
    kvfuzz::Run([&] {
        for (const int16_t i : {int16_t(0), index}) {
            const std::string text = repo.RepoR(descriptor, i, record);
            kvfuzz::Require(text == repo.RepoR(parsed, i, record), "RepoR text and parsed differ");
            // A number gains its sign, its point and the zeros before the point.
            const int length = std::max(0, int(parsed.length));
            const size_t room =
                static_cast<size_t>(parsed.IsNumeric() ? std::max(length, parsed.ReadDecimals() + 1) + 2 : length);
            kvfuzz::Require(text.size() <= room,
                            "RepoR gave " + std::to_string(text.size()) + " characters for a field of " +
                                std::to_string(parsed.length) + " type " + parsed.type);
            kvfuzz::Require(!std::isnan(repo.RepoN(parsed, i, record)), "RepoN not a number");
            repo.Current(parsed.prefix == kv::ArchivePrefix::Unknown ? kv::ArchivePrefix::DIP : parsed.prefix) = record;
            (void)repo.RepoR(parsed, i);
        }
    });
    kvfuzz::Require(record == before, "reading changed the record");
    return 0;
}
