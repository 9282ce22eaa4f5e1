// Every form of the program, driven through its window: each control that takes typed text
// takes it (and Enter) from real keys, and each control with a click or double-click handler
// answers a real click. The screens' own handlers are swapped for recorders, so only the path
// from the window system to the model is under test here.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <map>
#include <set>

#include "platform/qt/qtview.h"
#include "realinput.h"
#include "testapp.h"

namespace vt::test {
namespace {

const char* const kForms[] = {"frminit",    "frmmenu",    "frmdir",        "frmimport", "frmcpt",
                              "frmtutor",   "frmentries", "frmbettor",     "frmfix",    "frmbet",
                              "frmsheetg",  "frmpay",     "frmany1",       "frmprint",  "frmrules",
                              "frmsummary", "frmsumm",    "frmpaywinners", "frmany"};

std::string nameof(const Control& c) {
    return c.index() >= 0 ? c.name() + "(" + std::to_string(c.index()) + ")" : c.name();
}

// A point of the widget that a click really reaches (not covered by another control).
std::optional<QPoint> freepoint(QWidget* win, QWidget* w) {
    QPoint centre = w->rect().center();
    std::vector<QPoint> tries{centre};
    for (int y = 3; y < w->height(); y += 4)
        for (int x = 3; x < w->width(); x += 6) tries.emplace_back(x, y);
    for (QPoint p : tries) {
        QWidget* hit = win->childAt(w->mapTo(win, p));
        if (hit == w || (hit && w->isAncestorOf(hit))) return p;
    }
    return std::nullopt;
}

class FormSweep : public ::testing::Test {
  protected:
    FormSweep() : app(AppEnvironment{folder.path(), &dialogs, &printed}) {
        ensureqtapp();
        QtView::of(app);
        dialogs.answer(vbNo, "printer");
        app.start();
    }
    TempFolder folder;
    ScriptedDialogs dialogs;  // boxes a screen's loading shows are answered OK / No / Cancel
    CapturePrintSink printed;
    App app;
    std::vector<std::string> log;
};

TEST_F(FormSweep, EveryTypedAndClickedControlAnswersRealInput) {
    int typed = 0, clicked = 0, doubled = 0;
    for (const char* name : kForms) {
        SCOPED_TRACE(name);
        app.dispatch([&] {
            for (Form* f : app.loadedforms())
                if (f->name() != "frminit") f->hide();
            app.form(name).show();
        });
        ASSERT_TRUE(app.isloaded(name));
        Form& form = app.form(name);
        ASSERT_TRUE(form.visible());
        QWidget* win = QtView::of(app).window(name);
        ASSERT_NE(win, nullptr);
        // The screen's handlers give way to recorders; what had none keeps none.
        std::set<Control*> clicks, doubles;
        for (Control* c : form.controls()) {
            std::string n = nameof(*c);
            if (c->Click) clicks.insert(c);
            if (c->DblClick) doubles.insert(c);
            c->Click = [this, n] { log.push_back(n + " Click"); };
            c->DblClick = [this, n] { log.push_back(n + " DblClick"); };
            c->KeyPress = [this, n](int& k) { log.push_back(n + " key " + std::to_string(k)); };
            c->Change = nullptr;
            c->GotFocus = c->LostFocus = c->Timer = nullptr;
        }
        RealInput input(win);
        auto seen = [&](const std::string& s) {
            return std::find(log.begin(), log.end(), s) != log.end();
        };
        for (Control* c : form.controls()) {
            auto* w = win->findChild<QWidget*>(QString::fromStdString(nameof(*c)));
            if (!w || !w->isVisible() || !c->visible() || !c->enabled()) continue;
            std::string n = nameof(*c);
            SCOPED_TRACE(n);
            auto* combo = qobject_cast<QComboBox*>(w);
            bool takestext =
                !c->locked && (c->kind() == Kind::TextBox || (combo && combo->isEditable()));
            if (takestext) {
                QWidget* target = combo ? static_cast<QWidget*>(combo->lineEdit()) : w;
                auto at = freepoint(win, target);
                ASSERT_TRUE(at) << n << " is covered";
                log.clear();
                input.click(target, *at);
                std::string before = c->text();
                input.type("7");
                input.key(Qt::Key_Return);
                EXPECT_TRUE(seen(n + " key 55")) << n;
                EXPECT_TRUE(seen(n + " key 13")) << n;
                std::string after = c->text();
                EXPECT_EQ(std::count(after.begin(), after.end(), '7'),
                          std::count(before.begin(), before.end(), '7') + 1)
                    << n << ": " << after;
                ++typed;
            }
            bool ownclick = c->kind() == Kind::TextBox || c->kind() == Kind::Label ||
                            c->kind() == Kind::PictureBox || c->kind() == Kind::Frame ||
                            c->kind() == Kind::CommandButton || c->kind() == Kind::OptionButton ||
                            c->kind() == Kind::CheckBox;
            if (ownclick && clicks.count(c)) {
                auto at = freepoint(win, w);
                ASSERT_TRUE(at) << n << " is covered";
                log.clear();
                input.click(w, *at);
                EXPECT_TRUE(seen(n + " Click")) << n;
                ++clicked;
            }
            if (doubles.count(c) && c->kind() != Kind::ListBox && c->kind() != Kind::FileListBox &&
                c->kind() != Kind::DirListBox && c->kind() != Kind::Grid) {
                auto at = freepoint(win, w);
                ASSERT_TRUE(at) << n << " is covered";
                log.clear();
                input.dblclick(w, *at);
                EXPECT_TRUE(seen(n + " DblClick")) << n;
                ++doubled;
            }
        }
    }
    // The screens' typed boxes, the bet sheet's text-box buttons, the banner's double click.
    EXPECT_GT(typed, 20);
    EXPECT_GT(clicked, 100);
    EXPECT_GE(doubled, 2);
}

// Each form opens on a control that works, never on a box that only shows something (the event
// banner), and neither stray keys nor Tab reach such a box. Where the cashier's first control
// is known, the screen opens there.
TEST_F(FormSweep, ScreensOpenOnAWorkingControlAndStrayKeysLeaveShownBoxesAlone) {
    const std::map<std::string, std::string> opensat = {
        {"frminit", "cmdok"},           {"frmfix", "cmdbets"},
        {"frmpay", "optflight(1)"},     {"frmpaywinners", "optflight(1)"},
        {"frmentries", "txtentryname"}, {"frmbettor", "txtbettorname"}};
    int shownonly = 0;
    for (const char* name : kForms) {
        SCOPED_TRACE(name);
        app.dispatch([&] {
            for (Form* f : app.loadedforms()) f->hide();
            if (app.isloaded(name)) app.form(name).unload();
        });
        app.dispatch([&] { app.form(name).show(); });
        ASSERT_TRUE(app.isloaded(name));
        Form& form = app.form(name);
        QWidget* win = QtView::of(app).window(name);
        ASSERT_NE(win, nullptr);
        // Only the path from the keys to the boxes is under test: the handlers stay out of it.
        for (Control* c : form.controls()) {
            c->Click = c->DblClick = c->Change = c->GotFocus = c->LostFocus = c->Timer = nullptr;
            c->KeyPress = nullptr;
        }
        std::map<QWidget*, Control*> showing;
        std::map<Control*, std::string> before;
        for (Control* c : form.controls()) {
            // The banner shows the event on every screen but the setup screen's round boxes.
            if (c->tabstop && c->name() != "txtbanner") continue;
            auto* w = win->findChild<QWidget*>(QString::fromStdString(nameof(*c)));
            if (!w) continue;
            showing[w] = c;
            before[c] = c->text();
            ++shownonly;
        }
        RealInput input(win);
        QWidget* first = QApplication::focusWidget();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(showing.count(first), 0u) << first->objectName().toStdString();
        if (auto at = opensat.find(name); at != opensat.end()) {
            EXPECT_EQ(first->objectName().toStdString(), at->second);
        }
        input.type("zz");
        input.key(Qt::Key_Backspace);
        input.type("q");
        for (size_t i = 0; i < form.controls().size(); ++i) {
            input.key(Qt::Key_Tab);
            QWidget* now = QApplication::focusWidget();
            ASSERT_NE(now, nullptr);
            EXPECT_EQ(showing.count(now), 0u) << now->objectName().toStdString();
        }
        for (auto& [c, text] : before) EXPECT_EQ(c->text(), text) << nameof(*c);
    }
    // The banners of the twelve screens that show one, and the Fix Files sort captions.
    EXPECT_GE(shownonly, 16);
}

}  // namespace
}  // namespace vt::test
