#pragma once
// The shared procedures over the shared state: reading and writing the data files, pool totals,
// odds, payoff rounding, restoring backups and clearing a flight's bets. Each works on
// app.shared() and reports file errors with the file-error box, as the screens expect; each file
// procedure leaves `fileok` false when it stopped on an error or refused to write. A rewrite of
// Players, Bettors or a Bets file is refused (with a message) when the last read of that file
// into its table stopped early (`entriescomplete`, `bettorscomplete`, `betscomplete`).
#include "platform/money.h"

namespace vt {

class App;
struct Shared;

void readentries(App& app);
void writeentries(App& app);
void readbettors(App& app);
void writebettors(App& app);
// writebettors without the Bettorsbackup file: the export to another computer's drive.
void writebettorsonly(App& app);

void sumbets(App& app);
void sumbetsall(App& app);
void loadbets(App& app);
// Creates whichever of the current round and flight's Bets and Betsbackup files is missing,
// when the operation under way (`fileop`) is "Bets Input"; an existing file is never emptied.
void makebetsfiles(App& app);
// Resets every row of `summ` as `sumbets` does: no money, a WIN odds text of one blank.
void resetsumm(Shared& sh);

void writebets(App& app);
void exportbets(App& app);

void calcodds(App& app);
void calcoddsall(App& app);

// Rounds `roundval` in place to the step of `roundingchoice`, working on its exact amount;
// `payamt` receives the same rounded amount as Money (unchanged at the "0.01" step).
void roundpayoff(App& app);
// The same rounding of an exact amount, for callers that hold Money.
Money roundpayoff(Money amount, int choice);

void restorebackups(App& app);
// Fills the summary screen's lists and disptab for the current flight (built in src/reports).
void fillsummarylists(App& app);
void clearflightbets(App& app);

}  // namespace vt
