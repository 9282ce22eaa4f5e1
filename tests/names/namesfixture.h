#pragma once
#include <string>
#include <vector>

#include "testapp.h"

namespace vt::test {

// A program folder with flight labels set and the print switch on; helpers write the data files
// the screens read.
class NamesTest : public AppTest {
  protected:
    NamesTest() {
        const char* labels[] = {"",  "A", "B", "C", "D", "E", "F", "G",
                                "H", "I", "J", "K", "L", "M", "N", "O"};
        for (int f = 1; f <= 15; ++f)
            sh().flightnames[f] = std::string("FLT-") + labels[f] + std::string(5, ' ');
        sh().printswitch = "yes";
        sh().banner = "SPRING OPEN - Round1";
    }
    void players(const std::string& bytes) {
        folder.write("Players", bytes);
        folder.write("Playersbackup", bytes);
    }
    void bettors(const std::string& bytes) { folder.write("Bettors", bytes); }
    void bets(const std::string& round, int flight, const std::string& bytes) {
        folder.write(round + " " + std::to_string(flight) + "Bets", bytes);
        folder.write(round + " " + std::to_string(flight) + "Betsbackup", bytes);
    }
    std::string betsfile(const std::string& round, int flight, bool backup = false) {
        return folder.read(round + " " + std::to_string(flight) + (backup ? "Betsbackup" : "Bets"));
    }
    Form& show(const std::string& name) {
        Form& f = app->form(name);
        f.show();
        return f;
    }
    std::vector<std::string> listof(Control& c) {
        std::vector<std::string> out;
        for (int i = 0; i < c.listcount(); ++i) out.push_back(c.list(i));
        return out;
    }
    // Picks the list line with this text, as a click would.
    void pick(Control& list, const std::string& text) {
        for (int i = 0; i < list.listcount(); ++i)
            if (list.list(i) == text) {
                list.setlistindex(i);
                return;
            }
        ADD_FAILURE() << "no line " << text;
    }
    void type(Control& box, const std::string& text) {
        box.settext(text);
        box.keypress(13);
    }
};

}  // namespace vt::test
