#include "betting/frmsheetg.h"

#include <algorithm>

#include "betting/betfiles.h"
#include "betting/bettorentry.h"
#include "platform/text.h"
#include "records/moneytext.h"
#include "records/records.h"

namespace vt {

namespace {

constexpr uint32_t kBlack = 0x000000, kRed = 0xFF0000;

// A line of a sorted list: its key (the line's text) and its number (the item data).
struct Keyed {
    std::string key;
    long number;
    long flight = 0;
};

// Keys in character-code order; equal keys keep their table order.
void sortkeys(std::vector<Keyed>& rows) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
}

}  // namespace

frmsheetg::frmsheetg(Host& app) : Form(app, "frmsheetg"), app_(app), sh_(app.shared()) {
    caption = "Form1";
    buildcontrols();
    buildbetrows();
}

void frmsheetg::buildcontrols() {
    auto& banner = add(Kind::TextBox, "txtbanner", "", 8, 6, 600, 30);
    banner.fontsize = 14;
    banner.fontbold = true;
    banner.showonly();
    add(Kind::Label, "lblcopyr", "", 8, 40, 600, 18);
    auto& round = add(Kind::Frame, "Round", "Round", 620, 0, 280, 44);
    const char* captions[nrounds + 1] = {"", "1", "2", "3", "Final"};
    for (int k = 1; k <= nrounds; ++k) {
        auto& o = add(Kind::OptionButton, "Option" + std::to_string(k), captions[k],
                      630 + (k - 1) * 64, 18, 60, 20);
        container[&o] = &round;
        o.Click = [this, k] { Option_Click(k); };
    }
    auto& flights = add(Kind::TextBox, "Text2", "Check Flights to \r\ndisplay", 8, 62, 112, 72);
    flights.multiline = true;
    flights.locked = true;
    for (int c = 0; c <= 14; ++c) {
        auto& box =
            add(Kind::CheckBox, "Check1", c, "", 126 + (c % 5) * 126, 64 + (c / 5) * 24, 122, 22);
        if (c <= 1) box.setvalue(1);
        box.Click = [this] {
            if (!quiet_) cmdresetp_Click();
        };
    }

    // The bettor.
    add(Kind::Label, "lblbettor", "ENTER BETTOR NAME", 8, 140, 300, 18);
    auto& name = add(Kind::TextBox, "txtname", "", 8, 158, 300, 24);
    name.tooltip =
        "Enter the first few characters of the bettor name until the bettor name appears below or "
        "click "
        "on a name below once it is visible ";
    name.KeyPress = [this](int& k) { search_KeyPress("txtname", k); };
    add(Kind::Label, "Label7", "CLICK ON BETTOR NAME", 8, 188, 300, 18);
    auto& bettors = add(Kind::ListBox, "lstentries", "", 8, 206, 300, 194);
    bettors.tooltip = "click to select a bettor name";
    bettors.Click = [this] { lstentries_Click(); };
    auto& resetb = add(Kind::CommandButton, "cmdresetb", "Reset Bettor List", 8, 406, 150, 28);
    resetb.tooltip = "Click to point to top of bettor list";
    resetb.Click = [this] { cmdresetb_Click(); };
    add(Kind::Label, "Label11", "- OR -", 8, 440, 300, 18);
    add(Kind::Label, "Label10", "ENTER TICKET NUMBER ", 8, 458, 300, 18);
    auto& ticket = add(Kind::TextBox, "txtticket", "", 8, 476, 300, 24);
    ticket.tooltip =
        "Enter ticket number or bettor name (last name-first name) and press enter. Creates new "
        "bettor "
        "with this number or name if necessary.";
    ticket.KeyPress = [this](int& k) { txtticket_KeyPress(k); };

    // The player/team.
    add(Kind::Label, "Label1", "ENTER PLAYER/TEAM NAME", 320, 140, 340, 18);
    auto& player = add(Kind::TextBox, "txtplayer", "", 320, 158, 340, 24);
    player.tooltip =
        "Enter the first few characters of the player/team name until the player/team name appears "
        "below or click on a name below once it is visible ";
    player.KeyPress = [this](int& k) { search_KeyPress("txtplayer", k); };
    add(Kind::Label, "Label6", "CLICK ON PLAYER/TEAM", 320, 188, 340, 18);
    auto& players = add(Kind::ListBox, "lstplayers", "", 320, 206, 340, 194);
    players.fontname = "Courier New";
    players.tooltip = "click to select a player/team name";
    players.Click = [this] { lstplayers_Click(); };
    auto& resetp = add(Kind::CommandButton, "cmdresetp", "Reset Player List", 320, 406, 150, 28);
    resetp.tooltip = "Click to point to top of player list";
    resetp.Click = [this] { cmdresetp_Click(); };

    auto& help = add(Kind::TextBox, "Text1", "", 8, 510, 652, 250);
    help.multiline = true;
    help.locked = true;
    const char* lines[] = {">Check flights to be displayed",
                           "",
                           ">Enter ticket number or bettor name (last name-first name)  ",
                           "-or- ",
                           "enter the first few characters of bettor name and click ",
                           "on bettor name to select",
                           "",
                           ">Enter first few characters of player/team and click on ",
                           "player/team",
                           "",
                           ">Click  amounts to change Bet Amount",
                           "",
                           ">Click on win,place, and show fields to enter bets",
                           "",
                           ">Click on Place Next Bet to enter these bets"};
    std::string text;
    for (const char* l : lines) text += std::string(l) + "\r\n";
    help.setcaption(text);

    auto& menu = add(Kind::CommandButton, "cmdmainmenu", "MAIN MENU", 848, 690, 168, 36);
    menu.tooltip = "Return to the bet screen.";
    menu.Click = [this] { cmdmainmenu_Click(); };
}

