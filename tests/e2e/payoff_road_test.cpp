// The road of one bet on to the payoff: bets taken at the betting screen, finishers entered,
// payoffs calculated, every winner paid and the payoff sheets printed with their results.
#include <algorithm>

#include "records/records.h"
#include "testapp.h"

using namespace vt;

namespace {

class PayoffRoad : public vt::test::AppTest {
  protected:
    // One bettor's bet on an entry of flight 2 at the betting screen, paid for at once.
    void bet(long bettor, long entry, const char* position) {
        Form& f = app->form("frmbet");
        Control& cbo = f.control("cbobettor");
        cbo.setlistindex(cbo.findbydata(bettor));
        Control& board = f.control("lstentries");
        board.setlistindex(board.findbydata(entry));
        f.control(position).click();
        f.control("cmdbamount", 3).click();  // +2.00
        f.control("cmddone").click();
        f.control("cmdpay").click();
    }
};

TEST_F(PayoffRoad, BetsAreCalculatedPaidAndPrinted) {
    dialogs.answer(vbNo, "Is a printer available and will bet receipts be printed?");
    app->start();
    app->form("frminit").control("cmdok").click();
    Shared& sh = app->shared();
    readentries(*app);
    const char* names[] = {"HOGAN", "NELSON", "SNEAD", "SARAZEN"};
    for (long e = 1; e <= 4; ++e) sh.entries(e) = Entry{e, 2, "", names[e - 1]};
    writeentries(*app);
    readbettors(*app);
    sh.bettors(2) = Bettor{2, "PALMER-ARNOLD"};
    sh.bettors(3) = Bettor{3, "TREVINO-LEE"};
    writebettors(*app);

    app->form("frmmenu").control("cmdbet").click();
    app->form("frmbet").control("Check1", 1).click();
    bet(2, 1, "cmdwin");    // PALMER: HOGAN to win
    bet(3, 2, "cmdboard");  // TREVINO: NELSON across the board
    EXPECT_EQ(folder.read("Round1 2Bets"), "2,1,1,2\r\n3,2,1,2\r\n3,2,2,2\r\n3,2,3,2\r\n");
    app->form("frmbet").control("cmdreturn").click();

    app->form("frmmenu").control("cmdpay").click();
    Form& pay = app->form("frmpay");
    ASSERT_TRUE(pay.visible());
    pay.control("optflight", 2).click();
    for (int slot = 0; slot < 3; ++slot) {
        pay.control("cmbpos", slot).setlistindex(slot);  // "1", "2", "3"
        Control& entry = pay.control("cmbpt", slot);
        entry.setlistindex(entry.findbydata(slot + 1));
    }
    pay.control("cmdcalc").click();
    EXPECT_EQ(pay.control("txtbet").text(), "$8.00");
    EXPECT_EQ(pay.control("txtpay", 0).text(), "$4.00");   // WIN pool 4 on HOGAN's 2
    EXPECT_EQ(pay.control("txtpay", 11).text(), "$2.00");  // NELSON holds all of PLACE
    Control& winners = pay.control("lstwinners");
    ASSERT_EQ(winners.listcount(), 2);

    while (winners.listcount() > 0) {
        winners.setlistindex(0);
        pay.control("cmdpay").click();
    }
    EXPECT_EQ(pay.control("txtwinnername").text(), "TREVINO-LEE");
    EXPECT_EQ(pay.control("txttotaltotal").text(), "$4.00");
    EXPECT_EQ(pay.control("txtpaid").text(), "$8.00");  // no house: every dollar bet is paid back

    sh.printswitch = "yes";
    pay.control("cmdprtsumm").click();
    pay.control("cmbbn").setlistindex(0);  // "Detail - All Winners"
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.lines(0).back().find("GRAND TOTAL PAID"), 6u);
    const std::string results = folder.read("Results");
    EXPECT_NE(results.find("\"PALMER-ARNOLD\",\"Round1\""), std::string::npos);
    EXPECT_NE(results.find(",\"" + sh.flightnames[2] + "NELSON\",0,0,2,2,2,2\r\n"),
              std::string::npos);
    pay.control("cmdreturn").click();
    EXPECT_TRUE(app->form("frmmenu").visible());

    // The summary reached after the payoff shows, sorts and prints the flight with its money.
    app->form("frmmenu").control("cmdsummary").click();
    Form& summary = app->form("frmsummary");
    ASSERT_TRUE(summary.visible());
    EXPECT_EQ(summary.control("optflight", 2).value(), 1);
    auto items = [&](const char* list) {
        std::vector<std::string> out;
        Control& l = summary.control(list);
        for (int i = 0; i < l.listcount(); ++i) out.push_back(l.list(i));
        return out;
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(items("lstwin"), (Lines{"2.00", "2.00", "0.00", "0.00"}));
    summary.control("cmdmoney").click();
    EXPECT_EQ(items("lstwin"), (Lines{"2.00", "2.00"}));
    EXPECT_EQ(items("lsttotal"), (Lines{"2.00", "6.00"}));
    EXPECT_EQ(items("lstodds"), (Lines{" 2/ 1", " 2/ 1"}));
    summary.control("cmdplayer").click();
    EXPECT_EQ(items("lstplace"), (Lines{"0.00", "2.00", "0.00", "0.00"}));
    dialogs.type("1", "Enter number of forms to print");
    summary.control("cmdprint").click();
    ASSERT_EQ(printed.docs.size(), 2u);
    const auto sheet = printed.lines(1);
    EXPECT_TRUE(std::any_of(sheet.begin(), sheet.end(), [](const std::string& l) {
        return l.rfind("HOGAN", 0) == 0 && l.find(" 2/ 1") != std::string::npos;
    }));
}

}  // namespace
