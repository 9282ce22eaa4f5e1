// The setup screen's settings: round, banners, flight names, withholding, rounding, bet buttons,
// printing, and the ways to the data-folder, name-import and tutorial screens.
#include "platform/text.h"
#include "records/typedinput.h"
#include "setup/frminit.h"
#include "setup/setupfile.h"

namespace vt {

void frminit::Option_Click(int n) {
    sh_.curround = roundkeys[n];
    sh_.banner = roundbanner(sh_, sh_.curround);
    control("txtbanner").settext(sh_.banner);
}

void frminit::txtbanner_KeyPress(const std::string& box, int& key) {
    if (key != vbKeyReturn) return;
    static const char* const kChanged[nrounds + 1] = {
        "", "Round 1 banner information changed", "Round 2 banner information changed",
        "Round 3 banner information changed", "Final Round banner information changed"};
    int r = box == "txtbanner1" ? 1 : box == "txtbanner2" ? 2 : box == "txtbanner3" ? 3 : 4;
    std::string& banner = sh_.bannerof(r);
    std::string text = control(box).text();
    if (std::string why = storedtextrefusal(text, "banner"); !why.empty()) {
        app_.msgbox(why, vbOKOnly, "Setup");
        control(box).settext(banner);
        return;
    }
    banner = text;
    if (sh_.curround == roundkeys[r]) {
        control("txtbanner").settext(text);
        sh_.banner = text;
    }
    if (!writesetup(app_)) return;
    app_.msgbox(kChanged[r], vbOKOnly, "Setup");
}

void frminit::txtflight_KeyPress(int index, int& key) {
    if (key != vbKeyReturn) return;
    Control& box = control("txtflight", index);
    // Trailing blanks are padding, not part of the name.
    std::string name = rtrim(box.text());
    std::string why = name.size() > 9 ? "Maximum flight name length is 9 characters"
                                      : storedtextrefusal(name, "flight name");
    if (!why.empty()) {
        box.settext(sh_.flightnames[index + 1]);
        app_.msgbox(why, vbOKOnly, "Flight Name");
        return;
    }
    name += Space(10 - static_cast<long>(name.size()));
    box.settext(name);
    sh_.flightnames[index + 1] = name;
    app_.msgbox("Flight " + Str(index + 1) + " changed to " + name);
}

void frminit::txtwith_KeyPress(int& key) {
    if (key != vbKeyReturn) return;
    std::string text = control("txtwith").text();
    Money pct;
    if (!typedhousepct(text, pct)) {
        app_.msgbox("Withholding must be a number from 0 to less than 100", vbOKOnly,
                    "Withholding");
        return;
    }
    sh_.housepct = text;
    app_.msgbox("Withholding factor changed to " + sh_.housepct + " %");
}

void frminit::cmdround_Click() {
    sh_.roundingchoice = sh_.roundingchoice % 5 + 1;
    control("cmdround")
        .setcaption("Round payoff to nearest " + sh_.roundlabels[sh_.roundingchoice]);
}

void frminit::cmdbamount_Click(int index) {
    sh_.betbuttons[index] = sh_.betbuttons[index] % 12 + 1;
    control("cmdbamount", index).setcaption(sh_.betamounts[sh_.betbuttons[index]]);
}

void frminit::cmdprint_Click() {
    if (sh_.printswitch == "no")
        app_.setprintswitch("yes");
    else if (sh_.printswitch == "yes")
        app_.setprintswitch("no");
}

void frminit::cmddir_Click() {
    unload();
    app_.form("frmdir").show();
}

void frminit::cmdimpext_Click() {
    unload();
    app_.form("frmimport").show();
}

void tutormessage(Host& app) {
    app.msgbox(
        "The tutorials are in the FAQ on the Vantrope web site. Open the web site and choose FAQ "
        "to see them.");
}

void frminit::cmdtutor_Click() { tutormessage(app_); }

void frminit::showcpt() { app_.form("frmcpt").show(); }

void frminit::stepmaxbets() {
    sh_.maxbets = sh_.maxbets + 500 == 5500 ? 1000 : sh_.maxbets + 500;
    sh_.sizebets();
}

void frminit::stepmaxbettors() {
    sh_.maxbettors = sh_.maxbettors + 100 == 1100 ? 500 : sh_.maxbettors + 100;
    sh_.sizebettors();
}

void frminit::stepmaxplayers() {
    sh_.maxplayers = sh_.maxplayers + 100 == 1100 ? 500 : sh_.maxplayers + 100;
    sh_.sizeplayers();
}

void frminit::stepfontsize() {
    sh_.fontsizeidx = sh_.fontsizeidx % 7 + 1;
    app_.printer().fontsize = sh_.printfontsizes[sh_.fontsizeidx];
}

}  // namespace vt
