// The merge of a drive's Bets file into this computer's, on tables.
#include "records/merge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "records/filelines.h"

namespace vt {
namespace {

Bet bet(long bettor, long entry, long type, int dollars) {
    return Bet{bettor, entry, type, Money::dollars(dollars)};
}

// A Bets file's rows with their identities; `late` are the unvouched ones.
FlightSet flight(const std::vector<Bet>& rows, const std::vector<Identity>& live,
                 const std::vector<Identity>& deleted = {},
                 const std::vector<Identity>& late = {}) {
    FlightSet f;
    f.rows = rows;
    for (const Bet& b : rows) f.texts.push_back(betrecord(b));
    f.ids.live = live;
    f.ids.deleted = deleted;
    f.ids.unvouched = late;
    std::sort(f.ids.unvouched.begin(), f.ids.unvouched.end());
    return f;
}

// Drive bettor 7 is bettor 3 here; drive bettor 8 was deleted here.
BettorLinks links() {
    BettorLinks l;
    l.local = {{7, 3}};
    l.deleted = {{8, 9}};
    return l;
}

TEST(Merge, BetsAreKnownByIdentityAndDeletionsTravelBothWays) {
    FlightSet here =
        flight({bet(3, 1, 1, 2), bet(3, 2, 1, 5), bet(3, 1, 1, 2)}, {10, 11, 12}, {20});
    FlightSet drive =
        flight({bet(7, 1, 1, 2), bet(7, 4, 2, 1), bet(7, 2, 2, 9)}, {10, 30, 20}, {11});
    FlightPlan plan = planflight(here, drive, links());
    EXPECT_EQ(plan.here, 1);         // 10
    EXPECT_EQ(plan.newbets, 1);      // 30
    EXPECT_EQ(plan.deletedhere, 1);  // 20 was deleted here
    EXPECT_EQ(plan.removed, 1);      // 11 was deleted there
    EXPECT_EQ(plan.matched, 0);      // two equal vouched bets are two bets
    EXPECT_EQ(plan.kept, (std::vector<size_t>{0, 2}));
    ASSERT_EQ(plan.added.size(), 1u);
    EXPECT_EQ(plan.added[0].bettor, 7);  // translated by the caller
    EXPECT_EQ(plan.ids.live, (std::vector<Identity>{10, 12, 30}));
    EXPECT_EQ(plan.ids.deleted, (std::vector<Identity>{11, 20}));
    EXPECT_TRUE(plan.changed);

    // The same drive again: nothing changes.
    FlightSet after = here;
    after.rows = {bet(3, 1, 1, 2), bet(3, 1, 1, 2), bet(3, 4, 2, 1)};
    after.ids = plan.ids;
    FlightPlan again = planflight(after, drive, links());
    EXPECT_FALSE(again.changed);
    EXPECT_EQ(again.here, 1 + 1);
    EXPECT_EQ(again.newbets, 0);
}

TEST(Merge, UnvouchedBetsAreMatchedByWhatTheyHoldEachOnce) {
    // Here: two equal bets and another, all known only since their identities were lost.
    FlightSet here =
        flight({bet(3, 1, 1, 2), bet(3, 1, 1, 2), bet(3, 2, 3, 4)}, {50, 51, 52}, {}, {50, 51, 52});
    // The drive knows them by the identities they were made with, plus a third equal bet and a
    // bet of the same holdings but another amount.
    FlightSet drive =
        flight({bet(7, 1, 1, 2), bet(7, 1, 1, 2), bet(7, 1, 1, 2), bet(7, 2, 3, 5)}, {1, 2, 3, 4});
    FlightPlan plan = planflight(here, drive, links());
    EXPECT_EQ(plan.matched, 2);
    EXPECT_EQ(plan.newbets, 2);
    EXPECT_EQ(plan.here, 0);
    // Settled: the bets here take the identities they were made with, and are vouched again.
    EXPECT_EQ(plan.ids.live, (std::vector<Identity>{1, 2, 52, 3, 4}));
    EXPECT_EQ(plan.ids.unvouched, (std::vector<Identity>{52}));

    // A late bet on the drive matches a vouched one here, but a vouched one on the drive never
    // matches a vouched one here; two late ones agree on the smaller identity.
    FlightSet mine = flight({bet(3, 1, 1, 2), bet(3, 2, 2, 2)}, {60, 90}, {}, {90});
    FlightSet theirs =
        flight({bet(7, 1, 1, 2), bet(7, 1, 1, 2), bet(7, 2, 2, 2)}, {70, 71, 80}, {}, {70, 80});
    FlightPlan p = planflight(mine, theirs, links());
    EXPECT_EQ(p.matched, 2);  // 70 with 60, 80 with 90
    EXPECT_EQ(p.newbets, 1);  // 71: vouched, and 60 is taken
    EXPECT_EQ(p.ids.live, (std::vector<Identity>{60, 80, 71}));
    EXPECT_EQ(p.ids.unvouched, (std::vector<Identity>{80}));

    // As many are matched as can be: the drive's vouched bet takes the late one here, whatever
    // the order of the drive's rows.
    FlightSet pair = flight({bet(3, 1, 1, 2), bet(3, 1, 1, 2)}, {20, 21}, {}, {21});
    FlightSet copies = flight({bet(7, 1, 1, 2), bet(7, 1, 1, 2)}, {30, 31}, {}, {30});
    FlightPlan r = planflight(pair, copies, links());
    EXPECT_EQ(r.matched, 2);
    EXPECT_EQ(r.newbets, 0);
    EXPECT_EQ(r.ids.live, (std::vector<Identity>{20, 31}));

    // A bet here the drive knows by identity is not matched again by its holdings.
    FlightSet one = flight({bet(3, 1, 1, 2)}, {40});
    FlightSet two = flight({bet(7, 1, 1, 2), bet(7, 1, 1, 2)}, {40, 41}, {}, {41});
    FlightPlan q = planflight(one, two, links());
    EXPECT_EQ(q.here, 1);
    EXPECT_EQ(q.matched, 0);
    EXPECT_EQ(q.newbets, 1);
}

// A bet whose identity was never seen here is real money: it is never dropped because a like
// bet was deleted here, whether one of the two was unvouched or not; each such bet is named.
TEST(Merge, ABetNeverSeenHereIsKeptBesideALikeDeletionAndNamed) {
    FlightSet here = flight({}, {}, {5, 6});
    here.ids.deletedholds = {{5, "3,1,1,2"}, {6, "3,2,1,4"}};
    FlightSet drive = flight({bet(7, 1, 1, 2), bet(7, 2, 1, 4), bet(7, 2, 1, 4), bet(7, 2, 2, 4)},
                             {40, 41, 42, 43}, {}, {41});
    FlightPlan plan = planflight(here, drive, links());
    EXPECT_EQ(plan.deletedhere, 0);
    EXPECT_EQ(plan.newbets, 4);
    EXPECT_EQ(plan.ids.live, (std::vector<Identity>{40, 41, 42, 43}));
    ASSERT_EQ(plan.besidedeletion.size(), 3u);
    EXPECT_EQ(plan.besidedeletion[0].bettor, 3);  // named with the bettor's number here
    EXPECT_EQ(plan.besidedeletion[1].amount, Money::dollars(4));
    EXPECT_EQ(plan.ids.deletedholds.size(), 2u);
}

// A deletion from the other computer removes a bet here only by its identity, never an
// unvouched bet here by what it held: the bets here like it stay, and are named.
TEST(Merge, ADeletionElsewhereRemovesOnlyByIdentityAndNamesTheLikeBetsKept) {
    FlightSet here =
        flight({bet(3, 1, 1, 2), bet(3, 1, 1, 2), bet(3, 2, 1, 2)}, {50, 51, 52}, {}, {51, 52});
    // Deleted there by identities unknown here, each telling what its bet held (drive numbers).
    FlightSet drive = flight({}, {}, {60, 61});
    drive.ids.deletedholds = {{60, "7,1,1,2"}, {61, "7,2,1,3"}};
    FlightPlan plan = planflight(here, drive, links());
    EXPECT_EQ(plan.removed, 0);
    EXPECT_EQ(plan.kept, (std::vector<size_t>{0, 1, 2}));
    EXPECT_EQ(plan.ids.live, (std::vector<Identity>{50, 51, 52}));
    EXPECT_EQ(plan.besidedeletion.size(), 2u);  // the two equal bets; the other amount differs
    // What the deletions held is remembered here, told with the bettor's number here.
    EXPECT_EQ(plan.ids.deletedholds.at(60), "3,1,1,2");
    EXPECT_EQ(plan.ids.deleted, (std::vector<Identity>{60, 61}));
}

// Two computers that exchange sets decide alike: after a round trip both hold the same bets,
// however many of a kind each side holds and which of them were unvouched.
TEST(Merge, BothSidesOfARoundTripHoldTheSameBets) {
    BettorLinks same;
    same.local = {{3, 3}};
    auto holdings = [](const FlightSet& f) {
        std::multiset<std::string> out;
        for (const Bet& b : f.rows) out.insert(betrecord(b));
        return out;
    };
    auto apply = [](const FlightSet& f, const FlightPlan& p) {
        FlightSet out;
        for (size_t k : p.kept) out.rows.push_back(f.rows[k]);
        out.rows.insert(out.rows.end(), p.added.begin(), p.added.end());
        for (const Bet& b : out.rows) out.texts.push_back(betrecord(b));
        out.ids = p.ids;
        return out;
    };
    Identity next = 100;
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 4; ++b)
            for (int lateness = 0; lateness < 16; ++lateness) {
                std::vector<Bet> ra(size_t(a), bet(3, 1, 1, 2)), rb(size_t(b), bet(3, 1, 1, 2));
                std::vector<Identity> ia, ib, la, lb;
                for (int i = 0; i < a; ++i) {
                    ia.push_back(next++);
                    if (lateness & (1 << i)) la.push_back(ia.back());
                }
                for (int i = 0; i < b; ++i) {
                    ib.push_back(next++);
                    if (lateness & (8 >> i)) lb.push_back(ib.back());
                }
                FlightSet sa = flight(ra, ia, {}, la), sb = flight(rb, ib, {}, lb);
                FlightSet a1 = apply(sa, planflight(sa, sb, same));
                FlightSet b1 = apply(sb, planflight(sb, a1, same));
                FlightSet a2 = apply(a1, planflight(a1, b1, same));
                SCOPED_TRACE(std::to_string(a) + " " + std::to_string(b) + " " +
                             std::to_string(lateness));
                EXPECT_EQ(holdings(a2), holdings(b1));
                EXPECT_FALSE(planflight(b1, a2, same).changed);
            }
}

TEST(Merge, NewBetsOfABettorDeletedHereComeBackAndHisOldOnesDoNot) {
    FlightSet here = flight({}, {}, {5});
    FlightSet drive = flight({bet(8, 1, 1, 3), bet(8, 2, 1, 4), bet(0, 1, 2, 1)}, {5, 6, 7});
    FlightPlan plan = planflight(here, drive, links());
    EXPECT_EQ(plan.deletedhere, 1);
    EXPECT_EQ(plan.newbets, 2);
    ASSERT_EQ(plan.added.size(), 2u);
    EXPECT_EQ(plan.returning, (std::vector<bool>{true, false}));
    EXPECT_EQ(plan.added[0].amount, Money::dollars(4));
}

}  // namespace
}  // namespace vt
