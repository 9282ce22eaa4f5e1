// Paying for new bets with the receipt, and deleting a prior bet with its refund.
#include <regex>

#include "betfixture.h"
#include "keepprintout.h"
#include "pdfwords.h"
#include "platform/qt/qtview.h"

namespace vt::test {

class PayTest : public BetTest {
  protected:
    void SetUp() override {
        sh().printswitch = "yes";
        bets(1, "12,1,1,10\r\n");
        open();
        tick(1);
        tick(3);
        pickbettor("SMITH-BOB");
    }
};

TEST_F(PayTest, ReceiptListsEveryBetAndTheTotal) {
    place(7, "cmdwin", {3});
    place(8, "cmdshow", {3, 3});
    c("cmdpay").click();
    EXPECT_EQ(c("cmdpay").caption(), "  PAID  $6.00");
    ASSERT_EQ(printed.docs.size(), 1u);
    auto l = printed.lines(0);
    EXPECT_TRUE(std::regex_match(l[0], std::regex(R"(\d\d-\d\d-\d{4} \d\d:\d\d:\d\d)"))) << l[0];
    std::vector<std::string> want{"Round1 BET SUMMARY FOR ",
                                  "SMITH-BOB",
                                  " ",
                                  "PLAYER/TEAM         BET",
                                  "FLIGHT A  ADAMS" + std::string(14, ' ') + " $10.00 W",
                                  "----------NEW BETS--------------",
                                  "FLIGHT C  CARTER" + std::string(13, ' ') + " $02.00 W",
                                  "FLIGHT C  DAVIS" + std::string(14, ' ') + " $04.00 S",
                                  "",
                                  " ",
                                  "TOTAL BETS $16.00"};
    for (int i = 0; i < 10; ++i) want.push_back(" ");
    EXPECT_EQ(std::vector<std::string>(l.begin() + 1, l.end()), want);
    EXPECT_EQ(printed.docs[0].pages[0][0].fontname, "MS Sans Serif");
    EXPECT_EQ(printed.docs[0].pages[0][0].fontsize, 8);
    // Taken by the print service is enough: the payment stands either way.
    EXPECT_EQ(printed.docs[0].title, "Bet Receipt");
    EXPECT_FALSE(printed.docs[0].mustcomplete);
    // Ready for the next bettor.
    EXPECT_EQ(c("lstbetsprior").listcount(), 0);
    EXPECT_EQ(c("cbobettor").text(), "");
    EXPECT_EQ(c("txtbettor").text(), "");
    EXPECT_EQ(c("txttotal").text(), "0");
    EXPECT_EQ(sh().newtotal, Money{});
    EXPECT_EQ(sh().newbets(7).bettor, 0);
    // Nothing unpaid: a second click does nothing.
    c("cmdpay").click();
    EXPECT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(c("cmdpay").caption(), "  PAID  $6.00");
}

TEST_F(PayTest, PrintingOffPrintsNothingAndStillRecords) {
    c("cmdprint").click();
    EXPECT_EQ(sh().printswitch, "no");
    place(7, "cmdwin", {3});
    c("cmdpay").click();
    EXPECT_TRUE(printed.docs.empty());
    EXPECT_EQ(betsfile(3), "12,7,1,2\r\n");
    EXPECT_EQ(sh().newtotal, Money{});
    // Now another bettor can be chosen.
    pickbettor("JONES-AL");
    EXPECT_EQ(sh().curticket, 2);
}

TEST_F(PayTest, PrinterFailureIsShownAndThePaymentStands) {
    printed.failwith = 57;  // the printer cannot print
    place(7, "cmdwin", {3});
    dialogs.ok("57 Device I/O error");
    sh().fileop = "Bets Input";  // stale: the box names the receipt
    c("cmdpay").click();
    EXPECT_EQ(dialogs.shown.back().title, "Bet Receipt");
    EXPECT_EQ(dialogs.shown.back().prompt, " 57 Device I/O error\r\nThe printout failed.");
    EXPECT_FALSE(app->printer().docopen());
    EXPECT_EQ(sh().newtotal, Money{});
    EXPECT_EQ(c("lstbetsprior").listcount(), 0);
    EXPECT_TRUE(printed.docs.empty());
}

// On paper, in the receipt's own font, each bet line's amount stands where the list's characters
// put it, within one column of the others: a name that fills its field and a flight label of wide
// capitals are drawn narrower within their fields, whole.
TEST_F(PayTest, ReceiptAmountsStandInOneColumnOnPaper) {
    sh().flightnames[3] = "WWWWWWWWW ";
    folder.write("Players",
                 "1,1,\"\",\"WETHERINGTON-MONTGOMERY-WALLAW\"\r\n2,1,\"\",\"li-al\"\r\n"
                 "7,3,\"\",\"SMITH-JOHN\"\r\n8,3,\"\",\"WWWWWWWWWWWWWWWWWWWWWW\"\r\n");
    bets(1, "12,1,1,25\r\n12,2,2,5\r\n");
    app->form("frmbet").unload();
    open();
    tick(1);
    tick(3);
    pickbettor("SMITH-BOB");
    place(7, "cmdwin", {3});
    place(8, "cmdshow", {3, 3});
    place(1, "cmdplace", {5});
    printed.textmeasure = &qtmeasure();
    c("cmdpay").click();
    ASSERT_EQ(printed.docs.size(), 1u);
    // The texts are the list's, character for character.
    const auto l = printed.lines(0);
    EXPECT_EQ(l[5], "FLIGHT A  WETHERINGTON-MONTGOM $25.00 W");
    EXPECT_EQ(l[9], "WWWWWWWWW WWWWWWWWWWWWWWWWWWWW $04.00 S");

    const std::string pdf = keepprintout(folder.path(), printed.docs[0], "receipt-print.pdf");
    // Where each bet line's amount starts, in columns from the line's left edge (the name field
    // starts at column 10): a name cut to 20 characters fills its 19 places and one more, so
    // its amount stands one column on, as in the list.
    std::vector<double> shortnames, fullnames;
    for (const PdfLine& line : pdflines(pdfwords(pdf))) {
        const auto& w = line.words;
        if (w.size() < 4 || w[0].text == "TOTAL" || w[w.size() - 2].text[0] != '$') continue;
        const PdfWord& name = w[w.size() - 3];
        const double column = (name.x0 - w[0].x0) / 10;
        // The name is drawn whole and ends before its amount.
        EXPECT_TRUE(name.text == "WETHERINGTON-MONTGOM" || name.text == "li-al" ||
                    name.text == "SMITH-JOHN" || name.text == std::string(20, 'W'))
            << line.text();
        EXPECT_LT(name.x1, w[w.size() - 2].x0) << line.text();
        (name.text.size() < 20 ? shortnames : fullnames)
            .push_back((w[w.size() - 2].x0 - w[0].x0) / column);
    }
    ASSERT_EQ(shortnames.size(), 2u);
    ASSERT_EQ(fullnames.size(), 3u);
    for (double at : shortnames) EXPECT_NEAR(at, shortnames[0], 0.1);
    for (double at : fullnames) EXPECT_NEAR(at, shortnames[0] + 1, 0.1);
}

class DeleteTest : public BetTest {
  protected:
    void SetUp() override {
        bets(3, "12,7,1,5\r\n2,8,1,3\r\n12,7,1,5\r\n12,8,2,1\r\n12,7,1,5\r\n");
        bets(4, "12,8,3,4\r\n");
        open();
        pickbettor("SMITH-BOB");
    }
    void select(int i) { c("lstbetsprior").setlistindex(i); }
};

TEST_F(DeleteTest, SecondOfThreeIdenticalBetsLeavesTwo) {
    ASSERT_EQ(lines("lstbetsprior").size(),
              6u);  // four in flight 3, one listed under flight 4's file, divider
    select(1);
    dialogs.answer(vbYes, "Delete FLIGHT C  CARTER").ok("Refund SMITH-BOB $5.00");
    c("cmdclear").click();
    const std::string left = "2,8,1,3\r\n12,7,1,5\r\n12,8,2,1\r\n12,7,1,5\r\n";
    EXPECT_EQ(betsfile(3), left);
    EXPECT_EQ(backupfile(3), left);
    std::vector<std::string> want{"FLIGHT C  CARTER" + std::string(8, ' ') + " $05.00 TO WIN",
                                  "FLIGHT C  DAVIS" + std::string(9, ' ') + " $01.00 TO PLACE",
                                  "FLIGHT C  CARTER" + std::string(8, ' ') + " $05.00 TO WIN",
                                  "FLIGHT D  DAVIS" + std::string(9, ' ') + " $04.00 TO SHOW"};
    EXPECT_EQ(lines("lstbetsprior"), want);
    EXPECT_EQ(c("txttotalprior").text(), "$15.00");
    EXPECT_EQ(sh().curflightnbr, 15);
    EXPECT_EQ(sh().betrow, 5);
}

TEST_F(DeleteTest, BetOfAnotherFlightsFileIsDeletedThere) {
    select(4);  // listed from flight 4's file
    dialogs.answer(vbYes).ok("Refund SMITH-BOB $4.00");
    c("cmdclear").click();
    EXPECT_EQ(betsfile(4), "");
    EXPECT_EQ(backupfile(4), "");
    EXPECT_EQ(betsfile(3), "12,7,1,5\r\n2,8,1,3\r\n12,7,1,5\r\n12,8,2,1\r\n12,7,1,5\r\n");
    // Flight 15 is current now; a new bet still goes to its entry's flight.
    tick(3);
    place(8, "cmdplace", {2});
    EXPECT_EQ(betsfile(3).substr(betsfile(3).size() - 10), "12,8,2,1\r\n");
    EXPECT_EQ(betsfile(15), "");
}

TEST_F(DeleteTest, NothingChosenOrNoAnswerDeletesNothing) {
    const std::string before = betsfile(3);
    dialogs.answer(vbYes, "Delete ").ok("Must select bet first");
    c("cmdclear").click();
    select(static_cast<int>(lines("lstbetsprior").size()) - 1);
    dialogs.answer(vbNo);
    c("cmdclear").click();
    EXPECT_EQ(betsfile(3), before);
    EXPECT_EQ(lines("lstbetsprior").size(), 5u);  // relisted, without the divider
}

TEST_F(DeleteTest, BothFilesAreWrittenFromTheBetsFileWithoutBettorZeroRecords) {
    // The backup lacks the bet and holds one of its own; the Bets file holds a bettor-0 record.
    folder.write(betsname(4, "Round1"), "12,8,3,4\r\n0,8,1,2\r\n2,8,1,3\r\n");
    folder.write(betsname(4, "Round1", true), "9,8,1,1\r\n");
    select(4);
    dialogs.answer(vbYes).ok("Refund SMITH-BOB $4.00");
    c("cmdclear").click();
    EXPECT_EQ(betsfile(4), "2,8,1,3\r\n");
    EXPECT_EQ(backupfile(4), "2,8,1,3\r\n");
    EXPECT_EQ(c("txttotalprior").text(), "$16.00");
}

TEST_F(DeleteTest, ABadRecordInTheFlightsFileStopsTheDeleteBeforeAnyWrite) {
    const std::string bad = "12,8,3,4\r\n,8,1,3\r\n2,8,1,2.O0\r\n";
    folder.write(betsname(4, "Round1"), bad);
    select(4);
    // The relisting sums flight 4 again and meets the bad amount: the file was told of once in
    // this click, so no second box comes.
    dialogs.answer(vbYes).ok("Round1 4Bets, line 2 holds a bad record");
    c("cmdclear").click();
    EXPECT_FALSE(dialogs.saw("Type mismatch"));
    EXPECT_EQ(betsfile(4), bad);
    EXPECT_EQ(backupfile(4), "12,8,3,4\r\n");
    EXPECT_EQ(c("txttotalprior").text(), "$20.00");
}

TEST_F(DeleteTest, RefusedWhileBetsAreUnpaid) {
    tick(3);
    place(7, "cmdwin", {2});
    select(0);
    dialogs.ok("Must pay cashier first");
    c("cmdclear").click();
    EXPECT_EQ(betsfile(3),
              "12,7,1,5\r\n2,8,1,3\r\n12,7,1,5\r\n12,8,2,1\r\n12,7,1,5\r\n12,7,1,1\r\n");
}

}  // namespace vt::test
