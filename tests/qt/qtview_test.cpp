// The Qt view under QT_QPA_PLATFORM=offscreen: real widgets, real Qt events, the model behind.
#include "platform/qt/qtview.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <fstream>

#include "platform/qt/qtwidgets.h"
#include "platform/text.h"
#include "realinput.h"
#include "testapp.h"

namespace vt::test {
namespace {

// A demonstration form with one control of every kind; it logs what the model saw.
class DemoForm : public Form {
  public:
    explicit DemoForm(Host& app) : Form(app, "frmdemo") {
        caption = "Demonstration";
        width = 640;
        height = 480;
        auto& fra = add(Kind::Frame, "fraround", "Round", 20, 20, 260, 60);
        fra.Click = [this] { log.push_back("fraround.Click"); };
        for (int i = 1; i <= 3; ++i) {
            auto& o = add(Kind::OptionButton, "optround", i, "Round " + std::to_string(i),
                          30 + 80 * (i - 1), 45, 75, 24);
            container[&o] = &fra;
            o.Click = [this, i] { log.push_back("optround(" + std::to_string(i) + ").Click"); };
        }
        auto& txt = add(Kind::TextBox, "txtamount", "", 20, 100, 160, 24);
        txt.Change = [this] { log.push_back("txtamount.Change"); };
        // Digits only; Enter moves on.
        txt.KeyPress = [this](int& k) {
            log.push_back("key " + std::to_string(k));
            if (k == vbKeyReturn) {
                log.push_back("enter");
                k = 0;
            } else if (k != vbKeyBack && (k < '0' || k > '9')) {
                k = 0;
            }
        };
        // A text box used as a button, as the bet sheet's are.
        auto& btn = add(Kind::TextBox, "txtplus", "+", 190, 100, 40, 24);
        btn.locked = true;
        btn.Click = [this] { log.push_back("txtplus.Click"); };
        btn.DblClick = [this] { log.push_back("txtplus.DblClick"); };
        btn.GotFocus = [this] { log.push_back("txtplus.GotFocus"); };
        btn.LostFocus = [this] { log.push_back("txtplus.LostFocus"); };
        auto& lst = add(Kind::ListBox, "lstnames", "", 20, 140, 200, 160);
        lst.sorted = true;
        lst.Click = [this] { log.push_back("lstnames.Click"); };
        lst.DblClick = [this] { log.push_back("lstnames.DblClick"); };
        auto& rec = add(Kind::ListBox, "lstrecord", "", 240, 220, 140, 80);
        rec.multiselect = true;
        rec.Click = [this] { log.push_back("lstrecord.Click"); };
        rec.KeyPress = [this](int& k) {
            log.push_back("lstrecord key " + std::to_string(k));
            k = 0;
        };
        auto& cmb = add(Kind::ComboBox, "cmbflight", "", 240, 140, 140, 24);
        cmb.droplist = true;
        cmb.Click = [this] { log.push_back("cmbflight.Click"); };
        // An editable combo: typed names, picked names.
        auto& cbo = add(Kind::ComboBox, "cbobettor", "", 400, 300, 220, 24);
        cbo.KeyPress = [this, &cbo](int& k) {
            if (k >= 'a' && k <= 'z') k -= 32;
            if (k == vbKeyReturn) log.push_back("bettor " + cbo.text());
        };
        cbo.Click = [this, &cbo] { log.push_back("cbobettor.Click " + cbo.text()); };
        auto& chk = add(Kind::CheckBox, "chkprint", "Print tickets", 240, 180, 140, 24);
        chk.Click = [this] { log.push_back("chkprint.Click"); };
        auto& lbl = add(Kind::Label, "lblstatus", "Ready", 20, 320, 360, 40);
        lbl.Click = [this] { log.push_back("lblstatus.Click"); };
        lbl.DblClick = [this] { log.push_back("lblstatus.DblClick"); };
        auto& pic = add(Kind::PictureBox, "picboard", "", 400, 340, 220, 30);
        pic.Click = [this] { log.push_back("picboard.Click"); };
        auto& msg = add(Kind::TextBox, "txtmsg", "", 400, 380, 220, 50);
        msg.multiline = true;
        auto& grd = add(Kind::Grid, "grdodds", "", 400, 20, 220, 200);
        grd.setrows(4);
        grd.setcols(2);
        grd.setcolwidth(0, 1500);
        grd.setcolwidth(1, 1500);
        grd.settextmatrix(0, 0, "Player");
        grd.settextmatrix(0, 1, "Odds");
        grd.settextmatrix(1, 0, "ADAMS");
        grd.settextmatrix(1, 1, "3.50");
        grd.setcellbold(1, 0, true);
        grd.Click = [this, &grd] {
            log.push_back("grdodds.Click " + std::to_string(grd.grid.row));
        };
        grd.DblClick = [this] { log.push_back("grdodds.DblClick"); };
        auto& tmr = add(Kind::Timer, "tmrclock", "", 0, 0, 0, 0);
        tmr.Timer = [this] { log.push_back("tick"); };
        auto& drv = add(Kind::DriveListBox, "Drive1", "", 400, 240, 220, 26);
        drv.Change = [this, &drv] { log.push_back("Drive1.Change " + drv.drive); };
        auto& ok = add(Kind::CommandButton, "cmdok", "OK", 20, 380, 120, 40);
        ok.Click = [this] {
            control("lblstatus").setcaption("Saved " + control("txtamount").text());
        };
        auto& ret = add(Kind::CommandButton, "cmdreturn", "MAIN MENU", 160, 380, 140, 40);
        ret.Click = [this] { unload(); };
    }
    void Form_Load() override {
        for (const char* n : {"WILSON", "adams", "Baker"}) control("lstnames").additem(n);
        for (const char* n : {"A", "B", "C"}) {
            control("cmbflight").additem(n);
            control("lstrecord").additem(n);
        }
        for (const char* n : {"ADAMS-JOHN", "BAKER-JANE"}) control("cbobettor").additem(n);
        Control& drv = control("Drive1");
        for (const char* d : {"c:", "e:"}) drv.additem(d);
        drv.drive = "c:";
    }
    std::vector<std::string> log;
    size_t count(const std::string& s) const {
        return static_cast<size_t>(std::count(log.begin(), log.end(), s));
    }
};

class QtViewTest : public AppTest {
  protected:
    QtViewTest() {
        ensureqtapp();
        app->registerform("frmdemo", [](Host& a) { return std::make_unique<DemoForm>(a); });
        QtView::of(*app);
        app->dispatch([&] { app->form("frmdemo").show(); });
        input = std::make_unique<RealInput>(view().window("frmdemo"));
    }
    DemoForm& demo() { return app->formas<DemoForm>("frmdemo"); }
    QtView& view() { return QtView::of(*app); }
    template <class W>
    W* widget(const char* name) {
        QWidget* win = view().window("frmdemo");
        return win ? win->findChild<W*>(name) : nullptr;
    }
    std::unique_ptr<RealInput> input;
};

TEST_F(QtViewTest, RendersTheFormAndAButtonClickReachesTheModel) {
    std::string png = std::string(VANTROPE_SCREENS_DIR) + "/demo.png";
    ASSERT_TRUE(renderformpng(*app, demo(), png));
    QImage img(QString::fromStdString(png));
    EXPECT_EQ(img.width(), 640);
    EXPECT_EQ(img.height(), 480);
    EXPECT_EQ(view().window("frmdemo")->windowTitle(), "Demonstration");

    auto* ok = widget<QPushButton>("cmdok");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->geometry(), QRect(20, 380, 120, 40));
    demo().control("txtamount").settext("25");
    input->click(ok);
    EXPECT_EQ(demo().control("lblstatus").caption(), "Saved 25");
    EXPECT_EQ(widget<QLabel>("lblstatus")->text(), "Saved 25");  // shown after the event
}

TEST_F(QtViewTest, TypedKeysGoThroughKeyPressAndEditAtTheCaret) {
    auto* t = widget<QLineEdit>("txtamount");
    ASSERT_NE(t, nullptr);
    Control& c = demo().control("txtamount");
    input->click(t);
    EXPECT_EQ(demo().focused, &c);
    input->type("1x50");  // x refused by the form's KeyPress
    input->key(Qt::Key_Backspace);
    input->key(Qt::Key_Return);
    EXPECT_EQ(c.text(), "15");
    EXPECT_EQ(t->text(), "15");
    EXPECT_EQ(demo().count("txtamount.Change"), 4u);  // 1, 15, 150, 15
    EXPECT_EQ(demo().log.back(), "enter");
    EXPECT_EQ(demo().count("key 120"), 1u);  // KeyPress saw the refused x

    // A key typed with the caret in the middle goes there, after KeyPress saw it.
    input->key(Qt::Key_Home);
    input->key(Qt::Key_Right);
    input->type("7");
    EXPECT_EQ(c.text(), "175");
    EXPECT_EQ(t->cursorPosition(), 2);
    // Delete removes the character after the caret; Backspace the one before.
    input->key(Qt::Key_Delete);
    EXPECT_EQ(c.text(), "17");
    input->key(Qt::Key_Backspace);
    EXPECT_EQ(c.text(), "1");
    // Typing over a selection replaces it; Ctrl+A then Backspace empties the box.
    input->type("234");
    input->key(Qt::Key_Left);
    input->key(Qt::Key_Left, Qt::ShiftModifier);
    input->type("9");
    EXPECT_EQ(c.text(), "1294");
    input->key(Qt::Key_A, Qt::ControlModifier);
    input->key(Qt::Key_Backspace);
    EXPECT_EQ(c.text(), "");
    EXPECT_EQ(t->text(), "");

    // Paste goes key by key through KeyPress, at the caret.
    input->type("12");
    input->key(Qt::Key_Home);
    QApplication::clipboard()->setText("3a4");
    input->key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(c.text(), "3412");
    EXPECT_EQ(demo().count("key 97"), 1u);
    // Keys the model cannot follow never edit the widget behind its back.
    input->key(Qt::Key_Z, Qt::ControlModifier);
    input->key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(t->text(), "3412");
    EXPECT_EQ(c.text(), "3412");

    // A caret set aside by the user survives a timer's refresh of the window.
    input->key(Qt::Key_Home);
    app->dispatch([&] { demo().control("lblstatus").setcaption("tick"); });
    input->type("5");
    EXPECT_EQ(c.text(), "53412");
}

TEST_F(QtViewTest, AnEditableComboTakesTypedKeysAndEnter) {
    auto* b = widget<QComboBox>("cbobettor");
    ASSERT_NE(b, nullptr);
    Control& c = demo().control("cbobettor");
    input->click(b->lineEdit());
    EXPECT_EQ(demo().focused, &c);
    input->type("palmer-arnold");
    EXPECT_EQ(c.text(), "PALMER-ARNOLD");
    EXPECT_EQ(b->currentText(), "PALMER-ARNOLD");
    input->key(Qt::Key_Home);
    input->key(Qt::Key_Delete);
    input->type("b");
    input->key(Qt::Key_Return);
    EXPECT_EQ(demo().log.back(), "bettor BALMER-ARNOLD");
    // The arrow keys pick from the list.
    input->key(Qt::Key_Down);
    EXPECT_EQ(c.listindex(), 0);
    EXPECT_EQ(demo().log.back(), "cbobettor.Click ADAMS-JOHN");
    EXPECT_EQ(b->currentText(), "ADAMS-JOHN");
}

TEST_F(QtViewTest, TextBoxesLabelsPicturesAndFramesAnswerTheMouse) {
    auto* plus = widget<QLineEdit>("txtplus");
    ASSERT_NE(plus, nullptr);
    input->click(widget<QLineEdit>("txtamount"));
    input->click(plus);
    EXPECT_EQ(demo().count("txtplus.GotFocus"), 1u);
    EXPECT_EQ(demo().count("txtplus.Click"), 1u);
    EXPECT_EQ(demo().focused, &demo().control("txtplus"));
    input->dblclick(plus);
    EXPECT_EQ(demo().count("txtplus.DblClick"), 1u);
    EXPECT_EQ(demo().count("txtplus.Click"), 2u);  // the double click's first press clicks
    input->click(widget<QLineEdit>("txtamount"));
    EXPECT_EQ(demo().count("txtplus.LostFocus"), 1u);

    input->click(widget<QLabel>("lblstatus"));
    EXPECT_EQ(demo().log.back(), "lblstatus.Click");
    input->dblclick(widget<QLabel>("lblstatus"));
    EXPECT_EQ(demo().log.back(), "lblstatus.DblClick");
    input->click(widget<QLabel>("picboard"));
    EXPECT_EQ(demo().log.back(), "picboard.Click");
    input->click(widget<QWidget>("fraround"),
                 QPoint(250, 50));  // the frame itself, past the options
    EXPECT_EQ(demo().log.back(), "fraround.Click");

    // A multi-line box keeps the model's CR LF and edits at the caret.
    auto* msg = widget<QPlainTextEdit>("txtmsg");
    ASSERT_NE(msg, nullptr);
    input->click(msg);
    input->type("AB");
    input->key(Qt::Key_Return);
    input->type("C");
    input->key(Qt::Key_Up);  // to the same column of the line above
    input->type("x");
    EXPECT_EQ(demo().control("txtmsg").text(), "AxB\r\nC");
}

TEST_F(QtViewTest, ListsShowTheModelOrderAndPicksFireClick) {
    auto* l = widget<QListWidget>("lstnames");
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(l->count(), 3);
    EXPECT_EQ(l->item(0)->text(), "adams");  // the model's case-insensitive order, not Qt's
    EXPECT_EQ(l->item(2)->text(), "WILSON");
    input->clickitem(l, l->model()->index(1, 0));
    Control& c = demo().control("lstnames");
    EXPECT_EQ(c.listindex(), 1);
    EXPECT_EQ(c.text(), "Baker");
    EXPECT_EQ(demo().log.back(), "lstnames.Click");
    input->dblclickitem(l, l->model()->index(1, 0));
    EXPECT_EQ(demo().log.back(), "lstnames.DblClick");

    // A change made in code shows without firing anything back.
    size_t before = demo().log.size();
    app->dispatch([&] { c.additem("Carter"); });
    EXPECT_EQ(l->count(), 4);
    EXPECT_EQ(l->item(2)->text(), "Carter");
    EXPECT_EQ(l->currentRow(), 1);
    EXPECT_EQ(demo().log.size(), before);

    // Several selections: each item's state reaches the model, with one Click a pick.
    auto* rec = widget<QListWidget>("lstrecord");
    ASSERT_NE(rec, nullptr);
    input->clickitem(rec, rec->model()->index(0, 0));
    QTest::mouseClick(
        input->handle(), Qt::LeftButton, Qt::ControlModifier,
        input->at(rec->viewport(), rec->visualRect(rec->model()->index(2, 0)).center()));
    Control& r = demo().control("lstrecord");
    EXPECT_TRUE(r.selected(0));
    EXPECT_FALSE(r.selected(1));
    EXPECT_TRUE(r.selected(2));
    EXPECT_EQ(r.listindex(), 2);
    EXPECT_EQ(demo().count("lstrecord.Click"), 2u);
    app->dispatch([&] { r.setselected(0, false); });
    EXPECT_FALSE(rec->item(0)->isSelected());
    EXPECT_TRUE(rec->item(2)->isSelected());
    // A key typed on a list with a KeyPress handler reaches it.
    input->type("q");
    EXPECT_EQ(demo().log.back(), "lstrecord key 113");

    // Drop-down lists: picked with the keyboard from the open list.
    auto* drv = widget<QComboBox>("Drive1");
    ASSERT_NE(drv, nullptr);
    EXPECT_EQ(drv->currentText(), "c:");
    auto pick = [&](QComboBox* b) {
        input->click(b);
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr);
        QTest::keyClick(popup->windowHandle(), Qt::Key_Down);
        QTest::keyClick(popup->windowHandle(), Qt::Key_Return);
    };
    pick(drv);
    EXPECT_EQ(demo().log.back(), "Drive1.Change e:");
    EXPECT_EQ(drv->currentText(), "e:");
    pick(widget<QComboBox>("cmbflight"));
    EXPECT_EQ(demo().log.back(), "cmbflight.Click");
    Control& flt = demo().control("cmbflight");
    ASSERT_GE(flt.listindex(), 0);
    EXPECT_EQ(flt.text(), flt.list(flt.listindex()));
}

