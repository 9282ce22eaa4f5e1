// The three printed reports of the summary screen.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/text.h"
#include "records/records.h"
#include "reports/frmsummary.h"
#include "reports/printcopies.h"

namespace vt {

namespace {

// The bettors with a name, in ascending name order by character codes; equal names keep the
// order of `bettors`. Free rows, rows numbered 0 and deleted rows are left out.
std::vector<Bettor> bettororder(const Shared& sh) {
    std::vector<Bettor> out;
    for (size_t i = 1; i <= sh.bettors.size(); ++i) {
        const Bettor& b = sh.bettors(i);
        if (b.number == 0 || b.name.empty() || b.name == "zzz") continue;
        out.push_back(b);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Bettor& a, const Bettor& b) { return a.name < b.name; });
    return out;
}

std::string bettypetext(long type) {
    switch (type) {
        case 1:
            return "WIN";
        case 2:
            return "PLACE";
        case 3:
            return "SHOW";
        default:
            return "TYPE" + Str(type);
    }
}

// The bet lines' entry texts: flight label and the first 20 characters of the name, by entry
// number (the first row of a number counts).
class EntryTexts {
  public:
    explicit EntryTexts(const Shared& sh) : sh_(sh) {
        for (size_t i = 1; i <= sh.entries.size(); ++i) rows_.emplace(sh.entries(i).number, i);
    }
    std::string operator()(long number) const {
        auto it = rows_.find(number);
        // A bet on an entry that is no longer in the players file still shows up with its
        // amount.
        if (it == rows_.end()) return " Bad Player Number";
        const Entry& e = sh_.entries(it->second);
        std::string label = isflight(e.flight) ? sh_.flightnames[e.flight] : "";
        return label + Left(e.name, 20);
    }

  private:
    const Shared& sh_;
    std::unordered_map<long, size_t> rows_;
};

// The rows of the loaded bets of each bettor, in file order.
std::unordered_map<long, std::vector<size_t>> betsbybettor(const Shared& sh) {
    std::unordered_map<long, std::vector<size_t>> out;
    for (size_t k = 1; k <= sh.bets.size(); ++k)
        if (sh.bets(k).bettor != 0) out[sh.bets(k).bettor].push_back(k);
    return out;
}

// The money of each bettor's bets in the loaded round and flight, added in file order.
std::unordered_map<long, Money> bettortotals(const Shared& sh) {
    std::unordered_map<long, Money> out;
    for (size_t k = 1; k <= sh.bets.size(); ++k)
        if (sh.bets(k).bettor != 0) out[sh.bets(k).bettor] += sh.bets(k).amount;
    return out;
}

}  // namespace

void frmsummary::cmdprint_Click() {
    if (sh().printswitch == "no") return;
    long copies = askcopies(app_, "Print Event Summary");
    printcopies(app_, copies, "Event Summary", [this](Printer& p) { printsummary(p); });
    if (copies > 0) {
        // Back to the print size chosen on the setup screen.
        int idx = sh().fontsizeidx;
        if (idx >= 1 && idx < static_cast<int>(sh().printfontsizes.size()) &&
            sh().printfontsizes[idx] > 0)
            app_.printer().fontsize = sh().printfontsizes[idx];
    }
}

