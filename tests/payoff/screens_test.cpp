// Renders the payoff screens for a look at their layout at 1024 x 768.
#include "paytest.h"
#include "platform/qt/qtview.h"

namespace vt::test {
namespace {

class ScreensTest : public PayTest {};

TEST_F(ScreensTest, RenderEachForm) {
    sh().printswitch = "yes";
    calcworked();
    ctl("cmdprtsumm").click();
    paybettor(2);
    const std::string dir = VANTROPE_SCREENS_DIR;
    EXPECT_TRUE(renderformpng(*app, pay(), dir + "/frmpay.png"));
    for (auto* name : {"frmany1", "frmprint", "frmrules"}) {
        app->dispatch([&] { app->form(name).show(); });
        EXPECT_TRUE(renderformpng(*app, app->form(name), dir + "/" + name + ".png")) << name;
    }
}

}  // namespace
}  // namespace vt::test
