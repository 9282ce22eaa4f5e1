#pragma once
#include "records/host.h"

namespace vt {

// The AnyBettor calculator of the three-position payoff screen: what one anonymous bettor's
// bets pay at the current payoffs, with a running total. Nothing here is paid or written.
class frmany : public Form {
  public:
    explicit frmany(Host& app);

    void cmdcalc_Click();
    void cmdadd_Click();
    void cmdclear_Click();
    void cmdreturn_Click();
    void closerequest() override {
        runtime().dispatch([this] { cmdreturn_Click(); });
    }

  protected:
    void Form_Load() override;

  private:
    Host& app_;
    void emptyboxes();
};

}  // namespace vt
