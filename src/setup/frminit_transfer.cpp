// Moving the data between computers through a removable drive: export of this computer's
// Bettors, Players and Bets files to the root of a drive, and import of such a set that merges
// the bettors by name and appends the bets with the bettor numbers translated.
#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

#include "platform/text.h"
#include "platform/transaction.h"
#include "records/filelines.h"
#include "records/origins.h"
#include "records/records.h"
#include "setup/frminit.h"
#include "setup/setupfile.h"

namespace vt {

namespace {

// Puts the data folder and the round back however the transfer ends.
struct KeepPlace {
    Shared& sh;
    InProgramFolder home;
    explicit KeepPlace(Shared& s) : sh(s), home(s) {
        sh.savepath = sh.datapath;
        sh.saveround = sh.curround;
        sh.fillroundnames();
    }
    ~KeepPlace() { sh.curround = sh.saveround; }
};

// Asks for a drive letter; "" (after a message) when none was given or it maps to no folder.
std::string askdrive(Host& app, const std::string& prompt, const std::string& title,
                     const std::string& msgtitle) {
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
    if (!ok)
        app.msgbox("Drive " + s + ": is not available - nothing was transferred", vbOKOnly,
                   msgtitle);
    return ok ? s : "";
}

// A line that is not a record stops a transfer. A line of the program's own files is told of as
// every reader tells of one (the box sends the operator to Fix Files); a line of the drive's set
// is told of with the drive file and line, and that nothing was imported.
void refuseline(Host& app, const FileError& e, bool drive) {
    if (!drive) {
        app.fileerrorbox(e);
        return;
    }
    app.filebox(e.file,
                e.message() + "\r\n" + filelocation(e.file, e.line) + "\r\nNothing was imported.",
                app.shared().fileop);
}

// Checks that every line of a drive's Players or Bettors file is a record, as the readers take
// one; false after the box naming the file and the line.
bool checknamefile(Host& app, const std::string& path, FileKind kind, const std::string& fileop) {
    if (!app.files().exists(path)) return true;  // the reader reports a missing file
    std::string bytes = app.files().readall(path);
    LineCursor lines(bytes, kind);
    FileLine line;
    while (lines.next(line))
        if (!line.readable) {
            app.shared().fileop = fileop;
            refuseline(app, badline(path, line), true);
            return false;
        }
    return true;
}

// The bets of one Bets file, with each record line's text.
struct FlightBets {
    std::string path, bytes;
    std::vector<Bet> rows;
    std::vector<std::string> texts;
};

// Reads a Bets file whose every line must be a record; a missing file holds none. False after
// the box (see refuseline), or a file-error box.
bool readflight(Host& app, const std::string& path, FlightBets& out, bool drive) {
    out = FlightBets{};
    out.path = path;
    app.shared().fileop = "Bets Input";
    try {
        if (!app.files().exists(path)) return true;
        out.bytes = app.files().readall(path);
    } catch (const FileError& e) {
        app.fileerrorbox(e);
        return false;
    }
    LineCursor lines(out.bytes, FileKind::Bets);
    FileLine line;
    while (lines.next(line)) {
        LineBet b = linebet(line.fields);
        if (!line.readable || !b.whole) {
            refuseline(app, badline(path, line), drive);
            return false;
        }
        out.rows.push_back(b.bet);
        out.texts.push_back(line.text);
    }
    return true;
}

std::string betrecords(const std::vector<Bet>& rows) {
    std::string out;
    for (const Bet& b : rows) out += betrecord(b);
    return out;
}

// Every bettor's identities: those its sidecar names, and this computer's own.
BettorOrigins bettorids(Host& app, const Table<Bettor>& bettors, const std::string& file,
                        const std::string& computer) {
    BettorOrigins ids = readbettororigins(app.files(), file);
    if (!computer.empty())
        for (size_t i = 1; i <= bettors.size() && !bettors(i).name.empty(); ++i)
            ids[bettors(i).number].insert(ownbettorid(computer, bettors(i).number));
    return ids;
}

void leaveatlastflight(Shared& sh) {
    sh.curflightnbr = 15;
    sh.curflight = sh.flightnames[15];
}

// The imported bettors merged into the local ones, and the translation of their numbers. A
// bettor is the same person as a local one when they share an identity (the bettor came back
// from a computer that had it from here, directly or not), or by number and name; another local
// bettor of the same name is asked about.
class BettorMerge {
  public:
    BettorMerge(Host& app, const Table<Bettor>& local, BettorOrigins ids)
        : merged(local), ids(std::move(ids)), app_(app), sh_(app.shared()) {}
    // Bettor numbers some local record names: a new bettor never takes one.
    std::set<long long> inuse;

