// A journal recovery will not act on, met while bets are placed: at most one box per click, naming
// it and nothing else, and the files as they were.
#include "betfixture.h"
#include "journals.h"

namespace vt::test {

class RefusedJournalBetTest : public BetTest {
  protected:
    // Runs one action and expects at most one box from it, naming the journal.
    void action(const std::string& what, const std::function<void()>& act) {
        dialogs.shown.clear();
        act();
        EXPECT_LE(dialogs.shown.size(), 1u) << what;
        for (auto& s : dialogs.shown)
            EXPECT_NE(s.prompt.find("Journal~"), std::string::npos) << what << ": " << s.prompt;
    }
};

TEST_F(RefusedJournalBetTest, EachClickGivesOneBoxNamingTheJournal) {
    bets(3, "2,8,1,3\r\n");
    // A change sealed in another program folder.
    folder.write("Journal~", sealedjournal("/elsewhere", {{'D', folder.file("Bettors")}}));
    const std::string bettors = folder.read("Bettors");
    dialogs.allow("Journal~");
    action("open", [&] { open(); });
    action("tick 1", [&] { tick(1); });
    action("tick 3", [&] { tick(3); });
    action("bettor", [&] { pickbettor("SMITH-BOB"); });
    action("bet", [&] { place(7, "cmdwin", {2}); });
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(betsfile(3), "2,8,1,3\r\n");
    EXPECT_EQ(backupfile(3), "2,8,1,3\r\n");
    EXPECT_EQ(folder.read("Bettors"), bettors);
    EXPECT_TRUE(folder.exists("Journal~"));
}

}  // namespace vt::test
