// CALCULATE PAYOFF: pools, house amount, pool moves, shares, payoffs per dollar and the list of
// winning bettors.
#include <vector>

#include "payoff/frmpay.h"
#include "platform/text.h"
#include "records/payoffprep.h"
#include "records/payoffsums.h"
#include "records/records.h"
#include "records/summarylists.h"
#include "records/typedinput.h"

namespace vt {

namespace {

// The bet types whose money a refunded SHOW pool holds: "show", "place and show", ...
std::string refunded(const bool inshow[4]) {
    const char* names[4] = {"", "win", "place", "show"};
    std::vector<std::string> held;
    for (int t = 1; t <= 3; ++t)
        if (inshow[t]) held.push_back(names[t]);
    if (held.empty()) held.push_back("show");
    std::string text = held[0];
    for (size_t i = 1; i < held.size(); ++i)
        text += (i + 1 < held.size() ? ", " : held.size() > 2 ? ", and " : " and ") + held[i];
    return text;
}

// The finisher position of a slot's box: 1, 2 or 3 for exactly that text, else 0.
int positionof(const std::string& text) {
    if (text == "1") return 1;
    if (text == "2") return 2;
    if (text == "3") return 3;
    return 0;
}

}  // namespace

long frmpay::slotentry(int s) {
    Control& box = control("cmbpt", s - 1);
    const std::string text = box.text();
    if (text.empty()) return 0;
    long chosen = sh().winnerrow[s];
    if (chosen != 0) {
        int idx = box.findbydata(chosen);
        if (idx >= 0 && box.list(idx) == text) return chosen;
    }
    for (int i = 0; i < box.listcount(); ++i)
        if (box.list(i) == text) return box.itemdata(i);
    return 0;
}

bool frmpay::finishersok(int n) {
    Shared& s = sh();
    // Positions must run down the slots from slot 1 in the order 1, 2, 3: the pools' paying
    // slots are taken from the counts, so any other order would pay the wrong finisher.
    int last = 0;
    for (int slot = 1; slot <= n; ++slot) {
        int p = positionof(control("cmbpos", slot - 1).text());
        if (p == 0 || p < last) {
            app_.msgbox(
                "Must enter winners in consecutive boxes starting with 1st (including ties) "
                "followed by 2nd "
                "and then 3rd");
            return false;
        }
        last = p;
    }
    for (int slot = 1; slot <= n; ++slot) {
        long e = slotentry(slot);
        bool inflight = false;
        for (long r = 1; e != 0 && r <= static_cast<long>(s.entries.size()); ++r) {
            const Entry& en = s.entries(r);
            if (en.name.empty()) break;
            if (en.number == e && isflight(en.flight) &&
                equalsnocase(s.flightnames[en.flight], s.curflight))
                inflight = true;
        }
        if (!inflight || e < 1 || e > s.maxplayers) {
            app_.msgbox(
                "Winner not found in player/team list - check fix files for player/team file "
                "corruption");
            return false;
        }
        for (int earlier = 1; earlier < slot; ++earlier)
            if (s.winnerrow[earlier] == e) {
                app_.msgbox("Duplicate entry");
                return false;
            }
        s.winnerrow[slot] = e;
    }
    return true;
}

bool frmpay::computepayoffs(double pct) {
    Shared& s = sh();
    const int nw = s.nwin, np = s.nplace, n = s.nwin + s.nplace + s.nshow;
    // Money bet on each finisher in the pools its position pays.
    for (int slot = 1; slot <= n; ++slot) {
        const SummRow& r = s.summ(s.winnerrow[slot]);
        int p = positionof(control("cmbpos", slot - 1).text());
        if (p == 1) s.winnerbets[slot][1] = r.win;
        if (p <= 2) s.winnerbets[slot][2] = r.place;
        s.winnerbets[slot][3] = r.show;
    }
    const SummRow& totals = s.summ(s.maxplayers + 1);
    s.winpool = totals.win;
    s.placepool = totals.place;
    s.showpool = totals.show;

    // Paying slots holding bets: WIN pays slots 1..nwin, PLACE 1..nwin+nplace, SHOW 1..n.
    const int lastslot[4] = {0, nw, nw + np, n};
    int k[4] = {0, 0, 0, 0};
    Money net[4];
    const Money pool[4] = {Money(), s.winpool, s.placepool, s.showpool};
    for (int t = 1; t <= 3; ++t) {
        for (int slot = 1; slot <= lastslot[t]; ++slot)
            if (s.winnerbets[slot][t] != Money()) ++k[t];
        Money bet;
        for (int slot = 1; slot <= 10; ++slot) bet += s.winnerbets[slot][t];
        net[t] = pool[t] - bet;
    }

    // Pools that no finisher's backers can win move on: WIN to PLACE, PLACE to SHOW. A refunded
    // SHOW pool goes back whole, with the WIN and PLACE money moved into it.
    bool inshow[4] = {false, totals.win != Money(), totals.place != Money(),
                      totals.show != Money()};
    if (k[1] == 0) {
        s.placepool += s.winpool;
        s.winpool = Money();
        net[2] += net[1];
        net[1] = Money();
        app_.msgbox("No winning win bets. Allocating all win bets to place bets");
    }
    if (k[2] == 0) {
        if (k[1] != 0) inshow[1] = false;
        s.showpool += s.placepool;
        s.placepool = Money();
        net[3] += net[2];
        net[2] = Money();
        app_.msgbox("No winning place bets. Allocating all place bets to show bets");
    }
    if (k[3] == 0) {
        if (k[2] != 0) inshow[1] = inshow[2] = false;
        if (s.showpool != Money())
            app_.msgbox("No winning show bets. Refund all " + refunded(inshow) + " bets.");
        s.showpool = Money();
    }
    if (s.winpool == Money() && s.placepool == Money() && s.showpool == Money()) {
        control("txthousetot").settext(moneytext(Money()));
        app_.msgbox("No winning win, place, or show bets. Refund all bets.");
        return false;
    }
    // The house keeps its share of the pools that pay, never of money refunded.
    const Money house = (s.winpool + s.placepool + s.showpool).times(pct / 100);
    control("txthousetot").settext(moneytext(house));

    // Each paying finisher with bets takes an equal share of the net pool; its backers get their
    // stake back plus that share, less the house withholding.
    const double keep = 1 - pct / 100;
    for (int t = 1; t <= 3; ++t) {
        double share = k[t] ? net[t].todouble() / k[t] : 0;
        for (int slot = 1; slot <= lastslot[t]; ++slot) {
            double wb = s.winnerbets[slot][t].todouble();
            if (wb != 0) s.payoffs[slot][t] = (share + wb) / wb * keep;
        }
    }

    const double mult = mult_.todouble();
    for (int slot = 1; slot <= 10; ++slot) {
        for (int t = 1; t <= 3; ++t)
            control("txtpay", slot - 1 + 10 * (t - 1))
                .settext(moneytext(s.payoffs[slot][t] * mult));
        const std::string pos = control("cmbpos", slot - 1).text();
        if (pos == "2") control("txtpay", slot - 1).setvisible(false);
        if (pos == "3") {
            control("txtpay", slot - 1).setvisible(false);
            control("txtpay", slot + 9).setvisible(false);
        }
        if (pos.empty())
            for (Control* b : {&control("txtpay", slot - 1), &control("txtpay", slot + 9),
                               &control("txtpay", slot + 19), &control("cmbpos", slot - 1),
                               &control("cmbpt", slot - 1)})
                b->setvisible(false);
    }

    // The paying combinations of entry and bet type.
    for (int slot = 1; slot <= 10; ++slot) {
        int p = positionof(control("cmbpos", slot - 1).text());
        if (p == 0) continue;
        for (int t = p; t <= 3; ++t) s.winbets.push_back({s.winnerrow[slot], t, slot});
    }

    // Totals: PAID starts at the house amount as shown.
    control("cmdpay").setvisible(true);
    control("txtbet").settext(moneytext(totals.total));
    control("txtpaid").settext(moneytext(house));
    s.paidtotal += tocents(house);
    control("txtrounded").settext(moneytext(roundedpayoff(app_, s.paidtotal)));
    return true;
}

void frmpay::listwinners() {
    Shared& s = sh();
    for (const Bet& bet : s.bets.rows) {
        if (bet.entry == 0) continue;
        for (const auto& w : s.winbets)
            if (w.entry == bet.entry && w.type == bet.type) s.winbettors[bet.bettor];
    }
    Control& bn = control("cmbbn");
    for (auto* choice :
         {"Detail - All Winners", "Sortable Summary - All Winners", "Cancel Print"}) {
        bn.additem(choice);
        bn.setitemdata(bn.newindex(), 0);
    }
    Control& lst = control("lstwinners");
    const BettorLookup bettors(s);
    for (auto& [b, name] : s.winbettors) {
        // A bettor missing from the Bettors file is still paid.
        const Bettor* who = bettors.find(b);
        name = who ? who->name : "#" + std::to_string(b);
        lst.additem(name);
        lst.setitemdata(lst.newindex(), b);
        bn.additem(name);
        bn.setitemdata(bn.newindex(), b);
    }
}

void frmpay::cmdcalc_Click() {
    Shared& s = sh();
    Money pct, mult;
    if (!typedhousepct(control("txthousepct").text(), pct)) {
        app_.msgbox("HOUSE % must be a number from 0 to below 100");
        return;
    }
    if (!takemultiplier(app_, *this, false, "", mult)) return;
    mult_ = mult;
    clearpayofftables();
    for (int i = 0; i < 30; ++i) control("txtpay", i).settext("");
    control("cmdpay").setvisible(false);

    if (!readpools(app_)) return;
    // The summary screen (loaded unseen when needed) shows the same flight's totals.
    fillsummarylists(app_);

    s.nwin = s.nplace = s.nshow = 0;
    for (int i = 0; i < 10; ++i) {
        int p = positionof(control("cmbpos", i).text());
        if (p == 1) ++s.nwin;
        if (p == 2) ++s.nplace;
        if (p == 3) ++s.nshow;
    }
    int n = s.nwin + s.nplace + s.nshow;
    if (n < 3) {
        app_.msgbox(
            "Less than 3 winners selected. If less than 3 winners then select additional player "
            "teams "
            "without any bets to equal 3 winners");
        return;
    }
    if (!finishersok(n) || !computepayoffs(pct.todouble())) return;
    listwinners();
    control("cmdcalc").setvisible(false);
    control("cmdpay").setvisible(true);
    control("cmdprtsumm").setvisible(true);
    s.roundedpaid = Money();
    calculated_ = true;
}

}  // namespace vt
