#include "payoff/frmany1.h"

#include "platform/text.h"
#include "records/payoffsums.h"
#include "records/typedinput.h"

namespace vt {

namespace {

const char* const kHelp =
    "CALCULATE AnyBettor PAYOFFS \r\n"
    "Enter bet amounts for this bettor for each winning bet category\r\n"
    "Click Calculate Payoff to calculate payoff for this slip\r\n"
    "Click Add to Bettor's Total to keep a running total for this bettor\r\n"
    "Click Pay This Bettor to add these slips to the Grand Total\r\n"
    "Click Clear to clear all and start over\r\n"
    "Click Return to Payoff to continue paying other winners\r\n"
    "*** PROGRAM DOES NOT USE THESE PAYOFFS TO \r\n"
    "CALCULATE PAYOFF TOTALS***\r\n";

}  // namespace

frmany1::frmany1(Host& app) : Form(app, "frmany1"), app_(app) {
    caption = "AnyBettor Payoffs";
    add(Kind::TextBox, "txtbanner", "", 10, 8, 600, 26).tooltip =
        "Event name and betting round - can be changed on setup";
    control("txtbanner").fontsize = 12;
    control("txtbanner").fontbold = true;
    control("txtbanner").showonly();

    add(Kind::TextBox, "Text2", "POS", 10, 48, 50, 24).settext("POS");
    control("Text2").locked = true;
    add(Kind::Label, "lblhorse", "PLAYER/TEAM", 65, 52, 260, 20);
    add(Kind::Label, "lblwin", " WIN", 330, 52, 90, 20);
    add(Kind::Label, "lblplace", " PLACE", 425, 52, 90, 20);
    add(Kind::Label, "lblshow", "SHOW", 520, 52, 90, 20);
    for (int i = 0; i < 10; ++i) {
        int y = 76 + i * 30;
        add(Kind::ComboBox, "cmbpos", i, "", 10, y, 50, 24).locked = true;
        add(Kind::ComboBox, "cmbpt", i, "", 65, y, 260, 24).locked = true;
        for (int t = 0; t < 3; ++t)
            add(Kind::TextBox, "txtpay", i + 10 * t, "", 330 + t * 95, y, 90, 24).alignment = 1;
    }
    add(Kind::Label, "lbltotal", "TOTAL$", 250, 382, 75, 20);
    add(Kind::TextBox, "txtwintotal", "", 330, 378, 90, 24);
    add(Kind::TextBox, "txtplacetotal", "", 425, 378, 90, 24);
    add(Kind::TextBox, "txtshowtotal", "", 520, 378, 90, 24);
    add(Kind::Label, "lblpaywinner", "TOTAL - THIS SLIP", 10, 412, 130, 20);
    add(Kind::TextBox, "txtwinnername", "", 140, 408, 185, 24).settext("AnyBettor");
    add(Kind::TextBox, "txttotaltotal", "", 520, 408, 90, 24);

    auto row = [this](const char* label, const char* lcap, const char* box, int y) {
        add(Kind::Label, label, lcap, 640, y + 4, 180, 20);
        add(Kind::TextBox, box, "", 824, y, 120, 24).alignment = 1;
    };
    row("Label1", "ALLSLIPS", "txttotaldue", 48);
    row("Label6", "ALLSLIPS ROUNDED", "txtduer", 78);
    row("Label5", "GRAND TOTAL PAID", "txttotalpaid", 108);
    row("Label7", "PAID ROUNDED", "txtpaidr", 138);
    row("Label8", "Round Factor", "txtfactor", 168);
    row("Label9", "TOTAL BET", "txttotalbet", 198);
    for (auto* n : {"txtwintotal", "txtplacetotal", "txtshowtotal", "txttotaltotal"})
        control(n).alignment = 1;

    Control& help = add(Kind::TextBox, "Text1", "", 640, 240, 374, 200);
    help.multiline = true;
    help.locked = true;
    help.settext(kHelp);

    auto button = [this](const char* name, const char* cap, const char* tip, int x,
                         int y) -> Control& {
        Control& b = add(Kind::CommandButton, name, cap, x, y, 190, 36);
        b.tooltip = tip;
        return b;
    };
    button("cmdcalc", "Calculate Payoff",
           "Calculate payoffs using the anybettor payoff for the amounts entered", 10, 460)
        .Click = [this] { cmdcalc_Click(); };
    button("cmdadd", "Add to Bettor's Total", "Keep a running total of the payoff for this bettor",
           210, 460)
        .Click = [this] { cmdadd_Click(); };
    button("cmdpay", "Pay This Bettor",
           "Add this bettors total to the grand total and clear intermediate totals", 410, 460)
        .Click = [this] { cmdpay_Click(); };
    button("cmdclear", "Clear", "Clear all amounts on this screen and start over", 10, 504).Click =
        [this] { cmdclear_Click(); };
    button("cmdreturn", "Return to Payoff", "Return to the payoff screen", 410, 504).Click =
        [this] { cmdreturn_Click(); };
}

void frmany1::showstart() {
    Shared& s = app_.shared();
    int choice = s.roundingchoice;
    control("txtfactor").settext(choice >= 1 && choice <= 5 ? s.roundlabels[choice] : "");
    control("txttotaldue").settext(Str(0));
    control("txtbanner").settext(s.banner);
    control("txttotalpaid").settext("0");
    control("txtduer").settext("$0.00");
    control("txtpaidr").settext("$0.00");
    anypaidr = anypaid = sliptotal = allslips = allslipsr = Money();
}

void frmany1::Form_Load() {
    Form& pay = app_.form("frmpay");
    for (int i = 0; i < 10; ++i) {
        control("cmbpos", i).settext(pay.control("cmbpos", i).text());
        control("cmbpt", i).settext(pay.control("cmbpt", i).text());
    }
    showstart();
    // TOTAL BET: all money bet in the round and flight.
    Shared& s = app_.shared();
    control("txttotalbet").settext(moneytext(s.summ(s.maxplayers + 1).total));
}

void frmany1::emptyslipboxes() {
    for (auto* n : {"txtwintotal", "txtplacetotal", "txtshowtotal", "txttotaltotal"})
        control(n).settext("");
}

void frmany1::cmdcalc_Click() {
    const Shared& s = app_.shared();
    Money pools[4];
    for (int slot = 1; slot <= 10; ++slot)
        for (int t = 1; t <= 3; ++t) {
            Control& amount = control("txtpay", slot - 1 + 10 * (t - 1));
            Money bet;
            // A slip amount is read strictly; anything else is refused, not guessed.
            if (!typedslipamount(amount.text(), bet)) {
                sliptotal = Money();
                emptyslipboxes();
                app_.msgbox(slipamountrefusal(amount.text()));
                amount.setfocus();
                return;
            }
            pools[t] += bet.times(s.payoffs[slot][t]);
        }
    control("txtwintotal").settext(moneytext(pools[1]));
    control("txtplacetotal").settext(moneytext(pools[2]));
    control("txtshowtotal").settext(moneytext(pools[3]));
    sliptotal = pools[1] + pools[2] + pools[3];
    control("txttotaltotal").settext(moneytext(sliptotal));
}

void frmany1::cmdadd_Click() {
    for (int i = 0; i < 30; ++i) control("txtpay", i).settext("");
    allslips += sliptotal;
    control("txttotaldue").settext(moneytext(allslips));
    allslipsr = roundedpayoff(app_, allslips);
    control("txtduer").settext(moneytext(allslipsr));
    emptyslipboxes();
    sliptotal = Money();
}

void frmany1::cmdpay_Click() {
    sliptotal = Money();
    anypaid += allslips;
    anypaidr += allslipsr;
    control("txttotalpaid").settext(moneytext(anypaid));
    control("txtpaidr").settext(moneytext(anypaidr));
    emptyslipboxes();
    control("txttotaldue").settext("");
    control("txtduer").settext("");
    allslips = allslipsr = Money();
}

void frmany1::cmdclear_Click() {
    for (int i = 0; i < 30; ++i) control("txtpay", i).settext("");
    emptyslipboxes();
    showstart();
}

void frmany1::cmdreturn_Click() {
    unload();
    app_.form("frmpay").show();
}

}  // namespace vt
