// Every bet and bettor keeps the identity it was given, whatever happens to the files between
// computers: a number used twice stays two people, a refunded or removed bet never comes back,
// and a drive set that cannot be trusted is refused whole.
#include <filesystem>

#include "computers.h"

namespace vt::test {
namespace {

const char* const kThree = "1,\"AnyBettor\"\r\n2,\"SMITH-JO\"\r\n3,\"BROWN-AL\"\r\n";

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// An identity file without its first line (the checks, which name its own data file).
std::string body(const std::string& ids) { return ids.substr(ids.find("\r\n") + 2); }

class Identities : public ::testing::Test {
  protected:
    Drive e{"E"};
    // The drive's set as the export left it, and put back.
    std::map<std::string, std::string> keep() { return snapshot(e.folder); }
    void restore(const std::map<std::string, std::string>& set) {
        for (auto& f : std::filesystem::directory_iterator(e.folder.path()))
            std::filesystem::remove(f.path());
        for (auto& [name, bytes] : set) e.folder.write(name, bytes);
    }
    // Bets taken in the first round, by flight.
    static void takes(Computer& pc, const std::vector<FlightBet>& bets) {
        ASSERT_TRUE(appendbets(*pc.app, "Round1", bets));
    }
    // The set of one computer exported and imported on another.
    void carry(Computer& from, Computer& to) {
        from.exportto("E");
        to.importfrom("E");
    }
    // An import refused before any question: the box names the file and nothing changes here.
    void refused(Computer& pc, const std::string& file, const std::string& why) {
        const auto before = snapshot(pc.folder);
        pc.dialogs.type("E", "Enter import drive letter")
            .ok("Insert export disk")
            .ok("Nothing was imported.");
        pc.clickimport();
        EXPECT_TRUE(has(pc.told(), "E:\\" + file)) << why << ": " << pc.told();
        EXPECT_EQ(snapshot(pc.folder), before) << why;
    }
};

TEST_F(Identities, OneBettorNumberOnTwoComputersStaysTwoPeople) {
    // The second computer set up by copying the whole program folder of the first.
    Computer a(kThree);
    Computer b(Computer::CopyOf{a});
    a.addbettor("GREEN-CY");
    b.addbettor("WHITE-DI");
    EXPECT_EQ(a.bettors()[4], "GREEN-CY");
    EXPECT_EQ(b.bettors()[4], "WHITE-DI");
    placewin(a, "GREEN-CY", 1, {2});
    placewin(b, "WHITE-DI", 2, {3});
    carry(b, a);
    EXPECT_EQ(
        a.bettors(),
        (std::map<long, std::string>{
            {1, "AnyBettor"}, {2, "SMITH-JO"}, {3, "BROWN-AL"}, {4, "GREEN-CY"}, {5, "WHITE-DI"}}));
    EXPECT_EQ(heldbets(a), (std::multiset<std::string>{"Round1 1Bets GREEN-CY 1/1 1.00",
                                                       "Round1 1Bets WHITE-DI 2/1 2.00"}));
    // What the import did, told in the last box.
    EXPECT_EQ(a.told(),
              "Import of Bettors, Bets files complete\r\n\r\nBets added: 1\r\nBets already here: "
              "0\r\nBettors added: 1\r\nBettors already here: 3");
    // The same drive again adds nothing and says so.
    const auto before = snapshot(a.folder);
    a.importfrom("E");
    EXPECT_EQ(snapshot(a.folder), before);
    EXPECT_EQ(a.told(),
              "Import of Bettors, Bets files complete\r\n\r\nBets added: 0\r\nBets already here: "
              "1\r\nBettors added: 0\r\nBettors already here: 4");
    // And the other way round: B has both people, each with the bet they placed.
    carry(a, b);
    EXPECT_EQ(heldbets(b), heldbets(a));
    EXPECT_EQ(b.bettors()[4], "WHITE-DI");
    EXPECT_EQ(b.bettors()[5], "GREEN-CY");
}

TEST_F(Identities, ADeletedBettorsNumberAndBetsAreNeverGivenToAnother) {
    Computer a("1,\"AnyBettor\"\r\n2,\"SMITH-JO\"\r\n3,\"BROWN-AL\"\r\n4,\"KING-ED\"\r\n");
    Computer b("1,\"AnyBettor\"\r\n");
    carry(a, b);
    placewin(b, "KING-ED", 1, {3});
    placewin(b, "SMITH-JO", 2, {2});
    placewin(a, "KING-ED", 2, {2});
    b.exportto("E");

    // Deleted here (its bet refunded), the freed number stays taken.
    a.deletebettor("KING-ED");
    a.addbettor("NEW-GUY");
    EXPECT_EQ(a.bettors(),
              (std::map<long, std::string>{
                  {1, "AnyBettor"}, {2, "SMITH-JO"}, {3, "BROWN-AL"}, {5, "NEW-GUY"}}));
    // B's set brings a bet of KING-ED taken there that this computer never saw: real money, so
    // he comes back under his own number with exactly that bet, and the box names it. His bet
    // refunded here stays refunded.
    a.importfrom("E");
    EXPECT_EQ(
        a.bettors(),
        (std::map<long, std::string>{
            {1, "AnyBettor"}, {2, "SMITH-JO"}, {3, "BROWN-AL"}, {4, "KING-ED"}, {5, "NEW-GUY"}}));
    EXPECT_EQ(heldbets(a), (std::multiset<std::string>{"Round1 1Bets KING-ED 1/1 2.00",
                                                       "Round1 1Bets SMITH-JO 2/1 1.00"}));
    EXPECT_EQ(a.told(),
              "Import of Bettors, Bets files complete\r\n\r\nBets added: 2\r\nBets already here: "
              "0\r\nBettors added: 0\r\nBettors already here: 3\r\nKING-ED, deleted here, is "
              "back as bettor 4 with new bets: Round1 flight 1, ADAMS, WIN $2.00");

    // A new event: every Bets file and the bettors cleared. A computer still holding the old
    // event's bets and bettors brings none of them back, and no new bettor takes an old number;
    // a bet taken there since is new money, and its bettor comes back with it alone.
    Computer c("1,\"AnyBettor\"\r\n");
    carry(a, c);
    placewin(c, "BROWN-AL", 1, {3});
    c.exportto("E");
    a.clearevent();
    EXPECT_EQ(a.bettors(), (std::map<long, std::string>{{1, "AnyBettor"}}));
    a.addbettor("FRESH-ONE");
    EXPECT_EQ(a.bettors(), (std::map<long, std::string>{{1, "AnyBettor"}, {6, "FRESH-ONE"}}));
    a.importfrom("E");
    EXPECT_EQ(heldbets(a), (std::multiset<std::string>{"Round1 1Bets BROWN-AL 1/1 2.00"}));
    EXPECT_EQ(a.bettors(),
              (std::map<long, std::string>{{1, "AnyBettor"}, {3, "BROWN-AL"}, {6, "FRESH-ONE"}}));
    EXPECT_EQ(pools(a), (std::map<std::string, std::string>{{"Round1 1Bets WIN", "2.00"}}));
}

TEST_F(Identities, RefundedRemovedAndCorrectedBetsNeverComeBackAndTheirDeletionTravels) {
    Computer a(
        "1,\"AnyBettor\"\r\n2,\"SMITH-JO\"\r\n3,\"BROWN-AL\"\r\n4,\"KING-ED\"\r\n5,\"LEE-"
        "ANN\"\r\n");
    Computer b("1,\"AnyBettor\"\r\n");
    takes(a, {{1, Bet{2, 1, 1, Money::dollars(4)}},
              {1, Bet{4, 1, 1, Money::dollars(4)}},
              {1, Bet{3, 2, 1, Money::dollars(5)}},
              {1, Bet{2, 2, 2, Money::dollars(6)}},
              {1, Bet{3, 1, 3, Money::dollars(5)}},
              {2, Bet{5, 3, 1, Money::dollars(12)}}});
    const std::map<std::string, std::string> taken = {{"Round1 1Bets WIN", "13.00"},
                                                      {"Round1 1Bets PLACE", "6.00"},
                                                      {"Round1 1Bets SHOW", "5.00"},
                                                      {"Round1 2Bets WIN", "12.00"}};
    EXPECT_EQ(pools(a), taken);
    carry(a, b);
    EXPECT_EQ(pools(b), taken);
    b.exportto("E");

    // A bettor deleted (refund), a flight cleared, a bet removed in Fix Files.
    a.deletebettor("KING-ED");
    a.clearflight(2);
    a.fixremove(1, 3);  // SMITH-JO's PLACE bet, the third line once KING-ED's bet is gone
    const std::map<std::string, std::string> kept = {{"Round1 1Bets WIN", "9.00"},
                                                     {"Round1 1Bets SHOW", "5.00"}};
    EXPECT_EQ(pools(a), kept);
    // The computer that still holds them brings none back.
    a.importfrom("E");
    EXPECT_EQ(pools(a), kept);
    EXPECT_TRUE(has(a.told(), "Bets added: 0\r\n"));

    // A bet corrected by hand in the Bets file and its backup: the bet as it was is not brought
    // back beside the corrected one.
    const std::string corrected = "2,1,1,4\r\n3,2,1,5\r\n3,1,3,3\r\n";
    ASSERT_EQ(a.read("Round1 1Bets"), "2,1,1,4\r\n3,2,1,5\r\n3,1,3,5\r\n");
    a.folder.write("Round1 1Bets", corrected);
    a.folder.write("Round1 1Betsbackup", corrected);
    a.importfrom("E");
    EXPECT_EQ(a.read("Round1 1Bets"), corrected);
    const std::map<std::string, std::string> now = {{"Round1 1Bets WIN", "9.00"},
                                                    {"Round1 1Bets SHOW", "3.00"}};
    EXPECT_EQ(pools(a), now);

    // The deletions travel: B, importing A's set, removes them too and takes the correction.
    carry(a, b);
    EXPECT_EQ(pools(b), now);
    EXPECT_EQ(heldbets(b), heldbets(a));
    EXPECT_TRUE(has(b.told(), "Bets deleted on the other computer, removed here: "));
    // Once more from B: nothing moves either way.
    carry(b, a);
    EXPECT_EQ(pools(a), now);
    EXPECT_EQ(a.read("Round1 1Bets"), corrected);
}

TEST_F(Identities, DeletionsTravelAlongAChainAndACopiedFolderKeepsItsBetsOnce) {
    // Three computers in a chain: A's deletions reach C through B.
    Computer a(kThree);
    Computer b("1,\"AnyBettor\"\r\n");
    Computer c("1,\"AnyBettor\"\r\n");
    takes(a, {{1, Bet{2, 1, 1, Money::dollars(3)}},
              {1, Bet{3, 1, 1, Money::dollars(4)}},
              {2, Bet{3, 3, 2, Money::dollars(5)}}});
    carry(a, b);
    carry(b, c);
    a.deletebettor("BROWN-AL");
    EXPECT_EQ(pools(a), (std::map<std::string, std::string>{{"Round1 1Bets WIN", "3.00"}}));
    carry(a, b);
    EXPECT_TRUE(has(b.told(), "Bets deleted on the other computer, removed here: 2")) << b.told();
    carry(b, c);
    EXPECT_EQ(pools(c), pools(a));
    EXPECT_EQ(heldbets(c), heldbets(a));
    // C's stale copy, carried back to A the long way, brings nothing.
    a.importfrom("E");
    EXPECT_EQ(pools(a), (std::map<std::string, std::string>{{"Round1 1Bets WIN", "3.00"}}));

    // A folder copied with its bets: the copy's bets are the same bets, equal new bets on each
    // side are two bets, and a bet deleted on the copy is deleted here too.
    Computer d(Computer::CopyOf{a});
    placewin(a, "SMITH-JO", 1, {3});
    placewin(d, "SMITH-JO", 1, {3});
    d.fixremove(1, 1);  // the first bet, there before the copy
    carry(d, a);
    EXPECT_EQ(a.told(),
              "Import of Bettors, Bets files complete\r\n\r\nBets added: 1\r\nBets already here: "
              "0\r\nBets deleted on the other computer, removed here: 1\r\nBettors added: "
              "0\r\nBettors already here: 2");
    EXPECT_EQ(heldbets(a), (std::multiset<std::string>{"Round1 1Bets SMITH-JO 1/1 2.00",
                                                       "Round1 1Bets SMITH-JO 1/1 2.00"}));
}

TEST_F(Identities, ScratchedBetsDoNotComeBack) {
    Computer a(kThree);
    Computer b("1,\"AnyBettor\"\r\n");
    takes(a, {{2, Bet{2, 4, 1, Money::dollars(6)}}, {2, Bet{3, 3, 1, Money::dollars(2)}}});
    carry(a, b);
    b.exportto("E");

    Form& entries = a.app->form("frmentries");
    entries.show();
    Control& list = entries.control("lstentries");
    std::string line;
    for (int i = 0; i < list.listcount(); ++i)
        if (list.list(i).find("DAVIS") != std::string::npos) {
            list.setlistindex(i);
            line = list.list(i);
        }
    ASSERT_FALSE(line.empty());
    a.dialogs.answer(vbYes, "Scratch " + line).ok(line + " Scratched");
    entries.control("cmdscratch").click();
    EXPECT_EQ(pools(a), (std::map<std::string, std::string>{{"Round1 2Bets WIN", "2.00"}}));
    // B's set still has DAVIS, so its players come too; the refunded bet does not.
    a.askimport(vbYes)
        .ok("Players files imported")
        .ok("Bettor file imported")
        .ok("Bets added: 0\r\nBets already here: 1\r\nBets deleted here, not imported: 1");
    a.clickimport();
    EXPECT_EQ(pools(a), (std::map<std::string, std::string>{{"Round1 2Bets WIN", "2.00"}}));
    // The scratch travels to B.
    Drive f{"F"};
    a.exportto("F");
    b.importfrom("F");
    EXPECT_EQ(pools(b), pools(a));
}

TEST_F(Identities, APriorBetDeletedAtTheBettingScreenDoesNotComeBack) {
    Computer a(kThree);
    Computer b("1,\"AnyBettor\"\r\n");
    placewin(a, "SMITH-JO", 1, {3});
    placewin(a, "BROWN-AL", 2, {2});
    carry(a, b);
    b.exportto("E");

    Form& bet = a.app->form("frmbet");
    Control& cbo = bet.control("cbobettor");
    for (int i = 0; i < cbo.listcount(); ++i)
        if (cbo.list(i) == "SMITH-JO") cbo.setlistindex(i);
    Control& prior = bet.control("lstbetsprior");
    ASSERT_GE(prior.listcount(), 1);
    prior.setlistindex(0);
    a.dialogs.answer(vbYes, "Delete ").ok("Refund SMITH-JO");
    bet.control("cmdclear").click();
    EXPECT_EQ(heldbets(a), (std::multiset<std::string>{"Round1 1Bets BROWN-AL 2/1 1.00"}));
    a.importfrom("E");
    EXPECT_EQ(heldbets(a), (std::multiset<std::string>{"Round1 1Bets BROWN-AL 2/1 1.00"}));
    carry(a, b);
    EXPECT_EQ(heldbets(b), heldbets(a));
}

TEST_F(Identities, ACutIdentityFileHereIsTakenFromItsBackup) {
    Computer a(kThree);
    Computer b("1,\"AnyBettor\"\r\n");
    takes(a, {{1, Bet{2, 1, 1, Money::dollars(4)}},
              {1, Bet{2, 1, 1, Money::dollars(4)}},
              {1, Bet{3, 2, 2, Money::dollars(3)}}});
    carry(a, b);
    const std::string ids = b.read(".Round1 1Bets.ids");
    ASSERT_FALSE(ids.empty());
    ASSERT_EQ(body(b.read(".Round1 1Betsbackup.ids")), body(ids));
    b.folder.write(".Round1 1Bets.ids", ids.substr(0, ids.size() / 2));
    b.importfrom("E");
    EXPECT_EQ(b.read("Round1 1Bets"), "2,1,1,4\r\n2,1,1,4\r\n3,2,2,3\r\n");
    EXPECT_TRUE(has(b.told(), "Bets added: 0\r\nBets already here: 3")) << b.told();

    // The same for the bettors: a deleted bettor's number stays taken and its bets stay away.
    placewin(a, "BROWN-AL", 2, {2});
    carry(a, b);
    b.deletebettor("BROWN-AL");
    const std::string bettorids = b.read(".Bettors.ids");
    ASSERT_EQ(body(b.read(".Bettorsbackup.ids")), body(bettorids));
    b.folder.write(".Bettors.ids", bettorids.substr(0, bettorids.size() - 5));
    b.addbettor("NEW-GUY");
    EXPECT_EQ(b.bettors(),
              (std::map<long, std::string>{{1, "AnyBettor"}, {2, "SMITH-JO"}, {4, "NEW-GUY"}}));
    b.importfrom("E");
    EXPECT_EQ(heldbets(b), (std::multiset<std::string>{"Round1 1Bets SMITH-JO 1/1 4.00",
                                                       "Round1 1Bets SMITH-JO 1/1 4.00"}));
}

// Both identity files of a local Bets file damaged (cut, or swapped with another flight's): its
// bets are given identities again, marked unvouched, and the drive's bets are matched with them
// by what they hold, so none is counted twice; the box says how many were matched that way.
TEST_F(Identities, BothLocalIdentityFilesDamagedNeverDoubleTheBets) {
    Computer a(kThree);
    takes(a, {{1, Bet{2, 1, 1, Money::dollars(4)}},
              {1, Bet{3, 2, 2, Money::dollars(3)}},
              {2, Bet{3, 3, 1, Money::dollars(5)}}});
    a.exportto("E");
    const std::map<std::string, std::string> once = {
        {"Round1 1Bets WIN", "4.00"}, {"Round1 1Bets PLACE", "3.00"}, {"Round1 2Bets WIN", "5.00"}};
    const std::string ids[2][2] = {{".Round1 1Bets.ids", ".Round1 1Betsbackup.ids"},
                                   {".Round1 2Bets.ids", ".Round1 2Betsbackup.ids"}};
    for (bool swap : {false, true}) {
        Computer b("1,\"AnyBettor\"\r\n");
        b.importfrom("E");
        ASSERT_EQ(pools(b), once);
        for (int k = 0; k < 2; ++k) {
            std::string one = b.read(ids[0][k]), two = b.read(ids[1][k]);
            b.folder.write(ids[0][k], swap ? two : one.substr(0, one.size() / 2));
            if (swap) b.folder.write(ids[1][k], one);
        }
        const char* why = swap ? "swapped between flights" : "cut";
        b.importfrom("E");
        EXPECT_EQ(pools(b), once) << why;
        EXPECT_TRUE(has(b.told(), "Bets added: 0\r\n")) << b.told();
        EXPECT_TRUE(has(b.told(), "(their identities were lost): ")) << b.told();
        // The next import finds them settled.
        b.importfrom("E");
        EXPECT_EQ(pools(b), once) << why;
    }
}

TEST_F(Identities, ADriveIdentityFileThatDoesNotMatchRefusesTheImportNamingTheFile) {
    Computer a(kThree);
    Computer b("1,\"AnyBettor\"\r\n");
    takes(a, {{1, Bet{2, 1, 1, Money::dollars(4)}},
              {1, Bet{3, 2, 2, Money::dollars(3)}},
              {2, Bet{3, 3, 1, Money::dollars(3)}},
              {2, Bet{2, 4, 1, Money::dollars(7)}}});
    a.exportto("E");
    const auto set = keep();
    ASSERT_TRUE(set.count(".Round1 1Bets.ids"));
    ASSERT_TRUE(set.count(".Round1 2Bets.ids"));
    // Another computer's export of the same flight, with another bet.
    Computer c("1,\"AnyBettor\"\r\n2,\"OTHER-ONE\"\r\n");
    c.take("Round1", 1, Bet{2, 2, 1, Money::dollars(9)});
    c.exportto("E");
    const auto other = keep();

    // B holds A's bets once already.
    restore(set);
    b.importfrom("E");
    // The Bets file and its backup on the drive hold the same bytes: one identity file damaged
    // is taken from the other's, and the import adds nothing new.
    const std::string r11 = ".Round1 1Bets.ids", r12 = ".Round1 2Bets.ids";
    e.folder.write(r11, set.at(r11).substr(0, set.at(r11).size() / 2));
    b.importfrom("E");
    EXPECT_TRUE(has(b.told(), "Bets added: 0\r\nBets already here: 4")) << b.told();

    // Both damaged alike: the flight's bets could not be told from those here.
    const auto both = [&](const std::string& ids, const std::string& bytes) {
        std::string backup = ids.substr(0, ids.size() - 4) + "backup.ids";
        e.folder.write(ids, bytes);
        e.folder.write(backup, bytes);
    };
    for (const char* ids : {".Round1 1Bets.ids", ".Round1 1Betsbackup.ids"})
        std::filesystem::remove(e.folder.file(ids));
    refused(b, "Round1 1Bets", "missing");
    restore(set);
    both(r11, "");
    refused(b, "Round1 1Bets", "emptied");
    restore(set);
    both(r11, set.at(r11).substr(0, set.at(r11).size() - 9));
    refused(b, "Round1 1Bets", "cut");
    restore(set);
    both(r11, set.at(r12));
    both(r12, set.at(r11));
    refused(b, "Round1 1Bets", "swapped between flights");
    restore(set);
    both(r11, other.at(r11));
    refused(b, "Round1 1Bets", "copied from another export");
    restore(set);
    e.folder.write("Round1 1Bets", other.at("Round1 1Bets"));
    e.folder.write("Round1 1Betsbackup", other.at("Round1 1Bets"));
    refused(b, "Round1 1Bets", "reused drive beside another computer's Bets file");
    restore(set);
    e.folder.write(".Bettors.ids", other.at(".Bettors.ids"));
    e.folder.write(".Bettorsbackup.ids", other.at(".Bettors.ids"));
    refused(b, "Bettors", "bettors' identity file from another export");
}

TEST_F(Identities, ADriveBetsFileCutMidNumberIsRefused) {
    Computer a(kThree);
    Computer b("1,\"AnyBettor\"\r\n");
    takes(a, {{1, Bet{3, 1, 1, Money::dollars(2)}}, {1, Bet{2, 2, 1, Money::dollars(12)}}});
    a.exportto("E");
    ASSERT_EQ(e.folder.read("Round1 1Bets"), "3,1,1,2\r\n2,2,1,12\r\n");
    const auto set = keep();
    for (const char* cut : {"3,1,1,2\r\n2,2,1,1", "3,1,1,2\r\n2,2,1,"}) {
        restore(set);
        e.folder.write("Round1 1Bets", cut);
        refused(b, "Round1 1Bets", cut);
    }
    EXPECT_TRUE(pools(b).empty());
}

TEST_F(Identities, ARefusalAfterYesToThePlayersLeavesThePlayersHere) {
    Computer a(kThree);
    a.folder.write("Players", std::string(kPlayers) + "5,2,\"\",\"EVANS\"\r\n");
    a.folder.write("Playersbackup", std::string(kPlayers) + "5,2,\"\",\"EVANS\"\r\n");
    Computer b("1,\"AnyBettor\"\r\n");
    struct Case {
        Bet bet;
        std::string why;
    };
    const Case cases[] = {{Bet{7, 1, 1, Money::dollars(2)}, "a bettor unknown on the drive"},
                          {Bet{2, 9, 1, Money::dollars(2)}, "a player unknown on the drive"}};
    for (const Case& c : cases) {
        a.folder.write("Round1 1Bets", "");
        a.folder.write("Round1 1Betsbackup", "");
        a.take("Round1", 1, c.bet);
        a.exportto("E");
        const auto before = snapshot(b.folder);
        b.askimport(vbYes).ok(
            "holds a bet on a player/team or bettor unknown here. Nothing was imported.");
        b.clickimport();
        EXPECT_EQ(b.read("Players"), kPlayers) << c.why;
        EXPECT_EQ(snapshot(b.folder), before) << c.why;
    }
}

}  // namespace
}  // namespace vt::test
