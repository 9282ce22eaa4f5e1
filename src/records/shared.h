#pragma once
#include <array>
#include <map>
#include <string>
#include <vector>

#include "platform/money.h"

namespace vt {

// One row of `entries`: a player or team. A free row is 999, 0, "", "".
struct Entry {
    long number = 999;
    long flight = 0;
    std::string field3;
    std::string name;
};

// One row of `bettors`. A free row is 999, "".
struct Bettor {
    long number = 999;
    std::string name;
};

// One row of `bets` / `newbets`: bettor, entry, type (1 WIN, 2 PLACE, 3 SHOW), amount.
struct Bet {
    long bettor = 0;
    long entry = 0;
    long type = 0;
    Money amount;
};

// One row of `summ`: money per type and the odds texts of the entry whose number is the row.
struct SummRow {
    Money win, place, show, total;
    std::string oddswin, oddsplace, oddsshow;
};

// A 1-based table: row 0 exists but is never used, so the numbering matches the screens.
template <class T>
struct Table {
    std::vector<T> rows;
    void resize(size_t n) { rows.assign(n + 1, T{}); }
    size_t size() const { return rows.empty() ? 0 : rows.size() - 1; }
    T& operator()(size_t i) { return rows.at(i); }
    const T& operator()(size_t i) const { return rows.at(i); }
};

// The round keys of rounds 1..4 (index 0 unused): the round options, the setup file's current
// round and part of every Bets file name. Every list of the rounds is this one.
constexpr int nrounds = 4;
inline const char* const roundkeys[nrounds + 1] = {"", "Round1", "Round2", "Round3", "Final"};
// The flights of each round, 1..15: a Bets file and its backup for each round and flight.
constexpr long nflights = 15;
// A flight number, 1..15.
constexpr bool isflight(long flight) { return flight >= 1 && flight <= nflights; }
// Where a round (1..4) and flight (1..15) stand in a list of every round's flights (1..60).
constexpr size_t flightslot(int round, long flight) {
    return size_t((round - 1) * nflights + flight);
}
// The round (1..4) of a round key; 0 for anything else.
int roundindex(const std::string& key);
// The name of a round and flight's Bets file (or its Betsbackup copy) in a folder:
// folder & round & Str(flight) & "Bets", as "C:\Vantrope\Round1 3Bets".
std::string betsname(const std::string& folder, const std::string& round, long flight,
                     bool backup = false);

// Bettor 1, the anonymous cash bettor: first in every Bettors file and in row 1 after a read.
inline const Bettor kanybettor{1, "AnyBettor"};

struct Shared;

// The bettors of the table by number, the one look-up every screen uses: rows up to the first
// empty name (which ends the table), deleted ("zzz") rows skipped, the first row of a number
// found. Built once, it answers each number at once. What a screen shows for a number nobody
// holds is the screen's own choice.
class BettorLookup {
  public:
    explicit BettorLookup(const Shared& sh);
    // The row (1-based) of a bettor number, 0 when no listed bettor holds it.
    long row(long long number) const;
    const Bettor* find(long long number) const;

  private:
    const Shared& sh_;
    std::map<long long, long> rows_;
};

// The shared variables and tables every screen reads and writes (one set, owned by App).

struct Shared {
    // Capacities; fixed at every start.
    long maxplayers = 1000, maxbettors = 1000, maxbets = 5000;

    Table<Entry> entries;
    Table<Bettor> bettors;
    Table<Bettor> savedbettors;
    Table<Bet> bets;
    Table<Bet> newbets;
    Table<SummRow> summ;                            // maxplayers + 1 rows; the last is the totals
    std::vector<std::array<Money, 9>> winningbets;  // row b: bettor b's money per column 2..8
    long betcount = 1;

    // flightpool[f][t]: money of flight f (1..15) and type t (1..3) of the loaded Bets file.
    std::array<std::array<Money, 4>, nflights + 1> flightpool{};
    std::array<std::string, nflights + 1> flightnames{};  // 1..15, padded to 10 characters

    std::string curround = roundkeys[1];
    long curflightnbr = 1;
    std::string curflight;

    long nextentryrow = 1, nextentrynbr = 1, nextticket = 1, nbettors = 0;

    std::string datapath = "C:\\Vantrope\\";
    std::string printswitch = "no";
    std::string fileop;
    std::string housepct = "0";
    int dataerror = 0;
    long dropbet = 99999;
    Money roundval;  // amount rounded in place by roundpayoff
    Money payamt;    // amount rounded by roundpayoff for the payoff screens

    // Whether the last read of each file into its table reached the end of the file. A rewrite
    // starts only from a complete read, so nothing the table missed is dropped from the file.
    bool entriescomplete = true, bettorscomplete = true, betscomplete = true;
    // overfull[f]: the last reading of flight f's Bets file (1..15) stopped at the table's
    // capacity, so its pools are not whole and give no odds.
    std::array<bool, nflights + 1> overfull{};
    // False when the last shared file procedure stopped on an error or refused to write.
    bool fileok = true;

