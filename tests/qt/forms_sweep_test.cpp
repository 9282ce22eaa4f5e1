// Every form of the program, driven through its window: each control that takes typed text
// takes it (and Enter) from real keys, each control with a click or double-click handler answers
// a real click, each button Enter, each list Down and Up, and each can be reached on a screen
// smaller than the form. The screens' own handlers are swapped for recorders, so only the path
// from the window system to the model is under test here.
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <cstdlib>
#include <functional>
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
        RealInput::reveal(w, p);
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
    // Shows the form (the setup screen stays behind it) with the screen's handlers swapped for
    // recorders, and returns its window. Controls that had a Click or DblClick handler are
    // noted in clicks and doubles.
    QWidget* showrecorded(const char* name, std::set<Control*>* clicks = nullptr,
                          std::set<Control*>* doubles = nullptr) {
        app.dispatch([&] {
            for (Form* f : app.loadedforms())
                if (f->name() != "frminit") f->hide();
            app.form(name).show();
        });
        if (!app.isloaded(name) || !app.form(name).visible()) return nullptr;
        for (Control* c : app.form(name).controls()) {
            std::string n = nameof(*c);
            if (c->Click && clicks) clicks->insert(c);
            if (c->DblClick && doubles) doubles->insert(c);
            c->Click = [this, n] { log.push_back(n + " Click"); };
            c->DblClick = [this, n] { log.push_back(n + " DblClick"); };
            c->KeyPress = [this, n](int& k) { log.push_back(n + " key " + std::to_string(k)); };
            c->Change = nullptr;
            c->GotFocus = c->LostFocus = c->Timer = nullptr;
        }
        return QtView::of(app).window(name);
    }
    // The form's visible, enabled controls with their widgets.
    std::vector<std::pair<Control*, QWidget*>> working(const char* name, QWidget* win) {
        std::vector<std::pair<Control*, QWidget*>> all;
        for (Control* c : app.form(name).controls()) {
            auto* w = win->findChild<QWidget*>(QString::fromStdString(nameof(*c)));
            if (w && w->isVisible() && c->visible() && c->enabled()) all.emplace_back(c, w);
        }
        return all;
    }
    // Runs fn on each working control of every form, shown with recorders.
    void sweep(const std::function<void(Control&, QWidget*, RealInput&)>& fn) {
        for (const char* name : kForms) {
            SCOPED_TRACE(name);
            QWidget* win = showrecorded(name);
            ASSERT_NE(win, nullptr);
            RealInput input(win);
            for (auto [c, w] : working(name, win)) fn(*c, w, input);
        }
    }
    size_t times(const std::string& s) const {
        return static_cast<size_t>(std::count(log.begin(), log.end(), s));
    }
    bool seen(const std::string& s) const { return times(s) > 0; }
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
        // The screen's handlers give way to recorders; what had none keeps none.
        std::set<Control*> clicks, doubles;
        QWidget* win = showrecorded(name, &clicks, &doubles);
        ASSERT_NE(win, nullptr);
        RealInput input(win);
        for (auto [c, w] : working(name, win)) {
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
// banner, a prompt, a read-only box), and neither stray keys nor Tab reach such a box. Where the
// cashier's first control is known, the screen opens there.
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
            if (c->takestab() && c->name() != "txtbanner") continue;
            auto* w = win->findChild<QWidget*>(QString::fromStdString(nameof(*c)));
            if (!w) continue;
            showing[w] = c;
            before[c] = c->text();
            ++shownonly;
        }
        auto* area = win->findChild<QScrollArea*>();
        ASSERT_NE(area, nullptr);
        QWidget* canvas = area->widget();
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
            // Tab goes from control to control, never to the window's own parts.
            EXPECT_TRUE(canvas->isAncestorOf(now)) << now->metaObject()->className();
        }
        for (auto& [c, text] : before) EXPECT_EQ(c->text(), text) << nameof(*c);
    }
    // The banners of the twelve screens that show one, the Fix Files sort captions, the betting
    // screen's prompts and current bet, the payoff screens' totals and help.
    EXPECT_GE(shownonly, 60);
}

// Enter on a focused command button clicks it, once, on every screen; Space still does.
TEST_F(FormSweep, EnterOnAFocusedButtonClicksIt) {
    int buttons = 0;
    sweep([&](Control& c, QWidget* w, RealInput& input) {
        if (c.kind() != Kind::CommandButton) return;
        const std::string click = nameof(c) + " Click";
        w->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), w) << click;
        log.clear();
        if (buttons % 2)
            input.key(Qt::Key_Enter, Qt::KeypadModifier);
        else
            input.key(Qt::Key_Return);
        EXPECT_EQ(times(click), 1u) << click;
        log.clear();
        input.key(Qt::Key_Space);
        EXPECT_EQ(times(click), 1u) << click;
        ++buttons;
    });
    EXPECT_GT(buttons, 100);
}

// A list or combo box that shows no choice has no current row: when it takes the focus from the
// keyboard, the first Down, or Up, takes the first row.
TEST_F(FormSweep, DownOrUpInABoxShowingNoChoiceTakesTheFirstRow) {
    int boxes = 0;
    sweep([&](Control& c, QWidget* w, RealInput& input) {
        Kind k = c.kind();
        bool list = k == Kind::ListBox || k == Kind::FileListBox || k == Kind::DirListBox ||
                    k == Kind::ComboBox;
        if (!list || c.locked) return;  // locked combos only show a finisher
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up}) {
            SCOPED_TRACE(nameof(c) + (key == Qt::Key_Down ? " Down" : " Up"));
            app.dispatch([&c] {
                while (c.listcount() < 3) c.additem("ROW " + std::to_string(c.listcount()));
                for (int i = 0; c.multiselect && i < c.listcount(); ++i) c.setselected(i, false);
                c.setlistindex(-1);
            });
            w->clearFocus();
            w->setFocus(Qt::TabFocusReason);
            input.key(key);
            EXPECT_EQ(c.listindex(), 0);
        }
        ++boxes;
    });
    // Lists and combos of the entry, bettor, betting, payoff, import and folder screens.
    EXPECT_GE(boxes, 15);
}

// Whatever room the screen has (the tests also run at 1280 x 720 and 960 x 540: a display of
// 1920 x 1080 scaled to 150% and 200%), every form's window lies on the screen, and every control
// the cashier works can be scrolled into view there and reached by the pointer.
TEST_F(FormSweep, EveryControlCanBeScrolledOntoTheScreen) {
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    if (const char* want = std::getenv("VANTROPE_TEST_SCREEN")) {
        ASSERT_EQ(QString("%1x%2").arg(room.width()).arg(room.height()).toStdString(), want);
    }
    int reached = 0;
    for (const char* name : kForms) {
        SCOPED_TRACE(name);
        std::set<Control*> clicks, doubles;
        QWidget* win = showrecorded(name, &clicks, &doubles);
        ASSERT_NE(win, nullptr);
        EXPECT_TRUE(room.contains(win->frameGeometry()));
        for (auto [c, w] : working(name, win)) {
            if (w->focusPolicy() == Qt::NoFocus && !clicks.count(c) && !doubles.count(c)) continue;
            auto at = freepoint(win, w);
            ASSERT_TRUE(at) << nameof(*c) << " cannot be reached";
            EXPECT_TRUE(room.contains(w->mapToGlobal(*at))) << nameof(*c);
            ++reached;
        }
    }
    EXPECT_GT(reached, 300);
}

}  // namespace
}  // namespace vt::test
