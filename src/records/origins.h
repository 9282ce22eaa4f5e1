#pragma once
// The identities of bets and bettors, so that moving the files between computers counts every
// bet once and never makes two people one. The data files keep their exact format; beside each
// Bets and Bettors file (and their backups) an identity file ("." name ".ids") holds:
//   - a check of the data file's bytes: an identity file whose check does not match its data
//     file (cut, emptied, edited, swapped, copied from elsewhere) is never trusted;
//   - the identity of each of its records, in order: a random number given when the bet or
//     bettor was made and carried unchanged by every write, export and import;
//   - the identities deleted from the file (a bet removed, a bettor deleted, a file cleared), so
//     that no import brings one back. A deleted bettor's number stays in use.
// Every write of a Bets or Bettors file stages its identity file in the same transaction
// (keeporigins): the records it keeps keep their identities, a record it adds is given a new one
// and a record it drops is remembered as deleted.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vt {

class Files;

using Identity = uint64_t;

// The identity file of a Bets or Bettors file (or a backup); "" for any other file.
std::string sidecarof(const std::string& logical);
// Makes every write of a Bets or Bettors file through files put its identity file in step.
void keeporigins(Files& files);
// A new random identity.
Identity newidentity(const Files& files);

// The identities of a Bets file's records (its lines that hold something).
struct BetIdentities {
    std::vector<Identity> live;     // one per record, in file order
    std::vector<Identity> deleted;  // sorted, each once
    // An identity file matched the data file (its own, or its pair's where the two files hold
    // the same bytes), or there is neither a record nor an identity file. Otherwise each record
    // was given a new identity here (`fresh`) and every identity the untrusted identity file
    // named counts as deleted.
    bool described = true;
    bool fresh = false;
    // Fresh where an identity file stood beside the file or its pair (cut, changed, swapped):
    // its records had identities that cannot be known now.
    bool lost = false;
};
// Of the file's contents as they stand (staged contents inside a transaction).
BetIdentities betidentities(const Files& files, const std::string& betsfile);
// Stages the identity file of a Bets file whose contents are (about to be) `bytes` (nullptr: the
// file is not there); one that would name nothing is removed. No identity may be both live and
// deleted.
void stagebetidentities(const Files& files, const std::string& betsfile, const std::string* bytes,
                        const BetIdentities& ids);

// The identities of a Bettors file's bettors, by bettor number: its own first, then those other
// computers know the same person by.
struct BettorIdentities {
    std::map<long long, std::vector<Identity>> live;
    // Deleted bettors: their numbers stay in use, their identities never come back.
    std::map<long long, std::vector<Identity>> deleted;
    bool described = true;  // as for bets; otherwise each bettor was given a new identity here
};
BettorIdentities bettoridentities(const Files& files, const std::string& bettorsfile);
void stagebettoridentities(const Files& files, const std::string& bettorsfile,
                           const std::string* bytes, const BettorIdentities& ids);

// Adds `more` to the sorted set `set`.
void addidentities(std::vector<Identity>& set, const std::vector<Identity>& more);
bool hasidentity(const std::vector<Identity>& sortedset, Identity id);

}  // namespace vt
