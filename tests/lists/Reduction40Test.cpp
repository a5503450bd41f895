// The 40% reduction test on the current employee record.
#include "ListFixture.h"
#include "lists/Reduction40.h"

namespace kvtest::lists {
namespace {

struct ReductionCase {
    const char* what;
    Fields fields;
    const char* header;  // extraction date DDMMYYYY
    double rateIn;       // the rate the list has set (0 for an exempt employee)
    int reduction;
    double rateOut;
    const char* period;  // PERIODOSGRAVIO, nullptr: not checked
};

TEST(Reduction40, EveryRoute) {
    const ReductionCase cases[] = {
        {"blank code", {{"P013", "01032016"}}, "31032018", 0.50, 0, 0.50, "000000"},
        {"code 0", {{"P916", "0"}, {"P013", "01032016"}}, "31032018", 0.50, 0, 0.50, "000000"},
        {"2016 hire, last month of the window", {{"P916", "1"}, {"P013", "01032016"}}, "31032018", 0.50, 1, 0.50, "201803"},
        {"2016 hire, first month after it", {{"P916", "1"}, {"P013", "01032016"}}, "30042018", 0.50, 0, 0.50, "201803"},
        {"2016 hire, extraction before 2016", {{"P916", "1"}, {"P013", "01032016"}}, "31122015", 0.50, 1, 0.50, "201803"},
        {"2016 hire, exempt employee pays again", {{"P916", "1"}, {"P013", "01032016"}}, "31012017", 0, 1, 0.50, "201803"},
        {"2016 hire, own rate", {{"P916", "1"}, {"P013", "01032016"}, {"P620", "0.40"}}, "31012017", 0, 1, 0.40, "201803"},
        {"2015 hire", {{"P916", "1"}, {"P013", "01032015"}}, "31032016", 0.50, 0, 0.50, "201503"},
        {"2017 hire", {{"P916", "1"}, {"P013", "01032017"}}, "31032018", 0.30, 0, 0.30, "201703"},
        {"relief date 05/2016, in", {{"P916", "1"}, {"P013", "01062012"}, {"P939", "01052016"}}, "31052018", 0.50, 1, 0.50, "201805"},
        {"relief date 05/2016, out", {{"P916", "1"}, {"P013", "01062012"}, {"P939", "01052016"}}, "30062018", 0.50, 0, 0.50, "201805"},
        {"relief date wins over the hiring", {{"P916", "1"}, {"P013", "01062016"}, {"P939", "10012016"}}, "31032018", 0.50, 0, 0.50, "201801"},
        {"relief date zero: hiring counts", {{"P916", "1"}, {"P013", "01062016"}, {"P939", "00000000"}}, "31032018", 0.50, 1, 0.50, "201806"},
        {"code 4", {{"P916", "4"}}, "31032024", 0.50, 1, 0.50, nullptr},
        {"code 5 exempt", {{"P916", "5"}, {"P620", "0.30"}}, "31032024", 0, 1, 0.30, nullptr},
        {"code 6", {{"P916", "6"}}, "31032024", 0, 1, 0.50, nullptr},
        {"code 7", {{"P916", "7"}}, "31032024", 0.50, 1, 0.50, nullptr},
        {"code 8", {{"P916", "8"}}, "31032024", 0.50, 1, 0.50, nullptr},
        {"code 9", {{"P916", "9"}}, "31032024", 0.50, 1, 0.50, nullptr},
        {"code A", {{"P916", "A"}}, "31032024", 0.50, 1, 0.50, nullptr},
        {"code B", {{"P916", "B"}, {"P620", "0.45"}}, "31032024", 0.50, 1, 0.45, nullptr},
        {"code 3", {{"P916", "3"}, {"P013", "01032015"}}, "31032024", 0.50, 0, 0.50, "201503"},
        {"code 1 without a 2016 date", {{"P916", "1"}, {"P013", "01032015"}}, "31032024", 0, 0, 0, "201503"},
    };
    ListSuite s;
    for (const ReductionCase& c : cases) {
        s.repo().REC_DIP() = s.Record(ListSuite::kEmployeeLength, c.fields);
        const kv::lists::Reduction40 r =
            kv::lists::TESTA_DIP_RID40PERCENTO(s.repo(), std::string(c.header) + "1", c.rateIn);
        EXPECT_EQ(r.RIDUZIONE40, c.reduction) << c.what;
        EXPECT_DOUBLE_EQ(r.ALIQUOTA050, c.rateOut) << c.what;
        if (c.period) {
            EXPECT_EQ(r.PERIODOSGRAVIO, c.period) << c.what;
        }
    }
    EXPECT_TRUE(s.messages().shown().empty());
}

// A blank relief code becomes "0" in the record text held in memory.
TEST(Reduction40, BlankCodeIsWrittenAsZeroInMemory) {
    ListSuite s;
    s.repo().REC_DIP() = s.Record(ListSuite::kEmployeeLength, {{"P013", "01032016"}});
    ASSERT_EQ(s.repo().REC_DIP().substr(13825, 1), " ");
    kv::lists::TESTA_DIP_RID40PERCENTO(s.repo(), "310320181", 0.5);
    EXPECT_EQ(s.repo().REC_DIP().substr(13825, 1), "0");
    EXPECT_EQ(s.repo().REC_DIP().size(), static_cast<size_t>(ListSuite::kEmployeeLength));
}

}  // namespace
}  // namespace kvtest::lists
