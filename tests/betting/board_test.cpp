// The odds board: its lines in each sort order, the flight boxes, and the scrolling by ticks.
#include <fstream>

#include "betfixture.h"

namespace vt::test {

class BoardTest : public BetTest {
  protected:
    void SetUp() override {
        // WIN pool of flight 3: 10 on CARTER, 2 on DAVIS; 12 to 2 and 12 to 10.
        bets(3, "2,7,1,2\r\n2,8,1,10\r\n2,8,2,4\r\n");
        bets(1, "2,1,1,6\r\n");
    }
    static std::string name25(const std::string& n) { return n + std::string(25 - n.size(), ' '); }
    std::vector<std::string> board() {
        std::vector<std::string> out;
        for (size_t i = 1; i < sh().boardlines.size() && !sh().boardlines[i].empty(); ++i)
            out.push_back(sh().boardlines[i]);
        return out;
    }
};

TEST_F(BoardTest, FlightOrderAndTheTickedFlightsList) {
    open();
    EXPECT_EQ(c("lstentries").listcount(), 0);  // no flight box ticked yet
    std::vector<std::string> want{"FLIGHT A   " + name25("ADAMS") + "  1      ",
                                  "FLIGHT A   " + name25("BAKER") + "         ",
                                  "FLIGHT C   " + name25("CARTER") + "  6      ",
                                  "FLIGHT C   " + name25("DAVIS") + "  1  1   "};
    EXPECT_EQ(board(), want);
    tick(3);
    ASSERT_EQ(c("lstentries").listcount(), 2);
    EXPECT_EQ(c("lstentries").list(0), "FLIGHT C   " + name25("CARTER") + " 6/ 1");
    EXPECT_EQ(c("lstentries").itemdata(0), 7);
    EXPECT_EQ(c("lstentries").itemdata(1), 8);
    // The flight loaded before the build is loaded after it.
    EXPECT_EQ(sh().curflightnbr, 1);
    EXPECT_EQ(sh().curflight, "FLIGHT A  ");
    EXPECT_EQ(sh().summ(1).win, Money::dollars(6));
}

TEST_F(BoardTest, PlayerAndOddsOrders) {
    folder.write("Players",
                 "1,1,\"\",\"ADAMS\"\r\n2,1,\"\",\"BAKER\"\r\n7,3,\"\",\"CARTER\"\r\n"
                 "8,3,\"\",\"DAVIS\"\r\n9,3,\"\",\"ZZZZEBRA\"\r\n");
    bets(3, "2,7,1,2\r\n2,8,1,10\r\n2,9,1,1\r\n");
    open();
    c("optpt").click();
    auto b = board();
    ASSERT_EQ(b.size(), 5u);
    EXPECT_EQ(b[0], name25("ADAMS") + "FLIGHT A   1/ 1");
    EXPECT_EQ(b[4].substr(0, 8), "ZZZZEBRA");  // sorts after "zzz" and still shows
    c("optodds").click();
    b = board();
    ASSERT_EQ(b.size(), 4u);  // BAKER has no WIN bets
    EXPECT_EQ(b[0], "01/ 1FLIGHT A   " + name25("ADAMS"));
    EXPECT_EQ(b[1], "01/ 1FLIGHT C   " + name25("DAVIS"));
    EXPECT_EQ(b[2], "06/ 1FLIGHT C   " + name25("CARTER"));
    EXPECT_EQ(b[3], "13/ 1FLIGHT C   " + name25("ZZZZEBRA"));
}

TEST_F(BoardTest, LongNamesAreCutTo25) {
    folder.write("Players", "1,1,\"\",\"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123\"\r\n");
    open();
    tick(1);
    EXPECT_EQ(c("lstentries").list(0), "FLIGHT A   ABCDEFGHIJKLMNOPQRSTUVWXY 1/ 1");
}

TEST_F(BoardTest, ScrollingByTicks) {
    open();
    Control& timer = c("Timer1");
    EXPECT_EQ(timer.interval, 900);
    tick(1);
    tick(3);
    timer.tick();  // scrollpos 0: the window starts at line 1
    EXPECT_EQ(timer.interval, 500);
    EXPECT_EQ(sh().scrollpos, 1);
    timer.tick();
    EXPECT_EQ(sh().scrollpos, 2);
    // The board of 4 lines restarts inside one tick; the list holds the lines after the restart.
    auto l = lines("lstscroll");
    EXPECT_EQ(l.size(), 3u);
    timer.tick();
    timer.tick();
    timer.tick();
    EXPECT_EQ(sh().scrollpos, 5);
    timer.tick();  // line 5 is empty: back to the top
    EXPECT_EQ(sh().scrollpos, 1);
    // In flight order the lines of unticked flights are left out.
    tick(1);
    timer.tick();
    for (auto& s : lines("lstscroll")) EXPECT_EQ(s.substr(0, 8), "FLIGHT C");
}

TEST_F(BoardTest, FullBoardWrapsToItsFirstLine) {
    sh().maxplayers = 4;
    sh().sizetables();
    folder.write("Players",
                 "1,1,\"\",\"ADAMS\"\r\n2,1,\"\",\"BAKER\"\r\n3,3,\"\",\"CARTER\"\r\n"
                 "4,3,\"\",\"DAVIS\"\r\n");
    bets(3, "");
    open();
    tick(1);
    tick(3);
    Control& timer = c("Timer1");
    for (int i = 0; i < 5; ++i) timer.tick();
    EXPECT_EQ(sh().scrollpos, 5);  // past the last line, with no empty line to end the board
    timer.tick();                  // the window starts at line 1 again
    EXPECT_EQ(sh().scrollpos, 2);
    EXPECT_EQ(lines("lstscroll").size(),
              23u % 4);  // restarted inside the tick, as at an empty line
}

TEST_F(BoardTest, SpeedAndHide) {
    open();
    for (int i = 0; i < 3; ++i) c("cmdfaster").click();
    EXPECT_EQ(sh().scrollms, 200);
    for (int i = 0; i < 5; ++i) c("cmdfaster").click();
    EXPECT_EQ(sh().scrollms, 100);
    sh().scrollms = 65500;
    c("cmdslower").click();
    EXPECT_EQ(sh().scrollms, 65535);
    c("cmdhide").click();
    EXPECT_EQ(c("cmdhide").caption(), "Unhide Scroll");
    EXPECT_FALSE(c("lstscroll").visible());
    c("cmdhide").click();
    EXPECT_TRUE(c("lstscroll").visible());
}

TEST_F(BoardTest, BadRecordStopsTheBoard) {
    open();
    tick(3);
    auto before = board();
    sh().dataerror = 1;
    bets(3, "2,7,1,50\r\n");
    tick(1);
    c("Timer1").tick();
    EXPECT_EQ(board(), before);
    EXPECT_EQ(c("lstentries").listcount(), 2);
    EXPECT_TRUE(c("lbldataerror").visible());
}

TEST_F(BoardTest, EachEntryShowsTheOddsOfItsOwnFlight) {
    // An edited flight C file also holds a bet on ADAMS, who runs in flight A.
    bets(3, "2,7,1,2\r\n2,8,1,10\r\n2,1,1,50\r\n");
    sh().curflightnbr = 0;
    open();
    tick(1);
    tick(3);
    ASSERT_EQ(c("lstentries").listcount(), 4);
    EXPECT_EQ(c("lstentries").list(0), "FLIGHT A   " + name25("ADAMS") + " 1/ 1");
    // Flight C's odds are as without the stray bet.
    EXPECT_EQ(c("lstentries").list(2), "FLIGHT C   " + name25("CARTER") + " 6/ 1");
    EXPECT_EQ(c("lstentries").list(3), "FLIGHT C   " + name25("DAVIS") + " 1/ 1");
    // With no flight loaded, the totals are those of the last flight's pass over every row.
    EXPECT_EQ(sh().summ(1).win, Money::dollars(50));
    EXPECT_EQ(sh().summ(1).oddswin, " 1/ 1");
}

TEST_F(BoardTest, NoFlightZeroFileIsEverCreated) {
    sh().curflightnbr = 0;
    open();
    c("Option2").click();
    pickbettor("JONES-AL");
    c("Option1").click();
    for (auto& f : files()) EXPECT_EQ(f.find(" 0Bets"), std::string::npos) << f;
}

TEST_F(BoardTest, BoardAfterEachBetIsTheBoardOfAColdReading) {
    // Two entries whose list lines read alike keep the order of the entries table.
    folder.write("Players",
                 "1,1,\"\",\"ADAMS\"\r\n2,1,\"\",\"BAKER\"\r\n7,3,\"\",\"CARTER\"\r\n"
                 "8,3,\"\",\"DAVIS\"\r\n9,3,\"\",\"TWIN\"\r\n10,3,\"\",\"twin\"\r\n");
    open();
    tick(1);
    tick(3);
    pickbettor("SMITH-BOB");
    auto shown = [&] {
        std::vector<std::string> out = board();
        for (int i = 0; i < c("lstentries").listcount(); ++i)
            out.push_back(c("lstentries").list(i) + "#" +
                          std::to_string(c("lstentries").itemdata(i)));
        out.push_back(sh().summ(7).oddswin + sh().summ(sh().maxplayers + 1).win.tostring());
        return out;
    };
    auto cold = [&] {
        app->context().betscache().clear();
        tick(3);  // off and on again: the board is built anew
        tick(3);
        return shown();
    };
    auto twins = [&] {
        int i = c("lstentries").findbydata(9);
        return std::make_pair(i, c("lstentries").itemdata(i + 1));
    };
    EXPECT_EQ(twins(), std::make_pair(twins().first, 10L));
    place(7, "cmdwin", {2});
    EXPECT_EQ(shown(), cold());
    place(8, "cmdboard", {1, 1});
    EXPECT_EQ(shown(), cold());
    // Another program adds a bet behind the program's back; then the next bet.
    std::ofstream(folder.file("Round1 3Bets"), std::ios::app | std::ios::binary) << "2,7,1,40\r\n";
    place(7, "cmdwin", {3});
    auto after = shown();
    EXPECT_EQ(sh().summ(7).win, Money::dollars(2 + 1 + 40 + 2));
    EXPECT_EQ(after, cold());
    EXPECT_EQ(twins(), std::make_pair(twins().first, 10L));
}

}  // namespace vt::test
