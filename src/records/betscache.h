#pragma once
// The Bets files as last read, kept while each file is unchanged on disk, so the screens that
// read the same files on every click (the odds board, a bettor's bets, the sums) parse each one
// once.
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fileerror.h"
#include "platform/files.h"
#include "records/filelines.h"

namespace vt {

// One line of a Bets file with what the readers make of it.
struct BetsLine {
    long number = 0;        // 1-based line number in the file
    bool readable = false;  // as FileLine::readable
    LineBet asbet;          // linebet(): the bet lists' reading
    Bet bet;                // the sums' reading of the four fields
    bool noentry = false;   // the entry field is empty: the sums stop there
    bool stops = false;     // the sums' reading fails on this line (its error is in `stops`)
};

struct BetsLines {
    std::vector<BetsLine> lines;
    std::vector<size_t> ends;  // where each line's bytes end in the file (its line end included)
    // By line index: the error the sums stop with, and the bad-line error of each line that is
    // not a whole bet (badline()), for the readers that tell of it.
    std::map<size_t, FileError> stops, bad;
};

class BetsCache {
  public:
    // The lines of a Bets file; FileError as Files::readall throws it. The file is read again
    // when its stamp changed, when it changed so lately that a write in the same clock tick could
    // hide behind an equal stamp (unless this program's own commit made that change), and while
    // a transaction is open (its staged contents are read instead, and kept nowhere). What it
    // read is compared with the bytes kept, and only the lines that differ are parsed again: a
    // bet appended or a line removed costs that line.
    // A file larger than one of `maxbets` bets can be is refused unread (checkrecordfilesize()),
    // and one without a line while its backup holds some is refused as emptied (emptiedfile()).
    std::shared_ptr<const BetsLines> get(const Files& files, const std::string& logical);
    long maxbets = 5000;
    // Forgets every file (a new program folder, a test that wants a cold start).
    void clear() { files_.clear(), order_.clear(); }
    // The files kept at most: one round's 15 and one more.
    static constexpr size_t capacity = nflights + 1;

  private:
    struct Kept {
        FileStamp stamp;
        // The stamp tells the file unchanged: false for a file read too soon after it changed,
        // whose lines serve only to read its next bytes from.
        bool trusted = false;
        std::shared_ptr<const BetsLines> lines;
        std::string bytes;  // what `lines` were read from
    };
    std::map<std::string, Kept> files_;
    std::list<std::string> order_;  // most recently used first
    void keep(const std::string& logical, Kept kept);
    std::shared_ptr<const BetsLines> fetch(const Files& files, const std::string& logical);
};

// Reads a Bets file's bytes line by line as the readers do; errors name `path`.
std::shared_ptr<const BetsLines> parsebetslines(const std::string& bytes, const std::string& path);

}  // namespace vt
