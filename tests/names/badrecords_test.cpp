// Identity of entries and bettors, and Fix Files over files holding records no reader takes whole,
// each driven from a hand-made data folder and checked byte for byte.
#include <filesystem>

#include "names/frmfix.h"
#include "namesfixture.h"

namespace vt::test {
namespace {

class BadRecordsTest : public NamesTest {
  protected:
    frmfix& fix() { return app->formas<frmfix>("frmfix"); }
    std::string cell(int r, int c) { return fix().grdfix.textmatrix(r, c); }
    Control& ctl(const std::string& form, const std::string& name) {
        return app->form(form).control(name);
    }
};

TEST_F(BadRecordsTest, NewEntryNeverTakesTheNumberOfARemovedEntrysBets) {
    players("1,1,\"\",\"A\"\r\n2,1,\"\",\"GONE\"\r\n");
    bettors("1,\"AnyBettor\"\r\n");
    bets("Round1", 1, "2,2,1,10\r\n");
    // Fix Files removes GONE; its bet stays, as the repair screen says.
    fix().cmdhorses.click();
    fix().grdfix.clickcell(2, 4);
    fix().cmdrplayer.click();
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"A\"\r\n");
    fix().cmdreturn.click();

    show("frmentries");
    ctl("frmentries", "cmbflt").setlistindex(0);
    dialogs.ok("NEWGUY added");
    type(ctl("frmentries", "txtentryname"), "NEWGUY");
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"A\"\r\n3,1,\"\",\"NEWGUY\"\r\n");
    EXPECT_EQ(folder.read("Playersbackup"), folder.read("Players"));
    // A number named only in another round's backup is passed over too.
    folder.write("Final 9Betsbackup", "1,4,1,2\r\n");
    dialogs.ok("NEXT added");
    type(ctl("frmentries", "txtentryname"), "NEXT");
    EXPECT_EQ(folder.read("Players"),
              "1,1,\"\",\"A\"\r\n3,1,\"\",\"NEWGUY\"\r\n5,1,\"\",\"NEXT\"\r\n");
}

TEST_F(BadRecordsTest, NewBettorNeverTakesTheNumberOfARemovedBettorsBets) {
    players("1,1,\"\",\"A\"\r\n");
    bettors("1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n3,\"GONE-ONE\"\r\n");
    folder.write("Bettorsbackup", "1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n3,\"GONE-ONE\"\r\n");
    bets("Round2", 4, "3,1,1,10\r\n");
    fix().cmdbettor.click();
    fix().grdfix.clickcell(3, 2);
    fix().cmdrbettor.click();
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n");
    // The backup keeps the removed bettor, so a restore can bring it back.
    EXPECT_EQ(folder.read("Bettorsbackup"),
              "1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n3,\"GONE-ONE\"\r\n");
    fix().cmdreturn.click();

    Form& f = show("frmbettor");
    EXPECT_EQ(f.caption, "Bettor update");
    dialogs.ok("NEWBETTOR added");
    type(f.control("txtbettorname"), "NEWBETTOR");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n4,\"NEWBETTOR\"\r\n");
    EXPECT_EQ(folder.read("Bettorsbackup"), folder.read("Bettors"));
}

TEST_F(BadRecordsTest, FixFilesShowsAndRemovesEveryBadPlayerLine) {
    std::string file =
        "1,1,\"\",\"A\"\r\n1001,1,\"\",\"BAD\"\r\n3,1,\"\",\"C\"\r\n3,99,\"\",\"D\"\r\n";
    players(file);
    bettors("1,\"AnyBettor\"\r\n");
    fix().cmdhorses.click();
    ASSERT_EQ(fix().grdfix.rows(), 5);
    EXPECT_EQ(cell(1, 4), "A");
    EXPECT_EQ(cell(2, 1), "1001");
    EXPECT_EQ(cell(2, 4), "Bad record: 1001,1,\"\",\"BAD\"");
    EXPECT_EQ(cell(3, 4), "C");
    EXPECT_EQ(cell(4, 2), "99");
    EXPECT_EQ(cell(4, 4), "Bad record: 3,99,\"\",\"D\"");
    fix().grdfix.clickcell(2, 1);
    fix().cmdrplayer.click();
    std::string left = "1,1,\"\",\"A\"\r\n3,1,\"\",\"C\"\r\n3,99,\"\",\"D\"\r\n";
    EXPECT_EQ(folder.read("Players"), left);
    EXPECT_EQ(folder.read("Playersbackup"), left);
    // The rows below keep their numbers and still name their own lines.
    fix().grdfix.clickcell(3, 1);
    EXPECT_EQ(cell(3, 0), "4");
    fix().cmdrplayer.click();
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"A\"\r\n3,1,\"\",\"C\"\r\n");
    EXPECT_EQ(fix().grdfix.rows(), 3);
}

