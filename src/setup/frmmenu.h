#pragma once
#include <string>

#include "records/host.h"

namespace vt {

// The main menu: opens one working screen at a time, restores or clears a flight, ends the program.
class frmmenu : public Form {
  public:
    explicit frmmenu(Host& app);

    void Form_Load() override;
    // Closing the window is Exit Program.
    void closerequest() override {
        runtime().dispatch([this] { cmdexit_Click(); });
    }

    // Unloads the menu (except for the payoff screen) and shows the screen.
    void go(const std::string& screen, bool keepmenu = false);
    void cmdbackup_Click();
    void cmdclearbets_Click();
    void optflight_Click(int index);
    void cmdexit_Click();

    // Which action a flight choice starts: "true" restores from the backups, else clears.
    std::string backupmode;

  private:
    Host& app_;
};

}  // namespace vt
