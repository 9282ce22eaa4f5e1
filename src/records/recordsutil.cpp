#include "records/recordsutil.h"

#include <cmath>

#include "records/context.h"
#include "platform/text.h"

namespace vt {

bool emptyfield(const Field& f) { return trim(f.text).empty(); }

long long intfield(const Field& f) {
    if (emptyfield(f)) return 0;
    double d;
    if (!parsenumber(f.text, d)) throwfileerror(13);
    if (std::fabs(d) >= 2e9) throwfileerror(6);
    return std::llround(d);
}

Money moneyfield(const Field& f) {
    if (emptyfield(f)) return Money();
    Money m;
    if (!Money::parse(f.text, m)) throwfileerror(13);
    return m;
}

int64_t divhalfeven(int64_t x, int64_t d) {
    int64_t q = x / d, r = x % d;
    if (r < 0) {  // floor division
        q -= 1;
        r += d;
    }
    if (2 * r > d || (2 * r == d && (q & 1))) ++q;
    return q;
}

void refuserewrite(Context& cx, const std::string& what) {
    Shared& sh = cx.shared();
    sh.fileok = false;
    cx.msgbox("The " + what + " file was not read completely, so it is not rewritten." + "\r\n" +
                   "Check it with Fix Files on the main menu.",
               vbOKOnly | vbExclamation, sh.fileop);
}

}  // namespace vt
