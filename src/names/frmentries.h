#pragma once
#include <string>

#include "records/host.h"

namespace vt {

// The player/team screen: entries per flight, team names from members, scratches with refunds,
// the bet-sheet message and the printed bet sheet.
class frmentries : public Form {
  public:
    explicit frmentries(Host& app);

    // The selected entry: its row in `entries`, its entry number and its list line. Empty (row 0)
    // until a line is clicked, and again after a change or scratch.
    long selrow = 0;
    long selnumber = 0;
    std::string seltext;

    // Clears all players and teams (no control calls it; kept for callers that need it).
    void clearentries();

    // The default bet-sheet message.
    static std::string defaultmessage();

  protected:
    void Form_Load() override;

  private:
    void cmbflt_Click();
    void txtentryname_KeyPress(int& key);
    void lstentries_Click();
    void lstmembers_Click();
    void cmdupdate_Click();
    void cmdscratch_Click();
    void cmdprint_Click();
    void cmdmsg_Click();
    void cmdmainmenu_Click();

    void addentry();
    // The list line of an entry: its flight label in 10 places, then its name.
    std::string listline(long flight, const std::string& name) const;
    // Empties the entries list and fills it from `entries`, one line per row in use.
    void fillentries();
    void clearselection();
    // The row of `entries` holding an entry number, 0 when none does.
    long rowofnumber(long number) const;
    void printbetsheet();

    Host& app_;
};

}  // namespace vt
