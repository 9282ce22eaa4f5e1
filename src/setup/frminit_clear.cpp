// Clearing the data files of the setup screen: all Bets files, the Bettors file, the Players file.
#include "platform/text.h"
#include "platform/transaction.h"
#include "records/records.h"
#include "setup/frminit.h"
#include "setup/setupfile.h"

namespace vt {

namespace {

// True when some Bets file of any round and flight holds a bet; FileError when one cannot be read.
bool anybets(Host& app) {
    Shared& sh = app.shared();
    sh.fileop = "Bets Input";
    for (int r = 1; r <= nrounds; ++r)
        for (long n = 1; n <= nflights; ++n) {
            std::string path = sh.betsfile(roundkeys[r], n);
            if (!app.files().exists(path)) continue;
            if (!trim(app.files().readall(path)).empty()) return true;
        }
    return false;
}

// The bettor and player files may be cleared only when no round or flight holds a bet.
bool betsarecleared(Host& app) {
    try {
        if (!anybets(app)) return true;
        app.msgbox("Must clear Bets first", vbOKOnly, app.shared().fileop);
    } catch (const FileError& e) {
        app.fileerrorbox(e);
    }
    return false;
}

}  // namespace

bool frminit::clearallbets() {
    sh_.fillroundnames();
    sh_.fileop = "Bets clear";
    Transaction tx(app_.files(), sh_.fileop);  // every pair of every round, or none
    try {
        for (int r = 1; r <= nrounds; ++r)
            for (long n = 1; n <= nflights; ++n) {
                sh_.curflightnbr = n;
                app_.files().replacefile(sh_.betsfile(sh_.roundnames[r], n), "");
                app_.files().replacefile(sh_.betsbackupfile(sh_.roundnames[r], n), "");
            }
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return false;
    }
    if (!app_.commit(tx)) return false;
    for (size_t i = 1; i <= sh_.bets.size(); ++i) sh_.bets(i) = Bet{};
    sh_.betcount = 1;
    for (size_t i = 1; i <= sh_.summ.size(); ++i)
        sh_.summ(i) = SummRow{{}, {}, {}, {}, "0", "0", "0"};
    app_.msgbox("All Bets files cleared and initialized", vbOKOnly, "Initialize Bets");
    return true;
}

void frminit::cmdbets_Click() {
    InProgramFolder home(sh_);
    if (app_.msgbox("Clear and initialize ALL Bet files?", vbYesNo, "Initialize") != vbYes) return;
    clearallbets();
}

void frminit::cmdbettors_Click() {
    InProgramFolder home(sh_);
    sh_.fileop = "Clear Bettors";
    resetsumm(sh_);
    if (!betsarecleared(app_)) return;
    if (app_.msgbox("Clear and initialize Bettor file?", vbYesNo, "Initialize") != vbYes) return;
    Transaction tx(app_.files(), sh_.fileop);
    try {
        try {
            app_.files().mkdir(sh_.datapath);
        } catch (const FileError& e) {
            if (e.number != 75) throw;
        }
        writeanybettor(app_, sh_.datapath + "Bettors");
        writeanybettor(app_, sh_.datapath + "Bettorsbackup");
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return;
    }
    if (!app_.commit(tx)) return;
    sh_.bettors(1) = kanybettor;
    for (size_t i = 2; i <= sh_.bettors.size(); ++i) sh_.bettors(i) = Bettor{};
    sh_.nbettors = 1;
    sh_.nextticket = 2;
    app_.msgbox("Bettor file cleared and initialized", vbOKOnly, "Initialize Bettor");
}

void frminit::cmdplayers_Click() {
    InProgramFolder home(sh_);
    if (app_.msgbox("Clear and initialize ALL Bet files?", vbYesNo, "Initialize") != vbYes) return;
    if (!clearallbets()) return;
    sh_.fileop = "Clear Players";
    resetsumm(sh_);
    if (!betsarecleared(app_)) return;
    if (app_.msgbox("Clear and initialize Players file?", vbYesNo, "Initialize") != vbYes) return;
    Form& entries = app_.form("frmentries");
    if (entries.hascontrol("lstentries")) entries.control("lstentries").clear();
    Transaction tx(app_.files());
    try {
        sh_.fileop = "Players Output";
        tx.title(sh_.fileop);
        app_.files().replacefile(sh_.datapath + "Players", "");
        sh_.fileop = "Playersbackup output";
        tx.title(sh_.fileop);
        app_.files().replacefile(sh_.datapath + "Playersbackup", "");
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return;
    }
    if (!app_.commit(tx)) return;
    for (size_t i = 1; i <= sh_.entries.size(); ++i)
        sh_.entries(i) = Entry{static_cast<long>(i), 0, "", "zzz"};
    sh_.nextentryrow = 1;
    sh_.nextentrynbr = 1;
    app_.msgbox("Player file cleared and initialized", vbOKOnly, "Initialize Players");
}

}  // namespace vt
