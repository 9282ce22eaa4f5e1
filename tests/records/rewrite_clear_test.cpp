// Rewriting Bets files, restoring backups and clearing a flight's bets with its refund list.
#include "faultseam.h"
#include "records/records.h"
#include "recordstest.h"

namespace vt::test {
namespace {

const std::string five = "1,1,1,5\r\n2,1,2,2.5\r\n3,1,3,0.75\r\n4,1,1,9999\r\n5,1,1,1\r\n";

class Rewrite : public RecordsTest {
  protected:
    void SetUp() override {
        sh().curround = "Final";
        sh().curflightnbr = 12;
        sh().curflight = "BLUE      ";
        folder.write("Players", "1,12,\"\",\"ONE\"\r\n");
        folder.write("Bettors", "1,\"AnyBettor\"\r\n7,\"SEVEN\"\r\n12,\"TWELVE\"\r\n");
        readentries(cx);
    }
};

TEST_F(Rewrite, DropsExactlyTheChosenBetAndKeepsA9999Amount) {
    folder.write("Final 12Bets", five);
    folder.write("Final 12Betsbackup", "stale");
    loadbets(cx);
    sh().dropbet = 3;
    writebets(cx);
    std::string expect = "1,1,1,5\r\n2,1,2,2.5\r\n4,1,1,9999\r\n5,1,1,1\r\n";
    EXPECT_EQ(folder.read("Final 12Bets"), expect);
    EXPECT_EQ(folder.read("Final 12Betsbackup"), expect);
    EXPECT_EQ(sh().dropbet, 99999);
    loadbets(cx);
    writebets(cx);
    EXPECT_EQ(folder.read("Final 12Betsbackup"), expect);
}

TEST_F(Rewrite, EmptyTableEmptiesBothFilesButExportWritesNothing) {
    folder.write("Final 12Bets", "");
    loadbets(cx);
    writebets(cx);
    EXPECT_EQ(folder.read("Final 12Betsbackup"), "");
    sh().datapath = "C:\\Vantrope\\Export\\";
    sh().dropbet = 1;
    exportbets(cx);
    EXPECT_FALSE(folder.exists("Export"));
    EXPECT_EQ(sh().dropbet, 99999);
}

TEST_F(Rewrite, RefusedAfterAnIncompleteReadAndDropBetStillReset) {
    std::string file = "1,1,1,5\r\n1,44,1,5\r\n1,1,1,5\r\n";
    folder.write("Final 12Bets", file);
    sumbets(cx);
    sh().dropbet = 1;
    dialogs.ok("Fix Files");
    writebets(cx);
    EXPECT_EQ(folder.read("Final 12Bets"), file);
    EXPECT_EQ(sh().dropbet, 99999);
}

TEST_F(Rewrite, FailedWriteReportsAndResetsDropBet) {
    folder.write("Final 12Bets", five);
    loadbets(cx);
    sh().fileop = "Export";
    sh().datapath = "C:\\Vantrope\\NoSuchFolder\\";
    sh().dropbet = 2;
    dialogs.ok(" 76 Path not found");
    exportbets(cx);
    EXPECT_EQ(dialogs.shown.at(0).title, "Export");
    EXPECT_FALSE(sh().fileok);
    EXPECT_EQ(sh().dropbet, 99999);
}

TEST_F(Rewrite, RestoreCopiesOnlyWhatIsAnswered) {
    folder.write("Final 12Bets", "1,1,1,5\r\n");
    folder.write("Final 12Betsbackup", five);
    folder.write("Playersbackup", "");
    dialogs.answer(vbNo).answer(vbNo).answer(vbNo);
    restorebackups(cx);
    EXPECT_EQ(folder.read("Final 12Bets"), "1,1,1,5\r\n");
    dialogs.answer(vbYes, "Replace flight BLUE       Bets with Betsbackup?")
        .ok("Bet file replaced");
    dialogs.answer(vbNo).answer(vbYes, "Bettors").ok(" 53 File not found");
    restorebackups(cx);
    EXPECT_EQ(folder.read("Final 12Bets"), five);
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n7,\"SEVEN\"\r\n12,\"TWELVE\"\r\n");
}

// A restore whose commit fails shows the box titled with the label the last operation left, says
// nothing was replaced, asks nothing more and leaves the data file as it was.
TEST_F(Rewrite, ARestoreThatCannotBeCommittedReplacesNothing) {
    folder.write("Final 12Bets", "1,1,1,5\r\n");
    folder.write("Final 12Betsbackup", five);
    const std::string question = "Replace flight BLUE       Bets with Betsbackup?";
    // Where the restore's commit starts, counted from the seam's reset.
    faults(cx.files()).setfault({});
    dialogs.answer(vbYes, question).ok("Bet file replaced").answer(vbNo).answer(vbNo);
    restorebackups(cx);
    ASSERT_EQ(faults(cx.files()).commitspans().size(), 1u);
    long start = faults(cx.files()).commitspans()[0].first;
    folder.write("Final 12Bets", "1,1,1,5\r\n");

    sh().fileop = "Bets Input";
    faults(cx.files()).setfault({Fault::Fail, start, EIO, true});
    dialogs.answer(vbYes, question).ok(" 57 Device I/O error");
    restorebackups(cx);
    faults(cx.files()).setfault({});
    EXPECT_EQ(dialogs.shown.back().title, "Bets Input");
    EXPECT_FALSE(sh().fileok);
    EXPECT_EQ(folder.read("Final 12Bets"), "1,1,1,5\r\n");
}

TEST_F(Rewrite, ClearingPrintsOneRefundLinePerBettorAndRemovesThePair) {
    sh().printswitch = "yes";
    // Bettor 1's bets add up to nothing: no line for it.
    folder.write("Final 12Bets",
                 "7,1,1,2\r\n12,1,1,10\r\n7,1,2,3\r\n1,1,1,0\r\n30,1,1,1.5\r\n7,1,3,5\r\n");
    folder.write("Final 12Betsbackup", "x");
    sumbets(cx);
    dialogs.answer(vbYes, "Click Yes to clear Final Flight BLUE       Bets ")
        .answer(vbYes, "Print refunds?");
    dialogs.ok("Final Flight BLUE       Bets Cleared");
    clearflightbets(cx);
    ASSERT_EQ(printed.docs.size(), 1u);
    std::vector<std::string> expect = {
        "REFUND BETS FOR Final Flight BLUE      ",
        " ",
        "Bettor Name                  Amount",
        " ",
        "SEVEN                       $10.00",
        "TWELVE                      $10.00",
        "30                          $1.50",
        " ",
        "TOTAL BETS $21.50",
    };
    EXPECT_EQ(printed.lines(0), expect);
    EXPECT_FALSE(folder.exists("Final 12Bets"));
    EXPECT_FALSE(folder.exists("Final 12Betsbackup"));
    EXPECT_EQ(sh().bets(1).amount, Money());
    EXPECT_EQ(sh().summ(1).win, Money());
    EXPECT_EQ(sh().summ(1).oddswin, "0");
    EXPECT_EQ(sh().betcount, 1);

    // At once again: the pair is created empty and nothing else happens.
    dialogs.answer(vbYes).ok("Bets already cleared");
    clearflightbets(cx);
    EXPECT_EQ(folder.read("Final 12Bets"), "");
    EXPECT_EQ(folder.read("Final 12Betsbackup"), "");
}

TEST_F(Rewrite, ClearingWithPrintingOffOrAnsweredNo) {
    folder.write("Final 12Bets", "7,1,1,2\r\n");
    dialogs.answer(vbNo);
    clearflightbets(cx);
    EXPECT_TRUE(folder.exists("Final 12Bets"));
    dialogs.answer(vbYes).answer(vbYes, "Print refunds?").ok("Cleared");
    clearflightbets(cx);
    EXPECT_TRUE(printed.docs.empty());
    EXPECT_FALSE(folder.exists("Final 12Bets"));
}

TEST_F(Rewrite, UnreadableBetsAreNotCleared) {
    folder.write("Final 12Bets", "7,1,1,2\r\n7,1,1,abc\r\n");
    dialogs.answer(vbYes).ok(" 13 Type mismatch");
    clearflightbets(cx);
    EXPECT_TRUE(folder.exists("Final 12Bets"));
}

}  // namespace
}  // namespace vt::test
