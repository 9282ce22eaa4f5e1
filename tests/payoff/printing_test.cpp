// Payoff sheets with the results file, and the sortable winners list.
#include <filesystem>
#include <functional>

#include "faultseam.h"
#include "keepprintout.h"
#include "paytest.h"
#include "pdfwords.h"
#include "platform/qt/qtview.h"

namespace vt::test {
namespace {

// A printed line with texts starting at the given columns.
std::string at(std::initializer_list<std::pair<int, std::string>> items) {
    std::string line;
    for (auto& [col, text] : items) {
        line.resize(col - 1, ' ');
        line += text;
    }
    return line;
}

class PrintTest : public PayTest {
  protected:
    PrintTest() { sh().printswitch = "yes"; }
    // ALPHA and BRAVO dead-heat for first, CHARLIE third; 10 % house: every payoff is 1.8 but
    // BRAVO's WIN, 3.6.
    void deadheat(bool openresults = true) {
        if (openresults) app->results.open(app->files(), "C:\\Vantrope\\Results");
        deadheatbets();
        open();
        ctl("txthousepct").settext("10");
        finishers({"1", "1", "3"}, {1, 2, 3});
        ctl("cmdcalc").click();
        ctl("cmdprtsumm").click();
    }
    void choose(int line) { ctl("cmbbn").setlistindex(line); }
    Control& grid() { return app->form("frmprint").control("wingrd"); }
    std::vector<std::string> gridcolumn(int col) {
        std::vector<std::string> out;
        for (int r = 1; r < grid().rows(); ++r) out.push_back(grid().textmatrix(r, col));
        return out;
    }
};

TEST_F(PrintTest, DetailSheetsAndTheirResultsRecords) {
    deadheat();
    choose(0);
    ASSERT_EQ(printed.docs.size(), 1u);
    const std::vector<std::string> zeros = {"$0.00", "$0.00", "$0.00", "$0.00", "$0.00", "$0.00"};
    auto slotline = [](const std::string& name, std::vector<std::string> m) {
        return at(
            {{1, name}, {30, m[0]}, {40, m[1]}, {50, m[2]}, {60, m[3]}, {70, m[4]}, {80, m[5]}});
    };
    const std::vector<std::string> head = {
        "Results for ADAMS-ANN for Round Round1 Flight A         ",
        " ",
        at({{34, "WIN"}, {54, "PLACE"}, {74, "SHOW"}}),
        at({{1, "Player/Team"},
            {30, "Bet"},
            {40, "Paid"},
            {50, "Bet"},
            {60, "Paid"},
            {70, "Bet"},
            {80, "Paid"}}),
    };
    std::vector<std::string> want = head;
    want.push_back(
        slotline("A         ALPHA", {"$30.00", "$54.00", "$10.00", "$18.00", "$5.00", "$9.00"}));
    want.push_back(slotline("A         BRAVO", zeros));
    want.push_back(slotline("A         CHARLIE", zeros));
    want.push_back(" ");
    want.push_back(at({{20, "TOTAL"},
                       {30, "$30.00"},
                       {40, "$54.00"},
                       {50, "$10.00"},
                       {60, "$18.00"},
                       {70, "$5.00"},
                       {80, "$9.00"}}));
    want.push_back("");
    want.push_back(at({{13, "TOTAL PAID"}, {30, "$81.00"}}));
    auto lines = printed.lines(0);
    ASSERT_GE(lines.size(), want.size() * 2 + 2);
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(lines[i], want[i]) << i;
    // BAKER-BOB: BRAVO's WIN 10 at 3.6, PLACE 10 at 1.8, SHOW 5 on BRAVO and on CHARLIE at 1.8.
    EXPECT_EQ(lines[want.size() + 5], slotline("A         BRAVO", {"$10.00", "$36.00", "$10.00",
                                                                   "$18.00", "$5.00", "$9.00"}));
    EXPECT_EQ(lines[lines.size() - 1], at({{7, "GRAND TOTAL PAID"}, {30, "$153.00"}}));
    EXPECT_EQ(lines[lines.size() - 2], " ");

    const std::string results = folder.read("Results");
    EXPECT_EQ(results.substr(0, results.find("\r\n") + 2),
              "\"ADAMS-ANN\",\"Round1\",\"A         \",\"A         ALPHA\",30,54,10,18,5,9\r\n");
    EXPECT_NE(
        results.find(
            "\"BAKER-BOB\",\"Round1\",\"A         \",\"A         BRAVO\",10,36,10,18,5,9\r\n"),
        std::string::npos);
    EXPECT_NE(results.find(
                  "\"ADAMS-ANN\",\"Round1\",\"A         \",\"A         CHARLIE\",0,0,0,0,0,0\r\n"),
              std::string::npos);
    size_t records = 0;
    for (size_t p = 0; (p = results.find("\r\n", p)) != std::string::npos; p += 2) ++records;
    EXPECT_EQ(records, 6u);
    EXPECT_FALSE(ctl("cmbbn").visible());
    EXPECT_EQ(sh().bettorbets[1][1], Money());
}

TEST_F(PrintTest, AnyBettorLinePrintsItsOwnSheet) {
    app->results.open(app->files(), "C:\\Vantrope\\Results");
    writebets({{1, 1, 1, "10"},
               {2, 1, 2, "10"},
               {3, 2, 2, "10"},
               {2, 1, 3, "5"},
               {3, 2, 3, "5"},
               {3, 3, 3, "5"}});
    open();
    finishers({"1", "2", "3"}, {1, 2, 3});
    ctl("cmdcalc").click();
    ctl("cmdprtsumm").click();
    ASSERT_EQ(ctl("cmbbn").list(3), "AnyBettor");
    choose(3);
    EXPECT_FALSE(app->isloaded("frmprint"));
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.lines(0)[0].rfind("Results for AnyBettor", 0), 0u);
}

TEST_F(PrintTest, NothingPrintedOrRecordedWhenPrintingIsOffOrCancelled) {
    deadheat();
    sh().printswitch = "no";
    choose(0);
    EXPECT_FALSE(ctl("cmbbn").visible());
    ctl("cmdprtsumm").click();
    choose(1);
    EXPECT_FALSE(app->isloaded("frmprint"));
    sh().printswitch = "yes";
    ctl("cmdprtsumm").click();
    choose(2);
    EXPECT_FALSE(ctl("txtbn").visible());
    EXPECT_TRUE(printed.docs.empty());
    EXPECT_EQ(folder.read("Results"), "");
}

TEST_F(PrintTest, AResultsFileThatCannotBeWrittenIsToldOnceAndTheSheetsStillPrint) {
    deadheat(false);
    dialogs.ok("52 Bad file name or number");
    choose(0);
    EXPECT_EQ(dialogs.shown.back().title, "Results Append");
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.lines(0).back(), at({{7, "GRAND TOTAL PAID"}, {30, "$153.00"}}));
}

