#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "errorof.h"
#include "platform/files.h"
#include "testapp.h"

using namespace vt;
using vt::test::errorof;

namespace {

// Limits the size of any file this process writes, so a write fails half-way.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldhandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = old_;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldhandler_);
    }

  private:
    rlimit old_{};
    void (*oldhandler_)(int) = nullptr;
};

std::vector<std::string> names(const std::string& folder) {
    std::vector<std::string> out;
    for (auto& e : std::filesystem::directory_iterator(folder))
        if (!vt::test::isspare(e.path().filename().string()))
            out.push_back(e.path().filename().string());
    return out;
}

}  // namespace

TEST(Files, NumberedErrors) {
    test::TempFolder folder;
    Files files(folder.path());
    EXPECT_EQ(errorof([&] { files.readall("C:\\Vantrope\\Players"); }), 53);
    EXPECT_EQ(errorof([&] { files.readall("C:\\Vantrope\\Nofolder\\Players"); }), 76);
    files.mkdir("C:\\Vantrope\\Init");
    EXPECT_EQ(errorof([&] { files.mkdir("C:\\Vantrope\\Init"); }), 75);
    EXPECT_EQ(errorof([&] { files.readall("C:\\Vantrope\\Init"); }), 75);
    EXPECT_EQ(errorof([&] { files.remove("C:\\Vantrope\\Init\\gone"); }), 53);
    // A file larger than any the program writes is refused, not read into memory whole.
    files.append("C:\\Vantrope\\Players", "1,1,\"\",\"A\"\r\n");
    std::filesystem::resize_file(std::filesystem::path(folder.path()) / "Players",
                                 Files::kmaxread + 1);
    EXPECT_EQ(errorof([&] { files.readall("C:\\Vantrope\\Players"); }), 7);
}

TEST(RecordWriter, WritesTheRecordSyntax) {
    RecordWriter w;
    w.str("Smith, J")
        .num(12)
        .num(Money::units(25000))
        .num(Money::units(7500))
        .num(Money::dollars(10))
        .str("")
        .end();
    w.num(-3).num(0.5).num(Money::units(-7500)).end();
    EXPECT_EQ(w.bytes(), "\"Smith, J\",12,2.5,0.75,10,\"\"\r\n-3,0.5,-0.75\r\n");
}

TEST(RecordWriter, RefusesAQuoteOrALineEndInsideText) {
    RecordWriter w;
    w.num(1);
    EXPECT_EQ(errorof([&] { w.str("say \"hi\""); }), 5);
    EXPECT_EQ(errorof([&] { w.str("LINE1\r\nLINE2"); }), 5);
    EXPECT_EQ(errorof([&] { w.str("LINE1\nLINE2"); }), 5);
    EXPECT_EQ(errorof([&] { w.str("LINE1\rLINE2"); }), 5);
    // Nothing of the refused field went into the record.
    w.num(2).end();
    EXPECT_EQ(w.bytes(), "1,2\r\n");
}

TEST(ReplaceFile, ReplacesWholeAndLeavesNoTempFile) {
    test::TempFolder folder;
    Files files(folder.path());
    files.replacefile("C:\\Vantrope\\Players", "old\r\n");
    files.replacefile("C:\\Vantrope\\Players", "new\r\n");
    EXPECT_EQ(folder.read("Players"), "new\r\n");
    EXPECT_EQ(names(folder.path()), std::vector<std::string>{"Players"});
    EXPECT_EQ(errorof([&] { files.replacefile("C:\\Vantrope\\Nofolder\\Players", "x"); }), 76);
}

TEST(ReplaceFile, FailureHalfWayLeavesTheOldFileWhole) {
    test::TempFolder folder;
    Files files(folder.path());
    std::string old(100, 'o');
    folder.write("Bets", old);
    int err = 0;
    {
        FileSizeLimit limit(1000);
        err = errorof([&] { files.replacefile("C:\\Vantrope\\Bets", std::string(5000, 'n')); });
    }
    EXPECT_EQ(err, 61);
    EXPECT_EQ(folder.read("Bets"), old);
    EXPECT_EQ(names(folder.path()), std::vector<std::string>{"Bets"});

    // A temp file name the host cannot hold fails before anything is written.
    std::string longname(252, 'L');
    folder.write(longname, old);
    EXPECT_EQ(errorof([&] { files.replacefile("C:\\Vantrope\\" + longname, "new"); }), 52);
    EXPECT_EQ(folder.read(longname), old);
}

TEST(Append, FailedAppendTakesBackItsBytes) {
    test::TempFolder folder;
    Files files(folder.path());
    files.append("C:\\Vantrope\\Results", "one\r\n");
    files.append("C:\\Vantrope\\Results", "two\r\n");
    EXPECT_EQ(folder.read("Results"), "one\r\ntwo\r\n");

    std::string before = folder.read("Results");
    AppendFile results;
    results.open(files, "C:\\Vantrope\\Results");
    int plain = 0, kept = 0;
    {
        FileSizeLimit limit(600);
        plain = errorof([&] { files.append("C:\\Vantrope\\Results", std::string(1000, 'x')); });
        kept = errorof([&] { results.write(std::string(1000, 'y')); });
    }
    EXPECT_EQ(plain, 61);
    EXPECT_EQ(kept, 61);
    EXPECT_EQ(folder.read("Results"), before);
    // The open file still takes records once there is room again.
    results.write("three\r\n");
    results.close();
    EXPECT_EQ(folder.read("Results"), before + "three\r\n");
    EXPECT_EQ(errorof([&] { results.write("x"); }), 52);
}
