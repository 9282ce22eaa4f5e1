// Odds texts from money and pools, and payoff rounding to each step.
#include "records/records.h"
#include "recordstest.h"

namespace vt::test {
namespace {

class Odds : public RecordsTest {
  protected:
    void SetUp() override {
        sh().entries(1) = {1, 1, "", "ONE"};
        sh().entries(2) = {2, 3, "", "TWO"};
    }
    // WIN odds of entry 1 holding `money` of a WIN pool `pool`.
    std::string win(double money, double pool, const std::string& house = "0") {
        resetsumm(sh());
        sh().housepct = house;
        sh().summ(1).win = Money::fromdouble(money);
        sh().summ(sh().maxplayers + 1).win = Money::fromdouble(pool);
        calcodds(cx);
        return sh().summ(1).oddswin;
    }
};

TEST_F(Odds, ExamplesReduceToTheirRatios) {
    EXPECT_EQ(win(10, 100), " 10/ 1");
    EXPECT_EQ(win(30, 200, "10"), " 6/ 1");
    EXPECT_EQ(win(300, 1000), " 3/ 1");
    EXPECT_EQ(win(1024, 5000), " 5/ 1");
    EXPECT_EQ(win(0, 5000), "");
    EXPECT_EQ(win(1, 50), " 50/ 1");
    EXPECT_EQ(win(1, 500), " 99/ 1");
    EXPECT_EQ(win(100, 100), " 1/ 1");
    EXPECT_EQ(win(50, 30), " 1/ 1");
}

TEST_F(Odds, LargePoolsNeedNoOverflowAndNegativeMoneyGivesNoOdds) {
    EXPECT_EQ(win(40000, 200000), " 5/ 1");
    EXPECT_EQ(win(-5, 100), "");
    EXPECT_EQ(win(2.5, 10), " 5/ 1");  // 2.5 dollars round to 2 (half to even)
}

TEST_F(Odds, EveryPoolUsesTheEntrysOwnFlight) {
    resetsumm(sh());
    sh().summ(1).place = Money::dollars(10);
    sh().summ(2).show = Money::dollars(4);
    sh().flightpool[1][2] = Money::dollars(100);
    sh().flightpool[3][3] = Money::dollars(20);
    sh().flightpool[1][3] = Money::dollars(999);
    calcoddsall(cx);
    EXPECT_EQ(sh().summ(1).oddsplace, " 10/ 1");
    EXPECT_EQ(sh().summ(2).oddsshow, " 5/ 1");
    EXPECT_EQ(sh().summ(1).oddsshow, "");
    EXPECT_EQ(sh().summ(2).oddswin, "");
}

TEST_F(Odds, TableEndsAtTheFirstEmptyName) {
    sh().entries(2) = {5000, 1, "", ""};  // a bad record's row: no index error
    sh().entries(3) = {3, 1, "", "THREE"};
    resetsumm(sh());
    sh().summ(3).win = Money::dollars(1);
    sh().summ(sh().maxplayers + 1).win = Money::dollars(10);
    calcodds(cx);
    calcoddsall(cx);
    EXPECT_EQ(sh().summ(3).oddswin, " ");
}

double rounded(Context& cx, double x, int choice) {
    cx.shared().roundval = Money::fromdouble(x);
    cx.shared().payamt = Money::fromdouble(x);
    cx.shared().roundingchoice = choice;
    roundpayoff(cx);
    EXPECT_EQ(cx.shared().payamt, cx.shared().roundval);
    return cx.shared().roundval.todouble();
}

class Rounding : public RecordsTest {};

TEST_F(Rounding, EachStepMatchesItsExamples) {
    Context& a = cx;
    EXPECT_EQ(rounded(a, 4.567, 1), 4.567);
    EXPECT_EQ(rounded(a, 2.34, 2), 2.3);
    EXPECT_EQ(rounded(a, 2.36, 2), 2.4);
    EXPECT_EQ(rounded(a, 7.96, 2), 8);
    EXPECT_EQ(rounded(a, 3.12, 3), 3);
    EXPECT_EQ(rounded(a, 3.14, 3), 3.25);
    EXPECT_EQ(rounded(a, 3.37, 3), 3.25);
    EXPECT_EQ(rounded(a, 3.62, 3), 3.5);
    EXPECT_EQ(rounded(a, 3.87, 3), 3.75);
    EXPECT_EQ(rounded(a, 3.9, 3), 4);
    EXPECT_EQ(rounded(a, 5.24, 4), 5);
    EXPECT_EQ(rounded(a, 5.25, 4), 5.5);
    EXPECT_EQ(rounded(a, 5.3, 4), 5.5);
    EXPECT_EQ(rounded(a, 5.74, 4), 5.5);
    EXPECT_EQ(rounded(a, 5.8, 4), 6);
    EXPECT_EQ(rounded(a, 9.49, 5), 9);
    EXPECT_EQ(rounded(a, 9.5, 5), 10);
    EXPECT_EQ(rounded(a, 4.567, 9), 4.567);
}

TEST_F(Rounding, ThresholdsFollowTheDecimalValue) {
    Context& a = cx;
    EXPECT_EQ(rounded(a, 2.05, 2), 2.1);
    EXPECT_EQ(rounded(a, 3.13, 3), 3.25);
    EXPECT_EQ(rounded(a, 3.38, 3), 3.5);
    EXPECT_EQ(rounded(a, 4.88, 3), 5);
    EXPECT_EQ(rounded(a, 4.75, 4), 5);
    EXPECT_EQ(rounded(a, -1.2, 5), -1);
    EXPECT_EQ(roundpayoff(Money::fromdouble(1234567.05), 2), Money::fromdouble(1234567.1));
}

}  // namespace
}  // namespace vt::test
