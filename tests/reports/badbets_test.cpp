// A Bets file holding a record the sums cannot take: the summary says so, the odds grid shows
// the box, rather than showing short pools as complete.
#include "platform/qt/qtview.h"
#include "reportsfixture.h"

namespace vt::test {
namespace {

class BadBets : public ReportsTest {};

TEST_F(BadBets, SummarySaysTheFlightsBetsFileHoldsABadRecord) {
    players({{1, 1, "ALPHA"}, {2, 1, "BRAVO"}});
    bets("Round1", 1, {"1,1,1,10", "1,77,1,5", "1,2,1,20"});
    summary().show();
    EXPECT_EQ(summary().control("txtwintot").text(), "10.00");
    Control& bad = summary().control("lblbadbets");
    EXPECT_TRUE(bad.visible());
    EXPECT_NE(bad.caption().find("Round1 Flight A -: the Bets file holds a bad record"),
              std::string::npos);
    EXPECT_NE(bad.caption().find("Fix Files"), std::string::npos);
    EXPECT_TRUE(renderformpng(*app, summary(),
                              std::string(VANTROPE_SCREENS_DIR) + "/frmsummary_badbets.png"));
    // A flight whose file reads whole says nothing.
    bets("Round2", 1, {"1,1,1,10"});
    summary().control("Option2").click();
    EXPECT_FALSE(bad.visible());
    // A line that does not read as a bet says so as well, after the read's own box.
    bets("Round2", 1, {"1,1,1,10", "1,2,abc,5"});
    dialogs.ok(" 13 Type mismatch");
    summary().control("optflight", 1).click();
    EXPECT_TRUE(bad.visible());
}

TEST_F(BadBets, OddsGridShowsTheBoxOfTheBadRecord) {
    players({{1, 1, "ALPHA"}, {2, 1, "BRAVO"}});
    bets("Round1", 1, {"1,1,1,10", "1,77,1,5", "1,2,1,20"});
    dialogs.ok(" 9 Subscript out of range");
    app->form("frmsumm").show();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].title, "Bets Input");
}

}  // namespace
}  // namespace vt::test
