// The AnyBettor calculator and the payoff rules text.
#include <algorithm>

#include "payoff/frmrules.h"
#include "paytest.h"
#include "platform/text.h"

namespace vt::test {
namespace {

class AnyTest : public PayTest {
  protected:
    // The calculator over the worked example, with ALPHA's WIN paying exactly 1 per dollar so a
    // slip's total is the amount typed.
    void opencalc() {
        workedexample();
        open();
        finishers({"1", "2", "3"}, {1, 2, 3});
        ctl("cmdcalc").click();
        sh().payoffs[1][1] = 1.0;
        app->dispatch([&] { app->form("frmany1").show(); });
    }
    Control& any(const std::string& name, int index = -1) {
        return app->form("frmany1").control(name, index);
    }
    void slip(const std::string& amount) {
        any("txtpay", 0).settext(amount);
        any("cmdcalc").click();
        any("cmdadd").click();
    }
};

TEST_F(AnyTest, SlipsAddUpAndCalculatingTwiceDoesNot) {
    opencalc();
    any("txtpay", 0).settext("2");
    any("txtpay", 21).settext("1");  // BRAVO's SHOW
    any("txtpay", 1).settext("5");   // BRAVO's WIN box: the slot pays no WIN
    any("cmdcalc").click();
    any("cmdcalc").click();
    EXPECT_EQ(any("cmbpt", 2).text(), "A         CHARLIE");
    EXPECT_EQ(any("txttotalbet").text(), "$200.00");
    EXPECT_EQ(any("txtwintotal").text(), "$2.00");
    Money show = Money::dollars(1).times(sh().payoffs[2][3]);
    EXPECT_EQ(any("txtshowtotal").text(), Format(show, "Currency"));
    EXPECT_EQ(any("txttotaltotal").text(), Format(Money::dollars(2) + show, "Currency"));
    any("cmdadd").click();
    EXPECT_EQ(any("txtpay", 0).text(), "");
    any("cmdadd").click();  // nothing new to add
    EXPECT_EQ(any("txttotaldue").text(), Format(Money::dollars(2) + show, "Currency"));
    slip("3");
    any("txtpay", 0).settext("100");
    any("cmdcalc").click();  // calculated, never added: dropped by Pay This Bettor
    any("cmdpay").click();
    EXPECT_EQ(any("txttotalpaid").text(), Format(Money::dollars(5) + show, "Currency"));
    EXPECT_EQ(any("txttotaldue").text(), "");
    EXPECT_EQ(ctl("txtpaid").text(), "$0.00");  // the payoff screen's PAID is not touched
}

TEST_F(AnyTest, RunningTotalRoundsWithTheStepInForce) {
    struct Case {
        int choice;
        const char* amount;
        const char* rounded;
    } cases[] = {{3, "12.20", "$12.25"}, {3, "12.05", "$12.00"}, {4, "12.60", "$12.50"},
                 {4, "12.80", "$13.00"}, {2, "12.34", "$12.30"}, {2, "12.37", "$12.40"},
                 {5, "12.60", "$13.00"}, {1, "12.347", "$12.35"}};
    opencalc();
    for (auto& c : cases) {
        sh().roundingchoice = c.choice;
        any("cmdclear").click();
        slip(c.amount);
        EXPECT_EQ(any("txtduer").text(), c.rounded) << c.choice << " " << c.amount;
    }
    any("cmdpay").click();
    EXPECT_EQ(any("txtpaidr").text(), "$12.35");
}

TEST_F(AnyTest, SlipAmountsAreReadStrictly) {
    opencalc();
    any("txtpay", 0).settext("2");
    any("cmdcalc").click();
    any("txtpay", 10).settext("5x");
    dialogs.ok("Bet amounts must be numbers of 0 or more");
    any("cmdcalc").click();
    any("cmdadd").click();
    EXPECT_EQ(any("txttotaldue").text(), "$0.00");
    any("txtpay", 10).settext("-2");
    dialogs.ok("Bet amounts must be numbers of 0 or more");
    any("cmdcalc").click();
    EXPECT_EQ(any("txttotaltotal").text(), "");
}

TEST_F(AnyTest, ReturnStartsAFreshCalculatorNextTime) {
    opencalc();
    slip("4");
    any("cmdpay").click();
    any("cmdreturn").click();
    EXPECT_FALSE(app->isloaded("frmany1"));
    EXPECT_TRUE(pay().visible());
    app->dispatch([&] { app->form("frmany1").show(); });
    EXPECT_EQ(any("txttotalpaid").text(), "0");
    // Closing the window returns to the payoff screen as the button does.
    app->form("frmany1").closerequest();
    EXPECT_FALSE(app->isloaded("frmany1"));
    EXPECT_TRUE(pay().visible());
}

TEST_F(AnyTest, RulesTextAndCloseLeaveThePayoffScreenAsItWas) {
    opencalc();
    ctl("cmdrules").click();
    Form& rules = app->form("frmrules");
    EXPECT_EQ(rules.caption, "Payoff Rules");
    const std::string text = rules.control("Text1").text();
    EXPECT_EQ(
        text.rfind("Parimutuel Payoff Rules\r\n\r\nPayoff rules vary from state to state.", 0), 0u);
    EXPECT_NE(text.find("place pool is allocated \r\nto the remaining place pools\r\n"),
              std::string::npos);
    const std::string last =
        "No winning bets on any show pools, then show pool bets are refunded\r\n";
    EXPECT_EQ(text.substr(text.size() - last.size()), last);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 16);
    rules.control("Command1").click();
    EXPECT_FALSE(app->isloaded("frmrules"));
    EXPECT_EQ(ctl("txtpay", 0).text(), "$10.00");
    EXPECT_EQ(winners().size(), 2u);
}

}  // namespace
}  // namespace vt::test
