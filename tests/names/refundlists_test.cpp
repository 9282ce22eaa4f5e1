// The three refund lists (scratch, bettor delete, clearing a flight): printed before the operation
// commits, so a list that cannot be printed changes nothing; whole names on paper.
#include <filesystem>

#include "faults.h"
#include "keepprintout.h"
#include "namesfixture.h"
#include "platform/qt/qtview.h"
#include "records/records.h"

namespace vt::test {
namespace {

const std::string smyth = "BARTHOLOMEW-WETHERINGTON-SMYTH";
const std::string jones = "BARTHOLOMEW-WETHERINGTON-JONES";

std::string pad(const std::string& s, size_t n) {
    return s + std::string(n > s.size() ? n - s.size() : 0, ' ');
}
const std::vector<std::string> heading(const std::string& title) {
    return {title, " ", "Bettor Name                  Amount", " "};
}

class RefundLists : public NamesTest {
  protected:
    void SetUp() override {
        bettors("1,\"AnyBettor\"\r\n2,\"" + smyth + "\"\r\n3,\"" + jones + "\"\r\n4,\"LI-AL\"\r\n");
        players("1,1,\"\",\"SMITH-JOHN\"\r\n2,1,\"\",\"ADAMS-PAT\"\r\n");
        bets("Round1", 1, "2,1,1,99999.99\r\n3,1,2,50000\r\n4,1,1,2\r\n");
        bets("Round3", 5, "2,1,3,99999.99\r\n");
        bets("Final", 1, "2,2,1,62345.65\r\n");
    }
    Control& ctl(const std::string& form, const std::string& name) {
        return app->form(form).control(name);
    }
    // Each operation answers its questions, then expects the box `after`.
    void scratch(const std::string& after) {
        show("frmentries");
        pick(ctl("frmentries", "lstentries"), "FLT-A     SMITH-JOHN");
        dialogs.answer(vbYes, "Scratch FLT-A     SMITH-JOHN").ok(after);
        ctl("frmentries", "cmdscratch").click();
    }
    void deletebettor(const std::string& after) {
        show("frmbettor");
        pick(ctl("frmbettor", "cbobettornames"), smyth);
        dialogs.answer(vbYes, "Delete " + smyth);
        if (!after.empty()) dialogs.ok(after);
        ctl("frmbettor", "cmddelete").click();
    }
    void clearflight(const std::string& after) {
        sh().curround = "Round1";
        sh().curflightnbr = 1;
        sh().curflight = sh().flightnames[1];
        dialogs.answer(vbYes, "Click Yes to clear Round1 Flight FLT-A")
            .answer(vbYes, "Print refunds?");
        dialogs.ok(after);
        clearflightbets(*app);
    }
    // The operation with a printer that fails: the failure box names the list, and every file
    // is as before, byte for byte.
    void failstoprint(const std::function<void(const std::string&)>& operation) {
        const auto before = snapshot(folder.path());
        printed.failwith = 75;
        operation("75 Path/File access error");
        printed.failwith = 0;
        EXPECT_EQ(dialogs.shown.back().title, "Refund List");
        EXPECT_EQ(dialogs.shown.back().prompt,
                  " 75 Path/File access error\r\nThe printout failed, so nothing was changed.");
        EXPECT_EQ(snapshot(folder.path()), before);
        EXPECT_TRUE(printed.docs.empty());
        EXPECT_EQ(dialogs.pending(), 0u);
    }
};

TEST_F(RefundLists, ScratchListThatCannotBePrintedKeepsTheEntryAndItsBets) {
    failstoprint([&](const std::string& box) { scratch(box); });
    EXPECT_EQ(listof(ctl("frmentries", "lstentries")),
              (std::vector<std::string>{"FLT-A     ADAMS-PAT", "FLT-A     SMITH-JOHN"}));

    // Printed, the scratch goes through; long names are whole, their amount kept under "Amount".
    scratch("FLT-A     SMITH-JOHN Scratched");
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.docs[0].title, "Refund List");
    EXPECT_TRUE(printed.docs[0].mustcomplete);
    auto want = heading("REFUND BETS ON FLT-A     SMITH-JOHN");
    for (const std::string& l : {smyth + " $99,999.99", jones + " $50,000.00",
                                 pad("LI-AL", 28) + "$2.00", smyth + " $99,999.99"})
        want.push_back(l);
    EXPECT_EQ(printed.lines(0), want);
    EXPECT_EQ(betsfile("Round1", 1), "");
    EXPECT_EQ(betsfile("Final", 1), "2,2,1,62345.65\r\n");
}

TEST_F(RefundLists, BettorDeleteThatCannotBePrintedKeepsTheBettorAndBets) {
    failstoprint([&](const std::string& box) { deletebettor(box); });
    EXPECT_EQ(listof(ctl("frmbettor", "cbobettornames")),
              (std::vector<std::string>{"AnyBettor", jones, smyth, "LI-AL"}));

    deletebettor("");
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.docs[0].title, "Refund List");
    EXPECT_TRUE(printed.docs[0].mustcomplete);
    auto want = heading("REFUND BETS FOR " + smyth);
    want.push_back(smyth + " $262,345.63");
    EXPECT_EQ(printed.lines(0), want);
    EXPECT_EQ(folder.read("Bettors").find(smyth), std::string::npos);
    EXPECT_EQ(betsfile("Final", 1), "");
}

