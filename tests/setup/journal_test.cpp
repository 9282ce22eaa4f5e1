// A change journal the program did not write in this folder, or cannot read, is refused with one
// box naming it, and nothing it names is touched.
#include "platform/journal.h"

#include <filesystem>

#include "faults.h"
#include "journals.h"
#include "setuptest.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

class Journal : public SetupTest {
  protected:
    TempFolder outside;
    const std::string players = "1,1,\"\",\"JONES\"\r\n";
    const std::string bettors = "1,\"AnyBettor\"\r\n2,\"SMITH\"\r\n";
    std::map<std::string, std::string> decoy;  // the outside folder as it was
    std::string p;
    void SetUp() override {
        p = folder.path();
        folder.write("Init", firstrunrecord());
        folder.write("Players", players);
        folder.write("Bettors", bettors);
        folder.write("Bettorsbackup", bettors);
        outside.write("X", "keep x");
        outside.write("X.tmp~", "not ours");
        outside.write("Y", "keep y");
        outside.write("Bettors", "theirs");
        outside.write("Bettors.tmp~", "their change");
        decoy = snapshot(outside.path());
        // A linked folder inside the program folder whose real location is the outside one.
        fs::create_directory_symlink(outside.path(), folder.file("Archive"));
    }
    // The journal this program writes here for deleting both Bettors files.
    std::string own() const {
        return sealedjournal(p, {{'D', p + "/Bettors"}, {'D', p + "/Bettorsbackup"}});
    }
    // Starts with no box but the printer question; the data files and the outside stay.
    void startquiet(const std::string& why) {
        start();
        EXPECT_EQ(dialogs.shown.size(), 1u) << why;
        EXPECT_EQ(folder.read("Bettors"), bettors) << why;
        EXPECT_EQ(folder.read("Bettorsbackup"), bettors) << why;
        EXPECT_EQ(snapshot(outside.path()), decoy) << why;
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
        // One box for the click: the journal's, and none blaming the folder names.
        size_t shown = dialogs.shown.size();
        dialogs.ok("Journal~");
        app->form("frminit").control("cmdok").click();
        EXPECT_EQ(journalboxes(), 2) << why;
        EXPECT_EQ(dialogs.shown.size(), shown + 1) << why;
        for (auto& s : dialogs.shown) EXPECT_EQ(s.prompt.find("Bets"), std::string::npos) << why;
        EXPECT_EQ(outside.read("X"), "keep x") << why;
        EXPECT_EQ(outside.read("X.tmp~"), "not ours") << why;
        EXPECT_EQ(outside.read("Y"), "keep y") << why;
        EXPECT_EQ(snapshot(outside.path()), decoy) << why;
        EXPECT_EQ(folder.read("Players"), players) << why;
        EXPECT_EQ(folder.read("Bettors"), bettors) << why;
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

TEST_F(Journal, OneWithoutItsSealIsRefused) {
    folder.write("Journal~", std::string(journal::kHeader) + "D " + p + "/Bettors\nD " + p +
                                 "/Bettorsbackup\nEND 2\n");
    startrefused("no seal");
}

TEST_F(Journal, OneOfThisProgramWithItsSealCutOutIsRefused) {
    std::string text = own();
    size_t seal = text.find(journal::kSeal);
    folder.write("Journal~", text.substr(0, seal) + text.substr(text.find('\n', seal) + 1));
    startrefused("seal cut out");
}

TEST_F(Journal, OneWithALineAfterItsSealIsRefused) {
    std::string text = own();
    size_t end = text.find("END 2");
    folder.write("Journal~", text.substr(0, end) + "D " + outside.file("Y") + "\nEND 3\n");
    startrefused("a change after the seal");
}

TEST_F(Journal, OneSealedHereNamingFilesThroughALinkOutIsRefused) {
    folder.write("Journal~", sealedjournal(p, {{'R', p + "/Archive/Bettors"}}));
    startrefused("sealed here, through a link");
}

TEST_F(Journal, OneHoldingAZeroByteKeepsTheFileItNames) {
    const std::string cut = std::string(journal::kHeader) + "R " + p + "/Bettors";
    for (const char* name : {"Journal~", "Journal.new~"}) {
        // Zero bytes at its end: where a power cut left it.
        folder.write(name, cut + std::string(3, '\0'));
        app = std::make_unique<App>(AppEnvironment{p, &dialogs, &printed});
        dialogs.shown.clear();
        startquiet(name);
        EXPECT_FALSE(folder.exists(name)) << name;
    }
    // A journal never made is only taken away, whatever it holds.
    folder.write("Journal.new~", cut + std::string(1, '\0') + "\n");
    app = std::make_unique<App>(AppEnvironment{p, &dialogs, &printed});
    dialogs.shown.clear();
    startquiet("Journal.new~ with a zero byte inside");
    EXPECT_FALSE(folder.exists("Journal.new~"));
    // One to be made is refused.
    folder.write("Journal~", cut + std::string(1, '\0') + "\n");
    app = std::make_unique<App>(AppEnvironment{p, &dialogs, &printed});
    dialogs.shown.clear();
    startrefused("a zero byte inside a path");
}

TEST_F(Journal, AControlCharacterInAPathRefusesTheJournal) {
    folder.write("Journal~", std::string(journal::kHeader) + "R " + p + "/Bett\x01ors\n");
    startrefused("a control character");
}

TEST_F(Journal, OnesCutShortRemoveNoTemporaryOutsideAndTheSweepFollowsNoLink) {
    // No journal at all: the start sweeps the program folder, not the linked one.
    folder.write("Bettors.tmp~", "stray");
    startquiet("sweep");
    EXPECT_FALSE(folder.exists("Bettors.tmp~"));
    // A journal of a commit that never happened, naming a file outside, directly and through
    // the link.
    for (const std::string& host : {outside.file("Bettors"), p + "/Archive/Bettors"}) {
        std::string text = sealedjournal(p, {{'R', host}});
        folder.write("Journal.new~", text);
        app = std::make_unique<App>(AppEnvironment{p, &dialogs, &printed});
        dialogs.shown.clear();
        startquiet(host);
        EXPECT_FALSE(folder.exists("Journal.new~"));
        // Cut before its end, as Journal~.
        folder.write("Journal~", text.substr(0, text.find("END")));
        app = std::make_unique<App>(AppEnvironment{p, &dialogs, &printed});
        dialogs.shown.clear();
        startquiet(host);
        EXPECT_FALSE(folder.exists("Journal~"));
    }
}

TEST_F(Journal, OneThatIsALinkIsRefused) {
    outside.write("Journal", own());
    fs::create_symlink(outside.file("Journal"), folder.file("Journal~"));
    decoy = snapshot(outside.path());
    startrefused("a link");
}

TEST_F(Journal, AFirstStartMeetingARefusedJournalShowsOneBoxPerClick) {
    fs::remove(folder.file("Init"));
    folder.write("Journal~", own() + "D " + outside.file("Y") + "\n");
    // The setup file cannot be written while the journal waits: the load ends at its box.
    dialogs.ok("Journal~");
    app->start();
    EXPECT_EQ(dialogs.shown.size(), 1u);
    dialogs.ok("Journal~");
    app->form("frminit").control("cmdok").click();
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(journalboxes(), 2);
    EXPECT_FALSE(folder.exists("Init"));
    EXPECT_EQ(folder.read("Bettors"), bettors);
    EXPECT_EQ(snapshot(outside.path()), decoy);
}

TEST_F(Journal, OneSealedInAnotherFolderAndCutShortIsRefused) {
    std::string text = sealedjournal(outside.path(), {{'R', outside.file("Bettors")}});
    folder.write("Journal~", text.substr(0, text.find("END")));
    startrefused("sealed elsewhere, cut");
}

}  // namespace
}  // namespace vt::test
