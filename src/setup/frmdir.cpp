#include "setup/frmdir.h"

#include "platform/text.h"
#include "setup/setupfile.h"

namespace vt {

std::string foldername(const std::string& path) {
    std::string p = path;
    while (p.size() > 3 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
    return p;
}

void pointlists(Control& drive, Control& dir, const std::string& datapath) {
    dir.path = foldername(datapath);
    dir.refresh();
    drive.drive = lcase(Left(datapath, 2));
    drive.refresh();
}

bool drivechosen(Host& app, Control& drive, std::string& previous) {
    std::string root = ucase(drive.drive) + "\\";
    int number = 0;
    try {
        if (!app.files().isfolder(root)) number = 71;
    } catch (const FileError& e) {
        number = e.number;
    }
    if (number) {
        app.fileerrorbox(FileError(number, errortext(number)));
        drive.drive = previous;
        return false;
    }
    previous = drive.drive;
    return true;
}

frmdir::frmdir(Host& app) : Form(app, "frmdir"), app_(app) {
    caption = "Change File Drive/Path";
    add(Kind::Label, "Text2", "Current drive/path", 40, 30, 400, 20);
    add(Kind::TextBox, "txtdrivedir", "", 40, 52, 600, 26).tooltip =
        "Displays current drive/path selection";
    control("txtdrivedir").locked = true;
    add(Kind::Label, "Text1", "Click on desired drive below ", 40, 100, 400, 20);
    auto& drive = add(Kind::DriveListBox, "Drive1", "", 40, 122, 300, 26);
    drive.tooltip = "cHANGES THE DRIVE WHERE bETS, bETTORS,, pLAYER/tEAM WILL BE STORED";
    drive.Change = [this] { Drive1_Change(); };
    add(Kind::Label, "txtdir", "Double Click on desired directory below ", 40, 170, 400, 20);
    auto& dir = add(Kind::DirListBox, "Dir1", "", 40, 192, 600, 420);
    dir.tooltip = "Changes the directory on the selected drive where files will be stored";
    dir.Change = [this] { Dir1_Change(); };
    auto& ret = add(Kind::CommandButton, "cmdreturn", "Return to Setup", 40, 640, 200, 44);
    ret.tooltip = "Return to setup screen";
    ret.Click = [this] { cmdreturn_Click(); };
}

void frmdir::Form_Load() {
    const std::string& path = app_.shared().datapath;
    pointlists(control("Drive1"), control("Dir1"), path);
    shown_ = control("Drive1").drive;
    control("txtdrivedir").settext(path);
}

void frmdir::Dir1_Change() {
    Shared& sh = app_.shared();
    std::string folder = control("Dir1").path;
    if (folder.empty() || folder.back() == '\\') return;
    // A folder another copy of the program holds is refused after the box; the lists show the
    // data folder again.
    if (!app_.claimdatafolder(folder + "\\", false)) {
        pointlists(control("Drive1"), control("Dir1"), sh.datapath);
        shown_ = control("Drive1").drive;
        return;
    }
    sh.datapath = folder + "\\";
    control("txtdrivedir").settext(sh.datapath);
    try {
        readsetup(app_, true);
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return;
    }
    writesetup(app_);
}

void frmdir::Drive1_Change() {
    Control& drive = control("Drive1");
    if (!drivechosen(app_, drive, shown_)) return;
    std::string root = ucase(drive.drive) + "\\";
    control("Dir1").setpath(root);
    app_.shared().datapath = root;
    control("txtdrivedir").settext(root);
}

void frmdir::cmdreturn_Click() {
    unload();
    app_.form("frminit").show();
}

}  // namespace vt
