// Clearing a flight and importing from another computer with the file layer failing or crashing
// at each call.
#include "faults.h"

#include <cstdlib>

#include "setuptest.h"

namespace vt::test {
namespace {

void local(const TempFolder& f) {
    f.write("Players", "1,1,\"\",\"JONES\"\r\n2,1,\"\",\"BROWN\"\r\n3,2,\"\",\"GRAY\"\r\n");
    f.write("Bettors", "1,\"AnyBettor\"\r\n2,\"ADAMS\"\r\n9,\"SMITH\"\r\n");
    f.write("Round1 1Bets", "9,1,1,4\r\n");
    f.write("Round1 1Betsbackup", "9,1,1,4\r\n");
    f.write("Round1 2Bets", "2,3,1,4\r\n");
    f.write("Round1 2Betsbackup", "2,3,1,4\r\n");
}

// Started, through GO TO MENU, with the printer question answered Yes.
void tomenu(App& app) {
    app.start();
    app.form("frminit").control("cmdok").click();
}

TEST(SetupFaults, ClearingAFlight) {
    FaultCase c;
    c.prepare = local;
    c.operation = [](App& app, const std::function<void()>& arm) {
        tomenu(app);
        Form& menu = app.form("frmmenu");
        menu.control("cmdclearbets").click();
        arm();
        menu.control("optflight", 1).setvalue(1);
    };
    runfaults(c);
}

TEST(SetupFaults, ImportFromADrive) {
    TempFolder drive(fastbase());  // memory-backed: thousands of runs of syncs
    setenv("VANTROPE_DRIVE_E", drive.path().c_str(), 1);
    FaultCase c;
    c.others = {&drive};
    c.stride = 5;
    c.prepare = [&](const TempFolder& f) {
        local(f);
        drive.write("Players", "1,1,\"\",\"JONES\"\r\n2,1,\"\",\"BROWN\"\r\n");
        drive.write("Bettors", "1,\"AnyBettor\"\r\n2,\"ADAMS\"\r\n5,\"SMITH\"\r\n9,\"KING\"\r\n");
        drive.write("Round1 1Bets", "5,1,1,2\r\n9,2,2,3\r\n2,1,3,1\r\n1,2,1,5\r\n");
        drive.write("Final 3Bets", "5,2,1,0.5\r\n");
        Files files(f.path());
        Origins origins(files,
                        [n = uint64_t{1000}]() mutable { return ++n; });  // the same every run
        describedrive(origins, files, "E");
    };
    c.operation = [](App& app, const std::function<void()>& arm) {
        tomenu(app);
        app.form("frmmenu").control("cmdinit").click();
        auto& d = dynamic_cast<AnsweringDialogs&>(app.dialogs());
        d.inputs = {"E:"};
        d.nextinput = 0;
        d.no = {"Import Players files?"};
        arm();
        app.form("frminit").control("cmdimport").click();
    };
    runfaults(c);
    unsetenv("VANTROPE_DRIVE_E");
}

TEST(SetupFaults, ExportToADrive) {
    TempFolder drive(fastbase());  // memory-backed: thousands of runs of syncs
    setenv("VANTROPE_DRIVE_E", drive.path().c_str(), 1);
    FaultCase c;
    c.others = {&drive};
    c.stride = 5;
    c.prepare = [&](const TempFolder& f) {
        local(f);
        drive.write("Round2 4Bets", "9,9,1,1\r\n");  // an old set's flight: it goes
        drive.write("Round2 4Betsbackup", "9,9,1,1\r\n");
    };
    c.operation = [](App& app, const std::function<void()>& arm) {
        tomenu(app);
        app.form("frmmenu").control("cmdinit").click();
        auto& d = dynamic_cast<AnsweringDialogs&>(app.dialogs());
        d.inputs = {"E"};
        d.nextinput = 0;
        arm();
        app.form("frminit").control("cmdexport").click();
    };
    runfaults(c);
    unsetenv("VANTROPE_DRIVE_E");
}

}  // namespace
}  // namespace vt::test
