#pragma once
// The identities of bets and bettors, so that moving the files between computers counts every
// bet once and never makes two people one. The data files keep their exact format; beside each
// Bets and Bettors file (and their backups) an identity file ("." name ".ids") holds:
//   - a check of the data file's name and bytes, and a check of its own lines: an identity file
//     whose checks do not match (cut, emptied, edited, swapped, copied from elsewhere, beside
//     another file) is never trusted, nor one that gives one identity to two records;
//   - the identity of each of its records, in order: a random number given when the bet or
//     bettor was made and carried unchanged by every write, export and import. A bet given its
//     identity after it was made (its identity file was missing or untrusted) is marked
//     unvouched, and stays so until an import matches it by what it holds;
//   - the identities deleted from the file (a bet removed, a bettor deleted, a file cleared), so
//     that no import brings one back. A deleted bettor's number stays in use.
// The hook keeporigins installs is the only writer of identity files: every write of a Bets or
// Bettors file stages its identity file in the same transaction. The records it keeps keep their
// identities, a record it adds is given a new one and a record it drops is remembered as deleted;
// a writer that knows the identities of what it writes (export, import) hands them over with
// writeidentified.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vt {

class Files;

using Identity = uint64_t;

// The identity file of a Bets or Bettors file (or a backup); "" for any other file.
std::string sidecarof(const std::string& logical);
// The data file an identity file describes; "" when `logical` is no identity file.
std::string describedby(const std::string& logical);
// Makes every write of a Bets or Bettors file through files put its identity file in step.
void keeporigins(Files& files);
// A new random identity.
Identity newidentity(const Files& files);

// The identities of a Bets file's records (its lines that hold something).
struct BetIdentities {
    std::vector<Identity> live;       // one per record, in file order
    std::vector<Identity> deleted;    // sorted, each once
    std::vector<Identity> unvouched;  // sorted: the live ones given after their record was made
    // What deleted bets held (their record's line, bettor numbers as here), where known, and
    // which of them were unvouched when deleted: a bet known elsewhere by another identity is
    // told from them by what it holds.
    std::map<Identity, std::string> deletedholds;
    std::vector<Identity> deletedlate;  // sorted
    // An identity file matched the data file (its own, or its pair's where the two files hold
    // the same bytes), or there is neither a record nor an identity file. Otherwise each record
    // was given a new, unvouched identity here (`fresh`) and every identity the untrusted
    // identity file named counts as deleted.
    bool described = true;
    bool fresh = false;
};
// Of the file's contents as they stand (staged contents inside a transaction).
BetIdentities betidentities(const Files& files, const std::string& betsfile);
// How many records the identity file of a Bets file (or, failing it, its pair's) lists, whatever
// the data file holds now; 0 when neither is in the form the program writes.
size_t listedrecords(const Files& files, const std::string& betsfile);
// True when the identity file of a Bets or Bettors file is there.
bool hasidentityfile(const Files& files, const std::string& logical);

// The identities of a Bettors file's bettors, by bettor number: its own first, then those other
// computers know the same person by.
struct BettorIdentities {
    std::map<long long, std::vector<Identity>> live;
    // Deleted bettors: their numbers stay in use, their identities never come back.
    std::map<long long, std::vector<Identity>> deleted;
    bool described = true;  // as for bets; otherwise each bettor was given a new identity here
};
BettorIdentities bettoridentities(const Files& files, const std::string& bettorsfile);

// Writes a Bets or Bettors file (bytes: its contents; nullptr: it is removed, or, when it is not
// there, only its identity file changes) with exactly these identities: the hook stages them
// instead of working them out from the old file.
void writeidentified(const Files& files, const std::string& betsfile, const std::string* bytes,
                     const BetIdentities& ids);
void writeidentified(const Files& files, const std::string& bettorsfile, const std::string* bytes,
                     const BettorIdentities& ids);
// While it lives, every write of the file through the hook takes exactly these identities (for a
// writer, such as writebettors, that writes the file itself).
class CarriedIdentities {
  public:
    CarriedIdentities(const Files& files, const std::string& logical, const BetIdentities& ids);
    CarriedIdentities(const Files& files, const std::string& logical, const BettorIdentities& ids);
    ~CarriedIdentities();
    CarriedIdentities(const CarriedIdentities&) = delete;
    CarriedIdentities& operator=(const CarriedIdentities&) = delete;

  private:
    const Files& files_;
    std::string logical_;
};
// Stages only the identity file (tests that make a drive set by hand; files without the hook).
void stagebetidentities(const Files& files, const std::string& betsfile, const std::string* bytes,
                        const BetIdentities& ids);
void stagebettoridentities(const Files& files, const std::string& bettorsfile,
                           const std::string* bytes, const BettorIdentities& ids);

// Adds `more` to the sorted set `set`.
void addidentities(std::vector<Identity>& set, const std::vector<Identity>& more);
bool hasidentity(const std::vector<Identity>& sortedset, Identity id);

}  // namespace vt
