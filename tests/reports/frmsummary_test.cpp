#include "records/records.h"
#include "records/summarylists.h"
#include "reportsfixture.h"

using namespace vt;
using vt::test::ReportsTest;

namespace {

class SummaryScreen : public ReportsTest {
  protected:
    // n players "P01".. in flight 1; the first `withwin` have a WIN bet of their number in dollars.
    void manyplayers(int n, int withwin = 0) {
        std::vector<P> ps;
        std::vector<std::string> bs;
        for (int i = 1; i <= n; ++i) {
            ps.push_back({i, 1, (i < 10 ? "P0" : "P") + std::to_string(i)});
            if (i <= withwin) bs.push_back("1," + std::to_string(i) + ",1," + std::to_string(i));
        }
        players(ps);
        bets("Round1", 1, bs);
    }
    std::string first() { return summary().control("lstentries").list(0); }
    int lines() { return summary().control("lstentries").listcount(); }
};

}  // namespace

TEST_F(SummaryScreen, LoadingListsTheFlightByNameWithMoneyOddsAndTotals) {
    players({{1, 1, "CHARLIE"}, {2, 1, "alpha"}, {3, 1, "BRAVO"}, {4, 2, "DELTA"}});
    bets("Round1", 1, {"1,3,1,40", "1,2,1,10", "1,2,2,1000", "1,1,3,2.5"});
    Form& f = summary();
    const std::string a = label(1);
    EXPECT_EQ(items("lstentries"),
              (std::vector<std::string>{a + "alpha", a + "BRAVO", a + "CHARLIE"}));
    EXPECT_EQ(items("lstwin"), (std::vector<std::string>{"10.00", "40.00", "0.00"}));
    EXPECT_EQ(items("lstplace"), (std::vector<std::string>{"1,000.00", "0.00", "0.00"}));
    EXPECT_EQ(items("lsttotal"), (std::vector<std::string>{"1,010.00", "40.00", "2.50"}));
    EXPECT_EQ(items("lstodds"), (std::vector<std::string>{" 5/ 1", " 1/ 1", ""}));
    EXPECT_EQ(f.control("txtwintot").text(), "50.00");
    EXPECT_EQ(f.control("txtplacetot").text(), "1,000.00");
    EXPECT_EQ(f.control("txtshowtot").text(), "2.50");
    EXPECT_EQ(f.control("txttotaltot").text(), "1,052.50");
    // The totals row is the sum of the entries' rows.
    Money sum;
    for (long e = 1; e <= 4; ++e) sum += sh().summ(e).total;
    EXPECT_EQ(sum, sh().summ(sh().maxplayers + 1).total);
    // The display table holds plain amounts and ends with "zzz".
    EXPECT_EQ(sh().disptab[1][1], a + "alpha");
    EXPECT_EQ(sh().disptab[1][3], "1000");
    EXPECT_EQ(sh().disptab[3][4], "2.5");
    EXPECT_EQ(sh().disptab[4][1], "zzz");
    EXPECT_EQ(f.control("txtbanner").text(), "Open - Round 1");
    EXPECT_EQ(f.control("Option1").value(), 1);
    EXPECT_EQ(f.control("optflight", 1).value(), 1);
    EXPECT_EQ(f.control("optflight", 2).caption(), label(2));
}

TEST_F(SummaryScreen, AFlightWithoutEntriesShowsOneEmptyLineAndItsPools) {
    players({{1, 1, "ALPHA"}});
    sh().curflight = label(3);
    sh().curflightnbr = 3;
    summary();
    EXPECT_EQ(items("lstentries"), std::vector<std::string>{""});
    EXPECT_EQ(items("lstwin"), std::vector<std::string>{"0.00"});
    EXPECT_EQ(items("lstodds"), std::vector<std::string>{""});
    EXPECT_EQ(sh().disptab[1][1], "");
    EXPECT_EQ(sh().disptab[1][2], "0");
    EXPECT_EQ(sh().disptab[2][1], "zzz");
    EXPECT_TRUE(folder.exists("Round1 3Bets"));
    // The sort lists nothing for it.
    summary().control("cmdplayer").click();
    EXPECT_EQ(lines(), 0);
}

TEST_F(SummaryScreen, PagingShowsThirtyTwoLinesAPage) {
    manyplayers(40);
    EXPECT_EQ(lines(), 32);
    Control& down = summary().control("cmddown");
    Control& up = summary().control("cmdup");
    down.click();
    EXPECT_EQ(first(), label(1) + "P01");
    down.click();
    EXPECT_EQ(lines(), 8);
    EXPECT_EQ(first(), label(1) + "P33");
    down.click();
    EXPECT_EQ(first(), label(1) + "P33");
    up.click();
    EXPECT_EQ(lines(), 32);
    EXPECT_EQ(first(), label(1) + "P09");
    up.click();
    EXPECT_EQ(first(), label(1) + "P01");
}

TEST_F(SummaryScreen, ExactlyThirtyTwoEntriesHaveNoSecondPage) {
    manyplayers(32);
    summary().control("cmddown").click();
    summary().control("cmddown").click();
    EXPECT_EQ(lines(), 32);
    EXPECT_EQ(first(), label(1) + "P01");
}

