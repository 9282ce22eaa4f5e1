#include <filesystem>

#include "keepprintout.h"
#include "pdfwords.h"
#include "platform/qt/qtview.h"
#include "reportsfixture.h"

using namespace vt;
using vt::test::ReportsTest;

namespace {

class SummaryPrint : public ReportsTest {
  protected:
    SummaryPrint() {
        sh().printswitch = "yes";
        players({{1, 1, "ALPHA"}, {2, 1, "BRAVO"}, {3, 2, "CHARLIE"}});
        bettors({"AnyBettor", "SMITH-JO", "ADAMS-AL", "ZED-NOBETS", "bates-lower"});
        bets("Round1", 1, {"2,1,1,10", "2,2,2,1500", "2,1,3,2.5", "3,2,1,40"});
        summary();
    }
    std::vector<std::string> print(const std::string& button) {
        dialogs.type("1", "Enter number of forms to print");
        size_t before = printed.docs.size();
        summary().control(button).click();
        EXPECT_EQ(printed.docs.size(), before + 1);
        return printed.docs.empty() ? std::vector<std::string>{}
                                    : printed.lines(printed.docs.size() - 1);
    }
};

const std::string kRule(89, '_');

}  // namespace

TEST_F(SummaryPrint, SummaryOfAFlight) {
    std::vector<std::string> expected = {
        "Round=Round1 Flight=A -        Bets by Player/Team",
        " ",
        "Player/Team                       $WIN      $PLACE    $SHOW     $TOTAL    ODDS",
        " ",
        "ALPHA                             10                  3         13         5/ 1",
        kRule,
        "BRAVO                             40        1,500               1,540      1/ 1",
        kRule,
        " ",
        " TOTALS                           $50       $1,500    $3        $1,553",
    };
    sh().printfontsizes[3] = 12;
    sh().fontsizeidx = 3;
    EXPECT_EQ(print("cmdprint"), expected);
    EXPECT_EQ(dialogs.shown.back().title, "Print Event Summary");
    EXPECT_EQ(printed.docs.back().pages[0][0].fontsize, 10);
    // Afterwards the printer is back at the point size the setup screen chose.
    EXPECT_EQ(app->printer().fontsize, 12);
}

TEST_F(SummaryPrint, SummaryOfAFlightWithoutEntriesHasNoEntryLines) {
    summary().control("optflight", 3).click();
    auto lines = print("cmdprint");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[5], " TOTALS                           $0        $0        $0        $0");
}

TEST_F(SummaryPrint, AllBetsByBettorInCharacterCodeOrder) {
    std::vector<std::string> expected = {
        "Open - Round 1 Flight A -        Bets by Bettor",
        " ",
        "Bet summary for  ADAMS-AL",
        "Ticket/Bettor ADAMS-AL",
        "A -       BRAVO        $40.00 TO WIN",
        "TOTAL  $40.00",
        " ",
        "Bet summary for  AnyBettor",
        "Bet summary for  SMITH-JO",
        "Ticket/Bettor SMITH-JO",
        "A -       ALPHA        $10.00 TO WIN",
        "A -       BRAVO        $1,500.00 TO PLACE",
        "A -       ALPHA        $2.50 TO SHOW",
        "TOTAL  $1,512.50",
        " ",
        "Bet summary for  ZED-NOBETS",
        "Bet summary for  bates-lower",
        " ",
        "TOTAL BETS $1,552.50",
    };
    EXPECT_EQ(print("cmdbettorall"), expected);
    EXPECT_EQ(dialogs.shown.back().title, "Print Bets");
}

TEST_F(SummaryPrint, ABetOnAnEntryNoLongerThereIsListedAsABadPlayerNumber) {
    sh().entries(2).number = 77;
    auto lines = print("cmdbettorall");
    EXPECT_EQ(lines[4], " Bad Player Number     $40.00 TO WIN");
    EXPECT_EQ(lines.back(), "TOTAL BETS $1,552.50");
}