TEST_F(RefundLists, ClearingThatCannotBePrintedClearsNothing) {
    failstoprint([&](const std::string& box) { clearflight(box); });

    clearflight("Round1 Flight FLT-A      Bets Cleared");
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.docs[0].title, "Refund List");
    EXPECT_TRUE(printed.docs[0].mustcomplete);
    auto want = heading("REFUND BETS FOR Round1 Flight FLT-A     ");
    for (const std::string& l :
         {smyth + " $99,999.99", jones + " $50,000.00", pad("LI-AL", 28) + "$2.00",
          std::string(" "), std::string("TOTAL BETS $150,001.99")})
        want.push_back(l);
    EXPECT_EQ(printed.lines(0), want);
    EXPECT_FALSE(folder.exists("Round1 1Bets"));
    EXPECT_FALSE(folder.exists("Round1 1Betsbackup"));
}

// In the real font every amount stands at column 29, under "Amount": a padded short name's and
// a name drawn wider than its field (drawn narrower to fit, whole).
TEST_F(RefundLists, AmountsStandInPrintZonesInTheRealFont) {
    printed.textmeasure = &qtmeasure();
    scratch("Scratched");
    ASSERT_EQ(printed.docs.size(), 1u);
    const auto& lines = printed.docs[0].pages[0];
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[4].runs.back(), (PrintRun{28, "$99,999.99"}));
    EXPECT_EQ(lines[4].runs.front().text, smyth);
    EXPECT_EQ(lines[6].runs.back(), (PrintRun{28, "$2.00"}));
    // The heading's "Amount" stands at the column its padding names.
    EXPECT_NEAR(
        textcolumns("Bettor Name                  ", qtmeasure(), "MS Sans Serif", 8, false), 29.0,
        0.01);
    keepprintout(folder.path(), printed.docs[0], "refunds-print.pdf");
}

// With printing off there is nothing to fail: the operations go on without a list.
TEST_F(RefundLists, PrintingOffNeedsNoPrinter) {
    sh().printswitch = "no";
    printed.failwith = 75;
    scratch("Scratched");
    EXPECT_EQ(betsfile("Round1", 1), "");
    deletebettor("");
    EXPECT_EQ(betsfile("Final", 1), "");
    EXPECT_TRUE(printed.docs.empty());
    EXPECT_TRUE(dialogs.failures.empty());
}

}  // namespace
}  // namespace vt::test
