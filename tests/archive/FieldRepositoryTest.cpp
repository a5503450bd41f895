// Reading and writing record fields by descriptor, the repeated-block offsets and the repository's
// fatal and run-time errors.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "archive/ErrorHandler.h"
#include "archive/FieldRepository.h"

using namespace kv;
using platform::Buttons;
using platform::ScriptedMessageBoxes;

namespace {

class RepositoryTest : public ::testing::Test {
protected:
    // A record of `size` blanks with `text` stored from column `column`.
    static std::string RecordWith(std::size_t size, std::size_t column, const std::string& text) {
        std::string r(size, ' ');
        r.replace(column - 1, text.size(), text);
        return r;
    }
    // Runs body, which must end the program after the error handler's report; returns the report.
    template <typename F>
    std::string ExpectRuntimeErrorReport(F&& body) {
        EXPECT_THROW(body(), ProgramEnd);
        EXPECT_EQ(messages.shown().size(), 2u);
        return messages.shown().empty() ? std::string() : messages.shown()[0].text;
    }

    Trace trace;
    ScriptedMessageBoxes messages;
    ErrorHandler errors{trace, messages, "KVTESO"};
    FieldRepository repo{errors};
};

constexpr const char* kQ201 = "DIPX$,00977,08,2,0,Q201";

}  // namespace

// ---- Reading -------------------------------------------------------------------------------------

