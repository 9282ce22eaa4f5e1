#include "faults.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/transaction.h"

namespace vt::test {

namespace fs = std::filesystem;

int AnsweringDialogs::msgbox(const std::string& prompt, int style, const std::string&) {
    prompts.push_back(prompt);
    if (prompt.size() > 3 && prompt[0] == ' ' && isdigit(static_cast<unsigned char>(prompt[1])))
        ++errorboxes;
    int kind = style & 7;
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
        if (!e.is_regular_file()) continue;
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
};

Snapshots takeall(const TempFolder& program, const FaultCase& c) {
    Snapshots out{snapshot(program.path())};
    for (auto* f : c.others) out.push_back(snapshot(f->path()));
    return out;
}

// Empties the other folders and writes the case afresh.
Run runonce(const FaultCase& c, const TempFolder& program, const Fault& fault) {
    for (auto* f : c.others)
        for (auto& e : fs::directory_iterator(f->path())) fs::remove_all(e.path());
    c.prepare(program);
    Run r;
    AnsweringDialogs dialogs;
    CapturePrintSink printed;
    {
        App app(AppEnvironment{program.path(), &dialogs, &printed});
        try {
            c.operation(app, [&] {
                r.before = takeall(program, c);
                dialogs.errorboxes = 0;
                app.files().setfault(fault);
            });
        } catch (const SimulatedCrash&) {
            r.crashed = true;
        }
        r.calls = app.files().calls();
        r.commits = app.files().commits();
        r.undecided = app.files().undecided();
        r.spans = app.files().commitspans();
        r.errorboxes = dialogs.errorboxes;
        app.files().setfault({});
    }
    // The next start on the folder.
    AnsweringDialogs fresh;
    App next(AppEnvironment{program.path(), &fresh, &printed});
    next.files().startup();
    r.after = takeall(program, c);
    return r;
}

std::string describe(const Fault& f) {
    return "call " + std::to_string(f.at) +
           (f.kind == Fault::Crash ? " crash" : " errno " + std::to_string(f.err)) +
           (f.persist ? " on" : " once");
}

bool hasleftovers(const Snapshots& s) {
    for (auto& m : s)
        for (auto& [name, bytes] : m)
            if (name.back() == '~') return true;
    return false;
}

}  // namespace

int runfaults(const FaultCase& c) {
    // The clean run: what before and after are, and how many calls the operation makes.
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
        before = clean.before;
        after = clean.after;
        EXPECT_NE(before, after);
    }
    // Every call of a commit is tried in every mode; other calls (the reading) every stride-th,
    // failing once and crashing.
    auto incommit = [&](long n) {
        // A long commit (a hundred files) keeps its ends and every fifth call between.
        for (auto& [first, last] : spans)
            if (n >= first && n <= last && (n < first + 24 || n > last - 24 || n % 5 == 0))
                return true;
        return false;
    };
    int runs = 0;
    const Fault modes[] = {{Fault::Fail, 0, EIO, false},
                           {Fault::Fail, 0, ENOSPC, true},
                           {Fault::Fail, 0, EACCES, true},
                           {Fault::Crash, 0, 0, false}};
    for (const Fault& mode : modes) {
        for (long n = 1; n <= total; ++n) {
            if (!incommit(n) && (n % c.stride != 0 || mode.persist)) continue;
            Fault f = mode;
            f.at = n;
            SCOPED_TRACE(describe(f));
            TempFolder program(fastbase());
            Run r = runonce(c, program, f);
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
            if (::testing::Test::HasFailure()) return runs;
        }
    }
    return runs;
}

}  // namespace vt::test
