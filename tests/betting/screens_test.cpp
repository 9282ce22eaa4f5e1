// The betting screens drawn for a 1024 x 768 display, saved for a look at the layout.
#include "betfixture.h"
#include "platform/qt/qtview.h"

namespace vt::test {

TEST_F(BetTest, ScreensRender) {
    bets(1, "12,1,1,5\r\n2,2,1,10\r\n12,2,3,150\r\n");
    open();
    tick(1);
    tick(3);
    pickbettor("SMITH-BOB");
    pickentry(7);
    c("cmdboard").click();
    c("cmdbamount", 3).click();
    for (int i = 0; i < 3; ++i) c("Timer1").tick();
    const std::string dir = VANTROPE_SCREENS_DIR;
    EXPECT_TRUE(renderformpng(*app, app->form("frmbet"), dir + "/frmbet.png"));
    app->form("frmsheetg").show();
    EXPECT_TRUE(renderformpng(*app, app->form("frmsheetg"), dir + "/frmsheetg.png"));
}

}  // namespace vt::test
