// Real input on the controls' widgets: focus, clicks and keys reach the model as the window system
// delivers them; the caret the cashier moves is the model's caret.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <utility>

#include "platform/qt/qtwidgets.h"

namespace vt::qtv {

namespace {

// Caret positions: a multi-line box shows the model's CR LF as one line break.
int widgetpos(const std::string& text, int modelpos) {
    int w = 0;
    for (int i = 0; i < modelpos && i < static_cast<int>(text.size()); ++i)
        if (!(text[i] == '\r' && i + 1 < static_cast<int>(text.size()) && text[i + 1] == '\n')) ++w;
    return w;
}

int modelpos(const std::string& text, int widgetpos) {
    int w = 0, i = 0;
    for (; i < static_cast<int>(text.size()) && w < widgetpos; ++i)
        if (!(text[i] == '\r' && i + 1 < static_cast<int>(text.size()) && text[i + 1] == '\n')) ++w;
    return i;
}

}  // namespace

QLineEdit* lineeditof(QWidget* w) {
    if (auto* b = qobject_cast<QComboBox*>(w)) return b->lineEdit();
    return qobject_cast<QLineEdit*>(w);
}

namespace {

// The user's caret and selection go into the model, so the next key edits where they are.
void caretfromwidget(QWidget* w, Control& c) {
    if (QLineEdit* t = lineeditof(w)) {
        if (t->hasSelectedText()) {
            c.selstart = t->selectionStart();
            c.sellength = static_cast<int>(t->selectedText().size());
        } else {
            c.selstart = t->cursorPosition();
            c.sellength = 0;
        }
    } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
        QTextCursor cur = m->textCursor();
        std::string text = c.text();
        c.selstart = modelpos(text, cur.selectionStart());
        c.sellength = modelpos(text, cur.selectionEnd()) - c.selstart;
    }
}

}  // namespace

void carettowidget(const Control& c, QWidget* w) {
    if (QLineEdit* t = lineeditof(w)) {
        int len = static_cast<int>(t->text().size());
        int start = std::clamp(c.selstart, 0, len);
        int sel = std::clamp(c.sellength, 0, len - start);
        if (sel > 0) {
            if (t->selectionStart() != start || t->selectedText().size() != sel)
                t->setSelection(start, sel);
        } else if (t->hasSelectedText() || t->cursorPosition() != start) {
            t->setCursorPosition(start);
        }
    } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
        std::string text = c.text();
        int start = widgetpos(text, c.selstart),
            end = widgetpos(text, c.selstart + std::max(c.sellength, 0));
        QTextCursor cur = m->textCursor();
        if (cur.selectionStart() == start && cur.selectionEnd() == end) return;
        cur.setPosition(start);
        cur.setPosition(end, QTextCursor::KeepAnchor);
        m->setTextCursor(cur);
    }
}

namespace {

// Real input on one control's widget, as a window system delivers it: focus changes, clicks
// and double clicks on controls whose Qt widget has no signal for them (text boxes, labels,
// picture boxes, frames), and typed keys. Typed text goes through the control's KeyPress and
// edit at the caret, so the model's text is the only truth; the Qt key event is swallowed.
class InputFilter : public QObject {
  public:
    InputFilter(QWidget* w, Control* c, std::shared_ptr<bool> alive)
        : QObject(w), w_(w), c_(c), alive_(std::move(alive)) {}

  protected:
    bool eventFilter(QObject* obj, QEvent* ev) override {
        if (!*alive_) return false;
        switch (ev->type()) {
            case QEvent::FocusIn:
            case QEvent::FocusOut: {
                // Focus moving inside the form, not the window losing or regaining it (a box
                // opening over it, another window coming up).
                auto reason = static_cast<QFocusEvent*>(ev)->reason();
                if (obj != w_ || reason == Qt::ActiveWindowFocusReason ||
                    reason == Qt::PopupFocusReason)
                    return false;
                if (ev->type() == QEvent::FocusIn) {
                    c_->form().focused = c_;
                    if (c_->GotFocus) run([this] { c_->fire(c_->GotFocus); });
                } else if (c_->LostFocus) {
                    run([this] { c_->fire(c_->LostFocus); });
                }
                return false;
            }
            case QEvent::MouseButtonRelease: {
                auto* m = static_cast<QMouseEvent*>(ev);
                bool afterdouble = std::exchange(afterdouble_, false);
                if (m->button() == Qt::LeftButton && !afterdouble && clickable() &&
                    static_cast<QWidget*>(obj)->rect().contains(m->position().toPoint()))
                    run([this] { c_->click(); });
                return false;
            }
            case QEvent::MouseButtonDblClick:
                if (static_cast<QMouseEvent*>(ev)->button() == Qt::LeftButton && clickable()) {
                    afterdouble_ = true;
                    run([this] { c_->dblclick(); });
                }
                return false;
            case QEvent::KeyPress:
                return obj == w_ && key(static_cast<QKeyEvent*>(ev));
            default:
                return false;
        }
    }

  private:
    // Kinds whose clicks have no Qt signal of their own.
    bool clickable() const {
        Kind k = c_->kind();
        return k == Kind::TextBox || k == Kind::Label || k == Kind::PictureBox || k == Kind::Frame;
    }
    void run(const std::function<void()>& fn) {
        c_->touch();  // whatever the model makes of it, the widget is mirrored again
        guarded(c_->form().runtime(), fn);
    }

