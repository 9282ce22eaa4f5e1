#include "setup/frmmenu.h"

#include "records/records.h"

namespace vt {

namespace {

struct MenuButton {
    const char* name;
    const char* caption;
    const char* tooltip;
    const char* screen;  // nullptr: not a navigation button
    const char* help;    // the label beside it
    const char* helptext;
};

const MenuButton kButtons[] = {
    {"cmdbet", "Place a Bet", "Place bets on this event", "frmbet", "lblbet", ""},
    {"cmdbetsheet", "Use Bet Sheet", "Place bets using a bet sheet format", "frmsheetg",
     "lblbetsheet", " Place bets from a pre-printed bet sheet"},
    {"cmdenterbettors", "Update Bettors", "Add, change, delete bettors for this race", "frmbettor",
     "lblbettors", ""},
    {"cmdenterhorses", "Update Player/Team",
     "Add, change, scratch players/teams for this event - print a bet sheet", "frmentries",
     "lblhorses", ""},
    {"cmdfix", "Fix Files",
     "Examine/delete individual records in the Bets, Bettors, and Players files", "frmfix",
     "Label3", "Examine the contents of Bets, Player/Team,and Bettor files - remove bad records"},
    {"cmdsummary", "Bet Summary", "Display a summary of all bets on this event", "frmsummary",
     "lblsummary", " Display a summary of all bets on this event. Print various bet summaries"},
    {"cmdpay", "Pay Winners",
     "Select winning players/teams, calculate payoffs, and pay winning bettors", "frmpay",
     "lblwinners", ""},
    {"cmdinit", "Setup",
     "Return to the setup screen to change Round, clear files, select various program parameters",
     "frminit", "Label2", "Return to \"Vantrope Setup\" screen"},
    {"cmdbackup", "Use Backup Files",
     "Replace current file with the backup file - use Fix Files to examine contents of Bet, "
     "Bettor, and Player files "
     "first",
     nullptr, "Label1",
     "Selectively replace \"Bets, Player/Teams, and/or Bettors\" files with their backup file - "
     "use Fix Files to "
     "examine primary and backup file contents"},
    {"cmdclearbets", "Clear/Refund Bets",
     "BE CAREFUL - clears all bets for this flight in this round", nullptr, "lblclear", ""},
    {"cmdexit", "Exit Program", "Sayonara, asta la vista, see ya", nullptr, "lblexit", ""},
};

}  // namespace

frmmenu::frmmenu(Host& app) : Form(app, "frmmenu"), app_(app) {
    caption = "Menu";
    auto& banner = add(Kind::TextBox, "txtbanner", "", 10, 8, 1000, 34);
    banner.fontsize = 14;
    banner.fontbold = true;
    banner.alignment = 2;
    banner.showonly();
    banner.tooltip =
        "Shows event name and betting round currently active - can be changed on the setup screen";
    add(Kind::Label, "lblmenu", "Click a button below", 10, 52, 200, 20).fontbold = true;

    int y = 78;
    for (const auto& b : kButtons) {
        auto& btn = add(Kind::CommandButton, b.name, b.caption, 10, y, 200, 40);
        btn.tooltip = b.tooltip;
        std::string screen = b.screen ? b.screen : "";
        if (!screen.empty()) btn.Click = [this, screen] { go(screen, screen == "frmpay"); };
        auto& help = add(Kind::Label, b.help, b.helptext, 220, y, 480, 40);
        help.multiline = true;
        y += 52;
    }
    control("cmdbackup").Click = [this] { cmdbackup_Click(); };
    control("cmdclearbets").Click = [this] { cmdclearbets_Click(); };
    control("cmdexit").Click = [this] { cmdexit_Click(); };

    auto& fra = add(Kind::Frame, "fraflight", "Flight", 720, 78, 290, 440);
    fra.tooltip = "Must select a flight to add new player/teams";
    for (int n = 1; n <= nflights; ++n) {
        auto& o = add(Kind::OptionButton, "optflight", n, "", 735, 98 + 27 * (n - 1), 260, 24);
        container[&o] = &fra;
        o.Click = [this, n] { optflight_Click(n); };
    }
    add(Kind::Label, "lblcopyr", "", 10, 700, 1000, 20);
}

void frmmenu::Form_Load() {
    Shared& sh = app_.shared();
    control("txtbanner").settext(sh.banner);
    control("lblcopyr").setcaption("Vantrope - betting pools for golf events");
    control("lblhorses")
        .setcaption(
            "ENTER Players/Teams, CHANGE entry information, SCRATCH a player/team, PRINT a bet "
            "sheet for all Player/Teams.");
    control("lblbettors").setcaption("ENTER all bettor names, DELETE bettor names");
    control("lblbet").setcaption("PLACE A BET on this event");
    control("lblwinners").setcaption("CALCULATE payoffs, and PAY winning bettors");
    control("lblclear")
        .setcaption(
            "CLEAR all bets for a selected flight in this round - Prints a list of all bets on "
            "this flight-round. Should "
            "also be used to refund selected bets");
    control("lblexit").setcaption("EXIT this program , saving all player/teams, bettors, and bets");
    for (int n = 1; n <= nflights; ++n) control("optflight", n).setcaption(sh.flightnames[n]);
    control("fraflight").setvisible(false);
    backupmode = "";
}

void frmmenu::go(const std::string& screen, bool keepmenu) {
    if (!keepmenu) unload();
    // The payoff calculation loads the summary unseen, and the payoff screen's return empties
    // the pool totals its sorts and printout copy from: such a summary is loaded afresh, so it
    // shows, sorts and prints the current round and flight with their money.
    if (screen == "frmsummary" && app_.isloaded(screen) && !app_.form(screen).visible())
        app_.form(screen).unload();
    app_.form(screen).show();
}

void frmmenu::cmdbackup_Click() {
    control("fraflight").setvisible(true);
    backupmode = "true";
}

void frmmenu::cmdclearbets_Click() { control("fraflight").setvisible(true); }

void frmmenu::optflight_Click(int index) {
    Shared& sh = app_.shared();
    sh.curflight = sh.flightnames[index];
    sh.curflightnbr = index;
    control("fraflight").setvisible(false);
    // The choice is made: the buttons go back to unset for the next time the frame opens.
    control("optflight", index).setvalue(0);
    if (backupmode == "true") {
        backupmode = "";
        restorebackups(app_);
    } else {
        clearflightbets(app_);
    }
}

void frmmenu::cmdexit_Click() { app_.endprogram(); }

}  // namespace vt
