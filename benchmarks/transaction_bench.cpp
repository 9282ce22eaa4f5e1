// Operations that commit a transaction, on a full data folder: 1000 entries in 15 flights, 1000
// bettors, and 60 Bets pairs (4 rounds x 15 flights) of 5000 bets each. Placing a bet (append to
// its pair, then the board rebuilt) must stay under 50 ms; a scratch over all 60 pairs under 1 s.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "app/app.h"
#include "benchdata.h"
#include "platform/transaction.h"

namespace {

namespace fs = std::filesystem;

void writefile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

struct FullFolder {
    fs::path folder;
    vt::ScriptedDialogs dialogs;
    vt::CapturePrintSink sink;
    std::unique_ptr<vt::App> app;

    FullFolder() {
        folder = fs::temp_directory_path() /
                 ("vantrope-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder);
        std::mt19937 rng(7);
        std::string players, bettors = "1,\"AnyBettor\"\r\n";
        for (int e = 1; e <= 998; ++e)
            players += std::to_string(e) + "," + std::to_string((e - 1) % 15 + 1) +
                       ",\"\",\"PLAYER " + std::to_string(e) + "\"\r\n";
        for (int b = 2; b <= 998; ++b)
            bettors += std::to_string(b) + ",\"BETTOR-" + std::to_string(b) + "\"\r\n";
        writefile(folder / "Players", players);
        writefile(folder / "Playersbackup", players);
        writefile(folder / "Bettors", bettors);
        writefile(folder / "Bettorsbackup", bettors);
        for (const char* r : {"Round1", "Round2", "Round3", "Final"})
            for (int f = 1; f <= 15; ++f) {
                std::string bets;
                // Flight 1 of Round1 leaves room for the benchmark's own bets.
                int n = std::string(r) == "Round1" && f == 1 ? 4950 : 5000;
                for (int i = 0; i < n; ++i) {
                    int entry = f + 15 * static_cast<int>(rng() % 67);
                    if (entry > 998) entry -= 15;
                    bets += std::to_string(rng() % 999 + 1) + "," + std::to_string(entry) + "," +
                            std::to_string(rng() % 3 + 1) + "," + std::to_string(rng() % 20 + 1) +
                            "\r\n";
                }
                std::string name = std::string(r) + " " + std::to_string(f);
                writefile(folder / (name + "Bets"), bets);
                writefile(folder / (name + "Betsbackup"), bets);
            }
        app = std::make_unique<vt::App>(vt::AppEnvironment{folder.string(), &dialogs, &sink});
        vt::Shared& sh = app->shared();
        betsettings(sh);
    }
    ~FullFolder() {
        app.reset();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

void BM_PlaceBetOnFullFlightWithBoard(benchmark::State& state) {
    FullFolder full;
    vt::Form& f = full.app->form("frmbet");
    f.show();
    for (int c = 0; c < state.range(0); ++c) f.control("Check1", c).setvalue(1);
    f.control("cbobettor").setlistindex(1);
    for (auto _ : state) {
        state.PauseTiming();
        f.control("cbobettor").setlistindex(1);
        f.control("lstentries").setlistindex(f.control("lstentries").findbydata(16));
        f.control("cmdwin").click();
        f.control("cmdbamount", 2).click();
        state.ResumeTiming();
        f.control("cmddone").click();  // appends to the pair, rebuilds the board
        state.PauseTiming();
        f.control("cmdpay").click();
        state.ResumeTiming();
    }
    if (full.dialogs.shown.size() > 0)
        state.SkipWithError(full.dialogs.shown.front().prompt.c_str());
}
BENCHMARK(BM_PlaceBetOnFullFlightWithBoard)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40)
    ->Arg(1)
    ->Arg(15);

void BM_ScratchOverSixtyFullPairs(benchmark::State& state) {
    FullFolder full;
    vt::Form& f = full.app->form("frmentries");
    f.show();
    long entry = 1;
    for (auto _ : state) {
        vt::Control& list = f.control("lstentries");
        list.setlistindex(list.findbydata(entry++));
        full.dialogs.answer(vt::vbYes, "Scratch").ok("Scratched");
        f.control("cmdscratch").click();
    }
    if (!full.dialogs.failures.empty()) state.SkipWithError(full.dialogs.failures.front().c_str());
}
BENCHMARK(BM_ScratchOverSixtyFullPairs)->Unit(benchmark::kMillisecond)->Iterations(5);

// The commit alone: n files of a full Bets file's size replaced together in the system's
// temporary folder (4 for a placed bet, 240 for a bettor delete: 60 pairs and their sidecars).
void BM_CommitFiles(benchmark::State& state) {
    fs::path folder = fs::temp_directory_path() /
                      ("vantrope-bench-commit-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    vt::Files files(folder.string());
    std::string bytes;
    while (bytes.size() < 170000) bytes += "123,456,2,15\r\n";
    for (auto _ : state) {
        vt::Transaction tx(files);
        for (long i = 0; i < state.range(0); ++i)
            files.replacefile("C:\\Vantrope\\F" + std::to_string(i), bytes);
        tx.commit();
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
}
BENCHMARK(BM_CommitFiles)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->Arg(4)
    ->Arg(240)
    ->UseRealTime();

}  // namespace
