// Placing, deleting and sheet bets with the file layer failing or crashing at each call.
#include "faults.h"

#include "betfixture.h"
#include "betting/frmbet.h"

namespace vt::test {
namespace {

void prepare(const TempFolder& f) {
    f.write("Players",
            "1,1,\"\",\"ADAMS\"\r\n2,1,\"\",\"BAKER\"\r\n7,3,\"\",\"CARTER\"\r\n8,3,\"\","
            "\"DAVIS\"\r\n");
    f.write("Playersbackup", f.read("Players"));
    f.write("Bettors", "1,\"AnyBettor\"\r\n2,\"JONES-AL\"\r\n12,\"SMITH-BOB\"\r\n");
    f.write("Bettorsbackup", f.read("Bettors"));
    for (const char* name : {"Round1 1Bets", "Round1 1Betsbackup"}) f.write(name, "2,1,1,5\r\n");
    for (const char* name : {"Round1 3Bets", "Round1 3Betsbackup"})
        f.write(name, "12,7,1,5\r\n2,8,1,3\r\n");
}

// The betting screen with flights 1 and 3 on the board and SMITH-BOB chosen.
Form& betscreen(App& app) {
    betsettings(app.shared());
    Form& f = app.form("frmbet");
    f.show();
    f.control("Check1", 0).click();
    f.control("Check1", 2).click();
    Control& cbo = f.control("cbobettor");
    for (int i = 0; i < cbo.listcount(); ++i)
        if (cbo.list(i) == "SMITH-BOB") cbo.setlistindex(i);
    return f;
}

// Composes a bet on an entry with a position button and one amount, then places it.
FaultCase placing(long entry, const std::string& button) {
    FaultCase c;
    c.prepare = prepare;
    c.operation = [entry, button](App& app, const std::function<void()>& arm) {
        Form& f = betscreen(app);
        if (entry) f.control("lstentries").setlistindex(f.control("lstentries").findbydata(entry));
        f.control(button).click();
        f.control("cmdbamount", 2).click();
        arm();
        f.control("cmddone").click();
    };
    return c;
}

TEST(BetFaults, WinBet) { EXPECT_GT(runfaults(placing(7, "cmdwin")), 20); }
TEST(BetFaults, BoardBet) { runfaults(placing(8, "cmdboard")); }
TEST(BetFaults, AllEntryBetOverTwoFlights) { runfaults(placing(0, "cmdwinall")); }

TEST(BetFaults, DeletingAPriorBet) {
    FaultCase c;
    c.prepare = prepare;
    c.operation = [](App& app, const std::function<void()>& arm) {
        Form& f = betscreen(app);
        f.control("lstbetsprior").setlistindex(0);
        arm();
        f.control("cmdclear").click();
    };
    runfaults(c);
}

TEST(BetFaults, BetSheetRowOfThreeBets) {
    FaultCase c;
    c.prepare = prepare;
    c.operation = [](App& app, const std::function<void()>& arm) {
        betsettings(app.shared());
        Form& s = app.form("frmsheetg");
        s.show();
        auto pick = [&](const std::string& list, const std::string& text) {
            Control& l = s.control(list);
            for (int i = 0; i < l.listcount(); ++i)
                if (l.list(i) == text) return l.setlistindex(i);
            ADD_FAILURE() << "no line " << text;
        };
        pick("lstentries", "SMITH-BOB");
        s.control("Check1", 2).click();
        pick("lstplayers", "FLIGHT C  CARTER");
        s.control("txtamt", 4).click();
        s.control("txtamt", 1).click();
        for (const char* box : {"txtwin", "txtplace", "txtshow"}) s.control(box).click();
        arm();
        s.control("cmdplacebets").click();
    };
    runfaults(c);
}

}  // namespace
}  // namespace vt::test
