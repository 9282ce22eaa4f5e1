// Placing bets into Bets files whose last line lacks its line end, is cut short, or that hold a
// line no reader takes whole: the exact bytes after each click, and the boxes shown.
#include <functional>

#include "betfixture.h"

namespace vt::test {

class DamagedBetsTest : public BetTest {
  protected:
    // Opens the screen with the bettor chosen and flights 1 and 3 on the board.
    void start() {
        open();
        tick(1);
        tick(3);
        pickbettor("SMITH-BOB");
    }
    size_t boxes() const { return dialogs.shown.size(); }
    // start() and picking entry 7, each action showing one box at most.
    void startwithonebox() {
        for (const std::function<void()>& action : std::vector<std::function<void()>>{
                 [&] { open(); }, [&] { tick(1); }, [&] { tick(3); },
                 [&] { pickbettor("SMITH-BOB"); }, [&] { pickentry(7); }}) {
            size_t before = boxes();
            action();
            EXPECT_LE(boxes(), before + 1);
        }
    }
    const std::string mismatch = " 13 Type mismatch\r\nRound1 3Bets, line ";
};

TEST_F(DamagedBetsTest, AppendCompletesALastRecordWithoutItsLineEndInBothFiles) {
    // The last record is whole; only its line end is missing. Trailing blank lines are the end.
    bets(3, "2,8,1,3\r\n12,7,3,1.25");
    folder.write(betsname(3, "Round1", true), "2,8,1,3\r\n12,7,3,1.25\r\n\r\n  \r\n");
    start();
    EXPECT_EQ(boxes(), 0u);
    place(7, "cmdwin", {2});
    EXPECT_EQ(betsfile(3), "2,8,1,3\r\n12,7,3,1.25\r\n12,7,1,1\r\n");
    EXPECT_EQ(backupfile(3), betsfile(3));
    EXPECT_EQ(lines("lstbetsprior").back(),
              "FLIGHT C  CARTER" + std::string(13, ' ') + " $01.00 W");
    // The next bet is a plain append.
    c("cmdpay").click();
    pickbettor("JONES-AL");
    place(8, "cmdplace", {1});
    EXPECT_EQ(betsfile(3), "2,8,1,3\r\n12,7,3,1.25\r\n12,7,1,1\r\n2,8,2,0.25\r\n");
    EXPECT_EQ(backupfile(3), betsfile(3));
    EXPECT_EQ(boxes(), 0u);
}

TEST_F(DamagedBetsTest, ALineThatIsNotARecordBlocksTheAppendWithOneBoxNamingIt) {
    struct Case {
        std::string file;
        long line;
    };
    const Case cases[] = {
        {"2,8,1,3\r\n12,7,", 2},                   // cut mid-record, no line end
        {"2,8,1,3\r\n12,7,3,\"1.25\r\n", 2},       // a quote left open
        {"9,1,1,2\"\r\n2,8,1,3\r\n", 1},           // a stray quote
        {"2,8,1,3\r\n\r\n12,8,1,2\r\n", 2},        // an empty line between records
        {"2,8,1,3\r\n2,8,1,3,4\r\n", 2},           // a field too many
        {"2,8,1,3\r\n2,7,1,abc\r\n", 2},           // an amount that is no number
        {"2,7,1,99999999999999999999999\r\n", 1},  // a number out of range
        {"2,8,1,3\r\n2,x,1,3\r\n", 2},             // an entry that is no number
        {"2,8,1,3\r\n12,7,3,\r\n", 2},             // cut after its last comma
        {"2,8,,3\r\n", 1},                         // a number field left empty
        {std::string("\xff\xfe"
                     "2\0,\0"
                     "8\0,\0"
                     "1\0,\0"
                     "3\0\r\0\n\0",
                     20),
         1},  // UTF-16
    };
    dialogs.allow(mismatch);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.file);
        bets(3, k.file);
        // Every action that reads the file tells of it at most once, always the same way.
        auto act = [&](const std::function<void()>& action) {
            size_t before = boxes();
            action();
            EXPECT_LE(boxes(), before + 1);
        };
        act([&] { open(); });
        act([&] { tick(1); });
        act([&] { tick(3); });
        act([&] { pickbettor("SMITH-BOB"); });
        act([&] { pickentry(7); });
        c("cmdwin").click();
        c("cmdbamount", 2).click();
        for (const auto& b : dialogs.shown) {
            EXPECT_EQ(b.prompt, mismatch + std::to_string(k.line) +
                                    "\r\nCheck it with Fix Files on the main menu.");
            EXPECT_EQ(b.title, "Bets Input");
        }
        size_t listed = lines("lstbetsprior").size(), before = boxes();
        c("cmddone").click();
        ASSERT_EQ(boxes(), before + 1);
        EXPECT_EQ(dialogs.shown.back().title, "Bets Append");
        EXPECT_EQ(dialogs.shown.back().prompt, dialogs.shown.front().prompt);
        // Nothing was written, listed or offered for payment.
        EXPECT_EQ(betsfile(3), k.file);
        EXPECT_EQ(backupfile(3), k.file);
        EXPECT_EQ(lines("lstbetsprior").size(), listed);
        EXPECT_FALSE(c("cmdpay").visible());
        app->form("frmbet").unload();
        dialogs.shown.clear();
    }
}

