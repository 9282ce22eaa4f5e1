#include "payoff3/frmany.h"

#include "payoff3/threeposcalc.h"
#include "platform/text.h"
#include "records/moneytext.h"
#include "records/payoffsums.h"
#include "records/typedinput.h"

namespace vt {

namespace {

const char* const kHelp =
    "CALCULATE AnyBettor PAYOFFS \r\n"
    "Enter bet amounts for this bettor for each winning bet category\r\n"
    "Click Calculate Payoff to keep a running total for this bettor\r\n"
    "Click Add to Bettor's Total to add the total for this entry\r\n"
    "Click Clear to enter winning bets for a new bettor\r\n"
    "Click Return to Payoff to continue paying other winners\r\n"
    "*** PROGRAM DOES NOT USE THESE PAYOFFS TO CALCULATE PAYOFF TOTALS***\r\n";

const char* const kAmountBoxes[] = {"txtwinwin",     "txtwinplace",  "txtwinshow",
                                    "txtplaceplace", "txtplaceshow", "txtshowshow"};
const char* const kLists[] = {"lstwinhorse", "lstplacehorse", "lstshowhorse"};

}  // namespace

frmany::frmany(Host& app) : Form(app, "frmany"), app_(app) {
    caption = "Form1";
    Control& banner = add(Kind::TextBox, "txtbanner", "", 420, 8, 594, 26);
    banner.tooltip = "Event name and betting round - can be changed on setup";
    banner.fontsize = 12;
    banner.fontbold = true;
    banner.showonly();
    add(Kind::Label, "lblhorse", "PLAYER/TEAM", 30, 42, 200, 20);
    add(Kind::Label, "lblwin", "WIN", 330, 42, 95, 20);
    add(Kind::Label, "lblplace", "PLACE", 430, 42, 95, 20);
    add(Kind::Label, "lblshow", "SHOW", 530, 42, 95, 20);
    add(Kind::Label, "lbltotal", "TOTAL$", 630, 42, 95, 20);
    for (int r = 0; r < 3; ++r) {
        add(Kind::Label, "Label" + std::to_string(r + 2), std::to_string(r + 1), 10, 66 + r * 76,
            16, 20);
        add(Kind::ListBox, kLists[r], "", 30, 64 + r * 76, 290, 70).tooltip =
            "Displays up to 10 winners";
    }
    const std::string paid = "Amount paid for every $2 bet on this player/team to ";
    auto box = [this](const char* name, int x, int y, const std::string& tip) -> Control& {
        Control& b = add(Kind::TextBox, name, "", x, y, 95, 24);
        b.settext(" ");
        b.alignment = 1;
        b.tooltip = tip;
        return b;
    };
    box("txtwinwin", 330, 64, paid + "win");
    box("txtwinplace", 430, 64, paid + "place");
    box("txtwinshow", 530, 64, paid + "show");
    box("txtplaceplace", 430, 140, paid + "place");
    box("txtplaceshow", 530, 140, "Amount bet for every $2 bet on this player/team to show");
    box("txtshowshow", 530, 216, "Amount paid for $2 bet on this player/team to show");
    for (auto [name, y] :
         {std::pair{"txtwintotal", 64}, {"txtplacetotal", 140}, {"txtshowtotal", 216}})
        box(name, 630, y, "").locked = true;

    Control& help = add(Kind::TextBox, "Text1", "", 10, 310, 440, 200);
    help.multiline = true;
    help.locked = true;
    help.settext(kHelp);
    auto button = [this](const char* name, const char* cap, int x, int y,
                         std::function<void()> click) {
        add(Kind::CommandButton, name, cap, x, y, 190, 36).Click = std::move(click);
    };
    button("cmdcalc", "Calculate Payoff", 470, 310, [this] { cmdcalc_Click(); });
    button("cmdadd", "Add to Bettor's Total", 470, 356, [this] { cmdadd_Click(); });
    button("cmdclear", "Clear", 470, 402, [this] { cmdclear_Click(); });
    button("cmdreturn", "Return to Payoff", 10, 530, [this] { cmdreturn_Click(); });
    add(Kind::Label, "lblpaywinner", "PAY WINNER", 680, 314, 110, 20);
    Control& who = add(Kind::TextBox, "txtwinnername", "", 800, 310, 214, 24);
    who.settext("AnyBettor");
    who.locked = true;
    box("txttotaltotal", 800, 344, "").locked = true;
    add(Kind::Label, "Label1", "TOTAL DUE", 680, 382, 110, 20);
    box("txttotaldue", 800, 378, "").locked = true;
}

void frmany::Form_Load() {
    Form& pay = app_.form("frmpaywinners");
    for (auto* name : kLists) {
        Control& from = pay.control(name);
        for (int i = 0; i < from.listcount(); ++i) control(name).additem(from.list(i));
    }
    Shared& sh = app_.shared();
    sh.work1 = sh.work2 = Money();
    control("txttotaldue").settext(Str(0));
    control("txtbanner").settext(sh.banner);
}

void frmany::cmdcalc_Click() {
    const Shared& sh = app_.shared();
    Money a[6];
    for (int i = 0; i < 6; ++i) {
        Control& box = control(kAmountBoxes[i]);
        // A bet amount is read strictly; anything else is refused, not guessed.
        if (!typedslipamount(box.text(), a[i])) {
            for (auto* n : {"txtwintotal", "txtplacetotal", "txtshowtotal", "txttotaltotal"})
                control(n).settext("");
            app_.msgbox(slipamountrefusal(box.text()));
            box.setfocus();
            return;
        }
    }
    const Money win =
        a[0].times(sh.paywinwin) + a[1].times(sh.paywinplace) + a[2].times(sh.paywinshow);
    const Money place = a[3].times(sh.payplaceplace) + a[4].times(sh.payplaceshow);
    const Money show = a[5].times(sh.payshowshow);
    control("txtwintotal").settext(moneytext(win));
    control("txtplacetotal").settext(moneytext(place));
    control("txtshowtotal").settext(moneytext(show));
    control("txttotaltotal").settext(moneytext(win + place + show));
}

void frmany::cmdadd_Click() {
    Shared& sh = app_.shared();
    Money entry;
    if (!Money::parseshown(control("txttotaltotal").text(), entry)) {
        app_.msgbox("Click Calculate Payoff first");
        return;
    }
    sh.work1 = entry;
    sh.work2 += entry;
    control("txttotaldue").settext(moneytext(sh.work2));
    emptyboxes();
}

void frmany::emptyboxes() {
    for (auto* n : kAmountBoxes) control(n).settext("");
    for (auto* n : {"txtwintotal", "txtplacetotal", "txtshowtotal"}) control(n).settext("");
}

void frmany::cmdclear_Click() {
    emptyboxes();
    control("txttotaltotal").settext("");
    control("txttotaldue").settext("");
    app_.shared().work1 = app_.shared().work2 = Money();
}

void frmany::cmdreturn_Click() {
    unload();
    app_.form("frmpaywinners").show();
}

}  // namespace vt
