#include <filesystem>

#include "names/frmentries.h"
#include "namesfixture.h"

namespace vt::test {
namespace {

std::string pad(const std::string& s, size_t n) {
    return s + std::string(n > s.size() ? n - s.size() : 0, ' ');
}
std::string refund(const std::string& name, const std::string& amount) {
    return pad(name, 28) + amount;
}

class ScratchTest : public NamesTest {
  protected:
    void SetUp() override {
        bettors("1,\"AnyBettor\"\r\n2,\"BAKER-BOB\"\r\n3,\"COLE-CAT\"\r\n");
        players("1,1,\"\",\"SMITH-JOHN\"\r\n2,1,\"\",\"ADAMS-PAT\"\r\n3,3,\"\",\"JONES-MARY\"\r\n");
    }
    Control& ctl(const std::string& name) { return app->form("frmentries").control(name); }
    // Scratches the entry of that line; `after` is the box expected once the question is answered.
    void scratch(const std::string& line, const std::string& after) {
        pick(ctl("lstentries"), line);
        dialogs.answer(vbYes, "Scratch " + line).ok(after);
        ctl("cmdscratch").click();
    }
};

TEST_F(ScratchTest, RemovesEveryBetOnTheEntryAndListsEachRefund) {
    bets("Round1", 1, "2,1,1,2\r\n3,2,1,5\r\n1,1,2,3.5\r\n");
    bets("Round3", 1, "3,1,3,10\r\n");
    folder.write("Final 1Bets", "9,1,1,4\r\n");  // a bettor deleted since; its backup is missing
    show("frmentries");
    scratch("FLT-A     SMITH-JOHN", "FLT-A     SMITH-JOHN Scratched");

    EXPECT_EQ(betsfile("Round1", 1), "3,2,1,5\r\n");
    EXPECT_EQ(betsfile("Round1", 1, true), "3,2,1,5\r\n");
    EXPECT_EQ(betsfile("Round3", 1), "");
    EXPECT_EQ(betsfile("Final", 1, true), "");
    EXPECT_TRUE(folder.exists("Round2 7Bets"));
    EXPECT_TRUE(folder.exists("Final 15Betsbackup"));
    EXPECT_EQ(folder.read("Players"), "2,1,\"\",\"ADAMS-PAT\"\r\n3,3,\"\",\"JONES-MARY\"\r\n");
    EXPECT_EQ(listof(ctl("lstentries")),
              (std::vector<std::string>{"FLT-A     ADAMS-PAT", "FLT-C     JONES-MARY"}));

    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.lines(0),
              (std::vector<std::string>{"REFUND BETS ON FLT-A     SMITH-JOHN", " ",
                                        "Bettor Name                  Amount", " ",
                                        refund("BAKER-BOB", "$2.00"), refund("AnyBettor", "$3.50"),
                                        refund("COLE-CAT", "$10.00"), refund("9", "$4.00")}));
    // The current flight stays the one the operator picked.
    EXPECT_EQ(sh().curflightnbr, 1);
    EXPECT_EQ(sh().curflight, "FLT-A     ");

    // The selection went with the entry: a second scratch needs a new click.
    dialogs.answer(vbOK, "Must select a player/team first");
    ctl("cmdscratch").click();
    EXPECT_EQ(dialogs.shown.back().title, "Must select a player/team first");
    EXPECT_EQ(printed.docs.size(), 1u);
}

TEST_F(ScratchTest, KeepsBetsOnUnknownEntriesInOrderAndRefusesToRewriteOthersBadRecords) {
    const std::string withbad = "2,77,1,5\r\n\"x\",5,1,2\r\n2,1,1,2\r\n2,abc,1,1\r\n3,2,2,1\r\n";
    bets("Round2", 2, withbad);
    // A backup that differs from its Bets file, in a pair the scratch does not touch otherwise.
    folder.write("Final 7Bets", "3,2,1,4\r\n");
    folder.write("Final 7Betsbackup", "3,2,1,4\r\n3,2,1,9\r\n");
    show("frmentries");
    // Another bettor's bad record in a file the scratch would rewrite: nothing changes.
    scratch("FLT-A     SMITH-JOHN",
            "Round2 2Bets, line 2 holds a bad record, so nothing was changed");
    EXPECT_EQ(betsfile("Round2", 2), withbad);
    EXPECT_EQ(betsfile("Final", 7, true), "3,2,1,4\r\n3,2,1,9\r\n");
    // With the bad lines removed the scratch goes through and keeps the others in order.
    bets("Round2", 2, "2,77,1,5\r\n2,1,1,2\r\n3,2,2,1\r\n");
    scratch("FLT-A     SMITH-JOHN", "Scratched");
    EXPECT_EQ(betsfile("Round2", 2), "2,77,1,5\r\n3,2,2,1\r\n");
    EXPECT_EQ(betsfile("Round2", 2, true), betsfile("Round2", 2));
    EXPECT_EQ(betsfile("Final", 7), "3,2,1,4\r\n");
    EXPECT_EQ(betsfile("Final", 7, true), "3,2,1,4\r\n");
}

TEST_F(ScratchTest, ABadRecordOfTheScratchedEntryStopsItBeforeAnyWrite) {
    // An empty bettor field, a quoted bettor, a cut-short line: each names entry 1.
    for (const std::string bad : {",1,1,3\r\n", "\"x\",1,1,2\r\n", "2,1,1\r\n"}) {
        SCOPED_TRACE(bad);
        bets("Round1", 1, "2,1,1,2\r\n");
        folder.write("Round3 4Bets", "3,2,1,1\r\n" + bad);
        folder.write("Round3 4Betsbackup", "");
        show("frmentries");
        scratch("FLT-A     SMITH-JOHN", "Round3 4Bets, line 2 holds a bad record of SMITH-JOHN");
        EXPECT_EQ(betsfile("Round1", 1), "2,1,1,2\r\n");
        EXPECT_EQ(betsfile("Round3", 4), "3,2,1,1\r\n" + bad);
        EXPECT_EQ(betsfile("Round3", 4, true), "");
        EXPECT_EQ(folder.read("Players").substr(0, 20), "1,1,\"\",\"SMITH-JOHN\"\r");
        ctl("cmdmainmenu").click();
    }
    EXPECT_TRUE(printed.docs.empty());
}

TEST_F(ScratchTest, EveryFileIsReadBeforeARefusalAndTheEntrysOwnBadRecordIsToldFirst) {
    // An earlier pair that would be rewritten around another bettor's bad line, and a later
    // pair with a bad line of the scratched entry: the entry's own is told.
    bets("Round1", 1, "2,1,1,2\r\n2,abc,1,1\r\n");
    folder.write("Final 9Bets", "3,2,1,1\r\n\"x\",1,1,2\r\n");
    show("frmentries");
    scratch("FLT-A     SMITH-JOHN", "Final 9Bets, line 2 holds a bad record of SMITH-JOHN");
    // A file that cannot be read stops it though it comes after that bad record.
    folder.write("Final 9Bets", "3,2,1,1\r\n");
    bets("Round1", 3, "\"x\",1,1,2\r\n");
    std::filesystem::create_directory(folder.file("Final 15Bets"));
    scratch("FLT-A     SMITH-JOHN", "Path/File access error");
    EXPECT_EQ(betsfile("Round1", 1), "2,1,1,2\r\n2,abc,1,1\r\n");
    EXPECT_TRUE(printed.docs.empty());
}

TEST_F(ScratchTest, AnEntryWithoutBetsPrintsOnlyTheHeadingAndPrintingOffPrintsNothing) {
    bets("Round1", 3, "2,3,1,2\r\n");
    show("frmentries");
    scratch("FLT-A     ADAMS-PAT", "Scratched");
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.lines(0).size(), 4u);
    EXPECT_EQ(betsfile("Round1", 3), "2,3,1,2\r\n");

