// The program's own screens driven through their windows: where a handler gives a control the
// focus, typing goes there; a screen opens ready for typing; lists hold no pick the cashier did
// not make; the program's end ends the event loop.
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QTimer>

#include "platform/qt/qtview.h"
#include "realinput.h"
#include "testapp.h"

namespace vt::test {
namespace {

class ScreenInput : public AppTest {
  protected:
    ScreenInput() {
        ensureqtapp();
        QtView::of(*app);
        dialogs.answer(vbNo, "printer");
        app->start();
        app->form("frminit").control("cmdok").click();
        folder.write("Bettors", "1,\"AnyBettor\"\r\n2,\"SMITH-JOHN\"\r\n3,\"JONES-MARY\"\r\n");
    }
    // Opens a screen from the menu as the cashier does and returns its window.
    QWidget* open(const char* button, const char* form) {
        app->form("frmmenu").control(button).click();
        QWidget* win = QtView::of(*app).window(form);
        if (win) input = std::make_unique<RealInput>(win);
        return win;
    }
    template <class W>
    W* widget(QWidget* win, const char* name) {
        return win->findChild<W*>(name);
    }
    std::unique_ptr<RealInput> input;
};

TEST_F(ScreenInput, MemberNamesLeaveTheTypingInTheNameBox) {
    QWidget* win = open("cmdenterhorses", "frmentries");
    ASSERT_NE(win, nullptr);
    Form& f = app->form("frmentries");
    auto* box = widget<QLineEdit>(win, "txtentryname");
    auto* members = widget<QListWidget>(win, "lstmembers");
    ASSERT_TRUE(box && members);
    EXPECT_EQ(win->focusWidget(), box);  // the screen opens ready for a name
    f.control("cmbflt").setlistindex(0);
    auto member = [&](const char* name) {
        auto found = members->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        input->clickitem(members, members->indexFromItem(found.front()));
    };
    member("SMITH-JOHN");
    member("JONES-MARY");
    EXPECT_EQ(box->text(), "SMITH-JONES-");
    EXPECT_EQ(QApplication::focusWidget(), box);
    EXPECT_EQ(box->cursorPosition(), 12);
    input->key(Qt::Key_Backspace);
    input->type("X");
    EXPECT_EQ(f.control("txtentryname").text(), "SMITH-JONESX");
    dialogs.ok("SMITH-JONESX added");
    input->key(Qt::Key_Return);
    EXPECT_NE(folder.read("Players").find("\"SMITH-JONESX\""), std::string::npos);
    // The emptied box keeps the focus for the next name.
    EXPECT_EQ(QApplication::focusWidget(), box);
    input->type("a");
    EXPECT_EQ(f.control("txtentryname").text(), "a");
    // The same member clicked twice adds it twice.
    input->key(Qt::Key_Backspace);
    member("SMITH-JOHN");
    member("SMITH-JOHN");
    EXPECT_EQ(box->text(), "SMITH-SMITH-");
}

// The left edge of the second run of ink in a strip of the image (the first that follows a
// gap wider than `gap` pixels), or -1.
int secondword(const QImage& img, QRect strip, int gap) {
    QRgb back = img.pixel(strip.right(), strip.top());
    int lastink = -1;
    for (int x = strip.left(); x <= strip.right(); ++x) {
        bool ink = false;
        for (int y = strip.top(); y <= strip.bottom() && !ink; ++y)
            ink = qGray(img.pixel(x, y)) < qGray(back) - 80;
        if (!ink) continue;
        if (lastink >= 0 && x - lastink > gap) return x;
        lastink = x;
    }
    return -1;
}

TEST_F(ScreenInput, ThePlayerTitleStandsOverTheNames) {
    folder.write("Players", "1,1,\"\",\"NICKLAUS-JACK\"\r\n");
    QWidget* win = open("cmdenterhorses", "frmentries");
    ASSERT_NE(win, nullptr);
    auto* title = widget<QWidget>(win, "lblentries");
    auto* list = widget<QListWidget>(win, "lstentries");
    ASSERT_TRUE(title && list && list->count() == 1);
    QImage img = win->grab().toImage();
    QRect head(title->mapTo(win, QPoint(0, 0)), title->size());
    QRect row = list->visualItemRect(list->item(0));
    row.moveTopLeft(list->viewport()->mapTo(win, row.topLeft()));
    int names = secondword(img, row, 12);
    ASSERT_GT(names, 0);
    EXPECT_NEAR(secondword(img, head, 12), names, 2);
}

TEST_F(ScreenInput, TheBettorScreenOpensWithTheFocusInItsNameBox) {
    QWidget* win = open("cmdenterbettors", "frmbettor");
    ASSERT_NE(win, nullptr);
    auto* box = widget<QLineEdit>(win, "txtbettorname");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), box);
    dialogs.ok("DOE-JANE added");
    input->type("doe-jane");
    input->key(Qt::Key_Return);
    EXPECT_NE(folder.read("Bettors").find("\"DOE-JANE\""), std::string::npos);
}

