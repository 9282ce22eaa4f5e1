// A form's window: the canvas of its controls, scrolled where the screen has less room than the
// form, and a strip for notes under it.
#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "platform/qt/qtwidgets.h"

namespace vt::qtv {

FormWindow::FormWindow()
    : scroll_(new QScrollArea(this)),
      canvas_(new QWidget),
      note_(new QLabel(this)),
      notetimer_(new QTimer(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The canvas keeps the form's size; the scroll area shows what the window has room for.
    canvas_->setAutoFillBackground(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setFocusPolicy(Qt::NoFocus);  // Tab goes from control to control only
    scroll_->setWidget(canvas_);
    layout->addWidget(scroll_);
    note_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    note_->setTextFormat(Qt::PlainText);
    note_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);  // a long path is cut
    note_->hide();
    layout->addWidget(note_);
    notetimer_->setSingleShot(true);
    connect(notetimer_, &QTimer::timeout, this, [this] {
        note_->hide();
        fit();
    });
}

void FormWindow::closeEvent(QCloseEvent* e) {
    if (onclose) {
        // The form decides; the view hides the window once the model says so.
        e->ignore();
        onclose();
    } else {
        e->accept();
    }
}

void FormWindow::setformsize(QSize size) {
    if (canvas_->size() == size) return;
    canvas_->setFixedSize(size);
    fit();
}

void FormWindow::reveal(QWidget* w) {
    layout()->activate();  // the scroll area at the window's size, also before it is shown
    scroll_->ensureWidgetVisible(w, 8, 8);
}

void FormWindow::note(const QString& text) {
    note_->setText(text);
    note_->show();
    fit();
    notetimer_->start(5000);
}

void FormWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    fit(true);
}

// The window system tells the frame's size once the window is placed: the room is known then.
void FormWindow::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    fit();
}

void FormWindow::fit(bool place) {
    QSize want(canvas_->width(),
               canvas_->height() + (note_->isHidden() ? 0 : note_->sizeHint().height()));
    QScreen* sc = screen();
    QRect room = sc ? sc->availableGeometry() : QRect(QPoint(), want);
    QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    QSize most = room.size().shrunkBy(frame).expandedTo(QSize(1, 1));
    // A scroll bar takes its room beside the canvas where the canvas is cut the other way.
    int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_);
    bool across = want.width() > most.width();
    if (across) want.rheight() += bar;
    if (want.height() > most.height()) {
        want.rwidth() += bar;
        if (!across && want.width() > most.width()) want.rheight() += bar;
    }
    QSize size = want.boundedTo(most);
    bool resized = size != this->size();
    if (resized) setFixedSize(size);
    if (!resized && !place) return;
    // The control with the focus stays in view.
    if (QWidget* f = focusWidget(); f && canvas_->isAncestorOf(f)) reveal(f);
    // The whole window on the screen: its frame moves in where it stands out.
    QRect at = frameGeometry();
    at.setSize(size.grownBy(frame));
    QPoint to(
        std::clamp(at.left(), room.left(), std::max(room.left(), room.right() + 1 - at.width())),
        std::clamp(at.top(), room.top(), std::max(room.top(), room.bottom() + 1 - at.height())));
    if (to != at.topLeft()) move(to);
}

}  // namespace vt::qtv
