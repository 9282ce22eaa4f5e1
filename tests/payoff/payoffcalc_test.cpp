// CALCULATE PAYOFF: pools, moves, shares and payoffs per dollar, boxes and the winners list.
#include "paytest.h"

namespace vt::test {
namespace {

class CalcTest : public PayTest {
  protected:
    void calc() { ctl("cmdcalc").click(); }
    std::string box(int i) { return ctl("txtpay", i).text(); }
    // Every pool that pays pays out (1 - P/100) of its money, to the cent.
    void expectconserved(double pct) {
        const Money pools[4] = {Money(), sh().winpool, sh().placepool, sh().showpool};
        for (int t = 1; t <= 3; ++t) {
            if (pools[t] == Money()) continue;
            Money paid;
            for (int s = 1; s <= 10; ++s) paid += sh().winnerbets[s][t].times(sh().payoffs[s][t]);
            Money expected = pools[t].times(1 - pct / 100);
            EXPECT_LE(std::llabs(paid.units() - expected.units()), 50) << "pool " << t;
        }
    }
};

TEST_F(CalcTest, WorkedExampleGivesTheStatedBoxesHouseAndWinners) {
    workedexample();
    open();
    ctl("txthousepct").settext("10");
    finishers({"1", "2", "3"}, {1, 2, 3});
    calc();
    EXPECT_EQ(ctl("txthousetot").text(), "$20.00");
    EXPECT_EQ(ctl("txtbet").text(), "$200.00");
    EXPECT_EQ(ctl("txtpaid").text(), "$20.00");
    EXPECT_EQ(box(0), "$9.00");
    EXPECT_EQ(box(10), "$5.85");
    EXPECT_EQ(box(20), "$4.60");
    EXPECT_EQ(box(11), "$9.90");
    EXPECT_EQ(box(21), "$6.00");
    EXPECT_EQ(box(22), "$10.20");
    EXPECT_FALSE(ctl("txtpay", 1).visible());
    EXPECT_FALSE(ctl("txtpay", 12).visible());
    EXPECT_FALSE(ctl("cmbpos", 3).visible());
    EXPECT_NEAR(sh().payoffs[1][1], 4.5, 1e-9);
    EXPECT_NEAR(sh().payoffs[1][2], 2.925, 1e-9);
    EXPECT_NEAR(sh().payoffs[1][3], 2.3, 1e-9);
    EXPECT_NEAR(sh().payoffs[3][3], 5.1, 1e-9);
    expectconserved(10);
    // DELTA finished out of the money: COLE-CY is no winner.
    EXPECT_EQ(winners(), (std::vector<std::string>{"ADAMS-ANN", "BAKER-BOB"}));
    EXPECT_EQ(ctl("cmbbn").listcount(), 5);
    EXPECT_EQ(ctl("cmbbn").list(3), "ADAMS-ANN");
    EXPECT_FALSE(ctl("cmdcalc").visible());
    EXPECT_TRUE(ctl("cmdpay").visible());
    EXPECT_TRUE(ctl("cmdprtsumm").visible());
    EXPECT_EQ(sh().paidtotal, Money::dollars(20));
    // The summary screen is filled for the same flight, unseen.
    ASSERT_TRUE(app->isloaded("frmsummary"));
    EXPECT_FALSE(app->form("frmsummary").visible());
}

// The calculation takes the multiplier box as it stands and shows it as the basis; a box it
// cannot use sets both back to 2 and calculates nothing.
TEST_F(CalcTest, TheMultiplierAndItsBasisAgreeWithThePayoffs) {
    workedexample();
    open();
    ctl("txthousepct").settext("10");
    finishers({"1", "2", "3"}, {1, 2, 3});
    ctl("txtmult").settext("zzz");
    dialogs.ok("Payoff multiplier must be a number from 1 to 10");
    calc();
    EXPECT_EQ(ctl("txtmult").text(), "2");
    EXPECT_EQ(ctl("txtbamt").text(), "$2");
    EXPECT_TRUE(ctl("cmdcalc").visible());
    EXPECT_EQ(box(0), "");
    ctl("txtmult").settext("4");
    calc();
    EXPECT_EQ(ctl("txtbamt").text(), "$4");
    EXPECT_EQ(box(0), "$18.00");
}

TEST_F(CalcTest, DeadHeatForFirstSplitsTheWinPool) {
    deadheatbets();
    open();
    ctl("txthousepct").settext("10");
    finishers({"1", "1", "3"}, {1, 2, 3});
    calc();
    EXPECT_NEAR(sh().payoffs[1][1], 1.8, 1e-9);
    EXPECT_NEAR(sh().payoffs[2][1], 3.6, 1e-9);
    EXPECT_EQ(box(0), "$3.60");
    EXPECT_EQ(box(1), "$7.20");
    // PLACE pays both tied finishers, SHOW all three.
    EXPECT_GT(sh().payoffs[2][2], 0);
    EXPECT_GT(sh().payoffs[3][3], 0);
    EXPECT_EQ(sh().payoffs[3][2], 0);
    expectconserved(10);
    EXPECT_EQ(winners(), (std::vector<std::string>{"ADAMS-ANN", "BAKER-BOB"}));
}

TEST_F(CalcTest, FinisherWithoutMoneyTakesNoShareAndShowsZero) {
    // BRAVO (second) has no PLACE money: ALPHA takes the whole PLACE net.
    writebets({{2, 1, 1, "10"},
               {2, 1, 2, "10"},
               {4, 4, 2, "30"},
               {2, 1, 3, "10"},
               {3, 2, 3, "10"},
               {3, 3, 3, "10"},
               {4, 4, 1, "10"}});
    open();
    finishers({"1", "2", "3"}, {1, 2, 3});
    calc();
    EXPECT_EQ(box(11), "$0.00");
    EXPECT_NEAR(sh().payoffs[1][2], 4.0, 1e-9);
    expectconserved(0);
}

TEST_F(CalcTest, UnbackedPoolsCascadeToARefund) {
    writebets({{4, 4, 1, "10"}, {4, 4, 2, "10"}, {4, 4, 3, "10"}});
    open();
    finishers({"1", "2", "3"}, {1, 2, 3});
    dialogs.ok("No winning win bets. Allocating all win bets to place bets")
        .ok("No winning place bets. Allocating all place bets to show bets")
        .ok("No winning show bets. Refund all win, place, and show bets.")
        .ok("No winning win, place, or show bets. Refund all bets.");
    ctl("txthousepct").settext("10");
    calc();
    EXPECT_EQ(ctl("txthousetot").text(), "$0.00") << "the house keeps nothing of money refunded";
    EXPECT_TRUE(ctl("cmdcalc").visible());
    EXPECT_FALSE(ctl("cmdpay").visible());
    EXPECT_EQ(ctl("lstwinners").listcount(), 0);
    EXPECT_EQ(box(0), "");
}

// The house is taken only of the pools that pay: a refunded SHOW pool goes back whole, and the
// refund message names the money moved into it.
TEST_F(CalcTest, HouseIsTakenOnlyOfPoolsThatPay) {
    writebets({{2, 1, 1, "20"},
               {4, 4, 1, "80"},
               {2, 1, 2, "10"},
               {3, 2, 2, "5"},
               {4, 4, 2, "45"},
               {4, 4, 3, "40"}});
    open();
    ctl("txthousepct").settext("10");
    finishers({"1", "2", "3"}, {1, 2, 3});
    dialogs.ok("No winning show bets. Refund all show bets.");
    calc();
    EXPECT_EQ(ctl("txthousetot").text(), "$16.00");
    paybettor(2);
    paybettor(3);
    // $16 house + $144 paid + $40 refunded = $200 bet.
    EXPECT_EQ(ctl("txtpaid").text(), "$160.00");
    EXPECT_EQ(ctl("txtbet").text(), "$200.00");

    // PLACE moved into the refunded SHOW pool: both are named, and the WIN pool pays alone.
    ctl("cmdclear").click();
    writebets({{2, 1, 1, "20"}, {4, 4, 1, "30"}, {4, 4, 2, "25"}, {4, 4, 3, "15"}});
    ctl("txthousepct").settext("0");
    finishers({"1", "2", "3"}, {1, 2, 3});
    dialogs.ok("No winning place bets. Allocating all place bets to show bets")
        .ok("No winning show bets. Refund all place and show bets.");
    calc();
    EXPECT_EQ(ctl("txthousetot").text(), "$0.00");
    paybettor(2);
    EXPECT_EQ(ctl("txtpaid").text(), "$50.00");  // + $40 refunded = $90 bet
}

TEST_F(CalcTest, FlightWithoutBetsEndsWithTheRefundMessage) {
    open();
    finishers({"1", "2", "3"}, {1, 2, 3});
    dialogs.ok("No winning win bets").ok("No winning place bets").ok("Refund all bets.");
    calc();
    EXPECT_FALSE(dialogs.saw("Refund all show bets."));
    EXPECT_TRUE(folder.exists("Round1 1Bets"));
    EXPECT_EQ(ctl("txthousetot").text(), "$0.00");
}

TEST_F(CalcTest, TieForThirdSharesShowFourWays) {
    writebets({{2, 1, 1, "10"},
               {2, 1, 2, "10"},
               {3, 2, 2, "10"},
               {2, 1, 3, "5"},
               {3, 2, 3, "5"},
               {3, 3, 3, "5"},
               {5, 5, 3, "5"},
               {4, 4, 3, "20"}});
    open();
    finishers({"1", "2", "3", "3"}, {1, 2, 3, 5});
    calc();
    for (int s = 1; s <= 4; ++s) EXPECT_NEAR(sh().payoffs[s][3], 2.0, 1e-9) << s;
    EXPECT_EQ(winners(), (std::vector<std::string>{"ADAMS-ANN", "BAKER-BOB", "DAVIS-DI"}));
    expectconserved(0);
}

// Finishers the pool arithmetic cannot take are refused before anything is computed.
TEST_F(CalcTest, RefusesOutOfOrderDuplicateAndUnlistedFinishers) {
    workedexample();
    open();
    finishers({"1", "2"}, {1, 2});
    dialogs.ok("Less than 3 winners selected.");
    calc();
    ctl("cmdclear").click();
    finishers({"2", "1", "3"}, {1, 2, 3});
    dialogs.ok("Must enter winners in consecutive boxes");
    calc();
    EXPECT_EQ(sh().payoffs[1][2], 0);
    EXPECT_FALSE(ctl("cmdpay").visible());

    ctl("cmdclear").click();
    finishers({"1", "2", "3"}, {});
    pickentry(3, 1);
    pickentry(1, 1);  // chosen first in the later box: the click rule lets it pass
    pickentry(2, 2);
    dialogs.ok("Duplicate entry");
    calc();
    EXPECT_FALSE(ctl("cmdpay").visible());

    ctl("cmdclear").click();
    finishers({"1", "2", "3"}, {1, 2});
    ctl("cmbpt", 2).settext("A         NOBODY");
    dialogs.ok("Winner not found in player/team list");
    calc();
    EXPECT_FALSE(ctl("cmdpay").visible());
}

TEST_F(CalcTest, RefusesABadHousePercentage) {
    workedexample();
    open();
    finishers({"1", "2", "3"}, {1, 2, 3});
    for (auto* bad : {"", "ten", "101", "100", "-1", "1,0", "1e1", "5%"}) {
        ctl("txthousepct").settext(bad);
        dialogs.ok("HOUSE %");
        calc();
        EXPECT_FALSE(ctl("cmdpay").visible()) << bad;
    }
}

TEST_F(CalcTest, ABetOnAnUnknownEntryStopsTheCalculation) {
    workedexample();
    folder.write("Round1 1Bets", folder.read("Round1 1Bets") + "5,77,1,10\r\n");
    open();
    finishers({"1", "2", "3"}, {1, 2, 3});
    dialogs.ok("Fix Files");
    calc();
    EXPECT_FALSE(ctl("cmdpay").visible());
    EXPECT_EQ(ctl("lstwinners").listcount(), 0);
}

// A data file that cannot be read stops the calculation with its own box and nothing more: the
// Bettors file too, though the pools do not come from it.
TEST_F(CalcTest, AFileThatCannotBeReadStopsTheCalculation) {
    workedexample();
    open();
    finishers({"1", "2", "3"}, {1, 2, 3});
    for (const char* file : {"Players", "Bettors", "Round1 1Bets"}) {
        const std::string before = folder.read(file);
        folder.write(file, before + "5,\"CUT");  // a last record cut short
        dialogs.ok(file);
        calc();
        EXPECT_FALSE(ctl("cmdpay").visible()) << file;
        EXPECT_TRUE(ctl("cmdcalc").visible()) << file;
        EXPECT_EQ(ctl("lstwinners").listcount(), 0) << file;
        folder.write(file, before);
    }
    calc();
    EXPECT_TRUE(ctl("cmdpay").visible()) << "the files read whole again";
}

TEST_F(CalcTest, WinnerMissingFromTheBettorsFileIsListedByNumber) {
    writebets({{9, 1, 1, "10"},
               {2, 1, 2, "10"},
               {3, 2, 2, "10"},
               {2, 1, 3, "5"},
               {3, 2, 3, "5"},
               {3, 3, 3, "5"},
               {2500, 1, 1, "10"}});
    open();
    finishers({"1", "2", "3"}, {1, 2, 3});
    calc();
    EXPECT_EQ(winners(), (std::vector<std::string>{"ADAMS-ANN", "BAKER-BOB", "#9", "#2500"}));
    paybettor(2500);
    EXPECT_EQ(ctl("txtwinnername").text(), "#2500");
    EXPECT_EQ(ctl("txttotaltotal").text(), "$10.00");
}

TEST_F(CalcTest, AnotherFlightAfterACalculationClearsIt) {
    workedexample();
    open();
    finishers({"1", "2", "3"}, {1, 2, 3});
    calc();
    ctl("optflight", 2).click();
    EXPECT_TRUE(sh().winbets.empty());
    EXPECT_EQ(sh().payoffs[1][1], 0);
    EXPECT_TRUE(ctl("cmdcalc").visible());
    EXPECT_FALSE(ctl("cmdpay").visible());
    EXPECT_EQ(ctl("cmbpos", 0).text(), "");
    EXPECT_EQ(ctl("cmbpt", 0).listcount(), 1);
    EXPECT_EQ(ctl("cmbpt", 0).list(0), "B         FOXTROT");
}

}  // namespace
}  // namespace vt::test
