// Drive letters against real mounts: each test runs again in a private mount namespace of its own,
// where fresh tmpfs lie over /media, /mnt and /run/media (the machine's own mounts are left
// alone) and tmpfs stand for the sticks a desktop mounts.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "computers.h"
#include "errorof.h"
#include "platform/drives.h"

extern char** environ;

namespace vt::test {
namespace {

const char* const kInside = "VANTROPE_MOUNT_NAMESPACE";
const char* const kStick = "/media/cashier/VT STICK";  // D: a blank in its label
const char* const kCard = "/mnt/card";                 // E

bool inside() {
    const char* v = std::getenv(kInside);
    return v && std::string(v) == "1";
}

// Runs the current test again in a private mount namespace and takes its result; skips where
// this process may not make one.
void runinside() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string filter =
        std::string("--gtest_filter=") + info->test_suite_name() + "." + info->name();
    std::string mark = std::string(kInside) + "=1";
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) env.push_back(*e);
    env.push_back(mark.data());
    env.push_back(nullptr);
    std::string exe = "/proc/self/exe";
    char* argv[] = {exe.data(), filter.data(), nullptr};
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(out[1], 2);
        ::close(out[0]);
        const char* step = "unshare(CLONE_NEWNS)";
        if (::unshare(CLONE_NEWNS) == 0) {
            step = "making / private";
            if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0) {
                ::execve(exe.c_str(), argv, env.data());
                step = "execve";
            }
        }
        int err = errno;
        const char* why = std::strerror(err);
        ssize_t ignored = ::write(1, "NOMOUNT ", 8);
        ignored = ::write(1, step, std::strlen(step));
        ignored = ::write(1, ": ", 2);
        ignored = ::write(1, why, std::strlen(why));
        ignored = ::write(1, "\n", 1);
        (void)ignored;
        ::_exit(77);
    }
    ::close(out[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) != 0;)
        if (n > 0)
            text.append(buf, static_cast<size_t>(n));
        else if (errno != EINTR)
            break;
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::cout << "---- run in a private mount namespace ----\n"
              << text << "---- end of that run ----\n";
    if (text.rfind("NOMOUNT ", 0) == 0)
        GTEST_SKIP() << "skipped: mounting is not allowed here ("
                     << text.substr(8, text.find('\n') - 8) << ")";
    if (text.find("[  SKIPPED ] 1 test") != std::string::npos)
        GTEST_SKIP() << "skipped: mounting is not allowed here (see the run above)";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run above failed";
}

bool ismounted(const std::string& point) {
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream text;
    text << in.rdbuf();
    for (const Mount& m : parsemountinfo(text.str()))
        if (m.point == point) return true;
    return false;
}

// Mounts a fresh tmpfs at `point` (made when missing); false with the reason when it cannot.
bool mounttmpfs(const std::string& point, const std::string& source, std::string& why) {
    std::error_code ec;
    std::filesystem::create_directories(point, ec);
    if (::mount(source.c_str(), point.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "mode=755") == 0)
        return true;
    why = "mount tmpfs on " + point + ": " + std::strerror(errno);
    return false;
}

void unmount(const std::string& point) {
    ASSERT_EQ(::umount2(point.c_str(), 0), 0) << point << ": " << std::strerror(errno);
}

// The places desktops mount media, fresh, with two sticks mounted and plain folders beside them.
class MountedDrives : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!inside()) return;
        std::string why;
        for (const char* place : {"/media", "/mnt", "/run/media"}) {
            if (std::string(place) == "/run/media" && !std::filesystem::exists(place))
                continue;  // nothing mounted there to hide
            if (!std::filesystem::is_directory(place))
                GTEST_SKIP() << "skipped: no " << place << " folder to lay a tmpfs over";
            if (!mounttmpfs(place, "vantrope-places", why))
                GTEST_SKIP() << "skipped: mounting is not allowed here (" << why << ")";
        }
        ASSERT_TRUE(mounttmpfs(kStick, "vantrope-stick", why)) << why;
        ASSERT_TRUE(mounttmpfs(kCard, "vantrope-card", why)) << why;
        for (const char* plain : {"/media/cashier/OLD", "/media/OLDER", "/mnt/backup"})
            std::filesystem::create_directories(plain);
    }
    // Every file under the places, with the sticks themselves left out when `sticks` is false.
    static std::vector<std::string> filesunder(bool sticks) {
        std::vector<std::string> out;
        for (const char* place : {"/media", "/mnt"})
            for (auto& e : std::filesystem::recursive_directory_iterator(place)) {
                std::string p = e.path().string();
                bool onstick = p.rfind(std::string(kStick) + "/", 0) == 0 ||
                               p.rfind(std::string(kCard) + "/", 0) == 0;
                if (e.is_regular_file() && (sticks || !onstick)) out.push_back(p);
            }
        return out;
    }
};