// Every write and sync of the run failing once or from then on: the file keeps the records before
// the failure, whole, and nothing after it; the failure is told once.
// A printer that fails after every Results record was written: the box names the sheets, not the
// results file, and the records go, since nothing reached paper; printed again, each finisher line
// that reaches paper has its one record.
TEST_F(PrintTest, SheetsThatCannotBePrintedLeaveNoRecordsAndAPrintedRetryLeavesThemOnce) {
    deadheat();
    auto records = [&] {
        size_t n = 0;
        const std::string results = folder.read("Results");
        for (size_t p = 0; (p = results.find("\r\n", p)) != std::string::npos; p += 2) ++n;
        return n;
    };
    printed.failwith = 75;
    dialogs.ok("75 Path/File access error");
    choose(0);
    EXPECT_EQ(dialogs.shown.back().title, "Payoff Sheets");
    EXPECT_EQ(dialogs.shown.back().prompt,
              " 75 Path/File access error\r\nThe printout failed, so nothing was changed.");
    EXPECT_EQ(records(), 0u);
    dialogs.ok("75 Path/File access error");
    choose(0);  // still failing
    EXPECT_EQ(records(), 0u);
    printed.failwith = 0;
    choose(0);
    EXPECT_EQ(records(), 6u);  // two sheets of three finishers
    choose(0);
    EXPECT_EQ(records(), 12u);
}

