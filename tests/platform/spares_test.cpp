// Spares and temporaries that are not what they seem: whatever stands at a spare's or a
// temporary's name (a FIFO, a folder, a link, a second name), put there between runs or while the
// program runs, is cleared away without being written through or waited on, and the commit goes
// on; nothing outside the program folder is touched.
#include "platform/spares.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bounded.h"
#include "platform/hostio.h"
#include "platform/transaction.h"
#include "testapp.h"

using namespace vt;
using vt::test::bounded;
using vt::test::inchild;
using vt::test::oddentries;
using vt::test::TempFolder;

namespace {

namespace fs = std::filesystem;

const std::string kVersions[] = {"version one, the longest of them\r\n", "version two\r\n",
                                 "v3\r\n"};

void commitversion(Files& files, int k) {
    Transaction tx(files);
    for (const char* f : {"A", "B", "C"})
        files.replacefile(std::string("C:\\Vantrope\\") + f, kVersions[k]);
    tx.commit();
}

// What can stand at a spare's or a temporary's name instead of a plain file of one name.
enum class Odd { fifo, fiforead, folder, filelink, folderlink, secondname };
const Odd kOdds[] = {Odd::fifo,     Odd::fiforead,   Odd::folder,
                     Odd::filelink, Odd::folderlink, Odd::secondname};
const char* const kOddNames[] = {"a FIFO",           "a FIFO with a reader", "a folder",
                                 "a link to a file", "a link to a folder",   "a second name"};

// A folder outside the program folder that links and second names point into.
struct Outside {
    TempFolder folder{vt::test::fastbase()};
    Outside() {
        folder.write("elsewhere", "not ours\r\n");
        fs::create_directory(folder.file("dir"));
        folder.write("dir/kept", "kept\r\n");
    }
    // Every file in it with its bytes.
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> out;
        for (auto& e : fs::recursive_directory_iterator(folder.path()))
            if (e.is_regular_file())
                out[fs::relative(e.path(), folder.path())] =
                    folder.read(fs::relative(e.path(), folder.path()));
        return out;
    }
};

// Puts `odd` in place of whatever is at `path`; a second name is made outside.
void plant(Odd odd, const std::string& path, const Outside& out) {
    std::error_code ec;
    std::string second = out.folder.file("second " + fs::path(path).filename().string());
    if (odd == Odd::secondname && fs::exists(path, ec)) {
        fs::create_hard_link(path, second);  // the spare itself gets a second name
        return;
    }
    fs::remove_all(path, ec);
    switch (odd) {
        case Odd::fifo:
        case Odd::fiforead:
            ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
            break;
        case Odd::folder:
            fs::create_directories(path + "/sub");
            break;
        case Odd::filelink:
            fs::create_symlink(out.folder.file("elsewhere"), path);
            break;
        case Odd::folderlink:
            fs::create_directory_symlink(out.folder.file("dir"), path);
            break;
        case Odd::secondname:
            out.folder.write(fs::path(second).filename(), "second\r\n");
            fs::create_hard_link(second, path);
            break;
    }
}

// A reader of a FIFO at `path` (so that an open for writing would not fail on it), -1 for
// anything else.
int readerof(Odd odd, const std::string& path) {
    return odd == Odd::fiforead ? ::open(path.c_str(), O_RDONLY | O_NONBLOCK) : -1;
}

}  // namespace

