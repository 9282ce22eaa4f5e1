#include "setuptest.h"

using namespace vt;

namespace {

class Clearing : public vt::test::SetupTest {
  protected:
    void SetUp() override {
        tomenu();
        app->form("frmmenu").control("cmdinit").click();
        folder.write("Round2 7Bets", "3,2,1,5\r\n");
        folder.write("Round2 7Betsbackup", "3,2,1,5\r\n");
        folder.write("Players", "1,1,\"\",\"JONES\"\r\n2,1,\"\",\"BROWN\"\r\n");
        folder.write("Playersbackup", "1,1,\"\",\"JONES\"\r\n2,1,\"\",\"BROWN\"\r\n");
        folder.write("Bettors", "1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n");
    }
    int betsfiles() {
        int n = 0;
        for (auto& f : vt::test::names(folder.path()))
            n += f[0] != '.' && f.find("Bets") != std::string::npos;
        return n;
    }
};

TEST_F(Clearing, AllBetFilesNoDoesNothingYesEmptiesAllOneHundredTwenty) {
    dialogs.answer(vbNo, "Clear and initialize ALL Bet files?");
    init().control("cmdbets").click();
    EXPECT_EQ(folder.read("Round2 7Bets"), "3,2,1,5\r\n");

    sh().bets(1) = Bet{3, 2, 1, Money::fromdouble(5)};
    dialogs.answer(vbYes, "Clear and initialize ALL Bet files?")
        .ok("All Bets files cleared and initialized");
    init().control("cmdbets").click();
    EXPECT_EQ(dialogs.shown.back().title, "Initialize Bets");
    EXPECT_EQ(betsfiles(), 120);
    EXPECT_EQ(folder.read("Round2 7Bets"), "");
    EXPECT_EQ(folder.read("Final 15Betsbackup"), "");
    EXPECT_EQ(sh().bets(1).bettor, 0);
    EXPECT_EQ(sh().curflightnbr, 15);
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"JONES\"\r\n2,1,\"\",\"BROWN\"\r\n");
}

TEST_F(Clearing, BettorsWaitUntilNoRoundOrFlightHoldsBets) {
    // The bets lie in another round and flight than the current one.
    dialogs.ok("Must clear Bets first");
    init().control("cmdbettors").click();
    EXPECT_EQ(dialogs.shown.back().title, "Bets Input");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n");

    folder.write("Round2 7Bets", "");
    dialogs.answer(vbNo, "Clear and initialize Bettor file?");
    init().control("cmdbettors").click();
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n");

    dialogs.answer(vbYes, "Clear and initialize Bettor file?")
        .ok("Bettor file cleared and initialized");
    init().control("cmdbettors").click();
    EXPECT_EQ(dialogs.shown.back().title, "Initialize Bettor");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n");
    EXPECT_EQ(folder.read("Bettorsbackup"), "1,\"AnyBettor\"\r\n");
    EXPECT_EQ(sh().nextticket, 2);
    EXPECT_EQ(sh().bettors(2).number, 999);
}

TEST_F(Clearing, PlayersAskTwiceAndTheFirstNoClearsNothing) {
    dialogs.answer(vbNo, "Clear and initialize ALL Bet files?");
    init().control("cmdplayers").click();
    EXPECT_EQ(folder.read("Round2 7Bets"), "3,2,1,5\r\n");

    // No to the second question: the bets stay cleared, the players stay.
    dialogs.answer(vbYes, "Clear and initialize ALL Bet files?")
        .ok("All Bets files cleared and initialized")
        .answer(vbNo, "Clear and initialize Players file?");
    init().control("cmdplayers").click();
    EXPECT_EQ(folder.read("Round2 7Bets"), "");
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"JONES\"\r\n2,1,\"\",\"BROWN\"\r\n");

    dialogs.answer(vbYes, "Clear and initialize ALL Bet files?")
        .ok("All Bets files cleared and initialized")
        .answer(vbYes, "Clear and initialize Players file?")
        .ok("Player file cleared and initialized");
    init().control("cmdplayers").click();
    EXPECT_EQ(dialogs.shown.back().title, "Initialize Players");
    EXPECT_EQ(folder.read("Players"), "");
    EXPECT_EQ(folder.read("Playersbackup"), "");
    EXPECT_EQ(sh().entries(4).name, "zzz");
    EXPECT_EQ(sh().entries(4).number, 4);
    EXPECT_EQ(sh().nextentrynbr, 1);
}

TEST_F(Clearing, WorksInTheProgramFolderWhateverDataFolderWasChosen) {
    sh().datapath = "C:\\Vantrope\\Round1\\";
    folder.write("Round2 7Bets", "");
    dialogs.answer(vbYes, "Clear and initialize Bettor file?")
        .ok("Bettor file cleared and initialized");
    init().control("cmdbettors").click();
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n");
    EXPECT_TRUE(std::filesystem::is_empty(folder.file("Round1")));
    EXPECT_EQ(sh().datapath, "C:\\Vantrope\\Round1\\");
}

TEST_F(Clearing, AFileThatCannotBeEmptiedShowsItsErrorAndNoSuccess) {
    std::filesystem::remove(folder.file("Round3 2Bets"));
    std::filesystem::create_directory(folder.file("Round3 2Bets"));
    dialogs.answer(vbYes, "Clear and initialize ALL Bet files?").ok("Path/File access error");
    init().control("cmdbets").click();
    EXPECT_EQ(dialogs.shown.back().title, "Bets clear");
    EXPECT_FALSE(dialogs.saw("cleared and initialized"));
}

}  // namespace
