#include "setup/frmcpt.h"

#include "platform/text.h"
#include "platform/transaction.h"
#include "records/filelines.h"
#include "records/typedinput.h"
#include "setup/setupfile.h"

namespace vt {

namespace {

const std::string kFolder = "C:\\Vantrope\\";

}  // namespace

bool validsavename(const std::string& name) {
    if (trim(name).empty() || name.find_first_of("/\\:") != std::string::npos ||
        name.find("..") != std::string::npos || holdscontrol(name))
        return false;
    for (const char* own :
         {"Init", "Results", "Players", "Playersbackup", "Bettors", "Bettorsbackup"})
        if (equalsnocase(name, own)) return false;
    for (int r = 1; r <= nrounds; ++r)
        for (long n = 1; n <= nflights; ++n)
            for (bool backup : {false, true})
                if (equalsnocase(name, betsname("", roundkeys[r], n, backup))) return false;
    return true;
}

frmcpt::frmcpt(Host& app) : Form(app, "frmcpt"), app_(app) {
    caption = "Change Player/Team File";
    width = 520;
    height = 600;
    add(Kind::Label, "lbllst", "List of Vantrope Files", 20, 20, 300, 20);
    auto& files = add(Kind::FileListBox, "File1", "", 20, 44, 300, 440);
    files.DblClick = [this] { File1_DblClick(); };
    add(Kind::CommandButton, "cmdcpt", "Change Player/Team File", 340, 44, 160, 50).Click = [this] {
        cmdcpt_Click();
    };
    add(Kind::CommandButton, "cmdreturn", "Return", 340, 434, 160, 50).Click = [this] {
        cmdreturn_Click();
    };
}

void frmcpt::listfiles() {
    Control& files = control("File1");
    files.path = "C:\\Vantrope";
    files.refresh();
}

void frmcpt::Form_Load() {
    listfiles();
    control("lbllst").setvisible(false);
    control("File1").setvisible(false);
}

void frmcpt::cmdcpt_Click() {
    control("File1").setvisible(true);
    control("lbllst").setvisible(true);
    listfiles();
    app_.msgbox(
        "Double click on a valid Player/Team file in the list to replace the current Player/Team "
        "file");
}

bool frmcpt::savecurrent() {
    std::string name;
    for (;;) {
        name = app_.inputbox("Enter Save name for current Player/Team file");
        if (name.empty()) {
            if (app_.msgbox("No save name entered - skip save?", vbOKCancel) == vbOK) return true;
            continue;
        }
        if (validsavename(name)) break;
        app_.msgbox(
            "Not a valid save name - the program's own files and folder names cannot be used");
    }
    Transaction tx(app_.files(), app_.shared().fileop);
    try {
        app_.files().copy(kFolder + "Players", kFolder + name);
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        app_.msgbox("Player/Team file was not saved");
        return false;
    }
    if (!app_.commit(tx)) {
        app_.msgbox("Player/Team file was not saved");
        return false;
    }
    listfiles();
    app_.msgbox("Current Player/Team file saved as " + name);
    return true;
}

void frmcpt::replacewith(const std::string& chosen) {
    Transaction tx(app_.files(), app_.shared().fileop);  // the file and its backup together
    try {
        std::string bytes = app_.files().readall(kFolder + chosen);
        // The first record's four fields (62 when it is short); its third is empty in a Players
        // file.
        if (!recordfields(bytes, 4)[2].text.empty()) {
            app_.msgbox("Invalid Player/Team file");
            return;
        }
        // Players itself chosen: it already is the current file.
        if (!equalsnocase(chosen, "Players")) {
            // A Players file emptied while its backup holds records is not replaced over it.
            const std::string current = kFolder + "Players";
            bool there = app_.files().exists(current);
            std::string now = there ? app_.files().readall(current) : std::string();
            checknotemptied(app_.files(), current, there ? &now : nullptr);
            app_.files().replacefile(kFolder + "Players", bytes);
            app_.files().replacefile(kFolder + "Playersbackup", bytes);
        }
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        app_.msgbox("Problem changing Player/Team file");
        return;
    }
    if (!app_.commit(tx)) {
        app_.msgbox("Problem changing Player/Team file");
        return;
    }
    app_.msgbox(chosen + " is now the current Player/Team file");
}

void frmcpt::File1_DblClick() {
    Control& files = control("File1");
    if (files.listindex() < 0) return;
    std::string chosen = files.list(files.listindex());
    if (app_.msgbox("Save current Player/Team file?", vbYesNo) == vbNo || savecurrent())
        replacewith(chosen);
    files.setvisible(false);
    control("lbllst").setvisible(false);
}

}  // namespace vt
