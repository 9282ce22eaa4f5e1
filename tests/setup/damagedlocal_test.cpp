// This computer's own data files damaged before an import or GO TO MENU: a record cut after its
// last comma, and files emptied or lost while their backups hold records. Nothing is imported or
// written over them, and each is named in one box.
#include "computers.h"

namespace vt::test {
namespace {

const std::string kBettors =
    "1,\"AnyBettor\"\r\n2,\"JONES-AL\"\r\n12,\"SMITH-BOB\"\r\n13,\"LEE-SAM\"\r\n14,\"KING\"\r\n";

std::string emptied(const std::string& file, const std::string& backup, bool missing) {
    return std::string(missing ? " 53 File not found" : " 62 Input past end of file") + "\r\n" +
           file + "\r\n" + file + (missing ? " is missing" : " is empty") + ", but " + backup +
           " holds records: it may be damaged, so nothing is written over it.\r\nPut the backup "
           "in its place with Use Backup Files on the main menu.";
}

class DamagedLocalFiles : public ::testing::Test {
  protected:
    Drive e{"E"};
};

TEST_F(DamagedLocalFiles, AnImportOverACutRecordOrAnEmptiedFileIsRefusedBeforeAnyQuestion) {
    Computer a("1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n");
    a.take("Round1", 1, Bet{3, 2, 1, Money::dollars(4)});
    a.exportto("E");
    Computer b(kBettors);
    b.take("Round1", 1, Bet{13, 2, 1, Money::dollars(2)});
    b.take("Round1", 2, Bet{12, 3, 1, Money::dollars(5)});
    const auto whole = snapshot(b.folder);
    struct Damage {
        std::string file, bytes, box, title;
    };
    const Damage damages[] = {
        // The amount and the line end lost: no bet of $0 is read, nothing is appended after it.
        {"Round1 1Bets", "13,2,1,",
         " 13 Type mismatch\r\nRound1 1Bets, line 1\r\nCheck it with Fix Files on the main menu.",
         "Bets Input"},
        {"Round1 2Betsbackup", "12,3,1,5\r\n12,3,,5\r\n",
         " 13 Type mismatch\r\nRound1 2Betsbackup, line 2\r\nCheck it with Fix Files on the main "
         "menu.",
         "Betsbackup Input"},
        {"Bettors", "", emptied("Bettors", "Bettorsbackup", false), "Bettors Input"},
        {"Bettors", "\r\n  \r\n", emptied("Bettors", "Bettorsbackup", false), "Bettors Input"},
        {"Players", "", emptied("Players", "Playersbackup", false), "Players Input"},
        {"Round1 2Bets", "", emptied("Round1 2Bets", "Round1 2Betsbackup", false), "Bets Input"},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.file + ": " + d.bytes);
        for (auto& [name, bytes] : whole) b.folder.write(name, bytes);
        b.folder.write(d.file, d.bytes);
        const auto before = snapshot(b.folder);
        size_t shown = b.dialogs.shown.size();
        const std::string box = d.box + "\r\nNothing was imported.";
        b.dialogs.type("E", "Enter import drive letter").ok("Insert export disk").ok(box);
        b.clickimport();
        ASSERT_EQ(b.dialogs.shown.size(), shown + 3);
        EXPECT_EQ(b.dialogs.shown.back().prompt, box);
        EXPECT_EQ(b.dialogs.shown.back().title, d.title);
        EXPECT_EQ(snapshot(b.folder), before);
    }
    // A Bettors file lost while its backup holds bettors is refused as well.
    for (auto& [name, bytes] : whole) b.folder.write(name, bytes);
    std::filesystem::remove(b.folder.file("Bettors"));
    const auto before = snapshot(b.folder);
    b.dialogs.type("E", "Enter import drive letter")
        .ok("Insert export disk")
        .ok(emptied("Bettors", "Bettorsbackup", true));
    b.clickimport();
    EXPECT_EQ(snapshot(b.folder), before);
    // The files whole again, the same drive imports, and every bettor keeps the number its bets
    // name.
    for (auto& [name, bytes] : whole) b.folder.write(name, bytes);
    b.importfrom("E");
    EXPECT_EQ(b.bettors()[12], "SMITH-BOB");
    EXPECT_EQ(b.bettors()[13], "LEE-SAM");
    EXPECT_EQ(b.read("Round1 2Bets"), "12,3,1,5\r\n");
    EXPECT_EQ(b.bettors()[15], "SMITH-JO");
    EXPECT_EQ(b.read("Round1 1Bets"), "13,2,1,2\r\n15,2,1,4\r\n");
}

TEST_F(DamagedLocalFiles, AnExportOfAnEmptiedFileIsRefusedAndWritesNothingToTheDrive) {
    Computer a(kBettors);
    a.take("Round1", 1, Bet{13, 2, 1, Money::dollars(2)});
    a.folder.write("Round1 1Bets", "");
    a.dialogs.type("E", "Enter target export drive letter.")
        .ok("Insert blank disk")
        .ok(emptied("Round1 1Bets", "Round1 1Betsbackup", false) + "\r\nNothing was exported.");
    a.app->form("frminit").control("cmdexport").click();
    EXPECT_TRUE(snapshot(e.folder).empty());
}

class GoToMenuOverLostFiles : public SetupTest {};

// GO TO MENU makes a missing file empty beside a backup that holds records, and leaves the
// backup as it is; the screens then tell of the file as damaged until Use Backup Files puts the
// backup back.
TEST_F(GoToMenuOverLostFiles, AMissingPlayersOrBettorsFileNeverEmptiesItsBackup) {
    const std::string players = "1,1,\"\",\"ADAMS\"\r\n";
    folder.write("Playersbackup", players);
    folder.write("Bettorsbackup", kBettors);
    tomenu();
    EXPECT_EQ(folder.read("Players"), "");
    EXPECT_EQ(folder.read("Playersbackup"), players);
    EXPECT_EQ(folder.read("Bettors"), "");
    EXPECT_EQ(folder.read("Bettorsbackup"), kBettors);
    dialogs.ok(emptied("Bettors", "Bettorsbackup", false));
    app->form("frmmenu").control("cmdenterbettors").click();
    EXPECT_EQ(dialogs.shown.back().title, "Bettors Input");
    EXPECT_EQ(app->form("frmbettor").control("cbobettornames").listcount(), 0);
    EXPECT_EQ(folder.read("Bettors"), "");
    // Back at the menu, Use Backup Files puts Bettorsbackup in its place.
    app->form("frmbettor").control("cmdreturn").click();
    Form& menu = app->form("frmmenu");
    menu.control("cmdbackup").click();
    dialogs.answer(vbNo, "Replace flight")
        .answer(vbNo, "Replace Players")
        .answer(vbYes, "Replace Bettors")
        .ok("Bettors file replaced with Bettorsbackup file");
    menu.control("optflight", 1).click();
    EXPECT_EQ(folder.read("Bettors"), kBettors);
    menu.control("cmdenterbettors").click();
    EXPECT_EQ(app->form("frmbettor").control("cbobettornames").listcount(), 5);
}

}  // namespace
}  // namespace vt::test
