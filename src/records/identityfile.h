#pragma once
// The identity files kept beside the Bets and Bettors files and their backups: where each lies,
// its one grammar, and its one reader and one writer. What the identities mean and how they
// follow each write of a data file is origins.h's business.
//
// An identity file is named "." + its data file's name + ".ids" and lies beside it. Its lines end
// with CR LF, its words stand one blank apart, and an identity is 16 lower-case hex digits.
//
//   ids3 <name> <lines>          the first line: a check of the data file's name (in upper case),
//                                then a check of every byte after this line
//
// Beside a Bets file, or its backup, the lines after it are
//   <id> <record>                a record of the file, in file order: its identity and its text
//   ?<id> <record>               the same for a record given its identity after it was made: it
//                                is unvouched until an import settles it
//   -<id> <record>               a bet deleted from the file, with what it held
//   -<id>                        a bet deleted from the file whose text is not known
//   <id>                         a blank line between the records (a bad record, kept in place)
// and beside a Bettors file, or its backup,
//   <number> <id>... <record>    a bettor: the identities the same person is known by, and his
//                                record's text
//   -<number> <id>...            a bettor deleted from the file: his number stays in use and his
//                                identities never come back
//
// A record's text is its line as the data file holds it, without the line end. The earlier form,
// "ids2 <size> <check> <lines>" with lines that give no record text, is read only where it
// describes its data file byte for byte (its first line checks the data file's name and bytes).
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "records/idsets.h"

namespace vt {

class Files;

namespace idfile {

// ---- Which files ----

enum class Kind { none, bets, bettors };

// Where a logical path's file name starts.
size_t namestart(const std::string& logical);
// True when `s` ends with `end` in any letter case.
bool endsnocase(const std::string& s, const std::string& end);
// Which kind of data file a logical path names, by its file name.
Kind kindof(const std::string& logical);
// The other file of a pair: the backup of a data file, the data file of a backup.
std::string pairof(const std::string& logical);
// The identity file of a Bets or Bettors file (or a backup); "" for any other file.
std::string sidecarof(const std::string& logical);
// The data file an identity file describes; "" when `logical` is no identity file.
std::string describedby(const std::string& logical);

// ---- Records and checks ----

// The records of a data file, as every reader splits its lines (LineCursor): each line's text.
std::vector<std::string_view> records(const std::string& bytes);
// Appends v in 16 lower-case hex digits.
void appendhex(std::string& out, uint64_t v);
std::string hex(uint64_t v);
// 16 lower-case hex digits, the form identities and checks are written in.
bool parsehex(std::string_view t, uint64_t& value);
// A check of some bytes, in 16 hex digits: any change of a byte, a cut, an addition or a byte
// moved from one part to the next changes it.
std::string hashhex(std::initializer_list<std::string_view> parts);

// ---- Reading ----

// A data file's contents as they stand.
struct Contents {
    bool exists = false;
    std::string bytes;
    const std::string* get() const { return exists ? &bytes : nullptr; }
};
// A file too large to read holds no record this program wrote: it reads as empty.
Contents contentsof(const Files& files, const std::string& logical);
// The other file of a pair holds exactly `bytes`; one that cannot be read does not.
bool pairholds(const Files& files, const std::string& pair, const std::string& bytes);

// One record line of a Bets identity file.
struct BetLine {
    Identity id = 0;
    bool unvouched = false;
    std::string_view record;  // "" in the earlier form, and for a blank line
};
// One bettor line of a Bettors identity file.
struct BettorLine {
    long long number = 0;
    std::vector<Identity> ids;
    std::string_view record;  // "" in the earlier form
};

// An identity file as read. `trusted` when it is in the program's form, its own lines' check
// matches, it was written for the data file it lies beside (by name), and no identity or bettor
// number is given twice; only then are the lines given. An earlier-form file is trusted only
// while it describes its data file byte for byte. The views point into `bytes`: a Side is not
// copied, only moved (its bytes' storage moves with it).
struct Side {
    bool exists = false, trusted = false;
    bool earlier = false;  // in the earlier form: the lines give no record texts
    std::string bytes;
    std::vector<BetLine> bets;
    std::vector<BettorLine> bettors;
    std::map<Identity, std::string_view> deletedbets;  // a deleted bet's record, "" unknown
    std::map<long long, std::vector<Identity>> deletedbettors;
    // Every identity and bettor number the file names in any form, trusted or not: what it may
    // have given out.
    std::vector<Identity> named;
    std::vector<long long> numbers;
    std::string_view bodycheck() const;  // the check its first line gives of its lines
    size_t body = 0;                     // where the lines after the first start

    Side() = default;
    Side(Side&&) = default;
    Side& operator=(Side&&) = default;
    Side(const Side&) = delete;
    Side& operator=(const Side&) = delete;
};

// Reads the identity file of `logical` (none: a Side that does not exist), checked against the
// data file's contents `data` (the earlier form needs them).
Side readside(const Files& files, const std::string& logical, const Contents& data);
// The same from an identity file's bytes.
Side parseside(const std::string& logical, std::string bytes, const Contents& data);

// ---- Writing ----

// What a Bets identity file says: each record's identity and whether it is unvouched, and the
// deleted bets with what they held where known.
struct BetsText {
    const std::vector<Identity>& live;
    const IdSet* unvouched;  // nullptr: none
    const std::vector<Identity>& deleted;
    const std::map<Identity, std::string>& deletedholds;
};
// The lines after the first of a Bets identity file whose data file holds `records`.
std::string betsbody(const BetsText& ids, const std::vector<std::string_view>& records);
// The lines after the first of a Bettors identity file; `records`: each bettor's record text.
std::string bettorsbody(const std::map<long long, std::vector<Identity>>& live,
                        const std::map<long long, std::vector<Identity>>& deleted,
                        const std::map<long long, std::string_view>& records);
// The whole identity file of `logical` with these lines after its first (their check
// `bodycheck`, when already known).
std::string sidetext(const std::string& logical, const std::string& body,
                     const std::string& bodycheck = "");
// True when `text` is, byte for byte, what sidetext() gives for these lines.
bool issidetext(std::string_view text, const std::string& logical, std::string_view body,
                std::string_view bodycheck);
// Stages an identity file; "" removes it instead (it would remember nothing).
void writeside(Files& files, const std::string& logical, const std::string& text);

}  // namespace idfile
}  // namespace vt
