#pragma once
#include <string>

#include "app/app.h"

namespace vt {

// A screen not built yet: its caption and a MAIN MENU button back to the menu.
class BareForm : public Form {
public:
    BareForm(App& app, const std::string& name, const std::string& caption);

private:
    App& app_;
};

}  // namespace vt
