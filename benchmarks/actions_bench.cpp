// A cashier's clicks timed through the automation surface with the Qt view attached (offscreen),
// so what the windows cost counts too. The data folder is generated at 1/8, 1/4, 1/2 and full
// capacity (argument `eighths`): 999 entries in 15 flights with 30-character names, 999 bettors,
// 60 Bets files of 5000 bets with amounts in cents, one bettor holding about a tenth of all bets,
// and a flight whose finish pays several hundred bettors. Each action runs 5 times; the report
// gives min, median and max.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#include "app/app.h"
#include "benchdata.h"
#include "platform/qt/qtview.h"
#include "setup/setupfile.h"

namespace {

namespace fs = std::filesystem;

const char* const kRounds[] = {"Round1", "Round2", "Round3", "Final"};
// The flight whose finish (its first three entries) pays the most bettors.
constexpr int kWinnerFlight = 2;
// The bettor holding about a tenth of all bets.
constexpr long kBigBettor = 2;

void writefile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// A name padded to 30 characters.
std::string name30(const std::string& stem, long n) {
    std::string s = stem + " " + std::to_string(n) + " ";
    while (s.size() < 30) s += static_cast<char>('A' + s.size() % 26);
    return s.substr(0, 30);
}

// Answers every box as a cashier going ahead would: Yes to a question, OK to a message.
class GoAheadDialogs : public vt::Dialogs {
  public:
    int msgbox(const std::string& prompt, int style, const std::string&) override {
        last = prompt;
        int buttons = style & 7;
        return buttons == vt::vbYesNo || buttons == vt::vbYesNoCancel ? vt::vbYes : vt::vbOK;
    }
    std::string inputbox(const std::string&, const std::string&, const std::string&) override {
        return typed;
    }
    std::string last;
    std::string typed;  // what an input box is answered with
};

// One generated program folder and an App over it with the Qt view attached.
struct Folder {
    int eighths;
    int entries, bettors, betsperfile;
    fs::path dir;
    GoAheadDialogs dialogs;
    std::unique_ptr<vt::QtPrintSink> sink;
    std::unique_ptr<vt::App> app;
    std::unique_ptr<vt::QtView> view;
    std::vector<long> entrynums, bettornums;  // 999 is a marker, never a number
    long nextscratch = 0, nextdelete = 0;
    size_t winners = 0;

    bool keep = false;  // the folder stays when this ends

