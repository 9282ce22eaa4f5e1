#include "setup/frmimport.h"

#include "platform/text.h"
#include "platform/transaction.h"
#include "records/filelines.h"
#include "records/records.h"
#include "records/typedinput.h"
#include "setup/frmdir.h"
#include "setup/setupfile.h"

namespace vt {

std::vector<std::string> namefields(const std::string& bytes) {
    std::vector<std::string> out;
    size_t i = 0, n = bytes.size();
    auto lineend = [&](size_t k) { return k >= n || bytes[k] == '\r' || bytes[k] == '\n'; };
    while (i < n) {
        // Start of a line: a blank one holds nothing.
        size_t k = i;
        while (k < n && (bytes[k] == ' ' || bytes[k] == '\t')) ++k;
        if (lineend(k)) {
            i = k + 1;
            continue;
        }
        for (;;) {
            while (i < n && bytes[i] == ' ') ++i;
            std::string field;
            if (i < n && bytes[i] == '"') {
                size_t close = bytes.find('"', i + 1);
                if (close == std::string::npos) close = n;
                field = bytes.substr(i + 1, close - i - 1);
                i = close + 1;
                while (i < n && bytes[i] != ',' && bytes[i] != '\t' && !lineend(i)) ++i;
            } else {
                size_t start = i;
                while (i < n && bytes[i] != ',' && bytes[i] != '\t' && !lineend(i)) ++i;
                field = trim(bytes.substr(start, i - start));
            }
            out.push_back(field);
            if (lineend(i)) {
                if (i + 1 < n && bytes[i] == '\r' && bytes[i + 1] == '\n') ++i;
                ++i;
                break;
            }
            ++i;  // past the comma or tab
        }
    }
    return out;
}

frmimport::frmimport(Host& app) : Form(app, "frmimport"), app_(app) {
    caption = "Import external name files";
    add(Kind::Label, "Text1", "Select drive containing import file", 10, 10, 300, 20);
    add(Kind::DriveListBox, "Drive1", "", 10, 32, 300, 26).Change = [this] { Drive1_Change(); };
    add(Kind::Label, "txtdir", "Select directory location of import file", 10, 66, 300, 20);
    add(Kind::DirListBox, "Dir1", "", 10, 88, 300, 200).Change = [this] { Dir1_Change(); };
    add(Kind::Label, "Text7", "Select file to be imported", 10, 296, 300, 20);
    add(Kind::FileListBox, "File1", "", 10, 318, 300, 200).Click = [this] { File1_Click(); };
    add(Kind::TextBox, "txtdrivedir", "", 10, 528, 300, 26);
    auto& get = add(Kind::CommandButton, "cmdget", "List selected file", 10, 564, 300, 36);
    get.tooltip = "Display all the records in the import file";
    get.Click = [this] { cmdget_Click(); };

    add(Kind::Label, "Text6", "Contents of imported record", 330, 10, 300, 20);
    add(Kind::ListBox, "lstrecord", "", 330, 32, 300, 568).multiselect = true;

    add(Kind::Label, "Text4", "ADD names to this selected file", 650, 10, 360, 20);
    add(Kind::ListBox, "lstoutfile", "", 650, 32, 360, 44).Click = [this] { lstoutfile_Click(); };
    auto& fra = add(Kind::Frame, "fraflight", "Flight", 650, 84, 360, 226);
    fra.tooltip = "Must select a flight to add new player/teams";
    for (int n = 1; n <= nflights; ++n) {
        int col = (n - 1) / 8, row = (n - 1) % 8;
        auto& o =
            add(Kind::OptionButton, "optflight", n, "", 660 + 175 * col, 104 + 25 * row, 170, 22);
        o.tooltip = "Select a flight if adding to the Players file";
        container[&o] = &fra;
        o.Click = [this, n] { optflight_Click(n); };
    }
    auto& imp = add(Kind::CommandButton, "cmdimport", "Add selected names", 650, 318, 360, 36);
    imp.tooltip =
        "Add the selected name field to the selected Vantrope file checking for duplicates - "
        "display a log "
        "of added and duplicate names";
    imp.Click = [this] { cmdimport_Click(); };
    add(Kind::Label, "Text2", "Log of changes to the selected file", 650, 362, 360, 20);
    add(Kind::ListBox, "lstlog", "", 650, 384, 360, 216);

    auto& msg =
        add(Kind::TextBox, "txtmessage",
            "Names can be imported from comma or tab separated files, as the \"export\" or \"save "
            "as\"\r\n"
            "functions of other programs write them. Bettor names should be in \"Last Name, First "
            "Name\"\r\n"
            "order because the bettor file is sorted alphabetically.\r\n"
            "1. Select the drive, the folder and the file.  2. Select a flight when adding player "
            "names.\r\n"
            "3. Select the file the names will be added to.  4. Click \"List selected file\".\r\n"
            "5. Select the names (Shift or Ctrl for several).  6. Click \"Add selected names\".",
            10, 606, 780, 118);
    msg.multiline = true;
    msg.locked = true;
    auto& ret = add(Kind::CommandButton, "cmdreturn", "Return to Setup", 810, 630, 200, 44);
    ret.tooltip = "Return to setup menu";
    ret.Click = [this] { cmdreturn_Click(); };
    add(Kind::Label, "lblcopyr", "", 810, 690, 200, 34).multiline = true;
}

void frmimport::Form_Load() {
    Shared& sh = app_.shared();
    control("lblcopyr").setcaption("Vantrope - betting pools for golf events");
    control("lstrecord").clear();
    pointlists(control("Drive1"), control("Dir1"), sh.datapath);
    shown_ = control("Drive1").drive;
    Control& files = control("File1");
    files.path = control("Dir1").path;
    files.refresh();
    control("txtdrivedir").settext("");
    control("lstoutfile").additem("Bettors");
    control("lstoutfile").additem("Players");
    for (int n = 1; n <= nflights; ++n) control("optflight", n).setcaption(sh.flightnames[n]);
}

void frmimport::Drive1_Change() {
    Control& drive = control("Drive1");
    if (!drivechosen(app_, drive, shown_)) return;
    control("Dir1").setpath(ucase(drive.drive) + "\\");
    control("txtdrivedir").settext(ucase(drive.drive));
}

void frmimport::Dir1_Change() {
    const std::string& path = control("Dir1").path;
    control("txtdrivedir").settext(path);
    control("File1").setpath(path);
}

void frmimport::File1_Click() {
    Control& files = control("File1");
    if (files.listindex() < 0) return;
    std::string folder = files.path;
    if (folder.empty() || folder.back() != '\\') folder += "\\";
    control("txtdrivedir").settext(folder + files.list(files.listindex()));
}

void frmimport::cmdget_Click() {
    Control& rec = control("lstrecord");
    rec.clear();
    std::string path = control("txtdrivedir").text();
    if (path.empty()) {
        app_.msgbox("Missing file name");
        return;
    }
    try {
        for (const std::string& f : namefields(app_.files().readall(path))) rec.additem(f);
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
    }
}

void frmimport::cmdreturn_Click() {
    unload();
    app_.form("frminit").show();
}

void frmimport::lstoutfile_Click() {
    Control& out = control("lstoutfile");
    importdest = out.list(out.listindex());
}

void frmimport::optflight_Click(int index) {
    Shared& sh = app_.shared();
    sh.curflight = sh.flightnames[index];
    sh.curflightnbr = index;
}

void frmimport::cmdimport_Click() {
    InProgramFolder home(app_.shared());
    control("lstlog").clear();
    std::vector<std::string> names;
    Control& rec = control("lstrecord");
    for (int i = 0; i < rec.listcount(); ++i) {
        if (!rec.selected(i) || rec.list(i).empty()) continue;
        std::string name = ucase(rec.list(i));
        // A name the data files cannot hold, or the deleted-record mark, is passed over.
        if (!namerefusal(name, "name").empty())
            log("Skipped       " + name);
        else
            names.push_back(name);
    }
    if (Right(importdest, 4) != "tors" && Right(importdest, 4) != "yers") {
        app_.msgbox("Must select destination file first");
        return;
    }
    // The names go to the file and its backup in one transaction; when it fails, the table is
    // read back from the file, which holds none of them.
    Transaction tx(app_.files());
    const bool bettors = Right(importdest, 4) == "tors";
    if (bettors)
        addbettors(names);
    else
        addplayers(names);
    if (app_.commit(tx)) return;
    if (bettors)
        readbettors(app_);
    else
        readentries(app_);
}

void frmimport::addbettors(const std::vector<std::string>& names) {
    Shared& sh = app_.shared();
    if (!readbettors(app_)) return;
    NumbersInUse used;
    if (!numbersinuse(app_, used)) return;
    for (const std::string& name : names) {
        auto taken = [&](auto pred) {
            for (size_t r = 1; r <= sh.bettors.size(); ++r)
                if (pred(sh.bettors(r))) return true;
            return false;
        };
        if (taken([&](const Bettor& b) { return b.name == name; })) {
            log("Duplicate Name " + name);
            continue;
        }
        if (sh.nbettors >= sh.maxbettors) {
            app_.msgbox(
                "Maximum number of bettors exceeded. Increase number of bettors on Setup screen",
                vbOKOnly, "Max Bettor Error");
            return;
        }
        while (sh.nextticket == 999 || sh.nextticket == 9999 || used.bettors.count(sh.nextticket) ||
               taken([&](const Bettor& b) { return b.number == sh.nextticket && !b.name.empty(); }))
            ++sh.nextticket;
        sh.bettors(++sh.nbettors) = Bettor{sh.nextticket++, name};
        log("Added         " + name);
        if (!writebettors(app_)) return;
    }
}

void frmimport::addplayers(const std::vector<std::string>& names) {
    Shared& sh = app_.shared();
    if (!readentries(app_)) return;
    NumbersInUse used;
    if (!numbersinuse(app_, used)) return;
    for (const std::string& whole : names) {
        int flight = 0;
        for (int n = 1; n <= nflights && !flight; ++n)
            if (control("optflight", n).value()) flight = n;
        if (!flight) {
            app_.msgbox("Select a flight", vbOKOnly, "New Entries");
            return;
        }
        sh.curflight = control("optflight", flight).caption();
        sh.curflightnbr = flight;
        auto inuse = [&](long number) {
            for (long r = 1; r < sh.nextentryrow; ++r)
                if (sh.entries(r).number == number) return true;
            return false;
        };
        while (sh.nextentrynbr == 999 || used.entries.count(sh.nextentrynbr) ||
               inuse(sh.nextentrynbr))
            ++sh.nextentrynbr;
        if (sh.nextentryrow > sh.maxplayers || sh.nextentrynbr > sh.maxplayers) {
            app_.msgbox("Maximum number of players exceeded. Increase number on Setup screen.");
            return;
        }
        std::string name = Left(whole, 30);
        log("Added         " + sh.curflight + name);
        sh.entries(sh.nextentryrow++) = Entry{sh.nextentrynbr++, sh.curflightnbr, "", name};
        if (!writeentries(app_)) return;
    }
}

}  // namespace vt
