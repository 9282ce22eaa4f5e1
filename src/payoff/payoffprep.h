#pragma once
// Preparing the payoff screen for the current round and flight; the three-position payoff
// screen calls these too. Both load frmpay unseen when it is not loaded.
namespace vt {

class App;

// Banner, instructions, zeroed totals, bettors and the flight's bets and pools loaded, the
// flight's Bets file present; pay and print buttons and the paid bettor's boxes hidden.
void resetpayform(App& app);
// Fills the ten finisher boxes with the current flight's entries, entry number as item data.
void fillwinnercombos(App& app);

// The one-line notice of the payoff screens.
extern const char* const kNotice;
// Both payoff screens refuse to calculate on pools that a bad record left incomplete.
extern const char* const kIncompletePools;

}  // namespace vt
