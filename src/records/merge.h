#pragma once
// The merge of one Bets file of a drive set into this computer's: which of the drive's bets are
// here already (by identity, or by what they hold where an identity was given late), which are
// new, which bets here the other computer deleted, and which new bets are of a bettor deleted
// here. Plain tables in, a plan out: the import screen asks, writes and reports.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "records/origins.h"
#include "records/shared.h"

namespace vt {

// The bets of one Bets file with their identities (ids.live: one per row).
struct FlightSet {
    std::vector<Bet> rows;
    std::vector<std::string> texts;  // each record's line as it stands in the file
    BetIdentities ids;
};

// How the drive's bettor numbers are known here.
struct BettorLinks {
    std::map<long, long> local;    // drive number -> local number of the same bettor
    std::map<long, long> deleted;  // drive number -> local number of a bettor deleted here
};

// What becomes of one flight's Bets file here.
struct FlightPlan {
    std::vector<size_t> kept;     // the local rows that stay, in file order
    std::vector<Bet> added;       // the drive's rows added (drive bettor numbers), in order
    std::vector<bool> returning;  // per added row: its bettor was deleted here
    BetIdentities ids;            // the file's identities afterwards: kept rows, then added ones
    long newbets = 0;             // bets new here
    long here = 0;                // known here by identity
    long matched = 0;             // known here by what they hold
    long deletedhere = 0;  // deleted here (by identity or by what they held): not brought back
    long removed = 0;      // bets here the other computer deleted
    bool changed = false;  // the file or its identities change
};

// The counts of a whole import, for its last box.
struct MergeTotals {
    long newbets = 0, here = 0, matched = 0, deletedhere = 0, removed = 0;
    void add(const FlightPlan& plan) {
        newbets += plan.newbets;
        here += plan.here;
        matched += plan.matched;
        deletedhere += plan.deletedhere;
        removed += plan.removed;
    }
};

// `local`: this computer's file (its ids.deleted also holding its backup's); `drive`: the drive's
// file (its ids.deleted only where its identity file is trusted). Every drive row's bettor is
// either 0, in links.local or in links.deleted.
FlightPlan planflight(const FlightSet& local, const FlightSet& drive, const BettorLinks& links);

}  // namespace vt
