// Moving the data between computers through a removable drive: export of this computer's
// Bettors, Players and Bets files to the root of a drive, and import of such a set that merges
// the bettors by name and appends the bets with the bettor numbers translated.
#include <cctype>
#include <vector>

#include "platform/text.h"
#include "platform/transaction.h"
#include "records/filelines.h"
#include "records/records.h"
#include "records/recordsutil.h"
#include "setup/frminit.h"
#include "setup/setupfile.h"

namespace vt {

namespace {

using BetRows = std::vector<Bet>;

// Puts the data folder and the round back however the transfer ends.
struct KeepPlace {
    Shared& sh;
    InProgramFolder home;
    explicit KeepPlace(Shared& s) : sh(s), home(s) {
        sh.savepath = sh.datapath;
        sh.saveround = sh.curround;
        fillroundnames(sh);
    }
    ~KeepPlace() { sh.curround = sh.saveround; }
};

// Asks for a drive letter; "" (after a message) when none was given or it maps to no folder.
std::string askdrive(App& app, const std::string& prompt, const std::string& title, const std::string& msgtitle) {
    std::string s = trim(app.inputbox(prompt, title, "0"));
    if (!s.empty() && s.back() == ':') s.pop_back();
    if (s.empty() || s == "0") {
        app.msgbox("No drive letter entered - nothing was transferred", vbOKOnly, msgtitle);
        return "";
    }
    bool ok = s.size() == 1 && std::isalpha(static_cast<unsigned char>(s[0]));
    if (ok) {
        s = ucase(s);
        try {
            ok = app.files().isfolder(s + ":/");
        } catch (const FileError&) {
            ok = false;
        }
    }
    if (!ok) app.msgbox("Drive " + s + ": is not available - nothing was transferred", vbOKOnly, msgtitle);
    return ok ? s : "";
}

// Every record of a Bets file; a missing file holds none. FileError for a bad record.
BetRows readbetrows(App& app, const std::string& path) {
    BetRows out;
    if (!app.files().exists(path)) return out;
    std::string bytes = app.files().readall(path);
    LineCursor lines(bytes, FileKind::Bets);
    FileLine line;
    while (lines.next(line)) {
        if (!line.readable) throwbadline(path, line);
        Bet b;
        b.bettor = static_cast<long>(intfield(line.fields[0]));
        b.entry = static_cast<long>(intfield(line.fields[1]));
        b.type = static_cast<long>(intfield(line.fields[2]));
        b.amount = moneyfield(line.fields[3]);
        out.push_back(b);
    }
    return out;
}

std::string betrecords(const BetRows& rows) {
    RecordWriter w;
    for (const Bet& b : rows)
        w.num(static_cast<long long>(b.bettor)).num(static_cast<long long>(b.entry)).num(static_cast<long long>(b.type))
            .num(b.amount).end();
    return w.bytes();
}

// The Bets file name of round r, flight n under a folder.
std::string betsname(const std::string& folder, int r, long n, bool backup = false) {
    return folder + kRoundKeys[r - 1] + Str(static_cast<long long>(n)) + (backup ? "Betsbackup" : "Bets");
}

void leaveatlastflight(Shared& sh) {
    sh.curflightnbr = 15;
    sh.curflight = sh.flightnames[15];
}

// The imported bettors merged into the local ones by name, and the translation of their numbers.
class BettorMerge {
public:
    BettorMerge(App& app, const Table<Bettor>& local) : merged(local), app_(app), sh_(app.shared()) {}
    // Bettor numbers some local record names: a new bettor never takes one.
    std::set<long long> inuse;

    // False when the table is full (after the capacity message).
    bool add(long number, std::string name) {
        for (;;) {
            long bynumber = find([&](const Bettor& b) { return b.number == number; });
            if (bynumber && merged(bynumber).name == name) return map(number, number);
            long byname = find([&](const Bettor& b) { return b.name == name; });
            if (!byname) break;
            if (app_.msgbox("Are there two different bettors both named " + name, vbYesNo, "Import") == vbNo)
                return map(number, merged(byname).number);
            name += "1";
            app_.msgbox("Creating new bettor name " + name, vbOKOnly, "Import");
            // The new name is looked up again: it may be taken too.
        }
        if (sh_.nbettors >= static_cast<long>(merged.size())) {
            app_.msgbox("Maximum number of bettors exceeded. Increase number of bettors on Setup screen", vbOKOnly,
                        "Max Bettor Error");
            return false;
        }
        while (sh_.nextticket == 999 || sh_.nextticket == 9999 || inuse.count(sh_.nextticket) ||
               find([&](const Bettor& b) { return b.number == sh_.nextticket; }))
            ++sh_.nextticket;
        merged(++sh_.nbettors) = Bettor{sh_.nextticket, name};
        return map(number, sh_.nextticket++);
    }

