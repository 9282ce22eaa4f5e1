// Moving the data between computers through a removable drive: export of this computer's
// Bettors, Players and Bets files to the root of a drive, and import of such a set that merges
// the bettors by name and appends the bets with the bettor numbers translated.
#include <algorithm>
#include <cctype>
#include <optional>
#include <set>
#include <vector>

#include "platform/drives.h"
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

// The entry and bettor tables as they were, put back unless the change they were read for was
// committed: a refused or failed import leaves no other computer's names behind to be written.
struct KeepTables {
    Shared& sh;
    Table<Entry> entries;
    Table<Bettor> bettors;
    long nextentryrow, nextentrynbr, nextticket, nbettors;
    bool entriescomplete, bettorscomplete;
    bool kept = false;
    explicit KeepTables(Shared& s)
        : sh(s),
          entries(s.entries),
          bettors(s.bettors),
          nextentryrow(s.nextentryrow),
          nextentrynbr(s.nextentrynbr),
          nextticket(s.nextticket),
          nbettors(s.nbettors),
          entriescomplete(s.entriescomplete),
          bettorscomplete(s.bettorscomplete) {}
    ~KeepTables() {
        if (kept) return;
        sh.entries = entries;
        sh.bettors = bettors;
        sh.nextentryrow = nextentryrow;
        sh.nextentrynbr = nextentrynbr;
        sh.nextticket = nextticket;
        sh.nbettors = nbettors;
        sh.entriescomplete = entriescomplete;
        sh.bettorscomplete = bettorscomplete;
    }
};

// Asks for a drive letter; "" (after a message) when none was given or it names no drive now.
// `disk` gets what the letter names, for drivestillthere.
std::string askdrive(Host& app, const std::string& prompt, const std::string& title,
                     const std::string& msgtitle, DriveStamp& disk) {
    std::string s = trim(app.inputbox(prompt, title, "0"));
    if (!s.empty() && s.back() == ':') s.pop_back();
    if (s.empty() || s == "0") {
        app.msgbox("No drive letter entered - nothing was transferred", vbOKOnly, msgtitle);
        return "";
    }
    std::optional<DriveStamp> stamp;
    if (s.size() == 1 && std::isalpha(static_cast<unsigned char>(s[0]))) {
        s = ucase(s);
        stamp = drivestamp(s[0]);
    }
    if (!stamp) {
        app.msgbox("Drive " + s + ": is not available - nothing was transferred", vbOKOnly,
                   msgtitle);
        return "";
    }
    disk = *stamp;
    return s;
}

