// Placing bets at the betting screen: the records in the files, the list, the totals.
#include "betfixture.h"
#include "records/records.h"

namespace vt::test {

class PlaceTest : public BetTest {
  protected:
    void SetUp() override {
        open();
        tick(1);
        tick(3);
        pickbettor("SMITH-BOB");
    }
};

TEST_F(PlaceTest, WinBetGoesToBothFilesOfItsFlight) {
    place(7, "cmdwin", {2, 2});
    EXPECT_EQ(betsfile(3), "12,7,1,2\r\n");
    EXPECT_EQ(backupfile(3), "12,7,1,2\r\n");
    EXPECT_EQ(lines("lstbetsprior").back(),
              "FLIGHT C  CARTER" + std::string(13, ' ') + " $02.00 W");
    EXPECT_EQ(c("txttotal").text(), "$2.00");
    EXPECT_EQ(c("cmdpay").caption(), " or Click when $2.00 Paid");
    EXPECT_TRUE(c("cmdpay").visible());
    EXPECT_FALSE(c("cmddone").visible());
    EXPECT_EQ(c("txthorse").text(), " ");
    EXPECT_EQ(c("txtamount").text(), "0");
    // The board shows the new odds of the flight.
    EXPECT_EQ(sh().summ(7).win, Money::dollars(2));
    EXPECT_EQ(sh().newtotal, Money::dollars(2));
}

TEST_F(PlaceTest, BoardBetWritesThreeRecords) {
    place(8, "cmdboard", {2, 2, 1});
    EXPECT_EQ(betsfile(3), "12,8,1,2.25\r\n12,8,2,2.25\r\n12,8,3,2.25\r\n");
    EXPECT_EQ(backupfile(3), betsfile(3));
    auto l = lines("lstbetsprior");
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[1].substr(l[1].size() - 2), " W");
    EXPECT_EQ(l[2].substr(l[2].size() - 2), " P");
    EXPECT_EQ(l[3].substr(l[3].size() - 2), " S");
    EXPECT_EQ(c("txttotal").text(), "$6.75");
    EXPECT_EQ(c("txtwps").text(), " ");
}

TEST_F(PlaceTest, AllEntryBetGoesToEachEntrysOwnFlight) {
    c("cmdwinall").click();
    c("cmdbamount", 2).click();
    c("cmddone").click();
    EXPECT_EQ(betsfile(1), "12,1,1,1\r\n12,2,1,1\r\n");
    EXPECT_EQ(betsfile(3), "12,7,1,1\r\n12,8,1,1\r\n");
    EXPECT_EQ(backupfile(1), betsfile(1));
    auto l = lines("lstbetsprior");
    ASSERT_EQ(l.size(), 5u);
    EXPECT_EQ(l[3], "FLIGHT C  CARTER" + std::string(13, ' ') + " $01.00 WA");
    EXPECT_EQ(c("txttotal").text(), "$4.00");
}

TEST_F(PlaceTest, BetLandsInItsEntrysFlightAfterBoxesAndSortChange) {
    pickentry(7);
    c("cmdshow").click();
    c("cmdbamount", 3).click();
    tick(2);                 // rebuilds the board
    c("optodds").click();    // and again
    c("cmdclrpos").click();  // clears the boxes but keeps the entry chosen
    pickentry(8);
    c("cmdshow").click();
    c("cmdbamount", 3).click();
    tick(1);  // flight 1 unticked again
    c("cmddone").click();
    EXPECT_EQ(betsfile(3), "12,8,3,2\r\n");
    EXPECT_EQ(betsfile(1), "");
}

TEST_F(PlaceTest, MissingPartsAreRefusedAndNothingWritten) {
    // No amount: the box holds 0 after every reset.
    pickentry(7);
    c("cmdwin").click();
    dialogs.ok("Missing bettor, player, position, or amount");
    c("cmddone").setvisible(true);
    c("cmddone").click();
    // No position.
    c("cmdclrpos").click();
    pickentry(7);
    c("cmdbamount", 2).click();
    dialogs.ok("Missing bettor, player, position, or amount");
    c("cmddone").click();
    // No entry for a single bet.
    c("cmdclrpos").click();
    c("cmdwin").click();
    c("cmdbamount", 2).click();
    dialogs.ok("Missing bettor, player, position, or amount");
    c("cmddone").click();
    // A name typed without Enter is not the listed bettor.
    c("cmdclrpos").click();
    pickentry(7);
    c("cmdwin").click();
    c("cmdbamount", 2).click();
    c("cbobettor").settext("SOMEONE-ELSE");
    dialogs.ok("Missing bettor, player, position, or amount");
    c("cmddone").click();
    EXPECT_EQ(betsfile(3), "");
    EXPECT_EQ(lines("lstbetsprior").size(), 1u);
    EXPECT_EQ(sh().newtotal, Money{});
}