// A crash at any file call of the print: before the sheets were handed to the printer the results
// file holds none of the run's records, after it none or all of them, so a retry never pays twice.
TEST_F(PrintTest, ACrashDuringThePrintLeavesNoneOrAllOfTheRunsRecords) {
    deadheat();
    choose(0);
    const std::string clean = folder.read("Results");
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.docs[0].title, "Payoff Sheets");
    EXPECT_TRUE(printed.docs[0].mustcomplete);
    for (long n = 1;; ++n) {
        SCOPED_TRACE("crash at call " + std::to_string(n));
        faults(app->files()).setfault({});  // the program starts again on the folder
        app->results.close();
        folder.write("Results", "");
        app->results.open(app->files(), "C:\\Vantrope\\Results");
        printed.docs.clear();
        faults(app->files()).setfault({Fault::Crash, n});
        try {
            choose(0);
        } catch (const SimulatedCrash&) {
        }
        const long calls = faults(app->files()).calls();
        const std::string got = folder.read("Results");
        if (printed.docs.empty())
            EXPECT_EQ(got, "");
        else
            EXPECT_TRUE(got.empty() || got == clean) << got;
        if (n > calls) {
            EXPECT_EQ(got, clean);
            break;
        }
    }
}

TEST_F(PrintTest, AFailedResultsRecordEndsTheRunsRecordsAndIsToldOnce) {
    deadheat();
    choose(0);
    const std::string clean = folder.read("Results");
    ASSERT_GT(clean.size(), 0u);
    printed.docs.clear();
    for (bool persist : {false, true})
        for (long n = 1;; ++n) {
            SCOPED_TRACE("call " + std::to_string(n) + (persist ? " on" : " once"));
            app->results.close();
            folder.write("Results", "");
            app->results.open(app->files(), "C:\\Vantrope\\Results");
            faults(app->files()).setfault({Fault::Fail, n, persist ? ENOSPC : EIO, persist});
            choose(0);
            const long calls = faults(app->files()).calls();
            faults(app->files()).setfault({});
            const std::string got = folder.read("Results");
            const size_t boxes = dialogs.failures.size();  // the file-error boxes, unscripted here
            dialogs.failures.clear();
            EXPECT_EQ(clean.compare(0, got.size(), got), 0) << got;
            EXPECT_TRUE(got.empty() || got.substr(got.size() - 2) == "\r\n");
            if (got != clean) {
                EXPECT_EQ(boxes, 1u);
            }
            if (n > calls) break;
        }
}

TEST_F(PrintTest, WinnersListTotalsMatchPaidAndItSorts) {
    sh().roundingchoice = 3;
    calcworked();
    ctl("cmdprtsumm").click();
    choose(1);
    ASSERT_TRUE(app->form("frmprint").visible());
    EXPECT_TRUE(ctl("cmbbn").visible());
    EXPECT_EQ(grid().textmatrix(0, 3), "Amount");
    EXPECT_EQ(grid().colwidth(2), 2150);
    EXPECT_EQ(gridcolumn(2),
              (std::vector<std::string>{"HOUSE", "ADAMS-ANN", "BAKER-BOB", "ZZ-TOTAL"}));
    EXPECT_EQ(gridcolumn(1), (std::vector<std::string>{"", "2", "3", ""}));
    EXPECT_EQ(gridcolumn(3), (std::vector<std::string>{"20.00", "133.05", "46.95", "200.00"}));
    EXPECT_EQ(gridcolumn(4), (std::vector<std::string>{"20.00", "133.00", "47.00", "200.00"}));

    // Paying everyone brings PAID to the list's total; ROUNDED PAID to its rounded bettor totals.
    paybettor(2);
    paybettor(3);
    EXPECT_EQ(ctl("txtpaid").text(), "$200.00");
    EXPECT_EQ(ctl("txtrounded").text(), "$180.00");

    Form& list = app->form("frmprint");
    list.control("cmdsorta").click();
    EXPECT_EQ(gridcolumn(2),
              (std::vector<std::string>{"ADAMS-ANN", "BAKER-BOB", "HOUSE", "ZZ-TOTAL"}));
    list.control("cmdsortd").click();
    EXPECT_EQ(gridcolumn(2),
              (std::vector<std::string>{"HOUSE", "BAKER-BOB", "ADAMS-ANN", "ZZ-TOTAL"}));

    list.control("cmdsorta").click();
    // A multiplier typed since the calculation, without Enter, does not change what was worked out.
    ctl("txtmult").settext("zzz");
    list.control("cmdprint").click();
    ASSERT_EQ(printed.docs.size(), 1u);
    auto lines = printed.lines(0);
    EXPECT_EQ(lines[0], "Payoff for Round Round1   Flight A         ");
    EXPECT_EQ(lines[2],
              at({{1, "Pos"}, {8, "Player / Team"}, {30, "WIN"}, {40, "PLACE"}, {50, "SHOW"}}));
    EXPECT_EQ(lines[4],
              at({{1, "1"}, {5, "A         ALPHA"}, {30, "$9.00"}, {40, "$5.85"}, {50, "$4.60"}}));
    EXPECT_EQ(
        lines[6],
        at({{1, "3"}, {5, "A         CHARLIE"}, {30, "$0.00"}, {40, "$0.00"}, {50, "$10.20"}}));
    EXPECT_EQ(lines[8], at({{1, "BETTOR NAME"}, {50, "AMOUNT"}, {65, "AMT ROUNDED"}}));
    const std::string rule = "____________";
    // In the order the grid shows: after the name sort the house stands between the bettors.
    EXPECT_EQ(lines[10], at({{1, "ADAMS-ANN"}, {50, "133.05"}, {65, "133.00"}, {85, rule}}));
    EXPECT_EQ(lines[12], at({{1, "BAKER-BOB"}, {50, "46.95"}, {65, "47.00"}, {85, rule}}));
    EXPECT_EQ(lines[14], at({{1, "HOUSE"}, {50, "20.00"}, {65, "20.00"}, {85, rule}}));
    EXPECT_EQ(lines[16], at({{1, "ZZ-TOTAL"}, {50, "200.00"}, {65, "200.00"}, {85, rule}}));
    EXPECT_EQ(lines.size(), 17u);

    list.unload();
    EXPECT_FALSE(app->isloaded("frmprint"));
    EXPECT_TRUE(pay().visible());
}

