#pragma once
#include <string>
#include <utility>
#include <vector>

#include "records/filelines.h"
#include "records/shared.h"

namespace vt {

class Host;

// The first row of entries holding this entry number; 0 when none does.
long entryrow(const Shared& sh, long number);

// A bet and the flight whose Bets pair it goes to.
using FlightBet = std::pair<long, Bet>;

// Lines held by the round's Bets file of a flight (0 when it is missing), counted up to one more
// than the bet capacity; -1 after a read error, which has been shown.
long countbets(Host& app, const std::string& round, long flight);

// Appends every bet to the Bets and the Betsbackup file of its flight, in one transaction: when
// it fails the file-error box is shown and no file holds any of the bets.
bool appendbets(Host& app, const std::string& round, const std::vector<FlightBet>& bets);

// How a removal of one bet from a flight's pair ended.
enum class Removed { Done, NotFound, BadRecord, Failed };
// Rewrites the round's Bets and Betsbackup files of the flight from the Bets file's records
// without the first one equal to the bet and without bettor-0 records, each other record kept
// as it stands; both files commit together. Refused, with a message naming the file, while the
// Bets file holds a record that does not read whole.
Removed removebet(Host& app, const std::string& round, long flight, const Bet& bet);

}  // namespace vt