void frmsheetg::buildbetrows() {
    auto& title = add(Kind::TextBox, "Text4", "   Bet Amount", 672, 140, 110, 24);
    title.locked = true;
    auto& amt = add(Kind::TextBox, "txtbetamt", "", 786, 140, 110, 24);
    amt.locked = true;
    amt.tooltip =
        "Sets amount used for each click in Next Bet. Click to increase this amount by $1";
    amt.Click = [this] { txtbetamt_Click(); };
    auto& plus = add(Kind::TextBox, "txtplus", "+", 900, 140, 30, 24);
    plus.locked = true;
    plus.tooltip = "Click to change the bet amount from plus to minus";
    plus.Click = [this] { txtplus_Click(); };
    const char* steps[5] = {".25", "1", "5", "25", " C"};
    for (int i = 0; i < 5; ++i) {
        auto& b = add(Kind::TextBox, "txtamt", i, steps[i], 672 + i * 68, 170, 64, 24);
        b.locked = true;
        b.tooltip = i == 4 ? "Click to set the current Bet Amount to $0"
                           : "Click to add this amount to the Bet Amount";
        b.Click = [this, i] { txtamt_Click(i); };
    }

    const char* heads[4] = {"$WIN", "$PLACE", "$SHOW", "$TOTAL"};
    const char* nexttitles[4] = {"Label16", "Label15", "Label14", "Label13"};
    const char* tottitles[4] = {"Label2", "Label3", "Label4", "Label5"};
    const char* nextboxes[4] = {"txtwin", "txtplace", "txtshow", "txttotal"};
    const char* totboxes[4] = {"txtwintot", "txtplacetot", "txtshowtot", "txttotaltot"};
    auto& next = add(Kind::Label, "Label12", "Next Bet ", 672, 226, 84, 18);
    next.tooltip =
        "Next potential bet for this bettor on the selected player/team. Added to current bets by "
        "Placing "
        "Next Bet.";
    add(Kind::Label, "Label8", "SHEET TOTALS", 672, 290, 84, 18);
    for (int i = 0; i < 4; ++i) {
        int x = 760 + i * 64;
        add(Kind::Label, nexttitles[i], heads[i], x, 204, 60, 18);
        auto& box = add(Kind::TextBox, nextboxes[i], "", x, 222, 60, 24);
        box.locked = true;
        add(Kind::Label, tottitles[i], heads[i], x, 268, 60, 18);
        auto& tot = add(Kind::TextBox, totboxes[i], "", x, 286, 60, 24);
        tot.locked = true;
        tot.fontname = "Times New Roman";
    }
    control("txtwintot").tooltip =
        "Total win, place, and show bets for the current entry. Should correspond to bet sheet "
        "totals.";
    control("txtwin").Click = [this] { column_Click("txtwin", "txtwintot"); };
    control("txtplace").Click = [this] { column_Click("txtplace", "txtplacetot"); };
    control("txtshow").Click = [this] { column_Click("txtshow", "txtshowtot"); };

    auto& clr = add(Kind::CommandButton, "cmdclrentries", "Clear Next Bet", 672, 322, 168, 30);
    clr.tooltip = "Clear the current bet entries";
    clr.Click = [this] { cmdclrentries_Click(); };
    auto& place = add(Kind::CommandButton, "cmdplacebets", "Place Next Bet", 848, 322, 168, 30);
    place.tooltip = "Click to place bets entered on this screen";
    place.Click = [this] { cmdplacebets_Click(); };
    add(Kind::Label, "Label9", "CURRENT BETS FOR THIS BETTOR", 672, 364, 344, 18);
    auto& bets = add(Kind::ListBox, "lstbets", "", 672, 382, 344, 290);
    bets.fontname = "Courier New";
    bets.tooltip =
        "List of current bets by this bettor. Does not include prior bets by this bettor.";
}