TEST_F(DamagedBetsTest, ARecordCutAfterItsLastCommaIsNoBetOfNothing) {
    // The amount and the line end lost; the backup still holds the $2 bet.
    folder.write(betsname(1), "2,2,1,");
    folder.write(betsname(1, "Round1", true), "2,2,1,2\r\n");
    const std::string told =
        " 13 Type mismatch\r\nRound1 1Bets, line 1\r\nCheck it with Fix Files on the main menu.";
    dialogs.allow(told);
    open();
    tick(1);
    pickbettor("JONES-AL");
    ASSERT_GE(boxes(), 1u);
    for (const auto& b : dialogs.shown) {
        EXPECT_EQ(b.prompt, told);
        EXPECT_EQ(b.title, "Bets Input");
    }
    // No bet of $0 is listed or summed.
    EXPECT_TRUE(lines("lstbetsprior").empty());
    dialogs.shown.clear();
    place(1, "cmdwin", {2});
    ASSERT_EQ(boxes(), 2u);  // the entry's flight read again, then the refused append
    EXPECT_EQ(dialogs.shown[1].prompt, told);
    EXPECT_EQ(dialogs.shown[1].title, "Bets Append");
    EXPECT_EQ(betsfile(1), "2,2,1,");
    EXPECT_EQ(backupfile(1), "2,2,1,2\r\n");
    EXPECT_FALSE(c("cmdpay").visible());
}

TEST_F(DamagedBetsTest, AnEmptiedBetsFileTakesNoBetUntilItsBackupIsPutBack) {
    folder.write(betsname(3), "");
    folder.write(betsname(3, "Round1", true), "2,8,1,3\r\n");
    const std::string told =
        " 62 Input past end of file\r\nRound1 3Bets\r\nRound1 3Bets is empty, but Round1 "
        "3Betsbackup holds records: it may be damaged, so nothing is written over it.\r\nPut the "
        "backup in its place with Use Backup Files on the main menu.";
    dialogs.allow(told);
    startwithonebox();
    ASSERT_GE(boxes(), 1u);
    for (const auto& b : dialogs.shown) EXPECT_EQ(b.prompt, told);
    dialogs.shown.clear();
    c("cmdwin").click();
    c("cmdbamount", 2).click();
    c("cmddone").click();
    // The count of the flight's bets, read before the append, refuses it.
    ASSERT_EQ(boxes(), 1u);
    EXPECT_EQ(dialogs.shown[0].prompt, told);
    EXPECT_EQ(dialogs.shown[0].title, "Bets Input");
    EXPECT_EQ(betsfile(3), "");
    EXPECT_EQ(backupfile(3), "2,8,1,3\r\n");
    EXPECT_FALSE(c("cmdpay").visible());
    // Use Backup Files on the menu puts the backup in its place; then the bet goes in.
    app->form("frmbet").unload();
    Form& menu = app->form("frmmenu");
    menu.show();
    menu.control("cmdbackup").click();
    dialogs.answer(vbYes, "Replace flight")
        .ok("Bet file replaced with Betsbackup file")
        .answer(vbNo, "Replace Players")
        .answer(vbNo, "Replace Bettors");
    menu.control("optflight", 3).click();
    dialogs.shown.clear();
    sh().curflightnbr = 1;
    start();
    place(7, "cmdwin", {2});
    EXPECT_EQ(boxes(), 0u);
    EXPECT_EQ(betsfile(3), "2,8,1,3\r\n12,7,1,1\r\n");
    EXPECT_EQ(backupfile(3), betsfile(3));
}