// A forgotten calculation takes its winners list along, so an old grid is never shown or
// printed under another round's or flight's finishers.
TEST_F(PrintTest, ForgettingTheCalculationClosesTheWinnersList) {
    const std::function<void()> forget[] = {[&] { ctl("cmdclear").click(); },
                                            [&] { ctl("Option2").click(); },
                                            [&] { ctl("optflight", 2).click(); }};
    for (const auto& f : forget) {
        ctl("Option1").click();
        calcworked();
        ctl("cmdprtsumm").click();
        choose(1);
        ASSERT_TRUE(app->isloaded("frmprint"));
        f();
        EXPECT_FALSE(app->isloaded("frmprint"));
        EXPECT_TRUE(pay().visible());
        ctl("optflight", 1).click();
        ctl("cmdclear").click();
    }
    // MAIN MENU closes it with the screen.
    calcworked();
    ctl("cmdprtsumm").click();
    choose(1);
    ctl("cmdreturn").click();
    EXPECT_FALSE(app->isloaded("frmprint"));
    EXPECT_FALSE(app->isloaded("frmpay"));
    EXPECT_TRUE(printed.docs.empty());
}

}  // namespace
}  // namespace vt::test

namespace vt::test {
namespace {

// Six-figure bets and payoffs, finishers ALPHA, BRAVO, CHARLIE.
class BigPrintTest : public PrintTest {
  protected:
    std::vector<PrintLine> sheets() {
        app->results.open(app->files(), "C:\\Vantrope\\Results");
        writebets({{2, 1, 1, "99999.99"},
                   {3, 2, 1, "60000"},
                   {4, 4, 1, "45000"},
                   {2, 1, 2, "99999.99"},
                   {3, 2, 2, "50000"},
                   {4, 4, 2, "45000"},
                   {2, 1, 3, "99999.99"},
                   {3, 3, 3, "50000"},
                   {4, 4, 3, "45000"}});
        open();
        ctl("txthousepct").settext("0");
        finishers({"1", "2", "3"}, {1, 2, 3});
        ctl("cmdcalc").click();
        ctl("cmdprtsumm").click();
        choose(0);
        EXPECT_EQ(printed.docs.size(), 1u);
        return printed.docs.empty() ? std::vector<PrintLine>{} : printed.docs[0].pages[0];
    }
};

// Each sheet is its title, a blank, two heading lines, one line per finisher, a blank, TOTAL, an
// empty line and TOTAL PAID; the run ends with a blank and GRAND TOTAL PAID.
size_t sheetlines(const std::vector<PrintLine>& lines) {
    size_t sheets = 0;
    for (const PrintLine& l : lines) sheets += l.text.rfind("Results for ", 0) == 0;
    return sheets * (4 + 3 + 4) + 2;
}

}  // namespace

TEST_F(BigPrintTest, SixFigureAmountsKeepEachFinisherOnOneLineInTheRealFont) {
    printed.textmeasure = &qtmeasure();
    const auto lines = sheets();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.size(), sheetlines(lines));
    bool sixfigures = false;
    for (const PrintLine& l : lines) sixfigures |= l.text.find("$204,999.99") != std::string::npos;
    EXPECT_TRUE(sixfigures);
    keepprintout(folder.path(), printed.docs[0], "payoffsheets-print.pdf");
}

