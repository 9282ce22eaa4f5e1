// Scratching an entry: its bets leave every round and flight and are listed for refunds.
#include "names/allbets.h"
#include "names/frmentries.h"
#include "names/savefiles.h"
#include "platform/text.h"
#include "platform/transaction.h"
#include "records/records.h"

namespace vt {

void frmentries::cmdscratch_Click() {
    Shared& sh = app_.shared();
    if (selrow == 0) {
        sh.fileop = "Must select a player/team first";
        app_.msgbox(sh.fileop, vbOKOnly, sh.fileop);
        return;
    }
    if (app_.msgbox("Scratch " + seltext, vbYesNo, "Players") != vbYes) return;
    long row = rowofnumber(selnumber);
    if (row == 0) {
        app_.msgbox("Bad Player number", vbOKOnly, "Player select");
        return;
    }
    // The entry must be removable from Players before any bet on it is touched.
    if (!entriescomplete(app_)) {
        refusenotread(app_, "Players");
        return;
    }

    long number = selnumber;
    const std::string line = seltext;
    std::vector<RemovedBet> removed;
    bool saved;
    {
        // The bets on every round and flight and the Players pair go in one transaction; the
        // refund list is printed before it commits, so a list that cannot be printed leaves
        // every bet in place to be refunded later.
        Transaction tx(app_.files(), sh.fileop);
        if (!removebets(app_, 1, number, Mid(seltext, 11), removed)) return;
        readbettors(app_);
        sh.entries(row).name = "zzz";
        std::vector<Refund> refunds;
        for (auto& r : removed) refunds.push_back({bettorname(app_, r.bettor), r.amount});
        saved = saveentries(app_) && printrefunds(app_, "REFUND BETS ON " + line, refunds) &&
                app_.commit(tx);
    }
    if (!saved) {
        readentries(app_);
        fillentries();
        return;
    }
    readentries(app_);
    fillentries();
    control("txtentryname").settext("");
    clearselection();
    app_.msgbox(line + " Scratched", vbOKOnly, "Players");
}

}  // namespace vt
