#include "platform/transaction.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "errorof.h"
#include "faultseam.h"
#include "journals.h"
#include "platform/hostio.h"
#include "testapp.h"

using namespace vt;
using vt::test::errorof;
using vt::test::Fault;
using vt::test::faults;
using vt::test::sealedjournal;
using vt::test::SimulatedCrash;
using vt::test::TempFolder;

namespace {

namespace fs = std::filesystem;

// Every file of a folder tree whose name ends in "~" (temporaries and journals), but the commits'
// spares.
std::vector<std::string> leftovers(const std::string& folder) {
    std::vector<std::string> out;
    for (auto& e : fs::recursive_directory_iterator(folder)) {
        std::string name = e.path().filename().string();
        if (name.back() == '~' && !vt::test::isspare(name)) out.push_back(e.path().string());
    }
    return out;
}

// Maps a drive letter to a folder for as long as it lives.
struct DriveLetter {
    std::string name;
    DriveLetter(const std::string& letter, const std::string& folder)
        : name("VANTROPE_DRIVE_" + letter) {
        setenv(name.c_str(), folder.c_str(), 1);
    }
    ~DriveLetter() { unsetenv(name.c_str()); }
};

// A program folder with three data files, one of them in a data folder elsewhere (a drive), and
// one operation over all of them: a replacement, an append and a deletion.
struct ThreeFiles {
    TempFolder program{vt::test::fastbase()}, drive{vt::test::fastbase()};
    DriveLetter letter{"E", drive.path()};
    std::string a() const { return "C:\\Vantrope\\A"; }
    std::string b() const { return drive.path() + "/B"; }
    std::string c() const { return "C:\\Vantrope\\C"; }
    ThreeFiles() {
        program.write("A", "old a\r\n");
        drive.write("B", "old b\r\n");
        program.write("C", "old c\r\n");
    }
    void operation(Files& files) const {
        Transaction tx(files);
        files.replacefile(a(), "new a\r\n");
        files.append(b(), "more b\r\n");
        files.remove(c());
        tx.commit();
    }
    bool before() const {
        return program.read("A") == "old a\r\n" && drive.read("B") == "old b\r\n" &&
               program.exists("C");
    }
    bool after() const {
        return program.read("A") == "new a\r\n" && drive.read("B") == "old b\r\nmore b\r\n" &&
               !program.exists("C");
    }
};

// The file-system calls the operation makes when nothing fails.
long callsofoperation() {
    ThreeFiles t;
    Files files(t.program.path());
    faults(files).setfault({});
    t.operation(files);
    EXPECT_TRUE(t.after());
    return faults(files).calls();
}

}  // namespace

TEST(Transaction, CommitsEveryChangeTogetherAndLeavesNothingBehind) {
    ThreeFiles t;
    Files files(t.program.path());
    Transaction tx(files);
    files.replacefile(t.a(), "new a\r\n");
    files.append(t.b(), "more b\r\n");
    files.append(t.b(), "again\r\n");
    files.remove(t.c());
    // Staged changes are seen by reads and are not on disk yet.
    EXPECT_EQ(files.readall(t.b()), "old b\r\nmore b\r\nagain\r\n");
    EXPECT_FALSE(files.exists(t.c()));
    EXPECT_EQ(errorof([&] { files.readall(t.c()); }), 53);
    EXPECT_TRUE(t.before());
    {
        Transaction inner(files);  // joins: its commit waits for the outer one
        files.replacefile(t.a(), "new a\r\n");
        inner.commit();
        EXPECT_TRUE(inner.nested());
        EXPECT_TRUE(t.before());
    }
    tx.commit();
    EXPECT_EQ(t.drive.read("B"), "old b\r\nmore b\r\nagain\r\n");
    EXPECT_EQ(t.program.read("A"), "new a\r\n");
    EXPECT_FALSE(t.program.exists("C"));
    EXPECT_TRUE(leftovers(t.program.path()).empty());
    EXPECT_TRUE(leftovers(t.drive.path()).empty());
}

TEST(Transaction, UncommittedIsDiscardedAndWritesOutsideOneAreTheirOwn) {
    ThreeFiles t;
    Files files(t.program.path());
    {
        Transaction tx(files);
        files.replacefile(t.a(), "lost\r\n");
    }
    EXPECT_TRUE(t.before());
    files.append(t.a(), "x\r\n");
    EXPECT_EQ(t.program.read("A"), "old a\r\nx\r\n");
    EXPECT_EQ(errorof([&] { files.remove("C:\\Vantrope\\none"); }), 53);
    files.append("C:\\Vantrope\\new", "n\r\n");
    EXPECT_EQ(t.program.read("new"), "n\r\n");
}

