// Data files emptied or lost while their backups hold records: read as damaged, never as empty,
// and never written over; a file whose backup is empty too is simply empty.
#include "errorof.h"
#include "records/filelines.h"
#include "records/records.h"
#include "recordstest.h"

namespace vt::test {
namespace {

const std::string kAdvice =
    " holds records: it may be damaged, so nothing is written over it.\r\nPut the backup in its "
    "place with Use Backup Files on the main menu.";

class Emptied : public RecordsTest {
  protected:
    void SetUp() override {
        sh().curround = "Final";
        sh().curflightnbr = 12;
        sh().curflight = "BLUE      ";
        folder.write("Players", "1,12,\"\",\"ONE\"\r\n");
        folder.write("Bettors", "1,\"AnyBettor\"\r\n7,\"SEVEN\"\r\n");
        readentries(cx);
    }
    std::string box(const std::string& file, bool missing) {
        return std::string(missing ? " 53 File not found" : " 62 Input past end of file") + "\r\n" +
               file + "\r\n" + file + (missing ? " is missing" : " is empty") + ", but " + file +
               "backup" + kAdvice;
    }
};

TEST_F(Emptied, ABetsFileIsNeitherSummedAsEmptyNorRewrittenAppendedOrCleared) {
    const std::string backup = "7,1,1,2\r\n";
    folder.write("Final 12Betsbackup", backup);
    for (const std::string bets : {"", " \r\n\r\n"}) {
        SCOPED_TRACE(bets);
        folder.write("Final 12Bets", bets);
        dialogs.ok(box("Final 12Bets", false));
        EXPECT_FALSE(sumbets(cx));
        EXPECT_FALSE(sh().betscomplete);
        EXPECT_EQ(dialogs.shown.back().title, "Bets Input");
        // The rewrite refused names the same file the same way.
        dialogs.ok(box("Final 12Bets", false));
        EXPECT_FALSE(writebets(cx));
        EXPECT_EQ(errorof([&] {
                      appendrecords(cx.files(), sh().datapath + "Final 12Bets", FileKind::Bets,
                                    "7,1,1,1\r\n", sh().maxbets);
                  }),
                  62);
        dialogs.answer(vbYes, "Click Yes to clear").ok(box("Final 12Bets", false));
        EXPECT_FALSE(clearflightbets(cx));
        EXPECT_EQ(folder.read("Final 12Bets"), bets);
        EXPECT_EQ(folder.read("Final 12Betsbackup"), backup);
    }
    // Lost: not made anew, not appended to.
    std::filesystem::remove(folder.file("Final 12Bets"));
    dialogs.ok(box("Final 12Bets", true));
    EXPECT_FALSE(sumbets(cx));
    EXPECT_EQ(errorof([&] {
                  appendrecords(cx.files(), sh().datapath + "Final 12Bets", FileKind::Bets,
                                "7,1,1,1\r\n", sh().maxbets);
              }),
              53);
    EXPECT_FALSE(folder.exists("Final 12Bets"));
    EXPECT_EQ(folder.read("Final 12Betsbackup"), backup);
}

TEST_F(Emptied, AFileWhoseBackupHoldsNothingIsEmpty) {
    for (const std::string backup : {"", "\r\n  \r\n"}) {
        folder.write("Final 12Bets", "");
        folder.write("Final 12Betsbackup", backup);
        EXPECT_TRUE(sumbets(cx));
        EXPECT_TRUE(sh().betscomplete);
    }
    // A backup is never taken as emptied, whatever its data file holds.
    folder.write("Final 12Betsbackup", "");
    folder.write("Final 12Bets", "7,1,1,2\r\n");
    appendrecords(cx.files(), sh().datapath + "Final 12Betsbackup", FileKind::Bets, "7,1,1,2\r\n",
                  sh().maxbets);
    EXPECT_EQ(folder.read("Final 12Betsbackup"), "7,1,1,2\r\n");
    EXPECT_EQ(backupof("E:\\Round1 3Bets"), "E:\\Round1 3Betsbackup");
    EXPECT_EQ(backupof("C:\\Vantrope\\Bettorsbackup"), "");
}

TEST_F(Emptied, ABettorsOrPlayersFileIsReadIncompleteAndNotRewritten) {
    const std::string bettors = "1,\"AnyBettor\"\r\n12,\"SMITH-BOB\"\r\n";
    folder.write("Bettors", "");
    folder.write("Bettorsbackup", bettors);
    dialogs.ok(box("Bettors", false));
    EXPECT_FALSE(readbettors(cx));
    EXPECT_FALSE(sh().bettorscomplete);
    dialogs.ok(box("Bettors", false));
    EXPECT_FALSE(writebettors(cx));
    EXPECT_EQ(folder.read("Bettors"), "");
    EXPECT_EQ(folder.read("Bettorsbackup"), bettors);
    // Lost, it is not complete either: writing it would empty its backup.
    std::filesystem::remove(folder.file("Bettors"));
    dialogs.ok(box("Bettors", true));
    readbettors(cx);
    EXPECT_FALSE(sh().bettorscomplete);
    dialogs.ok(box("Bettors", true));
    EXPECT_FALSE(writebettors(cx));
    EXPECT_EQ(folder.read("Bettorsbackup"), bettors);

    const std::string players = "1,12,\"\",\"ONE\"\r\n";
    folder.write("Players", "");
    folder.write("Playersbackup", players);
    dialogs.ok(box("Players", false));
    readentries(cx);
    EXPECT_FALSE(sh().entriescomplete);
    dialogs.ok(box("Players", false));
    EXPECT_FALSE(writeentries(cx));
    EXPECT_EQ(folder.read("Playersbackup"), players);
}

TEST_F(Emptied, AnOverFullFileGivesItsPoolsNoOdds) {
    sh().maxbets = 2;
    sh().sizetables();
    readentries(cx);
    folder.write("Final 12Bets", "1,1,1,5\r\n1,1,1,5\r\n1,1,1,5\r\n");
    dialogs.allow("holds more bets than the setup's bet capacity");
    sumbets(cx);
    EXPECT_EQ(sh().summ(1).win, Money::dollars(10));
    EXPECT_EQ(sh().summ(1).oddswin, "");
    calcodds(cx);
    EXPECT_EQ(sh().summ(1).oddswin, "");
    resetsumm(sh());
    sumbetsall(cx, false);
    calcoddsall(cx);
    EXPECT_EQ(sh().summ(1).oddswin, "");
    EXPECT_EQ(sh().summ(1).oddsshow, "");
    // Read whole again, the pool gives its odds.
    folder.write("Final 12Bets", "1,1,1,5\r\n");
    sumbets(cx);
    EXPECT_EQ(sh().summ(1).oddswin, " 1/ 1");
}

}  // namespace
}  // namespace vt::test
