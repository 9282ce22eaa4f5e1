#include "records/filelines.h"
#include "setuptest.h"

using namespace vt;

namespace {

class Settings : public vt::test::SetupTest {
  protected:
    void type(const std::string& box, const std::string& text, int index = -1) {
        init().control(box, index).settext(text);
        init().control(box, index).keypress(vbKeyReturn);
    }
    // Field n (1-based) of the saved setup record.
    std::string field(int n) {
        return recordfields(folder.read("Init"), static_cast<size_t>(n)).back().text;
    }
};

TEST_F(Settings, RoundOptionsSetRoundAndBannerWithoutSaving) {
    start();
    std::string saved = folder.read("Init");
    init().control("Option2").click();
    EXPECT_EQ(sh().curround, "Round2");
    EXPECT_EQ(init().control("txtbanner").text(), "Masters - Round 2");
    init().control("Option4").click();
    EXPECT_EQ(sh().banner, "Masters - Final Round");
    EXPECT_EQ(init().control("Option2").value(), 0);
    EXPECT_EQ(folder.read("Init"), saved);
}

TEST_F(Settings, ABannerBoxSavesTheSetupFileAndShowsOnlyTheCurrentRound) {
    start();
    dialogs.ok("Round 2 banner information changed");
    type("txtbanner2", "Spring Open - Day 2");
    EXPECT_EQ(dialogs.shown.back().title, "Setup");
    EXPECT_EQ(field(2), "Spring Open - Day 2");
    EXPECT_EQ(sh().banner, "Masters - Round 1");
    EXPECT_EQ(init().control("txtbanner").text(), "Masters - Round 1");

    dialogs.ok("Round 1 banner information changed");
    type("txtbanner1", "Spring Open - Day 1");
    EXPECT_EQ(sh().banner, "Spring Open - Day 1");
    EXPECT_EQ(init().control("txtbanner").text(), "Spring Open - Day 1");
    EXPECT_EQ(field(1), "Spring Open - Day 1");

    // A banner the setup file cannot hold is refused; nothing changes.
    std::string saved = folder.read("Init");
    dialogs.ok("double quote");
    type("txtbannerfinal", "The \"Big\" One");
    EXPECT_EQ(sh().bannerfinal, "Masters - Final Round");
    EXPECT_EQ(init().control("txtbannerfinal").text(), "Masters - Final Round");
    EXPECT_EQ(folder.read("Init"), saved);
}

TEST_F(Settings, FlightNamesArePaddedToTenAndLimitedToNine) {
    start();
    dialogs.ok("Flight  3 changed to GOLD      ");
    type("txtflight", "GOLD", 2);
    EXPECT_EQ(sh().flightnames[3], "GOLD      ");
    EXPECT_EQ(init().control("txtflight", 2).text(), "GOLD      ");
    EXPECT_EQ(dialogs.shown.back().title, "Vantrope");

    dialogs.ok("Flight  4 changed to NINELETRS ");
    type("txtflight", "NINELETRS", 3);
    EXPECT_EQ(sh().flightnames[4], "NINELETRS ");

    // An unchanged default name is accepted: its trailing blanks are padding.
    dialogs.ok("Flight  1 changed to A -       ");
    init().control("txtflight", 0).keypress(vbKeyReturn);
    EXPECT_EQ(sh().flightnames[1], "A -       ");

    dialogs.ok("Maximum flight name length is 9 characters");
    type("txtflight", "TENLETTERS", 4);
    EXPECT_EQ(dialogs.shown.back().title, "Flight Name");
    EXPECT_EQ(sh().flightnames[5], "E -       ");
    EXPECT_EQ(init().control("txtflight", 4).text(), "E -       ");

    // Saved with the next GO TO MENU.
    init().control("cmdok").click();
    EXPECT_NE(folder.read("Init").find("\"GOLD      \",\"NINELETRS \""), std::string::npos);
}

TEST_F(Settings, WithholdingTakesOnlyANumberBelow100) {
    start();
    dialogs.ok("Withholding factor changed to 10 %");
    type("txtwith", "10");
    EXPECT_EQ(sh().housepct, "10");
    for (const char* bad : {"abc", "100", "-5", "12x", "1e1", "1,5", "99.99999"}) {
        dialogs.ok("Withholding must be a number");
        type("txtwith", bad);
        EXPECT_EQ(sh().housepct, "10") << bad;
    }
    dialogs.ok("Withholding factor changed to 0 %");
    type("txtwith", "0");
    EXPECT_EQ(sh().housepct, "0");
}

TEST_F(Settings, RoundingBetButtonsAndPrintingCycle) {
    start();
    for (int i = 0; i < 4; ++i) init().control("cmdround").click();
    EXPECT_EQ(init().control("cmdround").caption(), "Round payoff to nearest 1.00");
    init().control("cmdround").click();
    EXPECT_EQ(sh().roundingchoice, 1);
    EXPECT_EQ(init().control("cmdround").caption(), "Round payoff to nearest 0.01");

    sh().betbuttons[5] = 11;
    init().control("cmdbamount", 5).click();
    EXPECT_EQ(sh().betbuttons[5], 12);
    EXPECT_EQ(init().control("cmdbamount", 5).caption(), " ");
    init().control("cmdbamount", 5).click();
    EXPECT_EQ(init().control("cmdbamount", 5).caption(), "+.25");

    init().control("cmdprint").click();
    EXPECT_EQ(sh().printswitch, "yes");
    EXPECT_EQ(init().control("cmdprint").caption(), "Printing to the default printer is active");
    init().control("cmdprint").click();
    EXPECT_EQ(sh().printswitch, "no");
    sh().printswitch = "maybe";
    init().control("cmdprint").click();
    EXPECT_EQ(sh().printswitch, "maybe");
    EXPECT_EQ(init().control("cmdprint").caption(), "All printing is suppressed");

    // Saved by GO TO MENU.
    init().control("cmdround").click();
    init().control("cmdok").click();
    EXPECT_EQ(field(8), "2");
    EXPECT_EQ(field(14), "1");
}

TEST_F(Settings, TutorialMessageOncePerLoadOfTheTutorialScreen) {
    start();
    dialogs.ok("web site");
    init().control("cmdtutor1").click();
    dialogs.ok("web site");
    init().control("cmdtutor2").click();
    EXPECT_EQ(dialogs.shown.back().style, vbOKOnly);

    dialogs.ok("web site");
    showtutor(*app, "vtutdir.swf");
    EXPECT_EQ(sh().tutorfile, "vtutdir.swf");
    showtutor(*app, "vtutfix.swf");  // still loaded: no second message
    app->form("frmtutor").control("cmdreplay").click();
    app->form("frmtutor").control("cmdreturn").click();
    EXPECT_FALSE(app->isloaded("frmtutor"));
    EXPECT_TRUE(init().visible());
    dialogs.ok("web site");
    showtutor(*app, "vtutbets.swf");
}

}  // namespace