namespace {

// What one run of the operation with a fault came to.
struct Outcome {
    bool failed = false, crashed = false, undecided = false;
    bool committed = false;  // the operation passed its commit point and knew it on disk
    long restartcalls = 0;   // file-system calls of the next start's recovery and sweep
};

// The operation with `first` set; then the next start with `second` set, followed by the sweep a
// screen's load makes of the program folder and the drive; then a clean start and a probe commit
// (the next operation sees no pending journal).
Outcome runwithrestart(const ThreeFiles& t, const Fault& first, const Fault& second) {
    Outcome o;
    {
        Files files(t.program.path());
        faults(files).setfault(first);
        try {
            t.operation(files);
        } catch (const FileError&) {
            o.failed = true;
        } catch (const SimulatedCrash&) {
            o.crashed = true;
        }
        o.undecided = faults(files).undecided() > 0;
        o.committed = faults(files).commits() > 0;
    }
    {
        Files next(t.program.path());
        faults(next).setfault(second);
        try {
            next.startup();
            next.sweep("C:\\Vantrope\\");
            next.sweep(t.drive.path());
        } catch (const SimulatedCrash&) {
        }
        o.restartcalls = faults(next).calls();
    }
    Files fresh(t.program.path());
    fresh.startup();
    Transaction probe(fresh);
    fresh.replacefile("C:\\Vantrope\\probe", "p");
    probe.commit();
    return o;
}

// With the operation's journal left waiting, a later commit of the run finishes the journal
// first and refuses itself: it may have read old files.
void expectlatercommitwaits(const ThreeFiles& t, Files& files) {
    EXPECT_TRUE(t.program.exists("Journal~"));
    faults(files).setfault({});
    Transaction tx(files);
    files.replacefile(t.a(), "later\r\n");
    try {
        tx.commit();
        ADD_FAILURE() << "committed while a journal waits";
    } catch (const FileError& e) {
        EXPECT_EQ(e.number, 57);
        // The box blames the journal, not the files of the operation.
        EXPECT_EQ(e.file, "C:\\Vantrope\\Journal~");
    }
    EXPECT_TRUE(t.after());
}

std::string describe(const Fault& f) {
    const char* kinds[] = {"none", "fail", "crash", "power cut"};
    return "call " + std::to_string(f.at) + " " + kinds[f.kind] +
           (f.kind == Fault::Fail
                ? " errno " + std::to_string(f.err) + (f.persist ? " on" : " once")
                : "");
}

}  // namespace

// At every file-system call of the operation: one failure, failures from then on, a crash or a
// power cut; after a crash or a power cut also every call of the next start's recovery failing
// once, crashing or cutting the power. A clean start on the folder then holds every file as before
// (failure reported) or every file as after (success, or a crash or power cut once the commit
// point was on disk), either after a crash or power cut before that, and nothing else.
TEST(Transaction, EveryCallFailingOrCrashingLeavesBeforeOrAfter) {
    long total = callsofoperation();
    ASSERT_GT(total, 10);
    const Fault modes[] = {{Fault::Fail, 0, EIO, false},
                           {Fault::Fail, 0, ENOSPC, true},
                           {Fault::Fail, 0, EACCES, true},
                           {Fault::Crash, 0, 0, false},
                           {Fault::PowerCut, 0, 0, false}};
    const Fault seconds[] = {
        {Fault::Fail, 0, EIO, false}, {Fault::Crash, 0, 0, false}, {Fault::PowerCut, 0, 0, false}};
    for (const Fault& mode : modes) {
        int befores = 0, afters = 0;
        // One run; returns the calls of its restart.
        auto run = [&](const Fault& first, const Fault& second) {
            SCOPED_TRACE(describe(first) + ", at the restart " + describe(second));
            ThreeFiles t;
            Outcome o = runwithrestart(t, first, second);
            if (o.failed && !o.undecided) {
                EXPECT_TRUE(t.before());
            } else if (o.committed || !o.crashed) {
                EXPECT_TRUE(t.after());
            }
            // Only syncs failing from the commit point on leave the outcome to the recovery.
            EXPECT_TRUE(!o.undecided || first.persist);
            EXPECT_TRUE(t.before() || t.after());
            befores += t.before();
            afters += t.after();
            EXPECT_EQ(leftovers(t.program.path()), std::vector<std::string>{});
            // The drive's folder is swept by the next commit into it.
            Files again(t.program.path());
            again.replacefile(t.drive.path() + "/probe", "p");
            EXPECT_EQ(leftovers(t.drive.path()), std::vector<std::string>{});
            return o.restartcalls;
        };
        for (long n = 1; n <= total; ++n) {
            Fault first = mode;
            first.at = n;
            long restartcalls = run(first, {});
            if (mode.kind == Fault::Fail) continue;
            for (Fault second : seconds)
                for (second.at = 1; second.at <= restartcalls; ++second.at) run(first, second);
        }
        EXPECT_GT(befores, 0);
        if (mode.kind != Fault::Fail) {
            EXPECT_GT(afters, 0);
        }
    }
}

