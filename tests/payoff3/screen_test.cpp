#include <algorithm>
#include <filesystem>
#include <functional>

#include "keepprintout.h"
#include "payoff3/frmpaywinners.h"
#include "pdfwords.h"
#include "platform/qt/qtview.h"
#include "testapp.h"

namespace vt::test {
namespace {

class PayWinners : public AppTest {
  protected:
    PayWinners() {
        folder.write("Players",
                     "1,1,\"\",\"ALPHA\"\r\n2,1,\"\",\"BRAVO\"\r\n3,1,\"\",\"CHARLIE\"\r\n4,1,\"\","
                     "\"DELTA\"\r\n");
        folder.write("Bettors",
                     "1,\"AnyBettor\"\r\n2,\"ADAMS-ANN\"\r\n3,\"BAKER-BOB\"\r\n4,\"COLE-CY\"\r\n"
                     "5,\"DAVIS-DI\"\r\n");
        // Pools WIN 100, PLACE 60, SHOW 30; DELTA (4) finishes out of the money.
        folder.write("Round1 1Bets",
                     "2,1,1,20\r\n2,1,2,10\r\n2,1,3,5\r\n3,2,2,20\r\n3,2,3,5\r\n4,3,3,5\r\n"
                     "5,4,1,80\r\n5,4,2,30\r\n5,4,3,15\r\n");
        sh().flightnames[1] = "A         ";
        for (int f = 2; f <= 15; ++f) sh().flightnames[f] = "F" + std::to_string(f) + "        ";
        sh().roundlabels = {"", "0.01", "0.10", "0.25", "0.50", "1.00"};
        sh().roundingchoice = 1;
        sh().printswitch = "no";
    }
    Form& f() { return app->form("frmpaywinners"); }
    Control& ctl(const std::string& n, int i = -1) { return f().control(n, i); }
    void open() {
        app->dispatch([&] { f().show(); });
        ctl("optflight", 1).click();
    }
    void enter(const char* button, long entry) {
        Control& list = ctl("lstwinners");
        list.setlistindex(list.findbydata(entry));
        ctl(button).click();
    }
    void calculate(bool print) {
        ctl("txthousepct").settext("10");
        enter("cmdwinner", 1);
        enter("cmdplace", 2);
        enter("cmdshow", 3);
        dialogs.answer(print ? vbYes : vbNo, "Print Winners?");
        ctl("cmdpayoff").click();
    }
    // AnyBettor's WIN bet on ALPHA paid at 5 per dollar opens the calculator.
    void openanybettor() {
        folder.write("Round1 1Bets", "1,1,1,20\r\n5,4,1,80\r\n");
        open();
        ctl("txthousepct").settext("0");
        enter("cmdwinner", 1);
        enter("cmdplace", 2);
        enter("cmdshow", 3);
        dialogs.answer(vbNo, "Print Winners?");
        ctl("cmdpayoff").click();
        pay(1);
    }
    void pay(long bettor) {
        Control& list = ctl("lstwinners");
        list.setlistindex(list.findbydata(bettor));
        ctl("cmdpay").click();
    }
};

TEST_F(PayWinners, WorkedExampleShowsPayoffsAndPaysEveryDollar) {
    open();
    calculate(false);
    EXPECT_EQ(ctl("txtwinwin").text(), "$9.00");
    EXPECT_EQ(ctl("txtwinplace").text(), "$5.40");
    EXPECT_EQ(ctl("txtplaceplace").text(), "$2.70");
    EXPECT_EQ(ctl("txtwinshow").text(), "$3.60");
    EXPECT_EQ(ctl("txtshowshow").text(), "$3.60");
    EXPECT_EQ(ctl("txtpaid").text(), "$19.00");
    EXPECT_FALSE(ctl("cmdwinner").visible());
    ASSERT_EQ(ctl("lstwinners").listcount(), 3);
    EXPECT_EQ(ctl("lstwinners").list(0), "ADAMS-ANN");
    for (long b : {2, 3, 4}) pay(b);
    EXPECT_EQ(ctl("txtpaid").text(), "$190.00");
    EXPECT_EQ(ctl("lstwinners").listcount(), 0);
    EXPECT_FALSE(ctl("cmdpayoff").visible());
}

TEST_F(PayWinners, ChoosingAnotherFlightForgetsTheCalculation) {
    open();
    calculate(false);
    ctl("optflight", 2).click();
    // Nothing of flight 1 can be paid from flight 2: the payoffs, winners and finishers are gone.
    EXPECT_FALSE(ctl("cmdpay").visible());
    EXPECT_TRUE(ctl("cmdpayoff").visible());
    EXPECT_TRUE(ctl("cmdwinner").visible());
    EXPECT_EQ(ctl("lstwinhorse").listcount(), 0);
    EXPECT_EQ(ctl("lstwinners").listcount(), 0);
    EXPECT_FALSE(haswinnings(sh().winningbets[2]));
    EXPECT_EQ(sh().paidtotal, Money());
    EXPECT_EQ(ctl("txtwinwin").text(), "");
    // Back on flight 1 the finishers are entered and calculated afresh.
    ctl("optflight", 1).click();
    EXPECT_EQ(ctl("lstwinners").listcount(), 4);
    calculate(false);
    EXPECT_EQ(ctl("txtwinwin").text(), "$9.00");
}

TEST_F(PayWinners, PrintedSheetAndPaymentBlock) {
    open();
    calculate(true);
    ASSERT_EQ(printed.docs.size(), 1u);
    auto sheet = printed.lines(0);
    EXPECT_EQ(sheet.at(0), "Round1 Flight A          Payoffs");
    EXPECT_NE(
        std::find(sheet.begin(), sheet.end(), "TOTAL BET     TOTAL PAID    TOTAL ROUNDED PAID"),
        sheet.end());
    pay(4);
    EXPECT_EQ(sh().printswitch, "yes");
    pay(3);
    pay(2);
    ASSERT_EQ(printed.docs.size(), 2u);
    auto block = printed.lines(1);
    ASSERT_GE(block.size(), 7u);
    EXPECT_EQ(
        block[0],
        "Winner                                      WIN                 PLACE               SHOW");
    EXPECT_EQ(block[1],
              "COLE-CY                                 Bet       Paid      Bet       Paid      Bet "
              "      Paid");
    EXPECT_EQ(block[5], "A         CHARLIE" + std::string(63, ' ') + "$5.00     $9.00");
    // Paying the last bettor leaves printing as it was set.
    EXPECT_EQ(sh().printswitch, "yes");
}

// "Print Winners?" Yes turns printing on: the setup screen's caption says so too.
TEST_F(PayWinners, PrintingTurnedOnHereShowsOnTheSetupScreen) {
    dialogs.answer(vbNo, "Is a printer available");
    Control& caption = app->form("frminit").control("cmdprint");
    EXPECT_EQ(caption.caption(), "All printing is suppressed");
    open();
    calculate(true);
    EXPECT_EQ(sh().printswitch, "yes");
    EXPECT_EQ(caption.caption(), "Printing to the default printer is active");
    // And the setup screen's own switch turns it off again from there.
    app->form("frminit").control("cmdprint").click();
    EXPECT_EQ(sh().printswitch, "no");
    EXPECT_EQ(caption.caption(), "All printing is suppressed");
}

// Six-figure payouts and 30-character names, laid out in the real font: each winner's AMOUNT and
// ROUNDED stand on one line.
TEST_F(PayWinners, SixFigurePayoutsKeepRoundedOnTheWinnersLine) {
    folder.write("Bettors",
                 "1,\"AnyBettor\"\r\n2,\"BARTHOLOMEW-WETHERINGTON-SMYTH\"\r\n"
                 "3,\"BARTHOLOMEW-WETHERINGTON-JONES\"\r\n4,\"COLE-CY\"\r\n5,\"DAVIS-DI\"\r\n");
    std::string bets =
        "2,1,1,80000\r\n2,1,2,40000\r\n2,1,3,20000\r\n3,2,2,80000\r\n3,2,3,20000\r\n"
        "4,3,3,20000\r\n5,4,2,99999.99\r\n5,4,3,60000\r\n";
    for (int i = 0; i < 4; ++i) bets += "5,4,1,80000\r\n";
    folder.write("Round1 1Bets", bets);
    folder.write("Round1 1Betsbackup", bets);
    printed.textmeasure = &qtmeasure();
    open();
    calculate(true);
    ASSERT_EQ(printed.docs.size(), 1u);
    std::vector<std::string> lines = printed.lines(0);
    auto heading = std::find_if(lines.begin(), lines.end(),
                                [](const std::string& l) { return l.rfind("WINNER", 0) == 0; });
    ASSERT_NE(heading, lines.end());
    int winners = 0;
    bool sixfigures = false;
    for (auto l = heading + 2; l != lines.end() && *l != " "; ++l) {
        EXPECT_EQ(std::count(l->begin(), l->end(), '$'), 2) << *l;
        sixfigures |= l->find("$495,000.00 $495,000.00") != std::string::npos;
        ++winners;
    }
    EXPECT_EQ(winners, 4);  // the house and three bettors
    EXPECT_TRUE(sixfigures);
    keepprintout(folder.path(), printed.docs[0], "payoffs3-print.pdf");
}

// Names of 30 wide capitals, for entries and bettors alike: on paper each row of the payoff sheet
// and of a payment block stays one line, its name drawn whole and ending before its figures.
TEST_F(PayWinners, WideNamesKeepTheirRowsOnOneLineOnPaper) {
    const std::string w29(29, 'W');
    folder.write("Players", "1,1,\"\",\"" + w29 + "A\"\r\n2,1,\"\",\"" + w29 +
                                "B\"\r\n3,1,\"\",\"" + w29 + "C\"\r\n4,1,\"\",\"DELTA\"\r\n");
    folder.write("Bettors", "1,\"AnyBettor\"\r\n2,\"" + w29 + "D\"\r\n3,\"" + w29 + "E\"\r\n4,\"" +
                                w29 + "F\"\r\n5,\"DAVIS-DI\"\r\n");
    sh().flightnames[1] = "WWWWWWWWW ";
    printed.textmeasure = &qtmeasure();
    open();
    calculate(true);
    pay(4);
    pay(3);
    pay(2);
    ASSERT_EQ(printed.docs.size(), 2u);  // the sheet, and the payment blocks
    for (size_t d = 0; d < 2; ++d) {
        const std::string pdf = keepprintout(folder.path(), printed.docs[d],
                                             "payoffs3-wide-" + std::to_string(d) + ".pdf");
        int rows = 0;
        for (const PdfLine& line : pdflines(pdfwords(pdf))) {
            const auto& w = line.words;
            auto name = std::find_if(w.begin(), w.end(), [](const PdfWord& x) {
                return x.text.rfind("WWWWWWWWWW", 0) == 0;
            });
            auto figure = std::find_if(w.begin(), w.end(), [](const PdfWord& x) {
                return x.text[0] == '$' || x.text == "Bet";
            });
            if (name == w.end()) continue;
            // A name is whole (a cut list line keeps its first 20 characters) and ends before the
            // row's first figure.
            EXPECT_TRUE(name->text.size() == 30 || name->text.size() == 20) << line.text();
            if (figure == w.end()) {
                ADD_FAILURE() << "a name without its figures: " << line.text();
                continue;
            }
            EXPECT_LT(name->x1, figure->x0) << line.text();
            ++rows;
        }
        // The sheet's three finishers and three winners; each block's bettor and three finishers.
        EXPECT_EQ(rows, d == 0 ? 6 : 12);
    }
}

TEST_F(PayWinners, OutsidePayoffsStayInForceAfterCalculate) {
    open();
    const char* boxes[] = {"txtwinwin",     "txtwinplace",  "txtwinshow",
                           "txtplaceplace", "txtplaceshow", "txtshowshow"};
    const char* typed[] = {"$10.00", "6", "4", "3", "4", ""};
    for (int i = 0; i < 6; ++i) ctl(boxes[i]).settext(typed[i]);
    dialogs.answer(vbYes, "Use outside payoffs?").ok("Missing entry");
    ctl("cmdtrack").click();
    EXPECT_EQ(sh().paywinwin, 0);
    ctl("txtshowshow").settext("4");
    dialogs.answer(vbYes, "Use outside payoffs?");
    ctl("cmdtrack").click();
    EXPECT_TRUE(ctl("cmdusing").visible());
    calculate(false);
    EXPECT_DOUBLE_EQ(sh().paywinwin, 5);
    EXPECT_DOUBLE_EQ(sh().paywinplace, 3);
    pay(2);  // 20 x 5 + 10 x 3 + 5 x 2
    EXPECT_EQ(ctl("txttotaltotal").text(), "$140.00");
}

TEST_F(PayWinners, DeadHeatEntryRules) {
    open();
    enter("cmdwinner", 1);
    EXPECT_FALSE(ctl("cmdtrack").visible());
    enter("cmdwinner", 2);
    EXPECT_FALSE(ctl("cmdplace").visible());
    EXPECT_TRUE(ctl("cmdshow").visible());
    enter("cmdwinner", 3);
    EXPECT_FALSE(ctl("cmdshow").visible());
    EXPECT_EQ(sh().npos1, 4);
    dialogs.ok("Must select player/team first");
    ctl("lstwinners").setlistindex(-1);
    ctl("cmdwinner").click();
}

TEST_F(PayWinners, BadInputIsRefusedAndLeavesTheScreen) {
    open();
    enter("cmdwinner", 1);
    enter("cmdplace", 2);
    enter("cmdshow", 3);
    for (const char* bad : {"ten", "100", "-2"}) {
        ctl("txthousepct").settext(bad);
        dialogs.ok("House percentage");
        ctl("cmdpayoff").click();
        EXPECT_TRUE(ctl("cmdpayoff").visible()) << bad;
    }
    EXPECT_FALSE(ctl("cmdpay").visible());
    // A winning bet booked to a bettor who is not on file.
    folder.write("Round1 1Bets", "9,1,1,20\r\n");
    ctl("txthousepct").settext("0");
    dialogs.ok("Bad bettor number");
    ctl("cmdpayoff").click();
    EXPECT_TRUE(ctl("cmdpayoff").visible());
}

TEST_F(PayWinners, AnyBettorCalculatorKeepsARunningTotal) {
    openanybettor();
    ASSERT_TRUE(app->isloaded("frmany"));
    Form& any = app->form("frmany");
    EXPECT_EQ(any.control("lstwinhorse").list(0), "A         ALPHA");
    EXPECT_EQ(any.control("txttotaldue").text(), " 0");
    dialogs.ok("Calculate Payoff first");
    any.control("cmdadd").click();
    any.control("txtwinwin").settext("2");
    any.control("cmdcalc").click();
    EXPECT_EQ(any.control("txttotaltotal").text(), "$10.00");
    any.control("cmdadd").click();
    any.control("cmdadd").click();
    EXPECT_EQ(any.control("txttotaldue").text(), "$20.00");
    any.control("cmdclear").click();
    EXPECT_EQ(any.control("txttotaldue").text(), "");
}

// The calculator reads each amount strictly, as its two-position twin does: a thousands
// separator, a sign, an exponent or trailing text is refused with a message, never guessed.
TEST_F(PayWinners, AnyBettorAmountsAreReadStrictly) {
    openanybettor();
    Form& any = app->form("frmany");
    any.control("txtwinwin").settext("1");
    any.control("cmdcalc").click();
    EXPECT_EQ(any.control("txttotaltotal").text(), "$5.00");
    for (const char* bad : {"1,000", "-5", "1e9", "5abc", "$5", "100000"}) {
        any.control("txtwinwin").settext(bad);
        dialogs.ok(std::string("Bet amounts must be numbers of 0 or more, up to 99,999.99: \"") +
                   bad + "\"");
        any.control("cmdcalc").click();
        EXPECT_EQ(any.control("txttotaltotal").text(), "") << bad;
    }
    // Nothing was added by the refused amounts; an empty box counts 0.
    dialogs.ok("Calculate Payoff first");
    any.control("cmdadd").click();
    any.control("txtwinwin").settext(" 2.50 ");
    any.control("txtplaceplace").settext("");
    any.control("cmdcalc").click();
    EXPECT_EQ(any.control("txttotaltotal").text(), "$12.50");
    any.control("cmdadd").click();
    EXPECT_EQ(any.control("txttotaldue").text(), "$12.50");
}

// The house and multiplier boxes take only what a calculation can use, and the multiplier box
// and its basis "Payoff based on this bet amount" never disagree.
TEST_F(PayWinners, HouseAndMultiplierBoxesTakeOnlyNumbersInRange) {
    open();
    Control& house = ctl("txthousepct");
    for (const char* bad : {"zzz", "1,0", "100", "-1", "1e1"}) {
        house.settext(bad);
        dialogs.ok("House percentage must be a number from 0 to below 100");
        house.keypress(vbKeyReturn);
    }
    house.settext("12.5");
    dialogs.ok("House percentage set to 12.5");
    house.keypress(vbKeyReturn);

    Control& mult = ctl("txtmult");
    mult.settext("5");
    dialogs.ok("Payoff multiplier set to 5");
    mult.keypress(vbKeyReturn);
    EXPECT_EQ(ctl("txtbamt").text(), "$5");
    mult.settext("zzz");
    dialogs.ok("Payoff multiplier must be a number from 1 to 10");
    mult.keypress(vbKeyReturn);
    EXPECT_EQ(mult.text(), "2");
    EXPECT_EQ(ctl("txtbamt").text(), "$2");
    // A multiplier typed without Enter is taken by the calculation and shown as its basis.
    mult.settext("4");
    calculate(false);
    EXPECT_EQ(ctl("txtbamt").text(), "$4");
    EXPECT_EQ(ctl("txtwinwin").text(), "$18.00");
}

// A round choice loads that round's pools for the chosen flight, so one round's bets are never
// paid from another's pools.
TEST_F(PayWinners, RoundChoiceLoadsTheRoundsPools) {
    folder.write("Round2 1Bets", "2,1,1,10\r\n3,2,2,10\r\n4,3,3,15\r\n");
    open();
    ctl("Option2").click();
    EXPECT_EQ(sh().curround, "Round2");
    EXPECT_EQ(ctl("lstwinners").listcount(), 4);
    calculate(false);
    EXPECT_EQ(ctl("txtbet").text(), "$35.00");
    for (long b : {2, 3, 4}) pay(b);
    EXPECT_EQ(ctl("txtpaid").text(), "$35.00");
}

// Finishes outside the five the payoffs are worked out for are refused before the screen turns
// to paying; so are pools a bad Bets record left incomplete.
TEST_F(PayWinners, FinishesThatCannotBePaidAreRefusedAndLeaveTheScreen) {
    open();
    const std::vector<std::vector<std::pair<const char*, long>>> finishes = {
        {{"cmdwinner", 1}, {"cmdplace", 2}},
        {{"cmdwinner", 1}, {"cmdwinner", 2}},
        {{"cmdwinner", 1}, {"cmdshow", 3}},
        {{"cmdplace", 2}, {"cmdshow", 3}},
    };
    for (const auto& finish : finishes) {
        ctl("optflight", 1).click();
        for (const auto& [button, entry] : finish) enter(button, entry);
        dialogs.ok("Enter the finishers of every position");
        ctl("cmdpayoff").click();
        EXPECT_TRUE(ctl("cmdpayoff").visible());
        EXPECT_FALSE(ctl("cmdpay").visible());
        EXPECT_EQ(ctl("lstwinners").listcount(), 4) << "the entries stay listed";
        EXPECT_EQ(ctl("txtpaid").text(), " ");
    }
    // Bettor 8's bet names no entry: the pools read are not the flight's pools.
    folder.write("Round1 1Bets", "8,99,1,50\r\n2,1,1,10\r\n3,2,2,10\r\n4,3,3,10\r\n");
    ctl("optflight", 1).click();
    enter("cmdwinner", 1);
    enter("cmdplace", 2);
    enter("cmdshow", 3);
    dialogs.ok("pools are incomplete");
    ctl("cmdpayoff").click();
    EXPECT_TRUE(ctl("cmdpayoff").visible());
    EXPECT_FALSE(ctl("cmdpay").visible());
    EXPECT_EQ(ctl("txtbet").text(), " ");
}

// A data file that cannot be read refuses the calculation with that file's box alone.
TEST_F(PayWinners, AFileThatCannotBeReadRefusesTheCalculation) {
    for (const char* file : {"Players", "Bettors", "Round1 1Bets"}) {
        const std::string before = folder.read(file);
        open();
        ctl("txthousepct").settext("10");
        enter("cmdwinner", 1);
        enter("cmdplace", 2);
        enter("cmdshow", 3);
        folder.write(file, before + "9,\"CUT");  // a last record cut short
        dialogs.ok(file);
        ctl("cmdpayoff").click();
        EXPECT_TRUE(ctl("cmdpayoff").visible()) << file;
        EXPECT_FALSE(ctl("cmdpay").visible()) << file;
        folder.write(file, before);
    }
}

// With no bet on any finisher every bet is refunded, so the house keeps nothing.
TEST_F(PayWinners, NoWinningBetsRefundsAllAndTheHouseKeepsNothing) {
    folder.write("Round1 1Bets", "5,4,1,80\r\n5,4,2,30\r\n");
    open();
    dialogs.ok("No winning bets - print a bet summary to refund all bets");
    calculate(false);
    EXPECT_EQ(ctl("txtpaid").text(), "$0.00");
    EXPECT_EQ(ctl("txthousetot").text(), " 0");
    EXPECT_EQ(ctl("lstwinners").listcount(), 0);
}

// Track payoffs are numbers above 0; a new round or flight forgets them with the calculation.
TEST_F(PayWinners, OutsidePayoffsMustBePositiveAndGoWithTheRace) {
    open();
    const char* boxes[] = {"txtwinwin",     "txtwinplace",  "txtwinshow",
                           "txtplaceplace", "txtplaceshow", "txtshowshow"};
    for (const char* bad : {"-9", "0", "$-2.00"}) {
        for (int i = 0; i < 6; ++i) ctl(boxes[i]).settext(i == 0 ? bad : "4");
        dialogs.answer(vbYes, "Use outside payoffs?").ok("Missing entry or non-numeric entry");
        ctl("cmdtrack").click();
        EXPECT_EQ(sh().paywinwin, 0) << bad;
        EXPECT_FALSE(ctl("cmdusing").visible()) << bad;
    }
    const std::function<void()> choices[] = {[&] { ctl("optflight", 1).click(); },
                                             [&] { ctl("Option2").click(); }};
    for (const auto& choose : choices) {
        for (int i = 0; i < 6; ++i) ctl(boxes[i]).settext("9");
        dialogs.answer(vbYes, "Use outside payoffs?");
        ctl("cmdtrack").click();
        ASSERT_DOUBLE_EQ(sh().paywinwin, 4.5);
        choose();
        EXPECT_EQ(sh().paywinwin, 0);
        EXPECT_EQ(sh().payshowshow, 0);
        EXPECT_FALSE(ctl("cmdusing").visible());
        EXPECT_TRUE(ctl("cmdtrack").visible());
        EXPECT_EQ(ctl("txtwinwin").text(), "");
    }
    // Back on Round1: computed payoffs, not the typed ones.
    ctl("Option1").click();
    calculate(false);
    EXPECT_EQ(ctl("txtwinwin").text(), "$9.00");
}

// Payment blocks still collecting when the operator turns to another flight are printed then,
// so the blocks of two flights never share one document.
TEST_F(PayWinners, AFlightChoiceEndsTheOpenDocumentOfPaymentBlocks) {
    open();
    calculate(false);
    sh().printswitch = "yes";
    pay(2);
    EXPECT_TRUE(printed.docs.empty());
    ctl("optflight", 2).click();
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.lines(0).at(1).substr(0, 9), "ADAMS-ANN");
    ctl("optflight", 1).click();
    calculate(false);
    pay(3);
    pay(4);
    pay(2);
    ASSERT_EQ(printed.docs.size(), 2u);
    EXPECT_EQ(printed.lines(1).at(1).substr(0, 9), "BAKER-BOB");
}

}  // namespace
}  // namespace vt::test

#include "platform/qt/qtview.h"

namespace vt::test {
namespace {

// Renders both screens, paying mode shown, for a look at their layout at 1024 x 768.
TEST_F(PayWinners, RenderEachForm) {
    open();
    calculate(false);
    pay(2);
    const std::string dir = VANTROPE_SCREENS_DIR;
    EXPECT_TRUE(renderformpng(*app, f(), dir + "/frmpaywinners.png"));
    app->dispatch([&] { app->form("frmany").show(); });
    EXPECT_TRUE(renderformpng(*app, app->form("frmany"), dir + "/frmany.png"));
}

}  // namespace
}  // namespace vt::test
