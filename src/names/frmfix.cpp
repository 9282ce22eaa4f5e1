#include "names/frmfix.h"

#include <algorithm>

#include "platform/text.h"
#include "records/records.h"

namespace vt {

namespace {

const std::vector<std::pair<std::string, int>> kBettorColumns = {
    {"Rec Number", 1200}, {"Bettor Number", 1200}, {"Bettor Name", 3000}};
const std::vector<std::pair<std::string, int>> kPlayerColumns = {
    {"Rec Number", 1200}, {"P/T Number", 1200}, {"Flt Number", 2000}, {"Flt Name", 2000}, {"Player/Team Name", 3000}};
const std::vector<std::pair<std::string, int>> kBetColumns = {
    {"Rec Nbr", 800}, {"Btr Nbr", 800}, {"Bettor", 2000}, {"P/T Nbr", 800},
    {"Player/Team Name", 3000}, {"Position", 1200}, {"Amount Bet", 1200}};
const std::vector<std::pair<std::string, int>> kBackupBetColumns = {
    {"Rec Nbr", 800}, {"Nbr - Bettor", 2000}, {"Nbr - Player/Team Name", 3000}, {"Position", 1200}, {"Amount Bet", 1200}};

// A number field as read: empty reads 0; text that is no number is a type mismatch.
double fieldnumber(const Field& f) {
    if (trim(f.text).empty()) return 0;
    double v;
    if (f.quoted || !parsenumber(f.text, v)) throwfileerror(13);
    return v;
}

bool iswhole(double v) { return v == static_cast<double>(static_cast<long long>(v)); }

std::string positioncell(double t, bool withnumber) {
    if (t < 1 || t > 3 || !iswhole(t)) return Str(t) + " Bad Bet Type - Not 1,2, or 3";
    static const char* padded[] = {"", " Win  ", " Place", " Show "};
    static const char* plain[] = {"", " Win", " Place", " Show"};
    return Str(t) + (withnumber ? plain : padded)[static_cast<int>(t)];
}

bool goodamount(Money a) { return a >= Money::units(100) && a <= Money::dollars(1000); }

Money fieldmoney(const Field& f) {
    if (trim(f.text).empty()) return Money();
    Money m;
    if (f.quoted || !Money::parse(f.text, m)) throwfileerror(13);
    return m;
}


}  // namespace

Frmfix::Frmfix(App& app)
    : Form(app, "frmfix"),
      grdfix(add(Kind::Grid, "grdfix", "", 10, 70, 700, 610)),
      cmdbettor(add(Kind::CommandButton, "cmdbettor", "Display Member/ Bettor File", 720, 10, 294, 28)),
      cmdbettorb(add(Kind::CommandButton, "cmdbettorb", "Display Backup Member/ Bettor file", 720, 42, 294, 28)),
      cmdhorses(add(Kind::CommandButton, "cmdhorses", "Display Players File", 720, 74, 294, 28)),
      cmdplayerb(add(Kind::CommandButton, "cmdplayerb", "Display Backup Player File", 720, 106, 294, 28)),
      cmdbets(add(Kind::CommandButton, "cmdbets", "Display Bet File", 720, 138, 294, 28)),
      cmdbackup(add(Kind::CommandButton, "cmdbackup", "Display Backup Bet File", 720, 170, 294, 28)),
      cmdupdate(add(Kind::CommandButton, "cmdupdate", "Remove Selected Bet", 720, 202, 294, 28)),
      cmdrplayer(add(Kind::CommandButton, "cmdrplayer", "Remove Selected Player", 720, 234, 294, 28)),
      cmdrbettor(add(Kind::CommandButton, "cmdrbettor", "Remove Selected Member/ Bettor", 720, 266, 294, 28)),
      cmdprint(add(Kind::CommandButton, "cmdprint", "Print Current List", 720, 298, 294, 28)),
      cmdsorta(add(Kind::CommandButton, "cmdsorta", "Click column heading to sort", 720, 336, 294, 28)),
      cmdreturn(add(Kind::CommandButton, "cmdreturn", "Return", 10, 690, 140, 40)),
      frasort(add(Kind::Frame, "frasort", "Select Sort Parameters", 720, 336, 294, 120)),
      chkasc(add(Kind::CheckBox, "chkasc", "", 732, 356, 20, 20)),
      chkdes(add(Kind::CheckBox, "chkdes", "", 732, 380, 20, 20)),
      chkalp(add(Kind::CheckBox, "chkalp", "", 732, 404, 20, 20)),
      chknum(add(Kind::CheckBox, "chknum", "", 732, 428, 20, 20)),
      txtasc(add(Kind::TextBox, "txtasc", "Ascending", 758, 356, 120, 20)),
      txtdes(add(Kind::TextBox, "txtdes", "Descending", 758, 380, 120, 20)),
      txtalp(add(Kind::TextBox, "txtalp", "Alpha", 758, 404, 120, 20)),
      txtnum(add(Kind::TextBox, "txtnum", "Numeric", 758, 428, 120, 20)),
      fraflight(add(Kind::Frame, "fraflight", "Select Flight", 720, 462, 294, 162)),
      Frame1(add(Kind::Frame, "Frame1", "Flight", 726, 480, 282, 140)),
      fraround(add(Kind::Frame, "fraround", "Round", 720, 630, 294, 56)),
      Option1(add(Kind::OptionButton, "Option1", "1", 730, 652, 40, 24)),
      Option2(add(Kind::OptionButton, "Option2", "2", 790, 652, 40, 24)),
      Option3(add(Kind::OptionButton, "Option3", "3", 850, 652, 40, 24)),
      Option4(add(Kind::OptionButton, "Option4", "Final", 910, 652, 60, 24)),
      txtbanner(add(Kind::TextBox, "txtbanner", "", 10, 10, 700, 28)),
      lblbets(add(Kind::Label, "lblbets", "", 10, 42, 700, 24)),
      lblcopyr(add(Kind::Label, "lblcopyr", "", 170, 700, 540, 20)),
      app_(app) {
    caption = "File Inspection";
    lblbets.fontname = "Courier";
    txtbanner.fontsize = 12;
    txtbanner.fontbold = true;
    frasort.setvisible(false);
    for (Control* c : {&chkasc, &chkdes, &chkalp, &chknum, &txtasc, &txtdes, &txtalp, &txtnum}) container[c] = &frasort;
    cmdbettor.tooltip = "Displays Member/Bettor file";
    cmdbettorb.tooltip = "Displays Backup Member/Bettor File - can only update the primary Bettor file";
    cmdhorses.tooltip = "Displays Player/team file";
    cmdbets.tooltip = "Display the bet file for the selected round and flight";
    cmdbackup.tooltip =
        "Displays backup file for selected race-replace primary bet file with backup file to make changes to backup";
    cmdupdate.tooltip = "Rewrite Bets and Betsbackup files without this bet";
    cmdrplayer.tooltip = "Removes this player/team record and rewrites the file";
    cmdprint.tooltip = "Print the current list";
    fraflight.tooltip = "Specify which flight to use to retrieve bet file";
    fraround.tooltip = "Specify which event round to use for retrieving the bet file";
    txtbanner.tooltip = "Race name - can be changed on setup screen";
    cmdreturn.tooltip = "Return to main menu";
    for (int i = 1; i <= 15; ++i) {
        int col = (i - 1) / 5, row = (i - 1) % 5;
        Control& o = add(Kind::OptionButton, "optflight", i, "", 734 + col * 92, 496 + row * 24, 90, 22);
        container[&o] = &Frame1;
        o.Click = [this, i] { optflight_Click(i); };
        optflight[i] = &o;
    }
    Control* rounds[] = {nullptr, &Option1, &Option2, &Option3, &Option4};
    for (int n = 1; n <= 4; ++n) {
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

void Frmfix::Form_Load() {
    Shared& s = app_.shared();
    fixflight = s.curflightnbr;
    fixflightname = s.flightnames[std::clamp<long>(s.curflightnbr, 1, 15)];
    grdfix.setcols(7);
    grdfix.setrows(1);
    saveround = s.curround;
    savebanner = s.banner;
    for (int n = 1; n <= 4; ++n)
        if (s.curround == roundkeys[n]) control(n == 1 ? "Option1" : n == 2 ? "Option2" : n == 3 ? "Option3" : "Option4").setvalue(1);
    for (int i = 1; i <= 15; ++i) optflight[i]->setcaption(s.flightnames[i]);
    txtbanner.settext(s.banner);
    lblbets.setcaption("");
    readbettors(app_);
}

// ---------------------------------------------------------------- grid helpers

void Frmfix::setupgrid(const std::vector<std::pair<std::string, int>>& columns) {
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

void Frmfix::setrow(int r, const std::vector<std::string>& cells) {
    if (grdfix.rows() < r + 1) grdfix.setrows(r + 1);
    for (size_t c = 0; c < cells.size() && static_cast<int>(c) < grdfix.cols(); ++c)
        grdfix.settextmatrix(r, static_cast<int>(c), cells[c]);
}

void Frmfix::clearpick() {
    pickedrec_ = 0;
    removed_.clear();
}

long Frmfix::pickedrecord(Display d) const {
    if (display_ != d || pickedrec_ < 1) return 0;
    const Shared& s = app_.shared();
    if (d == Display::Bets && (displayround_ != s.curround || displayflight_ != fixflight)) return 0;
    // Rows below a removed record moved up one place in the table.
    long before = std::count_if(removed_.begin(), removed_.end(), [&](long r) { return r < pickedrec_; });
    return pickedrec_ - before;
}

// ---------------------------------------------------------------- bettor and player displays

void Frmfix::cmdbettor_Click() {
    Shared& s = app_.shared();
    cmdupdate.setvisible(true);
    lblbets.setcaption("");
    setupgrid(kBettorColumns);
    display_ = Display::Bettors;
    readbettors(app_);
    txtbanner.settext(s.banner);
    for (long i = 1; i <= s.nbettors && i <= s.maxbettors; ++i) {
        const Bettor& b = s.bettors(i);
        if (b.number == 999) break;
        setrow(static_cast<int>(i), {std::to_string(i), Str(b.number), b.name});
    }
}

void Frmfix::cmdbettorb_Click() {
    Shared& s = app_.shared();
    lblbets.setcaption("");
    cmdupdate.setvisible(true);
    setupgrid(kBettorColumns);
    display_ = Display::BettorsBackup;
    txtbanner.settext(s.banner);
    // Listed straight from the backup file: no shared table is touched.
    try {
        RecordReader in = RecordReader::open(app_.files(), s.datapath + "Bettorsbackup");
        for (int r = 1; !in.eof(); ++r) {
            double number = fieldnumber(in.field());
            std::string name = in.text();
            setrow(r, {std::to_string(r), Str(number), name});
        }
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
    }
}

void Frmfix::cmdhorses_Click() {
    Shared& s = app_.shared();
    lblbets.setcaption("");
    cmdupdate.setvisible(true);
    setupgrid(kPlayerColumns);
    display_ = Display::Players;
    txtbanner.settext(s.banner);
    readentries(app_);
    for (long i = 1; i <= s.nextentryrow && i <= s.maxplayers; ++i) {
        const Entry& e = s.entries(i);
        if (e.number == 999 || e.name.empty()) break;
        std::string flt = e.flight >= 1 && e.flight <= 15 ? s.flightnames[e.flight] : "";
        setrow(static_cast<int>(i), {std::to_string(i), Str(e.number), Str(e.flight), flt, e.name});
    }
}

void Frmfix::cmdplayerb_Click() {
    Shared& s = app_.shared();
    lblbets.setcaption("");
    setupgrid(kPlayerColumns);
    display_ = Display::PlayersBackup;
    txtbanner.settext(s.banner);
    try {
        RecordReader in = RecordReader::open(app_.files(), s.datapath + "Playersbackup");
        for (int r = 1; !in.eof(); ++r) {
            double number = fieldnumber(in.field());
            double flight = fieldnumber(in.field());
            in.field();
            std::string name = in.text();
            std::string flt = flight >= 1 && flight <= 15 && iswhole(flight) ? s.flightnames[static_cast<int>(flight)] : "";
            setrow(r, {std::to_string(r), Str(number), Str(flight), flt, name});
        }
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
    }
}

// ---------------------------------------------------------------- bet displays

std::vector<Frmfix::RawBet> Frmfix::readrawbets(const std::string& file) const {
    std::vector<RawBet> out;
    RecordReader in = RecordReader::open(app_.files(), file);
    while (!in.eof()) {
        RawBet b;
        b.bettor = in.field();
        b.entry = in.field();
        b.type = in.field();
        b.amount = in.field();
        out.push_back(b);
    }
    return out;
}

std::string Frmfix::bettorname(long number, bool& found) const {
    const Shared& s = app_.shared();
    for (long i = 1; i <= s.maxbettors; ++i) {
        const Bettor& b = s.bettors(i);
        if (b.name.empty()) break;
        if (b.number == 999 || iszzz(b.name)) continue;
        if (b.number == number) {
            found = true;
            return b.name;
        }
    }
    found = false;
    return "";
}

// Flight label and name of entry e, empty when no entry in use holds it.
std::string Frmfix::entrycell(double e) const {
    const Shared& s = app_.shared();
    if (e < 1 || e > s.maxplayers || !iswhole(e)) return "";
    for (long i = 1; i <= s.maxplayers; ++i) {
        const Entry& en = s.entries(i);
        if (en.name.empty()) break;
        if (en.number == 999 || iszzz(en.name)) continue;
        if (en.number == static_cast<long>(e)) {
            if (en.flight < 1 || en.flight > 15) return "";
            return s.flightnames[en.flight] + Left(en.name, 20);
        }
    }
    return "";
}

void Frmfix::showbets(const std::vector<RawBet>& bets) {
    Money total;
    int r = 1;
    for (const RawBet& raw : bets) {
        bool nullbettor = trim(raw.bettor.text).empty();
        double b = fieldnumber(raw.bettor);
        double e = fieldnumber(raw.entry);
        double t = fieldnumber(raw.type);
        Money a = fieldmoney(raw.amount);
        total += a;
        bool found = false;
        std::string bettor = iswhole(b) ? bettorname(static_cast<long>(b), found) : "";
        if (!found) {
            if (nullbettor) bettor = " Null Bettor Number";
            else if (b == 0) bettor = " Bad Bettor Number";
            else bettor = Str(b) + " Bad Bettor Number";
        }
        std::string entry = entrycell(e);
        if (entry.empty()) entry = " Bad Player Number";
        std::string amount = goodamount(a) ? Str(a) : " Bad Bet Amount";
        setrow(r, {std::to_string(r), Str(b), bettor, Str(e), entry, positioncell(t, false), amount});
        for (int c = 0; c < grdfix.cols(); ++c) grdfix.grid.colalignment[c] = 0;
        ++r;
    }
    grdfix.setrows(r + 2);
    grdfix.settextmatrix(r + 1, 5, "Total Bets");
    grdfix.settextmatrix(r + 1, 6, total.tostring());
}

void Frmfix::showbetsforchoice() {
    Shared& s = app_.shared();
    setupgrid(kBetColumns);
    display_ = Display::Bets;
    displayround_ = s.curround;
    displayflight_ = fixflight;
    txtbanner.settext(s.banner);
    readentries(app_);
    s.curflightnbr = fixflight;
    std::vector<RawBet> bets;
    try {
        s.fileop = "Bets Input";
        bets = readrawbets(s.betsfile(s.curround, fixflight));
    } catch (const FileError& e) {
        // A flight without a Bets file simply has no bets to show.
        if (e.number != 53) app_.fileerrorbox(e);
    }
    try {
        showbets(bets);
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
    }
    lblbets.setcaption(s.curround + " Flight " + s.curflight + " Bets");
}

void Frmfix::cmdbets_Click() {
    cmdupdate.setvisible(true);
    showbetsforchoice();
}

void Frmfix::cmdbackup_Click() {
    Shared& s = app_.shared();
    lblbets.setcaption(s.curround + " Flight " + s.curflight + " Bets");
    cmdupdate.setvisible(false);
    setupgrid(kBackupBetColumns);
    display_ = Display::BetsBackup;
    txtbanner.settext(s.banner);
    // Names come from Playersbackup, read into a table of this display only.
    std::vector<Entry> backupentries;
    Money total;
    int r = 1;
    try {
        s.fileop = "Players Input";
        RecordReader pin = RecordReader::open(app_.files(), s.datapath + "Playersbackup");
        while (!pin.eof()) {
            Entry en;
            en.number = static_cast<long>(fieldnumber(pin.field()));
            en.flight = static_cast<long>(fieldnumber(pin.field()));
            en.field3 = pin.text();
            en.name = pin.text();
            backupentries.push_back(en);
        }
        s.fileop = "Betsbackup Input";
        auto bets = readrawbets(s.betsbackupfile(s.curround, s.curflightnbr));
        s.fileop = "Bets Input";
        for (const RawBet& raw : bets) {
            double b = fieldnumber(raw.bettor);
            double e = fieldnumber(raw.entry);
            double t = fieldnumber(raw.type);
            Money a = fieldmoney(raw.amount);
            total += a;
            bool found = false;
            std::string name = iswhole(b) ? bettorname(static_cast<long>(b), found) : "";
            std::string bettor = found && b != 0 ? Str(b) + " " + name : Str(b) + " Bad Bettor Number";
            std::string entry = Str(e) + " Bad Player Number";
            if (e >= 1 && e <= s.maxplayers && iswhole(e)) {
                for (const Entry& en : backupentries) {
                    if (en.number != static_cast<long>(e) || iszzz(en.name) || en.name.empty()) continue;
                    if (en.flight >= 1 && en.flight <= 15)
                        entry = Str(e) + " " + s.flightnames[en.flight] + Left(en.name, 20);
                    break;
                }
            }
            std::string amount = goodamount(a) ? Str(a) : Str(a) + " Bad Bet Amount";
            setrow(r, {std::to_string(r), bettor, entry, positioncell(t, true), amount});
            ++r;
        }
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return;
    }
    grdfix.setrows(r + 2);
    grdfix.settextmatrix(r + 1, 3, "Total Bets");
    grdfix.settextmatrix(r + 1, 4, total.tostring());
}

// ---------------------------------------------------------------- options and return

void Frmfix::roundoption_Click(int n) {
    Shared& s = app_.shared();
    s.curround = roundkeys[n];
    s.banner = s.bannerof(n);
    txtbanner.settext(s.banner);
}

void Frmfix::optflight_Click(int index) {
    Shared& s = app_.shared();
    s.curflight = s.flightnames[index];
    fixflightname = s.curflight;
    s.curflightnbr = index;
    fixflight = index;
}

void Frmfix::cmdreturn_Click() {
    Shared& s = app_.shared();
    s.curround = saveround;
    s.banner = savebanner;
    unload();
    app_.form("frmmenu").show();
}

}  // namespace vt
