#include "reports/frmsummary.h"

#include "platform/text.h"
#include "records/records.h"

namespace vt {

namespace {

struct ListColumn {
    const char* label;
    const char* title;
    const char* list;
    const char* tooltip;
    const char* total;  // the total box under it, when any
    int left, width;
};

const ListColumn kColumns[] = {
    {"Label1", "PLAYER/TEAM ", "lstentries", "Display a list of all entries in this flight ",
     nullptr, 10, 300},
    {"Label2", "$WIN", "lstwin", "Total $ bet on this player/team to come in first", "txtwintot",
     315, 100},
    {"Label3", "$PLACE", "lstplace", "Toal $ bet on this player/team to come in second",
     "txtplacetot", 420, 100},
    {"Label4", "$SHOW", "lstshow", "Total $ bet on this player/team to come in third", "txtshowtot",
     525, 100},
    {"Label5", "$TOTAL", "lsttotal",
     "Total $ bet to win divided by total $ bet on this player/team to win ", "txttotaltot", 630,
     100},
    {"Label6", "ODDS", "lstodds",
     "Total bet on this event divided by the total bet on this player team  to win", nullptr, 735,
     90},
};

}  // namespace

frmsummary::frmsummary(Host& app) : Form(app, "frmsummary"), app_(app) {
    caption = "Summary";

    auto& banner = add(Kind::TextBox, "txtbanner", "", 10, 8, 560, 32);
    banner.tooltip = "Event name and current betting round - can be changed in setup screen";
    banner.fontsize = 12;
    banner.fontbold = true;
    banner.showonly();

    auto& frame1 = add(Kind::Frame, "Frame1", "Round", 590, 2, 424, 46);
    const char* roundcaptions[] = {"1", "2", "3", "Final"};
    for (int i = 0; i < 4; ++i) {
        auto& o = add(Kind::OptionButton, "Option" + std::to_string(i + 1), roundcaptions[i],
                      605 + i * 100, 20, 90, 22);
        container[&o] = &frame1;
    }
    control("Option1").Click = [this] { Option1_Click(); };
    control("Option2").Click = [this] { Option2_Click(); };
    control("Option3").Click = [this] { Option3_Click(); };
    control("Option4").Click = [this] { Option4_Click(); };

    auto& frame2 = add(Kind::Frame, "Frame2", "Flight", 10, 52, 1004, 74);
    frame2.tooltip = "Must select a flight to add new player/teams";
    for (int i = 1; i <= nflights; ++i) {
        auto& o = add(Kind::OptionButton, "optflight", i, "", 20 + ((i - 1) % 8) * 123,
                      70 + ((i - 1) / 8) * 26, 118, 22);
        container[&o] = &frame2;
        o.Click = [this, i] { optflight_Click(i); };
    }

    for (const auto& c : kColumns) {
        add(Kind::Label, c.label, c.title, c.left, 132, c.width, 18).fontbold = true;
        add(Kind::ListBox, c.list, "", c.left, 152, c.width, 530).tooltip = c.tooltip;
        if (c.total) add(Kind::TextBox, c.total, "", c.left, 688, c.width, 26).locked = true;
    }
    // Said while the flight's Bets file holds a record the sum could not take.
    auto& bad = add(Kind::Label, "lblbadbets", "", 10, 720, 820, 40);
    bad.fontbold = true;
    bad.forecolor = 0xC00000;
    bad.setvisible(false);
    auto& totals = add(Kind::Label, "Label8", "TOTALS", 10, 692, 295, 22);
    totals.alignment = 1;
    totals.fontbold = true;

    struct Button {
        const char* name;
        const char* caption;
        const char* tooltip;
        void (frmsummary::*handler)();
    };
    const Button buttons[] = {
        {"cmdplayer", "SORT BY PLAYER", "Sort the list alphabetically",
         &frmsummary::cmdplayer_Click},
        {"cmdmoney", "SORT BY WIN ODDS",
         "Sort the list in sequence by total win$ bet - only displays entries with win bets",
         &frmsummary::cmdmoney_Click},
        {"cmddown", "DOWN", "Display the next 35 entries down the list",
         &frmsummary::cmddown_Click},
        {"cmdup", "UP", "Display the previous 35 entries", &frmsummary::cmdup_Click},
        {"cmdprint", "PRINT SUMMARY", "Print the current event summary screen",
         &frmsummary::cmdprint_Click},
        {"cmdbettorall", "PRINT ALL BETS",
         "Print a list by bettor in alpha sequence of all bets for this bettor",
         &frmsummary::cmdbettorall_Click},
        {"cmdbettorsumm", "PRINT BET SUMMARY",
         "Print a list by bettor in alpha sequence of total bets by bettor",
         &frmsummary::cmdbettorsumm_Click},
        {"cmdall", "ALL ODDS", "Display win, place, and show odds for all flights",
         &frmsummary::cmdall_Click},
        {"cmdmenu", "MAIN MENU", "Return to the betting screen", &frmsummary::cmdmenu_Click},
        {"cmdreturn", "RETURN TO BETS", "Return to the betting screen",
         &frmsummary::cmdreturn_Click},
    };
    int y = 152;
    for (const auto& b : buttons) {
        auto& c = add(Kind::CommandButton, b.name, b.caption, 840, y, 174, 38);
        c.tooltip = b.tooltip;
        c.fontbold = true;
        auto handler = b.handler;
        c.Click = [this, handler] { (this->*handler)(); };
        y += 48;
    }
}

void frmsummary::Form_Load() {
    Shared& s = sh();
    control("txtbanner").settext(s.banner);
    // Picking the round option runs its choice of round, which fills the lists a first time.
    if (int r = roundindex(s.curround)) control("Option" + std::to_string(r)).setvalue(1);
    pagestart = 1;
    for (int i = 1; i <= nflights; ++i) {
        Control& o = control("optflight", i);
        o.setcaption(s.flightnames[i]);
        if (s.flightnames[i] == s.curflight) o.setvalue(1);
    }
    resetsumm(s);
    readbettors(app_);
    readentries(app_);
    sumbets(app_);
    showbadbets();
    calcodds(app_);
    fillsummarylists(app_);
}

void frmsummary::showbadbets() {
    Shared& s = sh();
    Control& bad = control("lblbadbets");
    bad.setcaption(s.curround + " Flight " + trim(s.curflight) +
                   ": the Bets file holds a bad record, so these totals leave bets out. Check it "
                   "with Fix Files on the main menu.");
    bad.setvisible(!s.betscomplete);
}

void frmsummary::chooseround(int r) {
    sh().chooseround(r);
    control("txtbanner").settext(sh().banner);
    reloadflight();
}

void frmsummary::Option1_Click() { chooseround(1); }
void frmsummary::Option2_Click() { chooseround(2); }
void frmsummary::Option3_Click() { chooseround(3); }
void frmsummary::Option4_Click() { chooseround(4); }

void frmsummary::optflight_Click(int index) {
    sh().curflight = sh().flightnames[index];
    sh().curflightnbr = index;
    reloadflight();
}

void frmsummary::reloadflight() {
    resetsumm(sh());
    sumbets(app_);
    showbadbets();
    calcodds(app_);
    fillsummarylists(app_);
}

void frmsummary::sortlists(SummaryOrder order) {
    try {
        readentries(app_);
        clearsummarylists(*this);
        std::vector<SummaryRow> rows = ordersummaryrows(collectsummaryrows(sh(), false), order);
        writedisptab(sh(), rows);
        for (size_t n = 0; n < rows.size() && n < static_cast<size_t>(kSortLines); ++n)
            addsummaryline(*this, rows[n]);
        showsummarytotals(sh(), *this);
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
    }
}

void frmsummary::cmdplayer_Click() {
    pagestart = 1;
    sortlists(SummaryOrder::NameCodes);
}

void frmsummary::cmdmoney_Click() { sortlists(SummaryOrder::WinMoney); }

void frmsummary::showpage(long& r) {
    clearsummarylists(*this);
    for (int k = 0; k < kSummaryPage; ++k) {
        if (disptabend(sh(), r)) break;
        addsummaryline(*this, disptabrow(sh(), r));
        ++r;
        if (r > sh().maxplayers) break;
    }
}

void frmsummary::cmddown_Click() {
    if (pagestart < 1) pagestart = 1;
    long r = pagestart;
    if (r <= sh().maxplayers && !disptabend(sh(), r)) {
        showpage(r);
        pagestart = r;
    }
    if (r > sh().maxplayers) pagestart = sh().maxplayers;
}

void frmsummary::cmdup_Click() {
    long r = pagestart - kSummaryPage;
    if (r < 1) {
        r = 1;
        pagestart = 1;
    }
    if (disptabend(sh(), r)) return;
    // The page shown starts at r, so a further UP steps back another page.
    pagestart = r;
    showpage(r);
    if (r > sh().maxplayers) pagestart = sh().maxplayers;
}

void frmsummary::cmdall_Click() {
    unload();
    app_.form("frmsumm").show();
}

void frmsummary::cmdmenu_Click() {
    unload();
    app_.form("frmmenu").show();
}

void frmsummary::cmdreturn_Click() {
    unload();
    app_.form("frmbet").show();
}

}  // namespace vt
