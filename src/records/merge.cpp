#include "records/merge.h"

#include <algorithm>
#include <tuple>

#include "records/filelines.h"

namespace vt {

namespace {

// ---- Bettors ----

bool shares(const std::vector<Identity>& a, const std::vector<Identity>& b) {
    for (Identity id : b)
        if (std::find(a.begin(), a.end(), id) != a.end()) return true;
    return false;
}

// The working state of the bettor merge: the plan it grows and the look-ups it makes.
class BettorMerger {
  public:
    BettorMerger(BettorPlan& plan, const BettorTables& tables) : plan_(plan), tables_(tables) {}

    // The row of the first live bettor `pred` holds for; npos when none.
    template <class Pred>
    size_t find(Pred pred) const {
        for (size_t i = 0; i < plan_.merged.size(); ++i) {
            const Bettor& b = plan_.merged[i];
            if (b.number != 999 && !b.name.empty() && pred(b)) return i;
        }
        return std::string::npos;
    }
    bool numbered(long number) const {
        return find([&](const Bettor& b) { return b.number == number; }) != std::string::npos;
    }
    // The next bettor number no bettor, record or identity file here names.
    long freeticket() {
        long& t = plan_.nextticket;
        while (t == 999 || t == 9999 || tables_.inuse.count(t) || numbered(t)) ++t;
        return t++;
    }
    // A bettor row put in number order (after the rows of lower numbers); false when full.
    bool insert(const Bettor& b) {
        if (plan_.merged.size() >= tables_.capacity) return !(plan_.full = true);
        auto at = std::find_if(plan_.merged.begin(), plan_.merged.end(),
                               [&](const Bettor& row) { return row.number > b.number; });
        plan_.merged.insert(at, b);
        return true;
    }
    // The drive's bettor `from` is the local bettor `to` from now on, also for the next imports.
    void link(long from, long to, const std::vector<Identity>& theirs) {
        plan_.links.local[from] = to;
        std::vector<Identity>& list = plan_.ids.live[to];
        for (Identity id : theirs)
            if (std::find(list.begin(), list.end(), id) == list.end()) list.push_back(id);
        if (list.empty() && tables_.newidentity) list.push_back(tables_.newidentity());
    }
    const std::vector<Identity>& theirs(long number) const {
        static const std::vector<Identity> none;
        auto it = tables_.driveids.live.find(number);
        return it == tables_.driveids.live.end() ? none : it->second;
    }

  private:
    BettorPlan& plan_;
    const BettorTables& tables_;
};

// Phase 1 of a drive bettor: the same person as a bettor here, or one deleted here, by identity.
bool byidentity(BettorPlan& plan, BettorMerger& m, long number,
                const std::vector<Identity>& theirs) {
    for (auto& [local, list] : plan.ids.live)
        if (shares(list, theirs)) {
            m.link(number, static_cast<long>(local), theirs);
            ++plan.known;
            return true;
        }
    for (auto& [local, list] : plan.ids.deleted)
        if (shares(list, theirs)) {
            plan.links.deleted[number] = static_cast<long>(local);
            ++plan.deleted;
            return true;
        }
    return false;
}

// Phase 2: by number and name, or by name where the cashier says the two are one person; a name
// two people share is made new ("1" added) until it is free. Otherwise the bettor is added.
bool bynameoradd(BettorPlan& plan, BettorMerger& m, BettorQuestions& ask, const Bettor& b,
                 const std::vector<Identity>& theirs) {
    std::string name = b.name;
    for (;;) {
        size_t bynumber = m.find([&](const Bettor& r) { return r.number == b.number; });
        if (bynumber != std::string::npos && plan.merged[bynumber].name == name) {
            m.link(b.number, b.number, theirs);
            ++plan.known;
            return true;
        }
        size_t byname = m.find([&](const Bettor& r) { return r.name == name; });
        if (byname == std::string::npos) break;
        if (!ask.twobettors(name)) {
            m.link(b.number, plan.merged[byname].number, theirs);
            ++plan.known;
            return true;
        }
        name += "1";
        ask.renamed(name);
    }
    long to = m.freeticket();
    if (!m.insert(Bettor{to, name})) return false;
    m.link(b.number, to, theirs);
    ++plan.added;
    return true;
}

}  // namespace

BettorPlan mergebettors(const BettorTables& tables, BettorQuestions& ask) {
    BettorPlan plan;
    plan.merged = tables.here;
    plan.ids = tables.hereids;
    plan.nextticket = tables.nextticket;
    BettorMerger m(plan, tables);
    for (const Bettor& b : tables.drive) {
        const std::vector<Identity>& theirs = m.theirs(b.number);
        if (!byidentity(plan, m, b.number, theirs) && !bynameoradd(plan, m, ask, b, theirs)) break;
    }
    return plan;
}

bool bringback(BettorPlan& plan, const BettorTables& tables, long drivenumber) {
    BettorMerger m(plan, tables);
    long local = plan.links.deleted.at(drivenumber);
    auto drive = std::find_if(tables.drive.begin(), tables.drive.end(),
                              [&](const Bettor& b) { return b.number == drivenumber; });
    long to = local;
    if (to == 999 || to == 9999 || m.numbered(to)) to = m.freeticket();
    if (!m.insert(Bettor{to, drive == tables.drive.end() ? std::string() : drive->name}))
        return false;
    std::vector<Identity> mine = plan.ids.deleted[local];
    if (to == local)
        plan.ids.deleted.erase(local);
    else
        plan.ids.deleted[local].clear();  // his old number stays in use
    plan.ids.live[to] = mine;
    plan.links.deleted.erase(drivenumber);
    --plan.deleted;
    m.link(drivenumber, to, m.theirs(drivenumber));
    return true;
}

// ---- Bets ----

namespace {

// What a bet holds, its bettor by local number: bets given their identity late are matched by it.
using Holds = std::tuple<long, long, long, int64_t>;

Holds holds(long bettor, const Bet& b) { return {bettor, b.entry, b.type, b.amount.units()}; }

// The rows of one holding not matched yet: unvouched and vouched ones apart, each taken from the
// front.
struct Candidates {
    std::vector<size_t> unvouched, vouched;
    size_t u = 0, v = 0;
    bool take(bool alsovouched, size_t& row) {
        if (u < unvouched.size()) {
            row = unvouched[u++];
            return true;
        }
        if (alsovouched && v < vouched.size()) {
            row = vouched[v++];
            return true;
        }
        return false;
    }
};

// The bet a deleted record's line held; false when it does not read as one.
bool heldbet(const std::string& text, std::vector<Field>& fields, Bet& out) {
    if (!splitfields(text, fields) || fields.size() != 4) return false;
    LineBet b = linebet(fields);
    out = b.bet;
    return b.whole;
}

// One flight's merge, step by step; each step is a method, called in order by planflight().
class FlightMerge {
  public:
    FlightMerge(const FlightSet& local, const FlightSet& drive, const BettorLinks& links)
        : local_(local),
          drive_(drive),
          links_(links),
          rows_(std::min(local.ids.live.size(), local.rows.size())),
          n_(std::min(drive.rows.size(), drive.ids.live.size())),
          ids_(local.ids.live.begin(), local.ids.live.begin() + long(rows_)),
          unvouched_(rows_),
          keep_(rows_, true),
          fate_(n_, Fate::fresh) {
        for (size_t i = 0; i < rows_; ++i)
            unvouched_[i] = hasidentity(local.ids.unvouched, ids_[i]);
    }

