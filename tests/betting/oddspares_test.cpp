// Bets placed while the spares beside the Bets files are not what they seem: a FIFO or a folder in
// place of each spare, put there while the program runs or between runs, never holds a bet up or
// blocks its flight, and every bet placed is in the Bets file once.
#include <filesystem>

#include "betfixture.h"
#include "bounded.h"

namespace vt::test {

namespace {

namespace fs = std::filesystem;

enum class Odd { fifo, folder };

}  // namespace

class OddSpares : public BetTest {
  protected:
    int placed = 0;
    // A WIN bet of $1 on entry 7 for SMITH-BOB, paid: it returns in time, and the Bets file and
    // its backup hold each bet placed once.
    void bet() {
        bounded([&] {
            pickbettor("SMITH-BOB");
            place(7, "cmdwin", {2});
            c("cmdpay").click();
        });
        ++placed;
        std::string expected;
        for (int i = 0; i < placed; ++i) expected += "12,7,1,1\r\n";
        EXPECT_EQ(betsfile(3), expected);
        EXPECT_EQ(backupfile(3), expected);
    }
    // Puts `odd` in place of every spare of the program folder (the Bets files', their identity
    // files').
    int plant(Odd odd) {
        int n = 0;
        for (auto& e : fs::directory_iterator(folder.path())) {
            std::string name = e.path().filename().string();
            if (!isspare(name)) continue;
            fs::remove(e.path());
            if (odd == Odd::fifo)
                EXPECT_EQ(::mkfifo(e.path().c_str(), 0644), 0);
            else
                fs::create_directories(e.path() / "sub");
            ++n;
        }
        return n;
    }
    // The betting screen on flight 3.
    void bets() {
        open();
        tick(3);
    }
    // Ends the program and starts it again on the folder, within the time bound.
    void restart() {
        app.reset();
        app = std::make_unique<App>(AppEnvironment{folder.path(), &dialogs, &printed});
        dialogs.answer(vbNo, "Is a printer available");
        bounded([&] { app->start(); });
        betsettings(sh());
        bounded([&] { bets(); });
    }
    void finish() {
        EXPECT_EQ(oddentries(folder.path()), std::vector<std::string>{});
        EXPECT_EQ(dialogs.failures, std::vector<std::string>{});
        EXPECT_EQ(dialogs.pending(), 0u);
    }
};

// Two bets, then every spare made a FIFO, then a folder, while the program runs: each later bet
// is placed at once, also after a restart.
TEST_F(OddSpares, WhileTheProgramRuns) {
    auto ran = inchild([&] {
        bets();
        bet();
        bet();
        EXPECT_GE(plant(Odd::fifo), 2);
        bet();
        bet();
        EXPECT_GE(plant(Odd::folder), 2);
        bet();
        bet();
        restart();
        bet();
        finish();
    });
    EXPECT_TRUE(ran);
}

// The same put there between runs: the start clears them, and the bets go on.
TEST_F(OddSpares, BetweenRuns) {
    auto ran = inchild([&] {
        bets();
        bet();
        bet();
        app.reset();
        EXPECT_GE(plant(Odd::fifo), 2);
        restart();
        bet();
        app.reset();
        EXPECT_GE(plant(Odd::folder), 2);
        restart();
        bet();
        bet();
        finish();
    });
    EXPECT_TRUE(ran);
}

}  // namespace vt::test
