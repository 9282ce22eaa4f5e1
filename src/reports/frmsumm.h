#pragma once
#include <array>
#include <string>

#include "records/host.h"

namespace vt {

// The all-flights odds grid: money and WIN / PLACE / SHOW odds of every entry of the players
// file in the current round, with a TOTAL row after each run of entries of one flight.
class frmsumm : public Form {
  public:
    explicit frmsumm(Host& app);

    // The buffer of one printed line (items 0 to 9 are printed).
    std::array<std::string, 11> printline;

    void cmdprint_Click();
    void cmdreturn_Click();

  protected:
    void Form_Load() override;

  private:
    Host& app_;
    // Sums the Bets files of every flight of the current round into summ and flightpool.
    void sumallflights();
    void writeentryrow(int r, const Entry& e);
    // The TOTAL row of flight f at row r (when its pools are not zero) and the two rows after it.
    void writetotalrow(int& r, long f);
};

}  // namespace vt
