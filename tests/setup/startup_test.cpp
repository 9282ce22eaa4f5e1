#include "journals.h"
#include "setuptest.h"

using namespace vt;
using vt::test::firstrunrecord;
using vt::test::sealedjournal;
using vt::test::setuprecord;

namespace {

class Startup : public vt::test::SetupTest {};

TEST_F(Startup, FirstRunWritesTheFirstRunRecordAndOpensTheResultsFile) {
    start();
    EXPECT_EQ(folder.read("Init"), firstrunrecord());
    EXPECT_TRUE(folder.exists("Results"));
    EXPECT_TRUE(app->results.isopen());
    Form& f = init();
    EXPECT_EQ(f.caption, "Init");
    EXPECT_EQ(f.control("Option1").value(), 1);
    EXPECT_EQ(f.control("txtbanner").text(), "Masters - Round 1");
    EXPECT_EQ(f.control("txtflight", 14).text(), "O -       ");
    EXPECT_EQ(f.control("cmdround").caption(), "Round payoff to nearest 0.01");
    std::vector<std::string> caps;
    for (int i = 1; i <= 5; ++i) caps.push_back(f.control("cmdbamount", i).caption());
    EXPECT_EQ(caps, (std::vector<std::string>{"+.25", "+1.00", "+2.00", "+5.00", "+10.00"}));
    EXPECT_EQ(app->printer().fontsize, 12);
    EXPECT_NE(f.control("lblinst").caption().find("Round.\r\n\r\nBet receipt printing"),
              std::string::npos);
}

TEST_F(Startup, AScreen1024PixelsWideGivesNoDisplayMessage) {
    app->screenwidth = 1024;
    start();
    EXPECT_FALSE(dialogs.saw("Display resolution"));
}

TEST_F(Startup, AScreen1023PixelsWideGivesTheDisplayMessageAndGoesOn) {
    app->screenwidth = 1023;
    dialogs.ok("Display resolution must be set to 1024 x 768 to see entire screen.");
    start();
    EXPECT_EQ(dialogs.shown[0].title, "Vantrope");
    EXPECT_TRUE(folder.exists("Init"));
}

TEST_F(Startup, AShortRecordIsReplacedByTheFirstRunRecord) {
    std::string r = setuprecord("5,\"yes\",2,\"Round2\",2,3,4,5,6,5000,1000,1000,\"1\"");
    r = r.substr(0, r.rfind(',')) + "\r\n";  // 32 fields
    folder.write("Init", r);
    start();
    EXPECT_EQ(folder.read("Init"), firstrunrecord());
    EXPECT_EQ(sh().flightnames[3], "C -       ");
    EXPECT_EQ(sh().banner2, "Masters - Round 2");
    EXPECT_EQ(sh().curround, "Round1");
}

TEST_F(Startup, StoredCapacitiesAreIgnoredAndField18IsKeptAsRead) {
    folder.write("Init", setuprecord("5,\"yes\",2,\"Round3\",2,3,4,5,12,2000,500,500,7"));
    start();
    EXPECT_EQ(sh().maxbets, 5000);
    EXPECT_EQ(sh().maxbettors, 1000);
    EXPECT_EQ(sh().maxplayers, 1000);
    EXPECT_EQ(sh().bets.size(), 5000u);
    EXPECT_EQ(sh().summ.size(), 1001u);
    EXPECT_EQ(sh().winningbets.size(), 1001u);
    Form& f = init();
    EXPECT_EQ(f.control("Option3").value(), 1);
    EXPECT_EQ(f.control("Option1").value(), 0);
    EXPECT_EQ(f.control("txtbanner").text(), "B3");
    EXPECT_EQ(sh().banner, "B3");
    EXPECT_EQ(f.control("cmdbamount", 5).caption(), " ");  // choice 12: a hidden button
    EXPECT_EQ(f.control("cmdround").caption(), "Round payoff to nearest 0.10");
    EXPECT_EQ(app->printer().fontsize, 16);
    // The file said yes, the operator said No.
    EXPECT_EQ(sh().printswitch, "no");

    f.control("cmdexit").click();
    EXPECT_TRUE(app->ended());
    EXPECT_EQ(folder.read("Init"),
              setuprecord("5,\"no\",2,\"Round3\",2,3,4,5,12,5000,1000,1000,7"));
}

TEST_F(Startup, YesToThePrinterQuestionSwitchesPrintingOn) {
    start(vbYes);
    EXPECT_EQ(sh().printswitch, "yes");
    EXPECT_EQ(init().control("cmdprint").caption(), "Printing to default printer is active");
}

TEST_F(Startup, ValuesOutOfRangeTakeTheirFirstRunValues) {
    folder.write("Init", setuprecord("9,\"no\",6,\"Round9\",0,13,4,5,6,5000,1000,1000,\"1\""));
    start();
    EXPECT_EQ(sh().fontsizeidx, 3);
    EXPECT_EQ(sh().roundingchoice, 1);
    EXPECT_EQ(sh().curround, "Round1");
    EXPECT_EQ(init().control("Option1").value(), 1);
    EXPECT_EQ(sh().betbuttons[1], 1);
    EXPECT_EQ(sh().betbuttons[2], 4);
    EXPECT_EQ(sh().betbuttons[3], 4);
    EXPECT_EQ(init().control("cmdbamount", 2).caption(), "+1.00");
}

TEST_F(Startup, NumberFieldsThatAreNotBareWholeNumbersTakeTheirFirstRunValues) {
    folder.write("Init",
                 setuprecord("\"5\",\"no\",2.0,\"Round2\",,1e1,+7,5,6,5000,1000,1000,\"1\""));
    start();
    EXPECT_EQ(sh().fontsizeidx, 3);
    EXPECT_EQ(sh().roundingchoice, 1);
    EXPECT_EQ(sh().betbuttons[1], 1);
    EXPECT_EQ(sh().betbuttons[2], 4);
    EXPECT_EQ(sh().betbuttons[3], 7);
}

TEST_F(Startup, AProgramFolderThatCannotBeMadeEndsTheLoadWithTheErrorBox) {
    // A file where the program folder should be.
    vt::test::TempFolder other;
    other.write("blocker", "x");
    app =
        std::make_unique<App>(AppEnvironment{other.file("blocker") + "/inner", &dialogs, &printed});
    dialogs.ok("76 Path not found");
    app->start();
    EXPECT_FALSE(dialogs.saw("Is a printer available"));
    // The tables are sized all the same.
    EXPECT_EQ(sh().bets.size(), 5000u);
}

// A start whose recovery cannot finish (a folder stands where it puts a file) keeps the journal and
// the new files it names, whatever the start sweeps; once the folder is gone, the next start puts
// them in place.
TEST_F(Startup, ARecoveryThatCannotFinishKeepsItsNewFilesForTheNextStart) {
    const std::string p = folder.path();
    folder.write("Init", firstrunrecord());
    folder.write("Bettors", "1,\"AnyBettor\"\r\n");
    folder.write("Bettors.tmp~", "1,\"AnyBettor\"\r\n2,\"NEW\"\r\n");
    folder.write("Players.tmp~", "1,1,\"\",\"NEW\"\r\n");
    std::filesystem::create_directories(p + "/Players/held");
    folder.write("Journal~", sealedjournal(p, {{'R', p + "/Bettors"}, {'R', p + "/Players"}}));
    start();
    EXPECT_TRUE(folder.exists("Journal~"));
    EXPECT_EQ(folder.read("Players.tmp~"), "1,1,\"\",\"NEW\"\r\n");

    std::filesystem::remove_all(p + "/Players");
    app = std::make_unique<App>(AppEnvironment{p, &dialogs, &printed});
    start();
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"NEW\"\r\n");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"NEW\"\r\n");
    EXPECT_FALSE(folder.exists("Journal~"));
    EXPECT_FALSE(folder.exists("Players.tmp~"));
}

}  // namespace