TEST_F(PlaceTest, BoardBetRefusedOnItsSecondRecordLeavesNothing) {
    sh().maxbets = 3;
    std::string held = "2,7,1,5\r\n";
    bets(3, held);
    dialogs.ok("Maximum number of bets exceeded");
    place(7, "cmdboard", {2});
    EXPECT_EQ(betsfile(3), held);
    EXPECT_EQ(backupfile(3), held);
    EXPECT_EQ(lines("lstbetsprior").size(), 1u);
    EXPECT_EQ(sh().newtotal, Money{});
    EXPECT_EQ(c("txttotal").text(), "0");
}

TEST_F(PlaceTest, FailedAppendLosesNothingAndClaimsNothing) {
    bets(3, "2,8,2,4\r\n");
    std::filesystem::remove(folder.file(betsname(3, "Round1", true)));
    std::filesystem::create_directory(
        folder.file(betsname(3, "Round1", true)));  // cannot be appended to
    dialogs.ok();                                   // the file-error box
    place(7, "cmdwin", {2});
    EXPECT_EQ(betsfile(3), "2,8,2,4\r\n");
    EXPECT_EQ(lines("lstbetsprior").size(), 1u);
    EXPECT_EQ(sh().newtotal, Money{});
    EXPECT_EQ(sh().fileop, "Betsbackup Append");
    EXPECT_TRUE(c("cmddone").visible());
}

// The program folder deleted under the open screen: the bet fails as any write would, nothing
// makes the folder again, and the screen does not show the bet as placed.
TEST_F(PlaceTest, AVanishedProgramFolderIsNotMadeAgainByABet) {
    std::filesystem::remove_all(folder.path());
    dialogs.ok(" 76 Path not found");  // the flight's file read for the entry picked
    pickentry(7);
    c("cmdwin").click();
    c("cmdbamount", 2).click();
    size_t before = dialogs.shown.size();
    dialogs.ok(" 76 Path not found");
    c("cmddone").click();
    ASSERT_EQ(dialogs.shown.size(), before + 1);
    EXPECT_EQ(dialogs.shown.back().title, "Bets Append");
    EXPECT_FALSE(std::filesystem::exists(folder.path()));
    EXPECT_EQ(lines("lstbetsprior"), std::vector<std::string>{"----------NEW BETS--------------"});
    EXPECT_EQ(sh().newtotal, Money{});
    EXPECT_TRUE(c("cmddone").visible());
}

TEST_F(PlaceTest, UnpaidBetsHoldTheBettorRoundAndScreen) {
    place(7, "cmdwin", {2});
    dialogs.ok("Must pay cashier first")
        .ok("Must pay cashier first")
        .ok("Must pay cashier first")
        .ok("Must pay cashier first");
    pickbettor("JONES-AL");
    c("Option2").click();
    c("cmdreturn").click();
    c("txtbanner").dblclick();
    EXPECT_EQ(c("txtbettor").text(), "SMITH-BOB");
    EXPECT_EQ(c("cbobettor").text(), "SMITH-BOB");
    EXPECT_EQ(c("Option1").value(), 1);
    EXPECT_EQ(sh().curround, "Round1");
    EXPECT_TRUE(app->isloaded("frmbet"));
    EXPECT_EQ(lines("lstbetsprior").size(), 2u);
}

}  // namespace vt::test

namespace vt::test {

// An amount that is not whole cents above 0 and at most $99,999.99 is refused with the amount
// message and nothing is written; the largest bet is written and read back exactly.
TEST_F(PlaceTest, AmountsOutsideWholeCentsUpToTheLargestBetAreRefused) {
    for (const char* bad : {"2.123456", "0.001", "0", "-5", "100000", "99999999999999", "1e300"}) {
        pickentry(7);
        c("cmdwin").click();
        c("cmdbamount", 1).click();
        c("txtamount").settext(bad);
        dialogs.ok("Missing bettor, player, position, or amount");
        c("cmddone").click();
        EXPECT_EQ(betsfile(3), "") << bad;
        c("cmdclrpos").click();
    }
    EXPECT_EQ(sh().newtotal, Money{});
    // An amount button never takes the amount past the largest bet.
    c("txtamount").settext("99999.5");
    dialogs.ok("Missing bettor, player, position, or amount");
    c("cmdbamount", 2).click();
    EXPECT_EQ(c("txtamount").text(), "99999.5");
    c("cmdbamount", 1).click();
    EXPECT_EQ(c("txtamount").text(), "99999.75");
    dialogs.ok("Missing bettor, player, position, or amount");
    c("cmdbamount", 1).click();
    EXPECT_EQ(c("txtamount").text(), "99999.75");
    pickentry(7);
    c("cmdwin").click();
    c("txtamount").settext("99999.99");
    c("cmddone").click();
    EXPECT_EQ(betsfile(3), "12,7,1,99999.99\r\n");
    sumbets(*app);
    EXPECT_EQ(sh().summ(7).win, Money::units(999999900));
}

}  // namespace vt::test