void frmsummary::printsummary(Printer& p) {
    Shared& s = sh();
    // The printed order is left in the display table, so paging afterwards follows it.
    std::vector<SummaryRow> rows =
        ordersummaryrows(collectsummaryrows(s, false), SummaryOrder::NameCodes);
    writedisptab(s, rows);

    p.fontname = "MS Sans Serif";
    p.fontsize = 10;
    p.print({"Round=" + s.curround + " " + "Flight=" + s.curflight + " Bets by Player/Team"});
    p.print({" "});
    p.print({"Player/Team", Tab(35), "$WIN", Tab(45), "$PLACE", Tab(55), "$SHOW", Tab(65), "$TOTAL",
             Tab(75), "ODDS"});
    p.print({" "});
    for (const SummaryRow& r : rows) {
        // The name fills the room before the WIN column, drawn narrower when wider, so its row
        // stays one line.
        p.print({InField(Format(Mid(r.key, 11, 34), "!@@@@@@@@@@@@@@@@@@@"), 34), Tab(35),
                 Format(r.win, "#,###"), Tab(45), Format(r.place, "#,###"), Tab(55),
                 Format(r.show, "#,###"), Tab(65), Format(r.total, "#,###"), Tab(75),
                 Format(r.odds, "!@@@@@")});
        p.print({std::string(89, '_')});
    }
    p.print({" "});
    const SummRow& t = s.summ(s.maxplayers + 1);
    p.print({" TOTALS", Tab(35), Format(t.win, "$##,##0"), Tab(45), Format(t.place, "$##,##0"),
             Tab(55), Format(t.show, "$##,##0"), Tab(65), Format(t.total, "$##,##0")});
}

void frmsummary::cmdbettorall_Click() {
    if (sh().printswitch == "no") return;
    long copies = askcopies(app_, "Print Bets");
    printcopies(app_, copies, "Bets by Bettor", [this](Printer& p) { printallbets(p); });
}

void frmsummary::printallbets(Printer& p) {
    Shared& s = sh();
    p.fontname = "MS Sans Serif";
    p.fontsize = 8;
    p.print({control("txtbanner").text() + " Flight " + s.curflight + " Bets by Bettor"});
    p.print({" "});
    readbettors(app_);
    const EntryTexts entrytext(s);
    const auto rows = betsbybettor(s);
    const std::vector<size_t> none;
    Money grand;
    for (const Bettor& b : bettororder(s)) {
        Money total;
        auto mine = rows.find(b.number);
        const std::vector<size_t>& his = mine == rows.end() ? none : mine->second;
        // A page does not end between a bettor's headings and his first bet, nor between his last
        // bet and his TOTAL.
        p.print({"Bet summary for  " + b.name});
        if (!his.empty()) p.keepwithnext();
        bool first = true;
        for (size_t k : his) {
            const Bet& bet = s.bets(k);
            total += bet.amount;
            grand += bet.amount;
            if (first) {
                p.print({"Ticket/Bettor " + b.name});
                p.keepwithnext();
            }
            first = false;
            p.print({InField(Format(entrytext(bet.entry), "!@@@@@@@@@@@@@@@@@@@@@"), 21),
                     "  " + Format(bet.amount, "$#,##0.00") + " TO " + bettypetext(bet.type)});
        }
        if (total != Money{}) {
            p.keepwithnext();
            p.print({"TOTAL  " + Format(total, "Currency")});
            p.print({" "});
        }
    }
    p.print({" "});
    p.print({"TOTAL BETS " + Format(grand, "Currency")});
}

void frmsummary::cmdbettorsumm_Click() {
    if (sh().printswitch == "no") return;
    long copies = askcopies(app_, "Print Bet Summary");
    printcopies(app_, copies, "Bettor Summary", [this](Printer& p) { printbetsummary(p); });
}

void frmsummary::printbetsummary(Printer& p) {
    Shared& s = sh();
    p.fontname = "MS Sans Serif";
    p.fontsize = 8;
    p.print({control("txtbanner").text() + " " + " Flight " + s.curflight + "  Bettor Summary"});
    p.print({" "});
    p.print({"Bettor Name           Amount"});
    p.print({" "});
    const auto totals = bettortotals(s);
    Money grand;
    for (const Bettor& b : bettororder(s)) {
        auto mine = totals.find(b.number);
        Money total = mine == totals.end() ? Money{} : mine->second;
        grand += total;
        if (total != Money{})
            p.print({InField(Format(Left(b.name, 20), "!@@@@@@@@@@@@@@@@@@@@"), 20),
                     "  " + Format(total, "Currency")});
    }
    p.print({" "});
    p.print({"TOTAL BETS " + Format(grand, "Currency")});
}

}  // namespace vt