    // False when the table is full (after the capacity message).
    bool add(long number, std::string name, const std::set<std::string>& known) {
        if (long same = find([&](const Bettor& b) { return shares(b.number, known); }))
            return map(number, merged(same).number, known);
        for (;;) {
            long bynumber = find([&](const Bettor& b) { return b.number == number; });
            if (bynumber && merged(bynumber).name == name) return map(number, number, known);
            long byname = find([&](const Bettor& b) { return b.name == name; });
            if (!byname) break;
            if (app_.msgbox("Are there two different bettors both named " + name, vbYesNo,
                            "Import") == vbNo)
                return map(number, merged(byname).number, known);
            name += "1";
            app_.msgbox("Creating new bettor name " + name, vbOKOnly, "Import");
            // The new name is looked up again: it may be taken too.
        }
        if (sh_.nbettors >= static_cast<long>(merged.size())) {
            app_.msgbox(
                "Maximum number of bettors exceeded. Increase number of bettors on Setup screen",
                vbOKOnly, "Max Bettor Error");
            return false;
        }
        while (sh_.nextticket == 999 || sh_.nextticket == 9999 || inuse.count(sh_.nextticket) ||
               find([&](const Bettor& b) { return b.number == sh_.nextticket; }))
            ++sh_.nextticket;
        merged(++sh_.nbettors) = Bettor{sh_.nextticket, name};
        return map(number, sh_.nextticket++, known);
    }

    // The local number of an imported one; 0 when it has none.
    long local(long imported) const {
        for (auto& [from, to] : map_)
            if (from == imported) return to;
        return 0;
    }

    Table<Bettor> merged;
    BettorOrigins ids;  // every merged bettor's identities, by local number

  private:
    template <class Pred>
    long find(Pred pred) const {
        for (size_t i = 1; i <= merged.size(); ++i)
            if (merged(i).number != 999 && !merged(i).name.empty() && pred(merged(i)))
                return static_cast<long>(i);
        return 0;
    }
    bool shares(long number, const std::set<std::string>& known) const {
        auto it = ids.find(number);
        if (it == ids.end()) return false;
        for (const std::string& id : known)
            if (it->second.count(id)) return true;
        return false;
    }
    // The imported bettor is the local one from now on, also for the next imports.
    bool map(long from, long to, const std::set<std::string>& known) {
        map_.emplace_back(from, to);
        ids[to].insert(known.begin(), known.end());
        return true;
    }

