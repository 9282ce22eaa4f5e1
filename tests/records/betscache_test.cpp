// The Bets files kept while unchanged: read once, read again whenever the file may have changed,
// and never a reason to see less than a fresh read would.
#include <filesystem>
#include <fstream>

#include "faultseam.h"
#include "platform/transaction.h"
#include "records/filelines.h"
#include "records/records.h"
#include "recordstest.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

class BetsCacheTest : public RecordsTest {
  protected:
    void SetUp() override {
        folder.write("Players", "3,2,\"\",\"THREE\"\r\n7,2,\"\",\"SEVEN\"\r\n");
        readentries(cx);
        sh().curround = "Round1";
        sh().curflightnbr = 2;
    }
    std::string path() { return sh().betsfile("Round1", 2); }
    std::shared_ptr<const BetsLines> get() { return cx.betscache().get(cx.files(), path()); }
    // The file as last written an hour ago: settled, so it may be kept.
    void settle(const fs::file_time_type& when) {
        fs::last_write_time(folder.file("Round1 2Bets"), when);
    }
    fs::file_time_type hourago() {
        return fs::file_time_type::clock::now() - std::chrono::hours(1);
    }
    // What the cache gives is what a fresh reading of the file on disk gives, line for line,
    // errors and their line numbers included.
    void expectfresh() {
        auto kept = get();
        auto fresh = parsebetslines(folder.read("Round1 2Bets"), path());
        ASSERT_EQ(kept->lines.size(), fresh->lines.size());
        for (size_t i = 0; i < fresh->lines.size(); ++i) {
            const BetsLine &a = kept->lines[i], &b = fresh->lines[i];
            EXPECT_EQ(a.number, b.number) << i;
            EXPECT_EQ(a.readable, b.readable) << i;
            EXPECT_EQ(a.stops, b.stops) << i;
            EXPECT_EQ(a.bet.bettor, b.bet.bettor) << i;
            EXPECT_EQ(a.bet.amount, b.bet.amount) << i;
            EXPECT_EQ(a.asbet.whole, b.asbet.whole) << i;
        }
        EXPECT_EQ(kept->ends, fresh->ends);
        auto lines = [](const std::map<size_t, FileError>& m) {
            std::vector<std::pair<size_t, long>> out;
            for (const auto& [i, e] : m) out.emplace_back(i, e.line);
            return out;
        };
        EXPECT_EQ(lines(kept->bad), lines(fresh->bad));
        EXPECT_EQ(lines(kept->stops), lines(fresh->stops));
    }
};

TEST_F(BetsCacheTest, SettledFileIsReadOnceAndAgainWhenItsStampChanges) {
    folder.write("Round1 2Bets", "1,7,1,5\r\n4,3,1,2\r\n");
    auto old = hourago();
    settle(old);
    auto first = get();
    ASSERT_EQ(first->lines.size(), 2u);
    long calls = faults(cx.files()).calls();
    EXPECT_EQ(get(), first);  // kept: not even opened
    EXPECT_EQ(faults(cx.files()).calls(), calls);

    // Another program appends a bet: the size tells.
    std::ofstream(folder.file("Round1 2Bets"), std::ios::app | std::ios::binary) << "5,7,2,1\r\n";
    settle(old);
    EXPECT_EQ(get()->lines.size(), 3u);

    // Replaced by a file of the same size and time: a new file on disk all the same.
    folder.write("Round1 2Bets.new", "1,7,1,5\r\n4,3,1,9\r\n5,7,2,1\r\n");
    fs::rename(folder.file("Round1 2Bets.new"), folder.file("Round1 2Bets"));
    settle(old);
    EXPECT_EQ(get()->lines[1].bet.amount, Money::dollars(9));

    // The program's own commit.
    cx.files().replacefile(path(), "1,7,1,5\r\n");
    EXPECT_EQ(get()->lines.size(), 1u);
}

TEST_F(BetsCacheTest, FileJustCommittedByTheProgramIsKeptUntilAnotherChangesIt) {
    cx.files().replacefile(path(), "1,7,1,5\r\n");
    auto first = get();
    long calls = faults(cx.files()).calls();
    EXPECT_EQ(get(), first);
    EXPECT_EQ(faults(cx.files()).calls(), calls);
    std::ofstream(folder.file("Round1 2Bets"), std::ios::app | std::ios::binary) << "5,7,2,1\r\n";
    EXPECT_EQ(get()->lines.size(), 2u);
}

TEST_F(BetsCacheTest, FileChangedJustNowIsReadEveryTime) {
    // Rewritten in place, same size, within the same clock tick: nothing in the stamp changes
    // (the time is put back, as a file system with a coarse clock would leave it).
    folder.write("Round1 2Bets", "1,7,1,5\r\n");
    const auto tick = fs::last_write_time(folder.file("Round1 2Bets"));
    const auto inode = cx.files().stamp(path()).inode;
    EXPECT_EQ(get()->lines[0].bet.amount, Money::dollars(5));
    folder.write("Round1 2Bets", "1,7,1,6\r\n");
    settle(tick);
    ASSERT_EQ(cx.files().stamp(path()).inode, inode);
    EXPECT_EQ(get()->lines[0].bet.amount, Money::dollars(6));
    sumbets(cx);
    EXPECT_EQ(sh().summ(7).win, Money::dollars(6));
}

