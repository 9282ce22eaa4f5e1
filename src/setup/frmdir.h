#pragma once
#include <string>

#include "records/host.h"

namespace vt {

// The data folder screen: the drive and folder where the Bets, Bettors and Players files live.
class frmdir : public Form {
  public:
    explicit frmdir(Host& app);
    void Form_Load() override;
    // Closing the window goes back to the setup screen, as the return button does.
    void closerequest() override {
        runtime().dispatch([this] { cmdreturn_Click(); });
    }
    void Drive1_Change();
    void Dir1_Change();
    void cmdreturn_Click();

  private:
    Host& app_;
    std::string shown_;  // the drive the list showed before a change
};

// Points a drive list at a drive; false after the file-error box when the drive is not ready.
bool drivechosen(Host& app, Control& drive, std::string& previous);
// Points the drive and folder lists at a data folder without raising their change events.
void pointlists(Control& drive, Control& dir, const std::string& datapath);
// The folder of a logical path: "C:\Vantrope\" -> "C:\Vantrope", "E:\" stays "E:\".
std::string foldername(const std::string& path);

}  // namespace vt
