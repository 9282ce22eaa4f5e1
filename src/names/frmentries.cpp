#include "names/frmentries.h"

#include "names/allbets.h"
#include "names/savefiles.h"
#include "platform/text.h"
#include "records/filelines.h"
#include "records/records.h"
#include "records/typedinput.h"

namespace vt {

frmentries::frmentries(Host& app) : Form(app, "frmentries"), app_(app) {
    caption = "Entries";

    auto& banner = add(Kind::TextBox, "txtbanner", "", 10, 6, 1004, 32);
    banner.tooltip = "Event name and current betting round - can be changed on setup screen";
    banner.fontsize = 12;
    banner.fontbold = true;
    banner.alignment = 2;
    banner.showonly();

    // Left column: flight, name box and buttons, then the help for adding.
    auto& flt = add(Kind::TextBox, "txtflt", "Select a Flight", 10, 48, 300, 22);
    flt.settext("Select a Flight");
    flt.locked = true;
    auto& cmb = add(Kind::ComboBox, "cmbflt", "", 10, 72, 300, 24);
    cmb.droplist = true;
    cmb.Click = [this] { cmbflt_Click(); };
    add(Kind::Label, "lblentry", "ADD A PLAYER/TEAM", 10, 104, 300, 20).fontbold = true;
    auto& name = add(Kind::TextBox, "txtentryname", "", 10, 126, 300, 26);
    name.tooltip =
        "Enter a new player/team here - use caps - enter last name followed by first name, "
        "separated with "
        "a dash - ";
    name.KeyPress = [this](int& k) { txtentryname_KeyPress(k); };
    auto& upd = add(Kind::CommandButton, "cmdupdate", "CHANGE A PLAYER/TEAM", 10, 162, 300, 32);
    upd.tooltip =
        "Select a player/team to change by clicking on it -  Update the players/teams information "
        "in the add "
        "a player/team box and click change - can't change flight ";
    upd.Click = [this] { cmdupdate_Click(); };
    add(Kind::CommandButton, "cmdscratch", "SCRATCH A PLAYER/TEAM", 10, 200, 300, 32).Click =
        [this] { cmdscratch_Click(); };
    auto& prt = add(Kind::CommandButton, "cmdprint", "PRINT A BET SHEET", 10, 238, 300, 32);
    prt.tooltip =
        "Select a flight first. Print a list of all player/teams for use as a betting sheet";
    prt.Click = [this] { cmdprint_Click(); };
    auto& menu = add(Kind::CommandButton, "cmdmainmenu", "MAIN MENU", 10, 276, 300, 32);
    menu.tooltip = "Return to the main menu.";
    menu.Click = [this] { cmdmainmenu_Click(); };
    add(Kind::Label, "lblpoolinfo", "", 10, 320, 300, 430);

    // Middle column: the entries, then the help for scratching and changing.
    auto& head =
        add(Kind::Label, "lblentries", "FLIGHT                  PLAYERS/TEAMS", 320, 48, 380, 20);
    head.fontbold = true;
    auto& lst = add(Kind::ListBox, "lstentries", "", 320, 70, 380, 400);
    // The titles stand over the flight labels and over the names, which begin at character 11.
    head.columnsof = &lst;
    head.captioncolumns = {0, 10};
    lst.sorted = true;
    lst.fontname = "Courier";
    lst.tooltip = "list of all player/teams sorted by alpha within flight";
    lst.Click = [this] { lstentries_Click(); };
    add(Kind::Label, "lblscratch", "", 320, 480, 380, 130);
    add(Kind::Label, "lblchange", "", 320, 618, 380, 130);

    // Right column: members, the bet-sheet message.
    add(Kind::Label, "Label1", "MEMBERS/BETTORS", 710, 48, 304, 20).fontbold = true;
    auto& mem = add(Kind::ListBox, "lstmembers", "", 710, 70, 304, 250);
    mem.sorted = true;
    mem.tooltip = "Click on a name to add the last name to the \"Add a Player/Team\" box";
    mem.Click = [this] { lstmembers_Click(); };
    auto& hint = add(Kind::TextBox, "Text1", "", 710, 328, 304, 84);
    hint.multiline = true;
    hint.locked = true;
    hint.settext(
        "Double click on a Member/Bettor \r\nname to add it to the \"Add a \r\nPlayer/Team window");
    auto& t2 = add(Kind::TextBox, "Text2", "", 710, 420, 304, 62);
    t2.multiline = true;
    t2.locked = true;
    t2.settext("Bet Sheet message - make changes and click UPDATE MESSAGE");
    auto& msg = add(Kind::TextBox, "txtmsg", "", 710, 490, 304, 200);
    msg.multiline = true;
    msg.settext(defaultmessage());
    auto& cmsg = add(Kind::CommandButton, "cmdmsg", "UPDATE MESSAGE", 710, 698, 304, 32);
    cmsg.tooltip = "Update message on the bet sheet";
    cmsg.Click = [this] { cmdmsg_Click(); };
}

std::string frmentries::defaultmessage() {
    const std::string crlf = "\r\n";
    return "Name" + std::string(33, '_') + "Signature" + std::string(43, '_') + " " + crlf +
           "Cash Paid" + std::string(11, '_') + "or Charge Member Number" + std::string(13, '_') +
           " " + crlf + "Enter your bet amount for each player/team to Win, Place, or Show. " +
           crlf + "Calculate and print the Total Bet. " + crlf +
           "Bring your sheet to the cashier." + crlf;
}

namespace {

std::string joined(std::initializer_list<const char*> lines, const std::string& sep) {
    std::string out;
    for (const char* l : lines) {
        if (!out.empty()) out += sep;
        out += l;
    }
    return out;
}

}  // namespace

void frmentries::Form_Load() {
    Shared& sh = app_.shared();
    control("txtbanner").settext(sh.banner);
    sh.crlf = "\r\n\r\n";
    control("lblpoolinfo")
        .setcaption(joined(
            {"TO ADD A PLAYER/TEAM",
             "Start by clicking on a flight. Then type each entry name in the 'Add a player/team' "
             "box.",
             "An entry may be one name or multiple names separated by commas.",
             "Press the enter key after each entry.", "Limit entry names to 30 characters",
             "Enter name in upper case, last name - first name",
             "Separate last name and first name with a dash",
             "Entry names are sorted in alphabetical sequence within flight",
             "Multiple names can also be selected from the Member/Bettor list to form teams."},
            sh.crlf));
    control("lstentries").clear();
    if (!sh.betsheetmsg.empty()) control("txtmsg").settext(sh.betsheetmsg);
    control("lblscratch")
        .setcaption(joined(
            {"TO SCRATCH A PLAYER TEAM", "Click on the Player/Team to be scratched",
             "Click Scratch a Player/Team",
             "The Player/Team is scratched and a list of bets on that Player/Team is printed"},
            sh.crlf));
    control("lblchange")
        .setcaption(joined({"TO CHANGE A PLAYER/TEAM", "Click on the Player/Team to be changed",
                            "The Player/Team name is displayed in the Add window",
                            "Change the Player/Team name and click Change Player/Team"},
                           sh.crlf));
    Control& cmb = control("cmbflt");
    cmb.clear();
    for (int f = 1; f <= nflights; ++f) cmb.additem(sh.flightnames[f]);
    readentries(app_);
    fillentries();
    Control& mem = control("lstmembers");
    mem.clear();
    readbettors(app_);
    for (size_t i = 1; i <= sh.bettors.size(); ++i) {
        const Bettor& b = sh.bettors(i);
        if (b.name.empty()) break;
        mem.additem(b.name);
        mem.setitemdata(mem.newindex(), b.number);
    }
    sh.curflight = "";
    clearselection();
}

std::string frmentries::listline(long flight, const std::string& name) const {
    const Shared& sh = app_.shared();
    std::string label = isflight(flight) ? sh.flightnames[flight] : std::string();
    return Left(Format(label, "!@@@@@@@@@@"), 10) + name;
}

void frmentries::fillentries() {
    Shared& sh = app_.shared();
    Control& lst = control("lstentries");
    lst.clear();
    for (size_t i = 1; i <= sh.entries.size(); ++i) {
        const Entry& e = sh.entries(i);
        if (e.number == 999 || e.name.empty()) break;
        if (iszzz(e.name)) continue;
        lst.additem(listline(e.flight, e.name));
        lst.setitemdata(lst.newindex(), e.number);
    }
}

void frmentries::clearselection() {
    selrow = 0;
    selnumber = 0;
    seltext.clear();
}

long frmentries::rowofnumber(long number) const {
    const Shared& sh = app_.shared();
    for (size_t i = 1; i <= sh.entries.size(); ++i) {
        const Entry& e = sh.entries(i);
        if (e.number == 999 || e.name.empty()) break;
        if (e.number == number && !iszzz(e.name)) return static_cast<long>(i);
    }
    return 0;
}

void frmentries::cmbflt_Click() {
    Shared& sh = app_.shared();
    Control& cmb = control("cmbflt");
    int i = cmb.listindex();
    if (i < 0) return;
    // The flight is the position in the list, so two flights with one label stay apart.
    sh.curflightnbr = i + 1;
    sh.curflight = cmb.list(i);
}

void frmentries::txtentryname_KeyPress(int& key) {
    if (key != vbKeyReturn) return;
    key = 0;
    addentry();
}

void frmentries::addentry() {
    Shared& sh = app_.shared();
    Control& box = control("txtentryname");
    if (box.text().empty()) return;
    box.settext(ucase(box.text()));
    if (sh.curflight.empty()) {
        app_.msgbox("Select a Flight", vbOKOnly, "New Entries");
        return;
    }
    // A name is stored cut to 30 characters; the list and the message show what is stored.
    std::string name = Left(box.text(), 30);
    if (std::string why = namerefusal(name, "player/team name"); !why.empty()) {
        app_.msgbox(why, vbOKOnly, "Players");
        return;
    }
    // A number some record names (a removed entry's bets among them) or a marker is never given.
    NumbersInUse used;
    if (!numbersinuse(app_, used)) return;
    long number = freenumber(used.entries, sh.nextentrynbr, 1);
    while (rowofnumber(number) != 0) number = freenumber(used.entries, number + 1, 1);
    if (sh.nextentryrow > sh.maxplayers || number > sh.maxplayers) {
        app_.msgbox("Maximum number of players exceeded. Increase number on Setup screen.");
        return;
    }
    long flight = sh.curflightnbr;
    const long rowat = sh.nextentryrow, nbrbefore = sh.nextentrynbr;
    Entry& row = sh.entries(rowat);
    row.number = number;
    row.flight = flight;
    row.field3 = "";
    row.name = name;
    sh.nextentrynbr = number + 1;
    ++sh.nextentryrow;
    // The list shows what the file holds: the entry is listed and announced only once written.
    if (!saveentries(app_)) {
        sh.entries(rowat) = Entry{};
        sh.nextentryrow = rowat;
        sh.nextentrynbr = nbrbefore;
        return;
    }
    Control& lst = control("lstentries");
    lst.additem(listline(flight, name));
    lst.setitemdata(lst.newindex(), number);
    app_.msgbox(name + " added", vbOKOnly, "Players");
    box.settext("");
    box.setfocus();
}

void frmentries::lstentries_Click() {
    Shared& sh = app_.shared();
    Control& lst = control("lstentries");
    int i = lst.listindex();
    if (i < 0) return;
    long number = lst.itemdata(i);
    long row = rowofnumber(number);
    if (row == 0) return;
    selrow = row;
    selnumber = number;
    seltext = lst.list(i);
    // The clicked entry's flight becomes the current flight.
    sh.curflightnbr = sh.entries(row).flight;
    sh.curflight = sh.flightnames[sh.curflightnbr];
    control("txtentryname").settext(Mid(seltext, 11));
}

void frmentries::lstmembers_Click() {
    Control& mem = control("lstmembers");
    int i = mem.listindex();
    if (i < 0) return;
    std::string n = mem.list(i);
    Control& box = control("txtentryname");
    box.fontsize = 8;
    long dash = InStr(n, "-");
    box.settext(box.text() + (dash > 0 ? Left(n, dash) : n + "-"));
    box.setfocus();
    box.movecaretend();
}

void frmentries::cmdupdate_Click() {
    Shared& sh = app_.shared();
    Control& box = control("txtentryname");
    if (box.text().empty() || selrow == 0) {
        app_.msgbox("Must select player/team first");
        return;
    }
    std::string name = box.text();
    if (std::string why = namerefusal(name, "player/team name"); !why.empty()) {
        app_.msgbox(why, vbOKOnly, "Players");
        return;
    }
    if (app_.msgbox("Change " + seltext + " to " + Left(seltext, 10) + name + " ?", vbYesNo,
                    "Players") != vbYes)
        return;
    long row = rowofnumber(selnumber);
    if (row == 0) {
        app_.msgbox("Bad Player number", vbOKOnly, "Player select");
        return;
    }
    selrow = row;
    std::string before = sh.entries(row).name;
    sh.entries(row).name = name;
    if (!saveentries(app_)) {
        sh.entries(row).name = before;  // not written: the table keeps what the file holds
        return;
    }
    readentries(app_);
    fillentries();
    box.settext("");
    clearselection();
}

void frmentries::cmdmsg_Click() {
    app_.shared().betsheetmsg = control("txtmsg").text();
    app_.msgbox("Bet sheet message updated", vbOKOnly, "Entries");
}

void frmentries::cmdmainmenu_Click() {
    unload();
    app_.form("frmmenu").show();
}

void frmentries::clearentries() {
    Shared& sh = app_.shared();
    AllBets all;
    if (!all.load(app_)) return;
    if (all.anybets()) {
        app_.msgbox("Must clear Bets first", vbOKOnly, sh.fileop);
        return;
    }
    if (app_.msgbox("Clear All Players/Teams?", vbYesNo, "Clear") != vbYes) return;
    sh.fileop = "Players Output";
    control("lstentries").clear();
    for (size_t i = 1; i <= sh.entries.size(); ++i) sh.entries(i) = Entry{};
    sh.entriescomplete = true;  // the table now holds all the file is meant to hold
    saveentries(app_);
    sh.nextentrynbr = 1;
    sh.nextentryrow = 1;
    clearselection();
}

}  // namespace vt