TEST(Transaction, AFailureAfterTheCommitPointIsFinishedBeforeTheNextOperation) {
    ThreeFiles t;
    Files files(t.program.path());
    // The call after the journal's rename: the operation has happened, its files wait.
    faults(files).setfault({Fault::Fail, callsofoperation() - 5, EACCES, true});
    t.operation(files);  // no error: committed
    expectlatercommitwaits(t, files);
    EXPECT_FALSE(t.program.exists("Journal~"));
    files.replacefile(t.a(), "later\r\n");
    EXPECT_EQ(t.program.read("A"), "later\r\n");
}

TEST(Transaction, StartupCompletesAWholeJournalAndDiscardsAnUnfinishedOne) {
    TempFolder program;
    std::string p = program.path();
    program.write("A", "old");
    program.write("A.tmp~", "new");
    program.write("B", "gone");
    program.write("Journal~", sealedjournal(p, {{'R', p + "/A"}, {'D', p + "/B"}}));
    fs::create_directory(p + "/Init");
    program.write("Init/Setup.tmp~", "stray");
    program.write("C", "keep");
    program.write("C.tmp~", "half");
    program.write("Journal.new~", "VANTROPE JOURNAL 1\nR " + p + "/C\n");
    Files(p).startup();
    EXPECT_EQ(program.read("A"), "new");
    EXPECT_FALSE(program.exists("B"));
    EXPECT_EQ(program.read("C"), "keep");
    EXPECT_EQ(leftovers(p), std::vector<std::string>{});

    // A journal cut short before its end line is not made.
    program.write("A.tmp~", "newer");
    std::string whole = sealedjournal(p, {{'R', p + "/A"}});
    program.write("Journal~", whole.substr(0, whole.size() - 1));
    Files(p).startup();
    EXPECT_EQ(program.read("A"), "new");
    EXPECT_EQ(leftovers(p), std::vector<std::string>{});
}

// A program folder named relative to the working folder: its journals name files by absolute
// paths, so a commit cut after its commit point is completed at the next start.
TEST(Transaction, AProgramFolderNamedRelativelyHasItsJournalsCompleted) {
    TempFolder base;
    fs::path was = fs::current_path();
    fs::current_path(base.path());
    fs::create_directory("Vantrope");
    // Crashed at the first call that finds the journal whole on disk.
    for (long n = 1; n < 50 && !fs::exists("Vantrope/Journal~"); ++n) {
        Files f("./Vantrope/");
        faults(f).setfault({Fault::Crash, n});
        try {
            f.replacefile("C:\\Vantrope\\A", "new");
        } catch (const SimulatedCrash&) {
        }
    }
    bool journal = fs::exists("Vantrope/Journal~");
    Files("Vantrope").startup();
    fs::current_path(was);
    ASSERT_TRUE(journal);
    EXPECT_EQ(base.read("Vantrope/A"), "new");
    EXPECT_EQ(leftovers(base.path()), std::vector<std::string>{});
}

// A commit never makes a folder: into a program folder or a data folder that has gone it fails
// as any other write would, and nothing is made.
TEST(Transaction, ACommitIntoAVanishedFolderFailsAndMakesNothing) {
    TempFolder base, data;
    std::string pf = base.path() + "/Vantrope";
    Files files(pf);
    files.startup();  // nothing there yet: nothing to do
    EXPECT_EQ(errorof([&] { files.replacefile("C:\\Vantrope\\Init", "setup"); }), 76);
    EXPECT_EQ(errorof([&] { files.append(data.path() + "/Bets", "1\r\n"); }), 76);
    EXPECT_FALSE(fs::exists(pf));
    EXPECT_FALSE(data.exists("Bets"));

    fs::create_directory(pf);
    EXPECT_EQ(errorof([&] { files.append(data.path() + "/gone/Bets", "1\r\n"); }), 76);
    EXPECT_FALSE(data.exists("gone"));
    files.append(data.path() + "/Bets", "1\r\n");
    EXPECT_EQ(data.read("Bets"), "1\r\n");
    EXPECT_EQ(leftovers(base.path()), std::vector<std::string>{});
}

