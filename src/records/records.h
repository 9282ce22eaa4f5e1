#pragma once
// The shared procedures over the shared state: reading and writing the data files, pool totals,
// odds, payoff rounding, restoring backups and clearing a flight's bets. Each takes a Context (the
// screens pass their App), works on cx.shared() and reports file errors with the file-error box,
// as the screens expect. Each file procedure returns what happened (Outcome) and also leaves
// `fileok` false when it stopped on an error or refused to write, for the screens that read it. A
// rewrite of Players, Bettors or a Bets file is refused (with a message) when
// the last read of that file into its table stopped early (`entriescomplete`, `bettorscomplete`,
// `betscomplete`).
#include <string>
#include <vector>

#include "platform/money.h"

namespace vt {

class Context;
struct Shared;

// What a file procedure did: `ok` when it did its work; otherwise `shown` when it told the operator
// why in a box. A failure without a box is a bad record (`dataerror`), the caller's to tell of.
// A read that ended early at a marker is ok: whether the table is whole stays in `entriescomplete`,
// `bettorscomplete` and `betscomplete`.
struct Outcome {
    bool ok = true;
    bool shown = false;
    explicit operator bool() const { return ok; }
    static Outcome done() { return {true, false}; }
    static Outcome boxed() { return {false, true}; }
    static Outcome baddata() { return {false, false}; }
};

Outcome readentries(Context& cx);
Outcome writeentries(Context& cx);
Outcome readbettors(Context& cx);
Outcome writebettors(Context& cx);
// writebettors without the Bettorsbackup file: the export to another computer's drive.
Outcome writebettorsonly(Context& cx);

Outcome sumbets(Context& cx);
// The current flight's bets added to `summ` and its flight's pools (the pools start afresh).
// Without `winodds` the WIN odds texts are left as they were: for a caller that works the odds
// out itself.
Outcome sumbetsall(Context& cx, bool winodds = true);
Outcome loadbets(Context& cx);
// Creates whichever of the current round and flight's Bets and Betsbackup files is missing,
// when the operation under way (`fileop`) is "Bets Input"; an existing file is never emptied.
Outcome makebetsfiles(Context& cx);
// Resets every row of `summ` as `sumbets` does: no money, a WIN odds text of one blank.
void resetsumm(Shared& sh);

Outcome writebets(Context& cx);
Outcome exportbets(Context& cx);

void calcodds(Context& cx);
// The WIN, PLACE and SHOW odds of every entry, or only of the entries of `flight` when it is
// 1 to 15 (the other rows are left as they are).
void calcoddsall(Context& cx, long flight = 0);

// Rounds the amount `roundval` in place to the step of `roundingchoice`; `payamt` receives the
// same rounded amount (unchanged at the "0.01" step).
void roundpayoff(Context& cx);
// The same rounding of an exact amount, for callers that hold Money.
Money roundpayoff(Money amount, int choice);

// restorebackups asks of each file in turn; clearflightbets is not done when the operator answers
// No to its first question.
Outcome restorebackups(Context& cx);
Outcome clearflightbets(Context& cx);

// One line of a refund list: who is owed, and how much.
struct Refund {
    std::string name;
    Money amount;
};
// Prints a refund list as one document and ends it, for an operation that prints it before it
// commits: the title, a blank line, the column line, a blank line, one line per refund (the whole
// name in its 20-character field, the amount at the next print zone), and "TOTAL BETS" when a
// total is given. Prints nothing while the print switch is "no". False, after the print-failure
// box, when the list cannot be printed: the operation then changes nothing.
bool printrefunds(Context& cx, const std::string& title, const std::vector<Refund>& lines,
                  const Money* total = nullptr);

}  // namespace vt
