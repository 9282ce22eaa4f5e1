// The payoff screen: loading, finisher entry rules, multiplier, clearing and leaving.
#include "paytest.h"

namespace vt::test {
namespace {

class ScreenTest : public PayTest {
  protected:
    void position(int box, const std::string& p) {
        Control& c = ctl("cmbpos", box);
        for (int k = 0; k < c.listcount(); ++k)
            if (c.list(k) == p) c.setlistindex(k);
    }
};

TEST_F(ScreenTest, LoadingPreparesTheScreenForTheRound) {
    sh().curround = "Final";
    sh().bannerfinal = "SPRING OPEN - FINAL";
    sh().housepct = "10";
    app->dispatch([&] { pay().show(); });
    EXPECT_EQ(ctl("Option4").value(), 1);
    EXPECT_EQ(ctl("txtbanner").text(), "SPRING OPEN - FINAL");
    EXPECT_EQ(ctl("txthousepct").text(), "10");
    for (auto* hidden :
         {"cmdpay", "cmdprtsumm", "cmbbn", "txtwintotal", "txtwinnername", "txtfactor"})
        EXPECT_FALSE(ctl(hidden).visible()) << hidden;
    const std::string& text = ctl("lblinstructions").caption();
    EXPECT_EQ(text.rfind("Click on a Round and Flight\r\n\r\nEnter house %(optional)", 0), 0u);
    EXPECT_NE(text.find("to print winner detail"), std::string::npos);
    // The Bets file of the round and flight is made present.
    EXPECT_TRUE(folder.exists("Final 1Bets"));
}

TEST_F(ScreenTest, LoadingSumsTheBetsAgainstThePlayersFile) {
    // Nothing has read the Players file yet: the bets must not look like bets on unknown entries.
    workedexample();
    app->dispatch([&] { pay().show(); });
    EXPECT_EQ(sh().summ(sh().maxplayers + 1).total, Money::dollars(200));
    EXPECT_EQ(sh().dataerror, 0);
}

TEST_F(ScreenTest, TiesAndTheThreeWinnerLimits) {
    open();
    position(0, "1");
    position(1, "1");
    position(2, "3");
    EXPECT_EQ(sh().npos1, 2);
    EXPECT_EQ(sh().npos3, 1);
    EXPECT_EQ(sh().nextpos, 3);

    ctl("cmdclear").click();
    for (int i = 0; i < 3; ++i) position(i, "1");
    dialogs.ok("Win entries already equal or exceed 3 winners. No Place or Show entries allowed");
    position(3, "2");
    EXPECT_EQ(ctl("cmbpos", 3).text(), "");
    EXPECT_EQ(sh().nextpos, 3);
    position(3, "1");
    EXPECT_EQ(sh().npos1, 4);

    ctl("cmdclear").click();
    position(0, "1");
    position(1, "2");
    position(2, "2");
    dialogs.ok("Win and Place entries already equal or exceed 3 winners. No Show entries allowed");
    position(3, "3");
    EXPECT_EQ(ctl("cmbpos", 3).text(), "");

    ctl("cmdclear").click();
    position(0, "1");
    position(1, "2");
    position(2, "3");
    position(3, "3");
    EXPECT_EQ(sh().npos3, 2);
}

TEST_F(ScreenTest, PositionsOutOfTheirBoxAreRefusedUntilCleared) {
    open();
    dialogs.ok("Must enter winners in consecutive boxes starting with 1st");
    position(1, "1");
    EXPECT_EQ(sh().nextpos, -1);
    EXPECT_EQ(ctl("cmbpos", 1).text(), "");
    dialogs.ok("Must enter winners in consecutive boxes");
    position(0, "1");
    EXPECT_EQ(sh().nextpos, -2);
    ctl("cmdclear").click();
    EXPECT_EQ(sh().nextpos, 0);
    position(0, "1");
    // Choosing again in box 0: refused, then accepted once more.
    dialogs.ok("Must enter winners in consecutive boxes");
    position(0, "1");
    EXPECT_EQ(sh().nextpos, 0);
    position(0, "1");
    EXPECT_EQ(sh().npos1, 2);
}

TEST_F(ScreenTest, MultiplierTakesEffectOnEnter) {
    open();
    Control& m = ctl("txtmult");
    m.settext("5");
    dialogs.ok("Payoff multiplier set to 5");
    m.keypress(vbKeyReturn);
    EXPECT_EQ(ctl("txtbamt").text(), "$5");
    m.settext("10");
    dialogs.ok("Payoff multiplier set to 10");
    m.keypress(vbKeyReturn);
    // A refused multiplier sets the box and its basis back to 2 together; one out of range
    // silently, a text that is no number with a message.
    const std::pair<const char*, bool> bads[] = {
        {"0", false}, {"11", false}, {"two", true}, {"1e1", true}, {"5abc", true}};
    for (auto [bad, told] : bads) {
        m.settext(bad);
        if (told) dialogs.ok("Payoff multiplier must be a number from 1 to 10");
        m.keypress(vbKeyReturn);
        EXPECT_EQ(m.text(), "2") << bad;
        EXPECT_EQ(ctl("txtbamt").text(), "$2") << bad;
        m.settext("5");
        dialogs.ok("Payoff multiplier set to 5");
        m.keypress(vbKeyReturn);
    }
    m.settext("");
    m.keypress(vbKeyReturn);
    EXPECT_EQ(m.text(), "");
}

TEST_F(ScreenTest, MainMenuUnloadsAndAFreshShowingStartsEmpty) {
    workedexample();
    open();
    ctl("cmbpos", 0).setlistindex(0);
    EXPECT_GT(sh().summ(1).win, Money());
    ctl("cmdreturn").click();
    EXPECT_FALSE(app->isloaded("frmpay"));
    EXPECT_TRUE(app->form("frmmenu").visible());
    EXPECT_EQ(sh().summ(1).win, Money());
    app->dispatch([&] { pay().show(); });
    EXPECT_EQ(ctl("cmbpos", 0).text(), "");
    EXPECT_EQ(sh().nextpos, 0);
    EXPECT_EQ(sh().npos1, 0);
}

}  // namespace
}  // namespace vt::test