    bool key(QKeyEvent* k) {
        Kind kind = c_->kind();
        bool typed = kind == Kind::TextBox || kind == Kind::ComboBox;
        if (!typed && !c_->KeyPress) return false;  // lists move and search on their own
        if (kind == Kind::CommandButton &&
            (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter || k->key() == Qt::Key_Space))
            return false;  // the button's own click
        if (kind == Kind::ComboBox && k->key() == Qt::Key_Up &&
            !(k->modifiers() & ~Qt::KeypadModifier)) {
            // A combo showing no choice takes its first row on Up as it does on Down (Qt would
            // look for a row above none).
            if (c_->listindex() >= 0 || c_->listcount() == 0) return false;
            run([this] { c_->setlistindex(0); });
            return true;
        }
        std::string keys;
        if (typed && k->matches(QKeySequence::Paste)) {
            keys = ss(QApplication::clipboard()->text());
        } else if (k->matches(QKeySequence::Copy) || k->matches(QKeySequence::SelectAll)) {
            return false;
        } else if (k->key() == Qt::Key_Backspace) {
            keys = std::string(1, char(vbKeyBack));
        } else if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            keys = std::string(1, char(vbKeyReturn));
        } else if (k->key() == Qt::Key_Escape) {
            keys = std::string(1, char(vbKeyEscape));
        } else if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            return false;
        } else if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
            // Undo, cut, delete-word and the like would edit behind the model's back; a combo
            // still opens its list with Alt+Down.
            return typed && !qobject_cast<QComboBox*>(w_);
        } else if (k->key() == Qt::Key_Delete) {
            if (!typed) return false;
            caretfromwidget(w_, *c_);
            run([this] { c_->deletekey(); });
            return true;
        } else {
            QString t = k->text();
            if (t.isEmpty() || t[0].unicode() < 32) return false;  // caret moves, function keys
            for (QChar ch : t)
                if (ch.unicode() >= 32 && ch.unicode() < 256)
                    keys += static_cast<char>(ch.unicode());
            if (keys.empty()) return true;
        }
        if (typed) caretfromwidget(w_, *c_);
        for (size_t i = 0; i < keys.size(); ++i) {
            char ch = keys[i];
            // A pasted line end (CR LF, LF or CR) or tab is one blank between the words.
            if (keys.size() > 1 && ch == '\r' && i + 1 < keys.size() && keys[i + 1] == '\n')
                continue;
            if (keys.size() > 1 && (ch == '\r' || ch == '\n' || ch == '\t')) ch = ' ';
            run([&] { c_->keypress(static_cast<unsigned char>(ch)); });
            if (!*alive_) break;  // the form went away under the key
        }
        return true;
    }

    QWidget* w_;
    Control* c_;
    std::shared_ptr<bool> alive_;
    bool afterdouble_ = false;
};

// Keeps the model's caret in step with the user's caret moves and selections.
void trackcaret(QWidget* w, Control* c, const std::shared_ptr<bool>& alive) {
    auto follow = [w, c, alive] {
        if (*alive) caretfromwidget(w, *c);
    };
    if (QLineEdit* t = lineeditof(w)) {
        QObject::connect(t, &QLineEdit::cursorPositionChanged, w, follow);
        QObject::connect(t, &QLineEdit::selectionChanged, w, follow);
    } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
        QObject::connect(m, &QPlainTextEdit::cursorPositionChanged, w, follow);
        QObject::connect(m, &QPlainTextEdit::selectionChanged, w, follow);
    }
}

// A command button clicks on Enter as on Space: at the press, once however long the key is
// held. (A Qt button outside a dialog answers Space alone.)
class CommandButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
            !(e->modifiers() & ~Qt::KeypadModifier)) {
            if (!e->isAutoRepeat()) click();
            e->accept();
            return;
        }
        QPushButton::keyPressEvent(e);
    }
};

// A list shows no current row while the model has no row picked. Qt makes the first row current
// when the list gains the focus from the keyboard, so the first Down would take the second row;
// with no current row, Down or Up takes the first.
class ListBox : public QListWidget {
  public:
    ListBox(QWidget* parent, Control* c, std::shared_ptr<bool> alive)
        : QListWidget(parent), c_(c), alive_(std::move(alive)) {}

  protected:
    void focusInEvent(QFocusEvent* e) override {
        QListWidget::focusInEvent(e);
        if (*alive_ && c_->listindex() < 0 && currentIndex().isValid())
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }

  private:
    Control* c_;
    std::shared_ptr<bool> alive_;
};

}  // namespace

void watchinput(QWidget* w, QWidget* target, Control* c, const std::shared_ptr<bool>& alive) {
    target->installEventFilter(new InputFilter(w, c, alive));
}

QPushButton* newcommandbutton(QWidget* parent) { return new CommandButton(parent); }

QListWidget* newlistbox(QWidget* parent, Control* c, const std::shared_ptr<bool>& alive) {
    return new ListBox(parent, c, alive);
}

// A widget whose text only the model edits.
void keepmodeltext(QWidget* w, Control* c, const std::shared_ptr<bool>& alive) {
    QWidget* inner = lineeditof(w) ? static_cast<QWidget*>(lineeditof(w)) : w;
    for (QWidget* x : {w, inner}) {
        x->setContextMenuPolicy(Qt::NoContextMenu);
        x->setAcceptDrops(false);
        x->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    trackcaret(w, c, alive);
}

}  // namespace vt::qtv
