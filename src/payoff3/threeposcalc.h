#pragma once
// The three-position payoff calculation, apart from the screen: finishers with their dead-heat
// copies, every bettor's money per payoff category, the carry-over of pools without bets and the
// seven payoffs per dollar. Every pool that pays pays out all of its money less the house cut.
#include <array>
#include <map>
#include <string>

#include "platform/money.h"

namespace vt {

struct Shared;

// Columns of a winning bettor's row, one per payoff category.
enum PayCol { colww = 2, colwp = 3, colws = 4, colpp = 5, colps = 6, colss = 7, colww2 = 8 };

// A bettor's money on finishers per column (2..8).
using WinningRow = std::array<Money, 9>;

struct ThreePosCalc {
    // Finishers (entry numbers, slots 1..10, 0 empty) and their counts as entered.
    std::array<long, 11> win{}, place{}, show{};
    int W = 0, P = 0, S = 0;
    // Money per finisher slot of each category (ww item 2 is the second winner of a two-way
    // dead heat) and the category totals by column (column 2 holds ww and ww2 together).
    std::array<Money, 11> ww{}, wp{}, ws{}, pp{}, ps{}, ss{};
    std::array<Money, 9> total{};
    // Bettor number -> money per column (2..8), bettors with money on a finisher only.
    std::map<long, WinningRow> winning;
    // Pools of the flight, changed by the carry-over rules.
    Money winpool, placepool, showpool;
    // Payoffs per dollar by column, after the house cut.
    std::array<double, 9> pay{};
    bool nowinningbets = false;

    // Takes the finishers, counts them and makes the dead-heat copies.
    void setfinishers(const std::array<long, 11>& w, const std::array<long, 11>& p,
                      const std::array<long, 11>& s);
    // Adds one bet (bettor, entry, type 1..3, amount) to every category it falls in.
    void addbet(long bettor, long entry, long type, Money amount);
    // Moves the money of categories without bets and works out the payoffs; pct is the house %.
    void computepayoffs(double pct);
};

// The payoff per dollar of a column, in the shared state.
double& payofcol(Shared& sh, int col);
// What a bet is paid at a payoff, and a bettor's row in all seven columns (each to 1/10000).
Money paidincol(Money bet, double payoff);
Money bettorpayout(Shared& sh, const WinningRow& row);
// True when the row holds money in any column.
bool haswinnings(const WinningRow& row);

}  // namespace vt
