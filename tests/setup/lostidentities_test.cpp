// Identity files lost, cut, swapped or left behind, and drive sets copied short: no import ever
// counts a bet twice or drops one silently, and every refusal names the file the cashier sees.
#include <cerrno>
#include <filesystem>

#include "computers.h"
#include "faultseam.h"

namespace vt::test {
namespace {

const char* const kThree = "1,\"AnyBettor\"\r\n2,\"SMITH-JO\"\r\n3,\"BROWN-AL\"\r\n";

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Removes the hidden files of a folder whose names start with `prefix` ("." for all of them).
void losehidden(const TempFolder& folder, const std::string& prefix = ".") {
    for (auto& e : std::filesystem::directory_iterator(folder.path())) {
        std::string name = e.path().filename().string();
        if (name.rfind(prefix, 0) == 0) std::filesystem::remove(e.path());
    }
}

class LostIdentities : public ::testing::Test {
  protected:
    Drive e{"E"};
    static void carry(Computer& from, Computer& to) {
        from.exportto("E");
        to.importfrom("E");
    }
    // SMITH-JO $5 and BROWN-AL $3 and $1 on WIN in the first round's first flight: 9.00.
    static void ninedollars(Computer& pc) {
        pc.take("Round1", 1, Bet{2, 1, 1, Money::dollars(5)});
        pc.take("Round1", 1, Bet{3, 2, 1, Money::dollars(3)});
        pc.take("Round1", 1, Bet{3, 1, 1, Money::dollars(1)});
    }
    static std::string win(const Computer& pc, const std::string& file = "Round1 1Bets") {
        auto p = pools(pc);
        auto it = p.find(file + " WIN");
        return it == p.end() ? "0.00" : it->second;
    }
};

TEST_F(LostIdentities, AFolderCopiedWithoutItsHiddenFilesSendsBackNoBetTwice) {
    Computer a(kThree);
    ninedollars(a);
    // B set up by copying only the files a file manager shows; it takes $1 and sends its set.
    Computer b(Computer::CopyOf{a, false});
    b.take("Round1", 1, Bet{2, 2, 1, Money::dollars(1)});
    carry(b, a);
    EXPECT_EQ(win(a), "10.00");
    EXPECT_TRUE(has(a.told(),
                    "Bets added: 1\r\nBets already here: 0\r\nBets matched by bettor, "
                    "player/team, type and amount (their identities were lost): 3"))
        << a.told();
    // The same set again moves nothing; A's set settles B's bets: they take the identities they
    // were made with.
    a.importfrom("E");
    EXPECT_EQ(win(a), "10.00");
    EXPECT_TRUE(has(a.told(), "Bets added: 0\r\nBets already here: 1\r\nBets matched")) << a.told();
    carry(a, b);
    EXPECT_EQ(win(b), "10.00");
    EXPECT_FALSE(has(b.read(".Round1 1Bets.ids"), "\r\n?"));
    carry(b, a);
    EXPECT_TRUE(has(a.told(), "Bets added: 0\r\nBets already here: 4\r\nBettors")) << a.told();

    // B's hidden files lost again; it takes $2 and exports back: 12.00 taken, 12.00 here.
    losehidden(b.folder);
    b.take("Round1", 1, Bet{3, 2, 1, Money::dollars(2)});
    carry(b, a);
    EXPECT_EQ(win(a), "12.00");
    EXPECT_EQ(heldbets(a), heldbets(b));
}

TEST_F(LostIdentities, LostIdentityFilesHereStayUnvouchedPastTheNextWrite) {
    Computer a(kThree);
    Computer b("1,\"AnyBettor\"\r\n");
    ninedollars(a);
    carry(a, b);
    b.take("Round1", 1, Bet{2, 3, 1, Money::dollars(2)});
    b.exportto("E");
    // A's two hidden files of the flight deleted, then one more bet taken there: that write
    // must not make the file's given identities trusted as if they were made with the bets.
    losehidden(a.folder, ".Round1 1Bets");
    a.take("Round1", 1, Bet{2, 4, 1, Money::dollars(2)});
    EXPECT_TRUE(has(a.read(".Round1 1Bets.ids"), "\r\n?"));
    a.importfrom("E");
    EXPECT_EQ(win(a), "13.00");  // 9 + A's 2 + B's 2
    EXPECT_EQ(heldbets(a), (std::multiset<std::string>{
                               "Round1 1Bets BROWN-AL 1/1 1.00", "Round1 1Bets BROWN-AL 2/1 3.00",
                               "Round1 1Bets SMITH-JO 1/1 5.00", "Round1 1Bets SMITH-JO 3/1 2.00",
                               "Round1 1Bets SMITH-JO 4/1 2.00"}));
    // And again, after B deleted one of the bets it holds: the count is true.
    b.fixremove(1, 1);
    carry(b, a);
    EXPECT_EQ(win(a), "8.00");
    carry(a, b);
    EXPECT_TRUE(has(b.told(), "Bets added: 1\r\nBets already here: 3\r\nBettors")) << b.told();
    EXPECT_EQ(heldbets(b), heldbets(a));
}

// Bets refunded here after their identities were lost here: the other computer's copies carry
// identities this computer never saw, so they are real money to it. They come back, the bettor
// with them, and the box names each one beside the like bet deleted here, to be checked against
// the tickets.
TEST_F(LostIdentities, BetsDeletedHereAfterTheirIdentitiesWereLostComeBackNamed) {
    Computer a(kThree);
    Computer b("1,\"AnyBettor\"\r\n");
    ninedollars(a);
    carry(a, b);
    b.exportto("E");
    losehidden(a.folder, ".Round1 1Bets");
    a.fixremove(1, 1);  // SMITH-JO's $5, refunded
    a.deletebettor("BROWN-AL");
    EXPECT_EQ(win(a), "0.00");
    a.importfrom("E");
    EXPECT_EQ(win(a), "9.00");
    for (const char* line :
         {"Bets added: 3\r\nBets already here: 0\r\n",
          "BROWN-AL, deleted here, is back as bettor 3 with new bets: Round1 flight 1, BAKER, WIN "
          "$3.00; Round1 flight 1, ADAMS, WIN $1.00",
          "Kept, although a bet that held the same was deleted",
          "\r\nSMITH-JO, Round1 flight 1, ADAMS, WIN $5.00\r\nBROWN-AL, Round1 flight 1, BAKER, "
          "WIN $3.00\r\nBROWN-AL, Round1 flight 1, ADAMS, WIN $1.00"})
        EXPECT_TRUE(has(a.told(), line)) << line << "\n" << a.told();
    EXPECT_EQ(a.bettors().count(3), 1u);
    // The two computers hold the same after the round trip.
    carry(a, b);
    EXPECT_EQ(heldbets(b), heldbets(a));
}

// A refund on A, where B lost the identity of its copy of the bet: the deletion removes nothing
// on B by what it held. B keeps its copy and names it; sent back, A keeps it and names it too.
TEST_F(LostIdentities, ARefundElsewhereLeavesACopyWhoseIdentityWasLostNamedOnBothComputers) {
    Computer a(kThree);
    Computer b("1,\"AnyBettor\"\r\n");
    ninedollars(a);
    carry(a, b);
    // B's hidden files of the flight lost: its bets are known there only by what they hold.
    losehidden(b.folder, ".Round1 1Bets");
    a.fixremove(1, 1);  // SMITH-JO's $5, refunded on A
    carry(a, b);
    EXPECT_EQ(win(b), "9.00");
    const std::string named = "SMITH-JO, Round1 flight 1, ADAMS, WIN $5.00";
    EXPECT_FALSE(has(b.told(), "removed here")) << b.told();
    EXPECT_TRUE(has(b.told(),
                    "Kept, although a bet that held the same was deleted (check that "
                    "it is not the deleted ticket):\r\n" +
                        named))
        << b.told();
    // The other two were matched by what they hold, and named too.
    EXPECT_TRUE(has(b.told(), "their identities were lost): 2")) << b.told();
    carry(b, a);
    EXPECT_EQ(win(a), "9.00");
    EXPECT_TRUE(has(a.told(), named)) << a.told();
    EXPECT_EQ(heldbets(b), heldbets(a));
}

TEST_F(LostIdentities, TwoRoundsIdentityFilesSwappedWhereTheirBetsAreAlikeDoNotMatch) {
    Computer a(kThree);
    Computer b("1,\"AnyBettor\"\r\n");
    a.take("Round1", 1, Bet{2, 1, 1, Money::dollars(5)});
    a.take("Round2", 1, Bet{2, 1, 1, Money::dollars(5)});
    ASSERT_EQ(a.read("Round1 1Bets"), a.read("Round2 1Bets"));
    carry(a, b);
    b.exportto("E");
    for (const char* side : {".Round%d 1Bets.ids", ".Round%d 1Betsbackup.ids"}) {
        char one[64], two[64];
        std::snprintf(one, sizeof one, side, 1);
        std::snprintf(two, sizeof two, side, 2);
        std::string first = a.read(one), second = a.read(two);
        a.folder.write(one, second);
        a.folder.write(two, first);
    }
    a.importfrom("E");
    EXPECT_EQ(win(a, "Round1 1Bets"), "5.00");
    EXPECT_EQ(win(a, "Round2 1Bets"), "5.00");
}

TEST_F(LostIdentities, ADriveBetsFileEmptiedOrMissingBesideItsIdentityFileIsRefused) {
    Computer a(kThree);
    Computer b("1,\"AnyBettor\"\r\n");
    ninedollars(a);
    a.take("Round2", 3, Bet{2, 1, 1, Money::dollars(2)});
    carry(a, b);
    a.fixremove(1, 1);  // a deletion for the first round's flight travels in the set
    a.exportto("E");
    const auto set = snapshot(e.folder);
    const auto before = snapshot(b.folder);
    for (bool missing : {false, true}) {
        if (missing)
            std::filesystem::remove(e.folder.file("Round1 1Bets"));
        else
            e.folder.write("Round1 1Bets", "");
        b.dialogs.type("E", "Enter import drive letter")
            .ok("Insert export disk")
            .ok("E:\\Round1 1Bets holds no bets, but the identity file the export wrote beside it "
                "lists 2: the copy to the drive was cut short.");
        b.clickimport();
        EXPECT_TRUE(has(b.told(), "Nothing was imported.")) << b.told();
        EXPECT_EQ(snapshot(b.folder), before);
        for (auto& [name, bytes] : set) e.folder.write(name, bytes);
    }
    b.importfrom("E");
    EXPECT_EQ(win(b), "4.00");
}

TEST_F(LostIdentities, RefusalsNameTheFileTheCashierSeesAndSayNothingWasImported) {
    Computer a(kThree);
    Computer b("1,\"AnyBettor\"\r\n");
    ninedollars(a);
    a.exportto("E");
    const auto set = snapshot(e.folder);

    // A bad line in this computer's own Bets file: its name and line, and Fix Files.
    b.folder.write("Round1 4Bets", "1,1,1,2\r\n1,1,\r\n");
    b.dialogs.type("E", "Enter import drive letter")
        .ok("Insert export disk")
        .ok(" 13 Type mismatch\r\nRound1 4Bets, line 2\r\nCheck it with Fix Files on the main "
            "menu.\r\nNothing was imported.");
    b.clickimport();
    b.folder.write("Round1 4Bets", "");

    // A set copied without any of its hidden files says so.
    losehidden(e.folder);
    b.dialogs.type("E", "Enter import drive letter")
        .ok("Insert export disk")
        .ok("E: holds no identity files");
    b.clickimport();
    EXPECT_TRUE(has(b.told(), "Nothing was imported.")) << b.told();
    for (auto& [name, bytes] : set) e.folder.write(name, bytes);

    // A disk that fills at any point of the import's commit: the box names a file the cashier
    // sees, never a hidden one, and nothing is imported. The commit is found on a copy first.
    Computer probe(Computer::CopyOf{b});
    faults(probe.app->files()).setfault(Fault{});
    probe.importfrom("E");
    ASSERT_FALSE(faults(probe.app->files()).commitspans().empty());
    auto [first, last] = faults(probe.app->files()).commitspans().back();
    for (long at = first; at <= last; at += std::max(1L, (last - first) / 6)) {
        Computer pc(Computer::CopyOf{b});
        faults(pc.app->files()).setfault(Fault{Fault::Fail, at, ENOSPC, true});
        pc.askimport(vbNo).allow("");
        pc.clickimport();
        long committed = faults(pc.app->files()).commits();
        faults(pc.app->files()).setfault(Fault{});
        if (committed > 0) continue;  // failed after its commit point: done at the next start
        EXPECT_FALSE(has(pc.told(), ".ids")) << at << ": " << pc.told();
        EXPECT_FALSE(has(pc.told(), "\\.")) << at << ": " << pc.told();
        EXPECT_TRUE(has(pc.told(), "Nothing was imported.")) << at << ": " << pc.told();
        EXPECT_EQ(pools(pc), pools(b)) << at;
    }

    // A stick that refuses writes at any point of an export's commit: the same.
    Computer sender(Computer::CopyOf{a});
    faults(sender.app->files()).setfault(Fault{});
    sender.exportto("E");
    auto [from, to] = faults(sender.app->files()).commitspans().back();
    for (long at = from; at <= to; at += std::max(1L, (to - from) / 6)) {
        faults(sender.app->files()).setfault(Fault{Fault::Fail, at, EACCES, true});
        sender.dialogs.type("E", "Enter target export drive letter.")
            .ok("Insert blank disk")
            .allow("");
        sender.app->form("frminit").control("cmdexport").click();
        long committed = faults(sender.app->files()).commits();
        faults(sender.app->files()).setfault(Fault{});
        if (committed > 0) continue;
        EXPECT_FALSE(has(sender.told(), ".ids")) << at << ": " << sender.told();
        EXPECT_TRUE(has(sender.told(), "Nothing was exported.")) << at << ": " << sender.told();
    }
}

}  // namespace
}  // namespace vt::test
