#include "names/frmfix.h"

#include <gtest/gtest.h>

#include "platform/qt/qtview.h"
#include "testapp.h"

namespace vt::test {
namespace {

class FrmfixTest : public AppTest {
  protected:
    void SetUp() override {
        for (int i = 1; i <= 15; ++i)
            sh().flightnames[i] = std::string(1, char('A' + i - 1)) + " -       ";
        sh().curround = "Round1";
        sh().curflightnbr = 2;
        sh().curflight = sh().flightnames[2];
        sh().banner1 = "Masters - Round 1";
        sh().bannerfinal = "Masters - Final Round";
        folder.write("Bettors", "1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n3,\"JONES-AMY\"\r\n");
        folder.write("Players",
                     "1,2,\"\",\"TIGER\"\r\n2,2,\"\",\"A VERY LONG PLAYER NAME FOR THE TEAM\"\r\n");
        folder.write("Playersbackup",
                     "1,2,\"\",\"TIGER\"\r\n999,0,\"\",\"\"\r\n5,1,\"\",\"zzz\"\r\n");
    }
    frmfix& fix() { return app->formas<frmfix>("frmfix"); }
    std::string cell(int r, int c) { return fix().grdfix.textmatrix(r, c); }
    // Grid row whose record number (column 0) is rec.
    int rowof(long rec) {
        for (int r = 1; r < fix().grdfix.rows(); ++r)
            if (cell(r, 0) == std::to_string(rec)) return r;
        return -1;
    }
};

TEST_F(FrmfixTest, BetDisplayFlagsEveryKindOfBadRecord) {
    folder.write("Round1 2Bets",
                 ",1,1,5\r\n0,1,1,5\r\n57,1,1,5\r\n2,0,1,5\r\n2,1001,1,5\r\n2,8,1,5\r\n"
                 "2,1,0,5\r\n2,1,4,5\r\n2,1,1.5,5\r\n2,1,1,0.01\r\n3,2,2,1000\r\n2,1,3,0.009\r\n"
                 "2,1,1,0\r\n2,1,1,1000.01\r\n-4,1,1,5\r\n");
    fix().cmdbets.click();
    EXPECT_EQ(cell(0, 2), "Bettor");
    EXPECT_EQ(fix().grdfix.colwidth(4), 3000);
    EXPECT_EQ(cell(1, 2), " Null Bettor Number");
    EXPECT_EQ(cell(1, 1), " 0");
    EXPECT_EQ(cell(2, 2), " Bad Bettor Number");
    EXPECT_EQ(cell(3, 2), " 57 Bad Bettor Number");
    EXPECT_EQ(cell(15, 2), "-4 Bad Bettor Number");
    for (int r : {4, 5, 6}) EXPECT_EQ(cell(r, 4), " Bad Player Number") << r;
    EXPECT_EQ(cell(7, 5), " 0 Bad Bet Type - Not 1,2, or 3");
    EXPECT_EQ(cell(8, 5), " 4 Bad Bet Type - Not 1,2, or 3");
    EXPECT_EQ(cell(9, 5), " 1.5 Bad Bet Type - Not 1,2, or 3");
    EXPECT_EQ(cell(10, 6), " 0.01");
    EXPECT_EQ(cell(11, 6), " 1000");
    EXPECT_EQ(cell(11, 2), "JONES-AMY");
    EXPECT_EQ(cell(11, 4), "B -       A VERY LONG PLAYER N");
    EXPECT_EQ(cell(11, 5), " 2 Place");
    EXPECT_EQ(cell(10, 5), " 1 Win  ");
    for (int r : {12, 13}) EXPECT_EQ(cell(r, 6), " Bad Bet Amount") << r;
    EXPECT_EQ(cell(14, 6), " 1000.01");
    // 15 records, an empty row, then the total of every amount, bad ones included.
    EXPECT_EQ(fix().grdfix.rows(), 18);
    EXPECT_EQ(cell(16, 0), "");
    EXPECT_EQ(cell(17, 5), "Total Bets");
    EXPECT_EQ(cell(17, 6), "2050.029");
    EXPECT_EQ(fix().lblbets.caption(), "Round1 Flight B -        Bets");
}

// A line is flagged for its amount exactly when the betting screen would not have taken it: whole
// cents above 0 up to $99,999.99, in both displays and on the printed listing.
TEST_F(FrmfixTest, EveryAmountTheBettingScreenTakesIsAGoodAmount) {
    const std::string bets =
        "2,1,1,1500\r\n2,1,2,99999.99\r\n2,1,3,100000\r\n2,1,1,-5\r\n2,1,1,12.345\r\n";
    folder.write("Round1 2Bets", bets);
    folder.write("Round1 2Betsbackup", bets);
    fix().cmdbets.click();
    EXPECT_EQ(cell(1, 6), " 1500");
    EXPECT_EQ(cell(2, 6), " 99999.99");
    for (int r : {3, 4, 5}) EXPECT_EQ(cell(r, 6), " Bad Bet Amount") << r;
    sh().printswitch = "yes";
    fix().cmdprint.click();
    ASSERT_EQ(printed.docs.size(), 1u);
    std::string listing;
    for (const std::string& line : printed.lines(0)) listing += line + "\n";
    EXPECT_NE(listing.find(" 1500"), std::string::npos) << listing;
    EXPECT_NE(listing.find(" 99999.99"), std::string::npos) << listing;
    fix().cmdbackup.click();
    EXPECT_EQ(cell(1, 4), " 1500");
    EXPECT_EQ(cell(2, 4), " 99999.99");
    EXPECT_EQ(cell(3, 4), " 100000 Bad Bet Amount");
    EXPECT_EQ(cell(5, 4), " 12.345 Bad Bet Amount");
}

TEST_F(FrmfixTest, MissingBetsFileShowsAnEmptyListWithTotalZero) {
    fix().cmdbets.click();
    EXPECT_EQ(fix().grdfix.rows(), 3);
    EXPECT_EQ(cell(2, 5), "Total Bets");
    EXPECT_EQ(cell(2, 6), "0");
    EXPECT_FALSE(folder.exists("Round1 2Bets"));
}

TEST_F(FrmfixTest, RemovesTheClickedBetAfterASort) {
    std::string five = "2,1,1,1\r\n2,1,1,5\r\n3,2,1,3\r\n2,2,2,4\r\n3,1,3,2\r\n";
    folder.write("Round1 2Bets", five);
    folder.write("Round1 2Betsbackup", five);
    fix().cmdbets.click();
    // Sort by amount, descending, as numbers: record 3 moves below the total row and two larger
    // bets.
    fix().grdfix.clickcell(0, 6);
    EXPECT_TRUE(fix().frasort.visible());
    fix().chkdes.click();
    fix().chknum.click();
    EXPECT_FALSE(fix().frasort.visible());
    // The total row sorts with the bets: it holds the largest amount.
    EXPECT_EQ(cell(1, 5), "Total Bets");
    EXPECT_EQ(cell(2, 0), "2");
    ASSERT_EQ(rowof(3), 4);
    fix().grdfix.clickcell(rowof(3), 2);
    fix().cmdupdate.click();
    std::string expect = "2,1,1,1\r\n2,1,1,5\r\n2,2,2,4\r\n3,1,3,2\r\n";
    EXPECT_EQ(folder.read("Round1 2Bets"), expect);
    EXPECT_EQ(folder.read("Round1 2Betsbackup"), expect);
    // The display is shown again from the file: four bets, the empty row, the new total.
    EXPECT_EQ(fix().grdfix.rows(), 7);
    EXPECT_EQ(cell(6, 6), "12");
    EXPECT_EQ(sh().summ(sh().maxplayers + 1).total, Money::dollars(12));
}

// Everything the bet display shows: each cell with its alignment and weight, the grid's shape,
// widths and selection, and the caption.
std::vector<std::string> displayed(frmfix& f) {
    const Control& g = f.grdfix;
    std::vector<std::string> out{f.lblbets.caption(), std::to_string(g.rows()),
                                 std::to_string(g.grid.row) + "," + std::to_string(g.grid.rowsel) +
                                     "," + std::to_string(g.grid.col) + "," +
                                     std::to_string(g.grid.colsel)};
    for (int c = 0; c < g.cols(); ++c) out.push_back(std::to_string(g.colwidth(c)));
    for (int r = 0; r < g.rows(); ++r)
        for (int c = 0; c < g.cols(); ++c)
            out.push_back(g.textmatrix(r, c) + "|" + std::to_string(g.cellalignment(r, c)) +
                          (g.cellbold(r, c) ? "|b" : ""));
    return out;
}

TEST_F(FrmfixTest, AfterARemovalTheDisplayIsAsDisplayingTheFileAgain) {
    // Bad records among the bets, lines with bare CR and LF ends, a blank line that ends the file
    // once the records after it are gone, and a last line without its end.
    std::string bets =
        "2,1,1,1\r\n2,x,1,5\n3,2,1,3\r2,2,2,4\r\n\r\n\"3,1\r\n3,1,3,2\r\n \r\n2,1,1,7";
    folder.write("Round1 2Bets", bets);
    folder.write("Round1 2Betsbackup", bets);
    dialogs.allow("Type mismatch");  // the sums after each removal stop at a bad record
    fix().cmdbets.click();
    for (int turn = 0; fix().grdfix.rows() > 3; ++turn) {
        SCOPED_TRACE(folder.read("Round1 2Bets"));
        int records = fix().grdfix.rows() - 3;
        fix().grdfix.clickcell(turn * 5 % records + 1, 3);
        fix().cmdupdate.click();
        auto after = displayed(fix());
        EXPECT_EQ(fix().grdfix.grid.row, 0);
        dialogs.ok("bet");  // the pick went with the row
        fix().cmdupdate.click();
        fix().cmdbets.click();
        EXPECT_EQ(after, displayed(fix()));
    }
    // The blank line that ends the file is all that is left.
    EXPECT_EQ(folder.read("Round1 2Bets"), " \r\n");
    EXPECT_EQ(folder.read("Round1 2Betsbackup"), " \r\n");
}

TEST_F(FrmfixTest, ARemovalShowsNamesAndFilesChangedSinceTheDisplay) {
    std::string bets = "2,1,1,1\r\n3,2,1,3\r\n2,2,2,4\r\n2,1,1,9\r\n";
    folder.write("Round1 2Bets", bets);
    folder.write("Round1 2Betsbackup", bets);
    fix().cmdbets.click();
    // Nothing changed since the display: the rows above the one removed are not written again.
    GridState& g = fix().grdfix.grid;
    std::vector<uint64_t> revs(g.rowrev.begin(), g.rowrev.begin() + 4);
    fix().grdfix.clickcell(4, 3);
    fix().cmdupdate.click();
    EXPECT_EQ(std::vector<uint64_t>(g.rowrev.begin(), g.rowrev.begin() + 4), revs);
    EXPECT_EQ(cell(5, 6), "8");
    // Another program renames a player: the rows kept would show the old name.
    folder.write("Players", "1,2,\"\",\"TIGER\"\r\n2,2,\"\",\"RENAMED\"\r\n");
    fix().grdfix.clickcell(1, 3);
    fix().cmdupdate.click();
    EXPECT_EQ(cell(1, 4), "B -       RENAMED");
    auto after = displayed(fix());
    fix().cmdbets.click();
    EXPECT_EQ(after, displayed(fix()));
    // A row clicked and the grid sorted: the display is built again in file order.
    fix().grdfix.clickcell(0, 6);
    fix().chkdes.click();
    fix().chknum.click();
    ASSERT_EQ(cell(1, 5), "Total Bets");
    fix().grdfix.clickcell(rowof(1), 6);
    fix().cmdupdate.click();
    after = displayed(fix());
    fix().cmdbets.click();
    EXPECT_EQ(after, displayed(fix()));
    EXPECT_EQ(folder.read("Round1 2Bets"), "2,2,2,4\r\n");
}

TEST_F(FrmfixTest, RemovalWithoutAPickOrFromAnotherDisplayIsRefused) {
    std::string bets = "2,1,1,1\r\n2,1,1,5\r\n";
    folder.write("Round1 2Bets", bets);
    fix().cmdbets.click();
    dialogs.ok("bet");
    fix().cmdupdate.click();
    // A row picked, then another display shown: the pick no longer names a bet.
    fix().grdfix.clickcell(1, 1);
    fix().cmdhorses.click();
    dialogs.ok("bet");
    fix().cmdupdate.click();
    // The total row names no record.
    fix().cmdbets.click();
    fix().grdfix.clickcell(4, 1);
    dialogs.ok("bet");
    fix().cmdupdate.click();
    // A round change after the pick.
    fix().grdfix.clickcell(1, 1);
    fix().Option2.click();
    dialogs.ok("bet");
    fix().cmdupdate.click();
    EXPECT_EQ(folder.read("Round1 2Bets"), bets);
    dialogs.ok("player");
    fix().cmdrplayer.click();
}

TEST_F(FrmfixTest, RemovesPlayersAndBettorsByTheirShownRecord) {
    fix().cmdhorses.click();
    EXPECT_EQ(cell(1, 4), "TIGER");
    EXPECT_EQ(cell(1, 3), "B -       ");
    fix().grdfix.clickcell(1, 1);
    fix().cmdrplayer.click();
    EXPECT_EQ(folder.read("Players"), "2,2,\"\",\"A VERY LONG PLAYER NAME FOR THE TEAM\"\r\n");
    EXPECT_EQ(folder.read("Playersbackup"), folder.read("Players"));
    EXPECT_EQ(fix().grdfix.rows(), 2);
    EXPECT_EQ(cell(1, 0), "2");  // rows below keep their record numbers

    fix().cmdbettor.click();
    EXPECT_EQ(cell(3, 2), "JONES-AMY");
    fix().grdfix.clickcell(1, 2);  // AnyBettor always stays first in the file
    fix().cmdrbettor.click();
    fix().grdfix.clickcell(rowof(3), 2);
    fix().cmdrbettor.click();
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n");
}

TEST_F(FrmfixTest, BackupDisplaysListTheBackupFilesAsTheyStand) {
    fix().cmdplayerb.click();
    ASSERT_EQ(fix().grdfix.rows(), 4);
    EXPECT_EQ(cell(2, 1), "999");
    EXPECT_EQ(cell(3, 4), "zzz");
    folder.write("Bettorsbackup", "1,\"AnyBettor\"\r\n9,\"OLD-ONE\"\r\n");
    fix().cmdbettorb.click();
    EXPECT_EQ(cell(2, 2), "OLD-ONE");
    // The shared bettors table still holds the Bettors file.
    EXPECT_EQ(sh().bettors(2).name, "SMITH-JOHN");

    folder.write("Round1 2Betsbackup", "2,1,1,5\r\n0,7,2,0\r\n");
    fix().cmdbackup.click();
    EXPECT_FALSE(fix().cmdupdate.visible());
    EXPECT_EQ(cell(1, 1), " 2 SMITH-JOHN");
    EXPECT_EQ(cell(1, 2), " 1 B -       TIGER");
    EXPECT_EQ(cell(1, 3), " 1 Win");
    EXPECT_EQ(cell(2, 1), " 0 Bad Bettor Number");
    EXPECT_EQ(cell(2, 2), " 7 Bad Player Number");
    EXPECT_EQ(cell(2, 4), " 0 Bad Bet Amount");
    EXPECT_EQ(cell(4, 3), "Total Bets");
    EXPECT_EQ(cell(4, 4), "5");
}

TEST_F(FrmfixTest, SortsCompareNumbersAsNumbersAndTextAsText) {
    fix().cmdbettor.click();
    Control& g = fix().grdfix;
    g.setrows(5);
    g.settextmatrix(3, 2, "10");
    g.settextmatrix(4, 2, "9");
    g.settextmatrix(3, 0, "3");
    g.settextmatrix(4, 0, "4");
    g.clickcell(0, 2);
    fix().chkasc.click();
    fix().chkalp.click();
    // 9 before 10 as numbers; numbers before letters.
    EXPECT_EQ(cell(1, 2), "9");
    EXPECT_EQ(cell(2, 2), "10");
    EXPECT_EQ(cell(3, 2), "AnyBettor");
    EXPECT_EQ(cell(1, 0), "4");  // column 0 moves with its row
    EXPECT_EQ(cell(0, 2), "Bettor Name");
    // Alpha before a direction closes the frame without sorting.
    g.clickcell(0, 2);
    fix().chkalp.click();
    EXPECT_FALSE(fix().frasort.visible());
    EXPECT_EQ(cell(1, 2), "9");
}

TEST_F(FrmfixTest, PrintsEveryCellInTwentyCharacters) {
    sh().printswitch = "yes";
    fix().cmdhorses.click();
    fix().grdfix.settextmatrix(1, 4, "ABCDEFGHIJKLMNOPQRSTUVWXY");
    fix().grdfix.settextmatrix(2, 4, "ABCDEFGHIJKLMNOPQRST");
    fix().cmdprint.click();
    ASSERT_EQ(printed.docs.size(), 1u);
    auto lines = printed.lines(0);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1].size(), 100u);
    EXPECT_EQ(lines[1].substr(0, 20), "Rec Number          ");
    EXPECT_EQ(lines[2].substr(80), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(lines[3].substr(80), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(printed.docs[0].pages[0][1].fontsize, 8);
    sh().printswitch = "no";
    fix().cmdprint.click();
    EXPECT_EQ(printed.docs.size(), 1u);
}

TEST_F(FrmfixTest, ReturnKeepsTheRoundOfTheOpening) {
    sh().curround = "Final";
    sh().banner = "Masters - Final Round";
    EXPECT_EQ(fix().Option4.value(), 1);
    fix().Option2.click();
    EXPECT_EQ(sh().curround, "Round2");
    fix().optflight[5]->click();
    EXPECT_EQ(sh().curflightnbr, 5);
    fix().cmdreturn.click();
    EXPECT_EQ(sh().curround, "Final");
    EXPECT_EQ(sh().banner, "Masters - Final Round");
    EXPECT_FALSE(app->isloaded("frmfix"));
}

TEST_F(FrmfixTest, EachDisplayAlignsItsOwnCells) {
    folder.write("Round1 2Bets", "2,1,1,5\r\n");
    folder.write("Round1 2Betsbackup", "2,1,1,5\r\n");
    Control& g = fix().grdfix;
    auto general = [&](int rows, int cols) {
        for (int r = 1; r < rows; ++r)
            for (int c = 0; c < cols; ++c) EXPECT_EQ(g.cellalignment(r, c), 9) << r << "," << c;
    };
    fix().cmdhorses.click();
    EXPECT_EQ(cell(1, 1), "1");  // numbers as numbers, no leading blank
    EXPECT_EQ(cell(1, 2), "2");
    general(g.rows(), g.cols());
    // The bet display left-aligns every cell it writes, the record number and the total too.
    fix().cmdbets.click();
    ASSERT_EQ(g.rows(), 4);
    for (int c = 0; c < g.cols(); ++c) {
        EXPECT_EQ(g.cellalignment(1, c), 0) << c;
        EXPECT_EQ(g.cellalignment(3, c), 0) << c;
    }
    // The next displays start from fresh cells again.
    fix().cmdbettor.click();
    EXPECT_EQ(cell(2, 1), "2");
    general(g.rows(), g.cols());
    fix().cmdhorses.click();
    general(g.rows(), g.cols());
    fix().cmdbackup.click();
    EXPECT_EQ(g.cellalignment(1, 0), 0);
}

// Sorted by bettor, every row the display wrote stays left-aligned: the empty row below the
// bets, which has no alignment of its own, goes to the top with its cells and no bet takes its
// place.
TEST_F(FrmfixTest, EveryRowKeepsItsAlignmentAfterASort) {
    std::string bets = "3,1,1,1\r\n2,1,1,5\r\n3,2,1,3\r\n2,2,2,4\r\n3,1,3,2\r\n";
    folder.write("Round1 2Bets", bets);
    folder.write("Round1 2Betsbackup", bets);
    fix().cmdbets.click();
    Control& g = fix().grdfix;
    ASSERT_EQ(g.rows(), 8);
    fix().grdfix.clickcell(0, 2);
    fix().chkasc.click();
    fix().chkalp.click();
    EXPECT_EQ(cell(3, 2), "JONES-AMY");
    EXPECT_EQ(cell(6, 2), "SMITH-JOHN");
    for (int r = 1; r < g.rows(); ++r) {
        if (cell(r, 0).empty() && cell(r, 6).empty()) continue;  // the empty row
        for (int c = 0; c < g.cols(); ++c)
            EXPECT_EQ(g.cellalignment(r, c), 0) << "record " << cell(r, 0) << ", column " << c;
    }
}

TEST_F(FrmfixTest, ScreenRenders) {
    folder.write("Round1 2Bets", "2,1,1,5\r\n57,2,2,10\r\n");
    fix().show();
    fix().cmdbets.click();
    fix().grdfix.clickcell(0, 6);
    EXPECT_TRUE(renderformpng(*app, fix(), std::string(VANTROPE_SCREENS_DIR) + "/frmfix.png"));
    // The players after the bets: numbers back to their own alignment.
    fix().cmdhorses.click();
    EXPECT_TRUE(
        renderformpng(*app, fix(), std::string(VANTROPE_SCREENS_DIR) + "/frmfix_players.png"));
}

}  // namespace
}  // namespace vt::test
