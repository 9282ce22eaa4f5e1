// Timings of the pool procedures on a full-capacity data folder: 1000 entries in 15 flights,
// 1000 bettors, and 60 Bets files (4 rounds x 15 flights) of 5000 bets each.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "app/app.h"
#include "records/records.h"

namespace {

const char* const rounds[] = {"Round1", "Round2", "Round3", "Final"};

void writefile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// Builds the data folder once and keeps an App over it for every benchmark.
struct Fixture {
    std::filesystem::path folder;
    vt::ScriptedDialogs dialogs;
    vt::CapturePrintSink sink;
    std::unique_ptr<vt::App> app;

    Fixture() {
        folder = std::filesystem::temp_directory_path() /
                 ("vantrope-bench-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder);
        std::mt19937 rng(7);
        std::string players, bettors = "1,\"AnyBettor\"\r\n";
        for (int e = 1; e <= 1000; ++e)
            players += std::to_string(e) + "," + std::to_string((e - 1) % 15 + 1) +
                       ",\"\",\"PLAYER " + std::to_string(e) + "\"\r\n";
        for (int b = 2; b <= 1000; ++b)
            bettors += std::to_string(b) + ",\"BETTOR-" + std::to_string(b) + "\"\r\n";
        writefile(folder / "Players", players);
        writefile(folder / "Playersbackup", players);
        writefile(folder / "Bettors", bettors);
        for (const char* r : rounds)
            for (int f = 1; f <= 15; ++f) {
                std::string bets;
                for (int i = 0; i < 5000; ++i) {
                    int entry = f + 15 * static_cast<int>(rng() % 67);
                    if (entry > 1000) entry -= 15;
                    bets += std::to_string(rng() % 999 + 1) + "," + std::to_string(entry) + "," +
                            std::to_string(rng() % 3 + 1) + "," + std::to_string(rng() % 20 + 1) +
                            (i % 4 ? "" : ".5") + "\r\n";
                }
                std::string name = std::string(r) + " " + std::to_string(f);
                writefile(folder / (name + "Bets"), bets);
                writefile(folder / (name + "Betsbackup"), bets);
            }
        app = std::make_unique<vt::App>(vt::AppEnvironment{folder.string(), &dialogs, &sink});
        vt::readentries(*app);
        vt::readbettors(*app);
    }
    ~Fixture() {
        app.reset();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_sumbets_full_file(benchmark::State& state) {
    vt::App& app = *fixture().app;
    app.shared().curround = "Round1";
    app.shared().curflightnbr = 1;
    for (auto _ : state) vt::sumbets(app);
    state.counters["bets"] = static_cast<double>(app.shared().betcount - 1);
}
BENCHMARK(BM_sumbets_full_file)->Unit(benchmark::kMillisecond);

void BM_sumbetsall_15_flights(benchmark::State& state) {
    vt::App& app = *fixture().app;
    app.shared().curround = "Round1";
    for (auto _ : state) {
        vt::resetsumm(app.shared());
        for (long f = 1; f <= 15; ++f) {
            app.shared().curflightnbr = f;
            vt::sumbetsall(app);
        }
    }
}
BENCHMARK(BM_sumbetsall_15_flights)->Unit(benchmark::kMillisecond);

void BM_calcoddsall(benchmark::State& state) {
    vt::App& app = *fixture().app;
    app.shared().curround = "Round1";
    app.shared().curflightnbr = 1;
    vt::sumbets(app);
    for (auto _ : state) vt::calcoddsall(app);
}
BENCHMARK(BM_calcoddsall)->Unit(benchmark::kMillisecond);

void BM_writebets_full_file(benchmark::State& state) {
    vt::App& app = *fixture().app;
    app.shared().curround = "Final";
    app.shared().curflightnbr = 15;
    vt::loadbets(app);
    for (auto _ : state) vt::writebets(app);
}
BENCHMARK(BM_writebets_full_file)->Unit(benchmark::kMillisecond);

}  // namespace
