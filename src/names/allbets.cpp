#include "names/allbets.h"

#include "app/app.h"
#include "platform/text.h"
#include "platform/transaction.h"

namespace vt {

namespace {

bool wholenumber(const Field& f, long long& out) { return !f.quoted && parseint(f.text, out); }

}  // namespace

std::vector<BetRecord> parsebets(const std::string& bytes) {
    std::vector<BetRecord> out;
    RecordReader in(bytes);
    while (!in.eof()) {
        BetRecord r;
        for (int i = 0; i < 4; ++i) r.fields.push_back(in.field());
        r.numeric = wholenumber(r.fields[0], r.bettor) && wholenumber(r.fields[1], r.entry) &&
                    !r.fields[3].quoted && Money::parse(r.fields[3].text, r.amount);
        out.push_back(std::move(r));
    }
    return out;
}

std::string betsbytes(const std::vector<BetRecord>& records) {
    // Fields are written back as they were read, so a record nobody meant to touch stays the same.
    std::string out;
    for (auto& r : records) {
        for (size_t i = 0; i < r.fields.size(); ++i) {
            if (i) out += ',';
            out += r.fields[i].quoted ? '"' + r.fields[i].text + '"' : r.fields[i].text;
        }
        out += "\r\n";
    }
    return out;
}

bool AllBets::load(App& app) {
    Shared& sh = app.shared();
    Files& files = app.files();
    pairs.clear();
    try {
        for (const char* round : roundnames) {
            for (long f = 1; f <= 15; ++f) {
                BetsPair p;
                p.round = round;
                p.flight = f;
                p.betsfile = sh.betsfile(round, f);
                p.backupfile = sh.betsbackupfile(round, f);
                sh.fileop = "Bets Input";
                p.betsmissing = !files.exists(p.betsfile);
                p.backupmissing = !files.exists(p.backupfile);
                if (!p.betsmissing) p.records = parsebets(files.readall(p.betsfile));
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
            if (r.numeric && match(r))
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
            std::string bytes = betsbytes(p.records);
            if (p.changed || p.betsmissing) {
                sh.fileop = "Bets Output";
                files.replacefile(p.betsfile, bytes);
            }
            if (p.changed || p.backupmissing) {
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

bool removebets(App& app, const std::function<bool(const BetRecord&)>& match,
                std::vector<RemovedBet>& removed) {
    AllBets all;
    removed.clear();
    for (size_t r = 0; r < AllBets::roundnames.size(); ++r)
        app.shared().roundnames[r + 1] = AllBets::roundnames[r];
    if (!all.load(app)) return false;
    removed = all.remove(match);
    if (all.save(app)) return true;
    removed.clear();
    return false;
}

std::string bettorname(App& app, long long number) {
    Shared& sh = app.shared();
    for (size_t i = 1; i <= sh.bettors.size(); ++i) {
        const Bettor& b = sh.bettors(i);
        if (b.name.empty()) break;
        if (b.number == number && !iszzz(b.name)) return b.name;
    }
    return std::to_string(number);
}

void printrefunds(App& app, const std::string& title,
                  const std::vector<std::pair<std::string, Money>>& lines) {
    if (equalsnocase(app.shared().printswitch, "no")) return;
    Printer& pr = app.printer();
    DocGuard guard(pr);  // ends the document, and tells of a printer failure
    pr.fontsize = 8;
    pr.fontname = "MS Sans Serif";
    pr.print({title});
    pr.print({" "});
    pr.print({"Bettor Name                  Amount"});
    pr.print({" "});
    // Names are cut to their 20-character field so the amounts stay in one column.
    for (auto& [name, amount] : lines)
        pr.print(
            {Format(Left(name, 20), "!@@@@@@@@@@@@@@@@@@@@"), Zone(), Format(amount, "Currency")});
}

}  // namespace vt
