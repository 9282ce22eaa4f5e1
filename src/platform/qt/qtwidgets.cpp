#include "platform/qt/qtwidgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <optional>
#include <QTableWidget>

#include "platform/dialogs.h"
#include "platform/text.h"

namespace vt::qtv {

void FormWindow::closeEvent(QCloseEvent* e) {
    if (onclose) {
        // The form decides; the view hides the window once the model says so.
        e->ignore();
        onclose();
    } else {
        e->accept();
    }
}

void guarded(Runtime& rt, const std::function<void()>& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        try {
            rt.msgbox(e.what(), vbCritical);
        } catch (...) {
            // Nothing more can be told.
        }
    }
}

QFont fontfor(const std::string& name, int size, bool bold) {
    static std::map<std::string, bool> known;
    auto it = known.find(name);
    if (it == known.end()) it = known.emplace(name, QFontDatabase::families().contains(qs(name), Qt::CaseInsensitive)).first;
    QFont f = QApplication::font();
    if (it->second) {
        f.setFamily(qs(name));
    } else if (ucase(name).find("COURIER") != std::string::npos || ucase(name).find("CONSOLE") != std::string::npos) {
        // A missing fixed-pitch font keeps columns made of spaces: the system's fixed font.
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    } else {
        // The old screen fonts are rarely installed: the default sans font at the same size.
        f.setStyleHint(QFont::SansSerif);
    }
    f.setPointSize(size > 0 ? size : 8);
    f.setBold(bold);
    return f;
}

