// Odds texts: the net pool against the money on an entry, as two small whole numbers "b/a".
#include <algorithm>
#include <cmath>

#include "platform/text.h"
#include "records/context.h"
#include "records/records.h"
#include "records/recordsutil.h"
#include "records/typedinput.h"

namespace vt {

namespace {

// Whole dollars, halves to the even one.
int64_t wholedollars(Money m) { return divhalfeven(m.units(), Money::scale); }

// The odds text of money a on an entry against pool b (before the house share is taken).
// Wider integers than the old 16-bit values, so a large event never overflows.
std::string oddstext(Money money, Money pool, double housefactor) {
    int64_t a = wholedollars(money);
    if (a < 0) return "";  // only an edited file gives negative money
    int64_t b = wholedollars(pool);
    b = static_cast<int64_t>(std::nearbyint(housefactor * static_cast<double>(b)));
    for (int pass = 0; pass < 10; ++pass) {
        while (a >= 256) {
            a = std::max<int64_t>(divhalfeven(a, 4), 0);
            b = std::max<int64_t>(divhalfeven(b, 4), 0);
        }
        if (a == 1) break;
        if (a >= 2 && a <= 9) {
            b = divhalfeven(b, a);
            a = 1;
            break;
        }
        a = divhalfeven(a, 2);
        b = divhalfeven(b, 2);
    }
    if (b > 99) b = 99;
    if (b == 0) b = 1;
    if (a == 0) return "";
    return Str(static_cast<long long>(b)) + "/" + Str(static_cast<long long>(a));
}

double housefactor(const Shared& sh) {
    Money pct;
    return typedhousepct(sh.housepct, pct) ? 1.0 - pct.todouble() / 100.0 : 1.0;
}

// True when flight f's pools were summed from part of its Bets file only.
bool overfull(const Shared& sh, long f) { return isflight(f) && sh.overfull[f]; }

}  // namespace

void calcodds(Context& cx) {
    Shared& sh = cx.shared();
    double h = housefactor(sh);
    Money pool = sh.summ(sh.maxplayers + 1).win;
    const bool partial = overfull(sh, sh.curflightnbr);
    for (size_t i = 1; i <= sh.entries.size(); ++i) {
        const Entry& e = sh.entries(i);
        if (e.name.empty()) break;  // the end of the table
        if (e.number < 1 || e.number > sh.maxplayers) continue;
        SummRow& row = sh.summ(e.number);
        row.oddswin = partial ? "" : oddstext(row.win, pool, h);
    }
}

void calcoddsall(Context& cx, long flight) {
    Shared& sh = cx.shared();
    double h = housefactor(sh);
    for (int t = 1; t <= 3; ++t) {
        for (size_t i = 1; i <= sh.entries.size(); ++i) {
            const Entry& e = sh.entries(i);
            if (e.name.empty()) break;
            if (e.number < 1 || e.number > sh.maxplayers) continue;
            if (isflight(flight) && e.flight != flight) continue;
            SummRow& row = sh.summ(e.number);
            Money pool = isflight(e.flight) ? sh.flightpool[e.flight][t] : Money();
            Money money = t == 1 ? row.win : t == 2 ? row.place : row.show;
            std::string& text = t == 1 ? row.oddswin : t == 2 ? row.oddsplace : row.oddsshow;
            text = overfull(sh, e.flight) ? "" : oddstext(money, pool, h);
        }
    }
}

}  // namespace vt