TEST_F(QtViewTest, ListsAndGridsFollowEachChangeInOneStep) {
    Control& c = demo().control("lstnames");
    auto* l = widget<QListWidget>("lstnames");
    auto same = [&] {
        if (l->count() != c.listcount()) return false;
        for (int i = 0; i < l->count(); ++i)
            if (l->item(i)->text().toStdString() != c.list(i)) return false;
        return true;
    };
    app->dispatch([&] {
        c.removeitem(1);
        c.additem("Zed");
        c.additem("Abel");
    });
    EXPECT_TRUE(same());
    app->dispatch([&] { c.setlist(0, "Able"); });
    EXPECT_TRUE(same());
    app->dispatch([&] {
        c.clear();
        for (int i = 0; i < 3000; ++i) c.additem("N" + std::to_string(100000 + i));
    });
    EXPECT_TRUE(same());
    app->dispatch([&] {
        c.removeitem(1500);
        c.removeitem(0);
        c.additem("N1", 10);
    });
    EXPECT_TRUE(same());
    app->dispatch([&] { c.clear(); });
    EXPECT_EQ(l->count(), 0);

    // A grid grown row by row, then one cell changed and one row removed.
    Control& grd = demo().control("grdodds");
    auto* g = widget<QTableView>("grdodds");
    app->dispatch([&] {
        for (int r = 1; r <= 5000; ++r) {
            if (grd.rows() < r + 1) grd.setrows(r + 1);
            grd.settextmatrix(r, 0, "ROW " + std::to_string(r));
        }
    });
    EXPECT_EQ(g->model()->rowCount(), 5001);
    EXPECT_EQ(g->model()->index(5000, 0).data().toString(), "ROW 5000");
    app->dispatch([&] { grd.removegridrow(1); });
    EXPECT_EQ(g->model()->rowCount(), 5000);
    EXPECT_EQ(g->model()->index(1, 0).data().toString(), "ROW 2");
    // A click on a row reaches the model with the row as it is now.
    input->clickitem(g, g->model()->index(2, 1));
    EXPECT_EQ(demo().log.back(), "grdodds.Click 2");
    EXPECT_EQ(grd.textmatrix(grd.grid.row, 0), "ROW 3");
}

