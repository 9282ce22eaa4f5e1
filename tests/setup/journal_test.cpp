// A change journal the program did not write in this folder, or cannot read, is refused with one
// box naming it, and nothing it names is touched.
#include "platform/journal.h"

#include <filesystem>

#include "setuptest.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

class Journal : public SetupTest {
  protected:
    TempFolder outside;
    const std::string players = "1,1,\"\",\"JONES\"\r\n";
    void SetUp() override {
        folder.write("Init", firstrunrecord());
        folder.write("Players", players);
        outside.write("X", "keep x");
        outside.write("X.tmp~", "not ours");
        outside.write("Y", "keep y");
    }
    // The boxes shown so far that name the journal.
    int journalboxes() const {
        int n = 0;
        for (auto& s : dialogs.shown) n += s.prompt.find("Journal~") != std::string::npos;
        return n;
    }
    // Starts with the journal box expected first; then goes to the menu, whose commits are
    // refused too, with one box for the whole click.
    void startrefused(const std::string& why) {
        dialogs.ok("Journal~").answer(vbNo, "Is a printer available");
        app->start();
        EXPECT_EQ(journalboxes(), 1) << why;
        EXPECT_TRUE(dialogs.saw("Move Journal~ out of the program folder")) << why;
        dialogs.ok("Journal~").ok("Make sure drive and directory names are valid");
        app->form("frminit").control("cmdok").click();
        EXPECT_EQ(journalboxes(), 2) << why;
        for (auto& s : dialogs.shown) EXPECT_EQ(s.prompt.find("Bets"), std::string::npos) << why;
        EXPECT_EQ(outside.read("X"), "keep x") << why;
        EXPECT_EQ(outside.read("X.tmp~"), "not ours") << why;
        EXPECT_EQ(outside.read("Y"), "keep y") << why;
        EXPECT_EQ(folder.read("Players"), players) << why;
        EXPECT_TRUE(fs::exists(folder.file("Journal~"))) << why;
        // Moved away as the box says, the program goes on.
        fs::remove_all(folder.file("Journal~"));
        app->form("frminit").control("cmdok").click();
        EXPECT_TRUE(app->form("frmmenu").visible()) << why;
    }
};

TEST_F(Journal, OneNamingFilesElsewhereIsRefusedAndTouchesNothing) {
    const std::string entries = "R " + outside.file("X") + "\nD " + outside.file("Y") + "\n";
    folder.write("Journal~", std::string(journal::kHeader) + entries + "END 2\n");
    startrefused("no seal, files outside the program folder");
}

TEST_F(Journal, OneSealedInAnotherProgramFolderIsRefused) {
    // A program folder copied from elsewhere, with the journal of a change made there.
    StagedFile x{outside.file("X"), "", "", false, ""}, y{outside.file("Y"), "", "", true, ""};
    folder.write("Journal~", journal::journaltext({x, y}, outside.path()));
    startrefused("sealed elsewhere");
}

TEST_F(Journal, OneThatCannotBeReadIsRefused) {
    fs::create_directory(folder.file("Journal~"));
    startrefused("a folder");
}

TEST_F(Journal, OneThatIsNotAJournalIsRefused) {
    folder.write("Journal~", "R " + outside.file("X") + "\nEND 1\n");
    startrefused("no header");
}

TEST_F(Journal, OneWrittenHereIsStillCompletedWhereverItsFilesAre) {
    // A change this program sealed here, to a file outside the program folder (a drive).
    StagedFile x{outside.file("X"), "", "", false, ""};
    folder.write("Journal~", journal::journaltext({x}, folder.path()));
    setenv("VANTROPE_DRIVE_E", outside.path().c_str(), 1);
    start();
    unsetenv("VANTROPE_DRIVE_E");
    EXPECT_EQ(outside.read("X"), "not ours");
    EXPECT_FALSE(outside.exists("X.tmp~"));
    EXPECT_FALSE(fs::exists(folder.file("Journal~")));
}

}  // namespace
}  // namespace vt::test
