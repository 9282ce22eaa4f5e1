#pragma once
// The lines of a data file, each with the fields it holds. Records are one to a line; a line
// that does not hold one whole record is a bad record, shown and removed on its own.
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "records/shared.h"

namespace vt {

class Context;

// One line of a file: where its bytes lie (its line end included) and its fields.
struct FileLine {
    size_t begin = 0, end = 0;
    std::string text;  // the line without its end
    std::vector<Field> fields;
};

// The lines that hold something, in file order; blank lines hold no record and are passed over.
std::vector<FileLine> filelines(const std::string& bytes);
// The same lines one at a time, read into one FileLine whose storage is reused: a long file is
// read without an allocation per line.
class LineCursor {
public:
    explicit LineCursor(const std::string& bytes) : bytes_(bytes) {}
    bool next(FileLine& line);

private:
    const std::string& bytes_;
    size_t pos_ = 0;
};
// The fields of one line: split by commas, text in double quotes, a trailing comma an empty field.
std::vector<Field> linefields(const std::string& text);
// The file's bytes without that line (its line end included); every other byte is kept.
std::string withoutline(const std::string& bytes, const FileLine& line);

// A bare whole number field ("12", not "12.5", "" or "\"12\"").
bool wholefield(const Field& f, long long& out);
// A whole-number field as the readers take it: empty reads 0; false for any other text.
bool numberfield(const Field& f, long long& out);

// The fields of one Bets line read as a bet: `whole` when the four fields read as a bet (an empty
// field reads 0, but an empty bettor field names no bettor); `hasbettor` when the bettor field
// names a bettor, whatever the rest holds.
struct LineBet {
    Bet bet;
    bool whole = false, hasbettor = false;
};
LineBet linebet(const std::vector<Field>& fields);

// Every entry and bettor number some record names: Players, Playersbackup, Bettors,
// Bettorsbackup, and the Bets and Betsbackup files of every round and flight. A new number is
// never one of these, so no one inherits another's bets or records.
struct NumbersInUse {
    std::set<long long> entries, bettors;
};
// Reads every file (a missing one names nothing); false after a read error, shown in its box.
bool numbersinuse(Context& cx, NumbersInUse& out);
// The first number from `from` (at least `lowest`) that is not in use and not the 999 / 9999
// marker.
long freenumber(const std::set<long long>& used, long from, long lowest);

}  // namespace vt
