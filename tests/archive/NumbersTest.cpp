// Number texts of the archive layer: rounding for records and totals, exponent removal, and the
// reading of number texts. The test programs take the locale of their environment and the suite is
// run again under it_IT.UTF-8 (decimal comma): these values must not change.
#include <charconv>
#include <cmath>

#include "archive/Errors.h"
#include "archive/Numbers.h"
#include "support/TestSupport.h"

using namespace kv;

namespace {

int ErrorOf(void (*body)()) {
    try {
        body();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

double Number(const std::string& text) {  // the test's own reading, "." only
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

TEST(Numbers, ArrotondaWorkedValues) {
    // "value|decimals|text". 0 decimals means 2. 15 significant digits decide, as in the legacy runtime:
    // 2.675 and 1.005 are stored just below the half, but their sum with the half prints as 2.68 and 1.01.
    for (const char* row : {"1.999|2|2.00", "7|3|7.000", "0.004|2|0.00", "0|2|0.00", "0.75|1|0.8", "0.005|2|0.01",
                            "-0.005|2|-0.01", "-2.345|2|-2.35", "-1.999|2|-2.00", "12.345|2|12.35", "1000.5|0|1000.50",
                            "1000.5|1|1000.5", "2.675|2|2.68", "1.005|2|1.01", "1234567890123.456|2|1234567890123.46",
                            "1e16|2|10000000000000000.00", "-1e16|2|-10000000000000000.00", "1e-7|2|0.00", "1e-7|9|0.000000100",
                            "1.5e-5|6|0.000015", "123456789012345678|2|123456789012346000.00"}) {
        const auto c = kvtest::Fields(row);
        EXPECT_EQ(ARROTONDA(Number(c[0]), std::stoi(c[1])), c[2]) << row;
    }
    int16_t zero = 0, three = 3;  // the caller's 0 decimals become 2
    EXPECT_EQ(ARROTONDA(2.5, zero) + ARROTONDA(-7.0, three), "2.50-7.000");
    EXPECT_EQ(zero * 10 + three, 23);
    for (int cents = -5000; cents <= 5000; ++cents) {  // every cent plus a half cent goes away from zero
        const int expected = cents + (cents >= 0 ? 1 : -1);
        char want[32];
        std::snprintf(want, sizeof want, "%s%d.%02d", expected < 0 ? "-" : "", std::abs(expected) / 100, std::abs(expected) % 100);
        ASSERT_EQ(ARROTONDA((cents + (cents >= 0 ? 0.5 : -0.5)) / 100.0, 2), want) << "cents " << cents;
    }
    EXPECT_EQ(ErrorOf([] { int16_t negative = -1; ARROTONDA(1.0, negative); }), err::InvalidCall);
    EXPECT_EQ(ErrorOf([] { ARROTONDA(std::nan(""), 2); }) + ErrorOf([] { ARROTONDA(HUGE_VAL, 2); }), 2 * err::Overflow);
    EXPECT_EQ(ErrorOf([] { ARROTONDA(1.0, 70000); }), err::Overflow);
}

TEST(Numbers, NormalizzanumeroAndFormatDouble15) {
    // "text=result", or a text left unchanged (no exponent, or not a number).
    for (std::string_view row : {"1E+16=10000000000000000", "1.23456789012346E+17=123456789012346000", "1E-07=0.0000001",
                                 "1,23456789012346E+17=123456789012346000", "-1,5E-07=-0.00000015", "-1.5E+02=-150",
                                 "+1.5E+02=150", "1.25E+01=12.5", "1.005E-07=0.0000001005", "5E+00=5", "00012E+1=120",
                                 "0,0E+00=0", "1.50E-01=0.15", "12.5", "12,5", "-0001250", "", "E+", "E+5", "-E+5", "+",
                                 "1E+", "1E+5X", "1E+-5", "ABE+1", "1E5", "1e+5", "1.2.3E+1", "--1E+1", "1E+99999"}) {
        std::string text(row.substr(0, row.find('=')));
        NORMALIZZANUMERO(text);
        EXPECT_EQ(text, row.substr(row.find('=') == row.npos ? 0 : row.find('=') + 1)) << row;
    }
    EXPECT_EQ(FormatDouble15(0.1 + 0.2) + "|" + FormatDouble15(1.0 / 3) + "|" + FormatDouble15(1e15) + "|" + FormatDouble15(0.0001) +
                  "|" + FormatDouble15(-1.5e-7) + "|" + FormatDouble15(-0.0),
              "0.3|0.333333333333333|1E+15|0.0001|-1.5E-07|0");
}

TEST(Numbers, ValReadsTheNumberAtTheStartOfAText) {
    const std::string tiny = "0." + std::string(400, '0') + "1";
    const std::pair<std::string, double> cases[] = {
        {"1 234", 1234}, {"-00012345.67", -12345.67}, {"001234.56", 1234.56}, {"12,50", 12}, {"12.50", 12.5}, {"", 0}, {"        ", 0}, {"ROSSI", 0}, {"-", 0}, {"+", 0}, {"- ", 0}, {"5-", 5}, {".", 0}, {".5", 0.5}, {"-.5", -0.5}, {"5.", 5}, {"1.2.3", 1.2}, {"  - 5", -5}, {"+7", 7}, {"+-7", 0}, {"\t12\n3", 123}, {"12-3", 12}, {"1E3", 1000}, {"1d3", 1000}, {"2.5E-1", 0.25}, {"2.5e+1", 25}, {"1 E 2", 100}, {"1E", 1}, {"1Ex", 1}, {"1E+", 1}, {"1E-", 1}, {"1E-400", 0}, {"\xE0\xE8 12", 0}, {"1" + std::string(299, '0'), 1e299}, {tiny, 0}, {tiny + "E50", 0}, {std::string(150, ' ') + "-7.5", -7.5}};  // longer than the stack buffer
    for (const auto& [text, value] : cases) EXPECT_EQ(Val(text), value) << text;
    EXPECT_EQ(ErrorOf([] { Val("1E400"); }) * 100 + ErrorOf([] { Val(std::string(200, '9')); }), err::Overflow * 100);
}

}  // namespace
