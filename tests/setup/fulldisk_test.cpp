// The start and GO TO MENU on a full disk: one box, with the cause, for each, and nothing else
// said or changed.
#include "fulldisk.h"

#include "faults.h"
#include "setuptest.h"

namespace vt::test {

class FullDiskStart : public SetupTest {
  protected:
    void fill() { app->files().sethostio(std::make_unique<FullDisk>()); }
};

// The first start: neither the results file nor the setup file can be made; one box tells the
// full disk. GO TO MENU then says it once more, without blaming the names of the folders.
TEST_F(FullDiskStart, TheFirstStartAndGoToMenuEachShowOneBox) {
    fill();
    dialogs.ok(" 61 Disk full\r\nResults");
    app->start();
    EXPECT_EQ(dialogs.shown.size(), 1u);
    dialogs.ok(" 61 Disk full\r\nInit");
    init().control("cmdok").click();
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown.back().title, "Init open-Setup");
    EXPECT_FALSE(app->isloaded("frmmenu"));
    EXPECT_EQ(snapshot(folder.path()), (std::map<std::string, std::string>{}));
}

// A start on a disk that has filled since the last run asks its question as ever; GO TO MENU
// shows the one box of the setup file it could not save, and changes nothing.
TEST_F(FullDiskStart, GoToMenuOnADiskThatFilledSinceTheLastRunShowsOneBox) {
    tomenu();
    app = std::make_unique<App>(AppEnvironment{folder.path(), &dialogs, &printed});
    const auto before = snapshot(folder.path());
    fill();
    start();
    dialogs.ok(" 61 Disk full\r\nInit");
    init().control("cmdok").click();
    EXPECT_EQ(dialogs.shown.size(), 3u);
    EXPECT_FALSE(app->isloaded("frmmenu"));
    EXPECT_EQ(snapshot(folder.path()), before);
}

}  // namespace vt::test
