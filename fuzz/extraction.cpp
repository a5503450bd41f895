// The extraction list (archive 5) and the company archive (1) from outside, split from the input at
// "|||\n" after a first byte that picks the record lengths: the list's 200 as in the suite, or shorter
// and longer; the companies' 1460 (name and T003) or 40 (the name only, so many companies stay
// small). The start-up's check, load and company lines run as the program runs them. The load is the
// check's entries sorted, used ones only (no end mark, no blank), never more than the table holds;
// each company line starts with the code of the next company of the table whose code is three digits
// (the others are anomalies); no archive changes.
#include "app/Extraction.h"
#include "ArchiveSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::pair<int, int> kLengths[] = {{200, 1460}, {35, 1460}, {12, 1460}, {205, 1460}, {200, 40}};
    static std::pair<int, int> written;  // the lengths of the catalogue on disk
    if (size < 1) return 0;
    const auto lengths = kLengths[data[0] % std::size(kLengths)];
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const size_t split = std::min(input.find("|||\n"), input.size());
    if (lengths != written)
        kvfuzz::WriteFile(kvfuzz::ArchivePath("SLBASE.DAT"),
                          kvfuzz::CatalogueBytes({{kv::archive::Companies, {"SLDITTE.DAT", lengths.second}},
                                                  {kv::archive::ExtractionList, {"SLESTRAZ.DAT", lengths.first}}},
                                                 kv::archive::ExtractionList));
    written = lengths;
    kvfuzz::WriteFile(kvfuzz::ArchivePath("SLESTRAZ.DAT"), input.substr(0, split));
    kvfuzz::WriteFile(kvfuzz::ArchivePath("SLDITTE.DAT"), input.substr(std::min(split + 4, input.size())));
    const auto before = kvfuzz::Snapshot(kvfuzz::SuiteRoot());
    kvfuzz::Suite suite;
    kv::app::Extraction extraction(suite.context.files(), suite.context.repository(), suite.messages);
    kvfuzz::Run([&] {
        suite.context.files().FAIOPEN(kv::archive::ExtractionList);
        suite.context.files().FAIOPEN(kv::archive::Companies);
        const bool exists = extraction.VERIFICAESTRAZIONE();
        kvfuzz::Require(exists == (extraction.ESTRAZIONEMANCANTE == 0) && exists == suite.messages.shown().empty(),
                        "the check and its warning disagree");
        if (!exists) return;
        std::vector<std::string> checked = extraction.ELENCOESTRAZIONE();
        std::sort(checked.begin(), checked.end());
        extraction.CARICAESTRAZIONE();
        const std::vector<std::string>& entries = extraction.ELENCOESTRAZIONE();
        kvfuzz::Require(entries.size() <= kv::app::kMaxExtractionEntries, "more entries than the table holds");
        kvfuzz::Require(entries == checked, "the load is not the check's entries sorted");
        std::vector<std::string> codes;
        for (const std::string& e : entries) {
            kvfuzz::Require(e != "9999999999" && e.find_first_not_of(' ') != std::string::npos, "unused entry " + e);
            const std::string code = e.substr(0, 3);
            if (code.size() == 3 && code.find_first_not_of("0123456789") == std::string::npos &&
                (codes.empty() || codes.back() != code))
                codes.push_back(code);
        }
        const std::vector<std::string> lines = extraction.LISTA_AZIENDE();
        kvfuzz::Require(lines.size() <= codes.size(), "more company lines than companies");
        kvfuzz::Require(extraction.companyCodes().size() == lines.size(), "company codes and lines disagree");
        for (size_t i = 0; i < lines.size(); ++i)
            kvfuzz::Require(lines[i].compare(0, codes[i].size() + 1, codes[i] + " ") == 0,
                            "company line " + std::to_string(i) + " does not start with code " + codes[i]);
    });
    kvfuzz::Require(kvfuzz::Snapshot(kvfuzz::SuiteRoot()) == before, "reading the extraction changed the archives");
    return 0;
}
