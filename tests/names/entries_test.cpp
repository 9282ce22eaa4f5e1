#include "names/frmentries.h"
#include "namesfixture.h"

namespace vt::test {
namespace {

class EntriesTest : public NamesTest {
  protected:
    void SetUp() override {
        bettors("1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n3,\"JONES-MARY\"\r\n");
    }
    frmentries& screen() { return app->formas<frmentries>("frmentries"); }
    Control& ctl(const std::string& name) { return app->form("frmentries").control(name); }
};

TEST_F(EntriesTest, LoadListsEntriesByFlightAndMembers) {
    players("1,2,\"\",\"SMITH-JOHN\"\r\n2,1,\"x\",\"ADAMS-PAT\"\r\n");
    show("frmentries");
    EXPECT_EQ(listof(ctl("lstentries")),
              (std::vector<std::string>{"FLT-A     ADAMS-PAT", "FLT-B     SMITH-JOHN"}));
    EXPECT_EQ(listof(ctl("lstmembers")),
              (std::vector<std::string>{"AnyBettor", "JONES-MARY", "SMITH-JOHN"}));
    EXPECT_EQ(ctl("cmbflt").listcount(), 15);
    EXPECT_EQ(sh().curflight, "");
    EXPECT_EQ(ctl("txtmsg").text(), frmentries::defaultmessage());
    EXPECT_EQ(ctl("txtbanner").text(), "SPRING OPEN - Round1");
}

TEST_F(EntriesTest, AddNeedsAFlightThenStoresUpperCaseCutTo30) {
    players("");
    show("frmentries");
    dialogs.ok("Select a Flight");
    type(ctl("txtentryname"), "smith-john");
    EXPECT_EQ(ctl("txtentryname").text(), "SMITH-JOHN");

    ctl("cmbflt").setlistindex(2);
    EXPECT_EQ(sh().curflightnbr, 3);
    // The name is stored cut to 30 characters, and the box says what is stored.
    std::string longname(35, 'W');
    dialogs.ok(std::string(30, 'W') + " added");
    type(ctl("txtentryname"), longname);
    EXPECT_EQ(folder.read("Players"), "1,3,\"\",\"" + std::string(30, 'W') + "\"\r\n");
    EXPECT_EQ(folder.read("Playersbackup"), folder.read("Players"));
    EXPECT_EQ(listof(ctl("lstentries")),
              (std::vector<std::string>{"FLT-C     " + std::string(30, 'W')}));
    EXPECT_EQ(ctl("txtentryname").text(), "");
}

TEST_F(EntriesTest, AddSkips999) {
    players("998,1,\"\",\"LAST-ONE\"\r\n");
    show("frmentries");
    ctl("cmbflt").setlistindex(0);
    dialogs.ok("NEW-ONE added");
    type(ctl("txtentryname"), "NEW-ONE");
    EXPECT_EQ(folder.read("Players"), "998,1,\"\",\"LAST-ONE\"\r\n1000,1,\"\",\"NEW-ONE\"\r\n");
}

TEST_F(EntriesTest, AddFillsTheLastRowThenRefuses) {
    sh().maxplayers = 3;
    sh().sizetables();
    players("1,1,\"\",\"ONE\"\r\n2,1,\"\",\"TWO\"\r\n");
    show("frmentries");
    ctl("cmbflt").setlistindex(0);
    dialogs.ok("THREE added")
        .ok("Maximum number of players exceeded. Increase number on Setup screen.");
    type(ctl("txtentryname"), "THREE");
    type(ctl("txtentryname"), "FOUR");
    EXPECT_EQ(folder.read("Players"),
              "1,1,\"\",\"ONE\"\r\n2,1,\"\",\"TWO\"\r\n3,1,\"\",\"THREE\"\r\n");
}

TEST_F(EntriesTest, DuplicateNamesSelectTheClickedEntry) {
    players("1,1,\"\",\"SMITH-JOHN\"\r\n2,2,\"\",\"SMITH-JOHN\"\r\n");
    show("frmentries");
    pick(ctl("lstentries"), "FLT-B     SMITH-JOHN");
    EXPECT_EQ(screen().selnumber, 2);
    EXPECT_EQ(screen().selrow, 2);
    EXPECT_EQ(sh().curflightnbr, 2);
    EXPECT_EQ(sh().curflight, "FLT-B     ");
    EXPECT_EQ(ctl("txtentryname").text(), "SMITH-JOHN");

    // CHANGE keeps what was typed (no upper case, no cut) and touches only the clicked entry.
    std::string typed = "Smith-John-Jr-the-third-of-that-name";
    ctl("txtentryname").settext(typed);
    dialogs.answer(vbYes, "Change FLT-B     SMITH-JOHN to FLT-B     " + typed + " ?");
    ctl("cmdupdate").click();
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"SMITH-JOHN\"\r\n2,2,\"\",\"" + typed + "\"\r\n");
    EXPECT_EQ(ctl("txtentryname").text(), "");
    EXPECT_EQ(screen().selrow, 0);
    EXPECT_EQ(sh().curflightnbr, 2);

    // Nothing selected any more: CHANGE is refused.
    ctl("txtentryname").settext("OTHER");
    dialogs.ok("Must select player/team first");
    ctl("cmdupdate").click();
}

TEST_F(EntriesTest, MembersBuildTeamNames) {
    players("");
    show("frmentries");
    pick(ctl("lstmembers"), "SMITH-JOHN");
    pick(ctl("lstmembers"), "JONES-MARY");
    EXPECT_EQ(ctl("txtentryname").text(), "SMITH-JONES-");
    EXPECT_TRUE(ctl("txtentryname").hasfocus());
    ctl("txtentryname").settext("");
    pick(ctl("lstmembers"), "AnyBettor");
    EXPECT_EQ(ctl("txtentryname").text(), "AnyBettor-");
}

}  // namespace
}  // namespace vt::test
