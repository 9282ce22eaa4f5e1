#include "betting/bettorentry.h"

#include <set>

#include "platform/text.h"
#include "records/filelines.h"
#include "records/host.h"
#include "records/records.h"
#include "records/typedinput.h"

namespace vt {

namespace {

bool alldigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

long findbettor(const Shared& sh, const std::string& text) {
    for (long i = 1; i <= sh.maxbettors; ++i) {
        if (sh.bettors(i).name.empty()) break;
        if (sh.bettors(i).name == text) return i;
    }
    long long ticket = 0;
    if (!alldigits(text) || !parseint(text, ticket)) return 0;
    return BettorLookup(sh).row(ticket);
}

long addbettor(Host& app, const std::string& name, const std::string& title) {
    Shared& sh = app.shared();
    std::string refusal =
        trim(name).empty() ? "Type a bettor name first" : namerefusal(name, "bettor name");
    if (!refusal.empty()) {
        app.msgbox(refusal, vbOKOnly, title);
        return 0;
    }
    if (sh.nbettors >= sh.maxbettors - 1) {
        app.msgbox("Maximum number of bettors exceeded. Increase number of bettors on Setup screen",
                   vbOKOnly, "Max Bettor Error");
        return 0;
    }
    // The next ticket number, passing over numbers any record names and the 999 / 9999 markers.
    NumbersInUse used;
    if (!numbersinuse(app, used)) return 0;
    for (long i = 1; i <= sh.nbettors; ++i) used.bettors.insert(sh.bettors(i).number);
    long ticket = freenumber(used.bettors, sh.nextticket, 2);
    const long row = sh.nbettors + 1;
    sh.bettors(row) = Bettor{ticket, name};
    // Refused, with a message, after a reading that stopped early.
    if (!writebettors(app)) {
        sh.bettors(row) = Bettor{};
        return 0;
    }
    app.msgbox(name + " added", vbOKOnly, title);
    return ticket;
}

}  // namespace vt