namespace {

// Commits of A, B and C, with `odd` put at A's spare's name and at B's and C's temporaries'
// names (B has a spare, C none) after a first commit, while the program runs or `between` runs;
// between runs also a folder of links out of the program folder at D's temporary's name. No
// commit waits on what it meets or writes through it, each puts its versions in place, and
// nothing outside the program folder changes.
void commitsmeet(Odd odd, bool between) {
    TempFolder program(vt::test::fastbase());
    Outside outside;
    program.write("A", kVersions[0]);
    program.write("B", kVersions[0]);
    auto putodd = [&] {
        plant(odd, program.file(".A.spare.tmp~"), outside);
        plant(odd, program.file("B.tmp~"), outside);
        plant(odd, program.file("C.tmp~"), outside);
    };
    if (between) {
        Files earlier(program.path());
        commitversion(earlier, 1);
        putodd();
        fs::create_directories(program.file("D.tmp~/deeper"));
        fs::create_symlink(outside.folder.file("elsewhere"), program.file("D.tmp~/file link"));
        fs::create_directory_symlink(outside.folder.file("dir"),
                                     program.file("D.tmp~/deeper/folder link"));
    }
    auto ran = inchild([&] {
        Files files(program.path());
        if (!between) {
            files.startup();
            commitversion(files, 1);
            putodd();
        }
        const auto there = outside.files();
        int reader = readerof(odd, program.file(".A.spare.tmp~"));
        if (between) bounded([&] { files.startup(); });
        bounded([&] { commitversion(files, 2); });
        for (const char* f : {"A", "B", "C"}) EXPECT_EQ(program.read(f), kVersions[2]) << f;
        bounded([&] { commitversion(files, 0); });
        for (const char* f : {"A", "B", "C"}) EXPECT_EQ(program.read(f), kVersions[0]) << f;
        EXPECT_EQ(program.read(".A.spare.tmp~"), kVersions[2]);
        EXPECT_EQ(oddentries(program.path()), std::vector<std::string>{});
        EXPECT_EQ(outside.files(), there);
        if (reader >= 0) ::close(reader);
    });
    EXPECT_TRUE(ran);
}

}  // namespace

// While the program runs, between two commits.
TEST(Spares, WhatStandsAtASparesOrATemporarysNameWhileRunningIsClearedByTheCommit) {
    for (size_t k = 0; k < std::size(kOdds); ++k) {
        SCOPED_TRACE(kOddNames[k]);
        commitsmeet(kOdds[k], false);
    }
}

// Between runs: the start clears them (a folder with what it holds, following none of the links
// inside).
TEST(Spares, WhatStandsAtASparesOrATemporarysNameBetweenRunsIsClearedAtTheStart) {
    for (size_t k = 0; k < std::size(kOdds); ++k) {
        SCOPED_TRACE(kOddNames[k]);
        commitsmeet(kOdds[k], true);
    }
}

// A folder made at a spare's name before the first commit of a run: the file is moved aside all
// the same, and no commit after it is held up.
TEST(Spares, AFolderAtASparesNameDoesNotHoldUpTheFileItIsFor) {
    TempFolder program(vt::test::fastbase());
    program.write("A", kVersions[0]);
    Files files(program.path());
    files.startup();
    fs::create_directories(program.file(".A.spare.tmp~/sub"));
    fs::create_directories(program.file(".B.spare.tmp~/sub"));
    for (int k : {1, 2, 0}) {
        commitversion(files, k);
        EXPECT_EQ(program.read("A"), kVersions[k]);
        EXPECT_EQ(program.read("B"), kVersions[k]);
    }
    EXPECT_EQ(program.read(".A.spare.tmp~"), kVersions[2]);
    EXPECT_EQ(oddentries(program.path()), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(program.file("Journal~")));
}

// A FIFO in place of a data file is refused when it is read, at once, naming the file.
TEST(Spares, AFifoInPlaceOfADataFileIsRefusedWithoutWaiting) {
    TempFolder program(vt::test::fastbase());
    ASSERT_EQ(::mkfifo(program.file("Players").c_str(), 0644), 0);
    auto ran = inchild([&] {
        Files files(program.path());
        bounded([&] {
            try {
                files.readall("C:\\Vantrope\\Players");
                ADD_FAILURE() << "read";
            } catch (const FileError& e) {
                EXPECT_EQ(e.number, 75);
                EXPECT_EQ(e.file, "C:\\Vantrope\\Players");
            }
        });
    });
    EXPECT_TRUE(ran);
}

