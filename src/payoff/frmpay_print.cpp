// Print choices: payoff sheets (each finisher line also recorded in the results file), or the
// sortable winners list.
#include "payoff/frmpay.h"
#include "platform/printer.h"
#include "platform/text.h"
#include "records/payoffsums.h"

namespace vt {

namespace {

// The first three lines of the print choices; bettors follow them.
enum { kDetail = 0, kSortable = 1, kCancel = 2 };

}  // namespace

void frmpay::cmbbn_Click() {
    Shared& s = sh();
    clearbettorbets(s);
    auto hidechoices = [this] {
        control("txtbn").setvisible(false);
        control("cmbbn").setvisible(false);
    };
    if (s.printswitch == "no") {
        hidechoices();
        return;
    }
    // The choice is taken by its place in the list, so AnyBettor's own line prints its sheet.
    const int idx = control("cmbbn").listindex();
    if (idx < 0) return;
    if (idx == kCancel) {
        hidechoices();
        return;
    }
    if (idx == kSortable) {
        s.printchoice = 1;
        app_.form("frmprint").show();
        return;
    }
    s.printchoice = idx == kDetail ? 0 : control("cmbbn").itemdata(idx);
    Money grandtotal;
    // The run's Results records, made as the sheets are laid out and written only once the
    // sheets count as printed: a failure or a crash before that leaves none of them.
    ResultRecords records;
    {
        DocGuard guard(app_.printer(), "Payoff Sheets");
        if (idx == kDetail) {
            app_.printer().fontname = "MS Sans Serif";
            app_.printer().fontsize = 8;
            for (const auto& w : s.winbettors) printsheet(w.first, grandtotal, records);
            app_.printer().print({" "});
        } else {
            printsheet(s.printchoice, grandtotal, records);
        }
        printgrandtotal(grandtotal);
        if (!app_.context().enddoc(true)) {
            hidechoices();
            return;
        }
    }
    // One append, synced and checked: the file gains the whole run or, after a failure (told
    // once), nothing of it.
    s.fileop = "Results Append";
    try {
        if (!records.bytes.empty()) app_.results.write(records.bytes);
        if (records.failed) app_.fileerrorbox(*records.failed);
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
    }
    hidechoices();
}

void frmpay::printgrandtotal(Money grandtotal) {
    app_.printer().print({Tab(7), "GRAND TOTAL PAID", Tab(30), moneytext(grandtotal)});
}

void frmpay::printsheet(long bettor, Money& grandtotal, ResultRecords& records) {
    Shared& s = sh();
    Printer& p = app_.printer();
    gatherbettorbets(s, bettor);
    auto it = s.winbettors.find(bettor);
    s.curbettor = it != s.winbettors.end() ? it->second : "#" + std::to_string(bettor);
    p.fontname = "MS Sans Serif";
    p.fontsize = 8;
    // The heading stays on the page of the sheet's first finisher.
    p.print({"Results for " + s.curbettor + " for Round " + s.curround + " Flight " + s.curflight});
    p.keepwithnext();
    p.print({" "});
    p.keepwithnext();
    p.print({Tab(34), "WIN", Tab(54), "PLACE", Tab(74), "SHOW"});
    p.keepwithnext();
    p.print({"Player/Team", Tab(30), "Bet", Tab(40), "Paid", Tab(50), "Bet", Tab(60), "Paid",
             Tab(70), "Bet", Tab(80), "Paid"});
    p.keepwithnext();
    const int n = s.nwin + s.nplace + s.nshow;
    for (int slot = 1; slot <= n && slot <= 10; ++slot) {
        const std::string finisher = control("cmbpt", slot - 1).text();
        // The flight label is a field of 10 places, so the name starts at its column whatever
        // the label's letters.
        std::vector<PItem> line{InField(Left(finisher, 10), 10), Mid(finisher, 11)};
        for (int t = 1; t <= 3; ++t) {
            line.push_back(Tab(10 + 20 * t));
            line.push_back(moneytext(s.bettorbets[slot][t]));
            line.push_back(Tab(20 + 20 * t));
            line.push_back(moneytext(paidamount(s, slot, t)));
        }
        p.print(line);
        // One record per finisher line, kept for the run's one write. A record that cannot be
        // made ends the run's records there, so the file stays a clean run of whole records.
        if (records.failed) continue;
        try {
            RecordWriter rec;
            rec.str(s.curbettor).str(s.curround).str(s.curflight).str(finisher);
            for (int t = 1; t <= 3; ++t) rec.num(s.bettorbets[slot][t]).num(paidamount(s, slot, t));
            records.bytes += rec.end().bytes();
        } catch (const FileError& e) {
            records.failed = e;
        }
    }
    p.print({" "});
    std::vector<PItem> total{Tab(20), "TOTAL"};
    for (int t = 1; t <= 3; ++t) {
        Money bet;
        for (int slot = 1; slot <= 10; ++slot) bet += s.bettorbets[slot][t];
        total.push_back(Tab(10 + 20 * t));
        total.push_back(moneytext(bet));
        total.push_back(Tab(20 + 20 * t));
        total.push_back(moneytext(poolpaid(s, t)));
    }
    // TOTAL and TOTAL PAID stay on one page.
    p.print(total);
    p.keepwithnext();
    p.print();
    p.keepwithnext();
    const Money rounded = roundedpayoff(app_, totalpaid(s));
    p.print({Tab(13), "TOTAL PAID", Tab(30), moneytext(rounded)});
    grandtotal += rounded;
    clearbettorbets(s);
}

}  // namespace vt