    // Setup file values.
    std::string banner1, banner2, banner3, bannerfinal, banner;
    int fontsizeidx = 3;
    int roundingchoice = 1;
    std::array<int, 6> betbuttons{};  // 1..5
    std::string setupfield18 = "1";
    std::array<int, 9> printfontsizes{};       // 1..7
    std::array<std::string, 7> roundlabels{};  // 1..5
    std::array<std::string, 13> betamounts{};  // 1..12
    std::string crlf = "\r\n\r\n";
    std::string betsheetmsg;

    // Work tables of the selection sorts (1000 rows x 6 columns, 1-based).
    std::vector<std::array<std::string, 7>> sorttab = std::vector<std::array<std::string, 7>>(1001);
    std::vector<std::array<std::string, 7>> disptab = std::vector<std::array<std::string, 7>>(1001);

    // The odds board lines built for the betting screen.
    std::vector<std::string> boardlines;

    // Setup screen, menu and transfer.
    bool setupfield18number = false;  // field 18 was read as a bare number: written back bare
    std::string saveround;            // the round in force when the menu was last opened
    std::string savepath;             // datapath before a transfer pointed it at a drive
    // 1..4: "Round1", "Round2", "Round3", "Final"
    std::array<std::string, nrounds + 1> roundnames{};
    std::string tutorfile;  // the tutorial named by the screen that showed frmtutor

    // Betting screens: the current bettor, the entry and position being
    // composed, the new (unpaid) and prior totals, the bet list's next row, and the odds board's
    // scroll and sort settings.
    long curticket = 0;
    std::string curbettor;
    long selplayer = 0, selrow = 0;
    long betpos = 0;  // 1 WIN, 2 PLACE, 3 SHOW, 4 BOARD
    Money newtotal, priortotal;
    long betrow = 1;
    Money winamt, placeamt, showamt;
    std::string padblanks;
    long scrollpos = 0;
    long scrollms = 500;
    int sortflight = 1, sortplayer = 0, sortodds = 0;

    // Payoff screens: PAID and ROUNDED PAID, the pools and the position counters, shared by
    // frmpay and the three-position payoff screen (each sets them at its own load).
    Money paidtotal, roundedpaid;
    Money winpool, placepool, showpool;
    long npos1 = 0, npos2 = 0, npos3 = 0;

    // Payoff screen frmpay: finisher entry and the tables of the last payoff calculation.
    long nextpos = 0;
    std::array<long, 11> winnerrow{};                   // 1..10: entry number of each slot, 0 none
    long nwin = 0, nplace = 0, nshow = 0;               // slots holding position 1, 2, 3
    std::array<std::array<double, 4>, 11> payoffs{};    // [slot][pool]: returned per dollar bet
    std::array<std::array<Money, 4>, 11> winnerbets{};  // [slot][pool]: money bet on the finisher
    std::array<std::array<Money, 4>, 11> bettorbets{};  // [slot][pool]: one bettor's paying bets
    struct WinBet {
        long entry = 0, type = 0, slot = 0;
    };
    std::vector<WinBet> winbets;             // the paying combinations of entry and bet type
    std::map<long, std::string> winbettors;  // winning bettor number -> name, in number order
    long printchoice = 0;
    // Winner tables of the three-position payoff screen (entry numbers, 0 = empty slot), which the
    // payoff screen's hidden reset empties.
    std::array<long, 11> winhorses{}, placehorses{}, showhorses{};
    // Three-position payoff screen: the seven payoffs per dollar (after the house withholding),
    // each category's money per finisher slot (1..10), and the AnyBettor calculator's entry and
    // running totals.
    double paywinwin = 0, paywinwin2 = 0, paywinplace = 0, paywinshow = 0;
    double payplaceplace = 0, payplaceshow = 0, payshowshow = 0;
    Money work1, work2;

    // The banner of round option n (1..4); `banner` itself for any other n.
    std::string& bannerof(int n) {
        switch (n) {
            case 1:
                return banner1;
            case 2:
                return banner2;
            case 3:
                return banner3;
            case 4:
                return bannerfinal;
            default:
                return banner;
        }
    }

    // Empties and sizes every table from the capacities, as at start-up.
    void sizetables();
    // Empties and sizes the tables of one capacity: maxbets, maxbettors or maxplayers.
    void sizebets();
    void sizebettors();
    void sizeplayers();
    // Makes round r (1..4) current: curround and its banner; chooseround also sets saveround.
    void setround(int r) {
        curround = roundkeys[r];
        banner = bannerof(r);
    }
    void chooseround(int r) {
        setround(r);
        saveround = curround;
    }
    // roundnames 1..4 = the four round keys.
    void fillroundnames();
    // The Bets file name of a round and flight: datapath & round & " 3" & "Bets".
    std::string betsfile(const std::string& round, long flight) const;
    std::string betsbackupfile(const std::string& round, long flight) const;
};

}  // namespace vt
