#pragma once
// Computers for transfer tests: each a program folder of its own driven through its screens, and
// drive letters standing for folders.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "betting/betfiles.h"
#include "platform/text.h"
#include "setuptest.h"

namespace vt::test {

inline const char* const kPlayers =
    "1,1,\"\",\"ADAMS\"\r\n2,1,\"\",\"BAKER\"\r\n3,2,\"\",\"CARTER\"\r\n4,2,\"\",\"DAVIS\"\r\n";

// Every file of a folder (the program's own records beside them included, the commits' spares
// not), by name.
inline std::map<std::string, std::string> snapshot(const TempFolder& folder) {
    std::map<std::string, std::string> out;
    for (auto& e : std::filesystem::directory_iterator(folder.path()))
        if (e.is_regular_file() && !isspare(e.path().filename().string()))
            out[e.path().filename().string()] = folder.read(e.path().filename().string());
    return out;
}

// One computer: a program folder of its own with the players and its bettors, started, gone to
// the menu (which makes the data files) and back on the setup screen.
class Computer {
  public:
    explicit Computer(const std::string& bettors, const std::string& base = "") : folder(base) {
        folder.write("Players", kPlayers);
        folder.write("Playersbackup", kPlayers);
        folder.write("Bettors", bettors);
        folder.write("Bettorsbackup", bettors);
        begin();
    }
    // A second computer set up by copying the program folder of another: hidden files and all,
    // or only the files a file manager shows.
    struct CopyOf {
        const Computer& from;
        bool hidden = true;
    };
    explicit Computer(CopyOf copy, const std::string& base = "") : folder(base) {
        for (auto& [name, bytes] : snapshot(copy.from.folder))
            if (copy.hidden || name[0] != '.') folder.write(name, bytes);
        begin();
    }
    ~Computer() {
        for (auto& f : dialogs.failures) ADD_FAILURE() << f;
        EXPECT_EQ(dialogs.pending(), 0u) << "expected boxes never shown";
    }

    void exportto(const std::string& letter) {
        dialogs.type(letter, "Enter target export drive letter.")
            .ok("Insert blank disk")
            .ok("All Bets, Entries, and Bettors written to drive " + letter + ":");
        app->form("frminit").control("cmdexport").click();
    }
    // Expects an import's first boxes: the drive letter, then `players` to "Import Players
    // files?" and Yes to the bettors and bets; the boxes after them follow on the result.
    ScriptedDialogs& askimport(int players, const std::string& letter = "E") {
        return dialogs.type(letter, "Enter import drive letter")
            .ok("Insert export disk")
            .answer(players, "Import Players files?")
            .answer(vbYes, "Import Bettors and Bets files?");
    }
    void clickimport() { app->form("frminit").control("cmdimport").click(); }
    // Imports the bettors and bets of a drive (not its players); `between` expects the boxes
    // between the question and the end, when there are any.
    void importfrom(const std::string& letter, const std::function<void()>& between = {}) {
        askimport(vbNo, letter);
        if (between) between();
        dialogs.ok("Bettor file imported").ok("Import of Bettors, Bets files complete");
        clickimport();
    }
    // A bet taken here, as the betting screen and the bet sheet take one.
    void take(const std::string& round, long flight, const Bet& bet) {
        ASSERT_TRUE(appendbets(*app, round, {{flight, bet}}));
    }
    // The last box's prompt.
    std::string told() const { return dialogs.shown.empty() ? "" : dialogs.shown.back().prompt; }

    // The bettor screen: a new bettor added by name, or one picked and deleted (refunded).
    void addbettor(const std::string& name) {
        Form& f = app->form("frmbettor");
        f.show();
        dialogs.ok(name + " added");
        f.control("txtbettorname").settext(name);
        f.control("txtbettorname").keypress(13);
    }
    void deletebettor(const std::string& name) {
        Form& f = app->form("frmbettor");
        f.show();
        Control& list = f.control("cbobettornames");
        for (int i = 0; i < list.listcount(); ++i)
            if (list.list(i) == name) list.setlistindex(i);
        ASSERT_EQ(list.text(), name);
        dialogs.answer(vbYes, "Delete " + name);
        f.control("cmddelete").click();
    }
    // The menu's Clear/Refund Bets for one flight of the current round, back to the setup screen.
    void clearflight(long flight) {
        app->form("frminit").control("cmdok").click();
        Form& menu = app->form("frmmenu");
        menu.control("cmdclearbets").click();
        dialogs.answer(vbYes, "Click Yes to clear")
            .answer(vbYes, "Print refunds?")
            .ok("Bets Cleared");
        menu.control("optflight", static_cast<int>(flight)).click();
        menu.control("cmdinit").click();
    }
    // The setup screen's clearing of every Bets file, then of the bettors: a new event.
    void clearevent() {
        Form& init = app->form("frminit");
        dialogs.answer(vbYes, "Clear and initialize ALL Bet files?")
            .ok("All Bets files cleared and initialized");
        init.control("cmdbets").click();
        dialogs.answer(vbYes, "Clear and initialize Bettor file?")
            .ok("Bettor file cleared and initialized");
        init.control("cmdbettors").click();
    }
    // Fix Files: a flight of the first round displayed and the bet on row `row` removed.
    void fixremove(long flight, int row) {
        Form& fix = app->form("frmfix");
        fix.show();
        fix.control("Option1").click();
        fix.control("optflight", static_cast<int>(flight)).click();
        fix.control("cmdbets").click();
        fix.control("grdfix").clickcell(row, 3);
        fix.control("cmdupdate").click();
    }

