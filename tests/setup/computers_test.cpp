// Bets taken on several computers and moved between them through removable drives: every bet is
// counted once on each computer, whatever the order of exports and imports.
#include "computers.h"

#include <random>
#include <set>

namespace vt::test {
namespace {

class Computers : public ::testing::Test {
  protected:
    Drive e{"E"};
};

TEST_F(Computers, BetsComingBackFromAnotherComputerAreCountedOnceAndItsBettorsAreNotAskedAbout) {
    Computer a("1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n4,\"JONES-MARY\"\r\n6,\"BROWN-AL\"\r\n");
    Computer b("1,\"AnyBettor\"\r\n2,\"KING-ED\"\r\n3,\"LEE-ANN\"\r\n");
    placewin(a, "SMITH-JO", 2, {3});    // $2.00
    placewin(a, "JONES-MARY", 1, {2});  // $1.00
    placewin(a, "BROWN-AL", 1, {2});
    const std::string own = "3,2,1,2\r\n4,1,1,1\r\n6,1,1,1\r\n";
    ASSERT_EQ(a.read("Round1 1Bets"), own);
    a.exportto("E");

    // B takes A's players, bettors and bets, then a bet equal to one of A's.
    b.dialogs.type("E", "Enter import drive letter")
        .ok("Insert export disk")
        .answer(vbYes, "Import Players files?")
        .answer(vbYes, "Import Bettors and Bets files?")
        .ok("Players files imported")
        .ok("Bettor file imported")
        .ok("Import of Bettors, Bets files complete");
    b.app->form("frminit").control("cmdimport").click();
    EXPECT_EQ(b.bettors(), (std::map<long, std::string>{{1, "AnyBettor"},
                                                        {2, "KING-ED"},
                                                        {3, "LEE-ANN"},
                                                        {4, "SMITH-JO"},
                                                        {5, "JONES-MARY"},
                                                        {6, "BROWN-AL"}}));
    EXPECT_EQ(b.read("Round1 1Bets"), "4,2,1,2\r\n5,1,1,1\r\n6,1,1,1\r\n");
    placewin(b, "BROWN-AL", 1, {2});
    b.exportto("E");

    // Back on A: no question about its own bettors, its own bets not again, B's bet once.
    a.importfrom("E");
    const std::string merged = own + "6,1,1,1\r\n";
    EXPECT_EQ(a.read("Round1 1Bets"), merged);
    EXPECT_EQ(a.read("Round1 1Betsbackup"), merged);
    EXPECT_EQ(a.bettors(), (std::map<long, std::string>{{1, "AnyBettor"},
                                                        {3, "SMITH-JO"},
                                                        {4, "JONES-MARY"},
                                                        {6, "BROWN-AL"},
                                                        {7, "KING-ED"},
                                                        {8, "LEE-ANN"}}));

    // The same drive again, and a round trip of A's own set: nothing changes.
    auto before = snapshot(a.folder);
    a.importfrom("E");
    a.exportto("E");
    a.importfrom("E");
    EXPECT_EQ(snapshot(a.folder), before);
    b.importfrom("E");
    EXPECT_EQ(b.read("Round1 1Bets"), "4,2,1,2\r\n5,1,1,1\r\n6,1,1,1\r\n6,1,1,1\r\n");
}

TEST_F(Computers, ALocalBetsFileFromBeforeKeepsTheIdentitiesItIsGivenAtTheFirstExport) {
    Computer a("1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n");
    Computer b("1,\"AnyBettor\"\r\n");
    // Written without origins beside it: its bets are A's own, once given an identity.
    a.folder.write("Round1 2Bets", "3,3,2,5\r\n3,3,2,5\r\n");
    a.folder.write("Round1 2Betsbackup", "3,3,2,5\r\n3,3,2,5\r\n");
    for (int round = 0; round < 2; ++round) {
        a.exportto("E");
        b.importfrom("E");
    }
    EXPECT_EQ(b.read("Round1 2Bets"), "2,3,2,5\r\n2,3,2,5\r\n");
    b.exportto("E");
    a.importfrom("E");
    EXPECT_EQ(a.read("Round1 2Bets"), "3,3,2,5\r\n3,3,2,5\r\n");
}

TEST_F(Computers, AFreshComputerImportsBeforeItHasBeenToTheMenu) {
    Computer a("1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n");
    a.take("Round1", 2, Bet{3, 4, 1, Money::dollars(5)});
    a.exportto("E");

    TempFolder folder;
    ScriptedDialogs dialogs;
    CapturePrintSink printed;
    App fresh(AppEnvironment{folder.path(), &dialogs, &printed});
    dialogs.answer(vbNo, "Is a printer available");
    fresh.start();
    auto importing = [&](int players) {
        dialogs.type("E", "Enter import drive letter")
            .ok("Insert export disk")
            .answer(players, "Import Players files?")
            .answer(vbYes, "Import Bettors and Bets files?");
        if (players == vbYes) dialogs.ok("Players files imported");
    };
    // Without the players the drive's bets name players/teams this computer does not have.
    const auto before = snapshot(folder);
    importing(vbNo);
    dialogs.ok("Player files do not match");
    fresh.form("frminit").control("cmdimport").click();
    EXPECT_EQ(snapshot(folder), before);

    importing(vbYes);
    dialogs.ok("Bettor file imported").ok("Import of Bettors, Bets files complete");
    fresh.form("frminit").control("cmdimport").click();
    EXPECT_EQ(folder.read("Players"), kPlayers);
    // A new bettor takes the next number here.
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"SMITH-JO\"\r\n");
    EXPECT_EQ(folder.read("Round1 2Bets"), "2,4,1,5\r\n");
    EXPECT_EQ(folder.read("Round1 2Betsbackup"), "2,4,1,5\r\n");

