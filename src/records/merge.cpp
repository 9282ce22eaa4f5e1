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
    std::vector<Identity> livehere;
    std::map<Holds, Candidates> byholds;
    for (size_t i = 0; i < ids.size() && i < local.rows.size(); ++i) {
        unvouched[i] = hasidentity(here.unvouched, ids[i]);
        if (hasidentity(drive.ids.deleted, ids[i])) {
            keep[i] = false;
            ++plan.removed;
            if (i < local.texts.size()) plan.ids.deletedholds.emplace(ids[i], local.texts[i]);
            if (unvouched[i]) plan.ids.deletedlate.push_back(ids[i]);
            continue;
        }
        livehere.push_back(ids[i]);
        if (hasidentity(drivelive, ids[i])) continue;
        Candidates& c = byholds[holds(local.rows[i].bettor, local.rows[i])];
        (unvouched[i] ? c.unvouched : c.vouched).push_back(i);
    }
    std::sort(livehere.begin(), livehere.end());
    std::vector<Identity> deleted = here.deleted;
    addidentities(deleted, drive.ids.deleted);
    // What the bets deleted here held, where known: a bet the drive knows by another identity
    // is told from them the same way (rows are not needed, only how many are left).
    std::map<Holds, Candidates> gonebyholds;
    std::vector<Field> fields;
    for (auto& [id, held] : here.deletedholds) {
        LineBet b;
        if (!splitfields(held, fields) || fields.size() != 4 || !(b = linebet(fields)).whole)
            continue;
        Candidates& c = gonebyholds[holds(b.bet.bettor, b.bet)];
        (hasidentity(here.deletedlate, id) ? c.unvouched : c.vouched).push_back(0);
    }

    std::vector<Identity> addedids, addedunvouched;
    for (size_t j = 0; j < drive.rows.size() && j < drive.ids.live.size(); ++j) {
        const Bet& bet = drive.rows[j];
        Identity id = drive.ids.live[j];
        bool late = hasidentity(drive.ids.unvouched, id);
        if (hasidentity(livehere, id)) {
            ++plan.here;
            continue;
        }
        if (hasidentity(deleted, id)) {
            ++plan.deletedhere;
            continue;
        }
        auto deletedbettor = bet.bettor ? links.deleted.find(bet.bettor) : links.deleted.end();
        bool gone = deletedbettor != links.deleted.end();
        long bettor = !bet.bettor ? 0 : gone ? deletedbettor->second : links.local.at(bet.bettor);
        // An identity unknown here may still be a bet here or one deleted here, where one of the
        // two was given its identity late: an unvouched bet matches any bet of the same holdings,
        // a vouched one only an unvouched bet here. Each bet here is matched once.
        size_t row;
        auto d = gonebyholds.find(holds(bettor, bet));
        if (d != gonebyholds.end() && d->second.take(late, row)) {
            ++plan.deletedhere;
            continue;
        }
        if (!gone) {
            auto c = byholds.find(holds(bettor, bet));
            if (c != byholds.end() && c->second.take(late, row)) {
                ++plan.matched;
                // Settled: a bet given its identity late takes the one it was made with; two
                // late ones agree on the smaller, as the other computer will.
                if (unvouched[row] && !late) {
                    ids[row] = id;
                    unvouched[row] = false;
                } else if (unvouched[row]) {
                    ids[row] = std::min(ids[row], id);
                }
                continue;
            }
        }
        plan.added.push_back(bet);
        plan.returning.push_back(gone);
        addedids.push_back(id);
        if (late) addedunvouched.push_back(id);
        ++plan.newbets;
    }

    for (size_t i = 0; i < ids.size() && i < local.rows.size(); ++i)
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
