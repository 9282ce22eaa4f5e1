// The data folder screen and the player/team file swap screen.
#include <cstdlib>

#include "setup/frmimport.h"
#include "setuptest.h"

using namespace vt;

namespace {

class DataFolder : public vt::test::SetupTest {
  protected:
    vt::test::TempFolder drive;
    void SetUp() override {
        setenv("VANTROPE_DRIVE_D", drive.path().c_str(), 1);
        setenv("VANTROPE_DRIVE_Q", (drive.path() + "/not-mounted").c_str(), 1);
        std::filesystem::create_directory(drive.file("BETS"));
        start();
        init().control("cmddir").click();
    }
    void TearDown() override {
        unsetenv("VANTROPE_DRIVE_D");
        unsetenv("VANTROPE_DRIVE_Q");
        vt::test::SetupTest::TearDown();
    }
    Form& dir() { return app->form("frmdir"); }
};

TEST_F(DataFolder, AFolderStepStoresTheFolderAndADriveStepOnlyMemory) {
    std::string before = folder.read("Init");
    dir().control("Drive1").setdrive("d:");
    EXPECT_EQ(sh().datapath, "D:\\");
    EXPECT_EQ(dir().control("txtdrivedir").text(), "D:\\");
    EXPECT_EQ(folder.read("Init"), before);

    Control& list = dir().control("Dir1");
    ASSERT_EQ(list.listcount(), 2);
    EXPECT_EQ(list.list(0), "D:\\");
    EXPECT_EQ(list.list(1), "D:\\BETS");
    list.setlistindex(1);
    list.dblclick();
    EXPECT_EQ(sh().datapath, "D:\\BETS\\");
    EXPECT_NE(folder.read("Init").find(",\"D:\\BETS\\\",3,"), std::string::npos);

    // Back on the setup screen, its start-up reads the stored folder; the box shows the
    // program folder, where the setup screen's operations work.
    dialogs.answer(vbNo, "Is a printer available");
    dir().control("cmdreturn").click();
    EXPECT_FALSE(app->isloaded("frmdir"));
    EXPECT_EQ(sh().datapath, "D:\\BETS\\");
    EXPECT_EQ(init().control("txtfiles").text(), "C:\\Vantrope\\");
}

TEST_F(DataFolder, TheListShowsTheWayUpAndTheProgramFolderStaysReachable) {
    std::filesystem::create_directory(folder.file("Round1"));
    Control& list = dir().control("Dir1");
    auto items = [&] {
        std::vector<std::string> out;
        for (int i = 0; i < list.listcount(); ++i) out.push_back(list.list(i));
        return out;
    };
    auto open = [&](const std::string& path) {
        auto all = items();
        auto at = std::find(all.begin(), all.end(), path);
        ASSERT_NE(at, all.end()) << path;
        list.setlistindex(static_cast<int>(at - all.begin()));
        list.dblclick();
    };
    EXPECT_EQ(items()[0], "C:\\");
    open("C:\\Vantrope");  // the list read again, with the new folder
    open("C:\\Vantrope\\Round1");
    EXPECT_EQ(sh().datapath, "C:\\Vantrope\\Round1\\");
    EXPECT_EQ(items(), (std::vector<std::string>{"C:\\", "C:\\Vantrope", "C:\\Vantrope\\Round1"}));
    open("C:\\Vantrope");  // back up
    EXPECT_EQ(sh().datapath, "C:\\Vantrope\\");
    EXPECT_NE(folder.read("Init").find(",\"C:\\Vantrope\\\",3,"), std::string::npos);

    // Drive c: lists the host's root, and the program folder among its folders.
    dir().control("Drive1").setdrive("d:");
    dir().control("Drive1").setdrive("c:");
    EXPECT_EQ(list.path, "C:\\");
    open("C:\\Vantrope");
    EXPECT_EQ(sh().datapath, "C:\\Vantrope\\");
    EXPECT_EQ(dir().control("txtdrivedir").text(), "C:\\Vantrope\\");
}

TEST_F(DataFolder, ADriveNotReadyGivesTheErrorBoxAndTheListStays) {
    dialogs.ok("71 Disk not ready");
    dir().control("Drive1").setdrive("q:");
    EXPECT_EQ(dir().control("Drive1").drive, "c:");
    EXPECT_EQ(sh().datapath, "C:\\Vantrope\\");
    dialogs.ok("68 Device unavailable");
    dir().control("Drive1").setdrive("w:");
    EXPECT_EQ(dir().control("Drive1").drive, "c:");
}

TEST_F(DataFolder, AMissingSetupFileIsReportedAtAFolderStep) {
    std::filesystem::remove(folder.file("Init"));
    dialogs.ok("53 File not found");
    dir().control("Dir1").setpath("D:\\BETS");
    EXPECT_FALSE(folder.exists("Init"));
}

class PlayerSwap : public vt::test::SetupTest {
  protected:
    void SetUp() override {
        folder.write("Players", "1,1,\"\",\"JONES\"\r\n");
        folder.write("Playersbackup", "1,1,\"\",\"JONES\"\r\n");
        folder.write("Spring", "1,2,\"\",\"GREEN\"\r\n2,2,\"\",\"WHITE\"\r\n");
        folder.write("Bettors", "1,\"AnyBettor\"\r\n2,\"SMITH\"\r\n");
        start();
        app->formas<frminit>("frminit").showcpt();
        dialogs.ok("Double click on a valid Player/Team file");
        cpt().control("cmdcpt").click();
    }
    Form& cpt() { return app->form("frmcpt"); }
    void choose(const std::string& name) {
        Control& files = cpt().control("File1");
        for (int i = 0; i < files.listcount(); ++i)
            if (files.list(i) == name) files.setlistindex(i);
        files.dblclick();
    }
};

TEST_F(PlayerSwap, SaveUnderANameThenReplaceAndBack) {
    EXPECT_TRUE(cpt().control("File1").visible());
    dialogs.answer(vbYes, "Save current Player/Team file?")
        .type("Players", "Enter Save name")
        .ok("Not a valid save name")
        .type("../up", "Enter Save name")
        .ok("Not a valid save name")
        .type("round1 3bets", "Enter Save name")
        .ok("Not a valid save name")
        .type("Autumn\r\nCopy", "Enter Save name")
        .ok("Not a valid save name")
        .type("", "Enter Save name")
        .answer(vbCancel, "No save name entered - skip save?")
        .type("Autumn", "Enter Save name")
        .ok("Current Player/Team file saved as Autumn")
        .ok("Spring is now the current Player/Team file");
    choose("Spring");
    EXPECT_EQ(folder.read("Autumn"), "1,1,\"\",\"JONES\"\r\n");
    EXPECT_EQ(folder.read("Players"), "1,2,\"\",\"GREEN\"\r\n2,2,\"\",\"WHITE\"\r\n");
    EXPECT_EQ(folder.read("Playersbackup"), folder.read("Players"));
    EXPECT_FALSE(cpt().control("File1").visible());
    EXPECT_FALSE(cpt().control("lbllst").visible());

    dialogs.ok("Double click");
    cpt().control("cmdcpt").click();
    dialogs.answer(vbNo, "Save current Player/Team file?")
        .ok("Autumn is now the current Player/Team file");
    choose("Autumn");
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"JONES\"\r\n");
}