    // The local number of an imported one; 0 when it has none.
    long local(long imported) const {
        for (auto& [from, to] : map_)
            if (from == imported) return to;
        return 0;
    }

    Table<Bettor> merged;

private:
    template <class Pred>
    long find(Pred pred) const {
        for (size_t i = 1; i <= merged.size(); ++i)
            if (merged(i).number != 999 && !merged(i).name.empty() && pred(merged(i))) return static_cast<long>(i);
        return 0;
    }
    bool map(long from, long to) {
        map_.emplace_back(from, to);
        return true;
    }

    App& app_;
    Shared& sh_;
    std::vector<std::pair<long, long>> map_;
};

}  // namespace

void frminit::cmdexport_Click() {
    KeepPlace place(sh_);
    std::string letter = askdrive(app_,
                                  "Enter target export drive letter. To export to a CD, see the Vantrope web site for "
                                  "how to do it.",
                                  "Export Target Drive", "Export");
    if (letter.empty()) return;
    const std::string drive = letter + ":/";
    app_.msgbox("Insert blank disk into drive " + letter + ". Click OK when ready.", vbOKOnly, "Export");

    // Everything local is read and checked before the first file is written.
    if (!ransafely(app_, readbettors) || !ransafely(app_, readentries)) return;
    std::vector<BetRows> rows(61);
    sh_.fileop = "Bets Input";
    try {
        for (int r = 1; r <= 4; ++r)
            for (long n = 1; n <= 15; ++n) rows[(r - 1) * 15 + n] = readbetrows(app_, betsname(sh_.savepath, r, n));
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return;
    }

    // Everything on the drive is written in one transaction: a set half written is never left
    // there to be imported.
    Transaction tx(app_.files());
    sh_.datapath = drive;
    if (!ransafely(app_, writebettorsonly) || !ransafely(app_, writeentries)) return;
    sh_.fileop = "Bets Output";
    try {
        for (int r = 1; r <= 4; ++r)
            for (long n = 1; n <= 15; ++n) {
                const BetRows& flight = rows[(r - 1) * 15 + n];
                for (bool backup : {false, true}) {
                    std::string path = betsname(drive, r, n, backup);
                    if (!flight.empty()) app_.files().replacefile(path, betrecords(flight));
                    // A flight without bets leaves no old set behind to be imported again.
                    else if (app_.files().exists(path)) app_.files().remove(path);
                }
            }
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return;
    }
    if (!app_.commit(tx)) return;
    leaveatlastflight(sh_);
    app_.msgbox("All Bets, Entries, and Bettors written to drive " + letter + ":", vbOKOnly, "Export");
}

void frminit::cmdimport_Click() {
    KeepPlace place(sh_);
    std::string letter = askdrive(app_, "Enter import drive letter", "Input Drive", "Import");
    if (letter.empty()) return;
    const std::string drive = letter + ":/";
    if (app_.msgbox("Insert export disk from another computer into drive " + letter + ". Click OK when ready or Cancel.",
                    vbOKCancel, "Import Bettors, Bets") != vbOK)
        return;

    // The drive's players, when they are to replace the local list.
    bool players = app_.msgbox("Import Players files?", vbYesNo, "Import Entries") == vbYes;
    Table<Entry> driveentries;
    if (players) {
        sh_.datapath = drive;
        if (!ransafely(app_, readentries)) return;
        driveentries = sh_.entries;
        sh_.datapath = sh_.savepath;
    }
    auto writeplayers = [&] {
        sh_.entries = driveentries;
        if (!ransafely(app_, writeentries)) return false;
        app_.msgbox("Players files imported", vbOKOnly, "Import Players");
        return true;
    };
    if (app_.msgbox("Import Bettors and Bets files?", vbYesNo, "Import Bettors") == vbNo) {
        if (players) writeplayers();
        return;
    }

    // Bettors: the drive's merged into the local ones.
    sh_.datapath = drive;
    if (!ransafely(app_, readbettors)) return;
    long n = sh_.nbettors;
    for (size_t i = 1; i <= sh_.savedbettors.size(); ++i) sh_.savedbettors(i) = Bettor{0, " "};
    for (long k = 1; k <= n; ++k) sh_.savedbettors(k) = sh_.bettors(k);
    sh_.datapath = sh_.savepath;
    if (!ransafely(app_, readbettors)) return;
    NumbersInUse used;
    if (!numbersinuse(app_, used)) return;
    BettorMerge merge(app_, sh_.bettors);
    merge.inuse = used.bettors;
    for (long k = 1; k <= n; ++k)
        if (!merge.add(sh_.savedbettors(k).number, sh_.savedbettors(k).name)) return;

    // Players check: the drive's list must be the local one, or its beginning.
    if (!players) {
        sh_.datapath = drive;
        if (!ransafely(app_, readentries)) return;
        driveentries = sh_.entries;
        sh_.datapath = sh_.savepath;
    }
    if (!ransafely(app_, readentries)) return;
    const Table<Entry>& known = players ? driveentries : sh_.entries;
    for (size_t i = 1; i <= driveentries.size() && !driveentries(i).name.empty(); ++i)
        if (i > known.size() || known(i).name != driveentries(i).name) {
            app_.msgbox(" Player files do not match.  Bet files not imported");
            return;
        }
    auto isknown = [&](long entry) {
        for (size_t i = 1; i <= known.size() && !known(i).name.empty(); ++i)
            if (known(i).number == entry) return true;
        return false;
    };

    // Every Bets file of the set read and checked, the bettor numbers translated.
    std::vector<BetRows> rows(61);
    sh_.fileop = "Bets Input";
    for (int r = 1; r <= 4; ++r)
        for (long f = 1; f <= 15; ++f) {
            std::string name = betsname(drive, r, f);
            BetRows& flight = rows[(r - 1) * 15 + f];
            try {
                flight = readbetrows(app_, name);
            } catch (const FileError& e) {
                app_.fileerrorbox(e);
                return;
            }
            for (Bet& b : flight) {
                long to = b.bettor ? merge.local(b.bettor) : 0;
                if (!isknown(b.entry) || (b.bettor && !to)) {
                    app_.msgbox(Mid(name, 4) + " holds a bet on a player/team or bettor unknown here. Nothing was imported.",
                                vbOKOnly, "Import");
                    return;
                }
                b.bettor = b.bettor ? to : 0;
            }
        }

    // Everything checked: the local files change now, all in one transaction, so a failed import
    // leaves them as they were and can simply be done again.
    {
        Transaction tx(app_.files());
        if (players) {
            sh_.entries = driveentries;
            if (!ransafely(app_, writeentries)) return;
        }
        sh_.bettors = merge.merged;
        if (!ransafely(app_, writebettors)) return;
        sh_.fileop = "Bets Append";
        try {
            for (int r = 1; r <= 4; ++r)
                for (long f = 1; f <= 15; ++f) {
                    const BetRows& flight = rows[(r - 1) * 15 + f];
                    if (flight.empty()) continue;
                    sh_.curround = kRoundKeys[r - 1];
                    sh_.curflightnbr = f;
                    sh_.curflight = sh_.flightnames[f];
                    appendrecords(app_.files(), betsname(sh_.savepath, r, f), FileKind::Bets, betrecords(flight));
                    appendrecords(app_.files(), betsname(sh_.savepath, r, f, true), FileKind::Bets,
                                  betrecords(flight));
                }
        } catch (const FileError& e) {
            app_.fileerrorbox(e);
            return;
        }
        if (!app_.commit(tx)) return;
    }
    if (players) app_.msgbox("Players files imported", vbOKOnly, "Import Players");
    app_.msgbox("Bettor file imported", vbOKOnly, "Import");
    leaveatlastflight(sh_);
    app_.msgbox("Import of Bettors, Bets files complete", vbOKOnly, "Import Bettors,Bets");
}

}  // namespace vt
