#include "platform/folderlock.h"
#include "setuptest.h"

using namespace vt;
using vt::test::names;
using vt::test::setuprecord;

namespace {

class GoToMenu : public vt::test::SetupTest {};

std::vector<std::string> roundfiles(const std::string& round) {
    std::vector<std::string> out;
    for (int n = 1; n <= 15; ++n) {
        out.push_back(round + " " + std::to_string(n) + "Bets");
        out.push_back(round + " " + std::to_string(n) + "Betsbackup");
    }
    return out;
}

TEST_F(GoToMenu, AFreshFolderGetsExactlyTheCurrentRoundsFiles) {
    tomenu();
    auto expected = roundfiles("Round1");
    for (const char* n :
         {"Init", "Results", "Round1", "Players", "Playersbackup", "Bettors", "Bettorsbackup",
          ".Bettors.ids", ".Bettorsbackup.ids", FolderLock::kLockName})
        expected.push_back(n);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names(folder.path()), expected);
    EXPECT_EQ(folder.read("Round1 3Bets"), "");
    EXPECT_EQ(folder.read("Round1 15Betsbackup"), "");
    EXPECT_EQ(folder.read("Players"), "");
    EXPECT_EQ(folder.read("Playersbackup"), "");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n");
    EXPECT_EQ(folder.read("Bettorsbackup"), "1,\"AnyBettor\"\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("Round1")));

    EXPECT_TRUE(app->form("frmmenu").visible());
    EXPECT_TRUE(app->isloaded("frminit"));
    EXPECT_EQ(sh().curflightnbr, 15);
    EXPECT_EQ(sh().curflight, "O -       ");
    EXPECT_EQ(sh().saveround, "Round1");
    EXPECT_EQ(sh().boardlines.size(), 1001u);
}

TEST_F(GoToMenu, ExistingFilesAreLeftAsTheyAre) {
    folder.write("Players", "1,2,\"\",\"JONES\"\r\n");
    folder.write("Bettors", "1,\"AnyBettor\"\r\n2,\"SMITH-JO\"\r\n");
    folder.write("Bettorsbackup", "old backup\r\n");
    folder.write("Round1 2Bets", "2,1,1,5\r\n");
    folder.write("Round1 4Betsbackup", "2,1,2,3\r\n");
    tomenu();
    EXPECT_EQ(folder.read("Players"), "1,2,\"\",\"JONES\"\r\n");
    EXPECT_FALSE(folder.exists("Playersbackup"));
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"SMITH-JO\"\r\n");
    EXPECT_EQ(folder.read("Bettorsbackup"), "old backup\r\n");
    // Only the missing one of a pair is made.
    EXPECT_EQ(folder.read("Round1 2Bets"), "2,1,1,5\r\n");
    EXPECT_EQ(folder.read("Round1 2Betsbackup"), "");
    EXPECT_EQ(folder.read("Round1 4Bets"), "");
    EXPECT_EQ(folder.read("Round1 4Betsbackup"), "2,1,2,3\r\n");
}

TEST_F(GoToMenu, WorksInTheProgramFolderWhateverFolderWasChosen) {
    folder.write("Init", setuprecord("3,\"no\",1,\"Final\",1,4,5,8,9,5000,1000,1000,\"1\"",
                                     "\"B1\",\"B2\",\"B3\",\"BF\"", "D:\\BETS\\"));
    start();
    EXPECT_EQ(sh().datapath, "D:\\BETS\\");
    EXPECT_EQ(init().control("txtfiles").text(), "C:\\Vantrope\\");  // where the screen works
    init().control("cmdok").click();
    EXPECT_EQ(sh().datapath, "C:\\Vantrope\\");
    EXPECT_EQ(init().control("txtfiles").text(), "C:\\Vantrope\\");
    EXPECT_NE(folder.read("Init").find(",\"C:\\Vantrope\\\",3,"), std::string::npos);
    // Round "Final": its folder is made and stays empty; no other round's files appear.
    EXPECT_TRUE(std::filesystem::is_empty(folder.file("Final")));
    EXPECT_TRUE(folder.exists("Final 12Bets"));
    EXPECT_FALSE(folder.exists("Round1 1Bets"));
}

TEST_F(GoToMenu, AFailedFileStepShowsBothBoxesAndStaysOnSetup) {
    start();
    // A folder where a Bets file should be: reading it fails with something other than "not found".
    std::filesystem::create_directory(folder.file("Round1 7Bets"));
    dialogs.ok("75 Path/File access error")
        .ok("Make sure drive and directory names are valid-try using default names");
    init().control("cmdok").click();
    EXPECT_EQ(dialogs.shown[1].title, "Bets Input-Setup");
    EXPECT_EQ(dialogs.shown[2].title, "Menu");
    EXPECT_FALSE(app->isloaded("frmmenu"));
    // The files go in one transaction: none of the earlier flights' files were made either.
    EXPECT_FALSE(folder.exists("Round1 6Betsbackup"));
    EXPECT_FALSE(folder.exists("Round1 8Bets"));
    EXPECT_FALSE(folder.exists("Players"));
}

// The files are looked at, not read: a Bets file too large to read does not keep the cashier from
// the menu, where Use Backup Files can put its backup in its place.
TEST_F(GoToMenu, ABetsFileTooLargeToReadStillOpensTheMenu) {
    folder.write("Round1 3Bets", "2,1,1,5\r\n");
    std::filesystem::resize_file(folder.file("Round1 3Bets"), vt::Files::kmaxread + 1);
    tomenu();
    EXPECT_TRUE(app->form("frmmenu").visible());
    EXPECT_EQ(std::filesystem::file_size(folder.file("Round1 3Bets")), vt::Files::kmaxread + 1);
}

}  // namespace
