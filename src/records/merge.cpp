#include "records/merge.h"

#include <algorithm>
#include <tuple>

#include "records/filelines.h"

namespace vt {

namespace {

// What a bet holds, its bettor by local number: bets given their identity late are matched by it.
using Holds = std::tuple<long, long, long, int64_t>;

Holds holds(long bettor, const Bet& b) { return {bettor, b.entry, b.type, b.amount.units()}; }

// The local rows of one content not yet matched: unvouched and vouched ones apart, each taken
// from its front.
struct Candidates {
    std::vector<size_t> unvouched, vouched;
    size_t u = 0, v = 0;
    bool take(bool fromvouched, size_t& row) {
        if (u < unvouched.size()) {
            row = unvouched[u++];
            return true;
        }
        if (fromvouched && v < vouched.size()) {
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

}  // namespace

FlightPlan planflight(const FlightSet& local, const FlightSet& drive, const BettorLinks& links) {
    FlightPlan plan;
    const BetIdentities& here = local.ids;
    std::vector<Identity> drivelive = drive.ids.live;
    std::sort(drivelive.begin(), drivelive.end());

    // The bets here: those the other computer deleted go; the others stay, and those the drive
    // does not know by identity may be matched by what they hold.
    std::vector<Identity> ids(here.live.begin(), here.live.end());
    std::vector<bool> unvouched(ids.size()), keep(ids.size(), true);
    std::map<Holds, Candidates> byholds;
    const size_t rows = std::min(ids.size(), local.rows.size());
    for (size_t i = 0; i < rows; ++i) {
        unvouched[i] = hasidentity(here.unvouched, ids[i]);
        if (hasidentity(drive.ids.deleted, ids[i])) {
            keep[i] = false;
            ++plan.removed;
            if (i < local.texts.size()) plan.ids.deletedholds.emplace(ids[i], local.texts[i]);
            if (unvouched[i]) plan.ids.deletedlate.push_back(ids[i]);
            continue;
        }
        if (hasidentity(drivelive, ids[i])) continue;
        Candidates& c = byholds[holds(local.rows[i].bettor, local.rows[i])];
        (unvouched[i] ? c.unvouched : c.vouched).push_back(i);
    }
    // A bet the other computer deleted, where it tells what the bet held, removes one bet here
    // of those holdings that is known here only by an identity given late.
    std::vector<Field> fields;
    std::vector<Identity> herelive = here.live;
    std::sort(herelive.begin(), herelive.end());
    for (auto& [id, held] : drive.ids.deletedholds) {
        Bet b;
        if (hasidentity(herelive, id) || hasidentity(here.deleted, id) ||
            !hasidentity(drive.ids.deleted, id) || !heldbet(held, fields, b))
            continue;
        auto to = b.bettor ? links.local.find(b.bettor) : links.local.end();
        if (b.bettor && to == links.local.end()) continue;
        auto c = byholds.find(holds(b.bettor ? to->second : 0, b));
        size_t row;
        if (c == byholds.end() || !c->second.take(false, row)) continue;
        keep[row] = false;
        ++plan.removed;
        if (row < local.texts.size()) plan.ids.deletedholds.emplace(ids[row], local.texts[row]);
        plan.ids.deletedlate.push_back(ids[row]);
    }
    // The bets that stay here, and every identity deleted here now, each gathered once.
    std::vector<Identity> livehere, gone;
    for (size_t i = 0; i < rows; ++i)
        if (keep[i]) livehere.push_back(ids[i]);
    for (size_t i = 0; i < ids.size(); ++i)
        if (!keep[i]) gone.push_back(ids[i]);
    std::sort(livehere.begin(), livehere.end());
    std::vector<Identity> deleted = here.deleted;
    addidentities(deleted, drive.ids.deleted);
    addidentities(deleted, gone);
    // What the bets deleted here held, where known: a bet the drive knows by another identity
    // is told from them the same way (rows are not needed, only how many are left).
    std::map<Holds, Candidates> gonebyholds;
    for (auto& [id, held] : here.deletedholds) {
        Bet b;
        if (!heldbet(held, fields, b)) continue;
        Candidates& c = gonebyholds[holds(b.bettor, b)];
        (hasidentity(here.deletedlate, id) ? c.unvouched : c.vouched).push_back(0);
    }

    // Each drive row: known here by identity, deleted here, matched by what it holds, or new.
    enum class Fate { fresh, here, deleted, matched };
    size_t n = std::min(drive.rows.size(), drive.ids.live.size());
    std::vector<Fate> fate(n, Fate::fresh);
    for (size_t j = 0; j < n; ++j) {
        Identity id = drive.ids.live[j];
        if (hasidentity(livehere, id))
            fate[j] = Fate::here;
        else if (hasidentity(deleted, id))
            fate[j] = Fate::deleted;
    }
    auto bettorof = [&](const Bet& bet) {
        if (!bet.bettor) return 0L;
        auto gone = links.deleted.find(bet.bettor);
        return gone != links.deleted.end() ? gone->second : links.local.at(bet.bettor);
    };
    // An identity unknown here may still be a bet here or one deleted here, where one of the two
    // was given its identity late: an unvouched bet matches any bet of the same holdings, a
    // vouched one only an unvouched bet here. Each bet here is matched once; the vouched drive
    // rows are matched first, as they can take only unvouched bets here, so that as many are
    // matched as can be.
    for (bool late : {false, true})
        for (size_t j = 0; j < n; ++j) {
            Identity id = drive.ids.live[j];
            if (fate[j] != Fate::fresh || hasidentity(drive.ids.unvouched, id) != late) continue;
            const Bet& bet = drive.rows[j];
            Holds what = holds(bettorof(bet), bet);
            size_t row;
            auto d = gonebyholds.find(what);
            if (d != gonebyholds.end() && d->second.take(late, row)) {
                fate[j] = Fate::deleted;
                continue;
            }
            if (bet.bettor && links.deleted.count(bet.bettor)) continue;
            auto c = byholds.find(what);
            if (c == byholds.end() || !c->second.take(late, row)) continue;
            fate[j] = Fate::matched;
            // Settled: a bet given its identity late takes the one it was made with; two late
            // ones agree on the smaller, as the other computer will.
            if (unvouched[row] && !late) {
                ids[row] = id;
                unvouched[row] = false;
            } else if (unvouched[row]) {
                ids[row] = std::min(ids[row], id);
            }
        }

    std::vector<Identity> addedids, addedunvouched;
    for (size_t j = 0; j < n; ++j) {
        const Bet& bet = drive.rows[j];
        Identity id = drive.ids.live[j];
        switch (fate[j]) {
            case Fate::here:
                ++plan.here;
                continue;
            case Fate::deleted:
                ++plan.deletedhere;
                continue;
            case Fate::matched:
                ++plan.matched;
                continue;
            case Fate::fresh:
                break;
        }
        plan.added.push_back(bet);
        plan.returning.push_back(bet.bettor && links.deleted.count(bet.bettor));
        addedids.push_back(id);
        if (hasidentity(drive.ids.unvouched, id)) addedunvouched.push_back(id);
        ++plan.newbets;
    }

    for (size_t i = 0; i < rows; ++i)
        if (keep[i]) {
            plan.kept.push_back(i);
            plan.ids.live.push_back(ids[i]);
            if (unvouched[i]) plan.ids.unvouched.push_back(ids[i]);
        }
    plan.ids.live.insert(plan.ids.live.end(), addedids.begin(), addedids.end());
    addidentities(plan.ids.unvouched, addedunvouched);
    std::sort(plan.ids.unvouched.begin(), plan.ids.unvouched.end());
    plan.ids.deleted = deleted;
    for (auto& [id, held] : here.deletedholds) plan.ids.deletedholds.emplace(id, held);
    std::sort(plan.ids.deletedlate.begin(), plan.ids.deletedlate.end());
    addidentities(plan.ids.deletedlate, here.deletedlate);
    plan.changed = plan.removed || plan.newbets || plan.ids.live != here.live ||
                   plan.ids.deleted != here.deleted || plan.ids.unvouched != here.unvouched;
    return plan;
}

}  // namespace vt
