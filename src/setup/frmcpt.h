#pragma once
#include <string>

#include "records/host.h"

namespace vt {

// The player/team file swap screen: keeps several player/team lists in the program folder and
// makes one of them the current Players file.
class frmcpt : public Form {
  public:
    explicit frmcpt(Host& app);
    void Form_Load() override;
    void cmdcpt_Click();
    void File1_DblClick();
    void cmdreturn_Click() { unload(); }

  private:
    // Saves the current Players file under a name typed by the operator; false when it failed.
    bool savecurrent();
    void replacewith(const std::string& chosen);
    void listfiles();

    Host& app_;
};

// True when a save name may be used: not empty, no folder parts, not one of the program's files.
bool validsavename(const std::string& name);

}  // namespace vt