TEST_F(RepositoryTest, ReadsImpliedDecimalsAndTheirNumberValue) {
    repo.REC_DIP() = RecordWith(16176, 977, "00123456");
    EXPECT_EQ(repo.RepoR(kQ201), "001234.56");
    EXPECT_EQ(repo.RepoN(kQ201), 1234.56);

    constexpr FieldDescriptor q201 = FieldDescriptor::Parse("DIPX$,00977,08,2,0,Q201");
    EXPECT_EQ(repo.RepoR(q201), "001234.56");
    EXPECT_EQ(repo.RepoN(q201), 1234.56);

    // Ten digits of type 2.
    repo.REC_DIP() = RecordWith(100, 1, "0001234567");
    EXPECT_EQ(repo.RepoR("DIPX$,00001,10,2,0,P001"), "00012345.67");
    EXPECT_EQ(repo.RepoR("DIPX$,00001,10,5,0,P001"), "00012.34567");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(RepositoryTest, TheFirstMinusAnywhereIsTheSign) {
    for (const char* stored : {"-0012345", "00-12345"}) {
        repo.REC_DIP() = RecordWith(1000, 977, stored);
        EXPECT_EQ(repo.RepoR(kQ201), "-000123.45") << stored;
        EXPECT_EQ(repo.RepoN(kQ201), -123.45) << stored;
    }
    repo.REC_DIP() = RecordWith(1000, 977, "-0000123");
    EXPECT_EQ(repo.RepoR("DIPX$,00977,08,N,0,Q201"), "-00000123");
    EXPECT_EQ(repo.RepoN("DIPX$,00977,08,N,0,Q201"), -123.0);
    // Only the first minus is taken; a second one ends the number.
    repo.REC_DIP() = RecordWith(1000, 977, "-00-1234");
    EXPECT_EQ(repo.RepoR(kQ201), "-000-12.34");
    EXPECT_EQ(repo.RepoN(kQ201), 0.0);
}

TEST_F(RepositoryTest, TextTypesComeBackAsStoredWithBlanksAndCodePageBytes) {
    repo.REC_DIT() = RecordWith(6483, 11, "CAFF\xC8 S.R.L.   ");
    EXPECT_EQ(repo.RepoR("DITX$,00011,15,A,0,T003"), "CAFF\xC8 S.R.L.   ");
    EXPECT_EQ(repo.RepoR("DITX$,00011,04,0,0,T003"), "CAFF");
    EXPECT_EQ(repo.RepoR("DITX$,00011,04,X,0,T003"), "CAFF");
    repo.REC_DIT() = RecordWith(6483, 100, "20240131");
    EXPECT_EQ(repo.RepoR("DITX$,00100,08,D,0,T100"), "20240131");
    // Blank numeric fields read as 0.
    EXPECT_EQ(repo.RepoR("DITX$,00200,06,2,0,T200"), "    .  ");
    EXPECT_EQ(repo.RepoN("DITX$,00200,06,2,0,T200"), 0.0);
    EXPECT_EQ(repo.RepoN("DITX$,00200,06,A,0,T200"), 0.0);
    // A text field with "1 234" reads as 1234: blanks are skipped.
    repo.REC_DIT() = RecordWith(6483, 300, "1 234");
    EXPECT_EQ(repo.RepoN("DITX$,00300,05,A,0,T300"), 1234.0);
}

TEST_F(RepositoryTest, AnExplicitRecordIsReadInsteadOfTheCurrentOne) {
    repo.REC_DIP() = RecordWith(1000, 977, "00000001");
    const std::string other = RecordWith(1000, 977, "00099999");
    EXPECT_EQ(repo.RepoR(kQ201, 0, other), "000999.99");
    EXPECT_EQ(repo.RepoN(kQ201, 0, other), 999.99);
    EXPECT_EQ(repo.RepoR(kQ201, 0, std::string()), "000000.01");
}

TEST_F(RepositoryTest, AFieldPartlyBeyondTheRecordReadsWhatExists) {
    repo.REC_DIT() = "ABC";
    EXPECT_EQ(repo.RepoR("DITX$,00002,05,A,0,T001"), "BC");
    EXPECT_EQ(repo.RepoR("DITX$,00004,05,A,0,T001"), "");
    EXPECT_EQ(repo.RepoR("DITX$,09999,05,A,0,T001"), "");

    repo.REC_DIP() = RecordWith(981, 977, "00012");  // three characters of the field missing
    EXPECT_EQ(repo.RepoR(kQ201), "00012.");
    EXPECT_EQ(repo.RepoN(kQ201), 12.0);
    repo.REC_DIP() = RecordWith(982, 977, "-00012");
    EXPECT_EQ(repo.RepoR(kQ201), "-000012.");
    EXPECT_EQ(repo.RepoN(kQ201), -12.0);
    repo.REC_DIP().clear();
    EXPECT_EQ(repo.RepoR(kQ201), ".");
    EXPECT_EQ(repo.RepoN(kQ201), 0.0);
    EXPECT_TRUE(messages.shown().empty());
}

// ---- Writing -------------------------------------------------------------------------------------

TEST_F(RepositoryTest, WritesNumbersWithImpliedDecimalsAndSignInTheFirstColumn) {
    struct Case {
        const char* value;
        const char* stored;
    };
    const Case cases[] = {
        {"-12.5", "-0001250"}, {"12.345", "00001235"}, {"12.50", "00001250"}, {"1234.56", "00123456"},
        {"0", "00000000"},     {"", "00000000"},        {"0.005", "00000001"}, {"-0.015", "-0000002"},
        {"999999.99", "99999999"}, {"1234567.89", "23456789"},  // too wide: the leftmost digits are lost
        {"1E+3", "00100000"},
    };
    for (const Case& c : cases) {
        repo.REC_DIP() = std::string(1000, ' ');
        std::string value = c.value;
        repo.RepoW(kQ201, value);
        EXPECT_EQ(repo.REC_DIP().substr(976, 8), c.stored) << c.value;
        EXPECT_EQ(repo.REC_DIP().size(), 1000u);
        EXPECT_EQ(repo.REC_DIP().substr(0, 976), std::string(976, ' '));
        EXPECT_EQ(repo.REC_DIP().substr(984), std::string(16, ' '));
    }
    // What is written reads back.
    std::string value = "-1234.5";
    repo.RepoW(kQ201, value);
    EXPECT_EQ(repo.RepoN(kQ201), -1234.5);
}

TEST_F(RepositoryTest, ACommaIsWrittenAsAPointAndTheCallersValueChanges) {
    repo.REC_DIP() = std::string(1000, ' ');
    std::string value = "12,50";
    repo.RepoW(kQ201, value);
    EXPECT_EQ(value, "12.50");
    EXPECT_EQ(repo.REC_DIP().substr(976, 8), "00001250");

    value = "1,5,7";  // only the first comma
    repo.RepoW("DIPX$,00001,10,A,0,P001", value);
    EXPECT_EQ(value, "1.5,7");
    EXPECT_EQ(repo.REC_DIP().substr(0, 10), "1.5,7     ");
}

TEST_F(RepositoryTest, WritesTextLeftAlignedAndWholeNumbersAndDatesRightAligned) {
    repo.REC_DIT() = std::string(200, '*');
    std::string name = "ROSSI";
    repo.RepoW("DITX$,00011,10,A,0,T003", name);
    EXPECT_EQ(repo.REC_DIT().substr(10, 10), "ROSSI     ");
    name = "BIANCHI E VERDI S.P.A.";
    repo.RepoW("DITX$,00011,10,A,0,T003", name);
    EXPECT_EQ(repo.REC_DIT().substr(10, 10), "BIANCHI E ");
    EXPECT_EQ(repo.REC_DIT().substr(9, 1), "*");
    EXPECT_EQ(repo.REC_DIT().substr(20, 1), "*");

    std::string n = "12.7";
    repo.RepoW("DITX$,00050,05,N,0,T050", n);
    EXPECT_EQ(repo.REC_DIT().substr(49, 5), "012.7") << "an N field is not rounded";
    n = "-5";
    repo.RepoW("DITX$,00050,05,N,0,T050", n);
    EXPECT_EQ(repo.REC_DIT().substr(49, 5), "-0005");
    n = "123456";
    repo.RepoW("DITX$,00050,05,N,0,T050", n);
    EXPECT_EQ(repo.REC_DIT().substr(49, 5), "23456");

    std::string date = "20240131";
    repo.RepoW("DITX$,00100,08,D,0,T100", date);
    EXPECT_EQ(repo.REC_DIT().substr(99, 8), "20240131");
    date = "0131";
    repo.RepoW("DITX$,00100,08,D,0,T100", date);
    EXPECT_EQ(repo.REC_DIT().substr(99, 8), "00000131");
    EXPECT_EQ(repo.REC_DIT().size(), 200u);
}

// Only "A" is written as text: the types that read as text ("0", any other character) are written
// like whole numbers, right-aligned and zero-filled.
TEST_F(RepositoryTest, OnlyTypeAIsWrittenLeftAligned) {
    repo.REC_DIT() = std::string(20, '*');
    for (const char* type : {"0", "X"}) {
        std::string v = "AB";
        repo.RepoW(std::string("DITX$,00003,05,") + type + ",0,T001", v);
        EXPECT_EQ(repo.REC_DIT().substr(2, 5), "000AB") << type;
        v = "-7";
        repo.RepoW(std::string("DITX$,00003,05,") + type + ",0,T001", v);
        EXPECT_EQ(repo.REC_DIT().substr(2, 5), "-0007") << type;
    }
    EXPECT_EQ(repo.REC_DIT().substr(0, 2) + repo.REC_DIT().substr(7), std::string(15, '*'));
}

TEST_F(RepositoryTest, WritesIntoAnExplicitRecordUnlessItIsEmpty) {
    repo.REC_DIT() = std::string(50, ' ');
    std::string other(50, '.');
    std::string v = "AB";
    repo.RepoW("DITX$,00003,02,A,0,T001", v, 0, &other);
    EXPECT_EQ(other.substr(0, 6), "..AB..");
    EXPECT_EQ(repo.REC_DIT(), std::string(50, ' '));

    std::string empty;
    repo.RepoW("DITX$,00003,02,A,0,T001", v, 0, &empty);
    EXPECT_EQ(empty, "");
    EXPECT_EQ(repo.REC_DIT().substr(0, 6), "  AB  ");
}

TEST_F(RepositoryTest, AWriteNeverLengthensTheRecord) {
    std::string record = "ABCDEFGH";
    std::string v = "VWXYZ";
    repo.RepoW("DITX$,00006,05,A,0,T001", v, 0, &record);
    EXPECT_EQ(record, "ABCDEVWX");
    v = "-12.5";
    repo.RepoW("DITX$,00008,08,2,0,T001", v, 0, &record);
    EXPECT_EQ(record, "ABCDEVW-");
}

TEST_F(RepositoryTest, AWriteStartingPastTheRecordIsARuntimeErrorOfRepoW) {
    repo.REC_DIT() = "ABC";
    std::string v = "X";
    const std::string report = ExpectRuntimeErrorReport([&] { repo.RepoW("DITX$,00005,01,A,0,T001", v); });
    EXPECT_EQ(report, "Errore 5 " + RuntimeError(err::InvalidCall).description() + "\r" +
                          std::string(9, '\r') + "RepoW\r");
    EXPECT_EQ(repo.REC_DIT(), "ABC");
}

// ---- Current-record texts --------------------------------------------------------------------------

TEST_F(RepositoryTest, EveryPrefixHasItsOwnCurrentRecord) {
    std::set<const std::string*> distinct;
    for (std::size_t i = 0; i < kArchivePrefixCount; ++i) {
        const auto prefix = static_cast<ArchivePrefix>(i);
        repo.Current(PrefixText(prefix)) = std::string(PrefixText(prefix)) + "-RECORD";
        distinct.insert(&repo.Current(prefix));
    }
    EXPECT_EQ(distinct.size(), 24u);
    const std::pair<std::string*, const char*> named[] = {
        {&repo.REC_DIT(), "DITX$"}, {&repo.REC_DIP(), "DIPX$"}, {&repo.REC_FIS(), "FISX$"},
        {&repo.REC_SET(), "SETX$"}, {&repo.REC_FOT(), "FOTX$"}, {&repo.REC_DIC(), "DICX$"},
        {&repo.REC_DI2(), "DI2X$"}, {&repo.REC_CON(), "CONX$"}, {&repo.REC_CUD(), "CUDX$"},
        {&repo.REC_PRO(), "PROX$"}, {&repo.REC_STU(), "STUX$"}, {&repo.REC_ART(), "ARTX$"},
        {&repo.REC_FOP(), "FOPX$"}, {&repo.REC_F24(), "F24X$"}, {&repo.REC_PAR(), "PARX$"},
        {&repo.REC_PER(), "PERX$"}, {&repo.REC_COC(), "COCX$"}, {&repo.REC_STO(), "STOX$"},
        {&repo.REC_SCR(), "SCRX$"}, {&repo.REC_SCRY(), "SCRY$"}, {&repo.REC_GLA(), "GLAX$"},
        {&repo.REC_GLC(), "GLCX$"}, {&repo.REC_M77(), "M77X$"}, {&repo.REC_SCRU(), "SCRU$"},
    };
    for (const auto& [text, prefix] : named) {
        EXPECT_EQ(*text, std::string(prefix) + "-RECORD");
        // A read by descriptor with no record given uses that prefix's text.
        EXPECT_EQ(repo.RepoR(std::string(prefix) + ",00001,05,A,0,O001"), prefix);
    }
    // GLAX$ and GLCX$ share the field letter O but not the record.
    EXPECT_NE(&repo.REC_GLA(), &repo.REC_GLC());
    std::string v = "GLC";
    repo.RepoW("GLCX$,00001,03,A,0,O001", v);
    EXPECT_EQ(repo.REC_GLC(), "GLCX$-RECORD");  // same three letters written back
    v = "ZZ";
    repo.RepoW("GLCX$,00001,03,A,0,O001", v);
    EXPECT_EQ(repo.REC_GLC(), "ZZ X$-RECORD");
    EXPECT_EQ(repo.REC_GLA(), "GLAX$-RECORD");

    repo.ClearRecords();
    for (std::size_t i = 0; i < kArchivePrefixCount; ++i) EXPECT_EQ(repo.Current(static_cast<ArchivePrefix>(i)), "");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(RepositoryTest, AnUnknownPrefixShowsStrcostanteAndEndsTheProgram) {
    auto expectFatal = [&](auto&& body) {
        messages.clear();
        EXPECT_THROW(body(), ProgramEnd);
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].title, "KvsPaghe");
        EXPECT_EQ(messages.shown()[0].text, "ERRORE REPOSITORY - STRCOSTANTE");
        EXPECT_EQ(messages.shown()[0].buttons, Buttons::Ok);
    };
    std::string v = "1";
    expectFatal([&] { repo.RepoR("XYZX$,00001,05,A,0,Z001"); });
    expectFatal([&] { repo.RepoN("DIPY$,00001,05,A,0,P001"); });
    expectFatal([&] { repo.RepoW("dipx$,00001,05,A,0,P001", v); });
    expectFatal([&] { repo.RepoR(""); });
    expectFatal([&] { repo.Current("DIP"); });
    EXPECT_EQ(trace.index(), 0) << "a fatal data error is not a run-time error report";

    // With an explicit record the prefix is not needed.
    messages.clear();
    EXPECT_EQ(repo.RepoR("XYZX$,00002,02,A,0,Z001", 0, std::string("ABCD")), "BC");
    EXPECT_TRUE(messages.shown().empty());
}

