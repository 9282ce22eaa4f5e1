// The bet-sheet screen: its lists, the amount step, the two rows and placing a sheet's bets.
#include "betfixture.h"
#include "betting/frmsheetg.h"

namespace vt::test {

class SheetTest : public BetTest {
  protected:
    void SetUp() override {
        folder.write("Players",
                     "1,1,\"\",\"ADAMS\"\r\n2,2,\"\",\"BAKER\"\r\n7,3,\"\",\"CARTER\"\r\n"
                     "8,3,\"\",\"DAVIS\"\r\n9,1,\"\",\"ABBOT\"\r\n");
        app->form("frmsheetg").show();
    }
    Control& s(const std::string& name, int index = -1) {
        return app->form("frmsheetg").control(name, index);
    }
    std::vector<std::string> items(const std::string& name) {
        std::vector<std::string> out;
        for (int i = 0; i < s(name).listcount(); ++i) out.push_back(s(name).list(i));
        return out;
    }
    void typein(const std::string& box, const std::string& text) {
        for (char ch : text) s(box).keypress(static_cast<unsigned char>(ch));
    }
    void pick(const std::string& list, const std::string& text) {
        for (int i = 0; i < s(list).listcount(); ++i)
            if (s(list).list(i) == text) return s(list).setlistindex(i);
        ADD_FAILURE() << "no line " << text;
    }
    void clicks(const std::string& box, int n) {
        for (int i = 0; i < n; ++i) s(box).click();
    }
};

TEST_F(SheetTest, ListsOfTheTickedFlightsAndSearches) {
    EXPECT_EQ(items("lstplayers"),
              (std::vector<std::string>{"FLIGHT A  ABBOT", "FLIGHT A  ADAMS", "FLIGHT B  BAKER"}));
    s("Check1", 2).click();
    EXPECT_EQ(items("lstplayers").size(), 5u);
    // Character-code order: "AnyBettor" after the upper-case names.
    EXPECT_EQ(items("lstentries"),
              (std::vector<std::string>{"AnyBettor", "JONES-AL", "SMITH-BOB"}));
    typein("txtname", "sm");
    EXPECT_EQ(s("txtname").text(), "SM");
    EXPECT_EQ(items("lstentries"), std::vector<std::string>{"SMITH-BOB"});
    s("txtname").keypress(vbKeyBack);
    s("txtname").keypress(vbKeyReturn);  // a control key is ignored
    EXPECT_EQ(s("txtname").text(), "S");
    typein("txtplayer", "d");
    EXPECT_EQ(items("lstplayers"), std::vector<std::string>{"FLIGHT C  DAVIS"});
    s("cmdresetp").click();
    EXPECT_EQ(items("lstplayers").size(), 5u);
    EXPECT_EQ(s("txtplayer").text(), "");
}

TEST_F(SheetTest, AmountStepAndTheTwoRows) {
    EXPECT_EQ(s("txtbetamt").text(), "$1.00");
    s("txtamt", 4).click();
    s("txtamt", 3).click();
    EXPECT_EQ(s("txtbetamt").text(), "$25.00");
    s("txtbetamt").click();
    EXPECT_EQ(s("txtbetamt").text(), "$26.00");
    s("txtamt", 4).click();
    s("txtamt", 2).click();
    clicks("txtwin", 3);
    EXPECT_EQ(s("txtwin").text(), "15");
    EXPECT_EQ(s("txttotal").text(), "15");
    EXPECT_EQ(s("txttotaltot").text(), "15");
    s("txtplus").click();
    EXPECT_EQ(s("txtplus").text(), "-");
    EXPECT_EQ(s("txtbetamt").text(), "-$5.00");
    s("txtwin").click();
    EXPECT_EQ(s("txtwintot").text(), "10");
    s("txtplus").click();
    s("txtplace").click();
    s("cmdclrentries").click();
    EXPECT_EQ(s("txtwintot").text(), "0");
    EXPECT_EQ(s("txtplacetot").text(), "0");
    EXPECT_EQ(s("txttotaltot").text(), "0");
    EXPECT_EQ(s("txtwin").text(), "");
    EXPECT_EQ(s("txtbetamt").text(), "");
}

TEST_F(SheetTest, SheetBetsGoToEachPlayersFlight) {
    pick("lstentries", "SMITH-BOB");
    s("Check1", 2).click();
    pick("lstplayers", "FLIGHT C  CARTER");
    s("txtamt", 4).click();
    s("txtamt", 1).click();
    clicks("txtwin", 2);
    clicks("txtshow", 3);
    dialogs.answer(vbYes, "Place these bets?");
    s("cmdplacebets").click();
    EXPECT_EQ(betsfile(3), "12,7,1,2\r\n12,7,3,3\r\n");
    EXPECT_EQ(backupfile(3), betsfile(3));
    EXPECT_EQ(items("lstbets"), (std::vector<std::string>{"FLIGHT C  CARTER $02.00 TO WIN",
                                                          "FLIGHT C  CARTER $03.00 TO SHOW"}));
    EXPECT_EQ(s("txtwin").text(), "");
    EXPECT_EQ(s("txttotaltot").text(), "5");
    s("cmdresetp").click();  // the list starts at the line clicked last
    pick("lstplayers", "FLIGHT A  ADAMS");
    clicks("txtplace", 4);
    dialogs.answer(vbYes);
    s("cmdplacebets").click();
    EXPECT_EQ(betsfile(1), "12,1,2,4\r\n");
    EXPECT_EQ(betsfile(3), "12,7,1,2\r\n12,7,3,3\r\n");
    EXPECT_EQ(sh().summ(1).place, Money::dollars(4));
}

TEST_F(SheetTest, RefusalsKeepTheRow) {
    s("txtwin").click();
    dialogs.ok("Must select bettor first.");
    s("cmdplacebets").click();
    s("txtticket").settext("jones-al");
    s("txtticket").keypress(vbKeyReturn);
    EXPECT_EQ(sh().curticket, 2);
    EXPECT_EQ(s("txtticket").text(), "");
    EXPECT_EQ(s("txtname").text(), "JONES-AL");
    EXPECT_EQ(s("txttotaltot").text(), "");  // a new sheet
    s("txtwin").click();
    dialogs.ok("Must select player/team first.");
    s("cmdplacebets").click();
    pick("lstplayers", "FLIGHT A  ADAMS");
    s("txtamt", 4).click();
    s("txtamt", 0).click();
    s("txtplace").click();
    dialogs.ok("at least $1.00");
    s("cmdplacebets").click();
    EXPECT_EQ(s("txtwin").text(), "2");
    EXPECT_EQ(s("txtplace").text(), "0.25");
    s("cmdclrentries").click();
    s("txtamt", 4).click();
    s("txtamt", 1).click();
    clicks("txtwin", 2);
    dialogs.answer(vbNo, "Place these bets?");
    s("cmdplacebets").click();
    EXPECT_EQ(betsfile(1), "");
    EXPECT_EQ(s("txtwin").text(), "2");
}

TEST_F(SheetTest, NewBettorByTicketBoxAndChoiceEmptyAtLoad) {
    dialogs.ok("NEWMAN added");
    s("txtticket").settext("newman");
    s("txtticket").keypress(vbKeyReturn);
    EXPECT_EQ(sh().curticket, 13);
    EXPECT_NE(folder.read("Bettors").find("13,\"NEWMAN\""), std::string::npos);
    s("cmdmainmenu").click();
    app->form("frmsheetg").show();
    EXPECT_EQ(sh().curticket, 0);
    EXPECT_EQ(app->formas<frmsheetg>("frmsheetg").selnumber, 0);
}

}  // namespace vt::test

namespace vt::test {

TEST_F(SheetTest, NextBetAboveTheLargestBetIsRefusedAndNothingWritten) {
    s("txtticket").settext("jones-al");
    s("txtticket").keypress(vbKeyReturn);
    pick("lstplayers", "FLIGHT A  ADAMS");
    s("txtamt", 4).click();
    for (int i = 0; i < 4; ++i) s("txtamt", 3).click();  // step $100
    clicks("txtwin", 1000);                              // $100,000
    dialogs.ok("at most $99,999.99");
    s("cmdplacebets").click();
    EXPECT_EQ(betsfile(1), "");
    EXPECT_EQ(s("txtwin").text(), "100000");
    s("txtwin").settext("2.123456");
    dialogs.ok("whole cents");
    s("cmdplacebets").click();
    EXPECT_EQ(betsfile(1), "");
    s("txtwin").settext("99999.99");
    dialogs.answer(vbYes, "Place these bets?");
    s("cmdplacebets").click();
    EXPECT_EQ(betsfile(1), "2,1,1,99999.99\r\n");
}

}  // namespace vt::test
