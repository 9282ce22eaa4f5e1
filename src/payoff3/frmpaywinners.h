#pragma once
#include "payoff3/threeposcalc.h"
#include "records/host.h"

namespace vt {

// The screen's answer to a house percentage it cannot use, at Enter and at CALCULATE  PAYOFF.
inline constexpr const char* kHousePctRefusal =
    "House percentage must be a number from 0 to below 100";

// The three-position payoff screen: WIN, PLACE and SHOW finishers with dead heats, seven payoffs
// with their carry-over rules, outside track payoffs, and paying the winning bettors one by one.
class frmpaywinners : public Form {
  public:
    explicit frmpaywinners(Host& app);

    void Option_Click(int r);
    void optflight_Click(int f);
    void cmdwinner_Click() { enterfinisher(1); }
    void cmdplace_Click() { enterfinisher(2); }
    void cmdshow_Click() { enterfinisher(3); }
    void txthousepct_KeyPress(int& key);
    void txtmult_KeyPress(int& key);
    void cmdreturn_Click();
    void cmdpayoff_Click();
    void cmdpay_Click();
    void cmdtrack_Click();
    void closerequest() override {
        runtime().dispatch([this] { cmdreturn_Click(); });
    }

  protected:
    void Form_Load() override;
    void Form_Unload() override;

  private:
    Host& app_;
    void layout();
    void enterfinisher(int pos);
    void fillentrylist();
    void resetcalc();
    // The calculation and its checks; false (after a message) when the screen must stay as it is.
    bool calculate(ThreePosCalc& calc, double& pct, double& mult);
    void showpayoffs(const ThreePosCalc& calc, double mult);
    void listwinners();
    void printsheet(double mult);
    void printblock(long b, const WinningRow& row);
    bool paydoc_ = false;  // payment blocks are being collected in an open print document
    void enddoc();
};

}  // namespace vt