TEST_F(BadRecordsTest, APlayerLineWithAStrayQuoteIsFlaggedAndRefusesTheAddWithOneBox) {
    const std::string file = "1,1,\"\",\"A\"\r\n9,1,\"\",SNEDEKER-BRANDT\"\r\n";
    players(file);
    folder.write("Playersbackup", file);
    bettors("1,\"AnyBettor\"\r\n");
    // Fix Files flags the very line the add refuses.
    fix().cmdhorses.click();
    ASSERT_EQ(fix().grdfix.rows(), 3);
    EXPECT_EQ(cell(1, 4), "A");
    EXPECT_EQ(cell(2, 4), "Bad record: 9,1,\"\",SNEDEKER-BRANDT\"");
    fix().cmdreturn.click();
    dialogs.shown.clear();

    const std::string box =
        " 13 Type mismatch\r\nPlayers, line 2\r\nCheck it with Fix Files on the "
        "main menu.";
    dialogs.allow(box);
    // Opening the screen tells of the line once; the add is refused once, naming the same line,
    // and nothing is written.
    show("frmentries");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].prompt, box);
    EXPECT_EQ(dialogs.shown[0].title, "Players Input");
    ctl("frmentries", "cmbflt").setlistindex(0);
    type(ctl("frmentries", "txtentryname"), "NEWGUY");
    EXPECT_EQ(folder.read("Players"), file);
    EXPECT_EQ(folder.read("Playersbackup"), file);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].prompt, box);
    EXPECT_EQ(dialogs.shown[1].title, "Players Output");
    EXPECT_FALSE(dialogs.saw("NEWGUY added"));
}

TEST_F(BadRecordsTest, RecordsAfterAMarkerAreShownAndNeverDroppedByARewrite) {
    std::string file = "998,1,\"\",\"A\"\r\n999,1,\"\",\"B\"\r\n1000,1,\"\",\"C\"\r\n";
    players(file);
    bettors("1,\"AnyBettor\"\r\n");
    // The player screen reads only A: a change is refused, not written without B and C.
    show("frmentries");
    Control& lst = ctl("frmentries", "lstentries");
    ASSERT_EQ(lst.listcount(), 1);
    lst.setlistindex(0);
    ctl("frmentries", "txtentryname").settext("AA");
    dialogs.answer(vbYes, "Change").ok("Fix Files");
    ctl("frmentries", "cmdupdate").click();
    EXPECT_EQ(folder.read("Players"), file);
    ctl("frmentries", "cmdmainmenu").click();

    fix().cmdhorses.click();
    ASSERT_EQ(fix().grdfix.rows(), 4);
    EXPECT_EQ(cell(2, 4), "Bad record: 999,1,\"\",\"B\"");
    EXPECT_EQ(cell(3, 4), "C");
    fix().grdfix.clickcell(2, 4);
    fix().cmdrplayer.click();
    EXPECT_EQ(folder.read("Players"), "998,1,\"\",\"A\"\r\n1000,1,\"\",\"C\"\r\n");
}

