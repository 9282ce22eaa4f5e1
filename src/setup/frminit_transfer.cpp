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
    sh.curflightnbr = nflights;
    sh.curflight = sh.flightnames[nflights];
}

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
    Table<Entry> entries;
    std::vector<Bettor> bettors;
    BettorIdentities bettorids;
    std::vector<FlightSet> flights = std::vector<FlightSet>(flightslot(nrounds, nflights) + 1);
};

// Reads every file of the drive's set and checks each against its identity file, an emptied or
// missing Bets file included. False after the box naming the file.
bool readdriveset(Host& app, const std::string& drive, DriveSet& set) {
    const Files& files = app.files();
    Origins& origins = app.context().origins();
    if (!files.exists(drive + "Bettors"))
        return refuse(app, filelocation(drive + "Bettors", 0) +
                               " is not there: the drive holds no set exported from another "
                               "computer, or only part of one. " +
                               kExportAgain);
    if (!checknamefile(app, drive + "Players", FileKind::Players, "Players Input") ||
        !checknamefile(app, drive + "Bettors", FileKind::Bettors, "Bettors Input"))
        return false;
    bool anyids = hasidentityfile(files, drive + "Bettors");
    for (int r = 1; r <= nrounds && !anyids; ++r)
        for (long f = 1; f <= nflights && !anyids; ++f)
            for (bool backup : {false, true})
                anyids = anyids || hasidentityfile(files, betsname(drive, roundkeys[r], f, backup));
    if (!anyids)
        return refuse(app, drive.substr(0, 2) +
                               " holds no identity files (the hidden files an export writes "
                               "beside Bettors and each Bets file): the set was copied by hand, "
                               "or without its hidden files. " +
                               kExportAgain);
    set.bettorids = origins.bettors(drive + "Bettors");
    if (!describedondrive(app, drive + "Bettors", set.bettorids.described)) return false;
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= nflights; ++f) {
            FlightSet& flight = set.flights[flightslot(r, f)];
            std::string path = betsname(drive, roundkeys[r], f);
            if (!readflight(app, path, flight, true, kNothingImported)) return false;
            flight.ids = origins.bets(path);
            if (flight.rows.empty()) {
                // Emptied or missing while its identity file lists bets: a copy cut short.
                size_t listed = listedrecords(files, path);
                if (listed)
                    return refuse(app, filelocation(path, 0) +
                                           " holds no bets, but the identity file the export "
                                           "wrote beside it lists " +
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
    // The drive's players and bettors as tables (read as the program's own files are).
    Shared& sh = app.shared();
    sh.datapath = drive;
    if (!readentries(app) || !readbettors(app)) return false;
    set.entries = sh.entries;
    for (long k = 1; k <= sh.nbettors; ++k) set.bettors.push_back(sh.bettors(size_t(k)));
    sh.datapath = sh.savepath;
    return true;
}

// This computer's Bets files, read whole with their identities (the backup's deletions too).
bool readlocalbets(Host& app, std::vector<FlightSet>& flights) {
    Origins& origins = app.context().origins();
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= nflights; ++f) {
            FlightSet& flight = flights[flightslot(r, f)];
            std::string path = betsname(app.shared().savepath, roundkeys[r], f);
            if (!readflight(app, path, flight, false, kNothingImported)) return false;
            flight.ids = origins.bets(path);
            BetIdentities backup =
                origins.bets(betsname(app.shared().savepath, roundkeys[r], f, true));
            addidentities(flight.ids.deleted, backup.deleted);
            flight.ids.deletedholds.merge(backup.deletedholds);
        }
    return true;
}

// Commits a transfer; false after the box, which says that nothing was transferred.
bool committransfer(Host& app, Transaction& tx, const std::string& nothing) {
    return app.context().commit(tx, [&](FileError& e) { e.advice = nothing; });
}

// The cashier answers the bettor merge's questions.
class AskCashier : public BettorQuestions {
  public:
    explicit AskCashier(Host& app) : app_(app) {}
    bool twobettors(const std::string& name) override {
        return app_.msgbox("Are there two different bettors both named " + name, vbYesNo,
                           "Import") == vbYes;
    }
    void renamed(const std::string& name) override {
        app_.msgbox("Creating new bettor name " + name, vbOKOnly, "Import");
    }

  private:
    Host& app_;
};

// The bettors of both sides, for the merge: this computer's read now (none before its first
// visit to the menu). False after a box.
bool bettortables(Host& app, const DriveSet& set, BettorTables& out) {
    Shared& sh = app.shared();
    if (!readlocalbettors(app)) return false;
    NumbersInUse used;
    if (!numbersinuse(app, used)) return false;
    for (long k = 1; k <= sh.nbettors; ++k) out.here.push_back(sh.bettors(size_t(k)));
    out.hereids = app.context().origins().bettors(sh.savepath + "Bettors");
    out.drive = set.bettors;
    out.driveids = set.bettorids;
    out.inuse = used.bettors;
    out.nextticket = sh.nextticket;
    out.capacity = sh.bettors.size();
    out.newidentity = [&app] { return app.context().origins().newidentity(); };
    return true;
}

// The merged bettors become the table written.
void takebettors(Shared& sh, const BettorPlan& plan) {
    for (size_t i = 1; i <= sh.bettors.size(); ++i)
        sh.bettors(i) = i <= plan.merged.size() ? plan.merged[i - 1] : Bettor{};
    sh.nbettors = static_cast<long>(plan.merged.size());
    sh.nextticket = plan.nextticket;
}

// The box of a bettor table too small for the merge; false.
bool maxbettorsbox(Host& app) {
    app.msgbox("Maximum number of bettors exceeded. Increase number of bettors on Setup screen",
               vbOKOnly, "Max Bettor Error");
    return false;
}

const char* const kTypes[] = {"", "WIN", "PLACE", "SHOW"};

// Stages one flight's Bets file and its backup as the merge planned them, with the bettor
// numbers translated.
void stageflight(Host& app, int r, long f, const FlightPlan& plan, const FlightSet& here,
                 const BetIdentities& drive, const BettorLinks& links) {
    Files& files = app.files();
    Origins& origins = app.context().origins();
    Shared& sh = app.shared();
    std::string more;
    for (Bet bet : plan.added) {
        if (bet.bettor) bet.bettor = links.local.at(bet.bettor);
        more += betrecord(bet);
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
    sh.curflight = sh.flightnames[size_t(f)];
    std::string backup = betsname(sh.savepath, roundkeys[r], f, true);
    bool inpair = !files.exists(backup) || files.readall(backup) == old;
    bool write = exists || !bytes.empty();
    origins.writeidentified(path, write ? &bytes : nullptr, plan.ids);
    if (inpair) {
        origins.writeidentified(backup, write ? &bytes : nullptr, plan.ids);
    } else if (plan.removed || !more.empty()) {
        // A backup not in step with its file keeps its own lines: the bets the other computer
        // deleted leave it and the new ones are added to it.
        std::string kept = files.readall(backup), out;
        LineCursor lines(kept, FileKind::Bets);
        FileLine line;
        BetIdentities ids = origins.bets(backup);
        for (size_t k = 0; lines.next(line); ++k)
            if (k >= ids.live.size() || !hasidentity(drive.deleted, ids.live[k]))
                out += line.text + "\r\n";
        files.replacefile(backup, out + more);
    }
}

// The import's last box: what it added, what was here already, what it matched, removed and
// left out, each bettor deleted here who came back with his new bets, and each bet to be
// checked against the tickets, named.
class ImportReport {
  public:
    ImportReport(const BettorPlan& bettors, const Table<Entry>& entries)
        : bettors_(bettors), entries_(entries) {}
    void add(int r, long f, const FlightPlan& plan, const BettorLinks& links) {
        totals_.add(plan);
        for (size_t k = 0; k < plan.added.size(); ++k)
            if (plan.returning[k]) {
                long to = links.local.at(plan.added[k].bettor);
                back_[to] += std::string(back_[to].empty() ? "" : "; ") + where(r, f) + ", " +
                             what(plan.added[k]);
            }
        for (const Bet& b : plan.matchedbets) matched_ += "\r\n" + named(r, f, b);
        for (const Bet& b : plan.besidedeletion) beside_ += "\r\n" + named(r, f, b);
    }
    std::string text() const {
        std::string told = "Import of Bettors, Bets files complete";
        if (!matched_.empty() || !beside_.empty())
            told += ": check the bets named below against the tickets";
        told += "\r\n\r\nBets added: " + std::to_string(totals_.newbets) +
                "\r\nBets already here: " + std::to_string(totals_.here);
        if (totals_.matched)
            told +=
                "\r\nBets matched by bettor, player/team, type and amount (their identities "
                "were lost): " +
                std::to_string(totals_.matched);
        if (totals_.removed)
            told += "\r\nBets deleted on the other computer, removed here: " +
                    std::to_string(totals_.removed);
        if (totals_.deletedhere)
            told += "\r\nBets deleted here, not imported: " + std::to_string(totals_.deletedhere);
        told += "\r\nBettors added: " + std::to_string(bettors_.added) +
                "\r\nBettors already here: " + std::to_string(bettors_.known);
        if (bettors_.deleted)
            told += "\r\nBettors deleted here, not imported: " + std::to_string(bettors_.deleted);
        for (auto& [number, bets] : back_)
            told += "\r\n" + bettorname(number) + ", deleted here, is back as bettor " +
                    std::to_string(number) + " with new bets: " + bets;
        if (!matched_.empty())
            told +=
                "\r\n\r\nTaken as one with a bet here that holds the same (check that they "
                "are one ticket):" +
                matched_;
        if (!beside_.empty())
            told +=
                "\r\n\r\nKept, although a bet that held the same was deleted (check that "
                "it is not the deleted ticket):" +
                beside_;
        return told;
    }

  private:
    const BettorPlan& bettors_;
    const Table<Entry>& entries_;
    MergeTotals totals_;
    std::map<long, std::string> back_;  // by local number: the new bets a returning bettor brings
    std::string matched_, beside_;

    static std::string where(int r, long f) {
        return std::string(roundkeys[r]) + " flight " + std::to_string(f);
    }
    std::string bettorname(long number) const {
        for (const Bettor& b : bettors_.merged)
            if (b.number == number) return b.name;
        return "Bettor " + std::to_string(number);
    }
    std::string what(const Bet& b) const {
        std::string entry = "entry " + std::to_string(b.entry);
        for (size_t i = 1; i <= entries_.size() && !entries_(i).name.empty(); ++i)
            if (entries_(i).number == b.entry) entry = trim(entries_(i).name);
        return entry + ", " + kTypes[std::clamp(b.type, 0L, 3L)] + " " +
               Format(b.amount, "$#,##0.00");
    }
    std::string named(int r, long f, const Bet& b) const {
        return (b.bettor ? bettorname(b.bettor) : std::string("no bettor")) + ", " + where(r, f) +
               ", " + what(b);
    }
};

// ---- Export ----

// Stages this computer's set (`flights` read whole) onto the drive in the open transaction, with
// each bet's and bettor's identity and the bets deleted here beside its files. Identities given
// now (to records nothing described) are kept here as on the drive. False after a box; FileError
// where a file cannot be written.
bool stageexport(Host& app, const std::string& drive, const std::vector<FlightSet>& flights,
                 Transaction& tx) {
    const Files& files = app.files();
    Shared& sh = app.shared();
    Origins& origins = app.context().origins();
    auto keephere = [&](const std::string& path, const auto& ids) {
        if (ids.described) return;
        if (!files.exists(path)) {
            // An identity file left without its data file: only what it remembers stays.
            origins.writeidentified(path, nullptr, ids);
            return;
        }
        std::string bytes = files.readall(path);
        for (const std::string& p : {path, path + "backup"})
            if (files.exists(p) && (p == path || files.readall(p) == bytes))
                origins.writeidentified(p, &bytes, ids);
    };
    BettorIdentities bettorids = origins.bettors(sh.savepath + "Bettors");
    keephere(sh.savepath + "Bettors", bettorids);
    sh.datapath = drive;
    {
        Origins::Carried carried(origins, drive + "Bettors", bettorids);
        if (!writebettorsonly(app) || !writeentries(app)) return false;
    }
    sh.fileop = "Bets Output";
    tx.title(sh.fileop);
    for (int r = 1; r <= nrounds; ++r)
        for (long n = 1; n <= nflights; ++n) {
            const FlightSet& flight = flights[flightslot(r, n)];
            std::string local = betsname(sh.savepath, roundkeys[r], n);
            BetIdentities ids = origins.bets(local);
            keephere(local, ids);
            std::string bytes = betrecords(flight.rows);
            for (bool backup : {false, true}) {
                std::string path = betsname(drive, roundkeys[r], n, backup);
                if (!flight.rows.empty()) {
                    origins.writeidentified(path, &bytes, ids);
                    continue;
                }
                // A flight without bets leaves no old set behind to be imported again; the bets
                // deleted from it still travel.
                BetIdentities deletions;
                deletions.deleted = ids.deleted;
                deletions.deletedholds = ids.deletedholds;
                origins.writeidentified(path, nullptr, deletions);
            }
        }
    return true;
}

// ---- Import ----

// What an import reads and works out, in the order it does so.
struct Import {
    DriveSet set;
    std::vector<FlightSet> here = std::vector<FlightSet>(flightslot(nrounds, nflights) + 1);
    bool players = false;
    BettorTables bettorsets;
    BettorPlan bettors;
    Table<Entry> known;  // the players the bets may name: the drive's when they are imported
    std::vector<FlightPlan> plans = std::vector<FlightPlan>(here.size());
};

// Every file of the set and of this computer, and every identity file against its data file, is
// read and checked before anything is asked or changed: a damaged set is refused whole, and none
// is merged over a damaged file here. False after a box.
bool readimport(Host& app, const std::string& drive, Import& in) {
    return checkdatafiles(app, kNothingImported) && readdriveset(app, drive, in.set) &&
           readlocalbets(app, in.here);
}

// The players the drive's bets may name: the drive's list must be the one here, or its
// beginning. False after a box.
bool playersagree(Host& app, Import& in) {
    in.known = in.set.entries;
    if (!in.players) {
        if (!readlocalentries(app)) return false;
        in.known = app.shared().entries;
    }
    const Table<Entry>& drive = in.set.entries;
    for (size_t i = 1; i <= drive.size() && !drive(i).name.empty(); ++i)
        if (i > in.known.size() || in.known(i).name != drive(i).name) {
            app.msgbox(" Player files do not match.  Bet files not imported");
            return false;
        }
    return true;
}

// A drive bet on a player/team or bettor unknown here refuses the import. False after the box.
bool betsknown(Host& app, const std::string& drive, const Import& in, int r, long f) {
    auto isknown = [&](long entry) {
        for (size_t i = 1; i <= in.known.size() && !in.known(i).name.empty(); ++i)
            if (in.known(i).number == entry) return true;
        return false;
    };
    const BettorLinks& links = in.bettors.links;
    for (const Bet& bet : in.set.flights[flightslot(r, f)].rows)
        if (!isknown(bet.entry) ||
            (bet.bettor && !links.local.count(bet.bettor) && !links.deleted.count(bet.bettor))) {
            app.msgbox(Mid(betsname(drive, roundkeys[r], f), 4) +
                           " holds a bet on a player/team or bettor unknown here. Nothing was "
                           "imported.",
                       vbOKOnly, "Import");
            return false;
        }
    return true;
}

// The merge worked out (records/merge.h): the bettors, the players check, each flight, and each
// bettor deleted here who comes back with exactly the new bets the drive brings of his. False
// after a box.
bool planimport(Host& app, const std::string& drive, Import& in) {
    if (!bettortables(app, in.set, in.bettorsets)) return false;
    AskCashier ask(app);
    in.bettors = mergebettors(in.bettorsets, ask);
    if (in.bettors.full) return maxbettorsbox(app);
    if (!playersagree(app, in)) return false;
    std::set<long> returning;
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= nflights; ++f) {
            if (!betsknown(app, drive, in, r, f)) return false;
            size_t i = flightslot(r, f);
            in.plans[i] = planflight(in.here[i], in.set.flights[i], in.bettors.links);
            for (size_t k = 0; k < in.plans[i].added.size(); ++k)
                if (in.plans[i].returning[k]) returning.insert(in.plans[i].added[k].bettor);
        }
    for (long number : returning)
        if (!bringback(in.bettors, in.bettorsets, number)) return maxbettorsbox(app);
    return true;
}

// The bettors and every changed Bets pair staged in the open transaction, and told in the
// report. False after a box; FileError where a file cannot be written.
bool stageimport(Host& app, Import& in, Transaction& tx, ImportReport& report) {
    Shared& sh = app.shared();
    takebettors(sh, in.bettors);
    {
        Origins& origins = app.context().origins();
        Origins::Carried carried(origins, sh.savepath + "Bettors", in.bettors.ids);
        Origins::Carried backup(origins, sh.savepath + "Bettorsbackup", in.bettors.ids);
        if (!writebettors(app)) return false;
    }
    sh.fileop = "Bets Append";
    tx.title(sh.fileop);
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= nflights; ++f) {
            size_t i = flightslot(r, f);
            report.add(r, f, in.plans[i], in.bettors.links);
            if (in.plans[i].changed)
                stageflight(app, r, f, in.plans[i], in.here[i], in.set.flights[i].ids,
                            in.bettors.links);
        }
    return true;
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
    std::vector<FlightSet> flights(flightslot(nrounds, nflights) + 1);
    for (int r = 1; r <= nrounds; ++r)
        for (long n = 1; n <= nflights; ++n)
            if (!readflight(app_, betsname(sh_.savepath, roundkeys[r], n),
                            flights[flightslot(r, n)], false, nothing))
                return;
    // Everything on the drive is written in one transaction: a set half written is never left
    // there to be imported.
    Transaction tx(app_.files(), sh_.fileop);
    if (!stageexport(app_, drive, flights, tx) ||
        !drivestillthere(app_, disk, "Export", notwritten) || !committransfer(app_, tx, nothing))
        return;
    leaveatlastflight(sh_);
    app_.msgbox("All Bets, Entries, and Bettors written to drive " + letter + ":", vbOKOnly,
                "Export");
} catch (FileError& e) {
    // A file that could not be written or looked at: nothing was changed.
    e.advice = "Nothing was exported.";
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
    KeepTables tables(sh_);
    Import in;
    if (!readimport(app_, drive, in)) return;

    // The answers are gathered first; the drive, read whole before them, must still be the same
    // disk after them. The files change once, at the end.
    in.players = app_.msgbox("Import Players files?", vbYesNo, "Import Entries") == vbYes;
    bool bettorsandbets =
        app_.msgbox("Import Bettors and Bets files?", vbYesNo, "Import Bettors") == vbYes;
    if (!drivestillthere(app_, disk, "Import Bettors, Bets", notimported)) return;
    Transaction tx(app_.files(), sh_.fileop);
    if (in.players) {
        sh_.entries = in.set.entries;
        if (!writeentries(app_)) return;
    }
    if (!bettorsandbets) {
        if (!in.players || !committransfer(app_, tx, kNothingImported)) return;
        tables.kept = true;
        app_.msgbox("Players files imported", vbOKOnly, "Import Players");
        return;
    }
    if (!planimport(app_, drive, in)) return;
    ImportReport report(in.bettors, in.known);
    // The one point where the import is decided: nothing is on disk before it, and a failed
    // import leaves the files as they were, to be done again.
    if (!stageimport(app_, in, tx, report) ||
        !drivestillthere(app_, disk, "Import Bettors, Bets", notimported) ||
        !committransfer(app_, tx, kNothingImported))
        return;
    tables.kept = true;
    if (in.players) app_.msgbox("Players files imported", vbOKOnly, "Import Players");
    app_.msgbox("Bettor file imported", vbOKOnly, "Import");
    leaveatlastflight(sh_);
    app_.msgbox(report.text(), vbOKOnly, "Import Bettors,Bets");
} catch (FileError& e) {
    // A file that could not be written or looked at: nothing was changed.
    e.advice = kNothingImported;
    app_.fileerrorbox(e);
}

}  // namespace vt
