#include "payoff3/threeposcalc.h"

#include "platform/text.h"
#include "records/shared.h"

namespace vt {

namespace {

int count(const std::array<long, 11>& a) {
    int n = 0;
    for (int i = 1; i <= 10; ++i)
        if (a[i] > 0) ++n;
    return n;
}

// The money of slots 1..10, as a double for the shares.
double sum(const std::array<Money, 11>& a) {
    Money s;
    for (int i = 1; i <= 10; ++i) s += a[i];
    return s.todouble();
}

double d(Money m) { return m.todouble(); }

// x / y, or 0 when nothing was bet.
double share(double x, double y) { return y > 0 ? x / y : 0; }

}  // namespace

void ThreePosCalc::setfinishers(const std::array<long, 11>& w, const std::array<long, 11>& p,
                                const std::array<long, 11>& s) {
    win = w;
    place = p;
    show = s;
    W = count(win);
    P = count(place);
    S = count(show);
    // Tied winners are also the place finishers; tied place finishers are also show finishers.
    if (W == 2 && S > 0) {
        place[1] = win[1];
        place[2] = win[2];
    }
    if (W == 1 && P > 1) show = place;
    if (W > 2) {
        place = win;
        show = win;
    }
}

void ThreePosCalc::addbet(long b, long e, long t, Money a) {
    auto put = [&](int col, std::array<Money, 11>& slots, int k) {
        winning[b][col] += a;
        slots[k] += a;
        total[col == colww2 ? colww : col] += a;
    };
    for (int k = 1; k <= 10; ++k) {
        if (t == 1 && W != 2 && e == win[k]) put(colww, ww, 1);
        if (t == 1 && W == 2 && k == 1 && e == win[1]) put(colww, ww, 1);
        if (t == 1 && W == 2 && k == 1 && e == win[2]) put(colww2, ww, 2);
        if (t == 2 && e == win[k]) put(colwp, wp, k);
        if (t == 3 && e == win[k]) put(colws, ws, k);
        if (t == 2 && e == place[k]) put(colpp, pp, k);
        if (t == 3 && e == place[k]) put(colps, ps, k);
        if (t == 3 && e == show[k]) put(colss, ss, k);
    }
}

void ThreePosCalc::computepayoffs(double pct) {
    // The shares are ratios of money: worked out in double, while the pools stay exact.
    const double tww = d(total[colww]), twp = d(total[colwp]), tws = d(total[colws]);
    const double tpp = d(total[colpp]), tps = d(total[colps]), tss = d(total[colss]);
    double wwc = 0, ww2c = 0, wpc = 0, ppc = 0, wsc = 0, psc = 0, ssc = 0;
    double winp = d(winpool), placep = d(placepool), showp = d(showpool);

    // The WIN pool goes to the first category, in this order, that holds bets.
    if (tww == 0) {
        double* to = twp > 0   ? &wpc
                     : tws > 0 ? &wsc
                     : tpp > 0 ? &ppc
                     : tps > 0 ? &psc
                     : tss > 0 ? &ssc
                               : nullptr;
        if (to) {
            *to += winp;
            winp = 0;
        }
    }
    // The PLACE pool: half to each of its categories, or elsewhere when neither holds bets.
    if (twp == 0 && tpp > 0) ppc += placep / 2, wpc = 0;
    if (tpp == 0 && twp > 0) wpc += placep / 2, ppc = 0;
    if (twp == 0 && tpp == 0) {
        if (tws > 0 && tps > 0) {
            wsc += placep * tws / (tws + tps);
            psc += placep * tps / (tws + tps);
        } else if (tws == 0 && tps > 0) {
            psc += placep;
        } else if (tws > 0 && tps == 0) {
            wsc += placep;
        } else if (tss > 0) {
            ssc += placep;
        } else if (tww > 0) {
            wwc += placep;
        }
        if (tws > 0 || tps > 0 || tss > 0 || tww > 0) placep = 0;
    }
    // The SHOW pool: a third to each of its categories; a third without bets is shared by the
    // others in proportion to their money, or the whole pool goes on when none holds bets.
    const double third = showp / 3;
    if (tws == 0 && tps > 0 && tss > 0)
        psc += third * tps / (tps + tss), ssc += third * tss / (tps + tss);
    if (tps == 0 && tws > 0 && tss > 0)
        wsc += third * tws / (tws + tss), ssc += third * tss / (tws + tss);
    if (tss == 0 && tws > 0 && tps > 0)
        wsc += third * tws / (tws + tps), psc += third * tps / (tws + tps);
    if (tws == 0 && tps == 0 && tss > 0) ssc += 2 * third;
    if (tws == 0 && tps > 0 && tss == 0) psc += 2 * third;
    if (tws > 0 && tps == 0 && tss == 0) wsc += 2 * third;
    if (tws == 0 && tps == 0 && tss == 0) {
        double* to = tpp > 0 ? &ppc : twp > 0 ? &wpc : tww > 0 ? &wwc : nullptr;
        if (to) {
            *to += showp;
            showp = 0;
        }
    }
    nowinningbets = tww == 0 && twp == 0 && tws == 0 && tpp == 0 && tps == 0 && tss == 0;

    std::array<double, 9> g{};
    const double half = placep / 2, sthird = showp / 3;
    if (W == 1 && P == 1 && S == 1) {
        g[colww] = share(winp + wwc, d(ww[1]));
        g[colwp] = share(half + wpc, d(wp[1]));
        g[colpp] = share(half + ppc, d(pp[1]));
        g[colws] = share(sthird + wsc, d(ws[1]));
        g[colps] = share(sthird + psc, d(ps[1]));
        g[colss] = share(sthird + ssc, d(ss[1]));
    } else if (W == 2 && S > 0) {
        // Half the WIN pool to each winner's backers, all of it to the one winner backed.
        if (d(ww[1]) == 0) ww2c += winp / 2 + wwc, wwc = 0;
        if (d(ww[2]) == 0) wwc += winp / 2;
        g[colww] = share(winp / 2 + wwc, d(ww[1]));
        g[colww2] = share(winp / 2 + ww2c, d(ww[2]));
        g[colwp] = share(half + wpc, d(wp[1]) + d(wp[2]));
        g[colpp] = share(half + ppc, d(pp[1]) + d(pp[2]));
        g[colws] = share(sthird + wsc, d(ws[1]) + d(ws[2]));
        g[colps] = share(sthird + psc, d(ps[1]) + d(ps[2]));
        g[colss] = share(sthird + ssc, sum(ss));
    } else if (W > 2) {
        g[colww] = share(winp + wwc, sum(ww));
        g[colwp] = g[colpp] = share(placep + wpc + ppc, sum(wp) + sum(pp));
        g[colws] = g[colps] = g[colss] =
            share(showp + wsc + psc + ssc, sum(ws) + sum(ps) + sum(ss));
    } else if (W == 1 && P > 1) {
        g[colww] = share(winp + wwc, d(ww[1]));
        g[colwp] = share(half + wpc, d(wp[1]));
        g[colws] = share(sthird + wsc, d(ws[1]));
        g[colpp] = share(half + ppc, sum(pp));
        g[colps] = g[colss] = share(2 * sthird + psc + ssc, sum(ps) + sum(ss));
    } else if (W == 1 && P == 1 && S > 1) {
        g[colww] = share(winp + wwc, d(ww[1]));
        g[colwp] = share(half + wpc, d(wp[1]));
        g[colpp] = share(half + ppc, d(pp[1]));
        g[colws] = share(sthird + wsc, d(ws[1]));
        g[colps] = share(sthird + psc, d(ps[1]));
        g[colss] = share(sthird + ssc, sum(ss));
    }
    for (int c = colww; c <= colww2; ++c) pay[c] = g[c] * (1 - pct / 100);
    // Only moved to nothing or kept whole: exact both ways.
    winpool = Money::fromdouble(winp);
    placepool = Money::fromdouble(placep);
    showpool = Money::fromdouble(showp);
}

double& payofcol(Shared& sh, int col) {
    switch (col) {
        case colww:
            return sh.paywinwin;
        case colwp:
            return sh.paywinplace;
        case colws:
            return sh.paywinshow;
        case colpp:
            return sh.payplaceplace;
        case colps:
            return sh.payplaceshow;
        case colss:
            return sh.payshowshow;
        default:
            return sh.paywinwin2;
    }
}

Money paidincol(Money bet, double payoff) { return bet.times(payoff); }

bool haswinnings(const WinningRow& row) {
    Money s;
    for (int col = colww; col <= colww2; ++col) s += row[col];
    return s != Money();
}

Money bettorpayout(Shared& sh, const WinningRow& row) {
    Money total;
    for (int c = colww; c <= colww2; ++c) total += paidincol(row[c], payofcol(sh, c));
    return total;
}

}  // namespace vt
