// Texts a cashier types that a data file stores: a line break, a tab or another control
// character is refused on every screen that stores a text, and after a restart every file still
// reads whole.
#include "testapp.h"

using namespace vt;

namespace {

// Short enough for a flight name.
const char* const kBroken[] = {"L1\r\nL2",
                               "L1\nL2",
                               "L1\rL2",
                               "A\tB",
                               "A\x01"
                               "B",
                               "A\x7f"
                               "B"};

class TypedText : public vt::test::AppTest {
  protected:
    void startup() {
        dialogs.answer(vbNo, "printer");
        app->start();
    }
    void gotomenu() { app->form("frminit").control("cmdok").click(); }
    // Enter in a box holding `text`, expecting the box `refusal`.
    void enter(Control& box, const std::string& text, const std::string& refusal) {
        box.settext(text);
        dialogs.ok(refusal);
        box.keypress(vbKeyReturn);
    }
    // A new App on the same folder, as after closing and starting the program again.
    void restart() {
        app = std::make_unique<App>(AppEnvironment{folder.path(), &dialogs, &printed});
        startup();
    }
};

TEST_F(TypedText, NamesWithControlCharactersAreRefusedOnEveryScreenThatStoresThem) {
    startup();
    gotomenu();
    const std::string bettorsfile = folder.read("Bettors"), playersfile = folder.read("Players");

    Form& bettor = app->form("frmbettor");
    bettor.show();
    for (const char* bad : kBroken)
        enter(bettor.control("txtbettorname"), bad, "A bettor name cannot contain a line break");
    bettor.unload();

    Form& entries = app->form("frmentries");
    entries.show();
    entries.control("cmbflt").setlistindex(0);
    for (const char* bad : kBroken)
        enter(entries.control("txtentryname"), bad,
              "A player/team name cannot contain a line break");
    // A control character past the 30 characters kept is not stored, so it is no reason to refuse.
    dialogs.ok("HOGAN-BEN" + std::string(21, 'X') + " added");
    entries.control("txtentryname").settext("hogan-ben" + std::string(21, 'x') + "\r\nMORE");
    entries.control("txtentryname").keypress(vbKeyReturn);
    // CHANGE refuses before it asks.
    Control& lst = entries.control("lstentries");
    lst.setlistindex(0);
    entries.control("txtentryname").settext("NEW\nNAME");
    dialogs.ok("line break");
    entries.control("cmdupdate").click();
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"HOGAN-BEN" + std::string(21, 'X') + "\"\r\n");
    EXPECT_EQ(folder.read("Playersbackup"), folder.read("Players"));
    entries.unload();

    Form& bet = app->form("frmbet");
    bet.show();
    for (const char* bad : kBroken)
        enter(bet.control("cbobettor"), bad, "A bettor name cannot contain a line break");
    bet.unload();
    Form& sheet = app->form("frmsheetg");
    sheet.show();
    for (const char* bad : kBroken)
        enter(sheet.control("txtticket"), bad, "A bettor name cannot contain a line break");
    sheet.unload();
    EXPECT_EQ(folder.read("Bettors"), bettorsfile);
    EXPECT_NE(folder.read("Players"), playersfile);

    // After a restart the screens read the files whole (a record split over two lines would show
    // a box here) and list what was stored.
    restart();
    gotomenu();
    Form& again = app->form("frmbettor");
    again.show();
    EXPECT_EQ(again.control("cbobettornames").listcount(), 1);
    again.unload();
    Form& players = app->form("frmentries");
    players.show();
    ASSERT_EQ(players.control("lstentries").listcount(), 1);
    EXPECT_EQ(players.control("lstentries").list(0),
              sh().flightnames[1] + "HOGAN-BEN" + std::string(21, 'X'));
}

TEST_F(TypedText, BannersAndFlightNamesWithControlCharactersAreRefused) {
    startup();
    Form& init = app->form("frminit");
    const std::string setup = folder.read("Init");
    for (const char* bad : kBroken) {
        enter(init.control("txtbanner2"), bad, "A banner cannot contain a line break");
        EXPECT_EQ(init.control("txtbanner2").text(), sh().banner2);
        enter(init.control("txtflight", 2), bad, "A flight name cannot contain a line break");
        EXPECT_EQ(init.control("txtflight", 2).text(), sh().flightnames[3]);
    }
    EXPECT_EQ(folder.read("Init"), setup);
    // A sound banner and flight name are stored and come back after a restart.
    enter(init.control("txtbanner2"), "SPRING CUP", "Round 2 banner information changed");
    enter(init.control("txtflight", 2), "GOLD", "Flight  3 changed to GOLD      ");
    gotomenu();
    restart();
    EXPECT_EQ(sh().banner2, "SPRING CUP");
    EXPECT_EQ(sh().flightnames[3], "GOLD      ");
}

}  // namespace
