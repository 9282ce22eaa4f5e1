// Names from another program's list added as bettors or as players of a flight.
#include <cstdlib>

#include "setup/frmimport.h"
#include "setuptest.h"

using namespace vt;

namespace {

class NameImport : public vt::test::SetupTest {
  protected:
    vt::test::TempFolder drive;
    void SetUp() override {
        setenv("VANTROPE_DRIVE_D", drive.path().c_str(), 1);
        drive.write("members.csv", "Smith, John\r\n\"Brown, Ann\"\t\tgray\r\nO\"Neil,zzz\r\n");
        tomenu();
        app->form("frmmenu").control("cmdinit").click();
        init().control("cmdimpext").click();
    }
    void TearDown() override {
        unsetenv("VANTROPE_DRIVE_D");
        vt::test::SetupTest::TearDown();
    }
    Form& imp() { return app->form("frmimport"); }
    // Picks the file through the drive and file lists and lists its fields.
    void listfile() {
        imp().control("Drive1").setdrive("d:");
        Control& files = imp().control("File1");
        ASSERT_EQ(files.listcount(), 1);
        files.setlistindex(0);
        EXPECT_EQ(imp().control("txtdrivedir").text(), "D:\\members.csv");
        imp().control("cmdget").click();
    }
    void selectall() {
        Control& rec = imp().control("lstrecord");
        for (int i = 0; i < rec.listcount(); ++i) rec.setselected(i, true);
    }
    std::vector<std::string> log() {
        std::vector<std::string> out;
        for (auto& it : imp().control("lstlog").items()) out.push_back(it.text);
        return out;
    }
};

TEST_F(NameImport, ListsFieldsAndAddsBettorsOnceEach) {
    listfile();
    Control& rec = imp().control("lstrecord");
    std::vector<std::string> fields;
    for (auto& it : rec.items()) fields.push_back(it.text);
    EXPECT_EQ(fields, (std::vector<std::string>{"Smith", "John", "Brown, Ann", "", "gray",
                                                "O\"Neil", "zzz"}));

    // Nothing selected: nothing written.
    imp().control("lstoutfile").setlistindex(0);
    imp().control("cmdimport").click();
    EXPECT_TRUE(log().empty());
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n");

    selectall();
    imp().control("cmdimport").click();
    EXPECT_EQ(log(), (std::vector<std::string>{"Skipped       O\"NEIL", "Skipped       ZZZ",
                                               "Added         SMITH", "Added         JOHN",
                                               "Added         BROWN, ANN", "Added         GRAY"}));
    const std::string added =
        "1,\"AnyBettor\"\r\n2,\"SMITH\"\r\n3,\"JOHN\"\r\n4,\"BROWN, ANN\"\r\n5,\"GRAY\"\r\n";
    EXPECT_EQ(folder.read("Bettors"), added);
    imp().control("cmdimport").click();
    EXPECT_EQ(log()[2], "Duplicate Name SMITH");
    EXPECT_EQ(folder.read("Bettors"), added);
}

TEST_F(NameImport, NamesWithControlCharactersAreSkipped) {
    drive.write("members.csv",
                "Form\x0c"
                "Feed,Bell\x07"
                "Ring,Plain\r\n");
    listfile();
    selectall();
    imp().control("lstoutfile").setlistindex(0);
    imp().control("cmdimport").click();
    EXPECT_EQ(log(), (std::vector<std::string>{"Skipped       FORM\x0c"
                                               "FEED",
                                               "Skipped       BELL\x07"
                                               "RING",
                                               "Added         PLAIN"}));
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"PLAIN\"\r\n");
}

TEST_F(NameImport, PlayersNeedADestinationAndAFlightAndAreCutTo30) {
    drive.write("members.csv", "abcdefghijklmnopqrstuvwxyz0123456789,Lee\r\n");
    listfile();
    selectall();
    dialogs.ok("Must select destination file first");
    imp().control("cmdimport").click();
    imp().control("lstoutfile").setlistindex(1);
    EXPECT_EQ(app->formas<frmimport>("frmimport").importdest, "Players");
    dialogs.ok("Select a flight");
    imp().control("cmdimport").click();
    EXPECT_EQ(dialogs.shown.back().title, "New Entries");
    EXPECT_EQ(folder.read("Players"), "");

    imp().control("optflight", 3).click();
    imp().control("cmdimport").click();
    EXPECT_EQ(log(),
              (std::vector<std::string>{"Added         C -       ABCDEFGHIJKLMNOPQRSTUVWXYZ0123",
                                        "Added         C -       LEE"}));
    EXPECT_EQ(folder.read("Players"),
              "1,3,\"\",\"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123\"\r\n2,3,\"\",\"LEE\"\r\n");
    // Players have no duplicate check.
    imp().control("cmdimport").click();
    EXPECT_EQ(folder.read("Playersbackup"),
              "1,3,\"\",\"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123\"\r\n2,3,\"\",\"LEE\"\r\n"
              "3,3,\"\",\"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123\"\r\n4,3,\"\",\"LEE\"\r\n");
}

TEST_F(NameImport, NoFileAFolderAndReturn) {
    dialogs.ok("Missing file name");
    imp().control("cmdget").click();
    imp().control("txtdrivedir").settext("D:\\");
    dialogs.ok("75 Path/File access error");
    imp().control("cmdget").click();
    dialogs.answer(vbNo, "Is a printer available");
    imp().control("cmdreturn").click();
    EXPECT_FALSE(app->isloaded("frmimport"));
    EXPECT_TRUE(init().visible());
}

TEST_F(NameImport, AnIncompleteBettorsReadIsNeverRewritten) {
    folder.write("Bettors", "1,\"AnyBettor\"\r\nTWO,\"X\"\r\n3,\"KEEP\"\r\n");
    listfile();
    selectall();
    imp().control("lstoutfile").setlistindex(0);
    dialogs.ok("13 Type mismatch");
    imp().control("cmdimport").click();
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\nTWO,\"X\"\r\n3,\"KEEP\"\r\n");
}

}  // namespace
