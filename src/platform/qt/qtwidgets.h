#pragma once
// Inside the Qt view: one Qt widget per control, made and kept in line with the model.
#include <QPointer>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "platform/controls.h"
#include "platform/printer.h"
#include "platform/runtime.h"

class QFont;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollArea;
class QTimer;

namespace vt::qtv {

// Model text is Latin-1 bytes.
inline QString qs(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string ss(const QString& s) { return s.toLatin1().toStdString(); }

// Runs a model action for a user action. An unexpected failure is shown in a box instead of
// ending the program (a Qt slot must not throw).
void guarded(Runtime& rt, const std::function<void()>& fn);

// While a box is open: the arrow, not the busy cursor, since a box asks for the operator even
// while a document is produced. Once it closes, the window that was active is active again, so
// the keys go on to its focused control also where no window manager hands the focus back.
class ArrowWhileOpen {
  public:
    ArrowWhileOpen();
    ~ArrowWhileOpen();
    ArrowWhileOpen(const ArrowWhileOpen&) = delete;
    ArrowWhileOpen& operator=(const ArrowWhileOpen&) = delete;

  private:
    bool busy_;
    QPointer<QWidget> before_;
};

// Draws a document's pages into the page rectangle; false when a new page cannot be started. At
// most `threads` threads shape the texts of a long document (1: the painting thread alone).
bool paintdoc(class QPainter& p, const QRectF& page, const PrintDoc& doc,
              const std::function<bool()>& newpage, int threads = 4);

// The font for a name the screens use; a name the machine lacks falls back to one of the same
// kind (fixed-pitch for the fixed-pitch names) at the same size.
QFont fontfor(const std::string& name, int size, bool bold);
bool fixedpitchname(const std::string& name);

// A form's top-level window: closing it with the window manager asks the form instead. The
// controls sit on a canvas of the form's size; where the screen has less room than the form,
// the window fits the screen and the canvas scrolls in it. A strip under the canvas shows short
// notes, so a note never covers a control.
class FormWindow : public QWidget {
  public:
    FormWindow();
    std::function<void()> onclose;
    // Where the controls' widgets go.
    QWidget* canvas() const { return canvas_; }
    void setformsize(QSize size);
    // Scrolls the canvas so that a widget on it is in view.
    void reveal(QWidget* w);
    // Shows a note under the canvas for a few seconds; the window grows by its height where the
    // screen has room for it.
    void note(const QString& text);

  protected:
    void closeEvent(class QCloseEvent* e) override;
    void showEvent(class QShowEvent* e) override;
    void moveEvent(class QMoveEvent* e) override;

  private:
    // Sizes the window to the canvas and the note within the room the screen leaves it; a
    // window resized or placed (shown) is moved where it stands out of the screen.
    void fit(bool place = false);
    QScrollArea* scroll_;
    QWidget* canvas_;
    QLabel* note_;
    QTimer* notetimer_;
};

// What the view last mirrored of a control: its revisions and its plain fields (positions, font,
// caret and the like, which screens set directly). A control whose revision and fields are as
// seen is not touched.
inline auto fieldsof(const Control& c) {
    const GridState& g = c.grid;
    return std::tie(c.left, c.top, c.width, c.height, c.fontname, c.fontsize, c.fontbold,
                    c.forecolor, c.backcolor, c.backcolorset, c.tooltip, c.tabindex, c.tabstop,
                    c.multiline, c.locked, c.maxlength, c.alignment, c.selstart, c.sellength,
                    c.topindex, c.sorted, c.droplist, c.multiselect, c.picturelines, c.drive,
                    c.path, c.pattern, c.filename, c.interval, g.row, g.col, g.rowsel, g.colsel,
                    g.fixedrows, g.fixedcols, g.colwidth, g.colalignment);
}
template <class... T>
std::tuple<std::decay_t<T>...> decayed(const std::tuple<T...>&);
using Fields = decltype(decayed(fieldsof(std::declval<const Control&>())));

struct Seen {
    uint64_t rev = 0, listrev = 0;
    Fields fields;
};

// The window of one loaded form and the widgets of its controls. `alive` turns false when the
// form goes, so late Qt signals never reach a control that no longer exists.
struct Win {
    Form* form = nullptr;
    std::string name;
    FormWindow* window = nullptr;
    std::map<Control*, QWidget*> widgets;
    std::map<Control*, QTimer*> timers;
    std::map<Control*, Seen> seen;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    int focusmoves = -1;  // the form's focus moves already put on the widgets
    std::vector<QWidget*> taborder;
    std::vector<QWidget*> hiding;  // widgets the event hid: hidden once all are mirrored
};

// Real input (qtwidgets_input.cpp). Focus moves, clicks and typed keys on target (w itself, or
// the inner widget that receives them) reach the control c of widget w.
void watchinput(QWidget* w, QWidget* target, Control* c, const std::shared_ptr<bool>& alive);
// A text or combo box whose text only the model edits; its caret is the model's.
void keepmodeltext(QWidget* w, Control* c, const std::shared_ptr<bool>& alive);
void carettowidget(const Control& c, QWidget* w);
QLineEdit* lineeditof(QWidget* w);
// A command button that clicks on Enter as on Space.
QPushButton* newcommandbutton(QWidget* parent);
// A list box with no current row while the model has no row picked.
QListWidget* newlistbox(QWidget* parent, Control* c, const std::shared_ptr<bool>& alive);

// Makes the widget of a control (frames first, so controls in a frame sit inside it).
QWidget* widgetfor(Win& win, Control& c);
// Copies the control's state into its widget when it changed since the last time; signals are
// blocked meanwhile. A list's items and a grid's rows are mirrored only where they changed.
void syncwidget(Win& win, Control& c, QWidget* w);

}  // namespace vt::qtv
