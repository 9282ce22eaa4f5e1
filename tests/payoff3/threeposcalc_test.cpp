#include "payoff3/threeposcalc.h"

#include <gtest/gtest.h>

#include "records/payoffsums.h"

namespace vt {
namespace {

struct B {
    long bettor, entry, type;
    double amount;
};

// Every pool that pays pays out all of its money less the house cut: house + payouts = pools.
// The sum of what each bettor is paid, to the cent.
Money paidout(const ThreePosCalc& c) {
    Money total;
    for (const auto& [b, row] : c.winning)
        for (int col = colww; col <= colww2; ++col) total += paidincol(row[col], c.pay[col]);
    return tocents(total);
}

Money cents(int64_t n) { return Money::units(n * (Money::scale / 100)); }

ThreePosCalc run(std::array<long, 11> w, std::array<long, 11> p, std::array<long, 11> s,
                 const std::vector<B>& bets, double pct = 10) {
    ThreePosCalc c;
    c.setfinishers(w, p, s);
    Money pools[4] = {};
    for (const B& b : bets) {
        c.addbet(b.bettor, b.entry, b.type, Money::fromdouble(b.amount));
        pools[b.type] += Money::fromdouble(b.amount);
    }
    c.winpool = pools[1];
    c.placepool = pools[2];
    c.showpool = pools[3];
    c.computepayoffs(pct);
    return c;
}

// Entry 9 is never a finisher and carries the rest of each pool.
const std::vector<B> kWorked = {{2, 1, 1, 20}, {2, 1, 2, 10}, {2, 1, 3, 5},
                                {3, 2, 2, 20}, {3, 2, 3, 5},  {4, 3, 3, 5},
                                {5, 9, 1, 80}, {5, 9, 2, 30}, {5, 9, 3, 15}};

TEST(ThreePosCalc, WorkedExampleNoDeadHeat) {
    auto c = run({0, 1}, {0, 2}, {0, 3}, kWorked);
    EXPECT_DOUBLE_EQ(c.pay[colww], 4.5);
    EXPECT_DOUBLE_EQ(c.pay[colwp], 2.7);
    EXPECT_DOUBLE_EQ(c.pay[colpp], 1.35);
    EXPECT_DOUBLE_EQ(c.pay[colws], 1.8);
    EXPECT_DOUBLE_EQ(c.pay[colps], 1.8);
    EXPECT_DOUBLE_EQ(c.pay[colss], 1.8);
    EXPECT_DOUBLE_EQ(c.pay[colww2], 0);
    EXPECT_EQ(paidout(c) + Money::dollars(19), Money::dollars(190));
}

TEST(ThreePosCalc, CarryOverRulesKeepEveryDollar) {
    // Only WIN money on the winner: the PLACE and SHOW pools go to it too.
    auto onlywin = run({0, 1}, {0, 2}, {0, 3},
                       {{2, 1, 1, 10}, {5, 9, 1, 40}, {5, 9, 2, 30}, {5, 9, 3, 20}}, 0);
    EXPECT_DOUBLE_EQ(onlywin.pay[colww], 10.0);
    EXPECT_EQ(paidout(onlywin), Money::dollars(100));
    // No PLACE money on finishers; SHOW 30 on the winner, 10 on the second: split 3 : 1.
    auto split =
        run({0, 1}, {0, 2}, {0, 3},
            {{2, 1, 1, 10}, {2, 1, 3, 30}, {3, 2, 3, 10}, {5, 9, 2, 40}, {5, 9, 3, 20}}, 0);
    // SHOW pool 60: a third each, the SHOW finisher's third split 3 : 1; PLACE pool 40 split 3 : 1.
    EXPECT_NEAR(split.pay[colws] * 30, 20 + 30 + 15, 1e-9);
    EXPECT_NEAR(split.pay[colps] * 10, 20 + 10 + 5, 1e-9);
    EXPECT_EQ(paidout(split), Money::dollars(10 + 40 + 60));
}

TEST(ThreePosCalc, NoWinningBetsPaysNothing) {
    auto c = run({0, 1}, {0, 2}, {0, 3}, {{5, 9, 1, 40}});
    EXPECT_TRUE(c.nowinningbets);
    for (int col = colww; col <= colww2; ++col) EXPECT_EQ(c.pay[col], 0);
}

TEST(ThreePosCalc, TwoWayDeadHeatForWinConservesMoney) {
    // Case B: WIN money on both winners, PLACE money on one winner only, a third finisher.
    auto both = run({0, 1, 2}, {}, {0, 3},
                    {{2, 1, 1, 10},
                     {3, 2, 1, 30},
                     {2, 1, 2, 10},
                     {4, 3, 3, 5},
                     {2, 2, 3, 5},
                     {5, 9, 1, 60},
                     {5, 9, 2, 50},
                     {5, 9, 3, 20}},
                    10);
    EXPECT_DOUBLE_EQ(both.pay[colww], 50 / 10.0 * 0.9);
    EXPECT_DOUBLE_EQ(both.pay[colww2], 50 / 30.0 * 0.9);
    EXPECT_GT(both.pay[colwp], 0);
    EXPECT_EQ(paidout(both), cents((100 + 60 + 30) * 90));
    // PLACE money only on the second winner is paid, not lost.
    auto second =
        run({0, 1, 2}, {}, {0, 3}, {{2, 1, 1, 10}, {3, 2, 2, 10}, {4, 3, 3, 5}, {5, 9, 2, 40}}, 0);
    EXPECT_EQ(paidout(second), Money::dollars(10 + 50 + 5));
    // WIN money only on the second winner, nothing else: every pool carried to it.
    auto carried =
        run({0, 1, 2}, {}, {0, 3}, {{3, 2, 1, 10}, {5, 9, 1, 10}, {5, 9, 2, 30}, {5, 9, 3, 20}}, 0);
    EXPECT_EQ(carried.pay[colww], 0);
    EXPECT_NEAR(carried.pay[colww2] * 10, 70, 1e-9);
}

TEST(ThreePosCalc, ThreeWayDeadHeatSharesOnePlaceAndShowPayoff) {
    auto c = run({0, 1, 2, 3}, {}, {},
                 {{2, 1, 1, 10},
                  {3, 2, 1, 10},
                  {2, 1, 2, 10},
                  {4, 3, 2, 10},
                  {2, 2, 3, 6},
                  {5, 9, 1, 20},
                  {5, 9, 2, 40},
                  {5, 9, 3, 24}},
                 0);
    EXPECT_EQ(c.ww[1], Money::dollars(20));  // WIN bets on any winner add to item 1
    EXPECT_DOUBLE_EQ(c.pay[colwp], c.pay[colpp]);
    EXPECT_DOUBLE_EQ(c.pay[colws], c.pay[colss]);
    EXPECT_EQ(c.winning[2][colwp], Money::dollars(10));
    EXPECT_EQ(c.winning[2][colpp], Money::dollars(10));
    EXPECT_EQ(paidout(c), Money::dollars(40 + 60 + 30));
}

TEST(ThreePosCalc, DeadHeatsForPlaceAndShowConserveMoney) {
    // Case D: two PLACE finishers, who are also the SHOW finishers.
    auto d = run({0, 1}, {0, 2, 3}, {},
                 {{2, 1, 1, 10},
                  {2, 1, 2, 10},
                  {3, 2, 2, 10},
                  {4, 3, 2, 5},
                  {3, 2, 3, 5},
                  {4, 3, 3, 5},
                  {2, 1, 3, 4},
                  {5, 9, 1, 30},
                  {5, 9, 2, 15},
                  {5, 9, 3, 16}},
                 5);
    EXPECT_DOUBLE_EQ(d.pay[colps], d.pay[colss]);
    EXPECT_EQ(paidout(d), cents((40 + 40 + 30) * 95));
    // Case E: two SHOW finishers, one without SHOW money.
    auto e = run({0, 1}, {0, 2}, {0, 3, 4},
                 {{2, 1, 1, 10},
                  {2, 1, 2, 10},
                  {3, 2, 2, 10},
                  {2, 1, 3, 3},
                  {3, 2, 3, 3},
                  {4, 3, 3, 3},
                  {5, 9, 1, 30},
                  {5, 9, 3, 21}},
                 5);
    EXPECT_EQ(paidout(e), cents((40 + 20 + 30) * 95));
}

TEST(ThreePosCalc, CountsOutsideTheCasesPayNothing) {
    for (auto c : {run({0, 1}, {}, {}, kWorked), run({0, 1, 2}, {}, {}, kWorked),
                   run({0, 1}, {0, 2}, {}, kWorked)})
        for (int col = colww; col <= colww2; ++col) EXPECT_EQ(c.pay[col], 0);
}

// Bettors' money and the category totals are exact: thirty dimes are three dollars to the unit.
TEST(ThreePosCalc, MoneyAddsUpExactly) {
    std::vector<B> bets(30, B{2, 1, 1, 0.10});
    bets.push_back({5, 9, 1, 7});
    auto c = run({0, 1}, {0, 2}, {0, 3}, bets, 0);
    EXPECT_EQ(c.ww[1], Money::dollars(3));
    EXPECT_EQ(c.total[colww], Money::dollars(3));
    EXPECT_EQ(c.winning[2][colww], Money::dollars(3));
    EXPECT_EQ(paidincol(c.winning[2][colww], c.pay[colww]), Money::dollars(10));
}

}  // namespace
}  // namespace vt
