// Text pasted through the window into every box whose text a data file stores: line ends and
// tabs become blanks and never reach a record, and after a restart every file reads whole.
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>

#include "platform/qt/qtview.h"
#include "realinput.h"
#include "testapp.h"

namespace vt::test {
namespace {

class TypedPaste : public ::testing::Test {
  protected:
    TypedPaste() {
        ensureqtapp();
        start();
    }
    void TearDown() override {
        for (auto& f : dialogs.failures) ADD_FAILURE() << f;
        EXPECT_EQ(dialogs.pending(), 0u) << "expected boxes never shown";
    }
    // A new App on the folder, as when the program is started again.
    void start() {
        app.reset();
        app = std::make_unique<App>(AppEnvironment{folder.path(), &dialogs, &printed});
        QtView::of(*app);
        dialogs.answer(vbNo, "printer");
        app->start();
    }
    void show(const char* name) {
        app->dispatch([&] {
            for (Form* f : app->loadedforms())
                if (f->name() != "frminit" && f->name() != name) f->hide();
            app->form(name).show();
        });
    }
    // Clicks into the box, selects what it holds, pastes `text` over it and presses Enter,
    // expecting the box `told`.
    void paste(const char* form, const char* box, const std::string& text,
               const std::string& told) {
        QWidget* win = QtView::of(*app).window(form);
        ASSERT_NE(win, nullptr) << form;
        auto* w = win->findChild<QWidget*>(box);
        ASSERT_NE(w, nullptr) << box;
        if (auto* combo = qobject_cast<QComboBox*>(w)) w = combo->lineEdit();
        RealInput input(win);
        input.click(w);
        input.key(Qt::Key_A, Qt::ControlModifier);
        QApplication::clipboard()->setText(QString::fromLatin1(text.c_str()));
        input.key(Qt::Key_V, Qt::ControlModifier);
        dialogs.ok(told);
        input.key(Qt::Key_Return);
    }
    TempFolder folder;
    ScriptedDialogs dialogs;
    CapturePrintSink printed;
    std::unique_ptr<App> app;
};

TEST_F(TypedPaste, LineEndsAndTabsNeverSplitARecord) {
    paste("frminit", "txtbanner1", "SPRING\r\nCUP\tDAY 1", "Round 1 banner information changed");
    paste("frminit", "txtflight(0)", "GO\r\nLD", "Flight  1 changed to GO LD     ");
    app->dispatch([&] { app->form("frminit").control("cmdok").click(); });

    show("frmbettor");
    paste("frmbettor", "txtbettorname", "palmer\r\narnold", "PALMER ARNOLD added");
    paste("frmbettor", "txtbettorname", "ward\rbud\tdy", "WARD BUD DY added");
    show("frmentries");
    app->dispatch([&] { app->form("frmentries").control("cmbflt").setlistindex(0); });
    paste("frmentries", "txtentryname", "hogan\r\nben", "HOGAN BEN added");
    show("frmbet");
    paste("frmbet", "cbobettor", "snead\r\nsam", "SNEAD SAM added");
    show("frmsheetg");
    paste("frmsheetg", "txtticket", "nelson\nbyron", "NELSON BYRON added");

    EXPECT_EQ(folder.read("Bettors"),
              "1,\"AnyBettor\"\r\n2,\"PALMER ARNOLD\"\r\n3,\"WARD BUD DY\"\r\n"
              "4,\"SNEAD SAM\"\r\n5,\"NELSON BYRON\"\r\n");
    EXPECT_EQ(folder.read("Players"), "1,1,\"\",\"HOGAN BEN\"\r\n");

    // Started again, the setup file and the name files read whole.
    start();
    EXPECT_EQ(app->shared().banner1, "SPRING CUP DAY 1");
    EXPECT_EQ(app->shared().flightnames[1], "GO LD     ");
    app->dispatch([&] { app->form("frminit").control("cmdok").click(); });
    show("frmbettor");
    EXPECT_EQ(app->form("frmbettor").control("cbobettornames").listcount(), 5);
    show("frmentries");
    EXPECT_EQ(app->form("frmentries").control("lstentries").list(0), "GO LD     HOGAN BEN");
}

}  // namespace
}  // namespace vt::test