    // The folder is made at `at`, or under the temporary folder when none is given.
    explicit Folder(int e, fs::path at = {}) : eighths(e), dir(std::move(at)) {
        entries = std::max(999 * e / 8, 45);
        bettors = std::max(999 * e / 8, 20);
        for (long n = 1; static_cast<int>(entrynums.size()) < entries; ++n)
            if (n != 999) entrynums.push_back(n);
        for (long n = 1; static_cast<int>(bettornums.size()) < bettors; ++n)
            if (n != 999) bettornums.push_back(n);
        betsperfile = 5000 * e / 8;
        if (dir.empty())
            dir = fs::temp_directory_path() /
                  ("vantrope-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir);
        generate();
        sink = std::make_unique<vt::QtPrintSink>(dir.string());
        app = std::make_unique<vt::App>(vt::AppEnvironment{dir.string(), &dialogs, sink.get()});
        vt::Shared& sh = app->shared();
        betsettings(sh);
        sh.roundlabels = {"", "0.01", "0.10", "0.25", "0.50", "1.00"};
        sh.curflight = sh.flightnames[1];
        sh.curflightnbr = 1;
        sh.banner1 = "BENCH OPEN - ROUND 1";
        sh.banner = sh.banner1;
        view = std::make_unique<vt::QtView>(*app);
        nextscratch = 2;  // entries of flight 3
        nextdelete = 10;
    }
    ~Folder() {
        view.reset();
        app.reset();
        std::error_code ec;
        if (!keep) fs::remove_all(dir, ec);
    }

    void generate() {
        std::mt19937 rng(7 + eighths);
        std::string players, names = "1,\"AnyBettor\"\r\n";
        for (int k = 0; k < entries; ++k)
            players += std::to_string(entrynums[k]) + "," + std::to_string(k % 15 + 1) +
                       ",\"\",\"" + name30("PLAYER", entrynums[k]) + "\"\r\n";
        for (int k = 1; k < bettors; ++k)
            names +=
                std::to_string(bettornums[k]) + ",\"" + name30("BETTOR", bettornums[k]) + "\"\r\n";
        writefile(dir / "Players", players);
        writefile(dir / "Playersbackup", players);
        writefile(dir / "Bettors", names);
        writefile(dir / "Bettorsbackup", names);
        int perflight = (entries + 14) / 15;
        std::set<long> paid;
        for (const char* r : kRounds)
            for (int f = 1; f <= 15; ++f) {
                std::string bets;
                bool round1 = std::string(r) == "Round1";
                // Round1's flight 1 leaves room for the bets the benchmarks place.
                int n = round1 && f == 1 ? betsperfile - 50 : betsperfile;
                for (int i = 0; i < n; ++i) {
                    long bettor =
                        rng() % 10 == 0 ? kBigBettor : bettornums[rng() % (bettors - 2) + 2];
                    int slot = static_cast<int>(rng() % perflight);
                    int type = static_cast<int>(rng() % 3 + 1);
                    // The winner flight's bets crowd onto its first three entries.
                    if (round1 && f == kWinnerFlight && rng() % 10 < 4)
                        slot = static_cast<int>(rng() % 3);
                    int k = f - 1 + 15 * slot;
                    long entry = entrynums[k < entries ? k : f - 1];
                    if (round1 && f == kWinnerFlight && slot < 3 && type >= slot + 1)
                        paid.insert(bettor);
                    long cents = static_cast<long>(rng() % 2000 + 1) * 5;
                    std::ostringstream amount;
                    amount << cents / 100;
                    // As the program writes an amount: no trailing zero after the point.
                    if (long c = cents % 100)
                        amount << "." << (c < 10 ? "0" : "") << (c % 10 ? c : c / 10);
                    bets += std::to_string(bettor) + "," + std::to_string(entry) + "," +
                            std::to_string(type) + "," + amount.str() + "\r\n";
                }
                std::string file = std::string(r) + " " + std::to_string(f);
                writefile(dir / (file + "Bets"), bets);
                writefile(dir / (file + "Betsbackup"), bets);
            }
        winners = paid.size();
    }

    vt::Form& form(const std::string& name) { return app->form(name); }
    vt::Control& ctl(const std::string& form, const std::string& name, int index = -1) {
        return app->form(form).control(name, index);
    }
    // Only this screen is up, as after its menu click.
    vt::Form& only(const std::string& name) {
        dialogs.last.clear();
        app->dispatch([&] {
            for (vt::Form* f : app->loadedforms())
                if (f->name() != name) f->unload();
            app->form(name).show();
        });
        return app->form(name);
    }
};

std::map<int, std::unique_ptr<Folder>>& folders() {
    static std::map<int, std::unique_ptr<Folder>> all;
    return all;
}

Folder& folder(int eighths) {
    auto& f = folders()[eighths];
    if (!f) f = std::make_unique<Folder>(eighths);
    return *f;
}

// Names the last box an action showed in the report, so a benchmark that ran into a message
// instead of doing its work shows it.
struct Boxes {
    Folder& d;
    benchmark::State& state;
    Boxes(Folder& f, benchmark::State& s) : d(f), state(s) {}
    ~Boxes() {
        if (!d.dialogs.last.empty()) state.SetLabel("box: " + d.dialogs.last.substr(0, 60));
    }
};

void pickdata(vt::Control& c, long data) {
    int i = c.findbydata(data);
    if (i >= 0) c.setlistindex(i);
}

// The process's resident size now or at its peak, in MB. The kernel's high-water mark is reset
// before an action, so the peak is the action's.
double statusmb(const std::string& key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size())) / 1024.0;
    return 0;
}
// Starts measuring an action's memory: its growth is the peak over the size before it.
double resetpeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusmb("VmRSS:");
}
double growthmb(double before) { return statusmb("VmHWM:") - before; }

