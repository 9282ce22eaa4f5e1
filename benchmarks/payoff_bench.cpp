// Payoff sheets of 719 winning bettors (some 130 printed pages) on a full flight of 5000 bets: the
// sheets laid out in the real font, every finisher line recorded in the Results file, on disk.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/app.h"
#include "platform/qt/qtview.h"

namespace {

void writefile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

// A 30-character name for a bettor number.
std::string longname(int n) {
    std::string s = "WETHERINGTON-BARTHOLOMEW-" + std::to_string(100000 + n);
    return s.substr(0, 30);
}

void BM_PayoffSheets719Winners(benchmark::State& state) {
    namespace fs = std::filesystem;
    std::random_device rd;
    fs::path dir = fs::temp_directory_path() / ("vantrope-bench-" + std::to_string(rd()));
    fs::create_directories(dir);
    std::string players, bettors = "1,\"AnyBettor\"\r\n";
    for (int e = 1; e <= 998; ++e)
        players += std::to_string(e) + "," + std::to_string((e - 1) % 15 + 1) + ",\"\",\"PLAYER-" +
                   std::to_string(e) + "\"\r\n";
    for (int b = 2; b <= 999; ++b) bettors += std::to_string(b) + ",\"" + longname(b) + "\"\r\n";
    writefile(dir / "Players", players);
    writefile(dir / "Playersbackup", players);
    writefile(dir / "Bettors", bettors);
    // Bettors 2 to 720 back the three finishers (entries 1, 16, 31 of flight 1); the others back
    // entries that finish out of the money.
    const int finishers[] = {1, 16, 31};
    std::string bets;
    for (int i = 0; i < 5000; ++i) {
        const int bettor = 2 + i % 998;
        const int entry = bettor <= 720 ? finishers[i % 3] : 46 + 15 * (i % 60);
        bets += std::to_string(bettor) + "," + std::to_string(entry) + "," +
                std::to_string(i % 3 + 1) + "," + std::to_string(i % 900 + 100) + "." +
                std::to_string(10 + i % 90) + "\r\n";
    }
    writefile(dir / "Round1 1Bets", bets);
    writefile(dir / "Round1 1Betsbackup", bets);

    vt::ScriptedDialogs dialogs;
    vt::CapturePrintSink sink;
    sink.textmeasure = &vt::qtmeasure();
    {
        vt::App app(vt::AppEnvironment{dir.string(), &dialogs, &sink});
        vt::QtView view(app);
        vt::Shared& sh = app.shared();
        for (int f = 1; f <= 15; ++f) {
            std::string label = "FLIGHT " + std::to_string(f);
            sh.flightnames[f] = label + std::string(10 - label.size(), ' ');
        }
        sh.roundlabels = {"", "0.01", "0.10", "0.25", "0.50", "1.00"};
        sh.printswitch = "yes";
        const std::string results = "C:\\Vantrope\\Results";
        app.results.open(app.files(), results);
        vt::Form& pay = app.form("frmpay");
        app.dispatch([&] { pay.show(); });
        pay.control("optflight", 1).click();
        pay.control("txthousepct").settext("10");
        for (int slot = 0; slot < 3; ++slot) {
            vt::Control& pos = pay.control("cmbpos", slot);
            for (int k = 0; k < pos.listcount(); ++k)
                if (pos.list(k) == std::to_string(slot + 1)) pos.setlistindex(k);
        }
        for (int slot = 0; slot < 3; ++slot) {
            vt::Control& entry = pay.control("cmbpt", slot);
            entry.setlistindex(entry.findbydata(finishers[slot]));
        }
        pay.control("cmdcalc").click();
        for (auto _ : state) {
            state.PauseTiming();
            sink.docs.clear();
            app.results.close();
            writefile(dir / "Results", "");
            app.results.open(app.files(), results);
            pay.control("cmdprtsumm").click();
            state.ResumeTiming();
            app.dispatch([&] { pay.control("cmbbn").setlistindex(0); });
        }
        if (sink.docs.size() != 1 || sink.docs[0].pages.empty())
            state.SkipWithError("no sheets printed");
        state.counters["winners"] = static_cast<double>(sh.winbettors.size());
        std::ifstream in(dir / "Results", std::ios::binary);
        std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        state.counters["records"] =
            static_cast<double>(std::count(written.begin(), written.end(), '\n'));
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_PayoffSheets719Winners)->Unit(benchmark::kMillisecond);

}  // namespace
