// Scratching an entry and deleting a bettor with the file layer failing or crashing at each call.
#include "faults.h"

namespace vt::test {
namespace {

void prepare(const TempFolder& f) {
    f.write("Players",
            "1,1,\"\",\"SMITH-JOHN\"\r\n2,1,\"\",\"ADAMS-PAT\"\r\n3,3,\"\",\"JONES-MARY\"\r\n");
    f.write("Playersbackup", f.read("Players"));
    f.write("Bettors", "1,\"AnyBettor\"\r\n2,\"BAKER-BOB\"\r\n3,\"COLE-CAT\"\r\n");
    f.write("Bettorsbackup", f.read("Bettors"));
    const char* pairs[][2] = {{"Round1 1", "2,1,1,2\r\n3,2,1,5\r\n"},
                              {"Round3 1", "3,1,3,10\r\n2,2,2,1\r\n"},
                              {"Final 3", "2,3,1,4\r\n2,1,1,6\r\n"}};
    for (auto& p : pairs)
        for (const char* kind : {"Bets", "Betsbackup"}) f.write(std::string(p[0]) + kind, p[1]);
}

void labels(App& app) {
    for (int f = 1; f <= 15; ++f)
        app.shared().flightnames[f] = "FLT-" + std::string(1, char('A' + f - 1)) + "     ";
    app.shared().printswitch = "yes";
}

// Picks the list line with this text.
void pick(Control& list, const std::string& text) {
    for (int i = 0; i < list.listcount(); ++i)
        if (list.list(i) == text) return list.setlistindex(i);
    ADD_FAILURE() << "no line " << text;
}

TEST(NameFaults, ScratchOverEveryRoundAndFlight) {
    FaultCase c;
    c.prepare = prepare;
    c.stride = 40;
    c.operation = [](App& app, const std::function<void()>& arm) {
        labels(app);
        Form& f = app.form("frmentries");
        f.show();
        pick(f.control("lstentries"), "FLT-A     SMITH-JOHN");
        arm();
        f.control("cmdscratch").click();
    };
    runfaults(c);
}

TEST(NameFaults, BettorDeleteOverEveryRoundAndFlight) {
    FaultCase c;
    c.prepare = prepare;
    c.stride = 40;
    c.operation = [](App& app, const std::function<void()>& arm) {
        labels(app);
        Form& f = app.form("frmbettor");
        f.show();
        pick(f.control("cbobettornames"), "BAKER-BOB");
        arm();
        f.control("cmddelete").click();
    };
    runfaults(c);
}

}  // namespace
}  // namespace vt::test
