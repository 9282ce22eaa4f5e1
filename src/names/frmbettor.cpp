#include "names/frmbettor.h"

#include "names/allbets.h"
#include "names/savefiles.h"
#include "platform/text.h"
#include "platform/transaction.h"
#include "records/filelines.h"
#include "records/records.h"
#include "records/typedinput.h"

namespace vt {

frmbettor::frmbettor(Host& app) : Form(app, "frmbettor"), app_(app) {
    caption = "Bettor update";
    auto& banner = add(Kind::TextBox, "txtbanner", "", 10, 6, 1004, 32);
    banner.tooltip = "Event name and betting round for this event - can be changed on setup screen";
    banner.fontsize = 12;
    banner.fontbold = true;
    banner.alignment = 2;
    banner.showonly();

    // Left: adding bettors and the whole-file buttons.
    add(Kind::Label, "Label1", "ADD MEMBER/BETTOR", 40, 60, 440, 22).fontbold = true;
    add(Kind::Label, "Label4", "NEW MEMBER/BETTOR NAME", 40, 92, 440, 20);
    auto& name = add(Kind::TextBox, "txtbettorname", "", 40, 114, 440, 28);
    name.tooltip =
        "Enter member/bettor name to be added here and press 'Enter' - lower case is converted to "
        "upper case";
    name.KeyPress = [this](int& k) { txtbettorname_KeyPress(k); };
    add(Kind::Label, "lblenter", "", 40, 154, 440, 120);
    auto& players =
        add(Kind::CommandButton, "cmdplayers", "Make Players/ Members Bettors", 40, 300, 440, 36);
    players.tooltip = "Adds all player/teams to member/bettor list";
    players.Click = [this] { cmdplayers_Click(); };
    auto& clear =
        add(Kind::CommandButton, "cmdclearbettors", "CLEAR ALL MEMBER/BETTORS", 40, 348, 440, 36);
    clear.tooltip = "Clear all member/bettors - must clear all bets first";
    clear.Click = [this] { cmdclearbettors_Click(); };
    auto& ret = add(Kind::CommandButton, "cmdreturn", "MAIN MENU", 40, 690, 200, 40);
    ret.tooltip = "Return to main menu";
    ret.Click = [this] { cmdreturn_Click(); };

    // Right: the bettor list and deleting.
    add(Kind::Label, "Label3", "MEMBER/BETTOR LIST", 540, 60, 440, 22).fontbold = true;
    auto& lst = add(Kind::ListBox, "cbobettornames", "", 540, 84, 440, 400);
    lst.sorted = true;
    lst.KeyPress = [this](int& k) { cbobettornames_KeyPress(k); };
    add(Kind::Label, "lblcombo", "", 540, 494, 440, 140);
    add(Kind::Label, "Label2", "DELETE A MEMBER/BETTOR", 540, 664, 440, 22).fontbold = true;
    auto& del = add(Kind::CommandButton, "cmddelete", "DELETE A MEMBER/BETTOR", 540, 690, 440, 40);
    del.tooltip = "Delete selected member/bettor, returning any bets - ";
    del.Click = [this] { cmddelete_Click(); };
}

void frmbettor::Form_Load() {
    Shared& sh = app_.shared();
    control("txtbanner").settext(sh.banner);
    sh.crlf = "\r\n\r\n";
    control("lblenter")
        .setcaption("Enter bettor name as LASTNAME-FIRSTNAME and press enter." + sh.crlf +
                    "Separate LN-FN with a dash e.g. SMITH-JOHN." + sh.crlf +
                    "Names are stored in alphabetical sequence.");
    control("lblcombo")
        .setcaption("Use scroll bar to move through Bettor list." + sh.crlf +
                    "Click on name to be deleted." + sh.crlf +
                    "Click 'DELETE A BETTOR' to delete a bettor name." + sh.crlf +
                    "Click CLEAR ALL BETTORS to delete all bettors.");
    readbettors(app_);
    // A missing Bettors file is started afresh with AnyBettor; an existing one is never
    // overwritten, nor one lost while its backup holds bettors (its reading said so).
    std::string file = sh.datapath + "Bettors";
    bool fresh = false;
    try {
        fresh = !app_.files().exists(file) && !backupholdslines(app_.files(), file);
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
    }
    if (fresh) {
        sh.fileop = "Bettors Output";
        Transaction tx(app_.files(), sh.fileop);
        try {
            app_.files().replacefile(file, "1,\"AnyBettor\"\r\n");
            if (app_.commit(tx)) readbettors(app_);
        } catch (const FileError& e) {
            app_.fileerrorbox(e);
        }
    }
    fillbettors();
}

void frmbettor::fillbettors() {
    Shared& sh = app_.shared();
    Control& lst = control("cbobettornames");
    lst.clear();
    for (size_t i = 1; i <= sh.bettors.size(); ++i) {
        const Bettor& b = sh.bettors(i);
        if (b.number == 999 || b.name.empty()) break;
        if (iszzz(b.name)) continue;
        lst.additem(b.name);
        lst.setitemdata(lst.newindex(), b.number);
    }
}

long frmbettor::newticket(const std::set<long long>& used, long from) const {
    const Shared& sh = app_.shared();
    auto inuse = [&](long n) {
        for (size_t i = 1; i <= sh.bettors.size(); ++i) {
            const Bettor& b = sh.bettors(i);
            if (b.number == 999 || b.name.empty()) break;
            if (b.number == n && !iszzz(b.name)) return true;
        }
        return false;
    };
    long n = freenumber(used, from, 2);
    while (inuse(n)) n = freenumber(used, n + 1, 2);
    return n;
}

void frmbettor::txtbettorname_KeyPress(int& key) {
    if (key != vbKeyReturn) return;
    key = 0;
    addbettor();
}

void frmbettor::addbettor() {
    Shared& sh = app_.shared();
    Control& box = control("txtbettorname");
    if (box.text().empty()) return;
    box.settext(ucase(box.text()));
    std::string name = box.text();
    if (std::string why = namerefusal(name, "bettor name"); !why.empty()) {
        app_.msgbox(why, vbOKOnly, "Name error");
        return;
    }
    readbettors(app_);
    for (size_t i = 1; i <= sh.bettors.size(); ++i)
        if (sh.bettors(i).name == name) {
            app_.msgbox("Duplicate bettor name", vbOKOnly, "Name error");
            return;
        }
    if (sh.nbettors >= sh.maxbettors - 1) {
        app_.msgbox(
            "Maximum number of bettors exceeded. Increase number of bettors on Setup screen",
            vbOKOnly, "Max Bettor Error");
        return;
    }
    NumbersInUse used;
    if (!numbersinuse(app_, used)) return;
    long number = newticket(used.bettors, sh.nextticket);
    sh.bettors(sh.nbettors + 1) = Bettor{number, name};
    sh.nextticket = number + 1;
    if (!savebettors(app_)) return;
    Control& lst = control("cbobettornames");
    lst.additem(name);
    lst.setitemdata(lst.newindex(), number);
    app_.msgbox(name + " added", vbOKOnly, "Bettors");
    box.settext("");
}

void frmbettor::cbobettornames_KeyPress(int& key) {
    key = 0;
    app_.msgbox("Must select bettor name from drop down list", vbOKOnly, "Bettor name");
    unload();
    app_.form("frmbettor").show();
}

void frmbettor::cmdplayers_Click() {
    Shared& sh = app_.shared();
    if (app_.msgbox("Add all player/teams to the bettor file?", vbYesNo, "Bettors") != vbYes)
        return;
    readentries(app_);
    readbettors(app_);
    // First find every name to add, so nothing is added unless all of them fit.
    auto exists = [&](const std::string& n, const std::vector<std::string>& added) {
        for (size_t i = 1; i <= sh.bettors.size(); ++i)
            if (!sh.bettors(i).name.empty() && sh.bettors(i).name == n) return true;
        return std::find(added.begin(), added.end(), n) != added.end();
    };
    std::vector<std::string> names, fresh;
    for (long r = 1; r < sh.nextentryrow && r <= static_cast<long>(sh.entries.size()); ++r) {
        std::string n = Left(sh.entries(r).name, 20);
        names.push_back(n);
        if (!exists(n, fresh) && namerefusal(n, "bettor name").empty()) fresh.push_back(n);
    }
    if (sh.nbettors + static_cast<long>(fresh.size()) > sh.maxbettors - 1) {
        sh.fileop = "Combined files exceeds maximum number of bettors";
        app_.msgbox(sh.fileop);
        return;
    }
    NumbersInUse used;
    if (!numbersinuse(app_, used)) return;
    std::vector<std::string> added;
    long row = sh.nbettors + 1;
    for (auto& n : names) {
        if (std::string why = namerefusal(n, "bettor name"); !why.empty()) {
            app_.msgbox(why, vbOKOnly, "Bettors");
        } else if (exists(n, added)) {
            app_.msgbox(n + " already exists");
        } else {
            long number = newticket(used.bettors, sh.nextticket);
            sh.bettors(row++) = Bettor{number, n};
            sh.nextticket = number + 1;
            added.push_back(n);
        }
    }
    savebettors(app_);
    readbettors(app_);
    fillbettors();
}

void frmbettor::cmdclearbettors_Click() {
    Shared& sh = app_.shared();
    AllBets all;
    if (!all.load(app_)) return;
    if (all.anybets()) {
        app_.msgbox("Must clear bets first", vbOKOnly, "Clear bettors");
        return;
    }
    if (app_.msgbox("Clear All Bettors?", vbYesNo, "Bettors") != vbYes) return;
    control("cbobettornames").clear();
    for (size_t i = 1; i <= sh.bettors.size(); ++i) sh.bettors(i) = Bettor{};
    sh.bettors(1) = kanybettor;
    sh.bettorscomplete = true;  // the table now holds all the file is meant to hold
    if (savebettors(app_)) app_.msgbox("Bettor file cleared", vbOKOnly, "Bettors");
}

void frmbettor::cmdreturn_Click() {
    // A table that was not read whole is not written back over the file.
    if (bettorscomplete(app_) && !savebettors(app_)) return;
    unload();
    app_.form("frmmenu").show();
}

void frmbettor::cmddelete_Click() {
    Shared& sh = app_.shared();
    Control& lst = control("cbobettornames");
    int sel = lst.listindex();
    if (sel < 0) {
        app_.msgbox("Select bettor from list first");
        return;
    }
    long number = lst.itemdata(sel);
    std::string name = lst.list(sel);
    if (number == 1) {
        app_.msgbox("AnyBettor cannot be deleted", vbOKOnly, "Delete Bettor");
        return;
    }
    if (app_.msgbox("Delete " + name, vbYesNo, "Bettors") != vbYes) return;
    size_t row = 0;
    for (size_t i = 1; i <= sh.bettors.size() && row == 0; ++i) {
        const Bettor& b = sh.bettors(i);
        if (b.number == 999 || b.name.empty()) break;
        if (b.number == number && !iszzz(b.name)) row = i;
    }
    if (row == 0) {
        app_.msgbox("Bettor name not found", vbOKOnly, "Delete Bettor");
        return;
    }
    if (!bettorscomplete(app_)) {
        refusenotread(app_, "Bettors");
        return;
    }

    sh.curticket = number;
    std::vector<RemovedBet> removed;
    {
        // The bettor's bets on every round and flight and the Bettors pair go in one transaction;
        // the refund line is printed before it commits, so a refund that cannot be printed leaves
        // the bettor and every bet in place.
        Transaction tx(app_.files(), sh.fileop);
        if (!removebets(app_, 0, number, "bettor " + name, removed)) return;
        Money sum;
        for (auto& r : removed) sum += r.amount;
        std::vector<Refund> lines;
        if (sum != Money()) lines.push_back({name, sum});
        std::string kept = sh.bettors(row).name;
        sh.bettors(row).name = "zzz";
        if (!savebettors(app_) || !printrefunds(app_, "REFUND BETS FOR " + name, lines) ||
            !app_.commit(tx)) {
            sh.bettors(row).name = kept;
            return;
        }
    }
    lst.removeitem(lst.findbydata(number));
}

}  // namespace vt
