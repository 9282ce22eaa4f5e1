#include "names/frmbettor.h"
#include "namesfixture.h"

namespace vt::test {
namespace {

class BettorTest : public NamesTest {
  protected:
    void SetUp() override { players("1,1,\"\",\"SMITH-JOHN\"\r\n"); }
    Control& ctl(const std::string& name) { return app->form("frmbettor").control(name); }
    std::string bettorsfile(int n) {
        std::string out = "1,\"AnyBettor\"\r\n";
        for (int i = 2; i <= n; ++i)
            out += std::to_string(i) + ",\"B" + std::to_string(i) + "\"\r\n";
        return out;
    }
};

TEST_F(BettorTest, AddUpperCasesAndRefusesDuplicates) {
    bettors("1,\"AnyBettor\"\r\n");
    show("frmbettor");
    EXPECT_EQ(listof(ctl("cbobettornames")), (std::vector<std::string>{"AnyBettor"}));
    dialogs.ok("SMITH-JOHN added").ok("Duplicate bettor name").ok("ANYBETTOR added");
    type(ctl("txtbettorname"), "smith-john");
    type(ctl("txtbettorname"), "smith-john");
    // Names compare exactly: ANYBETTOR is not AnyBettor.
    type(ctl("txtbettorname"), "anybettor");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n3,\"ANYBETTOR\"\r\n");
    EXPECT_EQ(listof(ctl("cbobettornames")),
              (std::vector<std::string>{"AnyBettor", "ANYBETTOR", "SMITH-JOHN"}));
    EXPECT_EQ(ctl("txtbettorname").text(), "");
}

TEST_F(BettorTest, AddStopsOneRowShortOfTheTableAndSkips999) {
    sh().maxbettors = 10;
    sh().sizetables();
    bettors(bettorsfile(8));
    show("frmbettor");
    dialogs.ok("NINE added")
        .ok("Maximum number of bettors exceeded. Increase number of bettors on Setup screen");
    type(ctl("txtbettorname"), "nine");
    type(ctl("txtbettorname"), "ten");
    EXPECT_EQ(dialogs.shown.back().title, "Max Bettor Error");
    EXPECT_EQ(folder.read("Bettors"), bettorsfile(8) + "9,\"NINE\"\r\n");

    bettors("1,\"AnyBettor\"\r\n998,\"LAST\"\r\n");
    dialogs.ok("NEXT added");
    type(ctl("txtbettorname"), "next");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n998,\"LAST\"\r\n1000,\"NEXT\"\r\n");
}

TEST_F(BettorTest, AddRefusesQuotesAndTheDeletedMark) {
    bettors("1,\"AnyBettor\"\r\n");
    show("frmbettor");
    dialogs.ok("double quote").ok("ZZZ");
    type(ctl("txtbettorname"), "say \"hi\"");
    type(ctl("txtbettorname"), "Zzz");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n");
}

TEST_F(BettorTest, PlayersBecomeBettorsCutTo20OnceEach) {
    bettors("1,\"AnyBettor\"\r\n");
    players(
        "1,1,\"\",\"ABCDEFGHIJKLMNOPQRST-ONE\"\r\n2,2,\"\",\"ABCDEFGHIJKLMNOPQRST-TWO\"\r\n3,1,"
        "\"\",\"JONES\"\r\n");
    show("frmbettor");
    dialogs.answer(vbYes, "Add all player/teams to the bettor file?")
        .ok("ABCDEFGHIJKLMNOPQRST already exists");
    ctl("cmdplayers").click();
    EXPECT_EQ(folder.read("Bettors"),
              "1,\"AnyBettor\"\r\n2,\"ABCDEFGHIJKLMNOPQRST\"\r\n3,\"JONES\"\r\n");
    EXPECT_EQ(ctl("cbobettornames").listcount(), 3);
}

TEST_F(BettorTest, PlayersThatDoNotAllFitAddNone) {
    sh().maxbettors = 5;
    sh().sizetables();
    bettors(bettorsfile(2));
    players("1,1,\"\",\"P1\"\r\n2,1,\"\",\"P2\"\r\n");
    show("frmbettor");
    // Two bettors and two players fill the four rows the file may hold.
    dialogs.answer(vbYes);
    ctl("cmdplayers").click();
    EXPECT_EQ(folder.read("Bettors"), bettorsfile(2) + "3,\"P1\"\r\n4,\"P2\"\r\n");

    players("1,1,\"\",\"P1\"\r\n2,1,\"\",\"P2\"\r\n3,1,\"\",\"P3\"\r\n");
    bettors(bettorsfile(2));
    dialogs.answer(vbYes).ok("Combined files exceeds maximum number of bettors");
    ctl("cmdplayers").click();
    EXPECT_EQ(folder.read("Bettors"), bettorsfile(2));
}

TEST_F(BettorTest, TypingIntoTheListReloadsTheScreen) {
    bettors("1,\"AnyBettor\"\r\n");
    show("frmbettor");
    bettors("1,\"AnyBettor\"\r\n2,\"NEW\"\r\n");
    dialogs.ok("Must select bettor name from drop down list");
    ctl("cbobettornames").keypress('x');
    EXPECT_TRUE(app->form("frmbettor").visible());
    EXPECT_EQ(ctl("cbobettornames").listcount(), 2);
}

TEST_F(BettorTest, ClearIsRefusedWhileAnyBetsFileHoldsABet) {
    bettors(bettorsfile(3));
    bets("Final", 12, "2,1,1,5\r\n");
    show("frmbettor");
    dialogs.ok("Must clear bets first");
    ctl("cmdclearbettors").click();
    EXPECT_EQ(folder.read("Bettors"), bettorsfile(3));

    bets("Final", 12, "");
    dialogs.answer(vbYes, "Clear All Bettors?").ok("Bettor file cleared");
    ctl("cmdclearbettors").click();
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n");
    EXPECT_EQ(ctl("cbobettornames").listcount(), 0);
}

TEST_F(BettorTest, MissingBettorsFileIsStartedAfresh) {
    dialogs.ok("File not found");
    show("frmbettor");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n");
    EXPECT_EQ(listof(ctl("cbobettornames")), (std::vector<std::string>{"AnyBettor"}));
}

}  // namespace
}  // namespace vt::test
