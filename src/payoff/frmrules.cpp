#include "payoff/frmrules.h"

namespace vt {

const char* const kPayoffRules =
    "Parimutuel Payoff Rules\r\n"
    "\r\n"
    "Payoff rules vary from state to state. We have interpreted the rules as follows:\r\n"
    "\r\n"
    "No winning bets on the winner then win pool allocated to place pool\r\n"
    "\r\n"
    "No winning place bets on a place team winner then the zero bet place pool is allocated \r\n"
    "to the remaining place pools\r\n"
    "\r\n"
    "No winning bets on any place winner then the total place pool is allocated to the \r\n"
    "show pool\r\n"
    "\r\n"
    "No winning bets on a show pool winner then the zero bet show pool is \r\n"
    "allocated to the remaining show pools\r\n"
    "\r\n"
    "No winning bets on any show pools, then show pool bets are refunded\r\n";

frmrules::frmrules(Host& app) : Form(app, "frmrules") {
    caption = "Payoff Rules";
    left = 160;
    top = 120;
    width = 640;
    height = 420;
    Control& text = add(Kind::TextBox, "Text1", "", 12, 12, 616, 340);
    text.multiline = true;
    text.locked = true;
    text.fontsize = 10;
    text.settext(kPayoffRules);
    add(Kind::CommandButton, "Command1", "Close", 270, 364, 100, 36).Click = [this] {
        Command1_Click();
    };
}

}  // namespace vt
