// Export to a removable drive on one computer, import on another.
#include <algorithm>
#include <cstdlib>

#include "setuptest.h"

using namespace vt;

namespace {

const char* const kExportPrompt = "Enter target export drive letter.";

class Transfer : public vt::test::SetupTest {
  protected:
    vt::test::TempFolder drive;
    void SetUp() override {
        setenv("VANTROPE_DRIVE_E", drive.path().c_str(), 1);
        tomenu();
        app->form("frmmenu").control("cmdinit").click();
    }
    void TearDown() override {
        unsetenv("VANTROPE_DRIVE_E");
        vt::test::SetupTest::TearDown();
    }
    void exportto(const std::string& letter = "e") {
        dialogs.type(letter, kExportPrompt)
            .ok("Insert blank disk into drive E. Click OK when ready.")
            .ok("All Bets, Entries, and Bettors written to drive E:");
        init().control("cmdexport").click();
    }
    // Starts the import up to the bettors and bets question; the players, when imported, are
    // told of once the import is done.
    void importfrom(int players, int bettors) {
        dialogs.type("E:", "Enter import drive letter")
            .ok("Insert export disk from another computer into drive E.")
            .answer(players, "Import Players files?")
            .answer(bettors, "Import Bettors and Bets files?");
    }
    static constexpr const char* kPlayers =
        "1,1,\"\",\"JONES\"\r\n2,1,\"\",\"BROWN\"\r\n3,2,\"\",\"GRAY\"\r\n";
};

TEST_F(Transfer, ExportWritesTheSetAndOnlyFlightsWithBets) {
    folder.write("Players", kPlayers);
    folder.write("Bettors", "1,\"AnyBettor\"\r\n5,\"SMITH\"\r\n");
    folder.write("Round1 1Bets",
                 "5,1,1,2\r\n5,7,1,3\r\n5,2,2,1.5\r\n");  // entry 7 is unknown: still copied
    folder.write("Final 2Bets", "1,3,3,10\r\n");
    drive.write("Round2 4Bets", "9,9,1,1\r\n");  // an old set's flight that has no bets now
    drive.write("Round2 4Betsbackup", "9,9,1,1\r\n");
    sh().curround = "Round3";
    sh().datapath =
        "C:\\Vantrope\\Round1\\";  // another folder was chosen: the program folder is exported
    exportto();
    EXPECT_EQ(drive.read("Players"), kPlayers);
    EXPECT_EQ(drive.read("Playersbackup"), kPlayers);
    EXPECT_EQ(drive.read("Bettors"), "1,\"AnyBettor\"\r\n5,\"SMITH\"\r\n");
    EXPECT_FALSE(drive.exists("Bettorsbackup"));  // the set carries no bettor backup
    EXPECT_EQ(drive.read("Round1 1Bets"), "5,1,1,2\r\n5,7,1,3\r\n5,2,2,1.5\r\n");
    EXPECT_EQ(drive.read("Round1 1Betsbackup"), "5,1,1,2\r\n5,7,1,3\r\n5,2,2,1.5\r\n");
    EXPECT_EQ(drive.read("Final 2Betsbackup"), "1,3,3,10\r\n");
    EXPECT_FALSE(drive.exists("Round1 2Bets"));
    EXPECT_FALSE(drive.exists("Round2 4Bets"));
    EXPECT_FALSE(drive.exists("Round2 4Betsbackup"));
    EXPECT_EQ(sh().curround, "Round3");
    EXPECT_EQ(sh().datapath, "C:\\Vantrope\\Round1\\");
    EXPECT_EQ(sh().curflightnbr, 15);
}

TEST_F(Transfer, AWrongOrMissingDriveLetterWritesNothing) {
    for (const char* answer : {"", "0", "Q", "EE", "3", "C"}) {
        dialogs.type(answer, kExportPrompt).ok("nothing was transferred");
        init().control("cmdexport").click();
    }
    dialogs.type("q:", "Enter import drive letter")
        .ok("Drive Q: is not available - nothing was transferred");
    init().control("cmdimport").click();
    EXPECT_TRUE(vt::test::names(drive.path()).empty());
    EXPECT_FALSE(dialogs.saw("written to drive"));
    EXPECT_EQ(sh().datapath, "C:\\Vantrope\\");
}

TEST_F(Transfer, ExportStopsAtAnUnreadableBetsFileBeforeWritingAnything) {
    std::filesystem::create_directory(folder.file("Round2 9Bets"));
    dialogs.type("E", kExportPrompt).ok("Insert blank disk").ok("75 Path/File access error");
    init().control("cmdexport").click();
    EXPECT_TRUE(vt::test::names(drive.path()).empty());
    EXPECT_FALSE(dialogs.saw("written to drive"));
}

// The drive holds a set exported by another computer.
class Import : public Transfer {
  protected:
    void SetUp() override {
        Transfer::SetUp();
        folder.write("Players", kPlayers);
        folder.write("Bettors", "1,\"AnyBettor\"\r\n2,\"ADAMS\"\r\n9,\"SMITH\"\r\n");
        folder.write("Round1 1Bets", "9,1,1,4\r\n");
        folder.write("Round1 1Betsbackup", "9,1,1,4\r\n");
        drive.write("Players", "1,1,\"\",\"JONES\"\r\n2,1,\"\",\"BROWN\"\r\n");
        drive.write("Bettors", "1,\"AnyBettor\"\r\n2,\"ADAMS\"\r\n5,\"SMITH\"\r\n9,\"KING\"\r\n");
        drive.write("Round1 1Bets", "5,1,1,2\r\n9,2,2,3\r\n2,1,3,1\r\n1,2,1,5\r\n");
        drive.write("Final 3Bets", "5,3,1,0.5\r\n");
        vt::test::describedrive(app->context().origins(), app->files(), "E");
    }
};

TEST_F(Import, SameSmithMapsOntoTheLocalNumber) {
    importfrom(vbNo, vbYes);
    dialogs.answer(vbNo, "Are there two different bettors both named SMITH")
        .ok("Bettor file imported")
        .ok("Import of Bettors, Bets files complete");
    init().control("cmdimport").click();
    // KING is new; number 10 follows the last local bettor. Drive bettor 9 is KING, not local
    // SMITH.
    EXPECT_EQ(folder.read("Bettors"),
              "1,\"AnyBettor\"\r\n2,\"ADAMS\"\r\n9,\"SMITH\"\r\n10,\"KING\"\r\n");
    EXPECT_EQ(folder.read("Round1 1Bets"),
              "9,1,1,4\r\n9,1,1,2\r\n10,2,2,3\r\n2,1,3,1\r\n1,2,1,5\r\n");
    EXPECT_EQ(folder.read("Round1 1Betsbackup"), folder.read("Round1 1Bets"));
    EXPECT_EQ(folder.read("Final 3Bets"), "9,3,1,0.5\r\n");
    EXPECT_EQ(folder.read("Players"), kPlayers);
    EXPECT_EQ(sh().curround, "Round1");
    EXPECT_EQ(sh().datapath, "C:\\Vantrope\\");
    EXPECT_EQ(sh().curflightnbr, 15);

    EXPECT_TRUE(dialogs.saw("Bets added: 5\r\nBets already here: 0"));
    EXPECT_TRUE(dialogs.saw("Bettors added: 1\r\nBettors already here: 3"));

    // The same set again: its bettors are known by their identities now (no question), and
    // every bet is here already.
    const std::string bets = folder.read("Round1 1Bets");
    importfrom(vbNo, vbYes);
    dialogs.ok("Bettor file imported").ok("Import of Bettors, Bets files complete");
    init().control("cmdimport").click();
    EXPECT_TRUE(dialogs.saw("Bets added: 0\r\nBets already here: 5"));
    EXPECT_EQ(folder.read("Final 3Bets"), "9,3,1,0.5\r\n");
    EXPECT_EQ(folder.read("Round1 1Bets"), bets);
    EXPECT_EQ(folder.read("Bettors"),
              "1,\"AnyBettor\"\r\n2,\"ADAMS\"\r\n9,\"SMITH\"\r\n10,\"KING\"\r\n");
}

TEST_F(Import, TwoSmithsMakeSmith1AndARenamedNameIsCheckedAgain) {
    folder.write("Bettors", "1,\"AnyBettor\"\r\n2,\"ADAMS\"\r\n9,\"SMITH\"\r\n11,\"SMITH1\"\r\n");
    importfrom(vbNo, vbYes);
    dialogs.answer(vbYes, "Are there two different bettors both named SMITH")
        .ok("Creating new bettor name SMITH1")
        .answer(vbYes, "Are there two different bettors both named SMITH1")
        .ok("Creating new bettor name SMITH11")
        .ok("Bettor file imported")
        .ok("Import of Bettors, Bets files complete");
    init().control("cmdimport").click();
    EXPECT_EQ(folder.read("Bettors"),
              "1,\"AnyBettor\"\r\n2,\"ADAMS\"\r\n9,\"SMITH\"\r\n11,\"SMITH1\"\r\n12,"
              "\"SMITH11\"\r\n13,\"KING\"\r\n");
    EXPECT_EQ(folder.read("Round1 1Bets"),
              "9,1,1,4\r\n12,1,1,2\r\n13,2,2,3\r\n2,1,3,1\r\n1,2,1,5\r\n");
}

TEST_F(Import, PlayersThatDoNotMatchStopTheImportBeforeAnyChange) {
    drive.write(
        "Players",
        "1,1,\"\",\"JONES\"\r\n2,1,\"\",\"BROWN\"\r\n3,2,\"\",\"GRAY\"\r\n4,2,\"\",\"WHITE\"\r\n");
    importfrom(vbNo, vbYes);
    dialogs.answer(vbNo, "both named SMITH")
        .ok(" Player files do not match.  Bet files not imported");
    init().control("cmdimport").click();
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"ADAMS\"\r\n9,\"SMITH\"\r\n");
    EXPECT_EQ(folder.read("Round1 1Bets"), "9,1,1,4\r\n");
    EXPECT_FALSE(folder.exists("Final 3Bets"));
}