void frmsheetg::Form_Load() {
    control("lblcopyr")
        .setcaption("Key in the bets of a bettor's paper bet sheet, one player/team at a time");
    sh_.crlf = "\r\n";
    control("txtbanner").settext(sh_.banner);
    if (int k = roundindex(sh_.curround)) control("Option" + std::to_string(k)).setvalue(1);
    betamount = Money::dollars(1);
    control("txtplus").settext("+");
    showstep("$#,##0.00");
    emptytotals();
    // The choice of bettor and player/team starts empty on every visit.
    sh_.curticket = 0;
    selnumber = 0;
    seltext.clear();
    for (int c = 0; c <= 14; ++c) control("Check1", c).setcaption(sh_.flightnames[c + 1]);
    readentries(app_);
    readbettors(app_);
    fillbettors(control("txtname").text());
    fillplayers(control("txtplayer").text(), false);
}

void frmsheetg::Option_Click(int k) {
    sh_.chooseround(k);
    control("txtbanner").settext(sh_.banner);
    resetsumm(sh_);
    if (isflight(sh_.curflightnbr)) sumbets(app_);
}

void frmsheetg::fillbettors(const std::string& search) {
    std::vector<Keyed> rows;
    for (long i = 1; i <= sh_.maxbettors; ++i) {
        const Bettor& b = sh_.bettors(i);
        if (b.name.empty()) break;
        rows.push_back({b.name, b.number});
    }
    sortkeys(rows);
    auto first = std::find_if(rows.begin(), rows.end(), [&](const Keyed& r) {
        return Left(r.key, static_cast<long>(search.size())) >= search;
    });
    if (first == rows.end()) return;  // nothing at or after the search text: the list stays
    Control& lst = control("lstentries");
    lst.clear();
    for (auto it = first; it != rows.end(); ++it) {
        lst.additem(it->key);
        lst.setitemdata(lst.newindex(), it->number);
    }
}

void frmsheetg::fillplayers(const std::string& search, bool byname) {
    std::vector<Keyed> rows;
    for (long i = 1; i <= sh_.maxplayers; ++i) {
        const Entry& e = sh_.entries(i);
        if (e.number == 999 || e.name.empty()) break;
        if (!isflight(e.flight)) continue;  // no flight label to list it under
        rows.push_back({sh_.flightnames[e.flight] + e.name, e.number, e.flight});
    }
    sortkeys(rows);
    const long n = static_cast<long>(search.size());
    auto part = [&](const std::string& key) { return byname ? Mid(key, 11, n) : Left(key, n); };
    auto first = std::find_if(rows.begin(), rows.end(),
                              [&](const Keyed& r) { return part(r.key) >= search; });
    if (first == rows.end()) return;
    Control& lst = control("lstplayers");
    lst.clear();
    for (auto it = first; it != rows.end(); ++it) {
        if (!byname && control("Check1", static_cast<int>(it->flight) - 1).value() != 1) continue;
        lst.additem(it->key);
        lst.setitemdata(lst.newindex(), it->number);
    }
}

void frmsheetg::cmdresetp_Click() {
    control("txtplayer").settext("");
    readentries(app_);
    fillplayers("", false);
}

// The chosen bettor stays chosen: the list only starts from the top again.
void frmsheetg::cmdresetb_Click() {
    control("txtname").settext("");
    readbettors(app_);
    fillbettors("");
}

void frmsheetg::lstentries_Click() {
    Control& lst = control("lstentries");
    int i = lst.listindex();
    if (i < 0) return;
    control("txtticket").settext("");
    choosebettor(lst.itemdata(i), lst.list(i));
}

