#include <filesystem>

#include "keepprintout.h"
#include "names/frmentries.h"
#include "namesfixture.h"
#include "platform/qt/qtview.h"

namespace vt::test {
namespace {

// A line padded to column `col` (1-based) before what follows.
std::string at(const std::string& s, size_t col) {
    return s + std::string(col - 1 > s.size() ? col - 1 - s.size() : 0, ' ');
}
std::string boxes(const std::string& s) {
    return at(at(at(at(s, 57) + "|", 67) + "|", 77) + "|", 87) + "|";
}
const std::string rule(84, '_');

class BetSheetTest : public NamesTest {
  protected:
    void SetUp() override { bettors("1,\"AnyBettor\"\r\n"); }
    Control& ctl(const std::string& name) { return app->form("frmentries").control(name); }
};

TEST_F(BetSheetTest, PrintsTheFlightInCharacterOrderWithTheMessage) {
    std::string longname = "ZED-" + std::string(41, 'Q');
    players(
        "1,1,\"\",\"SMITH-JOHN\"\r\n2,2,\"\",\"BROWN-TOM\"\r\n3,1,\"\",\"JONES-MARY\"\r\n4,1,\"\","
        "\"Adams-lee\"\r\n"
        "5,1,\"\",\"ADAMS-PAT\"\r\n6,1,\"\",\"" +
        longname + "\"\r\n");
    sh().betsheetmsg = "SIGN HERE\r\nPAY THE CASHIER";
    show("frmentries");
    ctl("cmbflt").setlistindex(0);
    ctl("cmdprint").click();
    ASSERT_EQ(printed.docs.size(), 1u);
    std::vector<std::string> want = {
        at(at(at(at("Flight  Player/Team", 57) + "|   Win", 67) + "|  Place", 77) + "|  Show", 87) +
            "|  TOTAL",
        rule};
    for (std::string n : {"ADAMS-PAT", "Adams-lee", "JONES-MARY", "SMITH-JOHN"}) {
        want.push_back(boxes("FLT-A     " + n));
        want.push_back(rule);
    }
    want.push_back(boxes("FLT-A     ZED-" + std::string(36, 'Q')));
    want.push_back(rule);
    for (std::string l :
         {boxes(at(" ", 15) + "TOTAL BET"), rule, std::string(" "), std::string(" "),
          std::string("SIGN HERE"), std::string("PAY THE CASHIER")})
        want.push_back(l);
    EXPECT_EQ(printed.lines(0), want);
    EXPECT_EQ(printed.docs[0].pages[0][0].fontsize, 8);
}

// In the real font a 30-character name keeps its boxes on its line and the rules are 84 columns
// long, under the TOTAL box; the PDF is written as the sink writes it.
TEST_F(BetSheetTest, LongNamesKeepTheirBoxesInTheRealFont) {
    players(
        "1,1,\"\",\"BARTHOLOMEW-WETHERINGTON-SMYTH\"\r\n2,1,\"\","
        "\"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW\"\r\n");
    printed.textmeasure = &qtmeasure();
    show("frmentries");
    ctl("cmbflt").setlistindex(0);
    ctl("cmdprint").click();
    ASSERT_EQ(printed.docs.size(), 1u);
    const auto& lines = printed.docs[0].pages[0];
    ASSERT_EQ(lines.size(), 2u + 2 * 2 + 2 + 3);  // heading, two entries, TOTAL BET, the foot
    for (size_t i : {2u, 4u}) {
        EXPECT_EQ(lines[i].runs.size(), 6u) << lines[i].text;  // label, name, four boxes
        EXPECT_EQ(lines[i].runs[1].column, 10) << lines[i].text;
        EXPECT_EQ(lines[i].runs.back(), (PrintRun{86, "|"}));
        EXPECT_DOUBLE_EQ(textcolumns(lines[i + 1].text, qtmeasure(), "MS Sans Serif", 8, false),
                         84.0);
    }
    keepprintout(folder.path(), printed.docs[0], "betsheet-print.pdf");
}

TEST_F(BetSheetTest, WithoutAStoredMessageTheFootIsOneEmptyLine) {
    players("1,1,\"\",\"SMITH-JOHN\"\r\n");
    show("frmentries");
    pick(ctl("lstentries"), "FLT-A     SMITH-JOHN");
    ctl("cmdprint").click();
    auto lines = printed.lines(0);
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(lines[lines.size() - 2], " ");
}

TEST_F(BetSheetTest, RefusesWithoutAFlightAndPrintsNothingWhenPrintingIsOff) {
    players("1,1,\"\",\"SMITH-JOHN\"\r\n");
    show("frmentries");
    dialogs.ok("Select a Flight First");
    ctl("cmdprint").click();
    sh().printswitch = "NO";
    ctl("cmbflt").setlistindex(0);
    ctl("cmdprint").click();
    EXPECT_TRUE(printed.docs.empty());
}

class BetSheetPauseTest : public BetSheetTest, public ::testing::WithParamInterface<int> {};

// 20 entries in each of two flights: the question comes once, at sorted row 35 of all flights.
TEST_P(BetSheetPauseTest, AsksEvery35RowsAndStopsOnNo) {
    std::string file;
    for (int i = 1; i <= 40; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "P%02d", i);
        file += std::to_string(i) + "," + (i <= 20 ? "1" : "2") + ",\"\",\"" + name + "\"\r\n";
    }
    players(file);
    show("frmentries");
    ctl("cmbflt").setlistindex(1);
    int answer = GetParam();
    dialogs.answer(answer, "Continue Printing Bet Sheet");
    ctl("cmdprint").click();
    EXPECT_EQ(dialogs.shown.back().title, "Print Bet Sheet");
    ASSERT_EQ(printed.docs.size(), 1u);
    auto lines = printed.lines(0);
    int entrylines = 0;
    bool total = false;
    for (auto& l : lines) {
        if (l.rfind("FLT-B", 0) == 0) ++entrylines;
        if (l.find("TOTAL BET") != std::string::npos) total = true;
    }
    EXPECT_EQ(entrylines, answer == vbYes ? 20 : 14);
    EXPECT_EQ(total, answer == vbYes);
}

INSTANTIATE_TEST_SUITE_P(Answers, BetSheetPauseTest, ::testing::Values(int(vbYes), int(vbNo)));

}  // namespace
}  // namespace vt::test
