// One running copy per folder: a second copy of the program on a folder another copy holds says so
// and ends, changing nothing; a data folder another copy holds is refused; the lock goes with the
// process that held it, however that process ends.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "../betting/betfixture.h"
#include "bounded.h"
#include "platform/folderlock.h"
#include "setuptest.h"

namespace vt::test {

namespace {

namespace fs = std::filesystem;

const char* const kInUse = "is in use by another copy of the program";

// Everything in a folder tree: every name, folders too, with the bytes of each file and where
// each link points (links are not followed, nothing but a plain file is opened).
std::map<std::string, std::string> everything(const std::string& folder) {
    std::map<std::string, std::string> out;
    for (auto& e : fs::recursive_directory_iterator(folder)) {
        std::string name = fs::relative(e.path(), folder).string();
        if (e.is_symlink()) {
            out[name + " ->"] = fs::read_symlink(e.path()).string();
            continue;
        }
        if (e.is_directory()) {
            out[name + "/"] = "";
            continue;
        }
        if (!e.is_regular_file()) {
            out[name + " |"] = "";
            continue;
        }
        std::ifstream in(e.path(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        out[name] = ss.str();
    }
    return out;
}

// A copy started on `folder` that said, in its only box, that the folder is in use, and ended
// before its setup screen.
::testing::AssertionResult refusedat(const std::string& folder) {
    ScriptedDialogs dialogs;
    CapturePrintSink printed;
    App copy(AppEnvironment{folder, &dialogs, &printed});
    dialogs.allow("");
    copy.start();
    auto boxes = dialogs.prompts();
    if (!copy.ended() || copy.isloaded("frminit") || boxes.size() != 1 ||
        boxes[0].find(kInUse) == std::string::npos ||
        boxes[0].find("C:\\Vantrope\\") == std::string::npos)
        return ::testing::AssertionFailure()
               << "boxes: " << ::testing::PrintToString(boxes) << ", ended " << copy.ended();
    return ::testing::AssertionSuccess();
}

// A copy started on `folder` that went on to its printer question, with no other box.
::testing::AssertionResult startedat(const std::string& folder) {
    ScriptedDialogs dialogs;
    CapturePrintSink printed;
    App copy(AppEnvironment{folder, &dialogs, &printed});
    dialogs.answer(vbNo, "Is a printer available");
    copy.start();
    if (copy.ended() || !dialogs.failures.empty() || dialogs.pending() != 0)
        return ::testing::AssertionFailure() << ::testing::PrintToString(dialogs.prompts());
    return ::testing::AssertionSuccess();
}

// One line through a pipe between the two processes of a test.
void tell(int fd, const std::string& line) {
    std::string l = line + "\n";
    if (::write(fd, l.data(), l.size()) != static_cast<ssize_t>(l.size())) ::_exit(3);
}
std::string hear(int fd) {
    std::string l;
    char c;
    while (::read(fd, &c, 1) == 1 && c != '\n') l += c;
    return l;
}

// A process of its own running a copy of the program; the test talks to it through two pipes.
struct OtherCopy {
    pid_t pid = -1;
    int from = -1, to = -1;  // its lines to the test, the test's to it
    // Runs `body(tellfd, hearfd)` in a new process, which ends with body's result.
    explicit OtherCopy(const std::function<int(int, int)>& body) {
        int up[2], down[2];
        if (::pipe(up) != 0 || ::pipe(down) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            ::close(up[0]);
            ::close(down[1]);
            int code = 4;
            try {
                code = body(up[1], down[0]);
            } catch (const std::exception& e) {
                tell(up[1], std::string("error ") + e.what());
            } catch (...) {
                tell(up[1], "error");
            }
            ::_exit(code);
        }
        ::close(up[1]);
        ::close(down[0]);
        from = up[0];
        to = down[1];
    }
    // Its exit status (-1 when it did not end normally).
    int wait() {
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ~OtherCopy() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        if (from >= 0) ::close(from);
        if (to >= 0) ::close(to);
    }
};

// Players and bettors for the betting screen.
void betfolder(const TempFolder& folder) {
    folder.write("Players", "1,1,\"\",\"ADAMS\"\r\n7,3,\"\",\"CARTER\"\r\n");
    folder.write("Bettors", "1,\"AnyBettor\"\r\n12,\"SMITH-BOB\"\r\n");
}

// Amounts in cents of the WIN bets of bettor 12 on entry 7 a Bets file holds.
std::multiset<long> winbets(const std::string& bytes) {
    std::multiset<long> out;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("12,7,1,", 0) != 0) continue;
        out.insert(std::lround(std::stod(line.substr(7)) * 100));
    }
    return out;
}

// The first copy: started on the folder, at the betting screen, it says "held" and waits for a
// word; then it places `n` WIN bets of 25 cents times 1..n, saying the cents of each bet the
// screen showed as placed, and "done" at the end; it ends at the next word.
int bettingcopy(const std::string& folder, int n, int up, int down) {
    ScriptedDialogs dialogs;
    CapturePrintSink printed;
    App app(AppEnvironment{folder, &dialogs, &printed});
    dialogs.answer(vbNo, "Is a printer available");
    app.start();
    if (app.ended()) return 2;
    betsettings(app.shared());
    Form& bet = app.form("frmbet");
    bet.show();
    bet.control("Check1", 2).click();  // flight 3
    Control& bettor = bet.control("cbobettor");
    for (int i = 0; i < bettor.listcount(); ++i)
        if (bettor.list(i) == "SMITH-BOB") bettor.setlistindex(i);
    tell(up, "held");
    hear(down);
    for (int i = 1; i <= n; ++i) {
        Money before = app.shared().newtotal;
        size_t boxes = dialogs.shown.size();
        Control& entries = bet.control("lstentries");
        entries.setlistindex(entries.findbydata(7));
        bet.control("cmdwin").click();
        for (int k = 0; k < i; ++k) bet.control("cmdbamount", 1).click();
        bet.control("cmddone").click();
        if (dialogs.shown.size() == boxes &&
            app.shared().newtotal == before + Money::units(2500 * i))
            tell(up, std::to_string(25 * i));
    }
    tell(up, "done");
    hear(down);  // it holds the folder until the test has seen the last bet
    return dialogs.failures.empty() ? 0 : 1;
}

}  // namespace

// Two processes on one program folder: the second is refused at its start and changes nothing
// while the first holds the folder; it keeps being refused while the first bets, and every bet
// the first showed as placed is in the Bets file once, its backup the same.
TEST(OneCopy, ASecondCopyStandsAsideWhileTheFirstBets) {
    TempFolder folder;
    betfolder(folder);
    const int n = 24;
    OtherCopy first([&](int up, int down) { return bettingcopy(folder.path(), n, up, down); });
    ASSERT_GT(first.pid, 0);
    ASSERT_EQ(hear(first.from), "held");

    auto before = everything(folder.path());
    EXPECT_TRUE(refusedat(folder.path()));
    EXPECT_EQ(everything(folder.path()), before);

    tell(first.to, "go");
    std::multiset<long> placed;
    int refused = 0;
    for (std::string line = hear(first.from); line != "done" && !line.empty();
         line = hear(first.from)) {
        placed.insert(std::stol(line));
        // Started again and again while the first commits its bets.
        if (refusedat(folder.path())) ++refused;
    }
    tell(first.to, "end");
    EXPECT_EQ(first.wait(), 0);
    EXPECT_EQ(refused, static_cast<int>(placed.size()));
    EXPECT_EQ(placed.size(), static_cast<size_t>(n));
    EXPECT_EQ(winbets(folder.read("Round1 3Bets")), placed);
    EXPECT_EQ(folder.read("Round1 3Betsbackup"), folder.read("Round1 3Bets"));
    // The first has ended: the folder is free.
    EXPECT_TRUE(startedat(folder.path()));
}

// The lock goes with the process: a copy killed while it holds the folder leaves it to the next
// start at once, and that start clears what the killed copy left half-made.
TEST(OneCopy, ACopyKilledWhileItHoldsTheFolderLeavesItToTheNextStart) {
    TempFolder folder;
    OtherCopy first([&](int up, int) -> int {
        ScriptedDialogs dialogs;
        CapturePrintSink printed;
        App app(AppEnvironment{folder.path(), &dialogs, &printed});
        dialogs.answer(vbNo, "Is a printer available");
        app.start();
        folder.write("Bettors.tmp~", "1,\"AnyBettor\"\r\n");  // a change it was making
        tell(up, app.ended() ? "ended" : "held");
        for (;;) ::pause();
    });
    ASSERT_GT(first.pid, 0);
    ASSERT_EQ(hear(first.from), "held");
    EXPECT_TRUE(refusedat(folder.path()));
    EXPECT_TRUE(folder.exists("Bettors.tmp~"));

    ::kill(first.pid, SIGKILL);
    EXPECT_EQ(first.wait(), -1);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_TRUE(startedat(folder.path()));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
    EXPECT_FALSE(folder.exists("Bettors.tmp~"));
}

// A lock file that is not a plain file (a link, a folder, a FIFO) is no file system that cannot
// lock: the copy names the file and what to do, and ends changing nothing, as a second copy does.
// Once the lock file is a plain file again (or gone), the program runs.
TEST(OneCopy, ALockFileThatIsNoPlainFileEndsTheCopyChangingNothing) {
    struct Case {
        const char* what;
        std::function<void(const std::string& lock, const TempFolder& elsewhere)> make;
    };
    const Case cases[] = {
        {"a link",
         [](auto& lock, auto& elsewhere) { fs::create_symlink(elsewhere.file("target"), lock); }},
        {"a link",
         [](auto& lock, auto& elsewhere) { fs::create_symlink(elsewhere.file("none"), lock); }},
        {"a link",
         [](auto& lock, auto& elsewhere) { fs::create_directory_symlink(elsewhere.path(), lock); }},
        {"a folder", [](auto& lock, auto&) { fs::create_directories(lock + "/inside"); }},
        {"not a plain file", [](auto& lock, auto&) { ASSERT_EQ(::mkfifo(lock.c_str(), 0644), 0); }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TempFolder folder, elsewhere;
        betfolder(folder);
        elsewhere.write("target", "not a lock\r\n");
        const std::string lock = folder.file(FolderLock::kLockName);
        k.make(lock, elsewhere);
        const auto before = everything(folder.path()), there = everything(elsewhere.path());
        auto ran = inchild([&] {
            ScriptedDialogs dialogs;
            CapturePrintSink printed;
            App copy(AppEnvironment{folder.path(), &dialogs, &printed});
            dialogs.ok("The lock file C:\\Vantrope\\.Vantrope.lock is " + std::string(k.what));
            bounded([&] { copy.start(); });
            EXPECT_TRUE(copy.ended());
            EXPECT_FALSE(copy.isloaded("frminit"));
            ASSERT_EQ(dialogs.shown.size(), 1u);
            EXPECT_TRUE(dialogs.saw("Remove or rename .Vantrope.lock"));
            EXPECT_TRUE(dialogs.saw("This copy ends without changing anything."));
            EXPECT_EQ(dialogs.failures, std::vector<std::string>{});
        });
        EXPECT_TRUE(ran);
        EXPECT_EQ(everything(folder.path()), before);
        EXPECT_EQ(everything(elsewhere.path()), there);
        fs::remove_all(lock);
        EXPECT_TRUE(startedat(folder.path()));
    }
}

class OneCopyStart : public SetupTest {};

// The first copy's change in progress (its journal and new files) is not a crash's leftovers to
// a second copy: nothing of it is completed, discarded or swept.
TEST_F(OneCopyStart, ASecondCopyLeavesTheFirstsChangeInProgressAlone) {
    start();
    const std::string p = folder.path();
    folder.write("Bettors", "1,\"AnyBettor\"\r\n");
    folder.write("Bettors.tmp~", "1,\"AnyBettor\"\r\n2,\"NEW\"\r\n");
    folder.write("Journal.new~", "VANTROPE JOURNAL 1\nR " + p + "/Bettors\n");
    fs::create_directory(folder.file("Round1"));
    folder.write("Round1/stray.tmp~", "x");
    auto before = everything(p);
    EXPECT_TRUE(refusedat(p));
    EXPECT_EQ(everything(p), before);
}

// The lock file is the program's own: the file lists do not show it.
TEST_F(OneCopyStart, TheLockFileIsNotAmongTheFolderFiles) {
    start();
    EXPECT_TRUE(folder.exists(FolderLock::kLockName));
    for (auto& name : app->files().listfiles("C:\\Vantrope\\"))
        EXPECT_EQ(name.find("lock"), std::string::npos) << name;
}

// Some network shares cannot lock: the start says so once, and the program goes on.
TEST_F(OneCopyStart, AFolderThatCannotLockIsSaidOnceAndTheProgramGoesOn) {
    app = std::make_unique<App>(AppEnvironment{folder.path(), &dialogs, &printed, [](int, int) {
                                                   errno = ENOLCK;
                                                   return -1;
                                               }});
    dialogs.ok("C:\\Vantrope\\ cannot be locked");
    start();
    EXPECT_FALSE(app->ended());
    EXPECT_TRUE(dialogs.saw(std::strerror(ENOLCK)));
    // The setup screen loaded again (back from the data folder screen) does not say it again.
    init().control("cmddir").click();
    dialogs.answer(vbNo, "Is a printer available");
    app->form("frmdir").control("cmdreturn").click();
    EXPECT_EQ(dialogs.shown.size(), 3u);
}

class HeldDataFolder : public SetupTest {
  protected:
    TempFolder drive;
    std::string bets() const { return drive.file("BETS"); }
    void SetUp() override {
        setenv("VANTROPE_DRIVE_D", drive.path().c_str(), 1);
        fs::create_directory(bets());
    }
    void TearDown() override {
        unsetenv("VANTROPE_DRIVE_D");
        SetupTest::TearDown();
    }
    Form& dir() { return app->form("frmdir"); }
};

// A data folder step to a folder another copy holds is refused with the box: the data folder,
// the setup file and the lists stay as they were. Once that copy has ended the step is taken, and
// this copy holds the folder until GO TO MENU makes the program folder the data folder again.
TEST_F(HeldDataFolder, AStepToAFolderAnotherCopyHoldsIsRefused) {
    start();
    init().control("cmddir").click();
    const std::string stored = folder.read("Init");
    {
        ScriptedDialogs od;
        CapturePrintSink op;
        App other(AppEnvironment{bets(), &od, &op});
        od.answer(vbNo, "Is a printer available");
        other.start();
        ASSERT_FALSE(other.ended());
        const auto there = everything(bets());

        dialogs.ok(kInUse);
        dir().control("Dir1").setpath("D:\\BETS");
        EXPECT_NE(dialogs.shown.back().prompt.find("D:\\BETS\\"), std::string::npos);
        EXPECT_NE(dialogs.shown.back().prompt.find("The data folder was not changed."),
                  std::string::npos);
        EXPECT_EQ(sh().datapath, "C:\\Vantrope\\");
        EXPECT_EQ(dir().control("txtdrivedir").text(), "C:\\Vantrope\\");
        EXPECT_EQ(dir().control("Dir1").path, "C:\\Vantrope");
        EXPECT_EQ(folder.read("Init"), stored);
        EXPECT_EQ(everything(bets()), there);
    }
    dir().control("Dir1").setpath("D:\\BETS");
    EXPECT_EQ(sh().datapath, "D:\\BETS\\");
    EXPECT_NE(folder.read("Init").find("\"D:\\BETS\\\""), std::string::npos);
    EXPECT_TRUE(refusedat(bets()));
    // Back on the setup screen the folder is still this copy's.
    dialogs.answer(vbNo, "Is a printer available");
    dir().control("cmdreturn").click();
    EXPECT_TRUE(refusedat(bets()));
    init().control("cmdok").click();
    EXPECT_TRUE(startedat(bets()));
}

// A data folder whose lock file is a folder ends the start as a copy holding it would, naming
// that lock file; nothing there is swept or read.
TEST_F(HeldDataFolder, AStartOnADataFolderWhoseLockFileIsAFolderEnds) {
    folder.write("Init", setuprecord("3,\"no\",1,\"Round1\",1,4,5,8,9,5000,1000,1000,\"1\"",
                                     "\"B1\",\"B2\",\"B3\",\"BF\"", "D:\\BETS\\"));
    fs::create_directory(bets() + "/" + FolderLock::kLockName);
    drive.write("BETS/Players.tmp~", "1,1,\"\",\"NEW\"\r\n");
    const auto there = everything(bets());
    dialogs.ok("The lock file D:\\BETS\\.Vantrope.lock is a folder");
    app->start();
    EXPECT_TRUE(app->ended());
    EXPECT_NE(dialogs.shown.back().prompt.find("This copy ends"), std::string::npos);
    EXPECT_FALSE(dialogs.saw("Is a printer available"));
    EXPECT_EQ(everything(bets()), there);
}

// A start whose stored data folder another copy holds says so and ends before anything there
// is swept or read.
TEST_F(HeldDataFolder, AStartOnADataFolderAnotherCopyHoldsEnds) {
    folder.write("Init", setuprecord("3,\"no\",1,\"Round1\",1,4,5,8,9,5000,1000,1000,\"1\"",
                                     "\"B1\",\"B2\",\"B3\",\"BF\"", "D:\\BETS\\"));
    ScriptedDialogs od;
    CapturePrintSink op;
    App other(AppEnvironment{bets(), &od, &op});
    od.answer(vbNo, "Is a printer available");
    other.start();
    drive.write("BETS/Players.tmp~", "1,1,\"\",\"NEW\"\r\n");  // its change in progress
    const auto there = everything(bets());

    dialogs.ok(kInUse);
    app->start();
    EXPECT_TRUE(app->ended());
    EXPECT_NE(dialogs.shown.back().prompt.find("D:\\BETS\\"), std::string::npos);
    EXPECT_NE(dialogs.shown.back().prompt.find("This copy ends"), std::string::npos);
    EXPECT_FALSE(dialogs.saw("Is a printer available"));
    EXPECT_EQ(everything(bets()), there);
}

}  // namespace vt::test
