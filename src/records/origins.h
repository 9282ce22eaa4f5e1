#pragma once
// The identities of bets and bettors, so that moving the files between computers counts every
// bet once and never makes two people one. The data files keep their exact format; beside each
// Bets and Bettors file (and backup) an identity file (grammar: identityfile.h) gives each record
// the identity it was given when it was made - a random number, carried unchanged by every
// write, export and import - and remembers the bets and bettors deleted from the file, so that
// no import brings one back. A deleted bettor's number stays in use.
//
// An identity is lost only where the file no longer says what it held. The identity file gives
// each record's text as well as its identity, so where a data file was changed by another hand
// than this program's (edited, cut, put back from elsewhere), the records it still holds
// unchanged keep their identities, matched in order by their text:
//   - a record the edit added or changed is given a new identity, marked unvouched: it may be a
//     bet other computers know by another identity, so an import matches it by what it holds;
//   - a record the edit removed or changed is remembered as deleted, with what it held, so that a
//     refund by hand travels as a deletion, and a corrected amount as the old bet deleted and the
//     new one added.
// An identity file that is missing, or that cannot be trusted at all (damaged, written for
// another file, one identity given twice), vouches for nothing: the records are matched against
// the pair's identity file instead (the backup's, or the data file's), or failing that every one
// is given a new, unvouched identity; and every identity the untrusted file named counts as
// deleted, so none of them comes back.
//
// Origins is the only writer of identity files: every write of a Bets or Bettors file through
// its Files stages the identity file in the same transaction. The records a write keeps keep
// their identities, a record it adds is given a new one and a record it drops is remembered as
// deleted; a writer that knows the identities of what it writes (export, import) hands them over
// (writeidentified, carry).
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "records/idsets.h"

namespace vt {

// The identities of a Bets file's records.
struct BetIdentities {
    std::vector<Identity> live;       // one per record, in file order
    std::vector<Identity> unvouched;  // sorted: the live ones given after their record was made
    std::vector<Identity> deleted;    // sorted, each once
    // What deleted bets held (their record's line, bettor numbers as in the file), where known:
    // a box names a bet that looks like one of them.
    std::map<Identity, std::string> deletedholds;
    // The identity file said what every record holds and named no other record (or there is
    // neither a record nor an identity file).
    bool described = true;
    // Sorted: the live identities this reading gave (to records nothing described), written
    // nowhere yet.
    std::vector<Identity> given;
};

// The identities of a Bettors file's bettors, by bettor number: its own first, then those other
// computers know the same person by.
struct BettorIdentities {
    std::map<long long, std::vector<Identity>> live;
    // Deleted bettors: their numbers stay in use, their identities never come back.
    std::map<long long, std::vector<Identity>> deleted;
    bool described = true;  // as for bets
};

// How many records the identity file of a Bets file (or, failing it, its pair's) gives, whatever
// the data file holds now; 0 when neither can be trusted.
size_t listedrecords(const Files& files, const std::string& betsfile);
// True when the identity file of a Bets or Bettors file is there.
bool hasidentityfile(const Files& files, const std::string& logical);
// Every bettor number the identity file of a Bettors file names, live or deleted, trusted or
// not: none of them is given to a new bettor.
std::vector<long long> namedbettornumbers(const Files& files, const std::string& bettorsfile);
// Stages only the identity file of a Bets or Bettors file whose contents are `bytes` (nullptr:
// none): what Origins writes, for files without it (drive sets made by hand in tests).
void stagebetidentities(Files& files, const std::string& betsfile, const std::string* bytes,
                        const BetIdentities& ids);
void stagebettoridentities(Files& files, const std::string& bettorsfile, const std::string* bytes,
                           const BettorIdentities& ids);

// Keeps the identity files of one Files in step with their data files, as long as it lives.
class Origins : public FileCompanion {
  public:
    // `random`: where new identities come from (the system's random source when empty).
    explicit Origins(Files& files, std::function<Identity()> random = {});
    ~Origins() override;
    Origins(const Origins&) = delete;
    Origins& operator=(const Origins&) = delete;

    // The identities of a file's records as it stands (staged contents inside a transaction).
    BetIdentities bets(const std::string& betsfile);
    BettorIdentities bettors(const std::string& bettorsfile);
    Identity newidentity();

    // Writes a Bets or Bettors file (bytes: its contents; nullptr: it is removed, or, when it is
    // not there, only its identity file changes) with exactly these identities.
    void writeidentified(const std::string& betsfile, const std::string* bytes,
                         const BetIdentities& ids);
    void writeidentified(const std::string& bettorsfile, const std::string* bytes,
                         const BettorIdentities& ids);

    // While it lives, every write of a Bettors file takes exactly these identities (for a
    // writer, such as writebettors, that writes the file itself).
    class Carried {
      public:
        Carried(Origins& origins, const std::string& logical, const BettorIdentities& ids);
        ~Carried();
        Carried(const Carried&) = delete;
        Carried& operator=(const Carried&) = delete;

      private:
        Origins& origins_;
        std::string logical_;
    };

    void changing(const std::string& logical, const std::string* bytes,
                  const std::string& from) override;

    // What it keeps between writes (origins.cpp).
    struct State;

  private:
    Files& files_;
    std::unique_ptr<State> state_;
    void writeorremove(const std::string& logical, const std::string* bytes);
    void keepbets(const std::string& logical, const std::string* bytes, const std::string& from);
    void keepbettors(const std::string& logical, const std::string* bytes, const std::string& from);
};

}  // namespace vt
