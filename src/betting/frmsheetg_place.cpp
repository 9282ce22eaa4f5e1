// Placing the next-bet row of the bet sheet: one record per box into the Bets pair of the
// player/team's own flight.
#include "betting/betfiles.h"
#include "betting/frmsheetg.h"
#include "platform/text.h"
#include "records/moneytext.h"
#include "records/records.h"

namespace vt {

void frmsheetg::cmdplacebets_Click() {
    if (amountof("txttotaltot") == Money{}) {
        emptynextbet();
        return;
    }
    if (sh_.curticket < 1) {
        app_.msgbox("Must select bettor first.", vbOKOnly, "Place Bets");
        return;
    }
    const long row = selnumber >= 1 ? entryrow(sh_, selnumber) : 0;
    if (!row || !isflight(sh_.entries(row).flight)) {
        app_.msgbox("Must select player/team first.", vbOKOnly, "Place Bets");
        return;
    }
    struct Box {
        const char* name;
        long type;
        Money* amt;
        const char* suffix;
    };
    const Box boxes[3] = {{"txtwin", 1, &sh_.winamt, " TO WIN"},
                          {"txtplace", 2, &sh_.placeamt, " TO PLACE"},
                          {"txtshow", 3, &sh_.showamt, " TO SHOW"}};
    long count = 0;
    for (const Box& b : boxes) {
        const Money a = shownamount(control(b.name).text());
        if (a == Money()) continue;
        if (!a.isbetamount() || a < Money::dollars(1)) {
            app_.msgbox(
                "A bet must be at least $1.00 and at most $99,999.99 in whole cents: correct the "
                "next bet",
                vbOKOnly, "Place Bets");
            return;
        }
        ++count;
    }
    if (app_.msgbox("Place these bets?", vbYesNo, "Place Bets") != vbYes) return;

    const Entry& entry = sh_.entries(row);
    const long flight = entry.flight;
    sh_.curflight = sh_.flightnames[flight];
    sh_.curflightnbr = flight;
    long held = count ? countbets(app_, sh_.curround, flight) : 0;
    if (held < 0) return;
    if (held + count > sh_.maxbets) {
        app_.msgbox("Maximum number of bets exceeded. Increase number on Setup screen.", vbOKOnly,
                    "Place Bet");
        return;
    }
    // The row's bets go to the pair in one transaction: all of them or none.
    std::vector<FlightBet> rowbets;
    for (const Box& b : boxes)
        if (const Money a = amountof(b.name); a != Money{})
            rowbets.push_back({flight, Bet{sh_.curticket, entry.number, b.type, a}});
    if (!rowbets.empty() && !appendbets(app_, sh_.curround, rowbets)) return;
    for (const Box& b : boxes) {
        const Money a = amountof(b.name);
        if (a == Money{}) continue;
        // On disk: the box is emptied at once, so trying again never writes this bet twice.
        control(b.name).settext("");
        setamount("txttotal", amountof("txtwin") + amountof("txtplace") + amountof("txtshow"));
        *b.amt = a;
        control("lstbets").additem(Format(seltext, "!@@@@@@@@@@@@@@") + " $" + Format(a, "#00.00") +
                                   b.suffix);
    }
    // The flight's bets, totals and odds, read back from its file.
    sumbets(app_);
    emptynextbet();
}

}  // namespace vt