TEST_F(Import, ImportingPlayersReplacesTheListAndThenTheCheckPasses) {
    drive.write(
        "Players",
        "1,1,\"\",\"JONES\"\r\n2,1,\"\",\"BROWN\"\r\n3,2,\"\",\"GRAY\"\r\n4,2,\"\",\"WHITE\"\r\n");
    importfrom(vbYes, vbYes);
    dialogs.answer(vbNo, "both named SMITH")
        .ok("Players files imported")
        .ok("Bettor file imported")
        .ok("Import of Bettors, Bets files complete");
    init().control("cmdimport").click();
    EXPECT_EQ(folder.read("Players"), drive.read("Players"));
    EXPECT_EQ(folder.read("Playersbackup"), drive.read("Players"));
}

TEST_F(Import, PlayersAloneAreWrittenAndToldOfAfterTheLastQuestion) {
    importfrom(vbYes, vbNo);
    dialogs.ok("Players files imported");
    init().control("cmdimport").click();
    EXPECT_EQ(folder.read("Players"), drive.read("Players"));
    EXPECT_EQ(folder.read("Playersbackup"), drive.read("Players"));
    auto p = dialogs.prompts();
    auto told = std::find(p.begin(), p.end(), "Players files imported");
    auto asked = std::find(p.begin(), p.end(), "Import Bettors and Bets files?");
    EXPECT_GT(told, asked);
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"ADAMS\"\r\n9,\"SMITH\"\r\n");
}

