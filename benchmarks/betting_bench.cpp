// The odds board rebuilt after a bet, on a full data folder: 1000 entries in 15 flights and
// 4950 bets in each flight's Bets file (room for the bets added). Each rebuild follows a bet
// appended to one flight's file by the program, so that file is read again.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "app/app.h"
#include "betting/buildboard.h"
#include "betting/frmbet.h"

namespace {

void writefile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

void BM_BuildBoardAfterBet(benchmark::State& state) {
    namespace fs = std::filesystem;
    std::random_device rd;
    fs::path dir = fs::temp_directory_path() / ("vantrope-bench-" + std::to_string(rd()));
    fs::create_directories(dir);
    std::string players;
    for (int e = 1; e <= 1000; ++e)
        players += std::to_string(e) + "," + std::to_string((e - 1) % 15 + 1) + ",\"\",\"PLAYER " +
                   std::to_string(e) + "\"\r\n";
    writefile(dir / "Players", players);
    writefile(dir / "Playersbackup", players);
    writefile(dir / "Bettors", "1,\"AnyBettor\"\r\n");
    for (int f = 1; f <= 15; ++f) {
        std::string bets;
        for (int i = 0; i < 4950; ++i) {
            int entry = f + 15 * (i % 66);
            if (entry > 1000) entry = f;
            bets += std::to_string(i % 900 + 1) + "," + std::to_string(entry) + "," +
                    std::to_string(i % 3 + 1) + "," + std::to_string(i % 20 + 1) + "\r\n";
        }
        writefile(dir / ("Round1 " + std::to_string(f) + "Bets"), bets);
        writefile(dir / ("Round1 " + std::to_string(f) + "Betsbackup"), bets);
    }
    vt::ScriptedDialogs dialogs;
    vt::CapturePrintSink sink;
    {
        vt::App app(vt::AppEnvironment{dir.string(), &dialogs, &sink});
        for (int f = 1; f <= 15; ++f) {
            std::string label = "FLIGHT " + std::to_string(f);
            app.shared().flightnames[f] = label + std::string(10 - label.size(), ' ');
        }
        vt::Form& form = app.form("frmbet");
        for (int c = 0; c <= 14; ++c) form.control("Check1", c).setvalue(1);
        int flight = 0;
        for (auto _ : state) {
            state.PauseTiming();
            flight = flight % 15 + 1;
            app.files().append(app.shared().betsfile("Round1", flight),
                               "7," + std::to_string(flight) + ",1,2.5\r\n");
            state.ResumeTiming();
            vt::buildboard(app);
        }
        if (!dialogs.shown.empty()) state.SkipWithError(dialogs.shown.front().prompt.c_str());
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_BuildBoardAfterBet)->Unit(benchmark::kMillisecond)->Iterations(300);

}  // namespace