// A new sheet: the bettor's list of bets and the sheet totals start empty.
void frmsheetg::choosebettor(long ticket, const std::string& name) {
    control("lstbets").clear();
    emptytotals();
    sh_.curticket = ticket;
    sh_.curbettor = name;
    control("txtname").settext(name);
    fillbettors(name);
}

void frmsheetg::lstplayers_Click() {
    Control& lst = control("lstplayers");
    int i = lst.listindex();
    if (i < 0) return;
    selnumber = lst.itemdata(i);
    seltext = selnumber ? lst.list(i) : "";
    control("txtplayer").settext(seltext);
    fillplayers(seltext, false);
}

// Typing into a search box: the text in upper case, the caret at its end, the list following it.
// Control keys other than Backspace are ignored.
void frmsheetg::search_KeyPress(const std::string& box, int& key) {
    if (key == vbKeyBack) return;
    int typed = key;
    key = 0;
    if (typed < 32 || typed > 255) return;
    Control& c = control(box);
    keytext = c.text() + static_cast<char>(typed);
    c.settext(ucase(keytext));
    c.setfocus();
    c.movecaretend();
    if (box == "txtname") {
        emptytotals();
        fillbettors(c.text());
    } else {
        fillplayers(c.text(), true);
    }
}

void frmsheetg::txtticket_KeyPress(int& key) {
    Control& box = control("txtticket");
    if (key != vbKeyReturn || box.text().empty()) return;
    key = 0;
    std::string text = ucase(box.text());
    box.settext(text);
    readbettors(app_);
    long ticket = 0;
    std::string name = text;
    if (long row = findbettor(sh_, text)) {
        ticket = sh_.bettors(row).number;
        name = sh_.bettors(row).name;
    } else {
        ticket = addbettor(app_, text, "Bet Sheet");
        if (!ticket) return;
    }
    box.settext("");
    choosebettor(ticket, name);
}

Money frmsheetg::amountof(const std::string& box) { return shownamount(control(box).text()); }

void frmsheetg::setamount(const std::string& box, Money m) { control(box).settext(m.tostring()); }

void frmsheetg::showstep(const std::string& pattern) {
    control("txtbetamt").settext(Format(betamount, pattern));
}

void frmsheetg::setsign(const std::string& sign, uint32_t colour) {
    control("txtplus").settext(sign);
    control("txtplus").forecolor = colour;
    control("txtbetamt").forecolor = colour;
}

void frmsheetg::txtbetamt_Click() {
    betamount += control("txtplus").text() == "-" ? -Money::dollars(1) : Money::dollars(1);
    showstep("$##.00");
}

void frmsheetg::txtamt_Click(int index) {
    if (index == 4) {
        betamount = Money{};
        setsign("+", kBlack);
    } else {
        Money step = shownamount(control("txtamt", index).text());
        betamount += control("txtplus").text() == "-" ? -step : step;
    }
    showstep("$#,##0.00");
}

void frmsheetg::txtplus_Click() {
    betamount = -betamount;
    if (control("txtplus").text() == "+")
        setsign("-", kRed);
    else
        setsign("+", kBlack);
    showstep("$#,##0.00");
}

void frmsheetg::column_Click(const std::string& box, const std::string& total) {
    for (const std::string& b : {box, total, std::string("txttotal"), std::string("txttotaltot")})
        setamount(b, amountof(b) + betamount);
}

void frmsheetg::cmdclrentries_Click() {
    const Money win = amountof("txtwin"), place = amountof("txtplace"), show = amountof("txtshow");
    setamount("txtwintot", amountof("txtwintot") - win);
    setamount("txtplacetot", amountof("txtplacetot") - place);
    setamount("txtshowtot", amountof("txtshowtot") - show);
    setamount("txttotaltot", amountof("txttotaltot") - (win + place + show));
    emptynextbet();
    control("txtbetamt").settext("");
}

void frmsheetg::emptytotals() {
    for (const char* b : {"txtwintot", "txtplacetot", "txtshowtot", "txttotaltot"})
        control(b).settext("");
}

void frmsheetg::emptynextbet() {
    for (const char* b : {"txtwin", "txtplace", "txtshow", "txttotal"}) control(b).settext("");
}

void frmsheetg::cmdmainmenu_Click() {
    unload();
    app_.form("frmmenu").show();
}

}  // namespace vt