TEST_F(Import, ABetOnAnUnknownEntryOrBettorChangesNothing) {
    drive.write("Round2 5Bets", "2,8,1,1\r\n");
    vt::test::describedrive(app->context().origins(), app->files(), "E");
    importfrom(vbNo, vbYes);
    dialogs.answer(vbNo, "both named SMITH")
        .ok("Round2 5Bets holds a bet on a player/team or bettor unknown here");
    init().control("cmdimport").click();
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"ADAMS\"\r\n9,\"SMITH\"\r\n");
    EXPECT_EQ(folder.read("Round1 1Bets"), "9,1,1,4\r\n");

    drive.write("Round2 5Bets", "44,1,1,1\r\n");
    vt::test::describedrive(app->context().origins(), app->files(), "E");
    importfrom(vbNo, vbYes);
    dialogs.answer(vbNo, "both named SMITH").ok("unknown here");
    init().control("cmdimport").click();
    EXPECT_EQ(folder.read("Round1 1Bets"), "9,1,1,4\r\n");

    // With the players answered Yes: the local list stays, on disk and in the tables.
    sh().entries(3).name = "GRAY";
    const std::string backup = folder.read("Playersbackup");
    importfrom(vbYes, vbYes);
    dialogs.answer(vbNo, "both named SMITH").ok("unknown here");
    init().control("cmdimport").click();
    EXPECT_EQ(folder.read("Players"), kPlayers);
    EXPECT_EQ(folder.read("Playersbackup"), backup);
    EXPECT_EQ(sh().entries(3).name, "GRAY");
}

TEST_F(Import, AFailedPlayersReadNeverEmptiesTheLocalList) {
    std::filesystem::remove(drive.file("Players"));
    dialogs.type("e", "Enter import drive letter").ok("Insert export disk").ok("53 File not found");
    init().control("cmdimport").click();
    EXPECT_EQ(folder.read("Players"), kPlayers);
    EXPECT_EQ(sh().datapath, "C:\\Vantrope\\");
}

}  // namespace
