#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/money.h"

namespace vt {

class Host;

// One line of a Bets file as it stands on disk, with what its fields read as. `whole` when it
// reads as a bet; a line that does not (edited by hand) is never matched.
struct BetRecord {
    std::string text;  // the line as written
    std::vector<Field> fields;
    long line = 0;  // its line number in the file
    bool whole = false;
    long long bettor = 0, entry = 0;
    Money amount;
};

// A Bets file and its Betsbackup copy for one round and flight.
struct BetsPair {
    std::string round;
    long flight = 0;
    std::string betsfile, backupfile;
    bool betsmissing = false, backupmissing = false;
    std::string betsbytes, backupbytes;  // as read
    std::vector<BetRecord> records;
};

// A bet taken out of its file, for the refund list.
struct RemovedBet {
    long long bettor = 0;
    Money amount;
    size_t pair = 0;  // index of its pair, in round and flight order
};

// The bets of all four rounds and 15 flights, read whole.
class AllBets {
  public:
    // Reads every Bets and Betsbackup file (a missing one counts as empty). On a read error
    // shows the file-error box, titled "Bets Input", and returns false.
    bool load(Host& app);
    // True when any Bets file holds a record.
    bool anybets() const;

    std::vector<BetsPair> pairs;
};

// Reads every Bets file through, line by line, takes out the bets whose field `field` (0 bettor,
// 1 entry) is `number` and rewrites the pairs that changed (and any backup that is not equal to
// its Bets file), all in one transaction. A line of a Bets file that names the
// number there but does not read whole stops it before any write, with a message naming the file
// (`what` says whose record it is). False (after the box or message) when nothing changed; then
// `removed` is empty.
bool removebets(Host& app, size_t field, long long number, const std::string& what,
                std::vector<RemovedBet>& removed);

// Reads up to `limit` lines of a Bets file.
std::vector<BetRecord> parsebets(const std::string& bytes, size_t limit = SIZE_MAX);

// The name of a bettor number from the bettors table, or the number itself when it has none.
std::string bettorname(Host& app, long long number);

}  // namespace vt
