#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "errorof.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "testapp.h"

using namespace vt;
using vt::test::errorof;

namespace {

// Sets an environment variable for the life of the object.
class EnvVar {
  public:
    EnvVar(const char* name, const std::string& value) : name_(name) {
        if (const char* v = std::getenv(name)) old_ = v, had_ = true;
        setenv(name, value.c_str(), 1);
    }
    ~EnvVar() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

  private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

}  // namespace

TEST(Paths, ProgramFolderStandsForCVantrope) {
    test::TempFolder folder;
    Files files(folder.path() + "/");
    EXPECT_EQ(files.programfolder(), folder.path());
    EXPECT_EQ(files.hostpath("C:\\Vantrope\\Init"), folder.path() + "/Init");
    EXPECT_EQ(files.hostpath("c:/VANTROPE/init"), folder.path() + "/init");
    EXPECT_EQ(files.hostpath("C:\\Vantrope\\"), folder.path());
    EXPECT_EQ(files.hostpath("C:\\Vantrope\\Round1 3Bets"), folder.path() + "/Round1 3Bets");
    EXPECT_EQ(files.hostpath("C:\\Vantrope\\Init\\\\Setup"), folder.path() + "/Init/Setup");
    EXPECT_EQ(files.hostpath("C:\\Windows\\x"), "/Windows/x");
}

TEST(Paths, LetterCaseOfExistingNamesIsIgnored) {
    test::TempFolder folder;
    Files files(folder.path());
    files.mkdir("C:\\Vantrope\\Init");
    files.replacefile("C:\\Vantrope\\Init\\Setup", "1\r\n");
    EXPECT_EQ(files.hostpath("c:/VANTROPE/init/SETUP"), folder.path() + "/Init/Setup");
    EXPECT_EQ(files.readall("C:\\vantrope\\INIT\\setup"), "1\r\n");
    files.replacefile("C:\\VANTROPE\\init\\SETUP", "2\r\n");
    EXPECT_EQ(folder.read("Init/Setup"), "2\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder.file("init")));
}

TEST(Paths, DotComponentsAreRefused) {
    test::TempFolder folder;
    Files files(folder.path());
    for (const char* bad : {"C:\\Vantrope\\..\\etc\\passwd", "C:\\Vantrope\\.\\Init",
                            "c:/vantrope/Init/..", "E:\\..\\x", "..\\x"})
        EXPECT_EQ(errorof([&] { files.hostpath(bad); }), 52) << bad;
    EXPECT_EQ(errorof([&] { files.hostpath("C:\\Vantrope\\..Init"); }), 0);
}

TEST(Paths, ControlCharactersAreRefused) {
    // A data folder read from a file may hold anything: a zero byte would cut the name short.
    test::TempFolder folder;
    Files files(folder.path());
    for (std::string bad : {std::string("C:\\Vantrope\\Bettors\0.tmp~", 24),
                            std::string("C:\\Vantrope\\Bett\nors"), std::string("C:\\Data\x7f\\")})
        EXPECT_EQ(errorof([&] { files.hostpath(bad); }), 52) << bad;
}

TEST(Paths, DriveLettersMapThroughTheEnvironment) {
    test::TempFolder folder, stick;
    Files files(folder.path());
    {
        EnvVar e("VANTROPE_DRIVE_E", stick.path());
        EXPECT_EQ(files.hostpath("E:\\Bets"), stick.path() + "/Bets");
        EXPECT_EQ(files.hostpath("e:/bets"), stick.path() + "/bets");
        EXPECT_EQ(files.hostpath("E:\\"), stick.path());
        auto d = driveletters();
        EXPECT_EQ(d.front(), 'c');
        EXPECT_NE(std::find(d.begin(), d.end(), 'e'), d.end());
        files.replacefile("E:\\Bettors", "x\r\n");
        EXPECT_EQ(stick.read("Bettors"), "x\r\n");
    }
    EnvVar none("VANTROPE_DRIVE_A", "");
    EXPECT_EQ(errorof([&] { files.hostpath("A:\\Bets"); }), 68);
    EXPECT_EQ(errorof([&] { files.readall("A:\\Bets"); }), 68);
}

TEST(Paths, FolderAndFileListsShowNamesOnly) {
    test::TempFolder folder;
    Files files(folder.path());
    files.mkdir("C:\\Vantrope\\Results");
    files.mkdir("C:\\Vantrope\\init");
    files.replacefile("C:\\Vantrope\\b.txt", "");
    files.replacefile("C:\\Vantrope\\A.TXT", "");
    files.replacefile("C:\\Vantrope\\c.dat", "");
    EXPECT_EQ(files.listfolders("C:\\Vantrope"), (std::vector<std::string>{"init", "Results"}));
    EXPECT_EQ(files.listfiles("C:\\Vantrope"),
              (std::vector<std::string>{"A.TXT", "b.txt", "c.dat"}));
    EXPECT_EQ(files.listfiles("C:\\Vantrope", "*.txt"),
              (std::vector<std::string>{"A.TXT", "b.txt"}));
    EXPECT_EQ(errorof([&] { files.listfiles("C:\\Vantrope\\Nowhere"); }), 76);
}