// Each bettor's bets in the order of the Bets file, however they interleave with others'; an
// entry number held by two rows names the first.
TEST_F(SummaryPrint, EachBettorsBetsKeepTheFileOrder) {
    bets("Round1", 1, {"3,2,1,40", "2,1,1,10", "3,1,2,5", "2,2,2,1500", "3,2,3,1"});
    sh().entries(3).number = 1;
    summary().control("optflight", 1).click();
    auto lines = print("cmdbettorall");
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(
        std::vector<std::string>(lines.begin() + 3, lines.begin() + 8),
        (std::vector<std::string>{"Ticket/Bettor ADAMS-AL", "A -       BRAVO        $40.00 TO WIN",
                                  "A -       ALPHA        $5.00 TO PLACE",
                                  "A -       BRAVO        $1.00 TO SHOW", "TOTAL  $46.00"}));
    EXPECT_EQ(print("cmdbettorsumm")[4], "ADAMS-AL              $46.00");
}

TEST_F(SummaryPrint, BetSummaryListsOnlyBettorsWithBets) {
    std::vector<std::string> expected = {
        "Open - Round 1  Flight A -         Bettor Summary",
        " ",
        "Bettor Name           Amount",
        " ",
        "ADAMS-AL              $40.00",
        "SMITH-JO              $1,512.50",
        " ",
        "TOTAL BETS $1,552.50",
    };
    EXPECT_EQ(print("cmdbettorsumm"), expected);
    EXPECT_EQ(dialogs.shown.back().title, "Print Bet Summary");
}

TEST_F(SummaryPrint, CopiesFollowTheLeadingNumberOfTheAnswer) {
    const std::pair<std::string, size_t> cases[] = {
        {"3", 3}, {"0", 0}, {"", 0}, {"-2", 1}, {"250", 1}, {"2.5", 2}, {"7 copies", 7}};
    for (const auto& [answer, copies] : cases) {
        dialogs.type(answer);
        size_t before = printed.docs.size();
        summary().control("cmdbettorsumm").click();
        EXPECT_EQ(printed.docs.size() - before, copies) << "answer " << answer;
    }
    sh().printswitch = "no";
    summary().control("cmdprint").click();
    summary().control("cmdbettorall").click();
    EXPECT_EQ(dialogs.shown.size(), 7u);
}

namespace {

class BigSummaryPrint : public ReportsTest {
  protected:
    BigSummaryPrint() {
        sh().printswitch = "yes";
        players(
            {{1, 1, "BARTHOLOMEW-WETHERINGTON-SMYTH"}, {2, 1, "WETHERINGTON-BARTHOLOMEW-JONES"}});
        bettors({"AnyBettor", "BARTHOLOMEW-WETHERINGTON-SMYTH"});
        bets("Round1", 1,
             {"2,1,1,99999.99", "2,1,1,4668.96", "2,1,2,99999.99", "2,2,3,99999.99",
              "2,2,1,99999.99"});
        summary();
    }
};

}  // namespace

// In the real font 30-character names and six-figure amounts keep each entry on one line over its
// rule of 89 underscores, which reaches past the ODDS column.
TEST_F(BigSummaryPrint, EveryEntryOnOneLineInTheRealFont) {
    printed.textmeasure = &qtmeasure();
    dialogs.type("1", "Enter number of forms to print");
    summary().control("cmdprint").click();
    ASSERT_EQ(printed.docs.size(), 1u);
    const auto& lines = printed.docs[0].pages[0];
    ASSERT_EQ(lines.size(), 4u + 2 * 2 + 2);
    EXPECT_EQ(lines[4].text.rfind("BARTHOLOMEW-WETHERINGTON-SMYTH", 0), 0u);
    EXPECT_NE(lines[4].text.find("104,669"), std::string::npos);
    EXPECT_EQ(lines[4].runs.back().column, 74);
    EXPECT_EQ(lines[6].runs.back().column, 74);
    EXPECT_GT(textcolumns(lines[5].text, qtmeasure(), "MS Sans Serif", 10, false), 79.0);
    test::keepprintout(folder.path(), printed.docs[0], "summary-print.pdf");
}

