#pragma once
// Where each bet and bettor came from, so that moving the files between computers counts every
// bet once. The data files keep their exact format; what is known of their lines' origins is kept
// beside them, in a sidecar file per Bets and Bettors file (and their backups), and every write of
// such a file puts its sidecar in step in the same transaction (keeporigins).
//
// A Bets sidecar gives each line of its file an identity: the computer that took the bet and a
// serial ("<computer>-<serial>"). A line its sidecar does not know (a folder from before, a file
// edited by hand) is this computer's own bet and is given a new identity.
// A Bettors sidecar lists, by bettor number, the identities other computers know that bettor by
// ("<computer>/<number>"); every bettor is also known by this computer's own identity and number.
#include <deque>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace vt {

class Files;

// The sidecar of a Bets or Bettors file (or a backup); "" for any other file.
std::string sidecarof(const std::string& logical);
// Makes every write of a Bets or Bettors file through files put its sidecar in step, in the
// same transaction.
void keeporigins(Files& files);
// This computer's identity, kept in a file of its own in the program folder; made (and staged
// in the open transaction) when there is none, unless `make` is false ("" then).
std::string computerid(const Files& files, bool make = true);

// The key a Bets line is known by in its sidecar: the line as the program writes it.
std::string betkey(const std::string& linetext);

// The identities of a Bets file's lines, as its sidecar gives them.
class BetOrigins {
  public:
    BetOrigins() = default;
    // Reads the sidecar of a Bets file; a missing sidecar knows no line.
    BetOrigins(const Files& files, const std::string& betsfile);
    // The identity of the next line with this text that the sidecar holds; "" when none is left.
    std::string take(const std::string& linetext);

  private:
    std::unordered_map<uint64_t, std::deque<std::string>> ids_;
};

// The identity of each line (blank ones aside) of `bytes`, about to be a Bets file's contents:
// the one the file's sidecar gives it, else (for a copy) the one the copied file's sidecar gives
// it, else the one the other file of its pair gives it, else a new identity of this computer
// (`fresh` then tells).
std::vector<std::string> betids(const Files& files, const std::string& betsfile,
                                const std::string& bytes, const std::string& from = "",
                                bool* fresh = nullptr);
// A new identity for a bet taken on the computer `computer`.
std::string newbetid(const Files& files, const std::string& computer);
// Stages the sidecar of a Bets file whose lines (of `bytes`, blank ones aside) carry `ids` in
// order; a file without lines has no sidecar.
void writebetorigins(const Files& files, const std::string& betsfile, const std::string& bytes,
                     const std::vector<std::string>& ids);

// The identities of bettors, by bettor number.
using BettorOrigins = std::map<long long, std::set<std::string>>;
// A bettor's identity as the computer `computer` knows its own bettor `number`.
std::string ownbettorid(const std::string& computer, long long number);
// The sidecar of a Bettors file; a missing sidecar names no bettor.
BettorOrigins readbettororigins(const Files& files, const std::string& bettorsfile);
// Stages the sidecar of a Bettors file; removed when it names no bettor.
void writebettororigins(const Files& files, const std::string& bettorsfile,
                        const BettorOrigins& origins);

}  // namespace vt
