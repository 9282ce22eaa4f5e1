#pragma once
// Input delivered as a window system delivers it: to the form's QWindow, from where Qt routes it
// to the widget under the pointer or the focus widget, through focus proxies and the widgets'
// own handlers.
#include <QAbstractItemView>
#include <QApplication>
#include <QScrollArea>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace vt::test {

class RealInput {
  public:
    explicit RealInput(QWidget* window) : win_(window) {
        win_->activateWindow();
        (void)QTest::qWaitForWindowActive(win_);
    }
    QWindow* handle() const { return win_->windowHandle(); }
    // A point of a widget (its centre by default) in the window's coordinates, scrolled into
    // view first where the window shows only part of its form (as a user scrolls to it).
    QPoint at(QWidget* w, QPoint p = QPoint(-1, -1)) const {
        if (p == QPoint(-1, -1)) p = w->rect().center();
        reveal(w, p);
        return w->mapTo(win_, p);
    }
    static void reveal(QWidget* w, QPoint p) {
        for (QWidget* up = w->parentWidget(); up; up = up->parentWidget())
            if (auto* area = qobject_cast<QScrollArea*>(up)) {
                QPoint on = w->mapTo(area->widget(), p);
                area->ensureVisible(on.x(), on.y(), 24, 24);
                return;
            }
    }
    void click(QWidget* w, QPoint p = QPoint(-1, -1)) {
        QTest::mouseClick(handle(), Qt::LeftButton, {}, at(w, p));
    }
    void dblclick(QWidget* w, QPoint p = QPoint(-1, -1)) {
        QTest::mouseDClick(handle(), Qt::LeftButton, {}, at(w, p));
    }
    // A row of a list or a cell of a grid.
    void clickitem(QAbstractItemView* v, const QModelIndex& i) {
        click(v->viewport(), v->visualRect(i).center());
    }
    void dblclickitem(QAbstractItemView* v, const QModelIndex& i) {
        dblclick(v->viewport(), v->visualRect(i).center());
    }
    void type(const QString& s) {
        for (QChar ch : s) QTest::keyClick(handle(), ch.toLatin1());
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(handle(), k, m);
    }

  private:
    QWidget* win_;
};

}  // namespace vt::test
