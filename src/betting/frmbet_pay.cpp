// Paying for the new bets with a printed receipt, and deleting a prior bet with its refund.
#include <ctime>

#include "betting/betfiles.h"
#include "betting/frmbet.h"
#include "platform/text.h"
#include "records/records.h"

namespace vt {

// "MM-DD-YYYY HH:MM:SS", local time.
std::string receiptstamp() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%m-%d-%Y %H:%M:%S", &tm);
    return buf;
}

void frmbet::cmdpay_Click() {
    if (sh_.newtotal == Money{}) return;
    control("cmdpay").setcaption("  PAID  " + Format(sh_.newtotal, "$###0.00"));
    control("cmddone").setvisible(false);
    if (sh_.printswitch != "no") printreceipt();
    // The bets are recorded already; the screen is made ready for the next bettor.
    clearlist();
    control("txthorse").settext(" ");
    control("txtwps").settext(" ");
    control("txtamount").settext("0");
    control("txttotal").settext("0");
    sh_.newtotal = Money{};
    control("txttotalprior").settext("0");
    control("txtbettor").settext("");
    for (const char* n : {"lbltwo", "lblthree", "lblfour"}) setcolor(n, white);
    for (auto& b : sh_.newbets.rows) b = Bet{};
    quiet_ = true;
    control("cbobettor").settext("");
    quiet_ = false;
    control("cbobettor").setfocus();  // where the next bettor is typed
}

void frmbet::printreceipt() {
    Printer& p = app_.printer();
    DocGuard guard(p, "Bet Receipt");
    p.fontsize = 8;
    p.fontname = "MS Sans Serif";
    p.fontsize = 8;
    p.print({receiptstamp()});
    p.print({sh_.curround + " BET SUMMARY FOR "});
    p.print({sh_.curbettor});
    p.print({" "});
    p.print({"PLAYER/TEAM         BET"});
    Control& list = control("lstbetsprior");
    // Each line with its label and name in their fields, so the amounts stand in one column.
    for (long i = 0; i < sh_.betrow; ++i)
        if (i < static_cast<long>(betprint.size()))
            p.print(betprint[static_cast<size_t>(i)]);
        else
            p.print({list.list(static_cast<int>(i))});
    p.print({" "});
    p.print({"TOTAL BETS " + Format(sh_.priortotal + sh_.newtotal, "$###0.00")});
    for (int i = 0; i < 10; ++i) p.print({" "});
    // The guard ends the document here; a printer failure is shown and the payment stands.
}

void frmbet::cmdclear_Click() {
    if (unpaid()) return;
    Control& list = control("lstbetsprior");
    const int i = list.listindex();
    const std::string text = i >= 0 ? list.list(i) : "";
    if (app_.msgbox("Delete " + text, vbYesNo, "Clear prior bet") == vbYes) {
        const long r = i + 1;
        const bool chosen = i >= 0 && i < static_cast<int>(betflight.size()) && betflight[i] >= 1 &&
                            r <= sh_.maxbets && sh_.newbets(r).bettor != 0;
        if (!chosen)
            app_.msgbox("Must select bet first", vbOKOnly, "Bet");
        else
            deletebet(sh_.newbets(r), betflight[i]);
    }
    relist();
}

// Takes the bet out of its flight's pair; the refund is told only once both files lost it.
bool frmbet::deletebet(const Bet& bet, long flight) {
    sh_.curflightnbr = flight;
    sh_.curflight = sh_.flightnames[flight];
    Removed res = removebet(app_, sh_.curround, flight, bet);
    if (res == Removed::NotFound)
        app_.msgbox("This bet is no longer in the Bets files; nothing was deleted", vbOKOnly,
                    "Bet");
    if (res != Removed::Done) return false;
    app_.msgbox("Refund " + sh_.curbettor + " " + Format(bet.amount, "$##0.00"), vbOKOnly,
                "Refund bet");
    sh_.priortotal -= bet.amount;
    control("txttotalprior").settext(Format(sh_.priortotal, "$#,##0.00"));
    return true;
}

// Lists the bettor's bets of the round again from the files, without the divider.
void frmbet::relist() {
    sh_.betrow = 1;
    clearlist();
    sh_.priortotal = Money{};
    const char* words[4] = {"", "WIN", "PLACE", "SHOW"};
    eachpriorbet("Bad Player number", [&](long f, const Bet& bet, const Entry& e) {
        std::string word = bet.type >= 1 && bet.type <= 3 ? words[bet.type] : "";
        addlistline(
            {InField(sh_.flightnames[f]), InField(Format(Left(e.name, 21), "!@@@@@@@@@@@@@@")),
             " $" + Format(bet.amount, "#00.00") + " TO " + word},
            f, bet);
    });
}

}  // namespace vt