    // Going to the menu then makes the files still missing and keeps the imported ones.
    fresh.form("frminit").control("cmdok").click();
    EXPECT_EQ(folder.read("Round1 2Bets"), "2,4,1,5\r\n");
    EXPECT_EQ(folder.read("Round1 1Bets"), "");
    for (auto& f : dialogs.failures) ADD_FAILURE() << f;
    EXPECT_EQ(dialogs.pending(), 0u);
}

TEST_F(Computers, ADamagedDriveFileRefusesTheWholeImportNamingTheFileAndLine) {
    Computer a("1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n4,\"BROWN-AL\"\r\n");
    Computer b("1,\"AnyBettor\"\r\n3,\"BROWN-AL\"\r\n");
    a.take("Round1", 1, Bet{4, 2, 2, Money::dollars(4)});
    a.exportto("E");
    const TempFolder& drive = e.folder;
    const std::string bettors = drive.read("Bettors"), players = drive.read("Players"),
                      bets = drive.read("Round1 1Bets");
    struct Damage {
        std::string file, bytes, where;
    };
    const Damage damages[] = {
        {"Bettors", "1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n4,\"BROWN", "E:\\Bettors, line 3"},
        {"Bettors", "1,\"AnyBettor\"\r\n3,\"SMITH\"JO\"\r\n4,\"BROWN-AL\"\r\n",
         "E:\\Bettors, line 2"},
        {"Players", players + "9,1,\"\",SNEDEKER-BRANDT\"\r\n", "E:\\Players, line 5"},
        {"Round1 1Bets", bets + "12,7,", "E:\\Round1 1Bets, line 2"},
        {"Round1 1Bets", "4,2,2,41,2,1,1\r\n", "E:\\Round1 1Bets, line 1"},
    };
    const auto before = snapshot(b.folder);
    for (const Damage& d : damages) {
        drive.write("Bettors", bettors);
        drive.write("Players", players);
        drive.write("Round1 1Bets", bets);
        drive.write(d.file, d.bytes);
        b.dialogs.type("E", "Enter import drive letter")
            .ok("Insert export disk")
            .ok(" 13 Type mismatch\r\n" + d.where);
        b.app->form("frminit").control("cmdimport").click();
        EXPECT_TRUE(b.dialogs.shown.back().prompt.find("Nothing was imported.") !=
                    std::string::npos)
            << d.where;
        EXPECT_EQ(snapshot(b.folder), before) << d.where;
    }
}

// The transfer property: bets taken at random on three computers, exports to two drives and
// imports from them in any order (repeats, round trips, chains); every computer holds exactly
// the bets that reached it, each once, and at the end the payoff computer holds every bet taken.
TEST_F(Computers, RandomTransfersCountEveryBetOnce) {
    const std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "";
    Drive f{"F", base};
    std::vector<std::unique_ptr<Computer>> pcs;
    for (const char* name : {"A", "B", "C"})
        pcs.push_back(std::make_unique<Computer>("1,\"AnyBettor\"\r\n2,\"" + std::string(name) +
                                                     "-ONE\"\r\n3,\"" + std::string(name) +
                                                     "-TWO\"\r\n",
                                                 base));

    struct Taken {
        std::string round;
        long flight;
        std::string bettor;
        Bet bet;
    };
    std::vector<Taken> taken;
    std::vector<std::set<size_t>> knows(pcs.size());
    std::map<std::string, std::set<size_t>> carries;  // by drive letter
    const char* rounds[] = {"Round1", "Final"};

    // The bets a computer's files hold, by what they are (the bettor by name), each with its count.
    using Held = std::map<std::string, int>;
    auto describe = [](const std::string& round, long flight, const std::string& bettor,
                       const Bet& b) {
        return round + "/" + std::to_string(flight) + "/" + bettor + "/" + std::to_string(b.entry) +
               "/" + std::to_string(b.type) + "/" + Str(b.amount);
    };
    auto held = [&](size_t c) {
        Held out;
        auto names = pcs[c]->bettors();
        for (const char* round : rounds)
            for (long flight : {1L, 2L}) {
                std::string name = std::string(round) + " " + std::to_string(flight) + "Bets";
                std::string bytes = pcs[c]->read(name);
                EXPECT_EQ(
                    pcs[c]->read(std::string(round) + " " + std::to_string(flight) + "Betsbackup"),
                    bytes);
                for (const FileLine& l : filelines(bytes, FileKind::Bets)) {
                    LineBet b = linebet(l.fields);
                    ++out[describe(round, flight, names[b.bet.bettor], b.bet)];
                }
            }
        return out;
    };
    auto expected = [&](size_t c) {
        Held out;
        for (size_t i : knows[c])
            ++out[describe(taken[i].round, taken[i].flight, taken[i].bettor, taken[i].bet)];
        return out;
    };

    std::mt19937 rng(20261209);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    for (int step = 0; step < 300; ++step) {
        size_t c = pick(pcs.size());
        size_t kind = pick(20);
        std::string letter = pick(2) ? "E" : "F";
        if (kind < 11) {
            auto bettors = pcs[c]->bettors();
            auto it = std::next(bettors.begin(), static_cast<long>(pick(bettors.size())));
            long entry = static_cast<long>(pick(4)) + 1;
            Taken t{rounds[pick(2)], entry <= 2 ? 1L : 2L, it->second,
                    Bet{it->first, entry, static_cast<long>(pick(3)) + 1,
                        Money::dollars(static_cast<long>(pick(2)) + 1)}};
            pcs[c]->take(t.round, t.flight, t.bet);
            knows[c].insert(taken.size());
            taken.push_back(t);
        } else if (kind < 15) {
            pcs[c]->exportto(letter);
            carries[letter] = knows[c];
        } else if (carries.count(letter)) {
            pcs[c]->importfrom(letter);
            knows[c].insert(carries[letter].begin(), carries[letter].end());
            ASSERT_EQ(held(c), expected(c)) << "step " << step;
        }
    }
    // The payoff computer gathers every other computer's bets.
    for (size_t c = 1; c < pcs.size(); ++c) {
        pcs[c]->exportto("E");
        pcs[0]->importfrom("E");
        knows[0].insert(knows[c].begin(), knows[c].end());
    }
    EXPECT_EQ(knows[0].size(), taken.size());
    for (size_t c = 0; c < pcs.size(); ++c) EXPECT_EQ(held(c), expected(c)) << "computer " << c;
}

}  // namespace
}  // namespace vt::test
