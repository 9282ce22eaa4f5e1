#pragma once
// The identity files kept beside the Bets and Bettors files, as files: which data file one
// describes and its check, how one is read and staged, and the sorted identity sets they hold.
// Used by the identity keeping in origins.cpp only.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "records/origins.h"

namespace vt {

class Files;

namespace idfile {

enum class Kind { none, bets, bettors };

// Where a logical path's file name starts.
size_t namestart(const std::string& logical);

// True when `s` ends with `end` in any letter case.
bool endsnocase(const std::string& s, const std::string& end);

// Which kind of data file a logical path names, by its file name.
Kind kindof(const std::string& logical);

// The other file of a pair: the backup of a data file, the data file of a backup.
std::string pairof(const std::string& logical);

// The records of a data file, as every reader splits its lines (LineCursor): each line's text.
std::vector<std::string_view> records(const std::string& bytes);

// How many records a data file holds, counted as records() splits them.
size_t countrecords(const std::string& bytes);

// Appends v in 16 lower-case hex digits.
void appendhex(std::string& out, uint64_t v);

// v in 16 lower-case hex digits.
std::string hex(uint64_t v);

// A check of some bytes, in 16 hex digits: any change of a byte, a cut, an addition or a byte
// moved from one part to the next changes it.
std::string hashhex(std::initializer_list<std::string_view> parts);

// 16 lower-case hex digits, the form identities and checks are written in.
bool parsehex(std::string_view t, uint64_t& value);

// The check of a data file an identity file's first line gives: its size, and a check of its
// name (in any letter case) and bytes, so that an identity file beside another file of the same
// bytes (another round's, swapped) does not match. A missing file reads as an empty one.
std::string checkof(const std::string& logical, const std::string& bytes);

// The first line of an identity file: the check of its data file, then the check of the lines
// after it.
inline const std::string kHeader = "ids2 ";

// The whole text of an identity file for a data file (bytes: its contents, nullptr when it
// has none) whose lines after the first are `body` (their check `bodycheck`, when known).
std::string sidetext(const std::string& logical, const std::string* bytes, const std::string& body,
                     const std::string& bodycheck = "");

// The next word of a line from pos (words stand between white space of any kind); "" at its end.
std::string_view nextword(std::string_view line, size_t& pos);

// A data file's contents as they stand: nullptr when there is none.
struct Contents {
    bool exists = false;
    std::string bytes;
    const std::string* get() const { return exists ? &bytes : nullptr; }
};

Contents contentsof(const Files& files, const std::string& logical);

// The other file of a pair, looked at only to borrow its identities: one that cannot be read
// lends none (its own write tells of the error).
bool pairholds(const Files& files, const std::string& pair, const std::string& bytes);

// An identity file as read: its lines (where each lies in its bytes: the file may be copied or
// moved), and whether it is in the form the program writes with its own lines' check matching.
struct Side {
    bool exists = false, wellformed = false;
    std::string bytes;
    std::string check;                             // the data file's check its first line gives
    std::vector<std::pair<size_t, size_t>> spans;  // every line: start and length, line end out
    size_t body = 0;                               // where the lines after the first start
    size_t lines() const { return spans.size(); }
    std::string_view line(size_t i) const {
        return std::string_view(bytes).substr(spans[i].first, spans[i].second);
    }
};

Side readside(const Files& files, const std::string& logical);
// An identity file's bytes as read.
Side sideof(std::string bytes);
// The check of its lines after the first an identity file in the program's form gives; "".
std::string bodycheckof(const Side& s);

// The lines after the first of an identity file in the form the program writes; "" otherwise.
std::string bodyof(const Side& s);

// True when the identity file, written for `logical`, describes the data file as it stands.
bool describes(const Side& s, const std::string& logical, const Contents& data);

// Stages an identity file; one that would remember nothing is removed instead.
void writeside(const Files& files, const std::string& logical, const std::string& text, bool empty);

// A new identity's random bits (the Files' own source when it has one).
uint64_t randombits(const Files& files);

// Sorts identities: a file's thousands of random ones byte by byte, in a few passes over them.
void sortids(std::vector<Identity>::iterator first, std::vector<Identity>::iterator last);

// Sorts identities and leaves each once.
void sortunique(std::vector<Identity>& v);

// A set of identities looked up in constant time: a file's thousands of identities are checked
// against another list without a search each.
class IdSet {
  public:
    explicit IdSet(size_t expected) {
        size_t size = 16;
        while (size < expected * 2) size <<= 1;
        slots_.assign(size, 0);
        mask_ = size - 1;
    }
    explicit IdSet(const std::vector<Identity>& ids) : IdSet(ids.size()) {
        for (Identity id : ids) insert(id);
    }
    // False when the set held it already.
    bool insert(Identity id) {
        if (id == 0) return !std::exchange(zero_, true);
        size_t i = slot(id);
        for (; slots_[i] != 0; i = (i + 1) & mask_)
            if (slots_[i] == id) return false;
        slots_[i] = id;
        return true;
    }
    bool has(Identity id) const {
        if (id == 0) return zero_;
        for (size_t i = slot(id); slots_[i] != 0; i = (i + 1) & mask_)
            if (slots_[i] == id) return true;
        return false;
    }

  private:
    std::vector<Identity> slots_;  // 0: empty
    size_t mask_ = 0;
    bool zero_ = false;
    size_t slot(Identity id) const { return size_t((id * 0x9e3779b97f4a7c15ull) >> 32) & mask_; }
};

// The identities of `from` that `kept` does not hold. Both are a file's identities in file order,
// thousands long, and `kept` is mostly `from` with some left out: that is seen in one pass;
// anything else is looked up in sorted order.
std::vector<Identity> without(const std::vector<Identity>& from, const std::vector<Identity>& kept);

// The sorted set `set` without the identities of `taken` (in any order).
void takeout(std::vector<Identity>& set, const std::vector<Identity>& taken);

}  // namespace idfile
}  // namespace vt
