#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "betting/frmbet.h"
#include "testapp.h"

namespace vt::test {

// Flight labels "FLIGHT A" to "FLIGHT O", the amount buttons and the first round.
inline void betsettings(Shared& sh) {
    for (int f = 1; f <= 15; ++f) {
        std::string label = "FLIGHT " + std::string(1, static_cast<char>('A' + f - 1));
        sh.flightnames[f] = label + std::string(10 - label.size(), ' ');
    }
    const char* amounts[13] = {"",      "+.25",  "+.50",   "+.75",  "+1.00",  "+2.00", "+3.00",
                               "+4.00", "+5.00", "+10.00", "20.00", "+50.00", " "};
    for (int i = 1; i <= 12; ++i) sh.betamounts[i] = amounts[i];
    sh.betbuttons = {0, 1, 4, 5, 9, 10};  // +.25 +1.00 +2.00 +10.00 20.00
    sh.curround = "Round1";
}

// A program folder with flight labels, amount buttons, players and bettors, and the betting
// screen one call away.
class BetTest : public AppTest {
  protected:
    BetTest() {
        betsettings(sh());
        sh().banner1 = "SPRING OPEN ROUND 1";
        sh().banner = sh().banner1;
        folder.write("Players",
                     "1,1,\"\",\"ADAMS\"\r\n2,1,\"\",\"BAKER\"\r\n7,3,\"\",\"CARTER\"\r\n"
                     "8,3,\"\",\"DAVIS\"\r\n");
        folder.write("Bettors", "1,\"AnyBettor\"\r\n2,\"JONES-AL\"\r\n12,\"SMITH-BOB\"\r\n");
    }
    std::string betsname(int flight, const std::string& round = "Round1", bool backup = false) {
        return round + " " + std::to_string(flight) + (backup ? "Betsbackup" : "Bets");
    }
    void bets(int flight, const std::string& bytes, const std::string& round = "Round1") {
        folder.write(betsname(flight, round), bytes);
        folder.write(betsname(flight, round, true), bytes);
    }
    std::string betsfile(int flight, const std::string& round = "Round1") {
        return folder.exists(betsname(flight, round)) ? folder.read(betsname(flight, round)) : "";
    }
    std::string backupfile(int flight, const std::string& round = "Round1") {
        return folder.exists(betsname(flight, round, true))
                   ? folder.read(betsname(flight, round, true))
                   : "";
    }
    frmbet& open() {
        Form& f = app->form("frmbet");
        f.show();
        return dynamic_cast<frmbet&>(f);
    }
    Control& c(const std::string& name, int index = -1) {
        return app->form("frmbet").control(name, index);
    }
    std::vector<std::string> lines(const std::string& name) {
        std::vector<std::string> out;
        Control& l = c(name);
        for (int i = 0; i < l.listcount(); ++i) out.push_back(l.list(i));
        return out;
    }
    // Picks a bettor from the drop-down by name.
    void pickbettor(const std::string& name) {
        Control& cbo = c("cbobettor");
        for (int i = 0; i < cbo.listcount(); ++i)
            if (cbo.list(i) == name) return cbo.setlistindex(i);
        ADD_FAILURE() << "no bettor " << name;
    }
    // Clicks the board line of an entry (its flight box must be ticked).
    void pickentry(long number) {
        int i = c("lstentries").findbydata(number);
        ASSERT_GE(i, 0) << "entry " << number << " not on the board";
        c("lstentries").setlistindex(i);
    }
    void tick(int flight) { c("Check1", flight - 1).click(); }
    // Composes and places a bet: entry, position button, amount buttons by index.
    void place(long entry, const std::string& button, const std::vector<int>& amounts) {
        if (entry) pickentry(entry);
        c(button).click();
        for (int k : amounts) c("cmdbamount", k).click();
        c("cmddone").click();
    }
    // Names of files in the program folder.
    std::vector<std::string> files() {
        std::vector<std::string> out;
        for (auto& e : std::filesystem::directory_iterator(folder.path()))
            out.push_back(e.path().filename().string());
        return out;
    }
};

}  // namespace vt::test
