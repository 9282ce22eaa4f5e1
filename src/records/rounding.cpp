// Payoff rounding to the step chosen at setup, on the exact amount.
#include "records/context.h"
#include "records/records.h"
#include "records/recordsutil.h"

namespace vt {

namespace {

// Floor division (the whole part of a negative amount lies below it).
int64_t floordiv(int64_t x, int64_t d) {
    int64_t q = x / d;
    return (x % d != 0 && x < 0) ? q - 1 : q;
}

}  // namespace

Money roundpayoff(Money amount, int choice) {
    const int64_t s = Money::scale;
    int64_t u = amount.units();
    int64_t whole = floordiv(u, s) * s;
    int64_t frac = u - whole;
    switch (choice) {
        case 2:
            return Money::units(floordiv(u + s / 20, s / 10) * (s / 10));
        case 3: {
            // Thresholds 0.13, 0.38, 0.63, 0.88: each comparison is "less than".
            int64_t step = frac < 1300   ? 0
                           : frac < 3800 ? 2500
                           : frac < 6300 ? 5000
                           : frac < 8800 ? 7500
                                         : s;
            return Money::units(whole + step);
        }
        case 4: {
            int64_t step = frac < 2500 ? 0 : frac < 7500 ? 5000 : s;
            return Money::units(whole + step);
        }
        case 5:
            return Money::units(floordiv(u + s / 2, s) * s);
        default:
            return amount;
    }
}

void roundpayoff(Context& cx) {
    Shared& sh = cx.shared();
    if (sh.roundingchoice < 2 || sh.roundingchoice > 5) return;  // "0.01" or unknown: unchanged
    Money r = roundpayoff(sh.roundval, sh.roundingchoice);
    sh.roundval = r;
    sh.payamt = r;
}

}  // namespace vt