// A failed commit names the title under which its failing file was staged: the transaction's own,
// the one title() set, or a nested transaction's while it was open, never one set afterwards.
TEST(Transaction, AFailureIsTitledByWhatStagedTheFailingFile) {
    auto failedlabel =
        [](const std::function<void(Files&, const std::string&, Transaction&)>& stage) {
            ThreeFiles t;
            Files files(t.program.path());
            Transaction tx(files, "Operation");
            stage(files, t.b(), tx);
            tx.title("Later");
            fs::remove_all(t.drive.path());  // the drive file's temporary cannot be made
            EXPECT_EQ(errorof([&] { tx.commit(); }), 76);
            EXPECT_EQ(tx.failedfile(), t.b());
            EXPECT_TRUE(t.program.read("A") == "old a\r\n" && t.program.exists("C"));
            return tx.failedlabel();
        };
    EXPECT_EQ(failedlabel([](Files& f, const std::string& b, Transaction&) {
                  f.replacefile("C:\\Vantrope\\A", "new a\r\n");
                  f.append(b, "more\r\n");
              }),
              "Operation");
    EXPECT_EQ(failedlabel([](Files& f, const std::string& b, Transaction& tx) {
                  f.replacefile("C:\\Vantrope\\A", "new a\r\n");
                  tx.title("Backup Output");
                  f.append(b, "more\r\n");
              }),
              "Backup Output");
    EXPECT_EQ(failedlabel([](Files& f, const std::string& b, Transaction&) {
                  Transaction inner(f, "Inner");
                  f.replacefile("C:\\Vantrope\\A", "new a\r\n");
                  inner.title("Inner backup");
                  f.append(b, "more\r\n");
                  inner.commit();  // joins the outer one: nothing is written yet
              }),
              "Inner backup");
    // After a nested transaction ends, what the outer one stages is its own again.
    EXPECT_EQ(failedlabel([](Files& f, const std::string& b, Transaction&) {
                  {
                      Transaction inner(f, "Inner");
                      inner.title("Inner backup");
                      f.replacefile("C:\\Vantrope\\A", "new a\r\n");
                  }
                  f.remove("C:\\Vantrope\\C");
                  f.append(b, "more\r\n");
              }),
              "Operation");
}

// An error met while a file is staged carries the title it is staged under; one outside a
// transaction carries none.
TEST(Transaction, AnErrorWhileStagingCarriesItsTitle) {
    TempFolder program;
    fs::create_directories(program.file("Blocked"));
    program.write("A", "a\r\n");
    Files files(program.path());
    auto titleof = [&](const std::function<void()>& stage) {
        try {
            stage();
        } catch (const FileError& e) {
            EXPECT_EQ(e.number, 75);
            return e.title;
        }
        ADD_FAILURE() << "a folder was written over";
        return std::string();
    };
    const std::string blocked = "C:\\Vantrope\\Blocked";
    EXPECT_EQ(titleof([&] { files.replacefile(blocked, "x"); }), "");
    Transaction tx(files, "Operation");
    EXPECT_EQ(titleof([&] { files.replacefile(blocked, "x"); }), "Operation");
    tx.title("Backup Output");
    EXPECT_EQ(titleof([&] { files.append(blocked, "x"); }), "Backup Output");
    {
        Transaction inner(files, "Inner");
        EXPECT_EQ(titleof([&] { files.copy("C:\\Vantrope\\A", blocked); }), "Inner");
    }
    EXPECT_EQ(titleof([&] { files.replacefile(blocked, "x"); }), "Backup Output");
}

// A sweep while a journal waits (its recovery failed) keeps the temporaries the journal names:
// they are the new contents the recovery puts in place, however often it is tried.
TEST(Transaction, ASweepLeavesTheTemporariesOfAWaitingJournal) {
    TempFolder program;
    std::string p = program.path();
    program.write("A", "old");
    program.write("A.tmp~", "new");
    program.write("Journal~", sealedjournal(p, {{'R', p + "/A"}}));
    for (int attempt = 0; attempt < 3; ++attempt) {
        Files files(p);
        faults(files).setfault({Fault::Fail, 1, EIO, true});
        files.startup();  // the recovery fails: the journal stays
        faults(files).setfault({});
        files.sweep("C:\\Vantrope\\");
        EXPECT_TRUE(program.exists("A.tmp~"));
        Files(p).sweep(p);  // a run that has not recovered yet
        EXPECT_TRUE(program.exists("A.tmp~"));
    }
    Files(p).startup();
    EXPECT_EQ(program.read("A"), "new");
    EXPECT_EQ(leftovers(p), std::vector<std::string>{});
}

