// The cells of a list line: formatted numbers, cut cells and the name cell.
#include <cmath>
#include <limits>

#include "lists/ListFormat.h"

#include <gtest/gtest.h>

namespace kvtest::lists {
namespace {

using kv::lists::FormatFixed;
using kv::lists::NameCell;
using kv::lists::NumberCell;

struct FormatCase {
    double value;
    int decimals;
    char separator;
    const char* expected;
};

TEST(FormatFixed, RoundsHalfAwayFromZeroOnFifteenDigits) {
    const FormatCase cases[] = {
        {2.675, 2, '.', "2.68"},          // binary 2.67499999... reads 2.67500000000000 on 15 digits
        {1.005, 2, '.', "1.01"},
        {0.005, 2, '.', "0.01"},
        {-0.005, 2, '.', "-0.01"},
        {-0.004, 2, '.', "0.00"},         // never "-0.00"
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
        {std::numeric_limits<double>::quiet_NaN(), 2, '.', "0.00"},
        {std::numeric_limits<double>::infinity(), 2, '.', "0.00"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.decimals, c.separator), c.expected) << c.value << " / " << c.decimals;
}

TEST(NumberCell, RightAlignsAndKeepsTheLastCharacters) {
    EXPECT_EQ(NumberCell(5.6, 2, 10, '.'), "       5.60");
    EXPECT_EQ(NumberCell(0.28, 2, 4, '.'), " 0.28");
    EXPECT_EQ(NumberCell(1.12601, 5, 7, '.'), " 1.12601");
    EXPECT_EQ(NumberCell(30, 2, 15, '.'), "           30.00");
    EXPECT_EQ(NumberCell(-12345.678, 2, 10, '.'), "  -12345.68");
    EXPECT_EQ(NumberCell(9999999.99, 2, 10, '.'), " 9999999.99");
    // Ten million and more: the leading digits are lost.
    EXPECT_EQ(NumberCell(12345678.9, 2, 10, '.'), " 2345678.90");
    EXPECT_EQ(NumberCell(1e7, 2, 10, '.'), " 0000000.00");
    EXPECT_EQ(NumberCell(12.12345, 5, 7, '.'), " 2.12345");
    EXPECT_EQ(NumberCell(1234.5, 2, 10, ','), "    1234,50");
}

TEST(NameCell, NumberSurnameAndInitial) {
    EXPECT_EQ(NameCell(1, "ROSSI", "MARIO"), "0001 ROSSI M               ");
    EXPECT_EQ(NameCell(12345, "  DELLA VALLE SANTANGELO  ", "  maria"), "2345 DELLA VALLE SANTANGE m");
    EXPECT_EQ(NameCell(7, "VERDI", ""), "0007 VERDI                 ");
    EXPECT_EQ(NameCell(42, "", ""), "0042                       ");
    // Windows-1252 bytes stay as they are: one byte, one character.
    EXPECT_EQ(NameCell(3, "PER\xD2", "\xC8LIA"), "0003 PER\xD2 \xC8                ");
    EXPECT_EQ(NameCell(3, "ROSSI", "MARIO").size(), 27u);
}

}  // namespace
}  // namespace kvtest::lists
