#include "app/bareform.h"

namespace vt {

BareForm::BareForm(App& app, const std::string& name, const std::string& cap) : Form(app, name), app_(app) {
    caption = cap;
    auto& b = add(Kind::CommandButton, "cmdreturn", "MAIN MENU", 440, 680, 140, 40);
    b.Click = [this] {
        unload();
        app_.form("frmmenu").show();
    };
}

}  // namespace vt