namespace {

QColor rgb(uint32_t c) { return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

Qt::Alignment textalign(int a) {
    if (a == 1) return Qt::AlignRight | Qt::AlignVCenter;
    if (a == 2) return Qt::AlignHCenter | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Grid column alignment: 0-2 left, 3-5 centre, 6-8 right, 9 numbers right and text left.
Qt::Alignment gridalign(int a, const std::string& text) {
    if (a >= 0 && a <= 2) return Qt::AlignLeft | Qt::AlignVCenter;
    if (a >= 3 && a <= 5) return Qt::AlignHCenter | Qt::AlignVCenter;
    if (a >= 6 && a <= 8) return Qt::AlignRight | Qt::AlignVCenter;
    double v;
    return (parsenumber(text, v) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

// Typing in a text box or an editable combo goes through the control's KeyPress and edit, so
// the model's text is the only truth; the Qt key event itself is swallowed.
class KeyFilter : public QObject {
public:
    KeyFilter(QObject* parent, Control* c, std::shared_ptr<bool> alive) : QObject(parent), c_(c), alive_(std::move(alive)) {}

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override {
        if (!*alive_) return false;
        if (ev->type() == QEvent::FocusIn) {
            c_->form().focused = c_;
            return false;
        }
        if (ev->type() != QEvent::KeyPress) return QObject::eventFilter(obj, ev);
        auto* k = static_cast<QKeyEvent*>(ev);
        std::string keys;
        if (k->matches(QKeySequence::Paste)) {
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
            return true;  // undo, cut, delete-word and the like would edit behind the model's back
        } else if (k->key() == Qt::Key_Delete) {
            return true;
        } else {
            QString t = k->text();
            if (t.isEmpty() || t[0].unicode() < 32) return false;  // caret moves, function keys
            for (QChar ch : t)
                if (ch.unicode() >= 32 && ch.unicode() < 256) keys += static_cast<char>(ch.unicode());
            if (keys.empty()) return true;
        }
        for (char ch : keys) {
            if (ch == '\r' && keys.size() > 1) continue;  // pasted line ends
            if (ch == '\n' && keys.size() > 1) ch = ' ';
            guarded(c_->form().runtime(), [&] { c_->keypress(static_cast<unsigned char>(ch)); });
            if (!*alive_) break;  // the form went away under the key
        }
        return true;
    }

private:
    Control* c_;
    std::shared_ptr<bool> alive_;
};

void keepmodeltext(QWidget* w, Control* c, std::shared_ptr<bool> alive) {
    w->installEventFilter(new KeyFilter(w, c, std::move(alive)));
    w->setContextMenuPolicy(Qt::NoContextMenu);
    w->setAcceptDrops(false);
    w->setAttribute(Qt::WA_InputMethodEnabled, false);
}

// Connects a Qt signal to a model action that runs only while the form exists.
template <class Sender, class Signal, class Fn>
void tomodel(Sender* s, Control* c, Signal sig, const std::shared_ptr<bool>& alive, Fn fn) {
    Runtime* rt = &c->form().runtime();
    QObject::connect(s, sig, s, [alive, rt, fn](auto... args) {
        if (*alive) guarded(*rt, [&] { fn(args...); });
    });
}

bool sameitems(QListWidget* l, const Control& c) {
    if (l->count() != c.listcount()) return false;
    for (int i = 0; i < l->count(); ++i)
        if (l->item(i)->text() != qs(c.list(i))) return false;
    return true;
}

bool sameitems(QComboBox* b, const Control& c) {
    if (b->count() != c.listcount()) return false;
    for (int i = 0; i < b->count(); ++i)
        if (b->itemText(i) != qs(c.list(i))) return false;
    return true;
}

int drivelistrow(const Control& c) {
    for (int i = 0; i < c.listcount(); ++i)
        if (comparenocase(c.list(i), c.drive) == 0) return i;
    return -1;
}

QWidget* makewidget(Win& win, Control& c, QWidget* parent) {
    Control* p = &c;
    auto alive = win.alive;
    switch (c.kind()) {
        case Kind::CommandButton: {
            auto* b = new QPushButton(parent);
            b->setAutoDefault(false);
            tomodel(b, p, &QPushButton::clicked, alive, [p](bool) { p->click(); });
            return b;
        }
        case Kind::Label: {
            auto* l = new QLabel(parent);
            l->setWordWrap(true);
            l->setTextFormat(Qt::PlainText);
            return l;
        }
        case Kind::TextBox: {
            if (c.multiline) {
                auto* t = new QPlainTextEdit(parent);
                t->setTabChangesFocus(true);
                keepmodeltext(t, p, alive);
                return t;
            }
            auto* t = new QLineEdit(parent);
            keepmodeltext(t, p, alive);
            // Anything that still slips past the key filter is put back to the model's text.
            tomodel(t, p, &QLineEdit::textEdited, alive, [t, p](const QString&) {
                QSignalBlocker block(t);
                t->setText(qs(p->text()));
            });
            return t;
        }
        case Kind::ComboBox: {
            auto* b = new QComboBox(parent);
            b->setEditable(!c.droplist);
            b->setInsertPolicy(QComboBox::NoInsert);
            if (b->lineEdit()) keepmodeltext(b->lineEdit(), p, alive);
            tomodel(b, p, &QComboBox::activated, alive, [p](int i) {
                if (i >= 0 && i < p->listcount()) p->setlistindex(i);
            });
            return b;
        }
        case Kind::DriveListBox: {
            // A drop-down of drives, as tall as one line.
            auto* b = new QComboBox(parent);
            tomodel(b, p, &QComboBox::activated, alive, [p](int i) {
                if (i >= 0 && i < p->listcount()) p->setdrive(p->list(i));
            });
            return b;
        }
        case Kind::ListBox:
        case Kind::FileListBox:
        case Kind::DirListBox: {
            auto* l = new QListWidget(parent);
            tomodel(l, p, &QListWidget::currentRowChanged, alive, [p](int row) {
                if (p->multiselect || row < 0 || row >= p->listcount()) return;
                if (row != p->listindex()) p->setlistindex(row);
            });
            // A list of several selections tells the model each item's state, then Click.
            tomodel(l, p, &QListWidget::itemSelectionChanged, alive, [l, p] {
                if (!p->multiselect || l->count() != p->listcount()) return;
                for (int i = 0; i < l->count(); ++i)
                    if (l->item(i)->isSelected() != p->selected(i)) p->setselected(i, l->item(i)->isSelected());
                int row = l->currentRow();
                if (row >= 0 && row < p->listcount()) p->setlistindex(row);
            });
            tomodel(l, p, &QListWidget::itemDoubleClicked, alive, [p](QListWidgetItem*) { p->dblclick(); });
            if (p->multiselect) {
                // Several items may be selected; the model keeps each item's state.
                l->setSelectionMode(QAbstractItemView::ExtendedSelection);
                tomodel(l, p, &QListWidget::itemSelectionChanged, alive, [l, p]() {
                    for (int i = 0; i < l->count() && i < p->listcount(); ++i) p->setselected(i, l->item(i)->isSelected());
                });
            }
            return l;
        }
        case Kind::OptionButton: {
            auto* r = new QRadioButton(parent);
            r->setAutoExclusive(false);  // the model clears the other options of the frame
            tomodel(r, p, &QRadioButton::clicked, alive, [p](bool) { p->click(); });
            return r;
        }
        case Kind::CheckBox: {
            auto* b = new QCheckBox(parent);
            tomodel(b, p, &QCheckBox::clicked, alive, [p](bool) { p->click(); });
            return b;
        }
        case Kind::Frame: return new QGroupBox(parent);
        case Kind::PictureBox: {
            auto* l = new QLabel(parent);
            l->setFrameStyle(QFrame::Box | QFrame::Plain);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            l->setTextFormat(Qt::PlainText);
            return l;
        }
        case Kind::Grid: {
            auto* g = new QTableWidget(parent);
            g->horizontalHeader()->hide();
            g->verticalHeader()->hide();
            g->verticalHeader()->setDefaultSectionSize(18);
            g->setEditTriggers(QAbstractItemView::NoEditTriggers);
            g->setSelectionMode(QAbstractItemView::SingleSelection);
            tomodel(g, p, &QTableWidget::cellClicked, alive, [p](int r, int col) {
                if (r < p->rows() && col < p->cols()) p->clickcell(r, col);
            });
            tomodel(g, p, &QTableWidget::cellDoubleClicked, alive, [p](int, int) { p->dblclick(); });
            return g;
        }
        case Kind::Timer: return nullptr;
    }
    return nullptr;
}

void syncgrid(Control& c, QTableWidget* g) {
    const GridState& s = c.grid;
    if (g->rowCount() != s.rows) g->setRowCount(s.rows);
    if (g->columnCount() != s.cols) g->setColumnCount(s.cols);
    QColor fixed = g->palette().color(QPalette::Button);
    for (int col = 0; col < s.cols; ++col) {
        int px = s.colwidth[col] / 15;
        if (g->columnWidth(col) != px) g->setColumnWidth(col, px);
    }
    for (int r = 0; r < s.rows; ++r)
        for (int col = 0; col < s.cols; ++col) {
            auto* it = g->item(r, col);
            if (!it) {
                it = new QTableWidgetItem;
                g->setItem(r, col, it);
            }
            const std::string& text = s.cells[r][col];
            if (it->text() != qs(text)) it->setText(qs(text));
            bool isfixed = r < s.fixedrows || col < s.fixedcols;
            QFont f = g->font();
            f.setBold(s.bold[r][col]);
            if (it->font() != f) it->setFont(f);
            Qt::Alignment align = isfixed ? Qt::AlignLeft | Qt::AlignVCenter : gridalign(s.colalignment[col], text);
            if (it->textAlignment() != static_cast<int>(align)) it->setTextAlignment(align);
            QBrush back = isfixed ? QBrush(fixed) : QBrush();
            if (it->background() != back) it->setBackground(back);
            Qt::ItemFlags flags = isfixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (it->flags() != flags) it->setFlags(flags);
        }
    if (s.row >= s.fixedrows && s.row < s.rows && s.col >= 0 && s.col < s.cols) g->setCurrentCell(s.row, s.col);
    else g->clearSelection();
}

void synclist(Control& c, QListWidget* l) {
    // Mirroring the model must not echo back into it as a user's selection.
    std::optional<QSignalBlocker> quiet;
    if (c.multiselect) quiet.emplace(l);
    if (!sameitems(l, c)) {
        l->clear();
        for (auto& it : c.items()) l->addItem(qs(it.text));
    }
    int row = c.listindex();
    l->setSelectionMode(c.multiselect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    if (c.multiselect) {
        if (row >= 0) l->setCurrentRow(row, QItemSelectionModel::NoUpdate);
        for (int i = 0; i < l->count(); ++i)
            if (l->item(i)->isSelected() != c.selected(i)) l->item(i)->setSelected(c.selected(i));
    } else if (row >= 0) {
        l->setCurrentRow(row);
    } else {
        l->setCurrentRow(-1);
        l->clearSelection();
    }
    if (c.multiselect) {
        for (int i = 0; i < l->count(); ++i) l->item(i)->setSelected(c.selected(i));
    }
    if (c.topindex > 0 && c.topindex < l->count()) l->scrollToItem(l->item(c.topindex), QAbstractItemView::PositionAtTop);
}

void synccombo(Control& c, QComboBox* b) {
    if (!sameitems(b, c)) {
        b->clear();
        for (auto& it : c.items()) b->addItem(qs(it.text));
    }
    b->setCurrentIndex(c.kind() == Kind::DriveListBox ? drivelistrow(c) : c.listindex());
    if (b->isEditable() && b->currentText() != qs(c.text())) b->setEditText(qs(c.text()));
}

void synctext(Control& c, QWidget* w) {
    if (auto* t = qobject_cast<QLineEdit*>(w)) {
        if (t->text() != qs(c.text())) t->setText(qs(c.text()));
        t->setReadOnly(c.locked);
        t->setMaxLength(c.maxlength > 0 ? c.maxlength : 32767);
        t->setAlignment(textalign(c.alignment));
        int len = static_cast<int>(t->text().size());
        int start = std::clamp(c.selstart, 0, len);
        if (c.sellength > 0) t->setSelection(start, std::min(c.sellength, len - start));
        else t->setCursorPosition(start);
    } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
        QString text = qs(c.text()).replace("\r\n", "\n");
        if (m->toPlainText() != text) {
            m->setPlainText(text);
            m->moveCursor(QTextCursor::End);
        }
        m->setReadOnly(c.locked);
    }
}

void synclook(Control& c, QWidget* w) {
    QFont f = fontfor(c.fontname, c.fontsize, c.fontbold);
    if (w->font() != f) w->setFont(f);
    QPalette pal = QApplication::palette(w);
    QColor fore = rgb(c.forecolor);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) pal.setColor(role, fore);
    bool fill = c.backcolorset && c.kind() != Kind::Frame;
    if (c.backcolorset) {
        QColor back = rgb(c.backcolor);
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) pal.setColor(role, back);
    }
    if (w->palette() != pal) w->setPalette(pal);
    if (w->autoFillBackground() != fill) w->setAutoFillBackground(fill);
    if (w->toolTip() != qs(c.tooltip)) w->setToolTip(qs(c.tooltip));
}

}  // namespace

QWidget* widgetfor(Win& win, Control& c) {
    auto it = win.widgets.find(&c);
    if (it != win.widgets.end()) return it->second;
    QWidget* parent = win.window;
    auto frame = win.form->container.find(&c);
    if (frame != win.form->container.end() && frame->second && frame->second != &c)
        if (QWidget* fw = widgetfor(win, *frame->second)) parent = fw;
    QWidget* w = makewidget(win, c, parent);
    win.widgets[&c] = w;
    if (w) w->setObjectName(qs(c.index() >= 0 ? c.name() + "(" + std::to_string(c.index()) + ")" : c.name()));
    return w;
}

void syncwidget(Win& win, Control& c, QWidget* w) {
    if (!w) return;
    QSignalBlocker block(w);
    // Positions are in form coordinates; a control inside a frame is placed relative to it.
    int left = c.left, top = c.top;
    auto frame = win.form->container.find(&c);
    if (frame != win.form->container.end() && frame->second && w->parentWidget() != win.window) {
        left -= frame->second->left;
        top -= frame->second->top;
    }
    QRect geo(left, top, std::max(c.width, 0), std::max(c.height, 0));
    if (w->geometry() != geo) w->setGeometry(geo);
    synclook(c, w);
    if (w->isEnabled() != c.enabled()) w->setEnabled(c.enabled());
    switch (c.kind()) {
        case Kind::CommandButton: static_cast<QPushButton*>(w)->setText(qs(c.caption())); break;
        case Kind::Label: {
            auto* l = static_cast<QLabel*>(w);
            if (l->text() != qs(c.caption())) l->setText(qs(c.caption()));
            l->setAlignment((textalign(c.alignment) & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
            break;
        }
        case Kind::TextBox: synctext(c, w); break;
        case Kind::ComboBox:
        case Kind::DriveListBox: {
            auto* b = static_cast<QComboBox*>(w);
            QSignalBlocker inner(b->lineEdit());
            synccombo(c, b);
            break;
        }
        case Kind::ListBox:
        case Kind::FileListBox:
        case Kind::DirListBox: synclist(c, static_cast<QListWidget*>(w)); break;
        case Kind::OptionButton:
        case Kind::CheckBox: {
            auto* b = static_cast<QAbstractButton*>(w);
            b->setText(qs(c.caption()));
            b->setChecked(c.value() != 0);
            break;
        }
        case Kind::Frame: static_cast<QGroupBox*>(w)->setTitle(qs(c.caption())); break;
        case Kind::PictureBox: {
            std::string all;
            for (auto& line : c.picturelines) all += (all.empty() ? "" : "\n") + line;
            static_cast<QLabel*>(w)->setText(qs(all));
            break;
        }
        case Kind::Grid: syncgrid(c, static_cast<QTableWidget*>(w)); break;
        case Kind::Timer: break;
    }
    if (w->isHidden() == c.visible()) w->setVisible(c.visible());
}

}  // namespace vt::qtv
