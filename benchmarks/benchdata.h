#pragma once
// What every benchmark's App is given before it runs: flight names and the betting screen's
// amount buttons, as a setup file would give them.
#include <string>

#include "records/shared.h"

inline void betsettings(vt::Shared& sh) {
    for (int f = 1; f <= 15; ++f) {
        std::string label = "FLIGHT " + std::to_string(f);
        sh.flightnames[f] = label + std::string(10 - label.size(), ' ');
    }
    const char* amounts[13] = {"",      "+.25",  "+.50",   "+.75",  "+1.00",  "+2.00", "+3.00",
                               "+4.00", "+5.00", "+10.00", "20.00", "+50.00", " "};
    for (int i = 1; i <= 12; ++i) sh.betamounts[i] = amounts[i];
    sh.betbuttons = {0, 1, 4, 5, 9, 10};
    sh.curround = "Round1";
    sh.printswitch = "no";
}