// When the sync that makes the commit point durable keeps failing, the journal cannot be taken
// back either: the operation fails, later commits of the run wait for its recovery, and that
// recovery completes it.
TEST(Transaction, ACommitPointThatCannotBeMadeSureIsLeftToTheRecovery) {
    long n = 1;
    for (;; ++n) {
        ThreeFiles t;
        Files files(t.program.path());
        faults(files).setfault({Fault::Fail, n, EIO, true});
        ASSERT_NE(errorof([&] { t.operation(files); }), 0) << "no call leaves the outcome open";
        if (faults(files).undecided() == 0) continue;
        expectlatercommitwaits(t, files);
        break;
    }
    // Failing once there, the operation is taken back.
    ThreeFiles t;
    Files files(t.program.path());
    faults(files).setfault({Fault::Fail, n, EIO, false});
    EXPECT_EQ(errorof([&] { t.operation(files); }), 57);
    EXPECT_EQ(faults(files).undecided(), 0);
    EXPECT_TRUE(t.before());
    EXPECT_EQ(leftovers(t.program.path()), std::vector<std::string>{});
}

// A commit writes its journal, then every temporary with its write-back started, and only then
// syncs them. Found by crashes: the call where every temporary is first found written starts the
// last one's write-back, which may fail without harm; a power cut on the next call (the first
// sync) loses them all, and that sync failing fails the operation with everything taken back. A
// power cut at the commit point keeps them all (synced) for the next start to take away.
TEST(Transaction, TheTemporariesAreWrittenFirstAndThenSynced) {
    auto crashat = [](const ThreeFiles& t, Fault f) {
        Files files(t.program.path());
        faults(files).setfault(f);
        EXPECT_THROW(t.operation(files), SimulatedCrash);
    };
    auto written = [](const ThreeFiles& t) {
        return t.program.exists("Journal.new~") && t.program.exists("A.tmp~") &&
               t.drive.exists("B.tmp~") && t.drive.read("B.tmp~") == "old b\r\nmore b\r\n";
    };
    auto nothingleft = [](const ThreeFiles& t) {
        EXPECT_TRUE(t.before());
        EXPECT_EQ(leftovers(t.program.path()), std::vector<std::string>{});
        EXPECT_EQ(leftovers(t.drive.path()), std::vector<std::string>{});
    };
    long kick = 0, point = 0;
    for (long n = 1; !point; ++n) {
        ThreeFiles t;
        crashat(t, {Fault::Crash, n});
        if (!kick && written(t)) kick = n;
        if (t.program.exists("Journal~")) point = n - 1;
    }
    ASSERT_GT(kick, 0);
    ASSERT_GT(point, kick + 2);
    {
        ThreeFiles t;
        Files files(t.program.path());
        faults(files).setfault({Fault::Fail, kick, EIO, false});
        t.operation(files);
        EXPECT_TRUE(t.after());
    }
    {
        ThreeFiles t;
        crashat(t, {Fault::PowerCut, kick + 1});
        nothingleft(t);
    }
    for (int err : {EIO, ENOSPC}) {
        ThreeFiles t;
        Files files(t.program.path());
        faults(files).setfault({Fault::Fail, kick + 1, err, false});
        EXPECT_EQ(errorof([&] { t.operation(files); }), err == EIO ? 57 : 61);
        EXPECT_EQ(faults(files).commits(), 0);
        nothingleft(t);
    }
    {
        ThreeFiles t;
        crashat(t, {Fault::PowerCut, point});
        EXPECT_TRUE(written(t));
        EXPECT_EQ(t.program.read("A.tmp~"), "new a\r\n");
        Files(t.program.path()).startup();
        nothingleft(t);
    }
}

