// The betting screen's odds board: the clickable list, the scrolling board, its speed, sort
// order and flight boxes, and the blinking step prompts.
#include <algorithm>

#include "betting/betfiles.h"
#include "betting/buildboard.h"
#include "betting/frmbet.h"
#include "platform/text.h"
#include "records/records.h"

namespace vt {

namespace {

constexpr int kScrollLines = 23;
constexpr long kSlowest = 65535;  // the longest interval the timer takes

}  // namespace

void frmbet::buildboardcontrols() {
    add(Kind::Label, "Label13", "FLIGHT", 744, 46, 70, 18);
    add(Kind::Label, "Label15", "  WIN ODDS/$1", 900, 46, 116, 18);
    add(Kind::Label, "Label17", "FLIGHT", 744, 68, 64, 18);
    add(Kind::Label, "Label16", "PLAYER/TEAM", 812, 68, 120, 18);
    add(Kind::Label, "Label14", "    ODDS", 940, 68, 76, 18);
    auto& scroll = add(Kind::ListBox, "lstscroll", "", 744, 88, 272, 340);
    scroll.sorted = true;
    scroll.fontname = "Courier New";
    auto& hide = add(Kind::CommandButton, "cmdhide", "Hide Scroll", 744, 436, 88, 28);
    hide.Click = [this] { cmdhide_Click(); };
    auto& faster = add(Kind::CommandButton, "cmdfaster", "Scroll Faster", 836, 436, 88, 28);
    faster.Click = [this] { cmdfaster_Click(); };
    auto& slower = add(Kind::CommandButton, "cmdslower", "Scroll Slower", 928, 436, 88, 28);
    slower.Click = [this] { cmdslower_Click(); };
    auto& sort = add(Kind::Frame, "frmsort", "Sort", 744, 472, 272, 48);
    auto& flt = add(Kind::OptionButton, "optflt", "Flight", 754, 492, 80, 20);
    auto& pt = add(Kind::OptionButton, "optpt", "Plyr/Tm", 838, 492, 84, 20);
    auto& odds = add(Kind::OptionButton, "optodds", "Odds", 926, 492, 80, 20);
    for (Control* o : {&flt, &pt, &odds}) container[o] = &sort;
    flt.setvalue(1);
    flt.Click = [this] { sort_Click(1, 0, 0); };
    pt.Click = [this] { sort_Click(0, 1, 0); };
    odds.Click = [this] { sort_Click(0, 0, 1); };
    auto& timer = add(Kind::Timer, "Timer1", "", 0, 0, 0, 0);
    timer.interval = 900;
    timer.Timer = [this] { Timer1_Timer(); };
}

void frmbet::rebuildboard() {
    buildboard(app_);
    showdataerror();
}

void frmbet::lstentries_Click() {
    Control& lst = control("lstentries");
    int i = lst.listindex();
    if (i < 0) return;
    control("txthorse").settext(lst.list(i));
    sh_.selplayer = lst.itemdata(i);
    long row = entryrow(sh_, sh_.selplayer);
    if (!row) {
        app_.msgbox("Bad Player number", vbOKOnly, "Player select");
        control("txthorse").settext(" ");
        sh_.selplayer = 0;
        return;
    }
    sh_.selrow = row;
    long f = sh_.entries(row).flight;
    if (isflight(f)) {
        sh_.curflightnbr = f;
        sh_.curflight = sh_.flightnames[f];
    }
    resetsumm(sh_);
    if (isflight(sh_.curflightnbr)) sumbets(app_);
    calcodds(app_);
    showdataerror();
}

void frmbet::Timer1_Timer() {
    showdataerror();
    if (sh_.dataerror == 1) return;
    blinkprompts();
    scrollboard();
    control("Timer1").interval = static_cast<int>(sh_.scrollms);
}

// The first step not yet done blinks red and white; once bettor, entry and position are given,
// step 4 blinks with the place button. The pay button blinks with step 2 while bets are unpaid.
void frmbet::blinkprompts() {
    const bool nobettor = control("cbobettor").text().empty();
    const bool noentry = control("txthorse").text() == " ";
    const bool nopos = control("txtwps").text() == " ";
    if (color("lblone") == white && nobettor) {
        setcolor("lblone", red);
        setcolor("lblfour", white);
    } else if (color("lblone") == red && nobettor) {
        setcolor("lblone", white);
        setcolor("lblfour", white);
    } else {
        if (!nobettor) setcolor("lblone", white);
        if (color("lbltwo") == white && noentry) {
            setcolor("lbltwo", red);
        } else if (color("lbltwo") == red && noentry) {
            setcolor("lbltwo", white);
        } else {
            if (!control("txthorse").text().empty()) setcolor("lbltwo", white);
            if (color("lblthree") == white && nopos) {
                setcolor("lblthree", red);
            } else if (color("lblthree") == red && nopos) {
                setcolor("lblthree", white);
            } else {
                if (!control("txtwps").text().empty()) setcolor("lblthree", white);
                if (color("lblfour") == white) {
                    setcolor("lblfour", red);
                    setcolor("cmddone", green);
                } else if (color("lblfour") == red) {
                    setcolor("lblfour", white);
                    setcolor("cmddone", white);
                }
            }
        }
    }
    if (sh_.newtotal > Money{} && noentry) {
        if (color("lbltwo") == white)
            setcolor("cmdpay", green);
        else if (color("lbltwo") == red)
            setcolor("cmdpay", white);
    }
}

// One line further through the board; lines of unticked flights are left out in flight order.
// A board that ends without an empty line (every line used) wraps to its first line as well.
void frmbet::scrollboard() {
    Control& scroll = control("lstscroll");
    scroll.clear();
    const long last = static_cast<long>(sh_.boardlines.size()) - 1;
    auto line = [&](long i) { return i >= 1 && i <= last ? sh_.boardlines[i] : std::string(); };
    if (sh_.scrollpos > sh_.maxplayers || sh_.scrollpos > last) sh_.scrollpos = 1;
    long cursor = sh_.scrollpos;
    for (int turn = 0; turn < kScrollLines; ++turn) {
        if (line(cursor).empty()) {
            scroll.clear();
            cursor = 1;
        }
        long f = cursor <= last && cursor < static_cast<long>(boardflight.size())
                     ? boardflight[cursor]
                     : 0;
        if (sh_.sortflight == 1 && isflight(f) &&
            control("Check1", static_cast<int>(f) - 1).value() != 1) {
            ++cursor;
            continue;
        }
        scroll.additem(Left(line(cursor), 39));
        ++cursor;
    }
    if (!line(sh_.scrollpos).empty())
        ++sh_.scrollpos;
    else
        sh_.scrollpos = 1;
}

void frmbet::cmdfaster_Click() { sh_.scrollms = std::max(sh_.scrollms - 100, 100L); }

void frmbet::cmdslower_Click() { sh_.scrollms = std::min(sh_.scrollms + 100, kSlowest); }

void frmbet::cmdhide_Click() {
    Control& hide = control("cmdhide");
    if (hide.caption() != "Unhide Scroll") {
        hide.setcaption("Unhide Scroll");
        control("lstscroll").setvisible(false);
    } else {
        hide.setcaption("Hide Scroll");
        control("lstscroll").setvisible(true);
    }
}

void frmbet::sort_Click(int flt, int pt, int odds) {
    sh_.sortflight = flt;
    sh_.sortplayer = pt;
    sh_.sortodds = odds;
    if (!quiet_) rebuildboard();
}

void frmbet::Check1_Click() {
    if (!quiet_) rebuildboard();
}

}  // namespace vt
