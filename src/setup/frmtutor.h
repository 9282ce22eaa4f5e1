#pragma once
#include "app/app.h"

namespace vt {

// The tutorial screen: points the user to the tutorials on the web site.
class frmtutor : public Form {
public:
    explicit frmtutor(App& app);
    void Form_Load() override;
    void cmdreplay_Click() {}
    void cmdreturn_Click() { unload(); }

private:
    App& app_;
};

// Sets the tutorial file of a screen and shows the tutorial screen over it.
void showtutor(App& app, const std::string& file);

}  // namespace vt
