// Numbers and strings as written into PDF files.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <locale>

#include "pdf/PdfFormat.h"

namespace quill {
namespace {

TEST(FormatNumber, RoundsToThreeDecimalsHalfAwayFromZero) {
    EXPECT_EQ(FormatNumber(0.0005), "0.001");
    EXPECT_EQ(FormatNumber(-0.0005), "-0.001");
    EXPECT_EQ(FormatNumber(0.0004), "0");
    EXPECT_EQ(FormatNumber(-0.0004), "0");
    EXPECT_EQ(FormatNumber(2.5), "2.5");
    EXPECT_EQ(FormatNumber(3), "3");
    EXPECT_EQ(FormatNumber(1.0 / 3.0), "0.333");
    EXPECT_EQ(FormatNumber(2.0 / 3.0), "0.667");
    EXPECT_EQ(FormatNumber(-2.0 / 3.0), "-0.667");
    EXPECT_EQ(FormatNumber(0), "0");
    EXPECT_EQ(FormatNumber(-0.0), "0");
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    EXPECT_EQ(FormatNumber(10.05), "10.05");
    EXPECT_EQ(FormatNumber(842), "842");
}

TEST(FormatNumber, CentimetreValuesOfTheLists) {
    const double cm = 72.0 / 2.54;
    EXPECT_EQ(FormatNumber(static_cast<float>(28.346457f * 1.0f)), "28.346");
    EXPECT_EQ(FormatNumber(static_cast<float>(28.346457f * 2.0f)), "56.693");
    EXPECT_EQ(FormatNumber(842 - 2 * cm), "785.307");
    EXPECT_EQ(FormatNumber(0 / 255.0), "0");
    EXPECT_EQ(FormatNumber(128 / 255.0), "0.502");
}

TEST(FormatNumber, LargeValuesKeepSevenDigitsWithoutExponent) {
    EXPECT_EQ(FormatNumber(12345.678), "12345.68");
    EXPECT_EQ(FormatNumber(-12345.678), "-12345.68");
    EXPECT_EQ(FormatNumber(1234567.8), "1234568");
    EXPECT_EQ(FormatNumber(1e9), "1000000000");
    EXPECT_EQ(FormatNumber(9999.999), "9999.999");
    for (double v : {1e12, -1e15, 3e20}) {
        const std::string s = FormatNumber(v);
        EXPECT_EQ(s.find_first_of("eE,"), std::string::npos) << s;
    }
}

TEST(FormatNumber, NeverPrintsNanOrInfinity) {
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity()), "0");
    EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity()), "0");
    EXPECT_EQ(FormatNumber(1e300), "0");  // beyond single precision
}

// A global locale with a decimal comma must not leak into the output.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(FormatNumber, IgnoresTheProcessLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    const std::string a = FormatNumber(2.5), b = FormatNumber(12345.678);
    std::locale::global(previous);
    EXPECT_EQ(a, "2.5");
    EXPECT_EQ(b, "12345.68");
}

TEST(EscapeString, BackslashesParenthesesAndLineBreaks) {
    EXPECT_EQ(EscapeString("(a)\\b"), "\\(a\\)\\\\b");
    EXPECT_EQ(EscapeString("x\ry\nz"), "x\\ry\\nz");
    EXPECT_EQ(EscapeString(""), "");
    EXPECT_EQ(EscapeString("caff\xE8"), "caff\xE8");  // Windows-1252 bytes pass unchanged
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(EscapeString(withNul), withNul);
}

TEST(ToUpperHex, TwoDigitsPerByte) {
    EXPECT_EQ(ToUpperHex(std::string("\x00\x0f\xab\xff", 4)), "000FABFF");
    EXPECT_EQ(ToUpperHex("QuillPdf"), "5175696C6C506466");
}

TEST(Cp1252, HighPositions) {
    EXPECT_EQ(Cp1252ToUnicode(0x80), 0x20ACu);
    EXPECT_EQ(Cp1252ToUnicode(0xE9), 0xE9u);
    EXPECT_EQ(Cp1252ToUnicode(0x41), 0x41u);
}

}  // namespace
}  // namespace quill
