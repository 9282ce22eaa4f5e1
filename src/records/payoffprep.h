#pragma once
// Preparing the payoff screen for the current round and flight; the three-position payoff
// screen calls these too. Both load frmpay unseen when it is not loaded.
#include <string>

#include "platform/money.h"

namespace vt {

class Host;
class Form;

// Banner, instructions, zeroed totals, bettors and the flight's bets and pools loaded, the
// flight's Bets file present; pay and print buttons and the paid bettor's boxes hidden.
void resetpayform(Host& app);
// Fills the ten finisher boxes with the current flight's entries, entry number as item data.
void fillwinnercombos(Host& app);

// The payoff multiplier box `txtmult` of a payoff screen and its basis `txtbamt` ("Payoff based on
// this bet amount"), taken at Enter (`atenter`, which announces a new multiplier) and before each
// calculation. A multiplier from 1 to 10 is shown in the basis; any other text sets both back to
// 2, so the box and its basis never disagree. A text that is no number, and any refusal before a
// calculation, is told (titled `title`); one out of range at Enter is not. True with the
// multiplier in `mult` when the box held one.
bool takemultiplier(Host& app, Form& screen, bool atenter, const std::string& title, Money& mult);

// The one-line notice of the payoff screens.
extern const char* const kNotice;
// Both payoff screens refuse to calculate on pools that a bad record left incomplete.
extern const char* const kIncompletePools;

// Reads Players, Bettors and the current round and flight's Bets afresh before a calculation.
// False when payoffs may not be worked out: a file could not be read (its box has told the
// operator), or a bad record or a file that stopped early left the pools incomplete (told here).
bool readpools(Host& app);

}  // namespace vt