TEST_F(MountedDrives, LettersNameTheMountedSticksOnlyAndTellAPulledOrSwappedOne) {
    if (!inside()) return runinside();
    Files files("/nowhere");
    EXPECT_EQ(driveletters(), (std::vector<char>{'c', 'd', 'e'}));
    EXPECT_EQ(files.hostpath("D:\\Bettors"), std::string(kStick) + "/Bettors");
    EXPECT_EQ(files.hostpath("e:/"), kCard);
    EXPECT_EQ(errorof([&] { files.hostpath("F:\\Bettors"); }), 68);

    auto d = drivestamp('D');
    ASSERT_TRUE(d);
    EXPECT_EQ(d->root, kStick);
    EXPECT_TRUE(samedrive(*d));
    // Another stick in its place (the same label, the same mount point) is not the same drive.
    unmount(kStick);
    EXPECT_FALSE(samedrive(*d));
    std::string why;
    ASSERT_TRUE(mounttmpfs(kStick, "vantrope-stick", why)) << why;
    EXPECT_FALSE(samedrive(*d));
    ASSERT_TRUE(drivestamp('D'));
    EXPECT_TRUE(samedrive(*drivestamp('D')));

    // The card pulled: its mount folder stays behind as a plain folder and is no drive.
    auto e = drivestamp('E');
    unmount(kCard);
    EXPECT_TRUE(std::filesystem::is_directory(kCard));
    EXPECT_EQ(driveletters(), (std::vector<char>{'c', 'd'}));
    EXPECT_EQ(errorof([&] { files.hostpath("E:\\Bettors"); }), 68);
    EXPECT_FALSE(drivestamp('E'));
    EXPECT_FALSE(samedrive(*e));
}

TEST_F(MountedDrives, AnExportReachesTheStickUnderItsLetterAndNoPlainFolder) {
    if (!inside()) return runinside();
    Computer a("1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n");
    placewin(a, "SMITH-JO", 2, {3});
    a.exportto("D");
    EXPECT_EQ(a.told(), "All Bets, Entries, and Bettors written to drive D:");
    std::string stick = std::string(kStick) + "/";
    EXPECT_EQ(Files("/").readall(stick + "Round1 1Bets"), "3,2,1,2\r\n");
    EXPECT_EQ(Files("/").readall(stick + "Bettors"), "1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n");
    EXPECT_TRUE(std::filesystem::exists(stick + "Players"));
    EXPECT_EQ(filesunder(false), std::vector<std::string>{});

    // The data folder screen offers the same drives.
    Control& list = a.app->form("frmdir").control("Drive1");
    std::vector<std::string> offered;
    for (int i = 0; i < list.listcount(); ++i) offered.push_back(list.list(i));
    EXPECT_EQ(offered, (std::vector<std::string>{"c:", "d:", "e:"}));

    // Another computer takes the set from the same stick.
    Computer b("1,\"AnyBettor\"\r\n");
    b.importfrom("D");
    EXPECT_EQ(b.read("Round1 1Bets"), "2,2,1,2\r\n");
}

