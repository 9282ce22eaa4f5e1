#pragma once
#include "records/host.h"

namespace vt {

// The tutorial screen: points the user to the tutorials on the web site.
class frmtutor : public Form {
  public:
    explicit frmtutor(Host& app);
    void Form_Load() override;
    void cmdreplay_Click() {}
    void cmdreturn_Click() { unload(); }

  private:
    Host& app_;
};

// Sets the tutorial file of a screen and shows the tutorial screen over it.
void showtutor(Host& app, const std::string& file);

}  // namespace vt
