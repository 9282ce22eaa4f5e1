#pragma once
#include <string>

#include "records/host.h"

namespace vt {

// The setup screen: the program's start-up, its settings, and the way to the menu.
class frminit : public Form {
  public:
    explicit frminit(Host& app);

    void Form_Load() override;
    // Closing the window is EXIT PROGRAM.
    void closerequest() override {
        runtime().dispatch([this] { cmdexit_Click(); });
    }

    // Leaving.
    void cmdok_Click();
    void cmdexit_Click();

    // Settings.
    void Option_Click(int n);
    void txtbanner_KeyPress(const std::string& box, int& key);
    void txtflight_KeyPress(int index, int& key);
    void txtwith_KeyPress(int& key);
    void cmdround_Click();
    void cmdbamount_Click(int index);
    void cmdprint_Click();
    void cmddir_Click();
    void cmdimpext_Click();
    void cmdtutor_Click();

    // Clearing data files.
    void cmdbets_Click();
    void cmdbettors_Click();
    void cmdplayers_Click();

    // Transfer to and from another computer.
    void cmdexport_Click();
    void cmdimport_Click();

    // Operations no control reaches.
    void showcpt();
    void stepmaxbets();
    void stepmaxbettors();
    void stepmaxplayers();
    void stepfontsize();

  private:
    void layout();
    void showsettings();
    // Creates missing data files of the current round; false after a failure was shown.
    bool makedatafiles();
    // Empties and re-creates every Bets and Betsbackup file; false after a failure was shown.
    bool clearallbets();

    Host& app_;
    Shared& sh_;
};

// The tutorial message of the setup screen and the tutorial screen.
void tutormessage(Host& app);

}  // namespace vt
