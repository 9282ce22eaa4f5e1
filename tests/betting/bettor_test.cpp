// The bettor at the betting screen: typed, picked or new, and the prior bets of the round.
#include "betfixture.h"

namespace vt::test {

TEST_F(BetTest, PriorBetsOfTheRoundFromEveryFlight) {
    bets(3, "12,7,1,5\r\n2,8,1,3\r\n12,8,3,12.5\r\n");
    bets(1, "12,2,2,150\r\n12,1,1,0\r\n12,1,1,9\r\n");  // an amount of 0 ends that flight's listing
    bets(3, "12,7,1,1\r\n", "Round2");
    open();
    pickbettor("SMITH-BOB");
    std::vector<std::string> want{"FLIGHT A  BAKER" + std::string(14, ' ') + " $150.00 P",
                                  "FLIGHT C  CARTER" + std::string(13, ' ') + " $05.00 W",
                                  "FLIGHT C  DAVIS" + std::string(14, ' ') + " $12.50 S",
                                  "----------NEW BETS--------------"};
    EXPECT_EQ(lines("lstbetsprior"), want);
    EXPECT_EQ(c("txttotalprior").text(), "$167.50");
    EXPECT_EQ(c("txtbettor").text(), "SMITH-BOB");
    EXPECT_EQ(sh().betrow, 5);
    EXPECT_EQ(sh().curticket, 12);
    EXPECT_EQ(sh().newbets(3).amount, Money::units(125000));
    EXPECT_EQ(sh().curflightnbr, 15);
}

TEST_F(BetTest, BettorWithoutBetsGetsOnlyTheDivider) {
    open();
    pickbettor("AnyBettor");
    EXPECT_EQ(sh().curticket, 1);
    EXPECT_EQ(lines("lstbetsprior"), std::vector<std::string>{"----------NEW BETS--------------"});
    EXPECT_EQ(c("txttotalprior").text(), "0");
    EXPECT_EQ(sh().betrow, 2);
}

TEST_F(BetTest, TypedNamesAndTicketNumbers) {
    open();
    Control& cbo = c("cbobettor");
    // An existing name in any case selects it; its ticket number does too.
    cbo.settext("jones-al");
    cbo.keypress(13);
    EXPECT_EQ(sh().curticket, 2);
    cbo.settext("12");
    cbo.keypress(13);
    EXPECT_EQ(sh().curbettor, "SMITH-BOB");
    // "anybettor" is not the stored "AnyBettor": a new bettor, written before it is announced.
    dialogs.ok("ANYBETTOR added");
    cbo.settext("anybettor");
    cbo.keypress(13);
    EXPECT_EQ(sh().curticket, 13);
    EXPECT_EQ(folder.read("Bettors"),
              "1,\"AnyBettor\"\r\n2,\"JONES-AL\"\r\n12,\"SMITH-BOB\"\r\n13,\"ANYBETTOR\"\r\n");
    EXPECT_EQ(c("txtbettor").text(), "ANYBETTOR");
    EXPECT_GE(cbo.findbydata(13), 0);
    // Enter on an empty box does nothing.
    cbo.settext("");
    cbo.keypress(13);
    EXPECT_EQ(sh().curticket, 13);
}

TEST_F(BetTest, BadBettorNamesAreRefused) {
    open();
    Control& cbo = c("cbobettor");
    for (const char* bad : {"zZz", "SMITH \"BOB\"", "   "}) {
        dialogs.ok();
        cbo.settext(bad);
        cbo.keypress(13);
    }
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"JONES-AL\"\r\n12,\"SMITH-BOB\"\r\n");
    EXPECT_EQ(sh().curticket, 0);
}

TEST_F(BetTest, NewTicketNumberIsNeverOneInUse) {
    folder.write("Bettors", "1,\"AnyBettor\"\r\n5,\"A\"\r\n3,\"B\"\r\n4,\"C\"\r\n");
    // Bettor 6 was removed in Fix Files; its bet is still in a Final flight's backup.
    folder.write("Final 9Betsbackup", "6,1,1,5\r\n");
    open();
    dialogs.ok("NEWMAN added");
    c("cbobettor").settext("NEWMAN");
    c("cbobettor").keypress(13);
    EXPECT_EQ(sh().curticket, 7);
    EXPECT_EQ(folder.read("Bettors"),
              "1,\"AnyBettor\"\r\n5,\"A\"\r\n3,\"B\"\r\n4,\"C\"\r\n7,\"NEWMAN\"\r\n");
}

TEST_F(BetTest, BadPlayerNumberInAPriorBetStopsTheListing) {
    bets(2, "12,55,1,5\r\n");
    open();
    dialogs.ok("Bad Player number in a bet record");
    pickbettor("SMITH-BOB");
    EXPECT_EQ(sh().dataerror, 1);
    EXPECT_TRUE(c("lbldataerror").visible());
    EXPECT_TRUE(lines("lstbetsprior").empty());
}

TEST_F(BetTest, AnotherBettorsBadRecordHidesNoPriorBet) {
    bets(3, "12,7,1,2\r\n5,99,1,3\r\n12,8,2,4\r\n");
    // The board's all-flights sum reports the bad record as the screen opens.
    dialogs.ok(" 9 Subscript out of range");
    open();
    // Bettor 5's bad record stops the flight's sum, but not the listing of bettor 12's bets.
    pickbettor("SMITH-BOB");
    EXPECT_EQ(lines("lstbetsprior"),
              (std::vector<std::string>{"FLIGHT C  CARTER" + std::string(13, ' ') + " $02.00 W",
                                        "FLIGHT C  DAVIS" + std::string(14, ' ') + " $04.00 P",
                                        "----------NEW BETS--------------"}));
    EXPECT_EQ(c("txttotalprior").text(), "$6.00");
    // The bettor's own record that does not read as a bet stops the listing; the file is told
    // of once in the click, by the sum of flight 4 that meets it first.
    bets(4, "12,8,x,4\r\n");
    dialogs.ok(" 13 Type mismatch\r\nRound1 4Bets, line 1");
    pickbettor("JONES-AL");
    dialogs.ok(" 13 Type mismatch\r\nRound1 4Bets, line 1");
    pickbettor("SMITH-BOB");
    EXPECT_EQ(lines("lstbetsprior").size(), 2u);
    EXPECT_FALSE(dialogs.saw("Bad Player number"));
}

TEST_F(BetTest, AmountButtonsAddUp) {
    sh().betbuttons = {0, 4, 1, 12, 0, 13};
    open();
    EXPECT_EQ(c("cmdbamount", 1).caption(), "+1.00");
    EXPECT_FALSE(c("cmdbamount", 3).visible());
    EXPECT_FALSE(c("cmdbamount", 4).visible());
    EXPECT_FALSE(c("cmdbamount", 5).visible());
    c("cmdbamount", 1).click();
    c("cmdbamount", 2).click();
    EXPECT_EQ(c("txtamount").text(), "1.25");
    EXPECT_TRUE(c("cmddone").visible());
    c("cmdboard").click();
    c("cmdclrpos").click();
    EXPECT_EQ(c("txtwps").text(), " ");
    EXPECT_EQ(sh().betpos, 4);
}

}  // namespace vt::test