TEST_F(SummaryScreen, SortByPlayerIsCaseSensitiveAndKeepsToTheFlightsExactLabel) {
    sh().flightnames[2] = "a -       ";
    players({{1, 1, "bob"}, {2, 1, "BOB"}, {3, 1, "Adam"}, {4, 2, "ZED"}});
    const std::string a = label(1);
    // Loading compares labels and names without regard to case: the other flight shows too.
    EXPECT_EQ(items("lstentries"),
              (std::vector<std::string>{a + "Adam", a + "bob", a + "BOB", "a -       ZED"}));
    summary().control("cmdplayer").click();
    EXPECT_EQ(items("lstentries"), (std::vector<std::string>{a + "Adam", a + "BOB", a + "bob"}));
}

TEST_F(SummaryScreen, SortByPlayerShowsThirtyFiveLinesAndPagesFromTheTop) {
    manyplayers(40);
    summary().control("cmddown").click();
    summary().control("cmddown").click();
    summary().control("cmdplayer").click();
    EXPECT_EQ(lines(), 35);
    summary().control("cmddown").click();
    EXPECT_EQ(lines(), 32);
    EXPECT_EQ(first(), label(1) + "P01");
}

TEST_F(SummaryScreen, SortByWinMoneyListsAtMostThirtyFiveLargestFirst) {
    manyplayers(50, 40);
    summary().control("cmdmoney").click();
    EXPECT_EQ(lines(), 35);
    EXPECT_EQ(first(), label(1) + "P40");
    EXPECT_EQ(summary().control("lstentries").list(34), label(1) + "P06");
    summary().control("cmddown").click();
    summary().control("cmddown").click();
    EXPECT_EQ(lines(), 3);
    summary().control("cmddown").click();
    EXPECT_EQ(lines(), 3);
    EXPECT_EQ(sh().disptab[36][1], "zzz");
}

TEST_F(SummaryScreen, SortByWinMoneyKeepsEqualAmountsInOrderAndOnlyTheFirstEntryWithoutMoney) {
    players({{1, 1, "ANN"}, {2, 1, "BOB"}, {3, 1, "CAL"}, {4, 1, "DON"}});
    bets("Round1", 1, {"1,2,1,5", "1,4,1,5"});
    summary().control("cmdmoney").click();
    const std::string a = label(1);
    EXPECT_EQ(items("lstentries"), (std::vector<std::string>{a + "BOB", a + "DON", a + "ANN"}));
}

TEST_F(SummaryScreen, AFlightLabelledZZZListsAllItsEntries) {
    sh().flightnames[1] = "ZZZ       ";
    sh().curflight = sh().flightnames[1];
    players({{1, 1, "ANN"}, {2, 1, "BOB"}});
    EXPECT_EQ(lines(), 2);
    EXPECT_EQ(sh().disptab[2][1], "ZZZ       BOB");
    EXPECT_EQ(sh().disptab[3][1], "zzz");
    summary().control("cmdplayer").click();
    EXPECT_EQ(lines(), 2);
}

TEST_F(SummaryScreen, ChoosingFinalChangesTheProgramsRoundAndBanner) {
    players({{1, 1, "ANN"}});
    bets("Final", 1, {"1,1,1,7"});
    summary().control("Option4").click();
    EXPECT_EQ(sh().curround, "Final");
    EXPECT_EQ(sh().saveround, "Final");
    EXPECT_EQ(sh().banner, "Open - Final");
    EXPECT_EQ(summary().control("txtbanner").text(), "Open - Final");
    EXPECT_EQ(items("lstwin"), std::vector<std::string>{"7.00"});
    summary().control("optflight", 2).click();
    EXPECT_EQ(sh().curflight, label(2));
    EXPECT_EQ(sh().curflightnbr, 2);
}

TEST_F(SummaryScreen, ListBuilderLoadsTheScreenUnseen) {
    players({{1, 1, "ANN"}});
    fillsummarylists(*app);
    EXPECT_TRUE(app->isloaded("frmsummary"));
    EXPECT_FALSE(summary().visible());
    EXPECT_EQ(items("lstentries"), std::vector<std::string>{label(1) + "ANN"});
}

TEST_F(SummaryScreen, ButtonsLeaveForTheOddsGridMenuAndBets) {
    players({{1, 1, "ANN"}});
    summary().show();
    summary().control("cmdall").click();
    EXPECT_FALSE(app->isloaded("frmsummary"));
    EXPECT_TRUE(app->form("frmsumm").visible());
    app->form("frmsumm").control("cmdreturn").click();
    EXPECT_FALSE(app->isloaded("frmsumm"));
    EXPECT_TRUE(summary().visible());
    summary().control("cmdmenu").click();
    EXPECT_TRUE(app->form("frmmenu").visible());
    summary().control("cmdreturn").click();
    EXPECT_FALSE(app->isloaded("frmsummary"));
    EXPECT_TRUE(app->form("frmbet").visible());
}