TEST_F(DamagedBetsTest, ABadBackupBlocksTheBetInBothFiles) {
    bets(3, "2,8,1,3\r\n");
    folder.write(betsname(3, "Round1", true), "2,8,1,3\r\n2,8,");
    start();
    dialogs.ok("Round1 3Betsbackup, line 2");
    place(7, "cmdwin", {2});
    ASSERT_EQ(boxes(), 1u);
    EXPECT_EQ(dialogs.shown[0].prompt,
              " 13 Type mismatch\r\nRound1 3Betsbackup, line 2\r\nCheck it with Fix Files on the "
              "main menu.");
    EXPECT_EQ(dialogs.shown[0].title, "Betsbackup Append");
    EXPECT_EQ(betsfile(3), "2,8,1,3\r\n");
    EXPECT_EQ(backupfile(3), "2,8,1,3\r\n2,8,");
}

TEST_F(DamagedBetsTest, AFileFullerThanTheCapacityIsToldOfOncePerActionAndTakesNoBet) {
    sh().maxbets = 4;
    sh().sizetables();
    std::string file;
    for (int i = 0; i < 6; ++i) file += "2,7,1,1\r\n";
    bets(3, file);
    const std::string full =
        "Round1 3Bets holds more bets than the setup's bet capacity (maxbets = 4): only the first "
        "4 are "
        "loaded, and the file is not rewritten.";
    dialogs.allow(full);
    // Opening the screen, picking the bettor (whose prior bets are read from all 15 flights) and
    // the entry: each tells of the file once at most, never as an error of the table.
    startwithonebox();
    EXPECT_TRUE(dialogs.saw(full));
    for (const auto& b : dialogs.shown) {
        EXPECT_EQ(b.prompt, full);
        EXPECT_EQ(b.title, "Bets Input");
    }
    // The first four bets are loaded and summed, but a pool summed from part of its file gives
    // no odds: entry 7 is on the board without any.
    EXPECT_EQ(sh().summ(7).win, Money::dollars(4));
    EXPECT_EQ(sh().summ(7).oddswin, "");
    int line = c("lstentries").findbydata(7);
    ASSERT_GE(line, 0);
    EXPECT_EQ(c("lstentries").list(line).find('/'), std::string::npos)
        << c("lstentries").list(line);
    dialogs.ok("Maximum number of bets exceeded");
    c("cmdwin").click();
    c("cmdbamount", 2).click();
    c("cmddone").click();
    EXPECT_EQ(betsfile(3), file);
}

TEST_F(DamagedBetsTest, AFileLargerThanAnyOfItsCapacityIsRefusedUnreadOncePerAction) {
    sh().maxbets = 4;
    sh().sizetables();
    // One line without a line end, longer than six records can be.
    const std::string huge = "2,7,1," + std::string(7000, '1');
    bets(3, huge);
    const std::string refused = " 7 Out of memory\r\nRound1 3Bets";
    dialogs.allow(refused);
    for (const std::function<void()>& action :
         std::vector<std::function<void()>>{[&] { open(); }, [&] { tick(1); }, [&] { tick(3); },
                                            [&] { pickbettor("SMITH-BOB"); }}) {
        size_t before = boxes();
        action();
        EXPECT_LE(boxes(), before + 1);
    }
    ASSERT_GE(boxes(), 1u);
    for (const auto& b : dialogs.shown) {
        EXPECT_EQ(b.prompt, refused);
        EXPECT_EQ(b.title, "Bets Input");
    }
    // The bet is not placed: both files stay byte for byte.
    dialogs.allow("");
    place(7, "cmdwin", {2});
    EXPECT_EQ(betsfile(3), huge);
    EXPECT_EQ(backupfile(3), huge);
    EXPECT_FALSE(c("cmdpay").visible());
}

}  // namespace vt::test
