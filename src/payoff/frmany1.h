#pragma once
#include "records/host.h"

namespace vt {

// The AnyBettor calculator: what the anonymous bettor's slips pay, slip by slip, with running
// and rounded totals. Nothing here is written, printed or added to PAID.
class frmany1 : public Form {
  public:
    explicit frmany1(Host& app);

    void cmdcalc_Click();
    void cmdadd_Click();
    void cmdpay_Click();
    void cmdclear_Click();
    void cmdreturn_Click();
    // Closing the window does what Return to Payoff does.
    void closerequest() override {
        runtime().dispatch([this] { cmdreturn_Click(); });
    }

  protected:
    void Form_Load() override;

  private:
    Host& app_;
    void showstart();
    void emptyslipboxes();

    Money sliptotal, allslips, allslipsr, anypaid, anypaidr;
};

}  // namespace vt
