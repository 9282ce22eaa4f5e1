// The Bets files of a round and flight: loading them into `bets` and summing them into `summ`
// and `flightpool`.
#include <optional>
#include <vector>

#include "platform/text.h"
#include "records/context.h"
#include "records/filelines.h"
#include "records/records.h"
#include "records/recordsutil.h"

namespace vt {

namespace {

enum class Load { only, sum, sumall };

// First row of `entries` holding each entry number, built once per load so that matching
// thousands of bets stays fast; rows after the first empty name are not part of the table.
class EntryRows {
  public:
    explicit EntryRows(const Shared& sh) : rows_(static_cast<size_t>(sh.maxplayers) + 1, 0) {
        for (size_t i = 1; i <= sh.entries.size(); ++i) {
            const Entry& e = sh.entries(i);
            if (e.name.empty()) break;
            if (e.number >= 1 && e.number <= sh.maxplayers && rows_[e.number] == 0)
                rows_[e.number] = i;
        }
    }
    // 0 when no row holds the number.
    size_t find(long long number) const {
        return number >= 1 && number < static_cast<long long>(rows_.size()) ? rows_[number] : 0;
    }

  private:
    std::vector<size_t> rows_;
};

void clearbets(Shared& sh) {
    for (size_t i = 1; i <= sh.bets.size(); ++i) sh.bets(i) = Bet{0, 0, 0, kendmarker};
}

// The amount of a bet on an entry no row holds, added to that entry number's own row.
void addentrymoney(Shared& sh, const Bet& b) {
    if (b.type < 1 || b.type > 3 || b.entry < 1 || b.entry > sh.maxplayers + 1) return;
    SummRow& row = sh.summ(b.entry);
    Money* cell[] = {nullptr, &row.win, &row.place, &row.show};
    *cell[b.type] += b.amount;
    row.total += b.amount;
}

void addbet(Shared& sh, const Bet& b, const Entry& entry) {
    if (b.type < 1 || b.type > 3) return;  // kept in `bets`, counted nowhere
    SummRow& row = sh.summ(b.entry);
    SummRow& tot = sh.summ(sh.maxplayers + 1);
    Money* cell[] = {nullptr, &row.win, &row.place, &row.show};
    Money* totcell[] = {nullptr, &tot.win, &tot.place, &tot.show};
    *cell[b.type] += b.amount;
    row.total += b.amount;
    *totcell[b.type] += b.amount;
    tot.total += b.amount;
    if (isflight(entry.flight)) sh.flightpool[entry.flight][b.type] += b.amount;
}

// Reads the Bets file of the current round and flight into `bets`, summing unless `only` (and
// then working out the WIN odds when `winodds`).
Outcome load(Context& cx, Load mode, bool winodds = true) {
    Shared& sh = cx.shared();
    clearbets(sh);
    if (mode == Load::sumall)
        for (auto& f : sh.flightpool) f = {};
    sh.fileop = "Bets Input";
    sh.betcount = 1;
    sh.betscomplete = false;
    sh.fileok = false;
    std::string path = sh.betsfile(sh.curround, sh.curflightnbr);
    const bool flight = isflight(sh.curflightnbr);
    if (flight) sh.overfull[sh.curflightnbr] = false;
    std::shared_ptr<const BetsLines> file;
    try {
        file = cx.betscache().get(cx.files(), path);
    } catch (const FileError& e) {
        // A missing file whose backup holds bets was lost, not cleared: it is not made anew.
        if (e.number == 53 && mode != Load::only && backupholdslines(cx.files(), path)) {
            cx.fileerrorbox(emptiedfile(cx.files(), path, true));
            return Outcome::boxed();
        }
        if (e.number == 53 && mode != Load::only) {
            sh.betscomplete = true;
            if (mode == Load::sumall) {  // nothing is created here
                sh.fileok = true;
                return Outcome::done();
            }
            Outcome made = makebetsfiles(cx);
            if (!made) return made;
            calcodds(cx);
            return made;
        }
        cx.fileerrorbox(e);
        return Outcome::boxed();
    }
    bool summing = mode != Load::only;
    std::optional<EntryRows> rows;
    if (summing) rows.emplace(sh);
    bool complete = true;
    try {
        for (size_t i = 0; i < file->lines.size(); ++i) {
            const BetsLine& line = file->lines[i];
            // A line that is not a whole bet is read no further.
            if (line.stops) throw file->stops.at(i);
            const Bet& b = line.bet;
            if (summing && line.noentry) {
                complete = false;  // a record without an entry ends the reading
                break;
            }
            // A file fuller than the table loads up to the capacity, with one box saying so;
            // pools summed from part of the file give no odds.
            if (sh.betcount > static_cast<long>(sh.bets.size())) {
                overcapacity(cx, path, FileKind::Bets, static_cast<long>(sh.bets.size()));
                if (flight) sh.overfull[sh.curflightnbr] = true;
                if (summing && winodds) calcodds(cx);
                return Outcome::boxed();
            }
            sh.bets(sh.betcount) = b;
            ++sh.betcount;
            if (!summing) continue;
            size_t j = rows->find(b.entry);
            if (j == 0) {
                sh.dataerror = 1;
                if (mode == Load::sum) return Outcome::baddata();
                // The all-flights sum counts the entry's own money, then finds no flight for it:
                // the reading stops with the box, and the totals are known to be short.
                addentrymoney(sh, b);
                throwfileerror(9, path, line.number);
            }
            addbet(sh, b, sh.entries(j));
        }
    } catch (const FileError& e) {
        cx.fileerrorbox(e);
        return Outcome::boxed();
    }
    sh.betscomplete = complete;
    if (summing && winodds) calcodds(cx);
    sh.fileok = true;
    return Outcome::done();
}

}  // namespace

void resetsumm(Shared& sh) {
    for (size_t i = 1; i <= sh.summ.size(); ++i)
        sh.summ(i) = SummRow{{}, {}, {}, {}, " ", "0", "0"};
}

Outcome sumbets(Context& cx) {
    resetsumm(cx.shared());
    return load(cx, Load::sum);
}

Outcome sumbetsall(Context& cx, bool winodds) { return load(cx, Load::sumall, winodds); }

Outcome loadbets(Context& cx) { return load(cx, Load::only); }

Outcome makebetsfiles(Context& cx) {
    Shared& sh = cx.shared();
    if (!equalsnocase(sh.fileop, "Bets input")) return Outcome::done();
    sh.fileok = false;
    Transaction tx(cx.files(), sh.fileop);
    try {
        // Only a missing file is created: an existing Betsbackup is the copy a restore needs.
        for (const std::string& path : {sh.betsfile(sh.curround, sh.curflightnbr),
                                        sh.betsbackupfile(sh.curround, sh.curflightnbr)})
            if (!cx.files().exists(path)) cx.files().replacefile(path, "");
    } catch (const FileError& e) {
        cx.fileerrorbox(e);
        return Outcome::boxed();
    }
    if (!cx.commit(tx)) return Outcome::boxed();
    sh.fileok = true;
    return Outcome::done();
}

}  // namespace vt