// A commit tells the io it writes through where it begins and ends, also when it fails, and
// whether it passed its commit point; an empty commit makes no call and tells nothing.
TEST(Transaction, TheIoHearsEachCommitFromItsFirstCallToItsLast) {
    ThreeFiles t;
    Files files(t.program.path());
    vt::test::FaultSeam& seam = faults(files);
    EXPECT_EQ(&faults(files), &seam);  // put in place once
    seam.setfault({});
    Transaction(files).commit();
    EXPECT_TRUE(seam.commitspans().empty());
    {
        Transaction tx(files);
        files.replacefile(t.a(), "new a\r\n");
        files.append(t.b(), "more b\r\n");  // reads B: calls outside the commit
        long staged = seam.calls();
        ASSERT_GT(staged, 0);
        tx.commit();
        ASSERT_EQ(seam.commitspans().size(), 1u);
        EXPECT_EQ(seam.commitspans()[0], std::make_pair(staged + 1, seam.calls()));
        EXPECT_EQ(seam.commits(), 1);
    }
    // Failing at its third call (the journal's write): a span all the same, and no commit.
    seam.setfault({Fault::Fail, 3, EIO, false});
    {
        Transaction tx(files);
        files.replacefile(t.a(), "newer a\r\n");
        EXPECT_EQ(errorof([&] { tx.commit(); }), 57);
    }
    ASSERT_EQ(seam.commitspans().size(), 1u);
    EXPECT_EQ(seam.commitspans()[0], std::make_pair(1L, seam.calls()));
    EXPECT_GT(seam.calls(), 3);  // and takes back what it made
    EXPECT_EQ(seam.commits(), 0);
    EXPECT_EQ(t.program.read("A"), "new a\r\n");
}

TEST(Transaction, ADataFolderElsewhereIsSweptOnce) {
    TempFolder program, data;
    data.write("Players.tmp~", "stray");
    data.write("Players", "kept");
    Files files(program.path());
    files.sweep(data.path() + "/");
    EXPECT_EQ(leftovers(data.path()), std::vector<std::string>{});
    EXPECT_EQ(data.read("Players"), "kept");
    files.sweep("Q:\\Bets");  // a drive not there: nothing to do
}

TEST(AppendFile, AFailedSyncIsReportedAndTakesTheRecordBack) {
    TempFolder program;
    Files files(program.path());
    AppendFile f;
    f.open(files, "C:\\Vantrope\\Results");
    f.write("one\r\n");
    faults(files).setfault({Fault::Fail, 2, EIO, false});  // the sync after the write
    EXPECT_EQ(errorof([&] { f.write("two\r\n"); }), 57);
    f.close();
    EXPECT_EQ(program.read("Results"), "one\r\n");
}

// The seam's power cut keeps a file's contents as at its last fsync and a folder's entries as at
// its last sync, and nothing the operation did not change.
TEST(PowerCut, LosesWhatWasNotSynced) {
    TempFolder root(vt::test::fastbase());
    fs::create_directory(root.file("sub"));
    for (const char* name : {"a", "b", "untouched", "sub/e"})
        root.write(name, std::string("old ") + name);
    Files files(root.path());
    faults(files).setfault({Fault::PowerCut, 1000});
    const HostIo& io = faults(files);
    auto writefile = [&](const std::string& name, const std::string& bytes, bool sync) {
        FdGuard fd{io.open(root.file(name), O_WRONLY | O_CREAT | O_TRUNC)};
        ASSERT_GE(fd.fd, 0);
        ASSERT_TRUE(writeall(io, fd.fd, bytes));
        if (sync) {
            ASSERT_EQ(io.fsync(fd.fd), 0);
        }
    };
    writefile("a", "new a", false);  // contents not synced: back to the old
    writefile("b", "new b", true);   // synced over a name on disk: kept
    writefile("c", "new c", true);   // a new name whose folder is not synced: gone
    writefile("sub/d", "new d", false);
    ASSERT_EQ(io.rename(root.file("sub/e"), root.file("sub/f")), 0);
    ASSERT_EQ(io.fsyncdir(root.file("sub")), 0);  // d's name and the rename are kept, d empty
    ASSERT_EQ(io.rename(root.file("sub/f"), root.file("sub/g")), 0);  // not synced: f again
    ASSERT_EQ(io.mkdir(root.file("made")), 0);
    writefile("made/h", "h", true);
    ASSERT_EQ(io.fsyncdir(root.file("made")), 0);  // the folder's own name is not synced: gone
    struct stat st;
    EXPECT_THROW(for (;;) io.stat(root.path(), st), SimulatedCrash);
    EXPECT_EQ(root.read("a"), "old a");
    EXPECT_EQ(root.read("b"), "new b");
    EXPECT_FALSE(root.exists("c"));
    EXPECT_EQ(root.read("sub/d"), "");
    EXPECT_FALSE(root.exists("sub/e"));
    EXPECT_EQ(root.read("sub/f"), "old sub/e");
    EXPECT_FALSE(root.exists("sub/g"));
    EXPECT_FALSE(root.exists("made"));
    EXPECT_EQ(root.read("untouched"), "old untouched");
}

