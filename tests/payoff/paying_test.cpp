// PAY WINNING BETTOR: amounts per finisher and pool, rounding, PAID and ROUNDED PAID.
#include "paytest.h"
#include "records/payoffsums.h"

namespace vt::test {
namespace {

class PayingTest : public PayTest {};

TEST_F(PayingTest, PayingEveryWinnerAddsUpToThePools) {
    calcworked();
    paybettor(2);
    EXPECT_EQ(ctl("txtpay", 0).text(), "$90.00");
    EXPECT_EQ(ctl("txtpay", 10).text(), "$29.25");
    EXPECT_EQ(ctl("txtpay", 20).text(), "$13.80");
    EXPECT_EQ(ctl("txtpay", 21).text(), "$0.00");
    EXPECT_EQ(ctl("txtwintotal").text(), "$90.00");
    EXPECT_EQ(ctl("txttotaltotal").text(), "$133.05");
    EXPECT_EQ(ctl("txtwinnername").text(), "ADAMS-ANN");
    EXPECT_EQ(ctl("txtrounded").text(), "$133.05");
    EXPECT_EQ(ctl("txtpaid").text(), "$153.05");
    EXPECT_TRUE(ctl("txtwintotal").visible());
    EXPECT_TRUE(ctl("txtfactor").visible());
    EXPECT_EQ(ctl("txtfactor").text(), "0.01");
    EXPECT_EQ(sh().curticket, 2);
    EXPECT_EQ(winners(), (std::vector<std::string>{"BAKER-BOB"}));
    paybettor(3);
    EXPECT_EQ(ctl("txttotaltotal").text(), "$46.95");
    // House and winners together are every dollar bet.
    EXPECT_EQ(ctl("txtpaid").text(), "$200.00");
    EXPECT_EQ(sh().paidtotal, Money::dollars(200));
    EXPECT_TRUE(winners().empty());
    EXPECT_FALSE(ctl("cmdcalc").visible());
}

TEST_F(PayingTest, RoundingSteps) {
    struct Case {
        int choice;
        const char* amount;
        const char* rounded;
    } cases[] = {{3, "12.34", "12.25"},  {3, "12.13", "12.25"}, {3, "12.90", "13"},
                 {4, "12.24", "12"},     {4, "12.25", "12.5"},  {4, "12.80", "13"},
                 {2, "12.34", "12.3"},   {5, "12.50", "13"},    {5, "12.49", "12"},
                 {1, "12.347", "12.347"}};
    for (auto& c : cases) {
        sh().roundingchoice = c.choice;
        Money in, want;
        ASSERT_TRUE(Money::parse(c.amount, in));
        ASSERT_TRUE(Money::parse(c.rounded, want));
        EXPECT_EQ(roundedpayoff(*app, in), want) << c.choice << " " << c.amount;
    }
}

TEST_F(PayingTest, AnyBettorOpensTheCalculatorAndStaysListed) {
    writebets({{1, 1, 1, "10"},
               {2, 1, 2, "10"},
               {3, 2, 2, "10"},
               {2, 1, 3, "5"},
               {3, 2, 3, "5"},
               {3, 3, 3, "5"}});
    open();
    finishers({"1", "2", "3"}, {1, 2, 3});
    ctl("cmdcalc").click();
    ASSERT_EQ(winners().front(), "AnyBettor");
    paybettor(1);
    EXPECT_TRUE(app->isloaded("frmany1"));
    EXPECT_EQ(winners().size(), 3u);
    EXPECT_EQ(ctl("txtpaid").text(), "$0.00");
}

TEST_F(PayingTest, SameNamedBettorsArePaidApartAndBetsAreSummed) {
    folder.write("Bettors", "1,\"AnyBettor\"\r\n2,\"SMITH-JO\"\r\n3,\"SMITH-JO\"\r\n");
    writebets({{2, 1, 1, "2"},
               {2, 1, 1, "3"},
               {3, 1, 1, "5"},
               {2, 1, 2, "4"},
               {3, 2, 2, "4"},
               {2, 1, 3, "1"},
               {3, 2, 3, "1"},
               {3, 3, 3, "1"},
               {3, 2, 1, "10"}});
    open();
    finishers({"1", "2", "3"}, {1, 2, 3});
    ctl("cmdcalc").click();
    ASSERT_EQ(winners(), (std::vector<std::string>{"SMITH-JO", "SMITH-JO"}));
    // WIN pool 20 on ALPHA's 10: 2 per dollar; bettor 2 has 5 of it in two bets.
    paybettor(2);
    EXPECT_EQ(ctl("txtpay", 0).text(), "$10.00");
    paybettor(3);
    EXPECT_EQ(ctl("txtpay", 0).text(), "$10.00");
    EXPECT_EQ(ctl("txtpay", 11).text(), "$4.00");
}

TEST_F(PayingTest, LastWinnerEndsTheDocumentButLeavesPrintingOn) {
    sh().printswitch = "yes";
    calcworked();
    app->printer().print({"pending sheet"});
    paybettor(2);
    EXPECT_TRUE(printed.docs.empty());
    paybettor(3);
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(sh().printswitch, "yes");
}

}  // namespace
}  // namespace vt::test