// A bettor typed with Return while a Bets file holds a bad line: the box that tells of it runs
// the event loop, and what the bettor box does of the Return then runs no second listing inside
// the first one, so the bettor's bet is listed and counted once.
TEST_F(ScreenInput, NoHandlerRunsInsideAnotherWhileItsBoxIsOpen) {
    folder.write("Players", "1,1,\"\",\"HOGAN\"\r\n");
    for (const char* f : {"Round1 1Bets", "Round1 1Betsbackup"})
        folder.write(f, "2,1,1,5\r\n2,1,1,abc\r\n");
    dialogs.allow("Type mismatch");
    dialogs.whileopen = [] {
        // A modal window takes the focus from the form and the event loop runs, as with a box.
        QWidget box;
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        (void)QTest::qWaitForWindowActive(&box);
        QApplication::processEvents();
    };
    QWidget* win = open("cmdbet", "frmbet");
    ASSERT_NE(win, nullptr);
    auto* bettor = widget<QComboBox>(win, "cbobettor");
    ASSERT_NE(bettor, nullptr);
    input->click(bettor->lineEdit());
    size_t before = dialogs.shown.size();
    input->type("smith-john");
    input->key(Qt::Key_Return);
    QApplication::processEvents();
    Form& f = app->form("frmbet");
    EXPECT_EQ(f.control("lstbetsprior").listcount(), 1);
    EXPECT_EQ(f.control("txttotalprior").text(), "$5.00");
    EXPECT_EQ(dialogs.shown.size(), before + 1);
}

TEST_F(ScreenInput, PlacingABetLeavesNoPriorBetPicked) {
    folder.write("Players", "1,1,\"\",\"HOGAN\"\r\n");
    folder.write("Round1 1Bets", "2,1,1,5\r\n");
    folder.write("Round1 1Betsbackup", "2,1,1,5\r\n");
    QWidget* win = open("cmdbet", "frmbet");
    ASSERT_NE(win, nullptr);
    Form& f = app->form("frmbet");
    Control& cbo = f.control("cbobettor");
    cbo.setlistindex(cbo.findbydata(2));
    f.control("Check1", 0).click();
    auto* board = widget<QListWidget>(win, "lstentries");
    ASSERT_GT(board->count(), 0);
    input->clickitem(board, board->model()->index(0, 0));
    input->click(widget<QPushButton>(win, "cmdwin"));
    input->click(widget<QPushButton>(win, "cmdbamount(3)"));
    input->click(widget<QPushButton>(win, "cmddone"));
    EXPECT_EQ(folder.read("Round1 1Bets"), "2,1,1,5\r\n2,1,1,2\r\n");
    auto* prior = widget<QListWidget>(win, "lstbetsprior");
    ASSERT_EQ(prior->count(), 3);
    EXPECT_EQ(f.control("lstbetsprior").listindex(), -1);
    EXPECT_TRUE(prior->selectedItems().isEmpty());
    // Tabbing into the list picks nothing either; a click does.
    prior->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(f.control("lstbetsprior").listindex(), -1);
    EXPECT_TRUE(prior->selectedItems().isEmpty());
    input->clickitem(prior, prior->model()->index(0, 0));
    EXPECT_EQ(f.control("lstbetsprior").listindex(), 0);
}