void scaled(benchmark::internal::Benchmark* b) {
    b->ArgName("eighths");
    for (int e : {1, 2, 4, 8}) b->Arg(e);
    b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    b->ComputeStatistics(
        "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
    b->ComputeStatistics(
        "max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}

// ---------------------------------------------------------------- betting screen

void BM_OpenBettingScreen(benchmark::State& state) {
    Folder& d = folder(static_cast<int>(state.range(0)));
    Boxes boxes(d, state);
    d.only("frmmenu");
    for (auto _ : state) d.ctl("frmmenu", "cmdbet").click();
}
BENCHMARK(BM_OpenBettingScreen)->Apply(scaled);

void pickbettor(benchmark::State& state, long bettor) {
    Folder& d = folder(static_cast<int>(state.range(0)));
    Boxes boxes(d, state);
    d.only("frmbet");
    vt::Control& cbo = d.ctl("frmbet", "cbobettor");
    pickdata(cbo, 1);
    for (auto _ : state) pickdata(cbo, bettor);
    state.counters["priorbets"] = d.ctl("frmbet", "lstbetsprior").listcount();
}
void BM_PickBigBettor(benchmark::State& state) { pickbettor(state, kBigBettor); }
void BM_PickOrdinaryBettor(benchmark::State& state) { pickbettor(state, 12); }
BENCHMARK(BM_PickBigBettor)->Apply(scaled);
BENCHMARK(BM_PickOrdinaryBettor)->Apply(scaled);

void BM_TickFlightBox(benchmark::State& state) {
    Folder& d = folder(static_cast<int>(state.range(0)));
    Boxes boxes(d, state);
    d.only("frmbet");
    for (int c = 0; c < 15; ++c) d.ctl("frmbet", "Check1", c).setvalue(c == 14 ? 0 : 1);
    for (auto _ : state) d.ctl("frmbet", "Check1", 14).click();  // the board of all 15 flights
    state.counters["boardlines"] = d.ctl("frmbet", "lstentries").listcount();
}
BENCHMARK(BM_TickFlightBox)->Apply(scaled);

void BM_PlaceBet(benchmark::State& state) {
    Folder& d = folder(static_cast<int>(state.range(0)));
    Boxes boxes(d, state);
    vt::Form& f = d.only("frmbet");
    for (int c = 0; c < 15; ++c) f.control("Check1", c).setvalue(1);
    pickdata(f.control("cbobettor"), 12);
    pickdata(f.control("lstentries"), 16);  // flight 1 of Round1, the flight with room
    f.control("cmdwin").click();
    f.control("cmdbamount", 2).click();
    for (auto _ : state) f.control("cmddone").click();  // appended to its pair, the board rebuilt
    f.control("cmdpay").click();
}
BENCHMARK(BM_PlaceBet)->Apply(scaled);

// ---------------------------------------------------------------- fix files

vt::Form& fixfiles(Folder& d) {
    vt::Form& f = d.only("frmfix");
    f.control("Option1").click();
    f.control("optflight", 4).click();
    return f;
}

void BM_FixDisplayBetFile(benchmark::State& state) {
    Folder& d = folder(static_cast<int>(state.range(0)));
    Boxes boxes(d, state);
    vt::Form& f = fixfiles(d);
    for (auto _ : state) f.control("cmdbets").click();
    state.counters["rows"] = f.control("grdfix").rows();
}
BENCHMARK(BM_FixDisplayBetFile)->Apply(scaled);

void BM_FixClickRow(benchmark::State& state) {
    Folder& d = folder(static_cast<int>(state.range(0)));
    Boxes boxes(d, state);
    vt::Form& f = fixfiles(d);
    f.control("cmdbets").click();
    vt::Control& g = f.control("grdfix");
    for (auto _ : state) g.clickcell(g.rows() / 2, 1);
}
BENCHMARK(BM_FixClickRow)->Apply(scaled);

void BM_FixRemoveSelectedBet(benchmark::State& state) {
    Folder& d = folder(static_cast<int>(state.range(0)));
    Boxes boxes(d, state);
    vt::Form& f = fixfiles(d);
    f.control("cmdbets").click();
    vt::Control& g = f.control("grdfix");
    g.clickcell(g.rows() / 2, 1);
    int before = g.rows();
    for (auto _ : state) f.control("cmdupdate").click();
    state.counters["removed"] = before - g.rows();
}
BENCHMARK(BM_FixRemoveSelectedBet)->Apply(scaled);

// ---------------------------------------------------------------- summary and payoff

void BM_AllOdds(benchmark::State& state) {
    Folder& d = folder(static_cast<int>(state.range(0)));
    Boxes boxes(d, state);
    d.only("frmsummary");
    for (auto _ : state) d.ctl("frmsummary", "cmdall").click();
    state.counters["rows"] = d.ctl("frmsumm", "grdodds").rows();
}
BENCHMARK(BM_AllOdds)->Apply(scaled);

void BM_CalculatePayoff(benchmark::State& state) {
    Folder& d = folder(static_cast<int>(state.range(0)));
    Boxes boxes(d, state);
    vt::Form& f = d.only("frmpay");
    f.control("cmdclear").click();
    f.control("optflight", kWinnerFlight).click();
    for (int i = 0; i < 3; ++i) {
        vt::Control& pos = f.control("cmbpos", i);
        for (int k = 0; k < pos.listcount(); ++k)
            if (pos.list(k) == std::to_string(i + 1)) pos.setlistindex(k);
        pickdata(f.control("cmbpt", i), d.entrynums[kWinnerFlight - 1 + 15 * i]);
    }
    for (auto _ : state) f.control("cmdcalc").click();
    state.counters["winners"] = f.control("lstwinners").listcount();
}
BENCHMARK(BM_CalculatePayoff)->Apply(scaled);

// ---------------------------------------------------------------- scratch and bettor delete

void BM_ScratchEntry(benchmark::State& state) {
    Folder& d = folder(static_cast<int>(state.range(0)));
    Boxes boxes(d, state);
    vt::Form& f = d.only("frmentries");
    pickdata(f.control("lstentries"), d.entrynums[d.nextscratch]);
    d.nextscratch += 15;
    double before = resetpeak();
    for (auto _ : state) f.control("cmdscratch").click();  // its bets in all four rounds
    state.counters["growthMB"] = growthmb(before);
}
BENCHMARK(BM_ScratchEntry)->Apply(scaled);

void BM_DeleteBettor(benchmark::State& state) {
    Folder& d = folder(static_cast<int>(state.range(0)));
    Boxes boxes(d, state);
    vt::Form& f = d.only("frmbettor");
    pickdata(f.control("cbobettornames"), d.nextdelete++);
    double before = resetpeak();
    for (auto _ : state) f.control("cmddelete").click();  // bets in all 60 pairs
    state.counters["growthMB"] = growthmb(before);
}
BENCHMARK(BM_DeleteBettor)->Apply(scaled);

// ---------------------------------------------------------------- printed reports

// PRINT ALL BETS on the summary screen: every bet of a full flight by bettor, one copy, through
// the Qt print sink into a PDF.
void BM_PrintAllBets(benchmark::State& state) {
    Folder& d = folder(static_cast<int>(state.range(0)));
    Boxes boxes(d, state);
    vt::Form& f = d.only("frmsummary");
    f.control("Option1").click();
    f.control("optflight", 5).click();
    d.app->shared().printswitch = "yes";
    d.dialogs.typed = "1";
    d.sink->lastoutput.clear();
    for (auto _ : state) f.control("cmdbettorall").click();
    d.dialogs.typed.clear();
    d.app->shared().printswitch = "no";
    std::error_code ec;
    auto bytes = fs::file_size(d.sink->lastoutput, ec);
    state.counters["pdfKB"] = ec ? 0.0 : static_cast<double>(bytes) / 1024;
}
BENCHMARK(BM_PrintAllBets)->Apply(scaled);

}  // namespace

// A full-capacity program folder at `dir` for the program itself, with a setup file naming the
// flights as the benchmarks do.
int makebenchfolder(const std::string& dir) {
    Folder d(8, dir);
    d.keep = true;
    vt::Shared& sh = d.app->shared();
    vt::setupdefaults(sh);
    vt::fixcapacities(sh);
    betsettings(sh);
    sh.banner1 = "BENCH OPEN - ROUND 1";
    try {
        vt::writesetup(*d.app);
    } catch (const vt::FileError&) {
        return 1;
    }
    return 0;
}

// The generated folders go before the program ends, while Qt is still there.
void removebenchfolders() { folders().clear(); }
