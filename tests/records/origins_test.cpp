// The identities kept beside the Bets and Bettors files follow every write of them.
#include "records/origins.h"

#include <algorithm>
#include <memory>
#include <random>
#include <set>

#include "records/filelines.h"
#include "records/records.h"
#include "recordstest.h"

namespace vt::test {
namespace {

const std::string kBets = "C:\\Vantrope\\Round2 4Bets";
const std::string kBackup = "C:\\Vantrope\\Round2 4Betsbackup";

class Origins : public RecordsTest {
  protected:
    void SetUp() override {
        sh().curround = "Round2";
        sh().curflightnbr = 4;
        sh().curflight = "D -       ";
        folder.write("Players", "1,4,\"\",\"ONE\"\r\n2,4,\"\",\"TWO\"\r\n");
        folder.write("Bettors", "1,\"AnyBettor\"\r\n");
        readentries(cx);
    }
    BetIdentities ids(const std::string& file = kBets) { return cx.origins().bets(file); }
    void append(const std::string& records) {
        Transaction tx(cx.files());
        cx.files().append(kBets, records);
        cx.files().append(kBackup, records);
        tx.commit();
    }
    static bool deleted(const BetIdentities& b, Identity id) { return hasidentity(b.deleted, id); }
};

TEST_F(Origins, EveryWriteKeepsEachRemainingBetsIdentityAndRemembersTheOnesItDrops) {
    append("1,1,1,2\r\n1,1,1,2\r\n1,2,3,5\r\n");
    BetIdentities first = ids();
    ASSERT_EQ(first.live.size(), 3u);
    EXPECT_TRUE(first.described);
    EXPECT_NE(first.live[0], first.live[1]);  // two equal bets are two bets
    EXPECT_EQ(ids(kBackup).live, first.live);

    // A bet deleted: the others keep theirs, and the deleted one is remembered.
    loadbets(cx);
    sh().dropbet = 2;
    writebets(cx);
    BetIdentities now = ids();
    EXPECT_EQ(now.live, (std::vector<Identity>{first.live[0], first.live[2]}));
    EXPECT_TRUE(deleted(now, first.live[1]));
    EXPECT_EQ(ids(kBackup).live, now.live);

    // The same records in another order keep their identities (equal ones in their order).
    {
        Transaction tx(cx.files());
        cx.files().replacefile(kBets, "1,2,3,5\r\n1,1,1,2\r\n");
        tx.commit();
    }
    EXPECT_EQ(ids().live, (std::vector<Identity>{first.live[2], first.live[0]}));

    // Restored from the backup: the backup's identities, and nothing it holds stays deleted.
    dialogs.answer(vbYes, "Bets with Betsbackup").ok("Bet file replaced").answer(vbNo).answer(vbNo);
    restorebackups(cx);
    EXPECT_EQ(ids().live, ids(kBackup).live);

    // Cleared: the files go, what they held is remembered as deleted.
    std::vector<Identity> held = ids().live;
    dialogs.answer(vbYes, "Click Yes to clear").answer(vbNo, "Print refunds?").ok("Bets Cleared");
    clearflightbets(cx);
    EXPECT_FALSE(folder.exists("Round2 4Bets"));
    for (Identity id : held) EXPECT_TRUE(deleted(ids(), id));
    EXPECT_TRUE(ids().described);
}

TEST_F(Origins, AHandEditLosesOnlyTheIdentitiesOfTheRecordsItChanged) {
    append("1,1,1,2\r\n1,2,3,5\r\n2,1,2,7\r\n");
    const BetIdentities good = ids();
    const std::string side = folder.read(".Round2 4Bets.ids");

    // Cut short, emptied or missing beside a backup that is in step: the backup's serve.
    for (const std::string& damaged : {side.substr(0, side.size() - 7), std::string()}) {
        folder.write(".Round2 4Bets.ids", damaged);
        EXPECT_EQ(ids().live, good.live);
        EXPECT_TRUE(ids().described);
    }
    std::remove(folder.file(".Round2 4Bets.ids").c_str());
    EXPECT_EQ(ids().live, good.live);
    folder.write(".Round2 4Bets.ids", side);

    // A bet corrected by hand ($5 to $4): the others keep their identities; the corrected one is
    // the old bet deleted, with what it held, and a new bet given an unvouched identity.
    folder.write("Round2 4Bets", "1,1,1,2\r\n1,2,3,4\r\n2,1,2,7\r\n");
    BetIdentities edited = ids();
    EXPECT_FALSE(edited.described);
    ASSERT_EQ(edited.live.size(), 3u);
    EXPECT_EQ(edited.live[0], good.live[0]);
    EXPECT_EQ(edited.live[2], good.live[2]);
    EXPECT_NE(edited.live[1], good.live[1]);
    EXPECT_EQ(edited.unvouched, (std::vector<Identity>{edited.live[1]}));
    EXPECT_EQ(edited.deleted, (std::vector<Identity>{good.live[1]}));
    EXPECT_EQ(edited.deletedholds[good.live[1]], "1,2,3,5");
    // The next write keeps that: the corrected bet never comes back under its old identity, and
    // the new one stays unvouched until an import settles it.
    append("2,1,1,1\r\n");
    BetIdentities after = ids();
    EXPECT_TRUE(after.described);
    ASSERT_EQ(after.live.size(), 4u);
    EXPECT_EQ(after.live[0], good.live[0]);
    EXPECT_EQ(after.live[2], good.live[2]);
    EXPECT_EQ(after.unvouched, (std::vector<Identity>{after.live[1]}));
    EXPECT_TRUE(deleted(after, good.live[1]));
    EXPECT_EQ(ids().live, after.live);  // given once, and kept from then on

    // A line taken out by hand (a refund) is deleted with what it held; lines moved and a line
    // added by hand keep or get identities as they are.
    folder.write("Round2 4Bets", "2,1,1,1\r\n9,9,1,3\r\n1,1,1,2\r\n2,1,2,7\r\n");
    BetIdentities moved = ids();
    EXPECT_EQ(moved.live[0], after.live[3]);
    EXPECT_EQ(moved.live[2], after.live[0]);
    EXPECT_EQ(moved.live[3], after.live[2]);
    EXPECT_TRUE(hasidentity(moved.unvouched, moved.live[1]));
    EXPECT_TRUE(deleted(moved, after.live[1]));
    EXPECT_EQ(moved.deletedholds[after.live[1]], "1,2,3,4");
    EXPECT_FALSE(hasidentity(moved.unvouched, moved.live[0]));

    // Gone, beside a backup that holds other bytes: the backup's identity file vouches for the
    // records both hold; what it names and this file no longer holds counts as deleted.
    BetIdentities backup = ids(kBackup);  // 1,1,1,2 1,2,3,5 2,1,2,7 2,1,1,1
    std::remove(folder.file(".Round2 4Bets.ids").c_str());
    folder.write("Round2 4Bets", "2,1,2,7\r\n2,1,1,1\r\n");
    BetIdentities lost = ids();
    EXPECT_EQ(lost.live, (std::vector<Identity>{backup.live[2], backup.live[3]}));
    EXPECT_TRUE(deleted(lost, backup.live[0]));
    EXPECT_TRUE(deleted(lost, backup.live[1]));

    // Another flight's identity file copied beside a file: not trusted, whatever it holds.
    folder.write("Round2 5Bets", folder.read("Round2 4Betsbackup"));
    folder.write(".Round2 5Bets.ids", folder.read(".Round2 4Betsbackup.ids"));
    BetIdentities copied = cx.origins().bets("C:\\Vantrope\\Round2 5Bets");
    EXPECT_FALSE(copied.described);
    EXPECT_EQ(copied.unvouched.size(), copied.live.size());
    for (Identity id : ids(kBackup).live) EXPECT_TRUE(deleted(copied, id));
}

TEST_F(Origins, BettorsKeepTheirIdentityByNumberAndNameAndADeletedNumberStaysInUse) {
    folder.write("Bettors", "1,\"AnyBettor\"\r\n3,\"LEE\"\r\n5,\"KING\"\r\n7,\"WOOD\"\r\n");
    readbettors(cx);
    writebettors(cx);
    BettorIdentities first = cx.origins().bettors("C:\\Vantrope\\Bettors");
    ASSERT_EQ(first.live.size(), 4u);
    EXPECT_NE(first.live[3], first.live[5]);

    sh().bettors(2).name = "zzz";  // LEE deleted
    writebettors(cx);
    BettorIdentities now = cx.origins().bettors("C:\\Vantrope\\Bettors");
    EXPECT_EQ(now.live[5], first.live[5]);
    EXPECT_FALSE(now.live.count(3));
    EXPECT_EQ(now.deleted[3], first.live[3]);
    NumbersInUse used;
    ASSERT_TRUE(numbersinuse(cx, used));
    EXPECT_TRUE(used.bettors.count(3));
    EXPECT_EQ(freenumber(used.bettors, 2, 2), 2);
    EXPECT_EQ(freenumber(used.bettors, 3, 2), 4);

    // A Bettors file edited by hand: a bettor whose line stays keeps his identity; one whose
    // name changed is a new bettor, the old one deleted; deleted numbers stay in use.
    for (const char* name : {"Bettors", "Bettorsbackup"})
        folder.write(name, "1,\"AnyBettor\"\r\n5,\"KING-AL\"\r\n7,\"WOOD\"\r\n");
    BettorIdentities edited = cx.origins().bettors("C:\\Vantrope\\Bettors");
    EXPECT_FALSE(edited.described);
    EXPECT_EQ(edited.live[7], first.live[7]);
    EXPECT_NE(edited.live[5], first.live[5]);
    EXPECT_EQ(edited.deleted[5], first.live[5]);
    EXPECT_TRUE(edited.deleted.count(3));
}

TEST_F(Origins, AnIdentityFileIsTrustedOnlyWithItsOwnLinesWholeAndEachIdentityOnce) {
    append("1,1,1,2\r\n1,2,3,5\r\n");
    const BetIdentities good = ids();
    const std::string side = folder.read(".Round2 4Bets.ids");
    const std::string bytes = folder.read("Round2 4Bets");

    // One identity changed under an unchanged first line: its lines' check no longer matches.
    std::string changed = side;
    size_t at = changed.find("\r\n") + 2;
    changed[at] = changed[at] == '0' ? '1' : '0';
    folder.write(".Round2 4Bets.ids", changed);
    folder.write(".Round2 4Betsbackup.ids", changed);
    EXPECT_FALSE(ids().described);
    EXPECT_EQ(ids().unvouched.size(), 2u);

    // An identity file of another file with the same bytes (another flight's): its first line
    // names that file, so it does not describe this one.
    folder.write("Round2 5Bets", bytes);
    folder.write(".Round2 5Bets.ids", side);
    EXPECT_FALSE(cx.origins().bets("C:\\Vantrope\\Round2 5Bets").described);

    // One identity given to two bets, written in the program's own form: never trusted.
    BetIdentities twice = good;
    twice.live[1] = twice.live[0];
    stagebetidentities(cx.files(), kBets, &bytes, twice);
    stagebetidentities(cx.files(), kBackup, &bytes, twice);
    EXPECT_FALSE(ids().described);
    BettorIdentities same;
    same.live[1] = {7};
    same.live[2] = {7};
    folder.write("Bettors", "1,\"AnyBettor\"\r\n2,\"LEE\"\r\n");
    const std::string bettors = folder.read("Bettors");
    stagebettoridentities(cx.files(), "C:\\Vantrope\\Bettors", &bettors, same);
    EXPECT_FALSE(cx.origins().bettors("C:\\Vantrope\\Bettors").described);

    // A tab beside an identity in a file that is not trusted still names it: it stays deleted,
    // and a bettor number named so stays in use.
    folder.write(".Round2 4Bets.ids", "ids2 damaged\r\n" + std::string("\t") +
                                          side.substr(side.find("\r\n") + 2, 16) + "\r\n");
    folder.write(".Round2 4Betsbackup.ids", "");
    EXPECT_TRUE(deleted(ids(), good.live[0]));
    folder.write(".Bettors.ids", "ids2 damaged\r\n-12\t0123456789abcdef\r\n");
    folder.write(".Bettorsbackup.ids", "");
    EXPECT_TRUE(cx.origins().bettors("C:\\Vantrope\\Bettors").deleted.count(12));
}

TEST_F(Origins, ABlankLineTakenOutLeavesAnIdentityFileThatStillDescribesItsFile) {
    {
        Transaction tx(cx.files());
        cx.files().replacefile(kBets, "1,1,1,2\r\n\r\n1,2,3,5\r\n");
        tx.commit();
    }
    const BetIdentities before = ids();
    ASSERT_EQ(before.live.size(), 3u);
    {
        Transaction tx(cx.files());
        cx.files().replacefile(kBets, "1,1,1,2\r\n1,2,3,5\r\n");
        tx.commit();
    }
    const BetIdentities after = ids();
    EXPECT_TRUE(after.described);
    EXPECT_EQ(after.live, (std::vector<Identity>{before.live[0], before.live[2]}));
    EXPECT_TRUE(deleted(after, before.live[1]));
    EXPECT_TRUE(after.unvouched.empty());
}

// A pair of files nothing describes (from before identity files, or copied without them): the
// first write gives their bets identities and remembers as deleted only the bet it drops, in
// both files, with what that bet held.
TEST_F(Origins, AFirstWriteOfUndescribedFilesRemembersOnlyTheBetItDrops) {
    folder.write("Round2 4Bets", "1,1,1,2\r\n1,2,3,5\r\n1,1,2,7\r\n");
    folder.write("Round2 4Betsbackup", "1,1,1,2\r\n1,2,3,5\r\n1,1,2,7\r\n");
    loadbets(cx);
    sh().dropbet = 2;
    writebets(cx);
    const BetIdentities bets = ids(), backup = ids(kBackup);
    ASSERT_EQ(bets.live.size(), 2u);
    EXPECT_EQ(backup.live, bets.live);
    // The two stay in step: the backup remembers no more than its Bets file (the checks on the
    // first line of an identity file are no identities).
    EXPECT_EQ(backup.deleted, bets.deleted);
    EXPECT_EQ(bets.unvouched.size(), 2u);  // given late: matched by what they hold
    for (const BetIdentities* b : {&bets, &backup}) {
        ASSERT_EQ(b->deletedholds.size(), 1u) << (b == &bets ? "Bets" : "backup");
        EXPECT_EQ(b->deletedholds.begin()->second, "1,2,3,5");
        for (Identity id : b->live) EXPECT_FALSE(deleted(*b, id));
    }
}

// A run keeps what it staged and takes a file's identities from that while its identity file is
// the one staged: every write must come out byte for byte as it does when each write reads the
// identity files afresh (a new run for every write), with the same new identities drawn.
TEST(Identities, ARunKeepingWhatItStagedWritesWhatAFreshReadingWrites) {
    TempFolder kept(fastbase()), fresh(fastbase());
    const std::string bets = "C:\\Vantrope\\Round1 1Bets", backup = bets + "backup";
    std::mt19937 rng(5);
    std::vector<std::string> lines;
    for (int i = 0; i < 40; ++i) lines.push_back(std::to_string(rng() % 9 + 1) + ",1,1,2");
    auto text = [&] {
        std::string out;
        for (auto& l : lines) out += l + "\r\n";
        return out;
    };
    // Files without identity files to start with: their bets are given unvouched identities.
    for (const TempFolder* f : {&kept, &fresh}) {
        f->write("Round1 1Bets", text());
        f->write("Round1 1Betsbackup", text());
    }
    auto draws = [](uint64_t seed) {
        auto engine = std::make_shared<std::mt19937_64>(seed);
        return [engine] { return (*engine)(); };
    };
    Files keeper(kept.path());
    vt::Origins keeping(keeper, draws(1));
    auto freshdraws = draws(1);
    auto write = [&](Files& files) {
        Transaction tx(files);
        files.replacefile(bets, text());
        files.replacefile(backup, text());
        tx.commit();
    };
    for (int step = 0; step < 60; ++step) {
        switch (rng() % 4) {
            case 0:  // bets removed
                for (int k = 0; k < 3 && !lines.empty(); ++k)
                    lines.erase(lines.begin() + long(rng() % lines.size()));
                break;
            case 1:  // bets added, some alike
                lines.push_back(lines.empty() ? "1,1,1,1" : lines[rng() % lines.size()]);
                lines.push_back(std::to_string(rng() % 9 + 1) + ",2,3,5");
                break;
            case 2:  // a bet moved
                if (lines.size() > 2) std::swap(lines[0], lines[rng() % lines.size()]);
                break;
            default:  // a bet changed
                if (!lines.empty()) lines[rng() % lines.size()] = "7,1,2,9";
        }
        write(keeper);
        Files once(fresh.path());
        vt::Origins onceorigins(once, freshdraws);
        write(once);
        SCOPED_TRACE("step " + std::to_string(step));
        for (const char* name : {".Round1 1Bets.ids", ".Round1 1Betsbackup.ids"})
            ASSERT_EQ(kept.read(name), fresh.read(name)) << name;
    }
}

TEST(Identities, LargeSetsStaySortedWithEachIdentityOnce) {
    std::mt19937_64 rng(11);
    std::vector<Identity> set, more;
    for (int i = 0; i < 3000; ++i) set.push_back(rng());
    std::sort(set.begin(), set.end());
    // Random ones, ones already there, small ones (most bytes alike) and zero, in no order.
    for (int i = 0; i < 5000; ++i) {
        switch (i % 4) {
            case 0:
                more.push_back(rng());
                break;
            case 1:
                more.push_back(set[rng() % set.size()]);
                break;
            case 2:
                more.push_back(rng() % 300);
                break;
            default:
                more.push_back(i % 8 == 3 ? 0 : rng() << 40);
        }
    }
    std::set<Identity> expected(set.begin(), set.end());
    expected.insert(more.begin(), more.end());
    addidentities(set, more);
    EXPECT_EQ(set, std::vector<Identity>(expected.begin(), expected.end()));
    for (Identity id : more) EXPECT_TRUE(hasidentity(set, id));

    // Identities whose top byte is the same in all of them.
    std::vector<Identity> low, none;
    for (int i = 0; i < 1000; ++i) low.push_back(rng() >> 8);
    std::set<Identity> lowset(low.begin(), low.end());
    addidentities(none, low);
    EXPECT_EQ(none, std::vector<Identity>(lowset.begin(), lowset.end()));
}

}  // namespace
}  // namespace vt::test
