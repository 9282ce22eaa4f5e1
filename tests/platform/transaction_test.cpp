#include "platform/transaction.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "errorof.h"
#include "testapp.h"

using namespace vt;
using vt::test::errorof;
using vt::test::TempFolder;

namespace {

namespace fs = std::filesystem;

// Every file of a folder tree whose name ends in "~" (temporaries and journals).
std::vector<std::string> leftovers(const std::string& folder) {
    std::vector<std::string> out;
    for (auto& e : fs::recursive_directory_iterator(folder))
        if (e.path().filename().string().back() == '~') out.push_back(e.path().string());
    return out;
}

// A program folder with three data files, one of them in a data folder elsewhere (a drive), and
// one operation over all of them: a replacement, an append and a deletion.
struct ThreeFiles {
    TempFolder program, drive;
    std::string a() const { return "C:\\Vantrope\\A"; }
    std::string b() const { return drive.path() + "/B"; }
    std::string c() const { return "C:\\Vantrope\\C"; }
    ThreeFiles() {
        program.write("A", "old a\r\n");
        drive.write("B", "old b\r\n");
        program.write("C", "old c\r\n");
    }
    void operation(const Files& files) const {
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
    files.setfault({});
    t.operation(files);
    EXPECT_TRUE(t.after());
    return files.calls();
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

// At every file-system call of the operation: one failure, failures from then on, or a crash.
// A fresh start on the folder then holds every file as before (failure reported, or a crash
// before the commit point) or every file as after (success, or a crash after it), and nothing
// else.
TEST(Transaction, EveryCallFailingOrCrashingLeavesBeforeOrAfter) {
    long total = callsofoperation();
    ASSERT_GT(total, 10);
    struct Mode {
        Fault::Kind kind;
        int err;
        bool persist;
    };
    const Mode modes[] = {{Fault::Fail, EIO, false},
                          {Fault::Fail, ENOSPC, true},
                          {Fault::Fail, EACCES, true},
                          {Fault::Crash, 0, false}};
    for (const Mode& m : modes) {
        int befores = 0, afters = 0;
        for (long n = 1; n <= total; ++n) {
            SCOPED_TRACE("call " + std::to_string(n) + " kind " + std::to_string(m.kind) + " err " +
                         std::to_string(m.err));
            ThreeFiles t;
            bool failed = false, crashed = false;
            {
                Files files(t.program.path());
                files.setfault({m.kind, n, m.err, m.persist});
                try {
                    t.operation(files);
                } catch (const FileError&) {
                    failed = true;
                } catch (const SimulatedCrash&) {
                    crashed = true;
                }
            }
            Files fresh(t.program.path());
            fresh.startup();
            Transaction probe(fresh);  // the next operation sees no pending journal
            fresh.replacefile("C:\\Vantrope\\probe", "p");
            probe.commit();
            if (failed) {
                EXPECT_TRUE(t.before());
            } else if (!crashed) {
                EXPECT_TRUE(t.after());
            }
            EXPECT_TRUE(t.before() || t.after());
            befores += t.before();
            afters += t.after();
            EXPECT_EQ(leftovers(t.program.path()), std::vector<std::string>{});
            // The drive's folder is swept by the next commit into it.
            Files again(t.program.path());
            again.replacefile(t.drive.path() + "/probe", "p");
            EXPECT_EQ(leftovers(t.drive.path()), std::vector<std::string>{});
        }
        EXPECT_GT(befores, 0);
        if (m.kind == Fault::Crash) {
            EXPECT_GT(afters, 0);
        }
    }
}

TEST(Transaction, AFailureAfterTheCommitPointIsFinishedBeforeTheNextOperation) {
    ThreeFiles t;
    Files files(t.program.path());
    // The call after the journal's rename: the operation has happened, its files wait.
    files.setfault({Fault::Fail, callsofoperation() - 5, EACCES, true});
    t.operation(files);  // no error: committed
    EXPECT_TRUE(t.program.exists("Journal~"));
    files.setfault({});
    // A commit now finishes the journal first and refuses itself: it may have read old files.
    Transaction tx(files);
    files.replacefile(t.a(), "later\r\n");
    EXPECT_EQ(errorof([&] { tx.commit(); }), 57);
    EXPECT_TRUE(t.after());
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
    program.write("Journal~", "VANTROPE JOURNAL 1\nR " + p + "/A\nD " + p + "/B\nEND 2\n");
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
    program.write("Journal~", "VANTROPE JOURNAL 1\nR " + p + "/A\nEND 1");
    Files(p).startup();
    EXPECT_EQ(program.read("A"), "new");
    EXPECT_EQ(leftovers(p), std::vector<std::string>{});
}

TEST(Transaction, StartupWithoutAProgramFolderAndAFirstCommitMakingIt) {
    TempFolder base;
    Files files(base.path() + "/Vantrope");
    files.startup();  // nothing there yet: nothing to do
    files.replacefile("C:\\Vantrope\\Init", "setup");
    EXPECT_EQ(base.read("Vantrope/Init"), "setup");
    EXPECT_EQ(leftovers(base.path()), std::vector<std::string>{});
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
    files.setfault({Fault::Fail, 2, EIO, false});  // the sync after the write
    EXPECT_EQ(errorof([&] { f.write("two\r\n"); }), 57);
    f.close();
    EXPECT_EQ(program.read("Results"), "one\r\n");
}

// A run of records is written as it goes and synced once at its end; a failed write takes back
// only its record, a failed sync the whole run, so the file ends on a whole record either way.
TEST(AppendFile, ARunIsSyncedOnceAndAFailedSyncTakesTheRunBack) {
    TempFolder program;
    Files files(program.path());
    AppendFile f;
    f.open(files, "C:\\Vantrope\\Results");
    f.write("before\r\n");
    files.setfault({});
    {
        AppendFile::Run run(f);
        for (int i = 0; i < 100; ++i) f.write("r\r\n");
        EXPECT_EQ(files.calls(), 100);  // the writes, no sync yet
        run.end();
    }
    EXPECT_EQ(files.calls(), 101);
    EXPECT_EQ(program.read("Results").size(), 8u + 300u);

    // The run's sync fails: none of the run stays.
    {
        AppendFile::Run run(f);
        f.write("lost\r\n");
        f.write("lost\r\n");
        files.setfault({Fault::Fail, 1, EIO, false});
        EXPECT_EQ(errorof([&] { run.end(); }), 57);
    }
    EXPECT_EQ(program.read("Results").size(), 8u + 300u);

    // A write that fails inside a run takes back its own record; the run's others stay.
    {
        AppendFile::Run run(f);
        f.write("kept\r\n");
        files.setfault({Fault::Fail, 1, ENOSPC, false});
        EXPECT_EQ(errorof([&] { f.write("cut\r\n"); }), 61);
        run.end();
    }
    f.close();
    const std::string got = program.read("Results");
    EXPECT_EQ(got.substr(got.size() - 6), "kept\r\n");
}
