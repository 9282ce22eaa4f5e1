// Boxes that name the file the cashier knows and the true cause, once per action: a bet on a full
// disk, and a Bets file that is empty while its backup cannot be read.
#include <filesystem>

#include "betfixture.h"
#include "faults.h"
#include "fulldisk.h"

namespace vt::test {

namespace {

namespace fs = std::filesystem;

// File-error boxes among prompts (" 61 Disk full ...").
std::vector<std::string> fileboxes(const std::vector<std::string>& prompts, size_t from = 0) {
    std::vector<std::string> out;
    for (size_t i = from; i < prompts.size(); ++i)
        if (prompts[i].size() > 3 && prompts[i][0] == ' ' && std::isdigit(prompts[i][1]))
            out.push_back(prompts[i]);
    return out;
}

}  // namespace

class BoxCause : public BetTest {};

// A bet that meets a full disk is refused with one box naming the Bets file, never the hidden
// identity file beside it, and nothing changes.
TEST_F(BoxCause, ABetOnAFullDiskNamesTheBetsFile) {
    open();
    tick(3);
    pickbettor("SMITH-BOB");
    place(7, "cmdwin", {2});
    c("cmdpay").click();
    ASSERT_EQ(betsfile(3), "12,7,1,1\r\n");
    const auto before = snapshot(folder.path());
    app->files().sethostio(std::make_unique<FullDisk>());
    pickbettor("SMITH-BOB");
    dialogs.ok(" 61 Disk full\r\nRound1 3Bets");
    place(7, "cmdwin", {2});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].prompt.find(".ids"), std::string::npos);
    EXPECT_EQ(snapshot(folder.path()), before);
}

// An empty Bets file whose backup is a folder: every click that meets it shows one box, which
// says that the backup cannot be read (not that it holds records), and nothing changes.
TEST_F(BoxCause, AnEmptyBetsFileWhoseBackupCannotBeReadIsToldOnceAClick) {
    AnsweringDialogs answers;
    app = std::make_unique<App>(AppEnvironment{folder.path(), &answers, &printed});
    betsettings(sh());
    for (int f = 1; f <= 15; ++f) bets(f, "");  // as GO TO MENU leaves them
    fs::remove(folder.file("Round1 3Betsbackup"));
    fs::create_directories(folder.file("Round1 3Betsbackup/inside"));
    const auto before = snapshot(folder.path());
    Form& menu = app->form("frmmenu");
    Form& fix = app->form("frmfix");
    const std::vector<std::pair<const char*, std::function<void()>>> clicks = {
        {"the betting screen opens", [&] { open(); }},
        {"flight 3 ticked", [&] { tick(3); }},
        {"a bettor picked", [&] { pickbettor("SMITH-BOB"); }},
        {"an entry picked", [&] { pickentry(7); }},
        {"WIN", [&] { c("cmdwin").click(); }},
        {"an amount", [&] { c("cmdbamount", 2).click(); }},
        {"the bet placed", [&] { c("cmddone").click(); }},
        {"Fix Files flight 3", [&] { fix.control("optflight", 3).click(); }},
        {"Fix Files shows the Bets file", [&] { fix.control("cmdbets").click(); }},
        {"Fix Files shows its backup", [&] { fix.control("cmdbackup").click(); }},
        {"Use Backup Files", [&] { menu.control("cmdbackup").click(); }},
        {"on flight 3", [&] { menu.control("optflight", 3).click(); }},
        {"Clear Bets", [&] { menu.control("cmdclearbets").click(); }},
        {"of flight 3", [&] { menu.control("optflight", 3).click(); }},
    };
    for (auto& [what, click] : clicks) {
        SCOPED_TRACE(what);
        size_t from = answers.prompts.size();
        click();
        auto boxes = fileboxes(answers.prompts, from);
        ASSERT_LE(boxes.size(), 1u) << ::testing::PrintToString(boxes);
        for (auto& box : boxes) {
            EXPECT_EQ(box.rfind(" 75 Path/File access error\r\nRound1 3Betsbackup", 0), 0u) << box;
            EXPECT_EQ(box.find("holds records"), std::string::npos) << box;
        }
        EXPECT_EQ(snapshot(folder.path()), before);
    }
    EXPECT_TRUE(fs::is_directory(folder.file("Round1 3Betsbackup/inside")));
}

}  // namespace vt::test