    Host& app_;
    Shared& sh_;
    std::vector<std::pair<long, long>> map_;
};

// The local files a transfer reads count as empty when they are not there yet (a computer that
// has not yet been to the menu).
bool readlocalbettors(Host& app) {
    Shared& sh = app.shared();
    if (app.files().exists(sh.datapath + "Bettors")) return static_cast<bool>(readbettors(app));
    for (size_t i = 1; i <= sh.bettors.size(); ++i) sh.bettors(i) = Bettor{};
    sh.bettors(1) = kanybettor;
    sh.nbettors = 1;
    sh.nextticket = 2;
    sh.bettorscomplete = true;
    return true;
}

bool readlocalentries(Host& app) {
    Shared& sh = app.shared();
    if (app.files().exists(sh.datapath + "Players")) return static_cast<bool>(readentries(app));
    for (size_t i = 1; i <= sh.entries.size(); ++i) sh.entries(i) = Entry{};
    sh.nextentrynbr = sh.nextentryrow = 1;
    sh.entriescomplete = true;
    return true;
}

// A Bets file's lines' identities staged beside it for `bytes` (its new contents).
void stageids(Host& app, const std::string& path, const std::string& bytes,
              const std::vector<std::string>& ids) {
    writebetorigins(app.files(), path, bytes, ids);
}

}  // namespace

void frminit::cmdexport_Click() try {
    KeepPlace place(sh_);
    std::string letter = askdrive(
        app_,
        "Enter target export drive letter. To export to a CD, see the Vantrope web site for "
        "how to do it.",
        "Export Target Drive", "Export");
    if (letter.empty()) return;
    const std::string drive = letter + ":/";
    app_.msgbox("Insert blank disk into drive " + letter + ". Click OK when ready.", vbOKOnly,
                "Export");

    // Everything local is read and checked before the first file is written.
    if (!readbettors(app_) || !readentries(app_)) return;
    std::vector<FlightBets> flights(61);
    for (int r = 1; r <= nrounds; ++r)
        for (long n = 1; n <= 15; ++n)
            if (!readflight(app_, betsname(sh_.savepath, roundkeys[r], n),
                            flights[(r - 1) * 15 + n], false))
                return;

    // Everything on the drive is written in one transaction: a set half written is never left
    // there to be imported. The set carries each bet's and bettor's identity beside it.
    Transaction tx(app_.files());
    try {
        std::string computer = computerid(app_.files());
        BettorOrigins bettorsout = bettorids(app_, sh_.bettors, sh_.savepath + "Bettors", computer);
        sh_.datapath = drive;
        if (!writebettorsonly(app_) || !writeentries(app_)) return;
        writebettororigins(app_.files(), drive + "Bettors", bettorsout);
        sh_.fileop = "Bets Output";
        for (int r = 1; r <= nrounds; ++r)
            for (long n = 1; n <= 15; ++n) {
                const FlightBets& flight = flights[(r - 1) * 15 + n];
                bool fresh;
                std::vector<std::string> ids =
                    betids(app_.files(), flight.path, flight.bytes, "", &fresh);
                // Lines that had no identity yet keep the one given now, here as on the drive.
                if (fresh) stageids(app_, flight.path, flight.bytes, ids);
                std::string bytes = betrecords(flight.rows);
                for (bool backup : {false, true}) {
                    std::string path = betsname(drive, roundkeys[r], n, backup);
                    if (!flight.rows.empty()) {
                        app_.files().replacefile(path, bytes);
                        stageids(app_, path, bytes, ids);
                    } else if (app_.files().exists(path)) {
                        // A flight without bets leaves no old set behind to be imported again.
                        app_.files().remove(path);
                    }
                }
            }
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return;
    }
    if (!app_.commit(tx)) return;
    leaveatlastflight(sh_);
    app_.msgbox("All Bets, Entries, and Bettors written to drive " + letter + ":", vbOKOnly,
                "Export");
} catch (const FileError& e) {
    // A file that could not be looked at: nothing was changed.
    app_.fileerrorbox(e);
}

void frminit::cmdimport_Click() try {
    KeepPlace place(sh_);
    std::string letter = askdrive(app_, "Enter import drive letter", "Input Drive", "Import");
    if (letter.empty()) return;
    const std::string drive = letter + ":/";
    if (app_.msgbox("Insert export disk from another computer into drive " + letter +
                        ". Click OK when ready or Cancel.",
                    vbOKCancel, "Import Bettors, Bets") != vbOK)
        return;

    // Every file of the set is read and checked before anything is asked or changed: a damaged
    // set is refused whole.
    if (!checknamefile(app_, drive + "Players", FileKind::Players, "Players Input") ||
        !checknamefile(app_, drive + "Bettors", FileKind::Bettors, "Bettors Input"))
        return;
    std::vector<FlightBets> driveflights(61);
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= 15; ++f)
            if (!readflight(app_, betsname(drive, roundkeys[r], f), driveflights[(r - 1) * 15 + f],
                            true))
                return;
    sh_.datapath = drive;
    if (!readentries(app_)) return;
    Table<Entry> driveentries = sh_.entries;
    sh_.datapath = sh_.savepath;

    // The drive's players replace the local list, when the operator says so.
    if (app_.msgbox("Import Players files?", vbYesNo, "Import Entries") == vbYes) {
        sh_.entries = driveentries;
        if (!writeentries(app_)) return;
        app_.msgbox("Players files imported", vbOKOnly, "Import Players");
    }
    if (app_.msgbox("Import Bettors and Bets files?", vbYesNo, "Import Bettors") == vbNo) return;

    // Bettors: the drive's merged into the local ones.
    sh_.datapath = drive;
    if (!readbettors(app_)) return;
    long n = sh_.nbettors;
    for (size_t i = 1; i <= sh_.savedbettors.size(); ++i) sh_.savedbettors(i) = Bettor{0, " "};
    for (long k = 1; k <= n; ++k) sh_.savedbettors(k) = sh_.bettors(k);
    BettorOrigins driveids = readbettororigins(app_.files(), drive + "Bettors");
    sh_.datapath = sh_.savepath;
    if (!readlocalbettors(app_)) return;
    NumbersInUse used;
    if (!numbersinuse(app_, used)) return;
    std::string computer = computerid(app_.files(), false);
    BettorMerge merge(app_, sh_.bettors,
                      bettorids(app_, sh_.bettors, sh_.savepath + "Bettors", computer));
    merge.inuse = used.bettors;
    for (long k = 1; k <= n; ++k) {
        const Bettor& b = sh_.savedbettors(k);
        if (!merge.add(b.number, b.name, driveids[b.number])) return;
    }

