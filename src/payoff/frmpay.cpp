#include "payoff/frmpay.h"

#include "platform/text.h"
#include "records/payoffprep.h"
#include "records/records.h"

namespace vt {

namespace {

const char* const kConsecutive =
    "Must enter winners in consecutive boxes starting with 1st (including ties) followed by 2nd "
    "and then 3rd";

}  // namespace

frmpay::frmpay(Host& app) : Form(app, "frmpay"), app_(app) {
    caption = "Pay Winners";
    layout();
}

void frmpay::layout() {
    add(Kind::TextBox, "txtbanner", "", 10, 8, 600, 26).tooltip =
        "Event name and betting round - can be changed on setup";
    control("txtbanner").fontsize = 12;
    control("txtbanner").fontbold = true;
    control("txtbanner").showonly();
    add(Kind::Label, "lblcopyr", "", 620, 12, 394, 20);

    Control& frame2 = add(Kind::Frame, "Frame2", "Round", 10, 38, 300, 66);
    const char* roundcaps[] = {"", "1", "2", "3", "Final"};
    for (int r = 1; r <= nrounds; ++r) {
        Control& o = add(Kind::OptionButton, "Option" + std::to_string(r), roundcaps[r],
                         22 + (r - 1) * 70, 64, 64, 24);
        container[&o] = &frame2;
        o.Click = [this, r] { Option_Click(r); };
    }
    Control& fra = add(Kind::Frame, "fraflight", "Flight", 320, 38, 694, 66);
    fra.tooltip = "Must select a flight to add new player/teams";
    for (int f = 1; f <= nflights; ++f) {
        Control& o = add(Kind::OptionButton, "optflight", f, "", 328 + ((f - 1) % 8) * 85,
                         54 + ((f - 1) / 8) * 24, 84, 22);
        container[&o] = &fra;
        o.Click = [this, f] { optflight_Click(f); };
    }

    // The finisher table: position, entry, WIN, PLACE, SHOW.
    add(Kind::TextBox, "Text2", "POS", 10, 106, 50, 24).DblClick = [this] { Text2_DblClick(); };
    control("Text2").settext("POS");
    control("Text2").locked = true;
    add(Kind::Label, "lblhorse", "PLAYER/TEAM", 65, 110, 260, 20);
    add(Kind::Label, "lblwin", " WIN", 330, 110, 90, 20);
    add(Kind::Label, "lblplace", " PLACE", 425, 110, 90, 20);
    add(Kind::Label, "lblshow", "SHOW", 520, 110, 90, 20);
    for (int i = 0; i < 10; ++i) {
        int y = 134 + i * 27;
        add(Kind::ComboBox, "cmbpos", i, "", 10, y, 50, 24).Click = [this, i] { cmbpos_Click(i); };
        add(Kind::ComboBox, "cmbpt", i, "", 65, y, 260, 24).Click = [this, i] { cmbpt_Click(i); };
        for (int t = 0; t < 3; ++t)
            add(Kind::TextBox, "txtpay", i + 10 * t, "", 330 + t * 95, y, 90, 24).alignment = 1;
    }
    add(Kind::Label, "lbltotal", "TOTAL$", 250, 412, 75, 20);
    add(Kind::TextBox, "txtwintotal", "", 330, 408, 90, 24);
    add(Kind::TextBox, "txtplacetotal", "", 425, 408, 90, 24);
    add(Kind::TextBox, "txtshowtotal", "", 520, 408, 90, 24);
    add(Kind::TextBox, "txttotaltotal", "", 520, 436, 90, 24);
    add(Kind::Label, "lblpaywinner", "PAY WINNER", 10, 440, 80, 20);
    add(Kind::TextBox, "txtwinnername", "", 90, 436, 235, 24);
    add(Kind::Label, "lblrfactor", "Rounding Factor", 330, 468, 100, 20).tooltip =
        "Amount paid for every $2 bet on this horse to win";
    add(Kind::TextBox, "txtfactor", "", 430, 464, 50, 24);
    add(Kind::Label, "lblround", "R", 500, 468, 16, 20).tooltip =
        "Rounded payoff based on rounding factor on setup screen";
    add(Kind::TextBox, "txttotalr", "", 520, 464, 90, 24);
    for (auto* n : {"txtwintotal", "txtplacetotal", "txtshowtotal", "txttotaltotal", "txttotalr"})
        control(n).alignment = 1;
    for (auto* n : {"txtfactor", "txttotalr", "lblrfactor", "lblround"})
        control(n).setvisible(false);

    // Print choices.
    Control& bn = add(Kind::TextBox, "txtbn", "", 10, 492, 315, 48);
    bn.multiline = true;
    bn.locked = true;
    bn.fontsize = 7;
    bn.settext("SELECT SUMMARY, DETAIL, OR BETTOR NAME TO \r\nPRINT RESULTS");
    Control& cb = add(Kind::ComboBox, "cmbbn", "", 330, 506, 280, 24);
    cb.droplist = true;
    cb.Click = [this] { cmbbn_Click(); };

    add(Kind::Label, "lblinstructions", "", 10, 548, 1004, 218).fontsize = 7;

    // House, multiplier and totals.
    auto row = [this](const char* label, const char* lcap, const char* box, int y,
                      int w) -> Control& {
        add(Kind::Label, label, lcap, 630, y + 4, 200, 20);
        Control& b = add(Kind::TextBox, box, "", 834, y, w, 24);
        b.alignment = 1;
        return b;
    };
    row("Label1", "HOUSE %", "txthousepct", 106, 60).tooltip =
        "Percent of total bets taken out of the pool be fore paying winners for the house - value "
        "is entered on "
        "setup screen";
    row("Label5", "HOUSE $", "txthousetot", 132, 120).tooltip = "$ amount reserved for the house";
    Control& mult = row("Label7", "PAYOFF MULTIPLIER", "txtmult", 158, 60);
    mult.tooltip =
        "Changes payoff basis amount - default is on $2 bet - enter amount from 1 to 10 and press "
        "enter";
    mult.settext("2");
    mult.KeyPress = [this](int& k) { txtmult_KeyPress(k); };
    row("Label8", "Payoff based on this bet amount", "txtbamt", 184, 60).settext("$2");
    control("txtbamt").locked = true;
    row("lblbet", "BET", "txtbet", 210, 120).tooltip = "Total amount bet on this event";
    row("lblpaid", "PAID", "txtpaid", 236, 120).tooltip = "Total amount paid to winners so far";
    row("Label6", "ROUNDED PAID", "txtrounded", 262, 120).tooltip =
        "Total rounded amount paid to winners so far";

    add(Kind::Label, "lbllist", "WINNERS", 630, 292, 200, 20);
    Control& lst = add(Kind::ListBox, "lstwinners", "", 630, 312, 384, 108);
    lst.fontname = "Courier New";
    lst.tooltip =
        "list of all player teams in this flight or list of all winning bettors on this flight";

    auto button = [this](const char* name, const char* cap, int x, int y) -> Control& {
        return add(Kind::CommandButton, name, cap, x, y, 188, 36);
    };
    Control& calc = button("cmdcalc", "CALCULATE PAYOFF", 630, 428);
    calc.tooltip =
        "Click here to calculate payoffs for the selected winning player teams and to display a "
        "list of winning "
        "bettors";
    calc.Click = [this] { cmdcalc_Click(); };
    Control& pay = button("cmdpay", "PAY WINNING BETTOR", 826, 428);
    pay.tooltip =
        "Calculate payoff amount for selected bettor winner and remove name from winners list";
    pay.Click = [this] { cmdpay_Click(); };
    button("cmdclear", "CLEAR ALL WINNERS", 630, 468).Click = [this] { cmdclear_Click(); };
    Control& prt = button("cmdprtsumm", "PRINT OPTIONS", 826, 468);
    prt.tooltip =
        "Click on a winning bettor name in the Winners list and click here to print payoff detail";
    prt.Click = [this] { cmdprtsumm_Click(); };
    button("cmdrules", "DISPLAY  PAYOFF RULES", 630, 508).Click = [this] { cmdrules_Click(); };
    Control& ret = button("cmdreturn", "MAIN MENU", 826, 508);
    ret.tooltip = "Return to main menu";
    ret.Click = [this] { cmdreturn_Click(); };
}

void frmpay::Form_Load() {
    Shared& s = sh();
    control("lblcopyr").setcaption(kNotice);
    control("txtbanner").settext(s.banner);
    for (int i = 0; i < 10; ++i) {
        control("cmbpos", i).clear();
        control("cmbpt", i).clear();
        s.winnerrow[i + 1] = 0;
        for (auto* p : {"1", "2", "3"}) control("cmbpos", i).additem(p);
    }
    s.nextpos = s.npos1 = s.npos2 = s.npos3 = 0;
    for (int f = 1; f <= nflights; ++f) control("optflight", f).setcaption(s.flightnames[f]);
    control("txthousepct").settext(s.housepct);
    clearpayofftables();
    if (int r = roundindex(s.curround)) control("Option" + std::to_string(r)).setvalue(1);
    resetpayform(app_);
    control("lstwinners").clear();
    s.curflight.clear();
    control("optflight", 1).setfocus();  // nothing is calculated before a flight is chosen
    for (auto* n : {"cmdpay", "cmbbn", "txtbn", "cmdprtsumm"}) control(n).setvisible(false);
    s.roundedpaid = s.winpool = s.placepool = s.showpool = s.paidtotal = Money();
    s.curticket = 0;
    s.curbettor.clear();
}

void frmpay::Option_Click(int r) {
    Shared& s = sh();
    s.setround(r);
    control("txtbanner").settext(s.banner);
    // Nothing of a calculation is paid or printed under another round.
    if (calculated_) cmdclear_Click();
}

void frmpay::optflight_Click(int f) {
    Shared& s = sh();
    s.curflight = s.flightnames[f];
    s.curflightnbr = f;
    control("lstwinners").clear();
    if (calculated_) {
        cmdclear_Click();  // runs resetpayform and fillwinnercombos for the new flight
        return;
    }
    resetpayform(app_);
    fillwinnercombos(app_);
}

void frmpay::cmbpos_Click(int i) {
    Shared& s = sh();
    Control& box = control("cmbpos", i);
    if (i != s.nextpos) {
        --s.nextpos;
        app_.msgbox(kConsecutive);
        box.settext("");
        return;
    }
    long p = static_cast<long>(Val(box.text()));
    if (p == 3 && s.npos1 + s.npos2 > 2) {
        app_.msgbox(
            "Win and Place entries already equal or exceed 3 winners. No Show entries allowed");
        box.settext("");
        return;
    }
    if (p > 1 && s.npos1 > 2) {
        app_.msgbox(
            "Win entries already equal or exceed 3 winners. No Place or Show entries allowed");
        box.settext("");
        return;
    }
    ++s.nextpos;
    if (p == 1) ++s.npos1;
    if (p == 2) ++s.npos2;
    if (p == 3) ++s.npos3;
}

void frmpay::cmbpt_Click(int i) {
    Control& box = control("cmbpt", i);
    for (int j = 0; j < i; ++j)
        if (control("cmbpt", j).text() == box.text()) {
            app_.msgbox("Duplicate entry");
            box.settext("");
            return;
        }
    if (box.listindex() >= 0) sh().winnerrow[i + 1] = box.itemdata(box.listindex());
}

void frmpay::clearpayofftables() {
    Shared& s = sh();
    for (int slot = 0; slot <= 10; ++slot)
        for (int t = 0; t <= 3; ++t) {
            s.payoffs[slot][t] = 0;
            s.winnerbets[slot][t] = Money();
            s.bettorbets[slot][t] = Money();
        }
    s.winbets.clear();
    s.winbettors.clear();
    calculated_ = false;
    // The winners list shows a calculation: it goes with it.
    if (app_.isloaded("frmprint")) app_.form("frmprint").unload();
}

void frmpay::cmdclear_Click() {
    Shared& s = sh();
    control("cmdcalc").setvisible(true);
    control("cmdpay").setvisible(false);
    for (int i = 0; i < 10; ++i) {
        s.winnerrow[i + 1] = 0;
        for (Control* b : {&control("cmbpos", i), &control("cmbpt", i), &control("txtpay", i),
                           &control("txtpay", i + 10), &control("txtpay", i + 20)}) {
            b->settext("");
            b->setvisible(true);
        }
    }
    s.nextpos = s.npos1 = s.npos2 = s.npos3 = 0;
    for (auto* n : {"cmbbn", "txtbn", "cmdprtsumm"}) control(n).setvisible(false);
    clearpayofftables();
    control("lstwinners").clear();
    control("cmbbn").clear();
    s.paidtotal = s.roundedpaid = Money();
    for (auto* n : {"txtbet", "txtpaid", "txthousetot", "txtwintotal", "txtplacetotal",
                    "txtshowtotal", "txttotaltotal", "txtwinnername", "txttotalr"})
        control(n).settext(" ");
    control("txtrounded").settext("");
    resetpayform(app_);
    fillwinnercombos(app_);
}

void frmpay::txtmult_KeyPress(int& key) {
    if (key != vbKeyReturn) return;
    key = 0;
    if (control("txtmult").text().empty()) return;
    Money mult;
    takemultiplier(app_, *this, true, "", mult);
}

void frmpay::cmdprtsumm_Click() {
    control("txtbn").setvisible(true);
    control("cmbbn").setvisible(true);
}

void frmpay::cmdrules_Click() { app_.form("frmrules").show(); }

void frmpay::cmdreturn_Click() {
    Shared& s = sh();
    for (long r = 1; r <= s.maxplayers; ++r)
        s.summ(r) = SummRow{Money(), Money(), Money(), Money(), "0", "0", "0"};
    if (app_.isloaded("frmprint")) app_.form("frmprint").unload();
    unload();
    app_.form("frmmenu").show();
}

void frmpay::Text2_DblClick() {
    Shared& s = sh();
    s.winhorses.fill(0);
    s.placehorses.fill(0);
    s.showhorses.fill(0);
    if (app_.isloaded("frmpaywinners")) app_.form("frmpaywinners").unload();
    app_.form("frmmenu").show();
}

}  // namespace vt