// Ninety-one sheets run over many pages, so page ends fall at every line of a sheet in turn: a
// sheet's heading is never left at the foot of a page without its first finisher, and its TOTAL
// is never parted from its TOTAL PAID.
TEST_F(PrintTest, SheetHeadingsAndTotalsStayOnTheirPagesOnPaper) {
    app->results.open(app->files(), "C:\\Vantrope\\Results");
    std::string bettors = "1,\"AnyBettor\"\r\n";
    std::vector<BetRow> bets{{1, 5, 1, "100"}, {1, 2, 2, "10"}, {1, 3, 3, "10"}};
    for (long b = 2; b <= 91; ++b) {
        bettors += std::to_string(b) + ",\"BETTOR-" + std::to_string(b) + "\"\r\n";
        bets.push_back({b, 1, 1, "2"});
    }
    folder.write("Bettors", bettors);
    writebets(bets);
    open();
    ctl("txthousepct").settext("0");
    // Four finishers (a dead heat for third): sheets of twelve lines, so page ends move through
    // the sheets.
    finishers({"1", "2", "3", "3"}, {1, 2, 3, 4});
    ctl("cmdcalc").click();
    ctl("cmdprtsumm").click();
    printed.textmeasure = &qtmeasure();
    choose(0);
    ASSERT_EQ(printed.docs.size(), 1u);
    const std::string pdf = keepprintout(folder.path(), printed.docs[0], "payoffsheets-pages.pdf");
    const std::vector<PdfLine> lines = pdflines(pdfwords(pdf));
    auto first = [&](size_t i) { return i < lines.size() ? lines[i].words.at(0).text : ""; };
    int sheets = 0, totals = 0, pagesinsidesheets = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0 && lines[i].page != lines[i - 1].page && first(i) != "Results")
            ++pagesinsidesheets;
        if (first(i) == "Results") {
            ++sheets;
            // The title, WIN PLACE SHOW, Player/Team and the first finisher on one page.
            ASSERT_LT(i + 3, lines.size());
            EXPECT_EQ(first(i + 1), "WIN");
            EXPECT_EQ(first(i + 2), "Player/Team");
            EXPECT_EQ(first(i + 3), "A") << lines[i + 3].text();
            EXPECT_EQ(lines[i + 3].page, lines[i].page) << lines[i].text();
        }
        if (first(i) == "TOTAL" && lines[i].words.at(1).text != "PAID") {
            ++totals;
            ASSERT_LT(i + 1, lines.size());
            EXPECT_EQ(lines[i + 1].text().rfind("TOTAL PAID", 0), 0u);
            EXPECT_EQ(lines[i + 1].page, lines[i].page) << lines[i].text();
        }
    }
    EXPECT_EQ(sheets, 91);  // AnyBettor too
    EXPECT_EQ(totals, 91);
    // Some pages begin inside a sheet, so the page ends were put to the test.
    EXPECT_GT(pagesinsidesheets, 3);
}

// Counted in characters, "$204,999.99" is wider than the ten columns it has: the rest of the
// finisher's line goes on the next line, as the golden lines have it.
TEST_F(BigPrintTest, FixedPitchGoldenLinesCountCharacters) {
    const auto lines = sheets();
    ASSERT_FALSE(lines.empty());
    EXPECT_GT(lines.size(), sheetlines(lines));
    EXPECT_EQ(lines[4].text, "A         ALPHA              $99,999.99$204,999.99");
    EXPECT_EQ(lines[5].text.substr(0, 59), std::string(49, ' ') + "$99,999.99");
}

}  // namespace vt::test
