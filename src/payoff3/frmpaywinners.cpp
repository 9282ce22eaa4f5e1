#include "payoff3/frmpaywinners.h"

#include "platform/text.h"
#include "records/payoffprep.h"
#include "records/records.h"
#include "records/typedinput.h"

namespace vt {

namespace {

const char* const kPaid = "Amount paid for every $2 bet on this player/team to ";
const char* const kPayoffBoxes[] = {"txtwinwin",     "txtwinplace",  "txtwinshow",
                                    "txtplaceplace", "txtplaceshow", "txtshowshow"};

}  // namespace

frmpaywinners::frmpaywinners(Host& app) : Form(app, "frmpaywinners"), app_(app) {
    caption = "Pay winners";
    layout();
}

void frmpaywinners::layout() {
    Control& banner = add(Kind::TextBox, "txtbanner", "", 420, 8, 594, 26);
    banner.tooltip = "Event name and betting round - can be changed on setup";
    banner.fontsize = 12;
    banner.fontbold = true;
    banner.showonly();

    add(Kind::Label, "lblhorse", "PLAYER/TEAM", 30, 42, 200, 20);
    add(Kind::Label, "lblwin", " WIN", 330, 42, 95, 20);
    add(Kind::Label, "lblplace", " PLACE", 430, 42, 95, 20);
    add(Kind::Label, "lblshow", "SHOW", 530, 42, 95, 20);
    add(Kind::Label, "lbltotal", "TOTAL$", 630, 42, 95, 20);
    const char* rows[] = {"lstwinhorse", "lstplacehorse", "lstshowhorse"};
    for (int r = 0; r < 3; ++r) {
        add(Kind::Label, "Label" + std::to_string(r + 2), std::to_string(r + 1), 10, 66 + r * 76,
            16, 20);
        add(Kind::ListBox, rows[r], "", 30, 64 + r * 76, 290, 70).tooltip =
            "Displays up to 10 winners";
    }
    auto box = [this](const char* name, int x, int y, const std::string& tip) -> Control& {
        Control& b = add(Kind::TextBox, name, "", x, y, 95, 24);
        b.settext(" ");
        b.alignment = 1;
        b.tooltip = tip;
        return b;
    };
    box("txtwinwin", 330, 64, std::string(kPaid) + "win");
    box("txtwinwin2", 330, 92, std::string(kPaid) + "win").setvisible(false);
    box("txtwinplace", 430, 64, std::string(kPaid) + "place");
    box("txtwinshow", 530, 64, std::string(kPaid) + "show");
    box("txtplaceplace", 430, 140, std::string(kPaid) + "place");
    box("txtplaceshow", 530, 140, "Amount bet for every $2 bet on this player/team to show");
    box("txtshowshow", 530, 216, "Amount paid for $2 bet on this player/team to show");
    box("txtwintotal", 630, 64, "").locked = true;
    box("txtplacetotal", 630, 140, "").locked = true;
    box("txtshowtotal", 630, 216, "").locked = true;
    box("txttotaltotal", 630, 292, "").locked = true;

    // Right of the grid: bet amount, house and multiplier.
    add(Kind::Label, "Label8", "Payoff based on this bet amount", 740, 64, 170, 36);
    add(Kind::TextBox, "txtbamt", "", 920, 64, 94, 24).settext("$2");
    Control& using_ =
        add(Kind::CommandButton, "cmdusing", "USING OUTSIDE PAYOFFS", 740, 104, 274, 30);
    using_.tooltip =
        "When this button is visible, the program is using track payoffs in stead of program "
        "calculated payoffs for this race";
    using_.setvisible(false);
    add(Kind::Label, "Label1", "HOUSE %", 740, 144, 170, 20);
    Control& pct = add(Kind::TextBox, "txthousepct", "", 920, 140, 94, 24);
    pct.settext("0");
    pct.tooltip =
        "Percent of total bets taken out of the pool be fore paying winners for the house - enter "
        "percent value and press enter";
    pct.KeyPress = [this](int& k) { txthousepct_KeyPress(k); };
    add(Kind::Label, "Label5", "HOUSE $", 740, 174, 170, 20);
    Control& house = add(Kind::TextBox, "txthousetot", "", 920, 170, 94, 24);
    house.settext(" ");
    house.locked = true;
    house.tooltip = "$ amount reserved for the house";
    add(Kind::Label, "Label7", "PAYOFF MULTIPLIER", 740, 204, 170, 20);
    Control& mult = add(Kind::TextBox, "txtmult", "", 920, 200, 94, 24);
    mult.settext("2");
    mult.tooltip =
        "Changes payoff basis amount - default is on $2 bet - enter amount from 1 to 10 and press "
        "enter";
    mult.KeyPress = [this](int& k) { txtmult_KeyPress(k); };

    // Under the grid: winners list, buttons, round and flight, paid bettor and instructions.
    add(Kind::Label, "lbllist", "WINNERS", 10, 326, 300, 20);
    Control& list = add(Kind::ListBox, "lstwinners", "", 10, 348, 300, 300);
    list.fontname = "Courier";
    list.tooltip =
        "list of all player teams in this flight or list of all winning bettors on this flight";
    struct B {
        const char* name;
        const char* cap;
        const char* tip;
        std::function<void()> click;
    };
    const B buttons[] = {
        {"cmdwinner", "ENTER WINNER",
         "Enter selected player/team as WINNER. Click up to 10 winners",
         [this] { cmdwinner_Click(); }},
        {"cmdplace", "ENTER PLACE",
         "Enter selected player/team as second place winner. Click up to 10 place winners",
         [this] { cmdplace_Click(); }},
        {"cmdshow", "ENTER SHOW",
         "Enter selected player/team as third place winner. Click up to 10 show winners.",
         [this] { cmdshow_Click(); }},
        {"cmdtrack", "USE OUTSIDE PAYOFF",
         "Enter track payoff amounts for win, place, and show in the payoff boxes above and click "
         "Use Track Payoff",
         [this] { cmdtrack_Click(); }},
        {"cmdpayoff", "CALCULATE  PAYOFF", "Calculate WIN,PLACE, and SHOW payoff ",
         [this] { cmdpayoff_Click(); }},
        {"cmdpay", "PAY WINNER", "Calculate payoff amount, remove name from winner list",
         [this] { cmdpay_Click(); }},
        {"cmdreturn", "MAIN MENU", "Return to main menu", [this] { cmdreturn_Click(); }},
    };
    int y = 348;
    for (const B& b : buttons) {
        Control& btn = add(Kind::CommandButton, b.name, b.cap, 320, y, 180, 36);
        btn.tooltip = b.tip;
        btn.Click = b.click;
        y += 42;
    }

    Control& frame2 = add(Kind::Frame, "Frame2", "Round", 510, 326, 200, 60);
    const char* roundcaps[] = {"", "1", "2", "3", "Final"};
    for (int r = 1; r <= nrounds; ++r) {
        Control& o = add(Kind::OptionButton, "Option" + std::to_string(r), roundcaps[r],
                         518 + (r - 1) * 46, 350, 46, 24);
        container[&o] = &frame2;
        o.Click = [this, r] { Option_Click(r); };
    }
    Control& fra = add(Kind::Frame, "fraflight", "Flight", 510, 392, 200, 220);
    fra.tooltip = "Must select a flight to add new player/teams";
    for (int f = 1; f <= nflights; ++f) {
        Control& o = add(Kind::OptionButton, "optflight", f, "", 516 + ((f - 1) / 8) * 96,
                         412 + ((f - 1) % 8) * 24, 94, 22);
        container[&o] = &fra;
        o.Click = [this, f] { optflight_Click(f); };
    }

    add(Kind::Label, "lblpaywinner", "PAY WINNER", 720, 330, 110, 20);
    Control& name = add(Kind::TextBox, "txtwinnername", "", 840, 326, 174, 24);
    name.settext(" ");
    name.locked = true;
    add(Kind::Label, "lblround", "R", 720, 360, 110, 20).setvisible(false);
    Control& r = add(Kind::TextBox, "txttotalr", "", 840, 356, 174, 24);
    r.tooltip = "Rounded payoff based on rounding factor on setup screen";
    r.locked = true;
    r.setvisible(false);
    add(Kind::Label, "lblrfactor", "ROUNDING FACTOR", 720, 390, 120, 20).setvisible(false);
    Control& factor = add(Kind::TextBox, "txtfactor", "", 840, 386, 174, 24);
    factor.tooltip = "Amount paid for every $2 bet on this horse to win";
    factor.setvisible(false);
    add(Kind::Label, "lblinstructions", " ", 720, 420, 294, 260);

    auto bottom = [this](const char* label, const char* cap, const char* boxname, int x, int lw,
                         const char* tip) {
        add(Kind::Label, label, cap, x, 694, lw, 20).tooltip = tip;
        Control& b = add(Kind::TextBox, boxname, "", x + lw, 690, 110, 24);
        b.settext(" ");
        b.locked = true;
        b.alignment = 1;
        b.tooltip = tip;
    };
    bottom("lblbet", "BET", "txtbet", 10, 40, "Total amount bet on this event");
    bottom("lblpaid", "PAID", "txtpaid", 180, 44, "Total amount paid to winners so far");
    bottom("Label6", "ROUNDED PAID", "txtrounded", 360, 110, "Total amount paid to winners so far");
    control("txtrounded").tooltip = "Total rounded amount paid to winners so far";
}

void frmpaywinners::Form_Load() {
    Shared& sh = app_.shared();
    control("txtbanner").settext(sh.banner);
    for (int f = 1; f <= nflights; ++f) control("optflight", f).setcaption(sh.flightnames[f]);
    sh.curflight.clear();  // no flight chosen yet: the round option loads nothing
    if (int r = roundindex(sh.curround)) control("Option" + std::to_string(r)).setvalue(1);
    // Loads frmpay unseen, whose own load resets the position counters: they are set again below.
    resetpayform(app_);
    resetcalc();
    control("lbllist").setcaption("Select a Player/Team");
    control("optflight", 1).setfocus();  // nothing is paid before a flight is chosen
}

// Forgets the finishers, the calculated or typed payoffs and the winning bettors, so nothing of
// one round or flight is ever paid in another; payment blocks still collecting are printed.
void frmpaywinners::resetcalc() {
    Shared& sh = app_.shared();
    sh.npos1 = sh.npos2 = sh.npos3 = 1;
    for (auto* l : {"lstwinhorse", "lstplacehorse", "lstshowhorse", "lstwinners"})
        control(l).clear();
    sh.winhorses = sh.placehorses = sh.showhorses = {};
    for (auto& row : sh.winningbets) row = {};
    sh.roundedpaid = sh.paidtotal = Money();
    for (int col = colww; col <= colww2; ++col) payofcol(sh, col) = 0;
    for (auto* box : kPayoffBoxes) control(box).settext("");
    control("txtwinwin2").settext("");
    control("cmdusing").setvisible(false);
    control("cmdtrack").setvisible(true);
    enddoc();
    sh.winpool = sh.placepool = sh.showpool = Money();
    sh.curticket = 0;
    sh.curbettor.clear();
    for (auto* n : {"cmdpay", "txtwintotal", "txtplacetotal", "txtshowtotal", "txttotaltotal",
                    "txtwinnername", "lblpaywinner", "lbltotal"})
        control(n).setvisible(false);
    for (auto* n : {"cmdpayoff", "cmdwinner", "cmdplace", "cmdshow"}) control(n).setvisible(true);
}

void frmpaywinners::Form_Unload() {
    // Payment blocks still collecting are printed when the screen goes, so no other screen's
    // lines join them.
    enddoc();
}

void frmpaywinners::enddoc() {
    if (!paydoc_) return;
    paydoc_ = false;
    app_.enddoc();
}

void frmpaywinners::Option_Click(int r) {
    Shared& sh = app_.shared();
    sh.setround(r);
    control("txtbanner").settext(sh.banner);
    resetcalc();
    // The chosen flight's bets and pools of the new round, as a flight choice loads them.
    if (sh.curflight.empty()) return;
    resetpayform(app_);
    fillentrylist();
}

void frmpaywinners::optflight_Click(int f) {
    Shared& sh = app_.shared();
    sh.curflight = sh.flightnames[f];
    sh.curflightnbr = f;
    resetpayform(app_);
    resetcalc();
    fillentrylist();
}

// The chosen flight's entries, as the entry lists of the other screens show them, for the
// operator to pick finishers from; each line carries its entry number.
void frmpaywinners::fillentrylist() {
    Shared& sh = app_.shared();
    Control& list = control("lstwinners");
    for (size_t i = 1; i <= sh.entries.size(); ++i) {
        const Entry& e = sh.entries(i);
        if (e.number == 999 || e.flight != sh.curflightnbr) continue;
        list.additem(sh.flightnames[e.flight] + e.name);
        list.setitemdata(list.newindex(), e.number);
    }
}

void frmpaywinners::enterfinisher(int pos) {
    Shared& sh = app_.shared();
    control("cmdtrack").setvisible(false);
    Control& list = control("lstwinners");
    if (list.listindex() < 0 || list.list(list.listindex()).empty()) {
        app_.msgbox("Must select player/team first");
        return;
    }
    std::array<long, 11>* tables[] = {nullptr, &sh.winhorses, &sh.placehorses, &sh.showhorses};
    long* counters[] = {nullptr, &sh.npos1, &sh.npos2, &sh.npos3};
    const char* lists[] = {"", "lstwinhorse", "lstplacehorse", "lstshowhorse"};
    long& n = *counters[pos];
    if (n > 10) {
        app_.msgbox("Up to 10 finishers can be entered in each position");
        return;
    }
    const std::string line = list.list(list.listindex());
    long entry = list.itemdata(list.listindex());
    if (entry <= 0) {
        // A line without an entry number: the first entry whose flight name and name make it.
        for (size_t i = 1; i <= sh.entries.size() && static_cast<long>(i) <= sh.maxplayers; ++i) {
            const Entry& e = sh.entries(i);
            if (isflight(e.flight) && sh.flightnames[e.flight] + e.name == line) {
                entry = e.number;
                break;
            }
        }
    }
    if (entry > 0) (*tables[pos])[n] = entry;
    if (pos == 1) {
        if (sh.npos1 == 2) control("cmdplace").setvisible(false);
        if (sh.npos1 > 1 && sh.npos2 > 1) {
            app_.msgbox("Invalid place winners - please re-enter");
            unload();
            app_.form("frmmenu").show();
            return;
        }
    }
    if (pos <= 2 && sh.npos1 + sh.npos2 > 3) control("cmdshow").setvisible(false);
    ++n;
    control(lists[pos]).additem(line);
}

void frmpaywinners::txthousepct_KeyPress(int& key) {
    if (key != vbKeyReturn || control("txthousepct").text().empty()) return;
    Money pct;
    if (!typedhousepct(control("txthousepct").text(), pct)) {
        app_.msgbox(kHousePctRefusal, vbOKOnly, "Payoff");
        return;
    }
    app_.msgbox("House percentage set to " + control("txthousepct").text());
}

void frmpaywinners::txtmult_KeyPress(int& key) {
    if (key != vbKeyReturn || control("txtmult").text().empty()) return;
    Money mult;
    takemultiplier(app_, *this, true, "Payoff", mult);
}

void frmpaywinners::cmdreturn_Click() {
    Shared& sh = app_.shared();
    for (long i = 1; i <= sh.maxplayers && static_cast<size_t>(i) <= sh.summ.size(); ++i) {
        SummRow& row = sh.summ(i);
        row.win = row.place = row.show = row.total = Money();
        row.oddswin = row.oddsplace = row.oddsshow = "0";
    }
    unload();
    app_.form("frmmenu").show();
}

void frmpaywinners::cmdtrack_Click() {
    if (app_.msgbox("Use outside payoffs?", vbYesNo, "Outside Payoff") != vbYes) return;
    Shared& sh = app_.shared();
    const int cols[] = {colww, colwp, colws, colpp, colps, colss};
    Money typed[6];
    for (int i = 0; i < 6; ++i) {
        // A payoff pays something, and no more than a bet could ever be. The boxes may hold the
        // payoffs as calculated, in money text.
        if (!Money::parseshown(control(kPayoffBoxes[i]).text(), typed[i]) || typed[i] <= Money() ||
            typed[i] > Money::units(Money::maxbetunits)) {
            app_.msgbox(
                "Missing entry or non-numeric entry - enter an amount in all payoff fields using "
                "only "
                "numbers and decimal points",
                vbOKOnly, "Track Payoff");
            return;
        }
    }
    for (int i = 0; i < 6; ++i) payofcol(sh, cols[i]) = typed[i].todouble() / 2;
    control("cmdusing").setvisible(true);
    control("cmdtrack").setvisible(false);
}

}  // namespace vt
