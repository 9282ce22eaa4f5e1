#pragma once
// A program folder with players, bettors and one flight's bets, and the payoff screen driven as
// a cashier drives it.
#include <string>
#include <vector>

#include "testapp.h"

namespace vt::test {

struct BetRow {
    long bettor, entry, type;
    std::string amount;
};

class PayTest : public AppTest {
  protected:
    PayTest();
    // Players of flight 1 ("A"): 1 ALPHA, 2 BRAVO, 3 CHARLIE, 4 DELTA, 5 ECHO; flight 2 ("B"): 6
    // FOXTROT. Bettors: 1 AnyBettor, 2 ADAMS-ANN, 3 BAKER-BOB, 4 COLE-CY, 5 DAVIS-DI.
    void writebets(const std::vector<BetRow>& bets, const std::string& file = "Round1 1Bets");
    // The worked example: pools WIN 100, PLACE 60, SHOW 40.
    void workedexample();
    // Bets on which ALPHA and BRAVO can dead-heat for first with CHARLIE third.
    void deadheatbets();
    // The worked example at a 10 % house, calculated.
    void calcworked();
    Form& pay();
    Control& ctl(const std::string& name, int index = -1) { return pay().control(name, index); }
    // Shows the payoff screen and picks flight 1.
    void open(int flight = 1);
    // Picks positions down the slots from slot 1, then the entries (entry numbers) in the same
    // slots.
    void finishers(const std::vector<std::string>& positions, const std::vector<long>& entries);
    void pickentry(int slot, long entry);
    // Selects the winners line of a bettor number and presses PAY WINNING BETTOR.
    void paybettor(long bettor);
    std::vector<std::string> winners();
};

}  // namespace vt::test
