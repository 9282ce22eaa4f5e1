#include "records/payoffsums.h"

#include "platform/text.h"
#include "records/host.h"
#include "records/records.h"

namespace vt {

Money roundedpayoff(Host& app, Money amount) {
    Shared& sh = app.shared();
    sh.payamt = amount;
    sh.roundval = amount;
    roundpayoff(app);
    return sh.payamt;
}

Money tocents(Money m) {
    int64_t u = m.units();
    int64_t half = Money::scale / 200;  // half a cent
    int64_t cents = (u >= 0 ? u + half : u - half) / (Money::scale / 100);
    return Money::units(cents * (Money::scale / 100));
}

void clearbettorbets(Shared& sh) {
    for (auto& row : sh.bettorbets) row.fill(Money());
}

void gatherbettorbets(Shared& sh, long b) {
    clearbettorbets(sh);
    for (const Bet& bet : sh.bets.rows) {
        if (bet.bettor != b || bet.entry == 0) continue;
        for (const auto& w : sh.winbets)
            if (w.entry == bet.entry && w.type == bet.type && w.slot >= 1 && w.slot <= 10 &&
                bet.type >= 1 && bet.type <= 3)
                sh.bettorbets[w.slot][bet.type] += bet.amount;
    }
}

Money paidamount(const Shared& sh, int s, int t) {
    return sh.bettorbets[s][t].times(sh.payoffs[s][t]);
}

Money poolpaid(const Shared& sh, int t) {
    Money sum;
    for (int s = 1; s <= 10; ++s) sum += paidamount(sh, s, t);
    return sum;
}

Money totalpaid(const Shared& sh) { return poolpaid(sh, 1) + poolpaid(sh, 2) + poolpaid(sh, 3); }

void showpayment(Form& form, Shared& sh, Money total, Money rounded, const std::string& name) {
    const int choice = sh.roundingchoice;
    form.control("txtfactor").settext(choice >= 1 && choice <= 5 ? sh.roundlabels[choice] : "");
    form.control("txttotalr").settext(moneytext(rounded));
    sh.roundedpaid += rounded;
    form.control("txtrounded").settext(moneytext(sh.roundedpaid));
    sh.paidtotal += total;
    form.control("txtpaid").settext(moneytext(sh.paidtotal));
    form.control("txtwinnername").settext(name);
    for (auto* n :
         {"lblpaywinner", "lbltotal", "txtwintotal", "txtplacetotal", "txtshowtotal",
          "txttotaltotal", "txtwinnername", "txttotalr", "lblround", "lblrfactor", "txtfactor"})
        form.control(n).setvisible(true);
}

}  // namespace vt