namespace {

// The system's calls, with the renames heard and, while `failsyncs` is set, every sync of a
// folder after a commit point failing.
class SpareWatch final : public HostIo {
  public:
    mutable std::vector<std::pair<std::string, std::string>> renames;
    bool failsyncs = false;
    int open(const std::string& p, int flags) const override { return io_.open(p, flags); }
    ssize_t read(int fd, void* buf, size_t n) const override { return io_.read(fd, buf, n); }
    ssize_t write(int fd, const void* buf, size_t n) const override {
        return io_.write(fd, buf, n);
    }
    int fsync(int fd) const override {
        struct stat st;
        if (failsyncs && afterpoint_ && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            errno = EIO;
            return -1;
        }
        return io_.fsync(fd);
    }
    int startwriteback(int fd) const override { return io_.startwriteback(fd); }
    int ftruncate(int fd, off_t n) const override { return io_.ftruncate(fd, n); }
    int rename(const std::string& a, const std::string& b) const override {
        renames.emplace_back(fs::path(a).filename().string(), fs::path(b).filename().string());
        return io_.rename(a, b);
    }
    int unlink(const std::string& p) const override { return io_.unlink(p); }
    int stat(const std::string& p, struct stat& st) const override { return io_.stat(p, st); }
    int mkdir(const std::string& p) const override { return io_.mkdir(p); }
    DIR* opendir(const std::string& p) const override { return io_.opendir(p); }
    int removeall(const std::string& p) const override { return io_.removeall(p); }
    void commitstep(CommitStep s) const override {
        if (s == CommitStep::point) afterpoint_ = true;
        if (s == CommitStep::end) afterpoint_ = false;
    }

  private:
    SystemIo io_;
    mutable bool afterpoint_ = false;
};

const std::string kVersions[] = {"version one, the longest of them\r\n", "version two\r\n",
                                 "v3\r\n"};

void commitversion(Files& files, int k) {
    Transaction tx(files);
    files.replacefile("C:\\Vantrope\\A", kVersions[k]);
    files.replacefile("C:\\Vantrope\\B", kVersions[k]);
    tx.commit();
}

long inodeof(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? long(st.st_ino) : -1;
}

}  // namespace

// A commit keeps a file's version before it as the file's spare, and the next commit writes its
// new version into that spare instead of making a file, cut to its own length.
TEST(Transaction, TheNextVersionIsWrittenIntoTheVersionBeforeTheLast) {
    TempFolder program(vt::test::fastbase());
    program.write("A", kVersions[0]);
    const long first = inodeof(program.file("A"));
    Files files(program.path());
    commitversion(files, 1);
    EXPECT_EQ(program.read(".A.spare.tmp~"), kVersions[0]);
    commitversion(files, 2);
    EXPECT_EQ(inodeof(program.file("A")), first);
    EXPECT_EQ(program.read("A"), kVersions[2]);
    EXPECT_EQ(program.read("B"), kVersions[2]);
    EXPECT_EQ(program.read(".A.spare.tmp~"), kVersions[1]);
    EXPECT_TRUE(leftovers(program.path()).empty());
}

// A spare whose folder could not be synced after it became one may still stand on disk under the
// file's own name: it is never written over; the next commit makes its temporaries afresh.
TEST(Transaction, ASpareIsWrittenOverOnlyWhenItsFolderWasSyncedSince) {
    TempFolder program(vt::test::fastbase());
    program.write("A", kVersions[0]);
    Files files(program.path());
    auto io = std::make_unique<SpareWatch>();
    SpareWatch& watch = *io;
    files.sethostio(std::move(io));
    watch.failsyncs = true;
    commitversion(files, 1);  // it has happened; the sync of its folder is left to recovery
    watch.failsyncs = false;
    watch.renames.clear();
    // The next commit completes what waits first, and refuses itself when it did (it may have
    // read the files old).
    try {
        commitversion(files, 2);
    } catch (const FileError&) {
        commitversion(files, 2);
    }
    EXPECT_EQ(program.read("A"), kVersions[2]);
    for (auto& [from, to] : watch.renames) EXPECT_FALSE(vt::test::isspare(from)) << from;
    // Once a commit's folder was synced, its spares serve the next one.
    watch.renames.clear();
    commitversion(files, 0);
    EXPECT_EQ(program.read("A"), kVersions[0]);
    size_t taken = 0;
    for (auto& [from, to] : watch.renames) taken += vt::test::isspare(from);
    EXPECT_EQ(taken, 2u);
}