// ---- Repeated blocks -------------------------------------------------------------------------------

namespace {
std::string Descriptor(const char* prefix, int position, const char* code = "X100") {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s,%05d,02,A,0,%s", prefix, position, code);
    return buf;
}
}  // namespace

TEST_F(RepositoryTest, IndexZeroIsNeverShifted) {
    for (std::size_t i = 0; i < kArchivePrefixCount; ++i)
        for (int p : {1, 42, 101, 256, 5000, 5483, 16176})
            EXPECT_EQ(repo.RepoOffset(Descriptor(std::string(PrefixText(static_cast<ArchivePrefix>(i))).c_str(), p,
                                                 "A123"),
                                      0),
                      0);
    EXPECT_EQ(repo.RepoOffset("DI2X$,00150,05,A,0,Z123", 0), 0);  // no message for index 0
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(RepositoryTest, PrefixesWithoutRepeatedBlocksAreNeverShifted) {
    for (const char* prefix : {"DITX$", "DIPX$", "FISX$", "GLAX$", "SCRU$", "SCRY$"})
        for (int p : {42, 101, 300, 5000})
            for (int16_t index : {1, 2, 9}) EXPECT_EQ(repo.RepoOffset(Descriptor(prefix, p), index), 0) << prefix;
}

TEST_F(RepositoryTest, ConAndDicBlocks) {
    EXPECT_EQ(repo.RepoOffset(Descriptor("CONX$", 100), 2), 0);
    EXPECT_EQ(repo.RepoOffset(Descriptor("CONX$", 101), 2), 290);
    EXPECT_EQ(repo.RepoOffset(Descriptor("CONX$", 390), 3), 580);
    EXPECT_EQ(repo.RepoOffset(Descriptor("CONX$", 391), 2), 0);
    EXPECT_EQ(repo.RepoOffset(Descriptor("CONX$", 101), 1), 0);

    EXPECT_EQ(repo.RepoOffset(Descriptor("DICX$", 100), 5), 0);
    EXPECT_EQ(repo.RepoOffset(Descriptor("DICX$", 101), 5), 40);
    EXPECT_EQ(repo.RepoOffset(Descriptor("DICX$", 9000), 2), 10);
}

TEST_F(RepositoryTest, M77Blocks) {
    for (int p : {255, 511, 3315, 3571}) EXPECT_EQ(repo.RepoOffset(Descriptor("M77X$", p), 2), 0) << p;
    for (int p : {256, 510, 3316, 3570}) EXPECT_EQ(repo.RepoOffset(Descriptor("M77X$", p), 2), 255) << p;
    EXPECT_EQ(repo.RepoOffset(Descriptor("M77X$", 300), 4), 765);
}

TEST_F(RepositoryTest, F24BlocksByPositionRange) {
    auto off = [&](int p) { return repo.RepoOffset(Descriptor("F24X$", p), 2); };
    EXPECT_EQ(off(41), 0);
    EXPECT_EQ(off(42), 36);
    EXPECT_EQ(off(66), 36);
    EXPECT_EQ(off(67), 0);
    EXPECT_EQ(off(761), 0);
    EXPECT_EQ(off(762), 63);
    EXPECT_EQ(off(813), 63);
    EXPECT_EQ(off(814), 0);
    for (int k = 0; k < 21; ++k) {
        const int first = 1077 + 152 * k, last = 1100 + 152 * k;
        EXPECT_EQ(off(first - 1), 0) << k;
        EXPECT_EQ(off(first), 35) << k;
        EXPECT_EQ(off(first + 11), 35) << k;
        EXPECT_EQ(off(last), 35) << k;
        EXPECT_EQ(off(last + 1), 0) << k;
    }
    EXPECT_EQ(off(4117), 35);
    EXPECT_EQ(off(4140), 35);
    EXPECT_EQ(off(1077 + 152 * 21), 0) << "there is no twenty-second range";
    EXPECT_EQ(off(4358), 0);
    EXPECT_EQ(off(4359), 51);
    EXPECT_EQ(off(4398), 51);
    EXPECT_EQ(off(4399), 0);
    EXPECT_EQ(off(4823), 0);
    EXPECT_EQ(off(4824), 55);
    EXPECT_EQ(off(4867), 55);
    EXPECT_EQ(off(4868), 0);
    EXPECT_EQ(off(4999), 0);
    EXPECT_EQ(off(5000), 4);
    EXPECT_EQ(off(5001), 0);
    for (int k = 0; k < 21; ++k) {
        EXPECT_EQ(off(5094 + 16 * k), 4) << k;
        EXPECT_EQ(off(5094 + 16 * k + 1), 0) << k;
        EXPECT_EQ(off(5094 + 16 * k - 1), 0) << k;
    }
    EXPECT_EQ(off(5078), 0);
    EXPECT_EQ(off(5430), 0) << "there is no twenty-second position";
    EXPECT_EQ(off(5482), 0);
    EXPECT_EQ(off(5483), 2);
    EXPECT_EQ(off(5484), 0);
    EXPECT_EQ(repo.RepoOffset(Descriptor("F24X$", 1077), 5), 140);
}

TEST_F(RepositoryTest, Di2BlocksByFieldCode) {
    EXPECT_EQ(repo.RepoOffset("DI2X$,00050,05,A,0,I100", 2), 714);
    EXPECT_EQ(repo.RepoOffset("DI2X$,00050,05,A,0,I999", 3), 1428);
    EXPECT_EQ(repo.RepoOffset("DI2X$,00900,05,A,0,I099", 3), 0);
    EXPECT_EQ(repo.RepoOffset("DI2X$,00900,05,A,0,I001", 3), 0);
    EXPECT_TRUE(messages.shown().empty());

    // No "I" from column 4 on: a message, no shift, and the read goes on.
    repo.REC_DI2() = RecordWith(2000, 50, "HELLO");
    EXPECT_EQ(repo.RepoR("DI2X$,00050,05,A,0,Z100", 2), "HELLO");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "ERRORE REPOSITORY - LETTERA SCONOSCIUTA");
    EXPECT_EQ(messages.shown()[0].title, "KvsPaghe");
    EXPECT_EQ(messages.shown()[0].buttons, Buttons::Ok);
}

