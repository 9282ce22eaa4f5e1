#include "payoff/frmprint.h"

#include "payoff/frmpay.h"
#include "platform/printer.h"
#include "platform/text.h"
#include "records/payoffsums.h"

namespace vt {

namespace {

std::string amounttext(Money m) { return Format(m, "###0.00"); }

}  // namespace

frmprint::frmprint(Host& app) : Form(app, "frmprint"), app_(app) {
    caption = "frmprint";
    left = 300;
    top = 60;
    width = 400;
    height = 620;
    add(Kind::Grid, "wingrd", "", 12, 12, 370, 500);
    auto button = [this](const char* name, const char* cap, const char* tip, int x) -> Control& {
        Control& b = add(Kind::CommandButton, name, cap, x, 528, 116, 36);
        b.tooltip = tip;
        return b;
    };
    button("cmdsorta", "Sort by Alpha", "Sort winner names in ascending alpha", 12).Click = [this] {
        cmdsorta_Click();
    };
    button("cmdsortd", "Sort by $", "Sort from high to low $ won", 139).Click = [this] {
        cmdsortd_Click();
    };
    button("cmdprint", "Print", "Print the list as displayed", 266).Click = [this] {
        cmdprint_Click();
    };
}

void frmprint::addrow(const std::string& number, const std::string& name, Money amount,
                      Money rounded) {
    Control& g = grid();
    int r = g.rows();
    g.setrows(r + 1);
    g.settextmatrix(r, 1, number);
    g.settextmatrix(r, 2, name);
    g.settextmatrix(r, 3, amounttext(amount));
    g.settextmatrix(r, 4, amounttext(rounded));
    g.grid.row = g.grid.rowsel = r;
}

void frmprint::Form_Load() {
    Shared& s = app_.shared();
    Control& g = grid();
    roundedtotal = Money();
    Money total;
    g.setcols(5);
    g.setrows(1);
    const int widths[] = {1, 400, 2150, 1100, 1100};
    const char* titles[] = {"", "Btr #", "Bettor Name", "Amount", "Amt Rounded"};
    for (int col = 0; col < 5; ++col) {
        g.setcolwidth(col, widths[col]);
        g.settextmatrix(0, col, titles[col]);
    }
    const Money house = shownamount(app_.form("frmpay").control("txthousetot").text());
    const Money houserounded = roundedpayoff(app_, house);
    addrow("", "HOUSE", house, houserounded);
    total += house;
    roundedtotal += houserounded;
    for (const auto& [b, name] : s.winbettors) {
        gatherbettorbets(s, b);
        s.curbettor = name;
        const Money paid = totalpaid(s);
        const Money rounded = roundedpayoff(app_, paid);
        addrow(std::to_string(b), name, paid, rounded);
        roundedtotal += rounded;
        total += paid;
        clearbettorbets(s);
    }
    addrow("", "ZZ-TOTAL", total, roundedtotal);
}

void frmprint::Form_Unload() {
    if (!app_.ended() && app_.isloaded("frmpay")) app_.form("frmpay").show();
}

void frmprint::sortby(int firstcol, int lastcol, int setting) {
    Control& g = grid();
    g.grid.col = firstcol;
    g.grid.colsel = lastcol;
    g.grid.row = 1;
    g.grid.rowsel = g.rows() - 1;
    g.setsort(setting);
}

void frmprint::cmdsorta_Click() { sortby(2, 3, flexSortGenericAscending); }

void frmprint::cmdsortd_Click() { sortby(3, 3, flexSortNumericAscending); }

void frmprint::cmdprint_Click() {
    Shared& s = app_.shared();
    if (s.printswitch == "no") return;
    Form& pay = app_.form("frmpay");
    Printer& p = app_.printer();
    DocGuard guard(p, "Winners List");
    p.fontsize = 8;
    p.fontname = "MS Sans Serif";
    p.print({"Payoff for Round " + s.curround + "   Flight " + s.curflight});
    p.print({" "});
    p.print({"Pos", Tab(8), "Player / Team", Tab(30), "WIN", Tab(40), "PLACE", Tab(50), "SHOW"});
    p.print({" "});
    const double mult = app_.formas<frmpay>("frmpay").multiplier().todouble();
    for (int slot = 1; slot <= 10; ++slot) {
        const std::string entry = pay.control("cmbpt", slot - 1).text();
        if (entry.empty()) break;
        // The flight label is a field of 10 places; the name follows at its column.
        p.print({pay.control("cmbpos", slot - 1).text(), Tab(5), InField(Left(entry, 10), 10),
                 Mid(entry, 11), Tab(30), moneytext(s.payoffs[slot][1] * mult), Tab(40),
                 moneytext(s.payoffs[slot][2] * mult), Tab(50),
                 moneytext(s.payoffs[slot][3] * mult)});
    }
    p.print({" "});
    p.print({"BETTOR NAME", Tab(50), "AMOUNT", Tab(65), "AMT ROUNDED"});
    // The rows are printed in the order shown, HOUSE where it stands; the totals row comes last
    // even when a name sorts after it, so no bettor is left off the paper.
    Control& g = grid();
    std::vector<int> order;
    int totalrow = -1;
    for (int r = 1; r < g.rows(); ++r) {
        if (g.textmatrix(r, 1).empty() && g.textmatrix(r, 2) == "ZZ-TOTAL")
            totalrow = r;
        else
            order.push_back(r);
    }
    if (totalrow > 0) order.push_back(totalrow);
    for (int r : order) {
        p.print({" "});
        p.print({g.textmatrix(r, 2), Tab(50), g.textmatrix(r, 3), Tab(65), g.textmatrix(r, 4),
                 Tab(85), "____________"});
    }
}

}  // namespace vt
