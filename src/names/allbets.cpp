#include "names/allbets.h"

#include <optional>

#include "platform/text.h"
#include "platform/transaction.h"
#include "records/filelines.h"
#include "records/host.h"
#include "records/recordsutil.h"

namespace vt {

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

bool AllBets::load(Host& app) {
    Shared& sh = app.shared();
    Files& files = app.files();
    pairs.clear();
    try {
        for (int r = 1; r <= nrounds; ++r) {
            const char* round = roundkeys[r];
            for (long f = 1; f <= nflights; ++f) {
                BetsPair p;
                p.round = round;
                p.flight = f;
                p.betsfile = sh.betsfile(round, f);
                p.backupfile = sh.betsbackupfile(round, f);
                sh.fileop = "Bets Input";
                p.betsmissing = !files.exists(p.betsfile);
                if (!p.betsmissing) p.betsbytes = files.readall(p.betsfile);
                // Emptied while its backup holds bets: its bets are not known.
                checknotemptied(files, p.betsfile, p.betsmissing ? nullptr : &p.betsbytes);
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

namespace {

// One pair as the removal leaves it: its new bytes and which of its two files take them.
struct PairChange {
    std::string betsfile, backupfile, bytes;
    bool writebets = false, writebackup = false;
};

// A line that stops the removal, found while reading, told once every file was read.
struct Refusal {
    std::string file;
    long line = 0;
};

}  // namespace

bool removebets(Host& app, size_t field, long long number, const std::string& what,
                std::vector<RemovedBet>& removed) {
    Shared& sh = app.shared();
    Files& files = app.files();
    removed.clear();
    sh.fillroundnames();
    // Each file is read and gone through line by line; only the pairs that change keep their new
    // bytes until the commit, so the memory held is that of the files rewritten.
    std::vector<PairChange> changes;
    std::vector<RemovedBet> taken;
    std::optional<Refusal> badnamed, badkept;
    const size_t cap = static_cast<size_t>(sh.maxbets);
    size_t index = 0;
    try {
        for (int r = 1; r <= nrounds; ++r) {
            const char* round = roundkeys[r];
            for (long f = 1; f <= nflights; ++f, ++index) {
                PairChange p;
                p.betsfile = sh.betsfile(round, f);
                p.backupfile = sh.betsbackupfile(round, f);
                sh.fileop = "Bets Input";
                bool betsmissing = !files.exists(p.betsfile);
                std::string bets = betsmissing ? std::string() : files.readall(p.betsfile);
                // Emptied while its backup holds bets: the backup would be emptied to match it.
                checknotemptied(files, p.betsfile, betsmissing ? nullptr : &bets);
                // A backup that cannot be read is rewritten like a missing one.
                bool backupmissing = !files.exists(p.backupfile);
                std::string backup;
                try {
                    if (!backupmissing) backup = files.readall(p.backupfile);
                } catch (const FileError&) {
                    backupmissing = true;
                }
                bool changed = false;
                std::optional<Refusal> keptbad;
                std::string kept;
                kept.reserve(bets.size());
                LineView line;
                // One pass: a file where no line names the number keeps its bytes as they were.
                LineCursor lines(bets, FileKind::Bets);
                for (size_t count = 1; lines.next(line); ++count) {
                    // A file fuller than the table is not taken apart: it could not be written
                    // back whole.
                    if (count > cap) {
                        overcapacity(app, p.betsfile, FileKind::Bets, sh.maxbets);
                        return false;
                    }
                    long long named = 0;
                    bool names = line.names(field, named) && named == number;
                    if (line.readable() && names) {
                        LineBet b = linebet(line.whole().fields);
                        taken.push_back({b.bet.bettor, b.bet.amount, index});
                        changed = true;
                        continue;
                    }
                    if (!line.readable() && names && !badnamed)
                        badnamed = Refusal{p.betsfile, line.number()};
                    if (!line.readable() && !keptbad) keptbad = Refusal{p.betsfile, line.number()};
                    // Lines are written back as they were read, so a record nobody meant to
                    // touch stays the same.
                    kept.append(line.text()).append("\r\n");
                }
                if (changed && keptbad && !badkept) badkept = keptbad;
                if (changed) bets = std::move(kept);
                p.writebets = changed || betsmissing;
                // Every backup ends equal to its Bets file, also one that differed before.
                p.writebackup = backupmissing || backup != bets;
                if (p.writebets || p.writebackup) {
                    p.bytes = std::move(bets);
                    changes.push_back(std::move(p));
                }
            }
        }
    } catch (const FileError& e) {
        app.fileerrorbox(e);
        return false;
    }
    // A bad record of the one removed would be left behind, unrefunded, for the next one given
    // its number: it must be looked at first.
    if (badnamed) {
        app.filebox(badnamed->file,
                    filelocation(badnamed->file, badnamed->line) + " holds a bad record of " +
                        what +
                        ", so nothing was changed.\r\nCheck it with Fix Files on the main menu.",
                    "Bets Input");
        return false;
    }
    // A file that is rewritten must hold nothing but whole records: a bad line would be kept
    // unread.
    if (badkept) {
        sh.fileop = "Bets Input";
        app.filebox(badkept->file,
                    filelocation(badkept->file, badkept->line) +
                        " holds a bad record, so nothing was changed.\r\nCheck it with Fix Files "
                        "on the main menu.",
                    "Bets Input");
        return false;
    }
    // Written in one transaction (joining the operation's own when one is open).
    Transaction tx(files);
    try {
        for (const PairChange& p : changes) {
            if (p.writebets) {
                sh.fileop = "Bets Output";
                tx.title(sh.fileop);
                files.replacefile(p.betsfile, p.bytes);
            }
            if (p.writebackup) {
                sh.fileop = "Betsbackup Output";
                tx.title(sh.fileop);
                files.replacefile(p.backupfile, p.bytes);
            }
        }
    } catch (const FileError& e) {
        app.fileerrorbox(e);
        return false;
    }
    if (!app.commit(tx)) return false;
    removed = std::move(taken);
    return true;
}

std::string bettorname(Host& app, long long number) {
    const Bettor* b = BettorLookup(app.shared()).find(number);
    return b ? b->name : std::to_string(number);
}

}  // namespace vt