TEST_F(QtViewTest, OptionsFollowTheModelAndSitInTheirFrame) {
    auto* r1 = widget<QRadioButton>("optround(1)");
    auto* r2 = widget<QRadioButton>("optround(2)");
    ASSERT_TRUE(r1 && r2);
    EXPECT_EQ(r1->parentWidget()->objectName(), "fraround");
    EXPECT_EQ(r1->geometry().topLeft(), QPoint(10, 25));  // form position less the frame's
    input->click(r1);
    input->click(r2);
    EXPECT_FALSE(r1->isChecked());
    EXPECT_TRUE(r2->isChecked());
    EXPECT_EQ(demo().control("optround", 1).value(), 0);
    // Clicking the chosen option again keeps it chosen, as the model says.
    input->click(r2);
    EXPECT_TRUE(r2->isChecked());

    auto* chk = widget<QCheckBox>("chkprint");
    input->click(chk);
    EXPECT_EQ(demo().control("chkprint").value(), 1);
    EXPECT_TRUE(chk->isChecked());
    EXPECT_EQ(demo().log.back(), "chkprint.Click");
}

// What the grid widget shows in a cell.
QVariant cell(QTableView* g, int r, int c, int role = Qt::DisplayRole) {
    return g->model()->index(r, c).data(role);
}
int align(QTableView* g, int r, int c) {
    return cell(g, r, c, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask;
}

TEST_F(QtViewTest, GridShowsCellsAndClicksReachTheModel) {
    auto* g = widget<QTableView>("grdodds");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->model()->rowCount(), 4);
    EXPECT_EQ(g->columnWidth(0), 100);  // 1500 twips
    EXPECT_EQ(cell(g, 1, 0).toString(), "ADAMS");
    EXPECT_TRUE(cell(g, 1, 0, Qt::FontRole).value<QFont>().bold());
    input->clickitem(g, g->model()->index(2, 1));
    EXPECT_EQ(demo().log.back(), "grdodds.Click 2");
    input->dblclickitem(g, g->model()->index(1, 1));
    EXPECT_EQ(demo().log.back(), "grdodds.DblClick");
}

