#include "platform/qt/qtwidgets.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableView>
#include <optional>
#include <utility>

#include "platform/dialogs.h"
#include "platform/text.h"

namespace vt::qtv {

void guarded(Runtime& rt, const std::function<void()>& fn) {
    // While a handler runs (a box open inside it) the cashier cannot reach the forms: what comes
    // then is a widget's own follow-up of the event the handler took, never run inside it.
    if (rt.depth() > 0) return;
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

bool fixedpitchname(const std::string& name) {
    std::string n = ucase(name);
    for (const char* f : {"COURIER", "CONSOLE", "CONSOLAS", "FIXEDSYS", "TERMINAL"})
        if (n.find(f) != std::string::npos) return true;
    return false;
}

namespace {

// An installed fixed-pitch family: the system's fixed font when it really is one, otherwise the
// first family the font database calls fixed-pitch; empty when the machine has none.
QString fixedfamily() {
    static std::optional<QString> found;
    if (found) return *found;
    QFont sys = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(sys).fixedPitch()) {
        found = QFontInfo(sys).family();
    } else {
        found = QString();
        for (const QString& f : QFontDatabase::families())
            if (QFontDatabase::isFixedPitch(f) && !QFontDatabase::isPrivateFamily(f)) {
                found = f;
                break;
            }
    }
    return *found;
}

}  // namespace

QFont fontfor(const std::string& name, int size, bool bold) {
    static std::map<std::string, bool> known;
    auto it = known.find(name);
    if (it == known.end())
        it = known.emplace(name, QFontDatabase::families().contains(qs(name), Qt::CaseInsensitive))
                 .first;
    QFont f = QApplication::font();
    f.setPointSize(size > 0 ? size : 8);
    f.setBold(bold);
    if (fixedpitchname(name)) {
        // Columns made of spaces must keep lining up: whatever the name resolves to (a
        // substitute may be proportional, or report no fixed pitch), the face is fixed-pitch
        // when the machine has one.
        static std::map<std::string, QString> family;
        auto fam = family.find(name);
        if (fam == family.end()) {
            QFont probe(qs(name));
            probe.setStyleHint(QFont::TypeWriter);
            bool fixed = QFontInfo(probe).fixedPitch() || fixedfamily().isEmpty();
            fam = family.emplace(name, fixed ? qs(name) : fixedfamily()).first;
        }
        f.setStyleHint(QFont::TypeWriter);
        f.setFamily(fam->second);
    } else if (it->second) {
        f.setFamily(qs(name));
    } else {
        // The old screen fonts are rarely installed: the default sans font at the same size.
        f.setStyleHint(QFont::SansSerif);
    }
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
    if (a >= 0 && a <= 8) {
        Qt::Alignment v = a % 3 == 0   ? Qt::AlignTop
                          : a % 3 == 1 ? Qt::AlignVCenter
                                       : Qt::AlignBottom;
        return v | (a <= 2 ? Qt::AlignLeft : a <= 5 ? Qt::AlignHCenter : Qt::AlignRight);
    }
    double v;
    return (parsenumber(text, v) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

// Option buttons and check boxes answer a click anywhere in their rectangle, not only on the
// mark and the caption.
template <class Button>
class WholeButton : public Button {
  public:
    using Button::Button;

  protected:
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};

// Connects a Qt signal to a model action that runs only while the form exists.
template <class Sender, class Signal, class Fn>
void tomodel(Sender* s, Control* c, Signal sig, const std::shared_ptr<bool>& alive, Fn fn) {
    Runtime* rt = &c->form().runtime();
    QObject::connect(s, sig, s, [alive, rt, c, fn](auto... args) {
        if (!*alive) return;
        c->touch();  // the widget changed itself: it is mirrored again whatever the model does
        guarded(*rt, [&] { fn(args...); });
    });
}

QLatin1StringView latin1(const std::string& s) {
    return QLatin1StringView(s.data(), static_cast<qsizetype>(s.size()));
}

// Brings a list widget's items in line with the model's in one step: the items that differ
// between the common start and the common end are replaced, inserted or removed together.
template <class Text, class SetText, class Insert>
void syncitems(const Control& c, int count, Text text, SetText settext, QAbstractItemModel* model,
               Insert insert) {
    int m = c.listcount();
    int pre = 0;
    while (pre < count && pre < m && text(pre) == latin1(c.items()[pre].text)) ++pre;
    int suf = 0;
    while (suf < count - pre && suf < m - pre &&
           text(count - 1 - suf) == latin1(c.items()[m - 1 - suf].text))
        ++suf;
    int oldmid = count - pre - suf, newmid = m - pre - suf, common = std::min(oldmid, newmid);
    for (int i = pre; i < pre + common; ++i) settext(i, qs(c.items()[i].text));
    if (oldmid > newmid) model->removeRows(pre + common, oldmid - newmid);
    if (newmid > oldmid) {
        QStringList more;
        more.reserve(newmid - common);
        for (int i = pre + common; i < pre + newmid; ++i) more.append(qs(c.items()[i].text));
        insert(pre + common, more);
    }
}

void syncitems(QListWidget* l, const Control& c) {
    syncitems(
        c, l->count(), [l](int i) { return l->item(i)->text(); },
        [l](int i, const QString& t) { l->item(i)->setText(t); }, l->model(),
        [l](int at, const QStringList& more) { l->insertItems(at, more); });
}

void syncitems(QComboBox* b, const Control& c) {
    syncitems(
        c, b->count(), [b](int i) { return b->itemText(i); },
        [b](int i, const QString& t) { b->setItemText(i, t); }, b->model(),
        [b](int at, const QStringList& more) { b->insertItems(at, more); });
}

int drivelistrow(const Control& c) {
    for (int i = 0; i < c.listcount(); ++i)
        if (comparenocase(c.list(i), c.drive) == 0) return i;
    return -1;
}

// Draws grid cells as the old grid did: the cell's own alignment and font, a small margin, and
// never an elided text. A text wider than its cell is drawn narrower, whole.
class GridCells : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int margin = 2;

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem o(option);
        initStyleOption(&o, index);
        QString text = o.text;
        o.text.clear();
        const QWidget* w = o.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &o, p, w);  // background, selection
        QRectF r = QRectF(o.rect).adjusted(margin, 0, -margin, 0);
        // Blanks that pad a text away from the edge it is aligned to take no room: a flight
        // padded to 11 places fits its cell as its letters do.
        const Qt::Alignment h = o.displayAlignment & Qt::AlignHorizontal_Mask;
        if (h & Qt::AlignRight) {
            qsizetype lead = 0;
            while (lead < text.size() && text[lead] == QLatin1Char(' ')) ++lead;
            text.remove(0, lead);
        } else if (!(h & Qt::AlignHCenter)) {
            qsizetype end = text.size();
            while (end > 0 && text[end - 1] == QLatin1Char(' ')) --end;
            text.truncate(end);
        }
        if (text.isEmpty() || r.width() <= 0) return;
        p->save();
        p->setFont(o.font);
        bool selected = o.state & QStyle::State_Selected;
        p->setPen(o.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        qreal need = QFontMetricsF(o.font, p->device()).horizontalAdvance(text);
        if (need > r.width()) {
            p->translate(r.left(), 0);
            p->scale(r.width() / need, 1.0);
            p->drawText(
                QRectF(0, r.top(), need, r.height()),
                static_cast<int>(o.displayAlignment & Qt::AlignVertical_Mask) | Qt::AlignLeft,
                text);
        } else {
            p->drawText(r, static_cast<int>(o.displayAlignment), text);
        }
        p->restore();
    }
};

// A label over a list in a fixed-pitch font: each word of its caption is drawn over its
// character column of the list's lines, whatever the two fonts' widths.
class ColumnTitles : public QLabel {
  public:
    ColumnTitles(QWidget* parent, Control* c, QListWidget* list, std::shared_ptr<bool> alive)
        : QLabel(parent), c_(c), list_(list), alive_(std::move(alive)) {
        setTextFormat(Qt::PlainText);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        if (!*alive_ || !list_) return;
        QPainter p(this);
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        // Where the list draws the first character of a line, and how wide one character is.
        int margin = list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
        int x0 = list_->viewport()->mapTo(window(), QPoint(margin, 0)).x() -
                 mapTo(window(), QPoint(0, 0)).x();
        qreal cw = QFontMetricsF(list_->font()).horizontalAdvance(QLatin1Char('0'));
        // Words with a single blank between them stay together.
        QStringList titles;
        for (const QString& part : text().split(QStringLiteral("  "), Qt::SkipEmptyParts))
            if (!part.trimmed().isEmpty()) titles << part.trimmed();
        const auto& cols = c_->captioncolumns;
        for (int i = 0; i < titles.size(); ++i) {
            qreal x = x0 + (i < static_cast<int>(cols.size()) ? cols[i] : 0) * cw;
            p.drawText(QRectF(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignTop,
                       titles[i]);
        }
    }

  private:
    Control* c_;
    QListWidget* list_;
    std::shared_ptr<bool> alive_;
};

// A grid's cells as Qt reads them: straight from the model's grid, for the cells on screen only,
// so a grid of thousands of rows costs what is drawn. Qt is told of changes by sync().
class GridModel : public QAbstractTableModel {
  public:
    GridModel(Control* c, QTableView* view) : QAbstractTableModel(view), c_(c), view_(view) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : cols_;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        const GridState& s = c_->grid;
        int r = index.row(), col = index.column();
        if (r < 0 || r >= s.rows || col < 0 || col >= s.cols) return {};
        bool isfixed = r < s.fixedrows || col < s.fixedcols;
        switch (role) {
            case Qt::DisplayRole:
                return qs(s.cells[r][col]);
            case Qt::FontRole: {
                QFont f = view_->font();
                f.setBold(s.bold[r][col]);
                return f;
            }
            case Qt::TextAlignmentRole: {
                // A cell's own alignment when the screen set one; else fixed cells are
                // left-aligned and the others take their column's.
                bool own = s.cellalignment.count({r, col}) != 0;
                Qt::Alignment align = own || !isfixed
                                          ? gridalign(c_->cellalignment(r, col), s.cells[r][col])
                                          : Qt::AlignLeft | Qt::AlignVCenter;
                return static_cast<int>(align);
            }
            case Qt::BackgroundRole:
                if (isfixed) return QBrush(view_->palette().color(QPalette::Button));
                return {};
            default:
                return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        const GridState& s = c_->grid;
        bool isfixed = index.row() < s.fixedrows || index.column() < s.fixedcols;
        return isfixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

    // Rows or columns that came or went reset the table; otherwise only the rows whose revision
    // moved since the last sync are redrawn (all of them when the look of every row changed).
    void sync(bool everyrow) {
        const GridState& s = c_->grid;
        if (s.shaperev != shape_ || s.rows != rows_ || s.cols != cols_) {
            beginResetModel();
            rows_ = s.rows;
            cols_ = s.cols;
            shape_ = s.shaperev;
            endResetModel();
        } else if (rows_ > 0 && cols_ > 0 && (everyrow || s.rev != rev_)) {
            int first = rows_, last = -1;
            for (int r = 0; r < rows_; ++r)
                if (everyrow || s.rowrev[r] > rev_) {
                    first = std::min(first, r);
                    last = r;
                }
            if (last >= 0) emit dataChanged(index(first, 0), index(last, cols_ - 1));
        }
        rev_ = s.rev;
    }

  private:
    Control* c_;
    QTableView* view_;
    int rows_ = 0, cols_ = 0;
    uint64_t rev_ = 0, shape_ = 0;
};

QWidget* makewidget(Win& win, Control& c, QWidget* parent) {
    Control* p = &c;
    auto alive = win.alive;
    switch (c.kind()) {
        case Kind::CommandButton: {
            QPushButton* b = newcommandbutton(parent);
            tomodel(b, p, &QPushButton::clicked, alive, [p](bool) { p->click(); });
            return b;
        }
        case Kind::Label: {
            if (c.columnsof) {
                QWidget* list = widgetfor(win, *c.columnsof);
                return new ColumnTitles(parent, p, qobject_cast<QListWidget*>(list), alive);
            }
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
                // Clicks land on the viewport.
                watchinput(t, t->viewport(), p, alive);
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
            // The combo receives the keys itself and hands them to its line edit directly, past
            // any filter there: keys are taken at the combo.
            if (b->lineEdit()) {
                keepmodeltext(b, p, alive);
                tomodel(b->lineEdit(), p, &QLineEdit::textEdited, alive, [b, p](const QString&) {
                    QSignalBlocker block(b->lineEdit());
                    b->lineEdit()->setText(qs(p->text()));
                });
            }
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
            QListWidget* l = newlistbox(parent, p, alive);
            // A pick selects a row (a click or an arrow key); a row made current alone is none.
            auto picked = std::make_shared<bool>(false);
            tomodel(l, p, &QListWidget::itemSelectionChanged, alive, [l, p, picked] {
                if (l->count() != p->listcount()) return;
                if (p->multiselect) {
                    // Each item's state reaches the model, then Click.
                    for (int i = 0; i < l->count(); ++i)
                        if (l->item(i)->isSelected() != p->selected(i))
                            p->setselected(i, l->item(i)->isSelected());
                    int row = l->currentRow();
                    if (row >= 0 && row < p->listcount()) p->setlistindex(row);
                    return;
                }
                auto rows = l->selectionModel()->selectedRows();
                if (rows.size() != 1) return;
                int row = rows.front().row();
                if (QApplication::mouseButtons() & Qt::LeftButton) *picked = true;
                if (row != p->listindex()) p->setlistindex(row);
            });
            // Clicking the row already picked clicks it again, as it does in a list box.
            tomodel(l, p, &QListWidget::pressed, alive, [p, picked](const QModelIndex& i) {
                bool again = !std::exchange(*picked, false);
                if (again && !p->multiselect && i.row() == p->listindex() &&
                    QApplication::mouseButtons() == Qt::LeftButton)
                    p->click();
            });
            tomodel(l, p, &QListWidget::itemDoubleClicked, alive,
                    [p](QListWidgetItem*) { p->dblclick(); });
            // Several items may be selected; the model keeps each item's state.
            if (p->multiselect) l->setSelectionMode(QAbstractItemView::ExtendedSelection);
            return l;
        }
        case Kind::OptionButton: {
            auto* r = new WholeButton<QRadioButton>(parent);
            r->setAutoExclusive(false);  // the model clears the other options of the frame
            tomodel(r, p, &QRadioButton::clicked, alive, [p](bool) { p->click(); });
            return r;
        }
        case Kind::CheckBox: {
            auto* b = new WholeButton<QCheckBox>(parent);
            tomodel(b, p, &QCheckBox::clicked, alive, [p](bool) { p->click(); });
            return b;
        }
        case Kind::Frame:
            return new QGroupBox(parent);
        case Kind::PictureBox: {
            auto* l = new QLabel(parent);
            l->setFrameStyle(QFrame::Box | QFrame::Plain);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            l->setTextFormat(Qt::PlainText);
            return l;
        }
        case Kind::Grid: {
            auto* g = new QTableView(parent);
            g->setModel(new GridModel(p, g));
            g->horizontalHeader()->hide();
            g->verticalHeader()->hide();
            g->verticalHeader()->setDefaultSectionSize(18);
            g->setEditTriggers(QAbstractItemView::NoEditTriggers);
            g->setSelectionMode(QAbstractItemView::SingleSelection);
            g->setItemDelegate(new GridCells(g));
            g->setWordWrap(false);
            tomodel(g, p, &QTableView::clicked, alive, [p](const QModelIndex& i) {
                if (i.row() < p->rows() && i.column() < p->cols())
                    p->clickcell(i.row(), i.column());
            });
            tomodel(g, p, &QTableView::doubleClicked, alive,
                    [p](const QModelIndex&) { p->dblclick(); });
            return g;
        }
        case Kind::Timer:
            return nullptr;
    }
    return nullptr;
}

void syncgrid(Control& c, QTableView* g, bool everyrow) {
    const GridState& s = c.grid;
    static_cast<GridModel*>(g->model())->sync(everyrow);
    for (int col = 0; col < s.cols; ++col) {
        int px = s.colwidth[col] / 15;
        if (g->columnWidth(col) != px) g->setColumnWidth(col, px);
    }
    if (s.row >= s.fixedrows && s.row < s.rows && s.col >= 0 && s.col < s.cols) {
        QModelIndex at = g->model()->index(s.row, s.col);
        if (g->currentIndex() != at || !g->selectionModel()->isSelected(at)) g->setCurrentIndex(at);
    } else {
        g->clearSelection();
    }
}

void synclist(Control& c, QListWidget* l, bool items) {
    // Mirroring the model must not echo back into it as a user's selection.
    std::optional<QSignalBlocker> quiet;
    if (c.multiselect) quiet.emplace(l);
    if (items) syncitems(l, c);
    int row = c.listindex();
    l->setSelectionMode(c.multiselect ? QAbstractItemView::ExtendedSelection
                                      : QAbstractItemView::SingleSelection);
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
    if (c.topindex > 0 && c.topindex < l->count())
        l->scrollToItem(l->item(c.topindex), QAbstractItemView::PositionAtTop);
}

void synccombo(Control& c, QComboBox* b, bool items) {
    if (items) syncitems(b, c);
    b->setCurrentIndex(c.kind() == Kind::DriveListBox ? drivelistrow(c) : c.listindex());
    if (b->isEditable()) {
        if (b->currentText() != qs(c.text())) b->setEditText(qs(c.text()));
        carettowidget(c, b);
    }
}

void synctext(Control& c, QWidget* w) {
    if (auto* t = qobject_cast<QLineEdit*>(w)) {
        if (t->text() != qs(c.text())) t->setText(qs(c.text()));
        t->setReadOnly(c.locked);
        t->setMaxLength(c.maxlength > 0 ? c.maxlength : 32767);
        t->setAlignment(textalign(c.alignment));
        carettowidget(c, t);
    } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
        QString text = qs(c.text()).replace("\r\n", "\n");
        if (m->toPlainText() != text) m->setPlainText(text);
        m->setReadOnly(c.locked);
        carettowidget(c, m);
    }
}

void synclook(Control& c, QWidget* w) {
    QFont f = fontfor(c.fontname, c.fontsize, c.fontbold);
    if (w->font() != f) w->setFont(f);
    QPalette pal = QApplication::palette(w);
    QColor fore = rgb(c.forecolor);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(role, fore);
    bool fill = c.backcolorset && c.kind() != Kind::Frame;
    if (c.backcolorset) {
        QColor back = rgb(c.backcolor);
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            pal.setColor(role, back);
    }
    if (w->palette() != pal) w->setPalette(pal);
    if (w->autoFillBackground() != fill) w->setAutoFillBackground(fill);
    if (w->toolTip() != qs(c.tooltip)) w->setToolTip(qs(c.tooltip));
}

// The focus policy a widget was made with, kept so that a control can become a tab stop again.
const char* const kOwnFocus = "vtownfocus";

// A control that is no tab stop takes the focus only from a click, never from Tab.
void synctabstop(const Control& c, QWidget* w) {
    auto own = static_cast<Qt::FocusPolicy>(w->property(kOwnFocus).toInt());
    Qt::FocusPolicy want = c.takestab()             ? own
                           : (own & Qt::ClickFocus) ? Qt::ClickFocus
                                                    : Qt::NoFocus;
    if (w->focusPolicy() != want) w->setFocusPolicy(want);
}

}  // namespace

QWidget* widgetfor(Win& win, Control& c) {
    auto it = win.widgets.find(&c);
    if (it != win.widgets.end()) return it->second;
    QWidget* parent = win.window->canvas();
    auto frame = win.form->container.find(&c);
    if (frame != win.form->container.end() && frame->second && frame->second != &c)
        if (QWidget* fw = widgetfor(win, *frame->second)) parent = fw;
    QWidget* w = makewidget(win, c, parent);
    win.widgets[&c] = w;
    if (w) watchinput(w, w, &c, win.alive);
    if (w) w->setProperty(kOwnFocus, static_cast<int>(w->focusPolicy()));
    if (w)
        w->setObjectName(
            qs(c.index() >= 0 ? c.name() + "(" + std::to_string(c.index()) + ")" : c.name()));
    return w;
}

void syncwidget(Win& win, Control& c, QWidget* w) {
    if (!w) return;
    Seen& seen = win.seen[&c];
    bool fieldsmoved = seen.fields != fieldsof(c);
    if (seen.rev == c.revision() && !fieldsmoved) return;
    bool items = seen.listrev != c.listrevision();
    seen.rev = c.revision();
    seen.listrev = c.listrevision();
    if (fieldsmoved) seen.fields = fieldsof(c);
    QSignalBlocker block(w);
    // Positions are in form coordinates; a control inside a frame is placed relative to it.
    int left = c.left, top = c.top;
    auto frame = win.form->container.find(&c);
    if (frame != win.form->container.end() && frame->second &&
        w->parentWidget() != win.window->canvas()) {
        left -= frame->second->left;
        top -= frame->second->top;
    }
    QRect geo(left, top, std::max(c.width, 0), std::max(c.height, 0));
    if (w->geometry() != geo) w->setGeometry(geo);
    synclook(c, w);
    synctabstop(c, w);
    if (w->isEnabled() != c.enabled()) w->setEnabled(c.enabled());
    switch (c.kind()) {
        case Kind::CommandButton:
            static_cast<QPushButton*>(w)->setText(qs(c.caption()));
            break;
        case Kind::Label: {
            auto* l = static_cast<QLabel*>(w);
            if (l->text() != qs(c.caption())) l->setText(qs(c.caption()));
            l->setAlignment((textalign(c.alignment) & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
            break;
        }
        case Kind::TextBox:
            synctext(c, w);
            break;
        case Kind::ComboBox:
        case Kind::DriveListBox: {
            auto* b = static_cast<QComboBox*>(w);
            QSignalBlocker inner(b->lineEdit());
            synccombo(c, b, items);
            break;
        }
        case Kind::ListBox:
        case Kind::FileListBox:
        case Kind::DirListBox:
            synclist(c, static_cast<QListWidget*>(w), items);
            break;
        case Kind::OptionButton:
        case Kind::CheckBox: {
            auto* b = static_cast<QAbstractButton*>(w);
            b->setText(qs(c.caption()));
            b->setChecked(c.value() != 0);
            break;
        }
        case Kind::Frame:
            static_cast<QGroupBox*>(w)->setTitle(qs(c.caption()));
            break;
        case Kind::PictureBox: {
            std::string all;
            for (auto& line : c.picturelines) all += (all.empty() ? "" : "\n") + line;
            static_cast<QLabel*>(w)->setText(qs(all));
            break;
        }
        case Kind::Grid:
            syncgrid(c, static_cast<QTableView*>(w), fieldsmoved);
            break;
        case Kind::Timer:
            break;
    }
    // A control the event hid goes once every control is mirrored (Win::hiding), so one that had
    // the focus hands it on along the screen as the event left it.
    if (c.visible() && w->isHidden())
        w->show();
    else if (!c.visible() && !w->isHidden())
        win.hiding.push_back(w);
}

}  // namespace vt::qtv
