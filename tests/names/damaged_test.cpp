// Players, Bettors and Bets files cut short, holding stray quotes or empty lines, or fuller than
// the setup's capacity: what the screens show, the boxes (one per file per action) and the bytes.
#include <filesystem>
#include <functional>

#include "names/frmfix.h"
#include "namesfixture.h"
#include "platform/qt/qtview.h"

namespace vt::test {
namespace {

class DamagedFilesTest : public NamesTest {
  protected:
    DamagedFilesTest() { bettors("1,\"AnyBettor\"\r\n"); }
    frmfix& fix() { return app->formas<frmfix>("frmfix"); }
    std::string cell(int r, int c) { return fix().grdfix.textmatrix(r, c); }
    Control& ctl(const std::string& form, const std::string& name) {
        return app->form(form).control(name);
    }
    // Runs an action and returns the boxes it showed.
    std::vector<ScriptedDialogs::Shown> boxesof(const std::function<void()>& action) {
        size_t before = dialogs.shown.size();
        action();
        return {dialogs.shown.begin() + static_cast<long>(before), dialogs.shown.end()};
    }
    static std::string badline(const std::string& file, int line) {
        return " 13 Type mismatch\r\n" + file + ", line " + std::to_string(line) +
               "\r\nCheck it with Fix Files on the main menu.";
    }
    const std::string good = "1,1,\"\",\"ADAMS\"\r\n2,1,\"\",\"BAKER\"\r\n";
};

TEST_F(DamagedFilesTest, ACutPlayerRecordIsNoEntryAndNoAddIsShownThatWasNotWritten) {
    const std::string cut = good + "7,1,\"\",\"CAR";
    players(cut);
    dialogs.allow("Players");
    auto opening = boxesof([&] { show("frmentries"); });
    ASSERT_EQ(opening.size(), 1u);
    EXPECT_EQ(opening[0].prompt, badline("Players", 3));
    EXPECT_EQ(opening[0].title, "Players Input");
    Control& lst = ctl("frmentries", "lstentries");
    ASSERT_EQ(lst.listcount(), 2);  // ADAMS and BAKER, never CAR
    ctl("frmentries", "cmbflt").setlistindex(0);
    // Twice: the list and the file stay as they are, and no box says "added".
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto add = boxesof([&] { type(ctl("frmentries", "txtentryname"), "NEWGUY"); });
        // The refusal names the line the reading stopped at, in the same words.
        ASSERT_EQ(add.size(), 1u);
        EXPECT_EQ(add[0].prompt, badline("Players", 3));
        EXPECT_EQ(add[0].title, "Players Output");
        EXPECT_EQ(lst.listcount(), 2);
        EXPECT_EQ(folder.read("Players"), cut);
        ctl("frmentries", "txtentryname").settext("");
    }
    EXPECT_FALSE(dialogs.saw("added"));
}

TEST_F(DamagedFilesTest, AStrayQuoteIsFlaggedInFixFilesAndBlocksEveryAdd) {
    const std::string file = good + "9,1,\"\",SNEDEKER-BRANDT\"\r\n";
    players(file);
    dialogs.allow(badline("Players", 3));
    fix().cmdhorses.click();
    ASSERT_EQ(fix().grdfix.rows(), 4);
    EXPECT_EQ(cell(3, 4), "Bad record: 9,1,\"\",SNEDEKER-BRANDT\"");
    fix().cmdreturn.click();
    show("frmentries");
    ctl("frmentries", "cmbflt").setlistindex(0);
    type(ctl("frmentries", "txtentryname"), "NEWGUY");
    type(ctl("frmentries", "txtentryname"), "NEWGUY");
    EXPECT_EQ(ctl("frmentries", "lstentries").listcount(), 2);
    EXPECT_EQ(folder.read("Players"), file);
    EXPECT_FALSE(dialogs.saw("added"));
    EXPECT_FALSE(dialogs.saw("Invalid procedure call"));
    // Removed in Fix Files, the next ADD goes through.
    ctl("frmentries", "cmdmainmenu").click();
    fix().cmdhorses.click();
    fix().grdfix.clickcell(3, 4);
    fix().cmdrplayer.click();
    EXPECT_EQ(folder.read("Players"), good);
    EXPECT_EQ(folder.read("Playersbackup"), good);
    fix().cmdreturn.click();
    show("frmentries");
    ctl("frmentries", "cmbflt").setlistindex(0);
    dialogs.ok("NEWGUY added");
    type(ctl("frmentries", "txtentryname"), "NEWGUY");
    EXPECT_EQ(folder.read("Players"), good + "3,1,\"\",\"NEWGUY\"\r\n");
}

TEST_F(DamagedFilesTest, APlayersFileLargerThanAnyOfItsCapacityIsRefusedUnreadEverywhere) {
    sh().maxplayers = 3;
    sh().sizetables();
    const std::string huge = good + "9,1,\"\",\"" + std::string(6000, 'A') + "\"\r\n";
    players(huge);
    const std::string refused = " 7 Out of memory\r\nPlayers";
    dialogs.allow(refused);
    auto opening = boxesof([&] { app->dispatch([&] { show("frmentries"); }); });
    ASSERT_EQ(opening.size(), 1u);
    EXPECT_EQ(opening[0].prompt, refused);
    EXPECT_EQ(opening[0].title, "Players Input");
    EXPECT_EQ(ctl("frmentries", "lstentries").listcount(), 0);
    ctl("frmentries", "cmbflt").setlistindex(0);
    auto add = boxesof([&] { type(ctl("frmentries", "txtentryname"), "NEWGUY"); });
    // The ADD reads the file again before it would rewrite it: the same refusal, nothing added.
    ASSERT_EQ(add.size(), 1u);
    EXPECT_EQ(add[0].prompt, refused);
    ctl("frmentries", "cmdmainmenu").click();
    auto display = boxesof([&] { fix().cmdhorses.click(); });
    ASSERT_EQ(display.size(), 1u);
    EXPECT_EQ(display[0].prompt, refused);
    EXPECT_EQ(display[0].title, "Players Input");
    EXPECT_EQ(folder.read("Players"), huge);
    EXPECT_FALSE(dialogs.saw("added"));
}

TEST_F(DamagedFilesTest, ACutBettorRecordIsNoBettorAndTheAddIsToldOfOnce) {
    const std::string cut = "1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n13,\"JONES";
    bettors(cut);
    dialogs.allow("Bettors");
    auto opening = boxesof([&] { show("frmbettor"); });
    ASSERT_EQ(opening.size(), 1u);
    EXPECT_EQ(opening[0].prompt, badline("Bettors", 3));
    EXPECT_EQ(opening[0].title, "Bettors Input");
    Control& lst = ctl("frmbettor", "cbobettornames");
    EXPECT_EQ(lst.listcount(), 2);
    // The ADD reads the file again and would rewrite it: one box about it, nothing added.
    auto add = boxesof([&] { type(ctl("frmbettor", "txtbettorname"), "NEWBETTOR"); });
    ASSERT_EQ(add.size(), 1u);
    EXPECT_EQ(add[0].prompt, badline("Bettors", 3));
    EXPECT_EQ(lst.listcount(), 2);
    EXPECT_EQ(folder.read("Bettors"), cut);
    // Leaving does not write the file back "whole" either.
    ctl("frmbettor", "cmdreturn").click();
    EXPECT_EQ(folder.read("Bettors"), cut);
}

TEST_F(DamagedFilesTest, FixFilesFlagsAnEmptyLineBetweenBetsAndRemovesExactlyIt) {
    players(good);
    bettors("1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n");
    // The last record lacks its line end: it is whole and shown as a bet like the others.
    const std::string file = "2,1,1,5\r\n\r\n2,2,2,3\r\n2,1,3,1.25";
    bets("Round1", 1, file);
    sh().curflightnbr = 1;
    fix().optflight[1]->click();
    fix().cmdbets.click();
    ASSERT_EQ(fix().grdfix.rows(), 7);
    EXPECT_EQ(cell(1, 6), " 5");
    EXPECT_EQ(cell(2, 6), " Bad Bet Amount Bad record");
    EXPECT_EQ(cell(3, 6), " 3");
    EXPECT_EQ(cell(4, 6), " 1.25");
    EXPECT_TRUE(
        renderformpng(*app, fix(), std::string(VANTROPE_SCREENS_DIR) + "/frmfix_badline.png"));
    // The sum read back after the removal reads the file whole again: no box.
    fix().grdfix.clickcell(2, 1);
    fix().cmdupdate.click();
    const std::string left = "2,1,1,5\r\n2,2,2,3\r\n2,1,3,1.25";
    EXPECT_EQ(betsfile("Round1", 1), left);
    EXPECT_EQ(betsfile("Round1", 1, true), left);
    EXPECT_EQ(fix().grdfix.rows(), 6);
    EXPECT_EQ(cell(5, 6), "9.25");
}

TEST_F(DamagedFilesTest, AnEmptyNumberFieldIsFlaggedInFixFilesAndRemovedExactly) {
    players(good + "7,,\"\",\"CAR\"\r\n");
    bettors("1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n,\"JONES\"\r\n");
    // A bet cut after its last comma: the amount and the line end lost.
    const std::string file = "2,1,1,5\r\n2,2,1,";
    bets("Round1", 1, file);
    sh().curflightnbr = 1;
    dialogs.allow(badline("Bettors", 3)).allow(badline("Players", 3));
    fix().optflight[1]->click();
    fix().cmdbets.click();
    ASSERT_EQ(fix().grdfix.rows(), 5);
    EXPECT_EQ(cell(1, 6), " 5");
    EXPECT_EQ(cell(2, 6), " Bad Bet Amount Bad record");
    EXPECT_EQ(cell(4, 6), "5");  // the total counts no $0 bet
    fix().cmdbettor.click();
    EXPECT_EQ(cell(3, 2), "Bad record: ,\"JONES\"");
    fix().cmdhorses.click();
    EXPECT_EQ(cell(3, 4), "Bad record: 7,,\"\",\"CAR\"");
    // Removing the cut bet leaves the whole one in both files, and the sum reads them whole.
    fix().cmdbets.click();
    fix().grdfix.clickcell(2, 1);
    // Only the Players file's bad line is told of again (the sum reads the entries afresh).
    auto removal = boxesof([&] { fix().cmdupdate.click(); });
    for (const auto& b : removal) EXPECT_EQ(b.prompt, badline("Players", 3));
    EXPECT_EQ(betsfile("Round1", 1), "2,1,1,5\r\n");
    EXPECT_EQ(betsfile("Round1", 1, true), "2,1,1,5\r\n");
    EXPECT_TRUE(sh().betscomplete);
}

TEST_F(DamagedFilesTest, AnEmptiedBettorsFileIsToldOfAndNoBettorIsAddedOverIt) {
    const std::string backup = "1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n13,\"JONES-AL\"\r\n";
    const std::string told =
        " 62 Input past end of file\r\nBettors\r\nBettors is empty, but Bettorsbackup holds "
        "records: it may be damaged, so nothing is written over it.\r\nPut the backup in its "
        "place with Use Backup Files on the main menu.";
    bettors("");
    folder.write("Bettorsbackup", backup);
    dialogs.allow(told);
    auto opening = boxesof([&] { app->dispatch([&] { show("frmbettor"); }); });
    ASSERT_EQ(opening.size(), 1u);
    EXPECT_EQ(opening[0].prompt, told);
    EXPECT_EQ(opening[0].title, "Bettors Input");
    EXPECT_EQ(ctl("frmbettor", "cbobettornames").listcount(), 0);
    auto add = boxesof([&] { type(ctl("frmbettor", "txtbettorname"), "NEWBETTOR"); });
    ASSERT_EQ(add.size(), 1u);
    EXPECT_EQ(add[0].prompt, told);
    EXPECT_EQ(add[0].title, "Bettors Input");  // the add reads the file again first
    ctl("frmbettor", "cmdreturn").click();
    EXPECT_EQ(folder.read("Bettors"), "");
    EXPECT_EQ(folder.read("Bettorsbackup"), backup);
    EXPECT_FALSE(dialogs.saw("added"));
    // Fix Files tells of it when it is displayed; the backup shows what to put back.
    auto display = boxesof([&] { app->dispatch([&] { fix().cmdbettor.click(); }); });
    ASSERT_EQ(display.size(), 1u);
    EXPECT_EQ(display[0].prompt, told);
    fix().cmdbettorb.click();
    EXPECT_EQ(cell(3, 2), "JONES-AL");
    // Lost instead of emptied: the bettor screen does not start it afresh over its backup.
    std::filesystem::remove(folder.file("Bettors"));
    fix().cmdreturn.click();
    dialogs.allow(" 53 File not found\r\nBettors\r\nBettors is missing, but Bettorsbackup");
    show("frmbettor");
    EXPECT_FALSE(folder.exists("Bettors"));
    EXPECT_EQ(folder.read("Bettorsbackup"), backup);
}

TEST_F(DamagedFilesTest, ABettorDeleteOverAnEmptiedBetsFileChangesNothing) {
    players(good);
    const std::string list = "1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n";
    bettors(list);
    folder.write("Bettorsbackup", list);
    // The bettor's bet is only in the backup: the delete would empty the backup to match.
    folder.write("Round1 3Bets", "");
    folder.write("Round1 3Betsbackup", "2,1,1,5\r\n");
    show("frmbettor");
    pick(ctl("frmbettor", "cbobettornames"), "SMITH-JOHN");
    dialogs.answer(vbYes, "Delete SMITH-JOHN").allow("Round1 3Bets is empty");
    auto del = boxesof([&] { app->dispatch([&] { ctl("frmbettor", "cmddelete").click(); }); });
    ASSERT_EQ(del.size(), 2u);  // the question, then the one box
    EXPECT_EQ(del[1].prompt,
              " 62 Input past end of file\r\nRound1 3Bets\r\nRound1 3Bets is empty, but Round1 "
              "3Betsbackup holds records: it may be damaged, so nothing is written over it.\r\n"
              "Put the backup in its place with Use Backup Files on the main menu.");
    EXPECT_EQ(folder.read("Round1 3Bets"), "");
    EXPECT_EQ(folder.read("Round1 3Betsbackup"), "2,1,1,5\r\n");
    EXPECT_EQ(folder.read("Bettors"), list);
}

TEST_F(DamagedFilesTest, FixFilesShowsAFileFullerThanTheCapacityUpToItAndRemovesExactly) {
    sh().maxbets = 5;
    sh().sizetables();
    players(good);
    bettors("1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n");
    std::string file;
    for (int i = 1; i <= 12; ++i) file += "2,1,1," + std::to_string(i) + "\r\n";
    bets("Round1", 1, file);
    sh().curflightnbr = 1;
    fix().optflight[1]->click();
    const std::string shown =
        "Round1 1Bets holds more lines than the setup's bet capacity (maxbets = 5): only the first "
        "5 are shown.";
    const std::string loaded =
        "Round1 1Bets holds more bets than the setup's bet capacity (maxbets = 5): only the first "
        "5 are loaded";
    dialogs.allow(shown).allow(loaded);
    auto display = boxesof([&] { fix().cmdbets.click(); });
    ASSERT_EQ(display.size(), 1u);
    EXPECT_EQ(display[0].prompt, shown);
    EXPECT_EQ(display[0].title, "Bets Input");
    ASSERT_EQ(fix().grdfix.rows(), 8);
    EXPECT_EQ(cell(5, 6), " 5");
    EXPECT_EQ(cell(7, 6), "15");
    fix().grdfix.clickcell(2, 1);
    auto removal = boxesof([&] { fix().cmdupdate.click(); });
    EXPECT_EQ(removal.size(), 1u);
    std::string left;
    for (int i = 1; i <= 12; ++i)
        if (i != 2) left += "2,1,1," + std::to_string(i) + "\r\n";
    EXPECT_EQ(betsfile("Round1", 1), left);
    EXPECT_EQ(betsfile("Round1", 1, true), left);
    EXPECT_EQ(cell(2, 6), " 3");
}

TEST_F(DamagedFilesTest, ErrorBoxesNameTheFileAndComeOncePerFilePerAction) {
    players(good);
    bettors("1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n");
    bets("Round1", 3, "2,1,1,5\r\n2,1,1,\"7\r\n");
    sh().curflightnbr = 3;
    dialogs.allow("Round1 3Bets");
    // The bettor screen's delete reads every Bets file and would rewrite them: one box names the
    // file and the line.
    show("frmbettor");
    pick(ctl("frmbettor", "cbobettornames"), "SMITH-JOHN");
    dialogs.answer(vbYes, "Delete SMITH-JOHN").allow("Round1 3Bets is empty");
    auto del = boxesof([&] { ctl("frmbettor", "cmddelete").click(); });
    ASSERT_EQ(del.size(), 2u);  // the question, then the one box
    EXPECT_EQ(del[1].prompt,
              "Round1 3Bets, line 2 holds a bad record of bettor SMITH-JOHN, so nothing was "
              "changed.\r\nCheck it "
              "with Fix Files on the main menu.");
    // A missing file is named too, as the old box with its second line (its backup gone too:
    // a lost file whose backup holds bettors is told of as damaged).
    ctl("frmbettor", "cmdreturn").click();
    std::filesystem::remove(folder.file("Bettors"));
    std::filesystem::remove(folder.file("Bettorsbackup"));
    dialogs.allow(" 53 File not found\r\nBettors");
    auto readonce = boxesof([&] { show("frmbettor"); });
    ASSERT_GE(readonce.size(), 1u);
    EXPECT_EQ(readonce[0].prompt, " 53 File not found\r\nBettors");
    EXPECT_EQ(readonce[0].title, "Bettors Input");
}

TEST_F(DamagedFilesTest, EveryScreenOpenedTellsOfABadBetsFileOnceAtMost) {
    players(good);
    bettors("1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n");
    bets("Round1", 1, "2,1,1,5\r\n2,1,\r\n2,1,2,3\r\n");
    sh().curround = "Round1";
    sh().curflightnbr = 1;
    sh().curflight = sh().flightnames[1];
    const std::string told = badline("Round1 1Bets", 2);
    dialogs.allow(told);
    for (const char* name :
         {"frmbet", "frmsheetg", "frmpay", "frmsummary", "frmfix", "frmentries", "frmbettor"}) {
        SCOPED_TRACE(name);
        auto opened = boxesof([&] { app->dispatch([&] { app->form(name).show(); }); });
        EXPECT_LE(opened.size(), 1u);
        for (const auto& b : opened) EXPECT_EQ(b.prompt, told);
        app->dispatch([&] { app->form(name).unload(); });
    }
    EXPECT_GE(dialogs.shown.size(), 3u);
}

}  // namespace
}  // namespace vt::test
