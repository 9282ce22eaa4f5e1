#include "names/frmfix.h"

#include <algorithm>
#include <functional>

#include "platform/text.h"
#include "records/records.h"
#include "records/recordsutil.h"

namespace vt {

namespace {

const std::vector<std::pair<std::string, int>> kBettorColumns = {
    {"Rec Number", 1200}, {"Bettor Number", 1200}, {"Bettor Name", 3000}};
const std::vector<std::pair<std::string, int>> kPlayerColumns = {{"Rec Number", 1200},
                                                                 {"P/T Number", 1200},
                                                                 {"Flt Number", 2000},
                                                                 {"Flt Name", 2000},
                                                                 {"Player/Team Name", 3000}};
// Bets columns wide enough for a bad line's flags ("Bad Bet Type - Not 1,2, or 3",
// "Bad Bet Amount Bad record") at screen size.
const std::vector<std::pair<std::string, int>> kBetColumns = {
    {"Rec Nbr", 800},           {"Btr Nbr", 800},   {"Bettor", 3000},    {"P/T Nbr", 800},
    {"Player/Team Name", 3000}, {"Position", 2850}, {"Amount Bet", 2850}};
const std::vector<std::pair<std::string, int>> kBackupBetColumns = {
    {"Rec Nbr", 800},
    {"Nbr - Bettor", 3300},
    {"Nbr - Player/Team Name", 3300},
    {"Position", 2850},
    {"Amount Bet", 3000}};

bool iswhole(double v) { return v == static_cast<double>(static_cast<long long>(v)); }

std::string positioncell(double t, bool withnumber) {
    if (t < 1 || t > 3 || !iswhole(t)) return Str(t) + " Bad Bet Type - Not 1,2, or 3";
    static const char* padded[] = {"", " Win  ", " Place", " Show "};
    static const char* plain[] = {"", " Win", " Place", " Show"};
    return Str(t) + (withnumber ? plain : padded)[static_cast<int>(t)];
}

// Field i of a line; an empty field when the line holds fewer.
const Field& fieldat(const FileLine& l, size_t i) {
    static const Field none;
    return i < l.fields.size() ? l.fields[i] : none;
}

// A number field as the readers take it: empty reads 0; false for text that is no number.
bool numberof(const Field& f, double& v) {
    v = 0;
    if (trim(f.text).empty()) return true;
    return !f.quoted && parsenumber(f.text, v);
}

bool moneyof(const Field& f, Money& m) {
    m = Money();
    if (trim(f.text).empty()) return true;
    return !f.quoted && Money::parse(f.text, m);
}

// A number field shown: its value with the leading blank, or the text as written.
std::string numbercell(const Field& f) {
    double v;
    return numberof(f, v) ? Str(v) : " " + f.text;
}

// A number field put into a cell as a number: its value without the leading blank, or the text as
// written.
std::string barenumber(const Field& f) {
    double v;
    return numberof(f, v) ? trim(Str(v)) : f.text;
}

bool goodplayer(const FileLine& l, long maxplayers) {
    long long n, f;
    return l.readable && wholenumber(l.fields[0], n) && n >= 1 && n <= maxplayers && n != 999 &&
           wholenumber(l.fields[1], f) && isflight(f) && !l.fields[3].text.empty();
}

bool goodbettor(const FileLine& l) {
    long long n;
    return l.readable && wholenumber(l.fields[0], n) && n >= 1 && n != 999 &&
           !l.fields[1].text.empty();
}

// The name column of a line no reader can take whole.
std::string badrecord(const FileLine& l) {
    return "Bad record: " + (trim(l.text).empty() ? std::string("(empty line)") : l.text);
}

}  // namespace

frmfix::frmfix(Host& app)
    : Form(app, "frmfix"),
      // The grid takes the form's width, so that a bad line's flags can be read whole; the
      // buttons and the flight and round choices sit under and above it.
      grdfix(add(Kind::Grid, "grdfix", "", 10, 70, 1004, 440)),
      cmdbettor(
          add(Kind::CommandButton, "cmdbettor", "Display Member/ Bettor File", 10, 518, 232, 28)),
      cmdbettorb(add(Kind::CommandButton, "cmdbettorb", "Display Backup Member/ Bettor file", 10,
                     550, 232, 28)),
      cmdhorses(add(Kind::CommandButton, "cmdhorses", "Display Players File", 10, 582, 232, 28)),
      cmdplayerb(
          add(Kind::CommandButton, "cmdplayerb", "Display Backup Player File", 10, 614, 232, 28)),
      cmdbets(add(Kind::CommandButton, "cmdbets", "Display Bet File", 248, 518, 232, 28)),
      cmdbackup(
          add(Kind::CommandButton, "cmdbackup", "Display Backup Bet File", 248, 550, 232, 28)),
      cmdupdate(add(Kind::CommandButton, "cmdupdate", "Remove Selected Bet", 486, 518, 232, 28)),
      cmdrplayer(
          add(Kind::CommandButton, "cmdrplayer", "Remove Selected Player", 486, 550, 232, 28)),
      cmdrbettor(add(Kind::CommandButton, "cmdrbettor", "Remove Selected Member/ Bettor", 486, 582,
                     232, 28)),
      cmdprint(add(Kind::CommandButton, "cmdprint", "Print Current List", 248, 582, 232, 28)),
      cmdsorta(
          add(Kind::CommandButton, "cmdsorta", "Click column heading to sort", 486, 614, 232, 28)),
      cmdreturn(add(Kind::CommandButton, "cmdreturn", "Return", 10, 690, 140, 40)),
      frasort(add(Kind::Frame, "frasort", "Select Sort Parameters", 486, 614, 232, 120)),
      chkasc(add(Kind::CheckBox, "chkasc", "", 498, 634, 20, 20)),
      chkdes(add(Kind::CheckBox, "chkdes", "", 498, 658, 20, 20)),
      chkalp(add(Kind::CheckBox, "chkalp", "", 498, 682, 20, 20)),
      chknum(add(Kind::CheckBox, "chknum", "", 498, 706, 20, 20)),
      txtasc(add(Kind::TextBox, "txtasc", "Ascending", 524, 634, 120, 20)),
      txtdes(add(Kind::TextBox, "txtdes", "Descending", 524, 658, 120, 20)),
      txtalp(add(Kind::TextBox, "txtalp", "Alpha", 524, 682, 120, 20)),
      txtnum(add(Kind::TextBox, "txtnum", "Numeric", 524, 706, 120, 20)),
      fraflight(add(Kind::Frame, "fraflight", "Select Flight", 724, 518, 290, 162)),
      Frame1(add(Kind::Frame, "Frame1", "Flight", 730, 536, 278, 140)),
      fraround(add(Kind::Frame, "fraround", "Round", 720, 4, 294, 56)),
      Option1(add(Kind::OptionButton, "Option1", "1", 730, 26, 40, 24)),
      Option2(add(Kind::OptionButton, "Option2", "2", 790, 26, 40, 24)),
      Option3(add(Kind::OptionButton, "Option3", "3", 850, 26, 40, 24)),
      Option4(add(Kind::OptionButton, "Option4", "Final", 910, 26, 60, 24)),
      txtbanner(add(Kind::TextBox, "txtbanner", "", 10, 10, 700, 28)),
      lblbets(add(Kind::Label, "lblbets", "", 10, 42, 700, 24)),
      lblcopyr(add(Kind::Label, "lblcopyr", "", 170, 700, 300, 20)),
      app_(app) {
    caption = "File Inspection";
    lblbets.fontname = "Courier";
    txtbanner.fontsize = 12;
    txtbanner.fontbold = true;
    txtbanner.showonly();
    frasort.setvisible(false);
    for (Control* c : {&chkasc, &chkdes, &chkalp, &chknum, &txtasc, &txtdes, &txtalp, &txtnum})
        container[c] = &frasort;
    // The sort choices' captions only name the check boxes beside them.
    for (Control* c : {&txtasc, &txtdes, &txtalp, &txtnum}) c->showonly();
    cmdbettor.tooltip = "Displays Member/Bettor file";
    cmdbettorb.tooltip =
        "Displays Backup Member/Bettor File - can only update the primary Bettor file";
    cmdhorses.tooltip = "Displays Player/team file";
    cmdbets.tooltip = "Display the bet file for the selected round and flight";
    cmdbackup.tooltip =
        "Displays backup file for selected race-replace primary bet file with backup file to make "
        "changes to backup";
    cmdupdate.tooltip = "Rewrite Bets and Betsbackup files without this bet";
    cmdrplayer.tooltip = "Removes this player/team record and rewrites the file";
    cmdprint.tooltip = "Print the current list";
    fraflight.tooltip = "Specify which flight to use to retrieve bet file";
    fraround.tooltip = "Specify which event round to use for retrieving the bet file";
    txtbanner.tooltip = "Race name - can be changed on setup screen";
    cmdreturn.tooltip = "Return to main menu";
    for (int i = 1; i <= nflights; ++i) {
        int col = (i - 1) / 5, row = (i - 1) % 5;
        Control& o =
            add(Kind::OptionButton, "optflight", i, "", 738 + col * 90, 552 + row * 24, 88, 22);
        container[&o] = &Frame1;
        o.Click = [this, i] { optflight_Click(i); };
        optflight[i] = &o;
    }
    Control* rounds[] = {nullptr, &Option1, &Option2, &Option3, &Option4};
    for (int n = 1; n <= nrounds; ++n) {
        container[rounds[n]] = &fraround;
        rounds[n]->Click = [this, n] { roundoption_Click(n); };
    }
    cmdbettor.Click = [this] { cmdbettor_Click(); };
    cmdbettorb.Click = [this] { cmdbettorb_Click(); };
    cmdhorses.Click = [this] { cmdhorses_Click(); };
    cmdplayerb.Click = [this] { cmdplayerb_Click(); };
    cmdbets.Click = [this] { cmdbets_Click(); };
    cmdbackup.Click = [this] { cmdbackup_Click(); };
    cmdupdate.Click = [this] { cmdupdate_Click(); };
    cmdrplayer.Click = [this] { cmdrplayer_Click(); };
    cmdrbettor.Click = [this] { cmdrbettor_Click(); };
    cmdprint.Click = [this] { cmdprint_Click(); };
    grdfix.Click = [this] { grdfix_Click(); };
    chkasc.Click = [this] { chkasc_Click(); };
    chkdes.Click = [this] { chkdes_Click(); };
    chkalp.Click = [this] { chkalp_Click(); };
    chknum.Click = [this] { chknum_Click(); };
    cmdreturn.Click = [this] { cmdreturn_Click(); };
}

void frmfix::Form_Load() {
    Shared& s = app_.shared();
    fixflight = s.curflightnbr;
    fixflightname = s.flightnames[std::clamp<long>(s.curflightnbr, 1, nflights)];
    grdfix.setcols(7);
    grdfix.setrows(1);
    saveround = s.curround;
    savebanner = s.banner;
    if (int n = roundindex(s.curround)) control("Option" + std::to_string(n)).setvalue(1);
    for (int i = 1; i <= nflights; ++i) optflight[i]->setcaption(s.flightnames[i]);
    txtbanner.settext(s.banner);
    lblbets.setcaption("");
    cmdbets.setfocus();  // the Bets file of the current round and flight is the usual look
    shown_ = Shown{};
    readbettors(app_);
}

// ---------------------------------------------------------------- grid helpers

void frmfix::setupgrid(const std::vector<std::pair<std::string, int>>& columns) {
    grdfix.clearcells();
    grdfix.setcols(static_cast<int>(columns.size()));
    grdfix.setrows(1);
    grdfix.grid.row = grdfix.grid.rowsel = 0;
    for (size_t c = 0; c < columns.size(); ++c) {
        grdfix.setcolwidth(static_cast<int>(c), columns[c].second);
        grdfix.settextmatrix(0, static_cast<int>(c), columns[c].first);
    }
    clearpick();
}

void frmfix::setrow(int r, const std::vector<std::string>& cells, bool leftaligned) {
    if (grdfix.rows() < r + 1) grdfix.setrows(r + 1);
    for (size_t c = 0; c < cells.size() && static_cast<int>(c) < grdfix.cols(); ++c) {
        grdfix.settextmatrix(r, static_cast<int>(c), cells[c]);
        if (leftaligned) grdfix.setcellalignment(r, static_cast<int>(c), 0);
    }
}

void frmfix::clearpick() {
    pickedrec_ = 0;
    removed_.clear();
}

long frmfix::pickedrecord(Display d) const {
    if (display_ != d || pickedrec_ < 1) return 0;
    const Shared& s = app_.shared();
    if (d == Display::Bets && (displayround_ != s.curround || displayflight_ != fixflight))
        return 0;
    // Rows below a removed record moved up one place in the table.
    long before =
        std::count_if(removed_.begin(), removed_.end(), [&](long r) { return r < pickedrec_; });
    return pickedrec_ - before;
}

// ---------------------------------------------------------------- reading the shown file

bool frmfix::readshown(const std::string& file, FileKind kind, bool missingempty) {
    shown_ = Shown{};
    shown_.file = file;
    shown_.kind = kind;
    std::string bytes;
    try {
        if (missingempty && !app_.files().exists(file)) {
            shown_.missing = true;
            tellemptied(file, nullptr);
            return true;
        }
        checkrecordfilesize(app_.files(), file, capacityof(app_.shared(), kind));
        bytes = app_.files().readall(file);
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return false;
    }
    takeshown(bytes, true);
    tellemptied(file, &bytes);
    return true;
}

// A file shown without a record while its backup holds some is told of: it is damaged, not
// empty.
void frmfix::tellemptied(const std::string& file, const std::string* bytes) {
    try {
        checknotemptied(app_.files(), file, bytes);
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
    }
}

void frmfix::takeshown(const std::string& bytes, bool tell, const std::string* before) {
    long cap = capacityof(app_.shared(), shown_.kind);
    size_t limit = static_cast<size_t>(cap) + 1;
    shown_.size = bytes.size();
    shown_.hash = std::hash<std::string>{}(bytes);
    shown_.lines = before ? splicelines(*before, std::move(shown_.lines), bytes, shown_.kind, limit,
                                        shown_.more)
                          : filelines(bytes, shown_.kind, limit);
    shown_.more = shown_.lines.size() > static_cast<size_t>(cap);
    if (shown_.more) {
        shown_.lines.pop_back();
        if (tell) overcapacity(app_, shown_.file, shown_.kind, cap, true);
    }
}

frmfix::Names frmfix::names(const std::string& playersfile) {
    Shared& s = app_.shared();
    Names out;
    auto lines = [&](const std::string& file, FileKind kind, long cap) {
        try {
            if (app_.files().exists(file))
                return filelines(app_.files().readall(file), kind, static_cast<size_t>(cap));
        } catch (const FileError&) {
            // A file that cannot be read names no one: every bet then shows as bad.
        }
        return std::vector<FileLine>{};
    };
    for (const FileLine& l : lines(playersfile, FileKind::Players, s.maxplayers)) {
        long long n, f;
        if (!goodplayer(l, s.maxplayers) || iszzz(l.fields[3].text)) continue;
        wholenumber(l.fields[0], n);
        wholenumber(l.fields[1], f);
        out.entries.emplace(n, std::make_pair(static_cast<long>(f), l.fields[3].text));
    }
    for (const FileLine& l : lines(s.datapath + "Bettors", FileKind::Bettors, s.maxbettors)) {
        long long n;
        if (!goodbettor(l) || iszzz(l.fields[1].text)) continue;
        wholenumber(l.fields[0], n);
        out.bettors.emplace(n, l.fields[1].text);
    }
    return out;
}

// ---------------------------------------------------------------- bettor and player displays

// Every line of a bettor file: a line no reader takes whole is flagged in the name column.
void frmfix::showbettorfile(Display d, const std::string& file) {
    Shared& s = app_.shared();
    setupgrid(kBettorColumns);
    display_ = d;
    txtbanner.settext(s.banner);
    s.fileop = "Bettors Input";
    if (!readshown(file, FileKind::Bettors, false)) return;
    int r = 1;
    for (const FileLine& l : shown_.lines) {
        std::string name = goodbettor(l) ? l.fields[1].text : badrecord(l);
        setrow(r, {std::to_string(r), barenumber(fieldat(l, 0)), name});
        ++r;
    }
}

void frmfix::cmdbettor_Click() {
    cmdupdate.setvisible(true);
    lblbets.setcaption("");
    showbettorfile(Display::Bettors, app_.shared().datapath + "Bettors");
}

void frmfix::cmdbettorb_Click() {
    lblbets.setcaption("");
    cmdupdate.setvisible(true);
    showbettorfile(Display::BettorsBackup, app_.shared().datapath + "Bettorsbackup");
}

// Every line of a player file, flagged as for the bettors.
void frmfix::showplayerfile(Display d, const std::string& file) {
    Shared& s = app_.shared();
    setupgrid(kPlayerColumns);
    display_ = d;
    txtbanner.settext(s.banner);
    s.fileop = "Players Input";
    if (!readshown(file, FileKind::Players, false)) return;
    int r = 1;
    for (const FileLine& l : shown_.lines) {
        double flight;
        bool numeric = numberof(fieldat(l, 1), flight);
        std::string label = numeric && flight >= 1 && flight <= nflights && iswhole(flight)
                                ? s.flightnames[static_cast<int>(flight)]
                                : "";
        std::string name = goodplayer(l, s.maxplayers) ? l.fields[3].text : badrecord(l);
        setrow(r, {std::to_string(r), barenumber(fieldat(l, 0)), barenumber(fieldat(l, 1)), label,
                   name});
        ++r;
    }
}

void frmfix::cmdhorses_Click() {
    lblbets.setcaption("");
    cmdupdate.setvisible(true);
    showplayerfile(Display::Players, app_.shared().datapath + "Players");
}

void frmfix::cmdplayerb_Click() {
    lblbets.setcaption("");
    showplayerfile(Display::PlayersBackup, app_.shared().datapath + "Playersbackup");
}

// ---------------------------------------------------------------- bet displays

void frmfix::showbetsforchoice() {
    Shared& s = app_.shared();
    betsgrid_.valid = false;
    setupgrid(kBetColumns);
    display_ = Display::Bets;
    displayround_ = s.curround;
    displayflight_ = fixflight;
    txtbanner.settext(s.banner);
    s.curflightnbr = fixflight;
    s.fileop = "Bets Input";
    // A flight without a Bets file simply has no bets to show.
    bool read = readshown(s.betsfile(s.curround, fixflight), FileKind::Bets, true);
    lblbets.setcaption(s.curround + " Flight " + s.curflight + " Bets");
    if (!read) return;
    Names known = names(s.datapath + "Players");
    Money total;
    int r = 1;
    for (const FileLine& l : shown_.lines) {
        const Field &fb = fieldat(l, 0), &fe = fieldat(l, 1), &ft = fieldat(l, 2);
        double b, e, t;
        Money a;
        bool bnum = numberof(fb, b), enumber = numberof(fe, e), tnum = numberof(ft, t);
        bool anum = moneyof(fieldat(l, 3), a);
        total += a;
        auto bettor = bnum && iswhole(b) && b != 0 ? known.bettors.find(static_cast<long long>(b))
                                                   : known.bettors.end();
        std::string bettorcell;
        if (bettor != known.bettors.end())
            bettorcell = bettor->second;
        else if (trim(fb.text).empty())
            bettorcell = " Null Bettor Number";
        else if (bnum && b == 0)
            bettorcell = " Bad Bettor Number";
        else
            bettorcell = numbercell(fb) + " Bad Bettor Number";
        std::string entrycell = " Bad Player Number";
        if (enumber && iswhole(e) && e >= 1 && e <= s.maxplayers) {
            auto it = known.entries.find(static_cast<long long>(e));
            if (it != known.entries.end())
                entrycell = s.flightnames[it->second.first] + Left(it->second.second, 20);
        }
        std::string position =
            tnum ? positioncell(t, false) : numbercell(ft) + " Bad Bet Type - Not 1,2, or 3";
        std::string amount = anum && a.isbetamount() ? Str(a) : " Bad Bet Amount";
        if (!l.readable) amount += " Bad record";
        setrow(r,
               {std::to_string(r), numbercell(fb), bettorcell, numbercell(fe), entrycell, position,
                amount},
               true);
        ++r;
    }
    setrow(r + 1, {"", "", "", "", "", "Total Bets", total.tostring()}, true);
    betsgrid_ = BetsGrid{true,          grdfix.grid.rev, grdfix.grid.shaperev, std::move(known),
                         s.flightnames, s.maxplayers};
}

bool frmfix::dropbetrow(long k) {
    Shared& s = app_.shared();
    GridState& g = grdfix.grid;
    const int n = static_cast<int>(shown_.lines.size());  // lines left
    // The grid holds the display's rows untouched: header, a row for each line before the
    // removal, a blank row and the total.
    if (!betsgrid_.valid || g.rev != betsgrid_.rev || g.shaperev != betsgrid_.shaperev ||
        shown_.more || g.rows != n + 4 || g.cols != static_cast<int>(kBetColumns.size()) || k < 1 ||
        k > n + 1)
        return false;
    for (size_t c = 0; c < kBetColumns.size(); ++c)
        if (grdfix.colwidth(static_cast<int>(c)) != kBetColumns[c].second) return false;
    // The file is as the removal left it, and the rows would name the same names.
    if (!app_.files().ownversion(shown_.file, app_.files().stamp(shown_.file))) return false;
    if (s.flightnames != betsgrid_.flightnames || s.maxplayers != betsgrid_.maxplayers ||
        names(s.datapath + "Players") != betsgrid_.names)
        return false;

    // What building the display again does besides its rows.
    txtbanner.settext(s.banner);
    s.curflightnbr = fixflight;
    s.fileop = "Bets Input";
    lblbets.setcaption(s.curround + " Flight " + s.curflight + " Bets");
    clearpick();
    grdfix.removegridrow(static_cast<int>(k));
    g.row = g.rowsel = 0;
    // The rows below take their new record numbers; the total is summed again.
    for (int r = static_cast<int>(k); r <= n; ++r) grdfix.settextmatrix(r, 0, std::to_string(r));
    Money total;
    for (const FileLine& l : shown_.lines) {
        Money a;
        moneyof(fieldat(l, 3), a);
        total += a;
    }
    grdfix.settextmatrix(n + 2, 6, total.tostring());
    betsgrid_.rev = g.rev;
    betsgrid_.shaperev = g.shaperev;
    return true;
}

void frmfix::cmdbets_Click() {
    cmdupdate.setvisible(true);
    showbetsforchoice();
}

void frmfix::cmdbackup_Click() {
    Shared& s = app_.shared();
    lblbets.setcaption(s.curround + " Flight " + s.curflight + " Bets");
    cmdupdate.setvisible(false);
    setupgrid(kBackupBetColumns);
    display_ = Display::BetsBackup;
    txtbanner.settext(s.banner);
    // Names come from Playersbackup.
    Names known = names(s.datapath + "Playersbackup");
    s.fileop = "Betsbackup Input";
    if (!readshown(s.betsbackupfile(s.curround, s.curflightnbr), FileKind::Bets, false)) return;
    Money total;
    int r = 1;
    for (const FileLine& l : shown_.lines) {
        const Field &fb = fieldat(l, 0), &fe = fieldat(l, 1), &ft = fieldat(l, 2),
                    &fa = fieldat(l, 3);
        double b, e, t;
        Money a;
        bool bnum = numberof(fb, b), enumber = numberof(fe, e), tnum = numberof(ft, t);
        bool anum = moneyof(fa, a);
        total += a;
        auto bettor = bnum && iswhole(b) && b != 0 ? known.bettors.find(static_cast<long long>(b))
                                                   : known.bettors.end();
        std::string bettorcell =
            numbercell(fb) + (bettor != known.bettors.end() ? " " + bettor->second
                                                            : std::string(" Bad Bettor Number"));
        std::string entrycell = numbercell(fe) + " Bad Player Number";
        if (enumber && iswhole(e) && e >= 1 && e <= s.maxplayers) {
            auto it = known.entries.find(static_cast<long long>(e));
            if (it != known.entries.end())
                entrycell =
                    Str(e) + " " + s.flightnames[it->second.first] + Left(it->second.second, 20);
        }
        std::string position =
            tnum ? positioncell(t, true) : numbercell(ft) + " Bad Bet Type - Not 1,2, or 3";
        std::string amount = anum && a.isbetamount() ? Str(a) : numbercell(fa) + " Bad Bet Amount";
        if (!l.readable) amount += " Bad record";
        setrow(r, {std::to_string(r), bettorcell, entrycell, position, amount}, true);
        ++r;
    }
    setrow(r + 1, {"", "", "", "Total Bets", total.tostring()}, true);
}

// ---------------------------------------------------------------- options and return

void frmfix::roundoption_Click(int n) {
    Shared& s = app_.shared();
    s.setround(n);
    txtbanner.settext(s.banner);
}

void frmfix::optflight_Click(int index) {
    Shared& s = app_.shared();
    s.curflight = s.flightnames[index];
    fixflightname = s.curflight;
    s.curflightnbr = index;
    fixflight = index;
}

void frmfix::cmdreturn_Click() {
    Shared& s = app_.shared();
    s.curround = saveround;
    s.banner = savebanner;
    unload();
    app_.form("frmmenu").show();
}

}  // namespace vt
