#include "betting/frmbet.h"

#include "betting/betfiles.h"
#include "betting/buildboard.h"
#include "platform/text.h"
#include "records/records.h"

namespace vt {

frmbet::frmbet(Host& app) : Form(app, "frmbet"), app_(app), sh_(app.shared()) {
    caption = "Bet";
    buildcontrols();
    buildboardcontrols();
}

void frmbet::buildcontrols() {
    auto& banner = add(Kind::TextBox, "txtbanner", "", 8, 6, 560, 32);
    banner.fontsize = 14;
    banner.fontbold = true;
    banner.showonly();
    banner.DblClick = [this] { txtbanner_DblClick(); };

    auto& round = add(Kind::Frame, "Round", "Round", 576, 0, 220, 44);
    const char* roundcaptions[nrounds + 1] = {"", "1", "2", "3", "F"};
    for (int k = 1; k <= nrounds; ++k) {
        auto& o = add(Kind::OptionButton, "Option" + std::to_string(k), roundcaptions[k],
                      586 + (k - 1) * 52, 18, 46, 20);
        container[&o] = &round;
        o.Click = [this, k] { Option_Click(k); };
    }
    auto& print = add(Kind::CommandButton, "cmdprint", "Print On", 804, 4, 212, 36);
    print.tooltip = "Click to toggle printing of bet receipts on or off.";
    print.Click = [this] { cmdprint_Click(); };

    // Step 1: the bettor.
    auto& one = add(Kind::Label, "lblone", "1.START HERE", 8, 46, 160, 20);
    one.fontbold = true;
    one.tooltip = "Not much will happen here without first selecting a bettor below";
    add(Kind::Label, "Label4", "TICKET #/ BETTOR NAME", 8, 68, 200, 18);
    auto& cbo = add(Kind::ComboBox, "cbobettor", "", 8, 86, 300, 24);
    cbo.sorted = true;
    cbo.tooltip =
        "Enter ticket number or bettor name (last name-first name) and press enter. Creates new "
        "bettor "
        "if necessary. Or click the down arrow to select a bettor name  to place a bet";
    cbo.KeyPress = [this](int& k) { cbobettor_KeyPress(k); };
    cbo.Click = [this] { cbobettor_Click(); };
    auto& bettor = add(Kind::TextBox, "txtbettor", "", 8, 114, 300, 24);
    bettor.locked = true;

    // Step 2: the odds board list.
    auto& two = add(Kind::TextBox, "lbltwo", "2. Click on a new player/team from the list below", 8,
                    146, 372, 24);
    two.locked = true;
    add(Kind::Label, "Label8", "FLIGHT", 8, 174, 70, 18);
    add(Kind::Label, "Label11", "PLAYER/TEAM", 84, 174, 150, 18);
    add(Kind::Label, "Label12", "  ODDS to WIN", 236, 174, 120, 18);
    auto& lst = add(Kind::ListBox, "lstentries", "", 8, 192, 372, 330);
    lst.sorted = true;
    lst.fontname = "Courier New";
    lst.tooltip = "Players/teams grouped by ascending alphabetic sequence within flight";
    lst.Click = [this] { lstentries_Click(); };

    auto& checks = add(Kind::Label, "lblcheck", "Check Flights to display", 8, 528, 372, 18);
    checks.fontbold = true;
    for (int c = 0; c <= 14; ++c) {
        auto& box =
            add(Kind::CheckBox, "Check1", c, "", 8 + (c % 3) * 124, 548 + (c / 3) * 24, 120, 22);
        box.Click = [this] { Check1_Click(); };
    }
    auto& err = add(Kind::Label, "lbldataerror", "", 8, 672, 372, 48);
    err.forecolor = red;
    err.fontbold = true;
    err.setvisible(false);

    // Steps 3 and 4: position and amount.
    auto& three =
        add(Kind::TextBox, "lblthree", "3.Click Win,Place,Show or Board", 392, 46, 340, 24);
    three.locked = true;
    const char* posnames[4] = {"cmdwin", "cmdplace", "cmdshow", "cmdboard"};
    const char* poscaptions[4] = {"WIN", "PLACE", "SHOW", "BOARD"};
    const char* poswps[4] = {"W", "P", "S", "BOARD"};
    for (int i = 0; i < 4; ++i) {
        auto& b = add(Kind::CommandButton, posnames[i], poscaptions[i], 392 + i * 86, 74, 80, 30);
        std::string wps = poswps[i];
        b.Click = [this, wps, i] { position_Click(wps, i + 1); };
    }
    control("cmdboard").tooltip =
        "Place a bet to win, place, and show on this player/team - a $2 Board bet is a total bet "
        "of $6";
    const char* allnames[3] = {"cmdwinall", "cmdplaceall", "cmdshowall"};
    const char* allcaptions[3] = {"All Win", "All Place", "All Show"};
    const char* alltips[3] = {"Places a bet to win on every player/team",
                              "Places a bet to place on every player/team",
                              "Places a bet to show on every player/team"};
    const char* allwps[3] = {"WA", "PA", "SA"};
    for (int i = 0; i < 3; ++i) {
        auto& b = add(Kind::CommandButton, allnames[i], allcaptions[i], 392 + i * 86, 108, 80, 30);
        b.tooltip = alltips[i];
        std::string wps = allwps[i];
        b.Click = [this, wps, i] { position_Click(wps, i + 1); };
    }
    auto& four = add(Kind::TextBox, "lblfour", "4.Click an amount below to add to this bet ", 392,
                     146, 340, 24);
    four.locked = true;
    for (int k = 1; k <= 5; ++k) {
        auto& b = add(Kind::CommandButton, "cmdbamount", k, "", 392 + (k - 1) * 68, 174, 64, 30);
        b.Click = [this, k] { cmdbamount_Click(k); };
    }

    // The current bet.
    add(Kind::Label, "Label6", "CURRENT BET", 392, 210, 120, 18);
    add(Kind::Label, "Label1", "PLAYER/TEAM", 392, 228, 120, 18);
    add(Kind::Label, "Label2", "POSITION", 392, 276, 70, 18);
    add(Kind::Label, "Label3", "AMOUNT", 568, 276, 60, 18);
    auto& horse = add(Kind::TextBox, "txthorse", " ", 392, 246, 340, 24);
    horse.fontname = "Courier New";
    horse.locked = true;
    auto& wps = add(Kind::TextBox, "txtwps", " ", 466, 272, 90, 24);
    wps.locked = true;
    auto& amount = add(Kind::TextBox, "txtamount", " ", 632, 272, 100, 24);
    amount.locked = true;
    auto& clr = add(Kind::CommandButton, "cmdclrpos", "Clear the current bet", 392, 302, 340, 26);
    clr.tooltip = "Clear player/team, position selection, and bet amount";
    clr.Click = [this] { cmdclrpos_Click(); };
    auto& done = add(Kind::CommandButton, "cmddone", "5. or click here to PLACE CURRENT BET", 392,
                     332, 340, 30);
    done.Click = [this] { cmddone_Click(); };
    auto& pay = add(Kind::CommandButton, "cmdpay", "6. or click here to PAY FOR NEW BETS", 392, 366,
                    340, 30);
    pay.tooltip = "Pay the cashier the total of all new bets and allow a new bettor to bet.";
    pay.Click = [this] { cmdpay_Click(); };

    // The bettor's bet list and totals.
    add(Kind::Label, "Label10", "BET LIST", 392, 402, 120, 18);
    auto& prior = add(Kind::ListBox, "lstbetsprior", "", 392, 420, 340, 172);
    prior.fontname = "Courier New";
    add(Kind::Label, "Label5", "TOTAL NEW BETS", 392, 602, 100, 18);
    auto& total = add(Kind::TextBox, "txttotal", "", 494, 598, 70, 24);
    total.tooltip = "Total of all bets made in this betting turn";
    total.locked = true;
    add(Kind::Label, "Label9", "TOTAL BETS", 574, 602, 80, 18);
    auto& totalprior = add(Kind::TextBox, "txttotalprior", "", 658, 598, 74, 24);
    totalprior.tooltip = "Total of all prior and new bets";
    totalprior.locked = true;
    auto& hint = add(Kind::Label, "Label7",
                     "To delete a bet, click on a  bet in the BET LIST and click   DELETE BET", 392,
                     628, 220, 44);
    hint.multiline = true;
    auto& clear = add(Kind::CommandButton, "cmdclear", "DELETE BET", 622, 632, 110, 32);
    clear.tooltip =
        "Select a bettor first then click DELETE BET to delete the selected bet from  BETS - "
        "rewrites the "
        "bets file without this bet - return any money to the bettor";
    clear.Click = [this] { cmdclear_Click(); };
    auto& ret = add(Kind::CommandButton, "cmdreturn", "Main Menu", 392, 684, 340, 36);
    ret.Click = [this] { cmdreturn_Click(); };
}

void frmbet::Form_Load() {
    loading_ = true;
    sh_.padblanks = std::string(25, ' ');
    sh_.sortflight = 1;
    sh_.sortplayer = 0;
    sh_.sortodds = 0;
    sh_.scrollpos = 0;
    sh_.dataerror = 0;
    sh_.scrollms = 500;
    control("lstscroll").clear();
    for (int c = 0; c <= 14; ++c) control("Check1", c).setcaption(sh_.flightnames[c + 1]);
    readentries(app_);
    control("cmddone").setvisible(false);
    control("Timer1").interval = 900;
    prompts_white();
    setcolor("lblone", white);
    control("txtbanner").settext(sh_.banner);
    if (sh_.printswitch == "yes")
        control("cmdprint").setcaption("Printing to default printer is active");
    else if (sh_.printswitch == "no")
        control("cmdprint").setcaption("All printing is suppressed");
    if (int k = roundindex(sh_.curround)) control("Option" + std::to_string(k)).setvalue(1);

    clearlist();
    sh_.crlf = "\r\n";
    sh_.betrow = 1;
    for (auto& b : sh_.newbets.rows) b = Bet{};
    for (int k = 1; k <= 5; ++k) {
        Control& b = control("cmdbamount", k);
        int choice = sh_.betbuttons[k];
        // Choice 12 is the blank button; a choice outside the list hides the button as well.
        if (choice < 1 || choice >= 12)
            b.setvisible(false);
        else
            b.setcaption(sh_.betamounts[choice]);
    }
    for (auto& e : sh_.entries.rows) e = Entry{};
    sh_.boardlines.assign(sh_.maxplayers + 1, std::string());
    boardflight.assign(sh_.maxplayers + 1, 0);
    readentries(app_);
    readbettors(app_);
    fillbettors();
    loading_ = false;
    buildboard(app_);
    showdataerror();
}

// Sets the option of the current round without running its handler.
void frmbet::selectroundquietly() {
    quiet_ = true;
    if (int k = roundindex(sh_.curround)) control("Option" + std::to_string(k)).setvalue(1);
    quiet_ = false;
}

void frmbet::Option_Click(int k) {
    if (quiet_) return;
    if (unpaid()) {
        selectroundquietly();
        return;
    }
    sh_.chooseround(k);
    control("txtbanner").settext(sh_.banner);
    clearlist();
    control("cbobettor").settext("");
    control("txtbettor").settext("");
    if (isflight(sh_.curflightnbr)) sumbets(app_);
    if (!loading_) rebuildboard();
}

// The unpaid guard: while new bets are not paid for, the bettor and the round stay.
bool frmbet::unpaid() {
    if (sh_.newtotal == Money{}) return false;
    app_.msgbox("Must pay cashier first", vbOKOnly, "Bet");
    return true;
}

void frmbet::cmdreturn_Click() {
    if (unpaid()) return;
    unload();
    app_.form("frmmenu").show();
}

void frmbet::txtbanner_DblClick() { cmdreturn_Click(); }

void frmbet::cmdprint_Click() {
    if (sh_.printswitch == "no")
        app_.setprintswitch("yes");
    else if (sh_.printswitch == "yes")
        app_.setprintswitch("no");
}

void frmbet::setcolor(const std::string& name, uint32_t c) {
    Control& ctl = control(name);
    ctl.backcolor = c;
    ctl.backcolorset = true;
}

uint32_t frmbet::color(const std::string& name) { return control(name).backcolor; }

void frmbet::prompts_white() {
    for (const char* n : {"lblone", "lbltwo", "lblthree", "lblfour"}) setcolor(n, white);
}

// While a data file holds a bad record the board stands still; the cashier is sent to the file
// inspection screen.
void frmbet::showdataerror() {
    Control& err = control("lbldataerror");
    err.setcaption(
        "A data file holds a bad record: the odds board is stopped. Use Fix File on the menu to "
        "examine "
        "the files.");
    err.setvisible(sh_.dataerror == 1);
}

}  // namespace vt