// A bet taken with the keyboard alone: the bettor typed, a flight ticked, the first Down on the
// board takes its first player, Enter presses WIN, the amount, PLACE and PAY, and the focus is
// back in the bettor box for the next bettor. Tab passes the prompts and the read-only boxes by.
TEST_F(ScreenInput, AWholeBetByTheKeyboardAlone) {
    folder.write("Players", "1,1,\"\",\"NICKLAUS-JACK\"\r\n2,1,\"\",\"PALMER-ARNOLD\"\r\n");
    QWidget* win = open("cmdbet", "frmbet");
    ASSERT_NE(win, nullptr);
    Form& f = app->form("frmbet");
    auto* bettor = widget<QComboBox>(win, "cbobettor");
    ASSERT_NE(bettor, nullptr);
    auto focused = [&] {
        QWidget* now = QApplication::focusWidget();
        return now && bettor->isAncestorOf(now) ? bettor : now;
    };
    EXPECT_EQ(focused(), bettor);
    int keys = 0, tabs = 0;
    std::vector<std::string> passed;
    auto press = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        ++keys;
        input->key(k, m);
    };
    // Tab (or Shift+Tab) until the control has the focus.
    auto tabto = [&](const char* name, bool back = false) {
        for (int i = 0; i < 60 && focused() && focused()->objectName() != name; ++i) {
            press(back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
            ++tabs;
            if (QWidget* now = focused()) passed.push_back(now->objectName().toStdString());
        }
        ASSERT_EQ(focused()->objectName().toStdString(), name);
    };
    input->type("smith-john");
    keys += 10;
    press(Qt::Key_Return);
    EXPECT_EQ(f.control("txtbettor").text(), "SMITH-JOHN");
    tabto("Check1(0)");
    press(Qt::Key_Space);
    tabto("lstentries", true);
    press(Qt::Key_Down);
    EXPECT_NE(f.control("txthorse").text().find("NICKLAUS-JACK"), std::string::npos);
    tabto("cmdwin");
    press(Qt::Key_Return);
    EXPECT_EQ(f.control("txtwps").text(), "W");
    tabto("cmdbamount(3)");
    press(Qt::Key_Return);
    EXPECT_EQ(f.control("txtamount").text(), "2");
    tabto("cmddone");
    press(Qt::Key_Return);
    EXPECT_EQ(folder.read("Round1 1Bets"), "2,1,1,2\r\n");
    // PLACE hid itself and showed PAY: the focus went on to PAY, not past it.
    EXPECT_EQ(focused()->objectName(), "cmdpay");
    press(Qt::Key_Return);
    EXPECT_EQ(f.control("cmdpay").caption(), "  PAID  $2.00");
    // Ready for the next bettor.
    EXPECT_EQ(focused(), bettor);
    input->type("d");
    EXPECT_EQ(f.control("cbobettor").text(), "d");
    for (const std::string& n : passed) {
        size_t at = n.find('(');
        int index = at == std::string::npos ? -1 : std::stoi(n.substr(at + 1));
        EXPECT_TRUE(f.control(n.substr(0, at), index).takestab()) << n;
    }
    // The name and its Enter, the flight, the player, WIN, $2, PLACE and PAY; the Tabs between
    // them cross the fifteen flight boxes and the position and amount buttons.
    EXPECT_LE(tabs, 34);
    EXPECT_LE(keys, 52);
}

// The note that tells where a printout went stands under the form, never over it: it covers no
// control, and the payoff screen's last instruction line can still be seen whole.
TEST_F(ScreenInput, ThePrintoutNoteCoversNoControl) {
    QWidget* win = open("cmdpay", "frmpay");
    ASSERT_NE(win, nullptr);
    const std::string told = "Printed to " + folder.path() + "/Printouts/Payoff Sheets-1.pdf";
    QtView::of(*app).note(told);
    QLabel* note = nullptr;
    for (auto* l : win->findChildren<QLabel*>())
        if (l->text().toStdString() == told) note = l;
    ASSERT_TRUE(note && note->isVisible());
    const QRect strip(note->mapTo(win, QPoint(0, 0)), note->size());
    auto* area = win->findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    const QRect view(area->viewport()->mapTo(win, QPoint(0, 0)), area->viewport()->size());
    for (Control* c : app->form("frmpay").controls()) {
        auto* w = widget<QWidget>(win, c->name().c_str());
        if (!w || !w->isVisible()) continue;
        QRect shown = QRect(w->mapTo(win, QPoint(0, 0)), w->size()).intersected(view);
        EXPECT_FALSE(shown.intersects(strip)) << c->name();
    }
    auto* last = widget<QWidget>(win, "lblinstructions");
    ASSERT_NE(last, nullptr);
    RealInput::reveal(last, last->rect().bottomLeft());
    EXPECT_TRUE(view.contains(QRect(last->mapTo(win, QPoint(0, 0)), last->size()).bottomLeft()));
}

