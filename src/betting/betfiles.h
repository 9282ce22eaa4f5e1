#pragma once
#include <string>
#include <utility>
#include <vector>

#include "records/shared.h"

namespace vt {

class App;

// The first row of entries holding this entry number; 0 when none does.
long entryrow(const Shared& sh, long number);

// The round option k (1 "Round1" .. 4 "Final") of a round key; 0 for another text.
int roundoption(const std::string& round);
// Makes round option k current: curround, saveround and the round's banner.
void chooseround(Shared& sh, int k);

// One bet record as it stands in a Bets file: bettor, entry, type, amount, CR LF.
std::string betrecord(const Bet& bet);

// A bet and the flight whose Bets pair it goes to.
using FlightBet = std::pair<long, Bet>;

// Records held by the round's Bets file of a flight (0 when it is missing); -1 after a read error,
// which has been shown.
long countbets(App& app, const std::string& round, long flight);

// Appends every bet to the Bets and the Betsbackup file of its flight, in one transaction: when
// it fails the file-error box is shown and no file holds any of the bets.
bool appendbets(App& app, const std::string& round, const std::vector<FlightBet>& bets);

// How a removal of one bet from a flight's pair ended.
enum class Removed { Done, NotFound, Failed };
// Removes the first record equal to the bet from the round's Bets file of the flight and from its
// Betsbackup file, keeping every other record as it stands, in one transaction. Nothing changes
// unless both files hold the bet.
Removed removebet(App& app, const std::string& round, long flight, const Bet& bet);

}  // namespace vt
