#pragma once
// The import's merge of a drive set into this computer's files, on plain tables: first the
// drive's bettors into the bettors here, then each Bets file of the set into the one here. Tables
// in, a plan out; the import screen asks, writes and reports.
//
// A bet is known by its identity. Only where one side's identity was given after the bet was
// made (unvouched: its identity file was lost or the record was added by hand) may two bets be
// taken as one by what they hold (bettor, player/team, type, amount, counted with multiplicity),
// and every bet matched that way is named, so the cashier can check it against the tickets.
// A deletion removes a bet only by identity; a bet never seen here is never dropped because a
// like bet was deleted, but is named where one side of the pair is unvouched. Both computers of an
// exchange decide alike, so after a round trip they hold the same bets.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "records/origins.h"
#include "records/shared.h"

namespace vt {

// ---- Bettors ----

// How the drive's bettor numbers are known here.
struct BettorLinks {
    std::map<long, long> local;    // drive number -> local number of the same bettor
    std::map<long, long> deleted;  // drive number -> local number of a bettor deleted here
};

// The questions the bettor merge asks of the cashier.
class BettorQuestions {
  public:
    virtual ~BettorQuestions() = default;
    // Are two different bettors named `name` (one here, one on the drive)?
    virtual bool twobettors(const std::string& name) = 0;
    // The drive's bettor is added here under a new name.
    virtual void renamed(const std::string& name) = 0;
};

// The bettors of both sides.
struct BettorTables {
    std::vector<Bettor> here;  // this computer's bettor rows, in file order
    BettorIdentities hereids;
    std::vector<Bettor> drive;
    BettorIdentities driveids;
    std::set<long long> inuse;              // numbers some record or identity file here names
    long nextticket = 2;                    // where the search for a free bettor number starts
    size_t capacity = 0;                    // the most bettor rows the table holds
    std::function<Identity()> newidentity;  // for a bettor that comes with none
};

// The bettors here after the merge.
struct BettorPlan {
    std::vector<Bettor> merged;  // the rows here, with the drive's new bettors where they belong
    BettorIdentities ids;        // every merged bettor's identities, by local number
    BettorLinks links;
    long added = 0, known = 0, deleted = 0;
    long nextticket = 2;
    bool full = false;  // a bettor could not be added: the table is full
};

// The drive's bettors merged into the ones here. A drive bettor is the same person as one here
// when they share an identity (the bettor came back from a computer that had it from here), or
// by number and name; another bettor here of the same name is asked about. A bettor deleted here
// stays deleted (links.deleted) unless the drive brings new bets of his: bringback().
BettorPlan mergebettors(const BettorTables& tables, BettorQuestions& ask);
// A bettor deleted here whose new bets the drive brings comes back with them: under his old
// number while no bettor holds it, otherwise under a free one, in number order. False when the
// table is full.
bool bringback(BettorPlan& plan, const BettorTables& tables, long drivenumber);

// ---- Bets ----

// The bets of one Bets file with their identities (ids.live: one per row).
struct FlightSet {
    std::vector<Bet> rows;
    std::vector<std::string> texts;  // each record's line as it stands in the file
    BetIdentities ids;
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
    long deletedhere = 0;         // deleted here by identity: not brought back
    long removed = 0;             // bets here the other computer deleted
    // The bets to check against the tickets (local bettor numbers): each matched by what it
    // holds, and each kept beside a like bet deleted here or there while one of the two was
    // unvouched.
    std::vector<Bet> matchedbets, besidedeletion;
    bool changed = false;  // the file or its identities change
};

// `local`: this computer's file (its ids.deleted also holding its backup's); `drive`: the drive's
// file (its ids.deleted only where its identity file is trusted). Every drive row's bettor is
// either 0, in links.local or in links.deleted.
FlightPlan planflight(const FlightSet& local, const FlightSet& drive, const BettorLinks& links);

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

}  // namespace vt