// The one check that the drive is still the disk whose letter was entered (the same mounted file
// system, not pulled, not swapped for another): made after the insert-disk question and right
// before the commit, so nothing is written to the mount folder a pulled stick leaves on this
// computer's disk and nothing is taken from another stick. False after a box naming the drive.
bool drivestillthere(Host& app, const DriveStamp& disk, const std::string& title,
                     const std::string& nothing) {
    if (samedrive(disk)) return true;
    app.msgbox("Drive " + std::string(1, disk.letter) +
                   ": is not the disk that was there when its letter was entered: it was "
                   "removed or changed.\r\n" +
                   nothing,
               vbOKOnly, title);
    return false;
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

void leaveatlastflight(Shared& sh) {
    sh.curflightnbr = 15;
    sh.curflight = sh.flightnames[15];
}

// The imported bettors merged into the local ones, and the translation of their numbers. A
// bettor is the same person as a local one when they share an identity (the bettor came back
// from a computer that had it from here, directly or not), or by number and name; another local
// bettor of the same name is asked about. A bettor deleted here does not come back.
class BettorMerge {
  public:
    BettorMerge(Host& app, const Table<Bettor>& local, BettorIdentities ids)
        : merged(local), ids(std::move(ids)), app_(app), sh_(app.shared()) {}
    // Bettor numbers some local record or identity file names: a new bettor never takes one.
    std::set<long long> inuse;
    long added = 0, known = 0, deleted = 0;

    // False when the table is full (after the capacity message).
    bool add(long number, std::string name, const std::vector<Identity>& theirs) {
        for (auto& [local, list] : ids.live)
            if (shares(list, theirs)) return map(number, local, theirs, known);
        for (auto& [local, list] : ids.deleted)
            if (shares(list, theirs)) {
                map_.emplace_back(number, 0);
                ++deleted;
                return true;
            }
        for (;;) {
            long bynumber = find([&](const Bettor& b) { return b.number == number; });
            if (bynumber && merged(bynumber).name == name)
                return map(number, number, theirs, known);
            long byname = find([&](const Bettor& b) { return b.name == name; });
            if (!byname) break;
            if (app_.msgbox("Are there two different bettors both named " + name, vbYesNo,
                            "Import") == vbNo)
                return map(number, merged(byname).number, theirs, known);
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
        // A bettor new here keeps the identity it was given where it was made.
        ids.live[sh_.nextticket];
        return map(number, sh_.nextticket++, theirs, added);
    }

    // The local number of an imported one; 0 when it has none (unknown, or deleted here).
    long local(long imported) const {
        for (auto& [from, to] : map_)
            if (from == imported) return to;
        return 0;
    }
    // True when the imported bettor is one deleted here.
    bool isdeleted(long imported) const {
        for (auto& [from, to] : map_)
            if (from == imported) return to == 0;
        return false;
    }

    Table<Bettor> merged;
    BettorIdentities ids;  // every merged bettor's identities, by local number

  private:
    template <class Pred>
    long find(Pred pred) const {
        for (size_t i = 1; i <= merged.size(); ++i)
            if (merged(i).number != 999 && !merged(i).name.empty() && pred(merged(i)))
                return static_cast<long>(i);
        return 0;
    }
    static bool shares(const std::vector<Identity>& a, const std::vector<Identity>& b) {
        for (Identity id : b)
            if (std::find(a.begin(), a.end(), id) != a.end()) return true;
        return false;
    }
    // The imported bettor is the local one from now on, also for the next imports.
    bool map(long from, long to, const std::vector<Identity>& theirs, long& count) {
        map_.emplace_back(from, to);
        std::vector<Identity>& list = ids.live[to];
        for (Identity id : theirs)
            if (std::find(list.begin(), list.end(), id) == list.end()) list.push_back(id);
        if (list.empty()) list.push_back(newidentity(app_.files()));
        ++count;
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

// A drive file whose identity file is missing or does not describe it (cut, changed, or left
// beside another export): its bets could not be told from bets already here. False after the box.
bool describedondrive(Host& app, const std::string& path, bool described) {
    if (described) return true;
    app.msgbox(filelocation(path, 0) +
                   " does not match the identity file the export wrote beside it: it may be "
                   "cut short, changed, or left from another export. Export it again on the "
                   "other computer.\r\nNothing was imported.",
               vbOKOnly, "Import");
    return false;
}

// A Bets file's records kept where `drop` does not name their identity, with `more` appended.
std::string keptbytes(const std::string& path, const std::string& old,
                      const std::vector<Identity>& ids, const std::vector<Identity>& drop,
                      const std::string& more, size_t& dropped) {
    std::vector<FileLine> lines = filelines(old, FileKind::Bets);
    dropped = 0;
    std::string kept;
    for (size_t i = 0; i < lines.size() && i < ids.size(); ++i) {
        if (hasidentity(drop, ids[i]))
            ++dropped;
        else
            kept += lines[i].text + "\r\n";
    }
    return dropped ? kept + more : appendedbytes(path, old, FileKind::Bets, more);
}

// What an import did, for its last box.
struct Counts {
    long added = 0, here = 0, removed = 0, refused = 0;
};

}  // namespace

void frminit::cmdexport_Click() try {
    KeepPlace place(sh_);
    DriveStamp disk;
    std::string letter = askdrive(
        app_,
        "Enter target export drive letter. To export to a CD, see the Vantrope web site for "
        "how to do it.",
        "Export Target Drive", "Export", disk);
    if (letter.empty()) return;
    const std::string drive = letter + ":/";
    app_.msgbox("Insert blank disk into drive " + letter + ". Click OK when ready.", vbOKOnly,
                "Export");
    const char* const notwritten = "Nothing was written. Insert the disk and export again.";
    if (!drivestillthere(app_, disk, "Export", notwritten)) return;

    // Everything local is read and checked before the first file is written.
    if (!readbettors(app_) || !readentries(app_)) return;
    std::vector<FlightBets> flights(61);
    for (int r = 1; r <= nrounds; ++r)
        for (long n = 1; n <= 15; ++n)
            if (!readflight(app_, betsname(sh_.savepath, roundkeys[r], n),
                            flights[(r - 1) * 15 + n], false))
                return;

    // Everything on the drive is written in one transaction: a set half written is never left
    // there to be imported. The set carries each bet's and bettor's identity, and the bets
    // deleted here, beside its files.
    Transaction tx(app_.files(), sh_.fileop);
    try {
        const Files& files = app_.files();
        // Records that had no identity yet keep the one given now, here as on the drive.
        auto keephere = [&](const std::string& path, auto ids, auto stage) {
            if (ids.described) return;
            for (const std::string& p : {path, path + "backup"})
                if (files.exists(p) && (p == path || files.readall(p) == files.readall(path))) {
                    std::string bytes = files.readall(p);
                    stage(files, p, &bytes, ids);
                }
        };
        BettorIdentities bettorids = bettoridentities(files, sh_.savepath + "Bettors");
        keephere(sh_.savepath + "Bettors", bettorids, stagebettoridentities);
        sh_.datapath = drive;
        if (!writebettorsonly(app_) || !writeentries(app_)) return;
        std::string bettorbytes = files.readall(drive + "Bettors");
        stagebettoridentities(files, drive + "Bettors", &bettorbytes, bettorids);
        sh_.fileop = "Bets Output";
        tx.title(sh_.fileop);
        for (int r = 1; r <= nrounds; ++r)
            for (long n = 1; n <= 15; ++n) {
                const FlightBets& flight = flights[(r - 1) * 15 + n];
                BetIdentities ids = betidentities(files, flight.path);
                keephere(flight.path, ids, stagebetidentities);
                std::string bytes = betrecords(flight.rows);
                for (bool backup : {false, true}) {
                    std::string path = betsname(drive, roundkeys[r], n, backup);
                    if (!flight.rows.empty()) {
                        files.replacefile(path, bytes);
                        stagebetidentities(files, path, &bytes, ids);
                        continue;
                    }
                    // A flight without bets leaves no old set behind to be imported again; the
                    // bets deleted from it still travel.
                    if (files.exists(path)) files.remove(path);
                    stagebetidentities(files, path, nullptr, BetIdentities{{}, ids.deleted});
                }
            }
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return;
    }
    if (!drivestillthere(app_, disk, "Export", notwritten) || !app_.commit(tx)) return;
    leaveatlastflight(sh_);
    app_.msgbox("All Bets, Entries, and Bettors written to drive " + letter + ":", vbOKOnly,
                "Export");
} catch (const FileError& e) {
    // A file that could not be looked at: nothing was changed.
    app_.fileerrorbox(e);
}

void frminit::cmdimport_Click() try {
    KeepPlace place(sh_);
    DriveStamp disk;
    std::string letter = askdrive(app_, "Enter import drive letter", "Input Drive", "Import", disk);
    if (letter.empty()) return;
    const std::string drive = letter + ":/";
    if (app_.msgbox("Insert export disk from another computer into drive " + letter +
                        ". Click OK when ready or Cancel.",
                    vbOKCancel, "Import Bettors, Bets") != vbOK)
        return;
    const char* const notimported = "Nothing was imported. Insert the disk and import again.";
    if (!drivestillthere(app_, disk, "Import Bettors, Bets", notimported)) return;
    const Files& files = app_.files();

    // Every file of the set, and every identity file against its data file, is read and checked
    // before anything is asked or changed: a damaged set is refused whole.
    if (!checknamefile(app_, drive + "Players", FileKind::Players, "Players Input") ||
        !checknamefile(app_, drive + "Bettors", FileKind::Bettors, "Bettors Input"))
        return;
    BettorIdentities drivebettors = bettoridentities(files, drive + "Bettors");
    if (!describedondrive(app_, drive + "Bettors", drivebettors.described)) return;
    std::vector<FlightBets> driveflights(61);
    std::vector<BetIdentities> driveids(61);
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= 15; ++f) {
            size_t i = (r - 1) * 15 + f;
            if (!readflight(app_, betsname(drive, roundkeys[r], f), driveflights[i], true)) return;
            driveids[i] = betidentities(files, driveflights[i].path);
            if (!driveflights[i].rows.empty() &&
                !describedondrive(app_, driveflights[i].path, driveids[i].described))
                return;
            // Deletions count only where an identity file the export wrote tells of them.
            if (!driveids[i].described) driveids[i].deleted.clear();
        }
    KeepTables tables(sh_);
    sh_.datapath = drive;
    if (!readentries(app_)) return;
    Table<Entry> driveentries = sh_.entries;
    sh_.datapath = sh_.savepath;

    // The answers are gathered first; the files change once, at the end.
    bool players = app_.msgbox("Import Players files?", vbYesNo, "Import Entries") == vbYes;
    bool bettorsandbets =
        app_.msgbox("Import Bettors and Bets files?", vbYesNo, "Import Bettors") == vbYes;
    Transaction tx(files, sh_.fileop);
    if (players) {
        sh_.entries = driveentries;
        if (!writeentries(app_)) return;
    }
    if (!bettorsandbets) {
        if (!players || !drivestillthere(app_, disk, "Import Bettors, Bets", notimported) ||
            !app_.commit(tx))
            return;
        tables.kept = true;
        app_.msgbox("Players files imported", vbOKOnly, "Import Players");
        return;
    }

    // Bettors: the drive's merged into the local ones.
    sh_.datapath = drive;
    if (!readbettors(app_)) return;
    long n = sh_.nbettors;
    for (size_t i = 1; i <= sh_.savedbettors.size(); ++i) sh_.savedbettors(i) = Bettor{0, " "};
    for (long k = 1; k <= n; ++k) sh_.savedbettors(k) = sh_.bettors(k);
    sh_.datapath = sh_.savepath;
    if (!readlocalbettors(app_)) return;
    NumbersInUse used;
    if (!numbersinuse(app_, used)) return;
    BettorMerge merge(app_, sh_.bettors, bettoridentities(files, sh_.savepath + "Bettors"));
    merge.inuse = used.bettors;
    for (long k = 1; k <= n; ++k) {
        const Bettor& b = sh_.savedbettors(k);
        auto theirs = drivebettors.live.find(b.number);
        if (!merge.add(
                b.number, b.name,
                theirs == drivebettors.live.end() ? std::vector<Identity>{} : theirs->second))
            return;
    }

    // Players check: the drive's list must be the local one, or its beginning.
    Table<Entry> known = driveentries;
    if (!players) {
        if (!readlocalentries(app_)) return;
        known = sh_.entries;
    }
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
    // is here already (taken here, or come in before) or was deleted here is not added again; a
    // bet deleted on the other computer is removed here; a bet of a bettor deleted here is not
    // imported.
    Counts bets;
    std::vector<std::vector<Bet>> adding(61);
    std::vector<std::vector<Identity>> addingids(61);
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= 15; ++f) {
            size_t i = (r - 1) * 15 + f;
            FlightBets& flight = driveflights[i];
            std::vector<Identity> have;
            std::string lost;  // a local file whose records' identities cannot be known now
            for (bool backup : {false, true}) {
                std::string path = betsname(sh_.savepath, roundkeys[r], f, backup);
                BetIdentities local = betidentities(files, path);
                addidentities(have, local.live);
                addidentities(have, local.deleted);
                if (local.lost && lost.empty()) lost = path;
            }
            for (size_t b = 0; b < flight.rows.size(); ++b) {
                Bet bet = flight.rows[b];
                long to = bet.bettor ? merge.local(bet.bettor) : 0;
                if (bet.bettor && merge.isdeleted(bet.bettor)) {
                    ++bets.refused;
                    continue;
                }
                if (!isknown(bet.entry) || (bet.bettor && !to)) {
                    app_.msgbox(Mid(flight.path, 4) +
                                    " holds a bet on a player/team or bettor unknown here. Nothing "
                                    "was imported.",
                                vbOKOnly, "Import");
                    return;
                }
                Identity id = driveids[i].live[b];
                if (hasidentity(have, id)) {
                    ++bets.here;
                    continue;
                }
                // The drive's bet may be one of that file's: adding it could count it twice.
                if (!lost.empty()) {
                    app_.msgbox(filelocation(lost, 0) +
                                    " does not match the identity file beside it (cut, changed "
                                    "or copied): its bets cannot be told from the drive's."
                                    "\r\nNothing was imported.",
                                vbOKOnly, "Import");
                    return;
                }
                addidentities(have, {id});
                bet.bettor = bet.bettor ? to : 0;
                adding[i].push_back(bet);
                addingids[i].push_back(id);
                ++bets.added;
            }
        }

    // Everything checked: the local files change now, all in one transaction with the players,
    // so a failed import leaves them as they were and can simply be done again.
    try {
        sh_.bettors = merge.merged;
        if (!writebettors(app_)) return;
        for (const char* file : {"Bettors", "Bettorsbackup"}) {
            std::string bytes = files.readall(sh_.savepath + file);
            stagebettoridentities(files, sh_.savepath + file, &bytes, merge.ids);
        }
        sh_.fileop = "Bets Append";
        tx.title(sh_.fileop);
        for (int r = 1; r <= nrounds; ++r)
            for (long f = 1; f <= 15; ++f) {
                size_t i = (r - 1) * 15 + f;
                const std::vector<Identity>& gone = driveids[i].deleted;
                for (bool backup : {false, true}) {
                    std::string path = betsname(sh_.savepath, roundkeys[r], f, backup);
                    BetIdentities ids = betidentities(files, path);
                    size_t before = ids.deleted.size();
                    addidentities(ids.deleted, gone);
                    bool exists = files.exists(path);
                    std::string old = exists ? files.readall(path) : std::string();
                    size_t dropped = 0;
                    std::string bytes =
                        keptbytes(path, old, ids.live, gone, betrecords(adding[i]), dropped);
                    if (!backup) bets.removed += static_cast<long>(dropped);
                    if (adding[i].empty() && !dropped) {
                        // Only deletions learnt: the data file stays as it is.
                        if (ids.deleted.size() != before)
                            stagebetidentities(files, path, exists ? &old : nullptr, ids);
                        continue;
                    }
                    std::vector<Identity> live;
                    for (Identity id : ids.live)
                        if (!hasidentity(gone, id)) live.push_back(id);
                    live.insert(live.end(), addingids[i].begin(), addingids[i].end());
                    sh_.curround = roundkeys[r];
                    sh_.curflightnbr = f;
                    sh_.curflight = sh_.flightnames[f];
                    files.replacefile(path, bytes);
                    stagebetidentities(files, path, &bytes, BetIdentities{live, ids.deleted});
                }
            }
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return;
    }
    if (!drivestillthere(app_, disk, "Import Bettors, Bets", notimported) || !app_.commit(tx))
        return;
    tables.kept = true;
    if (players) app_.msgbox("Players files imported", vbOKOnly, "Import Players");
    app_.msgbox("Bettor file imported", vbOKOnly, "Import");
    leaveatlastflight(sh_);
    std::string told =
        "Import of Bettors, Bets files complete\r\n\r\nBets added: " + std::to_string(bets.added) +
        "\r\nBets already here: " + std::to_string(bets.here);
    if (bets.removed)
        told +=
            "\r\nBets deleted on the other computer, removed here: " + std::to_string(bets.removed);
    if (bets.refused)
        told += "\r\nBets of bettors deleted here, not imported: " + std::to_string(bets.refused);
    told += "\r\nBettors added: " + std::to_string(merge.added) +
            "\r\nBettors already here: " + std::to_string(merge.known);
    if (merge.deleted)
        told += "\r\nBettors deleted here, not imported: " + std::to_string(merge.deleted);
    app_.msgbox(told, vbOKOnly, "Import Bettors,Bets");
} catch (const FileError& e) {
    // A file that could not be looked at: nothing was changed.
    app_.fileerrorbox(e);
}

}  // namespace vt
