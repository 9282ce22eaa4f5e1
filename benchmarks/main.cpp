// Runs the benchmarks. Actions repeated for their spread report only min, median and max.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/qt/qtview.h"

namespace {

class SpreadReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> kept;
        for (const Run& r : runs)
            if (r.run_type != Run::RT_Aggregate || r.aggregate_name == "min" ||
                r.aggregate_name == "median" || r.aggregate_name == "max")
                kept.push_back(r);
        if (!kept.empty()) ConsoleReporter::ReportRuns(kept);
    }
};

}  // namespace

void removebenchfolders();
int makebenchfolder(const std::string& dir);

int main(int argc, char** argv) {
    // --make-folder DIR: only writes a full-capacity program folder there (for the start-up
    // timing of the real program).
    if (argc == 3 && std::string(argv[1]) == "--make-folder") return makebenchfolder(argv[2]);
    // As the program runs, so the figures are the program's.
    vt::processsettings();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SpreadReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    removebenchfolders();
    benchmark::Shutdown();
    return 0;
}
