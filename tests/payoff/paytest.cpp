#include "paytest.h"

namespace vt::test {

PayTest::PayTest() {
    folder.write(
        "Players",
        "1,1,\"\",\"ALPHA\"\r\n2,1,\"\",\"BRAVO\"\r\n3,1,\"\",\"CHARLIE\"\r\n4,1,\"\",\"DELTA\"\r\n"
        "5,1,\"\",\"ECHO\"\r\n6,2,\"\",\"FOXTROT\"\r\n");
    folder.write("Bettors",
                 "1,\"AnyBettor\"\r\n2,\"ADAMS-ANN\"\r\n3,\"BAKER-BOB\"\r\n4,\"COLE-CY\"\r\n5,"
                 "\"DAVIS-DI\"\r\n");
    sh().flightnames[1] = "A         ";
    sh().flightnames[2] = "B         ";
    for (int f = 3; f <= 15; ++f)
        sh().flightnames[f] =
            "Flight" + std::to_string(f) + std::string(10 - 6 - std::to_string(f).size(), ' ');
    sh().roundlabels = {"", "0.01", "0.10", "0.25", "0.50", "1.00"};
    sh().banner1 = "SPRING OPEN - ROUND 1";
    sh().printswitch = "no";
}

void PayTest::writebets(const std::vector<BetRow>& bets, const std::string& file) {
    std::string text;
    for (auto& b : bets)
        text += std::to_string(b.bettor) + "," + std::to_string(b.entry) + "," +
                std::to_string(b.type) + "," + b.amount + "\r\n";
    folder.write(file, text);
}

void PayTest::workedexample() {
    writebets({{2, 1, 1, "20"},
               {2, 1, 2, "10"},
               {2, 1, 3, "6"},
               {3, 2, 2, "5"},
               {3, 2, 3, "4"},
               {3, 3, 3, "2"},
               {4, 4, 1, "80"},
               {4, 4, 2, "45"},
               {4, 4, 3, "28"}});
}

void PayTest::deadheatbets() {
    writebets({{2, 1, 1, "30"},
               {3, 2, 1, "10"},
               {4, 4, 1, "60"},
               {2, 1, 2, "10"},
               {3, 2, 2, "10"},
               {4, 4, 2, "20"},
               {2, 1, 3, "5"},
               {3, 2, 3, "5"},
               {3, 3, 3, "5"},
               {4, 4, 3, "15"}});
}

void PayTest::calcworked() {
    workedexample();
    open();
    ctl("txthousepct").settext("10");
    finishers({"1", "2", "3"}, {1, 2, 3});
    ctl("cmdcalc").click();
}

Form& PayTest::pay() { return app->form("frmpay"); }

void PayTest::open(int flight) {
    app->dispatch([&] { pay().show(); });
    ctl("optflight", flight).click();
}

void PayTest::pickentry(int slot, long entry) {
    Control& box = ctl("cmbpt", slot - 1);
    int idx = box.findbydata(entry);
    ASSERT_GE(idx, 0) << "entry " << entry << " not listed";
    box.setlistindex(idx);
}

void PayTest::finishers(const std::vector<std::string>& positions,
                        const std::vector<long>& entries) {
    for (size_t i = 0; i < positions.size(); ++i) {
        Control& box = ctl("cmbpos", static_cast<int>(i));
        for (int k = 0; k < box.listcount(); ++k)
            if (box.list(k) == positions[i]) box.setlistindex(k);
    }
    for (size_t i = 0; i < entries.size(); ++i) pickentry(static_cast<int>(i) + 1, entries[i]);
}

void PayTest::paybettor(long bettor) {
    Control& lst = ctl("lstwinners");
    int idx = lst.findbydata(bettor);
    ASSERT_GE(idx, 0) << "bettor " << bettor << " not listed";
    lst.setlistindex(idx);
    ctl("cmdpay").click();
}

std::vector<std::string> PayTest::winners() {
    std::vector<std::string> out;
    for (int i = 0; i < ctl("lstwinners").listcount(); ++i)
        out.push_back(ctl("lstwinners").list(i));
    return out;
}

}  // namespace vt::test