// ---- the rules of when a spare is written into, one at a time

namespace {

// What a temporary opened by Spares::opentemp holds, read back after the bytes were written.
struct Opened {
    bool reused = false;
    std::string bytes;
};

Opened opentemp(Spares& spares, const TempFolder& program, const std::string& name) {
    SystemIo io;
    Opened out;
    int fd = spares.opentemp(io, program.file(name), program.file(name + ".tmp~"), out.reused);
    EXPECT_GE(fd, 0);
    if (fd >= 0) ::close(fd);
    out.bytes = program.read(name + ".tmp~");
    return out;
}

}  // namespace

// A spare on disk is written into only once told ready (its folder synced since), and only once.
TEST(SpareRules, ASpareIsTakenOnlyWhenReadyAndOnlyOnce) {
    TempFolder program;
    program.write("A", "now\r\n");
    program.write(".A.spare.tmp~", "before\r\n");
    Spares spares(program.path());

    Opened fresh = opentemp(spares, program, "A");
    EXPECT_FALSE(fresh.reused);
    EXPECT_EQ(fresh.bytes, "");
    EXPECT_EQ(program.read(".A.spare.tmp~"), "before\r\n");  // not touched

    spares.ready({program.file("A")});
    Opened taken = opentemp(spares, program, "A");
    EXPECT_TRUE(taken.reused);
    EXPECT_EQ(taken.bytes, "before\r\n");  // the spare itself, renamed to the temporary
    EXPECT_FALSE(program.exists(".A.spare.tmp~"));

    program.write(".A.spare.tmp~", "again\r\n");
    EXPECT_FALSE(opentemp(spares, program, "A").reused);
}

// A ready spare that is no longer a plain file of one name is never written through: a fresh
// temporary is made and what it led to stays as it was.
TEST(SpareRules, AReadySpareThatIsNotAPlainFileOfOneNameIsNotWrittenThrough) {
    for (bool link : {false, true}) {
        SCOPED_TRACE(link ? "a link" : "a second name");
        TempFolder program, outside;
        outside.write("other", "not ours\r\n");
        program.write("A", "now\r\n");
        if (link)
            fs::create_symlink(outside.file("other"), program.file(".A.spare.tmp~"));
        else
            fs::create_hard_link(outside.file("other"), program.file(".A.spare.tmp~"));
        Spares spares(program.path());
        spares.ready({program.file("A")});
        Opened opened = opentemp(spares, program, "A");
        EXPECT_FALSE(opened.reused);
        EXPECT_EQ(opened.bytes, "");
        EXPECT_FALSE(fs::is_symlink(program.file("A.tmp~")));
        EXPECT_EQ(outside.read("other"), "not ours\r\n");
    }
}

// Only the program folder's files keep spares, and a sweep keeps a spare only while it is a plain
// file of one name beside its file.
TEST(SpareRules, WhereSparesAreKeptAndWhichASweepKeeps) {
    TempFolder program;
    Spares spares(program.path());
    EXPECT_TRUE(spares.covers(program.file("Players")));
    EXPECT_TRUE(spares.covers(program.file("Data/Round1 3Bets")));
    EXPECT_FALSE(spares.covers(program.path() + "2/Players"));
    EXPECT_FALSE(spares.covers("/media/STICK/Bettors"));

    program.write("A", "a\r\n");
    program.write(".A.spare.tmp~", "spare\r\n");
    EXPECT_TRUE(Spares::keepable(program.file("A")));
    program.write(".B.spare.tmp~", "spare of a file gone\r\n");
    EXPECT_FALSE(Spares::keepable(program.file("B")));
    fs::create_hard_link(program.file(".A.spare.tmp~"), program.file("second name"));
    EXPECT_FALSE(Spares::keepable(program.file("A")));
}