TEST_F(RepositoryTest, ReadsAndWritesShiftedBlocks) {
    repo.REC_CON() = RecordWith(1300, 101, "AAA") ;
    repo.REC_CON().replace(390, 3, "BBB");   // block 2 at column 391
    repo.REC_CON().replace(680, 3, "CCC");   // block 3 at column 681
    EXPECT_EQ(repo.RepoR("CONX$,00101,03,A,0,G101", 1), "AAA");
    EXPECT_EQ(repo.RepoR("CONX$,00101,03,A,0,G101", 2), "BBB");
    EXPECT_EQ(repo.RepoR("CONX$,00101,03,A,0,G101", 3), "CCC");
    EXPECT_EQ(repo.RepoR("CONX$,00101,03,A,0,G101", 0), "AAA");
    // An explicit record is shifted too.
    EXPECT_EQ(repo.RepoR("CONX$,00101,03,A,0,G101", 2, repo.REC_CON()), "BBB");

    repo.REC_F24() = std::string(300, ' ');
    std::string v = "7";
    repo.RepoW("F24X$,00042,02,N,0,A042", v, 3);
    EXPECT_EQ(repo.REC_F24().substr(113, 2), "07");  // 42 + 2 x 36 = column 114
    EXPECT_EQ(repo.REC_F24().substr(41, 2), "  ");
}