// A cell drawn by the grid, as pixels.
QImage cellimage(QTableView* g, int r, int c) {
    QRect cell = g->visualRect(g->model()->index(r, c));
    return g->viewport()->grab(cell).toImage();
}

TEST_F(QtViewTest, GridCellsKeepTheirAlignmentAndShowTheirWholeText) {
    Control& grd = demo().control("grdodds");
    auto* g = widget<QTableView>("grdodds");
    app->dispatch([&] {
        grd.setcolalignment(1, 1);      // the column left-aligned
        grd.setcellalignment(2, 1, 7);  // this cell right-aligned
        grd.setcellalignment(0, 1, 4);  // a title centred
        grd.settextmatrix(2, 1, "$ 1002.25");
        grd.settextmatrix(3, 1, "$ 1002.25");
        grd.setcellbold(2, 1, true);
    });
    EXPECT_EQ(align(g, 2, 1), Qt::AlignRight);
    EXPECT_EQ(align(g, 3, 1), Qt::AlignLeft);
    EXPECT_EQ(align(g, 0, 1), Qt::AlignHCenter);
    EXPECT_EQ(align(g, 0, 0), Qt::AlignLeft);  // fixed cells

    // A text wider than its cell is drawn whole: with its last character changed, the cell
    // looks different (an elided text would end in the same "..." both times).
    app->dispatch([&] {
        grd.setcolwidth(1, 300);  // 20 pixels
        grd.settextmatrix(1, 1, "12.5");
    });
    QImage five = cellimage(g, 1, 1);
    app->dispatch([&] { grd.settextmatrix(1, 1, "12.9"); });
    EXPECT_NE(cellimage(g, 1, 1), five);
    app->dispatch([&] { grd.settextmatrix(1, 1, "92.9"); });
    QImage nine = cellimage(g, 1, 1);
    app->dispatch([&] { grd.settextmatrix(1, 1, "12.9"); });
    EXPECT_NE(cellimage(g, 1, 1), nine);  // the first character shows too
}

// Blanks that pad a text away from the edge it is aligned to take no room: a padded cell whose
// letters fit is drawn as its letters alone, not narrowed (rows 2 and 3: row 1 is selected).
TEST_F(QtViewTest, PaddingBlanksTakeNoRoomInAGridCell) {
    Control& grd = demo().control("grdodds");
    auto* g = widget<QTableView>("grdodds");
    const QFontMetrics fm(g->font());
    app->dispatch([&] {
        grd.setcolwidth(1, (fm.horizontalAdvance("CHAMPS") + 8) * 15);
        grd.setcolalignment(1, 1);  // left, at the bottom as the odds grid's flights
        grd.settextmatrix(2, 1, "CHAMPS     ");
        grd.settextmatrix(3, 1, "CHAMPS");
    });
    EXPECT_EQ(cellimage(g, 2, 1), cellimage(g, 3, 1));
    app->dispatch([&] {
        grd.setcolwidth(1, (fm.horizontalAdvance("12.5") + 8) * 15);
        grd.setcolalignment(1, 7);  // right
        grd.settextmatrix(2, 1, "     12.5");
        grd.settextmatrix(3, 1, "12.5");
    });
    EXPECT_EQ(cellimage(g, 2, 1), cellimage(g, 3, 1));
    // A text whose letters do not fit is still drawn whole, narrower.
    app->dispatch([&] { grd.settextmatrix(2, 1, "   1234567.5"); });
    EXPECT_NE(cellimage(g, 2, 1), cellimage(g, 3, 1));
}

TEST_F(QtViewTest, FormsThatGoLoseTheirWindow) {
    // Unloaded by its own button.
    QPointer<QWidget> win = view().window("frmdemo");
    ASSERT_TRUE(win);
    EXPECT_TRUE(win->isVisible());
    input->click(widget<QPushButton>("cmdreturn"));
    EXPECT_FALSE(app->isloaded("frmdemo"));
    EXPECT_EQ(view().window("frmdemo"), nullptr);
    EXPECT_TRUE(!win || !win->isVisible());

    // Closed through the window manager: the form unloads by default.
    app->dispatch([&] { app->form("frmdemo").show(); });
    QWidget* again = view().window("frmdemo");
    ASSERT_NE(again, nullptr);
    again->close();
    EXPECT_FALSE(app->isloaded("frmdemo"));
    EXPECT_EQ(view().window("frmdemo"), nullptr);
}

TEST_F(QtViewTest, NoWindowLeftIsToldOnlyAtTheEndOfAnEvent) {
    int told = 0;
    view().onnowindows = [&] { ++told; };
    // Hidden for a moment while a box is up, then shown again: the program goes on.
    demo().control("cmdok").Click = [this] {
        demo().hide();
        app->msgbox("Building files");
        demo().show();
    };
    dialogs.ok("Building files");
    input->click(widget<QPushButton>("cmdok"));
    EXPECT_EQ(told, 0);
    input->click(widget<QPushButton>("cmdreturn"));
    EXPECT_EQ(told, 1);
}