TEST_F(MountedDrives, AStickPulledWhileTheInsertBoxIsOpenGetsNothingWrittenAnywhere) {
    if (!inside()) return runinside();
    Computer a("1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n");
    placewin(a, "SMITH-JO", 2, {3});
    auto before = snapshot(a.folder);
    a.dialogs.type("D", "Enter target export drive letter.")
        .ok("Insert blank disk into drive D.")
        .then([] { unmount(kStick); })
        .ok("Drive D: is not the disk that was there when its letter was entered");
    a.app->form("frminit").control("cmdexport").click();
    EXPECT_FALSE(a.dialogs.saw("written to drive"));
    EXPECT_FALSE(ismounted(kStick));
    EXPECT_EQ(filesunder(true), std::vector<std::string>{});
    EXPECT_EQ(snapshot(a.folder), before);

    // Taken out and put back: a fresh mount of it is not the disk the letter named.
    std::string why;
    ASSERT_TRUE(mounttmpfs(kStick, "vantrope-stick", why)) << why;
    a.dialogs.type("D", "Enter target export drive letter.")
        .ok("Insert blank disk into drive D.")
        .then([&] {
            unmount(kStick);
            ASSERT_TRUE(mounttmpfs(kStick, "vantrope-stick", why)) << why;
        })
        .ok("Drive D: is not the disk");
    a.app->form("frminit").control("cmdexport").click();
    EXPECT_EQ(filesunder(true), std::vector<std::string>{});
    EXPECT_EQ(snapshot(a.folder), before);
}

TEST_F(MountedDrives, AnImportReadsNothingFromASwappedStickAndCommitsNothingFromAPulledOne) {
    if (!inside()) return runinside();
    Computer a("1,\"AnyBettor\"\r\n3,\"SMITH-JO\"\r\n");
    placewin(a, "SMITH-JO", 2, {3});
    a.exportto("D");
    // The card holds the same set: swapped in for the stick, it would import just as well.
    for (auto& e : std::filesystem::directory_iterator(kStick))
        std::filesystem::copy(e.path(), std::string(kCard) + "/" + e.path().filename().string());

    Computer b("1,\"AnyBettor\"\r\n");
    auto before = snapshot(b.folder);
    b.dialogs.type("D", "Enter import drive letter")
        .ok("Insert export disk from another computer into drive D.")
        .then([] {
            unmount(kStick);
            ASSERT_EQ(::mount(kCard, kStick, nullptr, MS_BIND, nullptr), 0) << std::strerror(errno);
        })
        .ok("Drive D: is not the disk that was there when its letter was entered");
    b.clickimport();
    EXPECT_EQ(snapshot(b.folder), before);
    unmount(kStick);
    std::string why;
    ASSERT_TRUE(mounttmpfs(kStick, "vantrope-stick", why)) << why;
    for (auto& e : std::filesystem::directory_iterator(kCard))
        std::filesystem::copy(e.path(), std::string(kStick) + "/" + e.path().filename().string());

    // The set read whole, then the stick pulled while a question is open: nothing is committed.
    b.dialogs.type("D", "Enter import drive letter")
        .ok("Insert export disk")
        .answer(vbYes, "Import Players files?")
        .answer(vbYes, "Import Bettors and Bets files?")
        .then([] { unmount(kStick); })
        .ok("Drive D: is not the disk");
    b.clickimport();
    EXPECT_EQ(snapshot(b.folder), before);
    EXPECT_FALSE(b.dialogs.saw("files imported"));
    EXPECT_FALSE(b.dialogs.saw("Import of Bettors, Bets files complete"));

    // The same with No to the players: the box names the drive and says nothing was imported,
    // never a bare error of a file on the pulled stick.
    ASSERT_TRUE(mounttmpfs(kStick, "vantrope-stick", why)) << why;
    for (auto& e : std::filesystem::directory_iterator(kCard))
        std::filesystem::copy(e.path(), std::string(kStick) + "/" + e.path().filename().string());
    b.dialogs.type("D", "Enter import drive letter")
        .ok("Insert export disk")
        .answer(vbNo, "Import Players files?")
        .answer(vbYes, "Import Bettors and Bets files?")
        .then([] { unmount(kStick); })
        .ok("Drive D: is not the disk");
    b.clickimport();
    EXPECT_TRUE(b.told().find("Nothing was imported") != std::string::npos) << b.told();
    EXPECT_EQ(snapshot(b.folder), before);
}

}  // namespace
}  // namespace vt::test
