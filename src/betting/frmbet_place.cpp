// Composing the current bet and placing it: every bet of a click is composed and checked, then
// written to its flight's Bets and Betsbackup files, and only then shown and counted.
#include <map>

#include "betting/betfiles.h"
#include "betting/buildboard.h"
#include "betting/frmbet.h"
#include "platform/text.h"
#include "records/moneytext.h"
#include "records/records.h"

namespace vt {

void frmbet::position_Click(const std::string& wps, long pos) {
    control("txtwps").settext(wps);
    sh_.betpos = pos;
}

void frmbet::cmdbamount_Click(int index) {
    int choice = sh_.betbuttons[index];
    if (choice < 1 || choice > 12) return;
    // The amount stays a bet that can be placed: whole cents up to the largest bet.
    const Money sum =
        shownamount(control("txtamount").text()) + shownamount(sh_.betamounts[choice]);
    if (!sum.isbetamount()) {
        missing();
        return;
    }
    control("txtamount").settext(sum.tostring());
    control("cmddone").setvisible(true);
}

void frmbet::cmdclrpos_Click() {
    control("txtwps").settext(" ");
    control("txtamount").settext("0");
    control("txthorse").settext(" ");
    prompts_white();
}

void frmbet::missing() {
    app_.msgbox("Missing bettor, player, position, or amount", vbOKOnly, "Bet");
}

// The bets of this click, each on its entry and in its entry's flight.
bool frmbet::composebets(std::vector<NewBet>& out) {
    const std::string wps = control("txtwps").text();
    const std::string horse = control("txthorse").text();
    // Whole cents above 0 and at most the largest bet, so every amount written reads back exactly.
    const Money amount = shownamount(control("txtamount").text());
    const bool amountok = amount.isbetamount();
    // The bettor box must show the bettor whose bets are listed: a name typed without Enter is
    // nobody's yet.
    const std::string bettor = control("cbobettor").text();
    if (bettor.empty() || bettor != control("txtbettor").text() ||
        (horse == " " && wps.size() != 2) || wps == " " || !amountok || sh_.curticket < 1) {
        missing();
        return false;
    }
    auto add = [&](const Entry& e, long type, const std::string& text) {
        out.push_back(NewBet{sh_.curticket, e.number, type, e.flight, amount, e.name, text});
    };
    const std::map<std::string, long> singles{{"W", 1}, {"P", 2}, {"S", 3}};
    const std::map<std::string, long> alls{{"WA", 1}, {"PA", 2}, {"SA", 3}};
    if (singles.count(wps) || wps == "BOARD") {
        long row = sh_.selplayer >= 1 ? entryrow(sh_, sh_.selplayer) : 0;
        if (!row || !isflight(sh_.entries(row).flight)) {
            missing();
            return false;
        }
        const Entry& e = sh_.entries(row);
        if (wps == "BOARD") {
            add(e, 1, "W");
            add(e, 2, "P");
            add(e, 3, "S");
        } else {
            add(e, singles.at(wps), wps);
        }
    } else if (alls.count(wps)) {
        for (long i = 1; i <= sh_.maxplayers; ++i) {
            const Entry& e = sh_.entries(i);
            if (e.number == 999 || e.name.empty()) break;
            if (iszzz(e.name) || !isflight(e.flight)) continue;
            add(e, alls.at(wps), wps);
        }
    }
    if (out.empty()) {
        missing();
        return false;
    }
    return true;
}

// Room in the bet list and in every target Bets file for all the bets of the click.
bool frmbet::checkcapacity(const std::vector<NewBet>& bets) {
    bool full = sh_.betrow + static_cast<long>(bets.size()) - 1 > sh_.maxbets;
    if (!full) {
        std::map<long, long> perflight;
        for (const NewBet& b : bets) ++perflight[b.flight];
        for (const auto& [flight, n] : perflight) {
            long held = countbets(app_, sh_.curround, flight);
            if (held < 0) return false;
            if (held + n > sh_.maxbets) full = true;
        }
    }
    if (full)
        app_.msgbox("Maximum number of bets exceeded. Increase number on Setup screen.", vbOKOnly,
                    "Bet Error");
    return !full;
}

bool frmbet::writebets(const std::vector<NewBet>& bets) {
    std::vector<FlightBet> records;
    for (const NewBet& b : bets)
        records.push_back({b.flight, Bet{b.bettor, b.entry, b.type, b.amount}});
    return appendbets(app_, sh_.curround, records);
}

// The bets are on disk: list them, count them, and add those of the loaded flight to its tables.
void frmbet::recordbets(const std::vector<NewBet>& bets) {
    for (const NewBet& b : bets) {
        Bet bet{b.bettor, b.entry, b.type, b.amount};
        addlistline(betline(b.flight, b.name, b.amount, b.wps), b.flight, bet);
        sh_.newtotal += b.amount;
        Money* amts[4] = {nullptr, &sh_.winamt, &sh_.placeamt, &sh_.showamt};
        *amts[b.type] = b.amount;
        if (b.flight != sh_.curflightnbr) continue;
        SummRow& row = sh_.summ(b.entry);
        SummRow& tot = sh_.summ(sh_.maxplayers + 1);
        Money* cells[4] = {nullptr, &row.win, &row.place, &row.show};
        Money* totals[4] = {nullptr, &tot.win, &tot.place, &tot.show};
        *cells[b.type] += b.amount;
        row.total += b.amount;
        *totals[b.type] += b.amount;
        tot.total += b.amount;
        if (sh_.betcount >= 1 && sh_.betcount <= sh_.maxbets) {
            sh_.bets(sh_.betcount) = bet;
            ++sh_.betcount;
        }
    }
}

void frmbet::cmddone_Click() {
    sh_.padblanks = std::string(25, ' ');
    sh_.crlf = "\r\n";
    std::vector<NewBet> bets;
    if (!composebets(bets) || !checkcapacity(bets) || !writebets(bets)) return;
    recordbets(bets);
    control("txttotal").settext(Format(sh_.newtotal, "$#,##0.00"));
    control("txttotalprior").settext(Format(sh_.newtotal + sh_.priortotal, "$#,##0.00"));
    calcodds(app_);
    rebuildboard();
    control("txthorse").settext(" ");
    control("txtwps").settext(" ");
    control("txtamount").settext("0");
    control("cmddone").setvisible(false);
    Control& pay = control("cmdpay");
    pay.setvisible(true);
    pay.setcaption(" or Click when " + Format(sh_.newtotal, "$#,##0.00") + " Paid");
    for (const char* n : {"lbltwo", "lblthree", "lblfour"}) setcolor(n, white);
}

}  // namespace vt
