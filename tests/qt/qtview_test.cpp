// The Qt view under QT_QPA_PLATFORM=offscreen: real widgets, real Qt events, the model behind.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

#include <fstream>

#include <QPainter>

#include "platform/qt/qtview.h"
#include "platform/qt/qtwidgets.h"
#include "testapp.h"

namespace vt::test {
namespace {

// A demonstration form with one control of most kinds; it logs what the model saw.
class DemoForm : public Form {
public:
    explicit DemoForm(App& app) : Form(app, "frmdemo") {
        caption = "Demonstration";
        width = 640;
        height = 480;
        auto& fra = add(Kind::Frame, "fraround", "Round", 20, 20, 260, 60);
        for (int i = 1; i <= 3; ++i) {
            auto& o = add(Kind::OptionButton, "optround", i, "Round " + std::to_string(i), 30 + 80 * (i - 1), 45, 75, 24);
            container[&o] = &fra;
            o.Click = [this, i] { log.push_back("optround(" + std::to_string(i) + ").Click"); };
        }
        auto& txt = add(Kind::TextBox, "txtamount", "", 20, 100, 160, 24);
        txt.Change = [this] { log.push_back("txtamount.Change"); };
        // Digits only; Enter moves on.
        txt.KeyPress = [this](int& k) {
            if (k == vbKeyReturn) {
                log.push_back("enter");
                k = 0;
            } else if (k != vbKeyBack && (k < '0' || k > '9')) {
                k = 0;
            }
        };
        auto& lst = add(Kind::ListBox, "lstnames", "", 20, 140, 200, 160);
        lst.sorted = true;
        lst.Click = [this] { log.push_back("lstnames.Click"); };
        lst.DblClick = [this] { log.push_back("lstnames.DblClick"); };
        auto& rec = add(Kind::ListBox, "lstrecord", "", 240, 220, 140, 80);
        rec.multiselect = true;
        rec.Click = [this] { log.push_back("lstrecord.Click"); };
        auto& cmb = add(Kind::ComboBox, "cmbflight", "", 240, 140, 140, 24);
        cmb.droplist = true;
        cmb.Click = [this] { log.push_back("cmbflight.Click"); };
        auto& chk = add(Kind::CheckBox, "chkprint", "Print tickets", 240, 180, 140, 24);
        chk.Click = [this] { log.push_back("chkprint.Click"); };
        add(Kind::Label, "lblstatus", "Ready", 20, 320, 360, 40);
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
        grd.Click = [this, &grd] { log.push_back("grdodds.Click " + std::to_string(grd.grid.row)); };
        auto& tmr = add(Kind::Timer, "tmrclock", "", 0, 0, 0, 0);
        tmr.Timer = [this] { log.push_back("tick"); };
        auto& drv = add(Kind::DriveListBox, "Drive1", "", 400, 240, 220, 26);
        drv.Change = [this, &drv] { log.push_back("Drive1.Change " + drv.drive); };
        auto& ok = add(Kind::CommandButton, "cmdok", "OK", 20, 380, 120, 40);
        ok.Click = [this] { control("lblstatus").setcaption("Saved " + control("txtamount").text()); };
        auto& ret = add(Kind::CommandButton, "cmdreturn", "MAIN MENU", 160, 380, 140, 40);
        ret.Click = [this] { unload(); };
    }
    void Form_Load() override {
        for (const char* n : {"WILSON", "adams", "Baker"}) control("lstnames").additem(n);
        for (const char* n : {"A", "B", "C"}) {
            control("cmbflight").additem(n);
            control("lstrecord").additem(n);
        }
        Control& drv = control("Drive1");
        for (const char* d : {"c:", "e:"}) drv.additem(d);
        drv.drive = "c:";
    }
    std::vector<std::string> log;
};

class QtViewTest : public AppTest {
protected:
    QtViewTest() {
        ensureqtapp();
        app->registerform("frmdemo", [](App& a) { return std::make_unique<DemoForm>(a); });
        QtView::of(*app);
        app->dispatch([&] { app->form("frmdemo").show(); });
    }
    DemoForm& demo() { return app->formas<DemoForm>("frmdemo"); }
    QtView& view() { return QtView::of(*app); }
    template <class W>
    W* widget(const char* name) {
        QWidget* win = view().window("frmdemo");
        return win ? win->findChild<W*>(name) : nullptr;
    }
    static void key(QWidget* w, Qt::Key k, const QString& text = "") {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
        QApplication::sendEvent(w, &press);
    }
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
    ok->click();
    EXPECT_EQ(demo().control("lblstatus").caption(), "Saved 25");
    EXPECT_EQ(widget<QLabel>("lblstatus")->text(), "Saved 25");  // shown after the event
}

TEST_F(QtViewTest, TypedKeysGoThroughKeyPressAndTheModelText) {
    auto* t = widget<QLineEdit>("txtamount");
    ASSERT_NE(t, nullptr);
    key(t, Qt::Key_1, "1");
    key(t, Qt::Key_X, "x");  // refused by the form's KeyPress
    key(t, Qt::Key_5, "5");
    key(t, Qt::Key_0, "0");
    key(t, Qt::Key_Backspace);
    key(t, Qt::Key_Return);
    Control& c = demo().control("txtamount");
    EXPECT_EQ(c.text(), "15");
    EXPECT_EQ(t->text(), "15");
    auto changes = std::count(demo().log.begin(), demo().log.end(), "txtamount.Change");
    EXPECT_EQ(changes, 4);  // 1, 15, 150, 15
    EXPECT_EQ(demo().log.back(), "enter");
    EXPECT_EQ(demo().focused, &c);

    // Keys the model cannot follow never edit the widget behind its back.
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    t->setCursorPosition(0);
    QApplication::sendEvent(t, &del);
    QKeyEvent undo(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier, "\x1a");
    QApplication::sendEvent(t, &undo);
    EXPECT_EQ(t->text(), "15");
    EXPECT_EQ(c.text(), "15");
}

TEST_F(QtViewTest, ListsShowTheModelOrderAndPicksFireClick) {
    auto* l = widget<QListWidget>("lstnames");
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(l->count(), 3);
    EXPECT_EQ(l->item(0)->text(), "adams");  // the model's case-insensitive order, not Qt's
    EXPECT_EQ(l->item(2)->text(), "WILSON");
    l->setCurrentRow(1);
    Control& c = demo().control("lstnames");
    EXPECT_EQ(c.listindex(), 1);
    EXPECT_EQ(c.text(), "Baker");
    EXPECT_EQ(demo().log.back(), "lstnames.Click");
    emit l->itemDoubleClicked(l->item(1));
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
    rec->setCurrentRow(0, QItemSelectionModel::Select);
    rec->setCurrentRow(2, QItemSelectionModel::Select);
    Control& r = demo().control("lstrecord");
    EXPECT_TRUE(r.selected(0));
    EXPECT_FALSE(r.selected(1));
    EXPECT_TRUE(r.selected(2));
    EXPECT_EQ(r.listindex(), 2);
    EXPECT_EQ(std::count(demo().log.begin(), demo().log.end(), "lstrecord.Click"), 2);
    app->dispatch([&] { r.setselected(0, false); });
    EXPECT_FALSE(rec->item(0)->isSelected());
    EXPECT_TRUE(rec->item(2)->isSelected());

    auto* drv = widget<QComboBox>("Drive1");
    ASSERT_NE(drv, nullptr);
    EXPECT_EQ(drv->currentText(), "c:");
    emit drv->activated(1);
    EXPECT_EQ(demo().log.back(), "Drive1.Change e:");
    EXPECT_EQ(drv->currentText(), "e:");
}

TEST_F(QtViewTest, OptionsFollowTheModelAndSitInTheirFrame) {
    auto* r1 = widget<QRadioButton>("optround(1)");
    auto* r2 = widget<QRadioButton>("optround(2)");
    ASSERT_TRUE(r1 && r2);
    EXPECT_EQ(r1->parentWidget()->objectName(), "fraround");
    EXPECT_EQ(r1->geometry().topLeft(), QPoint(10, 25));  // form position less the frame's
    r1->click();
    r2->click();
    EXPECT_FALSE(r1->isChecked());
    EXPECT_TRUE(r2->isChecked());
    EXPECT_EQ(demo().control("optround", 1).value(), 0);
    // Clicking the chosen option again keeps it chosen, as the model says.
    r2->click();
    EXPECT_TRUE(r2->isChecked());

    auto* chk = widget<QCheckBox>("chkprint");
    chk->click();
    EXPECT_EQ(demo().control("chkprint").value(), 1);
    EXPECT_TRUE(chk->isChecked());
    EXPECT_EQ(demo().log.back(), "chkprint.Click");
}

TEST_F(QtViewTest, GridShowsCellsAndClicksReachTheModel) {
    auto* g = widget<QTableWidget>("grdodds");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->rowCount(), 4);
    EXPECT_EQ(g->columnWidth(0), 100);  // 1500 twips
    EXPECT_EQ(g->item(1, 0)->text(), "ADAMS");
    EXPECT_TRUE(g->item(1, 0)->font().bold());
    emit g->cellClicked(2, 1);
    EXPECT_EQ(demo().log.back(), "grdodds.Click 2");
}

TEST_F(QtViewTest, FormsThatGoLoseTheirWindow) {
    // Unloaded by its own button.
    QPointer<QWidget> win = view().window("frmdemo");
    ASSERT_TRUE(win);
    EXPECT_TRUE(win->isVisible());
    widget<QPushButton>("cmdreturn")->click();
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
    widget<QPushButton>("cmdok")->click();
    EXPECT_EQ(told, 0);
    widget<QPushButton>("cmdreturn")->click();
    EXPECT_EQ(told, 1);
}

TEST_F(QtViewTest, AFailingHandlerIsShownNotFatal) {
    demo().control("cmdok").Click = [] { throw std::out_of_range("no such bettor"); };
    dialogs.ok("no such bettor");
    widget<QPushButton>("cmdok")->click();
    EXPECT_EQ(dialogs.shown.back().style & vbCritical, vbCritical);
    EXPECT_TRUE(app->isloaded("frmdemo"));
}

// Closes the next modal box the way the window manager would.
void dismissnextbox(int afterms = 0) {
    QTimer::singleShot(afterms, [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
}

TEST(QtTimerTest, TimersTickButWaitWhileABoxIsOpen) {
    ensureqtapp();
    TempFolder folder;
    QtDialogs boxes;
    CapturePrintSink sink;
    App app(AppEnvironment{folder.path(), &boxes, &sink});
    app.registerform("frmdemo", [](App& a) { return std::make_unique<DemoForm>(a); });
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
    view.window("frmdemo")->findChild<QPushButton*>("cmdok")->click();
    EXPECT_EQ(ticksinbox, 0);
    QTimer wait;
    wait.setSingleShot(true);
    wait.start(60);
    while (wait.isActive()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_GT(std::count(demo.log.begin(), demo.log.end(), "tick"), 0);
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
    std::string told;
    sink.onprinted = [&](const std::string& where) { told = where; };
    PrintDoc doc;
    doc.pages.push_back({{"PAYOFF SHEET", "MS Sans Serif", 14, true}, {"ADAMS         3.50", "Courier New", 10, false}});
    doc.pages.push_back({{"Page 2", "Arial", 10, false}});
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
    int zone2 = 50 + 14 * QFontMetrics(qtv::fontfor("Arial", 10, false), &page).horizontalAdvance('0');
    for (int y = 50; y < 1050; ++y)
        for (int x = zone2 - 3; x < zone2 - 1; ++x) ASSERT_EQ(page.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
}

TEST(QtFontTest, MissingFontsFallBackAtTheSameSize) {
    ensureqtapp();
    QFont sans = qtv::fontfor("MS Sans Serif", 8, true);
    EXPECT_EQ(sans.pointSize(), 8);
    EXPECT_TRUE(sans.bold());
    EXPECT_FALSE(QFontInfo(sans).family().isEmpty());
    // A fixed-pitch font stays fixed-pitch, so columns made of spaces keep lining up.
    QFont fixed = qtv::fontfor("Courier New", 10, false);
    EXPECT_EQ(fixed.pointSize(), 10);
    EXPECT_TRUE(QFontInfo(fixed).fixedPitch());
}

TEST(QtPrintSinkTest, AFolderThatCannotBeMadeIsAFileError) {
    ensureqtapp();
    TempFolder folder;
    folder.write("Printouts", "a file where the folder should be");
    QtPrintSink sink(folder.path());
    try {
        sink.print(PrintDoc{{{{"x", "Arial", 10, false}}}});
        FAIL() << "printed into " << sink.lastoutput;
    } catch (const FileError& e) {
        EXPECT_EQ(e.number, 75);
    }
}

}  // namespace
}  // namespace vt::test
