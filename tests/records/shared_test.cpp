// The facts every screen shares: round keys and the bettor look-up.
#include "records/shared.h"

#include <gtest/gtest.h>

namespace vt::test {
namespace {

TEST(Shared, RoundKeysAreOneBasedAndEveryOtherTextIsNoRound) {
    for (int r = 1; r <= nrounds; ++r) EXPECT_EQ(roundindex(roundkeys[r]), r);
    EXPECT_EQ(roundindex("Final"), 4);
    for (const char* other : {"", "round1", "Round5", "Round1 ", "FINAL"})
        EXPECT_EQ(roundindex(other), 0);
    Shared sh;
    sh.banner3 = "Third";
    sh.chooseround(3);
    EXPECT_EQ(sh.curround, "Round3");
    EXPECT_EQ(sh.saveround, "Round3");
    EXPECT_EQ(sh.banner, "Third");
    sh.setround(4);
    EXPECT_EQ(sh.curround, "Final");
    EXPECT_EQ(sh.saveround, "Round3");  // only chooseround remembers the round
}

TEST(Shared, BettorLookUpStopsAtTheFirstEmptyNameAndSkipsDeletedRows) {
    Shared sh;
    sh.maxbettors = 8;
    sh.sizetables();
    const Bettor rows[] = {{1, "AnyBettor"}, {5, "zzz"}, {5, "SMITH-BOB"}, {7, "JONES-AL"},
                           {7, "JONES-TWO"}, {9, ""},    {11, "PAST-END"}};
    for (size_t i = 0; i < std::size(rows); ++i) sh.bettors(i + 1) = rows[i];
    BettorLookup look(sh);
    EXPECT_EQ(look.row(1), 1);
    EXPECT_EQ(look.row(5), 3);                  // the deleted row is passed over
    EXPECT_EQ(look.find(7)->name, "JONES-AL");  // the first row of a number
    EXPECT_EQ(look.row(9), 0);                  // an empty name ends the table
    EXPECT_EQ(look.find(11), nullptr);
    EXPECT_EQ(look.row(999), 0);
}

TEST(Shared, EachCapacitySizesOnlyItsOwnTables) {
    Shared sh;
    sh.maxbets = 10, sh.maxbettors = 5, sh.maxplayers = 6;
    sh.sizetables();
    sh.bettors(1) = {1, "AnyBettor"};
    sh.maxbets = 20;
    sh.sizebets();
    EXPECT_EQ(sh.bets.size(), 20u);
    EXPECT_EQ(sh.newbets.size(), 20u);
    EXPECT_EQ(sh.bettors(1).name, "AnyBettor");
    sh.maxplayers = 9;
    sh.sizeplayers();
    EXPECT_EQ(sh.entries.size(), 9u);
    EXPECT_EQ(sh.summ.size(), 10u);  // the totals row after the entries
    sh.sizebettors();
    EXPECT_EQ(sh.bettors(1).name, "");
    EXPECT_EQ(sh.winningbets.size(), 6u);
}

}  // namespace
}  // namespace vt::test