TEST_F(QtViewTest, AFailingHandlerIsShownNotFatal) {
    demo().control("cmdok").Click = [] { throw std::out_of_range("no such bettor"); };
    dialogs.ok("no such bettor");
    input->click(widget<QPushButton>("cmdok"));
    EXPECT_EQ(dialogs.shown.back().style & vbCritical, vbCritical);
    EXPECT_TRUE(app->isloaded("frmdemo"));
}

// Closes the next modal box the way the window manager would.
void dismissnextbox(int afterms = 0) {
    QTimer::singleShot(afterms, [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
}

// The demonstration form in the view, on an App whose boxes are real ones.
struct DemoWithRealBoxes {
    DemoWithRealBoxes() : app(AppEnvironment{folder.path(), &boxes, &sink}) {
        ensureqtapp();
        app.registerform("frmdemo", [](Host& a) { return std::make_unique<DemoForm>(a); });
    }
    TempFolder folder;
    QtDialogs boxes;
    CapturePrintSink sink;
    App app;
};

TEST(QtTimerTest, TimersTickButWaitWhileABoxIsOpen) {
    DemoWithRealBoxes real;
    App& app = real.app;
    QtView& view = QtView::of(app);
    auto& demo = app.formas<DemoForm>("frmdemo");
    app.dispatch([&] {
        demo.show();
        demo.control("tmrclock").interval = 5;
    });
    int ticksinbox = -1;
    demo.control("cmdok").Click = [&] {
        size_t before = demo.log.size();
        dismissnextbox(120);
        app.msgbox("Wait", vbOKOnly);
        ticksinbox = static_cast<int>(demo.log.size() - before);
    };
    RealInput(view.window("frmdemo"))
        .click(view.window("frmdemo")->findChild<QPushButton*>("cmdok"));
    EXPECT_EQ(ticksinbox, 0);
    QTimer wait;
    wait.setSingleShot(true);
    wait.start(60);
    while (wait.isActive()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_GT(std::count(demo.log.begin(), demo.log.end(), "tick"), 0);
}

// Once a box closes, the window that was active is active again, so the keys go on to its
// focused control also where no window manager hands the focus back.
TEST(QtDialogsTest, TheWindowActiveBeforeABoxIsActiveAfterIt) {
    DemoWithRealBoxes real;
    real.app.dispatch([&] { real.app.form("frmdemo").show(); });
    QWidget* win = QtView::of(real.app).window("frmdemo");
    ASSERT_NE(win, nullptr);
    RealInput input(win);
    ASSERT_EQ(QApplication::activeWindow(), win);
    dismissnextbox();
    EXPECT_EQ(real.boxes.msgbox("Done", vbOKOnly, "Vantrope"), vbOK);
    EXPECT_TRUE(QTest::qWaitForWindowActive(win, 1000));
}

TEST(QtDialogsTest, DismissingABoxCountsAsNoOrCancel) {
    ensureqtapp();
    QtDialogs d;
    dismissnextbox();
    EXPECT_EQ(d.msgbox("Save the bets?", vbYesNo + vbQuestion, "Vantrope"), vbNo);
    dismissnextbox();
    EXPECT_EQ(d.msgbox("Delete?", vbYesNoCancel, "Vantrope"), vbCancel);
    dismissnextbox();
    EXPECT_EQ(d.msgbox("Done", vbOKOnly, "Vantrope"), vbOK);
    dismissnextbox();
    EXPECT_EQ(d.inputbox("Round?", "Vantrope", "1"), "");
}

TEST(QtPrintSinkTest, WritesAPdfIntoPrintoutsWhenNoPrinterExists) {
    ensureqtapp();
    TempFolder folder;
    QtPrintSink sink(folder.path());
    sink.pdfonly = true;
    std::string told;
    sink.onprinted = [&](const std::string& where) { told = where; };
    PrintDoc doc;
    doc.pages.push_back({{"PAYOFF SHEET", "MS Sans Serif", 14, true, {}},
                         {"ADAMS         3.50", "Courier New", 10, false, {}}});
    doc.pages.push_back({{"Page 2", "Arial", 10, false, {}}});
    sink.print(doc);
    std::string first = sink.lastoutput;
    EXPECT_EQ(told, first);
    ASSERT_EQ(first.rfind(folder.path() + "/Printouts/", 0), 0u) << first;
    ASSERT_TRUE(std::filesystem::exists(first));
    std::string bytes;
    {
        std::ifstream in(first, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);

    // A second document in the same second gets a name of its own.
    sink.print(doc);
    EXPECT_NE(sink.lastoutput, first);
    EXPECT_TRUE(std::filesystem::exists(first));
    EXPECT_TRUE(std::filesystem::exists(sink.lastoutput));

    // Each PDF is named after its document, in characters safe in any folder.
    auto named = [&](const std::string& title) {
        doc.title = title;
        sink.print(doc);
        return std::filesystem::path(sink.lastoutput).filename().string();
    };
    EXPECT_EQ(named("").rfind("Vantrope-", 0), 0u);
    EXPECT_EQ(named("Bet Receipt").rfind("Bet Receipt-", 0), 0u);
    std::string odd = named("Results: 1/2 \"A\\B\"");
    EXPECT_EQ(odd.rfind("Results_ 1_2 _A_B_-", 0), 0u) << odd;
    EXPECT_EQ(odd.substr(odd.size() - 4), ".pdf");
}

// A line's texts reach the page in the order of the line, also around a name drawn narrower in
// its field, so a reader of the page (a viewer's selection) finds its words in that order.
TEST(QtPrintSinkTest, ALinesTextsReachThePageInItsOrder) {
    ensureqtapp();
    TempFolder folder;
    QtPrintSink sink(folder.path());
    sink.pdfonly = true;
    Printer pr(&sink);
    pr.fontsize = 8;
    pr.print({"FLIGHT 5     ", InField("WETHERINGTON-MONTGOMERY-WALLAW", 10), "  $25.00 TO WIN"});
    pr.enddoc();
    std::string text;
    FILE* in = popen(("pdftotext -raw '" + sink.lastoutput + "' - 2>/dev/null").c_str(), "r");
    ASSERT_NE(in, nullptr);
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, in)) > 0;) text.append(buf, n);
    ASSERT_EQ(pclose(in), 0) << "pdftotext (poppler-utils) could not read the printout";
    EXPECT_NE(text.find("FLIGHT 5 WETHERINGTON-MONTGOMERY-WALLAW $25.00 TO WIN"), std::string::npos)
        << text;
}

// A white page at 100 dots an inch.
QImage blankpage(int width, int height) {
    QImage page(width, height, QImage::Format_RGB32);
    page.setDotsPerMeterX(3937);
    page.setDotsPerMeterY(3937);
    page.fill(Qt::white);
    return page;
}

// A document's first page painted on a white page 850 x 200, from (50, 20).
QImage painted(const PrintDoc& doc) {
    QImage page = blankpage(850, 200);
    QPainter p(&page);
    EXPECT_TRUE(qtv::paintdoc(p, QRectF(50, 20, 750, 160), doc, [] { return false; }));
    return page;
}

// The rightmost inked column between two rows of a page (-1 when none).
int inkright(const QImage& page, qreal top, qreal bottom) {
    int right = -1;
    for (int y = static_cast<int>(top); y < static_cast<int>(bottom); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128) right = std::max(right, x);
    return right;
}

// The lines one print statement makes (a long name, then its amounts at their tab) are never
// split by the end of a sheet: they start the next one together.
TEST(QtPrintSinkTest, TheLinesOfOnePrintStatementStayOnOneSheet) {
    ensureqtapp();
    CapturePrintSink captured;
    Printer pr(&captured);
    pr.fontname = "Arial";
    pr.fontsize = 8;
    pr.print({"FIRST"});
    pr.print({"A LONG NAME THAT REACHES PAST THE TAB", Tab(5), "$12.00"});
    pr.enddoc();
    const PrintDoc& doc = captured.docs.at(0);
    ASSERT_EQ(doc.pages.at(0).size(), 3u);

    QImage page(850, 1100, QImage::Format_RGB32);
    page.setDotsPerMeterX(3937);
    page.setDotsPerMeterY(3937);
    page.fill(Qt::white);
    QPainter p(&page);
    // Room for two lines and a half: the name alone would fit under FIRST.
    const qreal spacing = QFontMetricsF(QFont("Arial", 8), &page).lineSpacing();
    const QRectF sheet(0, 0, 850, 2.5 * spacing);
    bool inkbelowfirst = true;
    int sheets = 1;
    EXPECT_TRUE(qtv::paintdoc(p, sheet, doc, [&] {
        ++sheets;
        inkbelowfirst = false;
        for (int y = static_cast<int>(spacing) + 1; y < static_cast<int>(sheet.height()); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128) inkbelowfirst = true;
        page.fill(Qt::white);
        return true;
    }));
    p.end();
    EXPECT_EQ(sheets, 2);
    EXPECT_FALSE(inkbelowfirst);
}

TEST(QtPrintSinkTest, ColumnsLineUpAndLongPagesRunOver) {
    ensureqtapp();
    CapturePrintSink captured;
    Printer pr(&captured);
    pr.fontname = "Arial";
    pr.fontbold = true;
    pr.print({"PAYOFF", Tab(30), "ROUND 1"});
    pr.fontbold = false;
    for (int i = 0; i < 70; ++i) {
        std::string name = i % 2 ? "WWWWWWWWWWWWW" : "iiii";
        pr.print({name, Zone(), "$" + std::to_string(i) + ".00", Zone(), "x"});
    }
    pr.enddoc();
    const PrintDoc& doc = captured.docs.at(0);

    QImage page(850, 1100, QImage::Format_RGB32);  // a letter sheet at 100 dots an inch
    page.setDotsPerMeterX(3937);
    page.setDotsPerMeterY(3937);
    page.fill(Qt::white);
    QPainter p(&page);
    int extra = 0;
    // 71 lines do not fit one sheet: the first is kept here, the run-over refused.
    EXPECT_FALSE(qtv::paintdoc(p, QRectF(50, 50, 750, 1000), doc, [&] { return ++extra > 1; }));
    p.end();
    EXPECT_EQ(extra, 1);
    page.save(QString(VANTROPE_SCREENS_DIR) + "/printout.png");

    // The second zone starts at the same x on every line, however wide the 13 letters before
    // it: nothing is drawn in the gap just left of it.
    int zone2 =
        50 + 14 * QFontMetrics(qtv::fontfor("Arial", 10, false), &page).horizontalAdvance('0');
    for (int y = 50; y < 1050; ++y)
        for (int x = zone2 - 3; x < zone2 - 1; ++x)
            ASSERT_EQ(page.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
}

TEST(QtPrintSinkTest, EachRunIsDrawnWholeFromItsColumn) {
    ensureqtapp();
    CapturePrintSink captured;
    Printer pr(&captured);
    pr.fontname = "MS Sans Serif";
    const std::string divider = "----------NEW BETS--------------";
    pr.print({divider});
    pr.print({"WIN", Tab(20), "$5.00"});
    pr.enddoc();
    QImage page = painted(captured.docs.at(0));
    QFontMetricsF fm(qtv::fontfor("MS Sans Serif", 10, false), &page);
    page.save(QString(VANTROPE_SCREENS_DIR) + "/printrun.png");
    // The divider's ink ends where the whole text ends when drawn as one run, wherever the
    // column of its second word would be.
    int line = static_cast<int>(fm.lineSpacing());
    EXPECT_NEAR(inkright(page, 20, 20 + line), 50 + fm.horizontalAdvance(qtv::qs(divider)), 3.0);
    // The second line's amount starts at column 20.
    int left = page.width();
    for (int y = 20 + line; y < 20 + 2 * line; ++y)
        for (int x = 100; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128) left = std::min(left, x);
    EXPECT_NEAR(left, 50 + 19 * fm.horizontalAdvance(QChar('0')), 3.0);
}

// A document draws each text in the font of its own line, also when the same text came before
// in another font or size.
TEST(QtPrintSinkTest, RepeatedTextsKeepTheirLinesFonts) {
    const std::string text = "WIDE WORDS $1,234.50";
    ensureqtapp();
    CapturePrintSink captured;
    Printer pr(&captured);
    for (int size : {8, 16, 8}) {
        pr.fontsize = size;
        pr.fontbold = size > 8;
        pr.print({text});
    }
    pr.enddoc();
    const QImage page = painted(captured.docs.at(0));
    QFontMetricsF small(qtv::fontfor("MS Sans Serif", 8, false), &page);
    QFontMetricsF big(qtv::fontfor("MS Sans Serif", 16, true), &page);
    const qreal y2 = 20 + small.lineSpacing(), y3 = y2 + big.lineSpacing();
    EXPECT_NEAR(inkright(page, 20, y2), 50 + small.horizontalAdvance(qtv::qs(text)), 3.0);
    EXPECT_NEAR(inkright(page, y2, y3), 50 + big.horizontalAdvance(qtv::qs(text)), 3.0);
    EXPECT_NEAR(inkright(page, y3, y3 + small.lineSpacing()),
                50 + small.horizontalAdvance(qtv::qs(text)), 3.0);
}

namespace {
// A printer laying out in the real font, 8-point "MS Sans Serif", into a captured document.
struct RealFontPrinter {
    RealFontPrinter() {
        ensureqtapp();
        captured.textmeasure = &qtmeasure();
        pr.fontname = "MS Sans Serif";
        pr.fontsize = 8;
    }
    CapturePrintSink captured;
    Printer pr{&captured};
};
}  // namespace

// Rules and padding are drawn as the printer counted them: 84 underscores reach column 84 and the
// word after a padded field stands at the column the field's characters name.
TEST(QtPrintSinkTest, RulesReachTheirLastColumnAndPaddingKeepsColumns) {
    RealFontPrinter real;
    CapturePrintSink& captured = real.captured;
    Printer& pr = real.pr;
    pr.print({std::string(84, '_')});
    pr.print({"Bettor Name                  Amount"});
    pr.enddoc();
    QImage page(1000, 120, QImage::Format_RGB32);
    page.setDotsPerMeterX(3937);
    page.setDotsPerMeterY(3937);
    page.fill(Qt::white);
    QPainter p(&page);
    EXPECT_TRUE(
        qtv::paintdoc(p, QRectF(10, 10, 980, 100), captured.docs.at(0), [] { return false; }));
    QFontMetricsF fm(qtv::fontfor("MS Sans Serif", 8, false), &page);
    p.end();
    page.save(QString(VANTROPE_SCREENS_DIR) + "/printrule.png");
    const qreal cell = fm.horizontalAdvance(QChar('0'));
    // The rule is the widest ink on the page; the rows it is drawn in are left out below.
    auto inked = [&](int x, int y) { return qGray(page.pixel(x, y)) < 200; };
    int right = -1;
    std::vector<bool> rulerow(page.height());
    for (int y = 0; y < page.height(); ++y) {
        rulerow[y] = inked(300, y);
        for (int x = 0; x < page.width(); ++x)
            if (inked(x, y)) right = std::max(right, x);
    }
    EXPECT_NEAR(right, 10 + 84 * cell, 3.0);
    // "Amount" starts where the padded field ends: 29 columns, as many as it holds characters.
    const qreal amount = 10 + 29 * cell;
    int left = page.width();
    for (int y = 0; y < page.height(); ++y)
        for (int x = static_cast<int>(amount - 4 * cell); x < page.width() && !rulerow[y]; ++x)
            if (inked(x, y)) left = std::min(left, x);
    EXPECT_NEAR(left, amount, 3.0);
}

// A long document's texts are shaped on several threads: its sheets come out exactly as when the
// painting thread shapes them all (names narrowed in their fields, rules and amounts alike).
TEST(QtPrintSinkTest, TextsShapedOnThreadsPaintAlike) {
    RealFontPrinter real;
    Printer& pr = real.pr;
    for (int i = 0; i < 1500; ++i)
        pr.print({InField("NAME " + std::to_string(i * 7919 % 100000) + " WIDE WWWW", 12),
                  "  $" + std::to_string(i) + ".25 TO WIN", Tab(40), std::string(i % 9, '_')});
    pr.enddoc();
    const PrintDoc& doc = real.captured.docs.at(0);
    auto sheets = [&](int threads) {
        std::vector<QByteArray> out;
        QImage page = blankpage(500, 1100);
        auto keep = [&] {
            out.emplace_back(reinterpret_cast<const char*>(page.constBits()), page.sizeInBytes());
            page.fill(Qt::white);
        };
        QPainter p(&page);
        EXPECT_TRUE(qtv::paintdoc(
            p, QRectF(10, 10, 480, 1080), doc,
            [&] {
                keep();
                return true;
            },
            threads));
        p.end();
        keep();
        return out;
    };
    const std::vector<QByteArray> alone = sheets(1), shared = sheets(4);
    ASSERT_EQ(alone.size(), shared.size());
    EXPECT_GT(alone.size(), 10u);
    for (size_t i = 0; i < alone.size(); ++i) EXPECT_TRUE(alone[i] == shared[i]) << "sheet " << i;
}

namespace {
// A document painted on white pages through the sink's painting: each sheet kept as an image.
struct PaintedPages {
    std::vector<QImage> sheets;
    qreal cell = 0, spacing = 0;
    PaintedPages(const PrintDoc& doc, int width, int height, const char* png) {
        QImage page(width + 20, height + 20, QImage::Format_RGB32);
        page.setDotsPerMeterX(3937);
        page.setDotsPerMeterY(3937);
        page.fill(Qt::white);
        QFontMetricsF fm(qtv::fontfor("MS Sans Serif", 8, false), &page);
        cell = fm.horizontalAdvance(QChar('0'));
        spacing = fm.lineSpacing();
        QPainter p(&page);
        EXPECT_TRUE(qtv::paintdoc(p, QRectF(10, 10, width, height), doc, [&] {
            sheets.push_back(page.copy());
            page.fill(Qt::white);
            return true;
        }));
        p.end();
        sheets.push_back(page);
        sheets.front().save(QString(VANTROPE_SCREENS_DIR) + "/" + png);
    }
    static bool inked(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 200; }
    // The leftmost ink of line i of a sheet at or right of x, or -1.
    int leftink(size_t sheet, int line, int x) const {
        const QImage& img = sheets.at(sheet);
        int left = -1;
        for (int y = static_cast<int>(10 + line * spacing);
             y < static_cast<int>(10 + (line + 1) * spacing) && y < img.height(); ++y)
            for (int xx = std::max(x, 0); xx < img.width(); ++xx)
                if (inked(img, xx, y)) {
                    if (left < 0 || xx < left) left = xx;
                    break;
                }
        return left;
    }
    int rightink(size_t sheet) const {
        const QImage& img = sheets.at(sheet);
        int right = -1;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (inked(img, x, y)) right = std::max(right, x);
        return right;
    }
    int inkedlines(size_t sheet) const {
        int n = 0;
        for (int line = 0; 10 + (line + 1) * spacing <= sheets.at(sheet).height(); ++line)
            if (leftink(sheet, line, 0) >= 0) ++n;
        return n;
    }
};
}  // namespace

// On paper padded names put their amounts on one column, a name wider than its field is drawn
// narrower within it, and a flight padded to 11 places keeps its row on one line.
TEST(QtPrintSinkTest, PaddedAndFieldedColumnsLineUpOnPaper) {
    RealFontPrinter real;
    CapturePrintSink& captured = real.captured;
    Printer& pr = real.pr;
    const std::vector<std::string> names = {"li-al", "SMITH-JOHN", "BARTHOLOMEW-WETHERIN",
                                            "WWWWWWWWWWWWWWWWWWWW"};
    for (const std::string& n : names)  // the bettor summary's lines
        pr.print({InField(Format(n, "!@@@@@@@@@@@@@@@@@@@@"), 20), "  " + std::string("$5.00")});
    for (const std::string& n : names)  // a receipt's lines: padding inside one text
        pr.print({Format(Left(n, 15), "!@@@@@@@@@@@@@@@") + "  $05.00 TO WIN"});
    pr.print({"1", Tab(5), "A -        ", Tab(15), "ALPHA"});
    pr.enddoc();
    ASSERT_EQ(captured.docs.at(0).pages.at(0).size(), 9u);  // no line broken
    const PaintedPages paper(captured.docs.at(0), 900, 400, "printcolumns.png");
    for (int line = 0; line < 4; ++line) {
        SCOPED_TRACE(names[line]);
        // The amount stands at column 22 and the name ends before its field does.
        EXPECT_NEAR(paper.leftink(0, line, static_cast<int>(10 + 19.8 * paper.cell)),
                    10 + 22 * paper.cell, 2.0);
        // The receipt's amount stands at column 17, wide capitals or not.
        EXPECT_NEAR(paper.leftink(0, line + 4, static_cast<int>(10 + 16.6 * paper.cell)),
                    10 + 17 * paper.cell, 2.0);
    }
    EXPECT_NEAR(paper.leftink(0, 8, static_cast<int>(10 + 12 * paper.cell)), 10 + 14 * paper.cell,
                2.0);
}

// A document wider than the page is narrowed as a whole, by one scale: the widest line reaches
// the right margin and a tab column stands at the same place on every line. The lines of one
// print statement are kept on one sheet.
TEST(QtPrintSinkTest, OneScaleForTheDocumentAndStatementsKeptOnOneSheet) {
    RealFontPrinter real;
    CapturePrintSink& captured = real.captured;
    Printer& pr = real.pr;
    pr.print({"1", Tab(51), "X"});
    pr.print({InField("a", 20), InField("b", 20), InField("c", 20), InField("d", 20),
              InField("e", 20), InField("f", 20), InField("X", 20)});
    pr.print({std::string(140, '_')});
    pr.enddoc();
    const PrintDoc wide = captured.docs.at(0);
    QFontMetricsF probe(qtv::fontfor("MS Sans Serif", 8, false), [] {
        static QImage img(1, 1, QImage::Format_RGB32);
        img.setDotsPerMeterX(3937);
        img.setDotsPerMeterY(3937);
        return &img;
    }());
    const qreal cell = probe.horizontalAdvance(QChar('0'));
    const int width = static_cast<int>(100 * cell);
    const PaintedPages paper(wide, width, 200, "printscale.png");
    EXPECT_NEAR(paper.rightink(0), 10 + width, 3.0);
    const qreal scale = width / (140 * cell);
    EXPECT_NEAR(paper.leftink(0, 0, static_cast<int>(10 + 5 * cell)), 10 + 50 * cell * scale, 2.0);
    EXPECT_NEAR(paper.leftink(0, 1, static_cast<int>(10 + 115 * cell * scale)),
                10 + 120 * cell * scale, 2.0);

    // Three lines fit a sheet: two lines, then a statement broken over two, which goes whole on
    // the next sheet.
    pr.print({"one"});
    pr.print({"two"});
    pr.print({"Player/Team WWWWWWWWWWWW", Tab(10), "$5.00"});
    pr.enddoc();
    const PaintedPages sheets(captured.docs.at(1), 400, static_cast<int>(3.5 * paper.spacing),
                              "printkeep.png");
    ASSERT_EQ(sheets.sheets.size(), 2u);
    EXPECT_EQ(sheets.inkedlines(0), 2);
    EXPECT_EQ(sheets.inkedlines(1), 2);
}

// While a document is produced the view shows the busy cursor; it is gone when the document is.
TEST(QtPrintSinkTest, ABusyCursorShowsWhileADocumentIsProduced) {
    ensureqtapp();
    struct CursorSink : PrintSink {
        int shape = -1;
        void print(const PrintDoc&) override {
            const QCursor* c = QApplication::overrideCursor();
            shape = c ? c->shape() : -1;
        }
    } sink;
    vt::test::TempFolder folder;
    ScriptedDialogs boxes;
    App app(AppEnvironment{folder.path(), &boxes, &sink});
    QtView view(app);
    {
        DocGuard guard(app.printer(), "Bet Sheet");
        app.printer().print({"x"});
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(sink.shape, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtFontTest, MissingFontsFallBackAtTheSameSizeAndKind) {
    ensureqtapp();
    QFont sans = qtv::fontfor("MS Sans Serif", 8, true);
    EXPECT_EQ(sans.pointSize(), 8);
    EXPECT_TRUE(sans.bold());
    EXPECT_FALSE(QFontInfo(sans).family().isEmpty());
    // A fixed-pitch name stays fixed-pitch, so columns made of spaces keep lining up, whether
    // the machine has the font, a substitute, or none: whenever it has any fixed-pitch face.
    bool machinehasone = false;
    for (const QString& family : QFontDatabase::families())
        machinehasone = machinehasone || QFontDatabase::isFixedPitch(family);
    for (const char* name :
         {"Courier New", "Courier", "Lucida Console", "Courier Nowhere To Be Found"}) {
        QFont fixed = qtv::fontfor(name, 10, false);
        EXPECT_EQ(fixed.pointSize(), 10) << name;
        if (machinehasone) {
            EXPECT_TRUE(QFontInfo(fixed).fixedPitch())
                << name << " -> " << QFontInfo(fixed).family().toStdString();
        }
    }
    EXPECT_TRUE(qtv::fixedpitchname("COURIER NEW"));
    EXPECT_FALSE(qtv::fixedpitchname("Times New Roman"));
}

TEST(QtPrintSinkTest, AFolderThatCannotBeMadeIsAFileError) {
    ensureqtapp();
    TempFolder folder;
    folder.write("Printouts", "a file where the folder should be");
    QtPrintSink sink(folder.path());
    sink.pdfonly = true;
    PrintDoc doc;
    doc.pages.push_back({{"x", "Arial", 10, false, {}}});
    try {
        sink.print(doc);
        FAIL() << "printed into " << sink.lastoutput;
    } catch (const FileError& e) {
        EXPECT_EQ(e.number, 75);
    }
}

}  // namespace
}  // namespace vt::test
