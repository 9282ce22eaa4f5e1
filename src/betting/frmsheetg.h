#pragma once
#include <string>

#include "records/host.h"

namespace vt {

// The bet-sheet screen: a bettor's paper sheet keyed in, player/team by player/team.
class frmsheetg : public Form {
  public:
    explicit frmsheetg(Host& app);

    // The chosen player/team: its entry number and its list line. Chosen only on this screen.
    long selnumber = 0;
    std::string seltext;
    Money betamount;  // the amount step: negative while the sign box shows "-"
    std::string keytext;

  protected:
    void Form_Load() override;

  private:
    void buildcontrols();
    void buildbetrows();

    // The lists: the bettor names from the first one at or after `search`; the players/teams
    // (flight label and name) of the ticked flights, or of every flight when searching by name.
    void fillbettors(const std::string& search);
    void fillplayers(const std::string& search, bool byname);

    void Option_Click(int k);
    void cmdresetb_Click();
    void cmdresetp_Click();
    void lstentries_Click();
    void lstplayers_Click();
    void search_KeyPress(const std::string& box, int& key);
    void txtticket_KeyPress(int& key);
    void choosebettor(long ticket, const std::string& name);
    void txtbetamt_Click();
    void txtamt_Click(int index);
    void txtplus_Click();
    void showstep(const std::string& pattern);
    void setsign(const std::string& sign, uint32_t colour);
    void column_Click(const std::string& box, const std::string& total);
    void cmdclrentries_Click();
    void emptytotals();
    void emptynextbet();
    void cmdplacebets_Click();
    void cmdmainmenu_Click();

    Money amountof(const std::string& box);
    void setamount(const std::string& box, Money m);

    Host& app_;
    Shared& sh_;
    bool quiet_ = false;
};

}  // namespace vt