TEST_F(BetsCacheTest, StagedContentsAreReadInsideATransactionAndKeptNowhere) {
    folder.write("Round1 2Bets", "1,7,1,5\r\n");
    settle(hourago());
    get();
    {
        Transaction tx(cx.files());
        cx.files().replacefile(path(), "1,7,1,5\r\n1,3,1,2\r\n");
        EXPECT_EQ(get()->lines.size(), 2u);
    }  // never committed
    EXPECT_EQ(get()->lines.size(), 1u);
}

TEST_F(BetsCacheTest, KeptFileStillStopsTheSumAtItsBadLineEveryTime) {
    folder.write("Round1 2Bets", "1,7,1,5\r\n1,x,1,5\r\n");
    settle(hourago());
    for (int i = 0; i < 2; ++i) {
        dialogs.ok("Type mismatch");
        sumbets(cx);
        EXPECT_FALSE(sh().fileok);
        EXPECT_EQ(sh().summ(7).win, Money::dollars(5));
    }
    // The bet lists' reading of the same line.
    auto lines = get();
    EXPECT_FALSE(lines->lines[1].asbet.whole);
    EXPECT_TRUE(lines->lines[1].asbet.hasbettor);
}

TEST_F(BetsCacheTest, KeepsOneRoundsFilesAtMost) {
    auto old = hourago();
    for (int f = 1; f <= 15; ++f) {
        std::string name = "Round1 " + std::to_string(f) + "Bets";
        folder.write(name, "1,7,1," + std::to_string(f) + "\r\n");
        fs::last_write_time(folder.file(name), old);
        cx.betscache().get(cx.files(), sh().betsfile("Round1", f));
    }
    folder.write("Final 1Bets", "1,7,1,1\r\n");
    fs::last_write_time(folder.file("Final 1Bets"), old);
    cx.betscache().get(cx.files(), sh().betsfile("Final", 1));
    long calls = faults(cx.files()).calls();
    for (int f = 1; f <= 15; ++f) cx.betscache().get(cx.files(), sh().betsfile("Round1", f));
    EXPECT_EQ(faults(cx.files()).calls(), calls);  // 16 files fit
}

TEST_F(BetsCacheTest, LinesKeptAcrossTheProgramsOwnChangesReadAsAFreshReading) {
    folder.write("Round1 2Bets", "1,7,1,5\r\n,7,1,5\r\n4,3,1,2\r\n2,7,2,3");
    settle(hourago());
    get();
    // A bet added after the last line, which gets its line end first (written whole: an append
    // is refused while the file holds a bad line).
    cx.files().replacefile(path(), "1,7,1,5\r\n,7,1,5\r\n4,3,1,2\r\n2,7,2,3\r\n5,7,2,1\r\n");
    expectfresh();
    // A line before the bad one removed: the bad line and those after it move up.
    cx.files().replacefile(path(), ",7,1,5\r\n4,3,1,2\r\n2,7,2,3\r\n5,7,2,1\r\n");
    expectfresh();
    EXPECT_EQ(get()->bad.at(0).line, 1);
    // The bad line removed, then a bet appended inside a transaction: the staged contents.
    cx.files().replacefile(path(), "4,3,1,2\r\n2,7,2,3\r\n5,7,2,1\r\n");
    expectfresh();
    {
        Transaction tx(cx.files());
        appendrecords(cx.files(), path(), FileKind::Bets, "6,3,3,4\r\n", cx.shared().maxbets);
        EXPECT_EQ(get()->lines.size(), 4u);
    }
    expectfresh();
    EXPECT_TRUE(sumbets(cx));  // no box: nothing stale stops the sum
    EXPECT_EQ(sh().summ(7).place, Money::dollars(4));
}

TEST_F(BetsCacheTest, AChangeBehindTheProgramsBackAfterItsAppendIsSeen) {
    folder.write("Round1 2Bets", "1,7,1,5\r\n4,3,1,2\r\n");
    settle(hourago());
    get();
    appendrecords(cx.files(), path(), FileKind::Bets, "5,7,2,1\r\n", cx.shared().maxbets);
    get();
    // Another program rewrites the first bet in place: same size, the start of the file differs
    // from the lines kept.
    {
        std::fstream f(folder.file("Round1 2Bets"),
                       std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(6);
        f << "9";
    }
    settle(hourago());
    expectfresh();
    EXPECT_EQ(get()->lines[0].bet.amount, Money::dollars(9));
    // And appends a line of the same length as the program's last one.
    std::ofstream(folder.file("Round1 2Bets"), std::ios::app | std::ios::binary) << "5,7,2,1\r\n";
    expectfresh();
    EXPECT_EQ(get()->lines.size(), 4u);
}

TEST_F(BetsCacheTest, AFailedCommitLeavesTheFileAsItWasRead) {
    folder.write("Round1 2Bets", "1,7,1,5\r\n");
    settle(hourago());
    get();
    faults(cx.files()).setfault({Fault::Fail, 1, ENOSPC, true});
    EXPECT_THROW(
        appendrecords(cx.files(), path(), FileKind::Bets, "5,7,2,1\r\n", cx.shared().maxbets),
        FileError);
    faults(cx.files()).setfault({});
    expectfresh();
    EXPECT_EQ(get()->lines.size(), 1u);
}

}  // namespace
}  // namespace vt::test