    // The bets here the other computer deleted go; by identity only, never by what they hold.
    void removedeletions() {
        for (size_t i = 0; i < rows_; ++i)
            if (hasidentity(drive_.ids.deleted, ids_[i])) {
                keep_[i] = false;
                ++plan_.removed;
                if (i < local_.texts.size())
                    plan_.ids.deletedholds.emplace(ids_[i], local_.texts[i]);
            }
    }

    // Each drive row whose identity is known here: a bet here, or one deleted here.
    void knownbyidentity() {
        for (size_t i = 0; i < rows_; ++i) (keep_[i] ? livehere_ : deletedhere_).push_back(ids_[i]);
        sortunique(livehere_);
        sortunique(deletedhere_);
        addidentities(deletedhere_, local_.ids.deleted);
        for (size_t j = 0; j < n_; ++j) {
            Identity id = drive_.ids.live[j];
            if (hasidentity(livehere_, id))
                fate_[j] = Fate::here;
            else if (hasidentity(deletedhere_, id))
                fate_[j] = Fate::deleted;
        }
    }

    // A drive row unknown here may still be a bet here, where one of the two was given its
    // identity late: an unvouched row matches any bet here of the same holdings that the drive
    // does not know, a vouched one only an unvouched bet here. Each bet here is matched once; the
    // vouched drive rows go first, as they can take only unvouched bets here, so that as many are
    // matched as can be, as the other computer will match them.
    void matchbycontent() {
        std::vector<Identity> drivelive(drive_.ids.live.begin(),
                                        drive_.ids.live.begin() + long(n_));
        sortunique(drivelive);
        std::map<Holds, Candidates> byholds;
        for (size_t i = 0; i < rows_; ++i) {
            if (!keep_[i] || hasidentity(drivelive, ids_[i])) continue;
            Candidates& c = byholds[holds(local_.rows[i].bettor, local_.rows[i])];
            (unvouched_[i] ? c.unvouched : c.vouched).push_back(i);
        }
        for (bool late : {false, true})
            for (size_t j = 0; j < n_; ++j) {
                const Bet& bet = drive_.rows[j];
                Identity id = drive_.ids.live[j];
                if (fate_[j] != Fate::fresh || isunvouched(j) != late || returning(bet)) continue;
                auto c = byholds.find(holds(bettorof(bet), bet));
                size_t row;
                if (c == byholds.end() || !c->second.take(late, row)) continue;
                fate_[j] = Fate::matched;
                plan_.matchedbets.push_back(local_.rows[row]);
                // Settled: a bet given its identity late takes the one it was made with; two
                // late ones agree on the smaller, as the other computer will.
                if (unvouched_[row] && !late) {
                    ids_[row] = id;
                    unvouched_[row] = false;
                } else if (unvouched_[row]) {
                    ids_[row] = std::min(ids_[row], id);
                }
            }
    }

