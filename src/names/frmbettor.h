#pragma once
#include <set>

#include "records/host.h"

namespace vt {

// The bettor screen: adding members/bettors, making every entry a bettor, clearing the bettors
// and deleting one bettor with a refund of its bets.
class frmbettor : public Form {
  public:
    explicit frmbettor(Host& app);

  protected:
    void Form_Load() override;

  private:
    void txtbettorname_KeyPress(int& key);
    void cbobettornames_KeyPress(int& key);
    void cmdplayers_Click();
    void cmdclearbettors_Click();
    void cmdreturn_Click();
    void cmddelete_Click();

    void addbettor();
    // Empties the bettor list and fills it from `bettors` (rows in use).
    void fillbettors();
    // The bettor number for a new bettor: the counter, past the markers and numbers in use.
    // The next free ticket from `from`: no record and no row of the table names it.
    long newticket(const std::set<long long>& used, long from) const;

    Host& app_;
};

}  // namespace vt
