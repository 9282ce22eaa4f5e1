#pragma once
#include "records/host.h"

namespace vt {

// The sortable winners list: the house, every winning bettor's total paid and rounded total,
// and the totals, with a printout under the table of finishers and payoffs.
class frmprint : public Form {
  public:
    explicit frmprint(Host& app);

    void cmdsorta_Click();
    void cmdsortd_Click();
    void cmdprint_Click();

  protected:
    void Form_Load() override;
    void Form_Unload() override;

  private:
    Host& app_;
    Control& grid() { return control("wingrd"); }
    void addrow(const std::string& number, const std::string& name, Money amount, Money rounded);
    void sortby(int firstcol, int lastcol, int setting);

    Money roundedtotal;
};

}  // namespace vt
