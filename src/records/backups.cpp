// Restoring the data files from their backups, and clearing a flight's bets with the refund list.
#include <map>
#include <vector>

#include "platform/text.h"
#include "records/context.h"
#include "records/filelines.h"
#include "records/records.h"
#include "records/recordsutil.h"

namespace vt {

Outcome restorebackups(Context& cx) {
    Shared& sh = cx.shared();
    struct Copy {
        std::string question, from, to, notice;
    };
    const Copy copies[] = {
        {"Replace flight " + sh.curflight + " Bets with Betsbackup?",
         sh.betsbackupfile(sh.curround, sh.curflightnbr), sh.betsfile(sh.curround, sh.curflightnbr),
         "Bet file replaced with Betsbackup file"},
        {"Replace Players with Playersbackup?", sh.datapath + "Playersbackup",
         sh.datapath + "Players", "Players file replaced with Playersbackup file"},
        {"Replace Bettors with Bettorsbackup?", sh.datapath + "Bettorsbackup",
         sh.datapath + "Bettors", "Bettors file replaced with Bettorsbackup file"},
    };
    sh.fileok = true;
    for (const Copy& c : copies) {
        if (cx.msgbox(c.question, vbYesNo | vbQuestion, "Backup") != vbYes) continue;
        // Each answer is its own operation, titled with the label the last one left.
        Transaction tx(cx.files(), sh.fileop);
        try {
            cx.files().copy(c.from, c.to);
        } catch (const FileError& e) {
            // The data file stays as it was; the remaining questions are not asked.
            sh.fileok = false;
            cx.fileerrorbox(e);
            return Outcome::boxed();
        }
        if (!cx.commit(tx)) {
            sh.fileok = false;
            return Outcome::boxed();
        }
        cx.msgbox(c.notice, vbOKOnly, "Backup");
    }
    return Outcome::done();
}

namespace {

// The refund owed to each bettor holding bets, in Bettors-file order; a bettor number missing
// from Bettors is listed as that number, so the lines add up to the total. A bettor whose bets add
// up to nothing is owed nothing and gets no line.
std::vector<Refund> refundsofbets(Shared& sh, const std::vector<Bet>& read) {
    std::map<long, Money> sums;
    std::vector<long> order;  // bettor numbers in the order of their first bet
    for (const Bet& b : read) {
        if (!sums.count(b.bettor)) order.push_back(b.bettor);
        sums[b.bettor] += b.amount;
    }
    std::vector<Refund> lines;
    auto line = [&](const std::string& name, Money sum) {
        if (sum != Money{}) lines.push_back({name, sum});
    };
    for (size_t k = 1; k <= sh.bettors.size(); ++k) {
        const Bettor& b = sh.bettors(k);
        if (b.name.empty()) break;
        auto it = sums.find(b.number);
        if (it == sums.end()) continue;
        line(b.name, it->second);
        sums.erase(it);
    }
    for (long n : order)
        if (sums.count(n)) line(std::to_string(n), sums[n]);
    return lines;
}

void zerosumm(Shared& sh) {
    for (size_t i = 1; i <= sh.summ.size(); ++i)
        sh.summ(i) = SummRow{{}, {}, {}, {}, "0", "0", "0"};
}

// A cleared flight: every cell of `bets` and `summ` is 0, and no bet is held.
void zerotables(Shared& sh) {
    for (size_t i = 1; i <= sh.bets.size(); ++i) sh.bets(i) = Bet{};
    zerosumm(sh);
    sh.betcount = 1;
}

}  // namespace

Outcome clearflightbets(Context& cx) {
    Shared& sh = cx.shared();
    const std::string what = sh.curround + " Flight " + sh.curflight;
    if (cx.msgbox("Click Yes to clear " + what + " Bets ", vbYesNo | vbQuestion, "Clear Bets") !=
        vbYes)
        return Outcome::boxed();  // the operator's answer ends it
    readbettors(cx);
    sh.fileop = "Bets Input";
    sh.fileok = false;
    const std::string bets = sh.betsfile(sh.curround, sh.curflightnbr);
    const std::string backup = sh.betsbackupfile(sh.curround, sh.curflightnbr);

    // The whole file is read before anything is changed.
    std::vector<Bet> read;
    Money total;
    try {
        if (!cx.files().exists(bets)) {
            // Lost while its backup holds bets: they would be dropped unrefunded.
            checknotemptied(cx.files(), bets, nullptr);
            if (Outcome made = makebetsfiles(cx); !made) return made;
            sh.fileok = false;
        }
        // A line that is not a whole bet would be dropped unrefunded: the clearing is refused, as
        // it is for a file emptied while its backup holds bets.
        std::string bytes = cx.files().readall(bets);
        checknotemptied(cx.files(), bets, &bytes);
        LineCursor lines(bytes, FileKind::Bets);
        FileLine line;
        while (lines.next(line)) {
            if (!line.readable) throwbadline(bets, line);
            Bet b;
            b.bettor = static_cast<long>(intfield(line.fields[0]));
            b.entry = static_cast<long>(intfield(line.fields[1]));
            b.type = static_cast<long>(intfield(line.fields[2]));
            b.amount = moneyfield(line.fields[3]);
            read.push_back(b);
            total += b.amount;
        }
    } catch (const FileError& e) {
        cx.fileerrorbox(e);
        return Outcome::boxed();
    }
    zerosumm(sh);
    if (read.empty()) {
        sh.fileok = true;
        cx.msgbox("Bets already cleared", vbOKOnly, "Clear bets");
        return Outcome::done();
    }
    // The list is printed before anything is removed: one that cannot be printed clears nothing.
    if (cx.msgbox("Print refunds?", vbYesNo | vbQuestion, "Clear Bets") == vbYes &&
        !printrefunds(cx, "REFUND BETS FOR " + what, refundsofbets(sh, read), &total))
        return Outcome::boxed();

    // The pair goes in one transaction: a Betsbackup left full would bring the bets back.
    Transaction tx(cx.files(), sh.fileop);
    try {
        cx.files().remove(bets);
        // A backup already gone leaves the flight as cleared as intended.
        if (cx.files().exists(backup)) cx.files().remove(backup);
    } catch (const FileError& e) {
        cx.fileerrorbox(e);
        return Outcome::boxed();
    }
    if (!cx.commit(tx)) return Outcome::boxed();
    zerotables(sh);
    sh.betscomplete = true;
    sh.fileok = true;
    cx.msgbox(what + " Bets Cleared", vbOKOnly, "Clear Bets");
    return Outcome::done();
}

bool printrefunds(Context& cx, const std::string& title, const std::vector<Refund>& lines,
                  const Money* total) {
    Shared& sh = cx.shared();
    if (equalsnocase(sh.printswitch, "no")) return true;
    Printer& p = cx.printer();
    {
        DocGuard guard(p, "Refund List");
        p.fontsize = 8;
        p.fontname = "MS Sans Serif";
        p.fontsize = 8;
        p.print({title});
        p.print({" "});
        p.print({"Bettor Name                  Amount"});
        p.print({" "});
        // A name longer than its field is printed whole, drawn narrower so that its amount
        // keeps the zone under "Amount".
        for (const Refund& r : lines)
            p.print({InField(Format(r.name, "!@@@@@@@@@@@@@@@@@@@@"), 20), Zone(),
                     Format(r.amount, "Currency")});
        if (total) {
            p.print({" "});
            p.print({"TOTAL BETS " + Format(*total, "Currency")});
        }
        // Ended here, not by the guard, so a failure is known before the operation commits.
        if (!cx.enddoc(true)) return false;
    }
    return true;
}

}  // namespace vt
