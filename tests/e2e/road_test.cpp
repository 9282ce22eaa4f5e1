// The road of one bet, screen by screen, as a cashier drives it.
#include <filesystem>

#include "records/records.h"
#include "testapp.h"

using namespace vt;

namespace {

class Road : public vt::test::AppTest {};

TEST_F(Road, FreshFolderStartUpToTheMenu) {
    dialogs.answer(vbNo, "Is a printer available and will bet receipts be printed?");
    app->start();
    ASSERT_TRUE(app->form("frminit").visible());
    app->form("frminit").control("cmdok").click();

    EXPECT_TRUE(app->form("frmmenu").visible());
    for (const char* f : {"Init", "Results", "Players", "Playersbackup", "Bettors", "Bettorsbackup",
                          "Round1 1Bets", "Round1 15Betsbackup"})
        EXPECT_TRUE(folder.exists(f)) << f;
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n");
    EXPECT_EQ(app->shared().printswitch, "no");
}

TEST_F(Road, BetsPlacedAtTheBettingScreenReachTheBetsFiles) {
    dialogs.answer(vbNo, "Is a printer available and will bet receipts be printed?");
    app->start();
    app->form("frminit").control("cmdok").click();
    // Players in flights 2 and 5 and a bettor, through the shared procedures.
    Shared& sh = app->shared();
    readentries(*app);
    sh.entries(1) = Entry{1, 2, "", "HOGAN"};
    sh.entries(2) = Entry{2, 2, "", "NELSON"};
    sh.entries(3) = Entry{3, 5, "", "SNEAD"};
    writeentries(*app);
    readbettors(*app);
    sh.bettors(2) = Bettor{2, "PALMER-ARNOLD"};
    writebettors(*app);

    app->form("frmmenu").control("cmdbet").click();
    Form& bet = app->form("frmbet");
    ASSERT_TRUE(bet.visible());
    bet.control("Check1", 1).click();
    bet.control("Check1", 4).click();
    Control& cbo = bet.control("cbobettor");
    cbo.setlistindex(cbo.findbydata(2));
    Control& board = bet.control("lstentries");
    board.setlistindex(board.findbydata(3));
    ASSERT_EQ(bet.control("cmdbamount", 2).caption(), "+1.00");
    ASSERT_EQ(bet.control("cmdbamount", 3).caption(), "+2.00");
    bet.control("cmdboard").click();
    bet.control("cmdbamount", 3).click();
    bet.control("cmddone").click();
    board.setlistindex(board.findbydata(1));
    bet.control("cmdwin").click();
    bet.control("cmdbamount", 2).click();
    bet.control("cmdbamount", 2).click();
    bet.control("cmddone").click();
    EXPECT_EQ(bet.control("txttotal").text(), "$8.00");
    bet.control("cmdpay").click();
    EXPECT_EQ(bet.control("cmdpay").caption(), "  PAID  $8.00");

    EXPECT_EQ(folder.read("Round1 5Bets"), "2,3,1,2\r\n2,3,2,2\r\n2,3,3,2\r\n");
    EXPECT_EQ(folder.read("Round1 5Betsbackup"), folder.read("Round1 5Bets"));
    EXPECT_EQ(folder.read("Round1 2Bets"), "2,1,1,2\r\n");
    EXPECT_EQ(folder.read("Round1 2Betsbackup"), "2,1,1,2\r\n");
    EXPECT_TRUE(printed.docs.empty());
    bet.control("cmdreturn").click();
    EXPECT_TRUE(app->form("frmmenu").visible());
}

}  // namespace