// Wherever the power goes while a commit writes into the spares of the one before, the files come
// back as one version or the other, the two alike.
TEST(Transaction, APowerCutWhileSparesAreWrittenOverLeavesOneVersionOrTheOther) {
    for (long at = 1;; ++at) {
        TempFolder program(vt::test::fastbase());
        program.write("A", kVersions[0]);
        program.write("B", kVersions[0]);
        bool cut = false;
        {
            Files files(program.path());
            commitversion(files, 1);
            faults(files).setfault({Fault::PowerCut, at});
            try {
                commitversion(files, 2);
            } catch (const SimulatedCrash&) {
                cut = true;
            }
        }
        Files next(program.path());
        next.startup();
        SCOPED_TRACE("power cut at call " + std::to_string(at));
        const std::string a = program.read("A");
        EXPECT_TRUE(a == kVersions[1] || a == kVersions[2]) << a;
        EXPECT_EQ(program.read("B"), a);
        if (!cut) break;
    }
}

// An unfinished journal's temporaries in another folder (a drive) are gone for good before the
// journal is: wherever the power goes in the start that discards them, none is left that no
// journal names.
TEST(Transaction, APowerCutWhileAnUnfinishedJournalIsDiscardedLeavesNoTemporaryBehind) {
    for (long at = 1;; ++at) {
        ThreeFiles t;
        t.program.write("Journal.new~",
                        vt::test::sealedjournal(t.program.path(), {{'R', t.program.file("A")},
                                                                   {'R', t.drive.file("B")}}));
        t.program.write("A.tmp~", "new a\r\n");
        t.drive.write("B.tmp~", "old b\r\nmore b\r\n");
        t.program.write(".A.spare.tmp~", "older a\r\n");  // kept: the start syncs the folder
        bool cut = false;
        {
            Files next(t.program.path());
            faults(next).setfault({Fault::PowerCut, at});
            try {
                next.startup();
            } catch (const SimulatedCrash&) {
                cut = true;
            }
        }
        Files(t.program.path()).startup();
        SCOPED_TRACE("power cut at call " + std::to_string(at));
        EXPECT_TRUE(t.before());
        EXPECT_EQ(leftovers(t.program.path()), std::vector<std::string>{});
        EXPECT_EQ(leftovers(t.drive.path()), std::vector<std::string>{});
        if (!cut) break;
    }
}

// A start keeps the spares of the files still there and the next commit writes into them; a
// "spare" that is a link, has a second name or has no file any more is removed, never written
// through.
TEST(Transaction, AStartKeepsOnlyPlainSparesOfFilesStillThere) {
    TempFolder program(vt::test::fastbase()), outside(vt::test::fastbase());
    program.write("A", kVersions[0]);
    program.write("B", kVersions[0]);
    {
        Files files(program.path());
        commitversion(files, 1);  // A's and B's first versions are their spares now
    }
    const long spare = inodeof(program.file(".A.spare.tmp~"));
    // B's spare becomes a link to a file elsewhere, a spare of a file that is gone appears, and
    // another file's spare has a second name.
    fs::remove(program.file(".B.spare.tmp~"));
    outside.write("elsewhere", "not ours\r\n");
    fs::create_symlink(outside.file("elsewhere"), program.file(".B.spare.tmp~"));
    program.write(".Gone.spare.tmp~", "old\r\n");
    program.write("C", "c\r\n");
    program.write(".C.spare.tmp~", "older c\r\n");
    fs::create_hard_link(program.file(".C.spare.tmp~"), outside.file("second name"));

    Files files(program.path());
    files.startup();
    EXPECT_TRUE(program.exists(".A.spare.tmp~"));
    EXPECT_FALSE(program.exists(".Gone.spare.tmp~"));
    EXPECT_FALSE(fs::is_symlink(program.file(".B.spare.tmp~")));
    EXPECT_FALSE(program.exists(".C.spare.tmp~"));
    {
        Transaction tx(files);
        files.replacefile("C:\\Vantrope\\A", kVersions[2]);
        files.replacefile("C:\\Vantrope\\B", kVersions[2]);
        files.replacefile("C:\\Vantrope\\C", "new c\r\n");
        tx.commit();
    }
    EXPECT_EQ(inodeof(program.file("A")), spare);
    EXPECT_EQ(program.read("A"), kVersions[2]);
    EXPECT_EQ(program.read("B"), kVersions[2]);
    EXPECT_EQ(program.read("C"), "new c\r\n");
    EXPECT_EQ(outside.read("elsewhere"), "not ours\r\n");
    EXPECT_EQ(outside.read("second name"), "older c\r\n");
    // A spare made a link while the program runs is not written through either.
    fs::remove(program.file(".A.spare.tmp~"));
    fs::create_symlink(outside.file("elsewhere"), program.file(".A.spare.tmp~"));
    commitversion(files, 0);
    EXPECT_EQ(program.read("A"), kVersions[0]);
    EXPECT_EQ(outside.read("elsewhere"), "not ours\r\n");
}
