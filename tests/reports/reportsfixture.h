#pragma once
#include <string>
#include <vector>

#include "testapp.h"

namespace vt::test {

// A program folder with flight labels, players, bettors and bets for the summary screens.
class ReportsTest : public AppTest {
  protected:
    ReportsTest() {
        for (int i = 1; i <= 15; ++i)
            sh().flightnames[i] = std::string(1, char('A' + i - 1)) + " -       ";
        sh().curflight = sh().flightnames[1];
        sh().curflightnbr = 1;
        sh().banner1 = "Open - Round 1";
        sh().bannerfinal = "Open - Final";
        sh().banner = sh().banner1;
        bettors({"AnyBettor"});
    }
    // Players file: {number, flight, name} records.
    struct P {
        long number, flight;
        std::string name;
    };
    void players(const std::vector<P>& ps) {
        std::string s;
        for (auto& p : ps)
            s += std::to_string(p.number) + "," + std::to_string(p.flight) + ",\"\",\"" + p.name +
                 "\"\r\n";
        folder.write("Players", s);
    }
    // Bettors numbered 1, 2, ... in the order given.
    void bettors(const std::vector<std::string>& names) {
        std::string s;
        for (size_t i = 0; i < names.size(); ++i)
            s += std::to_string(i + 1) + ",\"" + names[i] + "\"\r\n";
        folder.write("Bettors", s);
    }
    // Bets file lines "bettor,entry,type,amount".
    void bets(const std::string& round, int flight, const std::vector<std::string>& lines) {
        std::string s;
        for (auto& l : lines) s += l + "\r\n";
        folder.write(round + " " + std::to_string(flight) + "Bets", s);
    }
    Form& summary() { return app->form("frmsummary"); }
    std::vector<std::string> items(const std::string& list) {
        std::vector<std::string> out;
        Control& c = summary().control(list);
        for (int i = 0; i < c.listcount(); ++i) out.push_back(c.list(i));
        return out;
    }
    std::string label(int flight) const {
        return std::string(1, char('A' + flight - 1)) + " -       ";
    }
};

}  // namespace vt::test
