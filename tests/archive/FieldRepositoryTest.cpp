// Reading and writing record fields by descriptor, the repeated-block offsets and the repository's
// fatal and run-time errors.
#include <charconv>
#include <functional>
#include <sstream>

#include "archive/FieldRepository.h"
#include "support/TestSupport.h"

using namespace kv;
using kvtest::Fields;

namespace {

class Repository : public ::testing::Test {
protected:
    // A record of `size` blanks with `text` stored from column `column`.
    static std::string RecordWith(size_t size, size_t column, const std::string& text) {
        return std::string(size, ' ').replace(column - 1, text.size(), text).substr(0, size);
    }
    // The first message shown, as "title|text"; the messages are cleared.
    std::string Shown() {
        const std::string s = messages.shown().empty() ? "" : messages.shown()[0].title + "|" + messages.shown()[0].text;
        messages.clear();
        return s;
    }
    Trace trace;
    platform::ScriptedMessageBoxes messages;
    ErrorHandler errors{trace, messages, "KVTESO"};
    FieldRepository repo{errors};
};

constexpr const char* kQ201 = "DIPX$,00977,08,2,0,Q201";

TEST_F(Repository, ReadsEveryTypeAsTextAndNumber) {
    // Record size | column | stored text | descriptor | RepoR | RepoN.
    const char* const cases[] = {
        "1000|977|00123456|DIPX$,00977,08,2,0,Q201|001234.56|1234.56", "100|1|12345|DIPX$,00001,05|12345|12345",
        "100|1|0001234567|DIPX$,00001,10,2,0,P001|00012345.67|12345.67", "100|1|12345|DIPX$,00001||0",  // malformed
        "100|1|0001234567|DIPX$,00001,10,5,0,P001|00012.34567|12.34567", "100|1|12345|DIPX$,0 0 2,03,A,0,P001|234|234",
        "1000|977|-0012345|DIPX$,00977,08,2,0,Q201|-000123.45|-123.45",  // the first minus anywhere is the sign
        "1000|977|00-12345|DIPX$,00977,08,2,0,Q201|-000123.45|-123.45", "100|1|12345|DIPX$,+0002,03,A,0,P001|234|234",
        "1000|977|-0000123|DIPX$,00977,08,N,0,Q201|-00000123|-123", "100|1|12345|DIPX$,  003,01,A,0,P001|3|3",
        "1000|977|-00-1234|DIPX$,00977,08,2,0,Q201|-000-12.34|0",  // a second minus ends the number
        "6483|11|CAFF\xC8 S.R.L.   |DITX$,00011,15,A,0,T003|CAFF\xC8 S.R.L.   |0", "6483|11|CAFF|DITX$,00011,04,0,0,T003|CAFF|0",
        "6483|100|20240131|DITX$,00100,08,D,0,T100|20240131|20240131",
        "6483|200||DITX$,00200,06,2,0,T200|    .  |0", "6483|300|1 234|DITX$,00300,05,A,0,T300|1 234|1234",  // blanks
        "6483|300| 12 |DITX$,00300,04,N,0,T300| 12 |12", "3|1|ABC|DITX$,00002,05,A,0,T001|BC|0",  // partly past the end
        "3|1|ABC|DITX$,00004,05,A,0,T001||0", "0|1||DIPX$,00977,08,2,0,Q201|.|0",
        "981|977|00012|DIPX$,00977,08,2,0,Q201|00012.|12", "982|977|-00012|DIPX$,00977,08,2,0,Q201|-000012.|-12",
        "2000|50|HELLO|DI2X$,00050,05,A,0,Z100|HELLO|0",  // no block: its code is not looked at
    };
    for (const char* row : cases) {
        const auto c = Fields(row);
        repo.Current(c[3].substr(0, 5)) = RecordWith(std::stoul(c[0]), std::stoul(c[1]), c[2]);
        double number = 0;
        std::from_chars(c[5].data(), c[5].data() + c[5].size(), number);
        EXPECT_EQ(repo.RepoR(c[3]) + "|" + repo.RepoR(FieldDescriptor::Parse(c[3])), c[4] + "|" + c[4]) << row;
        EXPECT_TRUE(repo.RepoN(c[3]) == number && repo.RepoN(FieldDescriptor::Parse(c[3])) == number) << row;
    }
    EXPECT_EQ(Shown(), "");
    // An explicit record is read instead of the current one, unless it is empty.
    repo.REC_DIP() = RecordWith(1000, 977, "00000001");
    const std::string other = RecordWith(1000, 977, "00099999");
    EXPECT_EQ(repo.RepoR(kQ201, 0, other) + repo.RepoR(kQ201, 0, std::string()), "000999.99000000.01");
    EXPECT_EQ(repo.RepoN(FieldDescriptor::Parse(kQ201), 0, other), 999.99);
    EXPECT_EQ(repo.RepoR("XYZX$,00002,02,A,0,Z001", 0, std::string("ABCD")), "BC");  // no prefix needed
    const FieldRepository& constant = repo;
    EXPECT_EQ(constant.Current(ArchivePrefix::DIP) + "|" + constant.Current(ArchivePrefix::Unknown), repo.REC_DIP() + "|");
}

TEST_F(Repository, WritesAlignedFilledAndNeverLonger) {
    // Descriptor | value | record after | value after (when changed) | record before (else 14 "*").
    const char* const cases[] = {
        "DIPX$,00003,08,2,0,Q201|-12.5|**-0001250****",
        "DIPX$,00003,08,2,0,Q201|12.345|**00001235****",  // sign first
        "DIPX$,00003,08,2,0,Q201|1234.56|**00123456****",
        "DIPX$,00003,08,2,0,Q201||**00000000****",
        "DIPX$,00003,08,2,0,Q201|0.005|**00000001****",
        "DIPX$,00003,08,2,0,Q201|-0.015|**-0000002****",
        "DIPX$,00003,08,2,0,Q201|999999.99|**99999999****",
        "DIPX$,00003,08,2,0,Q201|1E+3|**00100000****",
        "DIPX$,00003,08,2,0,Q201|1234567.89|**23456789****",  // the leftmost digits are lost
        "DIPX$,00003,08,2,0,Q201|12,50|**00001250****|12.50",
        "DIPX$,00003,10,A,0,P001|1,5,7|**1.5,7     **|1.5,7",
        "DITX$,00003,10,A,0,T003|BIANCHI E VERDI|**BIANCHI E **",
        "DITX$,00003,08,D,0,T100|0131|**00000131****",
        "DITX$,00003,05,N,0,T050|12.7|**012.7*******",
        "DITX$,00003,05,N,0,T050|-5|**-0005*******",  // N: no rounding
        "DITX$,00003,05,N,0,T050|123456|**23456*******",
        "DITX$,00003|X|**************",  // no length: nothing written
        "DITX$,00003,05,0,0,T001|AB|**000AB*******",
        "DITX$,00003,05,X,0,T001|-7|**-0007*******",  // only "A" is text
        "DITX$,00006,05,A,0,T001|VWXYZ|ABCDEVWX||ABCDEFGH",
        "DITX$,00008,08,2,0,T001|-12.5|ABCDEFG-||ABCDEFGH",
    };
    for (const char* row : cases) {
        auto c = Fields(row);
        c.resize(5);
        const std::string before = c[4].empty() ? std::string(14, '*') : c[4], after = c[3].empty() ? c[1] : c[3];
        std::string record = before, value = c[1];
        repo.RepoW(c[0], value, 0, &record);
        EXPECT_EQ(record + "|" + value, c[2] + "|" + after) << row;
    }
    repo.REC_DIP() = std::string(1000, ' ');
    repo.REC_DIT() = "ABCDEFGH";
    std::string value = "-1234.5", empty;
    repo.RepoW(FieldDescriptor::Parse(kQ201), value, 0, &empty);  // an empty record: the current one
    EXPECT_EQ(repo.RepoN(kQ201), -1234.5);
    EXPECT_EQ(repo.REC_DIT() + "|" + empty, "ABCDEFGH|");  // the other prefixes keep their own texts
    repo.ClearRecords();
    EXPECT_EQ(repo.REC_DIP() + repo.REC_DIT() + Shown(), "");
}

TEST_F(Repository, BlockOffsets) {
    // A prefix (with the field code after "/", else I100), then position:offset for block 2 or
    // position/block:offset.
    std::istringstream cases(R"(CONX$ 101/0:0 101/1:0 100:0 101:290 390/3:580 391:0 101/113:32480 DICX$ 100/5:0 101/5:40
        9000:10 M77X$ 255:0 256:255 510:255 511:0 3315:0 3316:255 3570:255 3571:0 300/4:765 2000:0 DITX$ 42:0 GLAX$ 300:0
        DIPX$ 101/9:0 SCRU$ 5000:0 DI2X$ 50:714 50/0:0 DI2X$/I999 50/3:1428 DI2X$/I099 900/3:0 DI2X$/I001 900/3:0
        DI2X$/Z100 50/0:0 F24X$ 42/0:0 41:0 42:36 66:36 67:0 761:0 762:63 813:63 814:0 1076:0 1077:35 1100:35 1101:0
        1228:0 1229:35 4117:35 4140:35 4141:0 4269:0 1077/5:140 4358:0 4359:51 4398:51 4399:0 4823:0 4824:55 4867:55
        4868:0 4999:0 5000:4 5001:0 5078:0 5093:0 5094:4 5095:0 5110:4 5414:4 5430:0 5482:0 5483:2 5484:0)");
    std::string prefix = "", token;
    while (cases >> token) {
        if (token.find('$') != token.npos) prefix = token.size() > 5 ? token : token + "/I100";
        if (token.find('$') != token.npos) continue;
        const auto c = Fields(token, ':');
        const auto block = Fields(c[0], '/');
        const std::string descriptor =
            prefix.substr(0, 5) + "," + std::string(5 - block[0].size(), '0') + block[0] + ",02,A,0," + prefix.substr(6);
        const auto index = static_cast<int16_t>(block.size() > 1 ? std::stoi(block[1]) : 2);
        EXPECT_EQ(repo.RepoOffset(descriptor, index), std::stoi(c[1])) << descriptor << " block " << index;
    }
    EXPECT_EQ(Shown(), "");
    repo.REC_CON() = RecordWith(1300, 101, "AAA").replace(390, 3, "BBB").replace(680, 3, "CCC");
    EXPECT_EQ(repo.RepoR("CONX$,00101,03,A,0,G101", 3) + repo.RepoR("CONX$,00101,03,A,0,G101", 2, repo.REC_CON()), "CCCBBB");
    repo.REC_F24() = std::string(120, ' ');
    std::string v = "7";
    repo.RepoW("F24X$,00042,02,N,0,A042", v, 3);
    EXPECT_EQ(repo.REC_F24(), std::string(113, ' ') + "07" + std::string(5, ' '));  // 42 + 2 x 36 = column 114
    // A "DI2X$" code without "I": a message, no shift, and the read goes on.
    repo.REC_DI2() = RecordWith(2000, 50, "HELLO");
    EXPECT_EQ(repo.RepoR("DI2X$,00050,05,A,0,Z100", 2), "HELLO");
    EXPECT_EQ(Shown(), "KvsPaghe|ERRORE REPOSITORY - LETTERA SCONOSCIUTA");
    EXPECT_THROW(repo.RepoOffset("CONX$,00101,03,A,0,G101", 200), RuntimeError);
}

TEST_F(Repository, FatalAndRunTimeErrorsEndTheProgram) {
    std::string v = "1";
    repo.REC_DIT() = "ABC";
    repo.REC_CON() = std::string(400, ' ');
    repo.REC_DIP() = "12345";
    const std::string k5 = "Errore 5 Invalid procedure call or argument|";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { repo.RepoR("XYZX$,00001,05,A,0,Z001"); }, ""},
        {[&] { repo.RepoN("DIPY$,00001,05,A,0,P001"); }, ""},
        {[&] { repo.RepoW("dipx$,00001,05,A,0,P001", v); }, ""},
        {[&] { repo.RepoR(""); }, ""},
        {[&] { repo.Current("DIP"); }, ""},
        {[&] { repo.RepoW("DITX$,00005,01,A,0,T001", v); }, k5 + "RepoW"},  // a write starting past the end
        {[&] { repo.RepoW("DITX$,00000,01,A,0,T001", v); }, k5 + "RepoW"},
        {[&] { repo.RepoR("CONX$,00101,03,A,0,G101", -1); }, k5 + "RepoR"},
        {[&] { repo.RepoR("DIPX$,00001,01,3,0,P001"); }, k5 + "RepoR"},
        {[&] { repo.RepoR("DIPX$,-0001,01,A,0,P001"); }, k5 + "RepoR"},
        {[&] { repo.RepoR("CONX$,00101,03,A,0,G101", 200); }, "Errore 6 Overflow|RepoR"},
        {[&] { repo.RepoW("DI2X$,00050,05,A,0,I100", v, -32000); }, "Errore 6 Overflow|RepoW"},
        {[&] { repo.RepoN("M77X$,00300,05,2,0,H300", INT16_MAX); }, "Errore 6 Overflow|RepoR"},
    };
    for (const auto& [body, report] : cases) {
        trace.Clear();
        EXPECT_THROW(body(), ProgramEnd);
        const auto c = Fields(report);  // the error line, nine empty trace lines, the routine; fatal: no trace
        const std::string text = report.empty() ? "KvsPaghe|ERRORE REPOSITORY - STRCOSTANTE"
                                                : "KvsPaghe KVTESO|" + c[0] + std::string(10, '\r') + c[1] + "\r";
        EXPECT_EQ(messages.shown().size() * 10 + trace.index(), report.empty() ? 10u : 21u) << text;
        EXPECT_EQ(Shown(), text);
    }
    EXPECT_EQ(repo.REC_DIT(), "ABC");
}

}  // namespace