    // A bet kept beside a like bet deleted on the other side, whose identity this side never
    // knew, stays (a deletion removes by identity only), and is named to be checked.
    void notebesidedeletions() {
        std::vector<Field> fields;
        std::set<Holds> gonehere, gonethere;
        for (auto& [id, held] : local_.ids.deletedholds) {
            Bet b;
            if (heldbet(held, fields, b)) gonehere.insert(holds(b.bettor, b));
        }
        for (auto& [id, held] : drive_.ids.deletedholds) {
            Bet b;
            if (hasidentity(deletedhere_, id) || hasidentity(livehere_, id) ||
                !heldbet(held, fields, b) || !known(b))
                continue;
            gonethere.insert(holds(bettorof(b), b));
            b.bettor = bettorof(b);
            std::string text = betrecord(b);
            plan_.ids.deletedholds.emplace(id, text.substr(0, text.size() - 2));
        }
        for (size_t j = 0; j < n_; ++j)
            if (fate_[j] == Fate::fresh &&
                gonehere.count(holds(bettorof(drive_.rows[j]), drive_.rows[j]))) {
                Bet b = drive_.rows[j];
                b.bettor = bettorof(b);
                plan_.besidedeletion.push_back(b);
            }
        for (size_t i = 0; i < rows_; ++i)
            if (keep_[i] && gonethere.count(holds(local_.rows[i].bettor, local_.rows[i])))
                plan_.besidedeletion.push_back(local_.rows[i]);
    }

    // The rows left are new here: added after the bets kept, with their identities.
    FlightPlan finish() {
        std::vector<Identity> addedids, addedunvouched;
        for (size_t j = 0; j < n_; ++j) {
            switch (fate_[j]) {
                case Fate::here:
                    ++plan_.here;
                    continue;
                case Fate::deleted:
                    ++plan_.deletedhere;
                    continue;
                case Fate::matched:
                    ++plan_.matched;
                    continue;
                case Fate::fresh:
                    break;
            }
            plan_.added.push_back(drive_.rows[j]);
            plan_.returning.push_back(returning(drive_.rows[j]));
            addedids.push_back(drive_.ids.live[j]);
            if (isunvouched(j)) addedunvouched.push_back(drive_.ids.live[j]);
            ++plan_.newbets;
        }
        BetIdentities& out = plan_.ids;
        for (size_t i = 0; i < rows_; ++i)
            if (keep_[i]) {
                plan_.kept.push_back(i);
                out.live.push_back(ids_[i]);
                if (unvouched_[i]) out.unvouched.push_back(ids_[i]);
            }
        out.live.insert(out.live.end(), addedids.begin(), addedids.end());
        out.unvouched.insert(out.unvouched.end(), addedunvouched.begin(), addedunvouched.end());
        sortunique(out.unvouched);
        out.deleted = deletedhere_;
        addidentities(out.deleted, drive_.ids.deleted);
        for (auto& [id, held] : local_.ids.deletedholds) out.deletedholds.emplace(id, held);
        plan_.changed = plan_.removed || plan_.newbets || out.live != local_.ids.live ||
                        out.deleted != local_.ids.deleted || out.unvouched != local_.ids.unvouched;
        return std::move(plan_);
    }

  private:
    enum class Fate { fresh, here, deleted, matched };
    const FlightSet& local_;
    const FlightSet& drive_;
    const BettorLinks& links_;
    const size_t rows_, n_;
    FlightPlan plan_;
    std::vector<Identity> ids_;  // the local rows' identities, settled where matched
    std::vector<bool> unvouched_, keep_;
    std::vector<Fate> fate_;  // per drive row
    std::vector<Identity> livehere_, deletedhere_;

    bool isunvouched(size_t j) const {
        return hasidentity(drive_.ids.unvouched, drive_.ids.live[j]);
    }
    bool returning(const Bet& bet) const { return bet.bettor && links_.deleted.count(bet.bettor); }
    bool known(const Bet& bet) const {
        return !bet.bettor || links_.local.count(bet.bettor) || links_.deleted.count(bet.bettor);
    }
    // A drive bet's bettor by local number.
    long bettorof(const Bet& bet) const {
        if (!bet.bettor) return 0;
        auto gone = links_.deleted.find(bet.bettor);
        return gone != links_.deleted.end() ? gone->second : links_.local.at(bet.bettor);
    }
};

}  // namespace

FlightPlan planflight(const FlightSet& local, const FlightSet& drive, const BettorLinks& links) {
    FlightMerge merge(local, drive, links);
    merge.removedeletions();
    merge.knownbyidentity();
    merge.matchbycontent();
    merge.notebesidedeletions();
    return merge.finish();
}

}  // namespace vt