    // Players check: the drive's list must be the local one, or its beginning.
    if (!readlocalentries(app_)) return;
    const Table<Entry>& known = sh_.entries;
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

    // Bets: every bet of the set checked and its bettor number translated. A bet whose identity
    // is here already (this set or one carrying its bets came in before, or the bet was taken
    // here) is not added again.
    std::vector<FlightBets> localflights(61);
    std::vector<std::vector<Bet>> added(61);
    std::vector<std::vector<std::string>> addedids(61);
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= 15; ++f) {
            size_t i = (r - 1) * 15 + f;
            FlightBets& flight = driveflights[i];
            for (Bet& b : flight.rows) {
                long to = b.bettor ? merge.local(b.bettor) : 0;
                if (!isknown(b.entry) || (b.bettor && !to)) {
                    app_.msgbox(Mid(flight.path, 4) +
                                    " holds a bet on a player/team or bettor unknown here. Nothing "
                                    "was imported.",
                                vbOKOnly, "Import");
                    return;
                }
                b.bettor = b.bettor ? to : 0;
            }
            if (!flight.rows.empty() &&
                !readflight(app_, betsname(sh_.savepath, roundkeys[r], f), localflights[i], false))
                return;
        }

    // Everything checked: the local files change now, all in one transaction, so a failed import
    // leaves them as they were and can simply be done again.
    {
        Transaction tx(app_.files());
        sh_.bettors = merge.merged;
        if (!writebettors(app_)) return;
        sh_.fileop = "Bets Append";
        try {
            std::string here = computerid(app_.files());
            BettorOrigins keep = merge.ids;
            for (auto& [number, ids] : keep) ids.erase(ownbettorid(here, number));
            for (const char* file : {"Bettors", "Bettorsbackup"})
                writebettororigins(app_.files(), sh_.savepath + file, keep);
            for (int r = 1; r <= nrounds; ++r)
                for (long f = 1; f <= 15; ++f) {
                    size_t i = (r - 1) * 15 + f;
                    const FlightBets& flight = driveflights[i];
                    if (flight.rows.empty()) continue;
                    std::set<std::string> have;
                    for (const std::string& id :
                         betids(app_.files(), localflights[i].path, localflights[i].bytes))
                        have.insert(id);
                    BetOrigins origins(app_.files(), flight.path);
                    std::vector<Bet> rows;
                    std::vector<std::string> ids;
                    for (size_t b = 0; b < flight.rows.size(); ++b) {
                        std::string id = origins.take(flight.texts[b]);
                        // A line the set does not know the origin of is a bet new here.
                        if (id.empty()) id = newbetid(app_.files(), here);
                        if (!have.insert(id).second) continue;
                        rows.push_back(flight.rows[b]);
                        ids.push_back(id);
                    }
                    if (rows.empty()) continue;
                    sh_.curround = roundkeys[r];
                    sh_.curflightnbr = f;
                    sh_.curflight = sh_.flightnames[f];
                    for (bool backup : {false, true}) {
                        std::string path = betsname(sh_.savepath, roundkeys[r], f, backup);
                        std::string old =
                            app_.files().exists(path) ? app_.files().readall(path) : std::string();
                        std::vector<std::string> all = betids(app_.files(), path, old);
                        std::string bytes =
                            appendedbytes(path, old, FileKind::Bets, betrecords(rows));
                        all.insert(all.end(), ids.begin(), ids.end());
                        app_.files().replacefile(path, bytes);
                        stageids(app_, path, bytes, all);
                    }
                }
        } catch (const FileError& e) {
            app_.fileerrorbox(e);
            return;
        }
        if (!app_.commit(tx)) return;
    }
    app_.msgbox("Bettor file imported", vbOKOnly, "Import");
    leaveatlastflight(sh_);
    app_.msgbox("Import of Bettors, Bets files complete", vbOKOnly, "Import Bettors,Bets");
} catch (const FileError& e) {
    // A file that could not be looked at: nothing was changed.
    app_.fileerrorbox(e);
}

}  // namespace vt
