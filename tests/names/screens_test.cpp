// The player/team and bettor screens drawn by the Qt view and saved as pictures for a layout check.
#include <QPushButton>
#include <QWidget>

#include "namesfixture.h"
#include "platform/qt/qtview.h"

namespace vt::test {
namespace {

class Screens : public NamesTest {
  protected:
    Screens() {
        ensureqtapp();
        QtView::of(*app);
        players("1,1,\"\",\"SMITH-JOHN\"\r\n2,1,\"\",\"ADAMS-PAT\"\r\n3,2,\"\",\"JONES-MARY\"\r\n");
        bettors("1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n3,\"JONES-MARY\"\r\n");
    }
    void render(const std::string& name) {
        std::string png = std::string(VANTROPE_SCREENS_DIR) + "/" + name + ".png";
        EXPECT_TRUE(renderformpng(*app, app->form(name), png)) << name;
    }
};

TEST_F(Screens, EntriesAndBettors) {
    show("frmentries");
    render("frmentries");
    show("frmbettor");
    render("frmbettor");

    // A real button press through the window reaches the model.
    QWidget* win = QtView::of(*app).window("frmbettor");
    ASSERT_NE(win, nullptr);
    QPushButton* del = nullptr;
    for (auto* b : win->findChildren<QPushButton*>())
        if (b->text() == "DELETE A MEMBER/BETTOR") del = b;
    ASSERT_NE(del, nullptr);
    dialogs.ok("Select bettor from list first");
    del->click();
}

}  // namespace
}  // namespace vt::test
