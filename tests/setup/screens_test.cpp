// Each setup screen drawn by the Qt view and saved as a picture for a layout check.
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include "platform/qt/qtview.h"
#include "setuptest.h"

using namespace vt;

namespace {

class Screens : public vt::test::SetupTest {
  protected:
    Screens() {
        ensureqtapp();
        QtView::of(*app);
    }
    void render(const std::string& name) {
        std::string png = std::string(VANTROPE_SCREENS_DIR) + "/" + name + ".png";
        EXPECT_TRUE(renderformpng(*app, app->form(name), png)) << name;
    }
};

TEST_F(Screens, SetupMenuAndTheirScreens) {
    tomenu();
    render("frmmenu");
    app->form("frmmenu").control("cmdbackup").click();
    render("frmmenu");
    app->form("frmmenu").control("cmdinit").click();
    render("frminit");

    // A real button press through the window reaches the model.
    QWidget* win = QtView::of(*app).window("frminit");
    ASSERT_NE(win, nullptr);
    QPushButton* round = nullptr;
    for (auto* b : win->findChildren<QPushButton*>())
        if (b->text().startsWith("Round payoff")) round = b;
    ASSERT_NE(round, nullptr);
    round->click();
    EXPECT_EQ(sh().roundingchoice, 2);

    init().control("cmddir").click();
    render("frmdir");
    dialogs.answer(vbNo, "Is a printer available");
    app->form("frmdir").control("cmdreturn").click();
    init().control("cmdimpext").click();
    render("frmimport");
    dialogs.answer(vbNo, "Is a printer available");
    app->form("frmimport").control("cmdreturn").click();

    app->formas<frminit>("frminit").showcpt();
    dialogs.ok("Double click");
    app->form("frmcpt").control("cmdcpt").click();
    render("frmcpt");
    dialogs.ok("web site");
    showtutor(*app, "vtutdir.swf");
    render("frmtutor");
}

TEST_F(Screens, NamesListTakesSeveralSelections) {
    tomenu();
    app->form("frmmenu").control("cmdinit").click();
    init().control("cmdimpext").click();
    Control& rec = app->form("frmimport").control("lstrecord");
    app->dispatch([&] {
        for (const char* n : {"ADAMS", "BROWN", "GRAY"}) rec.additem(n);
        rec.setselected(0, true);
        rec.setselected(2, true);
    });
    auto* list = QtView::of(*app).window("frmimport")->findChild<QListWidget*>("lstrecord");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->item(0)->isSelected());
    EXPECT_FALSE(list->item(1)->isSelected());
    EXPECT_TRUE(list->item(2)->isSelected());
    list->item(1)->setSelected(true);
    list->item(0)->setSelected(false);
    EXPECT_FALSE(rec.selected(0));
    EXPECT_TRUE(rec.selected(1));
    EXPECT_TRUE(rec.selected(2));
}

}  // namespace
