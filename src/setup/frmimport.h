#pragma once
#include <string>
#include <vector>

#include "records/host.h"

namespace vt {

// The name import screen: names from another program's comma- or tab-separated list become
// bettors or players of a flight.
class frmimport : public Form {
  public:
    explicit frmimport(Host& app);
    void Form_Load() override;
    // Closing the window goes back to the setup screen, as the return button does.
    void closerequest() override {
        runtime().dispatch([this] { cmdreturn_Click(); });
    }
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void cmdget_Click();
    void lstoutfile_Click();
    void optflight_Click(int index);
    void cmdimport_Click();
    void cmdreturn_Click();

    // The chosen destination, "Bettors" or "Players"; empty until chosen.
    std::string importdest;

  private:
    void addbettors(const std::vector<std::string>& names);
    void addplayers(const std::vector<std::string>& names);
    void log(const std::string& line) { control("lstlog").additem(line); }

    Host& app_;
    std::string shown_;  // the drive the list showed before a change
};

// The fields of a name list: split at commas, tabs and line ends; a field in double quotes is
// taken without them and may hold commas and tabs. Blank lines hold no field.
std::vector<std::string> namefields(const std::string& bytes);

}  // namespace vt
