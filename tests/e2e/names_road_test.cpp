// Players and a bettor entered on their screens, a bet placed, then the player scratched.
#include "testapp.h"

using namespace vt;

namespace {

class NamesRoad : public vt::test::AppTest {};

TEST_F(NamesRoad, PlayersAndBettorsFromTheirScreensThenAScratchRefunds) {
    dialogs.answer(vbYes, "Is a printer available");
    app->start();
    app->form("frminit").control("cmdok").click();
    Form& menu = app->form("frmmenu");
    menu.control("cmdenterhorses").click();
    Form& entries = app->form("frmentries");
    ASSERT_TRUE(entries.visible());
    entries.control("cmbflt").setlistindex(1);
    Control& name = entries.control("txtentryname");
    for (const char* n : {"hogan-ben", "nelson-byron"}) {
        name.settext(n);
        dialogs.ok("added");
        name.keypress(13);
    }
    entries.control("cmdmainmenu").click();

    app->form("frmmenu").control("cmdenterbettors").click();
    Form& bettor = app->form("frmbettor");
    bettor.control("txtbettorname").settext("palmer-arnold");
    dialogs.ok("PALMER-ARNOLD added");
    bettor.control("txtbettorname").keypress(13);
    bettor.control("cmdreturn").click();
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n2,\"PALMER-ARNOLD\"\r\n");
    EXPECT_EQ(folder.read("Players"), "1,2,\"\",\"HOGAN-BEN\"\r\n2,2,\"\",\"NELSON-BYRON\"\r\n");

    // A bet taken since (as the betting screen stores it), then HOGAN-BEN scratched.
    folder.write("Round1 2Bets", "2,1,1,5\r\n2,2,1,3\r\n");
    app->form("frmmenu").control("cmdenterhorses").click();
    Form& again = app->form("frmentries");
    Control& lst = again.control("lstentries");
    lst.setlistindex(lst.findbydata(1));
    std::string line = lst.list(lst.listindex());
    dialogs.answer(vbYes, "Scratch " + line).ok(line + " Scratched");
    again.control("cmdscratch").click();
    EXPECT_EQ(folder.read("Round1 2Bets"), "2,2,1,3\r\n");
    EXPECT_EQ(folder.read("Players"), "2,2,\"\",\"NELSON-BYRON\"\r\n");
    ASSERT_EQ(printed.docs.size(), 1u);
    EXPECT_EQ(printed.lines(0).back(), "PALMER-ARNOLD" + std::string(15, ' ') + "$5.00");
}

}  // namespace
