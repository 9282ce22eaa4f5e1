// Players and Bettors files: reading, markers, counters and rewriting with backups.
#include "records/records.h"
#include "recordstest.h"

namespace vt::test {
namespace {

class NameFiles : public RecordsTest {};

TEST_F(NameFiles, NextEntryNumberFollowsTheLastRecordReadNotTheLargest) {
    folder.write("Players", "5,1,\"\",\"A\"\r\n2,1,\"\",\"B\"\r\n9,1,\"\",\"C\"\r\n");
    readentries(cx);
    EXPECT_EQ(sh().nextentrynbr, 10);
    EXPECT_EQ(sh().nextentryrow, 4);
    folder.write("Players", "5,1,\"\",\"A\"\r\n9,1,\"\",\"C\"\r\n2,1,\"\",\"B\"\r\n");
    readentries(cx);
    EXPECT_EQ(sh().nextentrynbr, 3);
    EXPECT_TRUE(sh().entriescomplete);
}

TEST_F(NameFiles, DeletedEntriesAreSkippedInAnyCaseAndDroppedOnWrite) {
    folder.write(
        "Players",
        "1,2,\"x\",\"ONE\"\r\n2,2,\"\",\"ZZZ\"\r\n3,4,\"\",\"THREE\"\r\n4,1,\"\",\"Zzz\"\n");
    readentries(cx);
    EXPECT_EQ(sh().entries(2).number, 3);
    EXPECT_EQ(sh().entries(3).name, "");
    sh().entries(1).name = "zzz";
    writeentries(cx);
    std::string expect = "3,4,\"\",\"THREE\"\r\n";
    EXPECT_EQ(folder.read("Players"), expect);
    EXPECT_EQ(folder.read("Playersbackup"), expect);
    EXPECT_EQ(sh().nextentryrow, 2);
    EXPECT_EQ(sh().nextentrynbr, 4);
    EXPECT_EQ(sh().entries(1).name, "zzz");  // kept until the next read
}

TEST_F(NameFiles, MarkersEndTheReading) {
    folder.write("Players", "1,1,\"\",\"A\"\r\n999,0,\"\",\"\"\r\n2,1,\"\",\"B\"\r\n");
    readentries(cx);
    EXPECT_EQ(sh().nextentryrow, 2);
    folder.write("Players", "1,1,\"\",\"A\"\r\n2,1,\"\",\"\"\r\n3,1,\"\",\"B\"\r\n");
    readentries(cx);
    EXPECT_EQ(sh().nextentryrow, 2);
    // The records after the marker are not in the table: no rewrite may start from it.
    EXPECT_FALSE(sh().entriescomplete);
    dialogs.ok("Fix Files");
    writeentries(cx);
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"A\"\r\n2,1,\"\",\"\"\r\n3,1,\"\",\"B\"\r\n");
    folder.write("Bettors", "1,\"AnyBettor\"\r\n999,\"X\"\r\n2,\"B\"\r\n");
    readbettors(cx);
    EXPECT_EQ(sh().nbettors, 1);
    EXPECT_FALSE(sh().bettorscomplete);
}

TEST_F(NameFiles, BadFlightStopsTheReadAndTheRewriteIsRefused) {
    std::string file = "1,1,\"\",\"A\"\r\n2,16,\"\",\"B\"\r\n3,1,\"\",\"C\"\r\n";
    folder.write("Players", file);
    readentries(cx);
    EXPECT_EQ(sh().dataerror, 1);
    EXPECT_EQ(sh().entries(2).number, 2);
    EXPECT_EQ(sh().entries(2).flight, 16);
    EXPECT_EQ(sh().entries(2).name, "");
    EXPECT_FALSE(sh().entriescomplete);
    dialogs.ok("Fix Files");
    writeentries(cx);
    EXPECT_FALSE(sh().fileok);
    EXPECT_EQ(folder.read("Players"), file);  // entry 3 not lost
}

TEST_F(NameFiles, UnreadableRecordShowsTypeMismatchAndKeepsWhatWasRead) {
    folder.write("Players", "1,1,\"\",\"A\"\r\nX,1,\"\",\"B\"\r\n");
    dialogs.ok(" 13 Type mismatch");
    readentries(cx);
    EXPECT_EQ(dialogs.shown.at(0).title, "Players Input");
    EXPECT_EQ(sh().entries(1).name, "A");
    EXPECT_FALSE(sh().entriescomplete);
}

TEST_F(NameFiles, MoreEntriesThanTheTableHoldsIsReported) {
    sh().maxplayers = 2;
    sh().sizetables();
    folder.write("Players", "1,1,\"\",\"A\"\r\n2,1,\"\",\"B\"\r\n1,1,\"\",\"C\"\r\n");
    dialogs.ok(
        "Players holds more players/teams than the setup's player/team capacity (maxplayers "
        "= 2): only the first 2 are loaded");
    readentries(cx);
    EXPECT_EQ(sh().entries(2).name, "B");
    EXPECT_FALSE(sh().entriescomplete);
}

TEST_F(NameFiles, AnyBettorAloneCountsOneBothWays) {
    folder.write("Bettors", "1,\"AnyBettor\"\r\n");
    readbettors(cx);
    EXPECT_EQ(sh().nbettors, 1);
    EXPECT_EQ(sh().nextticket, 2);
    writebettors(cx);
    EXPECT_EQ(sh().nbettors, 1);
    EXPECT_EQ(sh().nextticket, 2);
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n");
    EXPECT_EQ(folder.read("Bettorsbackup"), "1,\"AnyBettor\"\r\n");
}

TEST_F(NameFiles, WriteBettorsPutsAnyBettorFirstAndKeepsEveryoneElse) {
    sh().bettors(1) = {7, "SMITH-JO"};
    sh().bettors(2) = {8, "zZz"};
    sh().bettors(3) = {9, "DOE-JANE"};
    writebettors(cx);
    std::string expect = "1,\"AnyBettor\"\r\n7,\"SMITH-JO\"\r\n9,\"DOE-JANE\"\r\n";
    EXPECT_EQ(folder.read("Bettors"), expect);
    EXPECT_EQ(folder.read("Bettorsbackup"), expect);
    EXPECT_EQ(sh().nbettors, 3);
    EXPECT_EQ(sh().nextticket, 10);
}

TEST_F(NameFiles, BettorsBeyondTheTableAreReportedNotDropped) {
    sh().maxbettors = 3;
    sh().sizetables();
    std::string file = "1,\"AnyBettor\"\r\n2,\"A\"\r\n3,\"B\"\r\n";
    folder.write("Bettors", file);
    // The table is filled as far as it goes, one box says so, and the rewrite is refused.
    dialogs
        .ok("Bettors holds more bettors than the setup's bettor capacity (maxbettors = 3): only "
            "the first 2 are loaded")
        .ok("Fix Files");
    readbettors(cx);
    EXPECT_EQ(sh().nbettors, 2);
    writebettors(cx);
    EXPECT_EQ(folder.read("Bettors"), file);
}

}  // namespace
}  // namespace vt::test