// A name of 30 wide capitals is drawn narrower before the WIN column: its row stays one line.
TEST_F(SummaryPrint, AWideNameKeepsItsRowOnOneLineInTheRealFont) {
    const std::string wide(30, 'W');
    players({{1, 1, wide}, {2, 1, "SMITH-JOHN"}});
    bets("Round1", 1, {"1,1,1,25", "1,2,1,5"});
    summary().unload();  // loaded again with these entries
    printed.textmeasure = &qtmeasure();
    dialogs.type("1", "Enter number of forms to print");
    summary().control("cmdprint").click();
    ASSERT_EQ(printed.docs.size(), 1u);
    const auto& lines = printed.docs[0].pages[0];
    ASSERT_EQ(lines.size(), 4u + 2 * 2 + 2);  // title, blank, heading, blank, two entries, totals
    for (size_t i : {4u, 6u}) EXPECT_EQ(lines[i].runs.at(1).column, 34) << lines[i].text;
    EXPECT_EQ(lines[6].text.rfind(wide, 0), 0u);
}

// A flight of 250 bettors with 1 to 38 bets each, 4,871 in all, printed on paper: page ends fall
// at every line of a bettor's block in turn, yet no page ends with a bettor's heading and none
// begins with his TOTAL.
TEST_F(SummaryPrint, AllBetsKeepEachBettorsHeadingAndTotalWithHisBetsOnPaper) {
    std::vector<std::string> names{"AnyBettor"}, lines;
    for (int b = 1; b <= 250; ++b) {
        names.push_back("BETTOR-" + std::to_string(1000 + b));
        for (int n = 0; n < b * 7 % 38 + 1; ++n)
            lines.push_back(std::to_string(b + 1) + "," + std::to_string(n % 2 + 1) + "," +
                            std::to_string(n % 3 + 1) + "," + std::to_string(n + 2));
    }
    EXPECT_EQ(lines.size(), 4871u);
    bettors(names);
    bets("Round1", 1, lines);
    summary().unload();
    printed.textmeasure = &qtmeasure();
    dialogs.type("1", "Enter number of forms to print");
    summary().control("cmdbettorall").click();
    ASSERT_EQ(printed.docs.size(), 1u);
    const std::string pdf = test::keepprintout(folder.path(), printed.docs[0], "allbets-pages.pdf");
    const std::vector<test::PdfLine> paper = test::pdflines(test::pdfwords(pdf));
    ASSERT_FALSE(paper.empty());
    auto word = [&](size_t i, size_t w) {
        return w < paper[i].words.size() ? paper[i].words[w].text : "";
    };
    int headings = 0, totals = 0, pagesinsidebets = 0;
    for (size_t i = 0; i < paper.size(); ++i) {
        const bool heading = word(i, 0) == "Bet" || word(i, 0) == "Ticket/Bettor";
        const bool total = word(i, 0) == "TOTAL" && word(i, 1).rfind("$", 0) == 0;
        headings += word(i, 0) == "Bet";
        totals += total;
        if (i + 1 < paper.size() && paper[i + 1].page != paper[i].page) {
            EXPECT_FALSE(heading) << "page " << paper[i].page + 1 << " ends with "
                                  << paper[i].text();
            pagesinsidebets += word(i + 1, 0) == "A-";
        }
        if (i > 0 && paper[i - 1].page != paper[i].page) {
            EXPECT_FALSE(total) << "page " << paper[i].page + 1 << " begins with "
                                << paper[i].text();
        }
    }
    EXPECT_EQ(headings, 251);  // AnyBettor has no bets
    EXPECT_EQ(totals, 250);
    EXPECT_GT(paper.back().page, 60);
    // Many pages begin inside a bettor's bets, so the page ends were put to the test.
    EXPECT_GT(pagesinsidebets, 20);
}
