#include "faults.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/folderlock.h"
#include "platform/transaction.h"

namespace vt::test {

namespace fs = std::filesystem;

int AnsweringDialogs::msgbox(const std::string& prompt, int style, const std::string&) {
    prompts.push_back(prompt);
    if (prompt.size() > 3 && prompt[0] == ' ' && isdigit(static_cast<unsigned char>(prompt[1])))
        ++errorboxes;
    int kind = style & 7;
    for (auto& n : no)
        if (prompt.find(n) != std::string::npos) return vbNo;
    if (kind == vbYesNo || kind == vbYesNoCancel) return vbYes;
    return vbOK;
}

std::string AnsweringDialogs::inputbox(const std::string& prompt, const std::string&,
                                       const std::string&) {
    prompts.push_back(prompt);
    return nextinput < inputs.size() ? inputs[nextinput++] : "";
}

std::map<std::string, std::string> snapshot(const std::string& folder) {
    std::map<std::string, std::string> out;
    for (auto& e : fs::recursive_directory_iterator(folder)) {
        // The lock file of the copy running on the folder is no data.
        if (!e.is_regular_file() || e.path().filename() == FolderLock::kLockName ||
            isspare(e.path().filename().string()))
            continue;
        std::ifstream in(e.path(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        out[fs::relative(e.path(), folder).string()] = ss.str();
    }
    return out;
}

namespace {

using Snapshots = std::vector<std::map<std::string, std::string>>;

struct Run {
    Snapshots before, after;
    long calls = 0, commits = 0, undecided = 0;
    bool crashed = false;
    int errorboxes = 0;
    std::vector<std::pair<long, long>> spans;  // first and last call of each commit (clean run)
    long recoverycalls = 0;  // calls of the next start's recovery (runs without a second fault)
};

Snapshots takeall(const TempFolder& program, const FaultCase& c) {
    Snapshots out{snapshot(program.path())};
    for (auto* f : c.others) out.push_back(snapshot(f->path()));
    return out;
}

// The program started on the folder, through App::start, with `fault` set from its first call.
// Without a fault it first counts the calls of the recovery alone.
void restart(const TempFolder& program, const Fault& fault, Run& r) {
    AnsweringDialogs dialogs;
    CapturePrintSink printed;
    App next(AppEnvironment{program.path(), &dialogs, &printed});
    faults(next.files()).setfault(fault);
    if (fault.kind == Fault::None) {
        next.files().startup();
        r.recoverycalls = faults(next.files()).calls();
    }
    try {
        next.start();
    } catch (const SimulatedCrash&) {
    }
    faults(next.files()).setfault({});
}

// Empties the other folders and writes the case afresh; runs the operation with `first` set; then
// starts the program on the folder with `second` set and, after a second fault, once more.
Run runonce(const FaultCase& c, const TempFolder& program, const Fault& first,
            const Fault& second = {}) {
    for (auto* f : c.others)
        for (auto& e : fs::directory_iterator(f->path())) fs::remove_all(e.path());
    c.prepare(program);
    Run r;
    AnsweringDialogs dialogs;
    CapturePrintSink printed;
    {
        // New identities of bets and bettors come out the same in every run.
        App app(AppEnvironment{.programfolder = program.path(),
                               .dialogs = &dialogs,
                               .printsink = &printed,
                               .identities = [n = uint64_t{0}]() mutable { return ++n; }});
        try {
            c.operation(app, [&] {
                r.before = takeall(program, c);
                dialogs.errorboxes = 0;
                faults(app.files()).setfault(first);
            });
        } catch (const SimulatedCrash&) {
            r.crashed = true;
        }
        r.calls = faults(app.files()).calls();
        r.commits = faults(app.files()).commits();
        r.undecided = faults(app.files()).undecided();
        r.spans = faults(app.files()).commitspans();
        r.errorboxes = dialogs.errorboxes;
        faults(app.files()).setfault({});
    }
    restart(program, second, r);
    if (second.kind != Fault::None) restart(program, {}, r);
    r.after = takeall(program, c);
    return r;
}

std::string describe(const Fault& f) {
    const char* kinds[] = {"none", "errno", "crash", "power cut"};
    return "call " + std::to_string(f.at) + " " + kinds[f.kind] +
           (f.kind == Fault::Fail ? " " + std::to_string(f.err) + (f.persist ? " on" : " once")
                                  : "");
}

bool hasleftovers(const Snapshots& s) {
    for (auto& m : s)
        for (auto& [name, bytes] : m)
            if (name.back() == '~') return true;
    return false;
}

// Every file is a run of whole records: each line ends with CR LF, none is empty.
bool wholelines(const Snapshots& s) {
    for (auto& m : s)
        for (auto& [name, bytes] : m) {
            size_t start = 0;
            while (start < bytes.size()) {
                size_t end = bytes.find("\r\n", start);
                if (end == std::string::npos || end == start) return false;
                if (bytes.find_first_of("\r\n", start) != end) return false;
                start = end + 2;
            }
        }
    return true;
}

// Each Bets file and its Betsbackup, where both are there, hold the same records.
bool pairsagree(const Snapshots& s) {
    for (auto& m : s)
        for (auto& [name, bytes] : m)
            if (name.size() > 4 && name.compare(name.size() - 4, 4, "Bets") == 0) {
                auto backup = m.find(name + "backup");
                if (backup != m.end() && backup->second != bytes) return false;
            }
    return true;
}

// About `count` calls from first to last, evenly spread, both ends included.
std::set<long> spread(long first, long last, long count) {
    std::set<long> out{first, last};
    for (long i = 1; i + 1 < count; ++i) out.insert(first + (last - first) * i / (count - 1));
    return out;
}

}  // namespace

int runfaults(const FaultCase& c) {
    // The clean run: what after is, and how many calls the operation makes; a crash at its first
    // call: what before is. Both as the next start leaves them.
    long total;
    Snapshots before, after;
    std::vector<std::pair<long, long>> spans;
    {
        TempFolder program(fastbase());
        Run clean = runonce(c, program, Fault{Fault::None, 0});
        EXPECT_EQ(clean.errorboxes, 0) << "the clean run failed";
        EXPECT_GT(clean.commits, 0) << "the clean run wrote nothing";
        total = clean.calls;
        spans = clean.spans;
        ::testing::Test::RecordProperty("calls", static_cast<int>(total));
        after = clean.after;
    }
    {
        TempFolder program(fastbase());
        before = runonce(c, program, Fault{Fault::Crash, 1}).after;
        EXPECT_NE(before, after);
        EXPECT_TRUE(pairsagree(before) && pairsagree(after)) << "a pair disagrees";
        EXPECT_TRUE(wholelines(before) && wholelines(after)) << "a file is not whole records";
    }
    // Every call of a commit is tried in every mode; other calls (the reading) every stride-th,
    // failing once, crashing and cutting the power.
    auto incommit = [&](long n) {
        // A long commit (a hundred files) keeps its ends and every fifth call between.
        for (auto& [first, last] : spans)
            if (n >= first && n <= last && (n < first + 24 || n > last - 24 || n % 5 == 0))
                return true;
        return false;
    };
    int runs = 0;
    auto check = [&](const Fault& mode, const Run& r) {
        ++runs;
        EXPECT_FALSE(hasleftovers(r.after)) << "temporaries left";
        bool isbefore = r.after == before, isafter = r.after == after;
        EXPECT_TRUE(isbefore || isafter) << "half applied";
        if (r.commits > 0) {
            EXPECT_TRUE(isafter) << "committed but not after";
        } else if (r.undecided > 0) {
            // Syncs failing from the commit point on: the next start completes it.
            EXPECT_TRUE(mode.persist && isafter) << "undecided";
            EXPECT_GT(r.errorboxes, 0) << "a failure without a box";
        } else if (!r.crashed) {
            // A crash before the commit point was known to be on disk may end either way.
            EXPECT_TRUE(isbefore) << "not committed but changed";
            EXPECT_GT(r.errorboxes, 0) << "a failure without a box";
        }
    };
    const Fault modes[] = {{Fault::Fail, 0, EIO, false},
                           {Fault::Fail, 0, ENOSPC, true},
                           {Fault::Fail, 0, EACCES, true},
                           {Fault::Crash, 0, 0, false},
                           {Fault::PowerCut, 0, 0, false}};
    // A second fault at the next start, at calls spread over its recovery, after a crash or a power
    // cut at calls spread over each commit (the states a recovery can meet: an unfinished journal,
    // a whole one with none, some or all of its files in place, and no journal).
    std::set<long> twice;
    for (auto& [first, last] : spans) twice.merge(spread(first, last, 5));
    ::testing::Test::RecordProperty("recoveries", static_cast<int>(twice.size()));
    const Fault seconds[] = {
        {Fault::Fail, 0, EIO, false}, {Fault::Crash, 0, 0, false}, {Fault::PowerCut, 0, 0, false}};
    for (const Fault& mode : modes) {
        for (long n = 1; n <= total; ++n) {
            bool sampled = incommit(n) || twice.count(n);
            if (!sampled && (n % c.stride != 0 || mode.persist)) continue;
            Fault f = mode;
            f.at = n;
            SCOPED_TRACE(describe(f));
            TempFolder program(fastbase());
            Run r = runonce(c, program, f);
            check(mode, r);
            if (::testing::Test::HasFailure()) return runs;
            if (mode.kind == Fault::Fail || !twice.count(n)) continue;
            for (Fault second : seconds) {
                for (long m : spread(1, r.recoverycalls, 8)) {
                    second.at = m;
                    SCOPED_TRACE("then at the next start " + describe(second));
                    TempFolder again(fastbase());
                    check(mode, runonce(c, again, f, second));
                    if (::testing::Test::HasFailure()) return runs;
                }
            }
        }
    }
    ::testing::Test::RecordProperty("runs", runs);
    return runs;
}

}  // namespace vt::test
