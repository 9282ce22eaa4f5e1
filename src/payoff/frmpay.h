#pragma once
#include <optional>
#include <string>

#include "records/host.h"

namespace vt {

// The payoff screen: round and flight, up to ten finishers with ties, CALCULATE PAYOFF, paying
// each winning bettor, print choices and the payoff sheets.
class frmpay : public Form {
  public:
    explicit frmpay(Host& app);

    // Event handlers.
    void Option_Click(int round);  // 1..4
    void optflight_Click(int f);
    void cmbpos_Click(int i);
    void cmbpt_Click(int i);
    void cmdclear_Click();
    void txtmult_KeyPress(int& key);
    void cmdprtsumm_Click();
    void cmdrules_Click();
    void cmdreturn_Click();
    void Text2_DblClick();
    void cmdcalc_Click();
    void cmdpay_Click();
    void cmbbn_Click();
    // The multiplier of the payoffs last calculated (what the payoff boxes and the winners list
    // show them for).
    Money multiplier() const { return mult_; }
    // Closing the window does what MAIN MENU does.
    void closerequest() override {
        runtime().dispatch([this] { cmdreturn_Click(); });
    }

  protected:
    void Form_Load() override;

  private:
    Host& app_;
    bool calculated_ = false;  // a calculation stands for the current round and flight
    Money mult_ = Money::dollars(2);
    Shared& sh() { return app_.shared(); }

    void layout();
    // Empties the tables of the last calculation.
    void clearpayofftables();
    // The entry number of finisher slot s (1..10) from its box: the chosen item's entry number,
    // or the first item whose text the box holds; 0 when the text is no item of the list.
    long slotentry(int s);
    // Checks the finisher slots before a calculation; false after telling the operator why.
    bool finishersok(int n);
    // Pool arithmetic of a calculation once the finishers are known; false when it ended early.
    bool computepayoffs(double pct);
    void listwinners();

    // Payoff sheets. The Results records of a print run, written once the sheets are printed;
    // the error of a record that could not be made ends them.
    struct ResultRecords {
        std::string bytes;
        std::optional<FileError> failed;
    };
    void printsheet(long bettor, Money& grandtotal, ResultRecords& records);
    void printgrandtotal(Money grandtotal);
};

}  // namespace vt
