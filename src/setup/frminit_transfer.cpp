// Moving the data between computers through a removable drive: export of this computer's
// Bettors, Players and Bets files (with their identity files) to the root of a drive, and import
// of such a set: the set and this computer's files are read and checked whole, the bettors are
// merged by identity or by number and name, each Bets file is merged as records/merge.h plans it,
// and everything is committed at one point.
#include <algorithm>
#include <cctype>
#include <optional>
#include <set>
#include <vector>

#include "platform/drives.h"
#include "platform/text.h"
#include "platform/transaction.h"
#include "records/filelines.h"
#include "records/merge.h"
#include "records/origins.h"
#include "records/records.h"
#include "setup/frminit.h"
#include "setup/setupfile.h"

namespace vt {

namespace {

const std::string kNothingImported = "Nothing was imported.";

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

// A line that is not a record stops a transfer: the box names the file and the line and says
// that nothing was transferred; a line of the program's own files sends the operator to Fix Files.
void refuseline(Host& app, FileError e, const std::string& nothing) {
    e.advice = nothing;
    app.fileerrorbox(e);
}

// Checks that every line of a drive's Players or Bettors file is a record, as the readers take
// one; false after the box naming the file and the line.
bool checknamefile(Host& app, const std::string& path, FileKind kind, const std::string& fileop) {
    if (!app.files().exists(path)) return true;  // the reader reports a missing file
    std::string bytes = app.files().readall(path);
    try {
        checklines(path, bytes, kind);
    } catch (FileError& e) {
        app.shared().fileop = fileop;
        e.checkfile = false;
        refuseline(app, e, kNothingImported);
        return false;
    }
    return true;
}

// Reads a Bets file whose every line must be a record; a missing file holds none. False after
// the box naming the file (and the line), which says that nothing was imported.
bool readflight(Host& app, const std::string& path, FlightSet& out, bool drive,
                const std::string& nothing) {
    out = FlightSet{};
    app.shared().fileop = "Bets Input";
    std::string bytes;
    try {
        if (!app.files().exists(path)) return true;
        bytes = app.files().readall(path);
    } catch (FileError& e) {
        e.advice = nothing;
        app.fileerrorbox(e);
        return false;
    }
    LineCursor lines(bytes, FileKind::Bets);
    FileLine line;
    while (lines.next(line)) {
        LineBet b = linebet(line.fields);
        if (!line.readable || !b.whole) {
            FileError e = badline(path, line);
            // A drive's file is mended on the computer that exported it, not in Fix Files here.
            e.checkfile = !drive;
            refuseline(app, e, nothing);
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
// bettor of the same name is asked about. A bettor deleted here stays deleted unless the drive
// brings new bets of his (revive).
class BettorMerge {
  public:
    BettorMerge(Host& app, const Table<Bettor>& local, BettorIdentities ids)
        : merged(local), ids(std::move(ids)), app_(app), sh_(app.shared()) {}
    // Bettor numbers some local record or identity file names: a new bettor never takes one.
    std::set<long long> inuse;
    long added = 0, known = 0, deleted = 0;
    BettorLinks links;

    // False when the table is full (after the capacity message).
    bool add(long number, std::string name, const std::vector<Identity>& theirs) {
        for (auto& [local, list] : ids.live)
            if (shares(list, theirs)) return map(number, local, theirs, known);
        for (auto& [local, list] : ids.deleted)
            if (shares(list, theirs)) {
                links.deleted[number] = static_cast<long>(local);
                gone_[number] = Gone{static_cast<long>(local), name, theirs};
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
        if (!room()) return false;
        long to = freeticket();
        merged(++sh_.nbettors) = Bettor{to, name};
        // A bettor new here keeps the identity it was given where it was made.
        ids.live[to];
        return map(number, to, theirs, added);
    }

    // A bettor deleted here with new bets on the drive comes back with them: under his old
    // number while no bettor holds it, otherwise under a free one (the old stays in use). False
    // when the table is full (after the capacity message).
    bool revive(long number) {
        const Gone& g = gone_.at(number);
        if (!room()) return false;
        long to = g.local;
        if (to == 999 || to == 9999 || find([&](const Bettor& b) { return b.number == to; }))
            to = freeticket();
        merged(++sh_.nbettors) = Bettor{to, g.name};
        std::vector<Identity> mine = ids.deleted[g.local];
        if (to == g.local)
            ids.deleted.erase(g.local);
        else
            ids.deleted[g.local].clear();
        ids.live[to] = mine;
        links.deleted.erase(number);
        --deleted;
        long ignored = 0;
        return map(number, to, g.theirs, ignored);
    }

    Table<Bettor> merged;
    BettorIdentities ids;  // every merged bettor's identities, by local number

  private:
    struct Gone {
        long local;
        std::string name;
        std::vector<Identity> theirs;
    };
    template <class Pred>
    long find(Pred pred) const {
        for (size_t i = 1; i <= merged.size(); ++i)
            if (merged(i).number != 999 && !merged(i).name.empty() && pred(merged(i)))
                return static_cast<long>(i);
        return 0;
    }
    bool room() {
        if (sh_.nbettors < static_cast<long>(merged.size())) return true;
        app_.msgbox(
            "Maximum number of bettors exceeded. Increase number of bettors on Setup screen",
            vbOKOnly, "Max Bettor Error");
        return false;
    }
    long freeticket() {
        while (sh_.nextticket == 999 || sh_.nextticket == 9999 || inuse.count(sh_.nextticket) ||
               find([&](const Bettor& b) { return b.number == sh_.nextticket; }))
            ++sh_.nextticket;
        return sh_.nextticket++;
    }
    static bool shares(const std::vector<Identity>& a, const std::vector<Identity>& b) {
        for (Identity id : b)
            if (std::find(a.begin(), a.end(), id) != a.end()) return true;
        return false;
    }
    // The imported bettor is the local one from now on, also for the next imports.
    bool map(long from, long to, const std::vector<Identity>& theirs, long& count) {
        links.local[from] = to;
        std::vector<Identity>& list = ids.live[to];
        for (Identity id : theirs)
            if (std::find(list.begin(), list.end(), id) == list.end()) list.push_back(id);
        if (list.empty()) list.push_back(newidentity(app_.files()));
        ++count;
        return true;
    }

    Host& app_;
    Shared& sh_;
    std::map<long, Gone> gone_;  // by imported number
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

// The refusal of a drive set, naming the drive's file as the operator sees it. False.
bool refuse(Host& app, const std::string& why) {
    app.msgbox(why + "\r\n" + kNothingImported, vbOKOnly, "Import");
    return false;
}

const std::string kExportAgain =
    "Export the set again on the other computer and copy it to the drive whole.";

// A drive file whose identity file is missing or does not describe it: its bets could not be
// told from bets already here. False after the box.
bool describedondrive(Host& app, const std::string& path, bool described) {
    if (described) return true;
    if (!app.files().exists(path))
        return refuse(app, filelocation(path, 0) +
                               " is missing, but the export wrote its identity file: the copy to "
                               "the drive was cut short. " +
                               kExportAgain);
    if (!hasidentityfile(app.files(), path))
        return refuse(app, filelocation(path, 0) +
                               " has no identity file beside it (the hidden file the export "
                               "writes with it): it was copied without it. " +
                               kExportAgain);
    return refuse(app, filelocation(path, 0) +
                           " does not match the identity file the export wrote beside it: it "
                           "may be cut short, changed, or left from another export. " +
                           kExportAgain);
}

// The drive's set, read and checked whole.
struct DriveSet {
    BettorIdentities bettors;
    std::vector<FlightSet> flights = std::vector<FlightSet>(61);
};

// Reads every file of the drive's set and checks each against its identity file, an emptied or
// missing Bets file included. False after the box naming the file.
bool readdriveset(Host& app, const std::string& drive, DriveSet& set) {
    const Files& files = app.files();
    if (!checknamefile(app, drive + "Players", FileKind::Players, "Players Input") ||
        !checknamefile(app, drive + "Bettors", FileKind::Bettors, "Bettors Input"))
        return false;
    bool anyids = hasidentityfile(files, drive + "Bettors");
    for (int r = 1; r <= nrounds && !anyids; ++r)
        for (long f = 1; f <= 15 && !anyids; ++f)
            for (bool backup : {false, true})
                anyids = anyids || hasidentityfile(files, betsname(drive, roundkeys[r], f, backup));
    if (!anyids)
        return refuse(app, drive.substr(0, 2) +
                               " holds no identity files (the hidden files an export writes "
                               "beside Bettors and each Bets file): the set was copied by hand, "
                               "or without its hidden files. " +
                               kExportAgain);
    set.bettors = bettoridentities(files, drive + "Bettors");
    if (!describedondrive(app, drive + "Bettors", set.bettors.described)) return false;
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= 15; ++f) {
            FlightSet& flight = set.flights[size_t((r - 1) * 15 + f)];
            std::string path = betsname(drive, roundkeys[r], f);
            if (!readflight(app, path, flight, true, kNothingImported)) return false;
            flight.ids = betidentities(files, path);
            if (flight.rows.empty()) {
                // Emptied or missing while its identity file lists bets: a copy cut short.
                size_t listed = listedrecords(files, path);
                if (listed)
                    return refuse(app, filelocation(path, 0) +
                                           " holds no bets, but the identity "
                                           "file the export wrote beside it "
                                           "lists " +
                                           std::to_string(listed) +
                                           ": the copy to the drive was cut short. " +
                                           kExportAgain);
            } else if (!describedondrive(app, path, flight.ids.described)) {
                return false;
            }
            // Deletions count only where an identity file the export wrote tells of them.
            if (!flight.ids.described) {
                flight.ids.deleted.clear();
                flight.ids.deletedholds.clear();
            }
        }
    return true;
}

// This computer's Bets files, read whole with their identities (the backup's deletions too).
bool readlocalbets(Host& app, std::vector<FlightSet>& flights) {
    const Files& files = app.files();
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= 15; ++f) {
            FlightSet& flight = flights[size_t((r - 1) * 15 + f)];
            std::string path = betsname(app.shared().savepath, roundkeys[r], f);
            if (!readflight(app, path, flight, false, kNothingImported)) return false;
            flight.ids = betidentities(files, path);
            addidentities(flight.ids.deleted, betidentities(files, betsname(app.shared().savepath,
                                                                            roundkeys[r], f, true))
                                                  .deleted);
        }
    return true;
}

// Commits a transfer; false after the box, which says that nothing was transferred.
bool committransfer(Host& app, Transaction& tx, const std::string& nothing) {
    return app.context().commit(tx, [&](FileError& e) { e.advice = nothing; });
}

const char* const kTypes[] = {"", "WIN", "PLACE", "SHOW"};

// Stages one flight's Bets file and its backup as the merge planned them, with the bettor
// numbers translated; the new bets of a bettor coming back are told in `back`.
void stageflight(Host& app, int r, long f, const FlightPlan& plan, const FlightSet& here,
                 const BetIdentities& drive, const BettorLinks& links,
                 std::map<long, std::string>& back) {
    const Files& files = app.files();
    Shared& sh = app.shared();
    std::string more;
    for (size_t k = 0; k < plan.added.size(); ++k) {
        Bet bet = plan.added[k];
        if (bet.bettor) bet.bettor = links.local.at(bet.bettor);
        more += betrecord(bet);
        if (plan.returning[k])
            back[bet.bettor] += std::string(back[bet.bettor].empty() ? "" : ", ") + roundkeys[r] +
                                " flight " + std::to_string(f) + " " +
                                kTypes[std::clamp(bet.type, 0L, 3L)] + " " +
                                Format(bet.amount, "$#,##0.00");
    }
    std::string path = betsname(sh.savepath, roundkeys[r], f);
    bool exists = files.exists(path);
    std::string old = exists ? files.readall(path) : std::string();
    std::string bytes;
    if (plan.removed) {
        for (size_t k : plan.kept) bytes += here.texts[k] + "\r\n";
        bytes += more;
    } else {
        bytes = more.empty() ? old : appendedbytes(path, old, FileKind::Bets, more);
    }
    sh.curround = roundkeys[r];
    sh.curflightnbr = f;
    sh.curflight = sh.flightnames[f];
    std::string backup = betsname(sh.savepath, roundkeys[r], f, true);
    bool inpair = !files.exists(backup) || files.readall(backup) == old;
    bool write = exists || !bytes.empty();
    writeidentified(files, path, write ? &bytes : nullptr, plan.ids);
    if (inpair) {
        writeidentified(files, backup, write ? &bytes : nullptr, plan.ids);
    } else if (plan.removed || !more.empty()) {
        // A backup not in step with its file keeps its own lines: the bets the other computer
        // deleted leave it and the new ones are added to it.
        std::string kept = files.readall(backup), out;
        LineCursor lines(kept, FileKind::Bets);
        FileLine line;
        BetIdentities ids = betidentities(files, backup);
        for (size_t k = 0; lines.next(line); ++k)
            if (k >= ids.live.size() || !hasidentity(drive.deleted, ids.live[k]))
                out += line.text + "\r\n";
        files.replacefile(backup, out + more);
    }
}

// The import's last box: what it added, what was here already, what it matched, removed and
// left out, and each bettor deleted here who came back, with his new bets.
std::string importreport(const MergeTotals& t, const BettorMerge& merge,
                         const std::map<long, std::string>& back) {
    std::string told =
        "Import of Bettors, Bets files complete\r\n\r\nBets added: " + std::to_string(t.newbets) +
        "\r\nBets already here: " + std::to_string(t.here);
    if (t.matched)
        told +=
            "\r\nBets matched by bettor, player/team, type and amount (their identities were "
            "lost): " +
            std::to_string(t.matched);
    if (t.removed)
        told +=
            "\r\nBets deleted on the other computer, removed here: " + std::to_string(t.removed);
    if (t.deletedhere)
        told += "\r\nBets deleted here, not imported: " + std::to_string(t.deletedhere);
    told += "\r\nBettors added: " + std::to_string(merge.added) +
            "\r\nBettors already here: " + std::to_string(merge.known);
    if (merge.deleted)
        told += "\r\nBettors deleted here, not imported: " + std::to_string(merge.deleted);
    for (auto& [number, bets] : back) {
        std::string name;
        for (size_t k = 1; k <= merge.merged.size(); ++k)
            if (merge.merged(k).number == number) name = merge.merged(k).name;
        told += "\r\n" + name + ", deleted here, is back as bettor " + std::to_string(number) +
                " with new bets: " + bets;
    }
    return told;
}

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
    const std::string nothing = "Nothing was exported.";
    app_.msgbox("Insert blank disk into drive " + letter + ". Click OK when ready.", vbOKOnly,
                "Export");
    const char* const notwritten = "Nothing was written. Insert the disk and export again.";
    if (!drivestillthere(app_, disk, "Export", notwritten)) return;

    // Everything local is read and checked before the first file is written.
    if (!checkdatafiles(app_, nothing) || !readbettors(app_) || !readentries(app_)) return;
    std::vector<FlightSet> flights(61);
    for (int r = 1; r <= nrounds; ++r)
        for (long n = 1; n <= 15; ++n)
            if (!readflight(app_, betsname(sh_.savepath, roundkeys[r], n),
                            flights[size_t((r - 1) * 15 + n)], false, nothing))
                return;

    // Everything on the drive is written in one transaction: a set half written is never left
    // there to be imported. The set carries each bet's and bettor's identity, and the bets
    // deleted here, beside its files.
    Transaction tx(app_.files(), sh_.fileop);
    try {
        const Files& files = app_.files();
        // Records given their identities now keep them (unvouched), here as on the drive.
        auto keephere = [&](const std::string& path, const auto& ids) {
            if (ids.described) return;
            if (!files.exists(path)) {
                // An identity file left without its data file: only what it remembers stays.
                writeidentified(files, path, nullptr, ids);
                return;
            }
            std::string bytes = files.readall(path);
            for (const std::string& p : {path, path + "backup"})
                if (files.exists(p) && (p == path || files.readall(p) == bytes))
                    writeidentified(files, p, &bytes, ids);
        };
        BettorIdentities bettorids = bettoridentities(files, sh_.savepath + "Bettors");
        keephere(sh_.savepath + "Bettors", bettorids);
        sh_.datapath = drive;
        {
            CarriedIdentities carried(files, drive + "Bettors", bettorids);
            if (!writebettorsonly(app_) || !writeentries(app_)) return;
        }
        sh_.fileop = "Bets Output";
        tx.title(sh_.fileop);
        for (int r = 1; r <= nrounds; ++r)
            for (long n = 1; n <= 15; ++n) {
                const FlightSet& flight = flights[size_t((r - 1) * 15 + n)];
                std::string local = betsname(sh_.savepath, roundkeys[r], n);
                BetIdentities ids = betidentities(files, local);
                keephere(local, ids);
                std::string bytes = betrecords(flight.rows);
                for (bool backup : {false, true}) {
                    std::string path = betsname(drive, roundkeys[r], n, backup);
                    if (!flight.rows.empty()) {
                        writeidentified(files, path, &bytes, ids);
                        continue;
                    }
                    // A flight without bets leaves no old set behind to be imported again; the
                    // bets deleted from it still travel.
                    BetIdentities deletions;
                    deletions.deleted = ids.deleted;
                    writeidentified(files, path, nullptr, deletions);
                }
            }
    } catch (FileError& e) {
        e.advice = nothing;
        app_.fileerrorbox(e);
        return;
    }
    if (!drivestillthere(app_, disk, "Export", notwritten) || !committransfer(app_, tx, nothing))
        return;
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
    // The files merged into are checked as strictly as the drive's: none is merged over damaged.
    if (!checkdatafiles(app_, kNothingImported)) return;

    // Every file of the set and of this computer, and every identity file against its data
    // file, is read and checked before anything is asked or changed: a damaged set is refused
    // whole.
    DriveSet set;
    if (!readdriveset(app_, drive, set)) return;
    std::vector<FlightSet> here(61);
    if (!readlocalbets(app_, here)) return;
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
            !committransfer(app_, tx, kNothingImported))
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
        auto theirs = set.bettors.live.find(b.number);
        if (!merge.add(b.number, b.name,
                       theirs == set.bettors.live.end() ? std::vector<Identity>{} : theirs->second))
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

    // Bets: every bet of the set checked, then each flight merged (records/merge.h).
    std::vector<FlightPlan> plans(61);
    std::set<long> returning;
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= 15; ++f) {
            size_t i = size_t((r - 1) * 15 + f);
            for (const Bet& bet : set.flights[i].rows)
                if (!isknown(bet.entry) || (bet.bettor && !merge.links.local.count(bet.bettor) &&
                                            !merge.links.deleted.count(bet.bettor))) {
                    app_.msgbox(Mid(betsname(drive, roundkeys[r], f), 4) +
                                    " holds a bet on a player/team or bettor unknown here. "
                                    "Nothing was imported.",
                                vbOKOnly, "Import");
                    return;
                }
            plans[i] = planflight(here[i], set.flights[i], merge.links);
            for (size_t k = 0; k < plans[i].added.size(); ++k)
                if (plans[i].returning[k]) returning.insert(plans[i].added[k].bettor);
        }
    // A bettor deleted here comes back with exactly the new bets the drive brings of his.
    for (long number : returning)
        if (!merge.revive(number)) return;

    // Everything checked: the local files change now, all in one transaction with the players,
    // so a failed import leaves them as they were and can simply be done again.
    MergeTotals totals;
    std::map<long, std::string> back;  // by local number: the new bets a returning bettor brings
    try {
        sh_.bettors = merge.merged;
        {
            CarriedIdentities bettors(files, sh_.savepath + "Bettors", merge.ids);
            CarriedIdentities backup(files, sh_.savepath + "Bettorsbackup", merge.ids);
            if (!writebettors(app_)) return;
        }
        sh_.fileop = "Bets Append";
        tx.title(sh_.fileop);
        for (int r = 1; r <= nrounds; ++r)
            for (long f = 1; f <= 15; ++f) {
                size_t i = size_t((r - 1) * 15 + f);
                totals.add(plans[i]);
                if (plans[i].changed)
                    stageflight(app_, r, f, plans[i], here[i], set.flights[i].ids, merge.links,
                                back);
            }
    } catch (const FileError& e) {
        app_.fileerrorbox(e);
        return;
    }
    // The one point where the import is decided: nothing is on disk before it.
    if (!drivestillthere(app_, disk, "Import Bettors, Bets", notimported) ||
        !committransfer(app_, tx, kNothingImported))
        return;
    tables.kept = true;
    if (players) app_.msgbox("Players files imported", vbOKOnly, "Import Players");
    app_.msgbox("Bettor file imported", vbOKOnly, "Import");
    leaveatlastflight(sh_);
    app_.msgbox(importreport(totals, merge, back), vbOKOnly, "Import Bettors,Bets");
} catch (const FileError& e) {
    // A file that could not be looked at: nothing was changed.
    app_.fileerrorbox(e);
}

}  // namespace vt
