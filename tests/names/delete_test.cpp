#include "names/frmbettor.h"
#include "namesfixture.h"

namespace vt::test {
namespace {

class DeleteTest : public NamesTest {
  protected:
    void SetUp() override {
        players("1,3,\"\",\"SMITH-JOHN\"\r\n2,12,\"\",\"JONES-MARY\"\r\n");
        bettors("1,\"AnyBettor\"\r\n2,\"BAKER-BOB\"\r\n3,\"COLE-CAT\"\r\n");
    }
    Control& ctl(const std::string& name) { return app->form("frmbettor").control(name); }
    void remove(const std::string& name) {
        pick(ctl("cbobettornames"), name);
        dialogs.answer(vbYes, "Delete " + name);
        ctl("cmddelete").click();
    }
};

TEST_F(DeleteTest, RefundsTheSumOfAllRoundsAndFlights) {
    bets("Round1", 3, "3,1,1,1\r\n2,1,1,2\r\n");
    bets("Final", 12, "2,2,2,5.5\r\n3,2,1,4\r\n");
    show("frmbettor");
    remove("BAKER-BOB");
    EXPECT_EQ(betsfile("Round1", 3), "3,1,1,1\r\n");
    EXPECT_EQ(betsfile("Round1", 3, true), "3,1,1,1\r\n");
    EXPECT_EQ(betsfile("Final", 12), "3,2,1,4\r\n");
    EXPECT_EQ(betsfile("Final", 12, true), "3,2,1,4\r\n");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n3,\"COLE-CAT\"\r\n");
    EXPECT_EQ(listof(ctl("cbobettornames")), (std::vector<std::string>{"AnyBettor", "COLE-CAT"}));
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.lines(0),
              (std::vector<std::string>{"REFUND BETS FOR BAKER-BOB", " ",
                                        "Bettor Name                  Amount", " ",
                                        "BAKER-BOB" + std::string(19, ' ') + "$7.50"}));
}

TEST_F(DeleteTest, ABadRecordOfTheBettorStopsItAndBackupsEndEqual) {
    bets("Round1", 3, "2,1,1,2\r\n");
    folder.write("Round2 7Bets", "3,1,1,1\r\n2,1,1,2.O0\r\n");
    folder.write("Round2 7Betsbackup", "");
    show("frmbettor");
    pick(ctl("cbobettornames"), "BAKER-BOB");
    dialogs.answer(vbYes, "Delete BAKER-BOB").ok("holds a bad record");
    ctl("cmddelete").click();
    EXPECT_EQ(dialogs.shown.back().prompt.substr(0, 59),
              "Round2 7Bets, line 2 holds a bad record of bettor BAKER-BOB");
    EXPECT_EQ(betsfile("Round1", 3), "2,1,1,2\r\n");
    EXPECT_EQ(betsfile("Round2", 7, true), "");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"BAKER-BOB\"\r\n3,\"COLE-CAT\"\r\n");
    EXPECT_TRUE(printed.docs.empty());
    // Mended in Fix Files, the delete goes through and every backup equals its Bets file.
    folder.write("Round2 7Bets", "3,1,1,1\r\n2,1,1,2.00\r\n");
    remove("BAKER-BOB");
    EXPECT_EQ(betsfile("Round1", 3), "");
    EXPECT_EQ(betsfile("Round2", 7), "3,1,1,1\r\n");
    EXPECT_EQ(betsfile("Round2", 7, true), "3,1,1,1\r\n");
    EXPECT_EQ(printed.lines(0).back(), "BAKER-BOB" + std::string(19, ' ') + "$4.00");
}

TEST_F(DeleteTest, RefusalsChangeNothing) {
    bets("Round1", 3, "1,1,1,2\r\n");
    show("frmbettor");
    dialogs.ok("Select bettor from list first");
    ctl("cmddelete").click();
    pick(ctl("cbobettornames"), "AnyBettor");
    dialogs.ok("AnyBettor cannot be deleted");
    ctl("cmddelete").click();
    pick(ctl("cbobettornames"), "COLE-CAT");
    dialogs.answer(vbNo, "Delete COLE-CAT");
    ctl("cmddelete").click();
    EXPECT_EQ(betsfile("Round1", 3), "1,1,1,2\r\n");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"BAKER-BOB\"\r\n3,\"COLE-CAT\"\r\n");
    EXPECT_FALSE(folder.exists("Round1 1Bets"));
    EXPECT_TRUE(printed.docs.empty());
}

TEST_F(DeleteTest, SameNameTwiceDeletesTheOneClicked) {
    bettors("1,\"AnyBettor\"\r\n2,\"BAKER-BOB\"\r\n3,\"BAKER-BOB\"\r\n");
    bets("Round1", 1, "2,1,1,1\r\n3,1,1,2\r\n");
    show("frmbettor");
    Control& lst = ctl("cbobettornames");
    lst.setlistindex(lst.findbydata(3));
    dialogs.answer(vbYes, "Delete BAKER-BOB");
    ctl("cmddelete").click();
    EXPECT_EQ(betsfile("Round1", 1), "2,1,1,1\r\n");
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"BAKER-BOB\"\r\n");
    EXPECT_EQ(lst.findbydata(3), -1);
    EXPECT_NE(lst.findbydata(2), -1);
}

}  // namespace
}  // namespace vt::test
