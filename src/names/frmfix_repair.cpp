// Removing a bad record, sorting the grid and printing it.
#include <algorithm>

#include "names/frmfix.h"
#include "platform/text.h"
#include "records/records.h"

namespace vt {

void Frmfix::grdfix_Click() {
    GridState& g = grdfix.grid;
    // The row clicked names a record of the display by its number in column 0.
    pickedrec_ = 0;
    if (g.row >= 1 && g.row < g.rows) {
        long long rec;
        if (parseint(grdfix.textmatrix(g.row, 0), rec) && rec >= 1) pickedrec_ = static_cast<long>(rec);
    }
    cmdsorta.setvisible(false);
    sortdir = " ";
    g.colsel = g.cols - 1;
    frasort.setvisible(true);
}

void Frmfix::cmdupdate_Click() {
    Shared& s = app_.shared();
    long r = pickedrecord(Display::Bets);
    if (r < 1) {
        app_.msgbox("Display the bet file and click the bet to remove first");
        return;
    }
    std::string bets = s.betsfile(s.curround, fixflight);
    std::string backup = s.betsbackupfile(s.curround, fixflight);
    // The pair is rewritten from a complete read of the Bets file, every other record kept.
    std::string out;
    try {
        s.fileop = "Bets Input";
        std::string bytes = app_.files().readall(bets);
        RecordReader in(bytes);
        long n = 0;
        while (!in.eof()) {
            Field f[4] = {in.field(), in.field(), in.field(), in.field()};
            if (++n == r) continue;
            for (int i = 0; i < 4; ++i) {
                if (i) out += ',';
                out += f[i].quoted ? "\"" + f[i].text + "\"" : f[i].text;
            }
            out += "\r\n";
        }
        if (r > n) {
            app_.msgbox("That bet is no longer in the file");
            return;
        }
        s.fileop = "Bets Output";
        app_.files().replacefile(bets, out);
        s.fileop = "Betsbackup Output";
        app_.files().replacefile(backup, out);
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return;
    }
    s.dropbet = 99999;
    s.dataerror = 0;
    s.curflight = fixflightname;
    s.curflightnbr = fixflight;
    sumbets(app_);
    showbetsforchoice();
}

void Frmfix::cmdrplayer_Click() {
    Shared& s = app_.shared();
    lblbets.setcaption("");
    long r = pickedrecord(Display::Players);
    if (r < 1 || r > s.maxplayers) {
        app_.msgbox("Display the player file and click the player to remove first");
        return;
    }
    long shown = pickedrec_;
    s.entries(r).name = "zzz";
    writeentries(app_);
    readentries(app_);
    txtbanner.settext(s.banner);
    removegridrowfor(shown);
}

void Frmfix::cmdrbettor_Click() {
    Shared& s = app_.shared();
    lblbets.setcaption("");
    long r = pickedrecord(Display::Bettors);
    if (r < 1 || r > s.maxbettors) {
        app_.msgbox("Display the bettor file and click the bettor to remove first");
        return;
    }
    long shown = pickedrec_;
    // Bettor 1 is always written back first, so its row stays in the table.
    bool anybettor = r == 1;
    s.bettors(r).name = "zzz";
    writebettors(app_);
    readbettors(app_);
    removegridrowfor(shown);
    if (anybettor) removed_.pop_back();
    txtbanner.settext(s.banner);
}

// Drops the grid row of a removed record; the rows below keep their record numbers.
void Frmfix::removegridrowfor(long rec) {
    for (int row = 1; row < grdfix.rows(); ++row) {
        if (grdfix.textmatrix(row, 0) == std::to_string(rec)) {
            grdfix.removegridrow(row);
            break;
        }
    }
    removed_.push_back(rec);
    pickedrec_ = 0;
}

void Frmfix::closesortframe() {
    cmdsorta.setvisible(true);
    frasort.setvisible(false);
    for (Control* c : {&chkasc, &chkdes, &chknum, &chkalp}) c->setvalue(0);
}

void Frmfix::chkasc_Click() {
    if (!chkasc.value()) return;
    sortdir = "A";
    chkdes.setvalue(0);
}

void Frmfix::chkdes_Click() {
    if (!chkdes.value()) return;
    sortdir = "D";
    chkasc.setvalue(0);
}

void Frmfix::chkalp_Click() {
    if (!chkalp.value()) return;
    if (sortdir == "A") grdfix.setsort(flexSortGenericAscending);
    else if (sortdir == "D") grdfix.setsort(flexSortGenericDescending);
    closesortframe();
}

void Frmfix::chknum_Click() {
    if (!chknum.value()) return;
    if (sortdir == "A") grdfix.setsort(flexSortNumericAscending);
    else if (sortdir == "D") grdfix.setsort(flexSortNumericDescending);
    closesortframe();
}

void Frmfix::cmdprint_Click() {
    Shared& s = app_.shared();
    if (equalsnocase(s.printswitch, "no")) return;
    Printer& p = app_.printer();
    DocGuard guard(p);
    p.fontsize = 8;
    p.fontname = "MS Sans Serif";
    p.fontbold = false;
    p.print({lblbets.caption()});
    for (int r = 0; r < grdfix.rows(); ++r) {
        std::string line;
        for (int c = 0; c < grdfix.cols(); ++c) {
            std::string cell = Left(grdfix.textmatrix(r, c), 20);
            line += cell + Space(20 - static_cast<long>(cell.size()));
        }
        p.print({line});
    }
    grdfix.grid.row = grdfix.rows() - 1;
    grdfix.grid.col = grdfix.cols() - 1;
}

}  // namespace vt