// Keys typed as the summary opens change nothing, so the event's name prints as the setup
// screen keeps it.
TEST_F(ScreenInput, StrayKeysOnTheSummaryLeaveThePrintedTitleAlone) {
    folder.write("Players", "1,1,\"\",\"HOGAN\"\r\n");
    folder.write("Round1 1Bets", "2,1,1,5\r\n");
    folder.write("Round1 1Betsbackup", "2,1,1,5\r\n");
    sh().printswitch = "yes";
    QWidget* win = open("cmdsummary", "frmsummary");
    ASSERT_NE(win, nullptr);
    const std::string banner = sh().banner;
    ASSERT_FALSE(banner.empty());
    input->type("zz");
    input->key(Qt::Key_Backspace);
    input->click(widget<QWidget>(win, "optflight(1)"));
    input->type("zz");
    EXPECT_EQ(app->form("frmsummary").control("txtbanner").text(), banner);
    dialogs.type("1", "Enter number of forms to print");
    input->click(widget<QPushButton>(win, "cmdbettorsumm"));
    ASSERT_EQ(printed.docs.size(), 1u);
    std::string title = printed.lines(0).at(0);
    EXPECT_EQ(title.rfind(banner + " ", 0), 0u) << title;
    EXPECT_EQ(title.find("zz"), std::string::npos) << title;
}

// Fix Files shows why a line is bad in words a cashier can read: every cell's text fits its
// column at screen size, and the columns fit the grid, in both Bets displays.
TEST_F(ScreenInput, FixFilesFlagsFitTheirColumns) {
    folder.write("Players", "1,1,\"\",\"A VERY LONG PLAYER NAME FOR THE TEAM\"\r\n");
    const std::string bets =
        "2,1,1.5,5\r\n2,1,1,abc\r\n57,1,3,100000\r\n2,7,2,1500\r\n2,1\r\n2,1,4,0\r\n";
    folder.write("Round1 1Bets", bets);
    folder.write("Round1 1Betsbackup", bets);
    QWidget* win = open("cmdfix", "frmfix");
    ASSERT_NE(win, nullptr);
    Form& f = app->form("frmfix");
    f.control("optflight", 1).click();
    auto* grid = widget<QTableView>(win, "grdfix");
    ASSERT_NE(grid, nullptr);
    for (const char* button : {"cmdbets", "cmdbackup"}) {
        SCOPED_TRACE(button);
        input->click(widget<QPushButton>(win, button));
        QApplication::processEvents();
        Control& g = f.control("grdfix");
        ASSERT_GE(g.rows(), 7);
        QFontMetricsF fm(grid->font());
        int total = 0, flags = 0;
        for (int c = 0; c < g.cols(); ++c) {
            total += grid->columnWidth(c);
            for (int r = 0; r < g.rows(); ++r) {
                std::string text = g.textmatrix(r, c);
                flags += text.find("Bad") != std::string::npos;
                EXPECT_LE(fm.horizontalAdvance(QString::fromStdString(text)) + 4,
                          grid->columnWidth(c))
                    << text;
            }
        }
        EXPECT_GE(flags, 6);
        EXPECT_LE(total, grid->viewport()->width());
    }
}

TEST_F(ScreenInput, ExitProgramEndsTheEventLoop) {
    app->form("frmmenu").control("cmdinit").click();
    QWidget* win = QtView::of(*app).window("frminit");
    ASSERT_NE(win, nullptr);
    app->onend = [] { endeventloop(); };
    RealInput in(win);
    QEventLoop loop;
    QTimer::singleShot(0, [&] { in.click(widget<QPushButton>(win, "cmdexit")); });
    QTimer::singleShot(5000, &loop, [&] { loop.exit(1); });
    EXPECT_EQ(loop.exec(), 0);  // ended by the program, not by the time limit
    EXPECT_TRUE(app->ended());
    EXPECT_TRUE(folder.exists("Init"));
    EXPECT_EQ(QtView::of(*app).window("frminit"), nullptr);
}

}  // namespace
}  // namespace vt::test
