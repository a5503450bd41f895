// The cells of a list line (formatted numbers, cut cells, the name cell, the user's decimal
// separator) and the 40% reduction test on the current employee record.
#include <clocale>
#include <limits>

#include "ListFixture.h"
#include "lists/ListFormat.h"
#include "lists/Reduction40.h"

namespace kvtest::lists {
namespace {

using kv::lists::FormatFixed;
using kv::lists::NumberCell;

// "######0.#0" and the other patterns: half away from zero on the value's 15 significant digits.
TEST(ListFormat, FormatFixedAndNumberCell) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double value;
        int decimals;
        char separator;
        const char* expected;
    } const cases[] = {
        {2.675, 2, '.', "2.68"},  // binary 2.67499999... reads 2.67500000000000 on 15 digits
        {1.005, 2, '.', "1.01"},
        {0.005, 2, '.', "0.01"},
        {-0.005, 2, '.', "-0.01"},
        {-0.004, 2, '.', "0.00"},
        {-0.0, 2, '.', "0.00"},
        {0, 2, '.', "0.00"},
        {0.0028, 5, '.', "0.00280"},
        {0.0002614, 5, '.', "0.00026"},
        {0.000005, 5, '.', "0.00001"},
        {1.0, 5, '.', "1.00000"},
        {1e7, 2, '.', "10000000.00"},
        {12345678.9, 2, '.', "12345678.90"},
        {99.995, 2, '.', "100.00"},
        {-16.39, 2, '.', "-16.39"},
        {138.148148148148, 2, '.', "138.15"},
        {1234.5, 2, ',', "1234,50"},
        {0.28, 2, ',', "0,28"},
        {1000.5, 0, '.', "1001"},
        {-1000.5, 0, '.', "-1001"},
        {19.1340464, 2, '.', "19.13"},
        {0.5, 0, '.', "1"},
        {kNaN, 2, '.', "0.00"},
        {std::numeric_limits<double>::infinity(), 2, '.', "0.00"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatFixed(c.value, c.decimals, c.separator), c.expected) << c.value;

    // One blank, then the value right-aligned; a longer value keeps its last characters.
    // One blank, then the value right-aligned; a longer value keeps its last characters.
    EXPECT_EQ(NumberCell(-12345.678, 2, 10, '.'), "  -12345.68");
    EXPECT_EQ(NumberCell(12345678.9, 2, 10, '.'), " 2345678.90");
    EXPECT_EQ(NumberCell(1e7, 2, 10, '.'), " 0000000.00");
    EXPECT_EQ(NumberCell(12.12345, 5, 7, '.'), " 2.12345");
    EXPECT_EQ(NumberCell(1234.5, 2, 10, ','), "    1234,50");
}

// Four digits of the number, a blank, the trimmed surname (20 at most), a blank and the first
// letter of the first name, in 27 characters; Windows-1252 bytes stay as they are.
TEST(ListFormat, NameCell) {
    EXPECT_EQ(kv::lists::NameCell(1, "ROSSI", "MARIO"), "0001 ROSSI M               ");
    EXPECT_EQ(kv::lists::NameCell(12345, "  DELLA VALLE SANTANGELO  ", "  maria"), "2345 DELLA VALLE SANTANGE m");
    EXPECT_EQ(kv::lists::NameCell(7, "VERDI", ""), "0007 VERDI                 ");
    EXPECT_EQ(kv::lists::NameCell(3, "PER\xD2", "\xC8LIA"), "0003 PER\xD2 \xC8                ");
}

// The separator of the environment's LC_NUMERIC (the test program takes its environment's locale),
// read without changing the process locale.
TEST(ListFormat, DecimalSeparatorOfTheUserLocale) {
    EXPECT_EQ(kv::lists::DecimalSeparatorOfUserLocale(), *std::localeconv()->decimal_point);
}

TEST(Reduction40, EveryRoute) {
    // header: the extraction date DDMMYYYY; rateIn: the rate the list has set (0 for an exempt
    // employee); period: PERIODOSGRAVIO, nullptr: not checked.
    struct Case {
        const char* what;
        const char* fields;
        const char* header;
        double rateIn;
        int reduction;
        double rateOut;
        const char* period;
    } const cases[] = {
        {"blank code", "P013=01032016", "31032018", 0.50, 0, 0.50, "000000"},
        {"code 0", "P916=0 P013=01032016", "31032018", 0.50, 0, 0.50, "000000"},
        {"2016 hire, last month of the window", "P916=1 P013=01032016", "31032018", 0.50, 1, 0.50, "201803"},
        {"2016 hire, extraction before 2016", "P916=1 P013=01032016", "31122015", 0.50, 1, 0.50, "201803"},
        {"2016 hire, exempt employee pays again", "P916=1 P013=01032016", "31012017", 0, 1, 0.50, "201803"},
        {"2016 hire, own rate", "P916=1 P013=01032016 P620=0.40", "31012017", 0, 1, 0.40, "201803"},
        {"2015 hire", "P916=1 P013=01032015", "31032016", 0.50, 0, 0.50, "201503"},
        {"2017 hire", "P916=1 P013=01032017", "31032018", 0.30, 0, 0.30, "201703"},
        {"relief date 05/2016, in", "P916=1 P013=01062012 P939=01052016", "31052018", 0.50, 1, 0.50, "201805"},
        {"relief date 05/2016, out", "P916=1 P013=01062012 P939=01052016", "30062018", 0.50, 0, 0.50, "201805"},
        {"relief date wins over the hiring", "P916=1 P013=01062016 P939=10012016", "31032018", 0.50, 0, 0.50, "201801"},
        {"relief date zero: hiring counts", "P916=1 P013=01062016 P939=00000000", "31032018", 0.50, 1, 0.50, "201806"},
        {"code 5 exempt", "P916=5 P620=0.30", "31032024", 0, 1, 0.30, nullptr},
        {"code 6", "P916=6", "31032024", 0, 1, 0.50, nullptr},
        {"code B", "P916=B P620=0.45", "31032024", 0.50, 1, 0.45, nullptr},
        {"code 3", "P916=3 P013=01032015", "31032024", 0.50, 0, 0.50, "201503"},
        {"code 1 without a 2016 date", "P916=1 P013=01032015", "31032024", 0, 0, 0, "201503"},
    };
    ListSuite s;
    for (const auto& c : cases) {
        s.repo().REC_DIP() = s.Record(c.fields);
        const kv::lists::Reduction40 r =
            kv::lists::TESTA_DIP_RID40PERCENTO(s.repo(), std::string(c.header) + "1", c.rateIn);
        EXPECT_EQ(r.RIDUZIONE40, c.reduction) << c.what;
        EXPECT_DOUBLE_EQ(r.ALIQUOTA050, c.rateOut) << c.what;
        if (c.period) { EXPECT_EQ(r.PERIODOSGRAVIO, c.period) << c.what; }
    }
    // A blank relief code becomes "0" in the record text held in memory.
    s.repo().REC_DIP() = s.Record("P013=01032016");
    kv::lists::TESTA_DIP_RID40PERCENTO(s.repo(), "310320181", 0.5);
    EXPECT_EQ(s.repo().REC_DIP().substr(13825, 1), "0");
    EXPECT_EQ(s.repo().REC_DIP().size(), static_cast<size_t>(kv::demo::kEmployeeRecordLength));
    EXPECT_TRUE(s.messages().shown().empty());
}

}  // namespace
}  // namespace kvtest::lists