    std::string read(const std::string& name) const {
        return folder.exists(name) ? folder.read(name) : "";
    }
    // Bettor numbers and names of the Bettors file.
    std::map<long, std::string> bettors() const {
        std::map<long, std::string> out;
        for (const FileLine& l : filelines(read("Bettors"), FileKind::Bettors))
            out[std::stol(l.fields[0].text)] = l.fields[1].text;
        return out;
    }

    TempFolder folder;
    ScriptedDialogs dialogs;
    CapturePrintSink printed;
    std::unique_ptr<App> app;

  private:
    void begin() {
        app = std::make_unique<App>(AppEnvironment{folder.path(), &dialogs, &printed});
        dialogs.answer(vbNo, "Is a printer available");
        app->start();
        app->form("frminit").control("cmdok").click();
        app->form("frmmenu").control("cmdinit").click();
    }
};

// The money of each pool (round, flight, bet type) the Bets files hold.
inline std::map<std::string, std::string> pools(const Computer& pc) {
    std::map<std::string, Money> sums;
    const char* types[] = {"", "WIN", "PLACE", "SHOW"};
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= 15; ++f) {
            std::string name = std::string(roundkeys[r]) + " " + std::to_string(f) + "Bets";
            for (const FileLine& l : filelines(pc.read(name), FileKind::Bets)) {
                Bet b = linebet(l.fields).bet;
                sums[name + " " + types[std::clamp(b.type, 0L, 3L)]] += b.amount;
            }
        }
    std::map<std::string, std::string> out;
    for (auto& [pool, money] : sums) out[pool] = Format(money, "###0.00");
    return out;
}

// The bets the Bets files hold, each as file, bettor name, entry, type and amount.
inline std::multiset<std::string> heldbets(const Computer& pc) {
    std::multiset<std::string> out;
    auto names = pc.bettors();
    for (int r = 1; r <= nrounds; ++r)
        for (long f = 1; f <= 15; ++f) {
            std::string name = std::string(roundkeys[r]) + " " + std::to_string(f) + "Bets";
            for (const FileLine& l : filelines(pc.read(name), FileKind::Bets)) {
                Bet b = linebet(l.fields).bet;
                out.insert(name + " " + (b.bettor ? names[b.bettor] : "-") + " " +
                           std::to_string(b.entry) + "/" + std::to_string(b.type) + " " +
                           Format(b.amount, "###0.00"));
            }
        }
    return out;
}

// A drive letter standing for a folder for the length of a test.
class Drive {
  public:
    explicit Drive(const std::string& letter, const std::string& base = "")
        : folder(base), var_("VANTROPE_DRIVE_" + letter) {
        setenv(var_.c_str(), folder.path().c_str(), 1);
    }
    ~Drive() { unsetenv(var_.c_str()); }
    TempFolder folder;

  private:
    std::string var_;
};

// Places bets at the betting screen: bettor by name, entry, WIN, and the amount buttons.
inline void placewin(Computer& pc, const std::string& bettor, long entry,
                     const std::vector<int>& amounts) {
    Form& bet = pc.app->form("frmbet");
    bet.show();
    if (!bet.control("Check1", 0).value()) bet.control("Check1", 0).click();
    Control& cbo = bet.control("cbobettor");
    for (int i = 0; i < cbo.listcount(); ++i)
        if (cbo.list(i) == bettor) cbo.setlistindex(i);
    ASSERT_EQ(cbo.text(), bettor);
    Control& board = bet.control("lstentries");
    board.setlistindex(board.findbydata(entry));
    bet.control("cmdwin").click();
    for (int k : amounts) bet.control("cmdbamount", k).click();
    bet.control("cmddone").click();
    bet.control("cmdpay").click();
}

}  // namespace vt::test
