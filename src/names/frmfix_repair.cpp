// Removing a bad record, sorting the grid and printing it.
#include <algorithm>
#include <functional>

#include "names/frmfix.h"
#include "platform/text.h"
#include "platform/transaction.h"
#include "records/records.h"

namespace vt {

void frmfix::grdfix_Click() {
    GridState& g = grdfix.grid;
    // The row clicked names a record of the display by its number in column 0.
    pickedrec_ = 0;
    if (g.row >= 1 && g.row < g.rows) {
        long long rec;
        if (parseint(grdfix.textmatrix(g.row, 0), rec) && rec >= 1)
            pickedrec_ = static_cast<long>(rec);
    }
    cmdsorta.setvisible(false);
    sortdir = " ";
    g.colsel = g.cols - 1;
    frasort.setvisible(true);
}

bool frmfix::removeline(long k, const std::vector<std::pair<std::string, std::string>>& files) {
    Shared& s = app_.shared();
    // The line is taken out of the bytes that were displayed, so the file must still hold them.
    std::string now;
    try {
        s.fileop = "Fix Files Input";
        if (!shown_.missing) now = app_.files().readall(shown_.file);
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return false;
    }
    if (shown_.missing || now.size() != shown_.size ||
        std::hash<std::string>{}(now) != shown_.hash || k < 1 ||
        k > static_cast<long>(shown_.lines.size())) {
        app_.msgbox(
            "The file has changed since it was displayed. Display it again and pick the record "
            "again.",
            vbOKOnly, "Fix Files");
        return false;
    }
    std::string bytes = withoutline(now, shown_.lines[k - 1]);
    // The file and its copy change together or not at all.
    Transaction tx(app_.files());
    try {
        for (const auto& [file, op] : files) {
            s.fileop = op;
            tx.title(op);
            app_.files().replacefile(file, bytes);
        }
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return false;
    }
    if (!app_.commit(tx)) return false;
    takeshown(bytes, false, &now);
    return true;
}

void frmfix::cmdupdate_Click() {
    Shared& s = app_.shared();
    long r = pickedrecord(Display::Bets);
    if (r < 1) {
        app_.msgbox("Display the bet file and click the bet to remove first");
        return;
    }
    if (!removeline(r, {{s.betsfile(s.curround, fixflight), "Bets Output"},
                        {s.betsbackupfile(s.curround, fixflight), "Betsbackup Output"}}))
        return;
    s.dropbet = 99999;
    s.dataerror = 0;
    s.curflight = fixflightname;
    s.curflightnbr = fixflight;
    readentries(app_);
    sumbets(app_);
    if (!dropbetrow(r)) showbetsforchoice();
}

void frmfix::cmdrplayer_Click() {
    Shared& s = app_.shared();
    lblbets.setcaption("");
    long r = pickedrecord(Display::Players);
    if (r < 1) {
        app_.msgbox("Display the player file and click the player to remove first");
        return;
    }
    long shown = pickedrec_;
    if (!removeline(r, {{s.datapath + "Players", "Players Output"},
                        {s.datapath + "Playersbackup", "Playersbackup output"}}))
        return;
    readentries(app_);
    txtbanner.settext(s.banner);
    removegridrowfor(shown);
}

void frmfix::cmdrbettor_Click() {
    Shared& s = app_.shared();
    lblbets.setcaption("");
    long r = pickedrecord(Display::Bettors);
    if (r < 1) {
        app_.msgbox("Display the bettor file and click the bettor to remove first");
        return;
    }
    long shown = pickedrec_;
    // AnyBettor is always written back first: its record stays, only its grid row goes.
    const FileLine& line = shown_.lines.at(r - 1);
    long long number;
    bool anybettor = line.fields.size() == 2 && wholenumber(line.fields[0], number) &&
                     number == kanybettor.number && line.fields[1].text == kanybettor.name;
    for (long i = 0; anybettor && i < r - 1; ++i) {
        const FileLine& l = shown_.lines[i];
        if (l.fields.size() == 2 && wholenumber(l.fields[0], number) &&
            number == kanybettor.number && l.fields[1].text == kanybettor.name)
            anybettor = false;  // only the first such record is AnyBettor's own
    }
    // Only Bettors is rewritten: Bettorsbackup can then restore a bettor removed by mistake.
    if (!anybettor && !removeline(r, {{s.datapath + "Bettors", "Bettors Output"}})) return;
    readbettors(app_);
    removegridrowfor(shown);
    if (anybettor) removed_.pop_back();
    txtbanner.settext(s.banner);
}

// Drops the grid row of a removed record; the rows below keep their record numbers.
void frmfix::removegridrowfor(long rec) {
    for (int row = 1; row < grdfix.rows(); ++row) {
        if (grdfix.textmatrix(row, 0) == std::to_string(rec)) {
            grdfix.removegridrow(row);
            break;
        }
    }
    removed_.push_back(rec);
    pickedrec_ = 0;
}

void frmfix::closesortframe() {
    cmdsorta.setvisible(true);
    frasort.setvisible(false);
    for (Control* c : {&chkasc, &chkdes, &chknum, &chkalp}) c->setvalue(0);
}

void frmfix::chkasc_Click() {
    if (!chkasc.value()) return;
    sortdir = "A";
    chkdes.setvalue(0);
}

void frmfix::chkdes_Click() {
    if (!chkdes.value()) return;
    sortdir = "D";
    chkasc.setvalue(0);
}

void frmfix::chkalp_Click() {
    if (!chkalp.value()) return;
    if (sortdir == "A")
        grdfix.setsort(flexSortGenericAscending);
    else if (sortdir == "D")
        grdfix.setsort(flexSortGenericDescending);
    closesortframe();
}

void frmfix::chknum_Click() {
    if (!chknum.value()) return;
    if (sortdir == "A")
        grdfix.setsort(flexSortNumericAscending);
    else if (sortdir == "D")
        grdfix.setsort(flexSortNumericDescending);
    closesortframe();
}

void frmfix::cmdprint_Click() {
    Shared& s = app_.shared();
    if (equalsnocase(s.printswitch, "no")) return;
    Printer& p = app_.printer();
    DocGuard guard(p, "File Listing");
    p.fontsize = 8;
    p.fontname = "MS Sans Serif";
    p.fontbold = false;
    p.print({lblbets.caption()});
    // Every cell a field of 20 columns, so the columns line up and a full cell keeps apart from
    // the next; the page narrows the whole listing alike when it is wider than the paper.
    for (int r = 0; r < grdfix.rows(); ++r) {
        std::vector<PItem> line;
        for (int c = 0; c < grdfix.cols(); ++c) {
            std::string cell = Left(grdfix.textmatrix(r, c), 20);
            line.push_back(InField(cell + Space(20 - static_cast<long>(cell.size())), 20));
        }
        p.print(line);
    }
    grdfix.grid.row = grdfix.rows() - 1;
    grdfix.grid.col = grdfix.cols() - 1;
}

}  // namespace vt
