// A box whose text is taller than the screen (an import that names many bets to check against
// the tickets) keeps its buttons on the screen: the text scrolls inside it.
#include <QApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "platform/qt/qtview.h"
#include "testapp.h"

namespace vt::test {
namespace {

TEST(QtDialogsTest, ABoxTallerThanTheScreenScrollsItsTextAboveItsButtons) {
    ensureqtapp();
    QtDialogs d;
    std::string prompt = "Import of Bettors, Bets files complete";
    for (int i = 1; i <= 300; ++i)
        prompt += "\r\nSMITH-JO, Round1 flight 1, ADAMS, WIN $" + std::to_string(i) + ".00";
    bool looked = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->screen()->availableGeometry().contains(box->frameGeometry()))
            << box->frameGeometry().height();
        auto* pane = box->findChild<QPlainTextEdit*>();
        ASSERT_NE(pane, nullptr);
        EXPECT_TRUE(pane->toPlainText().endsWith("WIN $300.00"));
        EXPECT_GT(pane->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(box->windowTitle(), "Import");
        // Enter presses the box's default button, as in any other box.
        QTest::keyClick(box->windowHandle(), Qt::Key_Return);
        looked = true;
    });
    EXPECT_EQ(d.msgbox(prompt, vbYesNo, "Import"), vbYes);
    EXPECT_TRUE(looked);
    // Closed without a button: No, as for any box.
    QTimer::singleShot(0, [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    EXPECT_EQ(d.msgbox(prompt, vbYesNo, "Import"), vbNo);
}

}  // namespace
}  // namespace vt::test