TEST_F(RepositoryTest, AnOffsetBeyondSixteenBitsIsAnOverflowReportedByTheRoutine) {
    EXPECT_THROW(repo.RepoOffset("CONX$,00101,03,A,0,G101", 200), RuntimeError);
    EXPECT_EQ(repo.RepoOffset("CONX$,00101,03,A,0,G101", 113), 32480);

    repo.REC_CON() = std::string(400, ' ');
    std::string report = ExpectRuntimeErrorReport([&] { repo.RepoR("CONX$,00101,03,A,0,G101", 200); });
    EXPECT_EQ(report, "Errore 6 " + RuntimeError(err::Overflow).description() + "\r" + std::string(9, '\r') +
                          "RepoR\r");

    messages.clear();
    std::string v = "1";
    report = ExpectRuntimeErrorReport([&] { repo.RepoW("DI2X$,00050,05,A,0,I100", v, -32000); });
    EXPECT_NE(report.find("Errore 6 "), std::string::npos);
    EXPECT_EQ(report.substr(report.size() - 6), "RepoW\r");

    messages.clear();
    report = ExpectRuntimeErrorReport([&] { repo.RepoN("M77X$,00300,05,2,0,H300", INT16_MAX); });
    EXPECT_NE(report.find("Errore 6 "), std::string::npos);
}

TEST_F(RepositoryTest, AShiftBeforeColumnOneIsARuntimeError) {
    repo.REC_CON() = std::string(400, ' ');
    const std::string report = ExpectRuntimeErrorReport([&] { repo.RepoR("CONX$,00101,03,A,0,G101", -1); });
    EXPECT_EQ(report.find("Errore 5 "), 0u);
}

TEST_F(RepositoryTest, MalformedDescriptorsDoNotCrash) {
    repo.REC_DIP() = RecordWith(100, 1, "12345");
    EXPECT_EQ(repo.RepoR("DIPX$,00001"), "");     // no length
    EXPECT_EQ(repo.RepoR("DIPX$,00001,05"), "12345");  // no type: text
    EXPECT_EQ(repo.RepoR("DIPX$,0 0 2,03,A,0,P001"), "234");
    // More implied decimals than the field has characters.
    const std::string report = ExpectRuntimeErrorReport([&] { repo.RepoR("DIPX$,00001,01,3,0,P001"); });
    EXPECT_EQ(report.find("Errore 5 "), 0u);
}
