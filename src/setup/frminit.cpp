#include "setup/frminit.h"

#include <optional>

#include "platform/text.h"
#include "platform/transaction.h"
#include "records/filelines.h"
#include "records/records.h"
#include "setup/setupfile.h"

namespace vt {

namespace {

const char* const kHelp[12] = {
    "Click on Setup Tutorial to hear a narrated tutorial for the Setup screen - internet "
    "connection required",
    "Vantrope is designed to use a display resolution of 1024 x 768. Change display resolution "
    "from your Windows "
    "Control Panel, Display, Settings",
    "Vantrope maintains a separate betting pool for each flight in each round. Each player/team is "
    "associated with "
    "a flight. Player/team flight is set when the player/team name is entered.",
    "If this is a new event, you should Clear Member/Bettor, Player/Team, and Bet Files. Don't "
    "clear MEMBER/ "
    "BETTORS files if they will be used again. Change Flight names by entering new name and "
    "pressing enter.",
    "Start by selecting a ROUND.You will use the same Player/Team and Member/Bettor files "
    "regardless of Round.",
    "Bet receipt printing, bet button amounts,and payoff rounding may also be changed",
    "Check the drive\\path information. Use the defaults displayed unless they conflict with other "
    "files.",
    "Check the banners for the rounds you will be using. Banners are displayed on every screen to "
    "indicate which "
    "round you are betting",
    "Hold the pointer on a field to display information about that field",
    "The anonymous Anybettor function cannot be used in combination with named Bettors.",
    "Set the house witholding percentage if used - e.g. enter 10 and press enter to holdback 10%",
    "When using more than one computer to take bets, export the Player/Team and Bettor files to "
    "the second "
    "computer first using a thumb drive. Don't add any Bettors or Player/Teams on the second "
    "computer. Collect "
    "bets on the second computer; export the bets to a thumb drive; import the bets from the thumb "
    "drive to the "
    "first computer."};

const char* const kBannerBoxes[4] = {"txtbanner1", "txtbanner2", "txtbanner3", "txtbannerfinal"};

}  // namespace

frminit::frminit(Host& app) : Form(app, "frminit"), app_(app), sh_(app.shared()) { layout(); }

void frminit::layout() {
    caption = "Init";
    auto& inst = add(Kind::Label, "lblinst", "", 10, 8, 380, 600);
    inst.multiline = true;

    auto& cur = add(Kind::TextBox, "txtbanner", "", 400, 8, 610, 30);
    cur.fontsize = 14;
    cur.fontbold = true;
    cur.showonly();
    cur.alignment = 2;
    cur.tooltip = "Indicates which round is betting. Can be changed on this screen";

    // Round banners.
    const char* bannerlabels[4] = {"ROUND 1 BANNER", "ROUND 2 BANNER", "ROUND 3 BANNER",
                                   "FINAL ROUND BANNER"};
    for (int i = 0; i < 4; ++i) {
        add(Kind::Label, "lbl" + std::string(kBannerBoxes[i]), bannerlabels[i], 400, 48 + 46 * i,
            290, 18);
        auto& box = add(Kind::TextBox, kBannerBoxes[i], "", 400, 66 + 46 * i, 290, 24);
        std::string name = kBannerBoxes[i];
        box.KeyPress = [this, name](int& k) { txtbanner_KeyPress(name, k); };
    }
    control("txtbanner1").tooltip =
        "Enter banner text for this round - only need to enter banner info for the rounds you will "
        "use";

    auto& fra = add(Kind::Frame, "fraround", "Round", 400, 236, 290, 50);
    fra.tooltip =
        "Establishes which round is betting. Changes banner information to banner for this round";
    const char* optcaps[nrounds] = {"1", "2", "3", "FINAL"};
    for (int n = 1; n <= nrounds; ++n) {
        auto& o = add(Kind::OptionButton, "Option" + std::to_string(n), optcaps[n - 1],
                      410 + 68 * (n - 1), 256, 64, 22);
        container[&o] = &fra;
        o.Click = [this, n] { Option_Click(n); };
    }

    add(Kind::Label, "lblwith", "Withholding %", 400, 300, 110, 20);
    auto& with = add(Kind::TextBox, "txtwith", "", 515, 296, 80, 24);
    with.tooltip =
        "Amount subtracted from each payoff pool to be retained by the house - enter a number from "
        "1 to 99 "
        "and press enter";
    with.KeyPress = [this](int& k) { txtwith_KeyPress(k); };

    auto& round = add(Kind::CommandButton, "cmdround", "Payoff Rounding", 400, 330, 290, 30);
    round.tooltip = "Click to change bet payoff rounding to .01,.10,.25,.50,1.00";
    round.Click = [this] { cmdround_Click(); };

    add(Kind::Label, "lblbamount", "BETTING SCREEN BET BUTTON AMOUNTS", 400, 370, 290, 18);
    const char* amountcaps[5] = {"+.25", "+1.00", "+5.00", "+10.00", "+50.00"};
    for (int i = 1; i <= 5; ++i) {
        auto& b = add(Kind::CommandButton, "cmdbamount", i, amountcaps[i - 1], 400 + 59 * (i - 1),
                      390, 54, 30);
        b.tooltip =
            "Click to change value of this bet button on the betting screen - a blank button will "
            "not display";
        b.Click = [this, i] { cmdbamount_Click(i); };
    }

    auto& print = add(Kind::CommandButton, "cmdprint", "Suppress all printing", 400, 430, 290, 30);
    print.tooltip = "Click to change between printing and not printing bet receipts";
    print.Click = [this] { cmdprint_Click(); };

    add(Kind::Label, "lblfiles", "BETS/PLAYER/BETTOR FILES DRIVE\\PATH", 400, 470, 290, 18);
    auto& files = add(Kind::TextBox, "txtfiles", "", 400, 488, 290, 24);
    files.locked = true;
    files.tooltip =
        "Current drive/path information - click \"Change file drive/path\" to change drive/path";

    auto& dir = add(Kind::CommandButton, "cmddir", "Change File Drive/Path", 400, 520, 290, 30);
    dir.tooltip = "Changes current drive/path for all files";
    dir.Click = [this] { cmddir_Click(); };
    auto& impext =
        add(Kind::CommandButton, "cmdimpext", "Import external name files", 400, 556, 290, 30);
    impext.tooltip =
        "Import Bettor, Player/Team name files in comma or tab separated variable format";
    impext.Click = [this] { cmdimpext_Click(); };

    // Flight names.
    add(Kind::Label, "lblflights", "FLIGHT NAMES", 720, 48, 180, 18);
    for (int i = 0; i <= 14; ++i) {
        add(Kind::Label, "Label7", i, std::to_string(i + 1), 720, 70 + 26 * i, 24, 20).alignment =
            1;
        auto& t = add(Kind::TextBox, "txtflight", i, "", 750, 66 + 26 * i, 130, 22);
        t.tooltip =
            "Flight names may be changed by holding the left mouse button and highlighting the "
            "field,entering "
            "the changes and pressing enter - max of 9 characters";
        t.KeyPress = [this, i](int& k) { txtflight_KeyPress(i, k); };
    }

    // Clearing and transfer.
    auto& bets = add(Kind::CommandButton, "cmdbets", "Clear ALL Bet Files", 720, 466, 290, 30);
    bets.tooltip =
        "*** BE CAREFUL ***Clears all bets for ALL rounds - clear a single bet file and refund "
        "bets from "
        "the menu screen";
    auto& bettors =
        add(Kind::CommandButton, "cmdbettors", "Clear Members/ Bettors File", 720, 500, 290, 30);
    bettors.tooltip =
        "Clears all names in the bettor file. Don't clear if you want to use the same bettor names "
        "in "
        "the next round - bettor names are entered/changed on the bettor update screen";
    auto& players = add(Kind::CommandButton, "cmdplayers", "Clear Players/ Teams/ALL Bets Files",
                        720, 534, 290, 30);
    players.tooltip =
        "Clear all player/team names and ALL Bets. Don't clear if these names will be used in the "
        "next "
        "event - players/teams are entered/changed on the player update screen";
    bets.Click = [this] { cmdbets_Click(); };
    bettors.Click = [this] { cmdbettors_Click(); };
    players.Click = [this] { cmdplayers_Click(); };
    auto& exp = add(Kind::CommandButton, "cmdexport", "Export Vantrope Files", 720, 580, 290, 30);
    exp.tooltip =
        "Copy Bets, Players, and Bettors files to named  drive (thumb drive) - allows use of "
        "multiple "
        "computers to take bets and then combine bets files for one payoff";
    auto& imp = add(Kind::CommandButton, "cmdimport", "Import Vantrope Files", 720, 614, 290, 30);
    imp.tooltip =
        "Allow replacement of Player files and merging Bettors and Bets files - allows use of "
        "multiple "
        "computers to take bets and then combine files for one payoff";

    exp.Click = [this] { cmdexport_Click(); };
    imp.Click = [this] { cmdimport_Click(); };

    auto& t1 = add(Kind::CommandButton, "cmdtutor1", "Setup  Tutorial", 10, 620, 185, 30);
    t1.Click = [this] { cmdtutor_Click(); };
    auto& t2 = add(Kind::CommandButton, "cmdtutor2", "Import/Export Tutorial", 205, 620, 185, 30);
    t2.Click = [this] { cmdtutor_Click(); };

    auto& ok = add(Kind::CommandButton, "cmdok", "GO TO MENU", 400, 670, 290, 44);
    ok.fontbold = true;
    ok.tooltip = "If all information on this screen is OK, start program execution";
    ok.Click = [this] { cmdok_Click(); };
    auto& exit = add(Kind::CommandButton, "cmdexit", "EXIT PROGRAM", 720, 670, 290, 44);
    exit.fontbold = true;
    exit.tooltip = "Leave the program saving all information";
    exit.Click = [this] { cmdexit_Click(); };
}

void frminit::Form_Load() {
    // The screen opens on GO TO MENU: its boxes save what is typed, so stray keys must not land
    // in one unseen.
    control("cmdok").setfocus();
    std::string help;
    for (int i = 0; i < 12; ++i) help += (i ? sh_.crlf : "") + std::string(kHelp[i]);
    control("lblinst").setcaption(help);

    fillsetuptables(sh_);
    // Captions from whatever is in memory, in case the load stops early.
    for (int i = 1; i <= 5; ++i) {
        if (sh_.betbuttons[i] < 1 || sh_.betbuttons[i] > 12)
            sh_.betbuttons[i] = std::array<int, 6>{0, 1, 4, 8, 10, 11}[i];
        control("cmdbamount", i).setcaption(sh_.betamounts[sh_.betbuttons[i]]);
    }
    if (sh_.roundingchoice < 1 || sh_.roundingchoice > 5) sh_.roundingchoice = 1;
    control("cmdround")
        .setcaption("Round payoff to nearest " + sh_.roundlabels[sh_.roundingchoice]);
    // The tables are sized before anything that can fail.
    fixcapacities(sh_);

    if (app_.screenwidth <= 1023)
        app_.msgbox("Display resolution must be set to 1024 x 768 to see entire screen.");

    try {
        app_.files().mkdir("C:\\Vantrope");
    } catch (const FileError& e) {
        if (e.number != 75) {
            app_.fileerrorbox(e);
            return;
        }
    }
    app_.results.close();
    try {
        app_.results.open(app_.files(), "C:\\Vantrope\\Results");
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
    }

    try {
        readsetup(app_);
    } catch (const FileError&) {
        // Missing or unreadable: the first-run record replaces it.
        setupdefaults(sh_);
        if (!writesetup(app_)) return;
    }
    // A data folder elsewhere is this copy's before anything there is touched: one that another
    // copy of the program holds ends this one, after the box. It is then cleared of stray
    // temporaries before its files are read.
    if (!app_.claimdatafolder(sh_.datapath, true)) {
        app_.endprogram();
        return;
    }
    app_.files().sweep(sh_.datapath);
    for (int i = 1; i <= nflights; ++i) control("txtflight", i - 1).settext(sh_.flightnames[i]);

    fixcapacities(sh_);

    if (int n = roundindex(sh_.curround)) {
        sh_.banner = roundbanner(sh_, sh_.curround);
        control("Option" + std::to_string(n)).setvalue(1);
    }
    showsettings();
    app_.printer().fontsize = sh_.printfontsizes[sh_.fontsizeidx];

    if (app_.msgbox("Is a printer available and will bet receipts be printed?", vbYesNo,
                    "Initialize") == vbYes) {
        control("cmdprint").setcaption("Printing to default printer is active");
        sh_.printswitch = "yes";
    } else {
        control("cmdprint").setcaption("All printing is suppressed");
        sh_.printswitch = "no";
    }
    control("cmdround")
        .setcaption("Round payoff to nearest " + sh_.roundlabels[sh_.roundingchoice]);
    for (int i = 1; i <= 5; ++i)
        control("cmdbamount", i).setcaption(sh_.betamounts[sh_.betbuttons[i]]);
}

void frminit::showsettings() {
    for (int i = 0; i < 4; ++i)
        control(kBannerBoxes[i]).settext(roundbanner(sh_, roundkeys[i + 1]));
    control("txtbanner").settext(sh_.banner);
    // Clearing, the transfers, the name import and GO TO MENU all work in the program folder,
    // whatever folder the data folder screen stored: the box shows the folder they use.
    control("txtfiles").settext(kProgramFolder);
}

// ---------------------------------------------------------------- GO TO MENU and EXIT PROGRAM

namespace {

// Looks at a file: true when it exists, false when it is missing; FileError for anything else.
bool probe(Host& app, const std::string& fileop, const std::string& path) {
    app.shared().fileop = fileop;
    try {
        app.files().probe(path);
        return true;
    } catch (const FileError& e) {
        if (e.number == 53) return false;
        throw;
    }
}

// Creates a folder; one that exists already is fine.
void makefolder(Host& app, const std::string& fileop, const std::string& path) {
    app.shared().fileop = fileop;
    try {
        app.files().mkdir(path);
    } catch (const FileError& e) {
        if (e.number != 75) throw;
    }
}

}  // namespace

namespace {

// Told after the box of a data folder or file that could not be made, when a name may be the
// cause (a bad name, a path or device not found, a file where a folder belongs); not after a box
// whose cause is something else (a full disk, no permission, a journal recovery refused), which
// tells all there is.
bool badfolder(Host& app, const FileError& e) {
    if (isjournalrefusal(e)) return false;
    if (e.number != 52 && e.number != 68 && e.number != 75 && e.number != 76) return false;
    app.msgbox("Make sure drive and directory names are valid-try using default names", vbOKOnly,
               "Menu");
    return false;
}

}  // namespace

bool frminit::makedatafiles() {
    // Folders are made at once; the files go in one transaction.
    Transaction tx(app_.files());
    try {
        makefolder(app_, "Bets drivedir-Setup", sh_.datapath);
        makefolder(app_, "Bets round-Setup", sh_.datapath + sh_.curround);
        for (long n = 1; n <= nflights; ++n) {
            sh_.curflight = sh_.flightnames[n];
            sh_.curflightnbr = n;
            if (!probe(app_, "Bets Input-Setup", sh_.betsfile(sh_.curround, n))) {
                tx.title(sh_.fileop);
                app_.files().replacefile(sh_.betsfile(sh_.curround, n), "");
            }
            if (!probe(app_, "Betsbackup input-Setup", sh_.betsbackupfile(sh_.curround, n))) {
                tx.title(sh_.fileop);
                app_.files().replacefile(sh_.betsbackupfile(sh_.curround, n), "");
            }
        }
        makefolder(app_, "Players directory-Setup", sh_.datapath);
        // A missing Players or Bettors file whose backup holds records is made empty beside it,
        // as a missing Bets file is: the backup is what Use Backup Files puts back.
        const std::string players = sh_.datapath + "Players", bettors = sh_.datapath + "Bettors";
        if (!probe(app_, "Players Input-Setup", players)) {
            tx.title(sh_.fileop);
            if (backupholdslines(app_.files(), players))
                app_.files().replacefile(players, "");
            else
                writeentries(app_);
        }
        if (!probe(app_, "Bettors Input-Setup", bettors)) {
            sh_.fileop = "Bettors Output-Setup";
            tx.title(sh_.fileop);
            if (backupholdslines(app_.files(), bettors)) {
                app_.files().replacefile(bettors, "");
            } else {
                writeanybettor(app_, bettors);
                sh_.fileop = "Bettorsbackup output-Setup";
                tx.title(sh_.fileop);
                writeanybettor(app_, sh_.datapath + "Bettorsbackup");
            }
        }
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return badfolder(app_, e);
    }
    std::optional<FileError> failed;
    if (app_.context().commit(tx, [&](const FileError& e) { failed = e; })) return true;
    return badfolder(app_, *failed);
}

void frminit::cmdok_Click() {
    control("txtfiles").settext(kProgramFolder);
    sh_.datapath = kProgramFolder;
    sh_.fileop = "Init open-Setup";
    std::optional<FileError> failed;
    if (!writesetup(app_, &failed)) {
        badfolder(app_, *failed);
        return;
    }
    // The data folder is the program folder again: a data folder elsewhere is let go.
    app_.claimdatafolder(sh_.datapath, false);
    if (!makedatafiles()) return;
    sh_.sizetables();
    sh_.boardlines.assign(sh_.maxplayers + 1, "");
    sh_.saveround = sh_.curround;
    app_.form("frmmenu").show();
}

void frminit::cmdexit_Click() {
    writesetup(app_);
    app_.endprogram();
}

}  // namespace vt
