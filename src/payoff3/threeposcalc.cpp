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

double sum(const std::array<double, 11>& a) {
    double s = 0;
    for (int i = 1; i <= 10; ++i) s += a[i];
    return s;
}

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

void ThreePosCalc::addbet(long b, long e, long t, double a) {
    auto put = [&](int col, std::array<double, 11>& slots, int k) {
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
    const double tww = total[colww], twp = total[colwp], tws = total[colws];
    const double tpp = total[colpp], tps = total[colps], tss = total[colss];
    double wwc = 0, ww2c = 0, wpc = 0, ppc = 0, wsc = 0, psc = 0, ssc = 0;

    // The WIN pool goes to the first category, in this order, that holds bets.
    if (tww == 0) {
        double* to = twp > 0 ? &wpc : tws > 0 ? &wsc : tpp > 0 ? &ppc : tps > 0 ? &psc : tss > 0 ? &ssc : nullptr;
        if (to) {
            *to += winpool;
            winpool = 0;
        }
    }
    // The PLACE pool: half to each of its categories, or elsewhere when neither holds bets.
    if (twp == 0 && tpp > 0) ppc += placepool / 2, wpc = 0;
    if (tpp == 0 && twp > 0) wpc += placepool / 2, ppc = 0;
    if (twp == 0 && tpp == 0) {
        if (tws > 0 && tps > 0) {
            wsc += placepool * tws / (tws + tps);
            psc += placepool * tps / (tws + tps);
        } else if (tws == 0 && tps > 0) {
            psc += placepool;
        } else if (tws > 0 && tps == 0) {
            wsc += placepool;
        } else if (tss > 0) {
            ssc += placepool;
        } else if (tww > 0) {
            wwc += placepool;
        }
        if (tws > 0 || tps > 0 || tss > 0 || tww > 0) placepool = 0;
    }
    // The SHOW pool: a third to each of its categories; a third without bets is shared by the
    // others in proportion to their money, or the whole pool goes on when none holds bets.
    const double third = showpool / 3;
    if (tws == 0 && tps > 0 && tss > 0) psc += third * tps / (tps + tss), ssc += third * tss / (tps + tss);
    if (tps == 0 && tws > 0 && tss > 0) wsc += third * tws / (tws + tss), ssc += third * tss / (tws + tss);
    if (tss == 0 && tws > 0 && tps > 0) wsc += third * tws / (tws + tps), psc += third * tps / (tws + tps);
    if (tws == 0 && tps == 0 && tss > 0) ssc += 2 * third;
    if (tws == 0 && tps > 0 && tss == 0) psc += 2 * third;
    if (tws > 0 && tps == 0 && tss == 0) wsc += 2 * third;
    if (tws == 0 && tps == 0 && tss == 0) {
        double* to = tpp > 0 ? &ppc : twp > 0 ? &wpc : tww > 0 ? &wwc : nullptr;
        if (to) {
            *to += showpool;
            showpool = 0;
        }
    }
    nowinningbets = tww == 0 && twp == 0 && tws == 0 && tpp == 0 && tps == 0 && tss == 0;

    std::array<double, 9> g{};
    const double half = placepool / 2, sthird = showpool / 3;
    if (W == 1 && P == 1 && S == 1) {
        g[colww] = share(winpool + wwc, ww[1]);
        g[colwp] = share(half + wpc, wp[1]);
        g[colpp] = share(half + ppc, pp[1]);
        g[colws] = share(sthird + wsc, ws[1]);
        g[colps] = share(sthird + psc, ps[1]);
        g[colss] = share(sthird + ssc, ss[1]);
    } else if (W == 2 && S > 0) {
        // Half the WIN pool to each winner's backers, all of it to the one winner backed.
        if (ww[1] == 0) ww2c += winpool / 2 + wwc, wwc = 0;
        if (ww[2] == 0) wwc += winpool / 2;
        g[colww] = share(winpool / 2 + wwc, ww[1]);
        g[colww2] = share(winpool / 2 + ww2c, ww[2]);
        g[colwp] = share(half + wpc, wp[1] + wp[2]);
        g[colpp] = share(half + ppc, pp[1] + pp[2]);
        g[colws] = share(sthird + wsc, ws[1] + ws[2]);
        g[colps] = share(sthird + psc, ps[1] + ps[2]);
        g[colss] = share(sthird + ssc, sum(ss));
    } else if (W > 2) {
        g[colww] = share(winpool + wwc, sum(ww));
        g[colwp] = g[colpp] = share(placepool + wpc + ppc, sum(wp) + sum(pp));
        g[colws] = g[colps] = g[colss] = share(showpool + wsc + psc + ssc, sum(ws) + sum(ps) + sum(ss));
    } else if (W == 1 && P > 1) {
        g[colww] = share(winpool + wwc, ww[1]);
        g[colwp] = share(half + wpc, wp[1]);
        g[colws] = share(sthird + wsc, ws[1]);
        g[colpp] = share(half + ppc, sum(pp));
        g[colps] = g[colss] = share(2 * sthird + psc + ssc, sum(ps) + sum(ss));
    } else if (W == 1 && P == 1 && S > 1) {
        g[colww] = share(winpool + wwc, ww[1]);
        g[colwp] = share(half + wpc, wp[1]);
        g[colpp] = share(half + ppc, pp[1]);
        g[colws] = share(sthird + wsc, ws[1]);
        g[colps] = share(sthird + psc, ps[1]);
        g[colss] = share(sthird + ssc, sum(ss));
    }
    for (int c = colww; c <= colww2; ++c) pay[c] = g[c] * (1 - pct / 100);
}

double& payofcol(Shared& sh, int col) {
    switch (col) {
    case colww: return sh.paywinwin;
    case colwp: return sh.paywinplace;
    case colws: return sh.paywinshow;
    case colpp: return sh.payplaceplace;
    case colps: return sh.payplaceshow;
    case colss: return sh.payshowshow;
    default: return sh.paywinwin2;
    }
}

Money paidincol(double bet, double payoff) { return Money::fromdouble(bet * payoff); }

Money bettorpayout(Shared& sh, const std::array<double, 9>& row) {
    Money total;
    for (int c = colww; c <= colww2; ++c) total += paidincol(row[c], payofcol(sh, c));
    return total;
}

}  // namespace vt
