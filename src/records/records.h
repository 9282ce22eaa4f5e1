#pragma once
// The shared procedures over the shared state: reading and writing the data files, pool totals,
// odds, payoff rounding, restoring backups and clearing a flight's bets. Each works on
// app.shared() and reports file errors with the file-error box, as the screens expect.
namespace vt {

class App;

void readentries(App& app);
void writeentries(App& app);
void readbettors(App& app);
void writebettors(App& app);

void sumbets(App& app);
void sumbetsall(App& app);
void loadbets(App& app);
void makebetsfiles(App& app);

void writebets(App& app);
void exportbets(App& app);

void calcodds(App& app);
void calcoddsall(App& app);

void roundpayoff(App& app);

void restorebackups(App& app);
// Fills the summary screen's lists and disptab for the current flight (built in src/reports).
void fillsummarylists(App& app);
void clearflightbets(App& app);

}  // namespace vt
