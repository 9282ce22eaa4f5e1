#include <QImage>
#include <filesystem>

#include "keepprintout.h"
#include "pdfwords.h"
#include "platform/qt/qtview.h"
#include "platform/text.h"
#include "reportsfixture.h"

using namespace vt;
using vt::test::ReportsTest;

namespace {

class OddsGrid : public ReportsTest {
  protected:
    Control& grid() { return app->form("frmsumm").control("grdodds"); }
    std::vector<std::string> row(int r) {
        std::vector<std::string> out;
        for (int c = 0; c < 10; ++c) out.push_back(grid().textmatrix(r, c));
        return out;
    }
    // Entries of flight 2 in two runs, the first entry not in flight 1; bets in both flights.
    void twoflights() {
        players({{1, 2, "ALPHA"}, {2, 1, "BRAVO"}, {3, 2, "CHARLIE"}});
        bets("Round1", 1, {"1,2,1,12.5"});
        bets("Round1", 2, {"1,1,1,250", "1,3,2,12.5"});
    }
};

const std::string k6(6, ' ');

}  // namespace

TEST_F(OddsGrid, EachRunOfAFlightEndsWithItsTotalRow) {
    twoflights();
    ASSERT_EQ(grid().rows(), 13);
    EXPECT_EQ(row(0)[0], "Rec Nbr");
    EXPECT_EQ(row(0)[9], "Total $");
    using V = std::vector<std::string>;
    const V flight1total = {"1", "", "TOTAL", "$ 12.5", "", "$ 0", "", "$ 0", "", "$ 12.5"};
    const V flight2total = {"4", "", "TOTAL", "$ 250", "", "$ 12.5", "", "$ 0", "", "$ 262.5"};
    EXPECT_EQ(row(1), flight1total);
    EXPECT_TRUE(grid().cellbold(1, 2));
    EXPECT_TRUE(grid().cellbold(1, 9));
    EXPECT_EQ(row(2), (V{"2", "", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(row(3), (V{"3", "B -        ", "ALPHA", "    250", "  1/ 1", "      0", k6, "      0",
                         k6, "    250"}));
    EXPECT_EQ(row(4), flight2total);
    EXPECT_EQ(row(6)[3], "     12.5");
    EXPECT_EQ(row(7)[2], "TOTAL");
    EXPECT_EQ(row(9)[5], "   12.5");
    EXPECT_EQ(row(10)[9], "$ 262.5");
    EXPECT_EQ(row(12)[0], "12");
    // The current flight is left as it was.
    EXPECT_EQ(sh().curflightnbr, 1);
}

TEST_F(OddsGrid, AnEmptyPlayersFileGivesOneEmptyTotalStepOnly) {
    players({});
    ASSERT_EQ(grid().rows(), 4);
    EXPECT_EQ(row(1)[0], "");
    EXPECT_EQ(row(2)[0], "2");
    EXPECT_EQ(row(3)[0], "3");
}

TEST_F(OddsGrid, PrintsEveryRowAtTheTabColumns) {
    twoflights();
    sh().printswitch = "yes";
    dialogs.type("2", "Enter number of forms to print");
    app->form("frmsumm").control("cmdprint").click();
    ASSERT_EQ(printed.docs.size(), 2u);
    EXPECT_EQ(dialogs.shown.back().title, "Print Bets");
    auto lines = printed.lines(0);
    // Only "Rec Nbr" is wider than the room before the next tab column, so the rest of the
    // title goes on the next printed line; a flight name padded to 11 places does not push its
    // row on, as its padding never passes a tab.
    ASSERT_EQ(lines.size(), 13u + 1);
    EXPECT_EQ(lines[0], "Rec Nbr");
    EXPECT_EQ(lines[4].substr(0, 20), "3   B -        ALPHA");
    EXPECT_EQ(lines[1].substr(0, 25), "    Flight    Player/Team");
    EXPECT_EQ(lines[2],
              "1             TOTAL               $ 12.5               $ 0                $ 0       "
              "            $ 12.5");
}

TEST_F(OddsGrid, ScreensRenderAt1024By768) {
    twoflights();
    std::string dir = VANTROPE_SCREENS_DIR;
    ASSERT_TRUE(renderformpng(*app, app->form("frmsumm"), dir + "/frmsumm.png"));
    ASSERT_TRUE(renderformpng(*app, summary(), dir + "/frmsummary.png"));
    QImage img(QString::fromStdString(dir + "/frmsummary.png"));
    EXPECT_EQ(img.width(), 1024);
    EXPECT_EQ(img.height(), 768);
}

// Through the Qt sink's measure, in the font the grid prints in: every entry and TOTAL row is one
// printed line, six-figure amounts and long names included (only the title row's "Rec Nbr" is
// wider than its room, as on the old printer). The PDF is written as the sink writes it.
TEST_F(OddsGrid, EveryRowPrintsAsOneLineInTheRealFont) {
    sh().flightnames[1] = "Flight A   ";
    sh().flightnames[2] = "Flight B   ";
    sh().curflight = sh().flightnames[1];
    players({{1, 1, "WETHERINGTON-BART"}, {2, 1, "SMITH-JOHN"}, {3, 2, "JONES-MARY"}});
    bets("Round1", 1, {"1,1,1,99999.99", "1,1,1,4668.96", "1,1,2,99999.99", "1,2,3,99999.99"});
    sh().printswitch = "yes";
    printed.textmeasure = &qtmeasure();
    dialogs.type("1", "Enter number of forms to print");
    app->form("frmsumm").control("cmdprint").click();
    ASSERT_EQ(printed.docs.size(), 1u);
    const auto& lines = printed.docs[0].pages[0];
    // The title row in two lines, then one line per grid row.
    ASSERT_EQ(static_cast<int>(lines.size()), grid().rows() + 1);
    EXPECT_EQ(lines[0].text, "Rec Nbr");
    for (size_t i = 2; i < lines.size(); ++i) {
        const PrintLine& l = lines[i];
        EXPECT_TRUE(l.runs.empty() || l.runs[0].column == 0) << l.text;
    }
    EXPECT_NE(lines[2].text.find("WETHERINGTON-BART"), std::string::npos);
    EXPECT_NE(lines[2].text.find("104668.95"), std::string::npos);

    std::string pdf = test::keepprintout(folder.path(), printed.docs[0], "oddsgrid-print.pdf");
    EXPECT_EQ(pdf.rfind(folder.path() + "/Printouts/", 0), 0u);
}

// On paper a flight label of nine wide capitals and a 30-character name are drawn narrower within
// their columns: each grid row is one printed line, its number, label, name and figures side by
// side, and the name ends before the WIN money starts.
TEST_F(OddsGrid, WideLabelsAndLongNamesKeepEachRowOnOneLineOnPaper) {
    const std::string longname = "WETHERINGTON-MONTGOMERY-WALLAW";
    sh().flightnames[1] = "WWWWWWWWW ";
    sh().flightnames[2] = "SENIORS   ";
    sh().curflight = sh().flightnames[1];
    players({{1, 1, longname}, {2, 1, "SMITH-JOHN"}, {3, 2, "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"}});
    bets("Round1", 1, {"1,1,1,250", "1,2,2,12.5"});
    bets("Round1", 2, {"1,3,3,40"});
    sh().printswitch = "yes";
    printed.textmeasure = &qtmeasure();
    dialogs.type("1", "Enter number of forms to print");
    app->form("frmsumm").control("cmdprint").click();
    ASSERT_EQ(printed.docs.size(), 1u);
    // Only the title row is two lines ("Rec Nbr" is wider than its room, as on the old printer).
    EXPECT_EQ(static_cast<int>(printed.docs[0].pages[0].size()), grid().rows() + 1);

    const std::string pdf = test::keepprintout(folder.path(), printed.docs[0], "oddsgrid-wide.pdf");
    const auto lines = test::pdflines(test::pdfwords(pdf));
    int named = 0;
    for (int r = 1; r < grid().rows(); ++r) {
        const std::vector<std::string> cells = row(r);
        if (cells[2].empty() || cells[2] == "TOTAL") continue;
        ++named;
        SCOPED_TRACE(cells[2]);
        const test::PdfLine* line = nullptr;
        for (const auto& l : lines)
            if (!l.words.empty() && l.words[0].text == cells[0]) line = &l;
        ASSERT_NE(line, nullptr);
        // Number, label, name and the figures up to the total, all on the row's line; the
        // name ends before the WIN money.
        ASSERT_GE(line->words.size(), 5u) << line->text();
        EXPECT_EQ(line->words[1].text, trim(cells[1])) << line->text();
        EXPECT_EQ(line->words[2].text, cells[2]) << line->text();
        EXPECT_EQ(line->words[3].text, trim(cells[3])) << line->text();
        EXPECT_LT(line->words[2].x1, line->words[3].x0) << line->text();
        EXPECT_EQ(line->words.back().text, trim(cells[9])) << line->text();
    }
    EXPECT_EQ(named, 3);
}