TEST_F(PlayerSwap, ABettorsFileIsRefusedAndPlayersStays) {
    dialogs.answer(vbNo, "Save current Player/Team file?").ok("Invalid Player/Team file");
    choose("Bettors");
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"JONES\"\r\n");

    dialogs.ok("Double click");
    cpt().control("cmdcpt").click();
    dialogs.answer(vbNo, "Save current Player/Team file?")
        .ok("62 Input past end of file")
        .ok("Problem changing");
    choose("Results");  // empty
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"JONES\"\r\n");

    dialogs.ok("Double click");
    cpt().control("cmdcpt").click();
    dialogs.answer(vbNo, "Save current Player/Team file?")
        .ok("Players is now the current Player/Team file");
    choose("Players");
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"JONES\"\r\n");
    cpt().control("cmdreturn").click();
    EXPECT_FALSE(app->isloaded("frmcpt"));
}

TEST_F(PlayerSwap, AnEmptiedPlayersFileIsNotReplacedOverItsBackup) {
    folder.write("Players", "");
    dialogs.answer(vbNo, "Save current Player/Team file?")
        .ok(" 62 Input past end of file\r\nPlayers\r\nPlayers is empty, but Playersbackup holds "
            "records")
        .ok("Problem changing");
    choose("Spring");
    EXPECT_EQ(folder.read("Players"), "");
    EXPECT_EQ(folder.read("Playersbackup"), "1,1,\"\",\"JONES\"\r\n");
}

TEST(NameFields, CommasTabsQuotesAndBlankFields) {
    EXPECT_EQ(namefields("SMITH, JOHN\r\n\"SMITH, JOHN\"\r\n"),
              (std::vector<std::string>{"SMITH", "JOHN", "SMITH, JOHN"}));
    EXPECT_EQ(namefields("Brown\tAnn\t\r\n\r\n  \r\nGray,,\"Lee\tKim\"\nLast"),
              (std::vector<std::string>{"Brown", "Ann", "", "Gray", "", "Lee\tKim", "Last"}));
    EXPECT_TRUE(namefields("").empty());
}

}  // namespace
