#pragma once
#include <string>

#include "records/host.h"
#include "records/summarylists.h"

namespace vt {

// The summary screen: money and WIN odds of every entry of one flight and round, sorting,
// paging, three printed reports, and the way to the all-flights odds grid.
class frmsummary : public Form {
  public:
    explicit frmsummary(Host& app);

    // The display-table row at which DOWN starts the next page.
    long pagestart = 1;

    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void optflight_Click(int index);
    void cmdplayer_Click();
    void cmdmoney_Click();
    void cmddown_Click();
    void cmdup_Click();
    void cmdprint_Click();
    void cmdbettorall_Click();
    void cmdbettorsumm_Click();
    void cmdall_Click();
    void cmdmenu_Click();
    void cmdreturn_Click();

  protected:
    void Form_Load() override;

  private:
    Host& app_;
    Shared& sh() { return app_.shared(); }
    void chooseround(int r);
    // Sums the bets of the current round and flight and fills the lists.
    void reloadflight();
    // Says whether the last sum stopped at a bad record of the Bets file.
    void showbadbets();
    // Re-collects the flight's entries, puts them in order and shows the first lines.
    void sortlists(SummaryOrder order);
    // Shows up to one page of display rows from r; r ends after the last row shown.
    void showpage(long& r);
    // One copy of each printed report.
    void printsummary(Printer& p);
    void printallbets(Printer& p);
    void printbetsummary(Printer& p);
};

}  // namespace vt
