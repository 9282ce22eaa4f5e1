#include "setup/frmtutor.h"

#include "setup/frminit.h"

namespace vt {

frmtutor::frmtutor(Host& app) : Form(app, "frmtutor"), app_(app) {
    caption = "Tutorial";
    width = 640;
    height = 520;
    auto& pic = add(Kind::PictureBox, "WebBrowser1", "", 20, 20, 600, 380);
    pic.picturelines = {"Vantrope tutorials", "", "See the FAQ on the Vantrope web site."};
    add(Kind::CommandButton, "cmdreplay", "Replay", 140, 420, 160, 40).Click = [this] {
        cmdreplay_Click();
    };
    add(Kind::CommandButton, "cmdreturn", "Return to Program", 340, 420, 160, 40).Click = [this] {
        cmdreturn_Click();
    };
}

void frmtutor::Form_Load() { tutormessage(app_); }

void showtutor(Host& app, const std::string& file) {
    app.shared().tutorfile = file;
    app.form("frmtutor").show();
}

}  // namespace vt