    sh().printswitch = "no";
    scratch("FLT-C     JONES-MARY", "Scratched");
    EXPECT_EQ(betsfile("Round1", 3), "");
    EXPECT_EQ(printed.docs.size(), 1u);
}

TEST_F(ScratchTest, WithoutAClickNothingHappens) {
    show("frmentries");
    dialogs.ok("Must select a player/team first");
    ctl("cmdscratch").click();
    EXPECT_FALSE(folder.exists("Round1 1Bets"));
    EXPECT_TRUE(printed.docs.empty());
}

TEST_F(ScratchTest, AFileThatCannotBeReadWholeStopsItBeforeAnyWrite) {
    bets("Round1", 1, "2,1,1,2\r\n");
    folder.write("Round2 4Bets", "2,1,1\r\n");
    show("frmentries");
    scratch("FLT-A     SMITH-JOHN", "Round2 4Bets, line 1 holds a bad record");
    EXPECT_EQ(dialogs.shown.back().title, "Bets Input");
    EXPECT_EQ(betsfile("Round1", 1), "2,1,1,2\r\n");
    EXPECT_FALSE(folder.exists("Round1 2Bets"));
    EXPECT_EQ(folder.read("Players").substr(0, 20), "1,1,\"\",\"SMITH-JOHN\"\r");
    EXPECT_TRUE(printed.docs.empty());
}

TEST_F(ScratchTest, APlayersFileNotReadWholeStopsItBeforeAnyWrite) {
    players("1,1,\"\",\"SMITH-JOHN\"\r\nX,1,\"\",\"BAD\"\r\n");
    bets("Round1", 1, "2,1,1,2\r\n");
    dialogs.ok("Type mismatch");
    show("frmentries");
    // The refusal names the bad line, as the reading did.
    scratch("FLT-A     SMITH-JOHN", "Players, line 2");
    EXPECT_EQ(dialogs.shown.back().prompt,
              " 13 Type mismatch\r\nPlayers, line 2\r\nCheck it with Fix Files on the main menu.");
    EXPECT_EQ(betsfile("Round1", 1), "2,1,1,2\r\n");
    EXPECT_FALSE(folder.exists("Round1 2Bets"));
}

TEST_F(ScratchTest, AWriteFailureLeavesEveryFileAsBeforeAndRefundsNothing) {
    bets("Round1", 1, "2,1,1,2\r\n3,2,1,1\r\n");
    folder.write("Round3 1Bets", "3,1,3,10\r\n");
    std::filesystem::create_directories(folder.file("Round3 1Betsbackup/blocked"));
    bets("Final", 2, "2,1,1,6\r\n");
    show("frmentries");
    scratch("FLT-A     SMITH-JOHN", "");  // then the file-error box
    EXPECT_EQ(dialogs.shown.back().title, "Betsbackup Output");
    EXPECT_EQ(betsfile("Round1", 1), "2,1,1,2\r\n3,2,1,1\r\n");
    EXPECT_EQ(betsfile("Round1", 1, true), "2,1,1,2\r\n3,2,1,1\r\n");
    EXPECT_EQ(betsfile("Round3", 1), "3,1,3,10\r\n");
    EXPECT_EQ(betsfile("Final", 2), "2,1,1,6\r\n");
    EXPECT_FALSE(folder.exists("Final 5Bets"));
    // The entry stays, so the scratch can be done again once the file is mended.
    EXPECT_NE(folder.read("Players").find("SMITH-JOHN"), std::string::npos);
    EXPECT_TRUE(printed.docs.empty());
}

}  // namespace
}  // namespace vt::test
