// Bets files: loading, pool totals, the missing pair, and the WIN odds that end a sum.
#include "records/records.h"
#include "recordstest.h"

namespace vt::test {
namespace {

Money d(double x) { return Money::fromdouble(x); }

class BetsFiles : public RecordsTest {
  protected:
    void SetUp() override {
        folder.write("Players",
                     "3,2,\"\",\"THREE\"\r\n7,2,\"\",\"SEVEN\"\r\n9,4,\"\",\"NINE\"\r\n");
        readentries(cx);
        sh().curround = "Round1";
        sh().curflightnbr = 2;
    }
};

TEST_F(BetsFiles, WinAndBoardBetsFillTheirRowsAndTotals) {
    folder.write("Round1 2Bets", "1,7,1,5\r\n4,3,1,2\r\n4,3,2,2\r\n4,3,3,2\r\n");
    sumbets(cx);
    const SummRow& r7 = sh().summ(7);
    const SummRow& r3 = sh().summ(3);
    const SummRow& tot = sh().summ(sh().maxplayers + 1);
    EXPECT_EQ((std::vector<Money>{r7.win, r7.place, r7.show, r7.total}),
              (std::vector<Money>{d(5), d(0), d(0), d(5)}));
    EXPECT_EQ((std::vector<Money>{r3.win, r3.place, r3.show, r3.total}),
              (std::vector<Money>{d(2), d(2), d(2), d(6)}));
    EXPECT_EQ((std::vector<Money>{tot.win, tot.place, tot.show, tot.total}),
              (std::vector<Money>{d(7), d(2), d(2), d(11)}));
    EXPECT_EQ(sh().betcount, 5);
    EXPECT_EQ(sh().bets(5).amount, d(9999));
    EXPECT_EQ(sh().summ(1).win, d(0));
    // WIN pool 7: entry 7 with 5 gets 1/1 (7/5 rounds to 1); entry 3 with 2 gets 4/1 (3.5 -> 4).
    EXPECT_EQ(r7.oddswin, " 1/ 1");
    EXPECT_EQ(r3.oddswin, " 4/ 1");
    EXPECT_EQ(sh().summ(9).oddswin, "");  // another flight: no money, no odds
}

TEST_F(BetsFiles, BetOnAnotherFlightsEntryGoesToThatFlightsPool) {
    folder.write("Round1 2Bets", "1,9,2,3.5\r\n1,7,4,8\r\n");
    sumbets(cx);
    EXPECT_EQ(sh().flightpool[4][2], d(3.5));
    EXPECT_EQ(sh().flightpool[2][2], d(0));
    EXPECT_EQ(sh().betcount, 3);  // the type 4 bet is loaded but counted nowhere
    EXPECT_EQ(sh().summ(7).total, d(0));
}

TEST_F(BetsFiles, MissingPairIsCreatedEmptyByTheSumOnly) {
    sh().curround = "Round2";
    sh().curflightnbr = 10;
    sumbetsall(cx);
    EXPECT_FALSE(folder.exists("Round2 10Bets"));
    sumbets(cx);
    EXPECT_EQ(folder.read("Round2 10Bets"), "");
    EXPECT_EQ(folder.read("Round2 10Betsbackup"), "");
    EXPECT_EQ(sh().betcount, 1);
    EXPECT_EQ(sh().summ(sh().maxplayers + 1).total, d(0));
}

TEST_F(BetsFiles, MakeBetsFilesNeverEmptiesAnExistingBackup) {
    folder.write("Round1 2Betsbackup", "1,7,1,5\r\n");
    // A Bets file lost while its backup holds bets is told of, and not made anew as empty.
    dialogs.ok(
        " 53 File not found\r\nRound1 2Bets\r\nRound1 2Bets is missing, but Round1 "
        "2Betsbackup holds records");
    EXPECT_FALSE(sumbets(cx));
    EXPECT_FALSE(sh().betscomplete);
    EXPECT_FALSE(folder.exists("Round1 2Bets"));
    EXPECT_EQ(folder.read("Round1 2Betsbackup"), "1,7,1,5\r\n");
    // makebetsfiles itself makes only the missing one.
    makebetsfiles(cx);
    EXPECT_EQ(folder.read("Round1 2Bets"), "");
    EXPECT_EQ(folder.read("Round1 2Betsbackup"), "1,7,1,5\r\n");
    sh().fileop = "Players Input";  // only a Bets read creates files
    sh().curflightnbr = 3;
    makebetsfiles(cx);
    EXPECT_FALSE(folder.exists("Round1 3Bets"));
}

TEST_F(BetsFiles, UnknownEntryStopsTheSumAndBlocksTheRewrite) {
    folder.write("Round1 2Bets", "1,7,1,5\r\n1,12,1,5\r\n1,3,1,5\r\n");
    sumbets(cx);
    EXPECT_EQ(sh().dataerror, 1);
    EXPECT_EQ(sh().summ(7).win, d(5));
    EXPECT_EQ(sh().summ(3).win, d(0));
    EXPECT_EQ(sh().summ(7).oddswin, " ");  // no odds step
    EXPECT_FALSE(sh().betscomplete);
}

TEST_F(BetsFiles, SumAllCountsAnUnknownEntryThenStopsWithTheBox) {
    folder.write("Round1 2Bets", "1,7,1,5\r\n1,500,1,5\r\n1,7,1,5\r\n");
    resetsumm(sh());
    dialogs.ok(" 9 Subscript out of range");
    sumbetsall(cx);
    EXPECT_EQ(dialogs.shown.at(0).title, "Bets Input");
    EXPECT_EQ(sh().dataerror, 1);
    EXPECT_EQ(sh().summ(500).win, d(5));
    EXPECT_EQ(sh().summ(7).win, d(5));
    EXPECT_FALSE(sh().betscomplete);
}

TEST_F(BetsFiles, CutShortRecordIsReportedNotACrash) {
    folder.write("Round1 2Bets", "1,7,1,5\r\n1,7,\"x\",5\r\n");
    dialogs.ok(" 13 Type mismatch");
    sumbets(cx);
    EXPECT_EQ(dialogs.shown.at(0).title, "Bets Input");
    EXPECT_EQ(sh().betcount, 2);
    // A line with fewer fields than a bet is not read on into the next line.
    folder.write("Round1 2Bets", "1,7,1,5\r\n1,7\r\n2,7,1,5\r\n");
    dialogs.ok(" 13 Type mismatch");
    loadbets(cx);
    EXPECT_FALSE(sh().betscomplete);
}

TEST_F(BetsFiles, LoadBetsTakesEverythingAndCreatesNothing) {
    folder.write("Round1 2Bets", "1,99,7,1\r\n2,7,1,2.25\r\n");
    loadbets(cx);
    EXPECT_EQ(sh().betcount, 3);
    EXPECT_EQ(sh().bets(2).amount, d(2.25));
    EXPECT_EQ(sh().dataerror, 0);
    sh().curflightnbr = 5;
    dialogs.ok(" 53 File not found");
    loadbets(cx);
    EXPECT_FALSE(folder.exists("Round1 5Bets"));
}

TEST_F(BetsFiles, FileLargerThanTheTableIsReported) {
    sh().maxbets = 2;
    sh().sizetables();
    readentries(cx);
    folder.write("Round1 2Bets", "1,7,1,5\r\n1,7,1,5\r\n1,7,1,5\r\n");
    dialogs.ok(
        "Round1 2Bets holds more bets than the setup's bet capacity (maxbets = 2): only "
        "the first 2 are loaded");
    sumbets(cx);
    EXPECT_EQ(sh().summ(7).win, d(10));
    EXPECT_FALSE(sh().betscomplete);
    EXPECT_EQ(dialogs.shown.back().title, "Bets Input");
}

}  // namespace
}  // namespace vt::test
