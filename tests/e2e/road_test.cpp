// The road of one bet, screen by screen, as a cashier drives it.
#include <filesystem>

#include "testapp.h"

using namespace vt;

namespace {

class Road : public vt::test::AppTest {};

TEST_F(Road, FreshFolderStartUpToTheMenu) {
    dialogs.answer(vbNo, "Is a printer available and will bet receipts be printed?");
    app->start();
    ASSERT_TRUE(app->form("frminit").visible());
    app->form("frminit").control("cmdok").click();

    EXPECT_TRUE(app->form("frmmenu").visible());
    for (const char* f : {"Init", "Results", "Players", "Playersbackup", "Bettors", "Bettorsbackup", "Round1 1Bets",
                          "Round1 15Betsbackup"})
        EXPECT_TRUE(folder.exists(f)) << f;
    EXPECT_EQ(folder.read("Bettors"), "1,\"AnyBettor\"\r\n");
    EXPECT_EQ(app->shared().printswitch, "no");
}

}  // namespace