TEST_F(BadRecordsTest, FixFilesShowsBadBettorAndBetLinesAndRemovesExactlyThatLine) {
    bettors("1,\"AnyBettor\"\r\nabc,\"BAD\"\r\n2,\"SMITH-JOHN\"\r\n2,\"\"\r\n3,\"A\",\"B\"\r\n");
    players("1,1,\"\",\"ALPHA\"\r\n");
    dialogs.ok(" 13 Type mismatch");  // the bettor table is read as the screen opens
    fix().cmdbettor.click();
    ASSERT_EQ(fix().grdfix.rows(), 6);
    EXPECT_EQ(cell(2, 1), "abc");
    EXPECT_EQ(cell(2, 2), "Bad record: abc,\"BAD\"");
    EXPECT_EQ(cell(3, 2), "SMITH-JOHN");
    EXPECT_EQ(cell(4, 2), "Bad record: 2,\"\"");
    EXPECT_EQ(cell(5, 2), "Bad record: 3,\"A\",\"B\"");
    fix().grdfix.clickcell(2, 2);
    fix().cmdrbettor.click();
    EXPECT_EQ(folder.read("Bettors"),
              "1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n2,\"\"\r\n3,\"A\",\"B\"\r\n");

    // Bets: every line shows, the bad ones flagged; line ends and spacing of the others kept.
    std::string bets = "1,1,1,5\n2,abc,1,5\r\n  2 , 1 ,2,3\r\n2,1,1\r\n2,1,2,x\r\n";
    folder.write("Round1 1Bets", bets);
    folder.write("Round1 1Betsbackup", "");
    sh().curflightnbr = 1;
    fix().optflight[1]->click();
    fix().cmdbets.click();
    ASSERT_EQ(fix().grdfix.rows(), 8);
    EXPECT_EQ(cell(2, 3), " abc");
    EXPECT_EQ(cell(2, 4), " Bad Player Number");
    EXPECT_EQ(cell(3, 4), "FLT-A     ALPHA");
    EXPECT_EQ(cell(4, 6), " Bad Bet Amount Bad record");
    // A line whose fields are all there is still bad when a number cannot be read.
    EXPECT_EQ(cell(2, 6), " 5 Bad record");
    EXPECT_EQ(cell(5, 6), " Bad Bet Amount Bad record");
    EXPECT_EQ(cell(7, 6), "13");
    fix().grdfix.clickcell(2, 1);
    dialogs.ok(" 13 Type mismatch");  // the re-read sum still meets a bad line
    fix().cmdupdate.click();
    std::string left = "1,1,1,5\n  2 , 1 ,2,3\r\n2,1,1\r\n2,1,2,x\r\n";
    EXPECT_EQ(folder.read("Round1 1Bets"), left);
    EXPECT_EQ(folder.read("Round1 1Betsbackup"), left);
    EXPECT_EQ(fix().grdfix.rows(), 7);
}

TEST_F(BadRecordsTest, MoreBettorsThanTheTableLoadsTheFirstWithOneBoxAndRewritesNothing) {
    sh().maxbettors = 3;
    sh().sizetables();
    std::string file = "1,\"AnyBettor\"\r\n2,\"A\"\r\n3,\"B\"\r\n4,\"C\"\r\n";
    bettors(file);
    const std::string full =
        "Bettors holds more bettors than the setup's bettor capacity (maxbettors = 3)";
    dialogs.ok(full);
    Form& f = show("frmbettor");
    EXPECT_EQ(listof(f.control("cbobettornames")), (std::vector<std::string>{"A", "AnyBettor"}));
    dialogs.ok(full).ok("Maximum number of bettors exceeded");
    type(f.control("txtbettorname"), "D");
    f.control("cmdreturn").click();
    EXPECT_EQ(folder.read("Bettors"), file);
}

TEST_F(BadRecordsTest, RefusedRemovalKeepsItsRow) {
    players("1,1,\"\",\"A\"\r\n2,1,\"\",\"B\"\r\n3,1,\"\",\"C\"\r\n");
    bettors("1,\"AnyBettor\"\r\n");
    fix().cmdhorses.click();
    // The file changes behind the display: the removal is refused and every row stays.
    folder.write("Players", "1,1,\"\",\"A\"\r\n3,1,\"\",\"C\"\r\n");
    fix().grdfix.clickcell(2, 4);
    dialogs.ok("changed since it was displayed");
    fix().cmdrplayer.click();
    EXPECT_EQ(fix().grdfix.rows(), 4);
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"A\"\r\n3,1,\"\",\"C\"\r\n");
    // A write that fails leaves both files as they were, and the row too.
    fix().cmdhorses.click();
    std::filesystem::remove(folder.file("Playersbackup"));
    std::filesystem::create_directories(folder.file("Playersbackup/blocked"));
    fix().grdfix.clickcell(2, 4);
    dialogs.ok("");  // the file-error box
    fix().cmdrplayer.click();
    EXPECT_EQ(dialogs.shown.back().title, "Playersbackup output");
    EXPECT_EQ(fix().grdfix.rows(), 3);
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"A\"\r\n3,1,\"\",\"C\"\r\n");
    std::filesystem::remove_all(folder.file("Playersbackup"));
    // Shown again, the next pick removes the right line.
    fix().cmdhorses.click();
    fix().grdfix.clickcell(2, 4);
    fix().cmdrplayer.click();
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"A\"\r\n");
    EXPECT_EQ(cell(1, 4), "A");
}

}  // namespace
}  // namespace vt::test
