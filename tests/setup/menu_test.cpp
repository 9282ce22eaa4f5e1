#include "setup/frmmenu.h"
#include "setuptest.h"

using namespace vt;

namespace {

// A stand-in screen: its caption and a MAIN MENU button back to the menu.
class BareForm : public Form {
  public:
    BareForm(Host& app, const std::string& name) : Form(app, name), app_(app) {
        caption = name;
        auto& b = add(Kind::CommandButton, "cmdreturn", "MAIN MENU", 440, 680, 140, 40);
        b.Click = [this] {
            unload();
            app_.form("frmmenu").show();
        };
    }

  private:
    Host& app_;
};

const char* const kScreens[][2] = {{"cmdbet", "frmbet"},
                                   {"cmdbetsheet", "frmsheetg"},
                                   {"cmdenterbettors", "frmbettor"},
                                   {"cmdenterhorses", "frmentries"},
                                   {"cmdfix", "frmfix"},
                                   {"cmdsummary", "frmsummary"},
                                   {"cmdpay", "frmpay"}};

class Menu : public vt::test::SetupTest {
  protected:
    Menu() {
        // Stand-ins for the working screens: a caption and a MAIN MENU button.
        for (auto& s : kScreens) {
            std::string name = s[1];
            app->registerform(name,
                              [name](Host& a) { return std::make_unique<BareForm>(a, name); });
        }
    }
    frmmenu& menu() { return app->formas<frmmenu>("frmmenu"); }
    // Use Backup Files on flight D: Yes to its Bets file, No to the name files.
    void restoreflightd() {
        dialogs.answer(vbYes, "Replace flight D -        Bets with Betsbackup?")
            .ok("Bet file replaced with Betsbackup file")
            .answer(vbNo, "Replace Players with Playersbackup?")
            .answer(vbNo, "Replace Bettors with Bettorsbackup?");
        menu().control("optflight", 4).click();
    }
};

TEST_F(Menu, EachButtonOpensItsScreenAndMainMenuComesBackToAFreshMenu) {
    tomenu();
    for (auto& s : kScreens) {
        SCOPED_TRACE(s[1]);
        frmmenu* before = &menu();
        before->backupmode = "true";
        before->control(s[0]).click();
        Form& screen = app->form(s[1]);
        EXPECT_TRUE(screen.visible());
        bool pay = std::string(s[1]) == "frmpay";
        EXPECT_EQ(app->isloaded("frmmenu"), pay);
        if (pay) {
            EXPECT_TRUE(before->visible());
        }
        screen.control("cmdreturn").click();
        EXPECT_FALSE(app->isloaded(s[1]));
        EXPECT_TRUE(menu().visible());
        // A fresh menu starts with an empty mode; the payoff screen's return finds the old one.
        EXPECT_EQ(menu().backupmode, pay ? "true" : "");
        menu().backupmode = "";
    }
}

TEST_F(Menu, SetupShowsTheStillLoadedSetupScreenWithoutItsStartUp) {
    tomenu();
    init().control("txtwith").settext("7");
    menu().control("cmdinit").click();
    EXPECT_FALSE(app->isloaded("frmmenu"));
    EXPECT_TRUE(init().visible());
    EXPECT_EQ(init().control("txtwith").text(), "7");  // no second load, no printer question
}

TEST_F(Menu, TheFlightChoiceRestoresInBackupModeAndClearsOtherwise) {
    tomenu();
    folder.write("Round1 4Betsbackup", "1,2,1,5\r\n");
    // Use Backup Files, then Clear/Refund Bets: the first button's mode stands.
    menu().control("cmdbackup").click();
    EXPECT_TRUE(menu().control("fraflight").visible());
    menu().control("cmdclearbets").click();
    restoreflightd();
    EXPECT_EQ(folder.read("Round1 4Bets"), "1,2,1,5\r\n");
    EXPECT_EQ(menu().backupmode, "");
    EXPECT_FALSE(menu().control("fraflight").visible());
    EXPECT_EQ(sh().curflightnbr, 4);
    EXPECT_EQ(sh().curflight, "D -       ");

    // Clear/Refund Bets alone: the chosen flight's clearing question.
    menu().control("cmdclearbets").click();
    dialogs.answer(vbNo, "Click Yes to clear Round1 Flight F -        Bets");
    menu().control("optflight", 6).click();
    EXPECT_EQ(sh().curflightnbr, 6);
}

// A Bets file too large to be read is replaced by its backup all the same: the cashier's way back
// from such damage.
TEST_F(Menu, UseBackupFilesReplacesABetsFileTooLargeToRead) {
    tomenu();
    folder.write("Round1 4Betsbackup", "1,2,1,5\r\n");
    folder.write("Round1 4Bets", "1,2,1,5\r\n");
    std::filesystem::resize_file(folder.file("Round1 4Bets"), Files::kmaxread + 1);
    menu().control("cmdbackup").click();
    restoreflightd();
    EXPECT_EQ(folder.read("Round1 4Bets"), "1,2,1,5\r\n");
}

TEST_F(Menu, ExitProgramEndsWithoutSavingTheSetupFile) {
    tomenu();
    std::string saved = folder.read("Init");
    sh().curround = "Round2";
    menu().control("cmdexit").click();
    EXPECT_TRUE(app->ended());
    EXPECT_FALSE(app->isloaded("frminit"));
    EXPECT_EQ(folder.read("Init"), saved);
}

}  // namespace
