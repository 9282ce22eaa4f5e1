#include "names/allbets.h"

#include "app/app.h"
#include "platform/text.h"
#include "platform/transaction.h"
#include "records/filelines.h"
#include "records/recordsutil.h"

namespace vt {

bool BetRecord::names(size_t i, long long n) const {
    long long v;
    return i < fields.size() && !emptyfield(fields[i]) && wholenumber(fields[i], v) && v == n;
}

std::vector<BetRecord> parsebets(const std::string& bytes, size_t limit) {
    std::vector<BetRecord> out;
    for (FileLine& line : filelines(bytes, FileKind::Bets, limit)) {
        BetRecord r;
        r.text = std::move(line.text);
        r.fields = std::move(line.fields);
        r.line = line.number;
        LineBet b = linebet(r.fields);
        r.whole = line.readable && b.whole;
        r.bettor = b.bet.bettor;
        r.entry = b.bet.entry;
        r.amount = b.bet.amount;
        out.push_back(std::move(r));
    }
    return out;
}

std::string betsbytes(const std::vector<BetRecord>& records) {
    // Lines are written back as they were read, so a record nobody meant to touch stays the same.
    std::string out;
    for (auto& r : records) out += r.text + "\r\n";
    return out;
}

bool AllBets::load(App& app) {
    Shared& sh = app.shared();
    Files& files = app.files();
    pairs.clear();
    try {
        for (int r = 1; r <= nrounds; ++r) {
            const char* round = roundkeys[r];
            for (long f = 1; f <= 15; ++f) {
                BetsPair p;
                p.round = round;
                p.flight = f;
                p.betsfile = sh.betsfile(round, f);
                p.backupfile = sh.betsbackupfile(round, f);
                sh.fileop = "Bets Input";
                p.betsmissing = !files.exists(p.betsfile);
                if (!p.betsmissing) p.betsbytes = files.readall(p.betsfile);
                // A backup that cannot be read is rewritten like a missing one.
                p.backupmissing = !files.exists(p.backupfile);
                try {
                    if (!p.backupmissing) p.backupbytes = files.readall(p.backupfile);
                } catch (const FileError&) {
                    p.backupmissing = true;
                }
                // A file fuller than the table is not taken apart: it could not be written back
                // whole.
                size_t cap = static_cast<size_t>(sh.maxbets);
                p.records = parsebets(p.betsbytes, cap + 1);
                if (p.records.size() > cap) {
                    overcapacity(app, p.betsfile, FileKind::Bets, sh.maxbets);
                    pairs.clear();
                    return false;
                }
                pairs.push_back(std::move(p));
            }
        }
    } catch (const FileError& e) {
        app.fileerrorbox(e);
        pairs.clear();
        return false;
    }
    return true;
}

bool AllBets::anybets() const {
    for (auto& p : pairs)
        if (!p.records.empty()) return true;
    return false;
}

std::vector<RemovedBet> AllBets::remove(const std::function<bool(const BetRecord&)>& match) {
    std::vector<RemovedBet> removed;
    for (size_t i = 0; i < pairs.size(); ++i) {
        auto& recs = pairs[i].records;
        std::vector<BetRecord> kept;
        for (auto& r : recs) {
            if (r.whole && match(r))
                removed.push_back({r.bettor, r.amount, i});
            else
                kept.push_back(std::move(r));
        }
        if (kept.size() != recs.size()) pairs[i].changed = true;
        recs = std::move(kept);
    }
    return removed;
}

bool AllBets::save(App& app) {
    Shared& sh = app.shared();
    Files& files = app.files();
    Transaction tx(files);
    try {
        for (BetsPair& p : pairs) {
            std::string bytes = p.changed ? betsbytes(p.records) : p.betsbytes;
            if (p.changed || p.betsmissing) {
                sh.fileop = "Bets Output";
                files.replacefile(p.betsfile, bytes);
            }
            // Every backup ends equal to its Bets file, also one that differed before.
            if (p.backupmissing || p.backupbytes != bytes) {
                sh.fileop = "Betsbackup Output";
                files.replacefile(p.backupfile, bytes);
            }
        }
    } catch (const FileError& e) {
        app.fileerrorbox(e);
        return false;
    }
    return app.commit(tx);
}

bool removebets(App& app, size_t field, long long number, const std::string& what,
                std::vector<RemovedBet>& removed) {
    AllBets all;
    removed.clear();
    app.shared().fillroundnames();
    if (!all.load(app)) return false;
    // A bad record of the one removed would be left behind, unrefunded, for the next one given
    // its number: it must be looked at first.
    for (const BetsPair& p : all.pairs)
        for (const BetRecord& r : p.records)
            if (!r.whole && r.names(field, number)) {
                app.filebox(p.betsfile,
                            filelocation(p.betsfile, r.line) + " holds a bad record of " + what +
                                ", so nothing was changed.\r\nCheck it with Fix Files on the main "
                                "menu.",
                            "Bets Input");
                return false;
            }
    removed = all.remove([&](const BetRecord& r) { return r.names(field, number); });
    // A file that is rewritten must hold nothing but whole records: a bad line would be kept
    // unread.
    for (const BetsPair& p : all.pairs)
        for (const BetRecord& r : p.records)
            if (p.changed && !r.whole) {
                app.shared().fileop = "Bets Input";
                app.filebox(p.betsfile,
                            filelocation(p.betsfile, r.line) +
                                " holds a bad record, so nothing was changed.\r\nCheck it with Fix "
                                "Files on the main menu.",
                            "Bets Input");
                removed.clear();
                return false;
            }
    if (all.save(app)) return true;
    removed.clear();
    return false;
}

std::string bettorname(App& app, long long number) {
    const Bettor* b = BettorLookup(app.shared()).find(number);
    return b ? b->name : std::to_string(number);
}

}  // namespace vt
